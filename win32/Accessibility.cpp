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

// The system's accessible object for an alert's client area, in the role of
// an alert; everything else is the system's. Interfaces other than
// IAccessible (IEnumVARIANT, IOleWindow) are the system object's own.
class AlertAccessible final : public IAccessible {
  public:
    explicit AlertAccessible(ComPtr<IAccessible> standard) : m_standard(std::move(standard)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object)
            return E_POINTER;
        if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return m_standard->QueryInterface(id, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return ULONG(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return m_standard->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return m_standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return m_standard->GetIDsOfNames(id, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        return m_standard->Invoke(member, id, locale, flags, parameters, result, exception,
                                  argumentError);
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (child.vt == VT_I4 && child.lVal == CHILDID_SELF && role) {
            VariantInit(role);
            role->vt = VT_I4;
            role->lVal = ROLE_SYSTEM_ALERT;
            return S_OK;
        }
        return m_standard->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return m_standard->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return m_standard->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return m_standard->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return m_standard->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return m_standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return m_standard->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return m_standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return m_standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return m_standard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return m_standard->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return m_standard->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return m_standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return m_standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return m_standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return m_standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
        return m_standard->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return m_standard->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return m_standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return m_standard->put_accValue(child, value);
    }

  private:
    ~AlertAccessible() = default;

    ComPtr<IAccessible> m_standard;
    LONG m_references = 1;
};

} // namespace

void nameControl(HWND control, std::wstring_view name) {
    if (auto& services = propServices()) {
        const std::wstring terminated(name);
        services->SetHwndPropStr(control, DWORD(OBJID_CLIENT), CHILDID_SELF, accNameProperty,
                                 terminated.c_str());
    }
}

void forgetAnnotations(HWND control) {
    if (auto& services = propServices()) {
        MSAAPROPID properties[] = {accNameProperty};
        services->ClearHwndProps(control, DWORD(OBJID_CLIENT), CHILDID_SELF, properties,
                                 int(std::size(properties)));
    }
}

LRESULT answerAsAlert(HWND window, WPARAM wParam, LPARAM lParam) {
    if (DWORD(lParam) != DWORD(OBJID_CLIENT))
        return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    ComPtr<IAccessible> standard;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(standard.put()))))
        return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    auto* alert = new AlertAccessible(std::move(standard));
    const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, alert);
    alert->Release();
    return result;
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
