// The picture window stepping through the document's files and pages (by hand and by auto-play),
// and its file commands: copy, move, delete, save, print, comment and select.
#include "viewer/COneWnd.h"

#include "catalogue/CCommentDlg.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/DeleteRule.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/WatchModeScope.h"
#include "fileops/CMyPrintDialog.h"
#include "fileops/CPrintOutDialog.h"
#include "fileops/KeptMetadata.h"
#include "fileops/FileSaveSettings.h"
#include "fileops/VFileMoveDlg.h"
#include "fileops/VyxFileTransfer.h"
#include "foundation/FormatMessageText.h"
#include "foundation/MessageBoxes.h"
#include "foundation/SettingsTable.h"
#include "foundation/TwinNameGuard.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "image/DibCore.h"
#include "image/codecs/JpegMetadata.h"
#include "image/codecs/SaveDib.h"
#include "res/resource.h"

#include <memory>
#include <vector>

namespace {

const UINT_PTR kAutoPlayTimer = 1;
const UINT kAutoPlayInterval = 55;
const wchar_t kSaveSection[] = L"FileSave";

} // namespace

// ---------------------------------------------------------------- stepping through the files

int COneWnd::GetFileCount() const
{
    return m_pDocument ? m_pDocument->GetItemCount() : 0;
}

int COneWnd::StepTarget(int nIndex, int nCount, BOOL bRepeat)
{
    if (nIndex < 0)
        return bRepeat ? nCount - 1 : 0;
    if (nIndex >= nCount)
        return bRepeat ? 0 : nCount - 1;
    return nIndex;
}

void COneWnd::ShowStep(int nIndex, BOOL bFromCurrent)
{
    // The index the step starts from is the one the file has after following the document.
    if (GetFileCount() <= 0 || Relocate())
        return;
    ShowPicture(StepTarget(bFromCurrent ? m_nIndex + nIndex : nIndex, GetFileCount(), m_settings.Repeat));
}

void COneWnd::OnFirst()
{
    ShowStep(0, FALSE);
}

void COneWnd::OnPrevious()
{
    ShowStep(-1, TRUE);
}

void COneWnd::OnNext()
{
    ShowStep(1, TRUE);
}

void COneWnd::OnLast()
{
    ShowStep(GetFileCount() - 1, FALSE);
}

void COneWnd::OnUpdateBackward(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nIndex > 0 && GetFileCount() > 0 && !m_bLocked);
}

void COneWnd::OnUpdateForward(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nIndex + 1 < GetFileCount() && !m_bLocked);
}

void COneWnd::OnPage(UINT nID)
{
    if (Relocate() || !m_pView)
        return;
    if (nID == ID_PICTURE_NEXT_PAGE)
        m_pView->NextPage();
    else
        m_pView->PrevPage();
    // The stepped page stays: the file is not read again.
    m_pView->Invalidate(FALSE);
    UpdateTitle(nullptr);
}

void COneWnd::OnUpdatePage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nAutoPlay == 0 && !m_bLocked && GetDisplayedPage());
}
// ---------------------------------------------------------------- auto-play

void COneWnd::OnAutoPlay()
{
    if (GetFileCount() <= 0)
        return;
    if (Relocate() || m_nAutoPlay) {
        StopAutoPlay();
        return;
    }
    m_nAutoPlay = 1;
    m_nAutoPlayTimer = SetTimer(kAutoPlayTimer, kAutoPlayInterval, nullptr);
    m_dwAutoPlayStart = ::GetTickCount();
}

void COneWnd::OnUpdateAutoPlay(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_nAutoPlay != 0 ? 1 : 0);
    pCmdUI->Enable(GetFileCount() > 0 && !m_bLocked);
}

void COneWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kAutoPlayTimer || m_nAutoPlay != 1) {
        VyxFrameWndEx::OnTimer(nIDEvent);
        return;
    }
    const DWORD now = ::GetTickCount();
    if (static_cast<long long>(now - m_dwAutoPlayStart) < m_settings.SleepTime)
        return;
    OnNext();
    if (m_bLocked)
        StopAutoPlay();
    m_dwAutoPlayStart = ::GetTickCount();
}

void COneWnd::StopAutoPlay()
{
    if (m_nAutoPlayTimer && m_hWnd)
        KillTimer(m_nAutoPlayTimer);
    m_nAutoPlayTimer = 0;
    m_nAutoPlay = 0;
}
// ---------------------------------------------------------------- file commands

void COneWnd::Announce(LPARAM lHint, const void* pObject)
{
    if (m_pDocument)
        m_pDocument->UpdateAllViews(nullptr, lHint, HintArgument(pObject));
}

void COneWnd::OnFileCopy()
{
    TransferShownFile(FALSE);
}

void COneWnd::OnFileMove()
{
    TransferShownFile(TRUE);
}

