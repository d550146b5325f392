// The label: its size estimate (fixed, font height, measured text), the text
// style its attributes build, and the colours its text is painted in.
#include <gtest/gtest.h>

#include "controls/ControlsKit.h"
#include "ui/core/RenderEngine.h"

namespace kvtest {
namespace {

constexpr DWORD kBlue = 0x0000FF;
constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kWhite = 0xFFFFFF;

int FontHeight(Host& host, int font = -1) { return host.manager.GetFontInfo(font)->metrics.tmHeight; }

int TextWidth(Host& host, LPCTSTR text) {
    return CRenderEngine::GetTextSize(host.manager.GetPaintDC(), &host.manager, text, -1).cx;
}

// A big bold font, so that strokes have pixels of the exact text colour.
const std::wstring kBigFont = L"<Font id=\"0\" name=\"Tahoma\" size=\"40\" bold=\"true\"/>";

TEST(LabelSize, WithoutFixedSizeItIsTheFontHeightPlusEightHighAndNoWidth) {
    Host host;
    host.Build(Skin(L"<Label name=\"l\" text=\"Hello\"/>"));
    auto* label = host.Find<CLabelUI>(L"l");
    ASSERT_NE(nullptr, label);
    const SIZE size = label->EstimateSize(SIZE{300, 200});
    EXPECT_EQ(FontHeight(host) + 8, size.cy);
    EXPECT_EQ(0, size.cx);
}

TEST(LabelSize, AFixedSizeWins) {
    Host host;
    host.Build(Skin(L"<Label name=\"l\" text=\"Hello\" width=\"70\" height=\"30\" autocalcwidth=\"true\"/>"));
    const SIZE size = host.Find<CLabelUI>(L"l")->EstimateSize(SIZE{300, 200});
    EXPECT_EQ(70, size.cx);
    EXPECT_EQ(30, size.cy);
}

TEST(LabelSize, AutoCalcWidthFollowsTheTextPlusPadding) {
    Host host;
    host.Build(Skin(L"<Label name=\"l\" text=\"Hello world\" autocalcwidth=\"true\" textpadding=\"3,2,5,4\"/>"));
    const SIZE size = host.Find<CLabelUI>(L"l")->EstimateSize(SIZE{300, 200});
    EXPECT_EQ(TextWidth(host, L"Hello world") + 8, size.cx);
    EXPECT_EQ(FontHeight(host) + 8 + 6, size.cy) << "the top and bottom padding add to the height";
}

TEST(LabelSize, ASelfSizingLabelIsMeasuredAgainAfterItsTextChanges) {
    Host host;
    host.Build(
        L"<Window><HorizontalLayout><Label name=\"l\" text=\"Hi\" autocalcwidth=\"true\"/>"
        L"<Control/></HorizontalLayout></Window>");
    auto* label = host.Find<CLabelUI>(L"l");
    ASSERT_NE(nullptr, label);
    EXPECT_EQ(TextWidth(host, L"Hi"), label->GetWidth());

    label->SetText(L"A much longer text than before");
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(TextWidth(host, L"A much longer text than before"), label->GetWidth())
        << "the layout gave the label its new text's width";
}

TEST(LabelSize, AWordBreakingLabelWithAutoCalcHeightGrowsWithItsLines) {
    Host host;
    host.Build(
        Skin(L"<Label name=\"l\" width=\"60\" wordbreak=\"true\" autocalcheight=\"true\" "
             L"text=\"one two three four five six seven eight\"/>"));
    const SIZE size = host.Find<CLabelUI>(L"l")->EstimateSize(SIZE{300, 200});
    EXPECT_GE(size.cy, 3 * FontHeight(host)) << "several lines in 60 pixels";
}

TEST(LabelStyle, AttributesBuildTheTextStyle) {
    CLabelUI label;
    EXPECT_EQ(static_cast<UINT>(DT_VCENTER | DT_SINGLELINE), label.GetTextStyle());
    label.SetAttribute(L"align", L"right");
    label.SetAttribute(L"align", L"left");
    EXPECT_EQ(0u, label.GetTextStyle() & (DT_CENTER | DT_RIGHT)) << "right then left is left";
    label.SetAttribute(L"align", L"center");
    EXPECT_EQ(static_cast<UINT>(DT_CENTER), label.GetTextStyle() & (DT_CENTER | DT_RIGHT));

    label.SetAttribute(L"wordbreak", L"true");
    EXPECT_EQ(0u, label.GetTextStyle() & DT_SINGLELINE);
    EXPECT_EQ(static_cast<UINT>(DT_WORDBREAK | DT_EDITCONTROL), label.GetTextStyle() & (DT_WORDBREAK | DT_EDITCONTROL));
    label.SetAttribute(L"valign", L"vcenter");
    EXPECT_EQ(static_cast<UINT>(DT_VCENTER | DT_SINGLELINE),
              label.GetTextStyle() & (DT_VCENTER | DT_SINGLELINE | DT_WORDBREAK));

    label.SetAttribute(L"valign", L"bottom");
    EXPECT_EQ(static_cast<UINT>(DT_BOTTOM | DT_SINGLELINE),
              label.GetTextStyle() & (DT_BOTTOM | DT_VCENTER | DT_SINGLELINE));
    const UINT before = label.GetTextStyle();
    label.SetAttribute(L"valign", L"center");
    EXPECT_EQ(before, label.GetTextStyle()) << "\"center\" is no vertical alignment";

    label.SetAttribute(L"endellipsis", L"true");
    label.SetAttribute(L"noprefix", L"TRUE");
    EXPECT_EQ(static_cast<UINT>(DT_END_ELLIPSIS | DT_NOPREFIX), label.GetTextStyle() & (DT_END_ELLIPSIS | DT_NOPREFIX));
    label.SetAttribute(L"wordbreak", L"false");
    EXPECT_EQ(static_cast<UINT>(DT_SINGLELINE), label.GetTextStyle() & (DT_SINGLELINE | DT_WORDBREAK | DT_EDITCONTROL));
}

TEST(LabelPaint, WithoutItsOwnColourTheTextTakesTheDefaultAndKeepsIt) {
    Host host;
    host.manager.SetDefaultColor2(0xFF0000FF);
    host.Build(Skin(L"<Label name=\"l\" font=\"0\" text=\"HIH\" height=\"60\"/>", kBigFont));
    auto count = [&](DWORD colour) {
        int n = 0;
        for (int y = 0; y < 60; ++y) n += host.CountInRow(y, 0, 300, colour);
        return n;
    };
    EXPECT_GT(count(kBlue), 50);

    host.manager.SetDefaultColor2(0xFFFF0000);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(0, count(kRed)) << "the label took the default once and kept it";
    EXPECT_GT(count(kBlue), 50);
}

TEST(LabelPaint, ADisabledLabelUsesTheDisabledTextColour) {
    Host host;
    host.Build(
        Skin(L"<Label name=\"l\" font=\"0\" text=\"HIH\" height=\"60\" textcolor=\"#FF0000FF\" "
             L"disabledtextcolor=\"#FFFF0000\" enabled=\"false\"/>",
             kBigFont));
    int red = 0;
    int blue = 0;
    for (int y = 0; y < 60; ++y) {
        red += host.CountInRow(y, 0, 300, kRed);
        blue += host.CountInRow(y, 0, 300, kBlue);
    }
    EXPECT_GT(red, 50);
    EXPECT_EQ(0, blue);
}

TEST(LabelPaint, AnEmptyTextPaintsNothing) {
    Host host;
    host.Build(Skin(L"<Label name=\"l\" font=\"0\" height=\"60\" textcolor=\"#FF0000FF\"/>", kBigFont));
    for (int y = 0; y < 60; y += 3) EXPECT_EQ(300, host.CountInRow(y, 0, 300, kWhite)) << "row " << y;
}

TEST(LabelPaint, TextPaddingMovesTheText) {
    Host host;
    host.Build(
        Skin(L"<Label name=\"l\" font=\"0\" text=\"HIH\" height=\"60\" textcolor=\"#FF0000FF\" "
             L"textpadding=\"150,0,0,0\"/>",
             kBigFont));
    for (int y = 0; y < 60; ++y) ASSERT_EQ(0, host.CountInRow(y, 0, 150, kBlue)) << "row " << y;
}

}  // namespace
}  // namespace kvtest
