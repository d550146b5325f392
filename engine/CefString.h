#pragma once
// The engine's string: UTF-16 text, converted to and from UTF-8 (the form
// URLs and message names travel in) and wide strings at the boundaries.
#include <string>

namespace kvengine {

class CefString {
public:
    CefString() = default;
    CefString(const char* utf8);
    CefString(const std::string& utf8);
    CefString(const wchar_t* wide);
    CefString(const std::wstring& wide);
    CefString(std::wstring&& wide) : m_text(std::move(wide)) {}

    // UTF-8; invalid UTF-16 (a lone surrogate) becomes U+FFFD.
    std::string ToString() const;
    std::wstring ToWString() const { return m_text; }
    // Replaces the text; invalid UTF-8 sequences become U+FFFD.
    void FromString(const std::string& utf8);
    void FromWString(const std::wstring& wide) { m_text = wide; }

    operator std::string() const { return ToString(); }
    operator std::wstring() const { return m_text; }

    const wchar_t* c_str() const { return m_text.c_str(); }
    size_t length() const { return m_text.length(); }
    bool empty() const { return m_text.empty(); }
    void clear() { m_text.clear(); }
    int compare(const CefString& other) const { return m_text.compare(other.m_text); }

    friend bool operator==(const CefString& a, const CefString& b) { return a.m_text == b.m_text; }
    friend bool operator!=(const CefString& a, const CefString& b) { return a.m_text != b.m_text; }
    friend bool operator<(const CefString& a, const CefString& b) { return a.m_text < b.m_text; }

private:
    static_assert(sizeof(wchar_t) == 2, "the engine's strings are UTF-16");
    std::wstring m_text;
};

}  // namespace kvengine