void COneWnd::TransferShownFile(BOOL bMove)
{
    const BOOL locked = Relocate();
    VyxFile* shown = GetShownItem();
    if (!shown || !m_pDocument || !PathExists(shown->GetPath(), kFileNotFolder))
        return;
    // The document's item holds the note as last written (the view's copy may hold an older one,
    // which the job would carry and lose the newer); the view may load another file while the
    // dialog and the job pump messages.
    VyxFile* current = locked ? nullptr : m_pDocument->GetItem(m_nIndex);
    VyxFile item(current ? *current : *shown);
    // Either may also see this window closed: nothing of it is touched after that.
    bool deleted = false;
    m_pDeleted = &deleted;
    std::unique_ptr<VFileCopyDlg> dialog(bMove ? new VFileMoveDlg(this) : new VFileCopyDlg(this));
    dialog->m_initialFolder = m_pDocument->GetFolderPath();
    LRESULT transferred = 0;
    bool sent = false;
    if (dialog->DoModal() == IDOK && !deleted && dialog->MakeDestination() && !deleted) {
        auto* job = new VyxFileTransfer;
        job->SetDestination(dialog->m_destination);
        job->SetExistingOnly(dialog->GetExistingOnly());
        job->SetSameNameMode(dialog->GetSameNameMode());
        job->SetMoveMode(bMove);
        job->AddItem(&item, 0);
        sent = true;
        transferred = VyxFileTransfer::Send(AfxGetMainWnd(), job);
    }
    if (deleted)
        return;
    m_pDeleted = nullptr;
    // The job's progress window was the main window's, which it left active: the user goes on here.
    if (sent)
        SetForegroundWindow();
    if (!bMove || transferred <= 0)
        return;
    // The document's list may have changed while the job ran: the item is looked up again.
    Relocate();
    ForgetShownFile(item, TRUE);
}

void COneWnd::ForgetShownFile(VyxFile& item, BOOL bRemovedFirst)
{
    if (m_bLocked) {
        DestroyWindow();
        return;
    }
    // Hearing of the removal may close this window: only locals are used from here on.
    CKWDoc* doc = m_pDocument;
    const int index = m_nIndex;
    doc->RemoveItem(index);
    CString folder = item.IsFolder() ? doc->GetFolderPath() : CString();
    auto* removed = HintValue(index);
    if (bRemovedFirst)
        doc->UpdateAllViews(nullptr, HintItemRemoved, removed);
    if (item.IsFolder())
        doc->UpdateAllViews(nullptr, HintFolderChanged, HintArgument(folder.GetString()));
    else
        doc->UpdateAllViews(nullptr, HintRedraw, nullptr);
    if (!bRemovedFirst)
        doc->UpdateAllViews(nullptr, HintItemRemoved, removed);
}

void COneWnd::OnFileDelete()
{
    const bool shift = m_nDeleteKeyShift >= 0 ? m_nDeleteKeyShift != 0 : DeleteRule::IsShiftHeld();
    m_nDeleteKeyShift = -1;
    Relocate();
    VyxFile* shown = GetShownItem();
    if (!shown || !m_pDocument)
        return;
    VyxFile item(*shown);
    bool deleted = false;
    DWORD error = 0;
    {
        WatchModeScope watch(dynamic_cast<FolderWatchHost*>(m_pOwner));
        const DeleteRule rule = DeleteRule::Of(*m_pDocument, shift);
        if (!rule.forGood) {
            SetLastError(0);
            deleted = ShellDeleteFile(item.GetPath(), m_hWnd, DeleteRule::RecycleFlags(!rule.confirm));
            error = deleted ? 0 : GetLastError();
            deleted = deleted && LookUpExactName(item.GetPath()) != NameLookup::Exact;
        } else {
            if (!rule.confirm || DeleteRule::AskForGood())
                deleted = DeleteFiles(item.GetPath(), &error);
            SetFocus();
        }
    }
    // A moved file's note went with it, or stays because it changed meanwhile; a deleted one's goes.
    if (deleted) {
        item.DeleteNote();
        ForgetShownFile(item, FALSE);
    } else if (error == TwinNameGuard::kRefused) {
        ShowMessageBox(TwinNameGuard::LastRefusalText(), MB_OK | MB_ICONSTOP);
    }
}

void COneWnd::OnUpdateFileMove(CCmdUI* pCmdUI)
{
    const VyxFile* item = GetShownItem();
    pCmdUI->Enable(m_nAutoPlay == 0 && item && !item->IsArchiveMember());
}

void COneWnd::OnFileSave()
{
    Relocate();
    VyxFile* item = GetShownItem();
    if (!item)
        return;
    CString folder, title;
    GetPathPart(folder, item->GetPath(), PartFolder);
    GetPathPart(title, item->GetPath(), PartName);
    CFileDialog dialog(FALSE, L"bmp", title, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       L"BMP形式 files(*.bmp)|*.bmp|JPEG形式 files(*.jpg)|*.jpg|PNG形式 files(*.png)|*.png|"
                       L"TIF形式 files(*.tif)|*.tif|GIF形式 files(*.gif)|*.gif||",
                       this);
    dialog.m_ofn.lpstrTitle = L"ファイルの保存";
    dialog.m_ofn.lpstrInitialDir = folder;
    dialog.m_ofn.nFilterIndex = static_cast<DWORD>(GetAppIniInt(kSaveSection, L"FilterIndex", 0));
    if (dialog.DoModal() != IDOK)
        return;
    const int filter = static_cast<int>(dialog.m_ofn.nFilterIndex);
    WriteAppIniInt(kSaveSection, L"FilterIndex", filter);
    if (!SavePageAsShown(dialog.GetPathName(), filter))
        ShowMessageBox(FormatMessageLine(MsgSaveFailed), MB_OK | MB_ICONEXCLAMATION);
}

