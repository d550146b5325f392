// The client's log: the record formats byte for byte, the switch from the
// console to "log.txt", and whole lines when many threads write at once.
#include "client/common/ClientKit.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <ctime>
#include <functional>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

namespace kvclient {
namespace {

using clienttest::FileExists;
using clienttest::FileText;

std::string Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

// Runs `body` with standard error sent into a file and returns what arrived there.
std::string CaptureStderr(const std::function<void()>& body) {
    const std::string path = kvtest::WorkDirUnix() + "/stderr.txt";
    std::fflush(stderr);
    const int saved = _dup(2);
    const int file = _wopen(kvtest::ToWindowsPath(path).c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY,
                            _S_IREAD | _S_IWRITE);
    _dup2(file, 2);
    _close(file);
    body();
    std::fflush(stderr);
    _dup2(saved, 2);
    _close(saved);
    return FileText(path);
}

class Log : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = kvtest::FreshDirUnix("data");
        g_appDataDir = kvtest::Narrow(kvtest::ToWindowsPath(m_dir)) + "\\";
    }
    void TearDown() override { CloseLogFile(); }

    std::string LogFile() const { return m_dir + "/log.txt"; }

    std::string m_dir;
};

// "HH:MM:SS" taken between `before` and `after` (the clock may tick during the call).
void ExpectTimeBetween(const std::string& time, const std::string& before, const std::string& after) {
    ASSERT_EQ(8u, time.size());
    EXPECT_TRUE(time == before || time == after) << time << " not in [" << before << ", " << after << "]";
}

TEST_F(Log, FileLineIsTimeLevelColonAndTextWithNothingBetween) {
    ASSERT_TRUE(OpenLogFile());
    const std::string before = Now();
    WriteLog(LOG_ERROR, "HttpFunction", 42, "HttpDownloadFile ERROR url: %s code:%d ", "http://a/b", 7);
    const std::string after = Now();
    const std::string text = FileText(LogFile());
    ASSERT_GE(text.size(), 8u);
    ExpectTimeBetween(text.substr(0, 8), before, after);
    EXPECT_EQ(" ERROR :HttpDownloadFile ERROR url: http://a/b code:7 \n", text.substr(8));
}

TEST_F(Log, EveryLevelNameIsPaddedToFiveCharacters) {
    ASSERT_TRUE(OpenLogFile());
    for (int level = LOG_TRACE; level <= LOG_FATAL; ++level) WriteLog(level, "Log", 1, "x");
    std::vector<std::string> names;
    std::istringstream lines(FileText(LogFile()));
    for (std::string line; std::getline(lines, line);) names.push_back(line.substr(8));
    EXPECT_EQ((std::vector<std::string>{" TRACE :x", " DEBUG :x", " INFO  :x", " WARN  :x", " ERROR :x",
                                        " FATAL :x"}),
              names);
}

TEST_F(Log, TextWithANewlineOfItsOwnGetsAnotherOne) {
    ASSERT_TRUE(OpenLogFile());
    WriteLog(LOG_INFO, "Log", 1, "line\n");
    EXPECT_EQ(" INFO  :line\n\n", FileText(LogFile()).substr(8));
}

TEST_F(Log, GbkTextReachesTheFileUnchanged) {
    ASSERT_TRUE(OpenLogFile());
    const std::string text = kvtest::Gbk(u8"UPDATEGET_URL 请求失败！");
    WriteLog(LOG_ERROR, "MainFrame", 1, "%s", text.c_str());
    EXPECT_EQ(" ERROR :" + text + "\n", FileText(LogFile()).substr(8));
}

TEST_F(Log, BeforeTheFileIsOpenEntriesGoToStandardErrorWithTwoBlanks) {
    const std::string before = Now();
    const std::string printed = CaptureStderr([] { WriteLog(LOG_WARN, "Log", 1, "early %d", 1); });
    const std::string after = Now();
    ASSERT_GE(printed.size(), 8u);
    ExpectTimeBetween(printed.substr(0, 8), before, after);
    EXPECT_EQ(" WARN   early 1\n", printed.substr(8));
    EXPECT_FALSE(FileExists(LogFile()));
}

