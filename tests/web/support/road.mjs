// SPDX-License-Identifier: GPL-3.0-or-later
// What every engine's run shares: the window tables from the native build,
// the table of roads (tests/roads.json) with the start of each, and `walk`,
// which takes a road's steps through any of the three drivers. A driver has
// these actions and checks, each check waiting until it holds or failing
// with what it saw:
//   type(form, control, text)  click(form, control)  raise(form)  close(form)
//   again()  dismiss()  expectOpen(forms)  expectText(form, control, text)
//   expectFailure(kind|null)  expectFront(form)  expectSaid(form|null, message)
//   expectEnded()  held()  release()  expectPresses(n)
// held() loads the page afresh with the program's module held back, so that
// only the first window of the page's HTML stands, and counts from then on
// the presses of windows' buttons that reach the page; release() lets the
// module through and waits until the program has taken the window over.
// Chromium's is Playwright's (takhmin.mjs); Firefox's and WebKit's are one
// ScriptDriver over two small engine connections (engines.mjs).
// A click takes the one road its step names: a control in a window that
// another covers is not clicked, and the step fails; a road that needs a
// window raised first says so with its own step.
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { repoRoot } from './browser.mjs';

const describe =
  process.env.TAKHMIN_DESCRIBE ?? path.join(repoRoot, 'build', 'tools', 'takhmin_describe');
export const tables = JSON.parse(execFileSync(describe, { encoding: 'utf8' }));
export const forms = Object.fromEntries(tables.forms.map((form) => [form.form, form]));
export const formNames = Object.keys(forms);
export const failure = tables.failure;
// The page's own texts: the close control's name, what the page says once
// the program has ended, and the button under it.
export const pageTexts = tables.page;

export function row(form, name) {
  const control = forms[form].controls.find((c) => c.name === name);
  if (!control) throw new Error(`${form} has no ${name}`);
  return control;
}

// Focusable controls in the order the core gives the focus.
export const tabOrder = (form) => forms[form].tabOrder;

// The table of roads, each with the steps of its start put first; and the
// steps from a fresh page to each window, showing it last.
const table = JSON.parse(readFileSync(path.join(repoRoot, 'tests', 'roads.json'), 'utf8'));
export const roadTo = table.starts;
export const roads = table.roads.map((road) => ({ ...road, steps: [...(roadTo[road.from] ?? []), ...road.steps] }));

// The verbs of tests/roads.json; [again], [held], [release] and [presses N]
// are the page's own.
const actions = {
  type: 'type', click: 'click', close: 'close', raise: 'raise', again: 'again', dismiss: 'dismiss',
  open: 'expectOpen', front: 'expectFront', text: 'expectText', failure: 'expectFailure', said: 'expectSaid',
  ended: 'expectEnded', held: 'held', release: 'release', presses: 'expectPresses',
};

// Counts the clicks on windows' buttons that reach the page's own handlers
// (a press held back before the program arrives does not, until handed over).
export function countPresses() {
  window.presses = 0;
  window.addEventListener('click', (event) => {
    if (event.target.closest?.('.window button')) ++window.presses;
  });
}

// Keeps what the page hands its windows' live regions to say, with the
// window that says it, from now on.
export function listen() {
  window.heard = [];
  new MutationObserver((records) => {
    for (const record of records)
      if (record.target.classList?.contains('announce'))
        for (const node of record.addedNodes)
          window.heard.push([record.target.closest('[data-form]')?.dataset.form ?? null, node.textContent]);
  }).observe(document.body, { childList: true, subtree: true });
}

export async function walk(driver, steps) {
  for (const step of steps) {
    const [action, ...args] = step;
    if (!(action in actions)) throw new Error(`unknown step ${action}`);
    try {
      await driver[actions[action]](...args);
    } catch (error) {
      error.message = `step ${JSON.stringify(step)}: ${error.message}`;
      throw error;
    }
  }
}

