#include "foundation/VyxLog.h"

#include "foundation/VyxFileUtil.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"

#include <cstdarg>
#include <mutex>
#include <string>

namespace {

const wchar_t kSection[] = L"LOG";
const wchar_t kLevel[] = L"Level";
const wchar_t kFolder[] = L"Folder";
const int kDefaultLevel = LogLevelWarning;
// The folder start-up stores when none is: until then logs go to the program's folder itself,
// from the first start on to this folder under it.
const wchar_t kStoredFolder[] = L"log";

LogSinkProc s_sink = AppendLogRecord;
HWND s_observer = nullptr;
UINT s_observerMessage = WM_USER + 1000;
WPARAM s_observerParam = 0;

// The configured folder as an absolute path: a relative one is taken under the program's folder.
// Resolved here rather than by changing the current directory, which other threads share.
CString ResolveLogFolder()
{
    CString moduleFolder;
    GetModuleFolder(moduleFolder);
    CString folder;
    GetAppIniString(folder, kSection, kFolder, moduleFolder);
    if (folder.IsEmpty())
        return moduleFolder;
    bool absolute = GetDriveIndex(folder) >= 0 || folder[0] == L'\\' || folder[0] == L'/';
    if (absolute)
        return folder;
    CString joined;
    MakePath(joined, nullptr, moduleFolder, folder, nullptr);
    CString full;
    GetFullPath(full, joined); // folds "." and ".." parts
    return full.IsEmpty() ? joined : full;
}

// The "LOG"/"Level" setting, kept in memory. Scripts log every statement they run, and reading
// the file each time made them many times slower. It is read again when the settings file is
// another one, when this process wrote settings, or when the file's write time or size changed;
// the file itself is looked at no more than every 100 ms, which a person editing it never notices.
class LevelCache
{
public:
    int Threshold()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        CString file = SettingsFile();
        if (file.IsEmpty()) // the registry holds the settings: nothing to watch
            return GetAppIniInt(kSection, kLevel, kDefaultLevel);
        unsigned writes = VyxIni::GetWriteCount();
        DWORD now = GetTickCount();
        bool same = m_valid && writes == m_writes && file == m_file;
        if (same && now - m_looked < 100)
            return m_threshold;
        WIN32_FILE_ATTRIBUTE_DATA facts = {};
        if (!GetFileAttributesExW(file, GetFileExInfoStandard, &facts))
            facts = {};
        m_looked = now;
        same = same && CompareFileTime(&facts.ftLastWriteTime, &m_facts.ftLastWriteTime) == 0 &&
               facts.nFileSizeLow == m_facts.nFileSizeLow && facts.nFileSizeHigh == m_facts.nFileSizeHigh;
        if (!same) {
            m_threshold = GetAppIniInt(kSection, kLevel, kDefaultLevel);
            m_file = file;
            m_facts = facts;
            m_writes = writes;
            m_valid = true;
        }
        return m_threshold;
    }

private:
    // The settings file, or the application's profile file when no settings file is set.
    static CString SettingsFile()
    {
        if (!theAppIni.GetPath().IsEmpty())
            return theAppIni.GetPath();
        CWinApp* app = AfxGetApp();
        return app && !app->m_pszRegistryKey && app->m_pszProfileName ? CString(app->m_pszProfileName) : CString();
    }

    std::mutex m_lock;
    bool m_valid = false;
    CString m_file;
    WIN32_FILE_ATTRIBUTE_DATA m_facts = {};
    unsigned m_writes = 0;
    DWORD m_looked = 0;
    int m_threshold = kDefaultLevel;
};

LevelCache& TheLevelCache()
{
    static LevelCache cache;
    return cache;
}

} // namespace

void StoreLogSettings()
{
    WriteBackAppIniInt(kSection, kLevel, GetAppIniInt(kSection, kLevel, kDefaultLevel));
    CString folder;
    GetAppIniString(folder, kSection, kFolder, kStoredFolder);
    WriteBackAppIniString(kSection, kFolder, folder);
}

bool IsLogLevelOn(int level)
{
    // Without settings (no settings file and no application object, as in the plug-in DLLs) the
    // log writes nothing.
    if (theAppIni.GetPath().IsEmpty() && !AfxGetApp())
        return false;
    int threshold = TheLevelCache().Threshold();
    return threshold != LogLevelNone && level >= threshold;
}

LogSourceRecord::LogSourceRecord(const char* file, int line, const char* function)
    : m_file(file ? file : ""), m_line(line), m_function(function ? function : "")
{
}

LogSourceRecord::LogSourceRecord(const wchar_t* file, int line, const wchar_t* function)
    : m_file(file ? file : L""), m_line(line), m_function(function ? function : L"")
{
}

LogSourceRecord::~LogSourceRecord() = default;

const wchar_t* GetLogLevelName(int level)
{
    static const wchar_t* const names[] = {L"NONE",  L"DEBUG",    L"INFO",  L"NOTICE",   L"WARNING",
                                           L"ERROR", L"CRITICAL", L"ALERT", L"EMERGENCY"};
    return level >= 0 && level <= 8 ? names[level] : L"";
}

void LogWriteArgs(const LogSourceRecord& source, int level, const wchar_t* format, ...)
{
    if (!IsLogLevelOn(level))
        return;
    CString message;
    if (format) {
        va_list args;
        va_start(args, format);
        message.FormatV(format, args);
        va_end(args);
    }
    WriteLogLine(source, level, message);
}

void WriteLogLine(const LogSourceRecord& source, int level, const wchar_t* message)
{
    if (!IsLogLevelOn(level))
        return;

    SYSTEMTIME now;
    GetLocalTime(&now);
    CString fileName;
    fileName.Format(L"%04d-%02d-%02d.log", now.wYear, now.wMonth, now.wDay);

    CString folder = ResolveLogFolder();
    EnsureFolderExists(folder, true); // the line goes on whatever it says

    LogRecord record;
    MakePath(record.path, nullptr, folder, fileName, nullptr);
    record.head.Format(L"%04d-%02d-%02d %02d:%02d:%02d %s:", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                       now.wSecond, GetLogLevelName(level));
    CString name;
    GetPathPart(name, source.m_file, PartName);
    record.location.Format(L"%s(%ld)", name, static_cast<long>(source.m_line));
    record.message = message ? message : L"";

    if (s_sink)
        s_sink(&record);
    if (s_observer)
        SendMessageW(s_observer, s_observerMessage, s_observerParam, reinterpret_cast<LPARAM>(&record));
}

int AppendLogRecord(const LogRecord* record)
{
    if (!record)
        return 0;
    CString line = record->head + L"\t" + record->location + L"\t" + record->message + L"\r\n";
    // Narrow text in the ANSI code page, as the runtime's text mode writes under the Japanese locale.
    int bytes = WideCharToMultiByte(CP_ACP, 0, line, line.GetLength(), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return 0;
    std::string narrow(bytes, '\0');
    WideCharToMultiByte(CP_ACP, 0, line, line.GetLength(), &narrow[0], bytes, nullptr, nullptr);
    HANDLE file = CreateFileW(record->path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    WriteFile(file, narrow.data(), bytes, &written, nullptr);
    CloseHandle(file);
    return 0;
}

LogSinkProc SetLogSink(LogSinkProc sink)
{
    LogSinkProc previous = s_sink;
    s_sink = sink;
    return previous;
}

void SetLogObserver(HWND window, UINT message, WPARAM wParam)
{
    s_observer = window;
    s_observerMessage = message;
    s_observerParam = wParam;
}
