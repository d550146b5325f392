#include "ui/core/ControlUI.h"

#include <cwchar>
#include <cwctype>

#include "ui/core/AttributeValue.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderClip.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/ResourceManager.h"

namespace KvUI {
namespace {

using attribute::IsTrue;

bool HasComma(LPCTSTR value) { return wcschr(value, L',') != nullptr; }

// A skin colour as the base control reads it: optional leading blanks (only
// when `skipBlanks`), then the usual form.
DWORD ParseColor(LPCTSTR value, bool skipBlanks = true) {
    if (skipBlanks) {
        while (*value && iswspace(*value)) ++value;
    }
    return attribute::Color(value);
}

struct CursorWord {
    LPCTSTR word;
    LPCTSTR id;
};

const CursorWord kCursors[] = {
    {L"arrow", IDC_ARROW},       {L"ibeam", IDC_IBEAM},       {L"wait", IDC_WAIT},
    {L"cross", IDC_CROSS},       {L"uparrow", IDC_UPARROW},   {L"size", IDC_SIZE},
    {L"icon", IDC_ICON},         {L"sizenwse", IDC_SIZENWSE}, {L"sizenesw", IDC_SIZENESW},
    {L"sizewe", IDC_SIZEWE},     {L"sizens", IDC_SIZENS},     {L"sizeall", IDC_SIZEALL},
    {L"no", IDC_NO},             {L"hand", IDC_HAND},
};

// "floatalign" words act on the alignment in order, starting from the current one.
UINT ApplyAlignWord(UINT align, const CUIString& word) {
    if (word.CompareNoCase(L"null") == 0) return 0;
    if (word.CompareNoCase(L"left") == 0) return align & ~(DT_CENTER | DT_RIGHT);
    if (word.CompareNoCase(L"center") == 0) return (align & ~DT_RIGHT) | DT_CENTER;
    if (word.CompareNoCase(L"right") == 0) return (align & ~DT_CENTER) | DT_RIGHT;
    if (word.CompareNoCase(L"top") == 0) return align & ~(DT_VCENTER | DT_BOTTOM);
    if (word.CompareNoCase(L"vcenter") == 0) return (align & ~DT_BOTTOM) | DT_VCENTER;
    if (word.CompareNoCase(L"bottom") == 0) return (align & ~DT_VCENTER) | DT_BOTTOM;
    return align;
}

UINT ParseFloatAlign(UINT align, LPCTSTR value) {
    while (*value) {
        while (*value == L',' || *value == L' ') ++value;
        LPCTSTR start = value;
        while (*value && *value != L',' && *value != L' ') ++value;
        if (value > start) align = ApplyAlignWord(align, CUIString(start, static_cast<int>(value - start)));
    }
    return align;
}

bool IntersectInto(RECT& rc, const RECT& other) {
    const RECT in = rc;
    return IntersectRect(&rc, &in, &other) != FALSE;
}

}  // namespace

struct CControlUI::StyleFrame {
    CUIString name;
    const StyleFrame* outer;
};

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    OnDestroy(this);
    RemoveAllCustomAttribute();
    if (m_manager) m_manager->ReapObjects(this);
}

const CUIString& CControlUI::GetName() const { return m_name; }
void CControlUI::SetName(LPCTSTR name) { m_name = name; }
LPCTSTR CControlUI::GetClass() const { return L"ControlUI"; }

LPVOID CControlUI::GetInterface(LPCTSTR name) {
    return (name && attribute::Is(name, L"Control")) ? this : nullptr;
}

UINT CControlUI::GetControlFlags() const { return 0; }
bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }
CPaintManagerUI* CControlUI::GetManager() const { return m_manager; }

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    m_manager = manager;
    m_parent = parent;
    if (init && m_parent) Init();
}

CControlUI* CControlUI::GetParent() const { return m_parent; }

CUIString CControlUI::GetText() const {
    if (!m_resourceText) return m_text;
    return CResourceTextRegistry::GetInstance()->GetText(m_text);
}

