// The program's own plug-ins (built beside Vyx.exe) loaded into the host, for benchmarks that
// read pictures the way the program does.
#pragma once

#include "image/plugins/Spi.h"

#include <windows.h>

#include <string>

inline void LoadOwnPlugins()
{
    static bool loaded = false;
    if (loaded)
        return;
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder = folder.substr(0, folder.find_last_of(L'\\'));
    theSPImapIndex.ScanPlugins((folder + L"\\..\\bin\\*.spi").c_str(), nullptr, nullptr);
    loaded = true;
}
