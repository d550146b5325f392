// The client's paths and its text helpers.
#include <gtest/gtest.h>

#include "client/AppGlobals.h"
#include "support/TestKit.h"

namespace kvclient {
namespace {

using kvtest::Gbk;

TEST(AppPaths, ExecutableFolderAndDataFolderEndWithABackslash) {
    InitAppPaths();
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder(module);
    folder.erase(folder.rfind(L'\\') + 1);
    EXPECT_EQ(folder, AnsiToWide(g_exeDir));

    const std::string suffix = "\\korvanthel\\";
    ASSERT_GT(g_appDataDir.size(), suffix.size());
    EXPECT_EQ(suffix, g_appDataDir.substr(g_appDataDir.size() - suffix.size()));
    const DWORD attributes = GetFileAttributesA(g_appDataDir.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(0xFFFEFAE8u, g_themeColor);
}

TEST(TextHelpers, GbkTextBecomesItsCharacters) {
    EXPECT_EQ(L"Korvanthel宠物店管理系统", StringToWString(Gbk(u8"Korvanthel宠物店管理系统")));
    EXPECT_EQ(L"", StringToWString(""));
}

TEST(TextHelpers, GbkConversionStopsAtTheFirstNul) {
    EXPECT_EQ(L"ab", StringToWString(std::string("ab\0cd", 5)));
}

TEST(TextHelpers, AnsiTextIsReadInTheSystemCodePage) {
    // The tests run with the Chinese code page, as the client's users do.
    ASSERT_EQ(936u, GetACP());
    EXPECT_EQ(L"正常 ok", AnsiToWide(Gbk(u8"正常 ok")));
}

TEST(TextHelpers, ReplaceAllReplacesEveryOccurrenceOnce) {
    std::string text = "$a$ and $a$";
    ReplaceAll(text, "$a$", "[$a$]");
    EXPECT_EQ("[$a$] and [$a$]", text);

    std::string doubled = "aaa";
    ReplaceAll(doubled, "a", "aa");
    EXPECT_EQ("aaaaaa", doubled);

    std::string removed = "x--y--z";
    ReplaceAll(removed, "--", "");
    EXPECT_EQ("xyz", removed);
}

TEST(TextHelpers, ReplaceAllWithAnEmptyPatternChangesNothing) {
    std::string text = "abc";
    ReplaceAll(text, "", "x");
    EXPECT_EQ("abc", text);
}

}  // namespace
}  // namespace kvclient
