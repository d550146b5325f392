#include "client/WebStaticPages.h"

#include <windows.h>

#include "client/AppGlobals.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/ZipArchive.h"
#include "win/UniqueHandle.h"

namespace kvclient {

using KvUI::CPaintManagerUI;

std::unordered_map<std::wstring, std::unique_ptr<WebStaticPage>> g_webStaticPages;

namespace {

// The UI library's resource type for a skin zip held in a program resource.
constexpr int kSkinZipResource = 4;
constexpr wchar_t kFolder[] = L"webstatic/";
constexpr const wchar_t* kPageNames[] = {kErrorPageName};

bool ReadFromDisk(WebStaticPage& page) {
    const std::wstring path = std::wstring(CPaintManagerUI::GetResourcePath().GetData()) + kFolder + page.name;
    const kvwin::UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > MAXDWORD) return false;
    page.bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return ReadFile(file.get(), page.bytes.data(), static_cast<DWORD>(page.bytes.size()), &read, nullptr) &&
           read == page.bytes.size();
}

bool ReadFromZip(WebStaticPage& page) {
    const KvUI::HZIP zip = CPaintManagerUI::IsCachedResourceZip() ? CPaintManagerUI::GetResourceZipHandle() : nullptr;
    if (!zip) return false;
    std::wstring entryName = kFolder + page.name;
    for (wchar_t& c : entryName) {
        if (c == L'\\') c = L'/';
    }
    int index = -1;
    KvUI::ZipEntry entry;
    if (KvUI::FindZipItem(zip, entryName.c_str(), true, &index, &entry) != KvUI::ZR_OK || index < 0) return false;
    if (entry.uncompressedSize <= 0) return false;
    page.bytes.resize(static_cast<size_t>(entry.uncompressedSize));
    const KvUI::ZRESULT result =
        KvUI::UnzipItemToMemory(zip, index, page.bytes.data(), static_cast<unsigned int>(page.bytes.size()));
    return result == KvUI::ZR_OK || result == KvUI::ZR_MORE;
}

}  // namespace

void LoadWebStaticPages() {
    g_webStaticPages.clear();
    for (const wchar_t* name : kPageNames) g_webStaticPages[name] = nullptr;

    const bool fromZip = CPaintManagerUI::GetResourceType() == kSkinZipResource;
    for (auto& [name, slot] : g_webStaticPages) {
        auto page = std::make_unique<WebStaticPage>();
        page->name = name;
        if (fromZip ? ReadFromZip(*page) : ReadFromDisk(*page)) slot = std::move(page);
    }
}

const WebStaticPage* FindWebStaticPage(const std::wstring& name) {
    const auto found = g_webStaticPages.find(name);
    return found == g_webStaticPages.end() ? nullptr : found->second.get();
}

}  // namespace kvclient
