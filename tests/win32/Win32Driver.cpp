// SPDX-License-Identifier: GPL-3.0-or-later
#include "Win32Driver.h"

#include "screens/Screens.h"

#include <algorithm>
#include <stdexcept>

namespace wine {

namespace {

// What the program's windows carry (win32/FormWindow.cpp): their class, the
// property that holds the form's number plus one, and the identifier of the
// first row's control.
constexpr wchar_t formClass[] = L"TakhminForm";
constexpr wchar_t failureClass[] = L"TakhminFailure";
constexpr wchar_t formProperty[] = L"Takhmin.Form";
constexpr int firstControlId = 100;
// A message the program does not answer within this time fails the step.
constexpr UINT answerWithin = 5000;

const app::FormDescription& describe(app::FormId form) {
    for (const app::FormDescription* description : screens::allForms())
        if (description->id == form)
            return *description;
    throw std::logic_error("no description");
}

std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, int(std::size(name)));
    return name;
}

struct Search {
    DWORD process;
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search.process && IsWindowVisible(window) && classOf(window) == search.className)
        search.found.push_back(window);
    return TRUE;
}

std::vector<HWND> visibleWindows(DWORD process, const wchar_t* className) {
    Search search{process, className, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::optional<app::FormId> formOf(HWND window) {
    if (!window || classOf(window) != formClass)
        return std::nullopt;
    const auto number = int(reinterpret_cast<INT_PTR>(GetPropW(window, formProperty)));
    if (number < 1 || number > app::formCount)
        return std::nullopt;
    return app::FormId(number - 1);
}

LRESULT sendOrThrow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, answerWithin, &result))
        throw std::runtime_error("the program did not answer");
    return LRESULT(result);
}

// The class name without the version that Common Controls 6 puts before it.
bool isOfClass(HWND window, std::wstring_view wanted) {
    std::wstring name = classOf(window);
    if (const auto bang = name.rfind(L'!'); bang != std::wstring::npos)
        name.erase(0, bang + 1);
    return CompareStringOrdinal(name.data(), int(name.size()), wanted.data(), int(wanted.size()),
                                TRUE) == CSTR_EQUAL;
}

HWND childOfClass(HWND parent, std::wstring_view wanted) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (isOfClass(child, wanted))
            return child;
    return nullptr;
}

bool hasLineBreak(std::wstring_view text) {
    return text.find_first_of(L"\r\n\u2028\u2029") != std::wstring_view::npos;
}

void putOnClipboard(const std::wstring& text) {
    if (!OpenClipboard(nullptr))
        throw std::runtime_error("no clipboard");
    EmptyClipboard();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto* copy = static_cast<wchar_t*>(GlobalLock(memory));
    std::copy(text.begin(), text.end(), copy);
    copy[text.size()] = L'\0';
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

} // namespace

std::string windowTextOf(HWND window) {
    const auto length = size_t(sendOrThrow(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    const auto copied = size_t(sendOrThrow(window, WM_GETTEXT, WPARAM(text.size()),
                                           reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(copied, length));
    return toUtf8(text);
}

Win32Driver::Win32Driver(const std::wstring& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &m_process))
        throw std::runtime_error("cannot start " + toUtf8(exe));
    for (int tries = 0; tries < 500 && !window(app::FormId::Form1) && !ended(); ++tries)
        Sleep(20);
    idle();
}

Win32Driver::~Win32Driver() {
    if (!ended()) {
        TerminateProcess(m_process.hProcess, 1);
        WaitForSingleObject(m_process.hProcess, 5000);
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

BOOL CALLBACK ping(HWND window, LPARAM data) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != DWORD(data))
        return TRUE;
    DWORD_PTR result;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, answerWithin, &result);
    return FALSE;
}

void Win32Driver::idle() const {
    // A message sent to one of its windows is answered once the program is
    // back in its message loop, done with everything sent before; what it
    // posted to itself is then handled in a moment. WaitForInputIdle would
    // do, but under Wine it waits out its whole time when the program was
    // not given input of its own.
    if (ended())
        return;
    EnumWindows(ping, LPARAM(m_process.dwProcessId));
    Sleep(5);
}

bool Win32Driver::settle() {
    Sleep(20);
    idle();
    return true;
}

