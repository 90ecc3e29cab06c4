// OLE start-up for the application: data transfer (clipboard, drag and drop) needs it on the
// user-interface thread.
#pragma once

#include "framework/FrameworkBase.h"

// Initialises OLE on this thread once per process; the clipboard is flushed and OLE ended at
// exit. FALSE when OLE could not be started.
BOOL AFXAPI AfxOleInit();
// Flushes a clipboard this program still owns and ends OLE (called at exit).
void AFXAPI AfxOleTerm(BOOL bJustRevoke = FALSE);
// Controls are not hosted: kept for start-up code that asks for it.
void AFXAPI AfxEnableControlContainer();
