// The framework's own user-facing texts: it carries no resources, and the program is Japanese.
#pragma once

#include "framework/FrameworkBase.h"

// A handler or start-up failed and the failure carries no text of its own.
extern const wchar_t afxTextInternalFailure[];
// A menu command or accelerator failed and the failure carries no text of its own.
extern const wchar_t afxTextCommandFailure[];
// The status bar's text while nothing is being prompted.
extern const wchar_t afxTextIdleMessage[];
// The title of a document that has none yet.
extern const wchar_t afxTextUntitled[];
// Asks whether to save a changed document (%1: its name).
extern const wchar_t afxTextSaveChanges[];
// The print preview's page numbers: one page, then two ("\n"-separated formats).
extern const wchar_t afxTextPreviewPageDesc[];
// The preview's button that changes between one and two pages.
extern const wchar_t afxTextOnePage[];
extern const wchar_t afxTextTwoPages[];
// The framework's text of a standard string id (the idle prompt, the key indicators), for
// programs whose resources lack it; null for other ids.
LPCWSTR AFXAPI AfxStandardText(UINT nID);
