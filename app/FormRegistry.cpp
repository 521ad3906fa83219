// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FormRegistry.h"

#include "app/FailureMessages.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace app {

namespace {

// Programmer errors only: a missing table, a click on a row that is not a
// push button, or a handler touching its form after unloading it. Control
// names themselves are checked when the program is built (app/Handler.h).
// Written piece by piece rather than with fprintf, whose formatting
// machinery would otherwise be part of the browser's download.
[[noreturn]] void fatal(std::string_view what, std::string_view form, int row) {
    std::array<char, 16> number{};
    const char* const numberEnd =
        std::to_chars(number.data(), number.data() + number.size(), row).ptr;
    for (const std::string_view part :
         {std::string_view("takhmin: "), what, std::string_view(": "), form,
          std::string_view(" row "), std::string_view(number.data(), numberEnd - number.data()),
          std::string_view("\n")})
        std::fwrite(part.data(), 1, part.size(), stderr);
    std::abort();
}

// Joins the parts of one announcement as Arabic lists are written.
constexpr std::string_view announcementSeparator = "\u060C ";

} // namespace

FormRegistry::FormRegistry(std::span<const FormDescription* const> forms) {
    m_states.fill(State::Unloaded);
    for (const FormDescription* form : forms)
        m_forms[static_cast<int>(form->id)] = form;
    for (int i = 0; i < formCount; ++i)
        if (!m_forms[i])
            fatal("no description for", formName(FormId(i)), -1);
}

const FormDescription& FormRegistry::form(FormId id) const {
    return *m_forms[static_cast<int>(id)];
}

bool FormRegistry::isLoaded(FormId id) const {
    return stateOf(id) != State::Unloaded;
}

bool FormRegistry::isVisible(FormId id) const {
    return stateOf(id) == State::Visible;
}

void FormRegistry::start(WindowSystem& windows, FormId first) {
    m_windows = &windows;
    show(first);
}

void FormRegistry::load(FormId id) {
    if (m_ended || isLoaded(id))
        return;
    m_windows->createWindow(form(id));
    stateOf(id) = State::Hidden;
}

void FormRegistry::unload(FormId id) {
    if (m_ended || !isLoaded(id))
        return;
    stateOf(id) = State::Unloaded;
    m_windows->destroyWindow(id);
}

void FormRegistry::show(FormId id) {
    if (m_ended)
        return;
    load(id);
    stateOf(id) = State::Visible;
    m_windows->showWindow(id);
}

void FormRegistry::end() {
    if (m_ended)
        return;
    for (int i = 0; i < formCount; ++i)
        unload(FormId(i));
    m_ended = true;
    m_windows->quit();
}

void FormRegistry::endIfNoneLoaded() {
    if (m_ended)
        return;
    for (int i = 0; i < formCount; ++i)
        if (isLoaded(FormId(i)))
            return;
    m_ended = true;
    m_windows->quit();
}

void FormRegistry::checkOwnControl(FormId id, int row) const {
    const auto& controls = form(id).controls;
    // FormActions found the row in this very table at compile time; this
    // only guards a caller that bypasses it.
    if (row < 0 || row >= int(controls.size()) || controls[row].kind == ControlKind::PushButton)
        fatal("no label or text box on", formName(id), row);
    if (!isLoaded(id))
        fatal("handler touched its unloaded form", formName(id), row);
}

std::string FormRegistry::text(FormId id, int row) const {
    if (m_ended)
        return {};
    checkOwnControl(id, row);
    return m_windows->text(id, row);
}

void FormRegistry::setText(FormId id, int row, std::string_view text) {
    if (m_ended)
        return;
    checkOwnControl(id, row);
    m_windows->setText(id, row, text);
    m_written.push_back(row);
}

void FormRegistry::click(FormId id, int row) {
    if (m_ended || !isLoaded(id))
        return;
    const FormDescription& own = form(id);
    if (row < 0 || row >= int(own.controls.size()))
        fatal("no control on", formName(id), row);
    Handler handler = nullptr;
    for (const ButtonBinding& binding : own.buttons)
        if (binding.button == own.controls[row].name)
            handler = binding.handler;
    if (!handler)
        fatal("no handler on", formName(id), row);

    m_written.clear();
    try {
        handler(*this, id);
    } catch (const numtext::Failure& failure) {
        // The handler stopped at the failed step; every window stays as it
        // left them and the program goes on.
        if (!m_ended)
            m_windows->reportFailure(
                {failureTitle(), failureMessage(failure.kind()), failureButton()});
    }
    announceWritten(id);
    endIfNoneLoaded();
}

// One message for everything the click wrote into the form's announced
// controls, in the form's order, each after its caption; empty texts are
// not said.
void FormRegistry::announceWritten(FormId id) {
    std::vector<int> written;
    written.swap(m_written);
    if (m_ended || !isLoaded(id) || written.empty())
        return;
    const FormDescription& own = form(id);
    std::string message;
    for (const Announced& announced : own.announced) {
        const int row = own.rowOf(announced.control);
        if (std::find(written.begin(), written.end(), row) == written.end())
            continue;
        const std::string shown = m_windows->text(id, row);
        if (shown.empty())
            continue;
        if (!message.empty())
            message += announcementSeparator;
        message += own.find(announced.caption)->text;
        message += ' ';
        message += shown;
    }
    if (!message.empty())
        m_windows->announce(id, message);
}

void FormRegistry::closedByUser(FormId id) {
    if (m_ended)
        return;
    unload(id);
    endIfNoneLoaded();
}

} // namespace app
