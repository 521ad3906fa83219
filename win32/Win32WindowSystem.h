// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window system on the Windows API: the one place where the program's
// forms become Win32 windows. The form registry drives it; it reports clicks
// and closes to the FormEvents it is made with, and runs the message loop.

#include "app/WindowSystem.h"
#include "win32/HeldKeys.h"

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

namespace win32 {

class FailureWindow;
class FormWindow;

class Win32WindowSystem final : public app::WindowSystem {
  public:
    Win32WindowSystem(app::FormEvents& events, HINSTANCE instance);
    ~Win32WindowSystem() override;

    // Runs the message loop until quit(); returns the program's exit code.
    int run();

    void createWindow(const app::FormDescription& form) override;
    void destroyWindow(app::FormId id) override;
    void showWindow(app::FormId id) override;
    std::string text(app::FormId id, int row) const override;
    void setText(app::FormId id, int row, std::string_view text) override;
    void announce(app::FormId id, std::string_view message) override;
    void reportFailure(const app::FailureReport& report) override;
    void quit() override;

  private:
    // Gives a key to the window it is typed in before the focused control
    // sees it; true when that window used it up.
    bool handleKey(const MSG& message);
    HWND control(app::FormId id, int row) const;

    app::FormEvents& m_events;
    HINSTANCE m_instance;
    HeldKeys m_keys;
    std::array<std::unique_ptr<FormWindow>, app::formCount> m_windows;
    // Unloaded windows, off the screen, released once no handler runs: the
    // handler that unloads a window may be running inside its click.
    std::vector<std::unique_ptr<FormWindow>> m_discarded;
    std::unique_ptr<FailureWindow> m_failure;
};

} // namespace win32
