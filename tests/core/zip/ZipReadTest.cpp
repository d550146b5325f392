// Looking entries up and extracting them to memory, from every kind of source.
#include "core/zip/ZipKit.h"

#include "support/TestKit.h"

#include <gtest/gtest.h>

#include <climits>

using namespace KvUI;
using ziptest::File;
using ziptest::ZipPtr;

namespace {

// One archive shared by the read tests: mixed-case names, a sub-folder, a
// deflated text, a stored text and a 100-byte entry.
struct SkinArchive {
    std::string mainXml = ziptest::MixedText(200000, 1);
    std::string hundred = std::string(100, 'h');
    std::string zipPath;
    std::vector<char> bytes;

    SkinArchive() {
        const std::vector<ziptest::File> files{
            {"Skin/MainFrame.XML", mainXml},
            {"Skin/img/readme.txt", "stored as is"},
            {"hundred.bin", hundred},
            {"empty.txt", ""},
        };
        const std::string tree = ziptest::WriteTree("skin", files);
        zipPath = ziptest::InfoZip(tree, {"-n", ".txt"});
        bytes = kvtest::ReadFileBytes(zipPath);
    }
    ZipPtr OpenMemory(const char* password = nullptr) const { return ziptest::OpenBytes(bytes, password); }
};

const SkinArchive& Skin() {
    static const SkinArchive archive;
    return archive;
}

}  // namespace

TEST(ZipLookup, NameDifferingInCaseIsFoundOnlyWhenIgnoringCase) {
    const ZipPtr zip = Skin().OpenMemory();
    ASSERT_TRUE(zip);
    int index = -1;
    ZipEntry entry;
    ASSERT_EQ(ZR_OK, FindZipItem(zip.get(), L"skin/mainframe.xml", true, &index, &entry));
    EXPECT_GE(index, 0);
    EXPECT_EQ(index, entry.index);
    EXPECT_STREQ(L"Skin/MainFrame.XML", entry.name);
    EXPECT_EQ(static_cast<long>(Skin().mainXml.size()), entry.uncompressedSize);
    EXPECT_LT(entry.compressedSize, entry.uncompressedSize);

    EXPECT_EQ(ZR_NOTFOUND, FindZipItem(zip.get(), L"skin/mainframe.xml", false, &index, &entry));
    EXPECT_EQ(-1, index);
    EXPECT_EQ(-1, entry.index);
    EXPECT_STREQ(L"", entry.name);
    EXPECT_EQ(ZR_NOTFOUND, GetLastZipResult());

    EXPECT_EQ(ZR_OK, FindZipItem(zip.get(), L"Skin/MainFrame.XML", false, &index, &entry));
}

TEST(ZipLookup, IndexMinusOneReportsTheEntryCountAndOtherIndicesAreChecked) {
    ZipArchive archive(nullptr);
    const std::vector<char>& bytes = Skin().bytes;
    ASSERT_EQ(ZR_OK, archive.Open(bytes.data(), static_cast<unsigned>(bytes.size()), ZIP_MEMORY));
    ZipEntry entry;
    ASSERT_EQ(ZR_OK, archive.GetItem(-1, &entry));
    // zip -r also stores the folders "Skin/" and "Skin/img/".
    const int count = entry.index;
    EXPECT_EQ(6, count);
    EXPECT_STREQ(L"", entry.name);
    EXPECT_EQ(0u, entry.attr);

    EXPECT_EQ(ZR_ARGS, archive.GetItem(count, &entry));
    EXPECT_EQ(ZR_ARGS, archive.GetItem(-2, &entry));
    // Every index reads, in any order, and the cached record stays right.
    for (int i : {count - 1, 0, count - 1, 2, 1}) {
        ASSERT_EQ(ZR_OK, archive.GetItem(i, &entry)) << i;
        EXPECT_EQ(i, entry.index);
    }
    EXPECT_EQ(ZR_ALREADYOPEN, archive.Open(bytes.data(), static_cast<unsigned>(bytes.size()), ZIP_MEMORY));
}

TEST(ZipMemoryExtraction, WholeEntriesArriveInOneCall) {
    const ZipPtr zip = Skin().OpenMemory();
    ASSERT_TRUE(zip);
    struct Case {
        const wchar_t* name;
        std::string content;
    };
    for (const Case& c : {Case{L"Skin/MainFrame.XML", Skin().mainXml}, Case{L"Skin/img/readme.txt", "stored as is"},
                          Case{L"empty.txt", ""}}) {
        ZRESULT last = ZR_ARGS;
        const std::string got = ziptest::ReadEntry(zip.get(), c.name, 300000, &last);
        EXPECT_EQ(ZR_OK, last) << kvtest::Narrow(c.name);
        EXPECT_EQ(c.content, got) << kvtest::Narrow(c.name);
    }
}

TEST(ZipMemoryExtraction, HundredByteEntryFitsAHundredByteBuffer) {
    const ZipPtr zip = Skin().OpenMemory();
    ASSERT_TRUE(zip);
    const int index = ziptest::IndexOf(zip.get(), L"hundred.bin");
    ASSERT_GE(index, 0);
    char buffer[100] = {};
    const ZRESULT first = UnzipItemToMemory(zip.get(), index, buffer, sizeof buffer);
    EXPECT_TRUE(first == ZR_OK || first == ZR_MORE) << std::hex << first;
    EXPECT_EQ(Skin().hundred, std::string(buffer, sizeof buffer));
    if (first == ZR_MORE) {
        char more[8];
        EXPECT_EQ(ZR_OK, UnzipItemToMemory(zip.get(), index, more, sizeof more));
    }
}