void CControlUI::SetText(LPCTSTR text) {
    if (m_text == text) return;
    m_text = text;
    m_text.Replace(L"{\\n}", L"\n");
    Invalidate();
}

bool CControlUI::IsResourceText() const { return m_resourceText; }

void CControlUI::SetResourceText(bool resourceText) {
    if (m_resourceText == resourceText) return;
    m_resourceText = resourceText;
    Invalidate();
}

bool CControlUI::IsDragEnabled() const { return m_dragEnabled; }
void CControlUI::SetDragEnable(bool enable) { m_dragEnabled = enable; }
bool CControlUI::IsDropEnabled() const { return m_dropEnabled; }
void CControlUI::SetDropEnable(bool enable) { m_dropEnabled = enable; }

RECT CControlUI::GetRelativePos() const {
    if (!m_parent) return RECT{};
    const RECT& parent = m_parent->GetPos();
    CUIRect rc(m_itemRect);
    rc.Offset(-parent.left, -parent.top);
    return rc;
}

RECT CControlUI::GetClientPos() const { return m_itemRect; }
const RECT& CControlUI::GetPos() const { return m_itemRect; }

void CControlUI::SetPos(RECT rc, bool needInvalidate) {
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;

    CUIRect dirty(IsRectEmpty(&m_itemRect) ? rc : m_itemRect);
    m_itemRect = rc;
    if (!m_manager) return;

    if (!m_setPosGuard) {
        m_setPosGuard = true;
        OnSize(this);
        m_setPosGuard = false;
    }
    m_updateNeeded = false;

    if (!needInvalidate || !IsVisible()) return;
    dirty.Join(m_itemRect);
    for (CControlUI* parent = m_parent; parent; parent = parent->GetParent()) {
        if (!parent->IsVisible()) return;
        if (!IntersectInto(dirty, parent->GetPos())) return;
    }
    m_manager->InvalidateRect(dirty);
}

void CControlUI::Move(int dx, int dy, bool needInvalidate) {
    (void)needInvalidate;  // the parent's relayout repaints
    m_fixedXY.cx += dx;
    m_fixedXY.cy += dy;
    NeedParentUpdate();
}

int CControlUI::GetWidth() const { return m_itemRect.right - m_itemRect.left; }
int CControlUI::GetHeight() const { return m_itemRect.bottom - m_itemRect.top; }
int CControlUI::GetX() const { return m_itemRect.left; }
int CControlUI::GetY() const { return m_itemRect.top; }

int CControlUI::Scaled(int n) const { return m_manager ? m_manager->GetScaler()->Scale(n) : n; }

RECT CControlUI::GetPadding() const {
    return RECT{Scaled(m_padding.left), Scaled(m_padding.top), Scaled(m_padding.right),
                Scaled(m_padding.bottom)};
}

