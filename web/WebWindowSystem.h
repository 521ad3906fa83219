// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window system in a browser: the program's windows become panels of the
// page. Program drives it; the page reports clicks and closes back through
// click() and closedByUser(), which pass them on to Program.

#include "app/Program.h"
#include "app/WindowSystem.h"

#include <array>

namespace web {

class WebWindowSystem final : public app::WindowSystem {
  public:
    // Clicks and closes go to this program from now on.
    void attach(app::Program& program) { m_program = &program; }

    // From the page: a push button, given by its row in the window's table,
    // was pressed; or the window's close control was used.
    void click(int form, int row);
    void closedByUser(int form);

    void createWindow(const app::FormDescription& form) override;
    void destroyWindow(app::FormId id) override;
    void showWindow(app::FormId id) override;
    std::string text(app::FormId id, std::string_view control) const override;
    void setText(app::FormId id, std::string_view control, std::string_view text) override;
    void reportFailure(const numtext::Failure& failure) override;
    void quit() override;

  private:
    // The loaded window's description, or null; checks `form` from the page.
    const app::FormDescription* loaded(int form) const;
    int row(app::FormId id, std::string_view control) const;

    app::Program* m_program = nullptr;
    std::array<const app::FormDescription*, app::formCount> m_loaded{};
};

} // namespace web
