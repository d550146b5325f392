#include "ui/controls/RichEditUI.h"

#include <imm.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderClip.h"
#include "ui/core/RenderEngine.h"
#include "win/UniqueHandle.h"

namespace KvUI {
namespace {

// The control's own timer: the drawn caret of a layered window blinks on it.
constexpr UINT kCaretBlinkTimer = 20;
constexpr UINT kUnicodeCodePage = 1200;

// The commands of the context menu.
constexpr UINT kMenuUndo = 101;
constexpr UINT kMenuCut = 102;
constexpr UINT kMenuCopy = 103;
constexpr UINT kMenuPaste = 104;
constexpr UINT kMenuClear = 105;
constexpr UINT kMenuSelectAll = 106;
constexpr UINT kMenuRedo = 107;

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= 0x20D; }
bool IsKeyboardMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= 0x109; }
bool IsTrueExactly(LPCTSTR value) { return wcscmp(value, L"true") == 0; }

RECT Deflate(const RECT& rc, const RECT& by) {
    return RECT{rc.left + by.left, rc.top + by.top, rc.right - by.right, rc.bottom - by.bottom};
}

bool Meets(const RECT& a, const RECT& b) {
    RECT unused;
    return IntersectRect(&unused, &a, &b) != FALSE;
}

}  // namespace

CRichEditUI::CRichEditUI() = default;

CRichEditUI::~CRichEditUI() {
    if (m_manager) m_manager->RemoveMessageFilter(this);
    m_host.Reset();
}

LPCTSTR CRichEditUI::GetClass() const { return L"RichEdit"; }

LPVOID CRichEditUI::GetInterface(LPCTSTR name) {
    if (name && wcscmp(name, L"RichEdit") == 0) return static_cast<CRichEditUI*>(this);
    if (name && wcscmp(name, L"WantTab") == 0) return static_cast<IWantTabUI*>(this);
    return CContainerUI::GetInterface(name);
}

UINT CRichEditUI::GetControlFlags() const { return IsEnabled() ? UIFLAG_TABSTOP | UIFLAG_SETCURSOR : 0; }

// ---- Settings ----

bool CRichEditUI::IsMultiLine() const { return (m_style & ES_MULTILINE) != 0; }

void CRichEditUI::SetMultiLine(bool multiLine) {
    m_style = multiLine ? (m_style | ES_MULTILINE) : (m_style & ~static_cast<DWORD>(ES_MULTILINE));
}

bool CRichEditUI::IsWantTab() const { return m_wantTab; }
void CRichEditUI::SetWantTab(bool want) { m_wantTab = want; }
void CRichEditUI::SetWantReturn(bool want) { m_wantReturn = want; }
void CRichEditUI::SetWantCtrlReturn(bool want) { m_wantCtrlReturn = want; }

void CRichEditUI::SetTransparent(bool transparent) {
    m_transparent = transparent;
    if (m_host) m_host->SetTransparent(transparent);
}

bool CRichEditUI::IsRich() const { return m_rich; }

void CRichEditUI::SetRich(bool rich) {
    m_rich = rich;
    if (m_host) m_host->SetRichTextFlag(rich);
}

bool CRichEditUI::IsReadOnly() const { return m_readOnly; }

int CRichEditUI::GetFont() const { return m_font; }

void CRichEditUI::SetFont(int index) {
    m_font = index;
    if (m_host && m_manager) m_host->SetFont(m_manager->GetFont(index));
}

DWORD CRichEditUI::GetTextColor() const { return m_textColor; }

void CRichEditUI::SetTextColor(DWORD color) {
    m_textColor = color;
    if (m_host) m_host->SetColor(color);
}

int CRichEditUI::GetLimitText() const { return m_limitText; }

void CRichEditUI::SetLimitText(int limit) {
    m_limitText = limit;
    if (m_host) m_host->LimitText(limit);
}

RECT CRichEditUI::GetTextPadding() const {
    RECT padding = m_textPadding;
    if (m_manager) m_manager->GetScaler()->ScaleRect(&padding);
    return padding;
}

void CRichEditUI::SetTextPadding(RECT padding) {
    m_textPadding = padding;
    Invalidate();
}

void CRichEditUI::SetTipValue(LPCTSTR text) { m_tipValue = text; }
void CRichEditUI::SetTipValueColor(DWORD color) { m_tipValueColor = color; }

