// The top of the UI library: the one unit that knows every standard control,
// whatever layer it lives in, and gives the control factory the classes it
// creates by tag name. Programs link it through the "kvui" library.
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
#include "ui/controls/RichEditUI.h"
#include "ui/controls/SliderUI.h"
#include "ui/controls/TextUI.h"
#include "ui/core/ContainerUI.h"
#include "ui/core/ControlFactory.h"
#include "ui/core/ControlUI.h"
#include "ui/core/HorizontalLayoutUI.h"
#include "ui/core/ScrollBarUI.h"
#include "ui/core/VerticalLayoutUI.h"
#include "ui/lists/AnimationTabLayoutUI.h"
#include "ui/lists/TabLayoutUI.h"

namespace KvUI {
namespace {

template <class T>
CControlUI* Create() {
    return new T();
}

// The classes of the library, in the order of its class table. A class built
// later, in any layer, joins this list where the table places it.
void RegisterStandardClasses(CControlFactory& factory) {
    factory.RegistControl(L"CControlUI", Create<CControlUI>);
    factory.RegistControl(L"CContainerUI", Create<CContainerUI>);
    factory.RegistControl(L"CButtonUI", Create<CButtonUI>);
    factory.RegistControl(L"CDateTimeUI", Create<CDateTimeUI>);
    factory.RegistControl(L"CEditUI", Create<CEditUI>);
    factory.RegistControl(L"CGifAnimUI", Create<CGifAnimUI>);
    factory.RegistControl(L"CIPAddressUI", Create<CIPAddressUI>);
    factory.RegistControl(L"CIPAddressExUI", Create<CIPAddressExUI>);
    factory.RegistControl(L"CLabelUI", Create<CLabelUI>);
    factory.RegistControl(L"COptionUI", Create<COptionUI>);
    factory.RegistControl(L"CCheckBoxUI", Create<CCheckBoxUI>);
    factory.RegistControl(L"CProgressUI", Create<CProgressUI>);
    factory.RegistControl(L"CRichEditUI", Create<CRichEditUI>);
    factory.RegistControl(L"CScrollBarUI", Create<CScrollBarUI>);
    factory.RegistControl(L"CSliderUI", Create<CSliderUI>);
    factory.RegistControl(L"CTextUI", Create<CTextUI>);
    factory.RegistControl(L"CAnimationTabLayoutUI", Create<CAnimationTabLayoutUI>);
    factory.RegistControl(L"CHorizontalLayoutUI", Create<CHorizontalLayoutUI>);
    factory.RegistControl(L"CTabLayoutUI", Create<CTabLayoutUI>);
    factory.RegistControl(L"CVerticalLayoutUI", Create<CVerticalLayoutUI>);
    factory.RegistControl(L"CHotKeyUI", Create<CHotKeyUI>);
}

// Installed while the program starts, before any skin is built. The library
// links this unit whole, so nothing needs to refer to it for it to be there.
const bool installed = (CControlFactory::SetStandardClasses(RegisterStandardClasses), true);

}  // namespace
}  // namespace KvUI