// Finds things in the page as a screen reader would, by role and accessible
// name, and reports what a driver asks. Runs inside the page, so it holds
// everything it uses; `t` is the slice of the tables it needs.
function inPage(t, ask) {
  // Names as they sound: a window's name ends in an unspoken direction mark.
  const norm = (s) => (s ?? '').replace(/[\u200e\u200f]/g, '').replace(/\s+/g, ' ').trim();
  const byIds = (el, attr) =>
    norm((el.getAttribute(attr) ?? '').split(/\s+/).map((id) => document.getElementById(id)?.textContent).join(' '));
  const name = (el) => byIds(el, 'aria-labelledby') || norm(el.getAttribute('aria-label')) || norm(el.textContent);
  const visible = (el) => el.checkVisibility({ visibilityProperty: true });
  // Gecko presents role alert, not alertdialog, as an alert: the page uses it there.
  const WINDOWS = '[role=dialog], [role=alertdialog], [role=alert]';
  const isAlert = (el) => el.getAttribute('role') !== 'dialog';
  const panels = [...document.querySelectorAll(WINDOWS)].filter(visible);
  const formOf = (el) => Object.keys(t.forms).find((form) => {
    const f = t.forms[form];
    return isAlert(el) === !!f.alert && name(el) === norm(f.title) &&
      (!f.message || byIds(el, 'aria-describedby') === norm(f.message));
  });
  const windowOf = (form) => panels.filter((el) => formOf(el) === form);
  const failureEl = panels.find((el) => isAlert(el) && name(el) === norm(t.failure));
  const endedEl = [...document.querySelectorAll('main')].find((el) => visible(el) && norm(el.textContent).startsWith(norm(t.ended)));
  const buttonIn = (scope, caption) =>
    scope && [...scope.querySelectorAll('button')].find((b) => visible(b) && name(b) === norm(caption));

  // The one element a step acts on, or why there is none.
  function target() {
    if (ask.what === 'again') return buttonIn(endedEl, t.restart) ?? 'no ended page with its button';
    if (ask.what === 'dismiss') return buttonIn(failureEl, t.failureButton) ?? 'no failure message';
    const found = windowOf(ask.form);
    if (found.length !== 1) return `${found.length} windows ${ask.form}`;
    const win = found[0];
    if (ask.what === 'title') return win.querySelector('.titlebar .title');
    if (ask.what === 'close') return buttonIn(win, t.close) ?? `${ask.form} has no close control`;
    const c = t.forms[ask.form].controls[ask.control];
    const el = c.kind === 'push button' ? buttonIn(win, c.text)
      : c.kind === 'text box' ? [...win.querySelectorAll('input')].find((i) => visible(i) && byIds(i, 'aria-labelledby') === norm(c.label))
        : win.querySelector(`[data-control="${ask.control}"]`);
    return el ?? `${ask.form} shows no ${ask.control}`;
  }

  if (ask.what === 'started') return !document.getElementById('loading');
  if (ask.what === 'state') {
    const front = (form) => {
      const [win] = windowOf(form);
      if (!win) return false;
      const r = win.getBoundingClientRect();
      return win.contains(document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2)) &&
        win.contains(document.activeElement);
    };
    return {
      open: panels.map(formOf).filter(Boolean).sort(),
      unknown: panels.filter((el) => !formOf(el) && el !== failureEl).map(name),
      failure: failureEl ? byIds(failureEl, 'aria-describedby') : null,
      ended: !!endedEl && !!buttonIn(endedEl, t.restart),
      presses: window.presses ?? null,
      heard: (window.heard ?? []).map(([form, text]) => [form, norm(text)]),
      front: ask.form ? front(ask.form) : null,
      text: ask.control ? (() => {
        const el = target();
        return typeof el === 'string' ? null : el.tagName === 'INPUT' ? el.value : el.textContent;
      })() : null,
    };
  }
  const el = target();
  if (typeof el === 'string') return { wait: el };
  if (ask.what === 'type') {
    el.focus();
    el.select();
    return { focused: document.activeElement === el };
  }
  // A pointer goes where a user would put it (the title bar near its start
  // to raise, the middle of a control otherwise); it must land on the element
  // itself, not on another window over it.
  el.scrollIntoView({ block: 'nearest', inline: 'nearest' });
  const r = el.getBoundingClientRect();
  const x = ask.what === 'title' ? r.left + 2 : r.left + r.width / 2;
  const y = ask.what === 'title' ? r.top + 2 : r.top + r.height / 2;
  const hit = document.elementFromPoint(x, y);
  if (hit && el.contains(hit)) return { x, y };
  const cover = hit?.closest(WINDOWS);
  return { covered: cover ? name(cover) : hit ? hit.tagName : 'nothing' };
}

