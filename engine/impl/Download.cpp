#include "engine/impl/Download.h"

#include <windows.h>
#include <commdlg.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <optional>
#include <sstream>
#include <vector>

#include "engine/impl/BrowserImpl.h"
#include "engine/impl/Engine.h"
#include "engine/impl/EngineLog.h"
#include "engine/impl/Network.h"
#include "engine/impl/Utf.h"
#include "win/RefCounted.h"
#include "win/TextConversion.h"
#include "win/UniqueHandle.h"

namespace kvengine {
namespace {

class Item : public kvwin::RefCounted<CefDownloadItem> {
public:
    uint32_t id = 0;
    bool inProgress = false, complete = false, canceled = false;
    int64_t received = 0, total = -1;
    std::wstring url, suggested, fullPath, mimeType;

    uint32_t GetId() override { return id; }
    bool IsInProgress() override { return inProgress; }
    bool IsComplete() override { return complete; }
    bool IsCanceled() override { return canceled; }
    int64_t GetReceivedBytes() override { return received; }
    int64_t GetTotalBytes() override { return total; }
    CefString GetURL() override { return url; }
    CefString GetSuggestedFileName() override { return suggested; }
    CefString GetFullPath() override { return fullPath; }
    CefString GetMimeType() override { return mimeType; }
};

// Both callbacks act later on the UI thread, on the download if it still exists.
void OnDownload(CefRefPtr<BrowserImpl> browser, uint32_t id, std::function<void(Download&)> action);

class BeforeCallback : public kvwin::RefCounted<CefBeforeDownloadCallback> {
public:
    BeforeCallback(CefRefPtr<BrowserImpl> browser, uint32_t id) : m_browser(std::move(browser)), m_id(id) {}
    ~BeforeCallback() override {
        if (!m_used) OnDownload(m_browser, m_id, [](Download& d) { d.Cancel(); });
    }
    void Continue(const CefString& path, bool showDialog) override {
        if (m_used.exchange(true)) return;
        OnDownload(m_browser, m_id, [p = path.ToWString(), showDialog](Download& d) { d.Continue(p, showDialog); });
    }

private:
    const CefRefPtr<BrowserImpl> m_browser;
    const uint32_t m_id;
    std::atomic<bool> m_used{false};
};

class ItemCallback : public kvwin::RefCounted<CefDownloadItemCallback> {
public:
    ItemCallback(CefRefPtr<BrowserImpl> browser, uint32_t id) : m_browser(std::move(browser)), m_id(id) {}
    void Cancel() override { OnDownload(m_browser, m_id, [](Download& d) { d.Cancel(); }); }

private:
    const CefRefPtr<BrowserImpl> m_browser;
    const uint32_t m_id;
};

std::wstring TemporaryFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(ARRAYSIZE(folder), folder);
    return folder;
}

std::wstring DownloadsFolder() {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, KF_FLAG_CREATE, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    if (folder.empty()) folder = TemporaryFolder();
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

constexpr wchar_t kPartPrefix[] = L"kvengine-";
constexpr wchar_t kPartSuffix[] = L".part";

// With its id, the start time names one run of a program even after the id is reused.
ULONGLONG StartTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// "kvengine-<process id>-<start time, 16 hex digits>-<browser>-<download>.part"
std::wstring PartFileName(DWORD processId, ULONGLONG started, unsigned long browserId, unsigned long downloadId) {
    wchar_t time[17] = {};
    swprintf(time, ARRAYSIZE(time), L"%016llx", started);
    return kPartPrefix + std::to_wstring(processId) + L"-" + time + L"-" + std::to_wstring(browserId) + L"-" +
           std::to_wstring(downloadId) + kPartSuffix;
}

struct PartOwner {
    DWORD processId = 0;
    ULONGLONG started = 0;  // 0 when the name does not tell
};

// Only a name PartFileName gives, exactly, or one of the earlier form
// without the start time: whatever else is in the temporary folder is not the engine's.
std::optional<PartOwner> ParsePartName(const std::wstring& name) {
    const size_t prefix = wcslen(kPartPrefix), suffix = wcslen(kPartSuffix);
    if (name.size() <= prefix + suffix) return std::nullopt;
    std::vector<std::wstring> fields;
    std::wstringstream middle(name.substr(prefix, name.size() - prefix - suffix));
    for (std::wstring field; std::getline(middle, field, L'-');) fields.push_back(field);
    const auto number = [&fields](size_t i) { return std::wcstoul(fields[i].c_str(), nullptr, 10); };
    PartOwner owner;
    std::wstring expected;
    if (fields.size() == 4) {
        owner = {number(0), std::wcstoull(fields[1].c_str(), nullptr, 16)};
        expected = PartFileName(owner.processId, owner.started, number(2), number(3));
    } else if (fields.size() == 3) {
        owner = {number(0), 0};
        expected = kPartPrefix + std::to_wstring(number(0)) + L"-" + std::to_wstring(number(1)) + L"-" +
                   std::to_wstring(number(2)) + kPartSuffix;
    }
    if (expected.empty() || name != expected) return std::nullopt;
    return owner;
}

// A process that cannot be asked is taken as running: nothing is deleted on a guess.
bool OwnerRuns(const PartOwner& owner) {
    const kvwin::UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, owner.processId));
    if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    if (GetExitCodeProcess(process.get(), &code) && code != STILL_ACTIVE) return false;
    const ULONGLONG started = StartTime(process.get());
    return started == 0 || owner.started == 0 || started == owner.started;
}

}  // namespace

