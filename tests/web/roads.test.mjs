// SPDX-License-Identifier: GPL-3.0-or-later
// The roads the desktop tests walk, through the page: the age gate, the
// puzzle, the calculator and its failures, warnings that block nothing,
// windows closed in unusual orders, and the page once the program has ended.
import { expect, test } from '@playwright/test';
import { Takhmin, failure, roadTo } from './support/takhmin.mjs';

let t;
test.beforeEach(async ({ page }) => {
  t = new Takhmin(page);
  await t.start();
});

const ages = [
  // typed, accepted
  ['', false],
  ['5.99', false],
  ['6', true],
  ['6.5', true],
  ['70', true],
  ['70.01', false],
  ['25 سنة', true],
  ['عشرون', false],
  ['-25', false],
  ['٢٥', true],
  ['۷۱', false],
  ['1e400', false],
];
for (const [typed, accepted] of ages) {
  test(`age "${typed}" is ${accepted ? 'accepted' : 'refused'}`, async () => {
    await t.walk([['type', 'Form1', 'Text1', typed], ['click', 'Form1', 'Command1']]);
    if (accepted) return t.expectOpen(['Form2']);
    await t.expectOpen(['Form1', 'Form8']);
    await t.walk([['click', 'Form8', 'Command1'], ['open', ['Form1']], ['text', 'Form1', 'Text1', typed]]);
  });
}

const results = [
  // typed, Label12, Label13
  ['2064', '79', '21'],
  ['85', '0', '2'],
  ['9884', '99', '99'],
  ['1000', '15', '11'],
  ['100.5', '16', '1.995'],
  ['101.5', '16', '2.005'],
  ['٢٠٦٤', '79', '21'],
];
for (const [typed, second, first] of results) {
  test(`puzzle ${typed} names ${first} and ${second}`, async () => {
    await t.walk([
      ...roadTo.Form6,
      ['type', 'Form6', 'Text1', typed],
      ['click', 'Form6', 'Command1'],
      ['text', 'Form6', 'Label12', second],
      ['text', 'Form6', 'Label13', first],
      ['open', ['Form6']],
      ['failure', null],
    ]);
  });
}

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

for (const typed of ['84', '9885', '', 'ألفان']) {
  test(`puzzle "${typed}" warns and keeps everything`, async () => {
    await t.walk([
      ...roadTo.Form6,
      ['type', 'Form6', 'Text1', '2064'],
      ['click', 'Form6', 'Command1'],
      ['type', 'Form6', 'Text1', typed],
      ['click', 'Form6', 'Command1'],
      ['open', ['Form6', 'Form7']],
      ['text', 'Form6', 'Label12', '79'],
      ['text', 'Form6', 'Label13', '21'],
      ['click', 'Form7', 'Command1'],
      ['open', ['Form6']],
      ['text', 'Form6', 'Text1', typed],
    ]);
  });
}

test('a result followed by letters stops before writing anything', async () => {
  await t.walk([
    ...roadTo.Form6,
    ['type', 'Form6', 'Text1', '2064 تقريبا'],
    ['click', 'Form6', 'Command1'],
    ['failure', 'NotANumber'],
    ['text', 'Form6', 'Label12', ''],
    ['text', 'Form6', 'Label13', ''],
    ['open', ['Form6']],
  ]);
  await t.failure().getByRole('button', { name: failure.button, exact: true }).click();
  await t.expectFailure(null);
});

const steps = [
  // first, second, button, Text3 afterwards, or the failure that keeps it
  ['0', '0', 'Command1', '0'],
  ['5', '3', 'Command1', '8'],
  ['5', '3', 'Command2', '2'],
  ['5', '3', 'Command3', '15'],
  ['5', '3', 'Command4', '1.66666666666667'],
  ['7', '2', 'Command4', '3.5'],
  ['2', '5', 'Command2', '-3'],
  ['عدد', '4', 'Command1', '4'],
  ['عدد', '4', 'Command2', '-4'],
  ['12abc', '1', 'Command1', '13'],
  ['', '9', 'Command2', '-9'],
  ['٧', '۲٫٥', 'Command3', '17.5'],
  ['1', '0', 'Command4', null, 'DivisionByZero'],
  ['0', '0', 'Command4', null, 'InvalidOperation'],
  ['1e200', '1e200', 'Command3', null, 'Overflow'],
  ['5', '3x', 'Command1', null, 'NotANumber'],
  ['5', '', 'Command2', null, 'NotANumber'],
  ['1', '1e400', 'Command1', null, 'Overflow'],
];
for (const [first, second, button, result, kind] of steps) {
  test(`calculator ${first} ${button} ${second} ${kind ? `fails with ${kind}` : `gives ${result}`}`, async () => {
    await t.walk([
      ...roadTo.Form9,
      ['type', 'Form9', 'Text3', 'keep me'],
      ['type', 'Form9', 'Text1', first],
      ['type', 'Form9', 'Text2', second],
      ['click', 'Form9', button],
      ['failure', kind],
      ['text', 'Form9', 'Text3', result ?? 'keep me'],
    ]);
    if (!kind) return;
    // The message blocks nothing: the next good step works beside it.
    await t.walk([['type', 'Form9', 'Text1', '2'], ['type', 'Form9', 'Text2', '2'], ['click', 'Form9', 'Command1'],
      ['text', 'Form9', 'Text3', '4']]);
  });
}

