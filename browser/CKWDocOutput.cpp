// The document's output commands: each asks its dialog, then hands the answer to the walk that
// writes the output.
#include "browser/CKWDocCommands.h"

#include "browser/CKWDocPictureOutput.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/CKWDocScopes.h"
#include "catalogue/DocumentHost.h"
#include "catalogue/VyxFile.h"
#include "catalogue/WatchModeScope.h"
#include "fileops/CContactDlg.h"
#include "fileops/CFileSaveDlg.h"
#include "fileops/CGetFolderDlg.h"
#include "fileops/CHtmlCatalogWriter.h"
#include "fileops/CHtmlDlg.h"
#include "fileops/CMyPrintDialog.h"
#include "fileops/CReportFileDlg.h"
#include "fileops/ReportFileWriter.h"
#include "foundation/MessageBoxes.h"
#include "foundation/VyxFileUtil.h"
#include "res/resource.h"

#include <vector>

void CKWDocCommands::OnFileExtract()
{
    CGetFolderDlg prompt(AfxGetMainWnd());
    prompt.m_title = L"書庫解凍";
    prompt.m_prompt = L"解凍先フォルダを入力してください";
    CurrentDirectoryScope directory(m_doc.GetFolderPath());
    if (prompt.DoModal() != IDOK)
        return;
    // Relative to the document's folder, which is the current directory meanwhile.
    CString folder;
    GetFullPath(folder, prompt.m_folder);
    CKWDocPictureOutput(m_doc).ExtractSelectedTo(folder);
}

void CKWDocCommands::OnFilePrint()
{
    CMyPrintDialog dialog(TRUE, PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE,
                          AfxGetMainWnd());
    if (dialog.DoModal() != IDOK)
        return;
    HDC handle = dialog.CreatePrinterDC();
    // No printer to draw on: nothing is started.
    if (!handle) {
        ShowMessageBox(IDS_PRINTER_DC_FAILED, MB_OK | MB_ICONSTOP);
        return;
    }
    CDC printer;
    printer.Attach(handle);
    int result = CKWDocPictureOutput(m_doc).PrintSelected(&printer, dialog.m_definitionFile);
    printer.DeleteDC();
    if (result != 0)
        ShowMessageBox(static_cast<UINT>(result), MB_OK | MB_ICONINFORMATION);
}

void CKWDocCommands::OnToolHtmlCatalog()
{
    CurrentDirectoryScope directory(m_doc.GetFolderPath());
    WatchModeScope watch(m_doc.GetHost());
    CHtmlDlg dialog(AfxGetMainWnd());
    if (dialog.DoModal() != IDOK)
        return;
    CHtmlCatalogWriter writer;
    writer.m_pFileArray = &m_doc.GetItemArray();
    writer.m_currentFolder = m_doc.GetFolderPath();
    writer.m_definitionPath = dialog.m_definitionFile;
    writer.m_picturesPerPage = dialog.m_table ? dialog.m_columns * dialog.m_rows : dialog.m_pageCount;
    writer.m_table = dialog.m_table;
    writer.m_columns = dialog.m_columns;
    writer.m_rows = dialog.m_rows;
    writer.m_linkMode = dialog.m_linkMode;
    writer.m_jpegQuality = dialog.m_jpegQuality;
    writer.m_progressive = dialog.m_progressive;
    writer.m_reducePng = dialog.m_reducePng;
    writer.m_thumbnailFolder = dialog.m_thumbnailFolder.IsEmpty() ? CString(L".") : dialog.m_thumbnailFolder;
    writer.m_boxWidth = m_doc.ThumbsSize.cx;
    writer.m_boxHeight = m_doc.ThumbsSize.cy;
    GetAppIniString(writer.m_pageNameFormat, L"Html", L"HtmlFormat", L"$file_$page#3");
    GetAppIniString(writer.m_thumbnailNameFormat, L"Html", L"ThumbFormat", L"Ve_$file");
    WriteAppIniString(L"Html", L"HtmlFormat", writer.m_pageNameFormat);
    WriteAppIniString(L"Html", L"ThumbFormat", writer.m_thumbnailNameFormat);
    if (!writer.LoadDefinition(dialog.m_definitionFile)) {
        ShowMessageBox(IDS_CATALOG_DEFINITION_FAILED, MB_OK | MB_ICONSTOP);
        return;
    }
    if (!EnsureFolderExists(dialog.m_folder, false))
        return;
    bool thumbnailsReady = true;
    if (writer.m_thumbnailFolder != L".") {
        CString thumbnails;
        MakePath(thumbnails, nullptr, dialog.m_folder, writer.m_thumbnailFolder, nullptr);
        if (!EnsureFolderExists(thumbnails, true)) {
            ShowMessageBox(IDS_THUMBNAIL_FOLDER_FAILED, MB_OK | MB_ICONSTOP);
            thumbnailsReady = false;
        }
    }
    if (thumbnailsReady) {
        CString page;
        writer.Generate(MakePath(page, nullptr, dialog.m_folder, dialog.m_fileName, nullptr));
    }
    CString folder = dialog.m_folder;
    m_doc.UpdateAllViews(nullptr, HintFolderChanged, HintArgument(folder.GetString()));
}

void CKWDocCommands::OnToolContactSheet()
{
    CurrentDirectoryScope directory(m_doc.GetFolderPath());
    WatchModeScope watch(m_doc.GetHost());
    CContactDlg dialog(AfxGetMainWnd());
    if (dialog.DoModal() == IDOK) {
        m_doc.m_sheetScaleMode = 10;
        if (EnsureFolderExists(dialog.m_folder, false))
            CKWDocPictureOutput(m_doc).ExportContactSheets(dialog.m_columns, dialog.m_rows, dialog.m_outputPath,
                                                           dialog.m_fileType, dialog.m_jpegQuality);
    }
    m_doc.UpdateAllViews(nullptr, HintRedraw, nullptr);
}

void CKWDocCommands::OnToolReport()
{
    CurrentDirectoryScope directory(m_doc.GetFolderPath());
    WatchModeScope watch(m_doc.GetHost());
    CReportFileDlg dialog(AfxGetMainWnd());
    if (dialog.DoModal() != IDOK)
        return;
    std::vector<const VyxFile*> items;
    for (const VyxFile* item : m_doc.SelectedItems(SelectedFilter::Any))
        items.push_back(item);
    ReportFileWriter(AfxGetMainWnd())
        .Write(dialog.m_fileName, dialog.m_lineTemplate, items.data(), static_cast<int>(items.size()));
}

void CKWDocCommands::OnFileSaveImages()
{
    CurrentDirectoryScope directory(m_doc.GetFolderPath());
    WatchModeScope watch(m_doc.GetHost());
    UpdatingScope updating(m_doc);
    CFileSaveDlg dialog(AfxGetMainWnd());
    if (dialog.DoModal() == IDOK)
        CKWDocPictureOutput(m_doc).SaveSelectedPictures(dialog);
}
