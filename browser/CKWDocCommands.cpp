// The document's command map, and its commands of listing switches, the tree root, folder settings,
// the options sheet, plug-ins, thumbnails, the cache and network drives.
#include "browser/CKWDocCommands.h"

#include "browser/CMaintCache.h"
#include "browser/CThumbOption.h"
#include "browser/FolderListDlg.h"
#include "browser/VAppCall.h"
#include "browser/VPluginDlg.h"
#include "browser/options/COptPageConfig.h"
#include "browser/options/COptPageFile.h"
#include "browser/options/COptPageFiler.h"
#include "browser/options/COptPageFolder.h"
#include "browser/options/COptPageFull.h"
#include "browser/options/COptPageList.h"
#include "browser/options/COptPageMouse.h"
#include "browser/options/COptPagePlugin.h"
#include "browser/options/COptPageThumb.h"
#include "browser/options/COptPageView.h"
#include "browser/options/COptPageWindow.h"
#include "browser/options/CTreeSheet.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/CKWDocScopes.h"
#include "catalogue/CacheRootCheck.h"
#include "catalogue/DocumentHost.h"
#include "catalogue/VFileFilterDlg.h"
#include "catalogue/VyxCacheIndex.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxFile.h"
#include "foundation/MessageBoxes.h"
#include "foundation/VyxSystem.h"
#include "image/plugins/Spi.h"
#include "res/resource.h"

#include <winnetwk.h>

#include <memory>

