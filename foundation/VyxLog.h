// The dated log: one text file per local day ("%Y-%m-%d.log") in the folder of "LOG"/"Folder",
// lines "time LEVEL:<tab>File(line)<tab>message" at or above "LOG"/"Level".
#pragma once

#include "foundation/VyxFormatArg.h"

enum VyxLogLevel {
    LogLevelNone = 0, // as the "Level" setting: the log is off
    LogLevelDebug = 1,
    LogLevelInfo = 2,
    LogLevelNotice = 3,
    LogLevelWarning = 4,
    LogLevelError = 5,
    LogLevelCritical = 6,
    LogLevelAlert = 7,
    LogLevelEmergency = 8,
};

// Where a line comes from; the file's name part and the line are written, the function is carried.
struct LogSourceRecord
{
    LogSourceRecord(const char* file, int line, const char* function);
    LogSourceRecord(const wchar_t* file, int line, const wchar_t* function);
    ~LogSourceRecord();

    CString m_file;
    int m_line;
    CString m_function;
};

#define VYX_LOG_SOURCE LogSourceRecord(__FILE__, __LINE__, __func__)

// One formatted line as handed to the sink.
struct LogRecord
{
    CString path;     // today's log file
    CString head;     // "2023-01-05 10:11:12 ERROR:"
    CString location; // "VyxMemory(117)"
    CString message;
};

typedef int (*LogSinkProc)(const LogRecord* record);

// Start-up's part of the settings: "Level" and "Folder" are written back as read, so the file
// shows them; an absent folder is stored as "log", under the program's folder.
void StoreLogSettings();

// True when a line of that level would be written now. A text built only for a log line is
// built only after asking.
bool IsLogLevelOn(int level);

void LogWriteArgs(const LogSourceRecord& source, int level, const wchar_t* format, ...);

// Formats the message (printf rules, the shared formatting core) and writes it at level.
template <class... Args>
void LogWrite(const LogSourceRecord& source, int level, const wchar_t* format, const Args&... args)
{
    LogWriteArgs(source, level, format, VyxFormatArg(args)...);
}
template <class... Args> void LogDebug(const LogSourceRecord& source, const wchar_t* format, const Args&... args)
{
    LogWriteArgs(source, 1, format, VyxFormatArg(args)...);
}
// The message is written as it is, never used as a format.
void WriteLogLine(const LogSourceRecord& source, int level, const wchar_t* message);

// The default sink: appends the line to record->path (ANSI code page text, CR LF); silent on failure.
int AppendLogRecord(const LogRecord* record);

// Replaces the sink (null: lines go nowhere); returns the previous one.
LogSinkProc SetLogSink(LogSinkProc sink);
// A window that is sent (message, wParam, LogRecord*) for every line written; null clears it.
void SetLogObserver(HWND window, UINT message = WM_USER + 1000, WPARAM wParam = 0);

// "NONE" .. "EMERGENCY"; levels outside 0..8 give "".
const wchar_t* GetLogLevelName(int level);
