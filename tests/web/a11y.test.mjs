// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader finds: every window a non-modal dialog named by its
// title (the warnings and the failure message alert dialogs described by
// their message), every button by its caption, every text box by its label,
// every caption byte for byte, and the answers announced when they change.
import { expect, test } from '@playwright/test';
import { hashedFiles } from './support/browser.mjs';
import { Takhmin, closeName, ended, failure, formNames, forms, roadTo, row } from './support/takhmin.mjs';

let t;
test.beforeEach(async ({ page }) => {
  t = new Takhmin(page);
  await t.start();
});

for (const form of formNames) {
  test(`${form}: roles, names and captions as in its table`, async () => {
    await t.walk(roadTo[form]);
    const window = t.window(form);
    await expect(window).toHaveAttribute('aria-modal', 'false');
    const { controls, alert } = forms[form];
    if (alert) await expect(window).toHaveAccessibleDescription(controls.find((c) => c.kind === 'label').text.trim());
    await expect(window.getByRole('button', { name: closeName, exact: true })).toHaveAttribute('tabindex', '-1');
    for (const control of controls) {
      const found = t.control(form, control.name);
      await expect(found, control.name).toHaveCount(1);
      // Typed texts come from the road; everything else is the table's own.
      if (control.kind === 'text box' && roadTo[form].some(([, f, c]) => f === form && c === control.name)) continue;
      const text = await found.evaluate((e) => (e instanceof HTMLInputElement ? e.value : e.textContent));
      expect(text, control.name).toBe(control.text);
    }
    await expect(window).toMatchAriaSnapshot({ name: `${form}.aria.yml` });
  });
}

test('the failure message is an alert described by its message', async () => {
  await t.walk([...roadTo.Form9, ['type', 'Form9', 'Text2', '0'], ['click', 'Form9', 'Command4']]);
  await expect(t.failure()).toHaveAttribute('aria-modal', 'false');
  await expect(t.failure()).toHaveAccessibleDescription(failure.messages.InvalidOperation);
  await expect(t.failure().getByRole('button', { name: failure.button, exact: true })).toBeFocused();
  await expect(t.failure()).toMatchAriaSnapshot({ name: 'failure.aria.yml' });
});

test('the ended page says so and offers to start again', async ({ page }) => {
  await t.close('Form1');
  await t.expectEnded();
  await expect(page.locator('html')).toHaveAttribute('lang', 'ar');
  await expect(t.endedPage()).toMatchAriaSnapshot({ name: 'ended.aria.yml' });
});

// What one click wrote is told as one message: each announced control's
// caption and new text, in the order the core lists them.
const writes = {
  Form6: [['type', 'Form6', 'Text1', '2064'], ['click', 'Form6', 'Command1']],
  Form9: [['type', 'Form9', 'Text1', '5'], ['type', 'Form9', 'Text2', '3'], ['click', 'Form9', 'Command3']],
};
for (const form of formNames.filter((f) => forms[f].announce.length)) {
  test(`${form}: what a click wrote is announced after its captions`, async ({ page }) => {
    if (!writes[form]) throw new Error(`no click that writes what ${form} announces`);
    await t.walk([...roadTo[form], ...writes[form]]);
    const parts = await Promise.all(forms[form].announce.map(async ({ control, caption }) =>
      `${row(form, caption).text.trim()} ${await t.control(form, control).evaluate((e) => e.value ?? e.textContent)}`));
    const status = page.getByRole('status').filter({ hasText: parts[0] });
    await expect(status).toHaveCount(1);
    const said = await status.textContent();
    const at = parts.map((part) => said.indexOf(part));
    expect(at.every((i, k) => i >= 0 && (k === 0 || i > at[k - 1])), `"${said}" says ${parts.join(' / ')}`).toBe(true);
  });
}

// The program says after a click what a screen reader is told (announce);
// the controls themselves are not live regions, so nothing is read twice.
test('news from a window is read out whole from its status region', async ({ page }) => {
  await t.walk([...roadTo.Form6, ['type', 'Form6', 'Text1', '2064'], ['click', 'Form6', 'Command1']]);
  await expect(t.window('Form6').locator('[aria-live]')).toHaveCount(0);
  const status = t.window('Form6').getByRole('status');
  await expect(status).toHaveAttribute('aria-atomic', 'true');
  const caption = forms.Form6.controls.find((c) => c.name === forms.Form6.announce[0].caption).text;
  for (const message of [`${caption} 21`, 'x', 'x']) {
    // Each message, even the same words again, is one new node: read again, whole.
    const renewed = await status.evaluate(async (s, [m, program]) => {
      const before = s.firstChild;
      const url = performance.getEntriesByType('resource').map((e) => e.name).find((name) => new RegExp(program).test(name));
      (await import(url)).windowManager.announce(5, m);
      return s.firstChild !== before && s.childNodes.length === 1;
    }, [message, hashedFiles.program.source]);
    expect(renewed).toBe(true);
    await expect(status).toHaveText(message);
  }
});
