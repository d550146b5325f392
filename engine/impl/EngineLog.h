#pragma once
// The engine's log file, shared by the browser process and its renderers:
// records at or above the configured severity, appended whole.
#include <sstream>
#include <string>

#include "engine/CefApp.h"

namespace kvengine {

// Before this, nothing is written. An empty path means "debug.log" beside the executable.
void ConfigureLog(const std::wstring& path, cef_log_severity_t severity);
void CloseLog();
bool LogEnabled(cef_log_severity_t severity);
// What a renderer needs to write to the same log.
std::wstring LogPath();
cef_log_severity_t LogSeverity();

class LogRecord {
public:
    LogRecord(cef_log_severity_t severity, const char* file, int line);
    ~LogRecord();
    LogRecord(const LogRecord&) = delete;
    LogRecord& operator=(const LogRecord&) = delete;
    std::ostringstream& Stream() { return m_stream; }

private:
    std::ostringstream m_stream;
};

// Lets the record's stream expression stand in a conditional (below `<<` in precedence).
struct LogVoidify {
    void operator&(std::ostream&) {}
};

}  // namespace kvengine

#define KV_LOG(severity)                                        \
    !kvengine::LogEnabled(severity) ? (void)0                   \
                                    : kvengine::LogVoidify() &  \
                                          kvengine::LogRecord(severity, __FILE__, __LINE__).Stream()
