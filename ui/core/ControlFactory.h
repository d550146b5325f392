#pragma once
// The process-wide table from a control class name to the function that
// creates a control of that class; the dialog builder creates controls by
// tag through it.
#include <windows.h>

#include <map>

#include "ui/core/UIString.h"

namespace KvUI {

class CControlUI;

// Creates one new control; the caller owns it.
using CreateClass = CControlUI* (*)();

class CControlFactory;
// Registers a set of classes into a new factory.
using RegisterClasses = void (*)(CControlFactory& factory);

class CControlFactory {
public:
    CControlFactory(const CControlFactory&) = delete;
    CControlFactory& operator=(const CControlFactory&) = delete;
    virtual ~CControlFactory() = default;

    // Made on first use; deleted by DestroyInstance when the library terminates.
    static CControlFactory* GetInstance();
    static void DestroyInstance();
    // The library's standard classes: every new instance starts with them. The
    // controls live in libraries above this one, so the unit at the top of the
    // library, which links them all, installs these when the program starts.
    static void SetStandardClasses(RegisterClasses registerClasses);

    // A new control of the class named `className` (any letter case), or null
    // when nobody registered that name.
    CControlUI* CreateControl(LPCTSTR className) const;
    void RegistControl(LPCTSTR className, CreateClass creator);

private:
    CControlFactory();

    struct NameLess {
        bool operator()(const CUIString& a, const CUIString& b) const { return a.Compare(b) < 0; }
    };
    // Keys are lower-cased class names.
    std::map<CUIString, CreateClass, NameLess> m_creators;
};

}  // namespace KvUI
