// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The thin glue between the adapter and the page. Each function changes the
// DOM in one small way and decides nothing; what to build and when is decided
// in C++. Windows are addressed by their FormId's number, controls by their
// row in the window's table. How the panels behave as windows on a desktop
// (stacking, dragging, cascading, scaling, focus kept inside the active one)
// is in site/windows.js, the page's window manager.

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
