// The tile layout's columns, cells and rows, and the child layout that
// builds its content from another skin file.
#include <gtest/gtest.h>


#include "lists/ListsKit.h"
#include "ui/lists/ChildLayoutUI.h"
#include "ui/lists/TileLayoutUI.h"

namespace kvtest {
namespace {

// A 300 x 200 tile layout at the window's top left with `children`.
CTileLayoutUI* OpenTile(Host& host, const std::wstring& attributes, const std::wstring& children) {
    host.Build(Skin(L"<TileLayout name=\"t\" " + attributes + L">" + children + L"</TileLayout>"));
    return host.Find<CTileLayoutUI>(L"t");
}

std::wstring Boxes(int count, const std::wstring& attributes = L"width=\"40\" height=\"20\"") {
    std::wstring xml;
    for (int i = 0; i < count; ++i) xml += L"<Control name=\"c" + std::to_wstring(i) + L"\" " + attributes + L"/>";
    return xml;
}

struct Columns {
    const wchar_t* attributes;
    int columns;
};
class TileColumns : public ::testing::TestWithParam<Columns> {};

TEST_P(TileColumns, FollowTheItemWidthOrTheColumnsValue) {
    Host host;
    CTileLayoutUI* tile = OpenTile(host, GetParam().attributes, Boxes(7));
    ASSERT_NE(nullptr, tile);
    EXPECT_EQ(GetParam().columns, tile->GetColumns());
    // The child after the first row starts the second row, in the first column.
    const RECT first = host.Find<CControlUI>(L"c0")->GetPos();
    const RECT next = host.Find<CControlUI>((L"c" + std::to_wstring(GetParam().columns)).c_str())->GetPos();
    EXPECT_EQ(first.left, next.left);
    EXPECT_EQ(first.top + 20, next.top);
}

INSTANTIATE_TEST_SUITE_P(Values, TileColumns,
                         ::testing::Values(Columns{L"", 1}, Columns{L"columns=\"3\"", 3},
                                           Columns{L"columns=\"3\" itemsize=\"100,30\"", 3},
                                           Columns{L"itemsize=\"70,30\"", 4}, Columns{L"itemsize=\"900,30\"", 1},
                                           Columns{L"columns=\"0\"", 1}, Columns{L"columns=\"-2\"", 1},
                                           Columns{L"columns=\"2\" itemsize=\"0\"", 2},
                                           Columns{L"itemsize=\"150\"", 2}));

TEST(TileLayout, CentresEachChildInItsCellAndSkipsHiddenOnes) {
    Host host;
    OpenTile(host, L"columns=\"3\"",
             L"<Control name=\"a\" width=\"40\" height=\"20\"/><Control name=\"h\" visible=\"false\"/>"
             L"<Control name=\"b\" width=\"40\" height=\"40\"/><Control name=\"c\" width=\"40\" height=\"20\"/>");
    // Cells of 100; the row is as high as its tallest child.
    EXPECT_EQ((RECT{30, 10, 70, 30}), host.Find<CControlUI>(L"a")->GetPos());
    EXPECT_EQ((RECT{130, 0, 170, 40}), host.Find<CControlUI>(L"b")->GetPos());
    EXPECT_EQ((RECT{230, 10, 270, 30}), host.Find<CControlUI>(L"c")->GetPos());
}

class ChildLayout : public ::testing::Test {
protected:
    static void Write(const char* name, const char* xml) {
        WriteFileText(WorkDirUnix() + "/" + name, xml);
    }
    void SetUp() override {
        UseWorkFolder();
        Write("part.xml", "<Window size=\"600,500\"><HorizontalLayout name=\"part\" bkcolor=\"#FF00FF00\"/></Window>");
        Write("broken.xml", "<Window><HorizontalLayout");
    }
};

TEST_F(ChildLayout, BuildsItsFileInsideTheHostWithoutChangingTheWindow) {
    Host host;
    host.Build(Skin(L"<ChildLayout xmlfile=\"part.xml\"/>"));
    ASSERT_NE(nullptr, host.Find<CControlUI>(L"part"));
    EXPECT_EQ(0x00FF00u, host.Pixel(150, 100));
    RECT rc;
    GetWindowRect(host.GetHWND(), &rc);
    EXPECT_EQ(300, rc.right - rc.left) << "the host keeps its size";
    EXPECT_NE(600, host.manager.GetInitSize().cx);
}

TEST_F(ChildLayout, AFileThatCannotBeBuiltLeavesItEmptyAndNoFileKeepsItsOwnChildren) {
    Host host;
    host.Build(Skin(L"<ChildLayout name=\"broken\" xmlfile=\"broken.xml\"><Control/></ChildLayout>"
                    L"<ChildLayout name=\"own\"><Control/></ChildLayout>"));
    EXPECT_EQ(0, host.Find<CChildLayoutUI>(L"broken")->GetCount());
    EXPECT_EQ(1, host.Find<CChildLayoutUI>(L"own")->GetCount());
}

}  // namespace
}  // namespace kvtest
