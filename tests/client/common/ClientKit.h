#pragma once
// What the client's test programs share: libcurl set up once per program as
// the client's start-up does, and the client's data folder pointed at a
// fresh folder of the test's, with "log.txt" open there.
// curl.h brings winsock2.h, which must come before windows.h.
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "client/AppGlobals.h"
#include "client/Log.h"
#include "support/TestKit.h"

namespace kvclient::clienttest {

class CurlEnvironment : public ::testing::Environment {
public:
    void SetUp() override { curl_global_init(CURL_GLOBAL_ALL); }
    void TearDown() override { curl_global_cleanup(); }
};

// One registration per test program that includes this header.
inline ::testing::Environment* const kCurlEnvironment = ::testing::AddGlobalTestEnvironment(new CurlEnvironment);

// The client's data folder for one test, with the log file open in it.
class DataFolder {
public:
    explicit DataFolder(const std::string& name) : m_unix(kvtest::FreshDirUnix(name)) {
        g_appDataDir = kvtest::Narrow(kvtest::ToWindowsPath(m_unix)) + "\\";
        OpenLogFile();
    }
    ~DataFolder() { CloseLogFile(); }
    DataFolder(const DataFolder&) = delete;
    DataFolder& operator=(const DataFolder&) = delete;

    const std::string& Unix() const { return m_unix; }
    std::string Log() const {
        const std::vector<char> bytes = kvtest::ReadFileBytes(m_unix + "/log.txt");
        return std::string(bytes.begin(), bytes.end());
    }
    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        std::istringstream in(Log());
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

private:
    std::string m_unix;
};

// The message part of a file log line ("HH:MM:SS LEVEL :message").
inline std::string LogMessage(const std::string& line) {
    return line.size() > 16 ? line.substr(16) : std::string();
}

// How a log line shows an ASCII address longer than kMaxLoggedAddress.
inline std::string CutAddress(const std::string& url) {
    return url.substr(0, kMaxLoggedAddress) + "...(" + std::to_string(url.size()) + " bytes)";
}

inline std::string FileText(const std::string& unixPath) {
    const std::vector<char> bytes = kvtest::ReadFileBytes(unixPath);
    return std::string(bytes.begin(), bytes.end());
}

// A Unix path as the narrow Windows path the client's functions take.
inline std::string WindowsPath(const std::string& unixPath) {
    return kvtest::Narrow(kvtest::ToWindowsPath(unixPath));
}

inline bool FileExists(const std::string& unixPath) {
    return GetFileAttributesW(kvtest::ToWindowsPath(unixPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace kvclient::clienttest
