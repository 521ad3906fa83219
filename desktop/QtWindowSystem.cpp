// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/QtWindowSystem.h"

#include "desktop/Accessibility.h"
#include "desktop/Text.h"
#include "desktop/Window.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

namespace desktop {

QtWindowSystem::QtWindowSystem(app::FormEvents& events) : m_events(events) {}

QtWindowSystem::~QtWindowSystem() {
    for (auto& window : m_windows)
        delete window.data();
    delete m_failureWindow.data();
}

Window* QtWindowSystem::window(app::FormId id) const {
    return m_windows[int(id)].data();
}

void QtWindowSystem::createWindow(const app::FormDescription& form) {
    m_windows[int(form.id)] = new Window(form, m_events);
}

void QtWindowSystem::destroyWindow(app::FormId id) {
    if (Window* window = m_windows[int(id)].data())
        window->discard();
    m_windows[int(id)] = nullptr;
}

void QtWindowSystem::showWindow(app::FormId id) {
    if (Window* window = m_windows[int(id)].data())
        window->present();
}

std::string QtWindowSystem::text(app::FormId id, int row) const {
    QWidget* widget = m_windows[int(id)]->control(row);
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text().toStdString();
    if (auto* box = qobject_cast<QLineEdit*>(widget))
        return box->text().toStdString();
    return {};
}

void QtWindowSystem::setText(app::FormId id, int row, std::string_view text) {
    QWidget* widget = m_windows[int(id)]->control(row);
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(toQString(text));
    else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
        box->setText(toQString(text));
        // Show a result from its first digit, as typed text would start.
        box->setCursorPosition(0);
    }
}

void QtWindowSystem::announce(app::FormId id, std::string_view message) {
    if (Window* window = m_windows[int(id)].data())
        window->announce(toQString(message));
}

void QtWindowSystem::reportFailure(const app::FailureReport& report) {
    // One small message window, reused, that blocks no other window. It is
    // not one of the program's windows, so it never keeps the program alive.
    if (!m_failureWindow) {
        m_failureWindow = new QMessageBox(QMessageBox::Warning, toQString(report.title), QString(),
                                          QMessageBox::NoButton);
        // Qt's own "OK" would be the one English word on screen.
        m_failureWindow->addButton(toQString(report.button), QMessageBox::AcceptRole);
        m_failureWindow->setWindowModality(Qt::NonModal);
        m_failureWindow->setLayoutDirection(Qt::RightToLeft);
        m_failureWindow->setObjectName(QStringLiteral("failureWindow"));
    }
    m_failureWindow->setText(toQString(report.message));
    // A message the user minimised would otherwise hide this failure and
    // every later one: show() leaves a minimised window minimised.
    m_failureWindow->setWindowState(m_failureWindow->windowState() & ~Qt::WindowMinimized);
    m_failureWindow->show();
    m_failureWindow->raise();
    m_failureWindow->activateWindow();
    announceAlert(m_failureWindow);
}

void QtWindowSystem::quit() {
    if (m_failureWindow)
        m_failureWindow->hide();
    QCoreApplication::exit(0);
}

} // namespace desktop
