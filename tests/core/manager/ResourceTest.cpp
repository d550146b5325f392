// Resources: the process-wide settings and the two layers (own, then shared)
// of colours, fonts, images, default attribute lists and draw specs.
#include <gtest/gtest.h>

#include "core/manager/ManagerTestKit.h"
#include "ui/core/ImageInfo.h"

namespace kvtest {
namespace {

TEST(ResourcePath, GetsABackslashUnlessItEndsInASeparator) {
    CPaintManagerUI::SetResourcePath(L"C:\\skin");
    EXPECT_STREQ(L"C:\\skin\\", CPaintManagerUI::GetResourcePath().GetData());
    CPaintManagerUI::SetResourcePath(L"C:/skin/");
    EXPECT_STREQ(L"C:/skin/", CPaintManagerUI::GetResourcePath().GetData());
    CPaintManagerUI::SetResourcePath(L"");
    EXPECT_STREQ(L"", CPaintManagerUI::GetResourcePath().GetData());
}

TEST(ResourceSettings, InstanceTypeAndColourAdjustment) {
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    const CUIString folder = CPaintManagerUI::GetInstancePath();
    ASSERT_FALSE(folder.IsEmpty());
    EXPECT_EQ(L'\\', folder.GetAt(folder.GetLength() - 1));
    EXPECT_EQ(GetModuleHandleW(nullptr), CPaintManagerUI::GetResourceDll());
    CPaintManagerUI::SetResourceType(3);
    EXPECT_EQ(3, CPaintManagerUI::GetResourceType());
    CPaintManagerUI::SetResourceType(0);
    short h = 0, s = 0, l = 0;
    EXPECT_FALSE(CPaintManagerUI::GetHSL(&h, &s, &l));
    EXPECT_EQ(180, h);
    EXPECT_EQ(100, s);
    EXPECT_EQ(100, l);
    EXPECT_TRUE(CPaintManagerUI::GetPlugins()->IsEmpty());
}

TEST(ResourceZip, ASecondMemoryZipIsIgnoredUntilTerm) {
    const std::string dir = FreshDirUnix("zips");
    WriteFileText(dir + "/a.txt", "first");
    ASSERT_EQ(0, RunUnix({"zip", "-q", "one.zip", "a.txt"}, dir));
    const std::vector<char> zip = ReadFileBytes(dir + "/one.zip");
    CPaintManagerUI::SetResourceZip(zip.data(), static_cast<int>(zip.size()), L"pw");
    ASSERT_TRUE(CPaintManagerUI::IsCachedResourceZip());
    const HZIP first = CPaintManagerUI::GetResourceZipHandle();
    EXPECT_NE(nullptr, first);
    EXPECT_STREQ(L"membuffer", CPaintManagerUI::GetResourceZip().GetData());
    EXPECT_STREQ(L"pw", CPaintManagerUI::GetResourceZipPassword().GetData());
    CPaintManagerUI::SetResourceZip(zip.data(), static_cast<int>(zip.size()), L"other");
    EXPECT_EQ(first, CPaintManagerUI::GetResourceZipHandle());
    EXPECT_STREQ(L"pw", CPaintManagerUI::GetResourceZipPassword().GetData());
    CPaintManagerUI::Term();
    EXPECT_FALSE(CPaintManagerUI::IsCachedResourceZip());
    EXPECT_EQ(nullptr, CPaintManagerUI::GetResourceZipHandle());
}

TEST(DefaultColours, StartWithTheSharedValues) {
    CPaintManagerUI manager;
    EXPECT_EQ(0xFFA7A6AAu, manager.GetDefaultColor1());
    EXPECT_EQ(0xFF000000u, manager.GetDefaultColor2());
    EXPECT_EQ(0xFF0000FFu, manager.GetDefaultColor3());
    EXPECT_EQ(0xFFD3215Fu, manager.GetDefaultColor4());
    EXPECT_EQ(0xFFBAE4FFu, manager.GetDefaultColor5());
}

TEST(DefaultColours, ASharedChangeReachesTheManagerOnlyWhenItKeptTheDefault) {
    CPaintManagerUI kept;
    kept.SetDefaultColor2(0xFF778899, true);
    EXPECT_EQ(0xFF778899u, kept.GetDefaultColor2()) << "still the shared default: follows";
    CPaintManagerUI own;
    own.SetDefaultColor2(0xFF112233);
    own.SetDefaultColor2(0xFF445566, true);
    EXPECT_EQ(0xFF112233u, own.GetDefaultColor2()) << "set individually: stays";
    CPaintManagerUI later;
    EXPECT_EQ(0xFF445566u, later.GetDefaultColor2()) << "new managers copy the shared value";
    later.SetDefaultColor2(0xFF000000, true);
}

class Fonts : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.Open()); }
    HostWindow host;
    CPaintManagerUI& manager = host.manager;
};

