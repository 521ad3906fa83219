// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a button handler sees: the actions of its own form, with every
// control name checked when the program is built. A handler takes
// FormActions<table>&, where table is its form's control table, and names
// controls with string literals, as in form.text("Text1"), or with a
// constexpr ControlName that says what the control holds. Each name is
// looked up in that table at compile time and becomes the control's row, so
// a misspelt name, a push button where a label or text box is meant, or a
// control of another form stops the build, and the handler reads and writes
// its controls by row, with no search by name while it runs. bind() makes
// the row that ties a handler to a push button, and isWellFormed() refuses a
// handler written for another form's table.
//
// Names are still compared while the program runs, outside the handlers:
// FormRegistry::click finds the handler of a clicked button by comparing the
// button's name with each name of the form's button table, on every click,
// and after a click that wrote something the registry finds the announced
// controls and their captions by name (FormDescription::rowOf and find).
//
// This does not check that a handler leaves its form's controls alone after
// unloading the form; the registry stops the program if a handler reads or
// writes one then.

#include "app/FormRegistry.h"
#include "app/Layout.h"

#include <iterator>
#include <string>
#include <string_view>

namespace app {

namespace detail {
// Never defined: a compile-time lookup that fails calls it, which is not
// allowed in a constant expression, and the compiler names it in its error.
void noLabelOrTextBoxOfThisNameOnThisWindow();
} // namespace detail

// A label or text box of the form whose control table is `controls`.
template <const auto& controls> class ControlName {
  public:
    // consteval: every name a handler passes is looked up while compiling.
    consteval ControlName(const char* name) {
        const std::string_view wanted = name;
        for (std::size_t row = 0; row < std::size(controls); ++row)
            if (controls[row].name == wanted && controls[row].kind != ControlKind::PushButton) {
                m_row = static_cast<int>(row);
                return;
            }
        detail::noLabelOrTextBoxOfThisNameOnThisWindow();
    }
    constexpr int row() const { return m_row; }

  private:
    int m_row = -1;
};

template <const auto& controls> class FormActions {
  public:
    FormActions(FormRegistry& registry, FormId own) : m_registry(registry), m_own(own) {}

    // A label's caption or a text box's text.
    std::string text(ControlName<controls> control) const {
        return m_registry.text(m_own, control.row());
    }
    void setText(ControlName<controls> control, std::string_view text) {
        m_registry.setText(m_own, control.row(), text);
    }

    // Once End has been called every further step is ignored, so the handler
    // that called it does nothing more.
    void load(FormId id) { m_registry.load(id); }
    void unload(FormId id) { m_registry.unload(id); }
    void show(FormId id) { m_registry.show(id); }
    void end() { m_registry.end(); }

  private:
    FormRegistry& m_registry;
    FormId m_own;
};

namespace detail {
template <typename> struct HandlerOf;
template <const auto& controls> struct HandlerOf<void (*)(FormActions<controls>&)> {
    static constexpr const auto& table = controls;
};

template <auto handler> void runOnOwnForm(FormRegistry& registry, FormId own) {
    FormActions<HandlerOf<decltype(handler)>::table> actions(registry, own);
    handler(actions);
}
} // namespace detail

// The row of a button table that runs `handler` when `button` is clicked.
template <auto handler> constexpr ButtonBinding bind(std::string_view button) {
    return {button, detail::runOnOwnForm<handler>,
            std::data(detail::HandlerOf<decltype(handler)>::table)};
}

} // namespace app
