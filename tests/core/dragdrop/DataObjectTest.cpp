#include "win/ComRef.h"
#include "ui/core/DataObject.h"
#include "ui/core/DropSource.h"
#include "ui/core/EnumFormatEtc.h"

#include <string>

#include "core/dragdrop/DragDropKit.h"

using kvwin::CComRef;
using KvUI::CIDataObject;
using KvUI::CIDropSource;
using namespace dragdrop;

class DataObject : public OleTest {};

TEST_F(DataObject, QueryGetDataTellsWhichPartOfTheFormatFailed) {
    auto object = NewDataObject();
    FORMATETC dib = Format(CF_DIB, TYMED_GDI);
    EXPECT_EQ(DV_E_TYMED, object->QueryGetData(&dib)) << "an empty object";

    FORMATETC bitmap = Format(CF_BITMAP, TYMED_GDI);
    STGMEDIUM medium = BitmapMedium(SolidBitmap(2, 2, RGB(1, 2, 3)));
    ASSERT_EQ(S_OK, object->SetData(&bitmap, &medium, TRUE));

    EXPECT_EQ(S_OK, object->QueryGetData(&bitmap));
    EXPECT_EQ(DV_E_CLIPFORMAT, object->QueryGetData(&dib));
    FORMATETC inGlobal = Format(CF_BITMAP, TYMED_HGLOBAL);
    EXPECT_EQ(DV_E_TYMED, object->QueryGetData(&inGlobal));
    FORMATETC icon = Format(CF_BITMAP, TYMED_GDI, DVASPECT_ICON);
    EXPECT_EQ(DV_E_DVASPECT, object->QueryGetData(&icon));
    EXPECT_EQ(E_INVALIDARG, object->QueryGetData(nullptr));
}

TEST_F(DataObject, GetDataHandsOutAnIndependentCopy) {
    auto object = NewDataObject();
    PutGlobal(object.Get(), CF_TEXT, "hello");

    FORMATETC text = Format(CF_TEXT, TYMED_HGLOBAL | TYMED_ISTREAM);
    STGMEDIUM first{};
    ASSERT_EQ(S_OK, object->GetData(&text, &first));
    EXPECT_EQ(static_cast<DWORD>(TYMED_HGLOBAL), first.tymed);
    EXPECT_STREQ("hello", reinterpret_cast<const char*>(GlobalBytes(first.hGlobal).data()));
    // Scribbling on one copy and freeing it leaves the object's data intact.
    std::memset(GlobalLock(first.hGlobal), 'x', 5);
    GlobalUnlock(first.hGlobal);
    ReleaseStgMedium(&first);

    STGMEDIUM second{};
    ASSERT_EQ(S_OK, object->GetData(&text, &second));
    EXPECT_STREQ("hello", reinterpret_cast<const char*>(GlobalBytes(second.hGlobal).data()));
    ReleaseStgMedium(&second);

    FORMATETC other = Format(CF_UNICODETEXT, TYMED_HGLOBAL);
    STGMEDIUM none{};
    EXPECT_EQ(DV_E_FORMATETC, object->GetData(&other, &none));
    EXPECT_EQ(E_INVALIDARG, object->GetData(nullptr, &none));
    EXPECT_EQ(E_INVALIDARG, object->GetData(&text, nullptr));
}

TEST_F(DataObject, GetDataMatchesAspectAndFormatInOrder) {
    auto object = NewDataObject();
    PutGlobal(object.Get(), CF_TEXT, "first");
    PutGlobal(object.Get(), CF_TEXT, "second");
    FORMATETC text = Format(CF_TEXT, TYMED_HGLOBAL);
    STGMEDIUM medium{};
    ASSERT_EQ(S_OK, object->GetData(&text, &medium));
    EXPECT_STREQ("first", reinterpret_cast<const char*>(GlobalBytes(medium.hGlobal).data()));
    ReleaseStgMedium(&medium);

    FORMATETC thumbnail = Format(CF_TEXT, TYMED_HGLOBAL, DVASPECT_THUMBNAIL);
    EXPECT_EQ(DV_E_FORMATETC, object->GetData(&thumbnail, &medium));
}

