// Creating folder chains (asking first when told to), deleting files and trees directly or through
// the shell, and the shell's folder picker. Owner windows are plain handles.
#pragma once

#include "framework/Framework.h"

// True when the folder exists afterwards. Without noPrompt the user is asked before creating it
// and told when creation failed; with tellFailure told of a failure all the same.
bool EnsureFolderExists(const wchar_t* folder, bool noPrompt, bool tellFailure = false);

// Every primitive here that works on a name refuses one that leads only to an entry spelled
// otherwise (TwinNameGuard): false, with TwinNameGuard::kRefused as the error, and that entry
// untouched.

// True when the file is gone (a missing file counts as deleted); a read-only file is deleted too.
bool DeleteFileForced(const wchar_t* path, DWORD* error = nullptr);
// Deletes every file (not folder) the pattern finds; after a failure nothing more is deleted.
bool DeleteFiles(const wchar_t* pattern, DWORD* error = nullptr);
// Renames (or moves) a file or folder, and counts it done only when the new name is on disk spelled
// as asked and the old one is gone. A change of letter case alone goes through a temporary name in
// the same folder. Either name may end in a dot or a blank. false (last error set) when not done.
bool RenameEntry(const wchar_t* oldPath, const wchar_t* newPath);
// Moves a file in one step, replacing a file at the new name. false (last error set) when not done.
bool MoveEntryReplacing(const wchar_t* from, const wchar_t* to);
// Depth first; stops at the first failure. A drive root is emptied but kept; a linked folder
// (reparse point) is unlinked, never entered.
bool DeleteFolderTree(const wchar_t* folder);
// Removes a linked folder (a junction or folder link) itself, never what it names: FALSE, with
// ERROR_NOT_SUPPORTED, where the system opens only what the link names (Wine with host links).
bool RemoveLinkedFolder(const wchar_t* path);

// FO_DELETE through the shell with the caller's FOF_ flags (FOF_ALLOWUNDO: to the recycle bin).
bool ShellDeleteFile(const wchar_t* path, HWND owner, WORD flags);
// The list is paths each NUL-terminated, ended by an extra NUL; its memory is detached and freed.
bool ShellDeleteFileList(CSharedFile& list, HWND owner, WORD flags);

// The chosen folder, empty when cancelled. initialFolder null: the current directory.
CString& BrowseForFolder(CString& out, HWND owner, const wchar_t* title, const wchar_t* initialFolder, UINT flags = 0);
