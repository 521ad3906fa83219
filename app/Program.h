// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window registry and the four operations that move the user between
// windows: Load, Unload, Show and End. It owns which of the nine windows is
// loaded and visible, dispatches clicks to the handlers of the screens, and
// ends the program when End is called or no window is loaded any more. It
// knows nothing of any toolkit; a WindowSystem does the drawing.

#include "app/Layout.h"
#include "app/WindowSystem.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace app {

class Program {
  public:
    // `forms` holds one description for each of the nine windows.
    Program(std::span<const FormDescription* const> forms, WindowSystem& windows);

    // Shows Form1. The caller then runs the event loop.
    void start();

    void load(FormId id);
    void unload(FormId id);
    void show(FormId id);
    void end();

    bool isLoaded(FormId id) const;
    bool isVisible(FormId id) const;
    bool hasEnded() const { return m_ended; }
    const FormDescription& form(FormId id) const;

    // Called by the window system.
    void click(FormId id, std::string_view button);
    void closedByUser(FormId id);

  private:
    enum class State { Unloaded, Hidden, Visible };
    State& stateOf(FormId id) { return m_states[static_cast<int>(id)]; }
    State stateOf(FormId id) const { return m_states[static_cast<int>(id)]; }
    void endIfNoneLoaded();

    std::array<const FormDescription*, formCount> m_forms{};
    std::array<State, formCount> m_states{};
    WindowSystem& m_windows;
    bool m_ended = false;
};

// What a button handler may do on the window whose button was clicked: read
// and write its controls by name, and move between windows. Once End has been
// called every further step is ignored, so the handler that called it does
// nothing more. Handlers reach it through app::WindowActions (app/Handler.h),
// which checks every control name at compile time.
class FormActions {
  public:
    FormActions(Program& program, WindowSystem& windows, FormId own)
        : m_program(program), m_windows(windows), m_own(own) {}

    void load(FormId id) { m_program.load(id); }
    void unload(FormId id) { m_program.unload(id); }
    void show(FormId id) { m_program.show(id); }
    void end() { m_program.end(); }

  private:
    template <const auto& controls> friend class WindowActions;

    std::string text(std::string_view control) const;
    void setText(std::string_view control, std::string_view text);
    const ControlRow& ownControl(std::string_view control) const;

    Program& m_program;
    WindowSystem& m_windows;
    FormId m_own;
};

} // namespace app
