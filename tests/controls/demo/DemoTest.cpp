// A demo window that shows every control of this layer in its states, built
// from one skin with images made by ImageMagick. It checks a few pixels;
// with KV_CONTROLS_SCREENSHOT set to a Unix path it also photographs the
// screen while the window shows, for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>

#include "controls/ControlsKit.h"

namespace kvtest {
namespace {

void MakeDemoImages() {
    // Button states side by side: normal, hot, pushed, disabled.
    std::vector<std::string> button = {"-size", "80x28"};
    for (const char* fill : {"#4A90D9", "#6AAAF0", "#2B66A8", "#B8B8B8"}) {
        button.insert(button.end(), {std::string("xc:") + fill, "-fill", "none", "-stroke", "#1F4E85", "-draw",
                                     "rectangle 0,0 79,27"});
    }
    button.push_back("+append");
    MakeImage("button.png", button);

    const std::vector<std::string> box = {"-size",   "16x16", "xc:white",           "-fill", "none", "-stroke",
                                          "#555555", "-draw", "rectangle 0,0 15,15"};
    MakeImage("check0.png", box);
    std::vector<std::string> ticked = box;
    ticked.insert(ticked.end(), {"-stroke", "#1A7F37", "-strokewidth", "2", "-draw", "polyline 3,8 6,12 12,4"});
    MakeImage("check1.png", ticked);

    const std::vector<std::string> ring = {"-size",   "16x16",   "xc:none", "-fill",         "white",
                                           "-stroke", "#555555", "-draw",   "circle 8,8 8,1"};
    MakeImage("radio0.png", ring);
    std::vector<std::string> dot = ring;
    dot.insert(dot.end(), {"-fill", "#1F6FD0", "-stroke", "none", "-draw", "circle 8,8 8,4"});
    MakeImage("radio1.png", dot);

    MakeImage("thumb.png", {"-size", "12x20", "xc:#444444"});
    MakeImage("thumbhot.png", {"-size", "12x20", "xc:#D04020"});
    MakeImage("fill.png", {"-size", "10x10", "gradient:#7FD37F-#1E8C1E", "-rotate", "-90"});

    const std::string dir = WorkDirUnix() + "/";
    MakeImage("f0.png", {"-size", "24x24", "xc:#E0E0E0", "-fill", "#1F6FD0", "-draw", "rectangle 0,0 11,11"});
    MakeImage("f1.png", {"-size", "24x24", "xc:#E0E0E0", "-fill", "#1F6FD0", "-draw", "rectangle 12,0 23,11"});
    MakeImage("f2.png", {"-size", "24x24", "xc:#E0E0E0", "-fill", "#1F6FD0", "-draw", "rectangle 12,12 23,23"});
    MakeImage("f3.png", {"-size", "24x24", "xc:#E0E0E0", "-fill", "#1F6FD0", "-draw", "rectangle 0,12 11,23"});
    ASSERT_EQ(0, RunUnix({"convert", "-delay", "20", dir + "f0.png", dir + "f1.png", dir + "f2.png", dir + "f3.png",
                          dir + "spinner.gif"}));
    UseWorkFolder();
}

const wchar_t kDemoSkin[] =
    LR"(<Window defaultfontcolor="#FF202020" disabledfontcolor="#FFA0A0A0">
<Font id="0" name="Tahoma" size="12"/>
<Font id="1" name="Tahoma" size="18" bold="true"/>
<Font id="2" name="Tahoma" size="12" bold="true"/>
<Default name="Button" value="stateimage=&quot;file='button.png' corner='3,3,3,3'&quot; statecount=&quot;4&quot; textcolor=&quot;#FFFFFFFF&quot; disabledtextcolor=&quot;#FFEEEEEE&quot; font=&quot;0&quot; width=&quot;100&quot; height=&quot;28&quot; padding=&quot;0,0,10,0&quot;"/>
<Default name="CheckBox" value="normalimage=&quot;file='check0.png' dest='0,4,16,20'&quot; selectedimage=&quot;file='check1.png' dest='0,4,16,20'&quot; textpadding=&quot;22,0,0,0&quot; align=&quot;left&quot; font=&quot;0&quot; width=&quot;130&quot; height=&quot;24&quot;"/>
<Default name="Option" value="normalimage=&quot;file='radio0.png' dest='0,4,16,20'&quot; selectedimage=&quot;file='radio1.png' dest='0,4,16,20'&quot; textpadding=&quot;22,0,0,0&quot; align=&quot;left&quot; font=&quot;0&quot; width=&quot;110&quot; height=&quot;24&quot; group=&quot;pets&quot;"/>
<VerticalLayout name="root" bkcolor="#FFF4F6F8" inset="16,12,16,12" childpadding="8">
  <Label name="title" text="Controls demo" font="1" height="30"/>
  <HorizontalLayout height="24" childpadding="12">
    <Label name="plain" text="Plain label" font="0" width="110"/>
    <Label name="disabled" text="Disabled label" font="0" width="120" enabled="false"/>
    <Label name="right" text="Right aligned" font="0" width="140" align="right" bkcolor="#FFE6ECF2"/>
    <Label name="html" showhtml="true" text="{b}Bold{/b} and {c #C03030}red{/c} text" font="0" width="200"/>
  </HorizontalLayout>
  <Text name="links" showhtml="true" font="0" height="20" text="Open the {a shop}shop page{/a} or the {a help}help{/a}."/>
  <HorizontalLayout height="28">
    <Button name="normal" text="Normal"/>
    <Button name="hot" text="Hot"/>
    <Button name="pushed" text="Pushed"/>
    <Button name="off" text="Disabled" enabled="false"/>
  </HorizontalLayout>
  <HorizontalLayout height="24">
    <Option name="cat" text="Cat"/>
    <Option name="dog" text="Dog" selected="true"/>
    <Option name="fish" text="Fish"/>
    <CheckBox name="groomed" text="Groomed" selected="true"/>
    <CheckBox name="vaccinated" text="Vaccinated" EnableAutoCheck="true"/>
    <CheckBox name="locked" text="Locked" enabled="false"/>
  </HorizontalLayout>
  <HorizontalLayout height="90" childpadding="16">
    <VerticalLayout width="300" childpadding="8">
      <Progress name="p30" value="30" height="16" bkcolor="#FFDDDDDD" forecolor="#FF3C8DDC" font="2" textcolor="#FF000000"/>
      <Progress name="p75" value="75" height="16" bkcolor="#FFDDDDDD" foreimage="fill.png"/>
      <Slider name="slider" value="40" height="20" bkcolor="#FFDDDDDD" forecolor="#FF8CB4E0" thumbsize="12,20" thumbimage="thumb.png" thumbhotimage="thumbhot.png"/>
    </VerticalLayout>
    <Progress name="vertical" hor="false" value="60" width="16" height="90" bkcolor="#FFDDDDDD" forecolor="#FFE08C3C"/>
    <GifAnim name="spinner" bkimage="spinner.gif" width="48" height="48"/>
  </HorizontalLayout>
  <HorizontalLayout height="90" childpadding="16">
    <VerticalLayout width="300">
      <HorizontalLayout height="28">
        <Button name="tab0" text="Page 1" bindtabindex="0" bindtablayoutname="tabs"/>
        <Button name="tab1" text="Page 2" bindtabindex="1" bindtablayoutname="tabs"/>
      </HorizontalLayout>
      <TabLayout name="tabs" selectedid="1" bkcolor="#FFFFFFFF">
        <VerticalLayout><Label text="First page" font="0" align="center"/></VerticalLayout>
        <VerticalLayout><Label text="Second page of the tab layout" font="0" align="center" textcolor="#FF1F6FD0"/></VerticalLayout>
      </TabLayout>
    </VerticalLayout>
    <AnimationTabLayout name="slides" width="200" bkcolor="#FFFFFFFF">
      <VerticalLayout bkcolor="#FFFCE8C8"><Label text="Slide one" font="2" align="center"/></VerticalLayout>
      <VerticalLayout bkcolor="#FFD8F0D8"><Label text="Slide two" font="2" align="center"/></VerticalLayout>
    </AnimationTabLayout>
  </HorizontalLayout>
</VerticalLayout>
</Window>)";

TEST(Demo, ShowsEveryControlInItsStates) {
    MakeDemoImages();
    Host host(720, 480);
    host.Build(kDemoSkin);
    for (LPCTSTR name :
         {L"title",  L"plain", L"disabled", L"right",    L"html",    L"links",   L"normal",     L"hot",
          L"pushed", L"off",   L"cat",      L"dog",      L"fish",    L"groomed", L"vaccinated", L"locked",
          L"p30",    L"p75",   L"slider",   L"vertical", L"spinner", L"tabs",    L"slides"}) {
        EXPECT_NE(nullptr, host.manager.FindControl(name)) << Narrow(name);
    }
    host.Find<CProgressUI>(L"p30")->SetShowText(true);

    // The hot and the pushed look, shown at once for the picture.
    TUIEvent event;
    event.type = EventMouseEnter;
    host.Find<CControlUI>(L"hot")->Event(event);
    CControlUI* pushed = host.Find<CControlUI>(L"pushed");
    event.type = EventButtonDown;
    event.mousePoint = POINT{pushed->GetX() + 5, pushed->GetY() + 5};
    pushed->Event(event);
    host.Find<CAnimationTabLayoutUI>(L"slides")->SelectItem(1);
    ASSERT_TRUE(PumpUntil([&] { return !host.Find<CAnimationTabLayoutUI>(L"slides")->IsAnimationRunning(1); }));
    ASSERT_TRUE(host.Paint());

    auto centre = [&](LPCTSTR name) {
        const RECT& rc = host.Find<CControlUI>(name)->GetPos();
        return host.Pixel(rc.left + 4, (rc.top + rc.bottom) / 2);
    };
    EXPECT_EQ(0x4A90D9u, centre(L"normal"));
    EXPECT_EQ(0x6AAAF0u, centre(L"hot"));
    EXPECT_EQ(0x2B66A8u, centre(L"pushed"));
    EXPECT_EQ(0xB8B8B8u, centre(L"off"));
    EXPECT_EQ(0x3C8DDCu, centre(L"p30")) << "the filled part";
    EXPECT_TRUE(host.Find<COptionUI>(L"dog")->IsSelected());
    EXPECT_EQ(1, host.Find<CTabLayoutUI>(L"tabs")->GetCurSel());

    if (const char* shot = std::getenv("KV_CONTROLS_SCREENSHOT")) {
        EXPECT_EQ(0, RunUnix({"import", "-window", "root", shot}));
    }
}

}  // namespace
}  // namespace kvtest
