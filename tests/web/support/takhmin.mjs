// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the page as a screen reader user would find things: windows by
// their dialog role and title, buttons by their captions, text boxes by the
// labels that name them. Titles, captions and failure messages come from the
// native program's own tables (takhmin_describe), never retyped here.
import { expect } from '@playwright/test';
import { failure, formNames, forms, pageTexts, row, walk } from './road.mjs';

export { failure, formNames, forms, roadTo, row, tables, tabOrder } from './road.mjs';

// What the page says once the program has ended, the button under it, and
// the name of every window's close control.
export const ended = { message: pageTexts.ended, again: pageTexts.restart };
export const closeName = pageTexts.close;

// A window's name: its title and an unspoken right-to-left mark, so that
// Orca says it even when it equals the name of what had the focus before.
const windowName = (title) => `${title.trim()}\u200f`;

// Chromium's driver of the roads (road.mjs), on Playwright's own waits.
export class Takhmin {
  constructor(page) {
    this.page = page;
  }

  async start() {
    await this.page.goto('index.html');
    await expect(this.window('Form1')).toBeVisible();
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
    return this.page.getByRole('main').filter({ hasText: ended.message });
  }

  async type(form, name, text) {
    await this.control(form, name).fill(text);
  }

  // Playwright clicks only a control that nothing covers, and waits no
  // longer than the action timeout for one: a covered control fails the step.
  async click(form, name) {
    await this.control(form, name).click();
  }

  async raise(form) {
    await this.window(form).getByText(forms[form].title.trim(), { exact: true }).click({ position: { x: 2, y: 2 } });
  }

  async close(form) {
    await this.window(form).getByRole('button', { name: closeName, exact: true }).click();
  }

  async expectText(form, name, text) {
    const control = this.control(form, name);
    if (row(form, name).kind === 'text box') await expect(control).toHaveValue(text);
    else await expect(control).toHaveText(text, { useInnerText: false });
  }

  // Exactly these windows are visible, one copy each, and the others not.
  async expectOpen(open) {
    for (const form of formNames)
      await expect(this.window(form), `${form} ${open.includes(form) ? 'open' : 'closed'}`)
        .toHaveCount(open.includes(form) ? 1 : 0);
    await expect(this.endedPage()).toHaveCount(0);
  }

  async expectEnded() {
    for (const form of formNames) await expect(this.window(form)).toHaveCount(0);
    await expect(this.endedPage()).toBeVisible();
    await expect(this.page.getByRole('button', { name: ended.again, exact: true })).toBeVisible();
  }

  // Shown: on top of every other window at its centre, and holding the focus.
  async expectFront(form) {
    const front = () => this.window(form).evaluate((w) => {
      const r = w.getBoundingClientRect();
      const centre = document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2);
      return w.contains(centre) && w.contains(document.activeElement);
    });
    await expect.poll(front, `${form} in front with the focus`).toBe(true);
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

  // The failure message is open and says what went wrong, or is closed.
  async expectFailure(kind) {
    if (!kind) return expect(this.failure()).toHaveCount(0);
    await expect(this.failure()).toBeVisible();
    await expect(this.failure()).toHaveAccessibleDescription(failure.messages[kind]);
  }
}