void CControlUI::SetPadding(RECT padding) {
    m_padding = padding;
    NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const { return SIZE{Scaled(m_fixedXY.cx), Scaled(m_fixedXY.cy)}; }

void CControlUI::SetFixedXY(SIZE xy) {
    m_fixedXY = xy;
    NeedParentUpdate();
}

int CControlUI::GetFixedWidth() const { return Scaled(m_fixedWidth); }

void CControlUI::SetFixedWidth(int cx) {
    if (cx < 0) return;
    m_fixedWidth = cx;
    NeedParentUpdate();
}

int CControlUI::GetFixedHeight() const { return Scaled(m_fixedHeight); }

void CControlUI::SetFixedHeight(int cy) {
    if (cy < 0) return;
    m_fixedHeight = cy;
    NeedParentUpdate();
}

int CControlUI::GetMinWidth() const { return Scaled(m_minWidth); }

void CControlUI::SetMinWidth(int cx) {
    if (cx < 0 || cx == m_minWidth) return;
    m_minWidth = cx;
    NeedParentUpdate();
}

int CControlUI::GetMaxWidth() const { return Scaled(m_maxWidth); }

void CControlUI::SetMaxWidth(int cx) {
    if (cx < 0 || cx == m_maxWidth) return;
    m_maxWidth = cx;
    NeedParentUpdate();
}

int CControlUI::GetMinHeight() const { return Scaled(m_minHeight); }

void CControlUI::SetMinHeight(int cy) {
    if (cy < 0 || cy == m_minHeight) return;
    m_minHeight = cy;
    NeedParentUpdate();
}

int CControlUI::GetMaxHeight() const { return Scaled(m_maxHeight); }

void CControlUI::SetMaxHeight(int cy) {
    if (cy < 0 || cy == m_maxHeight) return;
    m_maxHeight = cy;
    NeedParentUpdate();
}

TPercentInfo CControlUI::GetFloatPercent() const { return m_floatPercent; }

void CControlUI::SetFloatPercent(TPercentInfo percent) {
    m_floatPercent = percent;
    NeedParentUpdate();
}

void CControlUI::SetFloatAlign(UINT align) {
    m_floatAlign = align;
    NeedParentUpdate();
}

UINT CControlUI::GetFloatAlign() const { return m_floatAlign; }

CUIString CControlUI::GetToolTip() const {
    if (!m_resourceText) return m_toolTip;
    return CResourceTextRegistry::GetInstance()->GetText(m_toolTip);
}

void CControlUI::SetToolTip(LPCTSTR text) {
    m_toolTip = text;
    m_toolTip.Replace(L"<n>", L"\r\n");
}

void CControlUI::SetToolTipWidth(int width) { m_toolTipWidth = width; }
int CControlUI::GetToolTipWidth() const { return Scaled(m_toolTipWidth); }
WORD CControlUI::GetCursor() const { return m_cursor; }

void CControlUI::SetCursor(WORD cursor) {
    m_cursor = cursor;
    Invalidate();
}

TCHAR CControlUI::GetShortcut() const { return m_shortcut; }
void CControlUI::SetShortcut(TCHAR ch) { m_shortcut = ch; }
bool CControlUI::IsContextMenuUsed() const { return m_menuUsed; }
void CControlUI::SetContextMenuUsed(bool used) { m_menuUsed = used; }
const CUIString& CControlUI::GetUserData() const { return m_userData; }
void CControlUI::SetUserData(LPCTSTR text) { m_userData = text; }
UINT_PTR CControlUI::GetTag() const { return m_tag; }
void CControlUI::SetTag(UINT_PTR tag) { m_tag = tag; }

bool CControlUI::IsVisible() const { return m_visible && m_internVisible; }

void CControlUI::SetVisible(bool visible) {
    if (m_visible == visible) return;
    const bool wasVisible = IsVisible();
    m_visible = visible;
    m_focused = false;
    if (!visible && m_manager && m_manager->GetFocus() == this) m_manager->SetFocus(nullptr);
    if (IsVisible() != wasVisible) NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool visible) {
    m_internVisible = visible;
    if (!visible && m_manager && m_manager->GetFocus() == this) m_manager->SetFocus(nullptr);
}

bool CControlUI::IsEnabled() const { return m_enabled; }

void CControlUI::SetEnabled(bool enabled) {
    if (m_enabled == enabled) return;
    m_enabled = enabled;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return m_mouseEnabled; }
void CControlUI::SetMouseEnabled(bool enabled) { m_mouseEnabled = enabled; }
bool CControlUI::IsKeyboardEnabled() const { return m_keyboardEnabled; }
void CControlUI::SetKeyboardEnabled(bool enabled) { m_keyboardEnabled = enabled; }
bool CControlUI::IsFocused() const { return m_focused; }

void CControlUI::SetFocus() {
    if (m_manager) m_manager->SetFocus(this);
}

bool CControlUI::IsFloat() const { return m_float; }

void CControlUI::SetFloat(bool isFloat) {
    if (m_float == isFloat) return;
    m_float = isFloat;
    NeedParentUpdate();
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) {
    if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if ((flags & UIFIND_HITTEST) &&
        (!IsMouseEnabled() || !PtInRect(&m_itemRect, *static_cast<const POINT*>(data)))) {
        return nullptr;
    }
    // A control the update search takes is laid out by itself: the search goes on past it.
    if ((flags & UIFIND_UPDATETEST) && proc(this, data)) return nullptr;
    return proc(this, data);
}

void CControlUI::Init() {
    DoInit();
    OnInit(this);
}

void CControlUI::DoInit() {}

void CControlUI::Event(TUIEvent& event) {
    if (OnEvent(&event)) DoEvent(event);
}

void CControlUI::DoEvent(TUIEvent& event) {
    switch (event.type) {
    case EventSetCursor:
        ::SetCursor(LoadCursorW(nullptr, m_cursor ? MAKEINTRESOURCEW(m_cursor) : IDC_ARROW));
        return;
    case EventSetFocus:
        m_focused = true;
        Invalidate();
        return;
    case EventKillFocus:
        m_focused = false;
        Invalidate();
        return;
    case EventTimer:
        if (m_manager) m_manager->SendNotify(this, L"timer", event.wParam, event.lParam);
        return;
    case EventContextMenu:
        if (IsContextMenuUsed()) {
            if (m_manager) m_manager->SendNotify(this, L"menu", event.wParam, event.lParam);
            return;
        }
        break;
    default:
        break;
    }
    if (m_parent) m_parent->DoEvent(event);
}

bool CControlUI::ApplyStyle(LPCTSTR name) {
    if (!m_manager || !name || !*name) return false;
    LPCTSTR style = m_manager->GetStyle(name);
    if (!style) return false;
    for (const StyleFrame* frame = m_stylesInProgress; frame; frame = frame->outer) {
        if (frame->name == name) return false;
    }
    const CUIString list(style);  // the style table may change while it is applied
    StyleFrame frame{CUIString(name), m_stylesInProgress};
    m_stylesInProgress = &frame;
    struct Pop {
        const StyleFrame*& top;
        const StyleFrame* outer;
        ~Pop() { top = outer; }
    } pop{m_stylesInProgress, frame.outer};
    ApplyAttributeList(list);
    return true;
}

void CControlUI::SetAttribute(LPCTSTR name, LPCTSTR value) {
    if (!name || !value) return;
    if (ApplyStyle(value)) return;

    using Setter = void (*)(CControlUI&, LPCTSTR);
    struct Entry {
        LPCTSTR name;
        Setter set;
    };
    static const Entry kEntries[] = {
        {L"innerstyle", [](CControlUI& c, LPCTSTR v) { c.ApplyAttributeList(v); }},
        {L"pos",
         [](CControlUI& c, LPCTSTR v) {
             const RECT rc = attribute::Rect(v);
             c.SetFixedXY(SIZE{rc.left >= 0 ? rc.left : rc.right, rc.top >= 0 ? rc.top : rc.bottom});
             c.SetFixedWidth(rc.right - rc.left);
             c.SetFixedHeight(rc.bottom - rc.top);
         }},
        {L"float",
         [](CControlUI& c, LPCTSTR v) {
             if (!HasComma(v)) {
                 c.SetFloat(IsTrue(v));
                 return;
             }
             double p[4];
             attribute::Doubles(v, p, 4);
             c.SetFloatPercent(TPercentInfo{p[0], p[1], p[2], p[3]});
             c.SetFloat(true);
         }},
        {L"floatalign", [](CControlUI& c, LPCTSTR v) { c.SetFloatAlign(ParseFloatAlign(c.GetFloatAlign(), v)); }},
        {L"padding", [](CControlUI& c, LPCTSTR v) { c.SetPadding(attribute::Rect(v)); }},
        {L"gradient", [](CControlUI& c, LPCTSTR v) { c.SetGradient(v); }},
        {L"bkcolor", [](CControlUI& c, LPCTSTR v) { c.SetBkColor(ParseColor(v)); }},
        {L"bkcolor1", [](CControlUI& c, LPCTSTR v) { c.SetBkColor(ParseColor(v)); }},
        {L"bkcolor2", [](CControlUI& c, LPCTSTR v) { c.SetBkColor2(ParseColor(v)); }},
        {L"bkcolor3", [](CControlUI& c, LPCTSTR v) { c.SetBkColor3(ParseColor(v)); }},
        {L"forecolor", [](CControlUI& c, LPCTSTR v) { c.SetForeColor(ParseColor(v)); }},
        {L"bordercolor", [](CControlUI& c, LPCTSTR v) { c.SetBorderColor(ParseColor(v, false)); }},
        {L"focusbordercolor", [](CControlUI& c, LPCTSTR v) { c.SetFocusBorderColor(ParseColor(v, false)); }},
        {L"colorhsl", [](CControlUI& c, LPCTSTR v) { c.SetColorHSL(IsTrue(v)); }},
        {L"bordersize",
         [](CControlUI& c, LPCTSTR v) {
             if (HasComma(v)) {
                 c.SetBorderRect(attribute::Rect(v));
                 return;
             }
             c.SetBorderSize(_wtoi(v));
             c.SetBorderRect(RECT{});
         }},
        {L"leftbordersize", [](CControlUI& c, LPCTSTR v) { c.SetLeftBorderSize(_wtoi(v)); }},
        {L"topbordersize", [](CControlUI& c, LPCTSTR v) { c.SetTopBorderSize(_wtoi(v)); }},
        {L"rightbordersize", [](CControlUI& c, LPCTSTR v) { c.SetRightBorderSize(_wtoi(v)); }},
        {L"bottombordersize", [](CControlUI& c, LPCTSTR v) { c.SetBottomBorderSize(_wtoi(v)); }},
        {L"borderstyle", [](CControlUI& c, LPCTSTR v) { c.SetBorderStyle(_wtoi(v)); }},
        {L"borderround", [](CControlUI& c, LPCTSTR v) { c.SetBorderRound(attribute::Size(v)); }},
        {L"bkimage", [](CControlUI& c, LPCTSTR v) { c.SetBkImage(v); }},
        {L"foreimage", [](CControlUI& c, LPCTSTR v) { c.SetForeImage(v); }},
        {L"width", [](CControlUI& c, LPCTSTR v) { c.SetFixedWidth(_wtoi(v)); }},
        {L"height", [](CControlUI& c, LPCTSTR v) { c.SetFixedHeight(_wtoi(v)); }},
        {L"minwidth", [](CControlUI& c, LPCTSTR v) { c.SetMinWidth(_wtoi(v)); }},
        {L"minheight", [](CControlUI& c, LPCTSTR v) { c.SetMinHeight(_wtoi(v)); }},
        {L"maxwidth", [](CControlUI& c, LPCTSTR v) { c.SetMaxWidth(_wtoi(v)); }},
        {L"maxheight", [](CControlUI& c, LPCTSTR v) { c.SetMaxHeight(_wtoi(v)); }},
        {L"name", [](CControlUI& c, LPCTSTR v) { c.SetName(v); }},
        {L"drag", [](CControlUI& c, LPCTSTR v) { c.SetDragEnable(IsTrue(v)); }},
        {L"drop", [](CControlUI& c, LPCTSTR v) { c.SetDropEnable(IsTrue(v)); }},
        {L"resourcetext", [](CControlUI& c, LPCTSTR v) { c.SetResourceText(IsTrue(v)); }},
        {L"text", [](CControlUI& c, LPCTSTR v) { c.SetText(v); }},
        {L"tooltip", [](CControlUI& c, LPCTSTR v) { c.SetToolTip(v); }},
        {L"userdata", [](CControlUI& c, LPCTSTR v) { c.SetUserData(v); }},
        {L"enabled", [](CControlUI& c, LPCTSTR v) { c.SetEnabled(IsTrue(v)); }},
        {L"mouse", [](CControlUI& c, LPCTSTR v) { c.SetMouseEnabled(IsTrue(v)); }},
        {L"keyboard", [](CControlUI& c, LPCTSTR v) { c.SetKeyboardEnabled(IsTrue(v)); }},
        {L"visible", [](CControlUI& c, LPCTSTR v) { c.SetVisible(IsTrue(v)); }},
        {L"shortcut", [](CControlUI& c, LPCTSTR v) { c.SetShortcut(v[0]); }},
        {L"menu", [](CControlUI& c, LPCTSTR v) { c.SetContextMenuUsed(IsTrue(v)); }},
        {L"cursor",
         [](CControlUI& c, LPCTSTR v) {
             for (const CursorWord& cursor : kCursors) {
                 if (attribute::Is(v, cursor.word)) {
                     c.SetCursor(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(cursor.id)));
                     return;
                 }
             }
         }},
        {L"virtualwnd", [](CControlUI& c, LPCTSTR v) { c.SetVirtualWnd(v); }},
    };
    for (const Entry& entry : kEntries) {
        if (attribute::Is(name, entry.name)) {
            entry.set(*this, value);
            return;
        }
    }
    AddCustomAttribute(name, value);
}

