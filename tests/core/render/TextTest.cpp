// Plain text through GDI and GDI+, and the mini-markup. Font metrics under
// Wine differ from Windows, so text is compared with text, never with pixels
// of known glyphs.
#include <gtest/gtest.h>

#include "RenderKit.h"
#include "support/TestKit.h"
#include "ui/core/RenderEngine.h"

using KvUI::CRenderEngine;
using KvUI::CUIString;
using rendertest::B;
using rendertest::Canvas;
using rendertest::G;
using rendertest::R;

namespace {

constexpr DWORD kWhite = 0xFFFFFFFF;

bool IsInk(DWORD c) { return R(c) < 128 && G(c) < 128 && B(c) < 128; }
bool IsRed(DWORD c) { return R(c) > 180 && G(c) < 80 && B(c) < 80; }
bool IsBlue(DWORD c) { return B(c) > 180 && R(c) < 80 && G(c) < 80; }
bool IsHoverRed(DWORD c) { return R(c) > 160 && G(c) < 80 && B(c) > 50 && B(c) < 140; }  // 0xD3215F
bool IsSelection(DWORD c) { return R(c) == 0xBA && G(c) == 0xE4 && B(c) == 0xFF; }       // 0xBAE4FF

class Text : public ::testing::Test {
protected:
    rendertest::ManagedWindow m_window;
    Canvas m_canvas{400, 200, kWhite};

    KvUI::CPaintManagerUI* manager() { return &m_window.manager(); }

    LONG PlainWidth(LPCTSTR text, UINT style = DT_SINGLELINE) {
        RECT rc = {0, 0, 1000, 100};
        CRenderEngine::DrawText(m_canvas.dc(), manager(), rc, text, 0xFF000000, -1, style | DT_CALCRECT);
        return rc.right - rc.left;
    }