TEST_F(Log, OpeningAppendsToTheEarlierLog) {
    kvtest::WriteFileText(LogFile(), "earlier run\n");
    ASSERT_TRUE(OpenLogFile());
    WriteLog(LOG_ERROR, "Log", 1, "now");
    const std::string text = FileText(LogFile());
    ASSERT_EQ(0u, text.find("earlier run\n"));
    EXPECT_EQ(" ERROR :now\n", text.substr(std::string("earlier run\n").size() + 8));
}

TEST_F(Log, AfterClosingEntriesGoBackToStandardError) {
    ASSERT_TRUE(OpenLogFile());
    WriteLog(LOG_ERROR, "Log", 1, "in the file");
    CloseLogFile();
    const std::string printed = CaptureStderr([] { WriteLog(LOG_ERROR, "Log", 1, "after close"); });
    EXPECT_EQ(" ERROR  after close\n", printed.substr(8));
    EXPECT_EQ(" ERROR :in the file\n", FileText(LogFile()).substr(8));
}

TEST_F(Log, AFileThatCannotBeOpenedKeepsTheConsole) {
    g_appDataDir = kvtest::Narrow(kvtest::ToWindowsPath(m_dir)) + "\\missing\\";
    EXPECT_FALSE(OpenLogFile());
    const std::string printed = CaptureStderr([] { WriteLog(LOG_ERROR, "Log", 1, "still seen"); });
    EXPECT_EQ(" ERROR  still seen\n", printed.substr(8));
}

TEST_F(Log, ManyThreadsWritingAtOnceKeepEveryLineWhole) {
    ASSERT_TRUE(OpenLogFile());
    constexpr int kThreads = 8;
    constexpr int kRecords = 400;
    const std::string padding(150, '#');
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &padding] {
            for (int r = 0; r < kRecords; ++r) WriteLog(LOG_INFO, "Log", 1, "thread %d record %d %s", t, r, padding.c_str());
        });
    }
    for (std::thread& thread : threads) thread.join();

    std::set<std::pair<int, int>> seen;
    std::istringstream lines(FileText(LogFile()));
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        int t = -1;
        int r = -1;
        char rest[256] = {};
        ASSERT_EQ(3, std::sscanf(line.c_str() + 8, " INFO  :thread %d record %d %255s", &t, &r, rest)) << line;
        EXPECT_EQ(padding, rest) << line;
        EXPECT_EQ(':', line[2]);
        EXPECT_EQ(':', line[5]);
        seen.insert({t, r});
    }
    EXPECT_EQ(kThreads * kRecords, count);
    EXPECT_EQ(static_cast<size_t>(kThreads * kRecords), seen.size());
}

struct AddressCase {
    std::string url;
    std::string logged;
};

TEST(LoggedAddress, KeepsShortAddressesOnOneLineAndCutsLongOnes) {
    const std::string limit(kMaxLoggedAddress, 'a');
    const std::string wide = u8"\u00e9";  // two bytes in UTF-8
    const AddressCase cases[] = {
        {"http://a/b?c=1", "http://a/b?c=1"},
        {limit, limit},
        {limit + "b", limit + "...(257 bytes)"},
        {std::string(1 << 20, 'a'), limit + "...(1048576 bytes)"},
        // The cut falls within the last character: all of it goes.
        {limit.substr(1) + wide + "b", limit.substr(1) + "...(258 bytes)"},
        // Not UTF-8: at most a character's worth is given up.
        {std::string(300, '\xA1'), std::string(kMaxLoggedAddress - 3, '\xA1') + "...(300 bytes)"},
        {"http://a/\r\n12:00:00 ERROR :forged\t\x7f", "http://a/%0D%0A12:00:00 ERROR :forged%09%7F"},
    };
    for (const AddressCase& c : cases) EXPECT_EQ(c.logged, LoggedAddress(c.url)) << c.url.substr(0, 40);
}

}  // namespace
}  // namespace kvclient
