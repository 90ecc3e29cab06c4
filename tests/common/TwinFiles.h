// Files whose names differ from a name already in their folder only in letter case, as files
// brought from another system stand under Wine. The platform's own calls cannot make one (they
// reach the file already there), so the host's mv puts a file written under a plain name in place.
#pragma once

#include "ScratchFolder.h"

#include <windows.h>

#include <string>

namespace twinfiles {

// The host's path of a Windows path (Wine's own conversion); empty when there is none.
inline std::wstring HostPath(const std::wstring& path)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name"));
    char* unixPath = toUnix ? toUnix(path.c_str()) : nullptr;
    if (!unixPath)
        return L"";
    wchar_t wide[MAX_PATH * 4] = {};
    MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, wide, MAX_PATH * 4);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return wide;
}

// Whether the folder lists an entry spelled exactly so.
inline bool Lists(const std::wstring& folder, const std::wstring& name)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    bool found = false;
    if (find == INVALID_HANDLE_VALUE)
        return false;
    do
        found = name == data.cFileName;
    while (!found && FindNextFileW(find, &data));
    FindClose(find);
    return found;
}

// Runs a host command; true once done() holds (the host's tools run as processes of their own,
// which Wine cannot wait for).
template <class Done> bool RunOnHost(std::wstring command, Done done)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; Sleep(10))
        if (done())
            return true;
    return false;
}

// Puts the bytes into the folder under name beside the entry named otherwise; true once the folder
// lists it.
inline bool PutTwin(const std::wstring& folder, const std::wstring& name, const std::string& bytes)
{
    const std::wstring staged = folder + L"\\twin-staged.tmp";
    if (!ScratchFolder::WriteFile(staged, bytes))
        return false;
    const std::wstring from = HostPath(staged), to = HostPath(folder);
    if (from.empty() || to.empty())
        return false;
    return RunOnHost(L"Z:\\bin\\mv -n \"" + from + L"\" \"" + to + L"/" + name + L"\"",
                     [&] { return Lists(folder, name) && !Lists(folder, L"twin-staged.tmp"); });
}

// Makes an empty folder under name beside the entry named otherwise; true once the folder lists it.
inline bool PutTwinFolder(const std::wstring& folder, const std::wstring& name)
{
    const std::wstring to = HostPath(folder);
    return !to.empty() &&
           RunOnHost(L"Z:\\bin\\mkdir \"" + to + L"/" + name + L"\"", [&] { return Lists(folder, name); });
}

} // namespace twinfiles
