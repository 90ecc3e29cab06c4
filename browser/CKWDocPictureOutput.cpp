// The walks that write the selection out with the file operations' dialogs and jobs: contact
// sheets, extraction from archives, printing, saving in another format, and copying or moving.
#include "browser/CKWDocPictureOutput.h"

#include "catalogue/CExportDialog.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/CKWDocScopes.h"
#include "catalogue/ContactSheetFile.h"
#include "catalogue/DocumentHost.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/VyxFile.h"
#include "catalogue/WatchModeScope.h"
#include "controls/ProgressDlg.h"
#include "fileops/CFileSaveDlg.h"
#include "fileops/CPrintOutDialog.h"
#include "fileops/KeptMetadata.h"
#include "fileops/VSameFileDlg.h"
#include "fileops/VyxFileTransfer.h"
#include "foundation/FormatMessageText.h"
#include "foundation/MessageBoxes.h"
#include "foundation/ReplacementFile.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxPath.h"
#include "image/DibCore.h"
#include "image/DibQuant.h"
#include "image/DibValidate.h"
#include "image/RotateInfo.h"
#include "image/codecs/JpegMetadata.h"
#include "image/codecs/SaveDib.h"
#include "image/cximage/CxImageCodecs.h"
#include "image/plugins/Spi.h"
#include "res/resource.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// The folders of the path that are not there yet, the deepest first.
std::vector<CString> MissingFolders(const wchar_t* path)
{
    std::vector<CString> missing;
    CString folder, parent;
    RemovePathSeparator(folder, path);
    while (!folder.IsEmpty() && !PathExists(folder, FILE_ATTRIBUTE_DIRECTORY)) {
        missing.push_back(folder);
        GetPathPart(parent, folder, PartFolder);
        if (parent == folder)
            break;
        folder = parent;
    }
    return missing;
}

// The picture of a save in another format as the options size and turn it: a new block, the
// loaded picture itself, or null when it cannot be made (or would pass the image library's bound).
HGLOBAL MakeSavedPicture(VyxFile& copy, HGLOBAL picture, const CFileSaveDlg& options, int angle)
{
    const LONG width = GetDibWidth(picture), height = GetDibHeight(picture);
    if (options.SizeMode == CFileSaveDlg::SizeKeep) {
        CRotateInfo turn(angle);
        RECT bounds = angle != 0 ? turn.GetBoundingRect(width, height) : RECT{0, 0, width, height};
        const long long w = static_cast<long long>(bounds.right) - bounds.left;
        const long long h = static_cast<long long>(bounds.bottom) - bounds.top;
        return IsDibSizeAllowed(w, h, 24) ? copy.MakeThumbnail(static_cast<int>(w), static_cast<int>(h), picture)
                                          : nullptr;
    }
    double w = options.Width, h = options.Height;
    if (options.SizeMode == CFileSaveDlg::SizeScaled) {
        w = std::trunc(width * options.Scale);
        h = std::trunc(height * options.Scale);
    }
    if (!(w >= 1 && h >= 1 && w <= INT_MAX && h <= INT_MAX) ||
        !IsDibSizeAllowed(static_cast<long long>(w), static_cast<long long>(h), 24))
        return nullptr;
    return copy.MakeThumbnailFromPicture(picture, SIZE{static_cast<LONG>(w), static_cast<LONG>(h)});
}

