// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/LineEditAttributeRuns.h"

#include <QAccessibleWidget>
#include <QLineEdit>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace desktop {

namespace {

class TextBoxAccessible : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface {
  public:
    explicit TextBoxAccessible(QLineEdit* box)
        : QAccessibleWidget(box, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Value ? box()->text() : QAccessibleWidget::text(type);
    }
    void setText(QAccessible::Text type, const QString& text) override {
        if (type == QAccessible::Value)
            box()->setText(text);
        else
            QAccessibleWidget::setText(type, text);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = box()->isReadOnly();
        state.editable = !box()->isReadOnly();
        state.selectableText = true;
        return state;
    }

    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index == 0 && box()->hasSelectedText()) {
            *start = box()->selectionStart();
            *end = box()->selectionEnd();
        }
    }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0)
            box()->deselect();
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0)
            box()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }

    QString text(int start, int end) const override {
        return start > end ? QString() : box()->text().mid(start, end - start);
    }
    // An offset of -2 stands for the cursor.
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                             int* end) const override {
        return QAccessibleTextInterface::textBeforeOffset(atCursor(offset), boundary, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                            int* end) const override {
        return QAccessibleTextInterface::textAfterOffset(atCursor(offset), boundary, start, end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                         int* end) const override {
        return QAccessibleTextInterface::textAtOffset(atCursor(offset), boundary, start, end);
    }
    int characterCount() const override { return int(box()->text().size()); }

    QRect characterRect(int offset) const override {
        const QString text = box()->text();
        if (offset < 0 || offset >= text.size())
            return {};
        // Only the box knows how far it has scrolled its text; the cursor it
        // reports to input methods gives the origin of the laid-out line.
        QTextLayout layout(text, box()->font());
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        const QRect cursor = box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const qreal origin = cursor.x() - line.cursorToX(box()->cursorPosition());
        const qreal from = line.cursorToX(offset);
        const qreal to = line.cursorToX(offset + 1);
        const QRect rect(qRound(origin + std::min(from, to)), cursor.y(),
                         qRound(std::abs(to - from)), cursor.height());
        return QRect(box()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int end) override {
        box()->setCursorPosition(end);
        box()->setCursorPosition(start);
    }
    QString attributes(int offset, int* start, int* end) const override {
        const int count = characterCount();
        if (offset < 0 || offset > count) {
            *start = *end = -1;
            return {};
        }
        *start = 0;
        *end = count;
        return {};
    }

    void deleteText(int start, int end) override {
        box()->setText(box()->text().remove(start, end - start));
    }
    void insertText(int offset, const QString& text) override {
        box()->setText(box()->text().insert(offset, text));
    }
    void replaceText(int start, int end, const QString& text) override {
        box()->setText(box()->text().replace(start, end - start, text));
    }

  private:
    QLineEdit* box() const { return static_cast<QLineEdit*>(widget()); }
    int atCursor(int offset) const { return offset == -2 ? cursorPosition() : offset; }
};

} // namespace

QAccessibleInterface* wholeTextRunAccessible(QLineEdit* box) {
    return new TextBoxAccessible(box);
}

} // namespace desktop
