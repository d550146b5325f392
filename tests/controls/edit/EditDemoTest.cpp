// A demo window with every text input control, Chinese and Latin text, each
// field in turn focused with its native window open. With
// KV_CONTROLS_SCREENSHOT set to a Unix path it photographs the screen once
// per focused field ("<path>-<field>.png"), for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>

#include "controls/edit/EditKit.h"

namespace kvtest {
namespace {

const wchar_t kDemoSkin[] =
    LR"(<Window defaultfontcolor="#FF202020" disabledfontcolor="#FFA0A0A0">
<Font id="0" name="WenQuanYi Micro Hei" size="14"/>
<Default name="Edit" value="font=&quot;0&quot; height=&quot;28&quot; bordersize=&quot;1&quot; bordercolor=&quot;#FF8899AA&quot; focusbordercolor=&quot;#FF1F6FD0&quot;"/>
<VerticalLayout name="root" bkcolor="#FFF4F6F8" inset="16,12,16,12" childpadding="8">
  <Label text="文本输入 Text input" font="0" height="26"/>
  <HorizontalLayout height="28" childpadding="12">
    <Edit name="latin" text="Pet shop: grooming" width="220"/>
    <Edit name="chinese" text="宠物店管理系统" width="220"/>
  </HorizontalLayout>
  <HorizontalLayout height="28" childpadding="12">
    <Edit name="password" password="true" text="secret猫" width="140"/>
    <Edit name="tip" tipvalue="请输入名字 Name" width="160"/>
    <Edit name="number" numberonly="true" text="12345" align="right" width="100"/>
    <Edit name="disabled" text="只读 disabled" enabled="false" width="120"/>
  </HorizontalLayout>
  <HorizontalLayout height="28" childpadding="12">
    <HotKey name="hotkey" font="0" width="180" bordersize="1" bordercolor="#FF8899AA"/>
    <IPAddress name="ip" font="0" width="160" bkcolor="#FFFFFFFF" bordersize="1" bordercolor="#FF8899AA" textpadding="4,0,4,0"/>
    <IPAddressEx name="ipex" font="0" width="180" bordersize="1" bordercolor="#FF8899AA"/>
  </HorizontalLayout>
  <HorizontalLayout height="28" childpadding="12">
    <DateTime name="date" font="0" width="180" bkcolor="#FFFFFFFF" bordersize="1" bordercolor="#FF8899AA" textpadding="4,0,4,0"/>
    <Button name="other" text="Other" font="0" width="80" bkcolor="#FFDDE4EC"/>
  </HorizontalLayout>
</VerticalLayout>
</Window>)";

void Photograph(const char* field) {
    if (const char* shot = std::getenv("KV_CONTROLS_SCREENSHOT")) {
        EXPECT_EQ(0, RunUnix({"import", "-window", "root", std::string(shot) + "-" + field + ".png"}));
    }
}

TEST(EditDemo, ShowsEveryTextInputFocusedAndUnfocused) {
    Host host(640, 240);
    host.Build(kDemoSkin);
    host.Find<CHotKeyUI>(L"hotkey")->SetHotKey('S', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    host.Find<CIPAddressUI>(L"ip")->SetIP(0xC0A80001);
    host.Find<CIPAddressExUI>(L"ipex")->SetIP(0x0A000017);
    SYSTEMTIME date = {};
    date.wYear = 2024;
    date.wMonth = 5;
    date.wDay = 31;
    host.Find<CDateTimeUI>(L"date")->SetTime(date);
    ASSERT_TRUE(host.Paint());
    Photograph("idle");

    const struct {
        const char* name;
        LPCTSTR nativeClass;
    } fields[] = {{"latin", L"EditWnd"},        {"chinese", L"EditWnd"}, {"password", L"EditWnd"},
                  {"hotkey", L"HotKeyClass"}, {"ip", L"IPAddressWnd"}, {"date", L"DateTimeWnd"}};
    for (const auto& field : fields) {
        CControlUI* control = host.Find<CControlUI>(Widen(field.name).c_str());
        control->SetFocus();
        HWND native = nullptr;
        ASSERT_TRUE(PumpUntil([&] {
            native = FindWindowExW(host.GetHWND(), nullptr, field.nativeClass, nullptr);
            return native && IsWindowVisible(native);
        })) << field.name;
        if (std::string(field.name) == "chinese") SendMessageW(native, EM_SETSEL, 2, 5);
        ASSERT_TRUE(host.Paint());
        UpdateWindow(native);
        Photograph(field.name);
    }
    // The self-drawn address with its second field being edited.
    const RECT& ipex = host.Find<CControlUI>(L"ipex")->GetPos();
    host.Click(ipex.left + (ipex.right - ipex.left) * 3 / 8, (ipex.top + ipex.bottom) / 2);
    ASSERT_TRUE(host.Paint());
    EXPECT_GT(CountColour(host, host.Find<CControlUI>(L"ipex"), 0x3399FF), 0) << "the current field";
    Photograph("ipex");
}

}  // namespace
}  // namespace kvtest
