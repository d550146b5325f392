#pragma once
// What a browser's window shows at a moment: read by the testing interface.
#include <string>

namespace kvengine {

struct ShownPage {
    std::wstring title;
    std::wstring text;
    int scroll = 0;
    double zoomLevel = 0;
    bool loading = false;
};

}  // namespace kvengine
