// The module that serves the test object for the host's "modulename": its
// DllGetClassObject knows only the module's own class, so an object of that
// class can come from nowhere else.
#include "controls/activex/TestOleObject.h"
#include "win/ComRef.h"

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != kvtest::kModuleObjectClsid) return CLASS_E_CLASSNOTAVAILABLE;
    const kvwin::CComRef<IClassFactory> factory(kvtest::NewTestClassFactory(clsid));
    return factory->QueryInterface(iid, out);
}

// How many of the module's objects are alive.
extern "C" __declspec(dllexport) int KvTestLiveObjects() { return kvtest::Record().live; }
