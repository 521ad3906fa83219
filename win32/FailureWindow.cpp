// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/FailureWindow.h"

#include "win32/Accessibility.h"
#include "win32/Appearance.h"
#include "win32/Controls.h"
#include "win32/Text.h"

#include <commctrl.h>

#include <algorithm>

namespace win32 {

namespace {

constexpr wchar_t failureClass[] = L"TakhminFailure";
constexpr DWORD failureStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD failureExStyle = WS_EX_DLGMODALFRAME;
constexpr int buttonId = 1;

// The geometry of a message box, in pixels of a 96 DPI screen.
constexpr int margin = 12;
constexpr int iconSize = 32;
constexpr int gap = 12;
constexpr int widestText = 320;
constexpr int buttonWidth = 88;
constexpr int buttonHeight = 26;

} // namespace

FailureWindow::FailureWindow(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    windowClass.lpszClassName = failureClass;
    RegisterClassExW(&windowClass);

    CreateWindowExW(failureExStyle, failureClass, L"", failureStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    m_text = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_RIGHT, 0,
                             0, 0, 0, handle(), nullptr, instance, nullptr);
    drawCaptionInLines(m_text);
    m_button = CreateWindowExW(
        0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0, 0,
        0, 0, handle(), reinterpret_cast<HMENU>(INT_PTR(buttonId)), instance, nullptr);
}

FailureWindow::~FailureWindow() {
    m_window.reset();
}

void FailureWindow::layout(UINT dpi) {
    m_dpi = dpi;
    Font font = messageFont(dpi);
    if (m_iconSize != scaled(iconSize, dpi)) {
        m_iconSize = scaled(iconSize, dpi);
        // Common Controls 6 scales the system's icon down from its large
        // sizes; without it, a copy of the icon at its own size.
        using LoadScaled = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
        const HMODULE controls = GetModuleHandleW(L"comctl32.dll");
        const auto load = controls ? reinterpret_cast<LoadScaled>(reinterpret_cast<void*>(
                                         GetProcAddress(controls, "LoadIconWithScaleDown")))
                                   : nullptr;
        HICON icon = nullptr;
        if (!load || FAILED(load(nullptr, IDI_WARNING, m_iconSize, m_iconSize, &icon)))
            icon = CopyIcon(LoadIconW(nullptr, IDI_WARNING));
        m_icon.reset(icon);
    }

    // The message wraps at spaces within the widest text, as its label
    // draws it; its height is that of its lines.
    const std::wstring message = windowText(m_text);
    const HDC dc = GetDC(handle());
    const HGDIOBJ old = SelectObject(dc, font.get());
    RECT measured{0, 0, scaled(widestText, dpi), 0};
    DrawTextW(dc, message.c_str(), int(message.size()), &measured,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(handle(), dc);
    const int textWidth = measured.right + scaled(4, dpi);
    const int textHeight = std::max(int(measured.bottom), m_iconSize);

    const int edge = scaled(margin, dpi);
    const int width = edge + m_iconSize + scaled(gap, dpi) + textWidth + edge;
    const int buttonTop = edge + textHeight + scaled(gap, dpi);
    const int height = buttonTop + scaled(buttonHeight, dpi) + edge;
    // Right to left: the icon at the right, the message to its left, and the
    // button at the far end, on the left.
    const int textLeft = width - edge - m_iconSize - scaled(gap, dpi) - textWidth;
    SetWindowPos(m_text, nullptr, textLeft, edge, textWidth, textHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(m_button, nullptr, edge, buttonTop, scaled(buttonWidth, dpi),
                 scaled(buttonHeight, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(m_text, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    SendMessageW(m_button, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    m_font = std::move(font);

    const SIZE frame = frameSize({width, height}, failureStyle, failureExStyle, dpi);
    SetWindowPos(handle(), nullptr, 0, 0, frame.cx, frame.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(handle(), nullptr, TRUE);
}

void FailureWindow::show(const app::FailureReport& report) {
    const bool wasVisible = IsWindowVisible(handle());
    SetWindowTextW(handle(), toWide(report.title).c_str());
    SetWindowTextW(m_text, toWide(report.message).c_str());
    SetWindowTextW(m_button, toWide(report.button).c_str());
    layout(dpiOf(handle()));
    if (!wasVisible) {
        // In the middle of the monitor the user works on.
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(GetForegroundWindow(), MONITOR_DEFAULTTOPRIMARY),
                        &monitor);
        RECT frame;
        GetWindowRect(handle(), &frame);
        const RECT& work = monitor.rcWork;
        SetWindowPos(handle(), nullptr,
                     work.left + (work.right - work.left - (frame.right - frame.left)) / 2,
                     work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(handle(), IsIconic(handle()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(handle());
    SetFocus(m_button);
    announceAlert(handle());
}

void FailureWindow::hide() {
    ShowWindow(handle(), SW_HIDE);
}

bool FailureWindow::handleKey(const MSG& message, bool repeat) {
    if (message.message != WM_KEYDOWN)
        return false;
    switch (message.wParam) {
    case VK_RETURN:
    case VK_ESCAPE:
        if (!repeat)
            hide();
        return true;
    case VK_SPACE:
        return repeat;
    case VK_TAB:
        // The button is the only control; the focus stays on it.
        SetFocus(m_button);
        SendMessageW(handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK FailureWindow::windowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<FailureWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window.reset(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FailureWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || message == WM_NCDESTROY) {
        if (self)
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handleMessage(message, wParam, lParam);
}

LRESULT FailureWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == buttonId && HIWORD(wParam) == BN_CLICKED)
            hide();
        return 0;
    case WM_CLOSE:
        hide();
        return 0;
    case WM_GETOBJECT:
        return answerAsAlert(handle(), wParam, lParam);
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            SetFocus(m_button);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(handle(), &paint);
        if (m_icon) {
            RECT client;
            GetClientRect(handle(), &client);
            const int edge = scaled(margin, m_dpi);
            DrawIconEx(dc, client.right - edge - m_iconSize, edge, m_icon.get(), m_iconSize,
                       m_iconSize, 0, nullptr, DI_NORMAL);
        }
        EndPaint(handle(), &paint);
        return 0;
    }
    case WM_DPICHANGED:
        if (m_dpi)
            layout(HIWORD(wParam));
        return 0;
    }
    return DefWindowProcW(handle(), message, wParam, lParam);
}

} // namespace win32
