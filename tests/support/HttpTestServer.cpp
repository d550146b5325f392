// winsock2.h must come before windows.h, which the header brings.
#include <winsock2.h>

#include "support/HttpTestServer.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "support/TestKit.h"

namespace kvtest {
namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kStopTimeoutMs = 5000;

// Each server of this test program keeps its port file and request log apart.
std::string NewStateDir() {
    static std::atomic<int> counter{0};
    return FreshDirUnix("http-server-" + std::to_string(++counter));
}

std::string HexToBytes(const std::string& hex) {
    std::string out;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return out;
}

SOCKET ConnectLocal(int port) {
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return s;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

}  // namespace

HttpTestServer::HttpTestServer(const std::string& rootUnix, int port)
    : m_stateDir(NewStateDir()), m_control(INVALID_SOCKET) {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    const std::string portFile = m_stateDir + "/port";
    const bool started = StartUnix({"python3", SourceDirUnix() + "/tests/support/http_test_server.py",
                                    "--root", rootUnix, "--port-file", portFile,
                                    "--request-log", m_stateDir + "/requests.log",
                                    "--port", std::to_string(port)});
    int controlPort = 0;
    const bool listening = started && PumpUntil([&] {
        const std::vector<char> text = ReadFileBytes(portFile);
        if (text.empty()) return false;
        return std::sscanf(std::string(text.begin(), text.end()).c_str(), "%d %d %d", &m_port, &m_unusedPort,
                           &controlPort) == 3;
    }, kStartTimeoutMs);
    if (listening) m_control = ConnectLocal(controlPort);
    if (m_control == INVALID_SOCKET) {
        WSACleanup();
        throw std::runtime_error("the local HTTP test server did not start (python3, root " + rootUnix + ")");
    }
}

HttpTestServer::~HttpTestServer() {
    // The server ends when this connection closes, and its end closes the
    // other side: waiting for that means the port is free again afterwards.
    const SOCKET control = static_cast<SOCKET>(m_control);
    shutdown(control, SD_SEND);
    const DWORD timeout = kStopTimeoutMs;
    setsockopt(control, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    char byte;
    while (recv(control, &byte, 1, 0) > 0) {
    }
    closesocket(control);
    WSACleanup();
}

std::string HttpTestServer::Url(const std::string& pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + pathAndQuery;
}

std::string HttpTestServer::RefusedUrl(const std::string& pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(m_unusedPort) + pathAndQuery;
}

std::vector<HttpTestServer::Request> HttpTestServer::Requests() const {
    const std::vector<char> log = ReadFileBytes(m_stateDir + "/requests.log");
    std::istringstream lines(std::string(log.begin(), log.end()));
    std::vector<Request> out;
    std::string line;
    while (std::getline(lines, line)) {
        const size_t tab1 = line.find('\t');
        const size_t tab2 = line.find('\t', tab1 + 1);
        const size_t tab3 = line.find('\t', tab2 + 1);
        if (tab1 == std::string::npos || tab2 == std::string::npos || tab3 == std::string::npos) continue;
        out.push_back({line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1),
                       HexToBytes(line.substr(tab2 + 1, tab3 - tab2 - 1)), std::atoi(line.c_str() + tab3 + 1)});
    }
    return out;
}

int HttpTestServer::Answering() const {
    static std::atomic<int> counter{0};
    const std::string target = "/echo?answering=" + std::to_string(++counter);
    const SOCKET s = ConnectLocal(m_port);
    if (s == INVALID_SOCKET) return -1;
    const std::string request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    send(s, request.data(), static_cast<int>(request.size()), 0);
    const DWORD timeout = kStopTimeoutMs;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    char buffer[256];
    while (recv(s, buffer, sizeof buffer, 0) > 0) {
    }
    closesocket(s);
    for (const Request& r : Requests()) {
        if (r.target == target) return r.answering - 1;
    }
    return -1;
}

void HttpTestServer::ClearRequests() {
    DeleteFileW(ToWindowsPath(m_stateDir + "/requests.log").c_str());
}

}  // namespace kvtest
