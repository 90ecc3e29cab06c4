// The document's own changes to the files of the selection: deleting them, renaming one, the
// question before a file is replaced, and the selection put on the clipboard.
#include "catalogue/CKWDoc.h"

#include "catalogue/CKWDocScopes.h"
#include "catalogue/ClipboardFileList.h"
#include "catalogue/DeleteRule.h"
#include "catalogue/DocumentHost.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxFile.h"
#include "catalogue/VyxNoteSession.h"
#include "catalogue/VyxNoteStore.h"
#include "catalogue/WatchModeScope.h"
#include "controls/ProgressDlg.h"
#include "foundation/FormatMessageText.h"
#include "foundation/MessageBoxes.h"
#include "foundation/TwinNameGuard.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxSystem.h"
#include "foundation/VyxUtility.h"
#include "res/resource.h"

#include <algorithm>
#include <vector>

// ---------------------------------------------------------------- deleting and renaming

void CKWDoc::DeleteSelectedFiles(bool noConfirm)
{
    if (!noConfirm && !DeleteRule::AskForGood())
        return;
    const int count = m_items.GetSelectedOutsideArchivesCount(false);
    if (count == 0)
        return;
    TellSelectedTwinRefusals();
    CurrentDirectoryScope directory(GetFolderPath());
    UpdatingScope updating(*this);
    CWnd* mainWnd = AfxGetMainWnd();
    VCopyFileDlg progress(mainWnd);
    // Without its window the deletion still runs; only the way to stop it is missing.
    bool shown = progress.Create(mainWnd) != FALSE;
    if (shown) {
        progress.SetRange(0, count);
        progress.SetWindowText(L"deleting...");
    }
    {
        WatchModeScope watch(GetHost(), WatchMode::RootOnly);
        try {
            int done = 0;
            for (VyxFile* item : m_items.Selected(SelectedFilter::Existing)) {
                if (shown)
                    progress.SetText(item->GetFileName());
                DeleteFiles(item->GetPath());
                ++done;
                if (shown) {
                    if (progress.CheckCancel())
                        break;
                    progress.SetPos(done);
                }
            }
        } catch (...) {
            if (shown)
                progress.DestroyWindow();
            throw;
        }
        if (shown)
            progress.DestroyWindow();
    }
    RemoveMissingSelectedItems();
}

void CKWDoc::ShellDeleteSelected(bool silent)
{
    if (m_items.GetSelectedOutsideArchivesCount(false) == 0)
        return;
    const int refused = TellSelectedTwinRefusals();
    CurrentDirectoryScope directory(GetFolderPath());
    UpdatingScope updating(*this);
    CSharedFile list(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, 4096);
    int written = 0;
    for (VyxFile* item : m_items.Selected(SelectedFilter::Existing)) {
        const CString path = ExactPath(item->GetPath());
        list.Write(path.GetString(), static_cast<UINT>((path.GetLength() + 1) * sizeof(wchar_t)));
        ++written;
    }
    if (written == 0) {
        // A row whose name now leads to another file stands for nothing that is there.
        if (refused)
            RemoveMissingSelectedItems();
        return;
    }
    const wchar_t end = 0;
    list.Write(&end, sizeof(end));
    {
        WatchModeScope watch(GetHost(), WatchMode::RootOnly);
        CWnd* mainWnd = AfxGetMainWnd();
        ShellDeleteFileList(list, mainWnd ? mainWnd->GetSafeHwnd() : nullptr, DeleteRule::RecycleFlags(silent));
    }
    RemoveMissingSelectedItems();
}

namespace {

// The first refusals told whole, and how many more there are.
CString TwinRefusalsText(const std::vector<CString>& refusals, size_t told)
{
    CString text;
    for (size_t i = 0; i < told; ++i)
        text += (i ? L"\r\n\r\n" : L"") + refusals[i];
    if (refusals.size() > told)
        text.AppendFormat(L"\r\n\r\nほかに %d 件", static_cast<int>(refusals.size() - told));
    return text;
}

} // namespace

int CKWDoc::TellSelectedTwinRefusals()
{
    const size_t kTold = 5;
    std::vector<CString> refusals;
    for (VyxFile* item : m_items.Selected(SelectedFilter::Missing)) {
        if (TwinNameGuard::Refuses(item->GetPath()))
            refusals.push_back(TwinNameGuard::LastRefusalText());
    }
    if (refusals.empty())
        return 0;
    // As many as the box shows whole: two long names fill most of a screen.
    const size_t told = ItemsShownWhole(std::min(kTold, refusals.size()),
                                        [&](size_t first) { return TwinRefusalsText(refusals, first); });
    ShowMessageBox(TwinRefusalsText(refusals, told), MB_OK | MB_ICONSTOP);
    return static_cast<int>(refusals.size());
}

namespace {

bool RefusedFor(CString* reason, DWORD error)
{
    if (reason) {
        SetLastError(error);
        *reason = GetLastErrorText();
        reason->TrimRight(L"\r\n");
    }
    return false;
}

// The names already in the folder whose note section the new name would take.
CString SharedSectionText(const VyxFile& item, const CString& newPath)
{
    VyxNoteStore store(theCacheList.GetCacheFolder());
    store.SetLocation(item.GetResolvedFolder(), nullptr);
    CString names;
    for (const CString& name : store.GetNamesSharingSection(newPath))
        names += L"「" + name + L"」";
    return names + L"とコメントの保存欄が同じになるため"
                   L"（大文字と小文字、[ ] と { }、名前の前後の空白は区別されません）、"
                   L"コメントを失わないよう名前を変えませんでした。";
}

} // namespace

