// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The nine windows of the program: each one's layout table and its button
// handlers. The handlers are short straight sequences of steps; they keep no
// data of their own between clicks, only the texts of the controls.

#include "app/Layout.h"

#include <span>

namespace screens {

// Welcome and age gate.
extern const app::FormDescription form1;
extern const app::FormDescription form8;
// Main menu.
extern const app::FormDescription form2;
// Exit confirmation and goodbye.
extern const app::FormDescription form3;
extern const app::FormDescription form4;
// About.
extern const app::FormDescription form5;
// Number-finding puzzle and its warning.
extern const app::FormDescription form6;
extern const app::FormDescription form7;
// Calculator.
extern const app::FormDescription form9;

// All nine, for the form registry.
std::span<const app::FormDescription* const> allForms();

} // namespace screens
