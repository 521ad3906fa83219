// SPDX-License-Identifier: GPL-3.0-or-later
// Every control's box against its table, relative to its window's client
// area (15 twips to a CSS pixel), on a wide screen; on narrow screens and at
// 400 % zoom every window set in lines that need no sideways scrolling, in
// the table's reading order, with legible text and targets large enough for
// a finger, also with WCAG's text spacing; dragging a title bar moves its
// window.
import { expect, test } from '@playwright/test';
import { Takhmin, formNames, forms, roadTo } from './support/takhmin.mjs';

const screens = [
  { name: 'desktop', width: 1280, height: 900 },
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
      // Opened fully inside the screen.
      const frame = await window.boundingBox();
      expect(Math.min(frame.x, frame.y)).toBeGreaterThanOrEqual(0);
      expect(frame.x + frame.width).toBeLessThanOrEqual(screen.width + 0.5);
      expect(frame.y + frame.height).toBeLessThanOrEqual(screen.height + 0.5);
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

// Each control's box in the page, its text size, and whether anything inside
// it is cut off; the window's own box and whether anything in it scrolls
// sideways; and the page's.
const measure = (window) => window.evaluate((w) => {
  const box = (e) => { const r = e.getBoundingClientRect(); return { x: r.x, y: r.y, w: r.width, h: r.height }; };
  const controls = Object.fromEntries([...w.querySelectorAll('[data-control]')].map((e) => [e.dataset.control, {
    ...box(e), font: parseFloat(getComputedStyle(e).fontSize), tag: e.tagName,
    cut: e.tagName !== 'INPUT' && (e.scrollHeight > e.clientHeight + 1 || e.scrollWidth > e.clientWidth + 1) }]));
  const sideways = [w, ...w.querySelectorAll('*')].filter((e) => e.scrollWidth > e.clientWidth + 1 && e.tagName !== 'INPUT' &&
    getComputedStyle(e).overflowX !== 'visible' && !e.classList.contains('announce')).map((e) => e.className);
  // Text that a control drawn after its own covers: a control's lines
  // against the boxes of the later ones.
  const all = [...w.querySelectorAll('[data-control]')];
  const covered = all.flatMap((e, i) => {
    const range = document.createRange();
    range.selectNodeContents(e);
    const lines = [...range.getClientRects()];
    return all.slice(i + 1).filter((later) => {
      const b = later.getBoundingClientRect();
      return lines.some((l) => l.right > b.left + 0.5 && b.right > l.left + 0.5 && l.bottom > b.top + 0.5 && b.bottom > l.top + 0.5);
    }).map((later) => `${e.dataset.control} under ${later.dataset.control}`);
  });
  return { controls, window: box(w), close: box(w.querySelector('.close')), title: parseFloat(getComputedStyle(w.querySelector('.title')).fontSize),
    sideways, covered, page: [document.documentElement.scrollWidth, innerWidth] };
});
const apart = (a, b) => a.x + a.w <= b.x + 0.5 || b.x + b.w <= a.x + 0.5 || a.y + a.h <= b.y + 0.5 || b.y + b.h <= a.y + 0.5;
// WCAG 1.4.12's text spacing, as a user's style sheet sets it.
const textSpacing = `* { line-height: 1.5 !important; letter-spacing: 0.12em !important; word-spacing: 0.16em !important; }
  p { margin-bottom: 2em !important; }`;

const narrow = [
  // name, viewport, text spacing
  ['320 px', { width: 320, height: 640 }, false],
  ['375 px', { width: 375, height: 667 }, false],
  ['390 px', { width: 390, height: 844 }, false],
  ['1280 px at 400 %', { width: 320, height: 225 }, false],
  ['a landscape phone', { width: 844, height: 390 }, false],
  ['375 px with text spacing', { width: 375, height: 667 }, true],
  // The table's rectangles, where the targets and text sizes are the table's.
  ['1280 px with text spacing', { width: 1280, height: 900 }, true],
];
for (const [name, viewport, spaced] of narrow) {
  const inLines = viewport.width < 860 || viewport.height < 520;
  for (const form of formNames) {
    test(`${form} at ${name}: ${inLines ? 'in lines, ' : ''}nothing sideways, nothing covered or cut`, async ({ page }) => {
      await page.setViewportSize(viewport);
      const t = new Takhmin(page);
      await t.start();
      // As a user's style sheet, there before the window opens. Through the
      // CSSOM, which the page's Content Security Policy allows.
      if (spaced) await page.evaluate((css) => { const s = new CSSStyleSheet(); s.replaceSync(css); document.adoptedStyleSheets = [s]; }, textSpacing);
      await t.walk(roadTo[form]);
      const m = await measure(t.window(form));
      expect(m.page[0], 'the page scrolls sideways').toBeLessThanOrEqual(m.page[1]);
      expect(m.sideways, 'scrolls sideways inside').toEqual([]);
      expect(m.covered, 'text covered').toEqual([]);
      expect(m.window.x).toBeGreaterThanOrEqual(0);
      expect(m.window.x + m.window.w).toBeLessThanOrEqual(viewport.width);
      const table = forms[form].controls;
      for (const c of table) {
        const found = m.controls[c.name];
        expect(found.x, `${c.name} inside the window`).toBeGreaterThanOrEqual(m.window.x);
        expect(found.x + found.w, `${c.name} inside the window`).toBeLessThanOrEqual(m.window.x + m.window.w + 0.5);
        expect(found.cut, `${c.name} cut`).toBe(false);
        if (!inLines) continue;
        expect(found.font, `${c.name} text size`).toBeGreaterThanOrEqual(found.tag === 'INPUT' ? 16 : 12);
        // 24 px at least (WCAG 2.5.8), and 44 px high.
        if (c.kind !== 'label') {
          expect(Math.min(found.w, found.h), `${c.name} a target for a finger`).toBeGreaterThanOrEqual(24);
          expect(found.h, `${c.name} a target for a finger`).toBeGreaterThanOrEqual(44);
        }
        for (const d of table.filter((o) => o !== c))
          expect(apart(found, m.controls[d.name]), `${c.name} and ${d.name} apart`).toBe(true);
      }
      if (!inLines) return;
      expect(m.title).toBeGreaterThanOrEqual(12);
      expect(Math.min(m.close.w, m.close.h), 'the close control').toBeGreaterThanOrEqual(44);
      // The table's reading order: one control over another stays over it,
      // and of two side by side in a line the one further right in the table
      // stays right.
      for (const a of table) {
        for (const b of table) {
          const [p, q] = [m.controls[a.name], m.controls[b.name]];
          const over = a.top + a.height <= b.top && a.left < b.left + b.width && b.left < a.left + a.width;
          if (over) expect(p.y + p.h, `${a.name} over ${b.name}`).toBeLessThanOrEqual(q.y + 0.5);
          const sameLine = p.y < q.y + q.h && q.y < p.y + p.h;
          if (sameLine && a.left > b.left + b.width) expect(p.x, `${a.name} right of ${b.name}`).toBeGreaterThan(q.x);
        }
      }
      // Each label beside its box, on its right, or over it; and so each caption
      // with its answer.
      const pairs = [...table.filter((c) => c.label).map((c) => [c.label, c.name]),
        ...forms[form].announce.map(({ control, caption }) => [caption, control])];
      for (const [label, control] of pairs) {
        const [l, c] = [m.controls[label], m.controls[control]];
        const beside = l.y < c.y + c.h && c.y < l.y + l.h && l.x >= c.x + c.w - 0.5;
        expect(beside || l.y + l.h <= c.y + 0.5, `${label} beside or over ${control}`).toBe(true);
      }
    });
  }
}

// On a landscape phone the puzzle's steps, its box and answers, and the
// calculator's result fit on the screen together: some scroll of the page
// shows them all.
test('a landscape phone shows the steps, the box, the answers and the calculator together', async ({ page }) => {
  await page.setViewportSize({ width: 844, height: 390 });
  const t = new Takhmin(page);
  await t.start();
  await t.walk([...roadTo.Form9, ['type', 'Form6', 'Text1', '2064'], ['click', 'Form6', 'Command1']]);
  const seen = [['Form6', 'Label2'], ['Form6', 'Label6'], ['Form6', 'Text1'], ['Form6', 'Label12'], ['Form6', 'Label13'], ['Form9', 'Text3']];
  const boxes = await Promise.all(seen.map(([form, name]) => t.window(form).locator(`[data-control="${name}"]`)
    .evaluate((e) => { const r = e.getBoundingClientRect(); return [r.left, r.top + scrollY, r.right, r.bottom + scrollY]; })));
  expect(Math.max(...boxes.map((b) => b[3])) - Math.min(...boxes.map((b) => b[1])), 'the height they take').toBeLessThanOrEqual(390);
  for (const b of boxes) expect(b[0] >= 0 && b[2] <= 844, `${b} within the width`).toBe(true);
});

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
