#pragma once
#include "ui/controls/ButtonUI.h"

namespace KvUI {

// A button with a selected state. Options that share a group name form a
// radio group, kept by the paint manager: selecting one deselects the others.
class COptionUI : public CButtonUI {
public:
    COptionUI();
    ~COptionUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR name) override;
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    bool Activate() override;
    void SetEnabled(bool enabled = true) override;
    void SetAttribute(LPCTSTR name, LPCTSTR value) override;
    void PaintBkColor(HDC dc) override;
    void PaintStatusImage(HDC dc) override;
    void PaintForeImage(HDC dc) override;
    void PaintText(HDC dc) override;

    virtual LPCTSTR GetSelectedStateImage() const;
    virtual void SetSelectedStateImage(LPCTSTR image);
    // Sends "selectchanged" with `notify` when the option becomes selected,
    // or, outside a group, whenever it changes.
    virtual void Selected(bool selected, bool notify = true);

    bool IsSelected() const { return m_selected; }
    LPCTSTR GetGroup() const { return m_group; }
    void SetGroup(LPCTSTR name);
    int GetSelectedFont() const { return m_selectedFont; }
    void SetSelectedFont(int index);
    DWORD GetSelectedBkColor() const { return m_selectedBkColor; }
    void SetSelectedBkColor(DWORD color) { m_selectedBkColor = color; }
    DWORD GetSelectedTextColor() const { return m_selectedTextColor; }
    void SetSelectedTextColor(DWORD color) { m_selectedTextColor = color; }
    LPCTSTR GetSelectedImage() const { return m_selectedImage; }
    void SetSelectedImage(LPCTSTR image);
    LPCTSTR GetSelectedHotImage() const { return m_selectedHotImage; }
    void SetSelectedHotImage(LPCTSTR image);
    LPCTSTR GetSelectedPushedImage() const { return m_selectedPushedImage; }
    void SetSelectedPushedImage(LPCTSTR image);
    LPCTSTR GetSelectedForeImage() const { return m_selectedForeImage; }
    void SetSelectedForeImage(LPCTSTR image);
    int GetSelectedStateCount() const { return m_selectedStateCount; }
    void SetSelectedStateCount(int count);

protected:
    // The selection change itself; `wParam` goes with "selectchanged".
    void ApplySelection(bool selected, bool notify, WPARAM wParam);

private:
    bool PaintsSelected() const { return (m_state & StateSelected) != 0; }
    void JoinGroup();
    void LeaveGroup();
    void DeselectOthers(bool notify);

    bool m_selected = false;
    CUIString m_group;
    // The manager whose group list holds this option: a skin is built with
    // the manager attached and then detached, and the option must still
    // leave that list when it dies.
    CPaintManagerUI* m_groupManager = nullptr;
    int m_selectedFont = -1;
    DWORD m_selectedBkColor = 0;
    DWORD m_selectedTextColor = 0;
    CUIString m_selectedImage;
    CUIString m_selectedHotImage;
    CUIString m_selectedPushedImage;
    CUIString m_selectedForeImage;
    int m_selectedStateCount = 0;
    CUIString m_selectedStateImage;
};

}  // namespace KvUI
