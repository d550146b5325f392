#pragma once
// Keeps the shell's drag-image object alive for the length of one drag and
// releases it once when the drag is over.
#include <windows.h>
#include <shlobj.h>

#include "win/ComRef.h"

namespace KvUI {

using CDragSourceHelper = kvwin::CComRef<IDragSourceHelper>;

}  // namespace KvUI