BEGIN_MESSAGE_MAP(CKWDocCommands, CCmdTarget)
ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateNeedsSelection)
ON_COMMAND(ID_EDIT_CUT, OnEditCut)
ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateNeedsDiskItems)
ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateEditPaste)
ON_COMMAND(ID_FILE_COPY_TO, OnFileCopyTo)
ON_UPDATE_COMMAND_UI(ID_FILE_COPY_TO, OnUpdateNeedsSelection)
ON_COMMAND(ID_FILE_MOVE_TO, OnFileMoveTo)
ON_UPDATE_COMMAND_UI(ID_FILE_MOVE_TO, OnUpdateNeedsDiskItems)
ON_COMMAND(ID_FILE_SAVE_IMAGES, OnFileSaveImages)
ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_IMAGES, OnUpdateNeedsSelection)
ON_COMMAND(ID_FILE_DELETE_SELECTED, OnFileDelete)
ON_UPDATE_COMMAND_UI(ID_FILE_DELETE_SELECTED, OnUpdateNeedsDiskItems)
ON_COMMAND(ID_FILE_RENAME_ONE, OnFileRename)
ON_UPDATE_COMMAND_UI(ID_FILE_RENAME_ONE, OnUpdateNeedsDiskItems)
ON_COMMAND(ID_FILE_RENAME_MANY, OnFileRenameMany)
ON_UPDATE_COMMAND_UI(ID_FILE_RENAME_MANY, OnUpdateNeedsDiskItems)
ON_COMMAND(ID_FILE_EXTRACT, OnFileExtract)
ON_UPDATE_COMMAND_UI(ID_FILE_EXTRACT, OnUpdateNeedsSelection)
ON_COMMAND(ID_EDIT_COMMENT, OnEditComment)
ON_UPDATE_COMMAND_UI(ID_EDIT_COMMENT, OnUpdateNeedsSelection)
ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
ON_UPDATE_COMMAND_UI(ID_FILE_PRINT, OnUpdateNeedsSelection)
ON_COMMAND(ID_TOOL_HTML_CATALOG, OnToolHtmlCatalog)
ON_UPDATE_COMMAND_UI(ID_TOOL_HTML_CATALOG, OnUpdateNeedsSelection)
ON_COMMAND(ID_TOOL_CONTACT_SHEET, OnToolContactSheet)
ON_UPDATE_COMMAND_UI(ID_TOOL_CONTACT_SHEET, OnUpdateNeedsSelection)
ON_COMMAND(ID_TOOL_REPORT, OnToolReport)
ON_UPDATE_COMMAND_UI(ID_TOOL_REPORT, OnUpdateNeedsSelection)
ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
ON_COMMAND(ID_DOC_SAVE_CACHE, OnSaveCache)
ON_UPDATE_COMMAND_UI(ID_DOC_SAVE_CACHE, OnUpdateHasItems)
ON_COMMAND(ID_THUMBS_REMAKE, OnRemakeThumbs)
ON_UPDATE_COMMAND_UI(ID_THUMBS_REMAKE, OnUpdateHasItems)
ON_COMMAND(ID_DOC_SELECT_ALL, OnSelectAll)
ON_UPDATE_COMMAND_UI(ID_DOC_SELECT_ALL, OnUpdateHasItems)
ON_COMMAND(ID_DOC_INVERT_SELECTION, OnInvertSelection)
ON_UPDATE_COMMAND_UI(ID_DOC_INVERT_SELECTION, OnUpdateHasSelection)
ON_COMMAND(ID_DOC_FILTER, OnFilter)
ON_UPDATE_COMMAND_UI(ID_DOC_FILTER, OnUpdateFilter)
ON_COMMAND(ID_DOC_TOGGLE_ARCHIVE, OnToggleArchive)
ON_UPDATE_COMMAND_UI(ID_DOC_TOGGLE_ARCHIVE, OnUpdateToggleArchive)
ON_COMMAND(ID_DOC_TOGGLE_DOWNSCAN, OnToggleDownScan)
ON_UPDATE_COMMAND_UI(ID_DOC_TOGGLE_DOWNSCAN, OnUpdateToggleDownScan)
ON_COMMAND(ID_DOC_TOGGLE_FOLDERSHOW, OnToggleFolderShow)
ON_UPDATE_COMMAND_UI(ID_DOC_TOGGLE_FOLDERSHOW, OnUpdateToggleFolderShow)
ON_COMMAND(ID_DOC_TOGGLE_SYNCHRONOUS, OnToggleSynchronous)
ON_UPDATE_COMMAND_UI(ID_DOC_TOGGLE_SYNCHRONOUS, OnUpdateToggleSynchronous)
ON_COMMAND(ID_DOC_TREE_ROOT, OnTreeRoot)
ON_UPDATE_COMMAND_UI(ID_DOC_TREE_ROOT, OnUpdateTreeRoot)
ON_COMMAND(ID_DOC_UP_FOLDER, OnUpFolder)
ON_COMMAND(ID_DOC_SAVE_FOLDER_SETTINGS, OnSaveFolderSettings)
ON_COMMAND(ID_DOC_CLEAR_FOLDER_SETTINGS, OnClearFolderSettings)
ON_UPDATE_COMMAND_UI(ID_DOC_CLEAR_FOLDER_SETTINGS, OnUpdateClearFolderSettings)
ON_COMMAND(ID_DOC_OPTIONS, OnOptions)
ON_COMMAND(ID_DOC_PLUGINS, OnPlugins)
ON_COMMAND(ID_DOC_THUMB_SETTINGS, OnThumbSettings)
ON_COMMAND(ID_DOC_LIST_EDIT, OnListEdit)
ON_COMMAND(ID_DOC_APPCALL, OnAppCall)
ON_COMMAND(ID_DOC_MAINT_CACHE, OnMaintCache)
ON_UPDATE_COMMAND_UI(ID_DOC_MAINT_CACHE, OnUpdateMaintCache)
ON_COMMAND(ID_DOC_NET_CONNECT, OnNetConnect)
ON_COMMAND(ID_DOC_NET_DISCONNECT, OnNetDisconnect)
ON_COMMAND_RANGE(ID_DOC_NEXT_UP, ID_DOC_NEXT_RIGHT, OnNextFolder)
END_MESSAGE_MAP()

void CKWDocCommands::AttachTo(CKWDoc& document)
{
    document.SetCommands(std::make_unique<CKWDocCommands>(document));
}

// ---------------------------------------------------------------- commands

void CKWDocCommands::OnUpdateHasItems(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_doc.GetItemCount() > 0);
}

void CKWDocCommands::OnUpdateHasSelection(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_doc.GetSelectedCount(false) > 0);
}

void CKWDocCommands::OnSaveCache()
{
    if (!CacheRootCheck::ReadyToSave(m_doc.CacheDataFolder, true))
        return;
    UpdatingScope updating(m_doc);
    m_doc.SaveThumbnailsToCache();
}

// A thumbnail of another size is no longer kept and the cache is not consulted.
void CKWDocCommands::OnRemakeThumbs()
{
    for (int i = 0; i < m_doc.GetItemCount(); ++i) {
        if (VyxFile* item = m_doc.GetItem(i)) {
            item->SetThumbFixed(FALSE);
            item->SetCacheLookup(FALSE);
        }
    }
    m_doc.UpdateAllViews(nullptr, HintRedraw, nullptr);
}

void CKWDocCommands::OnSelectAll()
{
    if (m_doc.GetSelectedCount(false) < 2)
        m_doc.SelectAll();
    else
        m_doc.DeselectAll();
}

