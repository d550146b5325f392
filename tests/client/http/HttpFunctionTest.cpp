// The client's HTTP calls against a real local server: statuses, redirects,
// bodies without a length, slow replies, progress and cancelling.
#include "client/common/ClientKit.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "client/HttpFunction.h"
#include "support/HttpTestServer.h"

namespace kvclient {
namespace {

using clienttest::DataFolder;
using clienttest::FileExists;
using clienttest::FileText;
using clienttest::LogMessage;
using clienttest::WindowsPath;
using kvtest::HttpTestServer;

std::string Generated(size_t n) {
    std::string out(n, '\0');
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>(i % 251);
    return out;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One server for the suite; each test starts with an empty request record and data folder.
class Http : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string root = kvtest::FreshDirUnix("root");
        kvtest::RunUnix({"mkdir", "-p", root + "/UpdateVersion"});
        kvtest::WriteFileText(root + "/UpdateVersion/index", R"({"Result":0})");
        kvtest::WriteFileText(root + "/sound.bin", Generated(70000));
        m_server = new HttpTestServer(root);
    }
    static void TearDownTestSuite() {
        delete m_server;
        m_server = nullptr;
    }
    void SetUp() override { m_server->ClearRequests(); }

    // A download target in this test's data folder, as the Windows path the client uses.
    std::string Target(const std::string& name) const { return m_data.Unix() + "/" + name; }

