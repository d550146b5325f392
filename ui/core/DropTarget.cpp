#include "ui/core/DropTarget.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>
#include <cstring>

#include "ui/core/RenderGdi.h"

namespace KvUI {
namespace {

LRESULT CALLBACK RevokeOnDestroy(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR target) {
    // OLE keeps a reference for the window; a destroyed window must not keep it.
    if (msg == WM_DESTROY) reinterpret_cast<CIDropTarget*>(target)->RevokeDropTarget();
    return DefSubclassProc(window, msg, wParam, lParam);
}

class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL global) : m_global(global), m_data(GlobalLock(global)) {}
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    ~GlobalLockGuard() {
        if (m_data) GlobalUnlock(m_global);
    }
    const BYTE* Data() const { return static_cast<const BYTE*>(m_data); }
    SIZE_T Size() const { return m_data ? GlobalSize(m_global) : 0; }

private:
    HGLOBAL m_global;
    void* m_data;
};

// Where the parts of a packed DIB lie, once every part is known to fit its block.
struct PackedDib {
    const BITMAPINFOHEADER* header;
    const void* bits;
};

bool IsKnownInfoHeaderSize(DWORD size) {
    return size == sizeof(BITMAPINFOHEADER) || size == 52 || size == 56 ||
           size == sizeof(BITMAPV4HEADER) || size == sizeof(BITMAPV5HEADER);
}

bool IsSupportedLayout(uint32_t bitCount, uint32_t compression) {
    switch (compression) {
    case BI_RGB:
        return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
               bitCount == 32;
    case BI_BITFIELDS:
        return bitCount == 16 || bitCount == 32;
    case BI_RLE8:
        return bitCount == 8;
    case BI_RLE4:
        return bitCount == 4;
    default:
        return false;
    }
}

// A dropped DIB is foreign data: every size it states is checked against the
// block before anything past the first field is read.
bool ParsePackedDib(const BYTE* data, SIZE_T size, PackedDib& out) {
    DWORD headerSize = 0;
    if (!data || size < sizeof headerSize) return false;
    std::memcpy(&headerSize, data, sizeof headerSize);
    if (headerSize > size) return false;

    uint64_t width = 0;
    uint64_t height = 0;
    uint32_t planes = 0;
    uint32_t bitCount = 0;
    uint32_t compression = BI_RGB;
    uint64_t colors = 0;
    uint64_t entrySize = sizeof(RGBQUAD);
    uint64_t maskBytes = 0;
    uint64_t imageSize = 0;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core;
        std::memcpy(&core, data, sizeof core);
        width = core.bcWidth;
        height = core.bcHeight;
        planes = core.bcPlanes;
        bitCount = core.bcBitCount;
        entrySize = sizeof(RGBTRIPLE);
        colors = bitCount <= 8 ? (uint64_t{1} << bitCount) : 0;
    } else if (IsKnownInfoHeaderSize(headerSize)) {
        BITMAPINFOHEADER info;
        std::memcpy(&info, data, sizeof info);
        if (info.biWidth <= 0 || info.biHeight == 0) return false;
        width = static_cast<uint64_t>(info.biWidth);
        height = info.biHeight < 0 ? -static_cast<int64_t>(info.biHeight) : info.biHeight;
        planes = info.biPlanes;
        bitCount = info.biBitCount;
        compression = info.biCompression;
        imageSize = info.biSizeImage;
        colors = info.biClrUsed ? info.biClrUsed : (bitCount <= 8 ? (uint64_t{1} << bitCount) : 0);
        // Larger headers carry the masks inside themselves.
        if (headerSize == sizeof(BITMAPINFOHEADER) && compression == BI_BITFIELDS) maskBytes = 3 * sizeof(DWORD);
        if ((compression == BI_RLE4 || compression == BI_RLE8) && info.biHeight < 0) return false;
    } else {
        return false;
    }
    if (width == 0 || height == 0 || planes != 1 || !IsSupportedLayout(bitCount, compression)) return false;

    const uint64_t tableEnd = uint64_t{headerSize} + maskBytes + colors * entrySize;
    if (tableEnd > size) return false;
    uint64_t bitsSize = imageSize;
    if (compression == BI_RGB || compression == BI_BITFIELDS) {
        bitsSize = (width * bitCount + 31) / 32 * 4 * height;
    } else if (bitsSize == 0) {
        return false;  // compressed bits need their stated size to be bounded
    }
    if (bitsSize > size - tableEnd) return false;

    out.header = reinterpret_cast<const BITMAPINFOHEADER*>(data);
    out.bits = data + tableEnd;
    return true;
}

