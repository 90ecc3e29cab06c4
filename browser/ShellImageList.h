// The shell's system image lists of small and large icons (owned by the shell, never destroyed).
#pragma once

#include "framework/Framework.h"

// The first call makes the shell build its lists (a good part of a second's tenth under Wine);
// later calls, and calls while a prefetch runs, wait for that one and give its handles.
HIMAGELIST GetShellImageList(BOOL bSmall);
// Has a thread of its own ask for the lists while start-up goes on; EndShellImageListPrefetch
// waits for it (before the program ends).
void StartShellImageListPrefetch();
void EndShellImageListPrefetch();
// The system image-list index of a path's icon, normal or open; a plain folder (not a drive's
// root) by its kind alone.
int GetShellIconIndex(LPCWSTR lpszPath, BOOL bOpen, BOOL bPlainFolder = FALSE);
