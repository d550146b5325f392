#include "ui/core/DialogBuilder.h"

#include <cwchar>

#include "ui/core/AttributeValue.h"
#include "ui/core/ContainerUI.h"
#include "ui/core/ControlFactory.h"
#include "ui/core/ControlUI.h"
#include "ui/core/ITreeUI.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/ResourceManager.h"
#include "ui/core/ShadowUI.h"
#include "ui/core/UIDefine.h"

namespace KvUI {
namespace {

// Values the builder reads are up to this many characters long.
constexpr SIZE_T kMaxValue = 499;

using attribute::Is;


enum class Placement { Placed, Refused, NotTree };

// A tree node goes to its parent node's children or into its tree view; any
// other control inside a node goes to the node's row layout. `view` gets the
// tree view that shows a parent node which took a node.
Placement PlaceInTree(CControlUI* parent, CControlUI* control, CControlUI*& view) {
    auto* parentNode = static_cast<ITreeNodeUI*>(parent->GetInterface(L"ITreeNode"));
    const bool isNode = control->GetInterface(L"ITreeNode") != nullptr;
    bool added = false;
    if (isNode && parentNode) {
        added = parentNode->AddChildNode(control);
        view = parentNode->GetTreeViewControl();
    } else if (auto* tree = isNode ? static_cast<ITreeViewUI*>(parent->GetInterface(L"ITreeView")) : nullptr) {
        added = tree->AddNode(control);
    } else if (parentNode) {
        IContainerUI* row = parentNode->GetRowLayout();
        added = row && row->Add(control);
    } else {
        return Placement::NotTree;
    }
    return added ? Placement::Placed : Placement::Refused;
}

bool IsDeclaration(LPCTSTR tag) {
    return Is(tag, L"Image") || Is(tag, L"Font") || Is(tag, L"Default") || Is(tag, L"Style") || Is(tag, L"Import");
}

// An attribute value by name (without case), or the fallback.
LPCTSTR Attribute(const CMarkupNode& node, LPCTSTR name, LPCTSTR fallback = L"") {
    for (int i = 0; i < node.GetAttributeCount(); ++i) {
        if (Is(node.GetAttributeName(i), name)) return node.GetAttributeValue(i);
    }
    return fallback;
}

void ApplyImage(const CMarkupNode& node, CPaintManagerUI* manager) {
    LPCTSTR name = Attribute(node, L"name");
    if (!*name) return;
    LPCTSTR type = Attribute(node, L"restype");
    manager->AddImage(name, *type ? type : nullptr, attribute::Color(Attribute(node, L"mask")), false,
                      attribute::IsTrue(Attribute(node, L"shared")));
}

void ApplyFont(const CMarkupNode& node, CPaintManagerUI* manager) {
    const int id = attribute::Int(Attribute(node, L"id", L"-1"));
    if (id < 0) return;
    LPCTSTR name = Attribute(node, L"name");
    // The size as written; the manager scales it for the display.
    const int size = attribute::Int(Attribute(node, L"size", L"12"));
    const bool bold = attribute::IsTrue(Attribute(node, L"bold"));
    const bool underline = attribute::IsTrue(Attribute(node, L"underline"));
    const bool italic = attribute::IsTrue(Attribute(node, L"italic"));
    const bool shared = attribute::IsTrue(Attribute(node, L"shared"));
    manager->AddFont(id, name, size, bold, underline, italic, shared);
    if (attribute::IsTrue(Attribute(node, L"default"))) manager->SetDefaultFont(name, size, bold, underline, italic, shared);
}

void ApplyDeclarations(const CMarkupNode& root, CPaintManagerUI* manager) {
    for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        LPCTSTR tag = node.GetName();
        if (Is(tag, L"Image")) {
            ApplyImage(node, manager);
        } else if (Is(tag, L"Font")) {
            ApplyFont(node, manager);
        } else if (Is(tag, L"Default") || Is(tag, L"Style")) {
            LPCTSTR name = Attribute(node, L"name");
            if (!*name) continue;
            LPCTSTR value = Attribute(node, L"value");
            const bool shared = attribute::IsTrue(Attribute(node, L"shared"));
            if (Is(tag, L"Default")) {
                manager->AddDefaultAttributeList(name, value, shared);
            } else {
                manager->AddStyle(name, value, shared);
            }
        } else if (Is(tag, L"Import")) {
            LPCTSTR file = Attribute(node, L"fontfile");
            if (*file) manager->AddFontFile(file);
        }
    }
}

// The attributes whose names are compared exactly, letter case included.
bool ApplyExactWindowAttribute(LPCTSTR name, LPCTSTR value, CPaintManagerUI* manager) {
    if (wcscmp(name, L"layeredopacity") == 0) {
        manager->SetLayeredOpacity(static_cast<BYTE>(attribute::Int(value)));
    } else if (wcscmp(name, L"layered") == 0 || wcscmp(name, L"bktrans") == 0) {
        manager->SetLayered(attribute::IsTrue(value));
    } else if (wcscmp(name, L"layeredimage") == 0) {
        manager->SetLayered(true);
        manager->SetLayeredImage(value);
    } else if (wcscmp(name, L"noactivate") == 0) {
        manager->SetNoActivate(attribute::IsTrue(value));
    } else {
        return false;
    }
    return true;
}

bool ApplyShadowAttribute(LPCTSTR name, LPCTSTR value, CShadowUI* shadow) {
    if (Is(name, L"shadowsize")) {
        shadow->SetSize(attribute::Int(value));
    } else if (Is(name, L"shadowsharpness")) {
        shadow->SetSharpness(static_cast<unsigned int>(attribute::Int(value)));
    } else if (Is(name, L"shadowdarkness")) {
        shadow->SetDarkness(static_cast<unsigned int>(attribute::Int(value)));
    } else if (Is(name, L"shadowposition")) {
        const SIZE offset = attribute::Size(value);
        shadow->SetPosition(offset.cx, offset.cy);
    } else if (Is(name, L"shadowcolor")) {
        // Skin colours are AARRGGBB; the shadow takes a GDI colour.
        shadow->SetColor(ArgbToColorRef(attribute::Color(value)));
    } else if (Is(name, L"shadowcorner")) {
        shadow->SetShadowCorner(attribute::Rect(value));
    } else if (Is(name, L"shadowimage")) {
        shadow->SetImage(value);
    } else if (Is(name, L"showshadow")) {
        shadow->ShowShadow(attribute::IsTrue(value));
    } else {
        return false;
    }
    return true;
}

void ApplyWindowAttribute(LPCTSTR name, LPCTSTR value, CPaintManagerUI* manager) {
    if (ApplyExactWindowAttribute(name, value, manager)) return;
    if (CShadowUI* shadow = manager->GetShadow()) {
        if (ApplyShadowAttribute(name, value, shadow)) return;
    }
    if (Is(name, L"size")) {
        const SIZE size = attribute::Size(value);
        const CDpiScaler* scaler = manager->GetScaler();
        manager->SetInitSize(scaler->Scale(size.cx), scaler->Scale(size.cy));
    } else if (Is(name, L"sizebox")) {
        manager->SetSizeBox(attribute::Rect(value));
    } else if (Is(name, L"caption")) {
        manager->SetCaptionRect(attribute::Rect(value));
    } else if (Is(name, L"roundcorner")) {
        const SIZE corner = attribute::Size(value);
        manager->SetRoundCorner(corner.cx, corner.cy);
    } else if (Is(name, L"mininfo")) {
        const SIZE size = attribute::Size(value);
        manager->SetMinInfo(size.cx, size.cy);
    } else if (Is(name, L"maxinfo")) {
        const SIZE size = attribute::Size(value);
        manager->SetMaxInfo(size.cx, size.cy);
    } else if (Is(name, L"showdirty")) {
        manager->SetShowUpdateRect(attribute::IsTrue(value));
    } else if (Is(name, L"opacity") || Is(name, L"alpha")) {
        manager->SetOpacity(static_cast<BYTE>(attribute::Int(value)));
    } else if (Is(name, L"disabledfontcolor")) {
        manager->SetDefaultColor1(attribute::Color(value), false);
    } else if (Is(name, L"defaultfontcolor")) {
        manager->SetDefaultColor2(attribute::Color(value), false);
    } else if (Is(name, L"linkfontcolor")) {
        manager->SetDefaultColor3(attribute::Color(value), false);
    } else if (Is(name, L"linkhoverfontcolor")) {
        manager->SetDefaultColor4(attribute::Color(value), false);
    } else if (Is(name, L"selectedcolor")) {
        manager->SetDefaultColor5(attribute::Color(value), false);
    } else if (Is(name, L"gdiplustext")) {
        manager->SetUseGdiplusText(attribute::IsTrue(value));
    } else if (Is(name, L"textrenderinghint")) {
        manager->SetGdiplusTextRenderingHint(attribute::Int(value));
    } else if (Is(name, L"tooltiphovertime")) {
        manager->SetHoverTime(attribute::Int(value));
    }
}

void ApplyWindowAttributes(const CMarkupNode& root, CPaintManagerUI* manager) {
    for (int i = 0; i < root.GetAttributeCount(); ++i) {
        ApplyWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i), manager);
    }
}