void CRichEditUI::SetNormalImage(LPCTSTR image) {
    m_normalImage = image;
    Invalidate();
}

void CRichEditUI::SetHotImage(LPCTSTR image) {
    m_hotImage = image;
    Invalidate();
}

void CRichEditUI::SetFocusedImage(LPCTSTR image) {
    m_focusedImage = image;
    Invalidate();
}

void CRichEditUI::SetDisabledImage(LPCTSTR image) {
    m_disabledImage = image;
    Invalidate();
}

// ---- The engine's text ----

LRESULT CRichEditUI::Send(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    TxSendMessage(msg, wParam, lParam, &result);
    return result;
}

LRESULT CRichEditUI::Query(UINT msg, WPARAM wParam, LPARAM lParam) const {
    // Questions go through TxSendMessage like every other message, so an
    // override sees them too; asking changes nothing of the control itself.
    return const_cast<CRichEditUI*>(this)->Send(msg, wParam, lParam);
}

long CRichEditUI::GetTextLength(DWORD flags) const {
    GETTEXTLENGTHEX request = {flags, kUnicodeCodePage};
    return static_cast<long>(Query(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0));
}

CUIString CRichEditUI::GetText() const {
    if (!m_host) return m_text;
    const long length = std::max(0L, GetTextLength(GTL_DEFAULT));
    std::vector<WCHAR> buffer(static_cast<size_t>(length) + 1);
    GETTEXTEX request = {};
    request.cb = static_cast<DWORD>(buffer.size() * sizeof(WCHAR));
    request.flags = GT_DEFAULT;
    request.codepage = kUnicodeCodePage;
    Query(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = L'\0';
    return CUIString(buffer.data());
}

void CRichEditUI::SetText(LPCTSTR text) {
    m_text = text;
    if (!m_host) return;
    SetSel(0, -1);
    ReplaceSel(text, false);
}

void CRichEditUI::SetSel(long start, long end) {
    CHARRANGE range = {start, end};
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void CRichEditUI::SetSelAll() { SetSel(0, -1); }

void CRichEditUI::ReplaceSel(LPCTSTR text, bool canUndo) {
    Send(EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text ? text : L""));
}

WORD CRichEditUI::GetSelectionType() const { return LOWORD(Query(EM_SELECTIONTYPE, 0, 0)); }

bool CRichEditUI::CanUndo() const { return m_host && Query(EM_CANUNDO, 0, 0) == 1; }
bool CRichEditUI::CanRedo() const { return m_host && Query(EM_CANREDO, 0, 0) == 1; }
bool CRichEditUI::Undo() { return m_host && Send(EM_UNDO) == 1; }
bool CRichEditUI::Redo() { return m_host && Send(EM_REDO) == 1; }
void CRichEditUI::Cut() { Send(WM_CUT); }
void CRichEditUI::Copy() { Send(WM_COPY); }
void CRichEditUI::Paste() { Send(WM_PASTE); }
void CRichEditUI::Clear() { Send(WM_CLEAR); }

// ---- Layout ----

void CRichEditUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    const RECT view0 = Deflate(m_itemRect, GetInset());
    RECT scroll = view0;
    RECT view = view0;
    CScrollBarUI* vertical = m_verticalScrollBar.get();
    CScrollBarUI* horizontal = m_horizontalScrollBar.get();
    const bool verticalVisible = vertical && vertical->IsVisible();
    if (verticalVisible) {
        scroll.top -= vertical->GetScrollPos();
        scroll.bottom = scroll.bottom - vertical->GetScrollPos() + vertical->GetScrollRange();
        scroll.right -= vertical->GetFixedWidth();
        view.right -= vertical->GetFixedWidth();
    }
    if (horizontal && horizontal->IsVisible()) {
        scroll.left -= horizontal->GetScrollPos();
        scroll.right = scroll.right - horizontal->GetScrollPos() + horizontal->GetScrollRange();
        scroll.bottom -= horizontal->GetFixedHeight();
        view.bottom -= horizontal->GetFixedHeight();
    }

    if (m_host) {
        const RECT padding = GetTextPadding();
        const RECT client = Deflate(view, padding);
        m_host->SetClientRect(&client);
        // The engine hides the bar while it lays out at the wider view; the
        // text may still need it at the narrower one.
        if (verticalVisible && (!vertical->IsVisible() || m_vscrollAutoShown)) {
            const RECT text = Deflate(scroll, padding);
            LONG height = 0;
            if (!NaturalHeightFits(text, client.right - client.left + vertical->GetFixedWidth(), height)) {
                vertical->SetVisible(true);
                vertical->SetScrollPos(0);
                m_vscrollAutoShown = true;
            } else if (m_vscrollAutoShown) {
                vertical->SetVisible(false);
                m_vscrollAutoShown = false;
            }
        }
    }

    if (vertical && vertical->IsVisible()) {
        vertical->SetPos(RECT{view.right, view.top, view.right + vertical->GetFixedWidth(), view.bottom});
    }
    if (horizontal && horizontal->IsVisible()) {
        horizontal->SetPos(RECT{view.left, view.bottom, view.right, view.bottom + horizontal->GetFixedHeight()});
    }

    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const int width = std::clamp<int>(scroll.right - scroll.left, child->GetMinWidth(),
                                          std::max(child->GetMinWidth(), child->GetMaxWidth()));
        const int height = std::clamp<int>(scroll.bottom - scroll.top, child->GetMinHeight(),
                                           std::max(child->GetMinHeight(), child->GetMaxHeight()));
        child->SetPos(RECT{scroll.left, scroll.top, scroll.left + width, scroll.top + height}, false);
    }
}

