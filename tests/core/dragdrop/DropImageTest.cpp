#include <windowsx.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/dragdrop/DragDropKit.h"
#include "support/TestKit.h"
#include "win/ComRef.h"
#include "ui/core/DataObject.h"
#include "ui/core/DropTarget.h"

using kvwin::CComRef;
using KvUI::CIDropTarget;
using KvUI::DropImageOnWindow;
using KvUI::RegisterImageDropTarget;
using namespace dragdrop;

namespace {

template <class T>
void Append(std::vector<BYTE>& bytes, const T& value) {
    const auto* p = reinterpret_cast<const BYTE*>(&value);
    bytes.insert(bytes.end(), p, p + sizeof value);
}

void AppendBytes(std::vector<BYTE>& bytes, std::initializer_list<BYTE> more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

BITMAPINFOHEADER InfoHeader(LONG width, LONG height, WORD bitCount, DWORD compression = BI_RGB) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bitCount;
    h.biCompression = compression;
    return h;
}

// 3x2, bottom-up: red, green, blue over white, black, grey.
std::vector<BYTE> Dib24(LONG width = 3) {
    std::vector<BYTE> dib;
    Append(dib, InfoHeader(width, 2, 24));
    AppendBytes(dib, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 0x80, 0x80, 0, 0, 0});
    AppendBytes(dib, {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0, 0, 0});
    return dib;
}
const std::vector<DWORD> kDib24Pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080};

// 2x1, 8 bits per pixel with a core header: 3-byte colour entries, 256 of them.
std::vector<BYTE> CoreDib8() {
    std::vector<BYTE> dib;
    Append(dib, BITMAPCOREHEADER{sizeof(BITMAPCOREHEADER), 2, 1, 1, 8});
    std::vector<BYTE> table(256 * 3, 0);
    const BYTE entries[] = {0x30, 0x20, 0x10, 0x60, 0x50, 0x40};
    std::memcpy(table.data(), entries, sizeof entries);
    dib.insert(dib.end(), table.begin(), table.end());
    AppendBytes(dib, {0, 1, 0, 0});
    return dib;
}

// 2x1, 5-6-5 with the three masks after a 40-byte header: red, blue.
std::vector<BYTE> BitfieldDib16() {
    std::vector<BYTE> dib;
    Append(dib, InfoHeader(2, 1, 16, BI_BITFIELDS));
    for (DWORD mask : {0xF800u, 0x07E0u, 0x001Fu}) Append(dib, mask);
    AppendBytes(dib, {0x00, 0xF8, 0x1F, 0x00});
    return dib;
}

// 2x1, 32 bits with a version-5 header that holds its masks itself.
std::vector<BYTE> V5Dib32() {
    BITMAPV5HEADER h{};
    h.bV5Size = sizeof h;
    h.bV5Width = 2;
    h.bV5Height = 1;
    h.bV5Planes = 1;
    h.bV5BitCount = 32;
    h.bV5Compression = BI_BITFIELDS;
    h.bV5RedMask = 0x00FF0000;
    h.bV5GreenMask = 0x0000FF00;
    h.bV5BlueMask = 0x000000FF;
    h.bV5AlphaMask = 0xFF000000;
    h.bV5CSType = 0x73524742;  // LCS_sRGB, 'sRGB'
    std::vector<BYTE> dib;
    Append(dib, h);
    for (DWORD pixel : {0x00112233u, 0x00445566u}) Append(dib, pixel);
    return dib;
}

class WindowDropTarget : public CIDropTarget {
public:
    bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD*) override {
        return DropImageOnWindow(GetDropWindow(), *format, medium);
    }
};

// Drops `medium` as `cf` straight on the window; true when the medium may be released.
bool DropOn(const ImageWindow& window, CLIPFORMAT cf, STGMEDIUM& medium) {
    const FORMATETC format = Format(cf, medium.tymed);
    return DropImageOnWindow(window.Get(), format, medium);
}

bool DropDib(const ImageWindow& window, const std::vector<BYTE>& dib) {
    STGMEDIUM medium = GlobalMedium(MakeGlobal(dib));
    const bool release = DropOn(window, CF_DIB, medium);
    if (release) ReleaseStgMedium(&medium);
    return release;
}

bool IsGdiObject(HGDIOBJ object) { return GetObjectType(object) != 0; }