// Writes the picture in the options' format, a JPEG with the metadata kept; 0 when written.
int SavePictureAs(const CFileSaveDlg& options, const CString& path, HGLOBAL picture, const JpegMetadata& kept)
{
    GlobalBlock reduced;
    auto reduce = [&](bool wanted) {
        if (wanted)
            reduced.reset(ReduceDibTo256Colors(picture, FALSE));
        return reduced.get() ? reduced.get() : picture;
    };
    switch (options.Format) {
    case CFileSaveDlg::FormatJpeg:
        return SaveDibAsJpeg(path, picture, options.JpegQuality, options.JpegProgressive, options.JpegGrayscale, &kept);
    case CFileSaveDlg::FormatJpeg2000:
        return SaveDibAsJpeg2000(path, picture, options.Jpeg2000Quality, 0, 0);
    case CFileSaveDlg::FormatPng:
        return SaveDibAsPng(path, reduce(options.m_pngReduce != FALSE),
                            static_cast<DWORD>(options.PngCodec + (options.PngInterlace ? 1 : 0)));
    case CFileSaveDlg::FormatTiff:
        return SaveDibAsTiff(path, picture, static_cast<DWORD>(options.TifCodec));
    case CFileSaveDlg::FormatGif:
        return SaveDibAsGif(path, reduce(GetDibBitCount(picture) > 8), static_cast<DWORD>(options.GifCodec));
    default:
        return SaveDibAsBmp(path, reduce(options.m_bmpReduce != FALSE));
    }
}

} // namespace

// ---------------------------------------------------------------- picture output

void CKWDocPictureOutput::ExportContactSheets(int columns, int rows, const wchar_t* path, int format, int quality)
{
    const int count = m_doc.GetSelectedCount(false);
    if (count <= 0)
        return;
    if (rows == 0 && columns == 0)
        columns = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(count))));
    if (rows == 0)
        rows = (count + columns - 1) / std::max(columns, 1);
    else if (columns == 0)
        columns = (count + rows - 1) / std::max(rows, 1);
    const CSize cell = m_doc.ThumbsSize;
    // Refused before anything is allocated: a sheet the image library would not hold.
    if (!ContactSheetFile::IsSheetSizeAllowed(columns, rows, cell)) {
        CString text;
        text.Format(L"%d x %d のシートは大きすぎて作成できません", columns * cell.cx, rows * cell.cy);
        ShowMessageBox(text, MB_OK | MB_ICONSTOP);
        return;
    }
    CDibSection sheet;
    if (!sheet.Create24(nullptr, columns * cell.cx, rows * cell.cy, m_doc.colBackGround)) {
        ShowMessageBox(IDS_SHEET_NO_MEMORY, MB_OK | MB_ICONSTOP);
        return;
    }
    sheet.Fill(nullptr, m_doc.colBackGround);
    ContactSheetFile file(m_doc, path, format, quality, static_cast<long long>(columns) * rows < count);
    CWnd* mainWnd = AfxGetMainWnd();
    CProgressDlg progress(IDS_SHEET_TITLE);
    const bool shown = progress.Create(mainWnd) != FALSE;
    if (shown)
        progress.SetRange(0, count);
    int column = 0, row = 0, number = 0, cells = 0;
    bool stopped = false;
    // A cancel keeps the sheet made so far.
    for (int i = 0; !stopped; ++i) {
        VyxFile* item = NextSelectedUnderProgress(i, shown ? &progress : nullptr);
        if (!item)
            break;
        const DWORD flags = item->GetFlags();
        item->ClearFlags(flags);
        item->SetLimitCheck(m_doc.LimitCheck);
        const POINT position = item->SetPosition(POINT{column * cell.cx, row * cell.cy});
        if (!m_doc.IsListedFromCache() || !item->IsCached()) {
            item->SetNameFrame(m_doc.NameFrame);
            item->SetNameFrameEdge(m_doc.NameFrameEdge);
            item->SetFrame(m_doc.Frame);
            item->SetFrameEdge(m_doc.FrameEdge);
            item->SetNameMode(m_doc.Name);
            item->SetName2Per(m_doc.Name2Per);
            item->SetMarginSize(m_doc.ThumbsMarginSize);
            item->SetPaddingSize(m_doc.ThumbsPaddingSize);
        }
        const int scaleMode = item->SetScaleMode(m_doc.m_sheetScaleMode);
        item->SetUnsharp(m_doc.Unsharp);
        const int drawn = item->DrawCell(sheet.GetMemDC(), column * cell.cx, row * cell.cy, cell.cx, cell.cy, 3);
        // The item looks and hits as before: its own scale mode, flags and place, and no kept
        // cell drawn for the sheet.
        item->SetScaleMode(scaleMode);
        item->SetFlags(flags);
        item->SetPosition(position);
        item->DiscardKeptCell();
        if (shown)
            progress.OffsetPos(1);
        if (drawn != 0)
            continue;
        ++cells;
        if (++column < columns)
            continue;
        column = 0;
        if (++row < rows)
            continue;
        row = 0;
        stopped = file.Save(sheet, number++) >= ContactSheetFile::Stopped;
        cells = 0;
        sheet.Fill(nullptr, m_doc.colBackGround);
    }
    if (cells > 0 && !stopped)
        file.Save(sheet, number);
    if (shown)
        progress.DestroyWindow();
}

