// The program's own plug-ins (built beside Vyx.exe) loaded into the host, for benchmarks that
// read pictures the way the program does. Without its JPEG reader no picture would be read and
// nothing measured: the benchmark then ends at once, non-zero, saying so.
#pragma once

#include "image/plugins/Spi.h"

#include "BenchOutcome.h"

#include <windows.h>

#include <cstdio>
#include <string>

// The folder the build puts Vyx.exe and its plug-ins in, with the closing backslash.
inline std::wstring OwnPluginFolder()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\')) + L"\\..\\bin\\";
}

// Ends the process when the folder holds no JPEG reader of the program's own.
inline void RequireOwnJpegReader(const std::wstring& folder)
{
    if (GetFileAttributesW((folder + L"vyx_jpeg.spi").c_str()) != INVALID_FILE_ATTRIBUTES)
        return;
    BenchNothing("no vyx_jpeg.spi in %ls: the plug-ins were not built (or not copied), so no picture could be read",
                 folder.c_str());
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(BenchExitCode()));
}

inline void LoadOwnPlugins()
{
    static bool loaded = false;
    if (loaded)
        return;
    const std::wstring folder = OwnPluginFolder();
    RequireOwnJpegReader(folder);
    theSPImapIndex.ScanPlugins((folder + L"*.spi").c_str(), nullptr, nullptr);
    if (!theSPImapIndex.FindPluginByName(L"vyx_jpeg", SPImapIndex::KindImage)) {
        BenchNothing("the host found no JPEG reader in %ls", folder.c_str());
        TerminateProcess(GetCurrentProcess(), static_cast<UINT>(BenchExitCode()));
    }
    loaded = true;
}