// A taken-over medium belongs to the object until it dies; a copied one is shared.
TEST_F(DataObject, SetDataTakesOverOrSharesAStreamMedium) {
    CComRef<IStream> stream;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive()));
    ASSERT_EQ(1u, RefCount(stream.Get()));
    FORMATETC format = Format(CF_TEXT, TYMED_ISTREAM);
    {
        auto object = NewDataObject();
        STGMEDIUM medium = StreamMedium(stream.Get());
        ASSERT_EQ(S_OK, object->SetData(&format, &medium, FALSE));
        EXPECT_EQ(2u, RefCount(stream.Get()));

        STGMEDIUM out{};
        ASSERT_EQ(S_OK, object->GetData(&format, &out));
        EXPECT_EQ(stream.Get(), out.pstm);
        EXPECT_EQ(3u, RefCount(stream.Get()));
        ReleaseStgMedium(&out);
    }
    EXPECT_EQ(1u, RefCount(stream.Get()));

    {
        auto object = NewDataObject();
        stream->AddRef();  // the reference the object takes over
        STGMEDIUM medium = StreamMedium(stream.Get());
        ASSERT_EQ(S_OK, object->SetData(&format, &medium, TRUE));
        EXPECT_EQ(2u, RefCount(stream.Get()));
    }
    EXPECT_EQ(1u, RefCount(stream.Get()));
}

TEST_F(DataObject, CopiesOfAFileMediumOwnTheirName) {
    auto object = NewDataObject();
    FORMATETC format = Format(CF_HDROP, TYMED_FILE);
    wchar_t name[] = L"C:\\pets\\cat.bmp";
    STGMEDIUM medium{};
    medium.tymed = TYMED_FILE;
    medium.lpszFileName = name;
    ASSERT_EQ(S_OK, object->SetData(&format, &medium, FALSE));
    name[0] = L'X';

    STGMEDIUM out{};
    ASSERT_EQ(S_OK, object->GetData(&format, &out));
    EXPECT_STREQ(L"C:\\pets\\cat.bmp", out.lpszFileName);
    ReleaseStgMedium(&out);
}

TEST_F(DataObject, CopiesABitmapMedium) {
    auto object = NewDataObject();
    FORMATETC format = Format(CF_BITMAP, TYMED_GDI);
    HBITMAP original = SolidBitmap(5, 3, RGB(0, 128, 255));
    STGMEDIUM medium = BitmapMedium(original);
    ASSERT_EQ(S_OK, object->SetData(&format, &medium, FALSE));
    DeleteObject(original);

    STGMEDIUM out{};
    ASSERT_EQ(S_OK, object->GetData(&format, &out));
    EXPECT_EQ(static_cast<DWORD>(TYMED_GDI), out.tymed);
    const SIZE size = BitmapSize(out.hBitmap);
    EXPECT_EQ(5, size.cx);
    EXPECT_EQ(3, size.cy);
    ReleaseStgMedium(&out);
}

class EnumFormatEtc : public OleTest {
protected:
    void SetUp() override {
        OleTest::SetUp();
        m_object = NewDataObject();
        for (CLIPFORMAT cf : {CF_TEXT, CF_DIB, CF_HDROP}) PutGlobal(m_object.Get(), cf, "x");
        ASSERT_EQ(S_OK, m_object->EnumFormatEtc(DATADIR_GET, m_enum.Receive()));
    }
    void TearDown() override {
        m_enum.Reset();
        m_object.Reset();
        OleTest::TearDown();
    }

    CComRef<IDataObject> m_object;
    CComRef<IEnumFORMATETC> m_enum;
};

