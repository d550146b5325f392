// Sounds requested by URL: the cache folder, the cache names, one download
// per sound that only ever leaves whole files, and playback that ends cleanly.
#include "client/common/ClientKit.h"

#include <algorithm>
#include <thread>

#include "Mp3Kit.h"
#include "client/PlayMP3.h"
#include "support/HttpTestServer.h"

namespace kvclient {
namespace {

using clienttest::CutAddress;
using clienttest::DataFolder;
using clienttest::FileExists;
using clienttest::FileText;
using clienttest::LogMessage;
using clienttest::WindowsPath;
using kvtest::HttpTestServer;

// The names of the files in a folder.
std::vector<std::string> FilesIn(const std::string& folderUnix) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW((kvtest::ToWindowsPath(folderUnix) + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(kvtest::Narrow(entry.cFileName));
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return names;
}

class PlayMp3 : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_root = kvtest::FreshDirUnix("sounds");
        mp3test::MakeToneMp3(s_root, "tone.mp3", {44100, 1, 0.5, 440});
        s_server = new HttpTestServer(s_root);
    }
    static void TearDownTestSuite() {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override {
        s_server->ClearRequests();
        PlayMP3::Init();
        m_cache = m_data.Unix() + "/mp3filecache";
    }

    // A URL of its own for each test, so that no test finds another's sound cached.
    std::string ToneUrl(const std::string& query = {}) const {
        return s_server->Url("/tone.mp3?test=" +
                             std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                             (query.empty() ? "" : "&" + query));
    }
    std::string CachedUnix(const std::string& url) const {
        const std::string name = PlayMP3::CacheFileName(url);
        return m_cache + "/" + name.substr(name.rfind('\\') + 1);
    }

    static std::string s_root;
    static HttpTestServer* s_server;
    DataFolder m_data{"data"};
    std::string m_cache;
};

std::string PlayMp3::s_root;
HttpTestServer* PlayMp3::s_server = nullptr;

TEST_F(PlayMp3, CacheFolderSitsInTheDataFolder) {
    EXPECT_EQ(g_appDataDir + "\\mp3filecache\\", PlayMP3::CacheFolder());
    const DWORD attributes = GetFileAttributesW(kvtest::ToWindowsPath(m_cache).c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(PlayMp3, ShortUrlsKeepTheirCacheNames) {
    EXPECT_EQ(PlayMP3::CacheFolder() + "1134309195.mp3", PlayMP3::CacheFileName("abc"));
}

TEST_F(PlayMp3, EveryByteOfALongUrlTakesPartInItsName) {
    // Longer than 9 bytes: each pair differs in a byte that sampling every few bytes would skip.
    const std::string base = "https://shop.example/sounds/bell-01.mp3";
    for (const size_t at : std::vector<size_t>{1, 2, 22, base.size() - 2}) {
        std::string other = base;
        other[at] = static_cast<char>(other[at] ^ 1);
        EXPECT_NE(PlayMP3::CacheFileName(base), PlayMP3::CacheFileName(other)) << "byte " << at;
    }
}

TEST_F(PlayMp3, InitEmptiesTheCacheOfFilesButKeepsFolders) {
    for (const char* name : {"1.mp3", "a", ".hidden", "2.mp3.77.part"}) kvtest::WriteFileText(m_cache + "/" + name, "x");
    kvtest::RunUnix({"mkdir", "-p", m_cache + "/sub"});
    kvtest::WriteFileText(m_cache + "/sub/kept.mp3", "x");
    PlayMP3::Init();
    EXPECT_TRUE(FilesIn(m_cache).empty());
    EXPECT_TRUE(FileExists(m_cache + "/sub/kept.mp3"));
}

TEST_F(PlayMp3, ASoundIsDownloadedOnceThenPlayedFromTheCache) {
    const std::string url = ToneUrl();
    EXPECT_EQ(0, PlayMP3::PlayUrl(url));
    EXPECT_EQ(FileText(s_root + "/tone.mp3"), FileText(CachedUnix(url)));
    EXPECT_EQ(0, PlayMP3::PlayUrl(url));
    EXPECT_EQ(1u, s_server->Requests().size());
    EXPECT_EQ(std::vector<std::string>{PlayMP3::CacheFileName(url).substr(PlayMP3::CacheFolder().size())},
              FilesIn(m_cache));
    EXPECT_EQ("", m_data.Log());
}

TEST_F(PlayMp3, AFailedDownloadPlaysNothingAndLeavesNoFile) {
    const std::string url = ToneUrl("status=404");
    EXPECT_EQ(-1, PlayMP3::PlayUrl(url));
    EXPECT_TRUE(FilesIn(m_cache).empty());
    const auto lines = m_data.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("HttpDownloadFile retcode != 200 url: " + url + " code:404 ", LogMessage(lines[0]));
    // Nothing was cached, so the next request tries again.
    EXPECT_EQ(-1, PlayMP3::PlayUrl(url));
    EXPECT_EQ(2u, s_server->Requests().size());
}

TEST_F(PlayMp3, AnInterruptedDownloadNeverCountsAsCached) {
    const std::string url = ToneUrl("cut=3000");
    EXPECT_EQ(-1, PlayMP3::PlayUrl(url));
    EXPECT_TRUE(FilesIn(m_cache).empty());
}

TEST_F(PlayMp3, TwoRequestsForTheSameNewSoundAtOnceLeaveOneWholeFile) {
    // About a second per download, so that the second request starts while the first one downloads.
    const std::string url = ToneUrl("rate=8000");
    int results[2] = {1, 1};
    std::thread first([&] { results[0] = PlayMP3::PlayUrl(url); });
    ASSERT_TRUE(kvtest::PumpUntil([&] { return !s_server->Requests().empty(); }, 10000));
    // A download in progress is not a cached sound.
    EXPECT_FALSE(FileExists(CachedUnix(url)));
    std::thread second([&] { results[1] = PlayMP3::PlayUrl(url); });
    first.join();
    second.join();
    EXPECT_EQ(0, results[0]);
    EXPECT_EQ(0, results[1]);
    EXPECT_EQ(2u, s_server->Requests().size());
    EXPECT_EQ(FileText(s_root + "/tone.mp3"), FileText(CachedUnix(url)));
    EXPECT_EQ(1u, FilesIn(m_cache).size());
}

TEST_F(PlayMp3, ADownloadPastTheSizeOfASoundIsStoppedAndLeavesNoFile) {
    // No length announced: only counting what arrives can stop it.
    const std::string url = s_server->Url("/bytes/" + std::to_string(PlayMP3::kMaxSoundBytes + 1) + "?length=none");
    EXPECT_EQ(-1, PlayMP3::PlayUrl(url));
    EXPECT_TRUE(FilesIn(m_cache).empty());
    const auto lines = m_data.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("HttpDownloadFile ERROR url: " + url + " code:63 ", LogMessage(lines[0]));
}

TEST_F(PlayMp3, RequestsBeyondTheLimitWaitTheirTurn) {
    constexpr int kRequests = PlayMP3::kMaxSoundsAtOnce + 2;
    // Each download lasts about a second and ends with its connection, so the
    // server counts a download as answered until the client has all of it.
    std::vector<std::string> urls;
    for (int i = 0; i < kRequests; ++i) urls.push_back(ToneUrl("n=" + std::to_string(i) + "&rate=8000&length=none"));
    for (const std::string& url : urls) PlayMP3::NewThreadPlayUrl(url);
    const auto cached = [&](const std::string& url) { return FileExists(CachedUnix(url)); };
    EXPECT_TRUE(kvtest::PumpUntil([&] { return std::all_of(urls.begin(), urls.end(), cached); }, 60000));
    const auto requests = s_server->Requests();
    ASSERT_EQ(urls.size(), requests.size());
    int most = 0;
    for (const auto& request : requests) most = std::max(most, request.answering);
    EXPECT_EQ(PlayMP3::kMaxSoundsAtOnce, most);
}

TEST_F(PlayMp3, ARequestIsLoggedWithItsAddressCutAndPlaysOnAThreadOfItsOwn) {
    const std::string url = ToneUrl("pad=" + std::string(kMaxLoggedAddress, 'p'));
    EXPECT_EQ(0, PlayMP3::NewThreadPlayUrl(url));
    const auto lines = m_data.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(" INFO  :PlayMP3::NewThreadPlayUrl " + CutAddress(url) + " ", lines[0].substr(8));
    EXPECT_TRUE(kvtest::PumpUntil([&] { return FileExists(CachedUnix(url)); }, 10000));
}

TEST_F(PlayMp3, RequestsBeyondTheWaitingLimitAreRefusedEachWithOneLine) {
    // The first requests hold every thread (the server answers them late) while the rest queue
    // up; once the server has all of them, sounds of earlier tests have ended.
    constexpr size_t kAtOnce = PlayMP3::kMaxSoundsAtOnce;
    constexpr size_t kAccepted = kAtOnce + PlayMP3::kMaxWaitingSounds;
    const std::string padding = "&pad=" + std::string(4 * kMaxLoggedAddress, 'p');
    const auto url = [&](size_t i) {
        return ToneUrl("status=404&n=" + std::to_string(i) + (i < kAtOnce ? "&delay=2000" : "") + padding);
    };
    for (size_t i = 0; i < kAtOnce; ++i) PlayMP3::NewThreadPlayUrl(url(i));
    ASSERT_TRUE(kvtest::PumpUntil([&] { return s_server->Requests().size() == kAtOnce; }, 10000));
    for (size_t i = kAtOnce; i < kAccepted + 2; ++i) PlayMP3::NewThreadPlayUrl(url(i));

    const auto failed = [&] {
        const auto lines = m_data.LogLines();
        return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return LogMessage(line).rfind("HttpDownloadFile retcode", 0) == 0;
        }));
    };
    ASSERT_TRUE(kvtest::PumpUntil([&] { return failed() == kAccepted; }, 30000));
    EXPECT_EQ(kAccepted, s_server->Requests().size());
    std::vector<std::string> refusals;
    for (const std::string& line : m_data.LogLines()) {
        if (line.find(" ERROR :PlayMP3::") == 8) refusals.push_back(LogMessage(line));
    }
    const std::string refused = "PlayMP3::NewThreadPlayUrl refused, " + std::to_string(PlayMP3::kMaxWaitingSounds) +
                                " waiting: ";
    EXPECT_EQ((std::vector<std::string>{refused + CutAddress(url(kAccepted)) + " ",
                                        refused + CutAddress(url(kAccepted + 1)) + " "}),
              refusals);
}

TEST_F(PlayMp3, AnEmptyUrlPlaysNothing) {
    EXPECT_EQ(-1, PlayMP3::PlayUrl(""));
    EXPECT_TRUE(s_server->Requests().empty());
}

TEST_F(PlayMp3, ACachedFileThatIsNoMp3IsLoggedAndStays) {
    const std::string url = ToneUrl();
    kvtest::WriteFileText(CachedUnix(url), "<html>not a sound</html>");
    EXPECT_EQ(-1, PlayMP3::PlayUrl(url));
    EXPECT_TRUE(s_server->Requests().empty());
    EXPECT_TRUE(FileExists(CachedUnix(url)));
    const auto lines = m_data.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("PlayMP3::DecodeAndPlay cannot decode " + PlayMP3::CacheFileName(url) + " ", LogMessage(lines[0]));
}

TEST_F(PlayMp3, WithoutAnOutputDeviceTheFailureIsLoggedAndPlaybackEnds) {
    const std::string file = WindowsPath(s_root + "/tone.mp3");
    EXPECT_EQ(-1, PlayMP3::DecodeAndPlay(file, 4000));
    const auto lines = m_data.LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("PlayMP3::DecodeAndPlay open_win32 false " + file + " ", LogMessage(lines[0]));
}

}  // namespace
}  // namespace kvclient
