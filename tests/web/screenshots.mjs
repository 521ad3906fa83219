// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a picture of every window of the browser build, filled in as the
// desktop screenshots are, plus the failure message and the ended page.
// Also phones at 320 and 375 px, by touch, into phone-320/ and phone-375/.
// Usage: node screenshots.mjs [folder] [--dark] [--only WIDTHxHEIGHT]
//   (default docs/screenshots/web; --only takes that one screen, into a
//   folder of its name, as a touch phone when it is narrow)
import { chromium } from '@playwright/test';
import { mkdirSync } from 'node:fs';
import path from 'node:path';
import { launchOptions, repoRoot, startServer } from './support/browser.mjs';
import { Takhmin, formNames, roadTo } from './support/takhmin.mjs';

const args = process.argv.slice(2);
const dark = args.includes('--dark') && !!args.splice(args.indexOf('--dark'), 1);
const only = args.includes('--only') ? args.splice(args.indexOf('--only'), 2)[1] : null;
const folder = path.resolve(args[0] ?? path.join(repoRoot, 'docs', 'screenshots', 'web'));
const phone = (width, height) => ({ viewport: { width, height }, hasTouch: true, isMobile: true });
const screens = only
  ? [[only, (([w, h]) => (w < 860 || h < 520 ? phone(w, h) : { viewport: { width: w, height: h } }))(only.split('x').map(Number))]]
  : [['', { viewport: { width: 1024, height: 768 } }], ['phone-320', phone(320, 568)], ['phone-375', phone(375, 667)]];

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
  const fresh = async (screen) => {
    const context = await browser.newContext({
      baseURL: `${server.origin}/`,
      ...screen,
      colorScheme: dark ? 'dark' : 'light',
      deviceScaleFactor: 1,
      locale: 'ar',
      serviceWorkers: 'block',
    });
    const t = new Takhmin(await context.newPage());
    t.touch = !!screen.hasTouch;
    await t.start();
    return t;
  };
  const shoot = async (t, locator, name) => {
    if (!t.touch) await t.page.mouse.move(0, 0); // no hover highlight
    const file = path.join(folder, t.sub, `${name}.png`);
    mkdirSync(path.dirname(file), { recursive: true });
    await locator.screenshot({ path: file, animations: 'disabled' });
    saved.push(file);
  };
  for (const [sub, screen] of screens) {
    for (const form of formNames) {
      const t = await fresh(screen);
      t.sub = sub;
      await t.walk([...roadTo[form], ...(filled[form] ?? [])]);
      await shoot(t, t.window(form), form);
      if (form === 'Form9') {
        await t.walk([['type', 'Form9', 'Text2', '0'], ['click', 'Form9', 'Command4']]);
        await shoot(t, t.failure(), 'failure');
      }
      await t.page.context().close();
    }
    // The whole screen of a phone with the puzzle and the calculator open.
    if (sub) {
      const t = await fresh(screen);
      t.sub = sub;
      await t.walk([...roadTo.Form9, ...filled.Form9]);
      const file = path.join(folder, sub, 'screen.png');
      await t.page.screenshot({ path: file, animations: 'disabled' });
      saved.push(file);
      await t.page.context().close();
    }
  }
  // The ended page fills the screen: a small one keeps the picture small.
  const t = await fresh({ viewport: { width: 480, height: 240 } });
  t.sub = '';
  await t.close('Form1');
  await shoot(t, t.endedPage(), 'ended');
} finally {
  await browser.close();
  await server.stop();
}
console.log(`saved ${saved.length} screenshots in ${path.relative(repoRoot, folder) || '.'}`);
