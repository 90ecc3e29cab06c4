// Interim: the part of part 1's CWinThread the window layer builds on (replaced on merge).
#pragma once

#include "framework/CCmdTarget.h"

class CException;

class CWnd;

class CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    ~CWinThread() override;

    virtual CWnd* GetMainWnd() { return m_pMainWnd; }
    virtual BOOL InitInstance();
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL PumpMessage();
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual int ExitInstance();
    // An exception escaped a message handler (it never crosses into Windows): reports it and
    // returns the message's result (-1 for WM_CREATE).
    virtual LRESULT ProcessWndProcException(CException* e, const MSG* pMsg);

    CWnd* m_pMainWnd = nullptr;
    CWnd* m_pActiveWnd = nullptr;
};

CWinThread* AFXAPI AfxGetThread();

// The default handling of ProcessWndProcException, used when the thread has no CWinThread.
LRESULT AFXAPI AfxInternalProcessWndProcException(CException* e, const MSG* pMsg);