std::vector<BYTE> FileDrop(const std::wstring& path) {
    std::vector<BYTE> block;
    DROPFILES files{};
    files.pFiles = sizeof files;
    files.fWide = TRUE;
    Append(block, files);
    const auto* name = reinterpret_cast<const BYTE*>(path.c_str());
    block.insert(block.end(), name, name + (path.size() + 1) * sizeof(wchar_t));
    AppendBytes(block, {0, 0});
    return block;
}

}  // namespace

class DropImage : public OleTest {};

// Each header layout places its colour table and bits differently.
TEST_F(DropImage, EveryDibHeaderLayoutBecomesTheWindowImage) {
    const struct {
        const char* name;
        std::vector<BYTE> dib;
        std::vector<DWORD> pixels;
    } cases[] = {
        {"packed", Dib24(), kDib24Pixels},
        {"core header, three-byte colour entries", CoreDib8(), {0x102030, 0x405060}},
        {"version five, masks inside the header", V5Dib32(), {0x112233, 0x445566}},
    };
    for (const auto& c : cases) {
        ImageWindow window;
        EXPECT_TRUE(DropDib(window, c.dib)) << c.name;
        ASSERT_NE(nullptr, window.Image()) << c.name;
        EXPECT_EQ(c.pixels, Pixels(window.Image())) << c.name;
    }
}

TEST_F(DropImage, BitfieldDibSkipsTheMasksAfterAShortHeader) {
    ImageWindow window;
    DropDib(window, BitfieldDib16());
    ASSERT_NE(nullptr, window.Image());
    const std::vector<DWORD> pixels = Pixels(window.Image());
    ASSERT_EQ(2u, pixels.size());
    EXPECT_GE(pixels[0] >> 16, 0xF8u);
    EXPECT_EQ(0u, pixels[0] & 0xFFFF);
    EXPECT_EQ(0u, pixels[1] >> 8);
    EXPECT_GE(pixels[1] & 0xFF, 0xF8u);
}

struct BadDib {
    const char* name;
    std::vector<BYTE> bytes;
};

class MalformedDib : public OleTest, public ::testing::WithParamInterface<BadDib> {};

TEST_P(MalformedDib, IsRefusedWithoutReadingPastItsBlock) {
    ImageWindow window;
    EXPECT_TRUE(DropDib(window, GetParam().bytes));
    EXPECT_TRUE(window.Offered().empty());
    EXPECT_EQ(nullptr, window.Image());
    ASSERT_EQ(1u, window.MouseUps().size()) << "the gesture still ends";
}

std::vector<BadDib> BadDibs() {
    std::vector<BadDib> cases;
    cases.push_back({"TwoBytes", {0x28, 0x00}});

    std::vector<BYTE> unknown(64, 0);
    unknown[0] = 20;
    cases.push_back({"UnknownHeaderSize", unknown});

    std::vector<BYTE> cut = V5Dib32();
    cut.resize(60);
    cases.push_back({"HeaderLongerThanBlock", cut});

    for (DWORD used : {0x40000000u, 0x40000001u}) {
        std::vector<BYTE> dib;
        BITMAPINFOHEADER h = InfoHeader(1, 1, 8);
        h.biClrUsed = used;  // 0x40000001 x 4 wraps to 4 in 32 bits
        Append(dib, h);
        AppendBytes(dib, {1, 2, 3, 0, 0, 0, 0, 0});
        cases.push_back({used == 0x40000000u ? "HugeColourCount" : "ColourTableSizeWrapsIn32Bits", dib});
    }

    std::vector<BYTE> shortBits = Dib24();
    shortBits.pop_back();
    cases.push_back({"BitsOneByteShort", shortBits});
    cases.push_back({"NegativeWidth", Dib24(-3)});

    std::vector<BYTE> rle;
    BITMAPINFOHEADER h = InfoHeader(4, 4, 8, BI_RLE8);
    h.biSizeImage = 1000;
    Append(rle, h);
    rle.resize(rle.size() + 256 * 4 + 16, 0);
    cases.push_back({"CompressedSizeBeyondBlock", rle});

    std::vector<BYTE> planes = Dib24();
    planes[12] = 0;
    cases.push_back({"NoPlanes", planes});

    std::vector<BYTE> bits = Dib24();
    bits[14] = 7;
    cases.push_back({"OddBitCount", bits});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, MalformedDib, ::testing::ValuesIn(BadDibs()),
                         [](const ::testing::TestParamInfo<BadDib>& info) { return std::string(info.param.name); });

