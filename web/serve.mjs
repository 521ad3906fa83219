// SPDX-License-Identifier: GPL-3.0-or-later
// A static file server for the built site, with no dependencies: GET and HEAD
// of files under DIR, on 127.0.0.1 only, with the types browsers insist on
// for wasm, the manifest and fonts. For trying the page and for the tests;
// any static host serves the same folder in production.
// Usage: node web/serve.mjs DIR [PORT]   (PORT 0 or none: any free port)
import { createReadStream } from 'node:fs';
import { stat } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, join, normalize, resolve, sep } from 'node:path';

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
        return info.isFile() ? { path, size: info.size } : null;
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
    response.writeHead(200, {
        'Content-Type': types[extname(file.path)] ?? 'application/octet-stream',
        'Content-Length': file.size,
        'Cache-Control': 'no-cache',
        'X-Content-Type-Options': 'nosniff',
    });
    if (request.method === 'HEAD')
        response.end();
    else
        createReadStream(file.path).pipe(response);
});

server.listen(port, '127.0.0.1', () => {
    console.log(`Serving ${root} at http://127.0.0.1:${server.address().port}/`);
});
for (const signal of ['SIGINT', 'SIGTERM'])
    process.on(signal, () => server.close(() => process.exit(0)));
