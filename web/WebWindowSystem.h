// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window system in a browser: the program's forms become windows of the
// page. The form registry drives it; the page reports clicks and closes
// through click() and closedByUser(), which check what the page says and pass
// it on to the FormEvents the window system is made with.

#include "app/WindowSystem.h"

#include <array>

namespace web {

class WebWindowSystem final : public app::WindowSystem {
  public:
    explicit WebWindowSystem(app::FormEvents& events) : m_events(events) {}

    // From the page: the push button at `row` of the window's table was
    // pressed; or the window's close control was used.
    void click(int form, int row);
    void closedByUser(int form);

    void createWindow(const app::FormDescription& form) override;
    void destroyWindow(app::FormId id) override;
    void showWindow(app::FormId id) override;
    std::string text(app::FormId id, int row) const override;
    void setText(app::FormId id, int row, std::string_view text) override;
    void announce(app::FormId id, std::string_view message) override;
    void reportFailure(const app::FailureReport& report) override;
    void quit() override;

  private:
    // The loaded form's description, or null; checks `form` from the page.
    const app::FormDescription* loaded(int form) const;

    app::FormEvents& m_events;
    std::array<const app::FormDescription*, app::formCount> m_loaded{};
};

} // namespace web