std::wstring SuggestedFileName(const std::wstring& attachmentName, const std::string& url) {
    std::wstring name = attachmentName;
    if (name.empty()) {
        std::string path = url.substr(0, url.find_first_of("?#"));
        const size_t scheme = path.find("://");
        path = scheme == std::string::npos ? path : path.substr(scheme + 3);
        const size_t slash = path.find_last_of('/');
        std::string last = slash == std::string::npos ? std::string() : path.substr(slash + 1);
        name = kvwin::Utf8ToWide(PercentDecode(last));
    }
    // No folders, no characters Windows refuses, no device names, no trailing dots.
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name = name.substr(slash + 1);
    for (wchar_t& c : name) {
        if (c < 32 || wcschr(L"<>:\"/\\|?*", c)) c = L'_';
    }
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
    while (!name.empty() && name.front() == L' ') name.erase(0, 1);
    const std::wstring stem = AsciiLower(name.substr(0, name.find(L'.')));
    static const wchar_t* devices[] = {L"con", L"prn", L"aux", L"nul", L"com1", L"com2", L"com3", L"com4",
                                       L"lpt1", L"lpt2", L"lpt3"};
    for (const wchar_t* d : devices) {
        if (stem == d) name = L"_" + name;
    }
    return name.empty() ? L"download" : name;
}

PartFile::PartFile(int browserId, uint32_t downloadId)
    : m_path(TemporaryFolder() + PartFileName(GetCurrentProcessId(), StartTime(GetCurrentProcess()),
                                              static_cast<unsigned long>(browserId), downloadId)) {}

PartFile::~PartFile() {
    if (!m_moved) DeleteFileW(m_path.c_str());
}

bool PartFile::MoveTo(const std::wstring& target) {
    m_moved = MoveFileExW(m_path.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != FALSE;
    return m_moved;
}

void PartFile::RemoveLeftOvers() {
    const std::wstring folder = TemporaryFolder();
    WIN32_FIND_DATAW found{};
    const kvwin::UniqueFindHandle find(
        FindFirstFileW((folder + kPartPrefix + L"*" + kPartSuffix).c_str(), &found));
    if (!find) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::optional<PartOwner> owner = ParsePartName(found.cFileName);
        if (owner && !OwnerRuns(*owner)) DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(find.get(), &found));
}

namespace {

void OnDownload(CefRefPtr<BrowserImpl> browser, uint32_t id, std::function<void(Download&)> action) {
    Engine* engine = Engine::Get();
    if (!engine) return;
    engine->PostUi([browser, id, action] { browser->WithDownload(id, action); });
}

}  // namespace

