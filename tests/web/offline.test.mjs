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
  await context.setOffline(true);
  await page.reload();
  await expect(t.window('Form1')).toBeVisible();
  await t.walk([...roadTo.Form6, ['type', 'Form6', 'Text1', '2064'], ['click', 'Form6', 'Command1'],
    ['text', 'Form6', 'Label12', '79'], ['text', 'Form6', 'Label13', '21']]);
  await context.setOffline(false);
});
