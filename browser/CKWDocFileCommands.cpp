// The document's file commands: deleting and renaming the selection, comments, the clipboard and
// copying or moving to another folder.
#include "catalogue/CKWDoc.h"

#include "browser/CMainFrame.h"
#include "catalogue/CCommentDlg.h"
#include "catalogue/CKWDocScopes.h"
#include "catalogue/ClipboardFileList.h"
#include "catalogue/DeleteRule.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxFile.h"
#include "catalogue/VyxNoteSession.h"
#include "catalogue/VyxNoteStore.h"
#include "catalogue/WatchModeScope.h"
#include "controls/ProgressDlg.h"
#include "fileops/CReportDlg.h"
#include "fileops/VFileCopyDlg.h"
#include "fileops/VFileMoveDlg.h"
#include "fileops/VFileRenameDlg.h"
#include "fileops/VFileRenameNDlg.h"
#include "fileops/VyxFileTransfer.h"
#include "foundation/FormatMessageText.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxSystem.h"
#include "foundation/VyxUtility.h"
#include "framework/COleDataObject.h"
#include "image/DibCore.h"
#include "image/codecs/SaveDib.h"

#include <memory>

// ---------------------------------------------------------------- deleting and renaming

void CKWDoc::DeleteSelectedFiles(bool noConfirm)
{
    if (!noConfirm && !DeleteRule::AskForGood())
        return;
    const int count = m_items.GetSelectedOutsideArchivesCount(false);
    if (count == 0)
        return;
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
        WatchModeScope watch(GetMainFrame(), WatchMode::RootOnly);
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
    CurrentDirectoryScope directory(GetFolderPath());
    UpdatingScope updating(*this);
    CSharedFile list(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, 4096);
    int written = 0;
    for (VyxFile* item : m_items.Selected(SelectedFilter::Existing)) {
        const CString path = ExactPath(item->GetPath());
        list.Write(path.GetString(), static_cast<UINT>((path.GetLength() + 1) * sizeof(wchar_t)));
        ++written;
    }
    if (written == 0)
        return;
    const wchar_t end = 0;
    list.Write(&end, sizeof(end));
    {
        WatchModeScope watch(GetMainFrame(), WatchMode::RootOnly);
        CWnd* mainWnd = AfxGetMainWnd();
        ShellDeleteFileList(list, mainWnd ? mainWnd->GetSafeHwnd() : nullptr, DeleteRule::RecycleFlags(silent));
    }
    RemoveMissingSelectedItems();
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
    return names + L"とコメントの保存欄が同じになるため（[ ] と { }、名前の前後の空白は区別されません）、"
                   L"コメントを失わないよう名前を変えませんでした。";
}

} // namespace

CString CKWDoc::RenameFailureText(const wchar_t* path, const wchar_t* newName, const CString& reason)
{
    return FormatMessageText(0x4000000B) + path + L" → " + newName + L"\r\n" + reason;
}

bool CKWDoc::RenameItem(VyxFile* item, const wchar_t* newName, CString* reason)
{
    if (!item || !PathExists(item->GetPath(), kAnyAttribute))
        return RefusedFor(reason, ERROR_FILE_NOT_FOUND);
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
    // Refused before anything changes: the file would be renamed and its note left behind.
    if (!item->GetNote().IsEmpty() && !item->NoteCanFollow(newPath)) {
        if (reason)
            *reason = SharedSectionText(*item, newPath);
        return false;
    }
    if (!RenameEntry(oldPath, newPath))
        return RefusedFor(reason, GetLastError() ? GetLastError() : ERROR_ACCESS_DENIED);
    item->RemoveFromCache();
    if (item->RenameWithNote(newName) != VyxNoteStore::NoteWritten) {
        // The note could not follow: the file takes its old name back, where its note still is.
        if (!RenameEntry(newPath, oldPath))
            item->Rename(newName);
        if (reason)
            *reason = L"次のコメントファイルに書き込めないため、コメントを失わないよう名前を元に戻しました。\r\n" +
                      item->GetNoteFilePath();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- commands of files and outputs

void CKWDoc::OnUpdateNeedsSelection(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_items.GetSelectedCount(false) > 0);
}

void CKWDoc::OnUpdateNeedsDiskItems(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_items.GetSelectedOutsideArchivesCount(false) > 0);
}

