#pragma once
// Reading the files a skin names (images, fonts, markup): from the resource
// folder, or from the skin zip when one is set.
#include <windows.h>

#include <climits>
#include <cstddef>
#include <vector>

namespace KvUI {

// Why a skin file could not be read; the markup loader reports each apart.
enum class SkinReadStatus {
    Ok,
    FileNotOpened,
    FileEmpty,
    FileTooLarge,
    FileReadShort,
    ZipNotOpened,
    NotInZip,
    UnzipFailed,
};

// Decoders and GDI take sizes as int; nothing a skin holds comes near it.
constexpr size_t kMaxSkinFileSize = INT_MAX;

// The whole file at `path`, at most `maxSize` bytes; on failure `out` is empty.
SkinReadStatus ReadWholeFile(LPCTSTR path, std::vector<BYTE>& out, size_t maxSize);
inline bool ReadWholeFile(LPCTSTR path, std::vector<BYTE>& out) {
    return ReadWholeFile(path, out, kMaxSkinFileSize) == SkinReadStatus::Ok;
}

// The skin file `name`: resource path + name without a skin zip; else the zip
// entry of that name ("\" read as "/", case ignored) from the kept-open archive
// or from the zip file in the resource folder, opened with the zip password.
SkinReadStatus ReadSkinFile(LPCTSTR name, std::vector<BYTE>& out, size_t maxSize);
inline bool ReadSkinFile(LPCTSTR name, std::vector<BYTE>& out) {
    return ReadSkinFile(name, out, kMaxSkinFileSize) == SkinReadStatus::Ok;
}

}  // namespace KvUI
