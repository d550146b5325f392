// Building a skin: the declarations and window attributes reach the paint
// manager, each element makes one control by its tag, defaults come before
// the element's own attributes, and what no creator knows is skipped whole.
#include <gtest/gtest.h>

#include "core/builder/BuilderKit.h"
#include "ui/core/ImageInfo.h"
#include "ui/core/ScrollBarUI.h"
#include "ui/core/VerticalLayoutUI.h"

namespace kvtest {
namespace {

class Build : public BuilderTest {
protected:
    CPaintManagerUI& pm() { return host.manager; }
};

TEST_F(Build, DeclarationsReachTheManager) {
    ASSERT_EQ(0, RunUnix({"convert", "-size", "4x3", "xc:#80FF0000", WorkDirUnix() + "/dot.png"}));
    Make(L"<Window>"
         L"<Image name=\"dot.png\" mask=\"#FF00FF00\" />"
         L"<Font id=\"3\" name=\"Tahoma\" size=\"17\" bold=\"TRUE\" italic=\"true\" />"
         L"<Default name=\"VerticalLayout\" value=\"width=&quot;50&quot;\" />"
         L"<Style name=\"dark\" value=\"bkcolor=&quot;#FF000000&quot;\" />"
         L"<VerticalLayout />"
         L"</Window>");
    const TImageInfo* image = pm().GetImage(L"dot.png");
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(4, image->width);
    EXPECT_EQ(0xFF00FF00u, image->mask);
    const TFontInfo* font = pm().GetFontInfo(3);
    EXPECT_NE(pm().GetDefaultFontInfo(), font);
    EXPECT_EQ(17, font->size);
    EXPECT_TRUE(font->bold);
    EXPECT_TRUE(font->italic);
    EXPECT_FALSE(font->underline);
    EXPECT_STREQ(L"width=\"50\"", pm().GetDefaultAttributeList(L"VerticalLayout"));
    EXPECT_STREQ(L"bkcolor=\"#FF000000\"", pm().GetStyle(L"dark"));
}

TEST_F(Build, DeclarationNamesAndAttributeNamesIgnoreLetterCase) {
    Make(L"<Window><STYLE NAME=\"a\" Value=\"x=&quot;1&quot;\" /><default nAme=\"Control\" VALUE=\"y\" /></Window>");
    EXPECT_STREQ(L"x=\"1\"", pm().GetStyle(L"a"));
    EXPECT_STREQ(L"y", pm().GetDefaultAttributeList(L"Control"));
}

TEST_F(Build, ADefaultFontNeedsAnId) {
    const int sizeBefore = pm().GetDefaultFontInfo()->size;
    const std::wstring faceBefore = pm().GetDefaultFontInfo()->faceName.GetData();
    Make(L"<Window><Font name=\"Courier New\" size=\"30\" default=\"true\" /></Window>");
    EXPECT_EQ(sizeBefore, pm().GetDefaultFontInfo()->size);
    EXPECT_EQ(faceBefore, std::wstring(pm().GetDefaultFontInfo()->faceName));

    Make(L"<Window><Font id=\"0\" name=\"Courier New\" size=\"30\" default=\"true\" /></Window>");
    EXPECT_EQ(30, pm().GetDefaultFontInfo()->size);
    EXPECT_STREQ(L"Courier New", pm().GetDefaultFontInfo()->faceName);
}

TEST_F(Build, DeclarationsCountOnlyAsChildrenOfTheRoot) {
    ASSERT_EQ(0, RunUnix({"convert", "-size", "2x2", "xc:red", WorkDirUnix() + "/inner.png"}));
    Make(L"<Window><VerticalLayout><Image name=\"inner.png\" /><Style name=\"s\" value=\"v\" /></VerticalLayout></Window>");
    EXPECT_EQ(nullptr, pm().GetImage(L"inner.png"));
    EXPECT_EQ(nullptr, pm().GetStyle(L"s"));
    EXPECT_EQ(0, static_cast<CVerticalLayoutUI*>(built.get())->GetCount());
}

TEST_F(Build, WindowAttributesReachTheManager) {
    Make(L"<Window size=\"321,123\" sizebox=\"4,5,6,7\" caption=\"0,0,0,-1\" roundcorner=\"8,9\" "
         L"mininfo=\"100,50\" maxinfo=\"900,700\" showdirty=\"true\" opacity=\"200\" "
         L"disabledfontcolor=\"#FF010101\" defaultfontcolor=\"#FF020202\" linkfontcolor=\"FF030303\" "
         L"linkhoverfontcolor=\"#FF040404\" selectedcolor=\"#FF050505\" gdiplustext=\"true\" "
         L"textrenderinghint=\"4\" tooltiphovertime=\"777\" noactivate=\"true\"><Control /></Window>");
    RECT rc = {};
    GetWindowRect(host, &rc);
    EXPECT_EQ(321, rc.right - rc.left);
    EXPECT_EQ(123, rc.bottom - rc.top);
    EXPECT_EQ((RECT{4, 5, 6, 7}).bottom, pm().GetSizeBox().bottom);
    EXPECT_EQ(4, pm().GetSizeBox().left);
    EXPECT_EQ(-1, pm().GetCaptionRect().bottom);
    EXPECT_EQ(9, pm().GetRoundCorner().cy);
    EXPECT_EQ(100, pm().GetMinInfo().cx);
    EXPECT_EQ(700, pm().GetMaxInfo().cy);
    EXPECT_TRUE(pm().IsShowUpdateRect());
    EXPECT_EQ(200, pm().GetOpacity());
    EXPECT_EQ(0xFF010101u, pm().GetDefaultColor1());
    EXPECT_EQ(0xFF020202u, pm().GetDefaultColor2());
    EXPECT_EQ(0xFF030303u, pm().GetDefaultColor3());
    EXPECT_EQ(0xFF040404u, pm().GetDefaultColor4());
    EXPECT_EQ(0xFF050505u, pm().GetDefaultColor5());
    EXPECT_TRUE(pm().IsUseGdiplusText());
    EXPECT_EQ(4, pm().GetGdiplusTextRenderingHint());
    EXPECT_EQ(777, pm().GetHoverTime());
    EXPECT_TRUE(pm().IsNoActivate());
}

TEST_F(Build, SomeWindowAttributeNamesMustBeWrittenInLowerCase) {
    Make(L"<Window Size=\"300,90\" Layered=\"true\" NoActivate=\"true\" MinInfo=\"10,20\"><Control /></Window>");
    RECT rc = {};
    GetWindowRect(host, &rc);
    EXPECT_EQ(300, rc.right - rc.left);
    EXPECT_EQ(20, pm().GetMinInfo().cy);
    EXPECT_FALSE(pm().IsLayered());
    EXPECT_FALSE(pm().IsNoActivate());

    Make(L"<Window layered=\"true\"><Control /></Window>");
    EXPECT_TRUE(pm().IsLayered());
}

TEST_F(Build, TheLayeredAttributesTakeOnlyTheirLowerCaseNames) {
    Make(L"<Window LayeredOpacity=\"90\" BkTrans=\"true\" LayeredImage=\"file='x.png'\"><Control /></Window>");
    EXPECT_FALSE(pm().IsLayered());
    EXPECT_NE(90, pm().GetOpacity());

    Make(L"<Window layeredopacity=\"90\" bktrans=\"true\"><Control /></Window>");
    EXPECT_TRUE(pm().IsLayered());
    EXPECT_EQ(90, pm().GetOpacity());
    Make(L"<Window bktrans=\"false\"><Control /></Window>");
    EXPECT_FALSE(pm().IsLayered());

    // A layered image switches layering on by itself.
    Make(L"<Window layeredimage=\"file='x.png'\"><Control /></Window>");
    EXPECT_TRUE(pm().IsLayered());
    EXPECT_STREQ(L"file='x.png'", pm().GetLayeredImage());
}

TEST_F(Build, AlphaIsAnotherNameForOpacity) {
    Make(L"<Window ALPHA=\"77\"><Control /></Window>");
    EXPECT_EQ(77, pm().GetOpacity());
}

TEST_F(Build, AShortNumberListStopsAtItsEnd) {
    Make(L"<Window mininfo=\"120\" sizebox=\"3,3\"><Control /></Window>");
    EXPECT_EQ(120, pm().GetMinInfo().cx);
    EXPECT_EQ(0, pm().GetMinInfo().cy);
    EXPECT_EQ(3, pm().GetSizeBox().top);
    EXPECT_EQ(0, pm().GetSizeBox().right);
    EXPECT_EQ(0, pm().GetSizeBox().bottom);
}

TEST_F(Build, WindowAttributesNeedAWindowRootAndAWindow) {
    Make(L"<Dialog mininfo=\"10,10\"><Control /></Dialog>");
    EXPECT_EQ(0, pm().GetMinInfo().cx);
    CPaintManagerUI windowless;
    std::unique_ptr<CControlUI> root(
        CDialogBuilder().Create(L"<Window mininfo=\"10,10\"><Control /></Window>", nullptr, nullptr, &windowless));
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(0, windowless.GetMinInfo().cx);
}

TEST_F(Build, TagsMakeControlsInAnyLetterCase) {
    CControlUI* root = Make(L"<Window><verticallayout name=\"v\"><CONTROL name=\"c\" /><HorizontalLayout />"
                            L"<ScrollBar /><Container /></verticallayout></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_STREQ(L"VerticalLayoutUI", root->GetClass());
    auto* layout = static_cast<CVerticalLayoutUI*>(root);
    ASSERT_EQ(4, layout->GetCount());
    EXPECT_STREQ(L"ControlUI", layout->GetItemAt(0)->GetClass());
    EXPECT_STREQ(L"c", layout->GetItemAt(0)->GetName());
    EXPECT_STREQ(L"HorizontalLayoutUI", layout->GetItemAt(1)->GetClass());
    EXPECT_STREQ(L"ScrollBarUI", layout->GetItemAt(2)->GetClass());
    EXPECT_STREQ(L"ContainerUI", layout->GetItemAt(3)->GetClass());
}

TEST_F(Build, ButtonTagsInAnyLetterCaseMakeButtons) {
    CControlUI* root = Make(L"<Window><VerticalLayout><Button /><button /><BUTTON /></VerticalLayout></Window>");
    auto* layout = static_cast<CVerticalLayoutUI*>(root);
    ASSERT_EQ(3, layout->GetCount());
    for (int i = 0; i < 3; ++i) EXPECT_STREQ(L"ButtonUI", layout->GetItemAt(i)->GetClass());
    EXPECT_TRUE(callback.asked.empty());
}

TEST_F(Build, AnUnknownTagMakesNothingNorAnyOfItsChildren) {
    CControlUI* root = Make(L"<Window><VerticalLayout><Gadget name=\"later\"><Control name=\"inside\" /></Gadget>"
                            L"<Control name=\"after\" /></VerticalLayout></Window>");
    auto* layout = static_cast<CVerticalLayoutUI*>(root);
    ASSERT_EQ(1, layout->GetCount());
    EXPECT_STREQ(L"after", layout->GetItemAt(0)->GetName());
    // The callback was asked for the tag nobody else knows, not for its children.
    EXPECT_EQ("Gadget;", callback.asked);
}

TEST_F(Build, FactoryFirstThenPluginsThenTheCallback) {
    static int pluginCalls = 0;
    const CreatePluginControl plugin = [](LPCTSTR tag) -> CControlUI* {
        ++pluginCalls;
        return _wcsicmp(tag, L"Widget") == 0 ? new CContainerUI() : nullptr;
    };
    CPaintManagerUI::GetPlugins()->Add(reinterpret_cast<LPVOID>(plugin));
    CControlUI* root = Make(L"<Window><Widget><Probe /><Control /></Widget></Window>");
    CPaintManagerUI::GetPlugins()->Remove(CPaintManagerUI::GetPlugins()->Find(reinterpret_cast<LPVOID>(plugin)));

    ASSERT_NE(nullptr, root);
    EXPECT_STREQ(L"ContainerUI", root->GetClass());
    EXPECT_EQ(2, static_cast<CContainerUI*>(root)->GetCount());
    EXPECT_EQ(2, pluginCalls);                 // "Widget" and "Probe"; "Control" came from the factory
    EXPECT_EQ("Probe;", callback.asked);       // the callback is last
}

TEST_F(Build, DefaultsComeFirstAndTheElementsOwnAttributesWin) {
    CControlUI* root = Make(L"<Window><Default name=\"Control\" value=\"bkcolor=&quot;#FF112233&quot; width=&quot;40&quot;\" />"
                            L"<VerticalLayout><Control bkcolor=\"#FF445566\" /><control /></VerticalLayout></Window>");
    auto* layout = static_cast<CVerticalLayoutUI*>(root);
    ASSERT_EQ(2, layout->GetCount());
    EXPECT_EQ(0xFF445566u, layout->GetItemAt(0)->GetBkColor());
    EXPECT_EQ(40, layout->GetItemAt(0)->GetFixedWidth());
    // Defaults are looked up by the tag as written.
    EXPECT_EQ(0u, layout->GetItemAt(1)->GetBkColor());
}

TEST_F(Build, StylesAreKnownWhileAttributesApply) {
    CControlUI* root = Make(L"<Window><Style name=\"tall\" value=\"height=&quot;77&quot;\" />"
                            L"<VerticalLayout><Control name=\"tall\" /></VerticalLayout></Window>");
    CControlUI* child = static_cast<CVerticalLayoutUI*>(root)->GetItemAt(0);
    EXPECT_EQ(77, child->GetFixedHeight());
    EXPECT_TRUE(child->GetName().IsEmpty());  // a value naming a style applies the style instead
}

TEST_F(Build, BuiltControlsLeaveDetachedUntilTheRootIsAttached) {
    CControlUI* root = Make(L"<Window><VerticalLayout name=\"top\"><Control name=\"leaf\" /></VerticalLayout></Window>");
    CControlUI* leaf = static_cast<CVerticalLayoutUI*>(root)->GetItemAt(0);
    EXPECT_EQ(nullptr, root->GetManager());
    EXPECT_EQ(nullptr, leaf->GetManager());

    ASSERT_TRUE(pm().AttachDialog(built.release()));
    EXPECT_EQ(&pm(), leaf->GetManager());
    EXPECT_EQ(root, leaf->GetParent());
    EXPECT_EQ(leaf, pm().FindControl(L"leaf"));
}

TEST_F(Build, ControlsGoIntoTheGivenParent) {
    CVerticalLayoutUI parent;
    CControlUI* first = Make(L"<Window><Control name=\"a\" /><Control name=\"b\" /></Window>", &parent);
    built.release();  // owned by the parent
    ASSERT_EQ(2, parent.GetCount());
    EXPECT_EQ(first, parent.GetItemAt(0));
    EXPECT_STREQ(L"b", parent.GetItemAt(1)->GetName());
}

TEST_F(Build, AParentThatIsNoContainerGetsNothing) {
    CControlUI parent;
    const int before = ProbeUI::Alive();
    EXPECT_EQ(nullptr, Make(L"<Window><Probe /><Probe /></Window>", &parent));
    EXPECT_EQ(before, ProbeUI::Alive());
}

TEST_F(Build, ExtraTopLevelControlsAreFreedAndTheFirstIsTheResult) {
    const int before = ProbeUI::Alive();
    CControlUI* root = Make(L"<Window><Probe name=\"first\" /><Probe name=\"second\"><Probe /></Probe><Probe /></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_STREQ(L"first", root->GetName());
    EXPECT_EQ(before + 1, ProbeUI::Alive());
    built.reset();
    EXPECT_EQ(before, ProbeUI::Alive());
}

TEST_F(Build, LoadFailuresReturnNullAndSayWhy) {
    EXPECT_EQ(nullptr, Make(L"no-such-skin.xml"));
    EXPECT_STREQ(L"Error opening file", builder.GetLastErrorMessage());
    EXPECT_EQ(nullptr, Make(L"<Window><Control></Window>"));
    EXPECT_STREQ(L"Unmatched closing tag", builder.GetLastErrorMessage());
    EXPECT_EQ(nullptr, Make(L"<Window />"));  // nothing to build
}

TEST_F(Build, ASkinFileIsReadFromTheResourceFolder) {
    WriteSkin("file.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Window mininfo=\"33,44\">\n"
                          "  <VerticalLayout name=\"\xE5\xAE\xA0\xE7\x89\xA9\" />\n</Window>\n");
    CControlUI* root = Make(L"file.xml");
    ASSERT_NE(nullptr, root);
    EXPECT_STREQ(L"\u5BA0\u7269", root->GetName());
    EXPECT_EQ(44, pm().GetMinInfo().cy);
}

}  // namespace
}  // namespace kvtest
