#include "ui/lists/ChildLayoutUI.h"

#include "ui/core/AttributeValue.h"
#include "ui/core/DialogBuilder.h"

namespace KvUI {

CChildLayoutUI::CChildLayoutUI() = default;
CChildLayoutUI::~CChildLayoutUI() = default;

LPCTSTR CChildLayoutUI::GetClass() const { return L"ChildLayoutUI"; }

LPVOID CChildLayoutUI::GetInterface(LPCTSTR name) {
    if (name && attribute::Is(name, L"ChildLayout")) return static_cast<CChildLayoutUI*>(this);
    return CContainerUI::GetInterface(name);
}

void CChildLayoutUI::SetChildLayoutXML(LPCTSTR fileName) { m_fileName = fileName ? fileName : L""; }

void CChildLayoutUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (name && value && attribute::Is(name, L"xmlfile")) {
        SetChildLayoutXML(value);
        return;
    }
    CContainerUI::SetAttribute(name, value);
}

void CChildLayoutUI::Init() {
    if (m_fileName.IsEmpty()) return;
    CDialogBuilder builder;
    // A component lives in the host's window: a "Window" root in its file
    // must not resize or restyle that window.
    builder.SetApplyWindowAttributes(false);
    CControlUI* root = builder.Create(m_fileName, nullptr, nullptr, m_manager, nullptr);
    // Built again when the layout joins another window: still one tree.
    RemoveAll();
    if (root) Add(root);
}

}  // namespace KvUI
