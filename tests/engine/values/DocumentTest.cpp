// What the engine reads from a document's tree, and how it decodes one.
#include <gtest/gtest.h>

#include "engine/impl/Charset.h"
#include "engine/impl/Download.h"
#include "engine/impl/HtmlParser.h"

namespace kvengine {
namespace {

// What the tests read of a parsed document: its title, text and scripts.
struct HtmlDocument {
    std::wstring title;
    std::wstring text;
    std::vector<InlineScript> scripts;
};

HtmlDocument ParseHtml(const std::wstring& html) {
    const std::unique_ptr<Document> document = ParseDocument(html);
    return {document->Title(), ReadableText(*document), InlineScripts(*document)};
}

TEST(HtmlDocument, FirstTitleCountsAndCommentsAndStylesShowNothing) {
    const HtmlDocument d = ParseHtml(L"<!DOCTYPE html><title>One</title><title>Two</title><!-- <p>hidden --><style>p{}</style>"
                                     L"<body>Shown <b>bold</b></body>");
    EXPECT_EQ(L"One", d.title);
    EXPECT_EQ(L"Shown bold", d.text);
}

TEST(HtmlDocument, ScriptsEndOnlyAtTheirClosingTagInAnyCase) {
    const HtmlDocument d = ParseHtml(L"a\n<script>if (1 < 2) s = '<b>';</ScRiPt >\n<script src='x.js'></script>"
                                     L"<script type=\"module\">m()</script><script type='text/javascript'>b()</script>");
    ASSERT_EQ(2u, d.scripts.size());
    EXPECT_EQ(L"if (1 < 2) s = '<b>';", d.scripts[0].code);
    EXPECT_EQ(2, d.scripts[0].line);
    EXPECT_EQ(L"b()", d.scripts[1].code);
    EXPECT_EQ(L"a", d.text);
}

TEST(HtmlDocument, BrokenMarkupEndsWithoutReadingPastTheText) {
    for (const wchar_t* html : {L"<", L"<script>never closed", L"<!-- open", L"<a href='x", L"&#xFFFFFFFF; &#0; &bogus;",
                                L"</", L"<title>t"}) {
        const HtmlDocument d = ParseHtml(html);
        EXPECT_LE(d.text.size(), wcslen(html) * 2) << html;
    }
    EXPECT_EQ(L"\uFFFD \uFFFD &bogus;", ParseHtml(L"&#xFFFFFFFF; &#0; &bogus;").text);
    EXPECT_EQ(L"1 < 2", ParseHtml(L"1 < 2").text);
}

TEST(DocumentDecoding, ResponseCharsetThenMetaThenDefault) {
    const std::string gbk = "\xD6\xD0";  // U+4E2D in GBK
    EXPECT_EQ("\xE4\xB8\xAD", DecodeDocument(gbk, "gbk", L"UTF-8"));
    EXPECT_EQ("<meta charset=\"gb2312\">\xE4\xB8\xAD", DecodeDocument("<meta charset=\"gb2312\">" + gbk, "", L"UTF-8"));
    EXPECT_EQ("\xE4\xB8\xAD", DecodeDocument("\xEF\xBB\xBF\xE4\xB8\xAD", "gbk", L""));
    EXPECT_EQ("\xC3\xA9", DecodeDocument("\xE9", "", L""));
    EXPECT_EQ("a\xEF\xBF\xBD", DecodeDocument("a\xFF", "utf-8", L""));
}

TEST(DownloadName, TakesTheAttachmentNameOrTheAddressAndMakesItSafe) {
    EXPECT_EQ(L"report.pdf", SuggestedFileName(L"", "http://h/files/report.pdf?x=1"));
    EXPECT_EQ(L"\u4E2D.txt", SuggestedFileName(L"", "http://h/%E4%B8%AD.txt"));
    EXPECT_EQ(L"evil.exe", SuggestedFileName(L"..\\..\\evil.exe", "http://h/"));
    EXPECT_EQ(L"a_b_.txt", SuggestedFileName(L"a:b?.txt", "http://h/"));
    EXPECT_EQ(L"_con.txt", SuggestedFileName(L"con.txt", "http://h/"));
    EXPECT_EQ(L"download", SuggestedFileName(L"", "http://h/"));
}

}  // namespace
}  // namespace kvengine
