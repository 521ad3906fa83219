// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/Window.h"

#include "desktop/Accessibility.h"
#include "desktop/Appearance.h"
#include "desktop/Controls.h"
#include "desktop/Text.h"

#include <QCloseEvent>
#include <QLabel>

namespace desktop {

Window::Window(const app::FormDescription& description, app::FormEvents& events)
    : m_description(description), m_events(events) {
    setWindowTitle(toQString(description.title));
    // The tables are drawn left to right; no locale may mirror them.
    setLayoutDirection(Qt::LeftToRight);
    setFixedSize(twipsToPixels(description.width), twipsToPixels(description.height));
    // A fixed-size window has nothing to maximise; keep minimise and close.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    const app::FormId id = description.id;
    for (const app::ControlRow& row : description.controls) {
        QWidget* widget = nullptr;
        switch (row.kind) {
        case app::ControlKind::Label:
            widget = new CaptionLabel(row, this);
            break;
        case app::ControlKind::TextBox:
            widget = new TextBox(row, this);
            break;
        case app::ControlKind::PushButton: {
            auto* button = new WrappingButton(row, this);
            const int index = int(m_controls.size());
            connect(button, &QPushButton::clicked, this,
                    [&events, id, index] { events.click(id, index); });
            widget = button;
            break;
        }
        }
        m_controls.push_back(widget);
    }
    // A text box is named after the label that asks for its text.
    for (const app::LabelFor& pair : description.labels)
        qobject_cast<QLabel*>(control(description.rowOf(pair.label)))
            ->setBuddy(control(description.rowOf(pair.control)));

    const std::vector<int> order = app::focusOrder(description);
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        setTabOrder(control(order[i]), control(order[i + 1]));
    if (!order.empty())
        m_firstFocus = control(order.front());
}

void Window::present() {
    if (!m_presented && m_firstFocus)
        m_firstFocus->setFocus(Qt::OtherFocusReason);
    m_presented = true;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    if (m_description.role == app::FormRole::Alert)
        announceAlert(this);
}

void Window::announce(const QString& message) {
    announceNews(this, message);
}

void Window::discard() {
    m_discarded = true;
    hide();
    // The handler that unloaded this window may still be running inside one
    // of its buttons' clicked signals; release the widgets afterwards.
    deleteLater();
}

void Window::closeEvent(QCloseEvent* event) {
    if (m_discarded) {
        event->accept();
        return;
    }
    // The close control unloads the form; the registry does the rest.
    event->ignore();
    m_events.closedByUser(m_description.id);
}

} // namespace desktop
