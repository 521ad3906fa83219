// SPDX-License-Identifier: GPL-3.0-or-later
#include "FaceChecks.h"

#include "Win32Driver.h"
#include "app/Layout.h"
#include "screens/Screens.h"
#include "win32/Appearance.h"

#include <oleacc.h>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <vector>

namespace wine {

namespace {

using enum app::FormId;

void report(bool ok, const std::string& what, int& failures) {
    const std::string line = (ok ? "ok   " : "FAIL ") + what + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    if (!ok)
        ++failures;
}

// The steps from a fresh start that show each form, as the table's starts
// do, walked through the driver's own actions.
void reach(Win32Driver& driver, app::FormId form) {
    const auto toMenu = [&] {
        driver.type(Form1, "Text1", "25");
        driver.click(Form1, "Command1");
    };
    switch (form) {
    case Form1:
        return;
    case Form8:
        driver.type(Form1, "Text1", "3");
        driver.click(Form1, "Command1");
        return;
    case Form2:
        toMenu();
        return;
    case Form3:
    case Form4:
        toMenu();
        driver.click(Form2, "Command3");
        if (form == Form4)
            driver.click(Form3, "Command2");
        return;
    case Form5:
        toMenu();
        driver.click(Form2, "Command2");
        return;
    case Form6:
    case Form7:
    case Form9:
        toMenu();
        driver.click(Form2, "Command1");
        if (form == Form7) {
            driver.type(Form6, "Text1", "84");
            driver.click(Form6, "Command1");
        }
        if (form == Form9)
            driver.click(Form6, "Command3");
        return;
    }
}

const app::FormDescription& describe(app::FormId form) {
    for (const app::FormDescription* description : screens::allForms())
        if (description->id == form)
            return *description;
    throw std::logic_error("no description");
}

std::string describeRect(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

struct Accessible {
    std::string name;
    long role = -1;
};

// What MSAA says of a window's client area, read as a screen reader does.
Accessible accessibleOf(HWND window) {
    Accessible found;
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible))) ||
        !accessible)
        return found;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (SUCCEEDED(accessible->get_accName(self, &name)) && name) {
        found.name = toUtf8(std::wstring_view(name, SysStringLen(name)));
        SysFreeString(name);
    }
    VARIANT role;
    VariantInit(&role);
    if (SUCCEEDED(accessible->get_accRole(self, &role)) && role.vt == VT_I4)
        found.role = role.lVal;
    accessible->Release();
    return found;
}

// A text with its line breaks written out, for the report.
std::string writtenOut(std::string_view text) {
    std::string out;
    for (const char c : text)
        out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    return out;
}

bool underWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The alerts raised since the hook was set, as a screen reader hears them.
int alertsHeard = 0;
void CALLBACK heardAlert(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
    ++alertsHeard;
}

// Lets the alerts that the program raised reach the hook.
void pumpEvents() {
    for (int i = 0; i < 10; ++i) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(10);
    }
}

void sendKey(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

void tap(WORD key) {
    sendKey(key, true);
    sendKey(key, false);
}

void typeKeys(std::wstring_view text) {
    for (const wchar_t unit : text) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wScan = input[1].ki.wScan = unit;
        input[0].ki.dwFlags = KEYEVENTF_UNICODE;
        input[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof input[0]);
    }
}

std::string focusName(const Win32Driver& driver) {
    const auto focus = driver.focus();
    if (!focus)
        return "nothing";
    const auto& form = describe(focus->first);
    const std::string row = focus->second >= 0 && focus->second < int(form.controls.size())
                                ? std::string(form.controls[size_t(focus->second)].name)
                                : "row " + std::to_string(focus->second);
    return std::string(app::formName(focus->first)) + "." + row;
}

std::string openNames(const Win32Driver& driver) {
    std::string names;
    for (const app::FormId form : driver.open())
        names += (names.empty() ? "" : " ") + std::string(app::formName(form));
    return "[" + names + "]";
}

} // namespace

int checkRectangles(const std::wstring& program, UINT dpi) {
    int failures = 0;
    for (const app::FormDescription* form : screens::allForms()) {
        Win32Driver driver(program);
        reach(driver, form->id);
        driver.settle();
        const HWND window = driver.window(form->id);
        const std::string formName(app::formName(form->id));
        if (!window) {
            report(false, formName + " at " + std::to_string(dpi) + " DPI: not open", failures);
            continue;
        }
        RECT client;
        GetClientRect(window, &client);
        const SIZE expected = win32::clientSize(*form, dpi);
        report(client.right == expected.cx && client.bottom == expected.cy,
               formName + " client area " + std::to_string(client.right) + "x" +
                   std::to_string(client.bottom) + " at " + std::to_string(dpi) +
                   " DPI, expected " + std::to_string(expected.cx) + "x" +
                   std::to_string(expected.cy),
               failures);
        int wrong = 0;
        std::string first;
        for (size_t row = 0; row < form->controls.size(); ++row) {
            const app::ControlRow& control = form->controls[row];
            RECT place;
            GetWindowRect(driver.control(form->id, control.name), &place);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
            const RECT wanted = win32::controlRect(control, dpi);
            if (!EqualRect(&place, &wanted) && wrong++ == 0)
                first = std::string(control.name) + " at " + describeRect(place) + ", expected " +
                        describeRect(wanted);
        }
        report(wrong == 0,
               formName + ": " + std::to_string(form->controls.size() - size_t(wrong)) + " of " +
                   std::to_string(form->controls.size()) + " controls at the core's pixels" +
                   (first.empty() ? "" : " (" + first + ")"),
               failures);
    }
    return failures;
}

