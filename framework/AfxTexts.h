// The framework's own user-facing texts: it carries no resources, and the program is Japanese.
#pragma once

#include "framework/FrameworkBase.h"

// A handler or start-up failed and the failure carries no text of its own.
extern const wchar_t afxTextInternalFailure[];
// A menu command or accelerator failed and the failure carries no text of its own.
extern const wchar_t afxTextCommandFailure[];