void CKWDoc::OnFileDelete()
{
    const DeleteRule rule = DeleteRule::Of(*this, DeleteRule::IsShiftHeld());
    if (rule.forGood)
        DeleteSelectedFiles(!rule.confirm);
    else
        ShellDeleteSelected(!rule.confirm);
}

void CKWDoc::OnFileRename()
{
    int remaining = m_items.GetSelectedOutsideArchivesCount(false);
    if (remaining < 1)
        return;
    CurrentDirectoryScope directory(GetFolderPath());
    WatchModeScope watch(GetMainFrame());
    UpdatingScope updating(*this);
    for (SelectedEntry item : m_items.Selected(SelectedFilter::Existing)) {
        VFileRenameDlg dialog(AfxGetMainWnd());
        dialog.m_item = item;
        dialog.m_path = item->GetPath();
        dialog.m_name = item->GetFileName();
        dialog.m_moreFiles = --remaining > 0 ? 1 : 0;
        if (dialog.DoModal() == IDOK) {
            CString reason;
            const CString path = item->GetPath();
            if (RenameItem(item, dialog.m_name, &reason))
                UpdateAllViews(nullptr, HintItemChanged, HintValue(item.position));
            else
                AfxMessageBox(RenameFailureText(path, dialog.m_name, reason), MB_OK | MB_ICONSTOP);
        } else if (dialog.m_abort) {
            break;
        }
    }
    CString folder = GetFolderPath();
    UpdateAllViews(nullptr, HintRenamed, HintArgument(folder.GetString()));
}

void CKWDoc::OnFileRenameMany()
{
    if (m_items.GetSelectedOutsideArchivesCount(false) < 1)
        return;
    CurrentDirectoryScope directory(GetFolderPath());
    WatchModeScope watch(GetMainFrame());
    UpdatingScope updating(*this);
    VFileRenameNDlg dialog(AfxGetMainWnd());
    for (VyxFile* item : m_items.Selected(SelectedFilter::Existing))
        dialog.AddFile(item);
    if (dialog.DoModal() == IDOK) {
        CStringArray failures;
        dialog.RenameFiles(*this, failures);
        if (failures.GetSize() > 0) {
            CReportDlg report(AfxGetMainWnd());
            report.SetLines(&failures);
            report.DoModal();
        }
    }
    CString folder = GetFolderPath();
    UpdateAllViews(nullptr, HintRenamed, HintArgument(folder.GetString()));
}

void CKWDoc::OnEditComment()
{
    for (SelectedEntry item : m_items.Selected(SelectedFilter::Any)) {
        CCommentDlg dialog(item, AfxGetMainWnd());
        if (dialog.DoModal() != IDOK)
            break;
        UpdateAllViews(nullptr, HintItemChanged, HintValue(item.position));
    }
}

// ---------------------------------------------------------------- the clipboard and transfers

bool CKWDoc::PlaceSelectionOnClipboard(bool cut)
{
    ClipboardFileList files;
    VyxNoteSession notes;
    for (VyxFile* item : m_items.Selected(SelectedFilter::OnDisk))
        files.Add(item->GetPath(), item->GetNote());
    HGLOBAL picture = nullptr;
    if (!cut && ClipboardCopyDIB) {
        if (VyxFile* cursor = GetItem(m_cursorIndex))
            picture = cursor->LoadPicture();
    }
    const bool withFiles = m_items.GetSelectedOutsideArchivesCount(false) > 0;
    if (files.Place(cut ? DROPEFFECT_MOVE : DROPEFFECT_COPY | DROPEFFECT_LINK, withFiles, ClipboardCopyTEXT, picture))
        return true;
    AfxMessageBox(L"クリップボードを開けないため、コピーできませんでした", MB_OK | MB_ICONSTOP);
    return false;
}

