// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/Accessibility.h"

#include "win32/Handles.h"

#include <oleacc.h>
#include <uiautomationcore.h>

#include <string>

// mingw-w64 declares no compile-time IID for IAccPropServices. The IIDs that
// -loleacc exports are no help either: taken from there, IID_IAccessible read
// as the bytes of an import thunk, and oleacc refused it. __uuidof carries
// the GUID in the program itself.
__CRT_UUID_DECL(IAccPropServices, 0x6e26e776, 0x04f0, 0x495d, 0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e,
                0x31, 0x69)

namespace win32 {

namespace {

// The same GUIDs as oleacc.h's, kept here for the reason above.
constexpr CLSID accPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID accNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID accRoleProperty = {
    0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};

ComPtr<IAccPropServices>& propServices() {
    static ComPtr<IAccPropServices> services;
    static bool tried = false;
    if (!tried) {
        tried = true;
        CoCreateInstance(accPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                         __uuidof(IAccPropServices), reinterpret_cast<void**>(services.put()));
    }
    return services;
}

// UiaRaiseNotificationEvent came with Windows 10 (1709); mingw-w64 does not
// declare it, and older systems and Wine may lack it, so it and the host
// provider are looked up when first needed.
enum : int { notificationKindActionCompleted = 2 };
enum : int { notificationProcessingImportantAll = 0 };
using RaiseNotification = HRESULT(WINAPI*)(IRawElementProviderSimple*, int, int, BSTR, BSTR);
using HostProvider = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);

struct Automation {
    RaiseNotification raiseNotification = nullptr;
    HostProvider hostProvider = nullptr;
};

const Automation& automation() {
    static const Automation found = [] {
        Automation functions;
        const HMODULE core =
            LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!core)
            return functions;
        functions.raiseNotification = reinterpret_cast<RaiseNotification>(
            reinterpret_cast<void*>(GetProcAddress(core, "UiaRaiseNotificationEvent")));
        functions.hostProvider = reinterpret_cast<HostProvider>(
            reinterpret_cast<void*>(GetProcAddress(core, "UiaHostProviderFromHwnd")));
        if (!functions.raiseNotification || !functions.hostProvider)
            functions = {};
        return functions;
    }();
    return found;
}

class SystemString {
  public:
    explicit SystemString(std::wstring_view text)
        : m_string(SysAllocStringLen(text.data(), UINT(text.size()))) {}
    ~SystemString() { SysFreeString(m_string); }
    SystemString(const SystemString&) = delete;
    SystemString& operator=(const SystemString&) = delete;
    BSTR get() const { return m_string; }

  private:
    BSTR m_string;
};

} // namespace

void nameControl(HWND control, std::wstring_view name) {
    if (auto& services = propServices()) {
        const std::wstring terminated(name);
        services->SetHwndPropStr(control, DWORD(OBJID_CLIENT), CHILDID_SELF, accNameProperty,
                                 terminated.c_str());
    }
}

void markAsAlert(HWND window) {
    if (auto& services = propServices()) {
        VARIANT role;
        VariantInit(&role);
        role.vt = VT_I4;
        role.lVal = ROLE_SYSTEM_ALERT;
        services->SetHwndProp(window, DWORD(OBJID_CLIENT), CHILDID_SELF, accRoleProperty, role);
    }
}

void forgetAnnotations(HWND window) {
    if (auto& services = propServices()) {
        MSAAPROPID properties[] = {accNameProperty, accRoleProperty};
        services->ClearHwndProps(window, DWORD(OBJID_CLIENT), CHILDID_SELF, properties,
                                 int(std::size(properties)));
    }
}

void announceAlert(HWND window) {
    NotifyWinEvent(EVENT_SYSTEM_ALERT, window, OBJID_CLIENT, CHILDID_SELF);
}

void announceNews(HWND window, std::wstring_view message) {
    const Automation& uia = automation();
    if (!uia.raiseNotification)
        return;
    ComPtr<IRawElementProviderSimple> provider;
    if (FAILED(uia.hostProvider(window, provider.put())) || !provider)
        return;
    const SystemString text(message);
    const SystemString activity(L"Takhmin.ClickResult");
    uia.raiseNotification(provider.get(), notificationKindActionCompleted,
                          notificationProcessingImportantAll, text.get(), activity.get());
}

void releaseAccessibility() {
    propServices().reset();
}

} // namespace win32
