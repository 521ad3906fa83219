// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window system on Qt 6 Widgets: the one place where the program's
// windows become widgets. Program drives it; it reports clicks and closes
// back to Program.

#include "app/Program.h"
#include "app/WindowSystem.h"

#include <QMessageBox>
#include <QPointer>

#include <array>

class QWidget;

namespace desktop {

class FormWindow;

class QtWindowSystem final : public app::WindowSystem {
  public:
    QtWindowSystem();
    ~QtWindowSystem() override;

    // Clicks and closes go to this program from now on.
    void attach(app::Program& program) { m_program = &program; }

    // The live window of a loaded form, or null; for tests and screenshots.
    FormWindow* window(app::FormId id) const;
    // The message window of the last failure, or null if none was shown.
    QMessageBox* failureWindow() const { return m_failureWindow; }

    void createWindow(const app::FormDescription& form) override;
    void destroyWindow(app::FormId id) override;
    void showWindow(app::FormId id) override;
    std::string text(app::FormId id, std::string_view control) const override;
    void setText(app::FormId id, std::string_view control, std::string_view text) override;
    void reportFailure(const numtext::Failure& failure) override;
    void quit() override;

  private:
    QWidget* control(app::FormId id, std::string_view name) const;

    app::Program* m_program = nullptr;
    std::array<QPointer<FormWindow>, app::formCount> m_windows{};
    QPointer<QMessageBox> m_failureWindow;
};

} // namespace desktop
