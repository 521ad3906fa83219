// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One form drawn as a top-level Win32 window, built from its layout table:
// a fixed-size window with its own taskbar button, a minimise box and a close
// box, whose STATIC, EDIT and BUTTON controls sit at the core's rectangles
// scaled to the window's DPI. It reports clicks and the close box, keeps the
// core's tab order for Tab and Shift+Tab and gives the focus back where it
// was when the window is activated again; it decides nothing about
// navigation.
//
// Child windows are stacked in the tab order (the order screen readers walk
// them in), each text box's naming label directly above the box, as MSAA
// expects; a control that overlaps an earlier row of the table is lifted
// above it, so that it is drawn over it as the table says.

#include "app/Layout.h"
#include "app/WindowSystem.h"
#include "win32/Handles.h"
#include "win32/HeldKeys.h"

#include <windows.h>

#include <string>
#include <vector>

namespace win32 {

class FormWindow {
  public:
    // `keys` is the message loop's, forgotten here when the program loses
    // the keyboard.
    FormWindow(const app::FormDescription& description, app::FormEvents& events, HeldKeys& keys,
               HINSTANCE instance);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // Registers the window class of every form; once, before the first form.
    static void registerClass(HINSTANCE instance);
    // The form shown by `window`, a top-level window of this program, or -1.
    static int formOf(HWND window);

    HWND handle() const { return m_window.get(); }
    HWND control(int row) const { return m_controls[size_t(row)]; }
    const app::FormDescription& description() const { return m_description; }

    // Shows the window, restores it if it was minimised, brings it to the
    // front and activates it.
    void present();
    // Takes the window off the screen for good, without reporting a close;
    // the caller releases it once no handler runs any more.
    void discard();

    // The keys the window handles itself before the control with the focus
    // sees them: Tab and Shift+Tab, and Enter, Escape and a held space bar.
    // `repeat` when the key was down already (HeldKeys). True when the key
    // was used up.
    bool handleKey(const MSG& message, bool repeat);

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls(HINSTANCE instance);
    void applyDpi(UINT dpi, const RECT* suggested);
    int rowOf(HWND control) const;
    void moveFocus(bool backwards);
    void restoreFocus();
    LRESULT colourControl(HDC dc, HWND control, UINT message, WPARAM wParam, LPARAM lParam);

    const app::FormDescription& m_description;
    app::FormEvents& m_events;
    HeldKeys& m_keys;
    Window m_window;
    std::vector<HWND> m_controls;
    // A brush for each row that has a colour of its own.
    std::vector<Brush> m_brushes;
    std::vector<int> m_focusOrder;
    Font m_font;
    UINT m_dpi = 0;
    HWND m_lastFocus = nullptr;
    bool m_discarded = false;
};

} // namespace win32
