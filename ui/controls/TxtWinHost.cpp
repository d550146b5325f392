#include "ui/controls/TxtWinHost.h"

#include "ui/controls/RichEditUI.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/ScrollBarUI.h"

// The engine's headers name the interfaces but the import libraries carry no
// identifiers for them.
__CRT_UUID_DECL(ITextHost, 0xc5bdd8d0, 0xd26e, 0x11ce, 0xa8, 0x9e, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5)

namespace KvUI {
namespace {

constexpr IID kIidTextServices = {0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};

constexpr LONG kDefaultMaxLength = 32767;
constexpr LONG kTwipsPerInch = 1440;
constexpr int kHimetricPerInch = 2540;
// Bold, italic, underline, size, colour, face, offset and character set.
constexpr DWORD kCharFormatMask = 0xF8000007;
// Indents, offset, alignment, tab stops, numbering, right-to-left and offset indent.
constexpr DWORD kParaFormatMask = 0x8001003F;
constexpr LONG kDefaultTab = 720;
constexpr DWORD kScrollBarStyles = WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL;

using CreateTextServicesProc = HRESULT(STDAPICALLTYPE*)(IUnknown*, ITextHost*, IUnknown**);

// The engine's library stays loaded for the life of the process: engines
// created from it may outlive any one host's view of it.
CreateTextServicesProc LoadCreateTextServices() {
    static const CreateTextServicesProc proc = [] {
        const HMODULE module = LoadLibraryW(L"Msftedit.dll");
        return module ? reinterpret_cast<CreateTextServicesProc>(
                            reinterpret_cast<void*>(GetProcAddress(module, "CreateTextServices")))
                      : nullptr;
    }();
    return proc;
}

int DpiOf(HDC dc, int index) {
    const int dpi = dc ? GetDeviceCaps(dc, index) : 0;
    return dpi > 0 ? dpi : 96;
}

}  // namespace

CTxtWinHost::CTxtWinHost() = default;

CTxtWinHost::~CTxtWinHost() {
    // Only an engine that was created is told to leave.
    if (m_services) m_services->OnTxInPlaceDeactivate();
}

kvwin::CComRef<CTxtWinHost> CreateHost(CRichEditUI* owner, const CREATESTRUCTW* params) {
    auto host = kvwin::CComRef<CTxtWinHost>::Share(new CTxtWinHost());
    if (!host->Init(owner, params)) host.Reset();
    return host;
}

bool CTxtWinHost::Init(CRichEditUI* owner, const CREATESTRUCTW* params) {
    m_owner = owner;
    if (!MakeCharFormat(nullptr)) return false;
    m_paraFormat.cbSize = sizeof m_paraFormat;
    m_paraFormat.dwMask = kParaFormatMask;
    m_paraFormat.wAlignment = PFA_LEFT;
    m_paraFormat.cTabCount = 1;
    m_paraFormat.rgxTabs[0] = kDefaultTab;

    m_style = ES_MULTILINE;
    m_richText = owner->IsRich();
    m_maxLength = owner->GetLimitText() < 1 ? kDefaultMaxLength : owner->GetLimitText();
    if (params) {
        m_style = static_cast<DWORD>(params->style);
        if (!(m_style & (ES_AUTOHSCROLL | WS_HSCROLL))) m_wordWrap = true;
    }
    if (m_style & ES_CENTER) {
        m_paraFormat.wAlignment = PFA_CENTER;
    } else if (m_style & ES_RIGHT) {
        m_paraFormat.wAlignment = PFA_RIGHT;
    }
    m_inPlaceActive = true;

    const CreateTextServicesProc create = LoadCreateTextServices();
    if (!create) return false;
    kvwin::CComRef<IUnknown> unknown;
    if (FAILED(create(nullptr, this, unknown.Receive())) || !unknown) return false;
    if (FAILED(unknown->QueryInterface(kIidTextServices, m_services.ReceiveVoid())) || !m_services) {
        m_services.Reset();
        return false;
    }
    if (params && params->lpszName && FAILED(m_services->TxSetText(params->lpszName))) return false;
    ApplyMaxLength();
    return true;
}

STDMETHODIMP CTxtWinHost::QueryInterface(REFIID iid, void** out) {
    return kvwin::QueryInterfaceFor<ITextHost>(this, iid, out);
}

// ---- Formats ----

bool CTxtWinHost::MakeCharFormat(HFONT font) {
    CPaintManagerUI* manager = m_owner->GetManager();
    if (!font && manager) font = manager->GetFont(m_owner->GetFont());
    LOGFONTW lf = {};
    if (!font || !GetObjectW(font, sizeof lf, &lf)) return false;

    CHARFORMAT2W& cf = m_charFormat;
    cf.cbSize = sizeof cf;
    cf.dwMask = kCharFormatMask;
    cf.yHeight = lf.lfHeight * -kTwipsPerInch / DpiOf(manager ? manager->GetPaintDC() : nullptr, LOGPIXELSY);
    cf.yOffset = 0;
    cf.dwEffects = 0;
    if (lf.lfWeight >= FW_BOLD) cf.dwEffects |= CFE_BOLD;
    if (lf.lfItalic) cf.dwEffects |= CFE_ITALIC;
    if (lf.lfUnderline) cf.dwEffects |= CFE_UNDERLINE;
    DWORD color = m_owner->GetTextColor();
    if (IsLayered()) color = CRenderEngine::AdjustColor(color);
    cf.crTextColor = ArgbToColorRef(color);
    cf.bCharSet = lf.lfCharSet;
    cf.bPitchAndFamily = lf.lfPitchAndFamily;
    wcsncpy(cf.szFaceName, lf.lfFaceName, LF_FACESIZE - 1);
    cf.szFaceName[LF_FACESIZE - 1] = L'\0';
    return true;
}

void CTxtWinHost::NotifyBits(DWORD mask, DWORD bits) {
    if (m_services) m_services->OnTxPropertyBitsChange(mask, bits);
}

HWND CTxtWinHost::PaintWindow() const {
    CPaintManagerUI* manager = m_owner->GetManager();
    return manager ? manager->GetPaintWindow() : nullptr;
}

bool CTxtWinHost::IsLayered() const {
    CPaintManagerUI* manager = m_owner->GetManager();
    return manager && manager->IsLayered();
}

// ---- ITextHost ----

HDC CTxtWinHost::TxGetDC() {
    CPaintManagerUI* manager = m_owner->GetManager();
    return manager ? manager->GetPaintDC() : nullptr;
}

// The paint DC belongs to the paint manager: nothing to give back.
INT CTxtWinHost::TxReleaseDC(HDC) { return 1; }

BOOL CTxtWinHost::TxShowScrollBar(INT bar, BOOL show) {
    CScrollBarUI* vertical = m_owner->GetVerticalScrollBar();
    CScrollBarUI* horizontal = m_owner->GetHorizontalScrollBar();
    if (vertical && (bar == SB_VERT || bar == SB_BOTH)) vertical->SetVisible(show == TRUE);
    if (horizontal && (bar == SB_HORZ || bar == SB_BOTH)) horizontal->SetVisible(show == TRUE);
    return TRUE;
}

BOOL CTxtWinHost::TxEnableScrollBar(INT bars, INT arrows) {
    const bool visible = arrows != ESB_DISABLE_BOTH;
    if (bars == SB_VERT) {
        m_owner->EnableScrollBar(true, m_owner->GetHorizontalScrollBar() != nullptr);
        m_owner->GetVerticalScrollBar()->SetVisible(visible);
    } else if (bars == SB_HORZ) {
        m_owner->EnableScrollBar(m_owner->GetVerticalScrollBar() != nullptr, true);
        m_owner->GetHorizontalScrollBar()->SetVisible(visible);
    } else if (bars == SB_BOTH) {
        m_owner->EnableScrollBar(true, true);
        m_owner->GetVerticalScrollBar()->SetVisible(visible);
        m_owner->GetHorizontalScrollBar()->SetVisible(visible);
    }
    return TRUE;
}

BOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, BOOL) {
    const bool vertical = bar == SB_VERT;
    CScrollBarUI* scrollBar = vertical ? m_owner->GetVerticalScrollBar() : m_owner->GetHorizontalScrollBar();
    if (!scrollBar) return TRUE;
    const LONG view = vertical ? m_clientRect.bottom - m_clientRect.top : m_clientRect.right - m_clientRect.left;
    const LONG excess = maxPos - minPos - view;
    if (excess > 0) {
        scrollBar->SetVisible(true);
        scrollBar->SetScrollRange(static_cast<int>(excess));
    } else {
        scrollBar->SetVisible(false);
    }
    return TRUE;
}

BOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, BOOL) {
    CScrollBarUI* scrollBar =
        bar == SB_VERT ? m_owner->GetVerticalScrollBar() : m_owner->GetHorizontalScrollBar();
    if (scrollBar) scrollBar->SetScrollPos(pos);
    return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rc, BOOL) {
    CPaintManagerUI* manager = m_owner->GetManager();
    if (!manager) return;
    RECT dirty = rc ? *rc : m_clientRect;
    manager->InvalidateRect(dirty);
}

void CTxtWinHost::TxViewChange(BOOL) {
    if (m_owner->OnTxViewChanged()) m_owner->Invalidate();
}

BOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height) {
    m_caretWidth = width;
    m_caretHeight = height;
    return ::CreateCaret(PaintWindow(), bitmap, width, height);
}

BOOL CTxtWinHost::TxShowCaret(BOOL show) {
    m_caretShown = show != FALSE;
    return show ? ::ShowCaret(PaintWindow()) : ::HideCaret(PaintWindow());
}

// A layered window has no system caret on screen: the control draws it, so
// both the old and the new place are repainted.
BOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) {
    CPaintManagerUI* manager = m_owner->GetManager();
    POINT old = {};
    ::GetCaretPos(&old);
    RECT oldRect = {old.x, old.y, old.x + m_lastCaretWidth, old.y + m_lastCaretHeight};
    const bool layered = IsLayered();
    if (manager && layered) {
        manager->InvalidateRect(oldRect);
    } else if (manager && m_caretNeedsRepaint) {
        manager->InvalidateRect(oldRect);
        m_caretNeedsRepaint = false;
    }
    RECT newRect = {x, y, x + m_caretWidth, y + m_caretHeight};
    if (manager && layered) manager->InvalidateRect(newRect);
    m_lastCaretWidth = m_caretWidth;
    m_lastCaretHeight = m_caretHeight;
    return ::SetCaretPos(x, y);
}

BOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout) {
    m_timerSet = true;
    CPaintManagerUI* manager = m_owner->GetManager();
    return manager && manager->SetTimer(m_owner, id, timeout);
}

void CTxtWinHost::TxKillTimer(UINT id) {
    if (CPaintManagerUI* manager = m_owner->GetManager()) manager->KillTimer(m_owner, id);
    m_timerSet = false;
}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void CTxtWinHost::TxSetCapture(BOOL capture) {
    if (CPaintManagerUI* manager = m_owner->GetManager()) {
        if (capture) {
            manager->SetCapture();
        } else {
            manager->ReleaseCapture();
        }
    }
    m_captured = capture != FALSE;
}

void CTxtWinHost::TxSetFocus() { m_owner->SetFocus(); }

void CTxtWinHost::TxSetCursor(HCURSOR cursor, BOOL) { ::SetCursor(cursor); }

BOOL CTxtWinHost::TxScreenToClient(LPPOINT pt) { return ::ScreenToClient(PaintWindow(), pt); }

BOOL CTxtWinHost::TxClientToScreen(LPPOINT pt) { return ::ClientToScreen(PaintWindow(), pt); }

HRESULT CTxtWinHost::TxActivate(LONG*) { return S_OK; }

HRESULT CTxtWinHost::TxDeactivate(LONG) { return S_OK; }

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rc) {
    *rc = m_clientRect;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rc) {
    *rc = RECT{};
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format) {
    *format = reinterpret_cast<const CHARFORMATW*>(&m_charFormat);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format) {
    *format = reinterpret_cast<const PARAFORMAT*>(&m_paraFormat);
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) { return ::GetSysColor(index); }

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style) {
    *style = m_transparent ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length) {
    *length = static_cast<DWORD>(m_maxLength);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* scrollBars) {
    *scrollBars = m_style & kScrollBarStyles;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch) {
    *ch = m_passwordChar;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pos) {
    *pos = m_acceleratorPos;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent) {
    *extent = m_extent;
    return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*) { return S_OK; }

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*) { return S_OK; }

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
    DWORD result = 0;
    if (m_richText) result |= TXTBIT_RICHTEXT;
    if (m_style & ES_MULTILINE) result |= TXTBIT_MULTILINE;
    if (m_style & ES_READONLY) result |= TXTBIT_READONLY;
    if (m_style & ES_PASSWORD) result |= TXTBIT_USEPASSWORD;
    if (!(m_style & ES_NOHIDESEL)) result |= TXTBIT_HIDESELECTION;
    if (m_wordWrap) result |= TXTBIT_WORDWRAP;
    *bits = result & mask;
    return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data) {
    if (code != EN_REQUESTRESIZE) {
        m_owner->OnTxNotify(code, data);
        return S_OK;
    }
    if (!data) return S_OK;
    const RECT& requested = static_cast<const REQRESIZE*>(data)->rc;
    const RECT rc = {m_clientRect.left, m_clientRect.top, m_clientRect.left + requested.right,
                     m_clientRect.top + requested.bottom};
    SetClientRect(&rc);
    return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() { return nullptr; }

void CTxtWinHost::TxImmReleaseContext(HIMC) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width) {
    *width = m_selectionBarWidth;
    return S_OK;
}

