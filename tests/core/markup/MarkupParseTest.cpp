#include "ui/core/Markup.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using KvUI::CMarkup;
using KvUI::CMarkupNode;

namespace {

// The attributes of a node as "name=value;" pairs, in document order.
std::wstring Attributes(const CMarkupNode& node) {
    std::wstring out;
    for (int i = 0; i < node.GetAttributeCount(); ++i) {
        out += node.GetAttributeName(i);
        out += L"=";
        out += node.GetAttributeValue(i);
        out += L";";
    }
    return out;
}

// The element tree as "name(child,child)", to compare whole documents.
std::wstring Shape(const CMarkupNode& node) {
    std::wstring out = node.GetName();
    if (node.HasChildren()) {
        out += L"(";
        for (CMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
            out += Shape(child);
            if (child.GetSibling().IsValid()) out += L",";
        }
        out += L")";
    }
    return out;
}

struct ErrorCase {
    const wchar_t* xml;
    const wchar_t* message;
    const wchar_t* location;
};

std::ostream& operator<<(std::ostream& os, const ErrorCase& c) { return os << testing::PrintToString(c.xml); }

}  // namespace

TEST(MarkupParse, BuildsTheElementTreeInDocumentOrder) {
    CMarkup doc;
    ASSERT_TRUE(doc.Load(L"<Window size=\"400,300\">\n"
                         L"  <VerticalLayout>\n"
                         L"    <Button name=\"btn_ok\" text=\"OK\"/>\n"
                         L"    <Label />\n"
                         L"  </VerticalLayout>\n"
                         L"  <Default name=\"Button\" value=\"height=&quot;20&quot;\" />\n"
                         L"</Window>\n"));
    const CMarkupNode root = doc.GetRoot();
    ASSERT_TRUE(root.IsValid());
    EXPECT_EQ(L"Window(VerticalLayout(Button,Label),Default)", Shape(root));
    EXPECT_EQ(L"size=400,300;", Attributes(root));
    const CMarkupNode button = root.GetChild().GetChild();
    EXPECT_EQ(L"name=btn_ok;text=OK;", Attributes(button));
    EXPECT_FALSE(button.GetSibling().HasAttributes());
    EXPECT_EQ(L"name=Button;value=height=\"20\";", Attributes(root.GetChild().GetSibling()));
    EXPECT_FALSE(root.GetSibling().IsValid());
    EXPECT_FALSE(button.GetChild().IsValid());
}

TEST(MarkupParse, ReadsAttributesByIndexAndByNameWithoutCase) {
    CMarkup doc(L"<Button name = \"a\"\tTEXT=\"hello world\" />");
    const CMarkupNode node = doc.GetRoot();
    ASSERT_EQ(2, node.GetAttributeCount());
    EXPECT_STREQ(L"", node.GetAttributeName(2));
    EXPECT_STREQ(L"", node.GetAttributeValue(-1));

    wchar_t value[6] = {};
    EXPECT_TRUE(node.GetAttributeValue(L"text", value, 5));
    EXPECT_STREQ(L"hello", value);  // cut to the size asked for
    EXPECT_TRUE(node.GetAttributeValue(L"Name", value, 5));
    EXPECT_STREQ(L"a", value);
    EXPECT_FALSE(node.GetAttributeValue(L"tooltip", value, 5));

    const CMarkupNode invalid;
    EXPECT_EQ(nullptr, invalid.GetName());
    EXPECT_EQ(nullptr, invalid.GetAttributeName(0));
    EXPECT_FALSE(invalid.GetAttributeValue(L"name", value, 5));
}

TEST(MarkupParse, TextContentDoesNotLeakIntoAttributes) {
    // Decoded text shrinks in place; the attribute walk must still stop at the content.
    CMarkup doc(L"<a x=\"1\" y=\"&lt;2\">  two &amp; &gt; \"q\"=\"v\" <b z=\"3\"/></a>");
    const CMarkupNode root = doc.GetRoot();
    ASSERT_TRUE(root.IsValid()) << doc.GetLastErrorMessage();
    EXPECT_EQ(L"x=1;y=<2;", Attributes(root));
    EXPECT_EQ(L"z=3;", Attributes(root.GetChild()));
}

TEST(MarkupParse, DecodesTheFivePredefinedEntitiesOnly) {
    CMarkup doc(L"<a v=\"&lt;b&gt;\" w=\"&copy; &amp;&amp;&quot;&apos;\" x=\"&lt\" y=\"a&b\" z=\"&\" />");
    const CMarkupNode node = doc.GetRoot();
    ASSERT_EQ(5, node.GetAttributeCount());
    EXPECT_STREQ(L"<b>", node.GetAttributeValue(0));
    EXPECT_STREQ(L"&copy; &&\"'", node.GetAttributeValue(1));
    EXPECT_STREQ(L"&lt", node.GetAttributeValue(2));
    EXPECT_STREQ(L"a&b", node.GetAttributeValue(3));
    EXPECT_STREQ(L"&", node.GetAttributeValue(4));
}

