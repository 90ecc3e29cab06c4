#include "framework/AfxOleInit.h"
#include "framework/COleDataSource.h"

#include <cstdlib>

namespace {

DWORD g_oleThread = 0;

void OleTermAtExit()
{
    AfxOleTerm(FALSE);
}

} // namespace

BOOL AFXAPI AfxOleInit()
{
    if (g_oleThread != 0)
        return TRUE;
    HRESULT hr = ::OleInitialize(nullptr);
    if (FAILED(hr))
        return FALSE;
    g_oleThread = ::GetCurrentThreadId();
    std::atexit(&OleTermAtExit);
    return TRUE;
}

void AFXAPI AfxOleTerm(BOOL bJustRevoke)
{
    if (g_oleThread == 0 || g_oleThread != ::GetCurrentThreadId())
        return;
    // Data the program put on the clipboard stays there for others after it ends.
    COleDataSource::FlushClipboard();
    if (bJustRevoke)
        return;
    g_oleThread = 0;
    ::OleUninitialize();
}

void AFXAPI AfxEnableControlContainer() {}