// True when the text, laid out `width` wide, fits the height of `view`.
bool CRichEditUI::NaturalHeightFits(const RECT& view, LONG width, LONG& height) const {
    SIZEL extent = {-1, -1};
    height = 0;
    m_host->GetTextServices()->TxGetNaturalSize(DVASPECT_CONTENT, m_manager ? m_manager->GetPaintDC() : nullptr,
                                                nullptr, nullptr, TXTNS_FITTOCONTENT, &extent, &width, &height);
    return height <= view.bottom - view.top;
}

void CRichEditUI::Move(int dx, int dy, bool needInvalidate) {
    CContainerUI::Move(dx, dy, needInvalidate);
    if (!m_host) return;
    // The same text rectangle as a full layout gives, padding included.
    const RECT client = Deflate(GetInnerRect(), GetTextPadding());
    m_host->SetClientRect(&client);
}

SIZE CRichEditUI::EstimateSize(SIZE available) { return CControlUI::EstimateSize(available); }

// ---- Life and events ----

void CRichEditUI::DoInit() {
    if (m_initialised || !m_manager) return;
    CREATESTRUCTW params = {};
    params.style = static_cast<LONG>(m_style);
    params.lpszName = m_text.GetData();
    m_host = CreateHost(this, &params);
    if (m_host) {
        if (m_transparent) m_host->SetTransparent(true);
        Send(EM_SETLANGOPTIONS, 0, 0);
        Send(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_DROPFILES | ENM_LINK);
        m_host->ActivateInPlace(nullptr);
        m_manager->AddMessageFilter(this);
        if (m_manager->IsLayered()) m_manager->SetTimer(this, kCaretBlinkTimer, GetCaretBlinkTime());
        if (!IsEnabled()) m_host->SetColor(m_manager->GetDefaultColor1());
    }
    m_initialised = true;
}

void CRichEditUI::DoEvent(TUIEvent& event) {
    if (!IsMouseEnabled() && event.type >= EventMouseFirst && event.type <= EventMouseLast) {
        if (m_parent) {
            m_parent->DoEvent(event);
        } else {
            CControlUI::DoEvent(event);
        }
        return;
    }
    switch (event.type) {
    case EventSetCursor:
        if (IsEnabled() && m_host && m_host->DoSetCursor(nullptr, &event.mousePoint)) return;
        break;
    case EventWindowSize:
        if (m_host) m_host->SetCaretNeedsRepaint();
        return;
    case EventSetFocus:
    case EventKillFocus: {
        const bool gaining = event.type == EventSetFocus;
        if (m_host) {
            m_host->ActivateInPlace(nullptr);
            Send(gaining ? WM_SETFOCUS : WM_KILLFOCUS);
        }
        m_focused = gaining;
        Invalidate();
        return;
    }
    case EventTimer:
        if (event.wParam == kCaretBlinkTimer) {
            BlinkCaret();
        } else if (m_host) {
            Send(WM_TIMER, event.wParam, event.lParam);
        }
        return;
    case EventScrollWheel:
        if (event.keyState & UIKEY_CONTROL) return;
        break;
    case EventButtonDown:
    case EventDblClick:
    case EventMouseMove:
    case EventButtonUp:
    case EventKeyDown:
    case EventKeyUp:
    case EventChar:
    case EventSysKey:
        // The message filter has given these to the engine already.
        return;
    default:
        break;
    }
    CContainerUI::DoEvent(event);
}

