// SPDX-License-Identifier: GPL-3.0-or-later
// Every control's box against its table, relative to its window's client
// area (15 twips to a CSS pixel), on a wide screen and on a phone, where a
// window wider than the screen is never scaled down nor reflowed (the page
// scrolls); dragging a title bar moves its window.
import { expect, test } from '@playwright/test';
import { Takhmin, formNames, forms, roadTo } from './support/takhmin.mjs';

const screens = [
  { name: 'desktop', width: 1280, height: 900 },
  { name: 'phone', width: 320, height: 640 },
];

for (const screen of screens) {
  for (const form of formNames) {
    test(`${form} on a ${screen.name} screen: every control at its rectangle`, async ({ page }) => {
      await page.setViewportSize(screen);
      const t = new Takhmin(page);
      await t.start();
      await t.walk(roadTo[form]);
      const window = t.window(form);
      const client = await window.locator('[data-client]').boundingBox();
      const table = forms[form];
      // Never scaled: a phone's page scrolls rather than shrink the text.
      const scale = client.width / (table.width / 15);
      expect(scale).toBeCloseTo(1, 2);
      expect(client.height / (table.height / 15)).toBeCloseTo(scale, 2);
      // Opened fully inside the screen, or on a phone inside the page.
      const frame = await window.evaluate((w) => {
        const r = w.getBoundingClientRect();
        return { x: r.x + scrollX, y: r.y + scrollY, width: r.width, height: r.height };
      });
      const room = screen.width >= 1280 ? screen : await page.evaluate(() =>
        ({ width: document.documentElement.scrollWidth, height: document.documentElement.scrollHeight }));
      expect(Math.min(frame.x, frame.y)).toBeGreaterThanOrEqual(0);
      expect(frame.x + frame.width).toBeLessThanOrEqual(room.width + 0.5);
      expect(frame.y + frame.height).toBeLessThanOrEqual(room.height + 0.5);
      // Half a pixel of the table, or of the screen where it is scaled down.
      const tolerance = 0.5 / Math.min(scale, 1);
      for (const control of table.controls) {
        const box = await window.locator(`[data-control="${control.name}"]`).boundingBox();
        const found = [box.x - client.x, box.y - client.y, box.width, box.height].map((v) => v / scale);
        const expected = [control.left, control.top, control.width, control.height].map((v) => v / 15);
        found.forEach((v, i) => expect(Math.abs(v - expected[i]), `${control.name} ${found} vs ${expected}`)
          .toBeLessThanOrEqual(tolerance));
      }
    });
  }
}

test.describe('on a touch phone', () => {
  test.use({ viewport: { width: 360, height: 640 }, hasTouch: true, isMobile: true });
  test('a tap is a click, boxes ask for a number keyboard, and pinch zoom stays', async ({ page }) => {
    const t = new Takhmin(page);
    await t.start();
    const viewport = await page.locator('meta[name="viewport"]').getAttribute('content');
    expect(viewport).not.toMatch(/user-scalable\s*=\s*(no|0)|maximum-scale\s*=\s*1(\.0*)?\s*(,|$)/);
    await expect(t.control('Form1', 'Text1')).toHaveAttribute('inputmode', 'decimal');
    await t.type('Form1', 'Text1', '25');
    await t.control('Form1', 'Command1').tap();
    await t.expectOpen(['Form2']);
  });
});

test('dragging the title bar moves the window as a whole', async ({ page }) => {
  const t = new Takhmin(page);
  await t.start();
  const window = t.window('Form1');
  const before = await window.boundingBox();
  const title = await window.getByText(forms.Form1.title, { exact: true }).boundingBox();
  await page.mouse.move(title.x + 5, title.y + title.height / 2);
  await page.mouse.down();
  await page.mouse.move(title.x + 65, title.y + title.height / 2 + 40, { steps: 5 });
  await page.mouse.up();
  const after = await window.boundingBox();
  const moved = [after.x - before.x, after.y - before.y, after.width, after.height];
  expect(moved).toEqual([60, 40, before.width, before.height]);
  await t.walk([['type', 'Form1', 'Text1', '25'], ['click', 'Form1', 'Command1'], ['open', ['Form2']]]);
});
