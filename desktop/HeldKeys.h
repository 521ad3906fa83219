// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Tells a key going down from the auto-repeat of a key held down, so that a
// held Enter or space bar presses one push button only: the one that had
// the focus when the key went down, even when that press opens a window
// whose button then has the focus.
//
// Qt flags auto-repeated key events, but on X11 not always. X repeats a held
// key as a release and a press with one and the same time stamp, and Qt's
// xcb backend flags the pair only when the press is already in its event
// queue as it handles the release; when the press comes in a moment later,
// both arrive unflagged, and the press looks like a new key-down.

class QApplication;
class QKeyEvent;

namespace desktop {

// Watches the key events of the whole application from now on. Call once.
void watchHeldKeys(QApplication& application);

// True when a key press repeats a key that is already down, whether or not
// Qt flagged it as an auto-repeat.
bool isRepeatedPress(const QKeyEvent& event);

} // namespace desktop