int CKWDocPictureOutput::SavePastedPicture(HGLOBAL dib)
{
    CExportDialog dialog(m_doc.GetFolderPath(), AfxGetMainWnd());
    if (dialog.DoModal() != IDOK)
        return -1;
    const CString path = dialog.GetPathName();
    int result = 0;
    switch (dialog.m_ofn.nFilterIndex) {
    case CExportDialog::TypeJpeg:
        result = SaveDibAsJpeg(path, dib, 95, 0, 0);
        break;
    case CExportDialog::TypePng:
        result = SaveDibAsPng(path, dib, 8);
        break;
    case CExportDialog::TypeTiff:
        result = SaveDibAsTiff(path, dib, 1);
        break;
    case CExportDialog::TypeGif:
        result = SaveDibAsGif(path, dib, 0);
        break;
    default:
        result = SaveDibAsBmp(path, dib);
        break;
    }
    if (result != 0)
        ShowMessageBox(path + L"\n\n" + FormatMessageText(MsgSaveFailed), MB_OK | MB_ICONSTOP);
    return result == 0 ? 0 : (result == -1 ? 3 : result);
}

int CKWDocPictureOutput::PrintSelected(CDC* printerDC, const wchar_t* definitionFile)
{
    UpdatingScope updating(m_doc);
    WatchModeScope watch(m_doc.GetHost());
    CPrintOutDialog job(AfxGetMainWnd());
    for (VyxFile* item : m_doc.SelectedItems(SelectedFilter::Any))
        job.AddItem(item);
    CFrameWnd* frame = DYNAMIC_DOWNCAST(CFrameWnd, AfxGetMainWnd());
    CView* view = frame ? frame->GetActiveView() : nullptr;
    job.Create(view ? static_cast<CWnd*>(view) : AfxGetMainWnd());
    int result = job.Print(printerDC, definitionFile);
    if (job.GetSafeHwnd())
        job.DestroyWindow();
    return result;
}

// ---------------------------------------------------------------- commands of files and outputs

VyxFile* CKWDocPictureOutput::NextSelectedUnderProgress(int& index, CProgressDlg* progress)
{
    for (; index < m_doc.GetItemCount(); ++index) {
        if (progress && progress->CheckCancel())
            return nullptr;
        VyxFile* item = m_doc.GetItem(index);
        if (!item || !item->TestFlags(VyxFilexDraw::FlagSelected))
            continue;
        if (progress)
            progress->SetText(item->GetFileName());
        return item;
    }
    return nullptr;
}

