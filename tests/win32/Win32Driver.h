// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Drives a running takhmin.exe from another process, through its windows
// alone: it finds the forms among the top-level windows (each carries its
// form's number), finds a control by the row of its name in the form's
// table (the control's identifier), types with WM_CHAR, presses with
// BM_CLICK, reads texts with WM_GETTEXT, closes with the close box's
// SC_CLOSE and raises with SetForegroundWindow. It never calls into the
// program's code.
//
// What a screen reader was told is raised as a UI Automation notification,
// which this driver does not listen to (and Wine 8 cannot raise):
// saidSinceClick() throws, and the walk of a road with "said" steps says so.

#include "Roads.h"
#include "win32/Text.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace wine {

class Win32Driver final : public roads::Driver {
  public:
    // Starts the program at `exe` and waits for its first window.
    explicit Win32Driver(const std::wstring& exe);
    // Ends the program if it still runs.
    ~Win32Driver() override;
    Win32Driver(const Win32Driver&) = delete;
    Win32Driver& operator=(const Win32Driver&) = delete;

    void type(app::FormId form, std::string_view box, std::string_view text) override;
    void click(app::FormId form, std::string_view button) override;
    void close(app::FormId form) override;
    void raise(app::FormId form) override;
    void dismiss() override;
    std::vector<app::FormId> open() const override;
    std::optional<app::FormId> front() const override;
    std::string text(app::FormId form, std::string_view control) const override;
    std::optional<std::string> failure() const override;
    std::vector<std::pair<app::FormId, std::string>> saidSinceClick() const override;
    bool ended() const override;
    bool settle() override;

    // The visible window of the form, or null.
    HWND window(app::FormId form) const;
    // The control `name` of the form's visible window; throws if there is none.
    HWND control(app::FormId form, std::string_view name) const;
    // The visible failure message, or null.
    HWND failureWindow() const;
    // The form and row of the control that has the keyboard focus.
    std::optional<std::pair<app::FormId, int>> focus() const;
    // Waits until the program has handled everything it was sent.
    void idle() const;
    DWORD processId() const { return m_process.dwProcessId; }

  private:
    PROCESS_INFORMATION m_process{};
};

// The text of a window of any process.
std::string windowTextOf(HWND window);
// The program's own conversions between UTF-8 and UTF-16.
using win32::toUtf8;
using win32::toWide;

} // namespace wine