TEST(MarkupParse, ReadsLongNamesBlanksAndValuesWhole) {
    // Runs longer than the parser's eight-character steps, letters beyond ASCII inside names,
    // every control character as a blank, and entities at both ends of a long value.
    const std::wstring longValue = L"&lt;" + std::wstring(37, L'x') + L"&amp;" + std::wstring(21, L'y') + L"&gt;";
    std::wstring blanks;
    for (wchar_t c = 1; c <= 32; ++c) blanks += c;
    const std::wstring xml = L"<Window_Layout:main\u7A97\u53E3Name2" + blanks + L"attribute_name_longer_than_16" +
                             blanks + L"=" + blanks + L"\"" + longValue + L"\"" + blanks + L"b\u00E9ta=\"\u5BA0\"" +
                             blanks + L"></Window_Layout:main\u7A97\u53E3Name2" + blanks + L">";
    CMarkup doc;
    ASSERT_TRUE(doc.Load(xml.c_str())) << doc.GetLastErrorMessage();
    const CMarkupNode root = doc.GetRoot();
    EXPECT_STREQ(L"Window_Layout:main\u7A97\u53E3Name2", root.GetName());
    EXPECT_EQ(L"attribute_name_longer_than_16=<" + std::wstring(37, L'x') + L"&" + std::wstring(21, L'y') +
                  L">;b\u00E9ta=\u5BA0;",
              Attributes(root));
}

TEST(MarkupParse, ShowsOnlyTheFirst64Attributes) {
    std::wstring xml = L"<a";
    for (int i = 0; i < 65; ++i) xml += L" n" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
    xml += L"/>";
    CMarkup doc;
    ASSERT_TRUE(doc.Load(xml.c_str()));
    const CMarkupNode node = doc.GetRoot();
    ASSERT_EQ(64, node.GetAttributeCount());
    EXPECT_STREQ(L"n63", node.GetAttributeName(63));
    EXPECT_STREQ(L"63", node.GetAttributeValue(63));
    wchar_t value[8] = {};
    EXPECT_FALSE(node.GetAttributeValue(L"n64", value, 7));
}

TEST(MarkupParse, SkipsDeclarationCommentsAndDoctypeBeforeTheRoot) {
    CMarkup doc;
    ASSERT_TRUE(doc.Load(L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                         L"<!-- skin of the main window -> see MainFrame -->\n"
                         L"<!DOCTYPE Window [ <!ENTITY e \"x\"> ]>\n"
                         L"<Window><!-- a -> b --><Label/><!----><?pi x?></Window>"))
        << doc.GetLastErrorMessage();
    EXPECT_EQ(L"Window(Label)", Shape(doc.GetRoot()));
    EXPECT_STREQ(L"", doc.GetLastErrorMessage());
}

TEST(MarkupParse, EndsACommentAtItsOwnTerminatorNotAtTheFirstArrow) {
    // Were "->" the end, "b -->" would be read as text where a tag must be.
    CMarkup doc;
    ASSERT_TRUE(doc.Load(L"<a><!-- a -> b --><b/></a>")) << doc.GetLastErrorMessage();
    EXPECT_EQ(L"a(b)", Shape(doc.GetRoot()));
    // A DOCTYPE has no "->" at all; it ends at its ">".
    ASSERT_TRUE(doc.Load(L"<!DOCTYPE html><c/>")) << doc.GetLastErrorMessage();
    EXPECT_EQ(L"c", Shape(doc.GetRoot()));
}

TEST(MarkupParse, LoadsDeeplyNestedDocumentsWithoutExhaustingTheStack) {
    constexpr int depth = 300000;
    std::wstring xml;
    for (int i = 0; i < depth; ++i) xml += L"<a>";
    for (int i = 0; i < depth; ++i) xml += L"</a>";
    CMarkup doc;
    ASSERT_TRUE(doc.Load(xml.c_str())) << doc.GetLastErrorMessage();
    int levels = 0;
    for (CMarkupNode node = doc.GetRoot(); node.IsValid(); node = node.GetChild()) ++levels;
    EXPECT_EQ(depth, levels);
}

TEST(MarkupParse, ReloadReplacesTheDocumentAndReleaseEmptiesIt) {
    CMarkup doc(L"<a><b/></a>");
    ASSERT_TRUE(doc.Load(L"<c/>"));
    EXPECT_EQ(L"c", Shape(doc.GetRoot()));
    doc.Release();
    EXPECT_FALSE(doc.GetRoot().IsValid());
    EXPECT_FALSE(doc.Load(L"<d>"));
    EXPECT_FALSE(doc.GetRoot().IsValid());
}

class MarkupError : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(MarkupError, FailsWithMessageAndLocation) {
    const ErrorCase& c = GetParam();
    CMarkup doc;
    EXPECT_FALSE(doc.Load(c.xml));
    EXPECT_STREQ(c.message, doc.GetLastErrorMessage());
    EXPECT_STREQ(c.location, doc.GetLastErrorLocation());
    EXPECT_FALSE(doc.GetRoot().IsValid());
}

