// The ActiveX host with the recording test object, reached as a real control
// would be: through COM's class table or the module named by "modulename".
// The calls the host makes in each stage of the object's life, what a user
// sees and does (pixels, clicks, keys, the native window), and every
// reference given back at the end.
#include <gtest/gtest.h>

#include <memory>

#include "controls/ControlsKit.h"
#include "controls/activex/TestOleObject.h"
#include "ui/controls/ActiveXUI.h"
#include "ui/core/ContainerUI.h"
#include "win/ComRef.h"

namespace kvtest {
namespace {

using kvwin::CComRef;
using Calls = std::vector<std::string>;

constexpr DWORD kWhite = 0xFFFFFF;

// OLE for the whole program, and the test object's classes known to COM.
class OleClasses : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        for (const CLSID* clsid : {&kWindowlessObjectClsid, &kWindowedObjectClsid, &kRefusedObjectClsid}) {
            const CComRef<IClassFactory> factory(NewTestClassFactory(*clsid));
            DWORD cookie = 0;
            ASSERT_EQ(S_OK, CoRegisterClassObject(*clsid, factory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                                  &cookie));
            m_cookies.push_back(cookie);
        }
    }
    void TearDown() override {
        for (const DWORD cookie : m_cookies) CoRevokeClassObject(cookie);
        OleUninitialize();
    }

private:
    std::vector<DWORD> m_cookies;
};

const auto* const kOle = ::testing::AddGlobalTestEnvironment(new OleClasses);

std::wstring Text(REFCLSID clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    return text;
}

std::string Himetric(int width, int height) {
    const HDC screen = GetDC(nullptr);
    const std::string text = "SetExtent " + std::to_string(MulDiv(2540, width, GetDeviceCaps(screen, LOGPIXELSX))) +
                             "," + std::to_string(MulDiv(2540, height, GetDeviceCaps(screen, LOGPIXELSY)));
    ReleaseDC(nullptr, screen);
    return text;
}

Calls FirstCalls(size_t count) {
    const Calls& calls = Record().calls;
    return Calls(calls.begin(), calls.begin() + static_cast<std::ptrdiff_t>(std::min(count, calls.size())));
}

Calls CallsSince(size_t start) {
    const Calls& calls = Record().calls;
    return Calls(calls.begin() + static_cast<std::ptrdiff_t>(std::min(start, calls.size())), calls.end());
}

bool IsAcceleratorTable(HACCEL table) { return table && CopyAcceleratorTableW(table, nullptr, 0) == 1; }

// The control at (20,0)-(120,60) of a white window, beside a 20-pixel spacer.
const wchar_t kRow[] = L"<HorizontalLayout height=\"60\"><Control width=\"20\"/><ActiveX name=\"ax\" width=\"100\" ";

class ActiveX : public ::testing::Test {
protected:
    void SetUp() override { Record().Clear(); }

    CActiveXUI* Open(const std::wstring& attributes, Host& in) {
        in.Build(Skin(kRow + attributes + L"/></HorizontalLayout>"));
        return in.Find<CActiveXUI>(L"ax");
    }
    CActiveXUI* Open(const std::wstring& attributes) { return Open(attributes, host); }

    // Takes the control out of the tree and destroys it at once.
    static void Destroy(CActiveXUI* control) {
        auto* parent = static_cast<CContainerUI*>(control->GetParent()->GetInterface(L"Container"));
        parent->SetDelayedDestroy(false);
        ASSERT_TRUE(parent->Remove(control));
    }

    Host host{300, 200};
};

