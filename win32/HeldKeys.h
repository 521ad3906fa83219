// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Tells a key going down from the keyboard's repeat of a key held down, so
// that a held Enter or space bar presses one push button only: the one that
// had the focus when the key went down, even when that press opens a window
// whose button then has the focus.
//
// Windows flags a repeat in bit 30 of WM_KEYDOWN's lParam (the key was
// already down). Wine leaves the bit clear, for keys held on its X server
// and for SendInput alike, so the keys seen going down and not yet up are
// remembered here as well. A key released while another program had the
// keyboard is never seen going up: the program forgets every key when it
// loses the keyboard.

#include <windows.h>

#include <bitset>

namespace win32 {

class HeldKeys {
  public:
    // Takes note of a key message of the message loop; true for a
    // WM_KEYDOWN or WM_SYSKEYDOWN that repeats a key already down.
    bool isRepeat(const MSG& message);
    // Forgets which keys are down.
    void forget() { m_down.reset(); }

  private:
    std::bitset<256> m_down;
};

} // namespace win32
