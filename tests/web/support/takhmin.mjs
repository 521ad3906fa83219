// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the page as a screen reader user would find things: windows by
// their dialog role and title, buttons by their captions, text boxes by the
// labels that name them. Titles, captions and failure messages come from the
// native program's own tables (takhmin_describe), never retyped here.
import { expect } from '@playwright/test';
import { startGate } from './browser.mjs';
import { asExpression } from './engines.mjs';
import { ScriptDriver, failure, formNames, forms, listen, pageTexts, row, walk } from './road.mjs';

export { failure, formNames, forms, roadTo, row, tables, tabOrder } from './road.mjs';

// What the page says once the program has ended, the button under it, and
// the name of every window's close control.
export const ended = { message: pageTexts.ended, again: pageTexts.restart };
export const closeName = pageTexts.close;

// A window's name: its title and an unspoken right-to-left mark, so that
// Orca says it even when it equals the name of what had the focus before.
const windowName = (title) => `${title.trim()}\u200f`;

let gate = null; // one for the worker's tests, made when a test first needs it

// Chromium's driver of the roads (road.mjs): its actions through Playwright's
// locators, which wait until a control can be used; its checks the shared
// ones, each asking the page once per try what it shows.
export class Takhmin extends ScriptDriver {
  constructor(page) {
    super({ goto: (url) => page.goto(url), evaluate: (fn, ...args) => page.evaluate(asExpression(fn, args)) });
    this.page = page;
  }

  async start() {
    await this.page.goto('index.html');
    await expect(this.window('Form1')).toBeVisible();
    await this.expectStarted();
    await this.page.evaluate(listen);
  }

  // The program has taken the first window over; the loading sign is gone.
  expectStarted() {
    return expect(this.page.locator('#loading')).toHaveCount(0);
  }

  async held() {
    this.gate = gate ??= await startGate(`http://127.0.0.1:${process.env.TAKHMIN_WEB_PORT}`);
    await super.held();
  }

  // A visible window; hidden and unloaded windows are not found.
  window(form) {
    const { title, alert } = forms[form];
    let found = this.page.getByRole(alert ? 'alertdialog' : 'dialog', { name: windowName(title), exact: true });
    // The two warnings share a title: tell them apart by their message.
    if (formNames.some((other) => other !== form && forms[other].title === title)) {
      const message = forms[form].controls.find((c) => c.kind === 'label');
      found = found.filter({ has: this.page.getByText(message.text, { exact: true }) });
    }
    return found;
  }

  control(form, name) {
    const control = row(form, name);
    const window = this.window(form);
    if (control.kind === 'push button')
      return window.getByRole('button', { name: control.text.trim(), exact: true });
    if (control.kind === 'text box')
      return window.getByRole('textbox', { name: row(form, control.label).text.trim(), exact: true });
    return window.locator(`[data-control="${name}"]`);
  }

  failure() {
    return this.page.getByRole('alertdialog', { name: windowName(failure.title), exact: true });
  }

  endedPage() {
    return this.page.getByRole('application', { name: ended.message, exact: true });
  }

  async type(form, name, text) {
    await this.control(form, name).fill(text);
  }

  // Playwright clicks only a control that nothing covers, and waits no
  // longer than the action timeout for one: a covered control fails the step.
  async click(form, name) {
    await this.noteClick();
    await this.control(form, name).click();
  }

  async raise(form) {
    await this.window(form).getByText(forms[form].title.trim(), { exact: true }).click({ position: { x: 2, y: 2 } });
  }

  async close(form) {
    await this.window(form).getByRole('button', { name: closeName, exact: true }).click();
  }

  async again() {
    await this.page.getByRole('button', { name: ended.again, exact: true }).click();
  }

  async dismiss() {
    await this.failure().getByRole('button', { name: failure.button, exact: true }).click();
  }

  walk(steps) {
    return walk(this, steps);
  }
}
