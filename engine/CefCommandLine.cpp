#include "engine/CefCommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include <mutex>
#include <utility>

#include "engine/impl/Utf.h"
#include "win/RefCounted.h"
#include "win/UniqueHandle.h"

namespace kvengine {

namespace {

// "--name=value", "-name" and "/name" are switches; "--" alone ends them.
size_t SwitchPrefixLength(const std::wstring& arg) {
    if (arg.compare(0, 2, L"--") == 0) return 2;
    if (!arg.empty() && (arg[0] == L'-' || arg[0] == L'/')) return 1;
    return 0;
}

std::wstring SwitchKey(const std::wstring& name) {
    return AsciiLower(name.substr(SwitchPrefixLength(name)));
}

// Quotes an argument so that CommandLineToArgvW splits it back as it was.
std::wstring Quote(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

class CommandLineImpl : public kvwin::RefCounted<CefCommandLine> {
public:
    void InitFromString(const CefString& commandLine) override {
        m_program.clear();
        m_switches.clear();
        m_arguments.clear();
        int argc = 0;
        LPWSTR* argv = CommandLineToArgvW(commandLine.c_str(), &argc);
        const kvwin::UniqueLocal argvMemory(argv);
        if (!argv) return;
        bool switchesEnded = false;
        for (int i = 0; i < argc; ++i) {
            const std::wstring arg = argv[i];
            if (i == 0) {
                m_program = arg;
            } else if (!switchesEnded && arg == L"--") {
                switchesEnded = true;
            } else if (!switchesEnded && SwitchPrefixLength(arg) > 0 && arg.size() > SwitchPrefixLength(arg)) {
                const size_t eq = arg.find(L'=');
                if (eq == std::wstring::npos) Put(arg, {});
                else Put(arg.substr(0, eq), arg.substr(eq + 1));
            } else {
                m_arguments.push_back(arg);
            }
        }
    }

    CefString GetCommandLineString() override {
        std::wstring out = Quote(m_program);
        for (const auto& [name, value] : m_switches) {
            out += L" --" + name;
            if (!value.empty()) out += L"=" + Quote(value);
        }
        if (!m_arguments.empty()) out += L" --";
        for (const auto& arg : m_arguments) out += L" " + Quote(arg);
        return out;
    }

    CefString GetProgram() override { return m_program; }
    void SetProgram(const CefString& program) override { m_program = program.ToWString(); }

    bool HasSwitch(const CefString& name) override { return Find(SwitchKey(name)) != m_switches.end(); }
    CefString GetSwitchValue(const CefString& name) override {
        const auto it = Find(SwitchKey(name));
        return it == m_switches.end() ? CefString() : CefString(it->second);
    }
    void AppendSwitch(const CefString& name) override { Put(name.ToWString(), {}); }
    void AppendSwitchWithValue(const CefString& name, const CefString& value) override {
        Put(name.ToWString(), value.ToWString());
    }
    void GetArguments(std::vector<CefString>& arguments) override {
        arguments.assign(m_arguments.begin(), m_arguments.end());
    }

private:
    typedef std::vector<std::pair<std::wstring, std::wstring>> SwitchList;

    SwitchList::iterator Find(const std::wstring& key) {
        for (auto it = m_switches.begin(); it != m_switches.end(); ++it) {
            if (it->first == key) return it;
        }
        return m_switches.end();
    }
    void Put(const std::wstring& name, std::wstring value) {
        const std::wstring key = SwitchKey(name);
        if (key.empty()) return;
        const auto it = Find(key);
        if (it != m_switches.end()) it->second = std::move(value);
        else m_switches.emplace_back(key, std::move(value));
    }

    std::wstring m_program;
    SwitchList m_switches;  // in the order they were given
    std::vector<std::wstring> m_arguments;
};

}  // namespace

CefRefPtr<CefCommandLine> CefCommandLine::CreateCommandLine() { return new CommandLineImpl(); }

CefRefPtr<CefCommandLine> CefCommandLine::GetGlobalCommandLine() {
    // Made once from the process's command line; the application adds its
    // switches to this same object while the engine starts.
    static CefRefPtr<CefCommandLine> global = [] {
        CefRefPtr<CefCommandLine> line = new CommandLineImpl();
        line->InitFromString(GetCommandLineW());
        return line;
    }();
    return global;
}

}  // namespace kvengine
