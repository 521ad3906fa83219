// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The core keeps every text as UTF-8; the Windows API's W functions take
// UTF-16. These are the only places where one becomes the other.

#include <windows.h>

#include <string>
#include <string_view>

namespace win32 {

std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

// The whole text of a window or control.
std::wstring windowText(HWND window);

// True when the first character with a strong direction is right to left,
// as the bidirectional rules decide a paragraph's direction.
bool isRightToLeft(std::wstring_view text);

} // namespace win32
