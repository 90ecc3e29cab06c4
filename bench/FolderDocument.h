// The document of the program on a folder of the benchmark's own, every item selected, in a process
// set up as the program's is (application object, settings file, OLE, the program's plug-ins); and
// the process's memory as the system counts it.
#pragma once

#include "catalogue/CKWDoc.h"
#include "foundation/VyxIni.h"

#include "BenchClock.h"
#include "OwnPlugins.h"

#include <psapi.h>

#include <string>

// Once, first thing in wmain: the settings are read from a file of this run named after the bench.
inline void StartDocumentProcess(const wchar_t* bench)
{
    static CWinApp app;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOWNORMAL);
    theAppIni.SetPath(BenchTempFile(bench, L"settings.ini").c_str());
    AfxOleInit();
    LoadOwnPlugins();
}

inline void EndDocumentProcess(const wchar_t* bench)
{
    DeleteFileW(BenchTempFile(bench, L"settings.ini").c_str());
}

struct FolderDocument
{
    explicit FolderDocument(const std::wstring& folder)
    {
        doc.m_bAutoDelete = FALSE;
        doc.OpenFolder(CVirtualFolder(folder.c_str(), folder.c_str(), CVirtualFolder::KindPlainFolder), nullptr);
        doc.SetAllSelection(true);
    }
    CKWDoc doc;
};

struct ProcessMemory
{
    double workingSetMb = 0;
    double peakWorkingSetMb = 0;
    double privateMb = 0;
    double peakPrivateMb = 0;

    static ProcessMemory Now()
    {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
        ProcessMemory memory;
        memory.workingSetMb = counters.WorkingSetSize / 1048576.0;
        memory.peakWorkingSetMb = counters.PeakWorkingSetSize / 1048576.0;
        memory.privateMb = counters.PagefileUsage / 1048576.0;
        memory.peakPrivateMb = counters.PeakPagefileUsage / 1048576.0;
        return memory;
    }
};
