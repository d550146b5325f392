#include "client/LineZoomTables.h"

#include "client/Deployment.h"

namespace kvclient {

// The addresses are deployment data, linked into each program (client/Deployment.h).
std::vector<ServerLine> BuildServerLines() {
    return {
        {"v7.0最新版", kServerLineUrls[0]},
        {"v6.0线路一", kServerLineUrls[1]},
        {"v6.0线路二", kServerLineUrls[2]},
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

void SetSelectedZoom(int index) {
    if (index >= 0 && index < static_cast<int>(g_zoomLevels.size())) g_selectedZoom = index;
}

}  // namespace kvclient
