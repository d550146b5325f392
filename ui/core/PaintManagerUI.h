#pragma once
// One paint manager per window: message dispatch, painting, focus, timers,
// notifications and the window's resources; its static part holds the
// process-wide settings that say where skin files come from.
#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <memory>
#include <vector>

#include "ui/core/DpiScaler.h"
#include "ui/core/DropTarget.h"
#include "ui/core/ImageInfo.h"
#include "ui/core/StringHashMap.h"
#include "ui/core/UIDefine.h"
#include "ui/core/UIPtrArray.h"
#include "ui/core/UIString.h"
#include "ui/core/UIStringMap.h"
#include "ui/core/ZipArchive.h"
#include "win/GdiOwners.h"

namespace KvUI {

class CControlUI;
class COptionUI;
class CShadowUI;

// Images go back through the render engine, which made them.
struct TImageInfoDeleter {
    void operator()(TImageInfo* image) const;
};

// A font as the skin names it, with its handle and (lazily) its metrics.
struct TFontInfo {
    kvwin::UniqueFont font;
    CUIString faceName;
    int size = 0;  // as written in the skin, before DPI scaling
    bool bold = false;
    bool underline = false;
    bool italic = false;
    TEXTMETRICW metrics = {};
};

// The manager is also its window's OLE drop target.
class CPaintManagerUI : public CIDropTarget {
public:
    CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;
    ~CPaintManagerUI() override;

    // Binds the manager to its window (the window's own resources are emptied first).
    void Init(HWND window, LPCTSTR name = nullptr);
    const CUIString& GetName() const { return m_name; }

    // ---- Message dispatch, events and the message loop ----
    bool MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool PreMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool TranslateAccelerator(MSG* msg);
    static WORD MapKeyState();
    static bool TranslateMessage(const MSG* msg);
    static void MessageLoop();

    CControlUI* FindControlAt(POINT pt) const;
    POINT GetMousePos() const { return m_lastMousePos; }

    bool AddPreMessageFilter(IMessageFilterUI* filter);
    bool RemovePreMessageFilter(IMessageFilterUI* filter);
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    bool AddTranslateAccelerator(ITranslateAccelerator* translator);
    bool RemoveTranslateAccelerator(ITranslateAccelerator* translator);

    HWND GetTooltipWindow() const { return m_tooltipWnd; }
    int GetHoverTime() const { return m_hoverTime; }
    void SetHoverTime(int ms);
    bool IsNoActivate() const { return m_noActivate; }
    void SetNoActivate(bool noActivate);

    // The window as an OLE drop target: registration, and what a drop does.
    bool InitDragDrop();
    bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) override;

    // ---- Painting, off-screen and layered windows ----
    HWND GetPaintWindow() const { return m_paintWnd; }
    HDC GetPaintDC() const { return m_paintDC.get(); }
    RECT GetChildWindowRect(HWND child) const;

    void NeedUpdate();
    void Invalidate();
    void InvalidateRect(RECT& rc);
    bool IsUpdateNeeded() const { return m_updateNeeded; }

    SIZE GetInitSize() const { return m_initSize; }
    void SetInitSize(int cx, int cy);
    RECT GetSizeBox() const { return m_sizeBox; }
    void SetSizeBox(const RECT& rc) { m_sizeBox = rc; }
    RECT GetCaptionRect() const { return m_captionRect; }
    void SetCaptionRect(const RECT& rc) { m_captionRect = rc; }
    SIZE GetRoundCorner() const { return m_roundCorner; }
    void SetRoundCorner(int cx, int cy) { m_roundCorner = SIZE{cx, cy}; }
    SIZE GetMinInfo() const { return m_minInfo; }
    void SetMinInfo(int cx, int cy) { m_minInfo = SIZE{cx, cy}; }
    SIZE GetMaxInfo() const { return m_maxInfo; }
    void SetMaxInfo(int cx, int cy) { m_maxInfo = SIZE{cx, cy}; }
    bool IsShowUpdateRect() const { return m_showUpdateRect; }
    void SetShowUpdateRect(bool show) { m_showUpdateRect = show; }

    BYTE GetOpacity() const { return m_opacity; }
    void SetOpacity(BYTE opacity);
    void SetLayeredOpacity(BYTE opacity);
    bool IsLayered() const { return m_layered; }
    void SetLayered(bool layered);
    LPCTSTR GetLayeredImage() const;
    void SetLayeredImage(LPCTSTR drawString);

    bool IsUseGdiplusText() const { return m_useGdiplusText; }
    void SetUseGdiplusText(bool use) { m_useGdiplusText = use; }
    int GetGdiplusTextRenderingHint() const { return m_gdiplusTextHint; }
    void SetGdiplusTextRenderingHint(int hint) { m_gdiplusTextHint = hint; }

    bool AddPostPaint(CControlUI* control);
    bool RemovePostPaint(CControlUI* control);

    // The window's drop shadow (shown only when the skin asks for it).
    CShadowUI* GetShadow() const { return m_shadow.get(); }

