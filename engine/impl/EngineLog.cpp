#include "engine/impl/EngineLog.h"

#include <windows.h>

#include <cstdio>
#include <mutex>

#include "win/UniqueHandle.h"

namespace kvengine {
namespace {

struct LogState {
    std::mutex mutex;
    kvwin::UniqueKernelHandle file;
    std::wstring path;
    cef_log_severity_t severity = LOGSEVERITY_DISABLE;
};

LogState& State() {
    static LogState state;
    return state;
}

const char* SeverityName(cef_log_severity_t severity) {
    switch (severity) {
    case LOGSEVERITY_VERBOSE: return "VERBOSE";
    case LOGSEVERITY_INFO: return "INFO";
    case LOGSEVERITY_WARNING: return "WARNING";
    default: return "ERROR";
    }
}

std::wstring DefaultLogPath() {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path = module;
    const size_t slash = path.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1)) + L"debug.log";
}

}  // namespace

void ConfigureLog(const std::wstring& path, cef_log_severity_t severity) {
    LogState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.path = path.empty() ? DefaultLogPath() : path;
    s.severity = severity == LOGSEVERITY_DEFAULT ? LOGSEVERITY_INFO : severity;
    s.file.reset();
    if (s.severity == LOGSEVERITY_DISABLE) return;
    s.file.reset(CreateFileW(s.path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void CloseLog() {
    LogState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.file.reset();
    s.severity = LOGSEVERITY_DISABLE;
}

bool LogEnabled(cef_log_severity_t severity) {
    LogState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.file && severity >= s.severity;
}

std::wstring LogPath() {
    LogState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.path;
}

cef_log_severity_t LogSeverity() {
    LogState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.severity;
}

LogRecord::LogRecord(cef_log_severity_t severity, const char* file, int line) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    const char* base = file;
    for (const char* p = file; *p; ++p) {
        if (*p == '/' || *p == '\\') base = p + 1;
    }
    char head[128];
    std::snprintf(head, sizeof head, "[%lu:%lu:%02u%02u/%02u%02u%02u.%03u:%s:%s(%d)] ",
                  GetCurrentProcessId(), GetCurrentThreadId(), t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
                  t.wMilliseconds, SeverityName(severity), base, line);
    m_stream << head;
}

LogRecord::~LogRecord() {
    m_stream << "\n";
    const std::string text = m_stream.str();
    LogState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.file) return;
    DWORD written = 0;
    WriteFile(s.file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace kvengine
