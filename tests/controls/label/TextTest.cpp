// The text with links: where its links are, "link" on a click, the hovered
// link and the hand cursor.
#include <gtest/gtest.h>

#include "controls/ControlsKit.h"
#include "ui/core/RenderEngine.h"

namespace kvtest {
namespace {

// A text whose links stand one per line, so that line n (from 0) is link n.
class Links : public ::testing::Test {
protected:
    void Open(int links, bool enabled = true) {
        host.Build(Skin(L"<Text name=\"t\" showhtml=\"true\" height=\"180\"/>"));
        text = host.Find<CTextUI>(L"t");
        ASSERT_NE(nullptr, text);
        std::wstring markup;
        for (int i = 0; i < links; ++i) markup += L"<a>link" + std::to_wstring(i) + L"</a>\n";
        text->SetText(markup.c_str());
        text->SetEnabled(enabled);
        ASSERT_TRUE(host.Paint());
        const TEXTMETRICW& metrics = host.manager.GetFontInfo(-1)->metrics;
        lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    }
    // A point on the text of link `n`.
    POINT OnLink(int n) const { return POINT{text->GetX() + 2 + 6, text->GetY() + n * lineHeight + lineHeight / 2}; }
    void ClickAt(POINT pt) { host.Click(pt.x, pt.y); }
    // 1 when moving the mouse to `pt` repainted the window, else 0. The move
    // is sent, so what it invalidated waits when it returns: once nothing is
    // left to lay out or paint, the count of paints is final.
    int PaintsAfter(POINT pt) {
        const int before = host.Paints();
        host.Move(pt.x, pt.y);
        EXPECT_TRUE(PumpUntil([&] {
            RECT rc;
            return !host.manager.IsUpdateNeeded() && !GetUpdateRect(host.GetHWND(), &rc, FALSE);
        }));
        return host.Paints() > before ? 1 : 0;
    }

    Host host{300, 200};
    CTextUI* text = nullptr;
    int lineHeight = 0;
};

TEST_F(Links, ClickingTheSecondLinkSendsItsIndex) {
    Open(2);
    EXPECT_EQ(static_cast<UINT>(UIFLAG_SETCURSOR), text->GetControlFlags()) << "links make the text want the cursor";
    ClickAt(OnLink(1));
    const Notes::Note* link = host.notes.Last(L"link");
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(1u, link->wParam);
    EXPECT_EQ(0, link->lParam);
    EXPECT_EQ(text, link->sender);

    host.notes.Clear();
    ClickAt(OnLink(0));
    ASSERT_NE(nullptr, host.notes.Last(L"link"));
    EXPECT_EQ(0u, host.notes.Last(L"link")->wParam);
}

TEST_F(Links, ReleasingOutsideEveryLinkSendsNothing) {
    Open(2);
    const POINT link = OnLink(0);
    host.Move(link.x, link.y);
    host.Press(link.x, link.y);
    host.Release(text->GetX() + 250, link.y);
    EXPECT_EQ(0, host.notes.Count(L"link"));
    ClickAt(OnLink(5));
    EXPECT_EQ(0, host.notes.Count(L"link")) << "below the last line";
}

TEST_F(Links, OnlyEightLinksAreKnown) {
    Open(9);
    ClickAt(OnLink(7));
    ASSERT_NE(nullptr, host.notes.Last(L"link"));
    EXPECT_EQ(7u, host.notes.Last(L"link")->wParam);
    host.notes.Clear();
    ClickAt(OnLink(8));
    EXPECT_EQ(0, host.notes.Count(L"link")) << "the ninth link is drawn but not clickable";
}

TEST_F(Links, ADisabledTextSendsNoLink) {
    Open(2, false);
    ClickAt(OnLink(0));
    EXPECT_EQ(0, host.notes.Count(L"link"));
    EXPECT_EQ(0u, text->GetControlFlags());
}

TEST_F(Links, HoveringRepaintsOnlyWhenTheLinkUnderTheMouseChanges) {
    Open(2);
    POINT first = OnLink(0);
    EXPECT_EQ(1, PaintsAfter(first));
    ASSERT_TRUE(host.Paint());
    first.x += 3;
    EXPECT_EQ(0, PaintsAfter(first)) << "still the same link";
    EXPECT_EQ(1, PaintsAfter(OnLink(1)));
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(1, PaintsAfter(POINT{text->GetX() + 250, OnLink(1).y})) << "off every link";
}

TEST_F(Links, TheLinkUnderTheMouseShowsTheHand) {
    Open(1);
    TUIEvent event;
    event.type = EventSetCursor;
    event.mousePoint = POINT{text->GetX() + 250, OnLink(0).y};
    text->Event(event);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), GetCursor()) << "off the link";
    event.mousePoint = OnLink(0);
    text->Event(event);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), GetCursor());
}

TEST(Text, AnEmptyTextHasNoLinksAndWantsNoCursor) {
    Host host;
    host.Build(Skin(L"<Text name=\"t\" showhtml=\"true\" height=\"50\"/>"));
    auto* text = host.Find<CTextUI>(L"t");
    EXPECT_EQ(0u, text->GetControlFlags());
    text->SetText(L"<a>x</a>");
    ASSERT_TRUE(host.Paint());
    EXPECT_NE(0u, text->GetControlFlags());
    text->SetText(L"");
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(0u, text->GetControlFlags());
}

TEST(Text, PlainTextHasNoLinks) {
    Host host;
    host.Build(Skin(L"<Text name=\"t\" height=\"50\"/>"));
    auto* text = host.Find<CTextUI>(L"t");
    text->SetText(L"<a>x</a>");
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(0u, text->GetControlFlags());
}

TEST(Text, AutoCalcWidthMakesTheTextAsWideAsItsWords) {
    Host host;
    host.Build(
        L"<Window><HorizontalLayout><Text name=\"t\" text=\"Hello\" autocalcwidth=\"true\"/>"
        L"<Control/></HorizontalLayout></Window>");
    auto* text = host.Find<CTextUI>(L"t");
    const int width = CRenderEngine::GetTextSize(host.manager.GetPaintDC(), &host.manager, L"Hello", -1).cx;
    EXPECT_EQ(width + 4, text->GetWidth()) << "the text plus its padding of 2 on each side";
}

}  // namespace
}  // namespace kvtest