    // ---- Tree, focus, capture, timers, notifications ----
    bool AttachDialog(CControlUI* root);
    bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
    void ReapObjects(CControlUI* control);
    CControlUI* GetRoot() const { return m_root; }
    CControlUI* FindControl(LPCTSTR name) const;
    const CUIPtrArray* GetFoundControls() const { return &m_foundControls; }
    void AddDelayedCleanup(CControlUI* control);

    CControlUI* GetFocus() const { return m_focus; }
    void SetFocus(CControlUI* control);
    void SetFocusNeeded(CControlUI* control);
    bool SetNextTabControl(bool forward = true);

    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const { return m_captured; }

    bool SetTimer(CControlUI* control, UINT id, UINT elapse);
    bool KillTimer(CControlUI* control, UINT id);
    void KillControlTimers(CControlUI* control);
    void RemoveAllTimers();
    // A window timer id that the window sets itself; control timers never take it.
    void ReserveWindowTimerId(UINT windowTimerId);

    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    void SendNotify(CControlUI* sender, LPCTSTR type, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool async = false);
    void SendNotifyRecord(TUINotify& msg, bool async = false);
    void PostAsyncNotify();
    void UsedVirtualWnd(bool used) { m_usedVirtualWnd = used; }

    bool AddOptionGroup(LPCTSTR groupName, COptionUI* option);
    CUIPtrArray* GetOptionGroup(LPCTSTR groupName) const;
    void RemoveOptionGroup(LPCTSTR groupName, COptionUI* option);
    void RemoveAllOptionGroups();

    // ---- Process-wide resource settings ----
    static HINSTANCE GetInstance();
    static CUIString GetInstancePath();
    static HINSTANCE GetResourceDll();
    static const CUIString& GetResourcePath();
    static const CUIString& GetResourceZip();
    static const CUIString& GetResourceZipPassword();
    static bool IsCachedResourceZip();
    static HZIP GetResourceZipHandle();
    static void SetInstance(HINSTANCE instance);
    static void SetResourceDll(HINSTANCE instance);
    static void SetResourcePath(LPCTSTR path);
    static void SetResourceZip(const void* buffer, int length, LPCTSTR password = nullptr);
    static int GetResourceType();
    static void SetResourceType(int type);
    static CUIPtrArray* GetPlugins();
    static bool GetHSL(short* h, short* s, short* l);
    static void Term();

    // ---- Per-window resources (own set first, then the shared set) ----
    bool IsUseSharedResources() const { return m_resources.useShared; }
    void SetUseSharedResources(bool use) { m_resources.useShared = use; }

    DWORD GetDefaultColor1() const { return m_resources.colors[0]; }
    DWORD GetDefaultColor2() const { return m_resources.colors[1]; }
    DWORD GetDefaultColor3() const { return m_resources.colors[2]; }
    DWORD GetDefaultColor4() const { return m_resources.colors[3]; }
    DWORD GetDefaultColor5() const { return m_resources.colors[4]; }
    void SetDefaultColor1(DWORD color, bool shared = false) { SetDefaultColor(0, color, shared); }
    void SetDefaultColor2(DWORD color, bool shared = false) { SetDefaultColor(1, color, shared); }
    void SetDefaultColor3(DWORD color, bool shared = false) { SetDefaultColor(2, color, shared); }
    void SetDefaultColor4(DWORD color, bool shared = false) { SetDefaultColor(3, color, shared); }
    void SetDefaultColor5(DWORD color, bool shared = false) { SetDefaultColor(4, color, shared); }

    TFontInfo* GetDefaultFontInfo();
    void SetDefaultFont(LPCTSTR name, int size, bool bold, bool underline, bool italic,
                        bool shared = false);
    HFONT AddFont(int id, LPCTSTR name, int size, bool bold, bool underline, bool italic,
                  bool shared = false);
    HFONT GetFont(int id);
    TFontInfo* GetFontInfo(int id);
    TFontInfo* GetFontInfoByHandle(HFONT font);
    HFONT FindFont(LPCTSTR name, int size, bool bold, bool underline, bool italic) const;
    void RemoveAllFonts(bool shared = false);
    void AddFontFile(LPCTSTR file);

    TImageInfo* GetImage(LPCTSTR name) const;
    TImageInfo* GetImageEx(LPCTSTR name, LPCTSTR type = nullptr, DWORD mask = 0,
                           bool useHSL = false, HINSTANCE instance = nullptr);
    TImageInfo* AddImage(LPCTSTR name, LPCTSTR type = nullptr, DWORD mask = 0,
                         bool useHSL = false, bool shared = false, HINSTANCE instance = nullptr);
    void RemoveImage(LPCTSTR name, bool shared = false);
    void RemoveAllImages(bool shared = false);

    TImageDrawSpec* GetDrawSpec(LPCTSTR drawString, LPCTSTR modifyString);
    void RemoveAllDrawSpecs();

    void AddDefaultAttributeList(LPCTSTR className, LPCTSTR attributes, bool shared = false);
    LPCTSTR GetDefaultAttributeList(LPCTSTR className) const;
    void RemoveAllDefaultAttributeLists(bool shared = false);

    void AddStyle(LPCTSTR name, LPCTSTR attributes, bool shared = false);
    LPCTSTR GetStyle(LPCTSTR name) const;
    void RemoveAllStyles(bool shared = false);

