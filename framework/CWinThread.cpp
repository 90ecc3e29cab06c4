#include "framework/CWinThread.h"
#include "framework/AfxTexts.h"
#include "framework/CException.h"
#include "framework/CHandleMap.h"
#include "framework/CWnd.h"
#include "framework/CFrameWnd.h"
#include "framework/ModuleState.h"
#include "framework/ThreadState.h"

#include <process.h>
#include <vector>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

namespace {

const UINT kSysTimer = 0x0118; // the caret's blink timer

// The end of a thread's life: its object goes (when it deletes itself) and the thread forgets it.
void FinishThread(CWinThread* thread, BOOL bDelete)
{
    AfxDeleteTempMaps();
    AfxGetThreadState()->m_pCurrentWinThread = nullptr;
    if (thread && bDelete)
        thread->Delete();
}

// Creates the thread suspended, sets its priority, then lets it run unless the caller wants it
// suspended; null (and the object gone) when Windows refuses the thread.
CWinThread* StartThread(CWinThread* thread, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                        LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (!thread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        thread->Delete();
        return nullptr;
    }
    thread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(thread->m_hThread);
    return thread;
}

} // namespace

CWinThread::CWinThread() = default;

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pThreadParams(pParam), m_pfnThreadProc(pfnThreadProc)
{
}

CWinThread::~CWinThread()
{
    if (m_hThread)
        CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    unsigned id = 0;
    auto thread = reinterpret_cast<HANDLE>(
        _beginthreadex(lpSecurityAttrs, nStackSize, ThreadEntry, this, dwCreateFlags | CREATE_SUSPENDED, &id));
    if (!thread)
        return FALSE;
    m_hThread = thread;
    m_nThreadID = id;
    // Nothing of this object may be touched after the thread runs: it may delete itself.
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(thread);
    return TRUE;
}

