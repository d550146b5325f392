#include "ui/core/SkinFile.h"

#include <memory>
#include <new>

#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"
#include "win/TextConversion.h"
#include "win/UniqueHandle.h"

namespace KvUI {
namespace {

// A size the archive or the file system claims is only trusted as far as
// the allocation succeeds.
bool Allocate(std::vector<BYTE>& out, size_t size) {
    try {
        out.resize(size);
        return true;
    } catch (const std::bad_alloc&) {
        out.clear();
        return false;
    }
}

SkinReadStatus ReadZipEntry(HZIP zip, LPCTSTR name, std::vector<BYTE>& out, size_t maxSize) {
    CUIString entryName = name;
    entryName.Replace(L"\\", L"/");
    int index = -1;
    ZipEntry entry;
    if (FindZipItem(zip, entryName, true, &index, &entry) != ZR_OK || index < 0) return SkinReadStatus::NotInZip;
    if (entry.uncompressedSize == 0) return SkinReadStatus::FileEmpty;
    if (entry.uncompressedSize < 0 || static_cast<unsigned long long>(entry.uncompressedSize) > maxSize) {
        return SkinReadStatus::FileTooLarge;
    }
    if (!Allocate(out, static_cast<size_t>(entry.uncompressedSize))) return SkinReadStatus::FileTooLarge;
    const ZRESULT result = UnzipItemToMemory(zip, index, out.data(), static_cast<unsigned int>(out.size()));
    if (result == ZR_OK || result == ZR_MORE) return SkinReadStatus::Ok;
    out.clear();
    return SkinReadStatus::UnzipFailed;
}

}  // namespace

SkinReadStatus ReadWholeFile(LPCTSTR path, std::vector<BYTE>& out, size_t maxSize) {
    out.clear();
    if (!path) return SkinReadStatus::FileNotOpened;
    const kvwin::UniqueKernelHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return SkinReadStatus::FileNotOpened;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size)) return SkinReadStatus::FileReadShort;
    if (size.QuadPart == 0) return SkinReadStatus::FileEmpty;
    if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > maxSize) {
        return SkinReadStatus::FileTooLarge;
    }
    if (!Allocate(out, static_cast<size_t>(size.QuadPart))) return SkinReadStatus::FileTooLarge;
    DWORD read = 0;
    // A short read means the file changed under us: never hand on half of it.
    if (!ReadFile(file.get(), out.data(), static_cast<DWORD>(out.size()), &read, nullptr) || read != out.size()) {
        out.clear();
        return SkinReadStatus::FileReadShort;
    }
    return SkinReadStatus::Ok;
}

SkinReadStatus ReadSkinFile(LPCTSTR name, std::vector<BYTE>& out, size_t maxSize) {
    out.clear();
    if (!name) return SkinReadStatus::FileNotOpened;
    if (CPaintManagerUI::GetResourceZip().IsEmpty()) {
        return ReadWholeFile(CPaintManagerUI::GetResourcePath() + name, out, maxSize);
    }
    if (CPaintManagerUI::IsCachedResourceZip()) {
        const HZIP zip = CPaintManagerUI::GetResourceZipHandle();
        return zip ? ReadZipEntry(zip, name, out, maxSize) : SkinReadStatus::ZipNotOpened;
    }
    const CUIString& password = CPaintManagerUI::GetResourceZipPassword();
    const std::string ansiPassword = kvwin::WideToAnsi(password.GetData());
    // Closed after this one read; the paint manager's kept-open archive is
    // borrowed above and left alone.
    const UniqueZip zip(OpenZipFile(CPaintManagerUI::GetResourcePath() + CPaintManagerUI::GetResourceZip(),
                                    ansiPassword.empty() ? nullptr : ansiPassword.c_str()));
    if (!zip) return SkinReadStatus::ZipNotOpened;
    return ReadZipEntry(zip.get(), name, out, maxSize);
}

}  // namespace KvUI