// The name under which a skin file is compared with the files being built.
CUIString FileKey(LPCTSTR name) {
    CUIString key(L"file:");
    key += name;
    key.Replace(L"\\", L"/");
    key.MakeLower();
    return key;
}

CUIString ResourceKey(LPCTSTR id, LPCTSTR type) {
    CUIString key;
    if (IS_INTRESOURCE(type)) {
        key.Format(L"res:#%u:%u", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(type)),
                   static_cast<unsigned>(reinterpret_cast<UINT_PTR>(id)));
    } else {
        key.Format(L"res:%s:%u", type, static_cast<unsigned>(reinterpret_cast<UINT_PTR>(id)));
        key.MakeLower();
    }
    return key;
}

}  // namespace

CControlUI* CDialogBuilder::Create(LPCTSTR xml, LPCTSTR type, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent) {
    m_failed = false;
    m_error.Empty();
    if (!xml) return nullptr;
    if (IS_INTRESOURCE(xml)) {
        m_document = ResourceKey(xml, type);
        if (IsBeingBuilt(m_document)) return RefuseCycle(m_document);
        if (!LoadResource(xml, type)) return nullptr;
        return Create(callback, manager, parent);
    }

    LPCTSTR text = xml;
    if (*text != L'<') {
        if (LPCTSTR replacement = CResourceTextRegistry::GetInstance()->FindInThirdMap(text)) text = replacement;
    }
    m_resourceType = nullptr;
    if (*text == L'<') {
        m_document.Empty();
        if (!m_xml.Load(text)) return nullptr;
    } else {
        m_document = FileKey(text);
        if (IsBeingBuilt(m_document)) return RefuseCycle(text);
        if (!m_xml.LoadFromFile(text)) return nullptr;
    }
    return Create(callback, manager, parent);
}

