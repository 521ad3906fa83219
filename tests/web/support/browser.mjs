// SPDX-License-Identifier: GPL-3.0-or-later
// How every browser run of the project starts Chromium and the static site:
// Debian's own chromium (Playwright's browser download is never used), kept
// quiet so that it asks nothing of a closed network, and the project's
// zero-dependency server on a free port of 127.0.0.1.
import { spawn } from 'node:child_process';
import http from 'node:http';
import net from 'node:net';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

export const repoRoot = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
export const siteDir = process.env.TAKHMIN_SITE ?? path.join(repoRoot, 'build-web', 'site');
// The addresses of the site's files that the build names by their contents.
export const hashedFiles = {
  program: /\/takhmin\.[0-9a-f]{16}\.js$/,
  wasm: /\/takhmin\.[0-9a-f]{16}\.wasm$/,
  wholeFont: /\/fonts\/naskh\.[0-9a-f]{16}\.woff2$/,
};

const asRoot = typeof process.getuid === 'function' && process.getuid() === 0;

export const launchOptions = {
  executablePath: process.env.TAKHMIN_CHROMIUM ?? '/usr/bin/chromium',
  args: [
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
    '--no-first-run',
    '--disable-gpu',
    // Chromium refuses to start its sandbox as root.
    ...(asRoot ? ['--no-sandbox'] : []),
  ],
};

export function serverCommand(port, site = siteDir) {
  return ['node', [path.join(repoRoot, 'web', 'serve.mjs'), site, String(port)]];
}

export function freePort() {
  return new Promise((resolve, reject) => {
    const probe = net.createServer();
    probe.once('error', reject);
    probe.listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

// Starts the static server on a free port and waits until it answers; for
// the scripts that run outside Playwright's test runner (screenshots, bench).
export async function startServer(site = siteDir) {
  const port = await freePort();
  const [command, args] = serverCommand(port, site);
  const child = spawn(command, args, { stdio: ['ignore', 'ignore', 'inherit'] });
  const origin = `http://127.0.0.1:${port}`;
  for (let i = 0; i < 100; ++i) {
    if (child.exitCode !== null) throw new Error(`web/serve.mjs exited with ${child.exitCode}`);
    try {
      if ((await fetch(`${origin}/index.html`)).ok) break;
    } catch {
      // not listening yet
    }
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  return {
    origin,
    stop: () => new Promise((resolve) => {
      if (child.exitCode !== null) return resolve();
      child.once('exit', resolve);
      child.kill();
    }),
  };
}

// A second door to the site, for roads that start before the program has
// arrived: it holds the program's code back from hold() until release(),
// and serves no service worker, whose cache would answer without asking.
export async function startGate(site) {
  let gate = null;
  const server = http.createServer(async (request, response) => {
    const path = new URL(request.url, site).pathname;
    if (path === '/sw.js') return response.writeHead(404).end();
    // The wasm, not the module: WebKit takes a module it has run before from
    // its memory cache, whatever the response said.
    if (hashedFiles.wasm.test(path)) await gate?.held;
    const upstream = await fetch(new URL(request.url, site), { method: request.method });
    // Never from a cache: each road must ask this door for its files again.
    response.writeHead(upstream.status, {
      'content-type': upstream.headers.get('content-type') ?? '',
      'cache-control': 'no-store',
    });
    response.end(Buffer.from(await upstream.arrayBuffer()));
  }).unref();
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    origin: `http://127.0.0.1:${server.address().port}`,
    hold() {
      gate?.release();
      gate = {};
      gate.held = new Promise((resolve) => { gate.release = resolve; });
    },
    release: () => gate?.release(),
    stop: () => new Promise((resolve) => { gate?.release(); server.close(resolve); }),
  };
}
