// Threads of the framework: worker threads running a function, and user-interface threads
// running InitInstance, the message loop (Run) and ExitInstance. The window layer overrides
// PreTranslateMessage/OnIdle behaviour through these virtuals.
#pragma once

#include "framework/CCmdTarget.h"

class CWnd;
class CException;

typedef UINT(AFX_CDECL* AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread() override;

    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

    operator HANDLE() const { return m_hThread; }
    int GetThreadPriority() { return ::GetThreadPriority(m_hThread); }
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
    DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return ::PostThreadMessageW(m_nThreadID, message, wParam, lParam);
    }

    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

    // FALSE ends the thread at once (ExitInstance still runs).
    virtual BOOL InitInstance();
    // The message loop: idle processing while no message waits, then PumpMessage.
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // FALSE when WM_QUIT arrived.
    virtual BOOL PumpMessage();
    // Return TRUE for more idle time; lCount counts the calls since the last input.
    virtual BOOL OnIdle(LONG lCount);
    // Messages after which idle processing starts again (not timers or repeated mouse moves).
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual int ExitInstance();
    // An exception escaped a message handler (it never crosses into Windows): reports it and
    // returns the message's result (-1 for WM_CREATE).
    virtual LRESULT ProcessWndProcException(CException* e, const MSG* pMsg);
    // Deletes the object when m_bAutoDelete is set.
    virtual void Delete();

    CWnd* m_pMainWnd = nullptr;
    CWnd* m_pActiveWnd = nullptr;
    BOOL m_bAutoDelete = TRUE;
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    LPVOID m_pThreadParams = nullptr;
    AFX_THREADPROC m_pfnThreadProc = nullptr;

private:
    static unsigned __stdcall ThreadEntry(void* param);
};

// A worker thread running pfnThreadProc(pParam); null when it cannot be started. Unless
// CREATE_SUSPENDED is given it runs at once, and deletes its CWinThread when it ends.
CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority = THREAD_PRIORITY_NORMAL,
                                  UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// A user-interface thread of the given (DYNCREATE) CWinThread class.
CWinThread* AFXAPI AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority = THREAD_PRIORITY_NORMAL,
                                  UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
// Ends the calling thread now (its CWinThread deleted when bDelete and auto-deleting).
[[noreturn]] void AFXAPI AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);
// The calling thread's CWinThread (the application object on the main thread); may be null.
CWinThread* AFXAPI AfxGetThread();

// The default handling of ProcessWndProcException, used when the thread has no CWinThread.
LRESULT AFXAPI AfxInternalProcessWndProcException(CException* e, const MSG* pMsg);
// What a message whose handler failed returns, whatever was thrown: -1 for WM_CREATE (no window),
// TRUE for WM_COMMAND (handled), 0 otherwise; a failed paint is validated.
LRESULT AFXAPI AfxFailedMessageResult(const MSG* pMsg);
// The default of IsIdleMessage: FALSE for repeated mouse moves at one place, paints and the
// caret's blink timer.
BOOL AFXAPI AfxInternalIsIdleMessage(MSG* pMsg);
