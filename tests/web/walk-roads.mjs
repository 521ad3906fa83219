// SPDX-License-Identifier: GPL-3.0-or-later
// The table of roads (tests/roads.json) in Debian's Chromium, Firefox ESR
// and WebKitGTK, through one driver. Each road starts on a freshly loaded page.
// Usage: node walk-roads.mjs [chromium] [firefox] [webkit] [--grep TEXT] [--width N]
// (--width: a page N px wide, 740 px high when narrower than 860 px, as a
// phone's, else 900)
// Prints one line per road that fails, then per engine its version, counts
// and time, and last "N passed, N failed"; exits non-zero on any failure.
//
// The other suites (keyboard, geometry, accessibility, offline, pasting) run
// in Chromium only, under Playwright's test runner. Some could not move here
// as they are: WebKitWebDriver sends no touch, and neither other engine's
// driver switches on forced colours as Playwright's emulation does. Roles and
// names are read here from the page's ARIA attributes; a11y.test.mjs checks
// them in Chromium against each window's table.
import { startGate, startServer } from './support/browser.mjs';
import { engines } from './support/engines.mjs';
import { ScriptDriver, roads, walk } from './support/road.mjs';

const args = process.argv.slice(2);
const grep = args.includes('--grep') ? args.splice(args.indexOf('--grep'), 2)[1] : null;
const width = args.includes('--width') ? Number(args.splice(args.indexOf('--width'), 2)[1]) : 1280;
const viewport = { width, height: width < 860 ? 740 : 900 };
const chosen = args.length ? args : Object.keys(engines);
const unknown = chosen.filter((name) => !(name in engines));
if (unknown.length) {
  console.error(`unknown engine ${unknown.join(', ')}; known: ${Object.keys(engines).join(', ')}`);
  process.exit(2);
}
const table = roads.filter(({ name }) => !grep || name.includes(grep));

const server = await startServer();
const gate = await startGate(server.origin);
const summary = [];
try {
  for (const name of chosen) {
    const began = Date.now();
    let engine = null;
    let passed = 0;
    const failed = [];
    try {
      engine = await engines[name](viewport);
      const driver = new ScriptDriver(engine, { gate });
      for (const { name: road, steps } of table) {
        try {
          await driver.start(`${server.origin}/index.html`);
          await walk(driver, steps);
          ++passed;
        } catch (error) {
          failed.push(road);
          console.log(`FAIL ${name}: ${road}\n    ${error.message.split('\n')[0]}`);
        }
      }
    } catch (error) {
      failed.push(`${name} did not start`);
      console.log(`FAIL ${name} did not start: ${error.message}`);
    } finally {
      await engine?.quit();
    }
    const seconds = ((Date.now() - began) / 1000).toFixed(1);
    summary.push({ name, version: engine?.version ?? '?', passed, failed: failed.length, seconds });
    console.log(`${name} (${engine?.version ?? 'not started'}): ${passed} passed, ${failed.length} failed, ${seconds} s`);
  }
} finally {
  await gate.stop();
  await server.stop();
}
const total = (key) => summary.reduce((sum, s) => sum + s[key], 0);
console.log(`${total('passed')} passed, ${total('failed')} failed`);
process.exitCode = total('failed') ? 1 : 0;
