// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/Controls.h"

#include "desktop/Appearance.h"
#include "desktop/Text.h"

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <limits>

namespace desktop {

namespace {

void applyBackground(QWidget& widget, const app::Colour& colour, QPalette::ColorRole role) {
    if (colour.kind == app::Colour::Kind::Ordinary)
        return;
    QPalette palette = widget.palette();
    palette.setColor(role, toQColor(colour));
    widget.setPalette(palette);
}

// Qt aligns plain text by the direction of the text itself, so an Arabic
// caption asked to sit on the left would be drawn on the right. AlignAbsolute
// keeps the row's alignment in every language and locale.
Qt::Alignment horizontalAlignment(app::Align align) {
    switch (align) {
    case app::Align::Left:
        return Qt::AlignLeft | Qt::AlignAbsolute;
    case app::Align::Right:
        return Qt::AlignRight | Qt::AlignAbsolute;
    case app::Align::Centre:
        return Qt::AlignHCenter;
    }
    return Qt::AlignLeft | Qt::AlignAbsolute;
}

void placeControl(QWidget& widget, const app::ControlRow& row) {
    widget.setObjectName(toQString(row.name));
    widget.setGeometry(twipsToPixels(row.left, row.top, row.width, row.height));
}

} // namespace

CaptionLabel::CaptionLabel(const app::ControlRow& row, QWidget* parent)
    : QLabel(toQString(row.text), parent) {
    placeControl(*this, row);
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(horizontalAlignment(row.style.align) | Qt::AlignTop);
    // Labels are opaque and paint their own background.
    setAutoFillBackground(true);
    applyBackground(*this, row.style.background, QPalette::Window);
    if (row.style.border) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    }
    // Without this a framed label indents its text by half an "x", which the
    // narrow answer boxes cannot spare.
    setIndent(0);
}

TextBox::TextBox(const app::ControlRow& row, QWidget* parent)
    : QLineEdit(toQString(row.text), parent) {
    placeControl(*this, row);
    // Qt caps a line edit at 32767 characters by default; a text box here
    // takes text of any length.
    setMaxLength(std::numeric_limits<int>::max());
    setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
    applyBackground(*this, row.style.background, QPalette::Base);
}

WrappingButton::WrappingButton(const app::ControlRow& row, QWidget* parent)
    : QPushButton(toQString(row.text), parent) {
    placeControl(*this, row);
    // No button is a default button, so Enter in a text box presses nothing:
    // a FormWindow is a plain QWidget, and Qt makes buttons default or
    // auto-default only inside a QDialog. The same leaves QPushButton deaf
    // to Enter; keyPressEvent() below gives it to the button with the focus.
}

void WrappingButton::paintEvent(QPaintEvent*) {
    // The style draws the bevel and the focus frame; the caption is drawn
    // here so that it can wrap at spaces, centred, and be cut off at the edges.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (isDown() || isChecked())
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    painter.setClipRect(rect());
    painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(), text(),
                         QPalette::ButtonText);
}

void WrappingButton::keyPressEvent(QKeyEvent* event) {
    // Enter presses the button that has the focus, as the space bar does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace desktop
