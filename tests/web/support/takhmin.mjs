// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the page as a screen reader user would find things: windows by
// their dialog role and title, buttons by their captions, text boxes by the
// labels that name them. Titles, captions and failure messages come from the
// native program's own tables (takhmin_describe), never retyped here.
import { expect } from '@playwright/test';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { repoRoot } from './browser.mjs';

const describe =
  process.env.TAKHMIN_DESCRIBE ?? path.join(repoRoot, 'build', 'tools', 'takhmin_describe');
export const tables = JSON.parse(execFileSync(describe, { encoding: 'utf8' }));
export const forms = Object.fromEntries(tables.forms.map((form) => [form.form, form]));
export const formNames = Object.keys(forms);
export const failure = tables.failure;

// What the page says once the program has ended (the adapter's own texts).
export const ended = { message: 'انتهى البرنامج. شكرا لك.', again: 'ابدأ من جديد' };
export const closeName = 'إغلاق';

export function row(form, name) {
  const control = forms[form].controls.find((c) => c.name === name);
  if (!control) throw new Error(`${form} has no ${name}`);
  return control;
}

// Focusable controls in tab order, as the table gives it.
export function tabOrder(form) {
  return forms[form].controls
    .filter((c) => c.kind !== 'label')
    .sort((a, b) => a.tabIndex - b.tabIndex)
    .map((c) => c.name);
}

// Steps from a fresh page to each window, showing it last.
const toMenu = [['type', 'Form1', 'Text1', '25'], ['click', 'Form1', 'Command1']];
const toPuzzle = [...toMenu, ['click', 'Form2', 'Command1']];
const toExit = [...toMenu, ['click', 'Form2', 'Command3']];
export const roadTo = {
  Form1: [],
  Form8: [['type', 'Form1', 'Text1', '3'], ['click', 'Form1', 'Command1']],
  Form2: toMenu,
  Form6: toPuzzle,
  Form7: [...toPuzzle, ['type', 'Form6', 'Text1', '84'], ['click', 'Form6', 'Command1']],
  Form9: [...toPuzzle, ['click', 'Form6', 'Command3']],
  Form5: [...toMenu, ['click', 'Form2', 'Command2']],
  Form3: toExit,
  Form4: [...toExit, ['click', 'Form3', 'Command2']],
};

// A window's name: its title and an unspoken right-to-left mark, so that
// Orca says it even when it equals the name of what had the focus before.
const windowName = (title) => `${title.trim()}\u200f`;

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

  // As a user does: a window partly under another is first raised by its
  // title bar, then the button is clicked.
  async click(form, name) {
    const button = this.control(form, name);
    try {
      await button.click({ trial: true, timeout: 1000 });
    } catch {
      await this.raise(form);
    }
    await button.click();
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

  // Steps: [type|click FORM CONTROL TEXT?], [close|raise FORM], [open [FORMS]],
  // [front FORM], [text FORM CONTROL EXPECTED], [failure KIND], [ended], [again].
  async walk(steps) {
    for (const [action, ...args] of steps) {
      if (action === 'type') await this.type(...args);
      else if (action === 'click') await this.click(...args);
      else if (action === 'close') await this.close(...args);
      else if (action === 'raise') await this.raise(...args);
      else if (action === 'open') await this.expectOpen(...args);
      else if (action === 'front') await this.expectFront(...args);
      else if (action === 'text') await this.expectText(...args);
      else if (action === 'failure') await this.expectFailure(...args);
      else if (action === 'ended') await this.expectEnded();
      else if (action === 'again')
        await this.page.getByRole('button', { name: ended.again, exact: true }).click();
      else throw new Error(`unknown step ${action}`);
    }
  }

  // The failure message is open and says what went wrong, or is closed.
  async expectFailure(kind) {
    if (!kind) return expect(this.failure()).toHaveCount(0);
    await expect(this.failure()).toBeVisible();
    await expect(this.failure()).toHaveAccessibleDescription(failure.messages[kind]);
  }
}
