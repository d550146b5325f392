#include "ui/core/ControlFactory.h"

#include <memory>

#include "ui/controls/ButtonUI.h"
#include "ui/controls/CheckBoxUI.h"
#include "ui/controls/DateTimeUI.h"
#include "ui/controls/EditUI.h"
#include "ui/controls/GifAnimUI.h"
#include "ui/controls/HotKeyUI.h"
#include "ui/controls/IPAddressExUI.h"
#include "ui/controls/IPAddressUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/ProgressUI.h"
#include "ui/controls/SliderUI.h"
#include "ui/controls/TextUI.h"
#include "ui/core/ContainerUI.h"
#include "ui/core/ControlUI.h"
#include "ui/core/HorizontalLayoutUI.h"
#include "ui/core/ScrollBarUI.h"
#include "ui/core/VerticalLayoutUI.h"
#include "ui/lists/AnimationTabLayoutUI.h"
#include "ui/lists/TabLayoutUI.h"

namespace KvUI {
namespace {

std::unique_ptr<CControlFactory>& Instance() {
    static std::unique_ptr<CControlFactory> instance;
    return instance;
}

template <class T>
CControlUI* Create() {
    return new T();
}

CUIString LowerCase(LPCTSTR name) {
    CUIString lower(name);
    lower.MakeLower();
    return lower;
}

}  // namespace

// The classes of the library, in the order of its class table; classes built
// later join this list where the table places them.
CControlFactory::CControlFactory() {
    RegistControl(L"CControlUI", Create<CControlUI>);
    RegistControl(L"CContainerUI", Create<CContainerUI>);
    RegistControl(L"CButtonUI", Create<CButtonUI>);
    RegistControl(L"CDateTimeUI", Create<CDateTimeUI>);
    RegistControl(L"CEditUI", Create<CEditUI>);
    RegistControl(L"CGifAnimUI", Create<CGifAnimUI>);
    RegistControl(L"CIPAddressUI", Create<CIPAddressUI>);
    RegistControl(L"CIPAddressExUI", Create<CIPAddressExUI>);
    RegistControl(L"CLabelUI", Create<CLabelUI>);
    RegistControl(L"COptionUI", Create<COptionUI>);
    RegistControl(L"CCheckBoxUI", Create<CCheckBoxUI>);
    RegistControl(L"CProgressUI", Create<CProgressUI>);
    RegistControl(L"CScrollBarUI", Create<CScrollBarUI>);
    RegistControl(L"CSliderUI", Create<CSliderUI>);
    RegistControl(L"CTextUI", Create<CTextUI>);
    RegistControl(L"CAnimationTabLayoutUI", Create<CAnimationTabLayoutUI>);
    RegistControl(L"CHorizontalLayoutUI", Create<CHorizontalLayoutUI>);
    RegistControl(L"CTabLayoutUI", Create<CTabLayoutUI>);
    RegistControl(L"CVerticalLayoutUI", Create<CVerticalLayoutUI>);
    RegistControl(L"CHotKeyUI", Create<CHotKeyUI>);
}

CControlFactory* CControlFactory::GetInstance() {
    std::unique_ptr<CControlFactory>& instance = Instance();
    if (!instance) instance.reset(new CControlFactory());
    return instance.get();
}

void CControlFactory::DestroyInstance() { Instance().reset(); }

CControlUI* CControlFactory::CreateControl(LPCTSTR className) const {
    if (!className) return nullptr;
    const auto it = m_creators.find(LowerCase(className));
    return it == m_creators.end() ? nullptr : it->second();
}

void CControlFactory::RegistControl(LPCTSTR className, CreateClass creator) {
    if (!className || !creator) return;
    m_creators[LowerCase(className)] = creator;
}

}  // namespace KvUI
