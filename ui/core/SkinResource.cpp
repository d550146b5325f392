#include "ui/core/SkinResource.h"

#include "ui/core/PaintManagerUI.h"

namespace KvUI {

namespace {
// The library's resource type for a skin zip held in a program resource.
constexpr int kZipInResource = 4;
}  // namespace

bool AttachSkinResourceZip(HINSTANCE module, int id) {
    CPaintManagerUI::SetInstance(module);
    CPaintManagerUI::SetResourceType(kZipInResource);
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"ZIPRES");
    if (!found) return false;
    const HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    if (!loaded || size == 0) return false;
    // Resource memory lives as long as the module: nothing to free.
    CPaintManagerUI::SetResourceZip(LockResource(loaded), static_cast<int>(size));
    return true;
}

}  // namespace KvUI
