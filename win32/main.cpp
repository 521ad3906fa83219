// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the program on Windows: shows the entry window and runs the message
// loop until End is called or no window is left.
#include "app/FormRegistry.h"
#include "screens/Screens.h"
#include "win32/Accessibility.h"
#include "win32/Appearance.h"
#include "win32/Win32WindowSystem.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    win32::useMonitorDpi();
    // Oleacc's annotations and UI Automation are COM services.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    int code = 0;
    {
        app::FormRegistry registry(screens::allForms());
        win32::Win32WindowSystem windows(registry, instance);
        registry.start(windows);
        code = windows.run();
    }
    win32::releaseAccessibility();
    if (SUCCEEDED(com))
        CoUninitialize();
    return code;
}
