// Damaged archives, foreign methods and bad handles: errors, never a crash.
#include "core/zip/ZipKit.h"

#include "support/TestKit.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace KvUI;
using ziptest::OpenBytes;
using ziptest::ZipPtr;

namespace {

// Everything a caller may do with an archive; the answers do not matter here.
void ExerciseEverything(const std::vector<char>& bytes, const char* password) {
    ZipArchive archive(password);
    if (archive.Open(bytes.data(), static_cast<unsigned>(bytes.size()), ZIP_MEMORY) != ZR_OK) return;
    ZipEntry entry;
    if (archive.GetItem(-1, &entry) != ZR_OK) return;
    const int count = std::min(entry.index, 64);
    char buffer[4096];
    for (int i = 0; i < count; ++i) {
        archive.GetItem(i, &entry);
        for (int calls = 0; calls < 64; ++calls) {
            if (archive.Unzip(i, buffer, sizeof buffer, ZIP_MEMORY) != ZR_MORE) break;
        }
    }
    int index = -1;
    archive.FindItem(L"dir/b.txt", true, &index, &entry);
    archive.FindItem(L"a.xml", false, &index, &entry);
    if (index >= 0) archive.Unzip(index, buffer, sizeof buffer, ZIP_MEMORY);
}

}  // namespace

