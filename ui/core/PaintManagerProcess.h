#pragma once
// The paint manager's process-wide state, shared by its source files only.
#include <windows.h>

#include <algorithm>
#include <vector>

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
    UniqueZip zip;
    int resourceType = 0;

    CPaintManagerUI::ResourceSet shared;
    bool sharedFontReady = false;

    // Every live manager, in the order they were bound to their windows.
    std::vector<CPaintManagerUI*> managers;
    CUIPtrArray plugins;

    short hue = 180;
    short saturation = 100;
    short lightness = 100;
    bool adjustColors = false;

    // Made once, by the first manager, and kept for the process's life.
    bool initialised = false;
    HMODULE msimg32 = nullptr;
    kvwin::UniquePen showDirtyPen;
};

ProcessState& Process();

template <class T>
bool Contains(const std::vector<T*>& list, const T* item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Removes the first entry that is `item`; false when there is none.
template <class T>
bool RemoveFirst(std::vector<T*>& list, const T* item) {
    const auto at = std::find(list.begin(), list.end(), item);
    if (at == list.end()) return false;
    list.erase(at);
    return true;
}

}  // namespace paintmanager
}  // namespace KvUI
