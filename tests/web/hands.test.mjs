// SPDX-License-Identifier: GPL-3.0-or-later
// The page in every hand: double clicks and double taps, windows that cover
// nothing, phones, focus you can see (also in forced colours), contrast,
// digits in one font, a page that cannot start, selectable text and the
// keyboard's way in and out. Chromium only: forced colours are emulated here.
import { expect, test } from '@playwright/test';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { siteDir } from './support/browser.mjs';
import { Takhmin, forms, roadTo } from './support/takhmin.mjs';

const phone = { viewport: { width: 360, height: 740 }, hasTouch: true, isMobile: true };
const smallPhone = { viewport: { width: 320, height: 568 }, hasTouch: true, isMobile: true };

async function started(page) {
  const t = new Takhmin(page);
  await t.start();
  return t;
}

// Each visible window's box in page coordinates, in the order of the column.
const boxes = (page) => page.evaluate(() => [...document.querySelectorAll('.window:not([hidden])')]
  .map((w) => { const r = w.getBoundingClientRect(); return { form: w.dataset.form, x: r.x + scrollX, y: r.y + scrollY, w: r.width, h: r.height }; })
  .sort((a, b) => a.y - b.y));
const overlaps = (a, b) => a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;

// The first press opens a window whose button lands under the pointer; the
// second press of the double click or tap must not press it.
const doubles = [
  // name, screen, road, form, control pressed twice, windows open after
  ['double click on the entry button', {}, [['type', 'Form1', 'Text1', '25']], 'Form1', 'Command1', ['Form2']],
  ['double tap on "no" at 360 px', phone, roadTo.Form3, 'Form3', 'Command1', ['Form2']],
];
for (const [name, screen, road, form, control, open] of doubles) {
  test.describe(() => {
    test.use(screen);
    test(`${name} presses one button only`, async ({ page }) => {
      const t = await started(page);
      await t.walk(road);
      const target = t.control(form, control);
      await target.scrollIntoViewIfNeeded();
      const box = await target.boundingBox();
      const [x, y] = [box.x + box.width / 2, box.y + box.height / 2];
      // Holds the real double press back until the new window has appeared.
      await page.evaluate(() => { window.afterFirst = new Promise((r) => document.addEventListener('click', r, { once: true })); });
      if (screen.hasTouch) {
        // Taps with the times of a real double tap, 200 ms apart, however
        // long a busy machine takes to deliver them.
        const cdp = await page.context().newCDPSession(page);
        const start = Date.now() / 1000;
        const tap = async (at) => {
          for (const type of ['touchStart', 'touchEnd'])
            await cdp.send('Input.dispatchTouchEvent', { type, touchPoints: type === 'touchStart' ? [{ x, y }] : [], timestamp: at });
        };
        await tap(start);
        await page.evaluate(() => window.afterFirst);
        await tap(start + 0.2);
      } else {
        await page.mouse.click(x, y);
        await page.evaluate(() => window.afterFirst);
        await page.mouse.down({ clickCount: 2 });
        await page.mouse.up({ clickCount: 2 });
      }
      await t.expectOpen(open);
    });
  });
}

test('a new window covers no other; the list of open windows brings any back', async ({ page }) => {
  const t = await started(page);
  await t.walk(roadTo.Form9);
  const [a, b] = await boxes(page);
  expect(overlaps(a, b), `${JSON.stringify(a)} ${JSON.stringify(b)}`).toBe(false);
  const list = page.getByRole('navigation');
  await expect(list.getByRole('button')).toHaveText([forms.Form6.title.trim(), forms.Form9.title.trim()]);
  for (const form of ['Form6', 'Form9']) {
    await list.getByRole('button', { name: forms[form].title.trim(), exact: true }).click();
    await t.expectFront(form);
    await expect(list.getByRole('button', { name: forms[form].title.trim(), exact: true })).toHaveAttribute('aria-current', 'true');
  }
  // After a rotation and back, each window stands where it stood.
  await page.setViewportSize({ width: 700, height: 1200 });
  await page.setViewportSize({ width: 1280, height: 900 });
  await expect.poll(() => boxes(page)).toEqual([a, b]);
});