void CControlUI::ApplyAttributeList(LPCTSTR list) {
    if (!list) return;
    if (ApplyStyle(list)) return;

    CUIString copy(list);
    copy.Replace(L"&quot;", L"\"");
    LPCTSTR p = copy.GetData();
    while (*p) {
        LPCTSTR equals = wcschr(p, L'=');
        if (!equals) return;
        const CUIString name(p, static_cast<int>(equals - p));
        p = equals + 1;
        if (*p != L'"') return;
        ++p;
        LPCTSTR close = wcschr(p, L'"');
        if (!close) return;
        const CUIString value(p, static_cast<int>(close - p));
        SetAttribute(name, value);
        p = close + 1;
        if (*p != L' ' && *p != L',') return;
        ++p;
    }
}

void CControlUI::AddCustomAttribute(LPCTSTR name, LPCTSTR value) {
    if (!name || !*name || !value || !*value) return;
    if (m_customAttributes.Find(name)) return;
    m_customAttributes.Insert(name, std::make_unique<CUIString>(value));
}

LPCTSTR CControlUI::GetCustomAttribute(LPCTSTR name) const {
    if (!name) return nullptr;
    const CUIString* value = const_cast<OwnedStringMap<CUIString>&>(m_customAttributes).Find(name, false);
    return value ? value->GetData() : nullptr;
}

