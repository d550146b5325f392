#pragma once
// Engine objects the browser client is handed, recording what it does with them.
#include <string>
#include <vector>

#include "client/EngineNames.h"
#include "win/RefCounted.h"

namespace kvclient::clienttest {

class FakeHost;

class FakeBrowser : public kvwin::RefCounted<CefBrowser> {
public:
    FakeBrowser(int id, bool popup, bool hasDocument);

    CefRefPtr<CefBrowserHost> GetHost() override;
    int GetIdentifier() override { return m_id; }
    bool IsSame(CefRefPtr<CefBrowser> that) override { return that && that->GetIdentifier() == m_id; }
    bool IsPopup() override { return m_popup; }
    bool HasDocument() override { return m_hasDocument; }
    CefRefPtr<CefFrame> GetMainFrame() override { return nullptr; }
    bool CanGoBack() override { return false; }
    bool CanGoForward() override { return false; }
    void GoBack() override {}
    void GoForward() override {}
    void Reload() override {}
    bool SendProcessMessage(CefProcessId, CefRefPtr<CefProcessMessage>) override { return false; }

    // What was asked of the browser's host.
    std::vector<std::string>& HostCalls();

private:
    const int m_id;
    const bool m_popup;
    const bool m_hasDocument;
    CefRefPtr<FakeHost> m_host;
};

class FakeHost : public kvwin::RefCounted<CefBrowserHost> {
public:
    CefRefPtr<CefBrowser> GetBrowser() override { return nullptr; }
    void CloseBrowser(bool force) override { calls.push_back(force ? "Close(force)" : "Close"); }
    HWND GetWindowHandle() override { return nullptr; }
    CefRefPtr<CefClient> GetClient() override { return nullptr; }
    double GetZoomLevel() override { return 0; }
    void SetZoomLevel(double) override {}
    void SetFocus(bool) override {}
    void ShowDevTools(const CefWindowInfo&, CefRefPtr<CefClient>, const CefBrowserSettings&,
                      const CefPoint&) override {
        calls.push_back("ShowDevTools");
    }

    std::vector<std::string> calls;
};

inline FakeBrowser::FakeBrowser(int id, bool popup, bool hasDocument)
    : m_id(id), m_popup(popup), m_hasDocument(hasDocument), m_host(new FakeHost()) {}
inline CefRefPtr<CefBrowserHost> FakeBrowser::GetHost() { return m_host; }
inline std::vector<std::string>& FakeBrowser::HostCalls() { return m_host->calls; }

class FakeDownloadItem : public kvwin::RefCounted<CefDownloadItem> {
public:
    FakeDownloadItem(std::string url, std::wstring suggested, bool complete)
        : m_url(std::move(url)), m_suggested(std::move(suggested)), m_complete(complete) {}

    uint32_t GetId() override { return 1; }
    bool IsInProgress() override { return !m_complete; }
    bool IsComplete() override { return m_complete; }
    bool IsCanceled() override { return false; }
    int64_t GetReceivedBytes() override { return 0; }
    int64_t GetTotalBytes() override { return -1; }
    CefString GetURL() override { return m_url; }
    CefString GetSuggestedFileName() override { return m_suggested; }
    CefString GetFullPath() override { return CefString(); }
    CefString GetMimeType() override { return "application/octet-stream"; }

private:
    const std::string m_url;
    const std::wstring m_suggested;
    const bool m_complete;
};

class FakeBeforeDownloadCallback : public kvwin::RefCounted<CefBeforeDownloadCallback> {
public:
    void Continue(const CefString& path, bool showDialog) override {
        calls.push_back(path.ToString() + (showDialog ? " with dialog" : " without dialog"));
    }
    std::vector<std::string> calls;
};

class FakeMenuParams : public kvwin::RefCounted<CefContextMenuParams> {
public:
    explicit FakeMenuParams(int flags) : m_flags(flags) {}
    int GetXCoord() override { return 0; }
    int GetYCoord() override { return 0; }
    int GetTypeFlags() override { return m_flags; }

private:
    const int m_flags;
};

class FakeMenuModel : public kvwin::RefCounted<CefMenuModel> {
public:
    bool Clear() override {
        items.clear();
        return true;
    }
    int GetCount() override { return static_cast<int>(items.size()); }
    bool AddSeparator() override { return AddItem(-1, L""); }
    bool AddItem(int command, const CefString& label) override {
        items.push_back(std::to_string(command) + " " + label.ToString());
        return true;
    }
    int GetCommandIdAt(int) override { return -1; }
    CefString GetLabelAt(int) override { return CefString(); }

    std::vector<std::string> items;
};

}  // namespace kvclient::clienttest
