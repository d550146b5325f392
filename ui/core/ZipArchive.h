#pragma once
// Reading the skin zip archives: a zip file on disk (optionally encrypted with
// the traditional PKWARE scheme) or a zip image held in memory. The rest of the
// library goes through the handle-based free functions at the end of this file.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/core/ZipInput.h"
#include "win/UniqueHandle.h"

namespace KvUI {

using ZRESULT = DWORD;

// Result codes of the free functions (0 is success).
constexpr ZRESULT ZR_OK = 0x00000000;
constexpr ZRESULT ZR_NOFILE = 0x00000200;     // the source cannot be opened or is no zip
constexpr ZRESULT ZR_WRITE = 0x00000400;      // writing a target file failed
constexpr ZRESULT ZR_NOTFOUND = 0x00000500;   // no entry of that name
constexpr ZRESULT ZR_MORE = 0x00000600;       // the memory buffer is full, more data follows
constexpr ZRESULT ZR_CORRUPT = 0x00000700;    // the entry's header cannot be read
constexpr ZRESULT ZR_READ = 0x00000800;       // reading the entry's extra data failed
constexpr ZRESULT ZR_PASSWORD = 0x00001000;   // wrong password
constexpr ZRESULT ZR_ARGS = 0x00010000;       // null handle, index out of range, unknown kind
constexpr ZRESULT ZR_NOTMMAP = 0x00080000;    // the handle is not an unzip archive
constexpr ZRESULT ZR_ALREADYOPEN = 0x01000000;
constexpr ZRESULT ZR_SEEK = 0x02000000;       // a handle source cannot report its position
constexpr ZRESULT ZR_FLATE = 0x05000000;      // decompression failed (or the CRC did not match)

// Source and target kinds.
constexpr DWORD ZIP_HANDLE = 1;
constexpr DWORD ZIP_FILENAME = 2;
constexpr DWORD ZIP_MEMORY = 3;

// One entry of an archive as the library reports it.
struct ZipEntry {
    int index = 0;
    wchar_t name[MAX_PATH] = {};
    DWORD attr = 0;           // FILE_ATTRIBUTE_* bits
    FILETIME atime = {};      // UTC
    FILETIME ctime = {};
    FILETIME mtime = {};
    long compressedSize = 0;
    long uncompressedSize = 0;
};

// One open archive over the unzip library: lists, finds and extracts entries.
class ZipArchive {
public:
    // `password` (ANSI, may be null) is copied.
    explicit ZipArchive(const char* password);
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;
    ~ZipArchive();

    // Source kinds as for ZipInput::Open. Relative target names are later taken
    // against the current folder of this moment.
    ZRESULT Open(const void* source, unsigned int length, DWORD kind);
    // Index -1 gives a record whose `index` holds the number of entries.
    ZRESULT GetItem(int index, ZipEntry* entry);
    ZRESULT FindItem(LPCTSTR name, bool ignoreCase, int* index, ZipEntry* entry);
    // Target kinds: ZIP_HANDLE (a HANDLE), ZIP_FILENAME (a wide name), ZIP_MEMORY
    // (`length` bytes; ZR_MORE asks for another call with the same index, which
    // continues where this one stopped).
    ZRESULT Unzip(int index, void* target, unsigned int length, DWORD kind);
    // Creates `root` if missing, then each folder of `path` from the outermost inward;
    // true when root + path is a folder afterwards.
    static bool EnsureDirectory(LPCTSTR root, LPCTSTR path);

private:
    void Close();
    int CloseEntry();
    ZRESULT MoveTo(int index);
    ZRESULT OpenEntry(int index);
    ZRESULT ReadEntry(int index, ZipEntry* entry);
    ZRESULT UnzipToMemory(int index, void* buffer, unsigned int length);
    ZRESULT UnzipToFile(int index, void* target, DWORD kind);
    ZRESULT CopyEntryTo(HANDLE file);

    void* m_unz = nullptr;  // the unzip library's archive
    int m_openIndex = -1;   // entry open for reading
    ZipEntry m_cachedEntry;
    int m_cachedIndex = -1;
    std::optional<std::string> m_password;
    std::vector<char> m_buffer;  // for extraction to files, made on first use
    std::wstring m_baseFolder;
    ZipInput m_input;
    int m_count = 0;
};

DECLARE_HANDLE(HZIP);

// Opens an archive from a file / a memory block (which must outlive the handle).
// `password` is in the ANSI code page, or null. Null on failure.
HZIP OpenZipFile(LPCTSTR fileName, const char* password);
HZIP OpenZipMemory(const void* block, unsigned int length, const char* password);

ZRESULT FindZipItem(HZIP zip, LPCTSTR name, bool ignoreCase, int* index, ZipEntry* entry);
ZRESULT UnzipItem(HZIP zip, int index, void* target, unsigned int length, DWORD targetKind);
ZRESULT UnzipItemToMemory(HZIP zip, int index, void* buffer, unsigned int length);
ZRESULT CloseZip(HZIP zip);
// An archive handle closed with CloseZip when its owner goes away.
using UniqueZip = kvwin::UniqueHandle<kvwin::NullInvalidTraits<HZIP, decltype(&CloseZip), &CloseZip>>;

// The result of the last free-function call in this process.
ZRESULT GetLastZipResult();

}  // namespace KvUI