UniqueBitmap BitmapFromPackedDib(HGLOBAL global) {
    const GlobalLockGuard lock(global);
    PackedDib dib{};
    if (!ParsePackedDib(lock.Data(), lock.Size(), dib)) return {};
    const WindowDC screen(nullptr);
    return UniqueBitmap(CreateDIBitmap(screen.get(), dib.header, CBM_INIT, dib.bits,
                                       reinterpret_cast<const BITMAPINFO*>(dib.header), DIB_RGB_COLORS));
}

UniqueBitmap BitmapFromMetafile(HWND window, HENHMETAFILE metafile) {
    ENHMETAHEADER header{};
    if (!GetEnhMetaFileHeader(metafile, sizeof header, &header)) return {};
    const int cx = header.rclBounds.right;
    const int cy = header.rclBounds.bottom;
    if (cx <= 0 || cy <= 0) return {};

    const WindowDC dc(window);
    const int widthMm = GetDeviceCaps(dc.get(), HORZSIZE);
    const int heightMm = GetDeviceCaps(dc.get(), VERTSIZE);
    if (!dc.get() || widthMm <= 0 || heightMm <= 0) return {};
    // The frame is in hundredths of a millimetre.
    const int xRes = GetDeviceCaps(dc.get(), HORZRES);
    const int yRes = GetDeviceCaps(dc.get(), VERTRES);
    const RECT frame{MulDiv(header.rclFrame.left, xRes, widthMm * 100),
                     MulDiv(header.rclFrame.top, yRes, heightMm * 100),
                     MulDiv(header.rclFrame.right, xRes, widthMm * 100),
                     MulDiv(header.rclFrame.bottom, yRes, heightMm * 100)};

    UniqueMemoryDC memory(CreateCompatibleDC(dc.get()));
    UniqueBitmap bitmap(CreateCompatibleBitmap(dc.get(), cx, cy));
    if (!memory || !bitmap) return {};
    const ScopedSelect select(memory.get(), bitmap.get());
    PlayEnhMetaFile(memory.get(), metafile, &frame);
    return bitmap;
}

// The first file of a shell drop, loaded as a bitmap file.
UniqueBitmap BitmapFromFileDrop(HGLOBAL global) {
    {
        const GlobalLockGuard lock(global);
        const SIZE_T size = lock.Size();
        if (size < sizeof(DROPFILES)) return {};
        DROPFILES files;
        std::memcpy(&files, lock.Data(), sizeof files);
        if (files.pFiles < sizeof(DROPFILES) || files.pFiles >= size) return {};
        // The first name must end inside the block before the shell reads it.
        const BYTE* name = lock.Data() + files.pFiles;
        const SIZE_T room = size - files.pFiles;
        bool terminated = false;
        if (files.fWide) {
            for (SIZE_T i = 0; !terminated && i + 1 < room; i += 2) terminated = name[i] == 0 && name[i + 1] == 0;
        } else {
            terminated = std::memchr(name, 0, room) != nullptr;
        }
        if (!terminated) return {};
    }
    WCHAR path[MAX_PATH] = {};
    if (DragQueryFileW(static_cast<HDROP>(global), 0, path, MAX_PATH) == 0) return {};
    return UniqueBitmap(static_cast<HBITMAP>(
        LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE)));
}

// Offers `bitmap` to the window and deletes the image it replaces. Only a
// bitmap static keeps it, and not even one of those when it keeps a copy, so
// the answer comes from what the window shows afterwards. True when kept.
bool OfferWindowImage(HWND window, HBITMAP bitmap) {
    const auto previous = reinterpret_cast<HBITMAP>(
        SendMessageW(window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    const UniqueBitmap replaced(previous != bitmap ? previous : nullptr);
    return reinterpret_cast<HBITMAP>(SendMessageW(window, STM_GETIMAGE, IMAGE_BITMAP, 0)) == bitmap;
}

}  // namespace

CIDropTarget::~CIDropTarget() { RevokeDropTarget(); }

HRESULT CIDropTarget::QueryInterface(REFIID iid, void** object) {
    return kvwin::QueryInterfaceFor<IDropTarget>(this, iid, object);
}

HRESULT CIDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) {
    if (!data || !effect) return E_INVALIDARG;
    if (m_helper) {
        POINT pt{point.x, point.y};
        m_helper->DragEnter(m_window, data, &pt, *effect);
    }
    m_allowDrop = false;
    m_matched = -1;
    for (size_t i = 0; i < m_accepted.size(); ++i) {
        FORMATETC format = m_accepted[i];
        if (data->QueryGetData(&format) == S_OK) {
            m_matched = static_cast<int>(i);
            m_allowDrop = true;
            break;
        }
    }
    QueryDrop(keys, effect);
    return S_OK;
}

HRESULT CIDropTarget::DragOver(DWORD keys, POINTL point, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    if (m_helper) {
        POINT pt{point.x, point.y};
        m_helper->DragOver(&pt, *effect);
    }
    QueryDrop(keys, effect);
    return S_OK;
}