for (const [name, screen] of [['360 px', phone], ['320 px', smallPhone]]) {
  test.describe(() => {
    test.use(screen);
    test(`a ${name} touch phone: one column, full-size text, every control reachable, no keyboard unasked`, async ({ page }) => {
      const t = await started(page);
      await t.walk([['type', 'Form1', 'Text1', '25']]);
      await t.control('Form1', 'Command1').tap();
      await t.control('Form2', 'Command1').tap();
      await t.walk([['open', ['Form6']]]);
      // The puzzle opens without focusing its box, which would raise the keyboard.
      expect(await page.evaluate(() => document.activeElement.tagName)).not.toBe('INPUT');
      await t.control('Form6', 'Command3').tap();
      await t.walk([['type', 'Form9', 'Text1', '5'], ['type', 'Form9', 'Text2', '0'], ['click', 'Form9', 'Command4'],
        ['failure', 'DivisionByZero']]);
      for (const rotate of [false, true]) {
        if (rotate) {
          await page.setViewportSize({ width: screen.viewport.height, height: screen.viewport.width });
          await page.setViewportSize(screen.viewport);
        }
        const column = await boxes(page);
        expect(column.map((w) => w.form)).toEqual(['Form6', 'Form9', 'failure']);
        column.slice(1).forEach((w, i) => expect(w.y).toBeGreaterThanOrEqual(column[i].y + column[i].h));
        const page_ = await page.evaluate(() => [document.documentElement.scrollWidth, innerWidth]);
        expect(page_[0]).toBeLessThanOrEqual(page_[1]);
      }
      for (const [form, control] of [['Form6', 'Label12'], ['Form6', 'Command1'], ['Form9', 'Command4'], ['Form9', 'Command6'], ['Form6', 'Label1']]) {
        const el = page.locator(`[data-form="${form}"] [data-control="${control}"]`);
        await el.scrollIntoViewIfNeeded();
        const reached = await el.evaluate((e) => {
          const r = e.getBoundingClientRect();
          const hit = document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2);
          return [e.contains(hit), parseFloat(getComputedStyle(e).fontSize) * r.width / e.offsetWidth];
        });
        expect(reached[0], `${form} ${control} reachable`).toBe(true);
        expect(reached[1], `${form} ${control} text size`).toBeGreaterThanOrEqual(11);
      }
    });
  });
}

// WCAG relative luminance and contrast of CSS colours as computed styles give them.
function luminance(css) {
  const [r, g, b] = css.match(/[\d.]+/g).slice(0, 3).map((v) => {
    const c = Number(v) / 255;
    return c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4;
  });
  return 0.2126 * r + 0.7152 * g + 0.0722 * b;
}
function contrast(a, b) {
  const [x, y] = [luminance(a), luminance(b)].sort((p, q) => q - p);
  return (x + 0.05) / (y + 0.05);
}

for (const forced of ['none', 'active']) {
  test(`focus ring and marks with forced colours ${forced}`, async ({ page }) => {
    await page.emulateMedia({ forcedColors: forced });
    const t = await started(page);
    await t.walk([...roadTo.Form9, ['type', 'Form9', 'Text2', '0'], ['click', 'Form9', 'Command4']]);
    // What a control looks like: its ring, its border, and the colours inside
    // it (a see-through control shows its gradient or the window behind it).
    const style = (selector, pseudo) => page.locator(selector).first().evaluate((e, p) => {
      const s = getComputedStyle(e, p);
      const clear = (c) => /rgba\(.*, 0\)$/.test(c);
      const inside = clear(s.backgroundColor)
        ? s.backgroundImage.match(/rgba?\([^)]*\)/g) ?? [getComputedStyle(e.closest('.window')).backgroundColor]
        : [s.backgroundColor];
      return { outline: s.outlineColor, width: parseFloat(s.outlineWidth), offset: parseFloat(s.outlineOffset),
        line: s.outlineStyle, border: s.borderTopColor, borderWidth: parseFloat(s.borderTopWidth), background: inside[0], inside };
    }, pseudo);
    // Keyboard focus on a button and a text box: a 2 px ring, 3:1 against what it covers.
    // The button gets the focus back from the failure message, the box by a script.
    const button = '[data-form="Form9"] [data-control="Command4"]', box = '[data-form="Form9"] [data-control="Text1"]';
    for (const [selector, focus] of [[button, () => page.keyboard.press('Escape')], [box, () => page.locator(box).focus()]]) {
      const before = await style(selector);
      await focus();
      await expect(page.locator(selector)).toBeFocused();
      const ring = await style(selector);
      expect(ring.line).toBe('solid');
      expect(ring.width).toBeGreaterThanOrEqual(2);
      // The pixels under the ring: the border, unless the ring lies wholly inside it.
      const covered = [...(ring.offset < -before.borderWidth ? [] : [before.border]), ...before.inside];
      for (const colour of covered)
        expect(contrast(ring.outline, colour), `${selector} ring on ${colour}`).toBeGreaterThanOrEqual(3);
    }
    // Marks stay visible; the active title bar stands out from the others.
    const close = await style('[data-form="Form9"] .close');
    expect(contrast((await style('[data-form="Form9"] .close', '::before')).background, close.background)).toBeGreaterThanOrEqual(3);
    const active = await style('.window.active .titlebar');
    const inactive = await style('.window:not(.active) .titlebar');
    if (forced === 'active') expect(contrast(active.background, inactive.background)).toBeGreaterThanOrEqual(3);
    else expect(active.background).not.toBe(inactive.background);
  });
}

