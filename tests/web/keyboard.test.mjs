// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard as on the desktop: the first focus and the Tab cycle of every
// window follow its table's tab order, and the whole road runs on keys alone.
import { expect, test } from '@playwright/test';
import { Takhmin, formNames, roadTo, tabOrder } from './support/takhmin.mjs';

let t;
test.beforeEach(async ({ page }) => {
  t = new Takhmin(page);
  await t.start();
});

// Tab into a text box selects its whole text, so that typing replaces it, as
// on the desktop and with the browser's own Tab.
async function expectFocusedAndSelected(form, name) {
  const control = t.control(form, name);
  await expect(control).toBeFocused();
  const selection = await control.evaluate((e) =>
    'selectionStart' in e ? [e.selectionStart, e.selectionEnd, e.value.length] : null);
  if (selection) expect(selection.slice(0, 2), `${name} selected`).toEqual([0, selection[2]]);
}

for (const form of formNames) {
  const order = tabOrder(form);
  test(`${form}: first focus ${order[0]}, Tab and Shift+Tab cycle in table order`, async ({ page }) => {
    await t.walk(roadTo[form]);
    await expect(t.control(form, order[0])).toBeFocused();
    for (const next of [...order.slice(1), order[0]]) {
      await page.keyboard.press('Tab');
      await expectFocusedAndSelected(form, next);
    }
    for (const previous of [...order].reverse()) {
      await page.keyboard.press('Shift+Tab');
      await expectFocusedAndSelected(form, previous);
    }
  });
}

// [key KEY] presses a key where the focus is, [keys TEXT] types there,
// [focus FORM CONTROL] checks where the focus is.
const keyRoad = [
  ['focus', 'Form1', 'Command1'], ['key', 'Tab'], ['focus', 'Form1', 'Text1'], ['keys', '٢٥'],
  ['key', 'Enter'], ['open', ['Form1']], // Enter in a text box presses nothing
  ['key', 'Shift+Tab'], ['key', ' '], ['open', ['Form2']],
  ['focus', 'Form2', 'Command1'], ['key', 'Tab'], ['key', 'Enter'], ['open', ['Form5']],
  ['focus', 'Form5', 'Command1'], ['key', ' '], ['open', ['Form2']],
  ['focus', 'Form2', 'Command1'], ['key', ' '], ['open', ['Form6']],
  ['focus', 'Form6', 'Text1'], ['keys', '84'], ['key', 'Enter'], ['open', ['Form6']],
  ['key', 'Tab'], ['focus', 'Form6', 'Command1'], ['key', ' '], ['open', ['Form6', 'Form7']],
  ['focus', 'Form7', 'Command1'], ['key', 'Enter'], ['open', ['Form6']],
  // Shown again while loaded: the puzzle gets back the focus it had.
  ['focus', 'Form6', 'Command1'], ['key', 'Shift+Tab'], ['focus', 'Form6', 'Text1'],
  ['keys', '2064'], ['key', 'Tab'], ['key', ' '],
  ['text', 'Form6', 'Label12', '79'], ['text', 'Form6', 'Label13', '21'],
  ['key', 'Tab'], ['key', 'Tab'], ['focus', 'Form6', 'Command3'], ['key', 'Enter'],
  ['open', ['Form6', 'Form9']], ['focus', 'Form9', 'Command6'],
  ['key', 'Shift+Tab'], ['focus', 'Form9', 'Text1'], ['keys', '7'],
  ['key', 'Shift+Tab'], ['focus', 'Form9', 'Text2'], ['keys', '2'],
  ['key', 'Shift+Tab'], ['key', 'Shift+Tab'], ['key', 'Shift+Tab'], ['focus', 'Form9', 'Command2'],
  ['key', ' '], ['text', 'Form9', 'Text3', '5'], // tabbing in selected each "0", typing replaced it
  // Shift+F6 goes to the window opened before, to the control that had its
  // focus (F6 from the last one goes on to the list of open windows).
  ['key', 'Shift+F6'], ['focus', 'Form6', 'Command3'], ['key', 'Shift+Tab'], ['key', 'Enter'],
  ['open', ['Form2', 'Form9']], ['focus', 'Form2', 'Command1'],
  ['key', 'Shift+Tab'], ['focus', 'Form2', 'Command3'], ['key', ' '], ['open', ['Form3', 'Form9']],
  ['focus', 'Form3', 'Command1'], ['key', 'Tab'], ['key', 'Enter'], ['open', ['Form4', 'Form9']],
  ['focus', 'Form4', 'Command1'], ['key', ' '], ['ended'],
];

test('the whole road with the keyboard alone', async ({ page }) => {
  for (const step of keyRoad) {
    const [action, ...args] = step;
    await test.step(step.join(' '), async () => {
      if (action === 'key') await page.keyboard.press(args[0] === ' ' ? 'Space' : args[0]);
      else if (action === 'keys') await page.keyboard.type(args[0]);
      else if (action === 'focus') await expect(t.control(...args)).toBeFocused();
      else await t.walk([step]);
    });
  }
});
