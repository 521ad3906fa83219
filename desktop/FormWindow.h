// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One of the program's windows, built from its layout table: a fixed-size
// top-level widget whose controls sit at their rectangles, stacked in table
// order (a later row is drawn over an earlier one it overlaps). It reports
// clicks and the close control; it decides nothing about navigation.

#include "app/Layout.h"

#include <QWidget>

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace desktop {

class FormWindow : public QWidget {
    Q_OBJECT
  public:
    using ClickHandler = std::function<void(std::string_view button)>;
    using CloseHandler = std::function<void()>;

    FormWindow(const app::FormDescription& description, ClickHandler onClick, CloseHandler onClose);

    const app::FormDescription& description() const { return m_description; }
    QWidget* control(std::string_view name) const;

    // Shows the window, brings it to the front and activates it. The first
    // time, the focus goes to the control with the lowest tab index.
    void present();

    // Takes the window off the screen for good without reporting a close.
    void discard();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildTabOrder();

    const app::FormDescription& m_description;
    std::vector<std::pair<std::string_view, QWidget*>> m_controls;
    QWidget* m_firstFocus = nullptr;
    CloseHandler m_onClose;
    bool m_presented = false;
    bool m_discarded = false;
};

} // namespace desktop
