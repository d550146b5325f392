// The update check against a real local server: each fault of the reply is
// logged with its own text, and only a newer version reaches the main window.
#include "client/common/ClientKit.h"

#include <memory>
#include <thread>

#include "client/AppMessages.h"
#include "client/UpdateCheck.h"
#include "support/HttpTestServer.h"
#include "win/UniqueHandle.h"

namespace kvclient {
namespace {

using clienttest::DataFolder;
using clienttest::LogMessage;
using kvtest::HttpTestServer;

// A hidden window standing in for the main window.
class MessageWindow {
public:
    MessageWindow()
        : m_hwnd(CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    ~MessageWindow() { DestroyWindow(m_hwnd); }
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND get() const { return m_hwnd; }
    // Whether the update message arrived within `timeoutMs`.
    bool ReceivedUpdate(DWORD timeoutMs = 0) const {
        MSG msg;
        const DWORD start = GetTickCount();
        for (;;) {
            if (PeekMessageW(&msg, m_hwnd, WM_APP_UPDATE_AVAILABLE, WM_APP_UPDATE_AVAILABLE, PM_REMOVE)) return true;
            if (GetTickCount() - start >= timeoutMs) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE);
        }
    }

private:
    HWND m_hwnd;
};

class UpdateCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_root = kvtest::FreshDirUnix("replies");
        s_server = new HttpTestServer(s_root);
    }
    static void TearDownTestSuite() {
        delete s_server;
        s_server = nullptr;
    }

    // The address of an update service that answers `reply`.
    static std::string Serving(const std::string& reply) {
        static int replies = 0;
        const std::string name = "reply" + std::to_string(++replies);
        kvtest::WriteFileText(s_root + "/" + name, reply);
        return s_server->Url("/" + name);
    }

    static std::string s_root;
    static HttpTestServer* s_server;
    DataFolder m_data{"data"};
    MessageWindow m_window;
};

std::string UpdateCheck::s_root;
HttpTestServer* UpdateCheck::s_server = nullptr;

