#include "engine/CefString.h"

#include "win/TextConversion.h"

namespace kvengine {

CefString::CefString(const char* utf8) : m_text(utf8 ? kvwin::Utf8ToWide(utf8) : std::wstring()) {}
CefString::CefString(const std::string& utf8) : m_text(kvwin::Utf8ToWide(utf8)) {}
CefString::CefString(const wchar_t* wide) : m_text(wide ? wide : L"") {}
CefString::CefString(const std::wstring& wide) : m_text(wide) {}

std::string CefString::ToString() const { return kvwin::WideToUtf8(m_text); }

void CefString::FromString(const std::string& utf8) { m_text = kvwin::Utf8ToWide(utf8); }

}  // namespace kvengine
