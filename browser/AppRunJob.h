// A launch of a registered external application: the quoted program, one argument string and
// working folder per process, and whether each process is waited for. RunAppsThread owns the job
// it is given and deletes it.
#pragma once

#include "foundation/VyxStringArray.h"

struct AppRunJob
{
    CString head; // the program, quoted when it holds a space
    VyxStringArray arguments;
    VyxStringArray folders; // parallel to arguments; empty: the caller's own folder
    BOOL wait = FALSE;
};

// Starts one process per argument string, one after another; with the wait flag each runs on
// processor 0 only and is waited for. A process that cannot start is skipped. Returns 0.
UINT AFX_CDECL RunAppsThread(LPVOID pParam);

// Creates a process for the command line in the folder (none: the caller's own); false with the
// system's last error when it cannot. The handles are closed unless returned through pProcess.
bool StartAppProcess(const CString& commandLine, const wchar_t* folder, HANDLE* pProcess = nullptr);
