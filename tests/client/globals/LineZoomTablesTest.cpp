// The fixed tables of server lines and zoom levels and the line selection's range rule.
#include <gtest/gtest.h>

#include "client/LineZoomTables.h"
#include "support/TestKit.h"

namespace kvclient {
namespace {

using kvtest::Gbk;

TEST(ServerLines, ThreeLinesWithTheirGbkLabelsInOrder) {
    ASSERT_EQ(3u, g_serverLines.size());
    EXPECT_EQ(Gbk(u8"v7.0最新版"), g_serverLines[0].label);
    EXPECT_EQ(Gbk(u8"v6.0线路一"), g_serverLines[1].label);
    EXPECT_EQ(Gbk(u8"v6.0线路二"), g_serverLines[2].label);
    for (const ServerLine& line : g_serverLines) EXPECT_FALSE(line.url.empty()) << line.label;
}

TEST(ZoomLevels, SixLevelsFromMinusTwoToThreeWithTheirGbkLabels) {
    const std::vector<std::pair<std::string, int>> expected = {
        {u8"小2级", -2}, {u8"小1级", -1}, {u8"正常", 0}, {u8"大1级", 1}, {u8"大2级", 2}, {u8"大3级", 3}};
    ASSERT_EQ(expected.size(), g_zoomLevels.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(Gbk(expected[i].first), g_zoomLevels[i].label) << i;
        EXPECT_EQ(expected[i].second, g_zoomLevels[i].level) << i;
    }
}

TEST(LineSelection, StartsAtTheFirstLineAndTakesOnlyIndicesOfTheTable) {
    EXPECT_EQ(0, g_selectedLine);
    EXPECT_EQ(0, g_selectedZoom);
    SetSelectedLine(2);
    EXPECT_EQ(2, g_selectedLine);
    SetSelectedLine(3);
    EXPECT_EQ(2, g_selectedLine);
    SetSelectedLine(-1);
    EXPECT_EQ(2, g_selectedLine);
    SetSelectedLine(0);
    EXPECT_EQ(0, g_selectedLine);
}

}  // namespace
}  // namespace kvclient
