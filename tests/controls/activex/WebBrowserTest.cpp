// The web browser control with the system's browser object (which here can
// be created and hosted but not navigate: the test prefix has no browser
// engine), its COM parts as the browser calls them, and the Flash control,
// whose player is not installed here.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>

#include "controls/ControlsKit.h"
#include "ui/controls/FlashUI.h"
#include "ui/controls/WebBrowserUI.h"
#include "ui/core/ContainerUI.h"
#include "win/ComRef.h"

namespace kvtest {
namespace {

using kvwin::CComRef;

// A web browser control that counts the events reaching it. Its memory, once
// deleted, is filled with a pattern and kept until the end of the test, so a
// call through a pointer left behind to it fails at once instead of reaching
// freed memory that still looks alive.
class CheckedWebBrowser : public CWebBrowserUI {
public:
    static void* operator new(size_t size) { return ::operator new(size); }
    static void operator delete(void* memory, size_t size) {
        memset(memory, 0xCC, size);
        Graveyard().push_back(memory);
    }
    static std::vector<void*>& Graveyard() {
        static std::vector<void*> graveyard;
        return graveyard;
    }
    static void Bury() {
        for (void* memory : Graveyard()) ::operator delete(memory);
        Graveyard().clear();
    }

    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override {
        ++events;
        return CWebBrowserUI::Invoke(id, iid, lcid, flags, params, result, exception, argError);
    }
    int events = 0;
};

// Records the calls the control forwards.
class RecordingHandler : public CWebBrowserEventHandler {
public:
    void TitleChange(CWebBrowserUI*, BSTR title) override { calls.push_back(L"title " + std::wstring(title)); }
    void CommandStateChange(CWebBrowserUI*, LONG command, VARIANT_BOOL enable) override {
        calls.push_back(L"command " + std::to_wstring(command) + (enable ? L" on" : L" off"));
    }
    std::vector<std::wstring> calls;
};

ULONG CountOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

MSG KeyMessage(HWND window) {
    MSG msg = {};
    msg.hwnd = window;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_F5;
    return msg;
}

class WebBrowser : public ::testing::Test {
protected:
    void TearDown() override { CheckedWebBrowser::Bury(); }

    // A checked control filling the top of the window, created on its first layout.
    CheckedWebBrowser* Open() {
        host.Build(Skin(L""));
        auto* web = new CheckedWebBrowser;
        web->SetFixedHeight(100);
        auto* root = static_cast<CContainerUI*>(host.manager.GetRoot()->GetInterface(L"Container"));
        root->SetDelayedDestroy(false);
        EXPECT_TRUE(root->Add(web));
        EXPECT_TRUE(host.Paint());
        return web;
    }
    void Destroy(CWebBrowserUI* web) {
        auto* root = static_cast<CContainerUI*>(host.manager.GetRoot()->GetInterface(L"Container"));
        ASSERT_TRUE(root->Remove(web));
    }