CControlUI* CDialogBuilder::Create(IDialogBuilderCallback* callback, CPaintManagerUI* manager, CControlUI* parent) {
    m_callback = callback;
    m_failed = false;
    const CMarkupNode root = m_xml.GetRoot();
    if (!root.IsValid()) return nullptr;
    if (manager) {
        ApplyDeclarations(root, manager);
        if (m_applyWindowAttributes && Is(root.GetName(), L"Window") && manager->GetPaintWindow()) {
            ApplyWindowAttributes(root, manager);
        }
    }
    return Parse(root, parent, manager);
}

LPCTSTR CDialogBuilder::GetLastErrorMessage() const {
    return m_error.IsEmpty() ? m_xml.GetLastErrorMessage() : m_error.GetData();
}

LPCTSTR CDialogBuilder::GetLastErrorLocation() const {
    return m_error.IsEmpty() ? m_xml.GetLastErrorLocation() : L"";
}

bool CDialogBuilder::LoadResource(LPCTSTR id, LPCTSTR type) {
    const HINSTANCE module = m_instance ? m_instance : CPaintManagerUI::GetResourceDll();
    const HRSRC resource = FindResourceW(module, id, type);
    if (!resource) return false;
    const HGLOBAL handle = ::LoadResource(module, resource);
    const void* bytes = handle ? LockResource(handle) : nullptr;
    if (!bytes) return false;
    if (!m_xml.LoadFromMem(static_cast<const BYTE*>(bytes), SizeofResource(module, resource), MarkupEncodingUtf8)) {
        return false;
    }
    RememberResourceType(type);
    return true;
}

void CDialogBuilder::RememberResourceType(LPCTSTR type) {
    if (IS_INTRESOURCE(type)) {
        m_resourceType = type;
        return;
    }
    m_resourceTypeName = type;
    m_resourceType = m_resourceTypeName.GetData();
}

CControlUI* CDialogBuilder::RefuseCycle(LPCTSTR document) {
    m_failed = true;
    m_error.Format(L"Include cycle: %s is already being built", document);
    return nullptr;
}

