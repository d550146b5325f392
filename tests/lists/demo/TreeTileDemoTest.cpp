// A demo window with the group box, roll text, fade button, ring, colour
// palette, a tile layout and a tree view, built from one skin. It checks a
// few pixels; with KV_TREE_SCREENSHOT set to a Unix path it also photographs
// the screen while the window shows, for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>

#include "lists/ListsKit.h"
#include "ui/controls/RollTextUI.h"
#include "ui/lists/TreeNodeUI.h"
#include "ui/lists/TreeViewUI.h"

namespace kvtest {
namespace {

const wchar_t kSkin[] =
    LR"(<Window defaultfontcolor="#FF202020"><Font id="0" name="Tahoma" size="12" default="true"/>
<HorizontalLayout bkcolor="#FFF4F6F8" inset="10,10,10,10" childpadding="10">
 <VerticalLayout width="380" childpadding="8">
  <GroupBox text="Controls" bordersize="1" bordercolor="#FF7A8FA6" bkcolor="#FFF4F6F8" height="150" childpadding="6">
   <RollText name="roll" text="Welcome to the pet shop" textcolor="#FF1F6FD0" height="20" bkcolor="#FFFFFFFF"/>
   <HorizontalLayout height="40" childpadding="10">
    <FadeButton name="fade" width="80" normalimage="fade0.png" hotimage="fade1.png" text="Fade"/>
    <Ring name="ring" width="40" bkimage="ring.png"/>
   </HorizontalLayout>
  </GroupBox>
  <ColorPalette name="palette" height="230" palletheight="200" barheight="20" thumbimage="thumb.png"/>
 </VerticalLayout>
 <VerticalLayout childpadding="8">
  <TileLayout name="tile" height="110" itemsize="80,40" childpadding="4" bkcolor="#FFFFFFFF">
   <Label text="Cats" width="70" height="30" bkcolor="#FFE8B04A" align="center"/>
   <Label text="Dogs" width="70" height="30" bkcolor="#FF6AAAF0" align="center"/>
   <Label text="Birds" width="70" height="30" bkcolor="#FF7FD37F" align="center"/>
   <Label text="Fish" width="70" height="30" bkcolor="#FFD07070" align="center"/>
   <Label text="Mice" width="70" height="30" bkcolor="#FFB080D0" align="center"/>
  </TileLayout>
  <TreeView name="tree" visiblecheckbtn="TRUE" bkcolor="#FFFFFFFF" itemselectedbkcolor="#FFC1E3FF">
   <TreeNode text="Animals" folderattr="normalimage=&quot;folder1.png&quot; selectedimage=&quot;folder0.png&quot;"
     checkboxattr="normalimage=&quot;check0.png&quot; selectedimage=&quot;check1.png&quot;">
    <TreeNode text="Cats" checkboxattr="normalimage=&quot;check0.png&quot; selectedimage=&quot;check1.png&quot;"/>
    <TreeNode text="Dogs" folderattr="normalimage=&quot;folder1.png&quot; selectedimage=&quot;folder0.png&quot;"
      checkboxattr="normalimage=&quot;check0.png&quot; selectedimage=&quot;check1.png&quot;">
     <TreeNode text="Puppies" checkboxattr="normalimage=&quot;check0.png&quot; selectedimage=&quot;check1.png&quot;"/>
    </TreeNode>
   </TreeNode>
   <TreeNode text="Food" checkboxattr="normalimage=&quot;check0.png&quot; selectedimage=&quot;check1.png&quot;"/>
  </TreeView>
 </VerticalLayout>
</HorizontalLayout></Window>)";

TEST(TreeTileDemo, ShowsEveryNewControl) {
    MakeImage("fade0.png", {"-size", "80x40", "xc:#4A90D9"});
    MakeImage("fade1.png", {"-size", "80x40", "xc:#D06030"});
    MakeImage("ring.png", {"-size", "40x40", "xc:none", "-fill", "none", "-stroke", "#1F6FD0", "-strokewidth", "5",
                           "-draw", "arc 4,4 36,36 0,270"});
    MakeImage("thumb.png", {"-size", "8x8", "xc:none", "-fill", "none", "-stroke", "black", "-draw",
                            "circle 4,4 4,1"});
    MakeImage("folder0.png", {"-size", "18x18", "xc:none", "-fill", "#555555", "-draw", "polygon 5,4 13,9 5,14"});
    MakeImage("folder1.png", {"-size", "18x18", "xc:none", "-fill", "#555555", "-draw", "polygon 4,5 14,5 9,13"});
    MakeImage("check0.png", {"-size", "18x18", "xc:none", "-fill", "white", "-stroke", "#555555", "-draw",
                             "rectangle 3,3 14,14"});
    MakeImage("check1.png", {"-size", "18x18", "xc:none", "-fill", "#1F6FD0", "-stroke", "#555555", "-draw",
                             "rectangle 3,3 14,14"});
    UseWorkFolder();

    Host host(720, 420);
    ASSERT_NE(nullptr, host.Build(kSkin));
    auto* tree = host.Find<CTreeViewUI>(L"tree");
    ASSERT_NE(nullptr, tree);
    EXPECT_EQ(5, tree->GetCount());
    // The roll text half way through the box.
    auto* roll = host.Find<CRollTextUI>(L"roll");
    for (int i = 0; i < 40; ++i) {
        TUIEvent tick;
        tick.type = EventTimer;
        tick.wParam = CRollTextUI::kRollTimer;
        roll->Event(tick);
    }
    // The first node's check box checks its subtree.
    static_cast<CTreeNodeUI*>(tree->GetItemAt(0))->GetCheckBox()->Selected(true);
    ASSERT_TRUE(host.Paint());
    // The tile's first label sits in the top-left cell of the tile.
    const RECT tile = host.Find<CControlUI>(L"tile")->GetPos();
    EXPECT_EQ(0xE8B04Au, host.Pixel(tile.left + 40, tile.top + 20));
    if (const char* shot = std::getenv("KV_TREE_SCREENSHOT")) {
        EXPECT_EQ(0, RunUnix({"import", "-window", "root", shot}));
    }
}

}  // namespace
}  // namespace kvtest
