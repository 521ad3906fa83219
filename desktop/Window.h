// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One form drawn as a Qt window, built from its layout table: a fixed-size
// top-level widget whose controls sit at their rectangles, stacked in table
// order (a later row is drawn over an earlier one it overlaps). It reports
// clicks and the close control; it decides nothing about navigation.

#include "app/Layout.h"
#include "app/WindowSystem.h"

#include <QWidget>

#include <vector>

namespace desktop {

class Window : public QWidget {
    Q_OBJECT
  public:
    Window(const app::FormDescription& description, app::FormEvents& events);

    const app::FormDescription& description() const { return m_description; }
    // The widget of the control at `row` of the form's table.
    QWidget* control(int row) const { return m_controls[row]; }

    // Shows the window, brings it to the front and activates it. The first
    // time, the focus goes to the first control in the tab order.
    void present();

    // Has a screen reader say `message` once, wherever the focus is.
    void announce(const QString& message);

    // Takes the window off the screen for good without reporting a close.
    void discard();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    const app::FormDescription& m_description;
    app::FormEvents& m_events;
    std::vector<QWidget*> m_controls;
    QWidget* m_firstFocus = nullptr;
    bool m_presented = false;
    bool m_discarded = false;
};

} // namespace desktop
