#pragma once
// The client's fixed tables of server lines (the web address the browser
// opens) and page zoom levels, and the process-wide choice in each. The
// labels are GBK texts; the indices persist in "config.ini".
#include <string>
#include <vector>

namespace kvclient {

struct ServerLine {
    std::string label;
    std::string url;
};

struct ZoomLevel {
    std::string label;
    int level;  // handed to the browser's zoom setter
};

std::vector<ServerLine> BuildServerLines();
std::vector<ZoomLevel> BuildZoomLevels();

extern const std::vector<ServerLine> g_serverLines;
extern const std::vector<ZoomLevel> g_zoomLevels;
extern int g_selectedLine;
// Writers keep it within 0 .. g_zoomLevels.size() - 1.
extern int g_selectedZoom;

// Selects the line when the index names one; otherwise keeps the selection.
void SetSelectedLine(int index);
// The same for the zoom.
void SetSelectedZoom(int index);

}  // namespace kvclient