HRESULT CIDropTarget::DragLeave() {
    if (m_helper) m_helper->DragLeave();
    m_allowDrop = false;
    m_matched = -1;
    return S_OK;
}

HRESULT CIDropTarget::Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) {
    if (!data || !effect) return E_INVALIDARG;
    if (m_helper) {
        POINT pt{point.x, point.y};
        m_helper->Drop(data, &pt, *effect);
    }
    bool taken = false;
    if (QueryDrop(keys, effect) && m_matched >= 0) {
        FORMATETC format = m_accepted[static_cast<size_t>(m_matched)];
        STGMEDIUM medium{};
        if (SUCCEEDED(data->GetData(&format, &medium))) {
            taken = true;
            if (OnDrop(&format, medium, effect)) ReleaseStgMedium(&medium);
        }
    }
    // The source learns what the drop did: a move it is told about deletes the original.
    if (!taken) *effect = DROPEFFECT_NONE;
    m_allowDrop = false;
    m_matched = -1;
    return S_OK;
}

bool CIDropTarget::RegisterDropTarget(HWND window) {
    RevokeDropTarget();
    if (!window) return false;
    if (!m_helper) {
        CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDropTargetHelper,
                         m_helper.ReceiveVoid());
    }
    if (FAILED(RegisterDragDrop(window, this))) return false;
    if (!SetWindowSubclass(window, RevokeOnDestroy, reinterpret_cast<UINT_PTR>(this),
                           reinterpret_cast<DWORD_PTR>(this))) {
        RevokeDragDrop(window);
        return false;
    }
    m_window = window;
    return true;
}

void CIDropTarget::RevokeDropTarget() {
    if (!m_window) return;
    const HWND window = m_window;
    m_window = nullptr;
    RemoveWindowSubclass(window, RevokeOnDestroy, reinterpret_cast<UINT_PTR>(this));
    RevokeDragDrop(window);
    m_allowDrop = false;
    m_matched = -1;
}

void CIDropTarget::AddAcceptedFormat(CLIPFORMAT format, DWORD tymed) {
    m_accepted.push_back(FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, tymed});
}

void CIDropTarget::RemoveAllAcceptedFormats() {
    m_accepted.clear();
    m_matched = -1;
    m_allowDrop = false;
}

bool CIDropTarget::QueryDrop(DWORD keys, DWORD* effect) {
    const DWORD offered = *effect;
    DWORD chosen = DROPEFFECT_NONE;
    if (m_allowDrop) {
        const bool control = (keys & MK_CONTROL) != 0;
        const bool shift = (keys & MK_SHIFT) != 0;
        if (control || shift) {
            const DWORD asked = control && shift ? DROPEFFECT_LINK : control ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
            if (offered & asked) chosen = asked;
        } else {
            for (const DWORD candidate : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK}) {
                if (offered & candidate) {
                    chosen = candidate;
                    break;
                }
            }
        }
    }
    *effect = chosen;
    return chosen != DROPEFFECT_NONE;
}

bool RegisterImageDropTarget(CIDropTarget& target, HWND window) {
    target.RemoveAllAcceptedFormats();
    target.AddAcceptedFormat(CF_BITMAP, TYMED_GDI);
    target.AddAcceptedFormat(CF_DIB, TYMED_HGLOBAL);
    target.AddAcceptedFormat(CF_HDROP, TYMED_HGLOBAL);
    target.AddAcceptedFormat(CF_ENHMETAFILE, TYMED_ENHMF);
    return target.RegisterDropTarget(window);
}

bool DropImageOnWindow(HWND window, const FORMATETC& format, STGMEDIUM& medium) {
    // The drop ends the mouse gesture: the window sees the release where it happened.
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(cursor.x, cursor.y));

    UniqueBitmap bitmap;
    if (format.cfFormat == CF_DIB && medium.tymed == TYMED_HGLOBAL) {
        bitmap = BitmapFromPackedDib(medium.hGlobal);
    } else if (format.cfFormat == CF_BITMAP && medium.tymed == TYMED_GDI) {
        // A bitmap with a release owner still belongs to the source: show a copy.
        if (!medium.pUnkForRelease) return !OfferWindowImage(window, medium.hBitmap);
        bitmap.reset(static_cast<HBITMAP>(CopyImage(medium.hBitmap, IMAGE_BITMAP, 0, 0, 0)));
    } else if (format.cfFormat == CF_ENHMETAFILE && medium.tymed == TYMED_ENHMF) {
        bitmap = BitmapFromMetafile(window, medium.hEnhMetaFile);
    } else if (format.cfFormat == CF_HDROP && medium.tymed == TYMED_HGLOBAL) {
        bitmap = BitmapFromFileDrop(medium.hGlobal);
    }
    if (bitmap && OfferWindowImage(window, bitmap.get())) bitmap.release();
    return true;
}

}  // namespace KvUI
