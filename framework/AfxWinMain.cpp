#include "framework/CWinApp.h"
#include "framework/CWnd.h"
#include "framework/CException.h"
#include "framework/ModuleState.h"

int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow)
{
    // The program's one application object (a global CWinApp) made itself the main thread's
    // CWinThread when it was constructed.
    CWinThread* thread = AfxGetThread();
    CWinApp* app = AfxGetApp();
    if (!thread || !AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow))
        return -1;
    try {
        if (app && !app->InitApplication())
            return -1;
        if (!thread->InitInstance()) {
            if (thread->m_pMainWnd)
                thread->m_pMainWnd->DestroyWindow();
            return thread->ExitInstance();
        }
        return thread->Run();
    } catch (CException* e) {
        // Start-up or shut-down failed outside any window procedure: tell the user, end.
        e->ReportError(MB_ICONSTOP);
        e->Delete();
        return -1;
    }
}
