#pragma once
// Stand-in until the update download window arrives: an empty modal window.
#include <string>

#include "ui/core/WindowWnd.h"

namespace kvclient {

class DownloadUpdateFrame : public KvUI::CWindowWnd {
public:
    DownloadUpdateFrame(const std::string& version, const std::string& link) : m_version(version), m_link(link) {}

protected:
    LPCTSTR GetWindowClassName() const override { return L"DownloadUpdateFrame"; }

private:
    std::string m_version;
    std::string m_link;
};

}  // namespace kvclient
