#include "foundation/VyxFileUtil.h"

#include "foundation/MessageBoxes.h"
#include "foundation/TwinNameGuard.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"

#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <vector>

namespace {

int ShowMessage(const CString& text, UINT flags)
{
    const wchar_t* caption = AfxGetAppName();
    return ShowMessageBox(GetActiveWindow(), text, caption ? caption : L"", flags);
}

bool IsExistingFolder(const CString& folder)
{
    DWORD attributes = GetFileAttributesW(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsLinkedFolder(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

const int kDirectoryErrorRetries = 3;

} // namespace

// Wine opens what a host link names even when asked for the link (and its RemoveDirectoryW on a
// link removes that folder when it is empty): the handle's attributes tell the link from it.
bool RemoveLinkedFolder(const wchar_t* path)
{
    HANDLE handle =
        CreateFileW(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info = {};
    bool isLink = GetFileInformationByHandle(handle, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    CloseHandle(handle);
    if (!isLink) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    return RemoveDirectoryW(path) != FALSE;
}

// Existence is asked of the file system directly (a drive root included) so that the process's
// current directory, which other threads share, is never changed.
bool EnsureFolderExists(const wchar_t* folder, bool noPrompt, bool tellFailure)
{
    CString target;
    RemovePathSeparator(target, folder);
    if (target.IsEmpty())
        return false;
    CString drive;
    GetPathPart(drive, target, PartDrive);
    if (target == drive ? IsExistingFolder(target + L"\\") : IsExistingFolder(target))
        return true;

    if (!noPrompt) {
        CString question;
        question.Format(L"%s \nフォルダが存在しません．新しく作成しますか？", folder);
        if (ShowMessage(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
    }

    CString errorText;
    bool parentTried = false;
    int directoryErrors = 0;
    for (;;) {
        if (CreateDirectoryW(target, nullptr))
            return true;
        DWORD error = GetLastError();
        errorText = GetLastErrorText();
        if (error == ERROR_ALREADY_EXISTS && IsExistingFolder(target))
            return true; // made meanwhile by someone else
        // ERROR_DIRECTORY can be transient; a bounded number of retries keeps a lasting one from hanging.
        if (error == ERROR_DIRECTORY && directoryErrors < kDirectoryErrorRetries) {
            ++directoryErrors;
            continue;
        }
        if (parentTried)
            break;
        parentTried = true;
        CString parent;
        GetPathPart(parent, target, PartFolder);
        if (parent == target || !EnsureFolderExists(parent, true))
            break;
    }
    if (!noPrompt || tellFailure) {
        CString message;
        message.Format(L"%s \n%s", folder, static_cast<const wchar_t*>(errorText));
        ShowMessage(message, MB_OK | MB_ICONSTOP);
    }
    return false;
}

bool DeleteFileForced(const wchar_t* name, DWORD* error)
{
    if (!name)
        return false;
    if (TwinNameGuard::Refuses(name)) {
        if (error)
            *error = TwinNameGuard::kRefused;
        return false;
    }
    const CString path = ExactPath(name);
    if (DeleteFileW(path))
        return true;
    DWORD lastError = GetLastError();
    DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
        if (DeleteFileW(path))
            return true;
        lastError = GetLastError();
    }
    if (error)
        *error = lastError;
    return lastError == ERROR_FILE_NOT_FOUND;
}

bool DeleteFiles(const wchar_t* pattern, DWORD* error)
{
    if (!pattern)
        return false;
    CString folder, name;
    GetPathPart(folder, pattern, PartFolder);
    WIN32_FIND_DATAW data;
    // One name is that file alone (a name ending in a dot or a blank too, never the pattern the
    // search would make of it): gone, it counts as deleted; leading to another file, refused.
    if (HasTrimmedName(GetPathPart(name, pattern, PartFileName)) || !wcspbrk(name, L"*?")) {
        const NameLookup there = TwinNameGuard::Check(pattern, TwinNameGuard::Role::Existing, &data);
        if (there == NameLookup::OtherCase) {
            if (error)
                *error = TwinNameGuard::kRefused;
            return false;
        }
        if (there == NameLookup::Missing || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return true;
        return DeleteFileForced(pattern, error);
    }
    HANDLE find = FindFirstFileW(ExactPath(pattern), &data);
    if (find == INVALID_HANDLE_VALUE)
        return true;
    bool failed = false;
    do {
        if (failed || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        CString path;
        MakePath(path, nullptr, folder, data.cFileName, nullptr);
        if (!DeleteFileForced(path, error))
            failed = true;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return !failed;
}

bool RenameEntry(const wchar_t* oldPath, const wchar_t* newPath)
{
    if (!oldPath || !newPath)
        return false;
    const CString from = ExactPath(oldPath), to = ExactPath(newPath);
    // Upper-cased as the file system compares names ("café" and "CAFÉ" are one name).
    CString oldUpper(oldPath), newUpper(newPath);
    oldUpper.MakeUpper();
    newUpper.MakeUpper();
    const bool caseOnly = wcscmp(oldPath, newPath) != 0 && oldUpper == newUpper;
    if (TwinNameGuard::Refuses(oldPath))
        return false;
    if (caseOnly) {
        // Another entry whose name differs only in case from both (a twin of the file) would be
        // reached by the new name, and would close the way back from the temporary name too.
        int spellings = 0;
        if (LookUpExactName(newPath, nullptr, nullptr, &spellings) != NameLookup::OtherCase || spellings > 1) {
            SetLastError(ERROR_ALREADY_EXISTS);
            return false;
        }
        // The platform may take the new spelling for the file itself and do nothing.
        CString folder, temporary;
        GetPathPart(folder, oldPath, PartFolder);
        MakeTempName(temporary, folder);
        if (!MoveFileW(from, temporary))
            return false;
        if (!MoveFileW(temporary, to)) {
            DWORD error = GetLastError();
            MoveFileW(temporary, from);
            SetLastError(error);
            return false;
        }
    } else if (!MoveFileW(from, to)) {
        return false;
    }
    // Only the new name, spelled as asked, counts as done.
    const bool found = LookUpExactName(newPath) == NameLookup::Exact;
    // The old name counts as gone when only a name differing from it in letter case is left.
    const bool oldGone = LookUpExactName(oldPath) != NameLookup::Exact;
    if (found && (caseOnly || oldGone))
        return true;
    // Moved, but not to the name asked for: it goes back.
    if (found && oldGone)
        MoveFileW(to, from);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
}

bool MoveEntryReplacing(const wchar_t* from, const wchar_t* to)
{
    if (!from || !to || TwinNameGuard::Refuses(from))
        return false;
    const CString source = ExactPath(from), target = ExactPath(to);
    // The usual case, a free name, without a look-up (a missing name costs a look through the folder).
    if (MoveFileExW(source, target, 0))
        return true;
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
        return false;
    if (TwinNameGuard::Refuses(to, TwinNameGuard::Role::Target))
        return false;
    return MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool DeleteFolderTree(const wchar_t* folder)
{
    if (!folder || !*folder)
        return false;
    DWORD attributes = GetFileAttributesW(folder);
    if (attributes != INVALID_FILE_ATTRIBUTES && IsLinkedFolder(attributes))
        return RemoveLinkedFolder(folder);

    CString pattern;
    MakePath(pattern, nullptr, folder, L"*.*", nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern, &data);
    if (find != INVALID_HANDLE_VALUE) {
        bool ok = true;
        do {
            if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0)
                continue;
            CString path;
            MakePath(path, nullptr, folder, data.cFileName, nullptr);
            if (IsLinkedFolder(data.dwFileAttributes))
                ok = RemoveLinkedFolder(path);
            else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                ok = DeleteFolderTree(path);
            else
                ok = DeleteFileForced(path);
        } while (ok && FindNextFileW(find, &data));
        FindClose(find);
        if (!ok)
            return false;
    }
    CString root;
    GetPathPart(root, folder, PartDrive);
    if (root + L"\\" == folder)
        return true;
    return RemoveDirectoryW(folder) != FALSE;
}

bool ShellDeleteFileList(CSharedFile& list, HWND owner, WORD flags)
{
    HGLOBAL memory = list.Detach();
    if (!memory)
        return false;
    bool ok = false;
    if (const wchar_t* paths = static_cast<const wchar_t*>(GlobalLock(memory))) {
        // A list holding a name that leads to another file is refused whole, before the shell
        // touches any of them.
        bool refused = false;
        for (const wchar_t* path = paths; *path && !refused; path += wcslen(path) + 1)
            refused = TwinNameGuard::Refuses(path);
        if (refused) {
            GlobalUnlock(memory);
            GlobalFree(memory);
            SetLastError(TwinNameGuard::kRefused);
            return false;
        }
        SHFILEOPSTRUCTW operation = {};
        operation.hwnd = owner;
        operation.wFunc = FO_DELETE;
        operation.pFrom = paths;
        operation.fFlags = flags;
        ok = SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
        GlobalUnlock(memory);
    }
    GlobalFree(memory);
    return ok;
}

bool ShellDeleteFile(const wchar_t* path, HWND owner, WORD flags)
{
    if (!path || !*path)
        return false;
    CSharedFile list(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, 4096);
    const wchar_t terminators[2] = {0, 0};
    const CString exact = ExactPath(path);
    list.Write(exact.GetString(), static_cast<UINT>(exact.GetLength() * sizeof(wchar_t)));
    list.Write(terminators, sizeof(terminators));
    return ShellDeleteFileList(list, owner, flags);
}

namespace {

struct BrowseStart
{
    const wchar_t* folder;
    CString selected; // the folder the picker shows chosen
};

// Wine's picker finds a folder by comparing each level's entry as it was read when the tree was
// filled with the path read now; the entries carry the folders' write times, so a folder above
// that changed since (the host's /tmp changes all the time) stops it at Z:\ or nowhere. The names
// the tree shows do not change with the times: walk them instead, level by level.
void SelectByShownNames(HWND picker, const wchar_t* folder)
{
    HWND tree = FindWindowExW(picker, nullptr, WC_TREEVIEWW, nullptr);
    IShellFolder* desktop = nullptr;
    if (!tree || FAILED(SHGetDesktopFolder(&desktop)))
        return;
    LPITEMIDLIST path = nullptr;
    wchar_t parseable[MAX_PATH];
    lstrcpynW(parseable, folder, MAX_PATH);
    if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, parseable, nullptr, &path, nullptr)) && path) {
        HTREEITEM item = TreeView_GetRoot(tree);
        IShellFolder* level = desktop;
        level->AddRef();
        for (LPITEMIDLIST step = path; item && step->mkid.cb;
             step = reinterpret_cast<LPITEMIDLIST>(reinterpret_cast<BYTE*>(step) + step->mkid.cb)) {
            // This level's entry alone, ended by an empty one.
            std::vector<BYTE> single(step->mkid.cb + sizeof(USHORT), 0);
            memcpy(single.data(), step, step->mkid.cb);
            auto* child = reinterpret_cast<LPITEMIDLIST>(single.data());
            STRRET shown = {};
            wchar_t name[MAX_PATH] = {};
            if (FAILED(level->GetDisplayNameOf(child, SHGDN_NORMAL, &shown)) ||
                FAILED(StrRetToBufW(&shown, child, name, MAX_PATH))) {
                item = nullptr;
                break;
            }
            TreeView_Expand(tree, item, TVE_EXPAND);
            HTREEITEM found = nullptr;
            for (HTREEITEM c = TreeView_GetChild(tree, item); c && !found; c = TreeView_GetNextSibling(tree, c)) {
                wchar_t text[MAX_PATH] = {};
                TVITEMW read = {};
                read.mask = TVIF_TEXT;
                read.hItem = c;
                read.pszText = text;
                read.cchTextMax = MAX_PATH;
                if (TreeView_GetItem(tree, &read) && lstrcmpiW(text, name) == 0)
                    found = c;
            }
            item = found;
            IShellFolder* next = nullptr;
            if (item && FAILED(level->BindToObject(child, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&next))))
                item = nullptr;
            level->Release();
            level = next;
            if (!level)
                break;
        }
        if (level)
            level->Release();
        if (item) {
            TreeView_SelectItem(tree, item);
            TreeView_EnsureVisible(tree, item);
        }
        CoTaskMemFree(path);
    }
    desktop->Release();
}

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data)
{
    auto* start = reinterpret_cast<BrowseStart*>(data);
    switch (message) {
    case BFFM_INITIALIZED:
        SendMessageW(window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start->folder));
        if (start->selected.CompareNoCase(start->folder) != 0)
            SelectByShownNames(window, start->folder);
        break;
    case BFFM_SELCHANGED: {
        wchar_t path[MAX_PATH];
        if (lParam && SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(lParam), path)) {
            start->selected = path;
            SendMessageW(window, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
        }
        break;
    }
    case BFFM_VALIDATEFAILEDW:
        ShowMessageBox(window, L"無効な文字が入力されたか、フォルダが存在しません", L"不正なフォルダ指定", MB_OK);
        return 1; // keep the picker open
    }
    return 0;
}

} // namespace

CString& BrowseForFolder(CString& out, HWND owner, const wchar_t* title, const wchar_t* initialFolder, UINT flags)
{
    out.Empty();
    wchar_t current[MAX_PATH] = {};
    if (!initialFolder) {
        GetCurrentDirectoryW(MAX_PATH, current);
        initialFolder = current;
    }
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = title;
    info.ulFlags = flags | BIF_VALIDATE | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    BrowseStart start = {initialFolder, CString()};
    info.lParam = reinterpret_cast<LPARAM>(&start);
    LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
    if (!chosen)
        return out;
    wchar_t path[MAX_PATH];
    if (SHGetPathFromIDListW(chosen, path))
        out = path;
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(chosen);
        allocator->Release();
    }
    return out;
}