void CRichEditUI::BlinkCaret() {
    if (!m_host || !m_manager || !IsFocused() || ::GetFocus() != m_manager->GetPaintWindow()) return;
    m_caretVisible = !m_caretVisible;
    POINT caret = {};
    ::GetCaretPos(&caret);
    RECT rc = {caret.x, caret.y, caret.x + m_host->GetCaretWidth(), caret.y + m_host->GetCaretHeight()};
    if (!IntersectRect(&rc, &rc, &m_itemRect)) return;
    for (CControlUI* parent = m_parent; parent; parent = parent->GetParent()) {
        if (!IntersectRect(&rc, &rc, &parent->GetPos())) return;
    }
    m_manager->InvalidateRect(rc);
}

// ---- Messages for the engine ----

HRESULT CRichEditUI::TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (!m_host) return S_FALSE;
    if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
        const bool breaksLine = m_wantReturn && (GetKeyState(VK_CONTROL) >= 0 || m_wantCtrlReturn);
        if (!breaksLine) {
            if (m_manager) m_manager->SendNotify(this, L"return");
            if (result) *result = 0;
            return S_OK;
        }
    }
    LRESULT ignored = 0;
    return m_host->GetTextServices()->TxSendMessage(msg, wParam, lParam, result ? result : &ignored);
}

bool CRichEditUI::OnTxViewChanged() { return true; }

void CRichEditUI::OnTxNotify(DWORD code, void* data) {
    switch (code) {
    case EN_CHANGE:
        if (m_manager) m_manager->SendNotify(this, L"textchanged");
        return;
    case EN_MSGFILTER:
    case EN_SELCHANGE:
    case EN_DROPFILES:
    case EN_PROTECTED:
    case EN_STOPNOUNDO:
    case EN_SAVECLIPBOARD:
    case EN_OLEOPFAILED:
    case EN_OBJECTPOSITIONS:
    case EN_LINK:
    case EN_DRAGDROPDONE: {
        if (!data || !m_manager) return;
        const HWND window = m_manager->GetPaintWindow();
        const UINT_PTR id = static_cast<UINT_PTR>(GetWindowLongW(window, GWL_ID));
        auto* header = static_cast<NMHDR*>(data);
        header->hwndFrom = window;
        header->idFrom = id;
        header->code = code;
        ::SendMessageW(window, WM_NOTIFY, id, reinterpret_cast<LPARAM>(data));
        return;
    }
    default:
        return;
    }
}

bool CRichEditUI::AcceptsMouse(UINT msg, LPARAM lParam) const {
    if (m_host->GetCapture()) return true;
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (msg >= WM_MOUSEMOVE && msg <= WM_RBUTTONUP && m_manager->FindControlAt(pt) != this) return false;
    const HWND window = m_manager->GetPaintWindow();
    if (msg == WM_SETCURSOR) {
        ::GetCursorPos(&pt);
        ::ScreenToClient(window, &pt);
    } else if (msg == WM_MOUSEWHEEL) {
        ::ScreenToClient(window, &pt);
    }
    return PtInRect(&m_host->GetClientRect(), pt) && !m_manager->IsCaptured();
}

