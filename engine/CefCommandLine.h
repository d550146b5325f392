#pragma once
// A program's command line: the program, its switches ("--name" or
// "--name=value", names compared in lower case) and its other arguments.
#include <vector>

#include "engine/CefBase.h"
#include "engine/CefString.h"

namespace kvengine {

class CefCommandLine : public CefBase {
public:
    static CefRefPtr<CefCommandLine> CreateCommandLine();
    // This process's command line with the switches the application added.
    static CefRefPtr<CefCommandLine> GetGlobalCommandLine();

    virtual void InitFromString(const CefString& commandLine) = 0;
    virtual CefString GetCommandLineString() = 0;
    virtual CefString GetProgram() = 0;
    virtual void SetProgram(const CefString& program) = 0;

    virtual bool HasSwitch(const CefString& name) = 0;
    virtual CefString GetSwitchValue(const CefString& name) = 0;
    // A name may carry its own leading "--"; a second append of a name replaces its value.
    virtual void AppendSwitch(const CefString& name) = 0;
    virtual void AppendSwitchWithValue(const CefString& name, const CefString& value) = 0;
    virtual void GetArguments(std::vector<CefString>& arguments) = 0;
};

}  // namespace kvengine
