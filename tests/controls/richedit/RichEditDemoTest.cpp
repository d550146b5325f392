// A demo window with rich edits: one focused with its caret and then a
// selection, one unfocused with text, one empty showing its tip; Chinese and
// Latin text. With KV_CONTROLS_SCREENSHOT set to a Unix path it photographs
// the screen in both moments ("-caret" and "-selection" are added to the name).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/richedit/RichEditKit.h"

namespace kvtest {
namespace {

const wchar_t kDemoSkin[] =
    LR"skin(<Window defaultfontcolor="#FF202020">
<Font id="0" name="Tahoma" size="16"/>
<VerticalLayout bkcolor="#FFF4F6F8" inset="16,12,16,12" childpadding="10">
  <Label text="Rich edit demo" font="0" height="24"/>
  <RichEdit name="focused" font="0" height="80" bkcolor="#FFFFFFFF" bordersize="1" bordercolor="#FF3C8DDC"
            textpadding="4,4,4,4" text="宠物店 Korvanthel: 猫 cats, 狗 dogs"/>
  <RichEdit name="unfocused" font="0" height="80" bkcolor="#FFFFFFFF" bordersize="1" bordercolor="#FFB0B0B0"
            textpadding="4,4,4,4" textcolor="#FF1F6FD0" text="Latin text and 中文文本 side by side"/>
  <RichEdit name="empty" font="0" height="40" bkcolor="#FFFFFFFF" bordersize="1" bordercolor="#FFB0B0B0"
            textpadding="4,4,4,4" tipvalue="请输入宠物名称 (pet name)" multiline="false"/>
</VerticalLayout>
</Window>)skin";

void Photograph(const char* suffix) {
    if (const char* shot = std::getenv("KV_CONTROLS_SCREENSHOT")) {
        std::string path(shot);
        const size_t dot = path.rfind('.');
        path.insert(dot == std::string::npos ? path.size() : dot, suffix);
        EXPECT_EQ(0, RunUnix({"import", "-window", "root", path}));
    }
}

TEST(RichEditDemo, ShowsFocusedUnfocusedAndEmptyEdits) {
    Host host(480, 320);
    host.Build(kDemoSkin);
    auto* focused = host.Find<CRichEditUI>(L"focused");
    ::SetFocus(host.GetHWND());
    focused->SetFocus();
    focused->SetSel(3, 3);
    ASSERT_TRUE(host.Paint());
    EXPECT_EQ(L"宠物店 Korvanthel: 猫 cats, 狗 dogs", std::wstring(focused->GetText().GetData()));
    Photograph("-caret");

    focused->SetSel(4, 14);
    ASSERT_TRUE(host.Paint());
    const RECT& rc = focused->GetPos();
    int highlighted = 0;
    for (int y = rc.top; y < rc.bottom; ++y) highlighted += host.CountInRow(y, rc.left, rc.right, 0xFFFFFF) == 0;
    EXPECT_GT(highlighted, 0) << "rows of the selection's highlight";
    Photograph("-selection");
}

}  // namespace
}  // namespace kvtest
