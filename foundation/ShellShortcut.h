// Shell shortcut (".lnk") targets and the key-state test.
#pragma once

#include "framework/Framework.h"

// For a path ending in ".lnk" (any case) whose target exists, the target in its short (8.3)
// form; otherwise, or on any failure, the path itself. Returns out.
CString& ResolveShortcut(CString& out, LPCWSTR path);
// The same with the target in its network (UNC) form.
CString& ResolveShortcutUnc(CString& out, LPCWSTR path);

// True while the key is down.
bool IsKeyDown(int virtualKey);