TEST(ZipDamage, CrcMismatchIsAFailureForMemoryAndFileTargets) {
    const std::string zipPath = ziptest::PythonZip("bad-crc", R"(
stored = b'HEAD-MARKER-' + b'x' * 5000
deflated = b'deflated text ' * 500
with zipfile.ZipFile(out, 'w') as z:
    z.writestr(zipfile.ZipInfo('stored.txt'), stored, compress_type=zipfile.ZIP_STORED)
    z.writestr(zipfile.ZipInfo('deflated.txt'), deflated, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr(zipfile.ZipInfo('good.txt'), b'fine', compress_type=zipfile.ZIP_DEFLATED)
data = open(out, 'rb').read()
# One changed data byte in the stored entry; a changed CRC for the deflated one.
data = data.replace(b'MARKER', b'MARKEX', 1)
crc = zlib.crc32(deflated)
assert data.count(struct.pack('<I', crc)) == 2
data = data.replace(struct.pack('<I', crc), struct.pack('<I', crc ^ 0x10000))
open(out, 'wb').write(data)
)");
    const std::vector<char> bytes = kvtest::ReadFileBytes(zipPath);
    const ZipPtr zip = OpenBytes(bytes);
    ASSERT_TRUE(zip);
    for (const wchar_t* name : {L"stored.txt", L"deflated.txt"}) {
        for (unsigned chunk : {65536u, 1000u}) {
            ZRESULT last = ZR_OK;
            ziptest::ReadEntry(zip.get(), name, chunk, &last);
            EXPECT_EQ(ZR_FLATE, last) << kvtest::Narrow(name) << " " << chunk;
        }
        const std::string dir = kvtest::FreshDirUnix("bad-crc-target");
        const std::wstring target = kvtest::ToWindowsPath(dir + "/out.txt");
        EXPECT_EQ(ZR_FLATE, UnzipItem(zip.get(), ziptest::IndexOf(zip.get(), name),
                                      const_cast<wchar_t*>(target.c_str()), 0, ZIP_FILENAME))
            << kvtest::Narrow(name);
    }
    ZRESULT last = ZR_ARGS;
    EXPECT_EQ("fine", ziptest::ReadEntry(zip.get(), L"good.txt", 100, &last));
    EXPECT_EQ(ZR_OK, last);
}

TEST(ZipDamage, MethodsOtherThanDeflateFailInsteadOfGivingRawBytes) {
    const std::string zipPath = ziptest::PythonZip("bzip2", R"(
with zipfile.ZipFile(out, 'w') as z:
    z.writestr('b.txt', b'bzip2 text ' * 300, compress_type=zipfile.ZIP_BZIP2)
    z.writestr('l.txt', b'lzma text ' * 300, compress_type=zipfile.ZIP_LZMA)
with zipfile.ZipFile(out) as z:
    info = z.getinfo('b.txt')
raw = bytearray(open(out, 'rb').read())
# Claim b.txt is exactly as long as its compressed form, so that a reader that
# passes bzip2 data through unchanged would reach the entry's end "successfully".
struct.pack_into('<I', raw, info.header_offset + 22, info.compress_size)
struct.pack_into('<I', raw, raw.index(b'PK\x01\x02') + 24, info.compress_size)
open(out, 'wb').write(raw)
)");
    const std::vector<char> bytes = kvtest::ReadFileBytes(zipPath);
    const ZipPtr zip = OpenBytes(bytes);
    ASSERT_TRUE(zip);
    ZRESULT last = ZR_OK;
    EXPECT_EQ("", ziptest::ReadEntry(zip.get(), L"b.txt", 65536, &last));
    EXPECT_EQ(ZR_FLATE, last);
    // The library already refuses the local header of an LZMA entry.
    EXPECT_EQ("", ziptest::ReadEntry(zip.get(), L"l.txt", 65536, &last));
    EXPECT_NE(ZR_OK, last);
}

TEST(ZipDamage, GarbageTruncatedAndMissingSourcesAreNoArchive) {
    const std::string tree = ziptest::WriteTree("truncated", {{"a.xml", ziptest::MixedText(20000, 3)}});
    const std::vector<char> whole = kvtest::ReadFileBytes(ziptest::InfoZip(tree));
    const std::vector<char> half(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
    const std::string text = ziptest::MixedText(5000, 4);
    const std::vector<char> garbage(text.begin(), text.end());
    for (const std::vector<char>* bytes : {&half, &garbage}) {
        EXPECT_FALSE(OpenBytes(*bytes));
        EXPECT_EQ(ZR_NOFILE, GetLastZipResult());
    }
    EXPECT_EQ(nullptr, OpenZipMemory(nullptr, 0, nullptr));
    EXPECT_EQ(ZR_NOFILE, GetLastZipResult());

    const std::string garbageFile = kvtest::WorkDirUnix() + "/garbage.zip";
    kvtest::WriteFileText(garbageFile, text);
    EXPECT_EQ(nullptr, OpenZipFile(kvtest::ToWindowsPath(garbageFile).c_str(), nullptr));
    EXPECT_EQ(ZR_NOFILE, GetLastZipResult());
    EXPECT_EQ(nullptr, OpenZipFile(kvtest::ToWindowsPath(kvtest::WorkDirUnix() + "/missing.zip").c_str(), nullptr));
    EXPECT_EQ(ZR_NOFILE, GetLastZipResult());
}

TEST(ZipDamage, MangledArchivesNeverCrash) {
    const std::vector<ziptest::File> files{
        {"a.xml", ziptest::MixedText(3000, 5)},
        {"dir/b.txt", "short"},
        {"dir/c.bin", std::string(700, 'c')},
    };
    const std::string tree = ziptest::WriteTree("mangled", files);
    const std::vector<char> plain = kvtest::ReadFileBytes(ziptest::InfoZip(tree));
    const std::vector<char> encrypted = kvtest::ReadFileBytes(ziptest::InfoZip(tree, {"-P", "pw"}));
    static const char kInteresting[] = {0, 1, 0x7f, static_cast<char>(0x80), static_cast<char>(0xff)};

    unsigned state = 12345;
    const auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    for (const std::vector<char>* base : {&plain, &encrypted}) {
        const char* password = base == &encrypted ? "pw" : nullptr;
        for (size_t cut = 0; cut < base->size(); cut += 5) {
            ExerciseEverything(std::vector<char>(base->begin(), base->begin() + static_cast<std::ptrdiff_t>(cut)),
                               password);
        }
        for (int round = 0; round < 3000; ++round) {
            std::vector<char> bytes = *base;
            const unsigned changes = 1 + next() % 4;
            for (unsigned c = 0; c < changes; ++c) {
                char& b = bytes[next() % bytes.size()];
                b = (next() & 1) ? kInteresting[next() % sizeof kInteresting] : static_cast<char>(next());
            }
            ExerciseEverything(bytes, password);
        }
    }
    SUCCEED();
}

TEST(ZipHandles, NullHandleIsABadArgumentEverywhere) {
    EXPECT_EQ(ZR_ARGS, CloseZip(nullptr));
    EXPECT_EQ(ZR_ARGS, GetLastZipResult());
    int index = 5;
    ZipEntry entry;
    EXPECT_EQ(ZR_ARGS, FindZipItem(nullptr, L"a", true, &index, &entry));
    char buffer[4];
    EXPECT_EQ(ZR_ARGS, UnzipItem(nullptr, 0, buffer, sizeof buffer, ZIP_MEMORY));
    EXPECT_EQ(ZR_ARGS, UnzipItemToMemory(nullptr, 0, buffer, sizeof buffer));
}