int checkAccessibility(const std::wstring& program) {
    int failures = 0;
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr,
                                               heardAlert, 0, 0, WINEVENT_OUTOFCONTEXT);
    for (const app::FormDescription* form : screens::allForms()) {
        Win32Driver driver(program);
        pumpEvents();
        alertsHeard = 0;
        reach(driver, form->id);
        driver.settle();
        pumpEvents();
        const std::string formName(app::formName(form->id));
        const HWND window = driver.window(form->id);
        if (!window) {
            report(false, formName + ": not open", failures);
            continue;
        }
        if (form->role == app::FormRole::Alert) {
            const Accessible seen = accessibleOf(window);
            report(seen.role == ROLE_SYSTEM_ALERT,
                   formName + " has the role of an alert (role " + std::to_string(seen.role) + ")",
                   failures);
            report(alertsHeard > 0,
                   formName + " raised EVENT_SYSTEM_ALERT when shown (" +
                       std::to_string(alertsHeard) + " heard)",
                   failures);
        }
        for (const app::ControlRow& control : form->controls) {
            if (control.kind == app::ControlKind::Label)
                continue;
            const Accessible seen = accessibleOf(driver.control(form->id, control.name));
            std::string wanted(control.text);
            long wantedRole = ROLE_SYSTEM_PUSHBUTTON;
            if (control.kind == app::ControlKind::TextBox) {
                wantedRole = ROLE_SYSTEM_TEXT;
                for (const app::LabelFor& pair : form->labels)
                    if (pair.control == control.name)
                        wanted = form->find(pair.label)->text;
            }
            // Wine's oleacc gives a BUTTON no role of its own, only that of
            // a client area; its name is still checked, and the line says
            // that the role was not.
            const bool roleUnknown = underWine() && control.kind == app::ControlKind::PushButton &&
                                     seen.role == ROLE_SYSTEM_CLIENT;
            report(seen.name == wanted && (seen.role == wantedRole || roleUnknown),
                   formName + "." + std::string(control.name) + " is named \"" + seen.name +
                       "\" with role " + std::to_string(seen.role) + ", expected \"" + wanted +
                       "\" and " + std::to_string(wantedRole) +
                       (roleUnknown ? " (the role not checked: Wine gives buttons none)" : ""),
                   failures);
        }
        if (form->id == Form9) {
            // A failed step's message is an alert too.
            alertsHeard = 0;
            driver.type(Form9, "Text2", "0");
            driver.click(Form9, "Command4");
            driver.settle();
            pumpEvents();
            const HWND message = driver.failureWindow();
            const Accessible seen = message ? accessibleOf(message) : Accessible{};
            report(message && seen.role == ROLE_SYSTEM_ALERT,
                   "the failure message has the role of an alert (role " +
                       std::to_string(seen.role) + ")",
                   failures);
            report(alertsHeard > 0,
                   "the failure message raised EVENT_SYSTEM_ALERT (" + std::to_string(alertsHeard) +
                       " heard)",
                   failures);
        }
    }
    if (hook)
        UnhookWinEvent(hook);
    return failures;
}

// Enter held down: one press and the key's repeats, then its release.
void holdEnter() {
    sendKey(VK_RETURN, true);
    for (int repeat = 0; repeat < 5; ++repeat) {
        Sleep(30);
        sendKey(VK_RETURN, true);
    }
    sendKey(VK_RETURN, false);
}

