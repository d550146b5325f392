// The renderer's page pipeline without a browser: the tree the parser builds,
// the cascade of styles, and where layout places boxes and what it paints.
#include <gtest/gtest.h>

#include <chrono>

#include "engine/impl/Css.h"
#include "engine/impl/HtmlParser.h"
#include "engine/impl/Layout.h"
#include "engine/impl/TextMetrics.h"

namespace kvengine {
namespace {

// A parsed, styled and laid out page in an 800 x 600 window.
struct Laid {
    explicit Laid(const std::wstring& html, double scale = 1) : document(ParseDocument(html)) {
        styles.Compute(*document);
        layout.Run(*document, {800, 600, scale}, measurer);
    }
    Node& Element(const wchar_t* id) const {
        Node* n = document->ElementById(id);
        EXPECT_TRUE(n) << id;
        return *n;
    }
    const LayoutBox& Box(const wchar_t* id) const { return Element(id).box; }

    std::unique_ptr<Document> document;
    StyleEngine styles;
    mutable TextMeasurer measurer;
    PageLayout layout;
};

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(HtmlTree, NestsImpliesEndsKeepsVoidAndUnknownElementsAndDecodesAttributes) {
    const auto d = ParseDocument(L"<div id=a title='x &amp; y'><p>one<p>two<br>three</div><my-tag>k</my-tag></b>");
    const Node* a = d->ElementById(L"a");
    ASSERT_TRUE(a);
    EXPECT_EQ(L"x & y", a->Attribute(L"title"));
    EXPECT_EQ(L"<p>one</p><p>two<br>three</p>", InnerHtml(a));
    EXPECT_TRUE(a->next && a->next->Is(L"my-tag"));
    EXPECT_EQ(L"body", a->parent->name);
}

TEST(HtmlTree, AMillionNestedElementsStopDeepeningAtTheLimit) {
    std::wstring html;
    for (int i = 0; i < 1000000; ++i) html += L"<div>";
    std::unique_ptr<Laid> page;
    EXPECT_LT(Seconds([&] { page = std::make_unique<Laid>(html); }), 20.0);
    // Every element opens inside the one before, so the first children form the deepest chain.
    size_t depth = 0;
    for (const Node* n = page->document->Body(); n; n = n->first) ++depth;
    EXPECT_EQ(kMaxTreeDepth, depth);
}

TEST(HtmlTree, AmpersandsWithoutReferencesCostLinearTime) {
    const std::wstring amps(400000, L'&');
    std::wstring decoded;
    EXPECT_LT(Seconds([&] { decoded = DecodeEntities(amps + L";"); }), 1.0);
    EXPECT_EQ(amps + L";", decoded);
    EXPECT_EQ(L"a\u00A0<\U0001F600&bogus;\uFFFD", DecodeEntities(L"a&nbsp;&lt;&#x1F600;&bogus;&#99999999999999;"));
}

struct CascadeCase {
    const wchar_t* css;
    const wchar_t* attributes;
    uint32_t color;
};

class Cascade : public ::testing::TestWithParam<CascadeCase> {};

TEST_P(Cascade, PicksTheMostSpecificThenTheLastDeclaration) {
    const Laid page(std::wstring(L"<style>") + GetParam().css + L"</style><div class=outer><p id=t class='k j' " +
                    GetParam().attributes + L">x</p></div>");
    ASSERT_TRUE(page.Element(L"t").style);
    EXPECT_EQ(GetParam().color, page.Element(L"t").style->color) << GetParam().css;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Cascade,
    ::testing::Values(CascadeCase{L"p{color:red}", L"", 0xFFFF0000},
                      CascadeCase{L".k{color:#0f0} p{color:red}", L"", 0xFF00FF00},
                      CascadeCase{L"#t{color:rgb(0,0,255)} .k.j{color:red}", L"", 0xFF0000FF},
                      CascadeCase{L"p{color:red} p{color:navy}", L"", 0xFF000080},
                      CascadeCase{L"div p{color:red} .outer > .k{color:rgba(0,0,0,0.5)}", L"", 0x80000000},
                      CascadeCase{L"body > p{color:red}", L"", 0xFF000000},
                      CascadeCase{L".outer{color:#123456}", L"", 0xFF123456},
                      CascadeCase{L"#t{color:red}", L"style='color: #abc'", 0xFFAABBCC},
                      CascadeCase{L"p:hover{color:red} @media print{p{color:red}}", L"", 0xFF000000}));

TEST(Layout, PlacesBlocksWithMarginsBordersPaddingAndWidths) {
    const Laid page(L"<div id=a style='margin:10px;padding:5px;border:2px solid red;width:100px;height:20px'></div>"
                    L"<div id=b style='width:50%;margin:0 auto;height:10px'></div>"
                    L"<p id=c style='margin:30px 0'>x</p><p id=d style='margin:20px 0'>y</p>");
    const LayoutBox a = page.Box(L"a"), b = page.Box(L"b"), c = page.Box(L"c"), d = page.Box(L"d");
    EXPECT_EQ((std::vector<int>{18, 18, 114, 34}), (std::vector<int>{a.x, a.y, a.width, a.height}));
    // Centred in the body's 784 pixels; the sibling margins 10 and 0 collapse into 10.
    EXPECT_EQ((std::vector<int>{204, 62, 392, 10}), (std::vector<int>{b.x, b.y, b.width, b.height}));
    EXPECT_EQ(72 + 30, c.y);
    EXPECT_EQ(c.y + c.height + 30, d.y);
}

TEST(Layout, PositionsAbsoluteAndFixedBoxesAgainstTheirContainingBlocks) {
    const Laid page(L"<div id=r style='position:relative;margin-top:100px;height:200px'>"
                    L"<div id=abs style='position:absolute;right:10px;bottom:20px;width:30px;height:40px'></div></div>"
                    L"<div id=fix style='position:fixed;top:0;left:0;width:100%;height:100%'></div>");
    const LayoutBox r = page.Box(L"r"), abs = page.Box(L"abs"), fix = page.Box(L"fix");
    EXPECT_EQ(r.x + r.width - 10 - 30, abs.x);
    EXPECT_EQ(r.y + r.height - 20 - 40, abs.y);
    EXPECT_TRUE(fix.fixed);
    EXPECT_EQ((std::vector<int>{0, 0, 800, 600}), (std::vector<int>{fix.x, fix.y, fix.width, fix.height}));
}

TEST(Layout, WrapsWordsAtTheWidthAndZoomScalesEverything) {
    std::wstring words;
    for (int i = 0; i < 200; ++i) words += L"word ";
    const std::wstring html = L"<p id=p style='width:200px'>" + words + L"</p><p id=cjk style='width:100px'>" +
                              std::wstring(60, L'\x4E2D') + L"</p>";
    const Laid normal(html), zoomed(html, 1.44);
    const LayoutBox p = normal.Box(L"p");
    EXPECT_GT(p.height, 10 * normal.measurer.FontMetrics({16, false, false}).height);
    EXPECT_EQ(200, p.width);
    EXPECT_GT(normal.Box(L"cjk").height, 5 * normal.measurer.FontMetrics({16, false, false}).height);
    EXPECT_EQ(288, zoomed.Box(L"p").width);
    for (const DisplayItem& item : normal.layout.Display().items) {
        if (item.kind == DisplayItem::Kind::Text) {
            EXPECT_LE(item.x + item.width, p.x + 200 + 1);
        }
    }
}

TEST(Layout, PaintsAndHitsPositionedBoxesInZIndexOrderWithTheirOpacity) {
    const Laid page(L"<div id=low style='position:absolute;left:0;top:0;width:100px;height:100px;z-index:5;"
                    L"background-color:red'></div>"
                    L"<div id=high style='position:absolute;left:50px;top:50px;width:100px;height:100px;z-index:7;"
                    L"background-color:blue;opacity:0.5'></div>"
                    L"<div id=flow style='height:300px;background:green'></div>");
    EXPECT_EQ(&page.Element(L"high"), page.layout.HitTest(60, 60, 0));
    EXPECT_EQ(&page.Element(L"low"), page.layout.HitTest(40, 40, 0));
    EXPECT_EQ(&page.Element(L"flow"), page.layout.HitTest(300, 40, 0));
    std::vector<uint32_t> fills;
    for (const DisplayItem& item : page.layout.Display().items) {
        if (item.kind == DisplayItem::Kind::Fill) fills.push_back(item.color << 8 | item.alpha);
    }
    EXPECT_EQ((std::vector<uint32_t>{0x008000FF, 0xFF0000FF, 0x0000FF80}), fills);
}

TEST(Layout, AMegabyteOfTextIsLaidOutInLinearTimeEvenWithoutASpace) {
    std::wstring words;
    while (words.size() < (1u << 20)) words += L"lorem ipsum dolor sit amet ";
    for (const std::wstring& text : {words, std::wstring(1u << 20, L'w')}) {
        std::unique_ptr<Laid> page;
        EXPECT_LT(Seconds([&] { page = std::make_unique<Laid>(L"<p id=p>" + text + L"</p>"); }), 5.0);
        EXPECT_GT(page->Box(L"p").height, 10000);
        EXPECT_GE(page->layout.Display().contentHeight, page->Box(L"p").height);
    }
}

}  // namespace
}  // namespace kvengine
