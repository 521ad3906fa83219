// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What screen readers need beyond what Qt's widgets tell them by themselves:
// warning windows and the failure message are exposed as alerts, and are
// announced as such when they appear; and text boxes report their whole text
// to Orca.

class QWidget;

namespace desktop {

// Registers the accessible interfaces for windows and text boxes; once per
// process.
void installAccessibility();

// Tells assistive technology that an alert window has just been shown.
void announceAlert(QWidget* window);

} // namespace desktop