TEST_F(EnumFormatEtc, ListsTheFormatsInTheOrderTheyWereSet) {
    FORMATETC formats[4] = {};
    ULONG fetched = 99;
    EXPECT_EQ(S_FALSE, m_enum->Next(4, formats, &fetched));
    ASSERT_EQ(3u, fetched);
    EXPECT_EQ(CF_TEXT, formats[0].cfFormat);
    EXPECT_EQ(CF_DIB, formats[1].cfFormat);
    EXPECT_EQ(CF_HDROP, formats[2].cfFormat);
    EXPECT_EQ(static_cast<DWORD>(TYMED_HGLOBAL), formats[2].tymed);

    CComRef<IEnumFORMATETC> set;
    EXPECT_EQ(E_NOTIMPL, m_object->EnumFormatEtc(DATADIR_SET, set.Receive()));
    EXPECT_EQ(E_POINTER, m_object->EnumFormatEtc(DATADIR_GET, nullptr));
}

TEST_F(EnumFormatEtc, NextWithOneLeftCopiesOneAndReportsShortfall) {
    ASSERT_EQ(S_OK, m_enum->Skip(2));
    FORMATETC formats[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, m_enum->Next(2, formats, &fetched));
    EXPECT_EQ(1u, fetched);
    EXPECT_EQ(CF_HDROP, formats[0].cfFormat);
    EXPECT_EQ(S_FALSE, m_enum->Next(1, formats, &fetched));
    EXPECT_EQ(0u, fetched);
}

TEST_F(EnumFormatEtc, NextWithoutFetchedCountOnlyForOneFormat) {
    FORMATETC formats[2] = {};
    EXPECT_EQ(S_FALSE, m_enum->Next(2, formats, nullptr));
    EXPECT_EQ(S_OK, m_enum->Next(1, formats, nullptr));
    EXPECT_EQ(CF_TEXT, formats[0].cfFormat);
    ULONG fetched = 7;
    EXPECT_EQ(S_FALSE, m_enum->Next(0, formats, &fetched));
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ(S_FALSE, m_enum->Next(1, nullptr, &fetched));
}

TEST_F(EnumFormatEtc, SkipPastTheEndFailsAndStaysPutButToExactlyTheEndSucceeds) {
    ASSERT_EQ(S_OK, m_enum->Skip(1));
    EXPECT_EQ(S_FALSE, m_enum->Skip(3));
    EXPECT_EQ(S_FALSE, m_enum->Skip(0xFFFFFFFFu));
    FORMATETC format{};
    ULONG fetched = 0;
    EXPECT_EQ(S_OK, m_enum->Next(1, &format, &fetched));
    EXPECT_EQ(CF_DIB, format.cfFormat);

    EXPECT_EQ(S_OK, m_enum->Skip(1));
    EXPECT_EQ(S_FALSE, m_enum->Next(1, &format, &fetched));
    EXPECT_EQ(0u, fetched);
}

TEST_F(EnumFormatEtc, CloneStartsWhereTheOriginalIsAndMovesAlone) {
    ASSERT_EQ(S_OK, m_enum->Skip(1));
    CComRef<IEnumFORMATETC> clone;
    ASSERT_EQ(S_OK, m_enum->Clone(clone.Receive()));
    EXPECT_EQ(E_POINTER, m_enum->Clone(nullptr));

    FORMATETC format{};
    ASSERT_EQ(S_OK, clone->Next(1, &format, nullptr));
    EXPECT_EQ(CF_DIB, format.cfFormat);
    ASSERT_EQ(S_OK, clone->Next(1, &format, nullptr));
    EXPECT_EQ(CF_HDROP, format.cfFormat);

    ASSERT_EQ(S_OK, m_enum->Next(1, &format, nullptr));
    EXPECT_EQ(CF_DIB, format.cfFormat);
    ASSERT_EQ(S_OK, m_enum->Reset());
    ASSERT_EQ(S_OK, m_enum->Next(1, &format, nullptr));
    EXPECT_EQ(CF_TEXT, format.cfFormat);
}

