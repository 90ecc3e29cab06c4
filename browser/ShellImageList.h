// The shell's system image lists of small and large icons (owned by the shell, never destroyed).
#pragma once

#include "framework/Framework.h"

HIMAGELIST GetShellImageList(BOOL bSmall);
// The system image-list index of a path's icon, normal or open; a plain folder (not a drive's
// root) by its kind alone.
int GetShellIconIndex(LPCWSTR lpszPath, BOOL bOpen, BOOL bPlainFolder = FALSE);
