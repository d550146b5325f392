// Decoding images into premultiplied DIBs, from every source the loader reads,
// and refusing bad input without harm.
#include <windows.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstring>

#include "RenderKit.h"
#include "support/TestKit.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"

using KvUI::CRenderEngine;
using KvUI::TImageInfo;
using rendertest::MakeImageFile;
using rendertest::Rgba;

namespace {

struct ImageDeleter {
    void operator()(TImageInfo* image) const { CRenderEngine::FreeImage(image, true); }
};
using ImagePtr = std::unique_ptr<TImageInfo, ImageDeleter>;

ImagePtr Load(const std::string& unixPath, DWORD mask = 0) {
    return ImagePtr(CRenderEngine::LoadImage(kvtest::ToWindowsPath(unixPath).c_str(), nullptr, mask));
}

std::vector<DWORD> Pixels(const TImageInfo& image) {
    DIBSECTION dib = {};
    EXPECT_EQ(static_cast<int>(sizeof dib), GetObjectW(image.bitmap, sizeof dib, &dib));
    EXPECT_EQ(32, dib.dsBm.bmBitsPixel);
    const auto* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
    return std::vector<DWORD>(bits, bits + image.width * image.height);
}

TEST(ImageLoad, PngBecomesTopDownPremultipliedBgra) {
    const auto file = MakeImageFile("alpha.png", 2, 2, Rgba({0x80FF0000, 0xFF0A141E, 0x000000FF, 0x40FFFFFF}));
    const ImagePtr image = Load(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(2, image->width);
    EXPECT_EQ(2, image->height);
    EXPECT_TRUE(image->hasAlpha);
    EXPECT_TRUE(image->pixels.empty());
    EXPECT_TRUE(image->sourcePixels.empty());
    // The first row in memory is the image's top row.
    const std::vector<DWORD> px = Pixels(*image);
    EXPECT_EQ(0x80800000u, px[0]);  // 255 * 128 / 255
    EXPECT_EQ(0xFF0A141Eu, px[1]);  // opaque pixels are copied as they are
    EXPECT_EQ(0x00000000u, px[2]);
    EXPECT_EQ(0x40404040u, px[3]);
}

TEST(ImageLoad, OpaqueFormatsHaveNoAlpha) {
    const std::vector<BYTE> rgba = Rgba(std::vector<DWORD>(8 * 8, 0xFFFF0000));
    for (const char* format : {"bmp3", "jpg", "tga", "gif"}) {
        SCOPED_TRACE(format);
        const ImagePtr image = Load(MakeImageFile(std::string("opaque.") + format, 8, 8, rgba, format));
        ASSERT_TRUE(image);
        EXPECT_EQ(8, image->width);
        EXPECT_EQ(8, image->height);
        EXPECT_FALSE(image->hasAlpha);
        const DWORD c = Pixels(*image)[27];
        EXPECT_EQ(255, rendertest::A(c));
        EXPECT_GT(rendertest::R(c), 240);
        EXPECT_LT(rendertest::G(c), 16);
    }
}

TEST(ImageLoad, MaskColourBecomesTransparent) {
    const auto file = MakeImageFile("mask.png", 2, 1, Rgba({0xFFFF00FF, 0xFF00FF00}));
    const ImagePtr plain = Load(file);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->hasAlpha);

    const ImagePtr masked = Load(file, 0xFFFF00FF);
    ASSERT_TRUE(masked);
    EXPECT_TRUE(masked->hasAlpha);
    const std::vector<DWORD> px = Pixels(*masked);
    EXPECT_EQ(0u, px[0]);
    EXPECT_EQ(0xFF00FF00u, px[1]);
}

TEST(ImageLoad, BadInputFailsCleanly) {
    const std::string dir = kvtest::WorkDirUnix();
    EXPECT_EQ(nullptr, CRenderEngine::LoadImage(nullptr));
    EXPECT_FALSE(Load(dir + "/no-such-file.png"));

    kvtest::WriteFileBytes(dir + "/empty.png", "", 0);
    EXPECT_FALSE(Load(dir + "/empty.png"));

    kvtest::WriteFileText(dir + "/text.png", "this is not an image at all, just some text");
    EXPECT_FALSE(Load(dir + "/text.png"));

    std::vector<BYTE> rgba(64 * 64 * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<BYTE>(i * 7);
    const auto good = MakeImageFile("good.png", 64, 64, rgba);
    std::vector<char> bytes = kvtest::ReadFileBytes(good);
    ASSERT_GT(bytes.size(), 64u);
    ASSERT_TRUE(Load(good));

    kvtest::WriteFileBytes(dir + "/truncated.png", bytes.data(), bytes.size() / 2);
    EXPECT_FALSE(Load(dir + "/truncated.png"));

    // The header's width (bytes 16-19, big-endian) claims a million pixels.
    std::vector<char> huge = bytes;
    const char width[4] = {0x00, 0x10, 0x00, 0x00};
    std::memcpy(huge.data() + 16, width, 4);
    kvtest::WriteFileBytes(dir + "/huge.png", huge.data(), huge.size());
    EXPECT_FALSE(Load(dir + "/huge.png"));
}

TEST(ImageLoad, RelativeNamesComeFromTheResourceFolder) {
    const std::string dir = kvtest::FreshDirUnix("skin-folder");
    kvtest::RunUnix({"mkdir", "-p", dir + "/sub"});
    const auto file = MakeImageFile("folder.png", 3, 1, Rgba({0xFF010203, 0xFF010203, 0xFF010203}));
    kvtest::RunUnix({"cp", file, dir + "/sub/pic.png"});

    KvUI::CPaintManagerUI::SetResourcePath(kvtest::ToWindowsPath(dir).c_str());
    const ImagePtr image(CRenderEngine::LoadImage(L"sub\\pic.png"));
    KvUI::CPaintManagerUI::SetResourcePath(L"");
    ASSERT_TRUE(image);
    EXPECT_EQ(3, image->width);
}

TEST(ImageLoad, SkinZipEntriesMatchWithoutCaseAndWithBackslashes) {
    const std::string dir = kvtest::FreshDirUnix("skin-zip");
    kvtest::RunUnix({"mkdir", "-p", dir + "/content/Images"});
    const auto file = MakeImageFile("zipped.png", 5, 2, std::vector<BYTE>(5 * 2 * 4, 200));
    kvtest::RunUnix({"cp", file, dir + "/content/Images/Pic.PNG"});
    ASSERT_EQ(0, kvtest::RunUnix({"zip", "-q", "-r", "../skin.zip", "."}, dir + "/content"));
    const std::vector<char> zip = kvtest::ReadFileBytes(dir + "/skin.zip");

    KvUI::CPaintManagerUI::SetResourceZip(zip.data(), static_cast<int>(zip.size()));
    const ImagePtr image(CRenderEngine::LoadImage(L"images\\pic.png"));
    const ImagePtr missing(CRenderEngine::LoadImage(L"images\\other.png"));
    // A name that is no entry is still tried as a path of its own.
    const ImagePtr byPath = Load(file);
    KvUI::CPaintManagerUI::Term();
    ASSERT_TRUE(image);
    EXPECT_EQ(5, image->width);
    EXPECT_EQ(2, image->height);
    EXPECT_FALSE(missing);
    EXPECT_TRUE(byPath);
}

// The test program carries resource 7 of type "PNG" (4 x 3 pixels).
TEST(ImageLoad, ModuleResourcesByIdAndType) {
    const HMODULE self = GetModuleHandleW(nullptr);
    const ImagePtr image(CRenderEngine::LoadImageById(7, L"PNG", 0, self));
    ASSERT_TRUE(image);
    EXPECT_EQ(4, image->width);
    EXPECT_EQ(3, image->height);
    EXPECT_EQ(0xFF5A5A5Au, Pixels(*image)[0]);
    EXPECT_FALSE(ImagePtr(CRenderEngine::LoadImageById(7, L"JPG", 0, self)));
    EXPECT_FALSE(ImagePtr(CRenderEngine::LoadImageById(8, L"PNG", 0, self)));

    // Without an instance the manager's resource module is asked.
    KvUI::CPaintManagerUI::SetInstance(self);
    const ImagePtr byDefault(CRenderEngine::LoadImageById(7, L"PNG"));
    KvUI::CPaintManagerUI::SetInstance(nullptr);
    EXPECT_TRUE(byDefault);
}

TEST(ImageLoad, FreeImageCanKeepTheRecord) {
    TImageInfo* image = CRenderEngine::LoadImage(
        kvtest::ToWindowsPath(MakeImageFile("free.png", 1, 1, Rgba({0xFF000000}))).c_str());
    ASSERT_NE(nullptr, image);
    const HBITMAP bitmap = image->bitmap;
    image->sourcePixels.assign(4, 1);
    CRenderEngine::FreeImage(image, false);
    EXPECT_EQ(nullptr, image->bitmap);
    EXPECT_TRUE(image->sourcePixels.empty());
    EXPECT_EQ(0u, GetObjectType(bitmap));
    CRenderEngine::FreeImage(image, true);
    CRenderEngine::FreeImage(nullptr, true);
}

// Drawing selects the image into a memory DC of the thread; a bitmap still
// selected there could not be deleted.
TEST(ImageLoad, AnImageDrawnJustBeforeBeingFreedIsDeleted) {
    TImageInfo* image = CRenderEngine::LoadImage(
        kvtest::ToWindowsPath(MakeImageFile("drawn.png", 2, 2, Rgba({0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF})))
            .c_str());
    ASSERT_NE(nullptr, image);
    const HBITMAP bitmap = image->bitmap;
    const rendertest::Canvas target(4, 4);
    const RECT all{0, 0, 2, 2};
    CRenderEngine::DrawImage(target.dc(), bitmap, all, all, all, RECT{}, false);
    EXPECT_EQ(RGB(0, 0, 0xFF), GetPixel(target.dc(), 1, 1));
    CRenderEngine::FreeImage(image, true);
    EXPECT_EQ(0u, GetObjectType(bitmap));
}

UINT FrameCount(Gdiplus::GpImage* image) {
    using namespace Gdiplus::DllExports;
    UINT dimensions = 0;
    GdipImageGetFrameDimensionsCount(image, &dimensions);
    if (dimensions == 0) return 0;
    std::vector<GUID> ids(dimensions);
    GdipImageGetFrameDimensionsList(image, ids.data(), dimensions);
    UINT frames = 0;
    GdipImageGetFrameCount(image, &ids[0], &frames);
    return frames;
}

TEST(GifImage, KeepsEveryFrame) {
    const std::string dir = kvtest::WorkDirUnix();
    ASSERT_EQ(0, kvtest::RunUnix({"convert", "-delay", "10", "-size", "4x4", "xc:red", "xc:lime", "xc:blue",
                                  dir + "/anim.gif"}));
    const std::wstring path = kvtest::ToWindowsPath(dir + "/anim.gif");
    const KvUI::GdiplusImagePtr byKey = CRenderEngine::LoadGifImage((L"file='" + path + L"' fade='100'").c_str());
    ASSERT_TRUE(byKey);
    EXPECT_EQ(3u, FrameCount(byKey.get()));
    const KvUI::GdiplusImagePtr byName = CRenderEngine::LoadGifImage(path.c_str());
    EXPECT_TRUE(byName);
}

TEST(GifImage, BadInputGivesNull) {
    const std::string dir = kvtest::WorkDirUnix();
    kvtest::WriteFileText(dir + "/bad.gif", "GIF89a but nothing that follows makes sense");
    EXPECT_FALSE(CRenderEngine::LoadGifImage(kvtest::ToWindowsPath(dir + "/bad.gif").c_str()));
    EXPECT_FALSE(CRenderEngine::LoadGifImage(kvtest::ToWindowsPath(dir + "/none.gif").c_str()));
    EXPECT_FALSE(CRenderEngine::LoadGifImage(L""));
    EXPECT_FALSE(CRenderEngine::LoadGifImage(nullptr));
}

TEST(WideToMultiByte, ConvertsWithOneSpareZero) {
    EXPECT_EQ(nullptr, KvUI::WideToMultiByte(nullptr));
    const auto ansi = KvUI::WideToMultiByte(L"secret");
    ASSERT_TRUE(ansi);
    EXPECT_STREQ("secret", ansi.get());
    EXPECT_EQ(0, ansi[7]);
    const auto utf8 = KvUI::WideToMultiByte(L"\u00e9", CP_UTF8);
    ASSERT_TRUE(utf8);
    EXPECT_STREQ("\xc3\xa9", utf8.get());
}

}  // namespace
