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
#include "win/TextConversion.h"

namespace KvUI {
namespace paintmanager {

ProcessState& Process() {
    static ProcessState state;
    return state;
}

}  // namespace paintmanager

using paintmanager::Process;
using paintmanager::ProcessState;

namespace {

void CloseKeptZip() {
    ProcessState& p = Process();
    p.zip.reset();
    p.zipKeptOpen = false;
}

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
    info.font.reset(CreateFontIndirectW(&lf));
    info.faceName = lf.lfFaceName;
    info.size = -lf.lfHeight;
    info.bold = lf.lfWeight >= FW_BOLD;
    info.underline = lf.lfUnderline != 0;
    info.italic = lf.lfItalic != 0;
    info.metrics = {};
}

CUIString FontKey(int id) {
    CUIString key;
    key.SmallFormat(L"%d", id);
    return key;
}

// The first font of `fonts` in enumeration order for which `match` holds.
template <class Match>
TFontInfo* FirstFont(const OwnedStringMap<TFontInfo>& fonts, Match match) {
    TFontInfo* found = nullptr;
    fonts.ForEach([&](const CUIString&, const std::unique_ptr<TFontInfo>& info) {
        if (!match(*info)) return false;
        found = info.get();
        return true;
    });
    return found;
}

// A text of the window's own table, else of the shared one; null when neither has `key`.
LPCTSTR FindText(OwnedStringMap<CUIString>& own, OwnedStringMap<CUIString>& shared, LPCTSTR key) {
    if (!key) return nullptr;
    const CUIString* text = own.Find(key);
    if (!text) text = shared.Find(key);
    return text ? text->GetData() : nullptr;
}

}  // namespace

void TImageInfoDeleter::operator()(TImageInfo* image) const { CRenderEngine::FreeImage(image, true); }

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
HZIP CPaintManagerUI::GetResourceZipHandle() { return Process().zip.get(); }
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
    const std::string ansi = kvwin::WideToAnsi(password ? password : L"");
    p.zip.reset(OpenZipMemory(buffer, length > 0 ? static_cast<unsigned int>(length) : 0u,
                              ansi.empty() ? nullptr : ansi.c_str()));
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
    p.shared.images.RemoveAll();
    p.shared.fonts.RemoveAll();
    p.shared.defaultFont = TFontInfo();
    p.sharedFontReady = false;
    p.shared.defaultAttributes.RemoveAll();
    p.shared.styles.RemoveAll();
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
        p.showDirtyPen.reset(CreatePen(PS_SOLID, 1, RGB(220, 0, 0)));
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
    if (!info || !m_paintDC.get() || !info->font) return;
    const kvwin::ScopedSelect select(m_paintDC.get(), info->font.get());
    GetTextMetricsW(m_paintDC.get(), &info->metrics);
}

TFontInfo* CPaintManagerUI::GetDefaultFontInfo() {
    TFontInfo* info = m_resources.defaultFont.faceName.IsEmpty() ? &Process().shared.defaultFont
                                                                : &m_resources.defaultFont;
    if (info->metrics.tmHeight == 0) MeasureFont(info);
    return info;
}

void CPaintManagerUI::SetDefaultFont(LPCTSTR name, int size, bool bold, bool underline, bool italic,
                                     bool shared) {
    kvwin::UniqueFont font(CreateSkinFont(name, size, bold, underline, italic, *GetScaler()));
    if (!font) return;
    TFontInfo& info = TargetSet(shared).defaultFont;
    LOGFONTW lf = {};
    GetObjectW(font.get(), sizeof lf, &lf);
    info.font = std::move(font);
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
    auto info = std::make_unique<TFontInfo>();
    info->font.reset(font);
    LOGFONTW lf = {};
    GetObjectW(font, sizeof lf, &lf);
    info->faceName = lf.lfFaceName;
    info->size = size;
    info->bold = bold;
    info->underline = underline;
    info->italic = italic;
    MeasureFont(info.get());

    OwnedStringMap<TFontInfo>& fonts = TargetSet(shared).fonts;
    const CUIString key = FontKey(id);
    fonts.Remove(key);
    return fonts.Insert(key, std::move(info)) ? font : nullptr;
}

HFONT CPaintManagerUI::GetFont(int id) { return GetFontInfo(id)->font.get(); }

TFontInfo* CPaintManagerUI::GetFontInfo(int id) {
    if (id < 0) return GetDefaultFontInfo();
    const CUIString key = FontKey(id);
    TFontInfo* info = m_resources.fonts.Find(key);
    if (!info) info = Process().shared.fonts.Find(key);
    if (!info) return GetDefaultFontInfo();
    if (info->metrics.tmHeight == 0) MeasureFont(info);
    return info;
}

TFontInfo* CPaintManagerUI::GetFontInfoByHandle(HFONT font) {
    for (const OwnedStringMap<TFontInfo>* fonts : {&m_resources.fonts, &Process().shared.fonts}) {
        TFontInfo* info = FirstFont(*fonts, [font](const TFontInfo& candidate) { return candidate.font.get() == font; });
        if (!info) continue;
        if (info->metrics.tmHeight == 0) MeasureFont(info);
        return info;
    }
    return GetDefaultFontInfo();
}

HFONT CPaintManagerUI::FindFont(LPCTSTR name, int size, bool bold, bool underline, bool italic) const {
    const OwnedStringMap<TFontInfo>* const sets[] = {&m_resources.fonts, &Process().shared.fonts};
    for (const OwnedStringMap<TFontInfo>* fonts : sets) {
        const TFontInfo* info = FirstFont(*fonts, [&](const TFontInfo& candidate) {
            return candidate.faceName == name && candidate.size == size && candidate.bold == bold &&
                   candidate.underline == underline && candidate.italic == italic;
        });
        if (info) return info->font.get();
    }
    return nullptr;
}