LRESULT CRichEditUI::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (!m_host || !m_manager || !IsVisible() || !IsEnabled()) return 0;
    const bool mouse = IsMouseMessage(msg);
    if (mouse && !IsMouseEnabled()) return 0;
    if (msg == WM_MOUSEWHEEL && (LOWORD(wParam) & MK_CONTROL) == 0) return 0;
    if (msg == WM_IME_COMPOSITION) {
        PlaceCompositionWindow();
        return 0;
    }

    bool stayUnhandled = false;
    if (mouse || msg == WM_SETCURSOR) {
        if (!AcceptsMouse(msg, lParam)) return 0;
        stayUnhandled = msg == WM_SETCURSOR;
        if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDOWN) {
            if (!m_manager->IsNoActivate()) ::SetFocus(m_manager->GetPaintWindow());
            SetFocus();
        }
    } else if (msg == WM_CONTEXTMENU) {
        const POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        POINT pt = screen;
        ::ScreenToClient(m_manager->GetPaintWindow(), &pt);
        if (m_manager->FindControlAt(pt) != this) return 0;
        ShowContextMenu(screen);
    } else if (msg == WM_COMMAND || msg == WM_HELP) {
        // A command with a menu's number from anywhere else is not the menu's:
        // the menu's own choice was acted on where it was made.
        stayUnhandled = true;
    } else if (IsKeyboardMessage(msg)) {
        if (!IsFocused()) return 0;
    } else {
        return 0;
    }

    LRESULT result = 0;
    const HRESULT hr = TxSendMessage(msg, wParam, lParam, &result);
    const bool capturedMouse = mouse && m_host && m_host->GetCapture();
    if (hr != S_OK && !IsKeyboardMessage(msg) && !capturedMouse) return result;
    handled = !stayUnhandled;
    return result;
}

void CRichEditUI::PlaceCompositionWindow() const {
    const HWND window = m_manager->GetPaintWindow();
    const HIMC context = ImmGetContext(window);
    if (!context) return;
    COMPOSITIONFORM form = {};
    form.dwStyle = CFS_POINT;
    ::GetCaretPos(&form.ptCurrentPos);
    ImmSetCompositionWindow(context, &form);
    ImmReleaseContext(window, context);
}

// The menu's choice comes back from the menu itself, so no command that
// merely carries one of its numbers can edit the text.
void CRichEditUI::ShowContextMenu(POINT screen) {
    const kvwin::UniqueMenu menu(CreatePopupMenu());
    if (!menu) return;
    const bool selected = GetSelectionType() != SEL_EMPTY;
    struct Item {
        UINT id;
        LPCWSTR text;
        bool grey;
    };
    const Item items[] = {
        {kMenuUndo, L"撤销(&U)", !CanUndo()},
        {kMenuRedo, L"重做(&R)", !CanRedo()},
        {0, nullptr, false},
        {kMenuCut, L"剪切(&X)", !selected || m_readOnly},
        {kMenuCopy, L"复制(&C)", !selected},
        {kMenuPaste, L"粘帖(&V)", m_readOnly},
        {kMenuClear, L"清空(&L)", !selected || m_readOnly},
        {0, nullptr, false},
        {kMenuSelectAll, L"全选(&A)", false},
    };
    for (const Item& item : items) {
        if (!item.id) {
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        AppendMenuW(menu.get(), MF_STRING | (item.grey ? MF_GRAYED : 0), item.id, item.text);
    }
    const UINT command = static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x,
                                                          screen.y, 0, m_manager->GetPaintWindow(), nullptr));
    RunMenuCommand(command);
}

void CRichEditUI::RunMenuCommand(UINT command) {
    switch (command) {
    case kMenuUndo: Undo(); break;
    case kMenuCut: Cut(); break;
    case kMenuCopy: Copy(); break;
    case kMenuPaste: Paste(); break;
    case kMenuClear: Clear(); break;
    case kMenuSelectAll: SetSelAll(); break;
    case kMenuRedo: Redo(); break;
    default: break;
    }
}

// ---- Scrolling: the engine scrolls its text, the bars follow it ----

void CRichEditUI::SetScrollPos(SIZE pos, bool notify) {
    (void)notify;
    if (CScrollBarUI* bar = VisibleVerticalBar()) {
        const int old = bar->GetScrollPos();
        bar->SetScrollPos(pos.cy);
        const int requested = bar->GetScrollPos();
        if (requested != old) {
            Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, requested), 0);
            // A plain-text engine may stop short of a downward move it was asked for.
            if (!m_rich && requested > old && bar->IsVisible() && bar->GetScrollPos() <= requested) {
                bar->SetScrollPos(requested);
            }
        }
    }
    if (CScrollBarUI* bar = VisibleHorizontalBar()) {
        const int old = bar->GetScrollPos();
        bar->SetScrollPos(pos.cx);
        if (bar->GetScrollPos() != old) Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, bar->GetScrollPos()), 0);
    }
}

void CRichEditUI::LineUp() { Send(WM_VSCROLL, SB_LINEUP); }

