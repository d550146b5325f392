// The static web pages, read from the UI library's resource folder or from
// the skin zip (names matched without regard to case).
#include <gtest/gtest.h>

#include "client/WebStaticPages.h"
#include "support/TestKit.h"
#include "ui/core/PaintManagerUI.h"

namespace kvclient {
namespace {

using KvUI::CPaintManagerUI;

constexpr int kResourceFolder = 1;
constexpr int kSkinZipResource = 4;

std::string PageText(const WebStaticPage* page) {
    return page ? std::string(page->bytes.begin(), page->bytes.end()) : std::string("<missing>");
}

// A page template as it ships: GBK text with the error page's placeholders.
std::string ErrorTemplate() {
    std::string page = "<html><body>" + kvtest::Gbk(u8"网络错误") + " $errorcode$ $linesjosn$";
    for (int i = 0; i < 500; ++i) page += "<p>line " + std::to_string(i) + "</p>";
    return page + "</body></html>";
}

class WebStaticFromFolder : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = kvtest::FreshDirUnix("resources");
        kvtest::RunUnix({"mkdir", "-p", m_dir + "/webstatic"});
        CPaintManagerUI::SetResourceType(kResourceFolder);
        CPaintManagerUI::SetResourcePath(kvtest::ToWindowsPath(m_dir).c_str());
    }

    std::string m_dir;
};

TEST_F(WebStaticFromFolder, ReadsTheErrorPageAsStored) {
    kvtest::WriteFileText(m_dir + "/webstatic/error.html", ErrorTemplate());
    LoadWebStaticPages();
    const WebStaticPage* page = FindWebStaticPage(L"error.html");
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(L"error.html", page->name);
    EXPECT_EQ(ErrorTemplate(), PageText(page));
}

TEST_F(WebStaticFromFolder, AnEmptyOrMissingPageIsNotAvailable) {
    LoadWebStaticPages();
    EXPECT_EQ(nullptr, FindWebStaticPage(L"error.html"));
    ASSERT_EQ(1u, g_webStaticPages.count(L"error.html"));

    kvtest::WriteFileText(m_dir + "/webstatic/error.html", "");
    LoadWebStaticPages();
    EXPECT_EQ(nullptr, FindWebStaticPage(L"error.html"));
}

TEST_F(WebStaticFromFolder, LoadingAgainReplacesThePages) {
    kvtest::WriteFileText(m_dir + "/webstatic/error.html", "first");
    LoadWebStaticPages();
    kvtest::WriteFileText(m_dir + "/webstatic/error.html", "second");
    LoadWebStaticPages();
    EXPECT_EQ("second", PageText(FindWebStaticPage(L"error.html")));
}

// The skin zip can be set once per process, so this one test walks from "no zip" to "zip".
TEST(WebStaticFromZip, NeedsTheSkinZipAndFindsThePageWhateverItsCase) {
    CPaintManagerUI::SetResourceType(kSkinZipResource);
    LoadWebStaticPages();
    EXPECT_EQ(nullptr, FindWebStaticPage(L"error.html"));

    const std::string dir = kvtest::FreshDirUnix("zip");
    kvtest::RunUnix({"mkdir", "-p", dir + "/content/WebStatic"});
    kvtest::WriteFileText(dir + "/content/WebStatic/Error.html", ErrorTemplate());
    ASSERT_EQ(0, kvtest::RunUnix({"zip", "-q", "-r", "../skin.zip", "."}, dir + "/content"));
    static const std::vector<char> skin = kvtest::ReadFileBytes(dir + "/skin.zip");
    ASSERT_FALSE(skin.empty());
    CPaintManagerUI::SetResourceZip(skin.data(), static_cast<int>(skin.size()));

    LoadWebStaticPages();
    EXPECT_EQ(ErrorTemplate(), PageText(FindWebStaticPage(L"error.html")));
}

}  // namespace
}  // namespace kvclient
