// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a picture of every window of the browser build, filled in as the
// desktop screenshots are, plus the failure message and the ended page.
// Usage: node screenshots.mjs [folder]   (default docs/screenshots/web)
import { chromium } from '@playwright/test';
import { mkdirSync } from 'node:fs';
import path from 'node:path';
import { launchOptions, repoRoot, startServer } from './support/browser.mjs';
import { Takhmin, formNames, roadTo } from './support/takhmin.mjs';

const folder = path.resolve(process.argv[2] ?? path.join(repoRoot, 'docs', 'screenshots', 'web'));
mkdirSync(folder, { recursive: true });

// What each window holds when it is taken, beyond the road to it.
const filled = {
  Form1: [['type', 'Form1', 'Text1', '25']],
  Form6: [['type', 'Form6', 'Text1', '2064'], ['click', 'Form6', 'Command1']],
  Form9: [['type', 'Form9', 'Text1', '5'], ['type', 'Form9', 'Text2', '3'], ['click', 'Form9', 'Command4']],
};

const server = await startServer();
const browser = await chromium.launch(launchOptions);
const saved = [];
try {
  const fresh = async (viewport = { width: 1024, height: 768 }) => {
    const context = await browser.newContext({
      baseURL: `${server.origin}/`,
      viewport,
      deviceScaleFactor: 1,
      locale: 'ar',
      serviceWorkers: 'block',
    });
    const t = new Takhmin(await context.newPage());
    await t.start();
    return t;
  };
  const shoot = async (t, locator, name) => {
    await t.page.mouse.move(0, 0); // no hover highlight
    const file = path.join(folder, `${name}.png`);
    await locator.screenshot({ path: file, animations: 'disabled' });
    saved.push(file);
  };
  for (const form of formNames) {
    const t = await fresh();
    await t.walk([...roadTo[form], ...(filled[form] ?? [])]);
    await shoot(t, t.window(form), form);
    if (form === 'Form9') {
      await t.walk([['type', 'Form9', 'Text2', '0'], ['click', 'Form9', 'Command4']]);
      await shoot(t, t.failure(), 'failure');
    }
    await t.page.context().close();
  }
  // The ended page fills the screen: a small one keeps the picture small.
  const t = await fresh({ width: 480, height: 240 });
  await t.close('Form1');
  await shoot(t, t.endedPage(), 'ended');
} finally {
  await browser.close();
  await server.stop();
}
console.log(`saved ${saved.length} screenshots in ${path.relative(repoRoot, folder) || '.'}`);
