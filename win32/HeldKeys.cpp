// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/HeldKeys.h"

namespace win32 {

bool HeldKeys::isRepeat(const MSG& message) {
    const size_t key = message.wParam & 0xff;
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        const bool repeat = (message.lParam & (LPARAM(1) << 30)) != 0 || m_down[key];
        m_down[key] = true;
        return repeat;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
        m_down[key] = false;
        return false;
    default:
        return false;
    }
}

} // namespace win32
