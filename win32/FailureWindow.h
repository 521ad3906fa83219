// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The message that tells the user a handler stopped at a failed step: one
// small window, made when first needed and reused, that blocks no other
// window (a MessageBox would hold the handler until it is dismissed). It is
// laid out right to left like an Arabic message box, with the warning icon,
// the message and one button in the core's words, and it is an alert for
// screen readers. It is not one of the program's forms, so it never keeps
// the program alive.

#include "app/WindowSystem.h"
#include "win32/Handles.h"

#include <windows.h>

#include <string>

namespace win32 {

class FailureWindow {
  public:
    explicit FailureWindow(HINSTANCE instance);
    ~FailureWindow();
    FailureWindow(const FailureWindow&) = delete;
    FailureWindow& operator=(const FailureWindow&) = delete;

    HWND handle() const { return m_window.get(); }

    // Shows `report` in front of every window, restoring the window if the
    // user minimised it, and has it announced as an alert.
    void show(const app::FailureReport& report);
    void hide();

    // Enter or the space bar press the button; Escape dismisses the message
    // too. A held key never dismisses the message its first press brought.
    bool handleKey(const MSG& message, bool repeat);

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void layout(UINT dpi);

    Window m_window;
    HWND m_text = nullptr;
    HWND m_button = nullptr;
    Icon m_icon;
    Font m_font;
    UINT m_dpi = 0;
    int m_iconSize = 0;
};

} // namespace win32