void CRichEditUI::LineDown() {
    CScrollBarUI* bar = m_rich ? nullptr : VisibleVerticalBar();
    const int old = bar ? bar->GetScrollPos() : 0;
    Send(WM_VSCROLL, SB_LINEDOWN);
    if (bar && bar->IsVisible() && bar->GetScrollPos() <= old) bar->SetScrollPos(bar->GetScrollRange());
}

void CRichEditUI::PageUp() { Send(WM_VSCROLL, SB_PAGEUP); }
void CRichEditUI::PageDown() { Send(WM_VSCROLL, SB_PAGEDOWN); }
void CRichEditUI::HomeUp() { Send(WM_VSCROLL, SB_TOP); }
void CRichEditUI::EndDown() { Send(WM_VSCROLL, SB_BOTTOM); }
void CRichEditUI::LineLeft() { Send(WM_HSCROLL, SB_LINEUP); }
void CRichEditUI::LineRight() { Send(WM_HSCROLL, SB_LINEDOWN); }
void CRichEditUI::PageLeft() { Send(WM_HSCROLL, SB_PAGEUP); }
void CRichEditUI::PageRight() { Send(WM_HSCROLL, SB_PAGEDOWN); }
void CRichEditUI::HomeLeft() { Send(WM_HSCROLL, SB_TOP); }
void CRichEditUI::EndRight() { Send(WM_HSCROLL, SB_BOTTOM); }

// ---- Painting ----

bool CRichEditUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    RECT area;
    if (!IntersectRect(&area, &paint, &m_itemRect)) return true;
    CRenderClip clip;
    CRenderClip::GenerateClip(dc, area, clip);
    CControlUI::DoPaint(dc, paint, stopControl);

    if (m_host) {
        RECT bounds = m_host->GetClientRect();
        RECT update = paint;
        m_host->GetTextServices()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr,
                                          reinterpret_cast<LPCRECTL>(&bounds), nullptr, &update, nullptr, 0,
                                          TXTVIEW_ACTIVE);
        LONG height = 0;
        if (m_vscrollAutoShown && m_verticalScrollBar &&
            NaturalHeightFits(bounds, bounds.right - bounds.left + m_verticalScrollBar->GetFixedWidth(), height)) {
            NeedUpdate();
        }
    }

    const RECT inner = GetInnerRect();
    for (CControlUI* child : m_items) {
        if (child == stopControl) return false;
        if (!child->IsVisible() || !Meets(paint, child->GetPos())) continue;
        if (!Meets(child->IsFloat() ? m_itemRect : inner, child->GetPos())) continue;
        if (!child->Paint(dc, paint, stopControl)) return false;
    }

    PaintLayeredCaret(dc);

    for (CScrollBarUI* bar : {VisibleVerticalBar(), VisibleHorizontalBar()}) {
        if (!bar) continue;
        if (bar == stopControl) return false;
        if (Meets(paint, bar->GetPos()) && !bar->Paint(dc, paint, stopControl)) return false;
    }

    PaintTip(dc);
    return true;
}

void CRichEditUI::PaintLayeredCaret(HDC dc) {
    if (!m_host || !m_manager || !m_manager->IsLayered()) return;
    if (!m_host->IsCaretShown() || !IsFocused() || !m_caretVisible) return;
    POINT caret = {};
    ::GetCaretPos(&caret);
    if (!PtInRect(&m_itemRect, caret)) return;
    const RECT line = {caret.x, caret.y, caret.x, caret.y + m_host->GetCaretHeight()};
    CRenderEngine::DrawLine(dc, line, m_host->GetCaretWidth(), 0xFF000000);
}

void CRichEditUI::PaintTip(HDC dc) {
    if (m_tipValue.IsEmpty() || IsFocused()) return;
    const bool empty = m_host ? GetTextLength() == 0 : m_text.IsEmpty();
    if (!empty) return;
    RECT rc = Deflate(m_itemRect, GetTextPadding());
    const UINT style = m_tipValueAlign | (IsMultiLine() ? 0 : DT_VCENTER);
    CRenderEngine::DrawText(dc, m_manager, rc, m_tipValue.GetData(), m_tipValueColor, m_font, style);
}

