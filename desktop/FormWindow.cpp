// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/FormWindow.h"

#include "desktop/Accessibility.h"
#include "desktop/Appearance.h"
#include "desktop/Controls.h"
#include "desktop/Text.h"

#include <QCloseEvent>
#include <QLabel>

#include <algorithm>

namespace desktop {

FormWindow::FormWindow(const app::FormDescription& description, ClickHandler onClick,
                       CloseHandler onClose)
    : m_description(description), m_onClose(std::move(onClose)) {
    setWindowTitle(toQString(description.title));
    // The tables are drawn left to right; no locale may mirror them.
    setLayoutDirection(Qt::LeftToRight);
    setFixedSize(twipsToPixels(description.width), twipsToPixels(description.height));
    // A fixed-size window has nothing to maximise; keep minimise and close.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

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
            const std::string_view name = row.name;
            connect(button, &QPushButton::clicked, this, [onClick, name] {
                onClick(name);
                announceWritten();
            });
            widget = button;
            break;
        }
        }
        m_controls.emplace_back(row.name, widget);
    }
    // A text box is named after the label that asks for its text. An answer
    // label keeps its own text as its name; its caption is only announced.
    for (const app::LabelFor& pair : description.labels)
        if (description.find(pair.control)->kind == app::ControlKind::TextBox)
            qobject_cast<QLabel*>(control(pair.label))->setBuddy(control(pair.control));
    buildTabOrder();
}

QWidget* FormWindow::control(std::string_view name) const {
    for (const auto& [controlName, widget] : m_controls)
        if (controlName == name)
            return widget;
    return nullptr;
}

void FormWindow::buildTabOrder() {
    // Labels have a place in the order but never take the focus.
    std::vector<const app::ControlRow*> focusable;
    for (const app::ControlRow& row : m_description.controls)
        if (row.kind != app::ControlKind::Label)
            focusable.push_back(&row);
    std::sort(focusable.begin(), focusable.end(),
              [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 0; i + 1 < focusable.size(); ++i)
        setTabOrder(control(focusable[i]->name), control(focusable[i + 1]->name));
    if (!focusable.empty())
        m_firstFocus = control(focusable.front()->name);
}

void FormWindow::present() {
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

void FormWindow::discard() {
    m_discarded = true;
    hide();
    // The handler that unloaded this window may still be running inside one
    // of its buttons' clicked signals; release the widgets afterwards.
    deleteLater();
}

void FormWindow::closeEvent(QCloseEvent* event) {
    if (m_discarded) {
        event->accept();
        return;
    }
    // The close control unloads the window; the registry does the rest.
    event->ignore();
    m_onClose();
}

} // namespace desktop