TEST_F(ActiveX, WindowlessObjectIsCreatedActivatedSizedPaintedFocusedAndReleased) {
    CActiveXUI* ax = Open(L"clsid=\"" + Text(kWindowlessObjectClsid) + L"\"");
    ASSERT_NE(nullptr, ax);
    EXPECT_EQ(1, Record().live);
    EXPECT_EQ(1, host.notes.Count(L"showactivex"));
    EXPECT_EQ((Calls{"InitNew", "SetClientSite", "SetHostNames UIActiveX", "DoVerb -5",
                     "OnInPlaceActivateEx windowless", "SetObjectRects 20,0,120,60", "GetWindowContext", "SetSite",
                     Himetric(100, 60), "SetObjectRects 20,0,120,60"}),
              FirstCalls(10));
    EXPECT_TRUE(IsAcceleratorTable(Record().accelerators));
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kObjectColour, host.Pixel(70, 30));
    EXPECT_EQ(kWhite, host.Pixel(10, 30));

    // A click inside gives the object the mouse and the focus; while it holds
    // the mouse it gets moves outside too, afterwards not.
    size_t start = Record().calls.size();
    host.Press(70, 30);
    EXPECT_EQ(ax, host.manager.GetFocus());
    host.Move(250, 150);
    host.Release(250, 150);
    host.Move(260, 150);
    EXPECT_EQ((Calls{"OnWindowMessage 0x201", "OnWindowMessage 0x200", "OnWindowMessage 0x202"}), CallsSince(start));

    // Keys only while the control has the focus.
    start = Record().calls.size();
    host.Key(VK_SPACE);
    host.manager.SetFocus(nullptr);
    host.Key(VK_SPACE);
    EXPECT_EQ((Calls{"OnWindowMessage 0x100"}), CallsSince(start));

    // A hidden windowless object is simply not painted.
    ax->SetVisible(false);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kWhite, host.Pixel(70, 30));

    start = Record().calls.size();
    Destroy(ax);
    EXPECT_EQ((Calls{"SetSite null", "Close 1", "deactivated", "SetClientSite null", "destroyed"}), CallsSince(start));
    EXPECT_EQ(0, Record().live);
    EXPECT_EQ(0, Record().frameRefsLeft);
    // When the object let go of its site only the control's own reference was left.
    EXPECT_EQ(1, Record().clientSiteRefsLeft);
    EXPECT_FALSE(IsAcceleratorTable(Record().accelerators));
}

TEST_F(ActiveX, WindowedObjectLivesInANativeWindowOverTheControl) {
    CActiveXUI* ax = Open(L"clsid=\"" + Text(kWindowedObjectClsid) + L"\"");
    ASSERT_NE(nullptr, ax);
    EXPECT_EQ((Calls{"InitNew", "SetClientSite", "SetHostNames UIActiveX", "DoVerb -5", "OnInPlaceActivate",
                     "SetObjectRects 0,0,100,60", "GetWindowContext", "SetSite", Himetric(100, 60),
                     "SetObjectRects 0,0,100,60"}),
              FirstCalls(10));
    const HWND window = FindWindowExW(host.GetHWND(), nullptr, L"ActiveXWnd", L"UIActiveX");
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(window, ax->GetHostWindow());
    EXPECT_EQ((RECT{20, 0, 120, 60}), host.manager.GetChildWindowRect(window));

    ax->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(window));
    ax->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(window));

    // Focus in its window makes the object UI-active.
    const size_t start = Record().calls.size();
    SendMessageW(window, WM_SETFOCUS, 0, 0);
    EXPECT_EQ((Calls{"DoVerb -4", "OnUIActivate"}), CallsSince(start));
}

// The native window may die before the control (its top-level window is
// closed first) or with it (the control is released): neither order reaches
// a freed control or site, and every reference comes back.
TEST_F(ActiveX, WindowedObjectIsReleasedWhicheverGoesFirstWindowOrControl) {
    for (const bool windowFirst : {false, true}) {
        SCOPED_TRACE(windowFirst ? "window first" : "control first");
        Record().Clear();
        auto other = std::make_unique<Host>(300, 200);
        CActiveXUI* ax = Open(L"clsid=\"" + Text(kWindowedObjectClsid) + L"\"", *other);
        ASSERT_NE(nullptr, ax);
        const HWND window = ax->GetHostWindow();
        ASSERT_TRUE(IsWindow(window));
        if (windowFirst) {
            DestroyWindow(other->GetHWND());
        } else {
            Destroy(ax);
        }
        EXPECT_FALSE(IsWindow(window));
        other.reset();
        EXPECT_EQ(0, Record().live);
        EXPECT_EQ(1, Record().clientSiteRefsLeft);
        EXPECT_EQ(0, Record().frameRefsLeft);
    }
}

TEST_F(ActiveX, ModuleNamedByModulenameServesTheObject) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring module = path;
    module = module.substr(0, module.find_last_of(L'\\') + 1) + L"kv_test_activex.dll";

    CActiveXUI* ax = Open(L"clsid=\"" + Text(kModuleObjectClsid) + L"\" modulename=\"" + module + L"\"");
    ASSERT_NE(nullptr, ax);
    const HMODULE loaded = GetModuleHandleW(module.c_str());
    ASSERT_NE(nullptr, loaded);
    using LiveObjects = int (*)();
    const auto live = reinterpret_cast<LiveObjects>(reinterpret_cast<void*>(GetProcAddress(loaded, "KvTestLiveObjects")));
    ASSERT_NE(nullptr, live);
    EXPECT_EQ(1, live());
    EXPECT_EQ(0, Record().live);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(kObjectColour, host.Pixel(70, 30));
    Destroy(ax);
    EXPECT_EQ(0, live());
}

