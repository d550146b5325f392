#pragma once
// Builds the document tree from markup, forgiving like a browser: missing
// end tags are implied, stray ones ignored, void elements never hold
// children, unknown tags are kept as elements, and the raw text of <script>,
// <style>, <title> and <textarea> ends only at its own end tag.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "engine/impl/Dom.h"

namespace kvengine {

// Deeper elements become siblings at this depth, as in the browsers: the
// depth of every later walk stays bounded whatever the markup nests.
constexpr size_t kMaxTreeDepth = 512;

struct InlineScript {
    std::wstring code;
    int line = 1;  // where the script's text starts in the document
};

std::unique_ptr<Document> ParseDocument(const std::wstring& html);
// Parses `html` into `parent`'s children (innerHTML): scripts in it never run.
void ParseFragment(Document& document, Node* parent, const std::wstring& html);
// The document's classic inline scripts in document order.
std::vector<InlineScript> InlineScripts(const Document& document);
// Character references; one that is not understood stays as written.
std::wstring DecodeEntities(const std::wstring& text);

}  // namespace kvengine