void CRichEditUI::PaintStatusImage(HDC dc) {
    m_state = IsFocused() ? (m_state | StateFocused) : (m_state & ~StateFocused);
    m_state = IsEnabled() ? (m_state & ~StateDisabled) : (m_state | StateDisabled);
    if (m_state & StateDisabled) {
        if (!m_disabledImage.IsEmpty() && DrawImage(dc, m_disabledImage.GetData())) return;
    } else if (m_state & StateFocused) {
        if (!m_focusedImage.IsEmpty() && DrawImage(dc, m_focusedImage.GetData())) return;
    }
    if (!m_normalImage.IsEmpty()) DrawImage(dc, m_normalImage.GetData());
}

// ---- Attributes ----

void CRichEditUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    using attribute::Is;
    if (wcscmp(name, L"vscrollbar") == 0) {
        if (IsTrueExactly(value)) m_style |= WS_VSCROLL | ES_DISABLENOSCROLL;
        CContainerUI::SetAttribute(name, value);
    } else if (wcscmp(name, L"hscrollbar") == 0) {
        if (IsTrueExactly(value)) m_style |= WS_HSCROLL | ES_DISABLENOSCROLL;
        CContainerUI::SetAttribute(name, value);
    } else if (wcscmp(name, L"autovscroll") == 0) {
        if (IsTrueExactly(value)) m_style |= ES_AUTOVSCROLL;
        CContainerUI::SetAttribute(name, value);
    } else if (wcscmp(name, L"autohscroll") == 0) {
        if (IsTrueExactly(value)) m_style |= ES_AUTOHSCROLL;
    } else if (Is(name, L"multiline")) {
        SetMultiLine(IsTrueExactly(value));
    } else if (wcscmp(name, L"wanttab") == 0) {
        SetWantTab(IsTrueExactly(value));
    } else if (wcscmp(name, L"wantreturn") == 0) {
        SetWantReturn(IsTrueExactly(value));
    } else if (wcscmp(name, L"wantctrlreturn") == 0) {
        SetWantCtrlReturn(IsTrueExactly(value));
    } else if (wcscmp(name, L"transparent") == 0) {
        SetTransparent(IsTrueExactly(value));
    } else if (wcscmp(name, L"rich") == 0) {
        SetRich(IsTrueExactly(value));
    } else if (wcscmp(name, L"readonly") == 0) {
        if (IsTrueExactly(value)) {
            m_style |= ES_READONLY;
            m_readOnly = true;
        }
    } else if (wcscmp(name, L"password") == 0) {
        if (IsTrueExactly(value)) m_style |= ES_PASSWORD;
    } else if (wcscmp(name, L"align") == 0) {
        const DWORD alignBits = ES_CENTER | ES_RIGHT;
        if (wcsstr(value, L"left")) m_style &= ~alignBits;
        if (wcsstr(value, L"center")) m_style = (m_style & ~alignBits) | ES_CENTER;
        if (wcsstr(value, L"right")) m_style = (m_style & ~alignBits) | ES_RIGHT;
    } else if (wcscmp(name, L"font") == 0) {
        SetFont(attribute::Int(value));
    } else if (wcscmp(name, L"textcolor") == 0) {
        while (*value > L'\0' && *value <= L' ') ++value;
        SetTextColor(attribute::Color(value));
    } else if (Is(name, L"maxchar")) {
        SetLimitText(attribute::Int(value));
    } else if (Is(name, L"normalimage")) {
        SetNormalImage(value);
    } else if (Is(name, L"hotimage")) {
        SetHotImage(value);
    } else if (Is(name, L"focusedimage")) {
        SetFocusedImage(value);
    } else if (Is(name, L"disabledimage")) {
        SetDisabledImage(value);
    } else if (Is(name, L"textpadding")) {
        SetTextPadding(attribute::Rect(value));
    } else if (Is(name, L"tipvalue")) {
        SetTipValue(value);
    } else if (Is(name, L"tipvaluecolor")) {
        SetTipValueColor(attribute::Color(value));
    } else if (Is(name, L"tipvaluealign")) {
        if (wcsstr(value, L"left")) m_tipValueAlign = DT_SINGLELINE;
        if (wcsstr(value, L"center")) m_tipValueAlign = DT_SINGLELINE | DT_CENTER;
        if (wcsstr(value, L"right")) m_tipValueAlign = DT_SINGLELINE | DT_RIGHT;
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

}  // namespace KvUI
