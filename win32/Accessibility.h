// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What screen readers need beyond what the standard controls tell them by
// themselves: a text box is named after the label that asks for its text
// (oleacc's dynamic annotation, on top of the label standing just before the
// box in the z-order, which MSAA falls back on); the warnings and the
// failure message are alerts (their own answer to WM_GETOBJECT, which works
// where oleacc's annotations are not implemented, as in Wine), announced as
// such when they appear; and what
// the form registry decides to announce after a click is raised as a UI
// Automation notification, which NVDA and Narrator read wherever the focus
// is. Everything here needs COM on the calling thread; each call does nothing
// where the system lacks the service.

#include <windows.h>

#include <string_view>

namespace win32 {

// Gives `control` the accessible name `name`.
void nameControl(HWND control, std::wstring_view name);
// Drops what nameControl() gave `control`, before it goes.
void forgetAnnotations(HWND control);

// Answers WM_GETOBJECT for the client area of the alert `window` with the
// system's own accessible object for it, in the role of an alert; other
// objects are left to DefWindowProc.
LRESULT answerAsAlert(HWND window, WPARAM wParam, LPARAM lParam);

// Tells assistive technology that the alert `window` has just been shown.
void announceAlert(HWND window);

// Has a screen reader say `message` once, as news from `window`.
void announceNews(HWND window, std::wstring_view message);

// Releases the services this unit holds; call before COM is shut down.
void releaseAccessibility();

} // namespace win32
