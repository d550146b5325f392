#include "client/SettingFrame.h"

#include <memory>
#include <string>

#include "client/AppGlobals.h"
#include "client/AppMessages.h"
#include "client/LineZoomTables.h"
#include "ui/core/ControlUI.h"
#include "ui/lists/ComboUI.h"
#include "ui/lists/ListLabelElementUI.h"
#include "win/TextConversion.h"

namespace kvclient {

namespace {

constexpr DWORD kBannerColour = 0xFFFFEA00;
constexpr DWORD kItemHighlight = 0xFFFFF39F;
// The tables' labels are GBK whatever the system's code page is.
constexpr UINT kGbkCodePage = 936;

KvUI::CComboUI* FindCombo(KvUI::CPaintManagerUI& pm, LPCTSTR name) {
    KvUI::CControlUI* control = pm.FindControl(name);
    return control ? static_cast<KvUI::CComboUI*>(control->GetInterface(L"Combo")) : nullptr;
}

template <class Table>
void FillCombo(KvUI::CComboUI* combo, const Table& table, int selected) {
    if (!combo) return;
    KvUI::TListInfo* info = combo->GetListInfo();
    info->dwHotBkColor = kItemHighlight;
    info->dwSelectedBkColor = kItemHighlight;
    for (size_t row = 0; row < table.size(); ++row) {
        auto item = std::make_unique<KvUI::CListLabelElementUI>();
        item->SetText(kvwin::CodePageToWide(table[row].label, kGbkCodePage).c_str());
        item->SetName(L"line_item");
        if (combo->Add(item.get())) item.release();  // the combo owns its items
    }
    combo->SelectItem(selected, false);
}

}  // namespace

LPCTSTR SettingFrame::GetWindowClassName() const { return L"SettingFrame"; }

void SettingFrame::InitWindow() {
    SetProgramIcon();
    m_labVersion = m_pm.FindControl(L"lab_version");
    m_comboLines = FindCombo(m_pm, L"combo_lines");
    m_comboZoom = FindCombo(m_pm, L"combo_linesZoom");
    m_bannerLayout = m_pm.FindControl(L"vanner_layout");
    if (m_bannerLayout) m_bannerLayout->SetBkColor(kBannerColour);
    if (m_labVersion) m_labVersion->SetText((L" v" + kvwin::Utf8ToWide(kClientVersion)).c_str());
    FillCombo(m_comboLines, g_serverLines, g_selectedLine);
    FillCombo(m_comboZoom, g_zoomLevels, g_selectedZoom);
    BringToTop();
}

void SettingFrame::Notify(KvUI::TUINotify& msg) {
    if (msg.type == L"itemselect" && msg.sender) {
        const KvUI::CUIString& name = msg.sender->GetName();
        if (name.CompareNoCase(L"combo_lines") == 0) {
            LineChosen();
        } else if (name.CompareNoCase(L"combo_linesZoom") == 0) {
            ZoomChosen();
        }
    }
    WindowImplBase::Notify(msg);
}

KvUI::CUIString SettingFrame::GetSkinFile() { return L"setting.xml"; }

void SettingFrame::LineChosen() {
    if (!m_comboLines) return;
    const int line = m_comboLines->GetCurSel();
    if (line == g_selectedLine) return;
    SetSelectedLine(line);
    ::PostMessageW(g_mainWnd, WM_APP_CHANGE_LINE, 0, 0);
}

void SettingFrame::ZoomChosen() {
    if (!m_comboZoom) return;
    const int zoom = m_comboZoom->GetCurSel();
    if (zoom == g_selectedZoom) return;
    SetSelectedZoom(zoom);
    ::PostMessageW(g_mainWnd, WM_APP_CHANGE_ZOOM, 0, 0);
}

}  // namespace kvclient
