// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/Accessibility.h"

#include "desktop/FormWindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMessageBox>

namespace desktop {

namespace {

QAccessibleInterface* windowFactory(const QString&, QObject* object) {
    // A window's accessible name is its title; its labels and buttons stay
    // its children, so a reader can speak the warning text as well. A plain
    // top-level widget would otherwise pass for a filler, not a window.
    if (auto* form = qobject_cast<FormWindow*>(object))
        return new QAccessibleWidget(form, form->description().role == app::FormRole::Alert
                                               ? QAccessible::AlertMessage
                                               : QAccessible::Window);
    if (auto* message = qobject_cast<QMessageBox*>(object))
        return new QAccessibleWidget(message, QAccessible::AlertMessage);
    return nullptr;
}

} // namespace

void installAccessibility() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(windowFactory);
}

void announceAlert(QWidget* window) {
    QAccessibleEvent event(window, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

} // namespace desktop
