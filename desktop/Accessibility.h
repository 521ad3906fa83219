// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What screen readers need beyond what Qt's widgets tell them by themselves:
// the program is exposed even when the screen reader starts after it; the
// forms' windows are exposed as windows, and warning windows and the failure
// message as alerts, announced as such when they appear; text boxes report
// their whole text to Orca (desktop/LineEditAttributeRuns.h); and what the
// form registry decides to announce after a click is spoken wherever the
// focus is.

#include <QAccessible>

class QString;
class QWidget;

namespace desktop {

// Makes Qt expose the program to assistive technology whether or not a screen
// reader runs when it starts. Call before the QApplication is made.
void exposeToAssistiveTechnology();

// Registers the accessible interfaces for windows and text boxes; once per
// application.
void installAccessibility();

// Tells assistive technology that an alert window has just been shown.
void announceAlert(QWidget* window);

// Has a screen reader say `message` once as a notification from `window`.
// Orca 43 ignores changed texts of labels, and of text boxes away from the
// focus, but speaks a notification when it starts showing, wherever the
// focus is.
void announceNews(QWidget* window, const QString& message);

// While one exists, changes of text selection are not reported. Entering a
// text box with Tab selects its text before Qt reports the new focus, and
// leaving it unselects the text after the focus has moved on; Orca would
// speak both as they come: "25 selected" before it names the box, "text
// unselected" after the user has left it. A text box makes one around its
// own focus changes.
class QuietTextSelection {
  public:
    QuietTextSelection();
    ~QuietTextSelection();
    QuietTextSelection(const QuietTextSelection&) = delete;
    QuietTextSelection& operator=(const QuietTextSelection&) = delete;

  private:
    QAccessible::UpdateHandler m_previous;
};

} // namespace desktop
