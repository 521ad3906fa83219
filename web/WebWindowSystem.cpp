// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/WebWindowSystem.h"

#include "app/FailureMessages.h"
#include "web/Dom.h"
#include "web/FormPanel.h"
#include "web/PageTexts.h"

namespace web {

const app::FormDescription* WebWindowSystem::loaded(int form) const {
    if (form < 0 || form >= app::formCount)
        return nullptr;
    return m_loaded[form];
}

int WebWindowSystem::row(app::FormId id, std::string_view control) const {
    const app::FormDescription* form = loaded(static_cast<int>(id));
    return form ? rowOf(*form, control) : -1;
}

void WebWindowSystem::click(int form, int row) {
    const app::FormDescription* description = loaded(form);
    if (!m_program || !description || row < 0 || row >= int(description->controls.size()))
        return;
    m_program->click(description->id, description->controls[row].name);
}

void WebWindowSystem::closedByUser(int form) {
    if (m_program && loaded(form))
        m_program->closedByUser(app::FormId(form));
}

void WebWindowSystem::createWindow(const app::FormDescription& form) {
    m_loaded[static_cast<int>(form.id)] = &form;
    buildPanel(form);
}

void WebWindowSystem::destroyWindow(app::FormId id) {
    m_loaded[static_cast<int>(id)] = nullptr;
    dom::destroyWindow(static_cast<int>(id));
}

void WebWindowSystem::showWindow(app::FormId id) {
    dom::showWindow(static_cast<int>(id));
}

std::string WebWindowSystem::text(app::FormId id, std::string_view control) const {
    const int index = row(id, control);
    return index < 0 ? std::string() : dom::text(static_cast<int>(id), index);
}

void WebWindowSystem::setText(app::FormId id, std::string_view control, std::string_view text) {
    const int index = row(id, control);
    if (index >= 0)
        dom::setText(static_cast<int>(id), index, text);
}

void WebWindowSystem::reportFailure(const numtext::Failure& failure) {
    // One small panel, reused, that blocks nothing. It is not one of the
    // program's windows, so it never keeps the program alive.
    dom::showFailure(app::failureTitle(), app::failureMessage(failure.kind()),
                     app::failureButton());
}

void WebWindowSystem::quit() {
    dom::showEnded(endedText, restartButton);
}

} // namespace web