void CControlUI::RemoveAllCustomAttribute() {
    m_customAttributes.Resize(83);
}

SIZE CControlUI::EstimateSize(SIZE available) {
    (void)available;
    return SIZE{GetFixedWidth(), GetFixedHeight()};
}

CUIString CControlUI::GetVirtualWnd() const {
    if (!m_virtualWnd.IsEmpty()) return m_virtualWnd;
    return m_parent ? m_parent->GetVirtualWnd() : CUIString();
}

void CControlUI::SetVirtualWnd(LPCTSTR name) {
    m_virtualWnd = name;
    if (m_manager) m_manager->UsedVirtualWnd(true);
}

void CControlUI::SetGradient(LPCTSTR direction) {
    if (m_gradient == direction) return;
    m_gradient = direction;
    Invalidate();
}

void CControlUI::SetBkColor(DWORD color) {
    if (m_bkColor == color) return;
    m_bkColor = color;
    Invalidate();
}

void CControlUI::SetBkColor2(DWORD color) {
    if (m_bkColor2 == color) return;
    m_bkColor2 = color;
    Invalidate();
}

void CControlUI::SetBkColor3(DWORD color) {
    if (m_bkColor3 == color) return;
    m_bkColor3 = color;
    Invalidate();
}

void CControlUI::SetForeColor(DWORD color) {
    if (m_foreColor == color) return;
    m_foreColor = color;
    Invalidate();
}

