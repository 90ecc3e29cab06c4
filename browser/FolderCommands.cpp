#include "browser/FolderCommands.h"

#include "browser/CMainFrame.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/VyxCacheIndex.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/WatchModeScope.h"
#include "controls/ProgressDlg.h"
#include "foundation/CurrentDirectoryScope.h"
#include "foundation/MessageBoxes.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"

namespace {

bool IsDotName(const wchar_t* name)
{
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

bool IsLinkedFolder(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The root of the drive or share a path lies on ("C:\", "\\server\share\"); "C:\" when it has none.
CString RootOf(const CString& path)
{
    CString root = PathRoot(path);
    return root.IsEmpty() ? CString(L"C:\\") : root;
}

bool IsRoot(const CString& path)
{
    CString withSeparator;
    AppendPathSeparator(withSeparator, path);
    return withSeparator.CompareNoCase(RootOf(path)) == 0;
}

} // namespace

BOOL FolderCommands::CreateFolder(LPCWSTR lpszFolder, LPCWSTR lpszName, CString* pNewPath)
{
    CString path;
    MakePath(path, nullptr, lpszFolder, lpszName, nullptr);
    if (pNewPath)
        *pNewPath = path;
    if (EnsureFolderExists(path, true))
        return TRUE;
    ShowMessageBox(GetLastErrorText(), MB_OK | MB_ICONSTOP);
    return FALSE;
}

BOOL FolderCommands::MoveFolder(CMainFrame* pFrame, CKWDoc* pDoc, const CString& oldPath, const CString& newPath)
{
    BOOL moved = FALSE;
    DWORD error = ERROR_SUCCESS;
    {
        CurrentDirectoryScope directory(RootOf(oldPath));
        WatchModeScope watch(pFrame);
        // A folder just left may still have its cache file written inside it, and the writer
        // changes the index the move rewrites.
        theCacheList.FinishWriting();
        // Checked on disk: a change of letter case alone would otherwise be answered done and not made.
        moved = RenameEntry(oldPath, newPath) ? TRUE : FALSE;
        error = ::GetLastError();
        if (moved && pDoc) {
            VyxCacheIndex index;
            index.SetCacheFolder(pDoc->CacheDataFolder);
            index.RenameFolder(newPath, oldPath);
        }
        // A directory that moved (or went) is not taken back: the caller opens the new place.
        if (!MovedLocation(directory.Previous(), oldPath, newPath).IsEmpty())
            directory.Keep();
    }
    ::SetLastError(error);
    return moved;
}

CString FolderCommands::MovedLocation(const CString& location, const CString& oldPath, const CString& newPath)
{
    CString bare;
    RemovePathSeparator(bare, oldPath);
    if (bare.IsEmpty() || location.GetLength() < bare.GetLength() ||
        location.Left(bare.GetLength()).CompareNoCase(bare) != 0)
        return CString();
    if (location.GetLength() == bare.GetLength())
        return newPath;
    wchar_t next = location[bare.GetLength()];
    if (next != L'\\' && next != L'/')
        return CString();
    CString newBare;
    RemovePathSeparator(newBare, newPath);
    return newBare + location.Mid(bare.GetLength());
}

BOOL FolderCommands::RemoveFolderTree(LPCWSTR lpszFolder, VCopyFileDlg* pProgress)
{
    DWORD attributes = ::GetFileAttributesW(lpszFolder);
    if (attributes != INVALID_FILE_ATTRIBUTES && IsLinkedFolder(attributes)) {
        BOOL removed = RemoveLinkedFolder(lpszFolder);
        if (pProgress)
            pProgress->OffsetPos(1);
        return removed;
    }
    CString pattern;
    MakePath(pattern, nullptr, lpszFolder, L"*.*", nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(pattern, &data);
    BOOL ok = TRUE;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (IsDotName(data.cFileName))
                continue;
            CString path;
            MakePath(path, nullptr, lpszFolder, data.cFileName, nullptr);
            if (pProgress)
                pProgress->SetText(path);
            // A link may lead outside the tree or back into it: only the link goes.
            if (IsLinkedFolder(data.dwFileAttributes))
                ok = RemoveLinkedFolder(path);
            else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                ok = RemoveFolderTree(path, pProgress);
            else
                ok = DeleteFiles(path);
            if (pProgress)
                pProgress->OffsetPos(1);
        } while (ok && ::FindNextFileW(find, &data));
        DWORD error = ::GetLastError();
        ::FindClose(find);
        ::SetLastError(error);
    }
    if (ok && !IsRoot(lpszFolder))
        ok = ::RemoveDirectoryW(lpszFolder);
    if (pProgress)
        pProgress->OffsetPos(1);
    return ok;
}
