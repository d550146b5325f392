// The image draw string grammar: keys, values, the modify string and scaling.
#include <gtest/gtest.h>

#include "RenderKit.h"
#include "ui/core/ImageInfo.h"

using KvUI::TImageDrawSpec;

namespace {

TImageDrawSpec Parse(LPCTSTR draw, LPCTSTR modify = nullptr) {
    TImageDrawSpec spec;
    spec.Parse(draw, modify, nullptr);
    return spec;
}

void ExpectRect(const RECT& rc, LONG l, LONG t, LONG r, LONG b) {
    EXPECT_EQ(l, rc.left);
    EXPECT_EQ(t, rc.top);
    EXPECT_EQ(r, rc.right);
    EXPECT_EQ(b, rc.bottom);
}

TEST(ImageDrawSpec, BareNameIsTheImageName) {
    const TImageDrawSpec spec = Parse(L"skin/a.png");
    EXPECT_STREQ(L"skin/a.png", spec.imageName);
    EXPECT_EQ(255, spec.fade);
    ExpectRect(spec.dest, 0, 0, 0, 0);
}

TEST(ImageDrawSpec, ReadsEveryKey) {
    const TImageDrawSpec spec = Parse(
        L"file='btn.png' restype='PNG' dest='1,2,3,4' source='5,6,7,8' corner='9,10,11,12' mask='#FF00FF00' "
        L"fade='128' hole='TRUE' xtiled='true' ytiled='True' hsl='true' iconsize='16,24' iconalign='left'");
    EXPECT_STREQ(L"btn.png", spec.imageName);
    EXPECT_STREQ(L"PNG", spec.resType);
    ExpectRect(spec.dest, 1, 2, 3, 4);
    ExpectRect(spec.source, 5, 6, 7, 8);
    ExpectRect(spec.corner, 9, 10, 11, 12);
    EXPECT_EQ(0xFF00FF00u, spec.mask);
    EXPECT_EQ(128, spec.fade);
    EXPECT_TRUE(spec.hole);
    EXPECT_TRUE(spec.xtiled);
    EXPECT_TRUE(spec.ytiled);
    EXPECT_TRUE(spec.hsl);
    EXPECT_EQ(16, spec.iconSize.cx);
    EXPECT_EQ(24, spec.iconSize.cy);
    EXPECT_STREQ(L"left", spec.iconAlign);
}

TEST(ImageDrawSpec, ResIsASynonymOfFileAndKeysAreCaseSensitive) {
    EXPECT_STREQ(L"r.png", Parse(L"res='r.png'").imageName);
    const TImageDrawSpec spec = Parse(L"file='a.png' Fade='10'");
    EXPECT_EQ(255, spec.fade);
}

TEST(ImageDrawSpec, ModifyStringOverridesTheDrawString) {
    const TImageDrawSpec spec = Parse(L"file='a.png' source='0,0,10,10' corner='2,2,2,2'", L"source='10,0,20,10'");
    EXPECT_STREQ(L"a.png", spec.imageName);
    ExpectRect(spec.source, 10, 0, 20, 10);
    ExpectRect(spec.corner, 2, 2, 2, 2);
    EXPECT_STREQ(L"source='10,0,20,10'", spec.modifyString);
}

TEST(ImageDrawSpec, ParsingStopsWhereNoBlankFollowsAValue) {
    const TImageDrawSpec spec = Parse(L"file='a.png'dest='0,0,5,5'");
    EXPECT_STREQ(L"a.png", spec.imageName);
    ExpectRect(spec.dest, 0, 0, 0, 0);
}

TEST(ImageDrawSpec, MalformedPairsKeepWhatWasReadBefore) {
    EXPECT_EQ(7, Parse(L"fade='7' dest='1,2,3,4").fade);           // value never closed
    ExpectRect(Parse(L"fade='7' dest='1,2,3,4").dest, 0, 0, 0, 0);
    EXPECT_EQ(7, Parse(L"fade='7' dest=1,2,3,4").fade);            // no apostrophe
    EXPECT_EQ(255, Parse(L"fade=''").fade);                         // empty value ignored
    EXPECT_EQ(9, Parse(L"  fade = '9'").fade);                      // blanks around "="
}

TEST(ImageDrawSpec, AnySingleSeparatorBetweenNumbers) {
    ExpectRect(Parse(L"dest='1;2;3;4'").dest, 1, 2, 3, 4);
    ExpectRect(Parse(L"dest='1,2,3,4'").dest, 1, 2, 3, 4);
}

// A short list ends at its own terminator: the missing numbers are 0 and
// nothing of the following key leaks into them.
TEST(ImageDrawSpec, ShortNumberListsStopAtTheEndOfTheValue) {
    const TImageDrawSpec spec = Parse(L"dest='5' corner='7,8' source='1,2,3,4'");
    ExpectRect(spec.dest, 5, 0, 0, 0);
    ExpectRect(spec.corner, 7, 8, 0, 0);
    ExpectRect(spec.source, 1, 2, 3, 4);
    // A short list after a long one: what the long value left in memory stays unread.
    ExpectRect(Parse(L"source='1,2,3,4' dest='5'").dest, 5, 0, 0, 0);
    const TImageDrawSpec icon = Parse(L"iconsize='12' fade='3'");
    EXPECT_EQ(12, icon.iconSize.cx);
    EXPECT_EQ(0, icon.iconSize.cy);
    EXPECT_EQ(3, icon.fade);
}

TEST(ImageDrawSpec, MaskWithAndWithoutHashIsTheSameColour) {
    EXPECT_EQ(0xFFFF00FFu, Parse(L"mask='#FFFF00FF'").mask);
    EXPECT_EQ(0xFFFF00FFu, Parse(L"mask='FFFF00FF'").mask);
}

TEST(ImageDrawSpec, FadeOutsideAByteIsClamped) {
    EXPECT_EQ(255, Parse(L"fade='300'").fade);
    EXPECT_EQ(0, Parse(L"fade='-4'").fade);
}

TEST(ImageDrawSpec, ParseStartsFromDefaults) {
    TImageDrawSpec spec;
    spec.Parse(L"file='a.png' fade='1' hole='true' dest='1,1,2,2'", nullptr, nullptr);
    spec.Parse(L"b.png", nullptr, nullptr);
    EXPECT_STREQ(L"b.png", spec.imageName);
    EXPECT_EQ(255, spec.fade);
    EXPECT_FALSE(spec.hole);
    ExpectRect(spec.dest, 0, 0, 0, 0);
    spec.Clear();
    EXPECT_TRUE(spec.imageName.IsEmpty());
    EXPECT_TRUE(spec.drawString.IsEmpty());
}

TEST(ImageDrawSpec, AtOneHundredPercentTheManagerChangesNothing) {
    rendertest::ManagedWindow window;
    TImageDrawSpec spec;
    spec.Parse(L"file='skin.v2/a.png' dest='1,1,3,3'", nullptr, &window.manager());
    EXPECT_STREQ(L"skin.v2/a.png", spec.imageName);
    ExpectRect(spec.dest, 1, 1, 3, 3);
}

TEST(ImageDrawSpec, OtherScalesAskForTheMatchingFileAndScaleRectangles) {
    rendertest::ManagedWindow window;
    window.manager().GetScaler()->SetDPI(120);  // 125 %
    TImageDrawSpec spec;
    spec.Parse(L"file='skin.v2/a.png' dest='4,4,8,12' corner='2,2,2,2' iconsize='10,10'", L"source='0,0,8,8'",
               &window.manager());
    EXPECT_STREQ(L"skin@125.v2/a@125.png", spec.imageName);
    ExpectRect(spec.dest, 5, 5, 10, 15);
    ExpectRect(spec.corner, 3, 3, 3, 3);
    ExpectRect(spec.source, 0, 0, 10, 10);
    EXPECT_EQ(10, spec.iconSize.cx);  // not scaled
}

}  // namespace
