// State the framework keeps per thread. The window layer adds its own members here (window
// handle maps, creation hook, the current-message stack).
#pragma once

#include "framework/FrameworkBase.h"

class CWinThread;
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
    CHandleMapBase* m_pHandleMaps[4] = {};
};

// This thread's state, created on first use and freed when the thread ends.
AFX_THREAD_STATE* AFXAPI AfxGetThreadState();