int checkKeyboard(const std::wstring& program) {
    int failures = 0;
    Win32Driver driver(program);
    const auto keys = [&](const std::function<void()>& press) {
        press();
        driver.settle();
        driver.settle();
    };
    const auto expectFocus = [&](const std::string& wanted, const std::string& after) {
        const std::string seen = focusName(driver);
        report(seen == wanted, after + ": the focus on " + seen + ", expected " + wanted, failures);
    };
    const auto expectOpen = [&](const std::string& wanted, const std::string& after) {
        const std::string seen = openNames(driver);
        report(seen == wanted, after + ": open " + seen + ", expected " + wanted, failures);
    };

    driver.raise(Form1);
    expectFocus("Form1.Command1", "first window");
    keys([] { tap(VK_TAB); });
    expectFocus("Form1.Text1", "Tab");
    keys([] { tap(VK_TAB); });
    expectFocus("Form1.Command1", "Tab again, round to the first");
    keys([] {
        sendKey(VK_SHIFT, true);
        tap(VK_TAB);
        sendKey(VK_SHIFT, false);
    });
    expectFocus("Form1.Text1", "Shift+Tab");
    keys([] { typeKeys(L"25"); });
    report(driver.text(Form1, "Text1") == "25",
           "typed keys reach the box: \"" + driver.text(Form1, "Text1") + "\"", failures);
    keys([] { tap(VK_RETURN); });
    expectOpen("[Form1]", "Enter in a text box presses nothing");
    keys([] { tap(VK_ESCAPE); });
    expectOpen("[Form1]", "Escape in a text box");
    report(driver.text(Form1, "Text1") == "25",
           "Escape leaves the box's text: \"" + driver.text(Form1, "Text1") + "\"", failures);
    keys([] { tap(VK_TAB); });
    keys([] { tap(VK_SPACE); });
    expectOpen("[Form2]", "space bar on the focused button");
    expectFocus("Form2.Command1", "a new window");
    keys([] { tap(VK_RETURN); });
    expectOpen("[Form6]", "Enter on the focused button");
    expectFocus("Form6.Text1", "the puzzle");
    // To the calculator button, last in the puzzle's tab order.
    keys([] {
        sendKey(VK_SHIFT, true);
        tap(VK_TAB);
        sendKey(VK_SHIFT, false);
    });
    expectFocus("Form6.Command3", "Shift+Tab round to the last");
    // A held Enter: the calculator opens with the focus on its close
    // button, which the repeats must not press.
    keys(holdEnter);
    expectOpen("[Form6 Form9]", "a held Enter presses once");
    expectFocus("Form9.Command6", "the calculator");
    driver.raise(Form6);
    driver.settle();
    expectFocus("Form6.Command3", "the puzzle raised again");
    driver.raise(Form9);
    driver.settle();
    expectFocus("Form9.Command6", "the calculator raised again");
    keys([] { tap(VK_RETURN); });
    expectOpen("[Form6]", "Enter on the calculator's close button");

    // The failure message: a held Enter on the button whose step fails
    // (0 / 0 in a fresh calculator) brings it once and leaves it open;
    // Escape dismisses it.
    keys([] { tap(VK_RETURN); });
    expectOpen("[Form6 Form9]", "Enter on the calculator button again");
    keys([] {
        tap(VK_TAB);
        tap(VK_TAB);
    });
    expectFocus("Form9.Command4", "Tab twice in the calculator");
    keys(holdEnter);
    const auto message = driver.failure();
    report(message.has_value(), "a held Enter leaves the failure message open", failures);
    report(GetForegroundWindow() == driver.failureWindow(),
           "the failure message is the active window", failures);
    keys([] { tap(VK_ESCAPE); });
    report(!driver.failure().has_value(), "Escape dismisses the failure message", failures);
    return failures;
}

} // namespace wine

namespace wine {

int checkTextBoxes(const std::wstring& program) {
    int failures = 0;
    Win32Driver driver(program);
    struct Row {
        const char* given;
        const char* held;
    };
    // Pasted, as a user gives a text with line breaks to a box.
    const Row pasted[] = {
        {"12\r\n34", "12 34"},
        {"a\nb\rc", "a b c"},
        {"x\u2028y\u2029z", "x y z"},
        {"\r\n\r\n", "  "},
    };
    for (const Row& row : pasted) {
        driver.type(Form1, "Text1", row.given);
        const std::string held = driver.text(Form1, "Text1");
        report(held == row.held, "pasted \"" + writtenOut(row.given) + "\" holds \"" + held + "\"",
               failures);
    }
    // Set by another program, as WM_SETTEXT.
    const HWND box = driver.control(Form1, "Text1");
    const std::wstring set = L"5\r\n6";
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(set.c_str()));
    report(driver.text(Form1, "Text1") == "5 6",
           "WM_SETTEXT \"5\\r\\n6\" holds \"" + driver.text(Form1, "Text1") + "\"", failures);
    const std::wstring longText(40000, L'7');
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longText.c_str()));
    SendMessageW(box, EM_SETSEL, WPARAM(longText.size()), LPARAM(longText.size()));
    SendMessageW(box, WM_CHAR, L'8', 1);
    const std::string held = driver.text(Form1, "Text1");
    report(held.size() == longText.size() + 1 && held.back() == '8',
           "a text of 40000 characters takes one more typed: " + std::to_string(held.size()),
           failures);
    return failures;
}

} // namespace wine
