// The document of the program on a folder of the benchmark's own, every item selected, in a process
// set up as the program's is (application object, settings file, OLE, the program's plug-ins); and
// the process's memory as the system counts it.
#pragma once

#include "catalogue/CKWDoc.h"
#include "foundation/CurrentDirectoryScope.h"
#include "foundation/VyxIni.h"

#include "BenchClock.h"
#include "OwnPlugins.h"

#include <psapi.h>

#include <string>

// Once, first thing in wmain: the folder of this run's files, which holds the settings file too
// (RemoveTree at the end takes both).
inline std::wstring StartDocumentProcess(const wchar_t* bench)
{
    static CWinApp app;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), SW_SHOWNORMAL);
    const std::wstring root = BenchTempFile(bench, L"files");
    CreateDirectoryW(root.c_str(), nullptr);
    theAppIni.SetPath((root + L"\\settings.ini").c_str());
    AfxOleInit();
    LoadOwnPlugins();
    return root;
}

struct FolderDocument
{
    explicit FolderDocument(const std::wstring& folder) : directory(CurrentDirectoryScope::Swap(nullptr))
    {
        doc.m_bAutoDelete = FALSE;
        doc.OpenFolder(CVirtualFolder(folder.c_str(), folder.c_str(), CVirtualFolder::KindPlainFolder), nullptr);
        doc.SetAllSelection(true);
    }
    // The document makes its folder current: given back, so that the folder can be removed.
    ~FolderDocument() { SetCurrentDirectoryW(directory); }
    CString directory;
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