TEST_F(Fonts, MissingIdsAndMinusOneGiveTheDefaultFont) {
    const HFONT fallback = manager.GetDefaultFontInfo()->font.get();
    ASSERT_NE(nullptr, fallback);
    EXPECT_EQ(fallback, manager.GetFont(-1));
    EXPECT_EQ(fallback, manager.GetFont(42));
    EXPECT_NE(0, manager.GetDefaultFontInfo()->metrics.tmHeight) << "measured on the paint DC";
}

TEST_F(Fonts, AddingUnderAnExistingIdReplacesAndFreesTheOldFont) {
    const HFONT first = manager.AddFont(1, L"Tahoma", 12, false, false, false);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, manager.GetFont(1));
    const HFONT second = manager.AddFont(1, L"Tahoma", 16, true, false, false);
    EXPECT_EQ(second, manager.GetFont(1));
    EXPECT_EQ(0, GetObjectType(first)) << "the replaced font was deleted";
    TFontInfo* info = manager.GetFontInfo(1);
    EXPECT_EQ(16, info->size);
    EXPECT_TRUE(info->bold);
    EXPECT_EQ(second, manager.FindFont(L"Tahoma", 16, true, false, false));
    EXPECT_EQ(nullptr, manager.FindFont(L"Tahoma", 16, false, false, false));
    EXPECT_EQ(info, manager.GetFontInfoByHandle(second));
    EXPECT_EQ(manager.GetDefaultFontInfo(), manager.GetFontInfoByHandle(nullptr));
}

TEST_F(Fonts, FontSizesFollowTheWindowsScaleAndRecordsKeepTheSkinSize) {
    manager.GetScaler()->SetDPI(144);
    const HFONT font = manager.AddFont(2, L"Tahoma", 12, false, false, false);
    LOGFONTW lf = {};
    GetObjectW(font, sizeof lf, &lf);
    EXPECT_EQ(-18, lf.lfHeight);
    EXPECT_EQ(12, manager.GetFontInfo(2)->size);
    manager.GetScaler()->SetDPI(96);
}

TEST_F(Fonts, OwnFontsComeBeforeSharedOnes) {
    const HFONT shared = manager.AddFont(5, L"Tahoma", 10, false, false, false, true);
    EXPECT_EQ(shared, manager.GetFont(5));
    const HFONT own = manager.AddFont(5, L"Tahoma", 11, false, false, false);
    EXPECT_EQ(own, manager.GetFont(5));
    manager.RemoveAllFonts();
    EXPECT_EQ(shared, manager.GetFont(5));
    manager.RemoveAllFonts(true);
}

TEST_F(Fonts, APopupUsingSharedResourcesAddsToTheSharedSet) {
    CPaintManagerUI popup;
    popup.SetUseSharedResources(true);
    const HFONT font = popup.AddFont(7, L"Tahoma", 9, false, false, false);
    EXPECT_EQ(font, host.manager.GetFont(7)) << "another window sees it";
    host.manager.RemoveAllFonts(true);
}

TEST(Attributes, DefaultListsComeFromTheOwnSetThenTheShared) {
    CPaintManagerUI manager;
    manager.AddDefaultAttributeList(L"Button", L"width=\"1\"", true);
    EXPECT_STREQ(L"width=\"1\"", manager.GetDefaultAttributeList(L"Button"));
    manager.AddDefaultAttributeList(L"Button", L"width=\"2\"");
    manager.AddDefaultAttributeList(L"Button", L"width=\"3\"");
    EXPECT_STREQ(L"width=\"3\"", manager.GetDefaultAttributeList(L"Button")) << "a later list replaces";
    EXPECT_EQ(nullptr, manager.GetDefaultAttributeList(L"Edit"));
    manager.RemoveAllDefaultAttributeLists();
    EXPECT_STREQ(L"width=\"1\"", manager.GetDefaultAttributeList(L"Button"));
    manager.RemoveAllDefaultAttributeLists(true);
    EXPECT_EQ(nullptr, manager.GetDefaultAttributeList(L"Button"));
}

TEST(DrawSpecs, AreParsedOnceAndCachedPerStringPair) {
    CPaintManagerUI manager;
    EXPECT_EQ(nullptr, manager.GetDrawSpec(L"", L""));
    TImageDrawSpec* spec = manager.GetDrawSpec(L"file='a.png' corner='1,2,3,4'", L"fade='100'");
    ASSERT_NE(nullptr, spec);
    EXPECT_STREQ(L"a.png", spec->imageName.GetData());
    EXPECT_EQ(100, spec->fade);
    EXPECT_EQ(spec, manager.GetDrawSpec(L"file='a.png' corner='1,2,3,4'", L"fade='100'"));
    EXPECT_NE(spec, manager.GetDrawSpec(L"file='a.png' corner='1,2,3,4'", L""));
    manager.RemoveAllDrawSpecs();
}