// Without an object every operation that would reach the site does nothing,
// and a failed creation is not tried again on the next layout.
TEST_F(ActiveX, ControlWithoutAnObjectStaysInertWhateverIsDone) {
    const struct {
        const char* name;
        std::wstring attributes;
        int creations;
    } cases[] = {
        {"unregistered class", L"clsid=\"{6D1F0A01-4B7E-4C2A-9E10-5A317C0000FF}\"", 0},
        {"unknown programmatic identifier", L"clsid=\"No.Such.Control\"", 0},
        {"class object refuses", L"clsid=\"" + Text(kRefusedObjectClsid) + L"\"", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Record().Clear();
        Host in(300, 200);
        CActiveXUI* ax = Open(c.attributes, in);
        ASSERT_NE(nullptr, ax);
        ax->Move(5, 0);
        ax->SetPos(RECT{20, 0, 130, 60});
        ax->SetVisible(false);
        ax->SetVisible(true);
        ax->SetInternVisible(false);
        ax->SetInternVisible(true);
        ASSERT_TRUE(in.Paint());
        void* object = ax;
        EXPECT_EQ(E_PENDING, ax->GetControl(IID_IUnknown, &object));
        EXPECT_EQ(nullptr, object);
        EXPECT_EQ(nullptr, ax->GetHostWindow());
        EXPECT_EQ(0, in.notes.Count(L"showactivex"));
        EXPECT_EQ(c.creations, Record().creations);
        EXPECT_EQ(kWhite, in.Pixel(70, 30));
    }
}

TEST_F(ActiveX, ObjectIsCreatedOnTheFirstLayoutUnlessDelayCreateIsOff) {
    for (const bool delayed : {true, false}) {
        SCOPED_TRACE(delayed ? "delayed" : "at once");
        Record().Clear();
        Host in(300, 200);
        const std::wstring xml = Skin(kRow + (L"clsid=\"" + Text(kWindowlessObjectClsid) + L"\"") +
                                      (delayed ? L"" : L" delaycreate=\"false\"") + L"/></HorizontalLayout>");
        CDialogBuilder builder;
        CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &in.manager);
        ASSERT_NE(nullptr, root);
        EXPECT_EQ(delayed ? 0 : 1, Record().live);
        in.Attach(root);
        EXPECT_EQ(1, Record().live);
        EXPECT_EQ(1, Record().creations);
        EXPECT_EQ(kObjectColour, in.Pixel(70, 30));
    }
}

// The site outlives the control while the object keeps it; then its container
// and windows are gone, and so is every reference.
TEST_F(ActiveX, SiteAnswersUnexpectedOnceItsControlIsGone) {
    CActiveXUI* ax = Open(L"clsid=\"" + Text(kWindowlessObjectClsid) + L"\"");
    ASSERT_NE(nullptr, ax);
    ASSERT_NE(nullptr, Record().site);
    CComRef<IOleClientSite> site = CComRef<IOleClientSite>::Share(Record().site);

    CComRef<IOleContainer> container;
    ASSERT_EQ(S_OK, site->GetContainer(container.Receive()));
    CComRef<IEnumUnknown> objects;
    ASSERT_EQ(S_OK, container->EnumObjects(OLECONTF_EMBEDDINGS, objects.Receive()));
    CComRef<IUnknown> listed;
    CComRef<IUnknown> object;
    ULONG fetched = 0;
    ASSERT_EQ(S_OK, objects->Next(1, listed.Receive(), &fetched));
    ASSERT_EQ(S_OK, ax->GetControl(IID_IUnknown, object.ReceiveVoid()));
    EXPECT_EQ(object.Get(), listed.Get());
    CComRef<IUnknown> more;
    EXPECT_EQ(S_FALSE, objects->Next(1, more.Receive(), &fetched));
    EXPECT_EQ(0u, fetched);
    objects.Reset();
    container.Reset();
    listed.Reset();
    object.Reset();

    Destroy(ax);
    EXPECT_EQ(0, Record().live);
    CComRef<IOleInPlaceSiteWindowless> windowless;
    ASSERT_EQ(S_OK, site->QueryInterface(IID_IOleInPlaceSiteWindowless, windowless.ReceiveVoid()));
    HWND window = nullptr;
    EXPECT_EQ(E_UNEXPECTED, windowless->GetWindow(&window));
    EXPECT_EQ(E_UNEXPECTED, windowless->SetFocus(TRUE));
    EXPECT_EQ(E_UNEXPECTED, site->ShowObject());
    windowless.Reset();
    EXPECT_EQ(0u, site.Detach()->Release());
}

}  // namespace
}  // namespace kvtest