    CDpiScaler* GetScaler();

    // One layer of resources: the shared, process-wide one or a window's own.
    struct ResourceSet {
        bool useShared = false;
        DWORD colors[5] = {};
        TFontInfo defaultFont;
        OwnedStringMap<TImageInfo, TImageInfoDeleter> images{83};
        OwnedStringMap<CUIString> defaultAttributes{83};
        OwnedStringMap<CUIString> styles{83};
        OwnedStringMap<TFontInfo> fonts{83};
        OwnedStringMap<TImageDrawSpec> drawSpecs{83};
    };

private:
    // Dispatch (PaintManagerDispatch.cpp).
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    bool OnMouseHover(WPARAM wParam, LPARAM lParam);
    void OnMouseLeave();
    void OnButtonDown(int eventType, WPARAM wParam, LPARAM lParam);
    void OnButtonUp(int eventType, WPARAM wParam, LPARAM lParam);
    void ShowToolTip(CControlUI* control);
    TUIEvent MakeEvent(int type, CControlUI* sender, WPARAM wParam = 0, LPARAM lParam = 0) const;
    CControlUI* FindControlOfThisManager(POINT pt) const;
    bool IsTabKeptByFocus() const;
    void StartDrag();

    // Painting (PaintManagerPaint.cpp).
    bool OnPaint();
    void OnPrintClient(HDC dc, LPARAM flags);
    bool LayOutTree(const RECT& client);
    void PaintLayered(const RECT& paint, int width, int height);
    void FreeOffscreen();

    // Tree and notifications (PaintManagerTree.cpp).
    void KillFocusOf(CControlUI* gaining);
    void DeliverNotify(TUINotify& msg);
    void OnAsyncNotify();
    UINT NextWindowTimerId() const;

    // Resources (PaintManagerResources.cpp).
    void SetDefaultColor(int index, DWORD color, bool shared);
    ResourceSet& TargetSet(bool shared);
    void MeasureFont(TFontInfo* info);
    void InitProcessResources();
    void FreeResources();

    // Window and input state.
    CUIString m_name;
    HWND m_paintWnd = nullptr;
    kvwin::WindowDC m_paintDC;
    CControlUI* m_root = nullptr;
    CControlUI* m_focus = nullptr;
    CControlUI* m_eventHover = nullptr;
    CControlUI* m_eventClick = nullptr;
    CControlUI* m_eventKey = nullptr;
    POINT m_lastMousePos = {-1, -1};
    bool m_mouseTracking = false;
    bool m_captured = false;
    bool m_dragPending = false;
    kvwin::UniqueBitmap m_dragBitmap;
    HWND m_tooltipWnd = nullptr;
    TOOLINFOW m_toolTip = {};
    CUIString m_toolTipText;
    int m_hoverTime = 400;
    bool m_noActivate = false;
    std::vector<IMessageFilterUI*> m_preMessageFilters;
    std::vector<IMessageFilterUI*> m_messageFilters;
    std::vector<ITranslateAccelerator*> m_translateAccelerators;

    // Painting state.
    // Bottom-up 32-bit DIBs of the client size: what the window paints into,
    // and (for layered windows) the layered image behind it.
    kvwin::MemoryDib m_offscreen;
    kvwin::MemoryDib m_background;
    bool m_updateNeeded = false;
    bool m_firstLayout = true;
    bool m_focusNeeded = false;
    bool m_offscreenPaint = true;
    bool m_layered = false;
    bool m_layeredChanged = false;
    bool m_showUpdateRect = false;
    BYTE m_opacity = 255;
    RECT m_invalidRect = {};
    std::unique_ptr<TImageDrawSpec> m_layeredImage;
    std::vector<CControlUI*> m_postPaintControls;
    SIZE m_initSize = {};
    RECT m_sizeBox = {};
    RECT m_captionRect = {};
    SIZE m_roundCorner = {};
    SIZE m_minInfo = {};
    SIZE m_maxInfo = {};
    bool m_useGdiplusText = false;
    int m_gdiplusTextHint = 0;

    // Tree, timers and notifications.
    StringHashMap<CControlUI*> m_nameMap{83};
    std::vector<INotifyUI*> m_notifiers;
    std::vector<std::unique_ptr<TUITimer>> m_timers;
    UINT m_lastTimerId = 4096;
    std::vector<UINT> m_reservedTimerIds;
    std::deque<std::unique_ptr<TUINotify>> m_asyncNotify;
    bool m_asyncNotifyPosted = false;
    std::vector<std::unique_ptr<CControlUI>> m_delayedCleanup;
    CUIPtrArray m_foundControls;
    OwnedStringMap<CUIPtrArray> m_optionGroups{83};
    bool m_usedVirtualWnd = false;

    // Resources.
    ResourceSet m_resources;
    std::vector<kvwin::UniqueFontMemResource> m_memoryFonts;
    ULONG_PTR m_gdiplusToken = 0;
    std::unique_ptr<CDpiScaler> m_scaler;
    std::unique_ptr<CShadowUI> m_shadow;
};

}  // namespace KvUI
