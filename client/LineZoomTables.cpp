#include "client/LineZoomTables.h"

namespace kvclient {

// The addresses are deployment data, given to the build (see client/CMakeLists.txt).
std::vector<ServerLine> BuildServerLines() {
    return {
        {"v7.0最新版", KV_LINE_URL_0},
        {"v6.0线路一", KV_LINE_URL_1},
        {"v6.0线路二", KV_LINE_URL_2},
    };
}

std::vector<ZoomLevel> BuildZoomLevels() {
    return {
        {"小2级", -2},
        {"小1级", -1},
        {"正常", 0},
        {"大1级", 1},
        {"大2级", 2},
        {"大3级", 3},
    };
}

const std::vector<ServerLine> g_serverLines = BuildServerLines();
const std::vector<ZoomLevel> g_zoomLevels = BuildZoomLevels();
int g_selectedLine = 0;
int g_selectedZoom = 0;

void SetSelectedLine(int index) {
    if (index >= 0 && index < static_cast<int>(g_serverLines.size())) g_selectedLine = index;
}

}  // namespace kvclient