void CPaintManagerUI::RemoveAllFonts(bool shared) {
    (shared ? Process().shared.fonts : m_resources.fonts).RemoveAll();
}

void CPaintManagerUI::AddFontFile(LPCTSTR file) {
    if (!file) return;
    std::vector<BYTE> data;
    if (!ReadSkinFile(file, data)) ReadWholeFile(file, data);
    DWORD installed = 0;
    const HANDLE handle = AddFontMemResourceEx(data.empty() ? nullptr : data.data(),
                                               static_cast<DWORD>(data.size()), nullptr, &installed);
    m_memoryFonts.emplace_back(handle);
}

TImageInfo* CPaintManagerUI::GetImage(LPCTSTR name) const {
    if (!name) return nullptr;
    TImageInfo* image = const_cast<ResourceSet&>(m_resources).images.Find(name);
    return image ? image : Process().shared.images.Find(name);
}

TImageInfo* CPaintManagerUI::GetImageEx(LPCTSTR name, LPCTSTR type, DWORD mask, bool useHSL,
                                        HINSTANCE instance) {
    if (TImageInfo* image = GetImage(name)) return image;
    return AddImage(name, type, mask, useHSL, false, instance);
}

TImageInfo* CPaintManagerUI::AddImage(LPCTSTR name, LPCTSTR type, DWORD mask, bool useHSL, bool shared,
                                      HINSTANCE instance) {
    if (!name || !*name) return nullptr;
    std::unique_ptr<TImageInfo, TImageInfoDeleter> image;
    if (type && *type) {
        // A typed image is a module resource named by its decimal id.
        if (iswdigit(name[0])) image.reset(CRenderEngine::LoadImage(MAKEINTRESOURCEW(_wtoi(name)), type, mask, instance));
    } else {
        image.reset(CRenderEngine::LoadImageFromString(name, nullptr, mask, instance));
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
        if (GetHSL(&h, &s, &l)) CRenderEngine::AdjustImage(true, image.get(), h, s, l);
    }

    TImageInfo* const added = image.get();
    // The earlier image of that name (if any) is freed as Set hands it back.
    TargetSet(shared).images.Set(name, std::move(image));
    return added;
}

void CPaintManagerUI::RemoveImage(LPCTSTR name, bool shared) {
    if (!name) return;
    (shared ? Process().shared.images : m_resources.images).Remove(name);
}

void CPaintManagerUI::RemoveAllImages(bool shared) {
    (shared ? Process().shared.images : m_resources.images).RemoveAll();
}

TImageDrawSpec* CPaintManagerUI::GetDrawSpec(LPCTSTR drawString, LPCTSTR modifyString) {
    // Most draws have no modify string: their draw string is the key as it is.
    const bool join = modifyString && *modifyString;
    const CUIString joined = join ? CUIString(drawString) + modifyString : CUIString();
    const LPCTSTR key = join ? joined.GetData() : drawString;
    if (!key || !*key) return nullptr;
    if (TImageDrawSpec* spec = m_resources.drawSpecs.Find(key)) return spec;
    auto spec = std::make_unique<TImageDrawSpec>();
    spec->Parse(drawString, modifyString, this);
    TImageDrawSpec* const parsed = spec.get();
    return m_resources.drawSpecs.Insert(key, std::move(spec)) ? parsed : nullptr;
}

void CPaintManagerUI::RemoveAllDrawSpecs() {
    m_resources.drawSpecs.RemoveAll();
}

void CPaintManagerUI::AddDefaultAttributeList(LPCTSTR className, LPCTSTR attributes, bool shared) {
    if (!className) return;
    TargetSet(shared).defaultAttributes.Set(className, std::make_unique<CUIString>(attributes));
}

LPCTSTR CPaintManagerUI::GetDefaultAttributeList(LPCTSTR className) const {
    return FindText(const_cast<ResourceSet&>(m_resources).defaultAttributes, Process().shared.defaultAttributes,
                    className);
}

void CPaintManagerUI::RemoveAllDefaultAttributeLists(bool shared) {
    (shared ? Process().shared.defaultAttributes : m_resources.defaultAttributes).RemoveAll();
}

void CPaintManagerUI::AddStyle(LPCTSTR name, LPCTSTR attributes, bool shared) {
    if (!name) return;
    // An existing style of that name stays; the new copy is dropped.
    TargetSet(shared).styles.Insert(name, std::make_unique<CUIString>(attributes));
}

LPCTSTR CPaintManagerUI::GetStyle(LPCTSTR name) const {
    return FindText(const_cast<ResourceSet&>(m_resources).styles, Process().shared.styles, name);
}

void CPaintManagerUI::RemoveAllStyles(bool shared) {
    (shared ? Process().shared.styles : m_resources.styles).RemoveAll();
}

CDpiScaler* CPaintManagerUI::GetScaler() {
    if (!m_scaler) m_scaler = std::make_unique<CDpiScaler>();
    return m_scaler.get();
}

void CPaintManagerUI::FreeResources() {
    RemoveAllFonts();
    m_resources.defaultFont = TFontInfo();
    RemoveAllImages();
    RemoveAllDefaultAttributeLists();
    RemoveAllStyles();
    RemoveAllDrawSpecs();
    m_memoryFonts.clear();
}

}  // namespace KvUI
