// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One of the program's windows as a panel of the page, built from its tables
// as the desktop's FormWindow builds a widget: a title bar with a close
// control, a client area of the table's size, and every control at its
// rectangle, stacked in table order (a later row is drawn over an earlier one
// it overlaps). The panel is created hidden.

#include "app/Layout.h"

namespace web {

void buildPanel(const app::FormDescription& form);

// The row of `name` in the window's table, or -1.
int rowOf(const app::FormDescription& form, std::string_view name);

} // namespace web
