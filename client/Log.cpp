#include "client/Log.h"

#include <cstdio>
#include <ctime>
#include <iterator>
#include <mutex>

#include "client/AppGlobals.h"

namespace kvclient {

namespace {

constexpr const char* kLevelNames[] = {"TRACE", "DEBUG", "INFO", "WARN", "ERROR", "FATAL"};

// Guards the writer slot, the file handle and every write, so that each line leaves in one piece.
std::mutex g_logMutex;
LogWriter g_logWriter = LogWriteConsole;
FILE* g_logFile = nullptr;

LogWriter CurrentWriter() {
    const std::lock_guard<std::mutex> lock(g_logMutex);
    return g_logWriter;
}

const char* LevelName(int level) {
    return level >= 0 && level < static_cast<int>(std::size(kLevelNames)) ? kLevelNames[level] : "?";
}

std::string FormatV(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int n = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(n));
    return out;
}

// One complete line: "<time> <level padded to 5><separator><text>\n".
std::string FormatEntry(const char* separator, int level, const char* format, va_list args) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    char time[16] = {};
    std::strftime(time, sizeof time, "%H:%M:%S", &local);
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "%s %-5s%s", time, LevelName(level), separator);
    return prefix + FormatV(format, args) + "\n";
}

void Emit(FILE* stream, const std::string& entry) {
    std::fwrite(entry.data(), 1, entry.size(), stream);
    std::fflush(stream);
}

}  // namespace

void WriteLog(int level, const char* file, int line, const char* format, ...) {
    const LogWriter writer = CurrentWriter();
    if (!writer) return;
    va_list args;
    va_start(args, format);
    writer(level, file, line, format, args);
    va_end(args);
}

void LogWriteConsole(int level, const char*, int, const char* format, va_list args) {
    const std::string entry = FormatEntry("  ", level, format, args);
    const std::lock_guard<std::mutex> lock(g_logMutex);
    Emit(stderr, entry);
}

void LogWriteFile(int level, const char*, int, const char* format, va_list args) {
    const std::string entry = FormatEntry(" :", level, format, args);
    const std::lock_guard<std::mutex> lock(g_logMutex);
    Emit(g_logFile ? g_logFile : stderr, entry);
}

std::string GetLogFilePath() { return g_appDataDir + "log.txt"; }

bool OpenLogFile() {
    const std::lock_guard<std::mutex> lock(g_logMutex);
    if (!g_logFile) g_logFile = std::fopen(GetLogFilePath().c_str(), "ab+");
    if (!g_logFile) return false;
    g_logWriter = LogWriteFile;
    return true;
}

void CloseLogFile() {
    const std::lock_guard<std::mutex> lock(g_logMutex);
    g_logWriter = LogWriteConsole;
    if (g_logFile) std::fclose(g_logFile);
    g_logFile = nullptr;
}

}  // namespace kvclient
