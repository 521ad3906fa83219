// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/QtWindowSystem.h"

#include "app/FailureMessages.h"
#include "desktop/Accessibility.h"
#include "desktop/FormWindow.h"
#include "desktop/Text.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace desktop {

QtWindowSystem::QtWindowSystem() = default;

QtWindowSystem::~QtWindowSystem() {
    for (auto& window : m_windows)
        delete window.data();
    delete m_failureWindow.data();
}

FormWindow* QtWindowSystem::window(app::FormId id) const {
    return m_windows[int(id)].data();
}

void QtWindowSystem::createWindow(const app::FormDescription& form) {
    const app::FormId id = form.id;
    m_windows[int(id)] = new FormWindow(
        form,
        [this, id](std::string_view button) {
            if (m_program)
                m_program->click(id, button);
        },
        [this, id] {
            if (m_program)
                m_program->closedByUser(id);
        });
}

void QtWindowSystem::destroyWindow(app::FormId id) {
    if (FormWindow* window = m_windows[int(id)].data())
        window->discard();
    m_windows[int(id)] = nullptr;
}

void QtWindowSystem::showWindow(app::FormId id) {
    if (FormWindow* window = m_windows[int(id)].data())
        window->present();
}

QWidget* QtWindowSystem::control(app::FormId id, std::string_view name) const {
    FormWindow* window = m_windows[int(id)].data();
    return window ? window->control(name) : nullptr;
}

std::string QtWindowSystem::text(app::FormId id, std::string_view name) const {
    QWidget* widget = control(id, name);
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text().toStdString();
    if (auto* box = qobject_cast<QLineEdit*>(widget))
        return box->text().toStdString();
    return {};
}

void QtWindowSystem::setText(app::FormId id, std::string_view name, std::string_view text) {
    QWidget* widget = control(id, name);
    noteWritten(widget);
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(toQString(text));
    else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
        box->setText(toQString(text));
        // Show a result from its first digit, as typed text would start.
        box->setCursorPosition(0);
    }
}

void QtWindowSystem::reportFailure(const numtext::Failure& failure) {
    // One small message window, reused, that blocks no other window. It is
    // not one of the program's windows, so it never keeps the program alive.
    if (!m_failureWindow) {
        m_failureWindow = new QMessageBox(QMessageBox::Warning, toQString(app::failureTitle()),
                                          QString(), QMessageBox::NoButton);
        // Qt's own "OK" would be the one English word on screen.
        m_failureWindow->addButton(toQString(app::failureButton()), QMessageBox::AcceptRole);
        m_failureWindow->setWindowModality(Qt::NonModal);
        m_failureWindow->setLayoutDirection(Qt::RightToLeft);
        m_failureWindow->setObjectName(QStringLiteral("failureWindow"));
    }
    const QString message = toQString(app::failureMessage(failure.kind()));
    m_failureWindow->setText(message);
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
