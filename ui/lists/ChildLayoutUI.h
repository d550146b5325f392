#pragma once
#include "ui/core/ContainerUI.h"

namespace KvUI {

// Fills itself with the control tree of another skin file, so one skin can
// use another as a component.
class CChildLayoutUI : public CContainerUI {
public:
    CChildLayoutUI();
    ~CChildLayoutUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void Init() override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;

    void SetChildLayoutXML(LPCTSTR fileName);
    LPCTSTR GetChildLayoutXML() const { return m_fileName; }

private:
    CUIString m_fileName;
};

}  // namespace KvUI
