// The document's file commands: deleting and renaming the selection, comments, the clipboard and
// copying or moving to another folder; the document does the work, these ask first.
#include "browser/CKWDocCommands.h"

#include "browser/CKWDocPictureOutput.h"
#include "catalogue/CCommentDlg.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/CKWDocScopes.h"
#include "catalogue/DeleteRule.h"
#include "catalogue/DocumentHost.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/VyxFile.h"
#include "catalogue/WatchModeScope.h"
#include "controls/ProgressDlg.h"
#include "fileops/CReportDlg.h"
#include "fileops/VFileCopyDlg.h"
#include "fileops/VFileMoveDlg.h"
#include "fileops/VFileRenameDlg.h"
#include "fileops/VFileRenameNDlg.h"
#include "fileops/VyxFileTransfer.h"
#include "foundation/MessageBoxes.h"
#include "framework/COleDataObject.h"
#include "image/DibCore.h"
#include "image/codecs/SaveDib.h"
#include "res/resource.h"

#include <memory>

// ---------------------------------------------------------------- commands of files and outputs

void CKWDocCommands::OnUpdateNeedsSelection(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_doc.GetSelectedCount(false) > 0);
}

void CKWDocCommands::OnUpdateNeedsDiskItems(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_doc.GetSelectedOutsideArchivesCount(false) > 0);
}

void CKWDocCommands::OnFileDelete()
{
    const DeleteRule rule = DeleteRule::Of(m_doc, DeleteRule::IsShiftHeld());
    if (rule.forGood)
        m_doc.DeleteSelectedFiles(!rule.confirm);
    else
        m_doc.ShellDeleteSelected(!rule.confirm);
}

void CKWDocCommands::OnFileRename()
{
    int remaining = m_doc.GetSelectedOutsideArchivesCount(false);
    if (remaining < 1)
        return;
    m_doc.TellSelectedTwinRefusals();
    CurrentDirectoryScope directory(m_doc.GetFolderPath());
    WatchModeScope watch(m_doc.GetHost());
    UpdatingScope updating(m_doc);
    for (SelectedEntry item : m_doc.SelectedItems(SelectedFilter::Existing)) {
        VFileRenameDlg dialog(AfxGetMainWnd());
        dialog.m_item = item;
        dialog.m_path = item->GetPath();
        dialog.m_name = item->GetFileName();
        dialog.m_moreFiles = --remaining > 0 ? 1 : 0;
        if (dialog.DoModal() == IDOK) {
            CString reason;
            const CString path = item->GetPath();
            if (m_doc.RenameItem(item, dialog.m_name, &reason))
                m_doc.UpdateAllViews(nullptr, HintItemChanged, HintValue(item.position));
            else
                ShowMessageBox(CKWDoc::RenameFailureText(path, dialog.m_name, reason), MB_OK | MB_ICONSTOP);
        } else if (dialog.m_abort) {
            break;
        }
    }
    CString folder = m_doc.GetFolderPath();
    m_doc.UpdateAllViews(nullptr, HintRenamed, HintArgument(folder.GetString()));
}

void CKWDocCommands::OnFileRenameMany()
{
    if (m_doc.GetSelectedOutsideArchivesCount(false) < 1)
        return;
    m_doc.TellSelectedTwinRefusals();
    CurrentDirectoryScope directory(m_doc.GetFolderPath());
    WatchModeScope watch(m_doc.GetHost());
    UpdatingScope updating(m_doc);
    VFileRenameNDlg dialog(AfxGetMainWnd());
    for (VyxFile* item : m_doc.SelectedItems(SelectedFilter::Existing))
        dialog.AddFile(item);
    if (dialog.DoModal() == IDOK) {
        CStringArray failures;
        dialog.RenameFiles(m_doc, failures);
        if (failures.GetSize() > 0) {
            CReportDlg report(AfxGetMainWnd());
            report.SetLines(&failures);
            report.DoModal();
        }
    }
    CString folder = m_doc.GetFolderPath();
    m_doc.UpdateAllViews(nullptr, HintRenamed, HintArgument(folder.GetString()));
}

void CKWDocCommands::OnEditComment()
{
    for (SelectedEntry item : m_doc.SelectedItems(SelectedFilter::Any)) {
        CCommentDlg dialog(item, AfxGetMainWnd());
        if (dialog.DoModal() != IDOK)
            break;
        m_doc.UpdateAllViews(nullptr, HintItemChanged, HintValue(item.position));
    }
}

// ---------------------------------------------------------------- the clipboard and transfers

void CKWDocCommands::OnEditCopy()
{
    if (m_doc.GetSelectedCount(false) >= 1)
        m_doc.PlaceSelectionOnClipboard(false);
}

void CKWDocCommands::OnEditCut()
{
    if (m_doc.GetSelectedOutsideArchivesCount(false) >= 1)
        m_doc.PlaceSelectionOnClipboard(true);
}

void CKWDocCommands::OnUpdateEditPaste(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(::IsClipboardFormatAvailable(CF_HDROP) || ::IsClipboardFormatAvailable(CF_DIB));
}

void CKWDocCommands::OnEditPaste()
{
    COleDataObject data;
    if (!data.AttachClipboard())
        return;
    if (data.IsDataAvailable(CF_HDROP)) {
        auto* job = new VyxFileTransfer;
        job->SetDestination(m_doc.GetFolderPath());
        job->AddDataObject(&data, DROPEFFECT_COPY);
        // A paste of the program's own drag list runs before the command returns; another
        // program's is posted, and waits its turn behind a job that runs when it arrives.
        if (data.IsDataAvailable(static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"CF_VyxDROP"))))
            VyxFileTransfer::Send(AfxGetMainWnd(), job);
        else
            VyxFileTransfer::Post(AfxGetMainWnd(), job);
        return;
    }
    if (!data.IsDataAvailable(CF_DIB))
        return;
    // Another program's picture passes the image library's check before anything reads it.
    GlobalBlock picture(GetDibFromClipboard());
    if (!picture.get()) {
        ShowMessageBox(IDS_CLIPBOARD_UNREADABLE, MB_OK | MB_ICONSTOP);
        return;
    }
    if (CKWDocPictureOutput(m_doc).SavePastedPicture(picture.get()) == 0)
        m_doc.NotifyFolderChanged(nullptr);
}

void CKWDocCommands::OnFileCopyTo()
{
    CurrentDirectoryScope directory(m_doc.GetFolderPath());
    UpdatingScope updating(m_doc);
    VFileCopyDlg dialog(AfxGetMainWnd());
    dialog.m_initialFolder = m_doc.GetFolderPath();
    if (dialog.DoModal() == IDOK && dialog.MakeDestination())
        CKWDocPictureOutput(m_doc).TransferSelected(dialog.m_destination, dialog.GetExistingOnly(),
                                                    dialog.GetSameNameMode(), false);
}

void CKWDocCommands::OnFileMoveTo()
{
    if (m_doc.GetSelectedOutsideArchivesCount(false) < 1)
        return;
    CurrentDirectoryScope directory(m_doc.GetFolderPath());
    UpdatingScope updating(m_doc);
    VFileMoveDlg dialog(AfxGetMainWnd());
    dialog.m_initialFolder = m_doc.GetFolderPath();
    if (dialog.DoModal() == IDOK && dialog.MakeDestination())
        CKWDocPictureOutput(m_doc).TransferSelected(dialog.m_destination, dialog.GetExistingOnly(),
                                                    dialog.GetSameNameMode(), true);
}