void CKWDocCommands::OnInvertSelection()
{
    for (int i = 0; i < m_doc.GetItemCount(); ++i) {
        if (VyxFile* item = m_doc.GetItem(i))
            m_doc.SelectItem(i, !item->TestFlags(VyxFilexDraw::FlagSelected), nullptr);
    }
}

void CKWDocCommands::OnFilter()
{
    VFileFilterDlg dialog(AfxGetMainWnd());
    dialog.m_strPathMask = m_doc.PathMask;
    if (dialog.DoModal() != IDOK)
        return;
    const bool changed = dialog.m_strPathMask != m_doc.PathMask || (dialog.m_bName != FALSE) != m_doc.FilterName ||
                         (dialog.m_bDate != FALSE) != m_doc.FilterDate ||
                         (dialog.m_bSize != FALSE) != m_doc.FilterSize || dialog.m_dateBegin != m_doc.DateBegin ||
                         dialog.m_dateEnd != m_doc.DateEnd || dialog.m_sizeBegin != m_doc.SizeBegin ||
                         dialog.m_sizeEnd != m_doc.SizeEnd;
    m_doc.PathMask = dialog.m_strPathMask;
    m_doc.FilterName = dialog.m_bName != FALSE;
    m_doc.FilterDate = dialog.m_bDate != FALSE;
    m_doc.FilterSize = dialog.m_bSize != FALSE;
    m_doc.DateBegin = dialog.m_dateBegin;
    m_doc.DateEnd = dialog.m_dateEnd;
    m_doc.SizeBegin = dialog.m_sizeBegin;
    m_doc.SizeEnd = dialog.m_sizeEnd;
    if (changed)
        m_doc.Refresh(true);
}

void CKWDocCommands::OnUpdateFilter(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_doc.FilterName || m_doc.FilterDate || m_doc.FilterSize);
}

void CKWDocCommands::ToggleListing(bool& setting)
{
    UpdatingScope updating(m_doc);
    setting = !setting;
    if (m_doc.AutoCacheFolder && CacheRootCheck::ReadyToSave(m_doc.CacheDataFolder, false))
        m_doc.SaveThumbnailsToCache();
    m_doc.Refresh(true);
}

void CKWDocCommands::OnToggleArchive()
{
    ToggleListing(m_doc.Archive);
}

void CKWDocCommands::OnUpdateToggleArchive(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_doc.Archive);
}

void CKWDocCommands::OnToggleDownScan()
{
    ToggleListing(m_doc.DownScan);
}

void CKWDocCommands::OnUpdateToggleDownScan(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_doc.DownScan);
}

void CKWDocCommands::OnToggleFolderShow()
{
    m_doc.FolderShow = !m_doc.FolderShow;
    m_doc.AnnounceTreeSettings();
}

void CKWDocCommands::OnUpdateToggleFolderShow(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_doc.FolderShow);
}

void CKWDocCommands::OnToggleSynchronous()
{
    m_doc.Synchronous = !m_doc.Synchronous;
}

void CKWDocCommands::OnUpdateToggleSynchronous(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_doc.Synchronous);
}

void CKWDocCommands::OnTreeRoot()
{
    m_doc.TreeRoot = m_doc.TreeRoot == 29 ? 28 : 29;
    m_doc.AnnounceTreeSettings();
}

void CKWDocCommands::OnUpdateTreeRoot(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_doc.TreeRoot != 29);
}

// The parent is the drive-and-directory part; a bare drive means its root, so from a root the
// command goes nowhere.
void CKWDocCommands::OnUpFolder()
{
    const CString path = m_doc.GetLocationPath();
    CString parent = PathPart(path, PartFolder);
    if (parent.GetLength() == 2 && parent[1] == L':')
        parent += L"\\";
    if (parent.GetLength() < path.GetLength())
        m_doc.UpdateAllViews(nullptr, HintGoToPath, HintArgument(parent.GetString()));
}

void CKWDocCommands::OnSaveFolderSettings()
{
    m_doc.SaveFolderLayout();
}

void CKWDocCommands::OnClearFolderSettings()
{
    VyxCacheIndex(m_doc.CacheDataFolder).DeleteConfigFile(m_doc.GetFolderPath(), m_doc.GetLocationFileName());
}

void CKWDocCommands::OnUpdateClearFolderSettings(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(
        VyxCacheIndex(m_doc.CacheDataFolder).HasConfigFile(m_doc.GetFolderPath(), m_doc.GetLocationFileName()));
}

