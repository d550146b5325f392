#pragma once
// Turns a document's bytes into UTF-8: a byte-order mark wins, then the
// response's charset, then a <meta> charset near the start, then the default.
#include <string>

namespace kvengine {

std::string DecodeDocument(const std::string& bytes, const std::string& responseCharset,
                           const std::wstring& defaultEncoding);

}  // namespace kvengine