unsigned __stdcall CWinThread::ThreadEntry(void* param)
{
    auto* thread = static_cast<CWinThread*>(param);
    AfxGetThreadState()->m_pCurrentWinThread = thread;
    UINT exitCode = static_cast<UINT>(-1);
    // No exception may leave a thread: the unwinder cannot cross into Windows.
    try {
        if (thread->m_pfnThreadProc)
            exitCode = thread->m_pfnThreadProc(thread->m_pThreadParams);
        else if (!thread->InitInstance())
            exitCode = static_cast<UINT>(thread->ExitInstance());
        else
            exitCode = static_cast<UINT>(thread->Run());
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    FinishThread(thread, TRUE);
    return exitCode;
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::Run()
{
    MSG peek;
    BOOL idle = TRUE;
    LONG idleCount = 0;
    for (;;) {
        while (idle && !::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&AfxGetThreadState()->m_msgCur)) {
                idle = TRUE;
                idleCount = 0;
            }
        } while (::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    // Alt+F4 is the close command of the window the focus is in, wherever it is. Wine's tree view
    // keeps the key to itself (the default handling that makes it the close command never sees
    // it), so for a tree it is made the close command here, as for any other window.
    if (pMsg->message == WM_SYSKEYDOWN && pMsg->wParam == VK_F4 && (HIWORD(pMsg->lParam) & KF_ALTDOWN) && pMsg->hwnd) {
        wchar_t kind[32] = {};
        ::GetClassNameW(pMsg->hwnd, kind, 32);
        if (::lstrcmpiW(kind, WC_TREEVIEWW) == 0) {
            ::SendMessageW(::GetAncestor(pMsg->hwnd, GA_ROOT), WM_SYSCOMMAND, SC_CLOSE, 0);
            return TRUE;
        }
    }
    // From the target window up through its parents to the main window.
    CWnd* mainWnd = AfxGetMainWnd();
    if (CWnd::WalkPreTranslateTree(mainWnd->GetSafeHwnd(), pMsg))
        return TRUE;
    // A window outside the main window's tree (an unowned modeless dialog) still gets the main
    // window's look at the message (its accelerators).
    if (mainWnd && mainWnd->m_hWnd) {
        CWnd* target = CWnd::FromHandle(pMsg->hwnd);
        if (target && target->GetTopLevelParent() != mainWnd)
            return mainWnd->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

BOOL CWinThread::PumpMessage()
{
    MSG& msg = AfxGetThreadState()->m_msgCur;
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0)
        return FALSE;
    if (got == -1)
        return TRUE;
    // WM_KICKIDLE only nudges a modal loop awake; it has nowhere to go.
    if (msg.message != WM_KICKIDLE && !PreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    // The first pass updates the user interface: the main window and its descendants refresh
    // their command-UI (tool bars, status bars); temporary wrappers go on the second.
    if (lCount <= 0) {
        CWnd* mainWnd = m_pMainWnd;
        if (mainWnd && mainWnd->m_hWnd && mainWnd->IsWindowVisible()) {
            AfxCallWndProc(mainWnd, mainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
            mainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
        }
        // Frames outside the main window's tree (other top-level frames) too. The list may
        // change while a frame updates: the walk restarts after each one it reaches.
        std::vector<CFrameWnd*> frames;
        for (CFrameWnd* frame = AfxGetThreadState()->m_pFirstFrameWnd; frame; frame = frame->m_pNextFrameWnd)
            if (frame != mainWnd)
                frames.push_back(frame);
        for (CFrameWnd* frame : frames) {
            bool stillThere = false;
            for (CFrameWnd* f = AfxGetThreadState()->m_pFirstFrameWnd; f; f = f->m_pNextFrameWnd)
                stillThere = stillThere || f == frame;
            if (!stillThere || !frame->m_hWnd)
                continue;
            if (frame->m_nShowDelay == SW_HIDE)
                frame->ShowWindow(SW_HIDE);
            if (frame->IsWindowVisible() || frame->m_nShowDelay >= 0) {
                AfxCallWndProc(frame, frame->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
                frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
            }
            if (frame->m_nShowDelay > SW_HIDE)
                frame->ShowWindow(frame->m_nShowDelay);
            frame->m_nShowDelay = -1;
        }
    }
    if (lCount >= 1)
        AfxDeleteTempMaps();
    return lCount < 1;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    return AfxInternalIsIdleMessage(pMsg);
}

BOOL AFXAPI AfxInternalIsIdleMessage(MSG* pMsg)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (state->m_nMsgLast == pMsg->message && state->m_ptCursorLast.x == pMsg->pt.x &&
            state->m_ptCursorLast.y == pMsg->pt.y)
            return FALSE;
        state->m_ptCursorLast = pMsg->pt;
        state->m_nMsgLast = pMsg->message;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != kSysTimer;
}

int CWinThread::ExitInstance()
{
    return static_cast<int>(AfxGetThreadState()->m_msgCur.wParam);
}

LRESULT CWinThread::ProcessWndProcException(CException* e, const MSG* pMsg)
{
    return AfxInternalProcessWndProcException(e, pMsg);
}

LRESULT AFXAPI AfxFailedMessageResult(const MSG* pMsg)
{
    switch (pMsg->message) {
    case WM_CREATE:
        return -1; // the window is not created
    case WM_PAINT:
        ::ValidateRect(pMsg->hwnd, nullptr); // or the paint would come back forever
        return 0;
    case WM_COMMAND:
        return TRUE; // handled: the failure has been dealt with
    default:
        return 0;
    }
}

LRESULT AFXAPI AfxInternalProcessWndProcException(CException* e, const MSG* pMsg)
{
    // A user exception was reported where it was raised.
    if (e && !e->IsKindOf(RUNTIME_CLASS(CUserException))) {
        wchar_t text[512];
        if (!e->GetErrorMessage(text, 512)) {
            bool menuCommand = pMsg->message == WM_COMMAND && pMsg->lParam == 0;
            lstrcpynW(text, menuCommand ? afxTextCommandFailure : afxTextInternalFailure, 512);
        }
        AfxMessageBox(text, MB_ICONSTOP);
    }
    return AfxFailedMessageResult(pMsg);
}

void CWinThread::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                                  DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (!pfnThreadProc)
        AfxThrowInvalidArgException();
    return StartThread(new CWinThread(pfnThreadProc, pParam), nPriority, nStackSize, dwCreateFlags, lpSecurityAttrs);
}

CWinThread* AFXAPI AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (!pThreadClass || !pThreadClass->IsDerivedFrom(RUNTIME_CLASS(CWinThread)))
        AfxThrowInvalidArgException();
    auto* thread = static_cast<CWinThread*>(pThreadClass->CreateObject());
    if (!thread)
        AfxThrowMemoryException();
    return StartThread(thread, nPriority, nStackSize, dwCreateFlags, lpSecurityAttrs);
}

void AFXAPI AfxEndThread(UINT nExitCode, BOOL bDelete)
{
    FinishThread(AfxGetThread(), bDelete);
    _endthreadex(nExitCode);
}

CWinThread* AFXAPI AfxGetThread()
{
    return AfxGetThreadState()->m_pCurrentWinThread;
}
