#include "framework/AfxTexts.h"
#include "framework/CWinApp.h"
#include "framework/CWnd.h"
#include "framework/CException.h"
#include "framework/ModuleState.h"

namespace {

// Start-up or the loop failed outside any window procedure: the user is told and the main
// window goes, whatever was thrown.
int EndAfterException(CWinThread* thread)
{
    try {
        throw;
    } catch (CException* e) {
        wchar_t text[512];
        if (!e->GetErrorMessage(text, 512))
            lstrcpynW(text, afxTextInternalFailure, 512);
        e->Delete();
        AfxMessageBox(text, MB_ICONSTOP);
    } catch (...) {
        AfxMessageBox(afxTextInternalFailure, MB_ICONSTOP);
    }
    try {
        if (thread->m_pMainWnd)
            thread->m_pMainWnd->DestroyWindow();
    } catch (...) {
    }
    return -1;
}

} // namespace

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
    } catch (...) {
        return EndAfterException(thread);
    }
}