void CKWDoc::OnEditCopy()
{
    if (m_items.GetSelectedCount(false) >= 1)
        PlaceSelectionOnClipboard(false);
}

void CKWDoc::OnEditCut()
{
    if (m_items.GetSelectedOutsideArchivesCount(false) >= 1)
        PlaceSelectionOnClipboard(true);
}

void CKWDoc::OnUpdateEditPaste(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(::IsClipboardFormatAvailable(CF_HDROP) || ::IsClipboardFormatAvailable(CF_DIB));
}

void CKWDoc::OnEditPaste()
{
    COleDataObject data;
    if (!data.AttachClipboard())
        return;
    CWnd* mainWnd = AfxGetMainWnd();
    if (data.IsDataAvailable(CF_HDROP)) {
        std::unique_ptr<VyxFileTransfer> job(new VyxFileTransfer);
        job->SetDestination(GetFolderPath());
        job->AddDataObject(&data, DROPEFFECT_COPY);
        if (!mainWnd || !mainWnd->GetSafeHwnd())
            return;
        // A paste of the program's own drag list runs before the command returns.
        if (data.IsDataAvailable(static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"CF_VyxDROP"))))
            mainWnd->SendMessage(WMU_FILEOPERATION, reinterpret_cast<WPARAM>(job.release()), 0);
        else if (mainWnd->PostMessage(WMU_FILEOPERATION, reinterpret_cast<WPARAM>(job.get()), 0))
            job.release();
        return;
    }
    if (!data.IsDataAvailable(CF_DIB))
        return;
    // Another program's picture passes the image library's check before anything reads it.
    GlobalBlock picture(GetDibFromClipboard());
    if (!picture.get()) {
        AfxMessageBox(L"クリップボードの画像は読み取れない形式です", MB_OK | MB_ICONSTOP);
        return;
    }
    if (SavePastedPicture(picture.get()) == 0)
        NotifyFolderChanged(nullptr);
}

void CKWDoc::TransferSelected(const wchar_t* destination, int existingOnly, int sameNameMode, bool move)
{
    std::unique_ptr<VyxFileTransfer> job(new VyxFileTransfer);
    // A move takes only files that are there; a copy takes archive members as well.
    for (VyxFile* item : m_items.Selected(move ? SelectedFilter::Existing : SelectedFilter::Any)) {
        job->AddItem(item, 0);
    }
    job->SetDestination(destination);
    job->SetExistingOnly(existingOnly);
    job->SetSameNameMode(sameNameMode);
    job->SetMoveMode(move ? 1 : 0);
    CWnd* mainWnd = AfxGetMainWnd();
    if (mainWnd && mainWnd->GetSafeHwnd())
        mainWnd->SendMessage(WMU_FILEOPERATION, reinterpret_cast<WPARAM>(job.release()), 0);
    if (move)
        RemoveMissingSelectedItems();
}

void CKWDoc::OnFileCopyTo()
{
    CurrentDirectoryScope directory(GetFolderPath());
    UpdatingScope updating(*this);
    VFileCopyDlg dialog(AfxGetMainWnd());
    dialog.m_initialFolder = GetFolderPath();
    if (dialog.DoModal() == IDOK && dialog.MakeDestination())
        TransferSelected(dialog.m_destination, dialog.GetExistingOnly(), dialog.GetSameNameMode(), false);
}

void CKWDoc::OnFileMoveTo()
{
    if (m_items.GetSelectedOutsideArchivesCount(false) < 1)
        return;
    CurrentDirectoryScope directory(GetFolderPath());
    UpdatingScope updating(*this);
    VFileMoveDlg dialog(AfxGetMainWnd());
    dialog.m_initialFolder = GetFolderPath();
    if (dialog.DoModal() == IDOK && dialog.MakeDestination())
        TransferSelected(dialog.m_destination, dialog.GetExistingOnly(), dialog.GetSameNameMode(), true);
}
