#include "framework/CWinThread.h"
#include "framework/CWnd.h"
#include "framework/CException.h"
#include "framework/ModuleState.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

namespace {

// Shown when a handler failed with an exception that carries no text of its own.
const wchar_t kInternalFailure[] = L"内部エラーが発生しました。";

} // namespace

CWinThread::CWinThread() = default;
CWinThread::~CWinThread() = default;

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

CWinThread* AFXAPI AfxGetThread()
{
    return AfxGetThreadState()->m_pCurrentWinThread;
}

int CWinThread::Run()
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    BOOL idle = TRUE;
    LONG idleCount = 0;
    for (;;) {
        while (idle && !::PeekMessageW(&state->m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&state->m_msgCur)) {
                idle = TRUE;
                idleCount = 0;
            }
        } while (::PeekMessageW(&state->m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinThread::PumpMessage()
{
    MSG& msg = AfxGetThreadState()->m_msgCur;
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0)
        return FALSE;
    if (got == -1)
        return TRUE;
    // WM_KICKIDLE is only a nudge for the modal loop; it has no window to go to.
    if (msg.message != WM_KICKIDLE && !PreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    CWnd* mainWnd = AfxGetMainWnd();
    if (CWnd::WalkPreTranslateTree(mainWnd->GetSafeHwnd(), pMsg))
        return TRUE;
    // A window outside the main window's tree (an unowned modeless dialog) still gets the main
    // window's accelerators.
    if (mainWnd && mainWnd->m_hWnd) {
        CWnd* target = CWnd::FromHandle(pMsg->hwnd);
        if (target && target->GetTopLevelParent() != mainWnd)
            return mainWnd->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (lCount <= 0) {
        CWnd* mainWnd = m_pMainWnd;
        if (mainWnd && mainWnd->m_hWnd && mainWnd->IsWindowVisible()) {
            AfxCallWndProc(mainWnd, mainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
            mainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
        }
    }
    if (lCount >= 0 && state->m_nTempMapLock == 0)
        AfxDeleteTempMaps();
    return lCount < 0;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    return AfxIsIdleMessage(pMsg);
}

int CWinThread::ExitInstance()
{
    return static_cast<int>(AfxGetThreadState()->m_msgCur.wParam);
}

LRESULT CWinThread::ProcessWndProcException(CException* e, const MSG* pMsg)
{
    return AfxInternalProcessWndProcException(e, pMsg);
}

LRESULT AFXAPI AfxInternalProcessWndProcException(CException* e, const MSG* pMsg)
{
    if (pMsg->message == WM_CREATE)
        return -1; // the window is not created
    if (pMsg->message == WM_PAINT)
        ::ValidateRect(pMsg->hwnd, nullptr); // or the paint would come back forever
    // A user exception has been reported where it was raised.
    if (e && !e->IsKindOf(RUNTIME_CLASS(CUserException))) {
        wchar_t text[512];
        if (!e->GetErrorMessage(text, 512))
            lstrcpynW(text, kInternalFailure, 512);
        AfxMessageBox(text, MB_ICONSTOP);
    }
    return 0;
}