test('contrast: active title text, the ended page, text box borders', async ({ page }) => {
  const t = await started(page);
  const title = await page.locator('.window.active .titlebar').evaluate((e) => [getComputedStyle(e).color, getComputedStyle(e).backgroundImage]);
  const stops = title[1].match(/rgba?\([^)]*\)/g);
  expect(stops).toHaveLength(2);
  for (const stop of stops) expect(contrast(title[0], stop), stop).toBeGreaterThanOrEqual(4.5);
  const box = await t.control('Form1', 'Text1').evaluate((e) => [getComputedStyle(e).borderTopColor, getComputedStyle(e).backgroundColor]);
  expect(contrast(...box)).toBeGreaterThanOrEqual(3);
  await t.close('Form1');
  const ended = await page.locator('#ended p').evaluate((e) => [getComputedStyle(e).color, getComputedStyle(document.body).backgroundColor]);
  expect(contrast(...ended)).toBeGreaterThanOrEqual(4.5);
});

test('every character a user may type is in the one Arabic font', () => {
  const typed = '0123456789.,+-\u2212Ee٠١٢٣٤٥٦٧٨٩۰۱۲۳۴۵۶۷۸۹٫٬، ؛؟ءآأؤإئابةتثجحخدذرزسشصضطظعغـفقكلمنهوىيًٌٍَُِّْ';
  const missing = execFileSync('/usr/bin/python3', ['-c', `import sys
from fontTools.ttLib import TTFont
cmap = TTFont(sys.argv[1]).getBestCmap()
print(''.join(c for c in sys.argv[2] if ord(c) not in cmap))`, path.join(siteDir, 'fonts', 'naskh.woff2'), typed], { encoding: 'utf8' });
  expect(missing.trim()).toBe('');
});

// The page that cannot start says why, in Arabic, instead of a blank desktop.
const failures = [
  // name, what goes wrong, the reason shown
  ['the wasm is missing', (page) => page.route('**/takhmin.wasm', (r) => r.fulfill({ status: 404 })), 'failed'],
  ['the module is missing', (page) => page.route('**/takhmin.js', (r) => r.fulfill({ status: 404 })), 'failed'],
  ['the wasm is damaged', (page) => page.route('**/takhmin.wasm', (r) => r.fulfill({ body: 'not wasm', contentType: 'application/wasm' })), 'failed'],
];
for (const [name, breakIt, reason] of failures) {
  test(`start-up fails when ${name}`, async ({ page }) => {
    await breakIt(page);
    await page.goto('index.html');
    const failure = page.getByRole('alert');
    await expect(failure.locator(`[data-reason="${reason}"]`)).toBeVisible();
    await expect(failure.getByRole('button')).toBeFocused();
    await expect(page.locator('#loading')).toHaveCount(0);
  });
}

test('opened from disk it says to use a web server', async ({ page }) => {
  await page.goto(pathToFileURL(path.join(siteDir, 'index.html')).href);
  await expect(page.getByRole('alert').locator('[data-reason="disk"]')).toBeVisible();
});

