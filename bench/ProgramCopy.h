// The program started as a user starts it, from a folder of the benchmark's own: the settings it
// writes beside itself are then the run's, not the build's.
#pragma once

#include "browser/CKWApp.h"

#include <windows.h>

#include <shlwapi.h>

#include <string>

// The folder of the benchmark's executable.
inline std::wstring BenchModuleFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    PathRemoveFileSpecW(path);
    return path;
}

// The build's folder of the program and its plug-ins, with the closing backslash.
inline std::wstring ProgramBinFolder()
{
    return BenchModuleFolder() + L"\\..\\bin\\";
}

// The program (the build's own, or another build of it) as Vyx.exe in the folder, with the build's
// plug-ins beside it; false when the program, or its JPEG reader, could not be copied (a program
// without its JPEG reader reads no picture: what it is timed doing is not what a user sees).
inline bool CopyProgram(const std::wstring& program, const std::wstring& folder)
{
    if (!CopyFileW(program.c_str(), (folder + L"\\Vyx.exe").c_str(), FALSE))
        return false;
    bool jpegReader = false;
    const std::wstring bin = ProgramBinFolder();
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((bin + L"*.spi").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do
            if (CopyFileW((bin + data.cFileName).c_str(), (folder + L"\\" + data.cFileName).c_str(), FALSE) &&
                lstrcmpiW(data.cFileName, L"vyx_jpeg.spi") == 0)
                jpegReader = true;
        while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return jpegReader;
}

// Whether no instance of the program runs in the session, waiting up to the bound for one on its
// way out: a start while one runs hands its location over to that one and ends at once.
inline bool NoInstanceRuns(DWORD boundMs)
{
    for (const DWORD start = GetTickCount();; Sleep(50)) {
        HANDLE running = OpenMutexW(SYNCHRONIZE, FALSE, CKWApp::kMutexName);
        if (!running)
            return true;
        CloseHandle(running);
        if (GetTickCount() - start >= boundMs)
            return false;
    }
}