TEST(ZipMemoryExtraction, RepeatedCallsContinueWhereTheLastStopped) {
    const ZipPtr zip = Skin().OpenMemory();
    ASSERT_TRUE(zip);
    for (unsigned chunk : {4096u, 1000u, 1u << 17}) {
        ZRESULT last = ZR_ARGS;
        EXPECT_EQ(Skin().mainXml, ziptest::ReadEntry(zip.get(), L"Skin/MainFrame.XML", chunk, &last)) << chunk;
        EXPECT_EQ(ZR_OK, last);
    }
    // A half-read entry restarts from its beginning once another entry was read.
    const int main = ziptest::IndexOf(zip.get(), L"Skin/MainFrame.XML");
    std::string head(4096, '\0');
    ASSERT_EQ(ZR_MORE, UnzipItemToMemory(zip.get(), main, head.data(), 4096));
    char small[100];
    ASSERT_EQ(ZR_OK, UnzipItemToMemory(zip.get(), ziptest::IndexOf(zip.get(), L"empty.txt"), small, sizeof small));
    ASSERT_EQ(ZR_MORE, UnzipItemToMemory(zip.get(), main, head.data(), 4096));
    EXPECT_EQ(Skin().mainXml.substr(0, 4096), head);
}

TEST(ZipMemoryExtraction, IndicesOutsideTheArchiveAreBadArguments) {
    const ZipPtr zip = Skin().OpenMemory();
    ASSERT_TRUE(zip);
    char buffer[16];
    EXPECT_EQ(ZR_ARGS, UnzipItemToMemory(zip.get(), 6, buffer, sizeof buffer));
    EXPECT_EQ(ZR_ARGS, UnzipItemToMemory(zip.get(), -1, buffer, sizeof buffer));
    EXPECT_EQ(ZR_ARGS, UnzipItemToMemory(zip.get(), INT_MIN, buffer, sizeof buffer));
    EXPECT_EQ(ZR_ARGS, UnzipItem(zip.get(), 0, buffer, sizeof buffer, 7));
    EXPECT_EQ(ZR_ARGS, GetLastZipResult());
}

TEST(ZipSources, FileAndMemoryGiveTheSameEntries) {
    const ZipPtr fromFile(OpenZipFile(kvtest::ToWindowsPath(Skin().zipPath).c_str(), nullptr));
    ASSERT_TRUE(fromFile);
    EXPECT_EQ(ZR_OK, GetLastZipResult());
    const ZipPtr fromMemory = Skin().OpenMemory();
    ASSERT_TRUE(fromMemory);
    for (const wchar_t* name : {L"Skin/MainFrame.XML", L"hundred.bin", L"Skin/img/readme.txt"}) {
        ZRESULT fileResult = ZR_ARGS;
        ZRESULT memoryResult = ZR_ARGS;
        EXPECT_EQ(ziptest::ReadEntry(fromMemory.get(), name, 8192, &memoryResult),
                  ziptest::ReadEntry(fromFile.get(), name, 8192, &fileResult));
        EXPECT_EQ(ZR_OK, fileResult);
        EXPECT_EQ(ZR_OK, memoryResult);
    }
}

TEST(ZipSources, HandleIsReadFromWhereItStandsAndLeftOpen) {
    // The archive sits behind a 1000-byte prefix; the caller positions the handle on it.
    const std::string prefix(1000, 'P');
    std::vector<char> file(prefix.begin(), prefix.end());
    file.insert(file.end(), Skin().bytes.begin(), Skin().bytes.end());
    const std::string path = kvtest::WorkDirUnix() + "/behind-prefix.bin";
    kvtest::WriteFileBytes(path, file.data(), file.size());

    const HANDLE handle = CreateFileW(kvtest::ToWindowsPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    ASSERT_NE(INVALID_SET_FILE_POINTER, SetFilePointer(handle, 1000, nullptr, FILE_BEGIN));
    {
        ZipArchive archive(nullptr);
        ASSERT_EQ(ZR_OK, archive.Open(handle, 0, ZIP_HANDLE));
        int index = -1;
        ZipEntry entry;
        ASSERT_EQ(ZR_OK, archive.FindItem(L"hundred.bin", false, &index, &entry));
        char buffer[200] = {};
        EXPECT_EQ(ZR_OK, archive.Unzip(index, buffer, sizeof buffer, ZIP_MEMORY));
        EXPECT_EQ(Skin().hundred, std::string(buffer, 100));
    }
    // Still the caller's: it reads on.
    char first = 0;
    DWORD got = 0;
    ASSERT_NE(INVALID_SET_FILE_POINTER, SetFilePointer(handle, 0, nullptr, FILE_BEGIN));
    EXPECT_TRUE(ReadFile(handle, &first, 1, &got, nullptr));
    EXPECT_EQ('P', first);
    EXPECT_TRUE(CloseHandle(handle));
}

TEST(ZipSources, HandleThatCannotSeekIsRefused) {
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    ZipArchive archive(nullptr);
    EXPECT_EQ(ZR_SEEK, archive.Open(readEnd, 0, ZIP_HANDLE));
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
}