void CControlUI::SetBkImage(LPCTSTR image) {
    if (m_manager && image) m_manager->RemoveImage(image);
    if (m_bkImage == image) return;
    m_bkImage = image;
    Invalidate();
}

void CControlUI::SetForeImage(LPCTSTR image) {
    if (m_foreImage == image) return;
    m_foreImage = image;
    Invalidate();
}

void CControlUI::SetBorderColor(DWORD color) {
    if (m_borderColor == color) return;
    m_borderColor = color;
    Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD color) {
    if (m_focusBorderColor == color) return;
    m_focusBorderColor = color;
    Invalidate();
}

void CControlUI::SetColorHSL(bool colorHSL) {
    if (m_colorHSL == colorHSL) return;
    m_colorHSL = colorHSL;
    Invalidate();
}

int CControlUI::GetBorderSize() const { return Scaled(m_borderSize); }

void CControlUI::SetBorderSize(int size) {
    if (m_borderSize == size) return;
    m_borderSize = size;
    Invalidate();
}

void CControlUI::SetBorderStyle(int style) {
    m_borderStyle = style;
    Invalidate();
}

SIZE CControlUI::GetBorderRound() const {
    return SIZE{Scaled(m_borderRound.cx), Scaled(m_borderRound.cy)};
}

void CControlUI::SetBorderRound(SIZE round) {
    m_borderRound = round;
    Invalidate();
}

