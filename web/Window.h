// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One form drawn as a window of the page, built from its tables as the
// desktop's desktop::Window builds a widget: a title bar with a close
// control, a client area of the table's size, and every control at its
// rectangle, stacked in table order (a later row is drawn over an earlier one
// it overlaps). The window is created hidden.

#include "app/Layout.h"

namespace web {

void buildWindow(const app::FormDescription& form);

} // namespace web