BOOL COneWnd::SavePageAsShown(const wchar_t* path, int nFilterIndex)
{
    VyxFile* item = GetShownItem();
    if (!m_pView || !item || !GetDisplayedPage() || !path || !*path || nFilterIndex < 1 || nFilterIndex > 5)
        return FALSE;
    // The source's metadata, read before anything is written (the save may replace the source).
    JpegMetadata kept;
    if (nFilterIndex == 2)
        kept = MetadataKeptAt(*item, path);
    bool turned = false;
    GlobalBlock page(m_pView->GetPicture().MakePageAsShown(&turned));
    if (!page)
        return FALSE;
    kept.FitToPixels(GetDibWidth(page.get()), GetDibHeight(page.get()), turned);
    // Each save writes beside the target and puts the file in place whole, so the picture may be
    // saved over the very file it was read from.
    int result = -1;
    switch (nFilterIndex) {
    case 1:
        result = SaveDibAsBmp(path, page.get());
        break;
    case 2: {
        const int quality = SettingsTable::ReadOne(&FileSaveSettings::JpegQuality);
        const int progressive = SettingsTable::ReadOne(&FileSaveSettings::JpegProgressive);
        result = SaveDibAsJpeg(path, page.get(), quality, progressive, 0, &kept);
        break;
    }
    case 3:
        result = SaveDibAsPng(path, page.get(), 8);
        break;
    case 4:
        result = SaveDibAsTiff(path, page.get(), 1);
        break;
    default:
        result = SaveDibAsGif(path, page.get(), 0);
        break;
    }
    return result == 0;
}

void COneWnd::OnFilePrint()
{
    if (Relocate())
        return;
    VyxFile* item = GetShownItem();
    if (!item)
        return;
    CMyPrintDialog setup(TRUE, PD_NOSELECTION | PD_HIDEPRINTTOFILE, this);
    if (setup.DoModal() != IDOK)
        return;
    CDC printer;
    if (!printer.Attach(setup.CreatePrinterDC()))
        return;
    int result = 0;
    {
        // The job prints the page as shown and leaves it to the window.
        CPrintOutDialog job(this);
        job.AddItem(item);
        job.SetImage(GetDisplayedPage());
        job.Create(this);
        result = job.Print(&printer, setup.m_definitionFile);
        job.DestroyWindow();
    }
    printer.DeleteDC();
    if (result) {
        CString text;
        text.LoadString(static_cast<UINT>(result));
        ShowMessageBox(text, MB_OK | MB_ICONINFORMATION);
    }
}

void COneWnd::OnUpdateFilePrint(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nAutoPlay == 0 && GetDisplayedPage() && !m_bLocked);
}

void COneWnd::OnComment()
{
    const BOOL locked = Relocate();
    VyxFile* shown = GetShownItem();
    if (!shown)
        return;
    // The document's own item, while it is there, so its note is the one the views show.
    VyxFile* item = !locked && m_pDocument ? m_pDocument->GetItem(m_nIndex) : nullptr;
    CCommentDlg dialog(item ? item : shown, this);
    if (dialog.DoModal() != IDOK)
        return;
    if (item)
        shown->SetNoteText(item->GetNote());
    if (locked) {
        UpdateTitle(shown);
        return;
    }
    Announce(HintItemChanged, HintValue(m_nIndex));
    // A view that heard of the change may have shown the file again, with a new item.
    UpdateTitle(GetShownItem());
}

void COneWnd::OnSelect()
{
    if (Relocate() || !m_pDocument)
        return;
    VyxFile* item = m_pDocument->GetItem(m_nIndex);
    if (!item)
        return;
    const bool select = !item->TestFlags(VyxFilexDraw::FlagSelected);
    m_pDocument->SelectItem(m_nIndex, select, nullptr);
    if (VyxFile* shown = GetShownItem()) {
        if (select)
            shown->SetFlags(VyxFilexDraw::FlagSelected);
        else
            shown->ClearFlags(VyxFilexDraw::FlagSelected);
    }
}

void COneWnd::OnUpdateSelect(CCmdUI* pCmdUI)
{
    const VyxFile* item = GetShownItem();
    pCmdUI->SetCheck(item && item->TestFlags(VyxFilexDraw::FlagSelected) ? 1 : 0);
    pCmdUI->Enable(m_nAutoPlay == 0 && !m_bLocked);
}
