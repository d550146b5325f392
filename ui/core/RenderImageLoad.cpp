// Loading images: bytes from a module resource, the skin zip, the resource
// folder or a plain path, decoded into 32-bit premultiplied DIB sections.
#include <objidl.h>

#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "stb_image.h"
#include "ui/core/PaintManagerUI.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/RenderGdi.h"
#include "ui/core/RenderGdiplus.h"
#include "ui/core/ResourceManager.h"
#include "ui/core/SkinFile.h"
#include "win/ComRef.h"
#include "win/TextConversion.h"
#include "win/UniqueHandle.h"

namespace KvUI {
namespace {

// Encoded image bytes: read into `storage`, or borrowed from a module resource.
struct EncodedImage {
    std::vector<BYTE> storage;
    const BYTE* data = nullptr;
    size_t size = 0;

    bool Empty() const { return size == 0; }
    void UseStorage() {
        data = storage.data();
        size = storage.size();
    }
};

bool ReadModuleResource(LPCTSTR name, LPCTSTR type, HINSTANCE instance, EncodedImage& out) {
    const HMODULE module = instance ? instance : CPaintManagerUI::GetResourceDll();
    HRSRC resource = FindResourceW(module, name, type);
    if (!resource) return false;
    HGLOBAL loaded = LoadResource(module, resource);
    const DWORD size = SizeofResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || size == 0) return false;
    // Module resources stay mapped while the module is loaded: decode in place.
    out.data = static_cast<const BYTE*>(data);
    out.size = size;
    return true;
}

bool ReadPlainFile(LPCTSTR path, EncodedImage& out) {
    if (IS_INTRESOURCE(path) || !ReadWholeFile(path, out.storage)) return false;
    out.UseStorage();
    return true;
}

// The resource folder or the skin zip, then the name as a path of its own.
bool ReadImageFile(LPCTSTR name, EncodedImage& out) {
    if (!IS_INTRESOURCE(name) && ReadSkinFile(name, out.storage)) {
        out.UseStorage();
        return true;
    }
    return ReadPlainFile(name, out);
}

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

TImageInfo* DecodeImage(const EncodedImage& encoded, DWORD mask) {
    if (encoded.Empty() || encoded.size > static_cast<size_t>(INT_MAX)) return nullptr;
    int width = 0;
    int height = 0;
    int components = 0;
    const std::unique_ptr<stbi_uc, StbFree> rgba(stbi_load_from_memory(
        encoded.data, static_cast<int>(encoded.size), &width, &height, &components, 4));
    if (!rgba || width <= 0 || height <= 0) return nullptr;

    void* bits = nullptr;
    // Top-down, like the decoder's rows.
    UniqueBitmap bitmap(CreateDib32(nullptr, width, height, true, &bits));
    if (!bitmap || !bits) return nullptr;

    bool hasAlpha = false;
    const stbi_uc* src = rgba.get();
    DWORD* dest = static_cast<DWORD*>(bits);
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i, src += 4) {
        const DWORD a = src[3];
        DWORD r = src[0];
        DWORD g = src[1];
        DWORD b = src[2];
        if (a != 255) {
            r = r * a / 255;
            g = g * a / 255;
            b = b * a / 255;
            hasAlpha = true;
        }
        DWORD pixel = (a << 24) | (r << 16) | (g << 8) | b;
        if (mask != 0 && pixel == mask) {
            pixel = 0;
            hasAlpha = true;
        }
        dest[i] = pixel;
    }

    auto image = std::make_unique<TImageInfo>();
    image->bitmap = static_cast<HBITMAP>(bitmap.release());
    image->width = width;
    image->height = height;
    image->hasAlpha = hasAlpha;
    return image.release();
}

}  // namespace

void GdiplusImageDeleter::operator()(Gdiplus::GpImage* image) const {
    Gdiplus::DllExports::GdipDisposeImage(image);
}

std::unique_ptr<char[]> WideToMultiByte(LPCWSTR text, UINT codePage) {
    if (!text) return nullptr;
    const std::string converted = kvwin::WideToCodePage(text, codePage);
    // The terminator and one spare zero byte.
    std::unique_ptr<char[]> out(new (std::nothrow) char[converted.size() + 2]());
    if (out) memcpy(out.get(), converted.data(), converted.size());
    return out;
}

TImageInfo* CRenderEngine::LoadImage(LPCTSTR name, LPCTSTR type, DWORD mask, HINSTANCE instance) {
    if (!name) return nullptr;
    EncodedImage encoded;
    if (type && *type) {
        if (!ReadModuleResource(name, type, instance, encoded)) ReadPlainFile(name, encoded);
    } else {
        ReadImageFile(name, encoded);
    }
    return DecodeImage(encoded, mask);
}

TImageInfo* CRenderEngine::LoadImageFromString(LPCTSTR name, LPCTSTR type, DWORD mask, HINSTANCE instance) {
    if (!name) return nullptr;
    if (!type || !*type) {
        if (LPCTSTR alias = CResourceTextRegistry::GetInstance()->FindInSecondMap(name)) name = alias;
    }
    return LoadImage(name, type, mask, instance);
}

TImageInfo* CRenderEngine::LoadImageById(UINT id, LPCTSTR type, DWORD mask, HINSTANCE instance) {
    return LoadImage(MAKEINTRESOURCEW(id), type, mask, instance);
}

void CRenderEngine::FreeImage(TImageInfo* image, bool deleteRecord) {
    if (!image) return;
    UniqueBitmap(std::exchange(image->bitmap, nullptr)).reset();
    std::vector<BYTE>().swap(image->pixels);
    std::vector<BYTE>().swap(image->sourcePixels);
    if (deleteRecord) delete image;
}

GdiplusImagePtr CRenderEngine::LoadGifImage(LPCTSTR drawString) {
    TImageDrawSpec spec;
    spec.Parse(drawString, nullptr, nullptr);
    if (spec.imageName.IsEmpty()) return nullptr;
    EncodedImage encoded;
    if (!ReadImageFile(spec.imageName, encoded)) return nullptr;

    kvwin::UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, encoded.size));
    if (!block) return nullptr;
    void* data = GlobalLock(block.get());
    if (!data) return nullptr;
    memcpy(data, encoded.data, encoded.size);
    GlobalUnlock(block.get());
    kvwin::CComRef<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, stream.Receive()))) return nullptr;
    // The stream owns the block from here and frees it on its last release.
    block.release();
    Gdiplus::GpImage* image = nullptr;
    // GDI+ keeps its own reference to the stream for as long as the image lives.
    const Gdiplus::GpStatus status = Gdiplus::DllExports::GdipLoadImageFromStream(stream.Get(), &image);
    if (status != Gdiplus::Ok) return nullptr;
    return GdiplusImagePtr(image);
}

}  // namespace KvUI
