// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/WebWindowSystem.h"

#include "web/Dom.h"
#include "web/PageTexts.h"
#include "web/Window.h"

namespace web {

const app::FormDescription* WebWindowSystem::loaded(int form) const {
    if (form < 0 || form >= app::formCount)
        return nullptr;
    return m_loaded[form];
}

void WebWindowSystem::click(int form, int row) {
    const app::FormDescription* description = loaded(form);
    if (!description || row < 0 || row >= int(description->controls.size()) ||
        description->controls[row].kind != app::ControlKind::PushButton)
        return;
    m_events.click(description->id, row);
}

void WebWindowSystem::closedByUser(int form) {
    if (loaded(form))
        m_events.closedByUser(app::FormId(form));
}

void WebWindowSystem::createWindow(const app::FormDescription& form) {
    m_loaded[static_cast<int>(form.id)] = &form;
    buildWindow(form);
}

void WebWindowSystem::destroyWindow(app::FormId id) {
    m_loaded[static_cast<int>(id)] = nullptr;
    dom::destroyWindow(static_cast<int>(id));
}

void WebWindowSystem::showWindow(app::FormId id) {
    dom::showWindow(static_cast<int>(id));
}

std::string WebWindowSystem::text(app::FormId id, int row) const {
    return dom::text(static_cast<int>(id), row);
}

void WebWindowSystem::setText(app::FormId id, int row, std::string_view text) {
    dom::setText(static_cast<int>(id), row, text);
}

void WebWindowSystem::announce(app::FormId id, std::string_view message) {
    dom::announce(static_cast<int>(id), message);
}

void WebWindowSystem::reportFailure(const app::FailureReport& report) {
    // One small window, reused, that blocks nothing. It is not one of the
    // program's forms, so it never keeps the program alive.
    dom::showFailure(report.title, report.message, report.button);
}

void WebWindowSystem::quit() {
    dom::showEnded(endedText, restartButton);
}

} // namespace web
