// The control factory: class names to new controls, in any letter case.
#include <gtest/gtest.h>

#include <memory>

#include "ui/core/ControlFactory.h"
#include "ui/core/ControlUI.h"
#include "ui/core/PaintManagerUI.h"

namespace kvtest {
namespace {

using namespace KvUI;

std::unique_ptr<CControlUI> Make(LPCTSTR className) {
    return std::unique_ptr<CControlUI>(CControlFactory::GetInstance()->CreateControl(className));
}

struct ClassCase {
    const wchar_t* name;
    const wchar_t* madeClass;
};
class FactoryClass : public ::testing::TestWithParam<ClassCase> {};

TEST_P(FactoryClass, MakesTheClassOfThatNameInAnyLetterCase) {
    const auto control = Make(GetParam().name);
    ASSERT_NE(nullptr, control);
    EXPECT_STREQ(GetParam().madeClass, control->GetClass());
}

// Every class of the library, in the order of its class table, each made
// by the class of that name.
const ClassCase kLibraryClasses[] = {
    {L"CControlUI", L"ControlUI"},
    {L"CContainerUI", L"ContainerUI"},
    {L"CButtonUI", L"ButtonUI"},
    {L"CComboUI", L"ComboUI"},
    {L"CComboBoxUI", L"ComboBoxUI"},
    {L"CDateTimeUI", L"DateTimeUI"},
    {L"CEditUI", L"EditUI"},
    {L"CActiveXUI", L"ActiveXUI"},
    {L"CFlashUI", L"Flash"},
    {L"CGifAnimUI", L"GifAnimUI"},
    {L"CGroupBoxUI", L"GroupBoxUI"},
    {L"CIPAddressUI", L"IPAddressUI"},
    {L"CIPAddressExUI", L"IPAddressExUI"},
    {L"CLabelUI", L"LabelUI"},
    {L"CListUI", L"ListUI"},
    {L"CListHeaderUI", L"ListHeaderUI"},
    {L"CListHeaderItemUI", L"ListHeaderItemUI"},
    {L"CListLabelElementUI", L"ListLabelElementUI"},
    {L"CListTextElementUI", L"ListTextElementUI"},
    {L"CListContainerElementUI", L"ListContainerElementUI"},
    {L"CMenuUI", L"MenuUI"},
    {L"CMenuElementUI", L"MenuElementUI"},
    {L"COptionUI", L"OptionUI"},
    {L"CCheckBoxUI", L"CheckBoxUI"},
    {L"CProgressUI", L"ProgressUI"},
    {L"CRichEditUI", L"RichEdit"},
    {L"CScrollBarUI", L"ScrollBarUI"},
    {L"CSliderUI", L"SliderUI"},
    {L"CTextUI", L"TextUI"},
    {L"CTreeNodeUI", L"TreeNodeUI"},
    {L"CTreeViewUI", L"TreeViewUI"},
    {L"CWebBrowserUI", L"WebBrowserUI"},
    {L"CAnimationTabLayoutUI", L"AnimationTabLayoutUI"},
    {L"CChildLayoutUI", L"ChildLayoutUI"},
    {L"CHorizontalLayoutUI", L"HorizontalLayoutUI"},
    {L"CTabLayoutUI", L"TabLayoutUI"},
    {L"CTileLayoutUI", L"TileLayoutUI"},
    {L"CVerticalLayoutUI", L"VerticalLayoutUI"},
    {L"CRollTextUI", L"RollTextUI"},
    {L"CColorPaletteUI", L"ColorPaletteUI"},
    {L"CListExUI", L"XListUI"},
    {L"CListContainerHeaderItemUI", L"ListContainerHeaderItem"},
    {L"CListTextExtElementUI", L"ListTextExElementUI"},
    {L"CHotKeyUI", L"HotKeyUI"},
    {L"CFadeButtonUI", L"FadeButtonUI"},
    {L"CRingUI", L"RingUI"},
};
static_assert(sizeof kLibraryClasses / sizeof kLibraryClasses[0] == 46, "the library has 46 classes");

INSTANTIATE_TEST_SUITE_P(Registered, FactoryClass, ::testing::ValuesIn(kLibraryClasses));

INSTANTIATE_TEST_SUITE_P(LetterCase, FactoryClass,
                         ::testing::Values(ClassCase{L"cbuttonui", L"ButtonUI"},
                                           ClassCase{L"CBUTTONUI", L"ButtonUI"},
                                           ClassCase{L"cVerticalLayoutUi", L"VerticalLayoutUI"}));

TEST(ControlFactory, AnUnknownOrMissingNameMakesNothing) {
    EXPECT_EQ(nullptr, Make(L"CNoSuchThingUI"));
    EXPECT_EQ(nullptr, Make(L"VerticalLayout"));  // the tag, not the class name
    EXPECT_EQ(nullptr, Make(L"CGridSheetUI"));    // a made-up class
    EXPECT_EQ(nullptr, Make(L""));
    EXPECT_EQ(nullptr, Make(nullptr));
}

class CountedUI : public CControlUI {
public:
    LPCTSTR GetClass() const override { return L"CountedUI"; }
};

TEST(ControlFactory, ARegisteredClassIsFoundByAnyCaseAndGoesWithTheInstance) {
    CControlFactory::GetInstance()->RegistControl(L"CCountedUI", [] { return static_cast<CControlUI*>(new CountedUI()); });
    const auto made = Make(L"ccountedUI");
    ASSERT_NE(nullptr, made);
    EXPECT_STREQ(L"CountedUI", made->GetClass());

    // A fresh instance after the library's termination knows only the library's classes.
    CPaintManagerUI::Term();
    EXPECT_EQ(nullptr, Make(L"CCountedUI"));
    EXPECT_NE(nullptr, Make(L"CControlUI"));
}

}  // namespace
}  // namespace kvtest
