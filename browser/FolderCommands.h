// What the main frame and the folder pane do to whole folders: make one, give one a new name (the
// thumbnail cache's entries and the document's location follow it) and delete a folder tree
// without ever following a link out of it.
#pragma once

#include "framework/Framework.h"

class CKWDoc;
class CMainFrame;
class VCopyFileDlg;

class FolderCommands
{
public:
    // Makes folder\name without asking; on failure the system's text for the error is shown.
    static BOOL CreateFolder(LPCWSTR lpszFolder, LPCWSTR lpszName, CString* pNewPath = nullptr);

    // Moves the folder to newPath with the watchers paused (mode 2, then 0) and the folder's drive
    // root as the current directory meanwhile (a folder that is the current directory cannot be
    // moved); on success the cache index moves its entries. FALSE when the move failed: nothing
    // is reported, the caller says which message fits.
    static BOOL MoveFolder(CMainFrame* pFrame, CKWDoc* pDoc, const CString& oldPath, const CString& newPath);
    // The location at its new place when it is the moved folder or lies inside it ("\" or "/"
    // follows), else empty.
    static CString MovedLocation(const CString& location, const CString& oldPath, const CString& newPath);

    // Deletes the folder's entries one by one (a folder recursively, a file by its name), each
    // shown in the progress window and counted, until the first failure; a linked folder is
    // removed as a link and never entered. The folder itself goes last unless it is a drive root.
    static BOOL RemoveFolderTree(LPCWSTR lpszFolder, VCopyFileDlg* pProgress);
};