    static HttpTestServer* m_server;
    DataFolder m_data{"data"};
};

HttpTestServer* Http::m_server = nullptr;

TEST_F(Http, UpdateCheckPostsTheFormAndKeepsTheReply) {
    std::string reply = "stale";
    ASSERT_TRUE(HttpPostUpdateCheck(reply, m_server->Url("/UpdateVersion/index")));
    EXPECT_EQ(R"({"Result":0})", reply);
    const auto requests = m_server->Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ("POST", requests[0].method);
    EXPECT_EQ("/UpdateVersion/index", requests[0].target);
    EXPECT_EQ("act=checkPCClientUpgrade", requests[0].body);
}

TEST_F(Http, UpdateCheckWithStatus404FailsButKeepsTheBody) {
    std::string reply;
    EXPECT_FALSE(HttpPostUpdateCheck(reply, m_server->Url("/UpdateVersion/index?status=404")));
    EXPECT_EQ(R"({"Result":0})", reply);
}

TEST_F(Http, UpdateCheckStopsReadingAReplyPastItsLimit) {
    std::string reply;
    const std::string url = m_server->Url("/bytes/" + std::to_string(2 * kMaxUpdateReplyBytes) + "?length=none");
    EXPECT_FALSE(HttpPostUpdateCheck(reply, url));
    EXPECT_LE(reply.size(), kMaxUpdateReplyBytes);
}

TEST_F(Http, UpdateCheckGivesUpAfterFiveSecondsOnASlowServer) {
    std::string reply;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(HttpPostUpdateCheck(reply, m_server->Url("/UpdateVersion/index?delay=9000")));
    const double seconds = SecondsSince(start);
    EXPECT_GE(seconds, 4.5);
    EXPECT_LT(seconds, 8.0);
}

TEST_F(Http, UpdateCheckFailsAtOnceWhenTheConnectionIsRefused) {
    std::string reply;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(HttpPostUpdateCheck(reply, m_server->RefusedUrl("/UpdateVersion/index")));
    EXPECT_LT(SecondsSince(start), 4.0);
}

TEST_F(Http, DownloadFileWritesTheWholeBody) {
    const std::string target = Target("sound.bin");
    ASSERT_TRUE(HttpDownloadFile(m_server->Url("/sound.bin"), WindowsPath(target)));
    EXPECT_EQ(Generated(70000), FileText(target));
    EXPECT_EQ("", m_data.Log());
}

TEST_F(Http, DownloadFileReadsBodiesWithoutAContentLength) {
    for (const char* query : {"?length=none", "?chunked=1"}) {
        const std::string target = Target("sound.bin");
        ASSERT_TRUE(HttpDownloadFile(m_server->Url(std::string("/sound.bin") + query), WindowsPath(target))) << query;
        EXPECT_EQ(Generated(70000), FileText(target)) << query;
    }
}

TEST_F(Http, DownloadFileTakesABodyUpToItsLimitAndNoMore) {
    // Announced, unannounced and chunked bodies one byte past the limit all fail.
    for (const char* query : {"", "?length=none", "?chunked=1"}) {
        const std::string target = Target("sound.bin");
        const std::string url = m_server->Url(std::string("/sound.bin") + query);
        EXPECT_TRUE(HttpDownloadFile(url, WindowsPath(target), 70000)) << query;
        EXPECT_EQ(Generated(70000), FileText(target)) << query;
        EXPECT_FALSE(HttpDownloadFile(url, WindowsPath(target), 69999)) << query;
        EXPECT_FALSE(FileExists(target)) << query;
        EXPECT_EQ("HttpDownloadFile ERROR url: " + url + " code:63 ", LogMessage(m_data.LogLines().back())) << query;
    }
}

TEST_F(Http, DownloadFileFollowsOneRedirect) {
    const std::string target = Target("sound.bin");
    ASSERT_TRUE(HttpDownloadFile(m_server->Url("/redirect/1/sound.bin"), WindowsPath(target)));
    EXPECT_EQ(Generated(70000), FileText(target));
    ASSERT_EQ(2u, m_server->Requests().size());
    EXPECT_EQ("/sound.bin", m_server->Requests()[1].target);
}

// The plain download presents itself as a browser and names the page it was
// sent from when redirected; the progress download sends neither header.
TEST_F(Http, OnlyThePlainDownloadSendsBrowserHeaders) {
    const std::string agent = Target("agent.txt");
    ASSERT_TRUE(HttpDownloadFile(m_server->Url("/header/User-Agent"), WindowsPath(agent)));
    EXPECT_EQ("Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
              "Chrome/69.0.3497.100 Safari/537.36",
              FileText(agent));
    const std::string referer = Target("referer.txt");
    const std::string first = m_server->Url("/redirect/1/header/Referer");
    ASSERT_TRUE(HttpDownloadFile(first, WindowsPath(referer)));
    EXPECT_EQ(first, FileText(referer));

    HttpTransferSlot slot;
    ASSERT_TRUE(HttpDownloadWithProgress(m_server->Url("/header/User-Agent"), WindowsPath(agent), nullptr, slot));
    EXPECT_EQ("", FileText(agent));
}

TEST_F(Http, DownloadFileRefusesASecondRedirectAndLeavesNoFile) {
    const std::string target = Target("sound.bin");
    const std::string url = m_server->Url("/redirect/2/sound.bin");
    EXPECT_FALSE(HttpDownloadFile(url, WindowsPath(target)));
    EXPECT_FALSE(FileExists(target));
    const auto lines = m_data.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("ERROR :HttpDownloadFile ERROR url: " + url + " code:47 ", lines[0].substr(9));
}

TEST_F(Http, DownloadFileWithAnErrorStatusLogsItAndLeavesNoFile) {
    const std::string target = Target("sound.bin");
    const std::string url = m_server->Url("/sound.bin?status=404");
    EXPECT_FALSE(HttpDownloadFile(url, WindowsPath(target)));
    EXPECT_FALSE(FileExists(target));
    const auto lines = m_data.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("HttpDownloadFile retcode != 200 url: " + url + " code:404 ", LogMessage(lines[0]));
}

TEST_F(Http, DownloadFileInterruptedMidwayLeavesNoFile) {
    const std::string target = Target("sound.bin");
    const std::string url = m_server->Url("/sound.bin?cut=30000");
    EXPECT_FALSE(HttpDownloadFile(url, WindowsPath(target)));
    EXPECT_FALSE(FileExists(target));
    const auto lines = m_data.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("HttpDownloadFile ERROR url: " + url + " code:18 ", LogMessage(lines[0]));
}

TEST_F(Http, DownloadFileToARefusedAddressLogsTheConnectError) {
    const std::string target = Target("sound.bin");
    const std::string url = m_server->RefusedUrl("/sound.bin");
    EXPECT_FALSE(HttpDownloadFile(url, WindowsPath(target)));
    EXPECT_FALSE(FileExists(target));
    const auto lines = m_data.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("HttpDownloadFile ERROR url: " + url + " code:7 ", LogMessage(lines[0]));
}

TEST_F(Http, DownloadFailuresLogLongAddressesCut) {
    const std::string padding = "&pad=" + std::string(4 * kMaxLoggedAddress, 'p');
    const std::string notFound = m_server->Url("/sound.bin?status=404" + padding);
    const std::string refused = m_server->RefusedUrl("/sound.bin?x=1" + padding);
    EXPECT_FALSE(HttpDownloadFile(notFound, WindowsPath(Target("sound.bin"))));
    EXPECT_FALSE(HttpDownloadFile(refused, WindowsPath(Target("sound.bin"))));
    const auto lines = m_data.LogLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("HttpDownloadFile retcode != 200 url: " + clienttest::CutAddress(notFound) + " code:404 ",
              LogMessage(lines[0]));
    EXPECT_EQ("HttpDownloadFile ERROR url: " + clienttest::CutAddress(refused) + " code:7 ", LogMessage(lines[1]));
}

TEST_F(Http, DownloadFileIntoAMissingFolderFailsWithoutAsking) {
    EXPECT_FALSE(HttpDownloadFile(m_server->Url("/sound.bin"), WindowsPath(Target("missing/sound.bin"))));
    EXPECT_TRUE(m_server->Requests().empty());
}

// Another program's file at the target (here open without write sharing) is
// neither overwritten nor deleted by the failed download.
TEST_F(Http, ATargetThatCannotBeOpenedIsLeftAlone) {
    const std::string target = Target("theirs.bin");
    kvtest::WriteFileText(target, "theirs");
    {
        const HANDLE held = CreateFileW(kvtest::ToWindowsPath(target).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        HttpTransferSlot slot;
        EXPECT_FALSE(HttpDownloadFile(m_server->Url("/sound.bin"), WindowsPath(target)));
        EXPECT_FALSE(HttpDownloadWithProgress(m_server->Url("/sound.bin"), WindowsPath(target), nullptr, slot));
        CloseHandle(held);
    }
    EXPECT_EQ("theirs", FileText(target));
    EXPECT_TRUE(m_server->Requests().empty());
}

// Sound addresses come from pages: a local file is never fetched, neither
// asked for directly nor through a server's redirect.
TEST_F(Http, DownloadsFetchOnlyWebAddresses) {
    const std::string local = Target("local.txt");
    kvtest::WriteFileText(local, "private");
    std::string fileUrl = "file:///" + WindowsPath(local);
    std::replace(fileUrl.begin(), fileUrl.end(), '\\', '/');
    const std::string redirect = m_server->Url("/sound.bin?status=302&location=" + fileUrl);

    const std::string target = Target("fetched.bin");
    for (const std::string& url : {fileUrl, redirect}) {
        EXPECT_FALSE(HttpDownloadFile(url, WindowsPath(target))) << url;
        EXPECT_FALSE(FileExists(target)) << url;
        HttpTransferSlot slot;
        EXPECT_FALSE(HttpDownloadWithProgress(url, WindowsPath(target), nullptr, slot)) << url;
        EXPECT_FALSE(FileExists(target)) << url;
    }
    EXPECT_EQ("private", FileText(local));
    const auto lines = m_data.LogLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("HttpDownloadFile ERROR url: " + fileUrl + " code:1 ", LogMessage(lines[0]));
    // libcurl refuses the redirect's target address itself (code 1 or 3 by version).
    EXPECT_EQ(0u, LogMessage(lines[1]).find("HttpDownloadFile ERROR url: " + redirect + " code:")) << lines[1];
}

TEST_F(Http, ProgressReportsRisingPercentagesUpTo100) {
    const std::string target = Target("big.bin");
    std::vector<int> seen;
    HttpTransferSlot slot;
    ASSERT_TRUE(HttpDownloadWithProgress(m_server->Url("/bytes/3000000?rate=3000000"), WindowsPath(target),
                                         [&seen](int percent) { seen.push_back(percent); }, slot));
    EXPECT_EQ(Generated(3000000), FileText(target));
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(100, seen.back());
    EXPECT_GE(seen.front(), 0);
    EXPECT_GT(std::count_if(seen.begin(), seen.end(), [](int p) { return p > 0 && p < 100; }), 0);
}

TEST_F(Http, ProgressIsNotReportedWithoutAContentLength) {
    const std::string target = Target("big.bin");
    int calls = 0;
    HttpTransferSlot slot;
    ASSERT_TRUE(HttpDownloadWithProgress(m_server->Url("/bytes/500000?length=none"), WindowsPath(target),
                                         [&calls](int) { ++calls; }, slot));
    EXPECT_EQ(0, calls);
    EXPECT_EQ(Generated(500000), FileText(target));
}

TEST_F(Http, ProgressDownloadWithAnErrorStatusFailsAndLeavesNoFile) {
    const std::string target = Target("big.bin");
    HttpTransferSlot slot;
    EXPECT_FALSE(HttpDownloadWithProgress(m_server->Url("/sound.bin?status=500"), WindowsPath(target), nullptr, slot));
    EXPECT_FALSE(FileExists(target));
}

TEST_F(Http, CancelFromTheProgressCallbackStopsTheTransferAndRemovesTheFile) {
    const std::string target = Target("big.bin");
    HttpTransferSlot slot;
    int last = -1;
    const auto start = std::chrono::steady_clock::now();
    // About 20 seconds if it ran to its end.
    EXPECT_FALSE(HttpDownloadWithProgress(m_server->Url("/bytes/4000000?rate=200000"), WindowsPath(target),
                                          [&](int percent) {
                                              last = percent;
                                              if (percent >= 5) slot.Cancel();
                                          },
                                          slot));
    EXPECT_LT(SecondsSince(start), 10.0);
    EXPECT_GE(last, 5);
    EXPECT_LT(last, 100);
    EXPECT_FALSE(FileExists(target));
}

TEST_F(Http, CancelFromAnotherThreadStopsATransferOfUnknownSize) {
    const std::string target = Target("big.bin");
    HttpTransferSlot slot;
    const auto start = std::chrono::steady_clock::now();
    std::thread canceller([&] {
        kvtest::PumpUntil([&] { return FileText(target).size() > 10000; }, 10000);
        slot.Cancel();
    });
    const bool ok = HttpDownloadWithProgress(m_server->Url("/bytes/4000000?rate=200000&length=none"),
                                             WindowsPath(target), nullptr, slot);
    canceller.join();
    EXPECT_FALSE(ok);
    EXPECT_LT(SecondsSince(start), 10.0);
    EXPECT_FALSE(FileExists(target));
}

// A cancelled transfer must leave the sockets of other transfers alone.
TEST_F(Http, CancellingOneDownloadLeavesAConcurrentOneIntact) {
    const std::string other = Target("other.bin");
    std::atomic<bool> otherOk{false};
    std::thread otherDownload([&] {
        HttpTransferSlot slot;
        otherOk = HttpDownloadWithProgress(m_server->Url("/bytes/1000000?rate=500000"), WindowsPath(other), nullptr, slot);
    });
    for (int round = 0; round < 3; ++round) {
        HttpTransferSlot slot;
        EXPECT_FALSE(HttpDownloadWithProgress(m_server->Url("/bytes/4000000?rate=400000"), WindowsPath(Target("big.bin")),
                                              [&slot](int percent) {
                                                  if (percent >= 2) slot.Cancel();
                                              },
                                              slot));
    }
    otherDownload.join();
    EXPECT_TRUE(otherOk);
    EXPECT_EQ(Generated(1000000), FileText(other));
}

}  // namespace
}  // namespace kvclient
