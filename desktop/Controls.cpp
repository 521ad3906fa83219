// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/Controls.h"

#include "app/ControlText.h"
#include "desktop/Accessibility.h"
#include "desktop/Appearance.h"
#include "desktop/HeldKeys.h"
#include "desktop/Text.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QValidator>

#include <algorithm>
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

// Every change of a text box's text passes through its validator: typing,
// pasting (keys, menu or middle button), dropping, input methods and
// setText(). That makes it the one place where a line break, which a
// single-line box would hide, becomes the space that the box shows.
class SingleLineValidator : public QValidator {
  public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override {
        const std::string text = input.toStdString();
        const std::string joined = app::joinLines(text);
        if (joined != text) {
            // A CR LF pair before the cursor became one character.
            pos = int(toQString(app::joinLines(input.left(pos).toStdString())).size());
            input = toQString(joined);
            pos = std::min(pos, int(input.size()));
        }
        return Acceptable;
    }
};

} // namespace

CaptionLabel::CaptionLabel(const app::ControlRow& row, QWidget* parent)
    : QLabel(toQString(row.text), parent) {
    placeControl(*this, row);
    setTextFormat(Qt::PlainText);
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

void CaptionLabel::paintEvent(QPaintEvent*) {
    // QLabel breaks lines wherever Unicode allows, after the point of "1.995"
    // for one, and hides the rest of the word on the next line. Here the
    // lines break at spaces only, and a word too wide for the rectangle is
    // drawn whole and cut off at its edge.
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect();
    painter.setClipRect(area);
    const QString caption = text();
    const std::string utf8 = caption.toStdString();
    const QFontMetricsF metrics(font(), this);
    const auto lines = app::wrapAtSpaces(utf8, area.width(), [&](std::string_view piece) {
        return metrics.horizontalAdvance(toQString(piece));
    });
    // Each line is laid out in the direction of the whole caption, as the
    // bidirectional rules lay out a paragraph, and placed by the row's
    // alignment.
    const int flags = int(alignment()) | (caption.isRightToLeft() ? Qt::TextForceRightToLeft
                                                                  : Qt::TextForceLeftToRight);
    // Lines keep their fractional positions, as Qt's own paragraphs do.
    painter.setPen(palette().color(foregroundRole()));
    QRectF line(area);
    line.setHeight(metrics.lineSpacing());
    for (std::string_view text : lines) {
        painter.drawText(line, flags, toQString(text));
        line.translate(0, metrics.lineSpacing());
    }
}

TextBox::TextBox(const app::ControlRow& row, QWidget* parent)
    : QLineEdit(toQString(row.text), parent) {
    placeControl(*this, row);
    // Qt caps a line edit at 32767 characters by default; a text box here
    // takes text of any length.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new SingleLineValidator(this));
    setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
    applyBackground(*this, row.style.background, QPalette::Base);
}

// The text selected on the way in and unselected on the way out is no news
// to a screen reader.
void TextBox::focusInEvent(QFocusEvent* event) {
    const QuietTextSelection quiet;
    QLineEdit::focusInEvent(event);
}

void TextBox::focusOutEvent(QFocusEvent* event) {
    const QuietTextSelection quiet;
    QLineEdit::focusOutEvent(event);
}

WrappingButton::WrappingButton(const app::ControlRow& row, QWidget* parent)
    : QPushButton(toQString(row.text), parent) {
    placeControl(*this, row);
    // No button is a default button, so Enter in a text box presses nothing:
    // a Window is a plain QWidget, and Qt makes buttons default or
    // auto-default only inside a QDialog. The same leaves QPushButton deaf
    // to Enter; keyPressEvent() below gives it to the button with the focus.
}

void WrappingButton::paintEvent(QPaintEvent*) {
    // The style draws the bevel and the focus frame; the caption is drawn
    // here so that it can wrap, centred, and be cut off at the edges. It wraps
    // by Qt's word wrap, wherever Unicode allows a break, not only at spaces
    // as the labels do.
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
    // A held key presses this button at most once, and only if it went down
    // here: a repeat must not press the button of a window that the first
    // press opened.
    const bool repeat = HeldKeys::isRepeatedPress(*event);
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter presses the button that has the focus, as the space bar does.
        if (!repeat)
            click();
        return;
    case Qt::Key_Space:
        // The space bar presses on release, if the button went down on the
        // press; a repeat Qt did not flag must not put it down.
        if (repeat) {
            event->ignore();
            return;
        }
        break;
    default:
        break;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace desktop