bool CDialogBuilder::IsBeingBuilt(const CUIString& document) const {
    for (const CDialogBuilder* builder = m_includer; builder; builder = builder->m_includer) {
        if (!builder->m_document.IsEmpty() && builder->m_document == document) return true;
    }
    return false;
}

CControlUI* CDialogBuilder::MakeControl(LPCTSTR tag) const {
    CUIString className(L"C");
    className += tag;
    className += L"UI";
    if (CControlUI* control = CControlFactory::GetInstance()->CreateControl(className)) return control;
    const CUIPtrArray* plugins = CPaintManagerUI::GetPlugins();
    for (int i = 0; i < plugins->GetSize(); ++i) {
        const auto create = reinterpret_cast<CreatePluginControl>(plugins->GetAt(i));
        if (CControlUI* control = create ? create(tag) : nullptr) return control;
    }
    return m_callback ? m_callback->CreateControl(tag) : nullptr;
}

CControlUI* CDialogBuilder::Parse(const CMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager) {
    // What no parent owns: the control being built, and (without a parent)
    // the first top-level control until the caller takes it. Whatever is
    // still held here when the build gives up dies with these owners.
    std::unique_ptr<CControlUI> topLevel;
    CControlUI* result = nullptr;
    IContainerUI* container = nullptr;
    bool containerLooked = false;

    for (CMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
        LPCTSTR tag = child.GetName();
        if (IsDeclaration(tag)) continue;
        if (Is(tag, L"Include")) {
            if (!Include(child, parent, manager, topLevel)) return nullptr;
            if (!parent) result = topLevel.get();
            continue;
        }

        std::unique_ptr<CControlUI> owned(MakeControl(tag));
        if (!owned) continue;
        CControlUI* const control = owned.get();
        if (child.HasChildren()) {
            Parse(child, control, manager);
            if (m_failed) return nullptr;
        }
        CControlUI* view = nullptr;
        if (parent) {
            const Placement placed = PlaceInTree(parent, control, view);
            if (placed == Placement::Refused) continue;
            if (placed == Placement::NotTree) {
                if (!containerLooked) {
                    container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
                    containerLooked = true;
                }
                if (!container) return nullptr;
                if (!container->Add(control)) continue;
            }
            owned.release();  // the parent's from here
        }
        if (manager) {
            control->SetManager(manager, view, view != nullptr);
            if (LPCTSTR defaults = manager->GetDefaultAttributeList(tag)) control->ApplyAttributeList(defaults);
        }
        for (int i = 0; i < child.GetAttributeCount(); ++i) {
            control->SetAttribute(child.GetAttributeName(i), child.GetAttributeValue(i));
        }
        // Detached until the result is attached: the manager then sets
        // manager and parent for the whole tree. A node that joined a tree
        // view is already where it shows, and nobody attaches it again.
        if (manager && !view) control->SetManager(nullptr, nullptr, false);

        // A second top-level control has no owner: the first is the result.
        if (!result) result = control;
        if (!parent && !topLevel) topLevel = std::move(owned);
    }
    return parent ? result : topLevel.release();
}

bool CDialogBuilder::Include(const CMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager,
                             std::unique_ptr<CControlUI>& topLevel) {
    if (!node.HasAttributes()) return true;
    wchar_t source[kMaxValue + 1] = {};
    wchar_t countText[kMaxValue + 1] = {};
    const int count = node.GetAttributeValue(L"count", countText, kMaxValue) ? attribute::Int(countText) : 1;
    if (!node.GetAttributeValue(L"source", source, kMaxValue)) return true;

    for (int i = 0; i < count; ++i) {
        CDialogBuilder builder;
        builder.m_includer = this;
        builder.m_instance = m_instance;
        builder.m_applyWindowAttributes = m_applyWindowAttributes;
        CControlUI* made = m_resourceType
                               ? builder.Create(MAKEINTRESOURCE(attribute::Int(source)), m_resourceType, m_callback, manager,
                                                parent)
                               : builder.Create(source, nullptr, m_callback, manager, parent);
        if (builder.m_failed) {
            m_failed = true;
            m_error = builder.m_error;
            return false;
        }
        if (parent) continue;
        // Without a parent the included controls are top-level controls too;
        // only the first is kept.
        std::unique_ptr<CControlUI> owned(made);
        if (!topLevel) topLevel = std::move(owned);
    }
    return true;
}

}  // namespace KvUI
