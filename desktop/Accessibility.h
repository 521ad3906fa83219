// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What screen readers need beyond what Qt's widgets tell them by themselves:
// the program is exposed even when the screen reader starts after it; warning
// windows and the failure message are exposed as alerts, and are
// announced as such when they appear; and text boxes report their whole text
// to Orca.

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

} // namespace desktop
