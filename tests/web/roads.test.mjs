// SPDX-License-Identifier: GPL-3.0-or-later
// The table of roads (roads.mjs) in Chromium, through Playwright, and two
// checks that are no steps of it, run in Chromium only: the pixels of a
// clipped answer, and pasting, which needs the clipboard permission that
// Playwright grants the page.
import { expect, test } from '@playwright/test';
import { roads } from './roads.mjs';
import { Takhmin, roadTo } from './support/takhmin.mjs';

let t;
test.beforeEach(async ({ page }) => {
  t = new Takhmin(page);
  await t.start();
});

for (const [name, steps] of roads) test(name, () => t.walk(steps));

test('an answer wider than its box shows its start, cut at the right edge', async () => {
  await t.walk([...roadTo.Form6, ['type', 'Form6', 'Text1', '100.5'], ['click', 'Form6', 'Command1']]);
  // The characters whose boxes lie wholly inside the label's padding box.
  const shown = await t.control('Form6', 'Label13').evaluate((label) => {
    const box = label.getBoundingClientRect();
    const inner = { left: box.left + label.clientLeft, right: box.left + label.clientLeft + label.clientWidth };
    const text = label.firstChild;
    let visible = '';
    for (let i = 0; i < text.length; ++i) {
      const range = document.createRange();
      range.setStart(text, i);
      range.setEnd(text, i + 1);
      const r = range.getBoundingClientRect();
      if (r.left >= inner.left - 0.5 && r.right <= inner.right + 0.5) visible += text.data[i];
    }
    return { visible, clipped: getComputedStyle(label).overflow !== 'visible' };
  });
  expect(shown).toEqual({ visible: '1.99', clipped: true });
});

// A single-line box never holds a line break: a pasted one becomes a space.
for (const [kind, pasted] of [['LF', '\n25'], ['CR LF', '\r\n25'], ['CR', '\r25'], ['U+2028', '\u202825'], ['U+2029', '\u202925']]) {
  test(`a pasted ${kind} becomes one space`, async ({ page, context }) => {
    await context.grantPermissions(['clipboard-read', 'clipboard-write']);
    await page.evaluate((text) => navigator.clipboard.writeText(text), pasted);
    const box = t.control('Form1', 'Text1');
    await box.focus();
    await page.keyboard.press('Control+V');
    await expect(box).toHaveValue(' 25');
    await t.walk([['click', 'Form1', 'Command1']]);
    await t.expectOpen(['Form2']);
  });
}
