// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The registry of the nine forms and the four operations that move the user
// between them: Load, Unload, Show and End. It owns which form is loaded and
// visible, runs the handler of a clicked button, tells the user of a failed
// step, has a screen reader told what a click wrote, and ends the program
// when End is called or no form is loaded any more. It knows nothing of any
// toolkit: a WindowSystem draws the forms and reports clicks and closes back
// to it as FormEvents.

#include "app/Layout.h"
#include "app/WindowSystem.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace app {

class FormRegistry final : public FormEvents {
  public:
    // `forms` holds one description for each of the nine forms.
    explicit FormRegistry(std::span<const FormDescription* const> forms);

    // Shows `first` through `windows`, which draws every form from now on;
    // the program starts with Form1. The caller then runs the event loop.
    void start(WindowSystem& windows, FormId first = FormId::Form1);

    void load(FormId id);
    void unload(FormId id);
    void show(FormId id);
    void end();

    bool isLoaded(FormId id) const;
    bool isVisible(FormId id) const;
    bool hasEnded() const { return m_ended; }
    const FormDescription& form(FormId id) const;

    // A label's caption or a text box's text, for the handlers of the form's
    // own buttons (app/Handler.h); nothing once the program has ended.
    std::string text(FormId id, int row) const;
    void setText(FormId id, int row, std::string_view text);

    // FormEvents
    void click(FormId id, int row) override;
    void closedByUser(FormId id) override;

  private:
    enum class State { Unloaded, Hidden, Visible };
    State& stateOf(FormId id) { return m_states[static_cast<int>(id)]; }
    State stateOf(FormId id) const { return m_states[static_cast<int>(id)]; }
    void checkOwnControl(FormId id, int row) const;
    void announceWritten(FormId id);
    void endIfNoneLoaded();

    std::array<const FormDescription*, formCount> m_forms{};
    std::array<State, formCount> m_states{};
    WindowSystem* m_windows = nullptr;
    // The rows the running handler wrote into.
    std::vector<int> m_written;
    bool m_ended = false;
};

} // namespace app