    Host host{300, 200};
};

TEST_F(WebBrowser, SystemBrowserIsHostedAndEveryTieIsUndoneOnDestruction) {
    CheckedWebBrowser* web = Open();
    ASSERT_NE(nullptr, web->GetWebBrowser2()) << "the system's web browser object could not be created";
    EXPECT_EQ(1, host.notes.Count(L"showactivex"));
    EXPECT_NE(nullptr, FindWindowExW(host.GetHWND(), nullptr, L"ActiveXWnd", L"UIActiveX"));
    const CComRef<IWebBrowser2> browser = CComRef<IWebBrowser2>::Share(web->GetWebBrowser2());

    // The sink is connected: the browser's events reach the control.
    browser->put_Visible(VARIANT_TRUE);
    EXPECT_EQ(1, web->events);

    // Re-creation gives the first browser object back before taking a new one.
    ASSERT_TRUE(web->DoCreateControl());
    EXPECT_NE(browser.Get(), web->GetWebBrowser2());
    EXPECT_EQ(1u, CountOf(browser.Get()));
    const CComRef<IWebBrowser2> second = CComRef<IWebBrowser2>::Share(web->GetWebBrowser2());

    Destroy(web);
    EXPECT_EQ(1u, CountOf(second.Get()));
    // Neither the paint manager nor the browser calls the dead control: either
    // would fault on its poisoned memory.
    MSG key = KeyMessage(host.GetHWND());
    EXPECT_FALSE(host.manager.TranslateAccelerator(&key));
    second->put_Visible(VARIANT_FALSE);
}

TEST_F(WebBrowser, PartsAnswerUnknownWithOneIdentityAndTheirOwnInterfaces) {
    CWebBrowserUI web;
    const IID parts[] = {IID_IDocHostUIHandler, IID_IDispatch, IID_IServiceProvider, IID_IInternetSecurityManager,
                         IID_IOleCommandTarget};
    CComRef<IUnknown> identity;
    ASSERT_EQ(S_OK, static_cast<IDispatch*>(&web)->QueryInterface(IID_IUnknown, identity.ReceiveVoid()));
    for (const IID& iid : parts) {
        CComRef<IUnknown> part;
        CComRef<IUnknown> unknown;
        ASSERT_EQ(S_OK, static_cast<IDispatch*>(&web)->QueryInterface(iid, part.ReceiveVoid()));
        ASSERT_EQ(S_OK, part->QueryInterface(IID_IUnknown, unknown.ReceiveVoid()));
        EXPECT_EQ(identity.Get(), unknown.Get());
    }
    CComRef<IUnknown> other;
    EXPECT_EQ(E_NOINTERFACE, static_cast<IDispatch*>(&web)->QueryInterface(IID_IOleObject, other.ReceiveVoid()));

    CComRef<IUnknown> manager;
    EXPECT_EQ(S_OK, web.QueryService(IID_IInternetSecurityManager, IID_IInternetSecurityManager, manager.ReceiveVoid()));
    EXPECT_EQ(static_cast<IInternetSecurityManager*>(&web), manager.Get());
    const GUID downloadManager = {0x988934A4, 0x064B, 0x11D3, {0xBB, 0x80, 0x00, 0x10, 0x4B, 0x35, 0xE7, 0xF9}};
    void* none = &web;
    EXPECT_EQ(E_NOINTERFACE, web.QueryService(downloadManager, IID_IUnknown, &none));
    EXPECT_EQ(nullptr, none);
}

// Event arguments come from the browser: a wrong count or type is refused
// before anything is read, the rest reaches the handler.
TEST_F(WebBrowser, EventsReachTheHandlerOnlyWithTheirDocumentedArguments) {
    CWebBrowserUI web;
    RecordingHandler handler;
    web.SetWebBrowserEventHandler(&handler);
    const auto invoke = [&](DISPID id, std::vector<VARIANT> args, REFIID iid = IID_NULL) {
        DISPPARAMS params = {args.data(), nullptr, static_cast<UINT>(args.size()), 0};
        return web.Invoke(id, iid, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    };
    VARIANT title;
    title.vt = VT_BSTR;
    title.bstrVal = SysAllocString(L"Shop");
    VARIANT number;
    number.vt = VT_I4;
    number.lVal = 2;
    VARIANT enabled;
    enabled.vt = VT_BOOL;
    enabled.boolVal = VARIANT_TRUE;

    EXPECT_EQ(S_OK, invoke(113, {title}));
    // The array holds the last argument first.
    EXPECT_EQ(S_OK, invoke(105, {enabled, number}));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, invoke(113, {number}));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, invoke(105, {number, enabled}));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, invoke(113, {}));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, invoke(252, {title}));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, web.Invoke(259, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(E_INVALIDARG, invoke(113, {title}, IID_IDispatch));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, invoke(999, {}));
    EXPECT_EQ((std::vector<std::wstring>{L"title Shop", L"command 2 on"}), handler.calls);
    SysFreeString(title.bstrVal);
}

TEST_F(WebBrowser, WithoutAHandlerTheBrowserKeepsItsOwnMenuDropTargetExternalAndZonePolicies) {
    CWebBrowserUI web;
    EXPECT_EQ(S_FALSE, web.ShowContextMenu(0, nullptr, nullptr, nullptr));
    IDropTarget* target = reinterpret_cast<IDropTarget*>(&web);
    EXPECT_EQ(S_FALSE, web.GetDropTarget(nullptr, &target));
    EXPECT_EQ(nullptr, target);
    IDispatch* external = &web;
    EXPECT_EQ(S_FALSE, web.GetExternal(&external));
    EXPECT_EQ(nullptr, external);
    DOCHOSTUIINFO info = {};
    info.cbSize = sizeof info;
    EXPECT_EQ(S_OK, web.GetHostInfo(&info));
    EXPECT_EQ(static_cast<DWORD>(DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_NO3DOUTERBORDER), info.dwFlags);

    // The zone's own policy decides every action: the answer is left to the
    // default security manager, with the policy not written.
    for (const DWORD action : {URLACTION_SCRIPT_RUN, URLACTION_ACTIVEX_RUN, URLACTION_SHELL_FILE_DOWNLOAD}) {
        DWORD policy = URLPOLICY_DISALLOW;
        EXPECT_EQ(INET_E_DEFAULT_ACTION, web.ProcessUrlAction(L"http://example.test/", action,
                                                              reinterpret_cast<BYTE*>(&policy), sizeof policy,
                                                              nullptr, 0, 0, 0));
        EXPECT_EQ(static_cast<DWORD>(URLPOLICY_DISALLOW), policy) << action;
    }
    DWORD zone = 0;
    EXPECT_EQ(INET_E_DEFAULT_ACTION, web.MapUrlToZone(L"about:blank", &zone, 0));
}

