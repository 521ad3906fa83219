// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Program.h"

#include <cstdio>
#include <cstdlib>

namespace app {

namespace {

// Programmer errors only: a missing table, a click on a button that has no
// handler, or a handler touching its window after unloading it. Control
// names themselves are checked when the program is built (app/Handler.h).
[[noreturn]] void fatal(std::string_view what, std::string_view form, std::string_view detail) {
    std::fprintf(stderr, "takhmin: %.*s: %.*s %.*s\n", int(what.size()), what.data(),
                 int(form.size()), form.data(), int(detail.size()), detail.data());
    std::abort();
}

} // namespace

Program::Program(std::span<const FormDescription* const> forms, WindowSystem& windows)
    : m_windows(windows) {
    m_states.fill(State::Unloaded);
    for (const FormDescription* form : forms)
        m_forms[static_cast<int>(form->id)] = form;
    for (int i = 0; i < formCount; ++i)
        if (!m_forms[i])
            fatal("no description for", formName(FormId(i)), "");
}

const FormDescription& Program::form(FormId id) const {
    return *m_forms[static_cast<int>(id)];
}

bool Program::isLoaded(FormId id) const {
    return stateOf(id) != State::Unloaded;
}

bool Program::isVisible(FormId id) const {
    return stateOf(id) == State::Visible;
}

void Program::start() {
    show(FormId::Form1);
}

void Program::load(FormId id) {
    if (m_ended || isLoaded(id))
        return;
    m_windows.createWindow(form(id));
    stateOf(id) = State::Hidden;
}

void Program::unload(FormId id) {
    if (m_ended || !isLoaded(id))
        return;
    stateOf(id) = State::Unloaded;
    m_windows.destroyWindow(id);
}

void Program::show(FormId id) {
    if (m_ended)
        return;
    load(id);
    stateOf(id) = State::Visible;
    m_windows.showWindow(id);
}

void Program::end() {
    if (m_ended)
        return;
    for (int i = 0; i < formCount; ++i)
        unload(FormId(i));
    m_ended = true;
    m_windows.quit();
}

void Program::endIfNoneLoaded() {
    if (m_ended)
        return;
    for (int i = 0; i < formCount; ++i)
        if (isLoaded(FormId(i)))
            return;
    m_ended = true;
    m_windows.quit();
}

void Program::click(FormId id, std::string_view button) {
    if (m_ended || !isLoaded(id))
        return;
    Handler handler = nullptr;
    for (const ButtonBinding& binding : form(id).buttons)
        if (binding.button == button)
            handler = binding.handler;
    if (!handler)
        fatal("no handler on", formName(id), button);

    FormActions actions(*this, m_windows, id);
    try {
        handler(actions);
    } catch (const numtext::Failure& failure) {
        // The handler stopped at the failed step; every window stays as it
        // left them and the program goes on.
        if (!m_ended)
            m_windows.reportFailure(failure);
    }
    endIfNoneLoaded();
}

void Program::closedByUser(FormId id) {
    if (m_ended)
        return;
    unload(id);
    endIfNoneLoaded();
}

const ControlRow& FormActions::ownControl(std::string_view control) const {
    const FormDescription& own = m_program.form(m_own);
    const ControlRow* row = own.find(control);
    // WindowActions checked the name against this very table at compile
    // time; this only guards a caller that bypasses it.
    if (!row || row->kind == ControlKind::PushButton)
        fatal("no label or text box on", formName(m_own), control);
    if (!m_program.isLoaded(m_own))
        fatal("handler touched its unloaded window", formName(m_own), control);
    return *row;
}

std::string FormActions::text(std::string_view control) const {
    if (m_program.hasEnded())
        return {};
    return m_windows.text(m_own, ownControl(control).name);
}

void FormActions::setText(std::string_view control, std::string_view text) {
    if (m_program.hasEnded())
        return;
    m_windows.setText(m_own, ownControl(control).name, text);
}

} // namespace app
