// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The three kinds of control, with the behaviour the tables assume and that
// Qt's widgets do not have by default: labels keep the alignment of their row
// whatever the direction of their text and break lines only at spaces, text
// boxes never hold a line break, and push buttons wrap their caption.

#include "app/Layout.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace desktop {

class CaptionLabel : public QLabel {
    Q_OBJECT
  public:
    CaptionLabel(const app::ControlRow& row, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

class TextBox : public QLineEdit {
    Q_OBJECT
  public:
    TextBox(const app::ControlRow& row, QWidget* parent);

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

class WrappingButton : public QPushButton {
    Q_OBJECT
  public:
    WrappingButton(const app::ControlRow& row, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace desktop
