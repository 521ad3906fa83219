// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A workaround for Qt 6.4's accessible line edits, which Orca 43 reads one
// character short: Qt's interface answers every offset with an attribute run
// of length zero, and the runs Orca pieces a line together from end a
// character early, so a box holding "25" is heard as "2" and one holding "3"
// as nothing. A line edit has no text attributes at all; this interface,
// otherwise the same as Qt's, reports the whole text as one run.

class QAccessibleInterface;
class QLineEdit;

namespace desktop {

QAccessibleInterface* wholeTextRunAccessible(QLineEdit* box);

} // namespace desktop
