// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What only the Windows face can show, checked from outside the program
// through its windows, beside the shared table of roads: every control's
// rectangle against the core's pixels at the screen's scale, what MSAA
// tells a screen reader about every text box, button and warning, and a
// road walked with real key input (the tab order, Enter and the space bar on
// buttons, a held Enter, Enter and Escape in a box, the failure message's
// keys), and the text boxes' one line.

#include <windows.h>

#include <string>

namespace wine {

// Each check prints one line, "ok ..." or "FAIL ..."; each returns the
// number of failures. `program` is the path of takhmin.exe.
int checkRectangles(const std::wstring& program, UINT dpi);
int checkAccessibility(const std::wstring& program);
int checkKeyboard(const std::wstring& program);
// A text box holds one line: each line break pasted or set becomes a space,
// and it takes text longer than the EDIT's default limit.
int checkTextBoxes(const std::wstring& program);

} // namespace wine