void CKWDocCommands::OnOptions()
{
    CTreeSheet sheet(L"動作設定");
    sheet.SetTreeViewMode(TRUE, TRUE, FALSE);
    sheet.SetEmptyPageText(L"no page");
    sheet.SetTreeDefaultImages(IDB_OPTION_TREE, 16, RGB(255, 255, 255));
    sheet.SetSkipEmptyPages(TRUE);
    sheet.SetIsResizable(TRUE);
    sheet.SetTreeWidth(160);
    sheet.SetPaneMinimumSizes(160, 180);
    sheet.SetMinSize(CSize(500, 360));
    sheet.SetSplitterWidth(2);
    sheet.SetAutoExpandTree(TRUE);

    OPTIONSDATA record;
    m_doc.FillOptions(record);
    COptPageBoot boot(&record);
    COptPageFiler filer(&record);
    COptPageFile file(&record);
    COptPageConfig config(&record);
    COptPageFolder folder(&record);
    COptPageList list(&record);
    COptPageView view(&record);
    COptPageWindow window(&record);
    COptPageFull full(&record);
    COptPageMouse mouse(&record);
    COptPageThumb thumb(&record);
    COptPagePlugin plugin(&record);
    for (CPropertyPage* page : std::initializer_list<CPropertyPage*>{&boot, &filer, &file, &config, &folder, &list,
                                                                     &view, &window, &full, &mouse, &thumb, &plugin})
        sheet.AddPage(page);
    bool cacheChecked = false;
    CString checkedCache;
    auto apply = [&] {
        // A cache folder that is not there is made now (the user is asked), or the user learns
        // that nothing will be saved into it; once for each folder, Apply and OK alike.
        if (!cacheChecked || record.CacheDataFolder != checkedCache)
            CacheRootCheck::Accept(record.CacheDataFolder);
        cacheChecked = true;
        checkedCache = record.CacheDataFolder;
        m_doc.TakeOptions(record);
    };
    sheet.SetApplyHandler(apply);
    if (sheet.DoModal() != IDOK)
        return;
    apply();
}

void CKWDocCommands::OnPlugins()
{
    VPluginDlg dialog;
    dialog.m_strSetName = m_doc.SPISet;
    dialog.DoModal();
    const bool changed = dialog.m_strSetName != m_doc.SPISet;
    m_doc.SPISet = dialog.m_strSetName;
    m_doc.SaveSettings();
    theSPImapIndex.SavePluginSet(m_doc.SPISet);
    theSPImapIndex.LoadEnabledPlugins();
    if (DocumentHost* host = m_doc.GetHost())
        host->FillPluginSetCombo();
    if (changed)
        m_doc.UpdateAllViews(nullptr, HintRedraw, nullptr);
}

void CKWDocCommands::OnThumbSettings()
{
    CThumbOption dialog;
    m_doc.GetLayout(&dialog.m_data);
    if (dialog.DoModal() == IDOK)
        m_doc.ApplyLayout(dialog.m_data);
}

void CKWDocCommands::OnListEdit()
{
    FolderListDlg dialog;
    dialog.DoModal();
}

void CKWDocCommands::OnAppCall()
{
    VAppCall dialog(AfxGetMainWnd());
    dialog.DoModal();
}

void CKWDocCommands::OnMaintCache()
{
    // The files the dialog optimises or deletes are not being written meanwhile.
    theCacheList.FinishWriting();
    CMaintCache dialog(m_doc.CacheDataFolder);
    dialog.DoModal();
}

void CKWDocCommands::OnUpdateMaintCache(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!m_doc.CacheDataFolder.IsEmpty());
}

void CKWDocCommands::TakeNetworkResult(DWORD result, const wchar_t* what)
{
    if (result == NO_ERROR) {
        m_doc.UpdateAllViews(nullptr, HintSettingsChanged, nullptr);
        return;
    }
    if (result == static_cast<DWORD>(-1))
        return;
    // Without a network (Wine has none) the dialog does not even open: say so.
    SetLastError(result);
    CString text;
    text.Format(L"%sを開けませんでした。\n%s", what, GetLastErrorText().GetString());
    ShowMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

void CKWDocCommands::OnNetConnect()
{
    TakeNetworkResult(WNetConnectionDialog(nullptr, RESOURCETYPE_DISK), L"ネットワークドライブの割り当て");
}

void CKWDocCommands::OnNetDisconnect()
{
    TakeNetworkResult(WNetDisconnectDialog(nullptr, RESOURCETYPE_DISK), L"ネットワークドライブの切断");
}

void CKWDocCommands::OnNextFolder(UINT nID)
{
    m_doc.UpdateAllViews(nullptr, HintNextFolder, HintValue(static_cast<int>(nID - ID_DOC_NEXT_UP)));
}
