#pragma once
// A small in-process ActiveX control for the host tests: windowless or
// windowed by class, it records every call the host makes on it, paints its
// bounds in one colour and reports what the host gave it (accelerator table,
// frame, site) and how many references were left when it let them go.
#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

namespace kvtest {

// Registered in the test program with CoRegisterClassObject.
extern const CLSID kWindowlessObjectClsid;
extern const CLSID kWindowedObjectClsid;
// Its class object refuses to create anything.
extern const CLSID kRefusedObjectClsid;
// Served only by the test module's DllGetClassObject.
extern const CLSID kModuleObjectClsid;

// The colour a windowless test object paints (0x00RRGGBB).
constexpr DWORD kObjectColour = 0x2080C0;

// What the host did to the test objects of this module.
struct OleRecord {
    std::vector<std::string> calls;
    int live = 0;
    int creations = 0;
    HACCEL accelerators = nullptr;
    // The count a reference had left when the object released it, or -1.
    LONG frameRefsLeft = -1;
    LONG clientSiteRefsLeft = -1;
    // The client site while the object holds it (no reference of its own).
    IOleClientSite* site = nullptr;

    // Forgets everything but the objects still alive.
    void Clear() {
        const int alive = live;
        *this = OleRecord{};
        live = alive;
    }
};
OleRecord& Record();

// A class object for `clsid`, with one reference for the caller.
IClassFactory* NewTestClassFactory(REFCLSID clsid);

}  // namespace kvtest