TEST_F(DropImage, TheMouseUpItSendsCarriesClientCoordinates) {
    // Test programs running beside this one share the display and may move
    // the pointer: a drop during which it moved is tried again.
    for (int attempt = 0; attempt < 10; ++attempt) {
        ImageWindow window;
        POINT before{};
        GetCursorPos(&before);
        DropDib(window, Dib24());
        POINT screen{};
        GetCursorPos(&screen);
        if (screen.x != before.x || screen.y != before.y) continue;
        POINT client = screen;
        ScreenToClient(window.Get(), &client);
        ASSERT_NE(screen.x, client.x) << "the window must lie away from the screen's origin";

        ASSERT_EQ(1u, window.MouseUps().size());
        EXPECT_EQ(client.x, GET_X_LPARAM(window.MouseUps()[0]));
        EXPECT_EQ(client.y, GET_Y_LPARAM(window.MouseUps()[0]));
        return;
    }
    FAIL() << "the pointer never stayed still during a drop";
}

TEST_F(DropImage, TheImageItReplacesIsDeleted) {
    ImageWindow window;
    const HBITMAP before = SolidBitmap(4, 4, RGB(9, 9, 9));
    SendMessageW(window.Get(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(before));
    ASSERT_EQ(before, window.Image());

    DropDib(window, Dib24());
    EXPECT_FALSE(IsGdiObject(before));
    EXPECT_NE(before, window.Image());
    EXPECT_EQ(kDib24Pixels, Pixels(window.Image()));
}

TEST_F(DropImage, ABitmapNoWindowKeepsIsFreed) {
    ImageWindow window(false);
    EXPECT_TRUE(DropDib(window, Dib24()));
    ASSERT_EQ(1u, window.Offered().size());
    EXPECT_FALSE(IsGdiObject(window.Offered()[0]));
}

TEST_F(DropImage, ADroppedBitmapIsKeptOnlyByAWindowThatTakesIt) {
    ImageWindow shows;
    const HBITMAP bitmap = SolidBitmap(6, 5, RGB(0, 0, 255));
    STGMEDIUM medium = BitmapMedium(bitmap);
    EXPECT_FALSE(DropOn(shows, CF_BITMAP, medium)) << "the window keeps the medium's bitmap";
    EXPECT_EQ(bitmap, shows.Image());

    ImageWindow ignores(false);
    STGMEDIUM other = BitmapMedium(SolidBitmap(6, 5, RGB(0, 0, 255)));
    EXPECT_TRUE(DropOn(ignores, CF_BITMAP, other)) << "nobody took it: the medium must be released";
    EXPECT_TRUE(IsGdiObject(other.hBitmap));
    ReleaseStgMedium(&other);
}

TEST_F(DropImage, ABitmapWithAReleaseOwnerIsShownAsACopy) {
    ImageWindow window;
    CComRef<IStream> owner;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, owner.Receive()));
    const HBITMAP bitmap = SolidBitmap(6, 5, RGB(0, 255, 0));
    STGMEDIUM medium = BitmapMedium(bitmap);
    medium.pUnkForRelease = owner.Get();
    owner->AddRef();

    EXPECT_TRUE(DropOn(window, CF_BITMAP, medium));
    ReleaseStgMedium(&medium);
    ASSERT_NE(nullptr, window.Image());
    EXPECT_NE(bitmap, window.Image());
    EXPECT_EQ(6, BitmapSize(window.Image()).cx);
    EXPECT_TRUE(IsGdiObject(bitmap));
    DeleteObject(bitmap);
}

TEST_F(DropImage, ADroppedBitmapFileIsLoaded) {
    const std::string dir = kvtest::FreshDirUnix("hdrop");
    ASSERT_EQ(0, kvtest::RunUnix({"convert", "-size", "5x4", "xc:#FF0000", "BMP3:" + dir + "/red.bmp"}));
    ImageWindow window;
    STGMEDIUM medium = GlobalMedium(MakeGlobal(FileDrop(kvtest::ToWindowsPath(dir + "/red.bmp"))));
    EXPECT_TRUE(DropOn(window, CF_HDROP, medium));
    ReleaseStgMedium(&medium);
    ASSERT_NE(nullptr, window.Image());
    EXPECT_EQ(std::vector<DWORD>(20, 0xFF0000), Pixels(window.Image()));
}

