// Interim stand-in for part 1's thread state source.
#include "framework/ThreadState.h"
#include "framework/CHandleMap.h"
#include "framework/CWnd.h"

AFX_THREAD_STATE* AFXAPI AfxGetThreadState()
{
    thread_local AFX_THREAD_STATE t_state;
    return &t_state;
}

void AFXAPI AfxDeleteTempMaps()
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_pWndMap)
        state->m_pWndMap->DeleteTemp();
}