RECT CControlUI::GetBorderRect() const {
    return RECT{Scaled(m_borderRect.left), Scaled(m_borderRect.top), Scaled(m_borderRect.right),
                Scaled(m_borderRect.bottom)};
}

void CControlUI::SetBorderRect(RECT rc) {
    m_borderRect = rc;
    Invalidate();
}

int CControlUI::GetLeftBorderSize() const { return Scaled(m_borderRect.left); }

void CControlUI::SetLeftBorderSize(int size) {
    m_borderRect.left = size;
    Invalidate();
}

int CControlUI::GetTopBorderSize() const { return Scaled(m_borderRect.top); }

void CControlUI::SetTopBorderSize(int size) {
    m_borderRect.top = size;
    Invalidate();
}

int CControlUI::GetRightBorderSize() const { return Scaled(m_borderRect.right); }

void CControlUI::SetRightBorderSize(int size) {
    m_borderRect.right = size;
    Invalidate();
}

int CControlUI::GetBottomBorderSize() const { return Scaled(m_borderRect.bottom); }

void CControlUI::SetBottomBorderSize(int size) {
    m_borderRect.bottom = size;
    Invalidate();
}

DWORD CControlUI::GetAdjustColor(DWORD color) const {
    if (!m_colorHSL) return color;
    short h = 0, s = 0, l = 0;
    CPaintManagerUI::GetHSL(&h, &s, &l);
    return CRenderEngine::AdjustHsl(color, h, s, l);
}

bool CControlUI::DrawImage(HDC dc, LPCTSTR drawString, LPCTSTR modifyString) {
    return CRenderEngine::DrawImageString(dc, m_manager, m_itemRect, m_paintRect, drawString, modifyString);
}

void CControlUI::Invalidate() {
    if (!IsVisible()) return;
    RECT rc = m_itemRect;
    for (CControlUI* parent = m_parent; parent; parent = parent->GetParent()) {
        if (!IntersectInto(rc, parent->GetPos())) return;
    }
    if (m_manager) m_manager->InvalidateRect(rc);
}

void CControlUI::NeedUpdate() {
    if (!IsVisible()) return;
    m_updateNeeded = true;
    Invalidate();
    if (m_manager) m_manager->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
    if (m_parent) {
        m_parent->NeedUpdate();
        m_parent->Invalidate();
    } else {
        NeedUpdate();
    }
    if (m_manager) m_manager->NeedUpdate();
}

bool CControlUI::Paint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    if (stopControl == this) return false;
    if (!IntersectRect(&m_paintRect, &paint, &m_itemRect)) return true;
    return DoPaint(dc, m_paintRect, stopControl);
}

bool CControlUI::DoPaint(HDC dc, const RECT& paint, CControlUI* stopControl) {
    (void)paint;
    (void)stopControl;
    const SIZE round = GetBorderRound();
    CRenderClip clip;
    if (round.cx > 0 || round.cy > 0) {
        CRenderClip::GenerateRoundClip(dc, m_paintRect, m_itemRect, round.cx, round.cy, clip);
    }
    PaintBkColor(dc);
    PaintBkImage(dc);
    PaintStatusImage(dc);
    PaintForeColor(dc);
    PaintForeImage(dc);
    PaintText(dc);
    PaintBorder(dc);
    return true;
}