TEST_F(UpdateCheck, ANewerVersionIsPostedToTheMainWindow) {
    UpdateCheckTarget target;
    target.window = m_window.get();
    EXPECT_TRUE(CheckForUpdate(target, Serving(R"({"Result":0,"Data":{"version_id":"4.2","downloadlink":"http://x/setup.exe"}})")));
    EXPECT_EQ("4.2", target.version);
    EXPECT_EQ("http://x/setup.exe", target.link);
    EXPECT_TRUE(m_window.ReceivedUpdate());
    EXPECT_EQ("", m_data.Log());
}

TEST_F(UpdateCheck, TheSameVersionWrittenLongerIsNotNewer) {
    UpdateCheckTarget target;
    target.window = m_window.get();
    EXPECT_FALSE(CheckForUpdate(target, Serving(R"({"Result":0,"Data":{"version_id":"4.10","downloadlink":"http://x/s.exe"}})")));
    EXPECT_EQ("4.10", target.version);
    EXPECT_EQ("http://x/s.exe", target.link);
    EXPECT_FALSE(m_window.ReceivedUpdate());
    EXPECT_EQ("", m_data.Log());
}

TEST_F(UpdateCheck, TheMessageCrossesFromTheCheckingThread) {
    UpdateCheckTarget target;
    target.window = m_window.get();
    const std::string endpoint = Serving(R"({"Result":0,"Data":{"version_id":"5.0","downloadlink":"l"}})");
    std::thread checker([&] { CheckForUpdate(target, endpoint); });
    EXPECT_TRUE(m_window.ReceivedUpdate(10000));
    checker.join();
    EXPECT_EQ("5.0", target.version);
}

TEST_F(UpdateCheck, AFailedRequestIsLogged) {
    UpdateCheckTarget target;
    target.window = m_window.get();
    for (const std::string& endpoint : {s_server->Url("/missing-reply"), s_server->RefusedUrl("/UpdateVersion/index")}) {
        EXPECT_FALSE(CheckForUpdate(target, endpoint));
    }
    const auto lines = m_data.LogLines();
    ASSERT_EQ(2u, lines.size());
    for (const std::string& line : lines) EXPECT_EQ("ERROR :" + kvtest::Gbk(u8"UPDATEGET_URL 请求失败！"), line.substr(9));
    EXPECT_FALSE(m_window.ReceivedUpdate());
}

// On the thread the program starts, with the stack every thread of the program gets.
TEST_F(UpdateCheck, NoDepthOfNestingExhaustsTheCheckingThreadsStack) {
    const std::string reply = std::string(100000, '[') + std::string(100000, ']');
    const kvwin::UniqueKernelHandle thread = StartUpdateCheck(std::make_shared<UpdateCheckTarget>(), Serving(reply));
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(thread.get(), 20000));
    const auto lines = m_data.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(kvtest::Gbk(u8"UPDATEGET_URL 返回非json对象！"), LogMessage(lines[0]));
}

TEST_F(UpdateCheck, TheCheckingThreadKeepsTheTargetAliveUntilItEnds) {
    auto target = std::make_shared<UpdateCheckTarget>();
    target->window = m_window.get();
    const std::weak_ptr<UpdateCheckTarget> watched = target;
    // The reply takes a while, so the window lets go of the target long before the thread is done.
    const std::string endpoint = Serving(R"({"Result":0,"Data":{"version_id":"4.5","downloadlink":"l"}})") + "?delay=1500";
    const kvwin::UniqueKernelHandle thread = StartUpdateCheck(std::move(target), endpoint);
    ASSERT_TRUE(thread);
    EXPECT_FALSE(watched.expired());
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(thread.get(), 15000));
    EXPECT_TRUE(watched.expired());
    EXPECT_TRUE(m_window.ReceivedUpdate());
}

struct ReplyCase {
    const char* name;
    const char* reply;
    const char* logged;  // UTF-8; the log holds it in GBK
};

class UpdateReplyFault : public UpdateCheck, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(UpdateReplyFault, IsLoggedOnceAndChangesNothing) {
    UpdateCheckTarget target;
    target.window = m_window.get();
    EXPECT_FALSE(CheckForUpdate(target, Serving(GetParam().reply)));
    EXPECT_EQ("", target.version);
    EXPECT_EQ("", target.link);
    EXPECT_FALSE(m_window.ReceivedUpdate());
    const auto lines = m_data.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(" ERROR :", lines[0].substr(8, 8));
    EXPECT_EQ(kvtest::Gbk(GetParam().logged), LogMessage(lines[0]));
}

INSTANTIATE_TEST_SUITE_P(
    InOrder, UpdateReplyFault,
    ::testing::Values(
        ReplyCase{"Text", "hello", u8"UPDATEGET_URL 返回非json对象！"},
        ReplyCase{"Empty", "", u8"UPDATEGET_URL 返回非json对象！"},
        ReplyCase{"Array", R"([{"Result":0}])", u8"UPDATEGET_URL 返回非json对象！"},
        ReplyCase{"TrailingText", R"({"Result":0} x)", u8"UPDATEGET_URL 返回非json对象！"},
        ReplyCase{"NoResult", R"({"Data":{"version_id":"9","downloadlink":"l"}})", u8"UPDATEGET_URL 返回 没有Result！"},
        ReplyCase{"ResultAsText", R"({"Result":"0","Data":{"version_id":"9","downloadlink":"l"}})",
                  u8"UPDATEGET_URL 返回 没有Result！"},
        ReplyCase{"ResultOne", R"({"Result":1,"Data":{"version_id":"9","downloadlink":"l"}})",
                  u8"UPDATEGET_URL result_code !=0！"},
        ReplyCase{"ResultFraction", R"({"Result":0.5,"Data":{"version_id":"9","downloadlink":"l"}})",
                  u8"UPDATEGET_URL result_code !=0！"},
        ReplyCase{"ResultHuge", R"({"Result":4294967296,"Data":{"version_id":"9","downloadlink":"l"}})",
                  u8"UPDATEGET_URL result_code !=0！"},
        ReplyCase{"NoData", R"({"Result":0})", u8"UPDATEGET_URL 返回json 没有Data{}！"},
        ReplyCase{"DataArray", R"({"Result":0,"Data":["9"]})", u8"UPDATEGET_URL 返回json 没有Data{}！"},
        ReplyCase{"NoVersion", R"({"Result":0,"Data":{"downloadlink":"l"}})",
                  u8"UPDATEGET_URL 返回json Data没有version_id！"},
        ReplyCase{"VersionAsNumber", R"({"Result":0,"Data":{"version_id":9,"downloadlink":"l"}})",
                  u8"UPDATEGET_URL 返回json Data没有version_id！"},
        ReplyCase{"NoLink", R"({"Result":0,"Data":{"version_id":"9"}})", u8"UPDATEGET_URL 返回json 没有downloadlink！"},
        ReplyCase{"LinkAsObject", R"({"Result":0,"Data":{"version_id":"9","downloadlink":{}}})",
                  u8"UPDATEGET_URL 返回json 没有downloadlink！"}),
    [](const ::testing::TestParamInfo<ReplyCase>& info) { return std::string(info.param.name); });

struct VersionCase {
    const char* version;
    bool newer;
};

class VersionComparison : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionComparison, ReadsTheVersionAsADecimalNumber) {
    EXPECT_EQ(GetParam().newer, IsNewerVersion(GetParam().version)) << GetParam().version;
}

INSTANTIATE_TEST_SUITE_P(AgainstFourPointOne, VersionComparison,
                         ::testing::Values(VersionCase{"4.2", true}, VersionCase{"4.10", false},
                                           VersionCase{"4.1", false}, VersionCase{"4.09", false},
                                           VersionCase{"5", true}, VersionCase{"10.0", true},
                                           VersionCase{"4.11", true}, VersionCase{"v5.0", false},
                                           VersionCase{"", false}, VersionCase{"4.2-beta", true}));

}  // namespace
}  // namespace kvclient