// The tables as the page script needs them.
const pageTables = {
  forms: Object.fromEntries(tables.forms.map((f) => {
    const alertText = f.alert ? f.controls.find((c) => c.kind === 'label').text : null;
    const controls = Object.fromEntries(f.controls.map((c) =>
      [c.name, { kind: c.kind, text: c.text, label: c.label && row(f.form, c.label).text }]));
    return [f.form, { title: f.title, alert: f.alert, message: alertText, controls }];
  })),
  failure: failure.title,
  failureButton: failure.button,
  close: pageTexts.close,
  ended: pageTexts.ended,
  restart: pageTexts.restart,
};

export const sameList = (a, b) => JSON.stringify([...a].sort()) === JSON.stringify([...b].sort());

// The driver for engines reached through a plain connection: `engine` has
// goto(url), evaluate(fn, ...args), click(x, y) with a real pointer,
// typeText(text) into the focused box (replacing its selection) and quit().
export class ScriptDriver {
  constructor(engine, { timeout = 10_000, gate = null } = {}) {
    this.engine = engine;
    this.timeout = timeout;
    this.gate = gate;
  }

  ask(what) {
    return this.engine.evaluate(inPage, pageTables, what);
  }

  // Asks until `done(answer)` holds; fails with the last answer otherwise.
  async until(what, done, describe) {
    const deadline = Date.now() + this.timeout;
    for (;;) {
      const answer = await this.ask(what);
      if (done(answer)) return answer;
      if (Date.now() > deadline) throw new Error(`${describe}; the page shows ${JSON.stringify(answer)}`);
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  }

  async start(url) {
    await this.engine.goto(url);
    await this.expectOpen(['Form1']);
    await this.until({ what: 'started' }, (started) => started === true, 'the program did not start');
    await this.engine.evaluate(listen);
  }

  async held() {
    this.gate.hold();
    await this.engine.goto(`${this.gate.origin}/index.html`);
    await this.expectOpen(['Form1']);
    await this.engine.evaluate(countPresses);
    await this.engine.evaluate(listen);
  }

  async release() {
    this.gate.release();
    await this.until({ what: 'started' }, (started) => started === true, 'the program did not start');
  }

  expectPresses(n) {
    return this.until({ what: 'state' }, (s) => s.presses === n, `expected ${n} presses handled`);
  }

  async pointAt(what, label) {
    const at = await this.until(what, (a) => 'x' in a, `${label} cannot be clicked`);
    await this.engine.click(at.x, at.y);
  }

  async type(form, control, text) {
    await this.until({ what: 'type', form, control }, (a) => a.focused, `${form} ${control} cannot take the focus`);
    await this.engine.typeText(text);
  }

  // Where what the click has said begins.
  async noteClick() {
    this.heardBefore = (await this.ask({ what: 'state' })).heard.length;
  }

  async click(form, control) {
    await this.noteClick();
    await this.pointAt({ what: 'control', form, control }, `${form} ${control}`);
  }
  raise(form) { return this.pointAt({ what: 'title', form }, `${form}'s title bar`); }
  close(form) { return this.pointAt({ what: 'close', form }, `${form}'s close control`); }
  again() { return this.pointAt({ what: 'again' }, 'the button that starts again'); }
  dismiss() { return this.pointAt({ what: 'dismiss' }, "the failure message's button"); }

  expectOpen(open) {
    return this.until({ what: 'state' }, (s) => sameList(s.open, open) && !s.unknown.length && !s.ended,
      `expected exactly ${open.join(', ')} open`);
  }

  expectEnded() {
    return this.until({ what: 'state' }, (s) => !s.open.length && s.ended, 'expected the ended page');
  }

  expectText(form, control, text) {
    return this.until({ what: 'state', form, control }, (s) => s.text === text, `expected ${form} ${control} "${text}"`);
  }

  expectFront(form) {
    return this.until({ what: 'state', form }, (s) => s.front, `expected ${form} in front with the focus`);
  }

  expectSaid(form, message) {
    const expected = form ? [[form, message]] : [];
    return this.until({ what: 'state' }, (s) => JSON.stringify(s.heard.slice(this.heardBefore ?? 0)) === JSON.stringify(expected),
      form ? `expected ${form} to say "${message}"` : 'expected nothing said');
  }

  expectFailure(kind) {
    const message = kind ? failure.messages[kind] : null;
    return this.until({ what: 'state' }, (s) => s.failure === message,
      kind ? `expected the failure message "${message}"` : 'expected no failure message');
  }
}
