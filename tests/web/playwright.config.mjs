// SPDX-License-Identifier: GPL-3.0-or-later
// The browser suite: Debian's chromium against the built site in
// build-web/site, served by web/serve.mjs on 127.0.0.1 for the run.
import { defineConfig } from '@playwright/test';
import { execFileSync } from 'node:child_process';
import { launchOptions, repoRoot, serverCommand } from './support/browser.mjs';

// A port the system reports free, chosen once in the runner and inherited by
// its workers, which read this file again.
process.env.TAKHMIN_WEB_PORT ??= execFileSync(process.execPath, ['-e',
  "const s = require('net').createServer().listen(0, '127.0.0.1', () => { console.log(s.address().port); s.close(); })",
], { encoding: 'utf8' }).trim();
const port = Number(process.env.TAKHMIN_WEB_PORT);
const [node, args] = serverCommand(port);

export default defineConfig({
  testDir: '.',
  testMatch: '*.test.mjs',
  snapshotPathTemplate: '{testDir}/snapshots/{arg}{ext}',
  fullyParallel: true,
  workers: 2,
  forbidOnly: !!process.env.CI,
  reporter: [['list']],
  // Generous: CI may share its cores with other builds.
  timeout: 60_000,
  expect: { timeout: 5_000 },
  use: {
    browserName: 'chromium',
    launchOptions,
    baseURL: `http://127.0.0.1:${port}/`,
    viewport: { width: 1280, height: 900 },
    deviceScaleFactor: 1,
    locale: 'ar',
    trace: 'retain-on-failure',
    // A step whose control is covered or missing fails instead of waiting
    // for the test's whole time.
    actionTimeout: 10_000,
  },
  webServer: {
    command: [node, ...args].map((a) => JSON.stringify(a)).join(' '),
    cwd: repoRoot,
    url: `http://127.0.0.1:${port}/index.html`,
    reuseExistingServer: false,
    timeout: 20_000,
  },
});
