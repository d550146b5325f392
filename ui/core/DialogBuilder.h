#pragma once
// Turns a skin document into a tree of controls: the declarations at the top
// of the document (images, fonts, default attributes, styles, font files) and
// the "Window" element's attributes go to the window's paint manager, and one
// control is made per element below the root, by tag name.
#include <windows.h>

#include <memory>

#include "ui/core/Markup.h"
#include "ui/core/UIString.h"

namespace KvUI {

class CControlUI;
class CPaintManagerUI;

// Asked for the tags that neither the control factory nor a plug-in knows.
class IDialogBuilderCallback {
public:
    virtual CControlUI* CreateControl(LPCTSTR className) = 0;
    virtual ~IDialogBuilderCallback() = default;
};

// The creators in the paint manager's plug-in list (CPaintManagerUI::GetPlugins)
// have this type; they get the tag name.
using CreatePluginControl = CControlUI* (*)(LPCTSTR tagName);

class CDialogBuilder {
public:
    CDialogBuilder() = default;
    CDialogBuilder(const CDialogBuilder&) = delete;
    CDialogBuilder& operator=(const CDialogBuilder&) = delete;

    // Loads the document and builds it. `xml` is a resource id
    // (MAKEINTRESOURCE) of resource type `type`, an XML text beginning with
    // "<", or a skin file name. Returns the first top-level control, or null.
    CControlUI* Create(LPCTSTR xml, LPCTSTR type = nullptr, IDialogBuilderCallback* callback = nullptr,
                       CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
    // Builds the document loaded before.
    CControlUI* Create(IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr,
                       CControlUI* parent = nullptr);

    // The module whose resources a resource id names; null: the paint manager's.
    void SetInstance(HINSTANCE instance) { m_instance = instance; }
    // Off for a document built into a window that already has its own
    // settings: a "Window" root's attributes are then left alone.
    void SetApplyWindowAttributes(bool apply) { m_applyWindowAttributes = apply; }

    // Why the last load or build failed.
    LPCTSTR GetLastErrorMessage() const;
    LPCTSTR GetLastErrorLocation() const;

private:
    bool LoadResource(LPCTSTR id, LPCTSTR type);
    void RememberResourceType(LPCTSTR type);
    bool IsBeingBuilt(const CUIString& document) const;
    CControlUI* RefuseCycle(LPCTSTR document);
    CControlUI* Parse(const CMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager);
    bool Include(const CMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager,
                 std::unique_ptr<CControlUI>& topLevel);
    CControlUI* MakeControl(LPCTSTR tag) const;

    CMarkup m_xml;
    IDialogBuilderCallback* m_callback = nullptr;
    // Set only for a document read from a module resource: a MAKEINTRESOURCE
    // value, or the text in m_resourceTypeName.
    LPCTSTR m_resourceType = nullptr;
    CUIString m_resourceTypeName;
    HINSTANCE m_instance = nullptr;
    bool m_applyWindowAttributes = true;

    // The builder whose "Include" element started this one, and which document
    // this one builds: a document that includes itself, directly or in a
    // cycle, is refused instead of being built without end.
    const CDialogBuilder* m_includer = nullptr;
    CUIString m_document;
    bool m_failed = false;
    CUIString m_error;
};

}  // namespace KvUI
