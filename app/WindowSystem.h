// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the program needs from a window toolkit, and nothing more. The
// framework (Program) drives an implementation of this interface; the
// implementation reports clicks and closes back through Program::click() and
// Program::closedByUser(). It never decides on its own which window exists.

#include "app/Layout.h"
#include "numtext/Failure.h"

#include <string>
#include <string_view>

namespace app {

class WindowSystem {
  public:
    virtual ~WindowSystem() = default;

    // Builds the window and its controls from its tables, hidden.
    virtual void createWindow(const FormDescription& form) = 0;
    // Takes the window off the screen at once and discards it with its
    // controls. Releasing it may wait until the running handler returns.
    virtual void destroyWindow(FormId id) = 0;
    // Makes the window visible, brings it to the front and activates it.
    virtual void showWindow(FormId id) = 0;

    // A label's caption or a text box's text.
    virtual std::string text(FormId id, std::string_view control) const = 0;
    virtual void setText(FormId id, std::string_view control, std::string_view text) = 0;

    // Tells the user that a handler stopped at a failed step. Must not block.
    virtual void reportFailure(const numtext::Failure& failure) = 0;
    // Leaves the event loop; the program ends.
    virtual void quit() = 0;
};

} // namespace app
