// Temporary files the program writes: each is created under a name that no file or folder had
// (create-new), so that a user's entry of that name is never written over.
#pragma once

#include "framework/Framework.h"

// A new file "<stem>XXXXXXXX<suffix>" (eight hexadecimal digits), open with the access asked for
// (writing) and shared with nobody; another name is tried while the one made is taken. The stem
// may hold a folder. INVALID_HANDLE_VALUE, with the platform's error, when none could be created.
HANDLE CreateUniqueTempFile(const wchar_t* stem, const wchar_t* suffix, CString& created,
                            DWORD attributes = FILE_ATTRIBUTE_NORMAL, DWORD access = GENERIC_WRITE);
// The same beside a file that it is to replace ("<path>.XXXXXXXX.tmp"), so that putting it in
// place is a rename inside one folder.
HANDLE CreateTempFileBeside(const wchar_t* path, CString& created, DWORD access = GENERIC_WRITE);