TEST_F(DropImage, AFileDropWithABrokenListIsIgnored) {
    ImageWindow window;
    std::vector<BYTE> outside = FileDrop(L"C:\\x.bmp");
    reinterpret_cast<DROPFILES*>(outside.data())->pFiles = static_cast<DWORD>(outside.size() + 10);
    std::vector<BYTE> unterminated(sizeof(DROPFILES) + 40, 'A');
    DROPFILES files{};
    files.pFiles = sizeof files;
    files.fWide = TRUE;
    std::memcpy(unterminated.data(), &files, sizeof files);

    for (const auto& block : {outside, unterminated}) {
        STGMEDIUM medium = GlobalMedium(MakeGlobal(block));
        EXPECT_TRUE(DropOn(window, CF_HDROP, medium));
        ReleaseStgMedium(&medium);
    }
    EXPECT_TRUE(window.Offered().empty());
}

TEST_F(DropImage, AnEnhancedMetafileIsPlayedIntoABitmapOfItsBounds) {
    HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    const RECT area{0, 0, 40, 30};
    FillRect(recorder, &area, blue);
    DeleteObject(blue);
    const HENHMETAFILE metafile = CloseEnhMetaFile(recorder);
    ASSERT_NE(nullptr, metafile);
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(metafile, sizeof header, &header);

    ImageWindow window;
    STGMEDIUM medium{};
    medium.tymed = TYMED_ENHMF;
    medium.hEnhMetaFile = metafile;
    EXPECT_TRUE(DropOn(window, CF_ENHMETAFILE, medium));
    ReleaseStgMedium(&medium);
    ASSERT_NE(nullptr, window.Image());
    const SIZE size = BitmapSize(window.Image());
    EXPECT_EQ(header.rclBounds.right, size.cx);
    EXPECT_EQ(header.rclBounds.bottom, size.cy);
    const std::vector<DWORD> pixels = Pixels(window.Image());
    EXPECT_EQ(0x0000FFu, pixels[static_cast<size_t>(size.cy / 2 * size.cx + size.cx / 2)]);
}

TEST_F(DropImage, OtherFormatsOnlyEndTheGesture) {
    ImageWindow window;
    STGMEDIUM medium = GlobalMedium(MakeGlobal("text", 5));
    EXPECT_TRUE(DropOn(window, CF_TEXT, medium));
    ReleaseStgMedium(&medium);
    EXPECT_TRUE(window.Offered().empty());
    EXPECT_EQ(1u, window.MouseUps().size());
}

// The whole road: a window registered for images, a data object offering a
// DIB among other data, the drop, and what the source is told.
TEST_F(DropImage, ARegisteredWindowTakesADibFromADataObject) {
    ImageWindow window;
    WindowDropTarget target;
    ASSERT_TRUE(RegisterImageDropTarget(target, window.Get()));

    CComRef<IDataObject> data = NewDataObject();
    PutGlobal(data.Get(), CF_TEXT, "x");
    Put(data.Get(), CF_DIB, GlobalMedium(MakeGlobal(Dib24())));

    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(S_OK, target.DragEnter(data.Get(), MK_LBUTTON, POINTL{210, 160}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(S_OK, target.Drop(data.Get(), 0, POINTL{210, 160}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
    ASSERT_NE(nullptr, window.Image());
    EXPECT_EQ(kDib24Pixels, Pixels(window.Image()));
}

TEST_F(DropImage, ARegisteredWindowTakesABitmapBeforeADib) {
    ImageWindow window;
    WindowDropTarget target;
    ASSERT_TRUE(RegisterImageDropTarget(target, window.Get()));

    CComRef<IDataObject> data = NewDataObject();
    Put(data.Get(), CF_DIB, GlobalMedium(MakeGlobal(Dib24())));
    Put(data.Get(), CF_BITMAP, BitmapMedium(SolidBitmap(7, 3, RGB(1, 2, 3))));

    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target.DragEnter(data.Get(), 0, POINTL{}, &effect));
    ASSERT_EQ(S_OK, target.Drop(data.Get(), 0, POINTL{}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
    ASSERT_NE(nullptr, window.Image());
    EXPECT_EQ(7, BitmapSize(window.Image()).cx);
}