// ---- Settings from the control ----

void CTxtWinHost::SetFont(HFONT font) {
    if (!font || !MakeCharFormat(font)) return;
    NotifyBits(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetColor(DWORD argb) {
    m_charFormat.crTextColor = ArgbToColorRef(argb);
    NotifyBits(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::LimitText(LONG length) {
    m_maxLength = length < 1 ? kDefaultMaxLength : length;
    NotifyBits(TXTBIT_MAXLENGTHCHANGE, TXTBIT_MAXLENGTHCHANGE);
    ApplyMaxLength();
}

// Not every engine asks the host for the limit again when told it changed
// (Wine's never asks): it is set on the engine as well.
void CTxtWinHost::ApplyMaxLength() {
    LRESULT unused = 0;
    if (m_services) m_services->TxSendMessage(EM_EXLIMITTEXT, 0, m_maxLength, &unused);
}

void CTxtWinHost::SetRichTextFlag(bool rich) {
    m_richText = rich;
    NotifyBits(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
}

void CTxtWinHost::SetTransparent(bool transparent) {
    m_transparent = transparent;
    NotifyBits(TXTBIT_BACKSTYLECHANGE, 0);
}

void CTxtWinHost::SetClientRect(const RECT* rc) {
    m_clientRect = *rc;
    const HDC dc = TxGetDC();
    m_extent.cx = MulDiv(m_clientRect.right - m_clientRect.left, kHimetricPerInch, DpiOf(dc, LOGPIXELSX));
    m_extent.cy = MulDiv(m_clientRect.bottom - m_clientRect.top, kHimetricPerInch, DpiOf(dc, LOGPIXELSY));
    NotifyBits(TXTBIT_VIEWINSETCHANGE, TXTBIT_VIEWINSETCHANGE);
}

HRESULT CTxtWinHost::ActivateInPlace(const RECT* rc) {
    if (!m_services) return E_FAIL;
    m_inPlaceActive = true;
    const HRESULT hr = m_services->OnTxInPlaceActivate(rc);
    if (FAILED(hr)) m_inPlaceActive = false;
    return hr;
}

bool CTxtWinHost::DoSetCursor(const RECT* rc, const POINT* pt) {
    const RECT area = rc ? *rc : m_clientRect;
    if (!m_services || !PtInRect(&area, *pt)) return false;
    const RECT* clip = (m_inPlaceActive && !rc) ? nullptr : &area;
    m_services->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr, TxGetDC(), nullptr, clip, pt->x, pt->y);
    return true;
}

}  // namespace KvUI
