// The build packs a folder into a zip and links it as a "ZIPRES" resource.
#include "ui/core/ZipArchive.h"

#include "support/TestKit.h"

#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

using namespace KvUI;

namespace {

struct ZipCloser {
    void operator()(std::remove_pointer_t<HZIP>* zip) const { CloseZip(zip); }
};

std::string SourceFile(const std::string& relative) {
    const std::vector<char> bytes =
        kvtest::ReadFileBytes(kvtest::SourceDirUnix() + "/tests/core/zipres/data/" + relative);
    return {bytes.begin(), bytes.end()};
}

}  // namespace

TEST(ZipResource, FolderIsEmbeddedAsZipres131WithEveryFile) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(131), L"ZIPRES");
    ASSERT_NE(nullptr, info);
    const DWORD size = SizeofResource(module, info);
    const HGLOBAL loaded = LoadResource(module, info);
    ASSERT_NE(nullptr, loaded);
    const void* block = LockResource(loaded);
    ASSERT_NE(nullptr, block);
    ASSERT_GT(size, 0u);

    const std::unique_ptr<std::remove_pointer_t<HZIP>, ZipCloser> zip(OpenZipMemory(block, size, nullptr));
    ASSERT_TRUE(zip);
    // Looked up as the library's callers do: ignoring case, extracted to memory.
    for (const char* name : {"MainFrame.xml", "readme.txt", "sub/page.html"}) {
        const std::string expected = SourceFile(name);
        ASSERT_FALSE(expected.empty()) << name;
        std::wstring upper = kvtest::Widen(name);
        CharUpperW(upper.data());
        int index = -1;
        ZipEntry entry;
        ASSERT_EQ(ZR_OK, FindZipItem(zip.get(), upper.c_str(), true, &index, &entry)) << name;
        EXPECT_EQ(static_cast<long>(expected.size()), entry.uncompressedSize) << name;
        std::string content(expected.size(), '\0');
        const ZRESULT result =
            UnzipItemToMemory(zip.get(), index, content.data(), static_cast<unsigned>(content.size()));
        EXPECT_TRUE(result == ZR_OK || result == ZR_MORE) << name;
        EXPECT_EQ(expected, content) << name;
    }
}
