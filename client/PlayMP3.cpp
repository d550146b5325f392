#include "client/PlayMP3.h"

#include <mpg123.h>
#include <process.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

#include "client/AppGlobals.h"
#include "client/HttpFunction.h"
#include "client/Log.h"
#include "client/Mp3Decoder.h"
#include "client/WaveOutput.h"
#include "win/UniqueHandle.h"

namespace kvclient::PlayMP3 {
namespace {

// Written once by Init, before any request; read by every play thread.
std::string g_cacheFolder;

bool IsDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Deletes the files of `folder` (which ends with a backslash); subfolders stay.
void DeleteFolderFiles(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    const kvwin::UniqueFindHandle find(FindFirstFileA((folder + "*").c_str(), &entry));
    if (!find) {
        std::printf("ERROR");
        return;
    }
    do {
        if (std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0) continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        DeleteFileA((folder + entry.cFileName).c_str());
    } while (FindNextFileA(find.get(), &entry));
}

// FNV-1 over every byte; each byte is widened as a signed value, which keeps
// the names that short URLs have always had.
std::uint32_t UrlHash(const std::string& url) {
    std::uint32_t hash = 0x811C9DC5u;
    for (const char c : url) {
        hash = (hash * 0x01000193u) ^ static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
    }
    return hash;
}

// The download lands under a name of this thread's own and gets the cache
// name only once complete, so a cache file is always a whole download; when
// another request for the same URL got there first, its file is kept.
bool FetchIntoCache(const std::string& url, const std::string& path) {
    const std::string partial = path + "." + std::to_string(GetCurrentThreadId()) + ".part";
    if (!HttpDownloadFile(url, partial, kMaxSoundBytes)) return false;
    if (MoveFileA(partial.c_str(), path.c_str())) return true;
    DeleteFileA(partial.c_str());
    return IsFile(path);
}

// The requests not yet taken, served in order by at most kMaxSoundsAtOnce threads.
class RequestQueue {
public:
    // Logs the request, under the lock so that its line comes before anything
    // its thread logs; refused, with only that logged, when the queue is full.
    void Add(const std::string& url) {
        const std::string logged = LoggedAddress(url);
        const std::lock_guard<std::mutex> lock(m_mutex);
        // Counting the requests being served as well makes a burst that
        // arrives before the threads take their first requests count the same.
        if (m_waiting.size() + m_serving >= kMaxSoundsAtOnce + kMaxWaitingSounds) {
            WriteLog(LOG_ERROR, "PlayMP3", __LINE__, "PlayMP3::NewThreadPlayUrl refused, %u waiting: %s ",
                     static_cast<unsigned>(kMaxWaitingSounds), logged.c_str());
            return;
        }
        WriteLog(LOG_INFO, "PlayMP3", __LINE__, "PlayMP3::NewThreadPlayUrl %s ", logged.c_str());
        m_waiting.push_back(url);
        // A thread that cannot start leaves the request waiting for the next thread that does.
        if (m_threads < kMaxSoundsAtOnce && _beginthread(Serve, 0, this) != static_cast<uintptr_t>(-1)) ++m_threads;
    }

private:
    // Thread body: plays the waiting requests until none is left, then ends.
    static void __cdecl Serve(void* queue) {
        auto& self = *static_cast<RequestQueue*>(queue);
        for (std::string url; self.Take(url); self.Served()) PlayUrl(url);
    }

    // The oldest request; false, with this thread counted out, when none waits.
    bool Take(std::string& url) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_waiting.empty()) {
            --m_threads;
            return false;
        }
        url = std::move(m_waiting.front());
        m_waiting.pop_front();
        ++m_serving;
        return true;
    }

    void Served() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        --m_serving;
    }

    std::mutex m_mutex;
    std::deque<std::string> m_waiting;
    int m_threads = 0;
    size_t m_serving = 0;
};

// Lives as long as the process: its threads may still be playing at exit.
RequestQueue& Requests() {
    static RequestQueue* const queue = new RequestQueue();
    return *queue;
}

}  // namespace

void Init() {
    g_cacheFolder = g_appDataDir + "\\mp3filecache\\";
    if (IsDirectory(g_cacheFolder)) {
        DeleteFolderFiles(g_cacheFolder);
    } else {
        CreateDirectoryA(g_cacheFolder.c_str(), nullptr);
    }
    const int result = mpg123_init();
    if (result != MPG123_OK) std::fprintf(stderr, "mpg123_init wrong: %s", mpg123_plain_strerror(result));
}

int NewThreadPlayUrl(const std::string& url) {
    Requests().Add(url);
    return 0;
}

int PlayUrl(const std::string& url) {
    if (url.empty() || g_cacheFolder.empty()) return -1;
    const std::string path = CacheFileName(url);
    if (!IsFile(path)) FetchIntoCache(url, path);
    return IsFile(path) ? DecodeAndPlay(path) : -1;
}

const std::string& CacheFolder() { return g_cacheFolder; }

std::string CacheFileName(const std::string& url) {
    return g_cacheFolder + std::to_string(UrlHash(url)) + ".mp3";
}

int DecodeAndPlay(const std::string& path, UINT device) {
    Mp3Decoder decoder;
    if (!decoder.Open(path)) {
        WriteLog(LOG_ERROR, "PlayMP3", __LINE__, "PlayMP3::DecodeAndPlay cannot decode %s ", path.c_str());
        return -1;
    }
    WaveOutput output;
    if (output.OpenWaveOut(decoder.Rate(), decoder.Channels(), device) != 0) {
        std::fprintf(stderr, "open_win32 false\n");
        WriteLog(LOG_ERROR, "PlayMP3", __LINE__, "PlayMP3::DecodeAndPlay open_win32 false %s ", path.c_str());
        return -1;
    }
    std::vector<unsigned char> block(decoder.BlockSize());
    for (;;) {
        const size_t decoded = decoder.Read(block.data(), block.size());
        if (decoded == 0) break;
        const int written = output.Write(block.data(), static_cast<int>(decoded));
        if (written < static_cast<int>(decoded)) {
            std::fprintf(stderr, "Warning: written less than gotten from libmpg123: %li != %li\n",
                         static_cast<long>(written), static_cast<long>(decoded));
        }
        if (written < 0) break;
    }
    output.Close();
    return 0;
}

}  // namespace kvclient::PlayMP3