INSTANTIATE_TEST_SUITE_P(Malformed, MarkupError, ::testing::Values(
    ErrorCase{L"<a v='1'/>", L"Expected attribute value", L"'1'/>"},
    ErrorCase{L"<a><b/>text<c/></a>", L"Expected start tag", L"text<c/></a>"},
    ErrorCase{L"<a></b>", L"Unmatched closing tag", L"b>"},
    ErrorCase{L"<Window></window>", L"Unmatched closing tag", L"window>"},
    ErrorCase{L"<ab></abc>", L"Unmatched closing tag", L"c>"},
    ErrorCase{L"<my-el/>", L"Error while parsing attributes", L"/>"},
    ErrorCase{L"<a x/>", L"Error while parsing attributes", L"/>"},
    ErrorCase{L"<a x=\"1/>", L"Error while parsing attribute string", L""},
    ErrorCase{L"<a", L"Error parsing element name", L""},
    ErrorCase{L"<a x=\"1\" / >", L"Expected start-tag closing", L"/ >"},
    ErrorCase{L"text", L"Expected start tag", L"text"}));

// A document that stops before its root is closed is not a document.
INSTANTIATE_TEST_SUITE_P(CutOff, MarkupError, ::testing::Values(
    ErrorCase{L"<Window>", L"Expected end-tag start", L""},
    ErrorCase{L"<a>text", L"Expected end-tag start", L""},
    ErrorCase{L"<a><b/>", L"Expected start tag", L""},
    ErrorCase{L"<a><b>text", L"Expected end-tag start", L""},
    ErrorCase{L"<a><b><c/>", L"Expected start tag", L""},
    ErrorCase{L"<a><!-- unterminated", L"Expected start tag", L""},
    ErrorCase{L"<a/></a><b/>", L"Unmatched closing tag", L"</a><b/>"}));

TEST(MarkupParse, CutsTheErrorLocationTo49Characters) {
    const std::wstring tail(80, L'x');
    CMarkup doc;
    EXPECT_FALSE(doc.Load((L"<a/>" + tail).c_str()));
    EXPECT_EQ(tail.substr(0, 49), doc.GetLastErrorLocation());
}

TEST(MarkupParse, EveryTruncationOfASkinFailsOrLoadsCleanly) {
    const std::wstring skin =
        L"<?xml version=\"1.0\"?><!-- main -> window --><!DOCTYPE Window>"
        L"<Window size=\"800,600\" caption=\"0,0,0,32\"><Font id=\"0\" name=\"&quot;Arial&quot;\" size=\"12\"/>"
        L"<VerticalLayout bkcolor=\"#FFFFFFFF\"><HorizontalLayout height=\"32\">"
        L"<Label text=\"a &lt;b&gt; c &amp; &copy;\" /><Button name=\"btn_close\"/></HorizontalLayout>"
        L"<Text>hello</Text><Option\u9009\u9879_with_a_long_name\t\r\n            group_name_long=\"lines lines "
        L"lines &amp; more lines &lt;and&gt; more\"      /></VerticalLayout></Window>";
    CMarkup doc;
    ASSERT_TRUE(doc.Load(skin.c_str())) << doc.GetLastErrorMessage();
    const std::wstring shape = Shape(doc.GetRoot());
    // Every proper prefix is cut off before the root closes.
    for (size_t n = 0; n < skin.size(); ++n) {
        const std::wstring cut = skin.substr(0, n);
        EXPECT_FALSE(doc.Load(cut.c_str()) && doc.GetRoot().IsValid()) << "prefix of " << n;
    }
    // Random damage: results vary, but each load ends cleanly with a
    // consistent tree or an error.
    std::mt19937 random(1234);
    int loaded = 0;
    int failed = 0;
    const wchar_t alphabet[] = L"<>/=\"&;!?- abx";
    for (int round = 0; round < 3000; ++round) {
        std::wstring damaged = skin;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % damaged.size();
            damaged[at] = alphabet[random() % (_countof(alphabet) - 1)];
        }
        damaged.resize(random() % (damaged.size() + 1));
        if (doc.Load(damaged.c_str())) {
            ++loaded;
            // Reading every name, attribute and value of what loaded stays inside the text.
            for (CMarkupNode node = doc.GetRoot(); node.IsValid(); node = node.GetSibling()) {
                EXPECT_FALSE(Shape(node).empty() && node.GetChild().IsValid());
                Attributes(node);
            }
        } else {
            ++failed;
            EXPECT_STRNE(L"", doc.GetLastErrorMessage()) << testing::PrintToString(damaged);
        }
    }
    EXPECT_GT(loaded, 0);
    EXPECT_GT(failed, 0);
    ASSERT_TRUE(doc.Load(skin.c_str()));
    EXPECT_EQ(shape, Shape(doc.GetRoot()));
}
