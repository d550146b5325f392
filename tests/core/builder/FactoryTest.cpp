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

// Every class the library has so far, each made by the class of that name.
INSTANTIATE_TEST_SUITE_P(Registered, FactoryClass,
                         ::testing::Values(ClassCase{L"CControlUI", L"ControlUI"},
                                           ClassCase{L"CContainerUI", L"ContainerUI"},
                                           ClassCase{L"CButtonUI", L"ButtonUI"},
                                           ClassCase{L"CGifAnimUI", L"GifAnimUI"},
                                           ClassCase{L"CLabelUI", L"LabelUI"},
                                           ClassCase{L"COptionUI", L"OptionUI"},
                                           ClassCase{L"CCheckBoxUI", L"CheckBoxUI"},
                                           ClassCase{L"CProgressUI", L"ProgressUI"},
                                           ClassCase{L"CScrollBarUI", L"ScrollBarUI"},
                                           ClassCase{L"CSliderUI", L"SliderUI"},
                                           ClassCase{L"CTextUI", L"TextUI"},
                                           ClassCase{L"CAnimationTabLayoutUI", L"AnimationTabLayoutUI"},
                                           ClassCase{L"CHorizontalLayoutUI", L"HorizontalLayoutUI"},
                                           ClassCase{L"CTabLayoutUI", L"TabLayoutUI"},
                                           ClassCase{L"CVerticalLayoutUI", L"VerticalLayoutUI"}));

INSTANTIATE_TEST_SUITE_P(LetterCase, FactoryClass,
                         ::testing::Values(ClassCase{L"cbuttonui", L"ButtonUI"},
                                           ClassCase{L"CBUTTONUI", L"ButtonUI"},
                                           ClassCase{L"cVerticalLayoutUi", L"VerticalLayoutUI"}));

TEST(ControlFactory, AnUnknownOrMissingNameMakesNothing) {
    EXPECT_EQ(nullptr, Make(L"CNoSuchThingUI"));
    EXPECT_EQ(nullptr, Make(L"VerticalLayout"));  // the tag, not the class name
    EXPECT_EQ(nullptr, Make(L"CListExUI"));       // a class the library does not have yet
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
