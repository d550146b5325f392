// The top of the UI library: the one unit that knows every standard control,
// whatever layer it lives in, and gives the control factory the classes it
// creates by tag name. Programs link it through the "kvui" library.
#include "ui/controls/ActiveXUI.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/CheckBoxUI.h"
#include "ui/controls/ColorPaletteUI.h"
#include "ui/controls/DateTimeUI.h"
#include "ui/controls/EditUI.h"
#include "ui/controls/FadeButtonUI.h"
#include "ui/controls/FlashUI.h"
#include "ui/controls/GifAnimUI.h"
#include "ui/controls/GroupBoxUI.h"
#include "ui/controls/HotKeyUI.h"
#include "ui/controls/IPAddressExUI.h"
#include "ui/controls/IPAddressUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/ProgressUI.h"
#include "ui/controls/RichEditUI.h"
#include "ui/controls/RingUI.h"
#include "ui/controls/RollTextUI.h"
#include "ui/controls/SliderUI.h"
#include "ui/controls/TextUI.h"
#include "ui/controls/WebBrowserUI.h"
#include "ui/core/ContainerUI.h"
#include "ui/core/ControlFactory.h"
#include "ui/core/ControlUI.h"
#include "ui/core/HorizontalLayoutUI.h"
#include "ui/core/ScrollBarUI.h"
#include "ui/core/VerticalLayoutUI.h"
#include "ui/lists/AnimationTabLayoutUI.h"
#include "ui/lists/ChildLayoutUI.h"
#include "ui/lists/ComboBoxUI.h"
#include "ui/lists/ComboUI.h"
#include "ui/lists/ListContainerElementUI.h"
#include "ui/lists/ListContainerHeaderItemUI.h"
#include "ui/lists/ListExUI.h"
#include "ui/lists/ListHeaderItemUI.h"
#include "ui/lists/ListHeaderUI.h"
#include "ui/lists/ListLabelElementUI.h"
#include "ui/lists/ListTextElementUI.h"
#include "ui/lists/ListTextExtElementUI.h"
#include "ui/lists/ListUI.h"
#include "ui/lists/MenuElementUI.h"
#include "ui/lists/MenuUI.h"
#include "ui/lists/TabLayoutUI.h"
#include "ui/lists/TileLayoutUI.h"
#include "ui/lists/TreeNodeUI.h"
#include "ui/lists/TreeViewUI.h"

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
    factory.RegistControl(L"CComboUI", Create<CComboUI>);
    factory.RegistControl(L"CComboBoxUI", Create<CComboBoxUI>);
    factory.RegistControl(L"CDateTimeUI", Create<CDateTimeUI>);
    factory.RegistControl(L"CEditUI", Create<CEditUI>);
    factory.RegistControl(L"CActiveXUI", Create<CActiveXUI>);
    factory.RegistControl(L"CFlashUI", Create<CFlashUI>);
    factory.RegistControl(L"CGifAnimUI", Create<CGifAnimUI>);
    factory.RegistControl(L"CGroupBoxUI", Create<CGroupBoxUI>);
    factory.RegistControl(L"CIPAddressUI", Create<CIPAddressUI>);
    factory.RegistControl(L"CIPAddressExUI", Create<CIPAddressExUI>);
    factory.RegistControl(L"CLabelUI", Create<CLabelUI>);
    factory.RegistControl(L"CListUI", Create<CListUI>);
    factory.RegistControl(L"CListHeaderUI", Create<CListHeaderUI>);
    factory.RegistControl(L"CListHeaderItemUI", Create<CListHeaderItemUI>);
    factory.RegistControl(L"CListLabelElementUI", Create<CListLabelElementUI>);
    factory.RegistControl(L"CListTextElementUI", Create<CListTextElementUI>);
    factory.RegistControl(L"CListContainerElementUI", Create<CListContainerElementUI>);
    factory.RegistControl(L"CMenuUI", Create<CMenuUI>);
    factory.RegistControl(L"CMenuElementUI", Create<CMenuElementUI>);
    factory.RegistControl(L"COptionUI", Create<COptionUI>);
    factory.RegistControl(L"CCheckBoxUI", Create<CCheckBoxUI>);
    factory.RegistControl(L"CProgressUI", Create<CProgressUI>);
    factory.RegistControl(L"CRichEditUI", Create<CRichEditUI>);
    factory.RegistControl(L"CScrollBarUI", Create<CScrollBarUI>);
    factory.RegistControl(L"CSliderUI", Create<CSliderUI>);
    factory.RegistControl(L"CTextUI", Create<CTextUI>);
    factory.RegistControl(L"CTreeNodeUI", Create<CTreeNodeUI>);
    factory.RegistControl(L"CTreeViewUI", Create<CTreeViewUI>);
    factory.RegistControl(L"CWebBrowserUI", Create<CWebBrowserUI>);
    factory.RegistControl(L"CAnimationTabLayoutUI", Create<CAnimationTabLayoutUI>);
    factory.RegistControl(L"CChildLayoutUI", Create<CChildLayoutUI>);
    factory.RegistControl(L"CHorizontalLayoutUI", Create<CHorizontalLayoutUI>);
    factory.RegistControl(L"CTabLayoutUI", Create<CTabLayoutUI>);
    factory.RegistControl(L"CTileLayoutUI", Create<CTileLayoutUI>);
    factory.RegistControl(L"CVerticalLayoutUI", Create<CVerticalLayoutUI>);
    factory.RegistControl(L"CRollTextUI", Create<CRollTextUI>);
    factory.RegistControl(L"CColorPaletteUI", Create<CColorPaletteUI>);
    factory.RegistControl(L"CListExUI", Create<CListExUI>);
    factory.RegistControl(L"CListContainerHeaderItemUI", Create<CListContainerHeaderItemUI>);
    factory.RegistControl(L"CListTextExtElementUI", Create<CListTextExtElementUI>);
    factory.RegistControl(L"CHotKeyUI", Create<CHotKeyUI>);
    factory.RegistControl(L"CFadeButtonUI", Create<CFadeButtonUI>);
    factory.RegistControl(L"CRingUI", Create<CRingUI>);
}

// Installed while the program starts, before any skin is built. The library
// links this unit whole, so nothing needs to refer to it for it to be there.
const bool installed = (CControlFactory::SetStandardClasses(RegisterStandardClasses), true);

}  // namespace
}  // namespace KvUI
