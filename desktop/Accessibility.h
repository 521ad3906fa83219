// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What screen readers need beyond what Qt's widgets tell them by themselves:
// the program is exposed even when the screen reader starts after it; warning
// windows and the failure message are exposed as alerts, and are announced as
// such when they appear; text boxes report their whole text to Orca; and the
// texts a click writes into controls away from the focus (the puzzle's
// answers, the calculator's result) are announced once the click is handled.

class QWidget;

namespace desktop {

// Makes Qt expose the program to assistive technology whether or not a screen
// reader runs when it starts. Call before the QApplication is made.
void exposeToAssistiveTechnology();

// Registers the accessible interfaces for windows and text boxes; once per
// process.
void installAccessibility();

// Tells assistive technology that an alert window has just been shown.
void announceAlert(QWidget* window);

// Remembers that a handler has just written the text of a control.
void noteWritten(QWidget* control);

// Called once a click's handler has returned: announces, as one notification
// per window, the non-empty texts written since the last call into controls
// that do not have the focus, in Arabic reading order, each after the caption
// of the label that names it.
void announceWritten();

} // namespace desktop
