// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/FormWindow.h"

#include "win32/Accessibility.h"
#include "win32/Appearance.h"
#include "win32/Controls.h"
#include "win32/Text.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>

namespace win32 {

namespace {

constexpr wchar_t formClass[] = L"TakhminForm";
// Names each window after its form (1 for Form1...), so that tools outside
// the program, such as the tests that drive it, can tell the two warnings
// apart: both have the same title.
constexpr wchar_t formProperty[] = L"Takhmin.Form";
// Control identifiers are the table's rows from here on.
constexpr int firstControlId = 100;

constexpr DWORD formStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD formExStyle = WS_EX_APPWINDOW;

bool overlaps(const app::ControlRow& a, const app::ControlRow& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// The rows from the top of the z-order down; see FormWindow.h.
std::vector<int> stackingOrder(const app::FormDescription& form) {
    const int count = int(form.controls.size());
    std::vector<int> byTab(form.controls.size());
    std::iota(byTab.begin(), byTab.end(), 0);
    std::stable_sort(byTab.begin(), byTab.end(), [&](int a, int b) {
        return form.controls[size_t(a)].tabIndex < form.controls[size_t(b)].tabIndex;
    });
    std::vector<int> namerOf(size_t(count), -1);
    std::vector<bool> namesBox(size_t(count), false);
    for (const app::LabelFor& pair : form.labels) {
        const int control = form.rowOf(pair.control);
        if (form.controls[size_t(control)].kind != app::ControlKind::TextBox)
            continue;
        namerOf[size_t(control)] = form.rowOf(pair.label);
        namesBox[size_t(form.rowOf(pair.label))] = true;
    }
    std::vector<int> order;
    for (const int row : byTab) {
        if (namesBox[size_t(row)])
            continue;
        if (namerOf[size_t(row)] >= 0)
            order.push_back(namerOf[size_t(row)]);
        order.push_back(row);
    }
    for (int later = 0; later < count; ++later)
        for (int earlier = 0; earlier < later; ++earlier) {
            if (!overlaps(form.controls[size_t(earlier)], form.controls[size_t(later)]))
                continue;
            auto at = std::find(order.begin(), order.end(), later);
            auto below = std::find(order.begin(), order.end(), earlier);
            if (at > below) {
                order.erase(at);
                order.insert(std::find(order.begin(), order.end(), earlier), later);
            }
        }
    return order;
}

bool isButton(const app::ControlRow& row) {
    return row.kind == app::ControlKind::PushButton;
}

} // namespace

void FormWindow::registerClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                   GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
    windowClass.lpszClassName = formClass;
    RegisterClassExW(&windowClass);
}

int FormWindow::formOf(HWND window) {
    wchar_t name[32];
    if (!GetClassNameW(window, name, int(std::size(name))) || std::wstring_view(name) != formClass)
        return -1;
    return int(reinterpret_cast<INT_PTR>(GetPropW(window, formProperty))) - 1;
}

FormWindow::FormWindow(const app::FormDescription& description, app::FormEvents& events,
                       HeldKeys& keys, HINSTANCE instance)
    : m_description(description), m_events(events), m_keys(keys),
      m_controls(description.controls.size(), nullptr), m_brushes(description.controls.size()),
      m_focusOrder(app::focusOrder(description)) {
    const std::wstring title = toWide(description.title);
    // Sized for the system DPI first; applyDpi() fits it to its own monitor.
    CreateWindowExW(formExStyle, formClass, title.c_str(), formStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    SetPropW(handle(), formProperty, reinterpret_cast<HANDLE>(INT_PTR(int(description.id) + 1)));
    for (size_t row = 0; row < description.controls.size(); ++row) {
        const app::Colour& colour = description.controls[row].style.background;
        if (colour.kind != app::Colour::Kind::Ordinary)
            m_brushes[row].reset(CreateSolidBrush(toColorRef(colour)));
    }
    createControls(instance);
    applyDpi(dpiOf(handle()), nullptr);
}

FormWindow::~FormWindow() {
    for (const HWND control : m_controls)
        forgetAnnotations(control);
    RemovePropW(handle(), formProperty);
    // The window goes before the font and brushes its controls use.
    m_window.reset();
}

void FormWindow::createControls(HINSTANCE instance) {
    HWND above = HWND_TOP;
    for (const int row : stackingOrder(m_description)) {
        const app::ControlRow& control = m_description.controls[size_t(row)];
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        const wchar_t* kind = L"STATIC";
        switch (control.kind) {
        case app::ControlKind::Label:
            style |= SS_NOPREFIX;
            style |= control.style.align == app::Align::Right    ? SS_RIGHT
                     : control.style.align == app::Align::Centre ? SS_CENTER
                                                                 : SS_LEFT;
            if (control.style.border)
                style |= WS_BORDER;
            break;
        case app::ControlKind::TextBox:
            kind = L"EDIT";
            style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case app::ControlKind::PushButton:
            kind = L"BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE;
            break;
        }
        const std::wstring text = toWide(control.text);
        const HWND created = CreateWindowExW(
            exStyle, kind, text.c_str(), style, 0, 0, 0, 0, handle(),
            reinterpret_cast<HMENU>(INT_PTR(firstControlId + row)), instance, nullptr);
        m_controls[size_t(row)] = created;
        SetWindowPos(created, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = created;
        if (control.kind == app::ControlKind::Label)
            drawCaptionInLines(created);
        if (control.kind == app::ControlKind::TextBox) {
            keepOnOneLine(created);
            // A text box takes text of any length, not the EDIT's 32767
            // characters.
            SendMessageW(created, EM_SETLIMITTEXT, 0, 0);
        }
    }
    for (const app::LabelFor& pair : m_description.labels) {
        const int box = m_description.rowOf(pair.control);
        if (m_description.controls[size_t(box)].kind == app::ControlKind::TextBox)
            nameControl(control(box), toWide(m_description.find(pair.label)->text));
    }
}

void FormWindow::applyDpi(UINT dpi, const RECT* suggested) {
    m_dpi = dpi;
    Font font = messageFont(dpi);
    const SIZE frame = frameSize(clientSize(m_description, dpi), formStyle, formExStyle, dpi);
    if (suggested)
        SetWindowPos(handle(), nullptr, suggested->left, suggested->top, frame.cx, frame.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    else
        SetWindowPos(handle(), nullptr, 0, 0, frame.cx, frame.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (size_t row = 0; row < m_controls.size(); ++row) {
        const RECT place = controlRect(m_description.controls[row], dpi);
        SetWindowPos(m_controls[row], nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(m_controls[row], WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    // The controls let go of the old font before it is deleted.
    m_font = std::move(font);
}

void FormWindow::present() {
    ShowWindow(handle(), IsIconic(handle()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(handle());
    if (m_description.role == app::FormRole::Alert)
        announceAlert(handle());
}

void FormWindow::discard() {
    m_discarded = true;
    ShowWindow(handle(), SW_HIDE);
}

int FormWindow::rowOf(HWND control) const {
    if (!control)
        return -1;
    const auto found = std::find(m_controls.begin(), m_controls.end(), control);
    return found == m_controls.end() ? -1 : int(found - m_controls.begin());
}

void FormWindow::moveFocus(bool backwards) {
    const int count = int(m_focusOrder.size());
    if (count == 0)
        return;
    const int focused = rowOf(GetFocus());
    const auto at = std::find(m_focusOrder.begin(), m_focusOrder.end(), focused);
    int index =
        at != m_focusOrder.end() ? int(at - m_focusOrder.begin()) : (backwards ? 0 : count - 1);
    for (int step = 0; step < count; ++step) {
        index = (index + (backwards ? count - 1 : 1)) % count;
        const int row = m_focusOrder[size_t(index)];
        const HWND next = control(row);
        if (!IsWindowEnabled(next) || !IsWindowVisible(next))
            continue;
        SetFocus(next);
        // As in a dialog box: a text box entered with Tab has its text
        // selected, so that typing replaces it.
        if (m_description.controls[size_t(row)].kind == app::ControlKind::TextBox)
            SendMessageW(next, EM_SETSEL, 0, -1);
        break;
    }
    // From the first Tab on, the focus is drawn.
    SendMessageW(handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void FormWindow::restoreFocus() {
    HWND target = m_lastFocus && IsWindow(m_lastFocus) ? m_lastFocus : nullptr;
    if (!target && !m_focusOrder.empty())
        target = control(m_focusOrder.front());
    if (target)
        SetFocus(target);
}

bool FormWindow::handleKey(const MSG& message, bool repeat) {
    if (message.message != WM_KEYDOWN)
        return false;
    const int row = rowOf(GetFocus());
    const app::ControlRow* focused = row >= 0 ? &m_description.controls[size_t(row)] : nullptr;
    switch (message.wParam) {
    case VK_TAB:
        if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
            return false;
        moveFocus(GetKeyState(VK_SHIFT) < 0);
        return true;
    case VK_RETURN:
        // No button is a default button: Enter presses the focused button,
        // as the space bar does, and nothing from a text box. A held Enter
        // presses once, and never the button of a window that the first
        // press opened.
        if (focused && isButton(*focused) && !repeat)
            m_events.click(m_description.id, row);
        return focused != nullptr;
    case VK_ESCAPE:
        // There is no cancel button either.
        return focused && focused->kind == app::ControlKind::TextBox;
    case VK_SPACE:
        // The button goes down on the press and is pressed on the release;
        // a repeat must not put down a button that the press did not.
        return focused && isButton(*focused) && repeat;
    default:
        return false;
    }
}

LRESULT CALLBACK FormWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window.reset(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handleMessage(message, wParam, lParam);
}

LRESULT FormWindow::colourControl(HDC dc, HWND control, UINT message, WPARAM wParam,
                                  LPARAM lParam) {
    const int row = rowOf(control);
    if (row < 0 || !m_brushes[size_t(row)] || highContrast())
        return DefWindowProcW(handle(), message, wParam, lParam);
    // The table's colours are light; the system's window text reads on them.
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, toColorRef(m_description.controls[size_t(row)].style.background));
    return reinterpret_cast<LRESULT>(m_brushes[size_t(row)].get());
}

LRESULT FormWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = handle();
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && !m_discarded) {
            const int row = int(LOWORD(wParam)) - firstControlId;
            if (row >= 0 && row < int(m_controls.size()) &&
                isButton(m_description.controls[size_t(row)]))
                m_events.click(m_description.id, row);
        }
        return 0;
    case WM_CLOSE:
        // The close box unloads the form; the registry does the rest.
        if (!m_discarded)
            m_events.closedByUser(m_description.id);
        return 0;
    case WM_SYSCOMMAND:
        // A fixed-size window: double-clicking the title bar or the system
        // menu must not maximise or resize it either.
        switch (wParam & 0xfff0) {
        case SC_MAXIMIZE:
        case SC_SIZE:
            return 0;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(window, focus))
                m_lastFocus = focus;
        } else if (!HIWORD(wParam)) {
            restoreFocus();
        }
        return 0;
    case WM_SETFOCUS:
        restoreFocus();
        return 0;
    case WM_ACTIVATEAPP:
        if (!wParam)
            m_keys.forget();
        break;
    case WM_GETOBJECT:
        if (m_description.role == app::FormRole::Alert)
            return answerAsAlert(window, wParam, lParam);
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        return colourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message,
                             wParam, lParam);
    case WM_GETDPISCALEDSIZE: {
        // The window keeps the table's size at every scale; Windows would
        // otherwise scale the whole frame, title bar included.
        auto* size = reinterpret_cast<SIZE*>(lParam);
        *size = frameSize(clientSize(m_description, UINT(wParam)), formStyle, formExStyle,
                          UINT(wParam));
        return TRUE;
    }
    case WM_DPICHANGED:
        applyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SETTINGCHANGE:
        // A new message font, or high contrast turned on or off.
        if (wParam == SPI_SETNONCLIENTMETRICS || wParam == SPI_SETHIGHCONTRAST) {
            applyDpi(m_dpi, nullptr);
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        break;
    case WM_SYSCOLORCHANGE:
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace win32
