#pragma once
// What the engine takes from a document (it has no DOM): the title, the text
// a reader sees (tags removed, white space collapsed, a line per block), and
// the inline classic scripts in document order.
#include <string>
#include <vector>

namespace kvengine {

struct InlineScript {
    std::wstring code;
    int line = 1;  // where the script's text starts in the document
};

struct HtmlDocument {
    std::wstring title;
    std::wstring text;
    std::vector<InlineScript> scripts;
};

HtmlDocument ParseHtml(const std::wstring& html);

}  // namespace kvengine
