#include "ui/core/ZipArchive.h"

#include <zlib.h>

#include "unzip.h"
#include "ioapi.h"
#include "crypt.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <memory>
#include <string_view>

#include "win/TextConversion.h"

namespace KvUI {
namespace {

constexpr DWORD kUnzipArchiveKind = 1;
constexpr unsigned int kFileChunk = 16384;
constexpr unsigned int kMaxNameBytes = 260;
constexpr int kCaseSensitive = 1;
constexpr int kCaseInsensitive = 2;
constexpr uLong kEncryptedFlag = 0x1;
constexpr uLong kDataDescriptorFlag = 0x8;
constexpr int kEncryptionHeaderSize = 12;
constexpr unsigned int kMaxRead = 0x40000000u;  // keeps unzReadCurrentFile's int answer positive

std::atomic<ZRESULT> g_lastZipResult{ZR_OK};

// What an HZIP points at.
struct ZipHandle {
    DWORD kind = kUnzipArchiveKind;
    std::unique_ptr<ZipArchive> archive;
};

ZRESULT Remember(ZRESULT result) {
    g_lastZipResult = result;
    return result;
}

// --- the unzip library reads through ZipInput -------------------------------

ZipInput* InputOf(voidpf stream) { return static_cast<ZipInput*>(stream); }

// The input is open already; unzOpen2_64 hands it back as its "path".
voidpf ZCALLBACK OpenInput(voidpf, const void* path, int) { return const_cast<void*>(path); }

uLong ZCALLBACK ReadInput(voidpf, voidpf stream, void* buffer, uLong size) {
    return static_cast<uLong>(InputOf(stream)->Read(buffer, 1, size));
}

uLong ZCALLBACK WriteInput(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK TellInput(voidpf, voidpf stream) { return InputOf(stream)->Tell(); }

long ZCALLBACK SeekInput(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    return InputOf(stream)->Seek(static_cast<long long>(offset), origin);
}

// The archive owns the input and closes it itself.
int ZCALLBACK CloseInput(voidpf, voidpf) { return 0; }

int ZCALLBACK InputError(voidpf, voidpf stream) { return InputOf(stream)->HasReadError() ? 1 : 0; }

zlib_filefunc64_def InputFunctions() {
    zlib_filefunc64_def functions{};
    functions.zopen64_file = OpenInput;
    functions.zread_file = ReadInput;
    functions.zwrite_file = WriteInput;
    functions.ztell64_file = TellInput;
    functions.zseek64_file = SeekInput;
    functions.zclose_file = CloseInput;
    functions.zerror_file = InputError;
    return functions;
}

// --- names -------------------------------------------------------------------

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

bool HasDrive(const std::wstring& path) {
    return path.size() >= 2 && path[1] == L':' &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

bool IsAbsolute(const std::wstring& path) { return (!path.empty() && IsSeparator(path[0])) || HasDrive(path); }

// ".." climbs out of the folder. Other names made only of dots (and trailing
// blanks) go with it rather than being left to the file system's trimming rules.
bool IsParentStep(const std::wstring& name, size_t begin, size_t end) {
    while (end > begin && name[end - 1] == L' ') --end;
    if (end - begin < 2) return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(begin),
                       name.begin() + static_cast<std::ptrdiff_t>(end), [](wchar_t c) { return c == L'.'; });
}

// Entry names are written by whoever made the archive: whatever they say, the
// name stays relative and never climbs above the folder it is extracted into.
std::wstring ConfineName(std::wstring name) {
    for (;;) {
        const size_t before = name.size();
        if (HasDrive(name)) name.erase(0, 2);
        const auto firstKept = std::find_if(name.begin(), name.end(), [](wchar_t c) { return !IsSeparator(c); });
        name.erase(name.begin(), firstKept);
        size_t cut = 0;
        for (size_t begin = 0; begin < name.size();) {
            size_t end = begin;
            while (end < name.size() && !IsSeparator(name[end])) ++end;
            if (IsParentStep(name, begin, end)) cut = end;
            begin = end + 1;
        }
        name.erase(0, cut);
        if (name.size() == before) return name;
    }
}

std::wstring CurrentFolder() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(n, L'\0');
    const DWORD written = n ? GetCurrentDirectoryW(n, folder.data()) : 0;
    folder.resize(written < n ? written : 0);
    if (folder.empty() || !IsSeparator(folder.back())) folder += L'\\';
    return folder;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// --- entry records -----------------------------------------------------------

DWORD EntryAttributes(const unz_file_info64& info) {
    const uLong host = info.version >> 8;
    // Archives made on DOS-like systems (FAT, VFAT, NTFS) keep the Windows bits themselves.
    if (host == 0 || host == 7 || host == 11 || host == 14) {
        return static_cast<DWORD>(info.external_fa) &
               (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                FILE_ATTRIBUTE_ARCHIVE);
    }
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    if (info.external_fa & 0x40000000u) attributes |= FILE_ATTRIBUTE_DIRECTORY;    // S_IFDIR
    if (!(info.external_fa & 0x00800000u)) attributes |= FILE_ATTRIBUTE_READONLY;  // no owner write
    return attributes;
}

FILETIME DosTimeToUtc(uLong dosDate) {
    FILETIME local{};
    FILETIME utc{};
    if (DosDateTimeToFileTime(HIWORD(dosDate), LOWORD(dosDate), &local)) LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

FILETIME UnixTimeToFileTime(unsigned long seconds) {
    const unsigned long long ticks = (seconds + 11644473600ull) * 10000000ull;
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

unsigned ReadLittle16(const BYTE* p) { return static_cast<unsigned>(p[0] | (p[1] << 8)); }

unsigned long ReadLittle32(const BYTE* p) {
    return static_cast<unsigned long>(p[0]) | (static_cast<unsigned long>(p[1]) << 8) |
           (static_cast<unsigned long>(p[2]) << 16) | (static_cast<unsigned long>(p[3]) << 24);
}

// The extended-timestamp block ("UT") carries exact UTC times: a flag byte,
// then the modification, access and creation times its bits 0, 1, 2 announce.
void ApplyExtendedTimestamps(const std::vector<BYTE>& extra, ZipEntry& entry) {
    size_t pos = 0;
    while (extra.size() - pos >= 4) {
        const unsigned id = ReadLittle16(&extra[pos]);
        const size_t size = ReadLittle16(&extra[pos + 2]);
        const size_t body = pos + 4;
        if (size > extra.size() - body) return;
        if (id == 0x5455 && size >= 1) {
            const BYTE flags = extra[body];
            FILETIME* const times[] = {&entry.mtime, &entry.atime, &entry.ctime};
            size_t at = body + 1;
            for (int bit = 0; bit < 3; ++bit) {
                if (!(flags & (1u << bit))) continue;
                if (at + 4 > body + size) break;
                *times[bit] = UnixTimeToFileTime(ReadLittle32(&extra[at]));
                at += 4;
            }
            return;
        }
        pos = body + size;
    }
}

long ClampSize(ZPOS64_T size) { return size > LONG_MAX ? LONG_MAX : static_cast<long>(size); }

const FILETIME* TimeOrNull(const FILETIME& time) {
    return (time.dwLowDateTime || time.dwHighDateTime) ? &time : nullptr;
}

// The unzip library decrypts without looking at the check byte, so a wrong
// password would only show up as damaged data. The last byte of the decrypted
// 12-byte header must match the CRC's high byte (or, for entries written with
// a trailing data descriptor, the high byte of the DOS time).
bool PasswordMatches(ZipInput& input, unzFile unz, const std::string& password, const unz_file_info64& info) {
    const ZPOS64_T dataStart = unzGetCurrentFileZStreamPos64(unz);
    if (dataStart < kEncryptionHeaderSize) return false;
    BYTE header[kEncryptionHeaderSize];
    if (input.Seek(static_cast<long long>(dataStart - kEncryptionHeaderSize), 0) != 0 ||
        input.Read(header, 1, sizeof header) != sizeof header) {
        return false;
    }
    const z_crc_t* table = get_crc_table();
    unsigned long keys[3];
    init_keys(password.c_str(), keys, table);
    int c = 0;
    for (const BYTE b : header) {
        c = b;
        zdecode(keys, table, c);
    }
    const unsigned expected =
        (info.flag & kDataDescriptorFlag) ? ((info.dosDate >> 8) & 0xff) : ((info.crc >> 24) & 0xff);
    return static_cast<unsigned>(c & 0xff) == expected;
}

bool WriteAll(HANDLE file, const char* data, unsigned int size) {
    while (size) {
        DWORD written = 0;
        if (!WriteFile(file, data, size, &written, nullptr) || !written) return false;
        data += written;
        size -= written;
    }
    return true;
}

}  // namespace

// --- ZipArchive ----------------------------------------------------------------

ZipArchive::ZipArchive(const char* password) {
    if (password) m_password = password;
}

ZipArchive::~ZipArchive() { Close(); }

ZRESULT ZipArchive::Open(const void* source, unsigned int length, DWORD kind) {
    if (m_unz) return ZR_ALREADYOPEN;
    m_baseFolder = CurrentFolder();
    if (const ZRESULT result = m_input.Open(source, length, kind)) return result;
    zlib_filefunc64_def functions = InputFunctions();
    m_unz = unzOpen2_64(&m_input, &functions);
    unz_global_info64 info{};
    if (!m_unz || unzGetGlobalInfo64(m_unz, &info) != UNZ_OK) {
        Close();
        return ZR_NOFILE;
    }
    m_count = info.number_entry > static_cast<ZPOS64_T>(INT_MAX) ? INT_MAX : static_cast<int>(info.number_entry);
    return ZR_OK;
}

ZRESULT ZipArchive::GetItem(int index, ZipEntry* entry) {
    if (index < -1 || index >= m_count || !entry || !m_unz) return ZR_ARGS;
    CloseEntry();
    if (index == -1) {
        *entry = ZipEntry{};
        entry->index = m_count;
        return ZR_OK;
    }
    if (index == m_cachedIndex) {
        *entry = m_cachedEntry;
        return ZR_OK;
    }
    if (const ZRESULT result = MoveTo(index)) return result;
    ZipEntry read;
    if (const ZRESULT result = ReadEntry(index, &read)) return result;
    m_cachedEntry = read;
    m_cachedIndex = index;
    *entry = read;
    return ZR_OK;
}

ZRESULT ZipArchive::FindItem(LPCTSTR name, bool ignoreCase, int* index, ZipEntry* entry) {
    if (index) *index = -1;
    if (entry) {
        *entry = ZipEntry{};
        entry->index = -1;
    }
    if (!m_unz) return ZR_ARGS;
    if (!name) return ZR_NOTFOUND;
    const std::string utf8 = kvwin::WideToUtf8(name);
    if (utf8.empty() || utf8.size() > kMaxNameBytes) return ZR_NOTFOUND;
    if (unzLocateFile(m_unz, utf8.c_str(), ignoreCase ? kCaseInsensitive : kCaseSensitive) != UNZ_OK) {
        return ZR_NOTFOUND;
    }
    CloseEntry();
    unz64_file_pos position{};
    if (unzGetFilePos64(m_unz, &position) != UNZ_OK || position.num_of_file >= static_cast<ZPOS64_T>(m_count)) {
        return ZR_CORRUPT;
    }
    const int found = static_cast<int>(position.num_of_file);
    ZipEntry record;
    const ZRESULT result = GetItem(found, &record);
    if (result) return result;
    if (index) *index = found;
    if (entry) *entry = record;
    return ZR_OK;
}

ZRESULT ZipArchive::Unzip(int index, void* target, unsigned int length, DWORD kind) {
    if (!m_unz) return ZR_ARGS;
    switch (kind) {
        case ZIP_MEMORY:
            return UnzipToMemory(index, target, length);
        case ZIP_HANDLE:
        case ZIP_FILENAME:
            return UnzipToFile(index, target, kind);
        default:
            return ZR_ARGS;
    }
}

bool ZipArchive::EnsureDirectory(LPCTSTR root, LPCTSTR path) {
    const std::wstring base = root ? root : L"";
    const std::wstring relative = path ? path : L"";
    if (!base.empty() && !IsFolder(base)) CreateDirectoryW(base.c_str(), nullptr);
    for (size_t i = 1; i < relative.size(); ++i) {
        if (IsSeparator(relative[i]) && !IsSeparator(relative[i - 1])) {
            CreateDirectoryW((base + relative.substr(0, i)).c_str(), nullptr);
        }
    }
    const std::wstring full = base + relative;
    if (!relative.empty()) CreateDirectoryW(full.c_str(), nullptr);
    return IsFolder(full);
}

void ZipArchive::Close() {
    if (m_unz) {
        CloseEntry();
        unzClose(m_unz);
        m_unz = nullptr;
    }
    m_input.Close();
    m_buffer = {};
    m_cachedIndex = -1;
    m_count = 0;
}

int ZipArchive::CloseEntry() {
    if (m_openIndex < 0) return UNZ_OK;
    m_openIndex = -1;
    return unzCloseCurrentFile(m_unz);
}

ZRESULT ZipArchive::MoveTo(int index) {
    unz64_file_pos position{};
    ZPOS64_T current = 0;
    if (unzGetFilePos64(m_unz, &position) == UNZ_OK && position.num_of_file <= static_cast<ZPOS64_T>(index)) {
        current = position.num_of_file;
    } else if (unzGoToFirstFile(m_unz) != UNZ_OK) {
        return ZR_CORRUPT;
    }
    for (; current < static_cast<ZPOS64_T>(index); ++current) {
        if (unzGoToNextFile(m_unz) != UNZ_OK) return ZR_CORRUPT;
    }
    return ZR_OK;
}

ZRESULT ZipArchive::OpenEntry(int index) {
    if (const ZRESULT result = MoveTo(index)) return result;
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(m_unz, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return ZR_CORRUPT;
    // Other methods would come out of the library as raw compressed bytes.
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) return ZR_FLATE;
    const bool encrypted = (info.flag & kEncryptedFlag) != 0;
    if (encrypted && !m_password) return ZR_PASSWORD;
    if (unzOpenCurrentFilePassword(m_unz, encrypted ? m_password->c_str() : nullptr) != UNZ_OK) {
        unzCloseCurrentFile(m_unz);
        return ZR_CORRUPT;
    }
    if (encrypted && !PasswordMatches(m_input, m_unz, *m_password, info)) {
        unzCloseCurrentFile(m_unz);
        return ZR_PASSWORD;
    }
    m_openIndex = index;
    return ZR_OK;
}

ZRESULT ZipArchive::ReadEntry(int index, ZipEntry* entry) {
    unz_file_info64 info{};
    char name[kMaxNameBytes + 1] = {};
    if (unzGetCurrentFileInfo64(m_unz, &info, name, kMaxNameBytes, nullptr, 0, nullptr, 0) != UNZ_OK) {
        return ZR_CORRUPT;
    }
    // The local header's extra data holds the full set of extended timestamps.
    std::vector<BYTE> extra;
    if (unzOpenCurrentFile2(m_unz, nullptr, nullptr, 1) != UNZ_OK) {
        unzCloseCurrentFile(m_unz);
        return ZR_CORRUPT;
    }
    const int extraSize = unzGetLocalExtrafield(m_unz, nullptr, 0);
    bool extraRead = extraSize >= 0;
    if (extraSize > 0) {
        extra.resize(static_cast<size_t>(extraSize));
        extraRead = unzGetLocalExtrafield(m_unz, extra.data(), static_cast<unsigned>(extraSize)) == extraSize;
    }
    unzCloseCurrentFile(m_unz);
    if (!extraRead) return ZR_READ;

    *entry = ZipEntry{};
    entry->index = index;
    const std::wstring confined = ConfineName(kvwin::Utf8ToWide(std::string_view(name, strnlen(name, kMaxNameBytes))));
    const size_t kept = std::min(confined.size(), static_cast<size_t>(MAX_PATH - 1));
    std::copy_n(confined.begin(), kept, entry->name);
    entry->attr = EntryAttributes(info);
    entry->mtime = DosTimeToUtc(info.dosDate);
    entry->atime = entry->mtime;
    entry->ctime = entry->mtime;
    ApplyExtendedTimestamps(extra, *entry);
    entry->compressedSize = ClampSize(info.compressed_size);
    entry->uncompressedSize = ClampSize(info.uncompressed_size);
    return ZR_OK;
}

ZRESULT ZipArchive::UnzipToMemory(int index, void* buffer, unsigned int length) {
    if (index < 0 || index >= m_count || (!buffer && length)) return ZR_ARGS;
    if (index != m_openIndex) {
        CloseEntry();
        if (const ZRESULT result = OpenEntry(index)) return result;
    }
    auto* out = static_cast<char*>(buffer);
    unsigned int filled = 0;
    int read = 1;
    while (filled < length) {
        read = unzReadCurrentFile(m_unz, out + filled, std::min(length - filled, kMaxRead));
        if (read <= 0) break;
        filled += static_cast<unsigned int>(read);
    }
    if (read < 0) {
        CloseEntry();
        return ZR_FLATE;
    }
    // The library compares the CRC only when the entry is closed after its last byte.
    if (unzeof(m_unz)) return CloseEntry() == UNZ_OK ? ZR_OK : ZR_FLATE;
    if (filled == length) return ZR_MORE;
    CloseEntry();
    return ZR_FLATE;
}

ZRESULT ZipArchive::UnzipToFile(int index, void* target, DWORD kind) {
    if (index < 0 || index >= m_count || !target) return ZR_ARGS;
    ZipEntry entry;
    if (const ZRESULT result = GetItem(index, &entry)) return result;

    std::wstring name;
    std::wstring root;
    if (kind == ZIP_FILENAME) {
        name = static_cast<LPCWSTR>(target);
        if (name.empty()) return ZR_ARGS;
        if (!IsAbsolute(name)) root = m_baseFolder;
    }
    if (entry.attr & FILE_ATTRIBUTE_DIRECTORY) {
        if (kind == ZIP_HANDLE) return ZR_OK;
        return EnsureDirectory(root.c_str(), name.c_str()) ? ZR_OK : ZR_NOFILE;
    }

    // Opened first: a wrong password leaves an existing target file untouched.
    if (const ZRESULT result = OpenEntry(index)) return result;
    kvwin::UniqueKernelHandle owned;
    HANDLE file = target;
    if (kind == ZIP_FILENAME) {
        const size_t slash = name.find_last_of(L"/\\");
        if (slash != std::wstring::npos && slash > 0) EnsureDirectory(root.c_str(), name.substr(0, slash).c_str());
        DWORD attributes = entry.attr & ~static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY);
        if (!attributes) attributes = FILE_ATTRIBUTE_NORMAL;
        file = CreateFileW((root + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            CloseEntry();
            return ZR_NOFILE;
        }
        owned.reset(file);
    }
    if (const ZRESULT result = CopyEntryTo(file)) return result;
    SetFileTime(file, TimeOrNull(entry.ctime), TimeOrNull(entry.atime), TimeOrNull(entry.mtime));
    return ZR_OK;
}

ZRESULT ZipArchive::CopyEntryTo(HANDLE file) {
    if (m_buffer.empty()) m_buffer.resize(kFileChunk);
    for (;;) {
        const int read = unzReadCurrentFile(m_unz, m_buffer.data(), kFileChunk);
        if (read < 0) {
            CloseEntry();
            return ZR_FLATE;
        }
        if (read == 0) break;
        if (!WriteAll(file, m_buffer.data(), static_cast<unsigned int>(read))) {
            CloseEntry();
            return ZR_WRITE;
        }
    }
    const bool complete = unzeof(m_unz) != 0;
    const bool crcMatches = CloseEntry() == UNZ_OK;
    return complete && crcMatches ? ZR_OK : ZR_FLATE;
}

// --- handle-based functions ----------------------------------------------------

namespace {

ZipArchive* ArchiveOf(HZIP zip, ZRESULT& result) {
    if (!zip) {
        result = ZR_ARGS;
        return nullptr;
    }
    auto* handle = reinterpret_cast<ZipHandle*>(zip);
    if (handle->kind != kUnzipArchiveKind || !handle->archive) {
        result = ZR_NOTMMAP;
        return nullptr;
    }
    return handle->archive.get();
}

HZIP OpenZip(const void* source, unsigned int length, DWORD kind, const char* password) {
    auto handle = std::make_unique<ZipHandle>();
    handle->archive = std::make_unique<ZipArchive>(password);
    if (Remember(handle->archive->Open(source, length, kind)) != ZR_OK) return nullptr;
    return reinterpret_cast<HZIP>(handle.release());
}

}  // namespace

HZIP OpenZipFile(LPCTSTR fileName, const char* password) { return OpenZip(fileName, 0, ZIP_FILENAME, password); }

HZIP OpenZipMemory(const void* block, unsigned int length, const char* password) {
    return OpenZip(block, length, ZIP_MEMORY, password);
}

ZRESULT FindZipItem(HZIP zip, LPCTSTR name, bool ignoreCase, int* index, ZipEntry* entry) {
    ZRESULT result = ZR_OK;
    ZipArchive* archive = ArchiveOf(zip, result);
    return Remember(archive ? archive->FindItem(name, ignoreCase, index, entry) : result);
}

ZRESULT UnzipItem(HZIP zip, int index, void* target, unsigned int length, DWORD targetKind) {
    ZRESULT result = ZR_OK;
    ZipArchive* archive = ArchiveOf(zip, result);
    return Remember(archive ? archive->Unzip(index, target, length, targetKind) : result);
}

ZRESULT UnzipItemToMemory(HZIP zip, int index, void* buffer, unsigned int length) {
    return UnzipItem(zip, index, buffer, length, ZIP_MEMORY);
}

ZRESULT CloseZip(HZIP zip) {
    ZRESULT result = ZR_OK;
    if (!ArchiveOf(zip, result)) return Remember(result);
    delete reinterpret_cast<ZipHandle*>(zip);
    return Remember(ZR_OK);
}

ZRESULT GetLastZipResult() { return g_lastZipResult; }

}  // namespace KvUI
