// Interim: part 1's thread state plus the window layer's members (merged on part 1's arrival).
#pragma once

#include "framework/FrameworkBase.h"

class CWinThread;
class CWnd;
class CHandleMapBase;
template <class CObj, class H> class CHandleMap;

struct AFX_THREAD_STATE
{
    CWinThread* m_pCurrentWinThread = nullptr;
    MSG m_msgCur = {};
    POINT m_ptCursorLast = {};
    UINT m_nMsgLast = 0;

    // ---- window layer
    // The message being handled; CWnd::Default passes it on. A window procedure outside the
    // framework may save, set and restore it around its own dispatch.
    MSG m_lastSentMsg = {};
    // While UpdateData runs on this window, its controls' notifications are not dispatched.
    HWND m_hLockoutNotifyWindow = nullptr;
    // Window creation: the object waiting for its handle, and the thread's CBT hook.
    CWnd* m_pWndInit = nullptr;
    HHOOK m_hHookCbtFilter = nullptr;
    int m_nCbtHookUsers = 0;
    // Windows of this thread by handle (made on first use, freed with the thread).
    CHandleMap<CWnd, HWND>* m_pWndMap = nullptr;
    // While locked, idle time keeps the temporary wrappers.
    int m_nTempMapLock = 0;
};

AFX_THREAD_STATE* AFXAPI AfxGetThreadState();
void AFXAPI AfxDeleteTempMaps();
