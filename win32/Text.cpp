// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/Text.h"

#include <vector>

namespace win32 {

std::wstring toWide(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), size);
    return wide;
}

std::string toUtf8(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string utf8(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), size, nullptr,
                        nullptr);
    return utf8;
}

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring text(size_t(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(size_t(copied > 0 ? copied : 0));
    return text;
}

bool isRightToLeft(std::wstring_view text) {
    if (text.empty())
        return false;
    std::vector<WORD> types(text.size());
    if (!GetStringTypeW(CT_CTYPE2, text.data(), int(text.size()), types.data()))
        return false;
    for (const WORD type : types) {
        if (type == C2_RIGHTTOLEFT)
            return true;
        if (type == C2_LEFTTORIGHT)
            return false;
    }
    return false;
}

} // namespace win32
