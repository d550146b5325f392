// The skinned window base: skin loading, hit testing for caption and size
// box, window region, min/max information, the system buttons and the
// default keys.
#include <gtest/gtest.h>

#include "core/windowbase/WindowBaseKit.h"

namespace kvtest {
namespace {

constexpr char kSkin[] =
    "<Window size=\"300,200\" sizebox=\"4,4,4,4\" caption=\"0,0,0,30\" mininfo=\"120,80\">"
    "  <VerticalLayout name=\"root\">"
    "    <HorizontalLayout name=\"captionbar\" height=\"30\">"
    "      <Control name=\"title\" />"
    "      <Pressable name=\"press\" width=\"40\"><Control name=\"inner\" /></Pressable>"
    "      <Button name=\"maxbtn\" width=\"20\" />"
    "      <Button name=\"restorebtn\" width=\"20\" visible=\"false\" />"
    "    </HorizontalLayout>"
    "    <Control name=\"body\" />"
    "  </VerticalLayout>"
    "</Window>";

// Shows the frame without activating it and waits for its first layout.
bool ShowAndLayOut(TestFrame& frame) {
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    UpdateWindow(frame);
    return PumpUntil([&] { return !frame.Manager().IsUpdateNeeded(); });
}

class WindowBase : public ::testing::Test {
protected:
    void SetUp() override {
        WriteSkin("frame.xml", kSkin);
        ASSERT_TRUE(frame.Open());
    }
    TestFrame frame{L"frame.xml"};
};

TEST_F(WindowBase, CreatingBuildsTheSkinAndLeavesNoSystemCaption) {
    TestFrame captioned(L"frame.xml");
    ASSERT_TRUE(captioned.Open(WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(0, GetWindowLongPtrW(captioned, GWL_STYLE) & WS_CAPTION);

    const LONG_PTR style = GetWindowLongPtrW(frame, GWL_STYLE);
    EXPECT_EQ(0, style & WS_CAPTION);
    EXPECT_EQ(WS_CLIPSIBLINGS | WS_CLIPCHILDREN, style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    ASSERT_NE(nullptr, frame.Manager().GetRoot());
    EXPECT_STREQ(L"root", frame.Manager().GetRoot()->GetName());
    EXPECT_EQ(1, frame.initCount);
    EXPECT_EQ(frame.Manager().GetRoot(), frame.rootAtInit);
    RECT rc = {};
    GetWindowRect(frame, &rc);
    EXPECT_EQ(300, rc.right - rc.left);
    EXPECT_EQ(200, rc.bottom - rc.top);
    // Without a system frame the client area is the whole window.
    RECT client = {};
    GetClientRect(frame, &client);
    EXPECT_EQ(300, client.right);
}

TEST_F(WindowBase, TheWindowIsANotifierOfItsManager) {
    frame.Manager().SendNotify(frame.Find(L"body"), L"custom");
    EXPECT_EQ(std::vector<std::string>{"custom"}, frame.notified);
}

struct HitCase {
    int x;
    int y;
    LRESULT code;
};
class HitTest : public WindowBase, public ::testing::WithParamInterface<HitCase> {};

TEST_P(HitTest, SizeBoxAndCaptionBand) {
    ASSERT_TRUE(ShowAndLayOut(frame));
    EXPECT_EQ(GetParam().code, frame.HitTest(GetParam().x, GetParam().y));
}

INSTANTIATE_TEST_SUITE_P(
    Points, HitTest,
    ::testing::Values(HitCase{1, 1, HTTOPLEFT}, HitCase{150, 2, HTTOP}, HitCase{298, 3, HTTOPRIGHT},
                      HitCase{2, 100, HTLEFT}, HitCase{298, 100, HTRIGHT}, HitCase{1, 198, HTBOTTOMLEFT},
                      HitCase{150, 198, HTBOTTOM}, HitCase{298, 198, HTBOTTOMRIGHT},
                      // A plain control in the caption band drags the window...
                      HitCase{100, 15, HTCAPTION}, HitCase{239, 29, HTCAPTION},
                      // ...a button does not, nor does a container that is not
                      // static, nor a plain control inside it.
                      HitCase{290, 15, HTCLIENT}, HitCase{250, 15, HTCLIENT}, HitCase{275, 29, HTCLIENT},
                      // Below the caption band is the client area.
                      HitCase{100, 30, HTCLIENT}, HitCase{150, 100, HTCLIENT}));

TEST_F(WindowBase, ACaptionBottomOfMinusOneReachesTheClientBottom) {
    frame.Manager().SetCaptionRect(RECT{0, 0, 0, -1});
    ASSERT_TRUE(ShowAndLayOut(frame));
    EXPECT_EQ(HTCAPTION, frame.HitTest(150, 100));
    EXPECT_EQ(HTCAPTION, frame.HitTest(150, 195));
    EXPECT_EQ(HTCLIENT, frame.HitTest(250, 15));
}

TEST_F(WindowBase, AMaximisedWindowHasNoSizingBorders) {
    ASSERT_TRUE(ShowAndLayOut(frame));
    ::SendMessageW(frame, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(IsZoomed(frame));
    ASSERT_TRUE(PumpUntil([&] { return !frame.Manager().IsUpdateNeeded(); }));
    EXPECT_EQ(HTCAPTION, frame.HitTest(1, 1));
    RECT client = {};
    GetClientRect(frame, &client);
    EXPECT_EQ(HTCLIENT, frame.HitTest(client.right - 1, client.bottom - 1));
}

TEST_F(WindowBase, MinMaxInformationComesFromTheWorkAreaAndTheSkin) {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    MINMAXINFO info = {};
    info.ptMaxTrackSize = POINT{1, 1};
    ::SendMessageW(frame, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(work.left, info.ptMaxPosition.x);
    EXPECT_EQ(work.top, info.ptMaxPosition.y);
    EXPECT_EQ(work.right - work.left, info.ptMaxSize.x);
    EXPECT_EQ(work.bottom - work.top, info.ptMaxSize.y);
    // No "maxinfo": the work area limits the size.
    EXPECT_EQ(work.right - work.left, info.ptMaxTrackSize.x);
    EXPECT_EQ(work.bottom - work.top, info.ptMaxTrackSize.y);
    EXPECT_EQ(120, info.ptMinTrackSize.x);
    EXPECT_EQ(80, info.ptMinTrackSize.y);

    frame.Manager().SetMaxInfo(640, 0);
    ::SendMessageW(frame, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(640, info.ptMaxTrackSize.x);
    EXPECT_EQ(work.bottom - work.top, info.ptMaxTrackSize.y);
}

bool InRegion(HWND window, int x, int y) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool inside = GetWindowRgn(window, region) != ERROR && PtInRegion(region, x, y);
    DeleteObject(region);
    return inside;
}

TEST_F(WindowBase, TheWindowRegionFollowsTheRoundCorner) {
    EXPECT_TRUE(InRegion(frame, 0, 0));
    EXPECT_TRUE(InRegion(frame, 299, 199));

    frame.Manager().SetRoundCorner(20, 20);
    SetWindowPos(frame, nullptr, 0, 0, 310, 210, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(InRegion(frame, 0, 0));
    EXPECT_FALSE(InRegion(frame, 309, 209));
    EXPECT_TRUE(InRegion(frame, 10, 10));
    EXPECT_TRUE(InRegion(frame, 155, 0));
}

TEST_F(WindowBase, MaximisingAndRestoringSwapTheSystemButtons) {
    CControlUI* maxbtn = frame.Find(L"maxbtn");
    CControlUI* restorebtn = frame.Find(L"restorebtn");
    ASSERT_TRUE(ShowAndLayOut(frame));
    ::SendMessageW(frame, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(IsZoomed(frame));
    EXPECT_FALSE(maxbtn->IsVisible());
    EXPECT_TRUE(restorebtn->IsVisible());
    ::SendMessageW(frame, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsZoomed(frame));
    EXPECT_TRUE(maxbtn->IsVisible());
    EXPECT_FALSE(restorebtn->IsVisible());
}

TEST_F(WindowBase, DoubleClickingTheCaptionMaximises) {
    ASSERT_TRUE(ShowAndLayOut(frame));
    POINT pt = {100, 15};
    ClientToScreen(frame, &pt);
    ::SendMessageW(frame, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(pt.x, pt.y));
    EXPECT_TRUE(IsZoomed(frame));
    EXPECT_FALSE(frame.Find(L"maxbtn")->IsVisible());
    EXPECT_TRUE(frame.Find(L"restorebtn")->IsVisible());
}

TEST(WindowBaseWithoutSystemButtons, MaximisesAndRestoresAllTheSame) {
    WriteSkin("plain.xml", "<Window size=\"200,100\"><VerticalLayout><Control name=\"only\" /></VerticalLayout></Window>");
    TestFrame frame(L"plain.xml");
    ASSERT_TRUE(frame.Open());
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    ::SendMessageW(frame, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(IsZoomed(frame));
    ::SendMessageW(frame, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsZoomed(frame));
    EXPECT_TRUE(IsWindow(frame));
}

TEST_F(WindowBase, SystemButtonClicksMinimiseMaximiseAndRestore) {
    ASSERT_TRUE(ShowAndLayOut(frame));
    frame.Click(L"maxbtn");
    EXPECT_TRUE(IsZoomed(frame));
    frame.Click(L"restorebtn");
    EXPECT_FALSE(IsZoomed(frame));
    frame.Click(L"minbtn");  // no such control: a click from nobody does nothing
    EXPECT_FALSE(IsIconic(frame));
    frame.Click(L"title");
    EXPECT_FALSE(IsIconic(frame));
    EXPECT_TRUE(IsWindow(frame));
}

TEST(WindowBaseButtons, MinimiseButtonMinimises) {
    WriteSkin("min.xml", "<Window size=\"200,100\"><VerticalLayout><Control name=\"minbtn\" /></VerticalLayout></Window>");
    TestFrame frame(L"min.xml");
    ASSERT_TRUE(frame.Open());
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    frame.Click(L"minbtn");
    EXPECT_TRUE(IsIconic(frame));
}

// Clicks "closebtn" once the modal loop runs.
class ClosingFrame : public TestFrame {
public:
    using TestFrame::TestFrame;
    static constexpr UINT kClickClose = WM_APP + 7;

protected:
    LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override {
        if (msg == kClickClose) Click(L"closebtn");
        return TestFrame::HandleCustomMessage(msg, wParam, lParam, handled);
    }
};

TEST(WindowBaseButtons, TheCloseButtonEndsAModalLoopWithResultOne) {
    WriteSkin("close.xml", "<Window size=\"200,100\"><VerticalLayout><Control name=\"closebtn\" /></VerticalLayout></Window>");
    ClosingFrame frame(L"close.xml");
    ASSERT_TRUE(frame.Open());
    frame.PostMessage(ClosingFrame::kClickClose);
    EXPECT_EQ(1u, frame.ShowModal());
    EXPECT_FALSE(IsWindow(frame));
}

TEST_F(WindowBase, TheSystemCloseCommandClosesTheWindow) {
    ::SendMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(frame));
}

TEST_F(WindowBase, NonClientActivationDrawsNothing) {
    EXPECT_EQ(TRUE, ::SendMessageW(frame, WM_NCACTIVATE, FALSE, 0));
    EXPECT_EQ(FALSE, ::SendMessageW(frame, WM_NCACTIVATE, TRUE, 0));
}

TEST_F(WindowBase, EscapeAndReturnAreOfferedAndStillReachTheFocusedControl) {
    ASSERT_TRUE(ShowAndLayOut(frame));
    CControlUI* body = frame.Find(L"body");
    frame.Manager().SetFocus(body);
    ASSERT_EQ(body, frame.Manager().GetFocus());
    std::vector<TCHAR> keys;
    struct KeyRecorder {
        std::vector<TCHAR>* keys;
        bool OnEvent(TUIEvent* event) {
            if (event->type == EventKeyDown) keys->push_back(event->keyChar);
            return true;
        }
    } recorder{&keys};
    body->OnEvent += MakeDelegate(&recorder, &KeyRecorder::OnEvent);

    for (WPARAM key : {WPARAM(VK_ESCAPE), WPARAM(VK_RETURN), WPARAM('A')}) {
        MSG msg = {frame, WM_KEYDOWN, key, 1, GetTickCount(), {}};
        EXPECT_FALSE(CPaintManagerUI::TranslateMessage(&msg));
        DispatchMessageW(&msg);
    }
    EXPECT_EQ((std::vector<WPARAM>{VK_ESCAPE, VK_RETURN}), frame.defaultKeys);
    EXPECT_EQ((std::vector<TCHAR>{VK_ESCAPE, VK_RETURN, 'A'}), keys);
}

TEST_F(WindowBase, TheFinalMessageDetachesTheWindowFromItsManager) {
    CControlUI* body = frame.Find(L"body");
    DestroyWindow(frame);
    EXPECT_EQ(nullptr, frame.Manager().FindControl(L"root"));  // the root was reaped
    frame.notified.clear();
    frame.Manager().SendNotify(body, L"after");
    EXPECT_TRUE(frame.notified.empty());
    MSG msg = {nullptr, WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
    LRESULT result = 0;
    frame.Manager().PreMessageHandler(msg.message, msg.wParam, msg.lParam, result);
    EXPECT_TRUE(frame.defaultKeys.empty());
}

TEST(WindowBaseSkinType, ASkinTypeReadsTheSkinFileAsAResourceId) {
    TestFrame frame(L"301", L"SKINXML");
    ASSERT_TRUE(frame.Open());
    ASSERT_NE(nullptr, frame.Manager().GetRoot());
    EXPECT_STREQ(L"from_resource", frame.Manager().GetRoot()->GetName());
    RECT rc = {};
    GetWindowRect(frame, &rc);
    EXPECT_EQ(240, rc.right - rc.left);
}

}  // namespace
}  // namespace kvtest
