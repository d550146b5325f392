#pragma once
// The page's context menu: the engine builds its default menu, the handler
// may change it, and a chosen command is offered to the handler before the
// engine carries it out. Called on the UI thread.
#include "engine/CefBrowser.h"

namespace kvengine {

enum cef_context_menu_type_flags_t {
    CM_TYPEFLAG_NONE = 0,
    CM_TYPEFLAG_PAGE = 1 << 0,
    CM_TYPEFLAG_FRAME = 1 << 1,
};

// The engine's built-in commands.
enum cef_menu_id_t {
    MENU_ID_BACK = 100,
    MENU_ID_FORWARD = 101,
    MENU_ID_RELOAD = 102,
    MENU_ID_RELOAD_NOCACHE = 103,
    MENU_ID_STOPLOAD = 104,
    MENU_ID_COPY = 113,     // copies the page's text
    MENU_ID_PASTE = 114,    // the page has no editable field: nothing
    MENU_ID_PRINT = 131,    // printing is not offered: nothing
    MENU_ID_VIEW_SOURCE = 132,
};

class CefContextMenuParams : public CefBase {
public:
    virtual int GetXCoord() = 0;  // client coordinates of the browser window
    virtual int GetYCoord() = 0;
    virtual int GetTypeFlags() = 0;
};

class CefMenuModel : public CefBase {
public:
    virtual bool Clear() = 0;
    virtual int GetCount() = 0;
    virtual bool AddSeparator() = 0;
    virtual bool AddItem(int commandId, const CefString& label) = 0;
    virtual int GetCommandIdAt(int index) = 0;  // -1 for a separator or a bad index
    virtual CefString GetLabelAt(int index) = 0;
};

class CefContextMenuHandler : public virtual CefBase {
public:
    // An empty model shows no menu.
    virtual void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                     CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model) {
        (void)browser; (void)frame; (void)params; (void)model;
    }
    // True when the handler carried the command out; false lets the engine do it.
    virtual bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                      CefRefPtr<CefContextMenuParams> params, int commandId, int eventFlags) {
        (void)browser; (void)frame; (void)params; (void)commandId; (void)eventFlags;
        return false;
    }
};

}  // namespace kvengine