void CKWDocPictureOutput::ExtractSelectedTo(const wchar_t* folder)
{
    CurrentDirectoryScope directory(m_doc.GetFolderPath());
    WatchModeScope watch(m_doc.GetHost());
    UpdatingScope updating(m_doc);
    if (!folder || !*folder)
        return;
    const std::vector<CString> made = MissingFolders(folder);
    if (!EnsureFolderExists(folder, true))
        return;
    CProgressDlg progress(IDS_UNPACK_TITLE);
    const bool shown = progress.Create(AfxGetMainWnd()) != FALSE;
    if (shown) {
        progress.SetText(L"書庫ファイルから解凍しています...");
        progress.SetRange(0, m_doc.GetSelectedCount(false));
    }
    ExtractionGuard guard;
    guard.askToReplace = [this](const CString& target) { return m_doc.AskToReplace(target); };
    int handled = 0;
    for (int i = 0;; ++i) {
        VyxFile* item = NextSelectedUnderProgress(i, shown ? &progress : nullptr);
        if (!item)
            break;
        const int result = item->ExtractTo(folder, &guard);
        if (shown)
            progress.SetPos(++handled);
        if (result == SPI_ABORTED)
            break;
        if (result != 0) {
            // What could not be written is named: the file, or the item when none was reached.
            CString failed = guard.failedTarget.IsEmpty() ? item->GetFileName() : guard.failedTarget;
            CString reason;
            reason.LoadString(IDS_UNPACK_FAILED);
            ShowMessageBox(failed + L"\n\n" + reason, MB_OK);
            // A failed unpack leaves no empty folder of its own making behind.
            for (const CString& path : made)
                if (!RemoveDirectoryW(path))
                    break;
            break;
        }
    }
    m_doc.UpdateAllViews(nullptr, HintFolderChanged, HintArgument(folder));
    if (shown)
        progress.DestroyWindow();
}

// ---------------------------------------------------------------- saving in another format

