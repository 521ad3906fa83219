// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard as on the desktop: the first focus and the Tab cycle of every
// window follow its table's tab order, and the whole road runs on keys alone.
import { expect, test } from '@playwright/test';
import { Takhmin, formNames, forms, roadTo, tabOrder } from './support/takhmin.mjs';

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

// F6 and Shift+F6 with the puzzle and the calculator open: a window takes the
// focus at the control that had it, the list of open windows at the active
// window's entry. [KEY FORM CONTROL], or [KEY 'list' FORM] for that entry.
const f6Road = [
  ['Shift+F6', 'Form6', 'Command3'], ['F6', 'Form9', 'Command6'], ['F6', 'list', 'Form9'],
  ['Shift+F6', 'Form9', 'Command6'], ['Shift+F6', 'Form6', 'Command3'], ['Shift+F6', 'list', 'Form6'],
  ['Shift+F6', 'Form9', 'Command6'],
];
const listEntry = (page, form) =>
  page.getByRole('navigation').getByRole('button', { name: forms[form].title.trim(), exact: true });

test('F6 and Shift+F6 go round the windows and the list of them', async ({ page }) => {
  await t.walk(roadTo.Form9);
  for (const [key, form, control] of f6Road) {
    await test.step(`${key} ${form} ${control}`, async () => {
      await page.keyboard.press(key);
      await expect(form === 'list' ? listEntry(page, control) : t.control(form, control)).toBeFocused();
    });
  }
});

// Firefox's F6 back into the page from its toolbars focuses the document
// alone: the page gives the focus back to what had it. Anything the focus
// lands on in the page as it comes back keeps it.
const comingBack = [
  ['the list', (page) => listEntry(page, 'Form9'), null],
  ['a text box', () => t.control('Form9', 'Text1'), null],
  ['a click elsewhere', (page) => listEntry(page, 'Form9'), () => t.control('Form9', 'Command2')],
];
for (const [name, had, landsOn] of comingBack) {
  test(`the page's focus comes back: ${name}`, async ({ page }) => {
    await t.walk(roadTo.Form9);
    await had(page).focus();
    await page.evaluate(() => {
      window.dispatchEvent(new FocusEvent('blur'));
      document.activeElement.blur();
    });
    if (landsOn) await landsOn(page).focus();
    await page.evaluate(() => window.dispatchEvent(new FocusEvent('focus')));
    await expect(landsOn ? landsOn(page) : had(page)).toBeFocused();
    // And stays there once the page has had its turn.
    await page.evaluate(() => new Promise((done) => setTimeout(done, 50)));
    await expect(landsOn ? landsOn(page) : had(page)).toBeFocused();
  });
}

// The list's application region (Orca speaks a focus moving into it from the
// desk's) leaves with the list, and no empty region stays on the ended page.
test('the list of windows and its region leave together', async ({ page }) => {
  const name = await page.getByRole('navigation').getAttribute('aria-label');
  const region = page.getByRole('application', { name, exact: true });
  await expect(region.getByRole('navigation', { name, exact: true })).toHaveCount(1);
  await t.walk([...roadTo.Form9, ['click', 'Form9', 'Command6'], ['click', 'Form6', 'Command2'],
                ['click', 'Form2', 'Command3'], ['click', 'Form3', 'Command2'], ['click', 'Form4', 'Command1'], ['ended']]);
  await expect(region).toHaveCount(0);
  await t.again();
  await expect(region.getByRole('navigation', { name, exact: true })).toHaveCount(1);
});