test('a slow start shows that it is loading', async ({ page }) => {
  let release;
  const held = new Promise((r) => { release = r; });
  await page.route('**/takhmin.wasm', async (r) => { await held; await r.continue(); });
  await page.goto('index.html');
  await expect(page.locator('#loading')).toBeVisible();
  release();
  await expect(new Takhmin(page).window('Form1')).toBeVisible();
  await expect(page.locator('#loading')).toHaveCount(0);
});

test('the first window looks the same without JavaScript, before the program and after', async ({ page, browser, baseURL }) => {
  // The loading sign, there until the program has started, is no part of it.
  const shot = async (p) => {
    await p.evaluate(() => document.getElementById('loading')?.style.setProperty('visibility', 'hidden'));
    return p.screenshot();
  };
  const plain = await browser.newPage({ javaScriptEnabled: false, viewport: page.viewportSize(), deviceScaleFactor: 1 });
  await plain.goto(`${baseURL}index.html`);
  const t = new Takhmin(page);
  await t.held();
  const before = await shot(page);
  await t.release();
  const after = await shot(page);
  expect(Buffer.compare(before, after), 'before and after').toBe(0);
  expect(Buffer.compare(await shot(plain), after), 'without JavaScript').toBe(0);
  await plain.close();
});

// Where the first window, its view's scroll and the list of open windows
// stand must not move when the program takes them over, at any screen size.
for (const viewport of [{ width: 1280, height: 900 }, { width: 360, height: 740 }, { width: 740, height: 360 }]) {
  test(`the first window stays put when the program arrives, ${viewport.width}x${viewport.height}`, async ({ page }) => {
    await page.setViewportSize(viewport);
    const where = () => page.evaluate(() => ['#taskbar', '.window', '.view'].map((s) => {
      const el = document.querySelector(s);
      return [JSON.stringify(el.getBoundingClientRect()), el.scrollLeft];
    }));
    const t = new Takhmin(page);
    await t.held();
    const before = await where();
    await t.release();
    expect(await where()).toEqual(before);
  });
}

const selections = [
  // road, form, label: a triple click on it selects its text
  [[...roadTo.Form6, ['type', 'Form6', 'Text1', '2064'], ['click', 'Form6', 'Command1']], 'Form6', 'Label12'],
  [roadTo.Form5, 'Form5', 'Label4'],
];
for (const [road, form, label] of selections) {
  test(`${form} ${label} can be selected and copied`, async ({ page }) => {
    const t = await started(page);
    await t.walk(road);
    const control = t.control(form, label);
    await control.click({ clickCount: 3 });
    const selected = await page.evaluate(() => getSelection().toString().trim());
    expect(selected).toBe((await control.textContent()).trim());
  });
}

test('keyboard: Tab stays in the window, Escape closes the failure, F6 leads out to the browser', async ({ page }) => {
  const t = await started(page);
  await t.walk([...roadTo.Form9, ['type', 'Form9', 'Text2', '0'], ['click', 'Form9', 'Command4']]);
  await page.keyboard.press('Escape');
  await t.walk([['failure', null], ['front', 'Form9']]);
  for (let i = 0; i < 10; ++i) {
    await page.keyboard.press(i % 3 ? 'Tab' : 'Shift+Tab');
    expect(await t.window('Form9').evaluate((w) => w.contains(document.activeElement))).toBe(true);
  }
  // From the last window F6 reaches the list; there the browser's F6 and Tab are left alone.
  await page.evaluate(() => window.addEventListener('keydown', (e) => { window.lastKeyTaken = e.defaultPrevented; }));
  await page.keyboard.press('F6');
  await expect(page.getByRole('navigation').getByRole('button', { name: forms.Form9.title.trim(), exact: true })).toBeFocused();
  for (const key of ['F6', 'Tab']) {
    await page.getByRole('navigation').getByRole('button').first().focus();
    await page.keyboard.press(key);
    expect(await page.evaluate(() => window.lastKeyTaken), key).toBe(false);
  }
});

// Two checks that are no steps of the roads: the pixels of a clipped answer,
// and pasting, which needs the clipboard permission Playwright grants.
test('an answer wider than its box shows its start, cut at the right edge', async ({ page }) => {
  const t = await started(page);
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
    const t = await started(page);
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
