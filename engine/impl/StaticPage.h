#pragma once
// A page shown without a renderer (the developer tools' source, or a page
// whose renderer is gone): parsed, styled and laid out without scripts. It
// costs what the document holds, so callers run it off the UI thread.
#include <memory>
#include <string>

#include "engine/impl/DisplayList.h"
#include "engine/impl/Layout.h"

namespace kvengine {

struct StaticPage {
    std::wstring title;
    std::wstring text;
    std::shared_ptr<const DisplayList> display;
};

// `source`: show the text itself as the page's source, not as markup.
StaticPage RenderStaticPage(const std::wstring& text, bool source, const Viewport& viewport);

}  // namespace kvengine
