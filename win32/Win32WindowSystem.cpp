// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/Win32WindowSystem.h"

#include "win32/Accessibility.h"
#include "win32/FailureWindow.h"
#include "win32/FormWindow.h"
#include "win32/Text.h"

namespace win32 {

Win32WindowSystem::Win32WindowSystem(app::FormEvents& events, HINSTANCE instance)
    : m_events(events), m_instance(instance) {
    FormWindow::registerClass(instance);
}

Win32WindowSystem::~Win32WindowSystem() = default;

int Win32WindowSystem::run() {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return int(message.wParam);
        if (got == -1)
            return 1;
        if (!handleKey(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // No handler runs between two messages of this loop.
        m_discarded.clear();
    }
}

bool Win32WindowSystem::handleKey(const MSG& message) {
    const bool repeat = m_keys.isRepeat(message);
    if (message.message != WM_KEYDOWN || !message.hwnd)
        return false;
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (m_failure && root == m_failure->handle())
        return m_failure->handleKey(message, repeat);
    const int form = FormWindow::formOf(root);
    if (form < 0 || !m_windows[size_t(form)] || m_windows[size_t(form)]->handle() != root)
        return false;
    return m_windows[size_t(form)]->handleKey(message, repeat);
}

void Win32WindowSystem::createWindow(const app::FormDescription& form) {
    m_windows[size_t(form.id)] = std::make_unique<FormWindow>(form, m_events, m_keys, m_instance);
}

void Win32WindowSystem::destroyWindow(app::FormId id) {
    if (auto& window = m_windows[size_t(id)]) {
        window->discard();
        m_discarded.push_back(std::move(window));
    }
}

void Win32WindowSystem::showWindow(app::FormId id) {
    if (const auto& window = m_windows[size_t(id)])
        window->present();
}

HWND Win32WindowSystem::control(app::FormId id, int row) const {
    return m_windows[size_t(id)]->control(row);
}

std::string Win32WindowSystem::text(app::FormId id, int row) const {
    return toUtf8(windowText(control(id, row)));
}

void Win32WindowSystem::setText(app::FormId id, int row, std::string_view text) {
    const HWND target = control(id, row);
    SetWindowTextW(target, toWide(text).c_str());
    // Show a result in a text box from its first character, as typed text
    // would start.
    if (m_windows[size_t(id)]->description().controls[size_t(row)].kind ==
        app::ControlKind::TextBox)
        SendMessageW(target, EM_SETSEL, 0, 0);
}

void Win32WindowSystem::announce(app::FormId id, std::string_view message) {
    if (const auto& window = m_windows[size_t(id)])
        announceNews(window->handle(), toWide(message));
}

void Win32WindowSystem::reportFailure(const app::FailureReport& report) {
    if (!m_failure)
        m_failure = std::make_unique<FailureWindow>(m_instance);
    m_failure->show(report);
}

void Win32WindowSystem::quit() {
    if (m_failure)
        m_failure->hide();
    PostQuitMessage(0);
}

} // namespace win32
