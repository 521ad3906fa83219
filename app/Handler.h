// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a button handler sees: the actions of its own window, with every
// control name checked when the program is built. A handler takes
// WindowActions<table>&, where table is its window's control table, and names
// controls with string literals, as in form.text("Text1"). Each literal is
// looked up in that table at compile time, so a misspelt name, a push button
// where a label or text box is meant, or a control of another window stops
// the build. bind() makes the row that ties a handler to a push button, and
// isWellFormed() refuses a handler written for another window's table.
//
// This does not check that a handler leaves its window alone after unloading
// it; FormActions stops the program if one does.

#include "app/Layout.h"
#include "app/Program.h"

#include <iterator>
#include <string>
#include <string_view>

namespace app {

namespace detail {
// Never defined: a compile-time lookup that fails calls it, which is not
// allowed in a constant expression, and the compiler names it in its error.
void noLabelOrTextBoxOfThisNameOnThisWindow();
} // namespace detail

// A label or text box of the window whose control table is `controls`.
template <const auto& controls> class ControlName {
  public:
    // consteval: every literal a handler passes is looked up while compiling.
    consteval ControlName(const char* name) : m_name(name) {
        for (const ControlRow& row : controls)
            if (row.name == m_name && row.kind != ControlKind::PushButton)
                return;
        detail::noLabelOrTextBoxOfThisNameOnThisWindow();
    }
    constexpr std::string_view name() const { return m_name; }

  private:
    std::string_view m_name;
};

template <const auto& controls> class WindowActions {
  public:
    explicit WindowActions(FormActions& actions) : m_actions(actions) {}

    // A label's caption or a text box's text.
    std::string text(ControlName<controls> control) const { return m_actions.text(control.name()); }
    void setText(ControlName<controls> control, std::string_view text) {
        m_actions.setText(control.name(), text);
    }

    void load(FormId id) { m_actions.load(id); }
    void unload(FormId id) { m_actions.unload(id); }
    void show(FormId id) { m_actions.show(id); }
    void end() { m_actions.end(); }

  private:
    FormActions& m_actions;
};

namespace detail {
template <typename> struct HandlerOf;
template <const auto& controls> struct HandlerOf<void (*)(WindowActions<controls>&)> {
    static constexpr const auto& table = controls;
};

template <auto handler> void runOnOwnWindow(FormActions& actions) {
    WindowActions<HandlerOf<decltype(handler)>::table> own(actions);
    handler(own);
}
} // namespace detail

// The row of a button table that runs `handler` when `button` is clicked.
template <auto handler> constexpr ButtonBinding bind(std::string_view button) {
    return {button, detail::runOnOwnWindow<handler>,
            std::data(detail::HandlerOf<decltype(handler)>::table)};
}

} // namespace app
