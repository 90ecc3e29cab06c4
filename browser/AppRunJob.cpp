#include "browser/AppRunJob.h"

bool StartAppProcess(const CString& commandLine, const wchar_t* folder, HANDLE* pProcess)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info = {};
    // CreateProcessW may write into the command line.
    CString line = commandLine;
    BOOL started = ::CreateProcessW(nullptr, line.GetBuffer(line.GetLength() + 1), nullptr, nullptr, FALSE, 0, nullptr,
                                    folder && *folder ? folder : nullptr, &startup, &info);
    line.ReleaseBuffer();
    if (!started)
        return false;
    ::CloseHandle(info.hThread);
    if (pProcess)
        *pProcess = info.hProcess;
    else
        ::CloseHandle(info.hProcess);
    return true;
}

UINT AFX_CDECL RunAppsThread(LPVOID pParam)
{
    auto* job = static_cast<AppRunJob*>(pParam);
    try {
        for (int k = 0; k < job->arguments.GetCount(); ++k) {
            CString commandLine = job->head + job->arguments[k].GetText();
            const wchar_t* folder = k < job->folders.GetCount() ? job->folders[k].GetText() : L"";
            HANDLE process = nullptr;
            if (!StartAppProcess(commandLine, folder, &process))
                continue;
            if (job->wait) {
                ::SetProcessAffinityMask(process, 1);
                ::WaitForSingleObject(process, INFINITE);
            }
            ::CloseHandle(process);
        }
    } catch (...) {
        // A worker's failures are not reported.
    }
    delete job;
    return 0;
}
