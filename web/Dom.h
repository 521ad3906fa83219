// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The thin glue between the adapter and the page: each function passes its
// arguments on to one call of site/windows.js, the page's window manager.
// Windows are addressed by their FormId's number, controls by their row in
// the window's table. The C++ decides which windows and controls there are,
// their titles, texts, rectangles, colours, names, tab order and the lines a
// narrow screen sets them in, and when a window is shown, written to,
// announced from or destroyed; and what a pasted line break becomes. The
// window manager decides how the windows behave on the page: the elements
// and roles each is made of, where a new one opens and the flow of a narrow
// screen, which is active and on top, which control has the focus when a
// window opens or comes back, Tab kept inside the active window and F6
// between windows, the list of open windows, the second press of a double
// click and a touch too soon after a window appeared under it ignored by
// that window, the failure message's panel and Escape closing it, and the
// ended page.

#include "app/Layout.h"

#include <string>
#include <string_view>

namespace web::dom {

// A rectangle in CSS pixels.
struct Box {
    int left, top, width, height;
};

// A hidden panel with a title bar, a close control and a client area.
void createWindow(int form, std::string_view name, std::string_view title, int width, int height,
                  bool alert, std::string_view closeLabel);
// `background` is a CSS colour or empty for the ordinary one, `align` a CSS
// text-align value.
void addControl(int form, int row, app::ControlKind kind, std::string_view name,
                std::string_view text, Box box, std::string_view background, std::string_view align,
                bool border);
// The label row `label` names the text box row `control`.
void nameBy(int form, int label, int control);
// The label row `label` is part of the alert window's message.
void describeBy(int form, int label);
// The rows that take the focus, in tab order.
void setTabOrder(int form, const int* rows, int count);
// Every row in the order a narrow screen sets them in lines, each with its
// share of its line's width (the shares of one line add up to 60).
void setFlow(int form, const int* rows, const int* shares, int count);

void destroyWindow(int form);
void showWindow(int form);

std::string text(int form, int row);
void setText(int form, int row, std::string_view text);

// Has a screen reader say `message` once, as news from the window `form`,
// wherever the focus is.
void announce(int form, std::string_view message);

// The failure message: a small panel whose one button closes it.
void showFailure(std::string_view title, std::string_view message, std::string_view button);
void showEnded(std::string_view text, std::string_view button);

} // namespace web::dom