void CControlUI::PaintBkColor(HDC dc) {
    if (m_bkColor == 0) return;
    const DWORD first = GetAdjustColor(m_bkColor);
    if (m_bkColor2 == 0) {
        // A translucent fill must cover the whole control, or repainting part
        // of it would blend the same pixels twice.
        CRenderEngine::DrawColor(dc, m_bkColor >= 0xFF000000 ? m_paintRect : m_itemRect, first);
        return;
    }
    const bool vertical = m_gradient.CompareNoCase(L"hor") != 0;
    const DWORD second = GetAdjustColor(m_bkColor2);
    if (m_bkColor3 == 0) {
        CRenderEngine::DrawGradient(dc, m_itemRect, first, second, vertical, 16);
        return;
    }
    // Three colours: two halves along the gradient's own direction.
    RECT firstHalf = m_itemRect;
    RECT secondHalf = m_itemRect;
    if (vertical) {
        firstHalf.bottom = secondHalf.top = (m_itemRect.top + m_itemRect.bottom) / 2;
    } else {
        firstHalf.right = secondHalf.left = (m_itemRect.left + m_itemRect.right) / 2;
    }
    CRenderEngine::DrawGradient(dc, firstHalf, first, second, vertical, 8);
    CRenderEngine::DrawGradient(dc, secondHalf, second, GetAdjustColor(m_bkColor3), vertical, 8);
}

void CControlUI::PaintBkImage(HDC dc) {
    if (!m_bkImage.IsEmpty()) DrawImage(dc, m_bkImage);
}

void CControlUI::PaintStatusImage(HDC dc) { (void)dc; }

void CControlUI::PaintForeColor(HDC dc) { CRenderEngine::DrawColor(dc, m_itemRect, GetAdjustColor(m_foreColor)); }

void CControlUI::PaintForeImage(HDC dc) {
    if (!m_foreImage.IsEmpty()) DrawImage(dc, m_foreImage);
}

void CControlUI::PaintText(HDC dc) { (void)dc; }

void CControlUI::PaintBorder(HDC dc) {
    if (m_borderColor == 0 && m_focusBorderColor == 0) return;
    const int size = GetBorderSize();
    const SIZE round = GetBorderRound();
    const DWORD border = GetAdjustColor(m_borderColor);
    const DWORD focusBorder = GetAdjustColor(m_focusBorderColor);

    if (size >= 1 && (round.cx >= 1 || round.cy >= 1)) {
        const DWORD color = (IsFocused() && m_focusBorderColor != 0) ? focusBorder : border;
        CRenderEngine::DrawRoundRect(dc, m_itemRect, size, round.cx, round.cy, color);
        return;
    }
    if (IsFocused() && m_focusBorderColor != 0 && size > 0) {
        CRenderEngine::DrawRect(dc, m_itemRect, size, focusBorder);
        return;
    }
    const RECT sides = GetBorderRect();
    if (sides.left > 0 || sides.top > 0 || sides.right > 0 || sides.bottom > 0) {
        const RECT& rc = m_itemRect;
        if (sides.left > 0) {
            CRenderEngine::DrawLine(dc, RECT{rc.left, rc.top, rc.left, rc.bottom}, sides.left, border, m_borderStyle);
        }
        if (sides.top > 0) {
            CRenderEngine::DrawLine(dc, RECT{rc.left, rc.top, rc.right, rc.top}, sides.top, border, m_borderStyle);
        }
        if (sides.right > 0) {
            CRenderEngine::DrawLine(dc, RECT{rc.right - 1, rc.top, rc.right - 1, rc.bottom}, sides.right, border,
                                    m_borderStyle);
        }
        if (sides.bottom > 0) {
            CRenderEngine::DrawLine(dc, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom - 1}, sides.bottom,
                                    border, m_borderStyle);
        }
        return;
    }
    if (size >= 1) CRenderEngine::DrawRect(dc, m_itemRect, size, border);
}

void CControlUI::DoPostPaint(HDC dc, const RECT& paint) {
    (void)dc;
    (void)paint;
}

}  // namespace KvUI
