// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The nine windows of the program: each one's layout table and its button
// handlers. The handlers are short straight sequences of steps; they keep no
// data of their own between clicks, only the texts of the controls.

#include "app/Layout.h"

#include <span>

namespace screens {

// Welcome and age gate.
extern const app::FormSpec form1;
extern const app::FormSpec form8;
// Main menu.
extern const app::FormSpec form2;
// Exit confirmation, goodbye and about.
extern const app::FormSpec form3;
extern const app::FormSpec form4;
extern const app::FormSpec form5;
// Number-finding puzzle and its warning.
extern const app::FormSpec form6;
extern const app::FormSpec form7;
// Calculator.
extern const app::FormSpec form9;

// All nine, for the window registry.
std::span<const app::FormSpec* const> allForms();

} // namespace screens
