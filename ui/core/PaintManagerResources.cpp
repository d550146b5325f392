// The paint manager's resources: the process-wide settings that say where
// skin files come from, and the two layers (the window's own, then the
// shared one) of colours, fonts, images, default attributes and styles.
#include <cwctype>
#include <string>
#include <vector>

#include "ui/core/ControlFactory.h"
#include "ui/core/ImageInfo.h"
#include "ui/core/PaintManagerProcess.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/ResourceManager.h"
#include "ui/core/SkinFile.h"

namespace KvUI {
namespace paintmanager {

ProcessState& Process() {
    static ProcessState state;
    return state;
}

}  // namespace paintmanager

using paintmanager::FreeMapValues;
using paintmanager::Process;
using paintmanager::ProcessState;

namespace {

void CloseKeptZip() {
    ProcessState& p = Process();
    if (p.zipKeptOpen && p.zip) CloseZip(p.zip);
    p.zip = nullptr;
    p.zipKeptOpen = false;
}

std::string ToAnsi(LPCTSTR text) {
    const std::unique_ptr<char[]> ansi = WideToMultiByte(text, CP_ACP);
    return ansi ? std::string(ansi.get()) : std::string();
}

void FreeFont(TFontInfo* info) {
    if (!info) return;
    if (info->font) DeleteObject(info->font);
    delete info;
}

void FreeImage(TImageInfo* image) {
    if (image) CRenderEngine::FreeImage(image, true);
}

void FreeString(CUIString* text) { delete text; }

// The skin's font description, made from the stock GUI font; size in pixels
// before scaling.
HFONT CreateSkinFont(LPCTSTR name, int size, bool bold, bool underline, bool italic, const CDpiScaler& scaler) {
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    if (name && *name) wcsncpy_s(lf.lfFaceName, LF_FACESIZE, name, _TRUNCATE);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -scaler.Scale(size);
    if (bold) lf.lfWeight = FW_BOLD;
    lf.lfUnderline = underline ? TRUE : FALSE;
    lf.lfItalic = italic ? TRUE : FALSE;
    return CreateFontIndirectW(&lf);
}

void InitSharedDefaultFont(TFontInfo& info) {
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    info.font = CreateFontIndirectW(&lf);
    info.faceName = lf.lfFaceName;
    info.size = -lf.lfHeight;
    info.bold = lf.lfWeight >= FW_BOLD;
    info.underline = lf.lfUnderline != 0;
    info.italic = lf.lfItalic != 0;
    info.metrics = {};
}

template <class T>
T* FindIn(CUIStringMap& map, LPCTSTR key) {
    return static_cast<T*>(map.Find(key));
}

CUIString FontKey(int id) {
    CUIString key;
    key.SmallFormat(L"%d", id);
    return key;
}

}  // namespace

// ---- Process-wide settings ----

HINSTANCE CPaintManagerUI::GetInstance() { return Process().instance; }

CUIString CPaintManagerUI::GetInstancePath() {
    const HINSTANCE instance = Process().instance;
    if (!instance) return CUIString();
    wchar_t path[MAX_PATH + 1] = {};
    GetModuleFileNameW(instance, path, MAX_PATH);
    if (wchar_t* slash = wcsrchr(path, L'\\')) slash[1] = L'\0';
    return CUIString(path);
}

HINSTANCE CPaintManagerUI::GetResourceDll() {
    const ProcessState& p = Process();
    return p.resourceDll ? p.resourceDll : p.instance;
}

const CUIString& CPaintManagerUI::GetResourcePath() { return Process().resourcePath; }
const CUIString& CPaintManagerUI::GetResourceZip() { return Process().zipName; }
const CUIString& CPaintManagerUI::GetResourceZipPassword() { return Process().zipPassword; }
bool CPaintManagerUI::IsCachedResourceZip() { return Process().zipKeptOpen; }
HZIP CPaintManagerUI::GetResourceZipHandle() { return Process().zip; }
void CPaintManagerUI::SetInstance(HINSTANCE instance) { Process().instance = instance; }
void CPaintManagerUI::SetResourceDll(HINSTANCE instance) { Process().resourceDll = instance; }

void CPaintManagerUI::SetResourcePath(LPCTSTR path) {
    CUIString& stored = Process().resourcePath;
    stored = path;
    if (stored.IsEmpty()) return;
    const wchar_t last = stored.GetAt(stored.GetLength() - 1);
    if (last != L'\\' && last != L'/') stored += L"\\";
}

void CPaintManagerUI::SetResourceZip(const void* buffer, int length, LPCTSTR password) {
    ProcessState& p = Process();
    if (p.zipName == L"membuffer") return;
    CloseKeptZip();
    p.zipName = L"membuffer";
    p.zipKeptOpen = true;
    p.zipPassword = password;
    const std::string ansi = ToAnsi(password);
    p.zip = OpenZipMemory(buffer, length > 0 ? static_cast<unsigned int>(length) : 0u,
                          ansi.empty() ? nullptr : ansi.c_str());
}

int CPaintManagerUI::GetResourceType() { return Process().resourceType; }
void CPaintManagerUI::SetResourceType(int type) { Process().resourceType = type; }
CUIPtrArray* CPaintManagerUI::GetPlugins() { return &Process().plugins; }

bool CPaintManagerUI::GetHSL(short* h, short* s, short* l) {
    const ProcessState& p = Process();
    if (h) *h = p.hue;
    if (s) *s = p.saturation;
    if (l) *l = p.lightness;
    return p.adjustColors;
}

void CPaintManagerUI::Term() {
    CResourceTextRegistry::ReleaseInstance();
    CControlFactory::DestroyInstance();
    ProcessState& p = Process();
    FreeMapValues<TImageInfo>(p.shared.images, FreeImage);
    FreeMapValues<TFontInfo>(p.shared.fonts, FreeFont);
    if (p.shared.defaultFont.font) DeleteObject(p.shared.defaultFont.font);
    p.shared.defaultFont = TFontInfo();
    p.sharedFontReady = false;
    FreeMapValues<CUIString>(p.shared.defaultAttributes, FreeString);
    FreeMapValues<CUIString>(p.shared.styles, FreeString);
    CloseKeptZip();
    p.zipName.Empty();
}

// ---- Per-window resources ----

void CPaintManagerUI::InitProcessResources() {
    ProcessState& p = Process();
    if (!p.initialised) {
        p.initialised = true;
        InitCommonControls();
        // Kept loaded for the process: the render engine draws with its AlphaBlend and GradientFill.
        p.msimg32 = LoadLibraryW(L"msimg32.dll");
        p.showDirtyPen = CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
        p.shared.colors[0] = 0xFFA7A6AA;
        p.shared.colors[1] = 0xFF000000;
        p.shared.colors[2] = 0xFF0000FF;
        p.shared.colors[3] = 0xFFD3215F;
        p.shared.colors[4] = 0xFFBAE4FF;
    }
    if (!p.sharedFontReady) {
        p.sharedFontReady = true;
        InitSharedDefaultFont(p.shared.defaultFont);
    }
    for (int i = 0; i < 5; ++i) m_resources.colors[i] = p.shared.colors[i];
}

CPaintManagerUI::ResourceSet& CPaintManagerUI::TargetSet(bool shared) {
    return (shared || m_resources.useShared) ? Process().shared : m_resources;
}

void CPaintManagerUI::SetDefaultColor(int index, DWORD color, bool shared) {
    if (!shared) {
        m_resources.colors[index] = color;
        return;
    }
    DWORD& sharedColor = Process().shared.colors[index];
    if (m_resources.colors[index] == sharedColor) m_resources.colors[index] = color;
    sharedColor = color;
}

void CPaintManagerUI::MeasureFont(TFontInfo* info) {
    if (!info || !m_paintDC || !info->font) return;
    const HGDIOBJ old = SelectObject(m_paintDC, info->font);
    GetTextMetricsW(m_paintDC, &info->metrics);
    SelectObject(m_paintDC, old);
}

TFontInfo* CPaintManagerUI::GetDefaultFontInfo() {
    TFontInfo* info = m_resources.defaultFont.faceName.IsEmpty() ? &Process().shared.defaultFont
                                                                : &m_resources.defaultFont;
    if (info->metrics.tmHeight == 0) MeasureFont(info);
    return info;
}

void CPaintManagerUI::SetDefaultFont(LPCTSTR name, int size, bool bold, bool underline, bool italic,
                                     bool shared) {
    const HFONT font = CreateSkinFont(name, size, bold, underline, italic, *GetScaler());
    if (!font) return;
    TFontInfo& info = TargetSet(shared).defaultFont;
    if (info.font) DeleteObject(info.font);
    info.font = font;
    LOGFONTW lf = {};
    GetObjectW(font, sizeof lf, &lf);
    info.faceName = lf.lfFaceName;
    info.size = size;
    info.bold = bold;
    info.underline = underline;
    info.italic = italic;
    info.metrics = {};
    MeasureFont(&info);
}

HFONT CPaintManagerUI::AddFont(int id, LPCTSTR name, int size, bool bold, bool underline, bool italic,
                               bool shared) {
    const HFONT font = CreateSkinFont(name, size, bold, underline, italic, *GetScaler());
    if (!font) return nullptr;
    auto* info = new TFontInfo;
    info->font = font;
    LOGFONTW lf = {};
    GetObjectW(font, sizeof lf, &lf);
    info->faceName = lf.lfFaceName;
    info->size = size;
    info->bold = bold;
    info->underline = underline;
    info->italic = italic;
    MeasureFont(info);

    CUIStringMap& fonts = TargetSet(shared).fonts;
    const CUIString key = FontKey(id);
    FreeFont(static_cast<TFontInfo*>(fonts.Find(key)));
    fonts.Remove(key);
    if (!fonts.Insert(key, info)) {
        FreeFont(info);
        return nullptr;
    }
    return font;
}

HFONT CPaintManagerUI::GetFont(int id) { return GetFontInfo(id)->font; }

TFontInfo* CPaintManagerUI::GetFontInfo(int id) {
    if (id < 0) return GetDefaultFontInfo();
    const CUIString key = FontKey(id);
    TFontInfo* info = FindIn<TFontInfo>(m_resources.fonts, key);
    if (!info) info = FindIn<TFontInfo>(Process().shared.fonts, key);
    if (!info) return GetDefaultFontInfo();
    if (info->metrics.tmHeight == 0) MeasureFont(info);
    return info;
}

TFontInfo* CPaintManagerUI::GetFontInfoByHandle(HFONT font) {
    for (CUIStringMap* fonts : {&m_resources.fonts, &Process().shared.fonts}) {
        for (int i = 0; i < fonts->GetSize(); ++i) {
            auto* info = static_cast<TFontInfo*>(fonts->Find(fonts->GetAt(i), false));
            if (info && info->font == font) {
                if (info->metrics.tmHeight == 0) MeasureFont(info);
                return info;
            }
        }
    }
    return GetDefaultFontInfo();
}

HFONT CPaintManagerUI::FindFont(LPCTSTR name, int size, bool bold, bool underline, bool italic) const {
    for (CUIStringMap* fonts : {const_cast<CUIStringMap*>(&m_resources.fonts), &Process().shared.fonts}) {
        for (int i = 0; i < fonts->GetSize(); ++i) {
            const auto* info = static_cast<const TFontInfo*>(fonts->Find(fonts->GetAt(i), false));
            if (info && info->faceName == name && info->size == size && info->bold == bold &&
                info->underline == underline && info->italic == italic) {
                return info->font;
            }
        }
    }
    return nullptr;
}

void CPaintManagerUI::RemoveAllFonts(bool shared) {
    FreeMapValues<TFontInfo>(shared ? Process().shared.fonts : m_resources.fonts, FreeFont);
}

void CPaintManagerUI::AddFontFile(LPCTSTR file) {
    if (!file) return;
    std::vector<BYTE> data;
    if (!ReadSkinFile(file, data)) ReadWholeFile(file, data);
    DWORD installed = 0;
    const HANDLE handle = AddFontMemResourceEx(data.empty() ? nullptr : data.data(),
                                               static_cast<DWORD>(data.size()), nullptr, &installed);
    m_memoryFonts.Add(handle);
}

TImageInfo* CPaintManagerUI::GetImage(LPCTSTR name) const {
    if (!name) return nullptr;
    auto* image = static_cast<TImageInfo*>(const_cast<CUIStringMap&>(m_resources.images).Find(name));
    return image ? image : static_cast<TImageInfo*>(Process().shared.images.Find(name));
}

TImageInfo* CPaintManagerUI::GetImageEx(LPCTSTR name, LPCTSTR type, DWORD mask, bool useHSL,
                                        HINSTANCE instance) {
    if (TImageInfo* image = GetImage(name)) return image;
    return AddImage(name, type, mask, useHSL, false, instance);
}

TImageInfo* CPaintManagerUI::AddImage(LPCTSTR name, LPCTSTR type, DWORD mask, bool useHSL, bool shared,
                                      HINSTANCE instance) {
    if (!name || !*name) return nullptr;
    TImageInfo* image = nullptr;
    if (type && *type) {
        // A typed image is a module resource named by its decimal id.
        if (iswdigit(name[0])) image = CRenderEngine::LoadImage(MAKEINTRESOURCEW(_wtoi(name)), type, mask, instance);
    } else {
        image = CRenderEngine::LoadImageFromString(name, nullptr, mask, instance);
    }
    if (!image) return nullptr;

    image->resType = type;
    image->mask = mask;
    image->useHsl = useHSL;
    if (useHSL) {
        DIBSECTION dib = {};
        if (GetObjectW(image->bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits) {
            const auto* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
            image->sourcePixels.assign(bits, bits + static_cast<size_t>(image->width) * image->height * 4);
            image->pixels = image->sourcePixels;
        }
        short h = 0, s = 0, l = 0;
        if (GetHSL(&h, &s, &l)) CRenderEngine::AdjustImage(true, image, h, s, l);
    }

    CUIStringMap& images = TargetSet(shared).images;
    FreeImage(static_cast<TImageInfo*>(images.Set(name, image)));
    return image;
}

void CPaintManagerUI::RemoveImage(LPCTSTR name, bool shared) {
    if (!name) return;
    CUIStringMap& images = shared ? Process().shared.images : m_resources.images;
    TImageInfo* image = static_cast<TImageInfo*>(images.Find(name));
    if (!image) return;
    images.Remove(name);
    FreeImage(image);
}

void CPaintManagerUI::RemoveAllImages(bool shared) {
    FreeMapValues<TImageInfo>(shared ? Process().shared.images : m_resources.images, FreeImage);
}

TImageDrawSpec* CPaintManagerUI::GetDrawSpec(LPCTSTR drawString, LPCTSTR modifyString) {
    // Most draws have no modify string: their draw string is the key as it is.
    const bool join = modifyString && *modifyString;
    const CUIString joined = join ? CUIString(drawString) + modifyString : CUIString();
    const LPCTSTR key = join ? joined.GetData() : drawString;
    if (!key || !*key) return nullptr;
    if (auto* spec = static_cast<TImageDrawSpec*>(m_resources.drawSpecs.Find(key))) return spec;
    auto spec = std::make_unique<TImageDrawSpec>();
    spec->Parse(drawString, modifyString, this);
    if (!m_resources.drawSpecs.Insert(key, spec.get())) return nullptr;
    return spec.release();
}

void CPaintManagerUI::RemoveAllDrawSpecs() {
    FreeMapValues<TImageDrawSpec>(m_resources.drawSpecs, [](TImageDrawSpec* spec) { delete spec; });
}

void CPaintManagerUI::AddDefaultAttributeList(LPCTSTR className, LPCTSTR attributes, bool shared) {
    if (!className) return;
    CUIStringMap& lists = TargetSet(shared).defaultAttributes;
    delete static_cast<CUIString*>(lists.Set(className, new CUIString(attributes)));
}

LPCTSTR CPaintManagerUI::GetDefaultAttributeList(LPCTSTR className) const {
    if (!className) return nullptr;
    auto* list = static_cast<CUIString*>(const_cast<CUIStringMap&>(m_resources.defaultAttributes).Find(className));
    if (!list) list = static_cast<CUIString*>(Process().shared.defaultAttributes.Find(className));
    return list ? list->GetData() : nullptr;
}

void CPaintManagerUI::RemoveAllDefaultAttributeLists(bool shared) {
    FreeMapValues<CUIString>(shared ? Process().shared.defaultAttributes : m_resources.defaultAttributes,
                             FreeString);
}

void CPaintManagerUI::AddStyle(LPCTSTR name, LPCTSTR attributes, bool shared) {
    if (!name) return;
    auto* copy = new CUIString(attributes);
    if (!TargetSet(shared).styles.Insert(name, copy)) delete copy;
}

LPCTSTR CPaintManagerUI::GetStyle(LPCTSTR name) const {
    if (!name) return nullptr;
    auto* style = static_cast<CUIString*>(const_cast<CUIStringMap&>(m_resources.styles).Find(name));
    if (!style) style = static_cast<CUIString*>(Process().shared.styles.Find(name));
    return style ? style->GetData() : nullptr;
}

void CPaintManagerUI::RemoveAllStyles(bool shared) {
    FreeMapValues<CUIString>(shared ? Process().shared.styles : m_resources.styles, FreeString);
}

CDpiScaler* CPaintManagerUI::GetScaler() {
    if (!m_scaler) m_scaler = std::make_unique<CDpiScaler>();
    return m_scaler.get();
}

void CPaintManagerUI::FreeResources() {
    RemoveAllFonts();
    if (m_resources.defaultFont.font) DeleteObject(m_resources.defaultFont.font);
    m_resources.defaultFont = TFontInfo();
    RemoveAllImages();
    RemoveAllDefaultAttributeLists();
    RemoveAllStyles();
    RemoveAllDrawSpecs();
    for (int i = 0; i < m_memoryFonts.GetSize(); ++i) {
        if (m_memoryFonts[i]) RemoveFontMemResourceEx(m_memoryFonts[i]);
    }
    m_memoryFonts.Empty();
}

}  // namespace KvUI
