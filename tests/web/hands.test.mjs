// SPDX-License-Identifier: GPL-3.0-or-later
// The page in every hand: double clicks and double taps, windows that cover
// nothing, phones, focus you can see (also in forced colours), contrast,
// digits in one font, a page that cannot start, selectable text and the
// keyboard's way in and out. Chromium only: forced colours are emulated here.
import { expect, test } from '@playwright/test';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { hashedFiles, siteDir } from './support/browser.mjs';
import { Takhmin, forms, roadTo, row } from './support/takhmin.mjs';

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

// An impatient second tap, where the entry button was, lands on the menu's
// "exit" that appeared there: too soon it does nothing, later it is a press.
const impatient = [
  // ms after the first tap, the windows open after it
  [600, ['Form2']],
  [800, ['Form2']],
  [1400, ['Form3']],
];
for (const [after, open] of impatient) {
  test.describe(() => {
    test.use({ hasTouch: true });
    test(`a second tap ${after} ms after the first, on the window that appeared under it`, async ({ page }) => {
      const t = await started(page);
      await t.walk([['type', 'Form1', 'Text1', '25']]);
      // Where the entry button and the menu's exit cover each other; both
      // windows open at the same free place.
      const [a, b] = [row('Form1', 'Command1'), row('Form2', 'Command3')].map((c) => ({ x: c.left / 15, y: c.top / 15, r: (c.left + c.width) / 15, b: (c.top + c.height) / 15 }));
      const client = await t.window('Form1').locator('[data-client]').boundingBox();
      const x = client.x + (Math.max(a.x, b.x) + Math.min(a.r, b.r)) / 2, y = client.y + (Math.max(a.y, b.y) + Math.min(a.b, b.b)) / 2;
      const cdp = await page.context().newCDPSession(page);
      const tap = async () => {
        for (const type of ['touchStart', 'touchEnd'])
          await cdp.send('Input.dispatchTouchEvent', { type, touchPoints: type === 'touchStart' ? [{ x, y }] : [], timestamp: Date.now() / 1000 });
      };
      const first = Date.now();
      await tap();
      await t.expectOpen(['Form2']);
      expect(await page.evaluate(([px, py]) => document.elementFromPoint(px, py).textContent, [x, y])).toBe(row('Form2', 'Command3').text);
      await new Promise((r) => setTimeout(r, first + after - Date.now()));
      await tap();
      await page.waitForTimeout(300);
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
        expect(reached[1], `${form} ${control} text size`).toBeGreaterThanOrEqual(12);
      }
      // A phone zooms into a text box whose text is under 16 px.
      for (const box of await page.locator('input').all())
        expect(parseFloat(await box.evaluate((e) => getComputedStyle(e).fontSize))).toBeGreaterThanOrEqual(16);
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

// The focus ring itself is measured on the pixels (below).
for (const forced of ['none', 'active']) {
  test(`marks and title bars with forced colours ${forced}`, async ({ page }) => {
    await page.emulateMedia({ forcedColors: forced });
    const t = await started(page);
    await t.walk(roadTo.Form9);
    const style = (selector, pseudo) => page.locator(selector).first().evaluate((e, p) => {
      const s = getComputedStyle(e, p);
      const clear = (c) => /rgba\(.*, 0\)$/.test(c);
      const inside = clear(s.backgroundColor)
        ? s.backgroundImage.match(/rgba?\([^)]*\)/g) ?? [getComputedStyle(e.closest('.window')).backgroundColor]
        : [s.backgroundColor];
      return { background: inside[0] };
    }, pseudo);
    // Marks stay visible; the active title bar stands out from the others.
    const close = await style('[data-form="Form9"] .close');
    expect(contrast((await style('[data-form="Form9"] .close', '::before')).background, close.background)).toBeGreaterThanOrEqual(3);
    const active = await style('.window.active .titlebar');
    const inactive = await style('.window:not(.active) .titlebar');
    if (forced === 'active') expect(contrast(active.background, inactive.background)).toBeGreaterThanOrEqual(3);
    else expect(active.background).not.toBe(inactive.background);
  });
}

// The focus ring on the pixels (WCAG 2.4.13): the pixels that change by 3:1
// or more between the control unfocused and focused must cover at least a
// 2 px line round the control (4 px per pixel of width and height).
const rings = [
  // colours, control: a window's form and control, or the list's button
  ['light', 'Form9', 'Command4'], ['light', 'Form9', 'Text1'], ['light', null, null],
  ['dark', 'Form9', 'Command4'], ['dark', 'Form9', 'Text1'],
  ['forced', 'Form9', 'Command4'], ['forced', 'Form9', 'Text1'], ['forced', null, null],
];
for (const [colours, form, control] of rings) {
  test(`focus ring in ${colours} colours on ${control ?? 'the list of windows'}: a 2 px line's area changes by 3:1`, async ({ page, context }) => {
    await page.emulateMedia(colours === 'forced' ? { forcedColors: 'active' } : { colorScheme: colours });
    const t = await started(page);
    await t.walk(roadTo.Form9);
    const target = control ? t.control(form, control) : page.getByRole('navigation').getByRole('button').last();
    const other = t.control('Form9', 'Text2');
    await page.keyboard.press('Tab');
    await other.focus();
    const box = await target.boundingBox();
    const clip = { x: box.x - 5, y: box.y - 5, width: box.width + 10, height: box.height + 10 };
    const before = await page.screenshot({ clip });
    await target.focus();
    await expect(target).toBeFocused();
    const after = await page.screenshot({ clip });
    // Decoded on a blank page: the site's own policy allows no data: images.
    const blank = await context.newPage();
    const changed = await blank.evaluate(async ([a, b]) => {
      const pixels = async (png) => {
        const image = new Image();
        image.src = `data:image/png;base64,${png}`;
        await image.decode();
        const canvas = new OffscreenCanvas(image.width, image.height);
        const g = canvas.getContext('2d');
        g.drawImage(image, 0, 0);
        return g.getImageData(0, 0, image.width, image.height).data;
      };
      const lum = (d, i) => [0, 1, 2].map((k) => { const c = d[i + k] / 255; return c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4; })
        .reduce((sum, c, k) => sum + c * [0.2126, 0.7152, 0.0722][k], 0);
      const [p, q] = [await pixels(a), await pixels(b)];
      let n = 0;
      for (let i = 0; i < p.length; i += 4) {
        const [x, y] = [lum(p, i), lum(q, i)].sort((u, v) => v - u);
        if ((x + 0.05) / (y + 0.05) >= 3) ++n;
      }
      return n;
    }, [before.toString('base64'), after.toString('base64')]);
    await blank.close();
    expect(changed).toBeGreaterThanOrEqual(4 * (box.width + box.height));
  });
}

// The page in a dark system's colours keeps every contrast; the table's own
// backgrounds keep theirs, with their dark text.
for (const scheme of ['light', 'dark']) {
  test(`contrast in ${scheme} colours: text, boxes, buttons, title bars, the table's own colours`, async ({ page }) => {
    await page.emulateMedia({ colorScheme: scheme });
    const t = await started(page);
    await t.walk(roadTo.Form9);
    const colours = (locator) => locator.evaluate((e) => {
      const s = getComputedStyle(e);
      const stops = s.backgroundImage.match(/rgba?\([^)]*\)/g);
      return { text: s.color, border: s.borderTopColor, backgrounds: stops ?? [s.backgroundColor] };
    });
    const window = await colours(t.window('Form9').locator('[data-client]'));
    const windowBackground = await t.window('Form9').evaluate((e) => getComputedStyle(e).backgroundColor);
    const pairs = [];
    for (const [name, least] of [['Label3', 4.5], ['Label1', 4.5], ['Label6', 4.5], ['Command1', 4.5], ['Text1', 4.5]]) {
      const c = await colours(t.control('Form9', name));
      const behind = c.backgrounds.every((b) => /^rgba\(.*, 0\)$/.test(b)) ? [windowBackground] : c.backgrounds;
      for (const b of behind) pairs.push([`${name} text`, c.text, b, least]);
      if (name === 'Text1') pairs.push([`${name} border`, c.border, windowBackground, 3]);
    }
    for (const title of ['.window.active .titlebar', '.window:not(.active) .titlebar']) {
      const c = await colours(page.locator(title).first());
      for (const b of c.backgrounds) pairs.push([`${title} text`, c.text, b, 4.5]);
    }
    pairs.push(['window text', window.text, windowBackground, 4.5]);
    for (const [what, a, b, least] of pairs) expect(contrast(a, b), `${what}: ${a} on ${b}`).toBeGreaterThanOrEqual(least);
    // The ordinary colours follow the system; the table's own stay.
    const label1 = await colours(t.control('Form9', 'Label1'));
    expect(label1.backgrounds[0]).toBe('rgb(128, 255, 128)');
    expect(luminance(windowBackground) < 0.2).toBe(scheme === 'dark');
  });
}

for (const motion of ['reduce', 'no-preference']) {
  test(`the loading sign ${motion === 'reduce' ? 'stands still' : 'turns'} with reduced motion ${motion}`, async ({ page }) => {
    await page.emulateMedia({ reducedMotion: motion });
    const t = new Takhmin(page);
    await t.held();
    const turning = await page.locator('#loading .spinner').evaluate((e) => e.getAnimations().length > 0);
    expect(turning).toBe(motion !== 'reduce');
    await t.release();
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

// The whole Arabic font's file in the built site, by the name the build gave it.
const wholeFontFile = () => {
  const fonts = path.join(siteDir, 'fonts');
  const name = fs.readdirSync(fonts).find((file) => hashedFiles.wholeFont.test(`/fonts/${file}`));
  expect(name, `no whole Arabic font in ${fonts}`).toBeTruthy();
  return path.join(fonts, name);
};

test('every character a user may type is in the one Arabic font', () => {
  const typed = '0123456789.,+-\u2212Ee٠١٢٣٤٥٦٧٨٩۰۱۲۳۴۵۶۷۸۹٫٬، ؛؟ءآأؤإئابةتثجحخدذرزسشصضطظعغـفقكلمنهوىيًٌٍَُِّْ';
  const missing = execFileSync('/usr/bin/python3', ['-c', `import sys
from fontTools.ttLib import TTFont
cmap = TTFont(sys.argv[1]).getBestCmap()
print(''.join(c for c in sys.argv[2] if ord(c) not in cmap))`, wholeFontFile(), typed], { encoding: 'utf8' });
  expect(missing.trim()).toBe('');
});

// The page that cannot start says why, in Arabic, instead of a blank desktop.
const failures = [
  // name, what goes wrong, the reason shown
  ['the wasm is missing', (page) => page.route(hashedFiles.wasm, (r) => r.fulfill({ status: 404 })), 'failed'],
  ['the module is missing', (page) => page.route(hashedFiles.program, (r) => r.fulfill({ status: 404 })), 'failed'],
  ['the wasm is damaged', (page) => page.route(hashedFiles.wasm, (r) => r.fulfill({ body: 'not wasm', contentType: 'application/wasm' })), 'failed'],
];
for (const [name, breakIt, reason] of failures) {
  test(`start-up fails when ${name}`, async ({ page }) => {
    await breakIt(page);
    await page.goto('index.html');
    const failure = page.getByRole('alert');
    await expect(failure.locator(`[data-reason="${reason}"]`)).toBeVisible();
    await expect(failure.getByRole('button')).toBeFocused();
    await expect(page.locator('#loading')).toHaveCount(0);
    // Nothing of the program's desk or its list of windows is left to find.
    await expect(page.getByRole('application')).toHaveCount(0);
  });
}

test('opened from disk it says to use a web server', async ({ page }) => {
  await page.goto(pathToFileURL(path.join(siteDir, 'index.html')).href);
  await expect(page.getByRole('alert').locator('[data-reason="disk"]')).toBeVisible();
});

test('a slow start shows that it is loading', async ({ page }) => {
  let release;
  const held = new Promise((r) => { release = r; });
  await page.route(hashedFiles.wasm, async (r) => { await held; await r.continue(); });
  await page.goto('index.html');
  await expect(page.locator('#loading')).toBeVisible();
  release();
  await expect(new Takhmin(page).window('Form1')).toBeVisible();
  await expect(page.locator('#loading')).toHaveCount(0);
});

// The first window stands in the page before the start-up script has
// arrived; a press then is held by the page itself and handled once.
test('a press made before the start-up script has arrived is handled', async ({ page }) => {
  let release;
  const held = new Promise((r) => { release = r; });
  await page.route(/\/start\.[0-9a-f]{16}\.js$/, async (r) => { await held; await r.continue(); });
  await page.goto('index.html', { waitUntil: 'commit' });
  const t = new Takhmin(page);
  await t.type('Form1', 'Text1', '25');
  await t.control('Form1', 'Command1').click();
  await t.control('Form1', 'Command1').click();
  release();
  await t.expectOpen(['Form2']);
});

// A page loaded out of sight, as in a tab opened in the background, has no
// first paint reported; it still gives the focus, asks for the whole font
// and names it for every later window.
test('a page whose first paint is never reported still starts', async ({ page }) => {
  await page.addInitScript(() => {
    const observe = PerformanceObserver.prototype.observe;
    PerformanceObserver.prototype.observe = function (options) {
      if (options?.type !== 'paint') observe.call(this, options);
    };
  });
  const asked = [];
  page.on('request', (r) => { if (hashedFiles.wholeFont.test(r.url())) asked.push(r.url()); });
  await page.goto('index.html');
  const t = new Takhmin(page);
  await expect(t.control('Form1', 'Command1')).toBeFocused();
  await expect.poll(() => asked.length).toBe(1);
  await expect(page.locator('html')).toHaveClass(/naskh-whole/);
  await t.expectOpen(['Form1']);
});

// Every text of the page laid out again and drawn: Chromium draws the
// rounded corners of a control whose text was laid out again one level of
// grey apart, whatever the font, and a screenshot compares what a text
// looks like and where it is. A page without JavaScript draws no frames for
// requestAnimationFrame: a screenshot draws one there.
async function layOutAgain(page, drawn = () => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))))) {
  await page.evaluate(() => { document.body.style.fontFamily = 'serif'; });
  await drawn();
  await page.evaluate(() => { document.body.style.fontFamily = ''; });
  await drawn();
}

test('the first window looks the same without JavaScript, before the program and after', async ({ page, browser, baseURL }) => {
  // The loading sign, there until the program has started, is no part of it.
  const shot = async (p) => {
    await p.evaluate(() => document.getElementById('loading')?.style.setProperty('visibility', 'hidden'));
    await layOutAgain(p, () => p.screenshot());
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

// The first window is drawn by the first cut of the Arabic font, which comes
// with the page; the whole font is asked for once it is drawn, and draws
// every later text once it is in. Held back here until the first
// screenshot: the window, and what was typed into it, must not change a
// pixel when it comes.
const fontCuts = [
  // screen, typed into the age box before the whole font arrives
  [{ width: 1280, height: 900 }, ''],
  [{ width: 1280, height: 900 }, '−١٢٫٥E+3'],
  [{ width: 360, height: 740 }, '۲۵,5'],
  [{ width: 740, height: 360 }, '-25.5e1'],
];
for (const [viewport, typed] of fontCuts) {
  test(`the whole font changes no pixel of the first window, ${viewport.width}x${viewport.height}, "${typed}" typed`, async ({ page }) => {
    await page.setViewportSize(viewport);
    let release;
    const held = new Promise((r) => { release = r; });
    const asked = [];
    await page.route(hashedFiles.wholeFont, async (r) => { asked.push(r.request().url()); await held; await r.continue(); });
    // The program, which takes the window over, waits until both shots are taken.
    let start;
    const program = new Promise((r) => { start = r; });
    await page.route(hashedFiles.wasm, async (r) => { await program; await r.continue(); });
    await page.goto('index.html');
    const form = new Takhmin(page).window('Form1');
    await expect(form).toBeVisible();
    // The whole font is asked for once the first cut has drawn the window.
    await expect.poll(() => asked.length).toBe(1);
    if (typed) await page.locator('[data-form="Form1"] input').fill(typed);
    // Through the protocol, as Playwright takes its own, which waits for
    // every font, the held one too. The loading sign and the caret are no
    // part of it.
    const cdp = await page.context().newCDPSession(page);
    const shot = async () => {
      const clip = await page.evaluate(() => {
        document.getElementById('loading')?.style.setProperty('visibility', 'hidden');
        document.querySelector('[data-form="Form1"] input').style.caretColor = 'transparent';
        return { x: scrollX, y: scrollY, width: innerWidth, height: innerHeight, scale: 1 };
      });
      await layOutAgain(page);
      return Buffer.from((await cdp.send('Page.captureScreenshot', { format: 'png', clip })).data, 'base64');
    };
    const text = await form.textContent() + typed;
    const fonts = () => page.evaluate(([text, wholeFont]) => ({
      first: document.fonts.check('1em "Takhmin Naskh"', text),
      whole: performance.getEntriesByType('resource').some((e) => new RegExp(wholeFont).test(e.name) && e.responseEnd > 0),
      later: document.documentElement.classList.contains('naskh-whole'),
    }), [text, hashedFiles.wholeFont.source]);
    expect(await fonts()).toEqual({ first: true, whole: false, later: true });
    const before = await shot();
    release();
    await expect.poll(fonts).toEqual({ first: true, whole: true, later: true });
    const after = await shot();
    expect(Buffer.compare(before, after), 'before and after the whole font').toBe(0);
    start();
  });
}

// What is typed into a box is drawn by the whole font's glyphs, a number's
// characters (which come from the first cut) included: the box looks the
// same drawn by the whole font alone. A box drawn from the first cut, which
// lacks most forms of most letters, showed empty boxes for them.
const joined = (from, to) => Array.from({ length: to - from + 1 }, (_, i) => String.fromCodePoint(from + i).repeat(3)).join(' ');
const typedTexts = [
  // what is typed: every letter in every form it joins in, letters with marks, numbers
  joined(0x621, 0x63a),
  joined(0x640, 0x64a),
  Array.from({ length: 8 }, (_, i) => '\u0628' + String.fromCodePoint(0x64b + i)).join(''),
  '\u2212\u0661\u0662\u066b\u0665E+3 \u06f2\u06f5,5',
];
for (const typed of typedTexts) {
  test(`typed text is drawn by the whole font's glyphs: ${typed.slice(0, 12)}`, async ({ page }) => {
    const t = await started(page);
    const box = t.control('Form1', 'Text1');
    await box.evaluate((e) => { e.style.width = '1200px'; e.style.caretColor = 'transparent'; });
    await box.fill(typed);
    await page.evaluate(() => document.fonts.ready);
    await layOutAgain(page);
    const own = await box.screenshot();
    await box.evaluate((e) => { e.style.fontFamily = '"Takhmin Naskh Whole", "Takhmin Latin"'; });
    await page.evaluate(() => document.fonts.ready);
    await layOutAgain(page);
    expect(Buffer.compare(own, await box.screenshot())).toBe(0);
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
