// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window system on Qt 6 Widgets: the one place where the program's forms
// become widgets. The form registry drives it; it reports clicks and closes
// to the FormEvents it is made with.

#include "app/WindowSystem.h"

#include <QMessageBox>
#include <QPointer>

#include <array>

namespace desktop {

class Window;

class QtWindowSystem final : public app::WindowSystem {
  public:
    explicit QtWindowSystem(app::FormEvents& events);
    ~QtWindowSystem() override;

    // The live window of a loaded form, or null; for tests and screenshots.
    Window* window(app::FormId id) const;
    // The message window of the last failure, or null if none was shown.
    QMessageBox* failureWindow() const { return m_failureWindow; }

    void createWindow(const app::FormDescription& form) override;
    void destroyWindow(app::FormId id) override;
    void showWindow(app::FormId id) override;
    std::string text(app::FormId id, int row) const override;
    void setText(app::FormId id, int row, std::string_view text) override;
    void announce(app::FormId id, std::string_view message) override;
    void reportFailure(const app::FailureReport& report) override;
    void quit() override;

  private:
    app::FormEvents& m_events;
    std::array<QPointer<Window>, app::formCount> m_windows{};
    QPointer<QMessageBox> m_failureWindow;
};

} // namespace desktop
