// SPDX-License-Identifier: GPL-3.0-or-later
// The three engines, each behind the same small connection that ScriptDriver
// (road.mjs) needs: goto, evaluate, a real pointer click at a point of the
// viewport, typing into the focused box, quit.
//   chromium: Debian's chromium through Playwright, one page for every road;
//   firefox: Debian's firefox-esr over WebDriver BiDi (puppeteer-core);
//   webkit:  Debian's WebKitWebDriver starting WebKitGTK's MiniBrowser, on an
//            Xvfb of its own (selenium-webdriver).
// Neither downloads a browser: both start the Debian binaries named here.
import { spawn } from 'node:child_process';
import { existsSync, readdirSync } from 'node:fs';
import { freePort, launchOptions } from './browser.mjs';

// The page's size in CSS px, unless the run asks for another.
const wide = { width: 1280, height: 900 };

// Playwright hands a page function one argument: the call is sent as text.
export const asExpression = (fn, args) => `(${fn})(...${JSON.stringify(args)})`;

async function chromium(viewport = wide) {
  const { chromium: launcher } = await import('@playwright/test');
  const browser = await launcher.launch(launchOptions);
  const page = await browser.newPage({ viewport, locale: 'ar' });
  return {
    version: `chromium/${browser.version()}`,
    goto: (url) => page.goto(url),
    evaluate: (fn, ...args) => page.evaluate(asExpression(fn, args)),
    click: (x, y) => page.mouse.click(x, y),
    typeText: (text) => (text ? page.keyboard.type(text) : page.keyboard.press('Delete')),
    quit: () => browser.close(),
  };
}

async function firefox(viewport = wide) {
  const { default: puppeteer } = await import('puppeteer-core');
  const browser = await puppeteer.launch({
    browser: 'firefox',
    protocol: 'webDriverBiDi',
    executablePath: process.env.TAKHMIN_FIREFOX ?? '/usr/bin/firefox-esr',
    headless: true,
    // Quiet on a closed network: no updates, telemetry or remote settings.
    extraPrefsFirefox: { 'intl.accept_languages': 'ar', 'app.update.enabled': false },
  });
  const page = await browser.newPage();
  await page.setViewport(viewport);
  return {
    version: await browser.version(),
    goto: (url) => page.goto(url),
    evaluate: (fn, ...args) => page.evaluate(fn, ...args),
    click: (x, y) => page.mouse.click(x, y),
    typeText: (text) => (text ? page.keyboard.type(text) : page.keyboard.press('Delete')),
    quit: () => browser.close(),
  };
}

// Starts a child and ends it by its own id when the run ends, also when the
// run itself is ended by a signal.
for (const signal of ['SIGINT', 'SIGTERM', 'SIGHUP']) process.once(signal, () => process.exit(1));
function started(command, args, options) {
  const child = spawn(command, args, options);
  process.once('exit', () => child.kill());
  const stop = () => new Promise((resolve) => {
    if (child.exitCode !== null || child.signalCode !== null) return resolve();
    child.once('exit', resolve);
    child.kill();
  });
  return { child, stop };
}

// An X server on a display it picks itself (-displayfd), as the desktop
// tests start theirs.
function xvfb(screen = '1600x1200') {
  const x = started('Xvfb', ['-displayfd', '3', '-screen', '0', `${screen}x24`, '-nolisten', 'tcp'],
    { stdio: ['ignore', 'ignore', 'pipe', 'pipe'] });
  let log = '';
  x.child.stderr.on('data', (d) => { log += d; });
  return new Promise((resolve, reject) => {
    let number = '';
    x.child.stdio[3].on('data', (d) => {
      number += d;
      if (number.includes('\n')) resolve({ display: `:${number.trim()}`, stop: x.stop });
    });
    x.child.once('exit', (code) => reject(new Error(`Xvfb exited with ${code}: ${log}`)));
  });
}

function miniBrowser() {
  if (process.env.TAKHMIN_MINIBROWSER) return process.env.TAKHMIN_MINIBROWSER;
  for (const dir of readdirSync('/usr/lib')) {
    const binary = `/usr/lib/${dir}/webkit2gtk-4.1/MiniBrowser`;
    if (existsSync(binary)) return binary;
  }
  throw new Error('no MiniBrowser under /usr/lib/*/webkit2gtk-4.1 (Debian package libwebkit2gtk-4.1-0)');
}