void CKWDocPictureOutput::SaveSelectedPictures(const CFileSaveDlg& options)
{
    static const wchar_t* const kExtensions[] = {L".bmp", L".jpg", L".jp2", L".png", L".tif", L".gif"};
    const CString folder = options.m_folder;
    // A folder that is not there yet is made without a question; one that cannot be made is told.
    if (folder.IsEmpty() || !EnsureFolderExists(folder, true, true))
        return;
    const int format = options.Format >= 0 && options.Format < 6 ? options.Format : CFileSaveDlg::FormatBmp;
    const bool multiPage = format == CFileSaveDlg::FormatTiff && options.TifMultiPage;
    VCopyFileDlg progress(AfxGetMainWnd());
    const bool shown = progress.Create(AfxGetMainWnd()) != FALSE;
    if (shown) {
        progress.SetWindowText(L"ファイル保存中...");
        progress.SetRange(0, m_doc.GetSelectedCount(false));
    }
    const int angle = options.RotateAngle % 360;
    bool applyToAll = false;
    int sameName = VyxFileTransfer::SameOverwrite;
    int recycle = 0;
    // The pages go to a file beside the target, put in its place once every page is in.
    std::unique_ptr<ReplacementFile> pagesFile;
    CxTiffPageWriter pages;
    CString pagesPath;
    int handled = 0;
    for (VyxFile* item : m_doc.SelectedItems(SelectedFilter::Any)) {
        if (shown)
            progress.SetText(item->GetFileName());
        CString title, target;
        GetPathPart(title, item->GetFileName(), PartName);
        MakePath(target, nullptr, folder, title + kExtensions[format], nullptr);
        VyxFile copy(*item);
        copy.SetScaleMode(options.ScaleMode);
        copy.SetUnsharp(options.Unsharp);
        copy.SetAngle(angle);
        copy.SetLimitCheck(FALSE);
        copy.SetKeepAspect(options.Aspect);
        copy.SetAutoCache(FALSE);
        copy.SetCacheLookup(FALSE);
        // Only the file the pages go to is asked about; the later pages take the first answer.
        const bool asks = !(multiPage && pagesFile);
        // A serial name that cannot be found leaves the picture unsaved, as a failed write does.
        bool stop = false, skip = false, named = true;
        if (asks && PathExists(target, kAnyAttribute) && !applyToAll) {
            for (;;) {
                VSameFileDlg question(copy, target, 0, 0, recycle, m_doc.AutoFileFormat, AfxGetMainWnd());
                if (question.DoModal() != IDOK) {
                    stop = true;
                    break;
                }
                applyToAll = question.m_applyToAll != 0 || multiPage;
                recycle = question.m_recycleOld;
                sameName = question.m_mode;
                target = question.m_targetPath.IsEmpty() ? target : question.m_targetPath;
                if (sameName != VyxFileTransfer::SameAsk || !PathExists(target, kAnyAttribute))
                    break;
            }
        }
        if (stop)
            break;
        const bool taken = asks && PathExists(target, kAnyAttribute);
        if (taken) {
            if (sameName == VyxFileTransfer::SameIgnore)
                skip = true;
            else if (sameName == VyxFileTransfer::SameSerial)
                named = VyxFileTransfer::MakeSerialName(target, CString(target), m_doc.AutoFileFormat);
        }
        // The picture and, written over its own file, what that file carries are read before the
        // file that is there may go to the recycle bin: it may be the source itself.
        JpegMetadata kept;
        if (!skip && named && format == CFileSaveDlg::FormatJpeg && !multiPage)
            kept = MetadataKeptAt(*item, target);
        GlobalBlock loaded(!skip && named ? copy.LoadPicture() : nullptr);
        if (taken && !skip && named && recycle && PathExists(target, kAnyAttribute))
            ShellDeleteFile(target, nullptr, FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI);
        if (!skip) {
            HGLOBAL made = loaded.get() ? MakeSavedPicture(copy, loaded.get(), options, angle) : nullptr;
            GlobalBlock output(made == loaded.get() ? loaded.release() : made);
            if (output.get())
                kept.FitToPixels(GetDibWidth(output.get()), GetDibHeight(output.get()), angle != 0);
            bool written = false;
            if (output.get() && multiPage) {
                if (!pagesFile) {
                    auto file = std::make_unique<ReplacementFile>(target, ReplacementFile::ReadWrite);
                    if (file->Stream()) {
                        pagesFile = std::move(file);
                        pagesPath = target;
                        pages.Open(pagesFile->Stream());
                    }
                }
                // Each page goes into the file as it is made: no picture waits for the others.
                written =
                    pagesFile && pages.AddPage(CxTiffPage{output.get(), static_cast<DWORD>(options.TifCodec), 90});
            } else if (output.get()) {
                written = SavePictureAs(options, target, output.get(), kept) == 0;
            }
            if (!written) {
                CString question;
                question.Format(L"%s\n\nファイルの保存に失敗しました\n\n継続しますか？",
                                item->GetFileName().GetString());
                if (ShowMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
                    break;
            }
        }
        if (shown) {
            progress.SetPos(++handled);
            if (progress.CheckCancel())
                break;
        }
    }
    if (shown)
        progress.DestroyWindow();
    if (pagesFile) {
        const bool complete = pages.Close() && pagesFile->PutInPlace();
        pagesFile.reset();
        if (!complete) {
            ShowMessageBox(pagesPath + L"\n\n" + FormatMessageText(MsgSaveFailed), MB_OK | MB_ICONSTOP);
        }
    }
    m_doc.UpdateAllViews(nullptr, HintFolderChanged, HintArgument(folder.GetString()));
}

// ---------------------------------------------------------------- transfers

void CKWDocPictureOutput::TransferSelected(const wchar_t* destination, int existingOnly, int sameNameMode, bool move)
{
    // A copy is told of by the job, which takes every item.
    if (move)
        m_doc.TellSelectedTwinRefusals();
    auto* job = new VyxFileTransfer;
    // A move takes only files that are there; a copy takes archive members as well.
    for (VyxFile* item : m_doc.SelectedItems(move ? SelectedFilter::Existing : SelectedFilter::Any)) {
        job->AddItem(item, 0);
    }
    job->SetDestination(destination);
    job->SetExistingOnly(existingOnly);
    job->SetSameNameMode(sameNameMode);
    job->SetMoveMode(move ? 1 : 0);
    VyxFileTransfer::Send(AfxGetMainWnd(), job);
    if (move)
        m_doc.RemoveMissingSelectedItems();
}
