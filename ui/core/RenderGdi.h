#pragma once
// The render engine draws with the project's GDI owners: no drawing path can
// leak a DC, bitmap, region, pen or brush, or leave one selected.
#include "win/GdiOwners.h"

namespace KvUI {

using kvwin::CreateDib32;
using kvwin::DibSection;
using kvwin::MemoryDib;
using kvwin::ScopedSelect;
using kvwin::UniqueBitmap;
using kvwin::UniqueBrush;
using kvwin::UniqueFont;
using kvwin::UniqueGdiObject;
using kvwin::UniqueMemoryDC;
using kvwin::UniquePen;
using kvwin::UniqueRegion;
using kvwin::WindowDC;

}  // namespace KvUI
