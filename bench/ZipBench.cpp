// Extracting a whole archive to memory: the library's zip layer against a bare
// minizip loop over the same bytes.
#include <zlib.h>

#include "unzip.h"
#include "ioapi.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/Bench.h"
#include "ui/core/ZipArchive.h"

namespace kvbench {
namespace {

constexpr size_t kTargetZipBytes = 20u << 20;

std::wstring WindowsPath(const std::string& unixPath) {
    std::wstring out = L"Z:";
    for (const char c : unixPath) out += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return out;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::vector<char> ReadWhole(const std::wstring& path) {
    std::vector<char> bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size{};
    DWORD got = 0;
    if (GetFileSizeEx(file, &size)) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size()) {
            bytes.clear();
        }
    }
    CloseHandle(file);
    return bytes;
}

// Runs a shell command line. Under Wine a started Unix program gives no process
// handle to wait on, so its exit status comes back through a marker file.
bool RunShell(const std::string& workUnix, const std::string& command) {
    const std::string marker = workUnix + "/zipbench.done";
    const std::wstring markerPath = WindowsPath(marker);
    DeleteFileW(markerPath.c_str());
    std::wstring line = L"/bin/sh -c \"";
    for (const char c : command + "; echo $? > '" + marker + ".tmp'; mv '" + marker + ".tmp' '" + marker + "'") {
        if (c == '"' || c == '\\') line += L'\\';
        line += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    line += L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    for (int waited = 0; !Exists(markerPath); waited += 50) {
        if (waited > 300000) return false;
        Sleep(50);
    }
    const std::vector<char> status = ReadWhole(markerPath);
    DeleteFileW(markerPath.c_str());
    return std::string(status.begin(), status.end()) == "0\n";
}

// Entries as a skin has them, in turn: markup and script text (packs well),
// half-random data (packs about in half) and noise (images; does not pack).
std::string MakeEntry(int index, unsigned& state) {
    const auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    static const char* const words[] = {
        "<Button ",           "name=\"btn_",           "\" width=\"",         "\" text=\"",
        "normalimage=\"",     "file='btn.png' ",       "source='0,0,80,30'",  "\" />\n",
        "<HorizontalLayout>", "</HorizontalLayout>\n", "function(e){return ", ";}\n"};
    std::string out;
    const size_t size = 40000 + next() % 200000;
    out.reserve(size);
    switch (index % 3) {
        case 0:
            while (out.size() < size) {
                out += words[next() % (sizeof words / sizeof *words)];
                if (next() % 4 == 0) out += std::to_string(next() % 1000);
            }
            break;
        case 1:
            while (out.size() < size) out += static_cast<char>(next() % 2 ? 'a' + next() % 4 : next() & 0xff);
            break;
        default:
            while (out.size() < size) out += static_cast<char>(next() & 0xff);
            break;
    }
    out.resize(size);
    return out;
}

// Writes entries into <work>/zipbench/ until zip's output would be about 20 MiB.
bool MakeArchive(const std::string& workUnix, const std::string& zipUnix) {
    const std::string folder = workUnix + "/zipbench";
    if (!RunShell(workUnix, "rm -rf '" + folder + "' '" + zipUnix + "' && mkdir -p '" + folder + "'")) return false;
    unsigned state = 2024;
    size_t estimated = 0;
    for (int i = 0; estimated < kTargetZipBytes; ++i) {
        const std::string entry = MakeEntry(i, state);
        // Text packs to about a fifth, half-random data to about two thirds.
        estimated += i % 3 == 0 ? entry.size() / 5 : i % 3 == 1 ? entry.size() * 2 / 3 : entry.size();
        char name[32];
        std::snprintf(name, sizeof name, "/entry%04d.%s", i, i % 3 == 2 ? "png" : "xml");
        if (!WriteWhole(WindowsPath(folder + name), entry)) return false;
    }
    return RunShell(workUnix, "cd '" + folder + "' && zip -q -r -D '" + zipUnix + "' .");
}

// A bare memory source for minizip, as little as the file function table allows.
struct MemoryStream {
    const char* data;
    ZPOS64_T size;
    ZPOS64_T position;
};

voidpf ZCALLBACK MemoryOpen(voidpf opaque, const void*, int) { return opaque; }

uLong ZCALLBACK MemoryRead(voidpf, voidpf stream, void* buffer, uLong size) {
    auto* s = static_cast<MemoryStream*>(stream);
    const ZPOS64_T n = std::min<ZPOS64_T>(size, s->size - s->position);
    std::copy_n(s->data + s->position, static_cast<size_t>(n), static_cast<char*>(buffer));
    s->position += n;
    return static_cast<uLong>(n);
}

uLong ZCALLBACK MemoryWrite(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK MemoryTell(voidpf, voidpf stream) { return static_cast<MemoryStream*>(stream)->position; }

long ZCALLBACK MemorySeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* s = static_cast<MemoryStream*>(stream);
    const ZPOS64_T base = origin == ZLIB_FILEFUNC_SEEK_CUR   ? s->position
                          : origin == ZLIB_FILEFUNC_SEEK_END ? s->size
                                                             : 0;
    if (base + offset > s->size) return -1;
    s->position = base + offset;
    return 0;
}

int ZCALLBACK MemoryClose(voidpf, voidpf) { return 0; }

int ZCALLBACK MemoryError(voidpf, voidpf) { return 0; }

// Every entry read to its end through minizip itself; the bytes extracted, or 0 on any error.
size_t ExtractAll(unzFile unz, std::vector<char>& buffer) {
    if (!unz) return 0;
    size_t total = 0;
    bool ok = true;
    for (int more = unzGoToFirstFile(unz); ok && more == UNZ_OK; more = unzGoToNextFile(unz)) {
        ok = unzOpenCurrentFile(unz) == UNZ_OK;
        int read = 0;
        while (ok && (read = unzReadCurrentFile(unz, buffer.data(), static_cast<unsigned>(buffer.size()))) > 0) {
            total += static_cast<size_t>(read);
        }
        ok = ok && read == 0 && unzCloseCurrentFile(unz) == UNZ_OK;
    }
    unzClose(unz);
    return ok ? total : 0;
}

size_t ExtractBareFromMemory(const std::vector<char>& zip, std::vector<char>& buffer) {
    MemoryStream stream{zip.data(), zip.size(), 0};
    zlib_filefunc64_def functions{MemoryOpen, MemoryRead,  MemoryWrite, MemoryTell,
                                  MemorySeek, MemoryClose, MemoryError, &stream};
    return ExtractAll(unzOpen2_64("memory", &functions), buffer);
}

// minizip's own file functions: the C runtime's buffered streams.
size_t ExtractBareFromFile(const std::string& path, std::vector<char>& buffer) {
    return ExtractAll(unzOpen64(path.c_str()), buffer);
}

// The same through the library's handle-based functions, as its callers use them.
size_t ExtractWithZipLayer(KvUI::HZIP zip, const std::vector<long>& sizes, std::vector<char>& buffer) {
    if (!zip) return 0;
    size_t total = 0;
    bool ok = true;
    for (size_t i = 0; ok && i < sizes.size(); ++i) {
        const KvUI::ZRESULT result =
            KvUI::UnzipItemToMemory(zip, static_cast<int>(i), buffer.data(), static_cast<unsigned>(sizes[i]));
        ok = result == KvUI::ZR_OK || result == KvUI::ZR_MORE;
        total += static_cast<size_t>(sizes[i]);
    }
    KvUI::CloseZip(zip);
    return ok ? total : 0;
}

struct Comparison {
    const char* source;
    std::function<size_t()> bare;
    std::function<size_t()> layer;
};

// The two take turns, so a change in the machine's load hits both alike.
void Compare(const Comparison& c, int runs) {
    size_t bareBytes = 0;
    size_t layerBytes = 0;
    std::vector<double> bareTimes, layerTimes;
    for (int run = 0; run < runs; ++run) {
        bareTimes.push_back(MedianSeconds(1, [&] { bareBytes = c.bare(); }));
        layerTimes.push_back(MedianSeconds(1, [&] { layerBytes = c.layer(); }));
    }
    std::sort(bareTimes.begin(), bareTimes.end());
    std::sort(layerTimes.begin(), layerTimes.end());
    const double bareSeconds = bareTimes[bareTimes.size() / 2];
    const double layerSeconds = layerTimes[layerTimes.size() / 2];
    std::printf("  from %s:\n", c.source);
    if (!bareBytes || bareBytes != layerBytes) {
        std::printf("    an extraction failed (bare minizip %zu bytes, zip layer %zu bytes)\n", bareBytes, layerBytes);
        return;
    }
    const double megabytes = static_cast<double>(bareBytes) / 1e6;
    std::printf("    bare minizip loop       %8.1f MB/s  (%.1f ms)\n", megabytes / bareSeconds, bareSeconds * 1000);
    std::printf("    UnzipItemToMemory       %8.1f MB/s  (%.1f ms)\n", megabytes / layerSeconds, layerSeconds * 1000);
    std::printf("    zip layer overhead      %+8.1f %%\n", (layerSeconds / bareSeconds - 1) * 100);
}

}  // namespace

void RunZipBench() {
    const char* work = std::getenv("KV_BENCH_WORK");
    if (!work || !*work) {
        std::printf("Zip extraction: KV_BENCH_WORK is not set, skipped\n\n");
        return;
    }
    const std::string workUnix = work;
    const std::string zipUnix = workUnix + "/zipbench.zip";
    if (!Exists(WindowsPath(zipUnix)) && !MakeArchive(workUnix, zipUnix)) {
        std::printf("Zip extraction: could not make the archive with /usr/bin/zip\n\n");
        return;
    }
    const std::vector<char> zip = ReadWhole(WindowsPath(zipUnix));

    // The entry list, as a caller learns it before extracting.
    std::vector<long> sizes;
    long largest = 0;
    {
        KvUI::ZipArchive archive(nullptr);
        KvUI::ZipEntry entry;
        if (zip.empty() ||
            archive.Open(zip.data(), static_cast<unsigned>(zip.size()), KvUI::ZIP_MEMORY) != KvUI::ZR_OK ||
            archive.GetItem(-1, &entry) != KvUI::ZR_OK) {
            std::printf("Zip extraction: the archive does not open\n\n");
            return;
        }
        const int count = entry.index;
        for (int i = 0; i < count && archive.GetItem(i, &entry) == KvUI::ZR_OK; ++i) {
            sizes.push_back(entry.uncompressedSize);
            largest = std::max(largest, entry.uncompressedSize);
        }
    }
    const int entries = static_cast<int>(sizes.size());
    std::vector<char> buffer(static_cast<size_t>(largest) + 1);
    size_t unpacked = 0;
    for (const long size : sizes) unpacked += static_cast<size_t>(size);

    constexpr int kRuns = 11;
    std::printf("Zip extraction: %.1f MiB archive, %d entries, %.1f MiB unpacked, median of %d runs\n",
                static_cast<double>(zip.size()) / (1 << 20), entries, static_cast<double>(unpacked) / (1 << 20), kRuns);
    const std::wstring zipPath = WindowsPath(zipUnix);
    Compare({"memory", [&] { return ExtractBareFromMemory(zip, buffer); },
             [&] {
                 return ExtractWithZipLayer(KvUI::OpenZipMemory(zip.data(), static_cast<unsigned>(zip.size()), nullptr),
                                            sizes, buffer);
             }},
            kRuns);
    // minizip's own file functions take a narrow name; the work folder's path is ASCII.
    const std::string ansiPath(zipPath.begin(), zipPath.end());
    Compare({"file", [&] { return ExtractBareFromFile(ansiPath, buffer); },
             [&] { return ExtractWithZipLayer(KvUI::OpenZipFile(zipPath.c_str(), nullptr), sizes, buffer); }},
            kRuns);
    std::printf("\n");
}

}  // namespace kvbench
