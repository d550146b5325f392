#pragma once
// One download: content saved to a temporary file while the client chooses
// where it goes, then moved there. Its reports run on the UI thread.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/CefDownloadHandler.h"

namespace kvengine {

class BrowserImpl;
class LoadJob;
struct ResponseInfo;

// The temporary file a download is received into, in the temporary folder
// under a name that tells which run of which program made it. It is deleted
// when its last holder (the download, the transfer writing it) lets go,
// unless it was moved to where the user saves it.
class PartFile {
public:
    PartFile(int browserId, uint32_t downloadId);
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    const std::wstring& Path() const { return m_path; }
    bool MoveTo(const std::wstring& target);

    // Deletes the part files whose program no longer runs: left by one that
    // was ended or crashed. Files of a running engine, and every file named
    // otherwise, stay.
    static void RemoveLeftOvers();

private:
    const std::wstring m_path;
    bool m_moved = false;
};

class Download {
public:
    Download(BrowserImpl& browser, uint32_t id, const ResponseInfo& response, std::shared_ptr<PartFile> partFile);
    ~Download();

    uint32_t Id() const { return m_id; }
    bool Finished() const { return m_state == State::Complete || m_state == State::Canceled; }
    void SetJob(std::shared_ptr<LoadJob> job) { m_job = std::move(job); }

    // Asks the client (OnBeforeDownload); without a download handler the download is cancelled.
    void Begin();
    void Continue(const std::wstring& path, bool showDialog);
    void Cancel();
    void OnProgress(int64_t received);
    void OnTransferDone(int error);

private:
    enum class State { Waiting, Saving, Complete, Canceled };

    CefRefPtr<CefDownloadItem> Snapshot() const;
    void Report();
    void TryComplete();
    std::wstring ChooseWithDialog(const std::wstring& proposed);

    BrowserImpl& m_browser;
    const uint32_t m_id;
    const std::wstring m_url;
    const std::wstring m_mimeType;
    const std::wstring m_suggestedName;
    const int64_t m_total;
    std::shared_ptr<PartFile> m_partFile;
    std::shared_ptr<LoadJob> m_job;
    State m_state = State::Waiting;
    std::wstring m_fullPath;
    int64_t m_received = 0;
    bool m_transferDone = false;
};

// A file name for what was downloaded from `url`, safe to create in any folder.
std::wstring SuggestedFileName(const std::wstring& attachmentName, const std::string& url);

}  // namespace kvengine