test('after clear every operation fails and the result stays empty', async () => {
  await t.walk([...roadTo.Form9, ['click', 'Form9', 'Command5']]);
  for (const box of ['Text1', 'Text2', 'Text3']) await t.expectText('Form9', box, '');
  for (const button of ['Command1', 'Command2', 'Command3', 'Command4'])
    await t.walk([['click', 'Form9', button], ['failure', 'NotANumber'], ['text', 'Form9', 'Text3', '']]);
});

const roads = {
  'a refused age leaves the entry window usable beside its warning': [
    ['type', 'Form1', 'Text1', '3'], ['click', 'Form1', 'Command1'],
    ['click', 'Form1', 'Command1'], ['open', ['Form1', 'Form8']],
    ['type', 'Form1', 'Text1', '30'], ['click', 'Form1', 'Command1'], ['open', ['Form2', 'Form8']],
    ['click', 'Form8', 'Command1'], ['open', ['Form1', 'Form2']], ['text', 'Form1', 'Text1', ''],
  ],
  'the puzzle warning leaves the puzzle usable, and after the puzzle closed shows a fresh one': [
    ...roadTo.Form6, ['type', 'Form6', 'Text1', '5'], ['click', 'Form6', 'Command1'],
    ['click', 'Form6', 'Command3'], ['open', ['Form6', 'Form7', 'Form9']],
    ['click', 'Form6', 'Command2'], ['open', ['Form2', 'Form7', 'Form9']],
    ['click', 'Form7', 'Command1'], ['open', ['Form2', 'Form6', 'Form9']], ['front', 'Form6'],
    ['text', 'Form6', 'Text1', ''],
  ],
  'closing the entry window while its warning is open, then the warning, ends': [
    ['click', 'Form1', 'Command1'], ['close', 'Form1'], ['open', ['Form8']], ['close', 'Form8'], ['ended'],
  ],
  'one calculator, kept beside the menu after the puzzle goes back': [
    ...roadTo.Form9, ['raise', 'Form6'], ['front', 'Form6'], ['click', 'Form6', 'Command3'],
    ['open', ['Form6', 'Form9']], ['front', 'Form9'],
    ['type', 'Form9', 'Text1', '42'], ['click', 'Form6', 'Command2'], ['open', ['Form2', 'Form9']],
    ['text', 'Form9', 'Text1', '42'], ['click', 'Form2', 'Command1'], ['text', 'Form6', 'Label12', ''],
    ['click', 'Form9', 'Command6'], ['open', ['Form6']],
    ['click', 'Form6', 'Command3'], ['text', 'Form9', 'Text1', '0'], ['text', 'Form9', 'Text3', '0'],
  ],
  'about and back, exit refused, then goodbye ends everything, calculator included': [
    ...roadTo.Form5, ['click', 'Form5', 'Command1'], ['open', ['Form2']],
    ['click', 'Form2', 'Command3'], ['click', 'Form3', 'Command1'], ['open', ['Form2']],
    ['click', 'Form2', 'Command1'], ['click', 'Form6', 'Command3'], ['click', 'Form6', 'Command2'],
    ['click', 'Form2', 'Command3'], ['click', 'Form3', 'Command2'], ['open', ['Form4', 'Form9']],
    ['click', 'Form4', 'Command1'], ['ended'],
  ],
  'closing goodbye with a calculator open leaves the calculator running': [
    ...roadTo.Form9, ['click', 'Form6', 'Command2'], ['click', 'Form2', 'Command3'],
    ['click', 'Form3', 'Command2'], ['close', 'Form4'], ['open', ['Form9']],
    ['click', 'Form9', 'Command6'], ['ended'],
  ],
  'closing the last window ends, and start again shows a fresh entry window': [
    ['type', 'Form1', 'Text1', '40'], ['close', 'Form1'], ['ended'],
    ['again'], ['open', ['Form1']], ['text', 'Form1', 'Text1', ''],
    ...roadTo.Form2, ['close', 'Form2'], ['ended'],
  ],
};
for (const [name, steps] of Object.entries(roads)) test(name, () => t.walk(steps));

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
