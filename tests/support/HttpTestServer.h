#pragma once
// A real HTTP server on 127.0.0.1 for tests: Python's http.server running
// tests/support/http_test_server.py, started by the test program and ended
// with it. It serves a document root folder that the test fills (before or
// after the start) and a few scripted routes; the script's header lists them:
//   /<file>, /bytes/<n>, /endless/<seconds>, /echo, /header/<name>, /redirect/<n>/<path>
// and the query parameters every route takes:
//   status=<code>, delay=<ms>, rate=<bytes per second>, length=none, chunked=1, cut=<n>,
//   location=<url>, type=<media type>, flood=<seconds>
// e.g. Url("/redirect/2/tone.mp3?length=none") or Url("/bytes/5000000?rate=200000").
#include <windows.h>

#include <string>
#include <vector>

namespace kvtest {

class HttpTestServer {
public:
    // Starts serving the Unix folder `rootUnix` on `port`, or on a free port
    // when it is 0. Throws std::runtime_error when the server is not
    // listening within 20 seconds (or the port is taken).
    explicit HttpTestServer(const std::string& rootUnix, int port = 0);
    // Ends the server and waits (up to 5 seconds) until it is gone.
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    int Port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by `pathAndQuery` (which starts with "/").
    std::string Url(const std::string& pathAndQuery) const;
    // The same on a port of 127.0.0.1 where nothing listens: the connection is refused.
    std::string RefusedUrl(const std::string& pathAndQuery) const;

    struct Request {
        std::string method;  // "GET", "POST"
        std::string target;  // path with query, as sent
        std::string body;
        int answering;  // requests being answered when this one arrived, itself included
    };
    // Every request received so far, in order; each is recorded before its reply is sent.
    std::vector<Request> Requests() const;
    // How many requests the server is answering now, besides the one that
    // asks (sent from here and answered before this returns); -1 when it cannot ask.
    int Answering() const;
    // Forgets the requests received so far (one server can serve a whole test suite).
    void ClearRequests();

private:
    std::string m_stateDir;
    int m_port = 0;
    int m_unusedPort = 0;
    // The connection that keeps the server alive (a SOCKET).
    UINT_PTR m_control;
};

}  // namespace kvtest
