// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The look every window shares, in the Windows API's terms: the system's
// message font, the table's colours (or the system's under high contrast),
// and the geometry unit. Tables are in twips; app::twipsToPixels turns them
// into the pixels of a 96 DPI screen, and each window scales those by its own
// monitor's DPI (per-monitor awareness), never by one global factor.

#include "app/Layout.h"
#include "win32/Handles.h"

#include <windows.h>

namespace win32 {

inline constexpr UINT baseDpi = 96;

// Pixels of a 96 DPI screen on a screen of `dpi`, rounded to the nearest.
constexpr int scaled(int pixels, UINT dpi) {
    return (pixels * int(dpi) + int(baseDpi) / 2) / int(baseDpi);
}

// A control's rectangle in its window's client area at `dpi`. The edges are
// scaled rather than the sizes, so that controls that touch at 96 DPI still
// touch at any scale.
constexpr RECT controlRect(const app::ControlRow& row, UINT dpi) {
    const int left = app::twipsToPixels(row.left);
    const int top = app::twipsToPixels(row.top);
    return {scaled(left, dpi), scaled(top, dpi), scaled(left + app::twipsToPixels(row.width), dpi),
            scaled(top + app::twipsToPixels(row.height), dpi)};
}

// The size of a form's client area at `dpi`.
constexpr SIZE clientSize(const app::FormDescription& form, UINT dpi) {
    return {scaled(app::twipsToPixels(form.width), dpi),
            scaled(app::twipsToPixels(form.height), dpi)};
}

// Makes the process per-monitor DPI aware (v2) where the system knows it;
// the manifest asks for the same, this covers a manifest that was dropped.
void useMonitorDpi();

// The DPI of the monitor a window is on.
UINT dpiOf(HWND window);

// The outer size of a window whose client area is `client` at `dpi`.
SIZE frameSize(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

// The system's message font at `dpi`.
Font messageFont(UINT dpi);

// Whether the user has turned on a high-contrast theme; the table's colours
// then give way to the system's.
bool highContrast();

// A table colour as a COLORREF; Colour::Kind::Desktop is the desktop blue
// the other faces show (app::desktopColourRgb).
COLORREF toColorRef(const app::Colour& colour);

} // namespace win32