HWND Win32Driver::window(app::FormId form) const {
    for (const HWND found : visibleWindows(m_process.dwProcessId, formClass))
        if (formOf(found) == form)
            return found;
    return nullptr;
}

HWND Win32Driver::control(app::FormId form, std::string_view name) const {
    const HWND own = window(form);
    if (!own)
        throw std::runtime_error(std::string(app::formName(form)) + " is not open");
    const int row = describe(form).rowOf(name);
    const HWND found = row < 0 ? nullptr : GetDlgItem(own, firstControlId + row);
    if (!found || !IsWindowVisible(found))
        throw std::runtime_error("no control " + std::string(name) + " on " +
                                 std::string(app::formName(form)));
    return found;
}

HWND Win32Driver::failureWindow() const {
    const auto found = visibleWindows(m_process.dwProcessId, failureClass);
    return found.empty() ? nullptr : found.front();
}

void Win32Driver::type(app::FormId form, std::string_view box, std::string_view text) {
    const HWND target = control(form, box);
    if (!isOfClass(target, L"Edit"))
        throw std::runtime_error(std::string(box) + " is not a text box");
    const std::wstring wide = toWide(text);
    // Everything selected, then replaced as the keyboard does: each
    // character, or the backspace for an empty text; a text with line
    // breaks, which no key types into one line, is pasted.
    sendOrThrow(target, EM_SETSEL, 0, -1);
    if (hasLineBreak(wide)) {
        putOnClipboard(wide);
        sendOrThrow(target, WM_PASTE, 0, 0);
    } else if (wide.empty()) {
        sendOrThrow(target, WM_CHAR, VK_BACK, 1);
    } else {
        for (const wchar_t unit : wide)
            sendOrThrow(target, WM_CHAR, WPARAM(unit), 1);
    }
    idle();
}

void Win32Driver::click(app::FormId form, std::string_view button) {
    const HWND target = control(form, button);
    sendOrThrow(target, BM_CLICK, 0, 0);
    idle();
}

void Win32Driver::close(app::FormId form) {
    const HWND own = window(form);
    if (!own)
        throw std::runtime_error(std::string(app::formName(form)) + " is not open");
    sendOrThrow(own, WM_SYSCOMMAND, SC_CLOSE, 0);
    idle();
}

void Win32Driver::raise(app::FormId form) {
    const HWND own = window(form);
    if (!own)
        throw std::runtime_error(std::string(app::formName(form)) + " is not open");
    SetForegroundWindow(own);
    idle();
}

void Win32Driver::dismiss() {
    const HWND message = failureWindow();
    if (!message)
        throw std::runtime_error("no failure message");
    const HWND button = childOfClass(message, L"Button");
    if (!button)
        throw std::runtime_error("the failure message has no button");
    sendOrThrow(button, BM_CLICK, 0, 0);
    idle();
}

std::vector<app::FormId> Win32Driver::open() const {
    std::vector<app::FormId> forms;
    for (const HWND found : visibleWindows(m_process.dwProcessId, formClass))
        if (const auto form = formOf(found))
            forms.push_back(*form);
    std::sort(forms.begin(), forms.end());
    return forms;
}

std::optional<app::FormId> Win32Driver::front() const {
    return formOf(GetForegroundWindow());
}

std::string Win32Driver::text(app::FormId form, std::string_view name) const {
    return windowTextOf(control(form, name));
}

std::optional<std::string> Win32Driver::failure() const {
    const HWND message = failureWindow();
    if (!message)
        return std::nullopt;
    const HWND text = childOfClass(message, L"Static");
    return text ? std::optional(windowTextOf(text)) : std::optional(std::string());
}

std::vector<std::pair<app::FormId, std::string>> Win32Driver::saidSinceClick() const {
    throw std::runtime_error("not observable here: UI Automation notifications");
}

bool Win32Driver::ended() const {
    return WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0;
}

std::optional<std::pair<app::FormId, int>> Win32Driver::focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(m_process.dwThreadId, &info) || !info.hwndFocus)
        return std::nullopt;
    const auto form = formOf(GetAncestor(info.hwndFocus, GA_ROOT));
    if (!form)
        return std::nullopt;
    return std::pair(*form, GetDlgCtrlID(info.hwndFocus) - firstControlId);
}

} // namespace wine
