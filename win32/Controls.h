// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the standard controls do differently here, each added to a control
// the window has made (a window subclass): labels draw their caption in the
// lines the core breaks it into, and text boxes never hold a line break.

#include <windows.h>

namespace win32 {

// The STATIC `label` draws its caption in lines broken as the core breaks
// them (app::wrapAtSpaces: at spaces only, a word too wide cut off at the
// edge), aligned by its SS_LEFT, SS_RIGHT or SS_CENTER style, each line laid
// out in the direction of the whole caption. The STATIC's own drawing would
// break a long word in the middle and lay an Arabic caption out from the
// left. The background and text colours come from the parent's
// WM_CTLCOLORSTATIC, as for any STATIC.
void drawCaptionInLines(HWND label);

// The single-line EDIT `box` turns each line break of a text that comes in
// by WM_SETTEXT or a paste into one space (app::joinLines); by itself it
// would keep only the first line of a pasted text.
void keepOnOneLine(HWND box);

} // namespace win32
