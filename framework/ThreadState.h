// State the framework keeps per thread. The window layer adds its own members here (window
// handle maps, creation hook, the current-message stack).
#pragma once

#include "framework/FrameworkBase.h"

class CWinThread;
class CWnd;
class CFrameWnd;
class CHandleMapBase;

struct AFX_THREAD_STATE
{
    CWinThread* m_pCurrentWinThread = nullptr;
    // The message being dispatched by the thread's pump.
    MSG m_msgCur = {};
    // Last mouse position and message seen by the pump: repeated mouse moves are not input.
    POINT m_ptCursorLast = {};
    UINT m_nMsgLast = 0;
    // Handle maps of GDI objects, device contexts, menus and image lists (index: the
    // AFX_HANDLE_MAP values of CHandleMap.h); their temporary wrappers are deleted in idle
    // time and the maps when the thread ends.
    CHandleMapBase* m_pHandleMaps[5] = {};

    // ---- window layer
    // The message being handled; CWnd::Default passes it on. A window procedure outside the
    // framework may save, set and restore it around its own dispatch.
    MSG m_lastSentMsg = {};
    // While UpdateData runs on this window, its controls' notifications are not dispatched.
    HWND m_hLockoutNotifyWindow = nullptr;
    // The pop-up menu being tracked and the window owning it: owner-drawn items of that menu are
    // measured by its CMenu object, not the window's menu bar.
    HWND m_hTrackingWindow = nullptr;
    HMENU m_hTrackingMenu = nullptr;
    // Window creation: the object waiting for its handle, and the thread's CBT hook.
    CWnd* m_pWndInit = nullptr;
    HHOOK m_hHookCbtFilter = nullptr;
    int m_nCbtHookUsers = 0;
    // The thread's frame windows (linked through CFrameWnd::m_pNextFrameWnd): idle updates reach
    // each, also those outside the main window's tree.
    CFrameWnd* m_pFirstFrameWnd = nullptr;
    // The thread's tool tip for windows with EnableToolTips, and the tool it shows.
    HWND m_hWndToolTip = nullptr;
    HWND m_hWndLastHit = nullptr;
    INT_PTR m_nLastHit = -1;
    TOOLINFOW m_lastInfo = {};
    // The name AfxRegisterWndClass returned last.
    wchar_t m_szTempClassName[96] = {};
};

// This thread's state, created on first use and freed when the thread ends.
AFX_THREAD_STATE* AFXAPI AfxGetThreadState();
