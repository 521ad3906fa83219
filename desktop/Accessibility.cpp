// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/Accessibility.h"

#include "desktop/Controls.h"
#include "desktop/LineEditAttributeRuns.h"
#include "desktop/Window.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QMessageBox>

namespace desktop {

namespace {

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
    if (auto* form = qobject_cast<Window*>(object))
        return new QAccessibleWidget(form, form->description().role == app::FormRole::Alert
                                               ? QAccessible::AlertMessage
                                               : QAccessible::Window);
    if (auto* message = qobject_cast<QMessageBox*>(object))
        return new QAccessibleWidget(message, QAccessible::AlertMessage);
    if (auto* box = qobject_cast<TextBox*>(object))
        return wholeTextRunAccessible(box);
    if (auto* announcement = qobject_cast<Announcement*>(object))
        return new AnnouncementAccessible(announcement);
    return nullptr;
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
    QAccessible::installFactory(accessibleFactory);
}

void announceAlert(QWidget* window) {
    QAccessibleEvent event(window, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

void announceNews(QWidget* window, const QString& message) {
    auto* announcement = window->findChild<Announcement*>(QString(), Qt::FindDirectChildrenOnly);
    if (!announcement)
        announcement = new Announcement(window);
    announcement->message = message;
    QAccessibleEvent event(announcement, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&event);
}

namespace {

// Hands every event but a changed text selection to the screen reader.
void dropSelectionChanges(QAccessibleEvent* event) {
    if (event->type() == QAccessible::TextSelectionChanged)
        return;
    // Qt hands events to the screen reader only while no handler is installed.
    const QAccessible::UpdateHandler self = QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(self);
}

} // namespace

QuietTextSelection::QuietTextSelection()
    : m_previous(QAccessible::installUpdateHandler(dropSelectionChanges)) {}

QuietTextSelection::~QuietTextSelection() {
    QAccessible::installUpdateHandler(m_previous);
}

} // namespace desktop

#include "Accessibility.moc"
