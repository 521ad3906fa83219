// SPDX-License-Identifier: GPL-3.0-or-later
// Installable and offline: after one visit the service worker serves the
// page, which then loads and works with the network off.
import { expect, test } from '@playwright/test';
import { Takhmin, roadTo } from './support/takhmin.mjs';

test('after one visit the page reloads and works offline', async ({ page, context }) => {
  const t = new Takhmin(page);
  await t.start();
  await page.evaluate(() => navigator.serviceWorker.ready);
  const manifest = await page.locator('link[rel="manifest"]').getAttribute('href');
  expect((await page.request.get(manifest)).ok()).toBe(true);
  // Every file the visit took, the fonts' two cuts included, is in its cache.
  const missing = await page.evaluate(async () => {
    const names = [...performance.getEntriesByType('resource')].map((entry) => entry.name)
      .filter((name) => new URL(name).origin === location.origin && !name.endsWith('/sw.js'));
    const found = await Promise.all(names.map((name) => caches.match(name)));
    return [names.length, names.filter((_, i) => !found[i])];
  });
  expect(missing[0]).toBeGreaterThan(5);
  expect(missing[1]).toEqual([]);
  await context.setOffline(true);
  await page.reload();
  await expect(t.window('Form1')).toBeVisible();
  await t.walk([...roadTo.Form6, ['type', 'Form6', 'Text1', '2064'], ['click', 'Form6', 'Command1'],
    ['text', 'Form6', 'Label12', '79'], ['text', 'Form6', 'Label13', '21']]);
  // The later windows' whole Arabic font came from the cache too.
  expect(await page.evaluate(() => document.fonts.ready.then(() => document.fonts.check('1em "Takhmin Naskh Whole"')))).toBe(true);
  await context.setOffline(false);
});