// MiniBrowser's toolbar keeps its window from being narrower than about
// 450 px: for a narrower page its fonts are scaled up, which WebKitGTK
// follows with a zoom of its page, so that the window holds fewer CSS px.
// `dark`: the system's colours dark.
async function webkit(viewport = wide, { dark = false } = {}) {
  const { Builder, Key } = await import('selenium-webdriver');
  const scaled = viewport.width < 480 ? { GDK_DPI_SCALE: '2' } : {};
  const x = await xvfb(scaled.GDK_DPI_SCALE ? '2400x2000' : undefined);
  const port = await freePort();
  let log = '';
  const driverProcess = started('WebKitWebDriver', [`--port=${port}`],
    { stdio: ['ignore', 'pipe', 'pipe'], env: { ...process.env, DISPLAY: x.display, ...scaled } });
  driverProcess.child.stdout.on('data', (d) => { log += d; });
  driverProcess.child.stderr.on('data', (d) => { log += d; });
  const stopAll = async () => { await driverProcess.stop(); await x.stop(); };
  try {
    for (let i = 0; ; ++i) {
      try {
        if ((await fetch(`http://127.0.0.1:${port}/status`)).ok) break;
      } catch (error) {
        if (i >= 100 || driverProcess.child.exitCode !== null) throw new Error(`WebKitWebDriver did not answer: ${log}`);
      }
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    const driver = await new Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities({
      browserName: 'MiniBrowser',
      // WebKit holds a page's load event until every module imported during
      // loading has arrived, and WebKitWebDriver runs no command before that
      // event ('eager' too waits for it once DOMContentLoaded has passed): a
      // page whose program is held back would take every command hostage.
      // Navigation does not wait here; goto waits for the new document's
      // DOMContentLoaded itself.
      pageLoadStrategy: 'none',
      'webkitgtk:browserOptions': { binary: miniBrowser(), args: ['--automation', ...(dark ? ['--dark-mode'] : [])] },
    }).build();
    // The window holds a toolbar: size it so that the page gets the viewport,
    // from two sizes tried; `zoom` is the window's pixels to a CSS px.
    // WebKit takes a new window size to the page after setRect has
    // returned, the later the busier the machine: each size is read once the
    // page's has changed from the one before (or 5 s have passed, if it
    // could not) and then held for three reads in a row.
    const read = () => driver.executeScript('return [innerWidth, innerHeight]');
    const pause = () => new Promise((r) => setTimeout(r, 50));
    const resized = async (before) => {
      const end = Date.now() + 5000;
      let now = await read();
      while (String(now) === String(before) && Date.now() < end) {
        await pause();
        now = await read();
      }
      for (let same = 1; same < 3; same = String(now) === String(before) ? same + 1 : 1) {
        await pause();
        [before, now] = [now, await read()];
      }
      return now;
    };
    const tried = [];
    let page = await read();
    for (const size of [viewport, { width: viewport.width + 200, height: viewport.height + 200 }]) {
      await driver.manage().window().setRect({ x: 0, y: 0, ...size });
      page = await resized(page);
      tried.push([size, page]);
    }
    const [[a, [aw, ah]], [b, [bw, bh]]] = tried;
    // From the heights: the first width may have been held at the least.
    const zoom = (b.height - a.height) / (bh - ah);
    await driver.manage().window().setRect({
      width: Math.round(viewport.width * zoom + b.width - bw * zoom),
      height: Math.round(viewport.height * zoom + b.height - bh * zoom) });
    const [width, height] = await resized(page);
    if (width !== viewport.width || height !== viewport.height)
      throw new Error(`MiniBrowser's page is ${width}x${height}, not ${viewport.width}x${viewport.height}`);
    const caps = await driver.getCapabilities();
    return {
      version: `${caps.get('browserName')} ${caps.get('browserVersion')}`,
      goto: async (url) => {
        const before = await driver.executeScript('return performance.timeOrigin');
        await driver.get(url);
        await driver.wait(() => driver.executeScript(
          'return performance.timeOrigin !== arguments[0] && performance.timing.domContentLoadedEventEnd > 0', before,
        ).catch(() => false), 20_000, `${url} did not load`);
      },
      evaluate: (fn, ...args) => driver.executeScript(fn, ...args),
      click: (x, y) => driver.actions().move({ x: Math.round(x * zoom), y: Math.round(y * zoom) }).click().perform(),
      typeText: (text) => driver.actions().sendKeys(text || Key.DELETE).perform(),
      // The page as drawn, a PNG of the window's pixels.
      screenshot: async () => Buffer.from(await driver.takeScreenshot(), 'base64'),
      quit: async () => {
        await driver.quit().catch(() => {});
        await stopAll();
      },
    };
  } catch (error) {
    await stopAll();
    throw error;
  }
}

export const engines = { chromium, firefox, webkit };
