// SPDX-License-Identifier: GPL-3.0-or-later
// A static file server for the built site, with no dependencies: GET and HEAD
// of files under DIR, on 127.0.0.1 only, with the types browsers insist on
// for wasm, the manifest and fonts. It serves the site as docs/serving.md
// asks of a host: compressed (brotli or gzip, as the browser accepts), files
// whose names carry a hash of their contents kept for a year, the others
// checked again on every use. For trying the page, the tests and the
// benchmark; any static host serves the same folder in production.
// Usage: node web/serve.mjs DIR [PORT]   (PORT 0 or none: any free port)
import { readFile, stat } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { promisify } from 'node:util';
import { brotliCompress, constants, gzip } from 'node:zlib';

const types = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.mjs': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.wasm': 'application/wasm',
    '.webmanifest': 'application/manifest+json',
    '.woff2': 'font/woff2',
    '.png': 'image/png',
    '.svg': 'image/svg+xml',
    '.txt': 'text/plain; charset=utf-8',
    '.json': 'application/json',
};

// Text and wasm shrink; fonts and pictures are compressed already. The
// compression runs on node's worker threads: the slowest, brotli's best,
// must not hold up the answers to other requests.
const compressible = new Set(['.html', '.js', '.mjs', '.css', '.wasm', '.webmanifest', '.svg', '.txt', '.json']);
const encoders = {
    br: (data) => promisify(brotliCompress)(data, { params: { [constants.BROTLI_PARAM_QUALITY]: 11 } }),
    gzip: (data) => promisify(gzip)(data, { level: 9 }),
};
// A name such as takhmin.0123456789abcdef.css (web/HashNames.cmake).
const hashed = /\.[0-9a-f]{16}\.[^./]+$/;

// Each file's bytes as sent, compressed once per version of the file.
const sent = new Map();
function body(path, info, encoding) {
    const key = `${path}\0${encoding}`;
    const version = `${info.size}-${info.mtimeMs}`;
    let entry = sent.get(key);
    if (entry?.version !== version) {
        const data = readFile(path).then((bytes) => (encoding ? encoders[encoding](bytes) : bytes));
        entry = { version, data };
        sent.set(key, entry);
        data.catch(() => sent.delete(key));
    }
    return entry.data;
}

const root = resolve(process.argv[2] ?? '.');
const port = Number(process.argv[3] ?? 0);

async function fileFor(urlPath) {
    let path;
    try {
        path = normalize(join(root, decodeURIComponent(urlPath)));
    } catch {
        return null;
    }
    if (path !== root && !path.startsWith(root + sep))
        return null;
    try {
        let info = await stat(path);
        if (info.isDirectory()) {
            path = join(path, 'index.html');
            info = await stat(path);
        }
        return info.isFile() ? { path, info } : null;
    } catch {
        return null;
    }
}

const server = createServer(async (request, response) => {
    if (request.method !== 'GET' && request.method !== 'HEAD') {
        response.writeHead(405, { Allow: 'GET, HEAD' }).end();
        return;
    }
    const file = await fileFor(new URL(request.url, 'http://localhost').pathname);
    if (!file) {
        response.writeHead(404, { 'Content-Type': 'text/plain; charset=utf-8' }).end('Not found\n');
        return;
    }
    const type = extname(file.path);
    const accepted = String(request.headers['accept-encoding'] ?? '');
    const encoding = compressible.has(type)
        ? ['br', 'gzip'].find((name) => new RegExp(`\\b${name}\\b(?!;q=0(\\.0*)?\\b)`).test(accepted))
        : undefined;
    const tag = `"${file.info.size.toString(36)}-${Math.round(file.info.mtimeMs).toString(36)}${encoding ? `-${encoding}` : ''}"`;
    const headers = {
        'Content-Type': types[type] ?? 'application/octet-stream',
        'Cache-Control': hashed.test(file.path) ? 'public, max-age=31536000, immutable' : 'no-cache',
        ETag: tag,
        Vary: 'Accept-Encoding',
        'X-Content-Type-Options': 'nosniff',
    };
    if (request.headers['if-none-match'] === tag) {
        response.writeHead(304, headers).end();
        return;
    }
    let data;
    try {
        data = await body(file.path, file.info, encoding);
    } catch {
        response.writeHead(500, { 'Content-Type': 'text/plain; charset=utf-8' }).end('Cannot read the file\n');
        return;
    }
    response.writeHead(200, {
        ...headers,
        ...(encoding ? { 'Content-Encoding': encoding } : {}),
        'Content-Length': data.length,
    });
    response.end(request.method === 'HEAD' ? undefined : data);
});

server.listen(port, '127.0.0.1', () => {
    console.log(`Serving ${root} at http://127.0.0.1:${server.address().port}/`);
});
for (const signal of ['SIGINT', 'SIGTERM'])
    process.on(signal, () => server.close(() => process.exit(0)));