Download::Download(BrowserImpl& browser, uint32_t id, const ResponseInfo& response, std::shared_ptr<PartFile> partFile)
    : m_browser(browser), m_id(id), m_url(kvwin::Utf8ToWide(response.url)), m_mimeType(kvwin::Utf8ToWide(response.mimeType)),
      m_suggestedName(SuggestedFileName(response.AttachmentFileName(), response.url)),
      m_total(response.contentLength), m_partFile(std::move(partFile)) {}

Download::~Download() {
    if (m_job) m_job->Cancel();
}

CefRefPtr<CefDownloadItem> Download::Snapshot() const {
    CefRefPtr<Item> item = new Item();
    item->id = m_id;
    item->inProgress = m_state == State::Waiting || m_state == State::Saving;
    item->complete = m_state == State::Complete;
    item->canceled = m_state == State::Canceled;
    item->received = m_received;
    item->total = m_total;
    item->url = m_url;
    item->suggested = m_suggestedName;
    item->fullPath = m_fullPath;
    item->mimeType = m_mimeType;
    return item;
}

void Download::Begin() {
    CefRefPtr<CefClient> client = m_browser.Client();
    CefRefPtr<CefDownloadHandler> handler = client ? client->GetDownloadHandler() : nullptr;
    if (!handler) {
        Cancel();
        return;
    }
    handler->OnBeforeDownload(&m_browser, Snapshot(), m_suggestedName, new BeforeCallback(&m_browser, m_id));
}

void Download::Report() {
    CefRefPtr<CefClient> client = m_browser.Client();
    CefRefPtr<CefDownloadHandler> handler = client ? client->GetDownloadHandler() : nullptr;
    if (handler) handler->OnDownloadUpdated(&m_browser, Snapshot(), new ItemCallback(&m_browser, m_id));
    if (Finished()) m_browser.OnDownloadFinished(this);
}

std::wstring Download::ChooseWithDialog(const std::wstring& proposed) {
    std::wstring folder = PathIsRelativeW(proposed.c_str()) ? DownloadsFolder() : std::wstring();
    std::wstring buffer = proposed.empty() ? m_suggestedName : proposed;
    if (!PathIsRelativeW(buffer.c_str())) {
        const size_t slash = buffer.find_last_of(L"\\/");
        folder = buffer.substr(0, slash);
        buffer = buffer.substr(slash + 1);
    }
    buffer.resize(32768);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetAncestor(m_browser.Window(), GA_ROOT);
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!GetSaveFileNameW(&ofn)) return {};
    buffer.resize(wcslen(buffer.c_str()));
    return buffer;
}

void Download::Continue(const std::wstring& path, bool showDialog) {
    if (m_state != State::Waiting) return;
    std::wstring target = path.empty() ? m_suggestedName : path;
    if (showDialog) {
        target = ChooseWithDialog(target);
        // The dialog is modal: the download may have been cancelled while it was open.
        if (m_state != State::Waiting) return;
        if (target.empty()) {
            Cancel();
            return;
        }
    } else if (PathIsRelativeW(target.c_str())) {
        target = DownloadsFolder() + target;
    }
    m_fullPath = target;
    m_state = State::Saving;
    Report();
    TryComplete();
}

void Download::Cancel() {
    if (Finished()) return;
    m_state = State::Canceled;
    if (m_job) m_job->Cancel();
    m_partFile.reset();  // the file goes once the transfer has let go of it too
    Report();
}

void Download::OnProgress(int64_t received) {
    if (Finished()) return;
    m_received = received;
    Report();
}

void Download::OnTransferDone(int error) {
    m_transferDone = true;
    m_job.reset();
    if (m_state == State::Canceled) return;
    if (error != 0) {
        KV_LOG(LOGSEVERITY_WARNING) << "download of " << kvwin::LoggedAddress(kvwin::WideToUtf8(m_url)) << " failed (" << error << ")";
        Cancel();
        return;
    }
    TryComplete();
}

void Download::TryComplete() {
    if (!m_transferDone || m_state != State::Saving) return;
    if (!m_partFile->MoveTo(m_fullPath)) {
        KV_LOG(LOGSEVERITY_ERROR) << "cannot save the download to " << kvwin::WideToUtf8(m_fullPath) << " ("
                                  << GetLastError() << ")";
        Cancel();
        return;
    }
    m_state = State::Complete;
    Report();
}

}  // namespace kvengine
