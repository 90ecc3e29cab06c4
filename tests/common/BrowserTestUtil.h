// Helpers of the browser and viewer tests: the window helpers of the framework and control tests,
// and the application settings file pointed at a scratch ini for one test.
#pragma once

#include "common/ControlTestUtil.h"
#include "catalogue/VyxConfig.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "image/plugins/Spi.h"

#include <initializer_list>
#include <utility>

#include <sstream>
#include <string>
#include <vector>

// A name of its own at link time: the class of this name that foundation/TestSettings.h gives,
// which the document tests' helpers bring into the same program, holds another folder, and the
// linker would take either's out-of-line constructor for both.
inline namespace browsersettings {

class ScratchSettings
{
public:
    ScratchSettings() : m_previous(theAppIni.GetPath()) { theAppIni.SetPath(m_folder / L"settings.ini"); }
    ~ScratchSettings() { theAppIni.SetPath(m_previous); }
    const FrameworkScratchFolder& Folder() const { return m_folder; }

private:
    FrameworkScratchFolder m_folder;
    CString m_previous;
};

} // namespace browsersettings

// Test plug-ins (tests/plugins/<source>.spi) under names of the test's choosing, in the program's
// host for one test.
class HostedPlugins
{
public:
    HostedPlugins(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> plugins)
    {
        for (const auto& [source, name] : plugins) {
            CString from;
            MakeModulePath(from, CString(L"plugins\\") + source + L".spi");
            CopyFileW(from, Path(name), FALSE);
        }
        theSPImapIndex.ScanPlugins(m_folder / L"*.spi", nullptr, nullptr);
    }
    ~HostedPlugins() { theSPImapIndex.DeleteAll(); }
    HostedPlugins(const HostedPlugins&) = delete;
    HostedPlugins& operator=(const HostedPlugins&) = delete;
    CString Path(const wchar_t* name) const { return m_folder / (CString(name) + L".spi"); }

private:
    FrameworkScratchFolder m_folder;
};

// The probe program beside the tests, and the log it appends a line to per start.
struct Probe
{
    FrameworkScratchFolder folder;
    CString log = folder / L"probe.log";
    CString exe;
    Probe()
    {
        MakeModulePath(exe, L"browser_app_probe.exe");
        SetEnvironmentVariableW(L"VYX_PROBE_LOG", log);
    }
    ~Probe() { SetEnvironmentVariableW(L"VYX_PROBE_LOG", nullptr); }
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        std::istringstream in(FrameworkScratchFolder::ReadFile(log));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    bool WaitForLines(size_t n) const
    {
        return PumpUntil([&] { return Lines().size() >= n; }, 60000);
    }
};

inline std::string Utf8(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n - 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

// A value of the application settings file, "<none>" when it is missing.
inline CString ReadSetting(const wchar_t* section, const wchar_t* key)
{
    CString value;
    GetAppIniString(value, section, key, L"<none>");
    return value;
}

// Sets a file's or folder's last-write time that many days back.
inline void SetWriteTime(const CString& path, int daysAgo)
{
    HANDLE handle = CreateFileW(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER value = {{now.dwLowDateTime, now.dwHighDateTime}};
    value.QuadPart -= static_cast<ULONGLONG>(daysAgo) * 24 * 3600 * 10000000ULL;
    FILETIME time = {value.LowPart, value.HighPart};
    SetFileTime(handle, nullptr, nullptr, &time);
    CloseHandle(handle);
}

// The layout file lives beside the program; the tests' own copy is removed afterwards.
class ScratchLayoutFile
{
public:
    ScratchLayoutFile()
    {
        MakeModulePath(m_path, L"ThumbData.ini");
        DeleteFileW(m_path);
    }
    ~ScratchLayoutFile() { DeleteFileW(m_path); }
    void Add(const wchar_t* section, int width, int height, int name, const wchar_t* format)
    {
        VyxConfig config;
        THUMBSDATA data = {};
        config.Load(data, L"<defaults>");
        data.ThumbsSize = {width, height};
        data.Name = name;
        lstrcpynW(data.NameFormat, format, 256);
        config.Save(data, section);
    }
    CString m_path;
};