// Each copy handed out carries its own target-device block for the caller to free.
TEST_F(EnumFormatEtc, HandsOutOwnCopiesOfTargetDevices) {
    auto object = NewDataObject();
    auto* device = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(sizeof(DVTARGETDEVICE) + 8));
    std::memset(device, 0, sizeof(DVTARGETDEVICE) + 8);
    device->tdSize = sizeof(DVTARGETDEVICE) + 8;
    device->tdData[0] = 0x5A;
    FORMATETC format = Format(CF_TEXT, TYMED_HGLOBAL);
    format.ptd = device;
    STGMEDIUM medium = GlobalMedium(MakeGlobal("x", 2));
    ASSERT_EQ(S_OK, object->SetData(&format, &medium, TRUE));
    CoTaskMemFree(device);

    CComRef<IEnumFORMATETC> formats;
    ASSERT_EQ(S_OK, object->EnumFormatEtc(DATADIR_GET, formats.Receive()));
    FORMATETC out[2] = {};
    ASSERT_EQ(S_OK, formats->Next(1, &out[0], nullptr));
    ASSERT_EQ(S_OK, formats->Reset());
    ASSERT_EQ(S_OK, formats->Next(1, &out[1], nullptr));
    ASSERT_NE(nullptr, out[0].ptd);
    EXPECT_NE(out[0].ptd, out[1].ptd);
    EXPECT_EQ(0x5A, out[0].ptd->tdData[0]);
    CoTaskMemFree(out[0].ptd);
    CoTaskMemFree(out[1].ptd);
}

TEST(DropSource, DropsWhenBothButtonsAreUpAndCancelsOnEscape) {
    auto* source = new CIDropSource();
    source->AddRef();
    EXPECT_EQ(S_OK, source->QueryContinueDrag(FALSE, MK_LBUTTON));
    EXPECT_EQ(S_OK, source->QueryContinueDrag(FALSE, MK_RBUTTON | MK_SHIFT));
    EXPECT_FALSE(source->IsDropped());
    EXPECT_EQ(DRAGDROP_S_CANCEL, source->QueryContinueDrag(TRUE, 0));
    EXPECT_FALSE(source->IsDropped());
    EXPECT_EQ(DRAGDROP_S_DROP, source->QueryContinueDrag(FALSE, MK_CONTROL));
    EXPECT_TRUE(source->IsDropped());
    EXPECT_EQ(DRAGDROP_S_USEDEFAULTCURSORS, source->GiveFeedback(DROPEFFECT_COPY));

    IDataObject* data = nullptr;
    EXPECT_EQ(E_NOINTERFACE, source->QueryInterface(IID_IDataObject, reinterpret_cast<void**>(&data)));
    EXPECT_EQ(0u, source->Release());
}

// What a control dragged out of a window carries: the snapshot as a bitmap
// and as a metafile; the window's own snapshot stays the window's.
TEST_F(DataObject, ABitmapDragCarriesACopyAndAMetafile) {
    const HBITMAP snapshot = SolidBitmap(12, 8, RGB(200, 0, 0));
    auto* source = new CIDropSource();
    source->AddRef();
    HDC screen = GetDC(nullptr);
    CComRef<CIDataObject> data(KvUI::CreateBitmapDataObject(source, screen, snapshot));
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(data);
    EXPECT_EQ(source, data->GetDropSource());

    FORMATETC bitmap = Format(CF_BITMAP, TYMED_GDI);
    STGMEDIUM medium{};
    ASSERT_EQ(S_OK, data->GetData(&bitmap, &medium));
    EXPECT_NE(snapshot, medium.hBitmap);
    EXPECT_EQ(12, BitmapSize(medium.hBitmap).cx);
    ReleaseStgMedium(&medium);

    FORMATETC metafile = Format(CF_ENHMETAFILE, TYMED_ENHMF);
    ASSERT_EQ(S_OK, data->GetData(&metafile, &medium));
    ENHMETAHEADER header{};
    ASSERT_NE(0u, GetEnhMetaFileHeader(medium.hEnhMetaFile, sizeof header, &header));
    EXPECT_EQ(11, header.rclBounds.right);
    EXPECT_EQ(7, header.rclBounds.bottom);
    ReleaseStgMedium(&medium);

    data.Reset();
    EXPECT_NE(0u, static_cast<unsigned>(GetObjectType(snapshot)));
    DeleteObject(snapshot);
    EXPECT_EQ(0u, source->Release());
    EXPECT_EQ(nullptr, KvUI::CreateBitmapDataObject(nullptr, nullptr, nullptr));
}
