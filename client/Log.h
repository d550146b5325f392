#pragma once
// The client's log: one line per entry, "HH:MM:SS LEVEL :text". Entries go
// to standard error until "log.txt" in the data folder is open, then to it.
// Entries from several threads at once never mix within a line.
#include <cstdarg>
#include <cstdio>  // __MINGW_PRINTF_FORMAT: the printf family this runtime uses
#include <string>

#include "win/TextConversion.h"

namespace kvclient {

enum LogLevel { LOG_TRACE = 0, LOG_DEBUG = 1, LOG_INFO = 2, LOG_WARN = 3, LOG_ERROR = 4, LOG_FATAL = 5 };

// A writer turns one entry into one line; `file` and `line` name the caller's source.
using LogWriter = void (*)(int level, const char* file, int line, const char* format, va_list args);

// Hands the entry to the current writer; every level is written.
void WriteLog(int level, const char* file, int line, const char* format, ...)
    __attribute__((format(__MINGW_PRINTF_FORMAT, 4, 5)));

// "%s %-5s  " (time, level) and the text to standard error.
void LogWriteConsole(int level, const char* file, int line, const char* format, va_list args);
// "%s %-5s :" (time, level) and the text to "log.txt"; to standard error while it is not open.
void LogWriteFile(int level, const char* file, int line, const char* format, va_list args);

// Every log line prints addresses cut and escaped the one way.
using kvwin::kMaxLoggedAddress;
using kvwin::LoggedAddress;

// g_appDataDir + "log.txt".
std::string GetLogFilePath();
// Opens the log file for appending ("ab+") and makes LogWriteFile the writer;
// false, with the console writer kept, when it cannot be opened.
bool OpenLogFile();
// Makes LogWriteConsole the writer again and closes the file.
void CloseLogFile();

}  // namespace kvclient
