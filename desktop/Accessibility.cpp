// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/Accessibility.h"

#include "desktop/Controls.h"
#include "desktop/FormWindow.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace desktop {

namespace {

// Qt's own interface for line edits answers every offset with an attribute
// run of length zero. Orca 43 splits a box's line into such runs before it
// speaks it, and the runs it pieces together end one character short: a box
// holding "25" is heard as "2", one holding "3" as nothing. A line edit has no
// text attributes at all, so this interface, otherwise the same as Qt's,
// reports the whole text as one run.
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

// What a screen reader hears a window's announcements from. Orca 43 ignores
// changed texts of labels, and of text boxes away from the focus, but speaks
// a notification when it starts showing, wherever the focus is. The object is
// not a widget, so it adds nothing to the window's list of controls.
class Announcement : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    QString message;
};

class AnnouncementAccessible : public QAccessibleObject {
  public:
    explicit AnnouncementAccessible(Announcement* announcement) : QAccessibleObject(announcement) {}

    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(object()->parent());
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Name ? static_cast<Announcement*>(object())->message
                                         : QString();
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }
};

QAccessibleInterface* accessibleFactory(const QString&, QObject* object) {
    // A window's accessible name is its title; its labels and buttons stay
    // its children, so a reader can speak the warning text as well. A plain
    // top-level widget would otherwise pass for a filler, not a window.
    if (auto* form = qobject_cast<FormWindow*>(object))
        return new QAccessibleWidget(form, form->description().role == app::FormRole::Alert
                                               ? QAccessible::AlertMessage
                                               : QAccessible::Window);
    if (auto* message = qobject_cast<QMessageBox*>(object))
        return new QAccessibleWidget(message, QAccessible::AlertMessage);
    if (auto* box = qobject_cast<TextBox*>(object))
        return new TextBoxAccessible(box);
    if (auto* announcement = qobject_cast<Announcement*>(object))
        return new AnnouncementAccessible(announcement);
    return nullptr;
}

// Entering a text box with Tab selects its text before Qt reports the new
// focus, and leaving it unselects the text after the focus has moved on. Orca
// speaks such selection changes as they come: "25 selected" before it names
// the box, "text unselected" after the user has left it. Only the box that the
// screen reader knows to have the focus reports its selection.
QPointer<QObject> lastFocus;

void forwardUpdate(QAccessibleEvent* event) {
    if (event->type() == QAccessible::Focus)
        lastFocus = event->object();
    if (event->type() == QAccessible::TextSelectionChanged) {
        auto* box = qobject_cast<TextBox*>(event->object());
        if (box && (box != lastFocus || !box->hasFocus()))
            return;
    }
    // Qt hands events to the screen reader only while no handler is installed.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(forwardUpdate);
}

std::vector<QPointer<QWidget>>& writtenControls() {
    static std::vector<QPointer<QWidget>> controls;
    return controls;
}

QString controlText(const QWidget* control) {
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* box = qobject_cast<const QLineEdit*>(control))
        return box->text();
    return {};
}

// "caption text" for a control named by a label in its window's table, or
// its text alone.
QString spokenText(const FormWindow& form, const QWidget* control) {
    const QString text = controlText(control);
    const std::string name = control->objectName().toStdString();
    for (const app::LabelFor& pair : form.description().labels)
        if (pair.control == name)
            return controlText(form.control(pair.label)) + u' ' + text;
    return text;
}

void announce(FormWindow& form, const QString& message) {
    auto* announcement = form.findChild<Announcement*>(QString(), Qt::FindDirectChildrenOnly);
    if (!announcement)
        announcement = new Announcement(&form);
    announcement->message = message;
    QAccessibleEvent event(announcement, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&event);
}

} // namespace

void exposeToAssistiveTechnology() {
    // Qt 6.4 reads the accessibility bus's IsEnabled and ScreenReaderEnabled
    // once, at start-up, and never listens for changes. Orca turns IsEnabled
    // on when it starts, so a program started before it would stay mute for
    // good, however often Orca is started or restarted. The variable makes Qt
    // join the accessibility bus whenever there is one; a value already set
    // is kept.
    if (!qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
}

void installAccessibility() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(accessibleFactory);
    QAccessible::installUpdateHandler(forwardUpdate);
}

void announceAlert(QWidget* window) {
    QAccessibleEvent event(window, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

void noteWritten(QWidget* control) {
    if (QAccessible::isActive())
        writtenControls().emplace_back(control);
}

void announceWritten() {
    std::vector<QPointer<QWidget>> controls;
    controls.swap(writtenControls());
    std::vector<QWidget*> spoken;
    for (const QPointer<QWidget>& control : controls)
        if (control && control->isVisible() && !control->hasFocus() &&
            !controlText(control).isEmpty() &&
            std::find(spoken.begin(), spoken.end(), control.data()) == spoken.end())
            spoken.push_back(control.data());
    // Arabic reading order: top to bottom, and right to left within a row.
    std::stable_sort(spoken.begin(), spoken.end(), [](const QWidget* a, const QWidget* b) {
        if (a->y() != b->y())
            return a->y() < b->y();
        return a->geometry().right() > b->geometry().right();
    });
    while (!spoken.empty()) {
        QWidget* window = spoken.front()->window();
        const auto inWindow = [window](const QWidget* control) {
            return control->window() == window;
        };
        auto* form = qobject_cast<FormWindow*>(window);
        QStringList parts;
        for (const QWidget* control : spoken)
            if (form && inWindow(control))
                parts << spokenText(*form, control);
        spoken.erase(std::remove_if(spoken.begin(), spoken.end(), inWindow), spoken.end());
        if (!parts.isEmpty())
            announce(*form, parts.join(QStringLiteral("\u060C ")));
    }
}

} // namespace desktop

#include "Accessibility.moc"