// Writes a 4x2 PNG of one colour into `dir`.
void WritePng(const std::string& dir, const std::string& name, int alpha) {
    WriteFileText(dir + "/make.py",
                  "import struct, sys, zlib\n"
                  "w, h, a = 4, 2, int(sys.argv[2])\n"
                  "rows = b''.join(b'\\x00' + bytes([200, 100, 50, a]) * w for y in range(h))\n"
                  "def chunk(t, d):\n"
                  "    return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)\n"
                  "png = b'\\x89PNG\\r\\n\\x1a\\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))\n"
                  "png += chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b'')\n"
                  "open(sys.argv[1], 'wb').write(png)\n");
    ASSERT_EQ(0, RunUnix({"python3", "make.py", name, std::to_string(alpha)}, dir));
}

// Each test's images lie in a fresh skin folder that is the resource path while it runs.
class Images : public ::testing::Test {
protected:
    void TearDown() override { CPaintManagerUI::SetResourcePath(L""); }
    bool SkinFolderWith(const char* folder, const std::string& png, int alpha) {
        const std::string dir = FreshDirUnix(folder);
        WritePng(dir, png, alpha);
        CPaintManagerUI::SetResourcePath(ToWindowsPath(dir).c_str());
        return !::testing::Test::HasFatalFailure();
    }
};

TEST_F(Images, AreLoadedOnceCachedByNameAndCanBeDropped) {
    ASSERT_TRUE(SkinFolderWith("images", "dot.png", 255));
    CPaintManagerUI manager;
    EXPECT_EQ(nullptr, manager.GetImage(L"dot.png"));
    TImageInfo* image = manager.GetImageEx(L"dot.png");
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(4, image->width);
    EXPECT_EQ(image, manager.GetImageEx(L"dot.png"));
    EXPECT_EQ(image, manager.GetImage(L"dot.png"));
    manager.RemoveImage(L"dot.png");
    EXPECT_EQ(nullptr, manager.GetImage(L"dot.png"));
    EXPECT_EQ(nullptr, manager.GetImageEx(L"missing.png")) << "a failed load is not cached";
    EXPECT_EQ(nullptr, manager.AddImage(L""));
    EXPECT_EQ(nullptr, manager.AddImage(L"dot.png", L"PNG")) << "a typed image needs a numeric resource id";
}

TEST_F(Images, HslImagesKeepACopyOfTheirPixels) {
    ASSERT_TRUE(SkinFolderWith("hsl", "tint.png", 255));
    CPaintManagerUI manager;
    TImageInfo* image = manager.AddImage(L"tint.png", nullptr, 0, true);
    ASSERT_NE(nullptr, image);
    EXPECT_TRUE(image->useHsl);
    EXPECT_EQ(4u * 2u * 4u, image->sourcePixels.size());
    EXPECT_EQ(image->sourcePixels, image->pixels);
}

TEST_F(Images, SharedImagesAreSeenByEveryManagerUntilTerm) {
    ASSERT_TRUE(SkinFolderWith("shared", "logo.png", 128));
    CPaintManagerUI one;
    CPaintManagerUI two;
    TImageInfo* image = one.AddImage(L"logo.png", nullptr, 0, false, true);
    ASSERT_NE(nullptr, image);
    EXPECT_TRUE(image->hasAlpha);
    EXPECT_EQ(image, two.GetImage(L"logo.png"));
    CPaintManagerUI::Term();
    EXPECT_EQ(nullptr, two.GetImage(L"logo.png"));
}

TEST_F(Images, ImagesAndFontFilesAreReadFromTheSkinZip) {
    const std::string dir = FreshDirUnix("skinzip");
    WritePng(dir, "zipped.png", 255);
    ASSERT_EQ(0, RunUnix({"mkdir", "-p", "img"}, dir));
    ASSERT_EQ(0, RunUnix({"mv", "zipped.png", "img/"}, dir));
    ASSERT_EQ(0, RunUnix({"zip", "-q", "-r", "skin.zip", "img"}, dir));
    const std::vector<char> zip = ReadFileBytes(dir + "/skin.zip");
    CPaintManagerUI::SetResourceZip(zip.data(), static_cast<int>(zip.size()));
    CPaintManagerUI manager;
    TImageInfo* image = manager.GetImageEx(L"img\\Zipped.png");
    ASSERT_NE(nullptr, image) << "backslashes and case do not matter inside the zip";
    EXPECT_EQ(2, image->height);
    CPaintManagerUI::Term();
}

}  // namespace
}  // namespace kvtest