// A page's script object: answers the properties it is given and writes each
// name it is asked for into a log that a whole chain of them shares.
class RecordingObject : public kvwin::ComObject<IDispatch> {
public:
    explicit RecordingObject(std::vector<std::wstring>& log) : m_log(log) {}
    void Set(const std::wstring& name, IDispatch* object) {
        VARIANT value;
        value.vt = VT_DISPATCH;
        value.pdispVal = object;
        object->AddRef();
        m_properties.emplace_back(name, value);
    }
    void Set(const std::wstring& name, LONG number) {
        VARIANT value;
        value.vt = VT_I4;
        value.lVal = number;
        m_properties.emplace_back(name, value);
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        return kvwin::QueryInterfaceFor<IDispatch>(this, iid, out);
    }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count != 1) return E_INVALIDARG;
        m_log.push_back(names[0]);
        for (size_t i = 0; i < m_properties.size(); ++i) {
            if (m_properties[i].first == names[0]) {
                ids[0] = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (flags != DISPATCH_PROPERTYGET || id < 1 || static_cast<size_t>(id) > m_properties.size()) {
            return DISP_E_MEMBERNOTFOUND;
        }
        return VariantCopy(result, &m_properties[static_cast<size_t>(id) - 1].second);
    }

private:
    ~RecordingObject() override {
        for (auto& property : m_properties) VariantClear(&property.second);
    }
    std::vector<std::wstring>& m_log;
    std::vector<std::pair<std::wstring, VARIANT>> m_properties;
};

// The browser reports a script error with the page's document: the control
// reads the error from the event object of the document's window, lets the
// scripts go on without a dialog, and answers with the last read's result.
TEST_F(WebBrowser, AScriptErrorIsReadFromTheEventOfTheDocumentsWindow) {
    const std::vector<std::wstring> details = {L"errorLine", L"errorCharacter", L"errorCode", L"errorMessage",
                                               L"errorUrl"};
    struct Case {
        const wchar_t* missing;  // the property the page's objects lack
        HRESULT result;
        size_t asked;
    };
    const Case cases[] = {{L"", S_OK, 7},
                          {L"errorUrl", DISP_E_UNKNOWNNAME, 7},
                          {L"errorCode", S_OK, 7},
                          {L"event", DISP_E_UNKNOWNNAME, 2}};
    const GUID docHostCommands = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
    CWebBrowserUI web;
    for (const Case& c : cases) {
        std::vector<std::wstring> log;
        const auto make = [&] { return CComRef<RecordingObject>::Share(new RecordingObject(log)); };
        const CComRef<RecordingObject> document = make(), window = make(), event = make();
        for (const std::wstring& name : details) {
            if (name != c.missing) event->Set(name, 1);
        }
        if (std::wstring(L"event") != c.missing) window->Set(L"event", event.Get());
        document->Set(L"parentWindow", window.Get());

        const auto counts = [&] {
            return std::vector<ULONG>{CountOf(document.Get()), CountOf(window.Get()), CountOf(event.Get())};
        };
        const std::vector<ULONG> before = counts();

        VARIANT in;
        in.vt = VT_UNKNOWN;
        in.punkVal = document.Get();
        VARIANT goOn;
        VariantInit(&goOn);
        EXPECT_EQ(c.result, web.Exec(&docHostCommands, OLECMDID_SHOWSCRIPTERROR, 0, &in, &goOn)) << c.missing;
        EXPECT_EQ(VT_BOOL, goOn.vt);
        EXPECT_EQ(VARIANT_TRUE, goOn.boolVal);
        std::vector<std::wstring> expected = {L"parentWindow", L"event"};
        expected.insert(expected.end(), details.begin(), details.end());
        expected.resize(c.asked);
        EXPECT_EQ(expected, log) << c.missing;
        EXPECT_EQ(before, counts()) << "every reference the reads took is given back";
    }
    EXPECT_EQ(E_INVALIDARG, web.Exec(&docHostCommands, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr));
    EXPECT_EQ(OLECMDERR_E_NOTSUPPORTED, web.Exec(&docHostCommands, OLECMDID_PRINT, 0, nullptr, nullptr));
    EXPECT_EQ(OLECMDERR_E_UNKNOWNGROUP, web.Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr));
}

TEST(Flash, WithoutAPlayerCreationFailsAndNothingIsConnected) {
    Host host(300, 200);
    host.Build(Skin(L"<Flash name=\"flash\" height=\"100\"/>"));
    auto* flash = host.Find<CFlashUI>(L"flash");
    ASSERT_NE(nullptr, flash);
    EXPECT_EQ(0, host.notes.Count(L"showactivex"));
    EXPECT_FALSE(flash->DoCreateControl());
    void* object = flash;
    EXPECT_EQ(E_PENDING, flash->GetControl(IID_IUnknown, &object));
    EXPECT_EQ(nullptr, flash->GetHostWindow());
    EXPECT_EQ(0, flash->RefCount());
    MSG key = KeyMessage(host.GetHWND());
    EXPECT_EQ(E_NOTIMPL, flash->TranslateAccelerator(&key));

    // The sink answers the movie's events without effect.
    const IID events = {0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    for (const IID& iid : {IID_IUnknown, IID_IDispatch, events}) {
        CComRef<IUnknown> sink;
        EXPECT_EQ(S_OK, flash->QueryInterface(iid, sink.ReceiveVoid()));
        EXPECT_EQ(static_cast<IDispatch*>(flash), sink.Get());
    }
    DISPPARAMS none = {};
    EXPECT_EQ(S_OK, flash->Invoke(0x96, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
}

}  // namespace
}  // namespace kvtest
