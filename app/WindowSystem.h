// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the program needs from a window toolkit, and nothing more. The form
// registry drives an implementation of WindowSystem, which draws each of the
// nine forms as a window of its toolkit; the implementation reports what the
// user does to a FormEvents that it is given when it is made. It never
// decides on its own which window exists or what a click does, and what a
// screen reader is told after a click is the registry's message, which
// announce() only delivers. How a window, a control or an alert is presented
// to a screen reader is the implementation's own work.
//
// Controls are addressed by their row in the form's control table.

#include "app/Layout.h"

#include <string>
#include <string_view>

namespace app {

// What the user did, as a window system reports it.
class FormEvents {
  public:
    virtual ~FormEvents() = default;
    // The push button at `row` of the form's table was pressed.
    virtual void click(FormId id, int row) = 0;
    // The window's close control was used.
    virtual void closedByUser(FormId id) = 0;
};

// A handler's failed step, in the words the user reads.
struct FailureReport {
    std::string_view title;
    std::string_view message;
    // The caption of the button that dismisses the message.
    std::string_view button;
};

class WindowSystem {
  public:
    virtual ~WindowSystem() = default;

    // Builds the form's window and its controls from its tables, hidden.
    virtual void createWindow(const FormDescription& form) = 0;
    // Takes the window off the screen at once and discards it with its
    // controls. Releasing it may wait until the running handler returns.
    virtual void destroyWindow(FormId id) = 0;
    // Makes the window visible, brings it to the front and activates it.
    virtual void showWindow(FormId id) = 0;

    // A label's caption or a text box's text.
    virtual std::string text(FormId id, int row) const = 0;
    virtual void setText(FormId id, int row, std::string_view text) = 0;

    // Has a screen reader say `message` once, as news from the window,
    // wherever the focus is.
    virtual void announce(FormId id, std::string_view message) = 0;
    // Tells the user that a handler stopped at a failed step. Must not block.
    virtual void reportFailure(const FailureReport& report) = 0;
    // Leaves the event loop; the program ends.
    virtual void quit() = 0;
};

} // namespace app
