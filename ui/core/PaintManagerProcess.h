#pragma once
// The paint manager's process-wide state, shared by its source files only.
#include <windows.h>

#include "ui/core/PaintManagerUI.h"

namespace KvUI {
namespace paintmanager {

struct ProcessState {
    HINSTANCE instance = nullptr;
    HINSTANCE resourceDll = nullptr;
    CUIString resourcePath;
    CUIString zipName;
    CUIString zipPassword;
    bool zipKeptOpen = false;
    HZIP zip = nullptr;
    int resourceType = 0;

    CPaintManagerUI::ResourceSet shared;
    bool sharedFontReady = false;

    // Every live manager, in the order they were bound to their windows.
    CUIPtrArray managers;
    CUIPtrArray plugins;

    short hue = 180;
    short saturation = 100;
    short lightness = 100;
    bool adjustColors = false;

    // Made once, by the first manager, and kept for the process's life.
    bool initialised = false;
    HMODULE msimg32 = nullptr;
    HPEN showDirtyPen = nullptr;
};

ProcessState& Process();

// Frees every entry of a resource map whose values are of type T.
template <class T, class Free>
void FreeMapValues(CUIStringMap& map, Free free) {
    for (int i = 0; i < map.GetSize(); ++i) {
        if (LPCTSTR key = map.GetAt(i)) free(static_cast<T*>(map.Find(key, false)));
    }
    map.RemoveAll();
}

}  // namespace paintmanager
}  // namespace KvUI