    RECT Measure(LPCTSTR text, UINT style = DT_SINGLELINE, RECT rc = {0, 0, 1000, 100}) {
        int links = 0;
        CRenderEngine::DrawHtmlText(m_canvas.dc(), manager(), rc, text, 0xFF000000, nullptr, nullptr, links, -1,
                                    style | DT_CALCRECT);
        return rc;
    }
    LONG Width(LPCTSTR text) {
        const RECT rc = Measure(text);
        return rc.right - rc.left;
    }
    LONG Height(LPCTSTR text, UINT style, LONG width = 1000) {
        const RECT rc = Measure(text, style, RECT{0, 0, width, 100});
        return rc.bottom - rc.top;
    }
    void Draw(LPCTSTR text, RECT rc, UINT style = DT_SINGLELINE, DWORD color = 0xFF000000) {
        int links = 0;
        CRenderEngine::DrawHtmlText(m_canvas.dc(), manager(), rc, text, color, nullptr, nullptr, links, -1, style);
    }
};

TEST_F(Text, GdiMeasuresAndDrawsInsideTheRectangle) {
    EXPECT_GT(PlainWidth(L"ab"), 0);
    EXPECT_GT(PlainWidth(L"abcdef"), PlainWidth(L"ab"));
    RECT rc = {10, 10, 200, 40};
    CRenderEngine::DrawText(m_canvas.dc(), manager(), rc, L"Hello", 0xFF000000, -1, DT_SINGLELINE);
    EXPECT_GT(m_canvas.CountWhere(RECT{10, 10, 200, 40}, IsInk), 0);
    EXPECT_EQ(0, m_canvas.CountNot(RECT{0, 40, 400, 200}, kWhite));
}

TEST_F(Text, CharacterReferenceDrawsOnlyThatCharacter) {
    const LONG a = PlainWidth(L"A");
    EXPECT_EQ(a, PlainWidth(L"abc &#x41"));
    EXPECT_EQ(a, PlainWidth(L"&#x41;"));
    EXPECT_EQ(a, PlainWidth(L"x&#x41; and more text"));
    EXPECT_EQ(PlainWidth(L"\xe601"), PlainWidth(L"&#xe601;"));

    RECT one = {0, 0, 100, 40};
    CRenderEngine::DrawText(m_canvas.dc(), manager(), one, L"A", 0xFF000000, -1, DT_SINGLELINE);
    const int inkOfA = m_canvas.CountWhere(m_canvas.rect(), IsInk);
    m_canvas.Fill(kWhite);
    RECT ref = {0, 0, 100, 40};
    CRenderEngine::DrawText(m_canvas.dc(), manager(), ref, L"WWW&#x41", 0xFF000000, -1, DT_SINGLELINE);
    EXPECT_EQ(inkOfA, m_canvas.CountWhere(m_canvas.rect(), IsInk));
}

TEST_F(Text, GdiplusPathMeasuresAndDraws) {
    manager()->SetUseGdiplusText(true);
    EXPECT_GT(PlainWidth(L"abcdef"), PlainWidth(L"ab"));
    RECT rc = {10, 10, 300, 60};
    CRenderEngine::DrawText(m_canvas.dc(), manager(), rc, L"Hello", 0xFF000000, -1, DT_SINGLELINE | DT_VCENTER);
    EXPECT_GT(m_canvas.CountWhere(RECT{10, 10, 300, 60}, IsInk), 0);
    EXPECT_EQ(0, m_canvas.CountNot(RECT{0, 70, 400, 200}, kWhite));
}

TEST_F(Text, NothingWithoutTextOrManager) {
    RECT rc = {0, 0, 100, 40};
    CRenderEngine::DrawText(m_canvas.dc(), manager(), rc, nullptr, 0xFF000000, -1, 0);
    CRenderEngine::DrawText(m_canvas.dc(), nullptr, rc, L"x", 0xFF000000, -1, 0);
    int links = 3;
    CRenderEngine::DrawHtmlText(m_canvas.dc(), nullptr, rc, L"x", 0xFF000000, nullptr, nullptr, links, -1, 0);
    EXPECT_EQ(0, links);
    EXPECT_EQ(0, m_canvas.CountNot(m_canvas.rect(), kWhite));
    const SIZE none = CRenderEngine::GetTextSize(m_canvas.dc(), manager(), nullptr, -1);
    EXPECT_EQ(0, none.cx);
}

TEST_F(Text, TextWithColorFillsTheBackgroundFirst) {
    RECT rc = {0, 0, 100, 40};
    CRenderEngine::DrawTextWithColor(m_canvas.dc(), manager(), rc, L"x", 0xFF000000, -1, DT_SINGLELINE,
                                     0xFF0000FF);
    EXPECT_TRUE(IsBlue(m_canvas.Pixel(99, 39)));
    EXPECT_EQ(kWhite, m_canvas.Pixel(100, 40));
}

TEST_F(Text, MarkupCalcRectDrawsNothingAndShrinksToTheText) {
    const RECT rc = Measure(L"hello {b}world{/b}", DT_SINGLELINE, RECT{10, 10, 500, 100});
    EXPECT_EQ(0, m_canvas.CountNot(m_canvas.rect(), kWhite));
    EXPECT_EQ(10, rc.left);
    EXPECT_GT(rc.right, 10);
    EXPECT_LT(rc.right, 500);
    EXPECT_GT(rc.bottom, 10);
    EXPECT_LT(rc.bottom, 100);
    EXPECT_EQ(Width(L"hello {b}world{/b}"), rc.right - rc.left);
}

TEST_F(Text, MarkupRunsInBoldAndInColour) {
    EXPECT_GT(Width(L"{b}WWWWWWWW{/b}"), Width(L"WWWWWWWW"));
    Draw(L"a {b}bold{/b} {c #FF0000}red{/c}", RECT{0, 0, 400, 40});
    EXPECT_GT(m_canvas.CountWhere(m_canvas.rect(), IsInk), 0);
    EXPECT_GT(m_canvas.CountWhere(m_canvas.rect(), IsRed), 0);
    m_canvas.Fill(kWhite);
    Draw(L"{c FF0000}red{/c}black", RECT{0, 0, 400, 40});
    EXPECT_GT(m_canvas.CountWhere(m_canvas.rect(), IsRed), 0);
    EXPECT_GT(m_canvas.CountWhere(m_canvas.rect(), IsInk), 0);
}

// The inner {b} pushes nothing (the text is bold already), so its {/b} must
// not pop the outer bold.
TEST_F(Text, ClosingTagPopsOnlyAFontItsOpeningTagPushed) {
    EXPECT_EQ(Width(L"{b}WWWWWWWWWW{/b}"), Width(L"{b}W{b}W{/b}WWWWWWWW{/b}"));
    EXPECT_EQ(Width(L"{u}{b}WWWWWWWWWW{/b}{/u}"), Width(L"{u}{b}W{b}W{/b}WWWWWWWW{/b}{/u}"));
    // A closing tag that opened nothing changes nothing.
    EXPECT_EQ(Width(L"{b}WWWWWWWWWW{/b}"), Width(L"{b}WW{/u}{/i}WWWWWWWW{/b}"));
    // Closed out of order, every pushed font is still popped: no bold after the tags.
    EXPECT_EQ(Width(L"{b}{u}WW{/u}{/b}WWWWWWWW"), Width(L"{b}{u}WW{/b}{/u}WWWWWWWW"));
}

TEST_F(Text, EscapesAndRawTextShowTheBrackets) {
    const auto size = [&](LPCTSTR text) { return CRenderEngine::GetTextSize(m_canvas.dc(), manager(), text, -1).cx; };
    EXPECT_EQ(size(L"{"), Width(L"<{>"));
    EXPECT_EQ(size(L">"), Width(L"{>}"));
    EXPECT_EQ(size(L"{b}x{/b}"), Width(L"{r}{b}x{/b}{/r}"));
    EXPECT_EQ(size(L"a<b"), Width(L"a<b"));
}

TEST_F(Text, ParagraphBreaksOnlyInMidLine) {
    const UINT style = DT_WORDBREAK;
    const LONG one = Height(L"abc", style);
    EXPECT_GE(Height(L"{p 10}abc", style), one);
    EXPECT_LT(Height(L"{p 10}abc", style), 2 * one);
    EXPECT_GE(Height(L"x{p 10}abc", style), 2 * one);
    EXPECT_GE(Height(L"abc{n}def", style), 2 * one);
    EXPECT_EQ(one, Height(L"abc{n}def", DT_SINGLELINE));
}

TEST_F(Text, WordBreakWrapsAndTheWidestLineIsReported) {
    const LONG word = Width(L"aaaa");
    const RECT rc = Measure(L"aaaa bbbb cccc", DT_WORDBREAK, RECT{0, 0, word + word / 2, 300});
    EXPECT_GE(rc.bottom, 3 * Height(L"aaaa", DT_SINGLELINE));
    EXPECT_LE(rc.right, word + word / 2);
}

TEST_F(Text, EllipsisKeepsTheTextInsideAndNeverHangs) {
    const LONG full = Width(L"a long line of text that does not fit");
    const RECT rc = Measure(L"a long line of text that does not fit", DT_SINGLELINE | DT_END_ELLIPSIS,
                            RECT{0, 0, full / 2, 40});
    EXPECT_EQ(full / 2, rc.right);
    Draw(L"a long line of text that does not fit", RECT{0, 0, full / 2, 40}, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_GT(m_canvas.CountWhere(RECT{0, 0, full / 2, 40}, IsInk), 0);
    EXPECT_EQ(0, m_canvas.CountNot(RECT{full / 2, 0, 400, 200}, kWhite));
    // Narrower than any character: each line would place nothing again.
    const RECT tiny = Measure(L"aaaa bbbb cccc", DT_WORDBREAK | DT_END_ELLIPSIS, RECT{0, 0, 1, 40});
    EXPECT_LE(tiny.right, 1);
}

TEST_F(Text, SingleLineCentreMovesTheTextToTheMiddle) {
    Draw(L"{b}mid{/b}", RECT{0, 0, 400, 40}, DT_SINGLELINE | DT_CENTER);
    EXPECT_EQ(0, m_canvas.CountWhere(RECT{0, 0, 150, 40}, IsInk));
    EXPECT_GT(m_canvas.CountWhere(RECT{150, 0, 250, 40}, IsInk), 0);
}

TEST_F(Text, SelectionPaintsTheSelectedColourBehind) {
    Draw(L"{s}selected{/s} plain", RECT{0, 0, 400, 40});
    EXPECT_GT(m_canvas.CountWhere(m_canvas.rect(), IsSelection), 0);
}

struct Links {
    RECT rects[8] = {};
    CUIString texts[8];
    int count = 8;
};

TEST_F(Text, LinksReportTheirRectanglesAndTexts) {
    Links links;
    RECT rc = {0, 0, 400, 40};
    CRenderEngine::DrawHtmlText(m_canvas.dc(), manager(), rc, L"see {a first}one{/a} and {a second}two{/a}",
                                0, links.rects, links.texts, links.count, -1, DT_SINGLELINE);
    ASSERT_EQ(2, links.count);
    EXPECT_STREQ(L"first", links.texts[0]);
    EXPECT_STREQ(L"second", links.texts[1]);
    EXPECT_GT(links.rects[0].left, 0);
    EXPECT_LT(links.rects[0].left, links.rects[0].right);
    EXPECT_LE(links.rects[0].right, links.rects[1].left);
    EXPECT_LT(links.rects[0].top, links.rects[0].bottom);
    // With colour 0 the links take the window's link colour.
    EXPECT_GT(m_canvas.CountWhere(m_canvas.rect(), IsBlue), 0);
}

TEST_F(Text, ALinkWrappingOverTwoLinesHasTwoRectanglesWithOneText) {
    const LONG width = Width(L"xx link text");
    Links links;
    RECT rc = {0, 0, width, 200};
    CRenderEngine::DrawHtmlText(m_canvas.dc(), manager(), rc, L"xx {a target}link text that wraps{/a} yy", 0,
                                links.rects, links.texts, links.count, -1, DT_WORDBREAK);
    ASSERT_GE(links.count, 2);
    EXPECT_STREQ(L"target", links.texts[0]);
    EXPECT_STREQ(L"target", links.texts[1]);
    EXPECT_LE(links.rects[0].bottom, links.rects[1].top);
    EXPECT_EQ(0, links.rects[1].left);
    EXPECT_LT(links.rects[1].left, links.rects[1].right);
}

TEST_F(Text, LinksBeyondTheCapacityAreNotRecorded) {
    RECT rects[2] = {};
    CUIString texts[2];
    int count = 2;
    RECT rc = {0, 0, 400, 40};
    CRenderEngine::DrawHtmlText(m_canvas.dc(), manager(), rc, L"{a 1}a{/a}{a 2}b{/a}{a 3}c{/a}", 0, rects, texts,
                                count, -1, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(2, count);
    EXPECT_STREQ(L"2", texts[1]);
}

TEST_F(Text, HoveredLinkTakesTheHoverColour) {
    Links links;
    RECT rc = {0, 0, 400, 40};
    const LPCTSTR text = L"{a here}hover over me{/a}";
    CRenderEngine::DrawHtmlText(m_canvas.dc(), manager(), rc, text, 0, links.rects, links.texts, links.count, -1,
                                DT_SINGLELINE);
    ASSERT_EQ(1, links.count);
    const RECT link = links.rects[0];
    LRESULT result = 0;
    manager()->MessageHandler(WM_MOUSEMOVE, 0, MAKELPARAM((link.left + link.right) / 2, (link.top + link.bottom) / 2),
                              result);
    m_canvas.Fill(kWhite);
    rc = {0, 0, 400, 40};
    CRenderEngine::DrawHtmlText(m_canvas.dc(), manager(), rc, text, 0, links.rects, links.texts, links.count, -1,
                                DT_SINGLELINE);
    EXPECT_GT(m_canvas.CountWhere(m_canvas.rect(), IsHoverRed), 0);
    EXPECT_EQ(0, m_canvas.CountWhere(m_canvas.rect(), IsBlue));
}

class MarkupImages : public Text {
protected:
    void SetUp() override {
        // 8 x 2 pixels: four frames of red, green, blue and black.
        static constexpr DWORD kFrames[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000};
        const auto frame = [](int x, int) { return kFrames[x / 2]; };
        rendertest::MakeImageFile("frames.png", 8, 2, rendertest::Rgba(rendertest::PixelGrid(8, 2, frame)));
        KvUI::CPaintManagerUI::SetResourcePath(kvtest::WorkDir().c_str());
    }
    void TearDown() override { KvUI::CPaintManagerUI::SetResourcePath(L""); }

    static bool IsGreen(DWORD c) { return G(c) > 200 && R(c) < 50 && B(c) < 50; }
};

TEST_F(MarkupImages, ImageTagDrawsOneFrame) {
    EXPECT_EQ(2, Width(L"{i frames.png 4 2}"));
    Draw(L"{i frames.png 4 2}", RECT{0, 0, 100, 40});
    EXPECT_EQ(4, m_canvas.CountWhere(m_canvas.rect(), IsBlue));
    EXPECT_EQ(0, m_canvas.CountWhere(m_canvas.rect(), IsRed));
    m_canvas.Fill(kWhite);
    Draw(L"{i frames.png 4 4}", RECT{0, 0, 100, 40});  // out of range: the first frame
    EXPECT_EQ(4, m_canvas.CountWhere(m_canvas.rect(), IsRed));
    m_canvas.Fill(kWhite);
    Draw(L"{i file='frames.png' 4 1}", RECT{0, 0, 100, 40});
    EXPECT_EQ(4, m_canvas.CountWhere(m_canvas.rect(), IsGreen));
}

// A file key further on in the text belongs to that later tag: the first tag
// still draws its own image by name.
TEST_F(MarkupImages, ImageTagTakesItsFileKeysFromItsOwnTagOnly) {
    EXPECT_EQ(4, Width(L"{i frames.png 4 2}{i file='frames.png' 4 1}"));
    Draw(L"{i frames.png 4 2} and {i file='frames.png' 4 1}", RECT{0, 0, 300, 40});
    EXPECT_EQ(4, m_canvas.CountWhere(m_canvas.rect(), IsBlue));
    EXPECT_EQ(4, m_canvas.CountWhere(m_canvas.rect(), IsGreen));
}

TEST_F(MarkupImages, AnImageThatDoesNotFitStartsTheNextLine) {
    const LONG text = Width(L"abc");
    const RECT rc = Measure(L"abc{i frames.png}", DT_WORDBREAK, RECT{0, 0, text + 4, 100});
    EXPECT_GT(rc.bottom - rc.top, Height(L"abc", DT_SINGLELINE));
}

}  // namespace
