// The update check's thread: a bounded wait lets it go without taking its
// offer away, and it still ends on its own with a whole log line.
#include "client/common/ClientKit.h"

#include <memory>

#include "client/UpdateCheckRunner.h"

namespace kvclient::clienttest {
namespace {

// A local port that takes connections and never answers.
class SilentServer {
public:
    SilentServer() : m_socket(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(m_socket, 4);
        getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~SilentServer() { closesocket(m_socket); }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/UpdateVersion/index"; }

private:
    SOCKET m_socket;
    int m_port = 0;
};

TEST(UpdateCheckRunner, AThreadLeftRunningKeepsItsOfferAndEndsWithAWholeLogLine) {
    const DataFolder data("updaterunner");
    const SilentServer server;
    std::weak_ptr<const UpdateCheckTarget> offer;
    {
        UpdateCheckRunner runner;
        ASSERT_TRUE(runner.Start(nullptr, server.Url()));
        offer = runner.Watch();
        // The server never answers: the check waits for its 5 s time-out.
        EXPECT_FALSE(runner.Finish(100));
    }
    EXPECT_FALSE(offer.expired());
    ASSERT_TRUE(kvtest::PumpUntil([&] { return offer.expired(); }, 20000));
    const std::vector<std::string> lines = data.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(kvtest::Gbk("UPDATEGET_URL 请求失败！"), LogMessage(lines[0]));
}

}  // namespace
}  // namespace kvclient::clienttest