CString CKWDoc::RenameFailureText(const wchar_t* path, const wchar_t* newName, const CString& reason)
{
    return FormatMessageText(MsgRenameFailed) + path + L" → " + newName + L"\r\n" + reason;
}

bool CKWDoc::RenameItem(VyxFile* item, const wchar_t* newName, CString* reason)
{
    // Asked before the note goes ahead of the file: a name that now leads to a file spelled
    // otherwise reads and writes that file's note section.
    const NameLookup there = item ? TwinNameGuard::Check(item->GetPath()) : NameLookup::Missing;
    if (there != NameLookup::Exact)
        return RefusedFor(reason, there == NameLookup::OtherCase ? TwinNameGuard::kRefused : ERROR_FILE_NOT_FOUND);
    if (item->IsArchiveMember())
        return RefusedFor(reason, ERROR_NOT_SUPPORTED);
    // A separator would move the file elsewhere while the item renamed only its last part.
    if (!IsPlainFileName(newName))
        return RefusedFor(reason, ERROR_INVALID_NAME);
    const CString oldPath = item->GetPath();
    CString newPath;
    MakePath(newPath, nullptr, PathPart(oldPath, PartFolder), newName, nullptr);
    if (newPath.GetLength() >= MAX_PATH)
        return RefusedFor(reason, ERROR_FILENAME_EXCED_RANGE);
    if (CompareLengthFirst(newPath, oldPath) == 0)
        return RefusedFor(reason, ERROR_ALREADY_EXISTS);
    // A name another file has (spelled alike or in another letter case) is refused before
    // anything is written: neither that file nor its note is ever touched.
    CString holder;
    const NameLookup held = LookUpExactName(newPath, &holder);
    if (held == NameLookup::Exact || (held == NameLookup::OtherCase && holder != item->GetFileName()))
        return RefusedFor(reason, ERROR_ALREADY_EXISTS);
    DWORD renameError = 0;
    const int renamed = item->RenameWithNote(newName, [&](bool forward) {
        if (forward ? !RenameEntry(oldPath, newPath) : !RenameEntry(newPath, oldPath)) {
            renameError = GetLastError() ? GetLastError() : ERROR_ACCESS_DENIED;
            return false;
        }
        if (forward)
            item->RemoveFromCache();
        return true;
    });
    const DWORD noteError = GetLastError();
    if (renamed == VyxFile::RenameNotMade)
        return RefusedFor(reason, renameError);
    if (renamed == VyxNoteStore::NoteNameTaken)
        return RefusedFor(reason, ERROR_ALREADY_EXISTS);
    if (renamed == VyxNoteStore::NoteRefused) {
        // Refused before anything changed: the file would be renamed and its note left behind.
        if (reason)
            *reason = SharedSectionText(*item, newPath);
        return false;
    }
    if (renamed == VyxFile::RenamedNoteKept) {
        // Renamed; the note written meanwhile under the old name is not lost but told.
        ShowMessageBox(L"「" + PathPart(oldPath, PartFileName) + L"」を「" + CString(newName) +
                           L"」に変えている間に、元の名前のコメントがほかで書き換えられました。"
                           L"書き換えられたコメントは元の名前の欄に残してあります。\r\n" +
                           item->GetNoteFilePath(),
                       MB_OK | MB_ICONEXCLAMATION);
        return true;
    }
    if (renamed != VyxNoteStore::NoteWritten) {
        // The note could not follow: the file keeps its old name, where its note still is.
        if (reason)
            *reason =
                L"次のコメントファイルに書き込めないため、コメントを失わないよう、名前は元のままにしました。\r\n" +
                item->GetNoteFilePath() + (noteError ? L"\r\n" + VyxNoteStore::GetFailureText(noteError) : CString());
        return false;
    }
    return true;
}

int CKWDoc::AskToReplace(const wchar_t* path)
{
    CString text;
    text.Format(L"%s\n\nこのファイルは既にあります。置き換えますか？", path);
    return ShowMessageBox(text, MB_YESNOCANCEL | MB_ICONQUESTION);
}

// ---------------------------------------------------------------- the clipboard

bool CKWDoc::PlaceSelectionOnClipboard(bool cut)
{
    ClipboardFileList files;
    VyxNoteSession notes;
    for (VyxFile* item : m_items.Selected(SelectedFilter::OnDisk))
        files.Add(item->GetPath(), item->GetNoteAsItStands());
    HGLOBAL picture = nullptr;
    if (!cut && ClipboardCopyDIB) {
        if (VyxFile* cursor = GetItem(m_cursorIndex))
            picture = cursor->LoadPicture();
    }
    const bool withFiles = m_items.GetSelectedOutsideArchivesCount(false) > 0;
    if (files.Place(cut ? DROPEFFECT_MOVE : DROPEFFECT_COPY | DROPEFFECT_LINK, withFiles, ClipboardCopyTEXT, picture))
        return true;
    ShowMessageBox(IDS_CLIPBOARD_OPEN_FAILED, MB_OK | MB_ICONSTOP);
    return false;
}
