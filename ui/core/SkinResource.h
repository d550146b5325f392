#pragma once
// A program's skin packed into its own module as a "ZIPRES" resource.
#include <windows.h>

namespace KvUI {

// Hands `module` to the UI library and tells it to take every skin file from
// the zip resource `id` of that module. False when the resource is missing or
// empty: the windows then fail to load their skins.
bool AttachSkinResourceZip(HINSTANCE module, int id);

}  // namespace KvUI
