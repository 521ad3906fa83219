// SPDX-License-Identifier: GPL-3.0-or-later
// The roads the desktop tests walk, through the page: the age gate, the
// puzzle, the calculator and its failures, warnings that block nothing,
// windows closed in unusual orders, and the page once the program has ended.
// One table for every engine: engines.mjs walks it in Chromium, Firefox and
// WebKit through the same driver. Each road starts on a freshly loaded page.
import { roadTo } from './support/road.mjs';

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

const warned = (typed) => [
  ['open', ['Form1', 'Form8']],
  ['click', 'Form8', 'Command1'], ['open', ['Form1']], ['text', 'Form1', 'Text1', typed],
];

export const roads = [
  ...ages.map(([typed, accepted]) => [`age "${typed}" is ${accepted ? 'accepted' : 'refused'}`, [
    ['type', 'Form1', 'Text1', typed], ['click', 'Form1', 'Command1'],
    ...(accepted ? [['open', ['Form2']]] : warned(typed)),
  ]]),
  ...results.map(([typed, second, first]) => [`puzzle ${typed} names ${first} and ${second}`, [
    ...roadTo.Form6, ['type', 'Form6', 'Text1', typed], ['click', 'Form6', 'Command1'],
    ['text', 'Form6', 'Label12', second], ['text', 'Form6', 'Label13', first], ['open', ['Form6']], ['failure', null],
  ]]),
  ...['84', '9885', '', 'ألفان'].map((typed) => [`puzzle "${typed}" warns and keeps everything`, [
    ...roadTo.Form6, ['type', 'Form6', 'Text1', '2064'], ['click', 'Form6', 'Command1'],
    ['type', 'Form6', 'Text1', typed], ['click', 'Form6', 'Command1'], ['open', ['Form6', 'Form7']],
    ['text', 'Form6', 'Label12', '79'], ['text', 'Form6', 'Label13', '21'],
    ['click', 'Form7', 'Command1'], ['open', ['Form6']], ['text', 'Form6', 'Text1', typed],
  ]]),
  ['a result followed by letters stops before writing anything', [
    ...roadTo.Form6, ['type', 'Form6', 'Text1', '2064 تقريبا'], ['click', 'Form6', 'Command1'],
    ['failure', 'NotANumber'], ['text', 'Form6', 'Label12', ''], ['text', 'Form6', 'Label13', ''], ['open', ['Form6']],
    ['dismiss'], ['failure', null],
  ]],
  ...steps.map(([first, second, button, result, kind]) => [
    `calculator ${first} ${button} ${second} ${kind ? `fails with ${kind}` : `gives ${result}`}`, [
      ...roadTo.Form9, ['type', 'Form9', 'Text3', 'keep me'], ['type', 'Form9', 'Text1', first],
      ['type', 'Form9', 'Text2', second], ['click', 'Form9', button],
      ['failure', kind ?? null], ['text', 'Form9', 'Text3', result ?? 'keep me'],
      // The message blocks nothing: the next good step works beside it.
      ...(kind ? [['type', 'Form9', 'Text1', '2'], ['type', 'Form9', 'Text2', '2'], ['click', 'Form9', 'Command1'],
        ['text', 'Form9', 'Text3', '4']] : []),
    ]]),
  ['after clear every operation fails and the result stays empty', [
    ...roadTo.Form9, ['click', 'Form9', 'Command5'],
    ...['Text1', 'Text2', 'Text3'].map((box) => ['text', 'Form9', box, '']),
    ...['Command1', 'Command2', 'Command3', 'Command4'].flatMap((button) =>
      [['click', 'Form9', button], ['failure', 'NotANumber'], ['text', 'Form9', 'Text3', '']]),
  ]],
  ['a refused age leaves the entry window usable beside its warning', [
    ['type', 'Form1', 'Text1', '3'], ['click', 'Form1', 'Command1'],
    ['click', 'Form1', 'Command1'], ['open', ['Form1', 'Form8']],
    ['type', 'Form1', 'Text1', '30'], ['click', 'Form1', 'Command1'], ['open', ['Form2', 'Form8']],
    // The menu opened over the warning: the warning is raised before its button.
    ['raise', 'Form8'], ['click', 'Form8', 'Command1'], ['open', ['Form1', 'Form2']], ['text', 'Form1', 'Text1', ''],
  ]],
  ['the puzzle warning leaves the puzzle usable, and after the puzzle closed shows a fresh one', [
    ...roadTo.Form6, ['type', 'Form6', 'Text1', '5'], ['click', 'Form6', 'Command1'],
    ['click', 'Form6', 'Command3'], ['open', ['Form6', 'Form7', 'Form9']],
    ['click', 'Form6', 'Command2'], ['open', ['Form2', 'Form7', 'Form9']],
    ['raise', 'Form7'], ['click', 'Form7', 'Command1'], ['open', ['Form2', 'Form6', 'Form9']], ['front', 'Form6'],
    ['text', 'Form6', 'Text1', ''],
  ]],
  ['closing the entry window while its warning is open, then the warning, ends', [
    ['click', 'Form1', 'Command1'], ['close', 'Form1'], ['open', ['Form8']], ['close', 'Form8'], ['ended'],
  ]],
  ['one calculator, kept beside the menu after the puzzle goes back', [
    ...roadTo.Form9, ['raise', 'Form6'], ['front', 'Form6'], ['click', 'Form6', 'Command3'],
    ['open', ['Form6', 'Form9']], ['front', 'Form9'],
    ['type', 'Form9', 'Text1', '42'], ['click', 'Form6', 'Command2'], ['open', ['Form2', 'Form9']],
    ['text', 'Form9', 'Text1', '42'], ['click', 'Form2', 'Command1'], ['text', 'Form6', 'Label12', ''],
    ['click', 'Form9', 'Command6'], ['open', ['Form6']],
    ['click', 'Form6', 'Command3'], ['text', 'Form9', 'Text1', '0'], ['text', 'Form9', 'Text3', '0'],
  ]],
  ['about and back, exit refused, then goodbye ends everything, calculator included', [
    ...roadTo.Form5, ['click', 'Form5', 'Command1'], ['open', ['Form2']],
    ['click', 'Form2', 'Command3'], ['click', 'Form3', 'Command1'], ['open', ['Form2']],
    ['click', 'Form2', 'Command1'], ['click', 'Form6', 'Command3'], ['click', 'Form6', 'Command2'],
    ['click', 'Form2', 'Command3'], ['click', 'Form3', 'Command2'], ['open', ['Form4', 'Form9']],
    ['click', 'Form4', 'Command1'], ['ended'],
  ]],
  ['closing goodbye with a calculator open leaves the calculator running', [
    ...roadTo.Form9, ['click', 'Form6', 'Command2'], ['click', 'Form2', 'Command3'],
    ['click', 'Form3', 'Command2'], ['close', 'Form4'], ['open', ['Form9']],
    ['click', 'Form9', 'Command6'], ['ended'],
  ]],
  // Before the program arrives the first window is the page's own HTML; the
  // program takes it over with what was typed, and a press made meanwhile
  // is handled once it has, once.
  ...[['3', ['Form1', 'Form8']], ['25', ['Form2']]].map(([typed, open]) => [`typed "${typed}" and pressed before the program arrives`, [
    ['held'], ['type', 'Form1', 'Text1', typed], ['click', 'Form1', 'Command1'], ['open', ['Form1']],
    ['release'], ['open', open], ['presses', 1],
  ]]),
  ['typed before the program arrives, kept after it; closed, and started again afresh', [
    ['held'], ['type', 'Form1', 'Text1', '40'], ['release'], ['text', 'Form1', 'Text1', '40'], ['presses', 0],
    ['close', 'Form1'], ['ended'], ['again'], ['open', ['Form1']], ['text', 'Form1', 'Text1', ''],
  ]],
  ['closing the last window ends, and start again shows a fresh entry window', [
    ['type', 'Form1', 'Text1', '40'], ['close', 'Form1'], ['ended'],
    ['again'], ['open', ['Form1']], ['text', 'Form1', 'Text1', ''],
    ...roadTo.Form2, ['close', 'Form2'], ['ended'],
  ]],
];
