// The document's menu, key and tool-bar commands: listing switches, the tree root, folder settings,
// the options sheet, plug-ins, thumbnails, the cache and network drives; and its message map.
#include "catalogue/CKWDoc.h"

#include "browser/CMainFrame.h"
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
#include "catalogue/CKWDocScopes.h"
#include "catalogue/VFileFilterDlg.h"
#include "catalogue/VyxCacheIndex.h"
#include "catalogue/VyxFile.h"
#include "foundation/VyxSystem.h"
#include "image/plugins/Spi.h"
#include "res/resource.h"

#include <winnetwk.h>

BEGIN_MESSAGE_MAP(CKWDoc, CDocument)
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

// ---------------------------------------------------------------- commands

void CKWDoc::OnUpdateHasItems(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetItemCount() > 0);
}

void CKWDoc::OnUpdateHasSelection(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetSelectedCount(false) > 0);
}

void CKWDoc::OnSaveCache()
{
    UpdatingScope updating(*this);
    SaveThumbnailsToCache();
}

// A thumbnail of another size is no longer kept and the cache is not consulted.
void CKWDoc::OnRemakeThumbs()
{
    for (int i = 0; i < GetItemCount(); ++i) {
        if (VyxFile* item = GetItem(i)) {
            item->SetThumbFixed(FALSE);
            item->SetCacheLookup(FALSE);
        }
    }
    UpdateAllViews(nullptr, HintRedraw, nullptr);
}

void CKWDoc::OnSelectAll()
{
    if (GetSelectedCount(false) < 2)
        SelectAll();
    else
        DeselectAll();
}

void CKWDoc::OnInvertSelection()
{
    for (int i = 0; i < GetItemCount(); ++i) {
        if (VyxFile* item = GetItem(i))
            SelectItem(i, !item->TestFlags(VyxFilexDraw::FlagSelected), nullptr);
    }
}

void CKWDoc::OnFilter()
{
    VFileFilterDlg dialog(AfxGetMainWnd());
    dialog.m_strPathMask = PathMask;
    if (dialog.DoModal() != IDOK)
        return;
    const bool changed = dialog.m_strPathMask != PathMask || (dialog.m_bName != FALSE) != FilterName ||
                         (dialog.m_bDate != FALSE) != FilterDate || (dialog.m_bSize != FALSE) != FilterSize ||
                         dialog.m_dateBegin != DateBegin || dialog.m_dateEnd != DateEnd ||
                         dialog.m_sizeBegin != SizeBegin || dialog.m_sizeEnd != SizeEnd;
    PathMask = dialog.m_strPathMask;
    FilterName = dialog.m_bName != FALSE;
    FilterDate = dialog.m_bDate != FALSE;
    FilterSize = dialog.m_bSize != FALSE;
    DateBegin = dialog.m_dateBegin;
    DateEnd = dialog.m_dateEnd;
    SizeBegin = dialog.m_sizeBegin;
    SizeEnd = dialog.m_sizeEnd;
    if (changed)
        Refresh(true);
}

void CKWDoc::OnUpdateFilter(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(FilterName || FilterDate || FilterSize);
}

void CKWDoc::ToggleListing(bool& setting)
{
    UpdatingScope updating(*this);
    setting = !setting;
    if (AutoCacheFolder)
        SaveThumbnailsToCache();
    Refresh(true);
}

void CKWDoc::OnToggleArchive()
{
    ToggleListing(Archive);
}

void CKWDoc::OnUpdateToggleArchive(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(Archive);
}

void CKWDoc::OnToggleDownScan()
{
    ToggleListing(DownScan);
}

void CKWDoc::OnUpdateToggleDownScan(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(DownScan);
}

void CKWDoc::AnnounceTreeSettings()
{
    UpdateAllViews(nullptr, HintTreeSettings, HintArgument(&TreeRoot));
}

void CKWDoc::OnToggleFolderShow()
{
    FolderShow = !FolderShow;
    AnnounceTreeSettings();
}

void CKWDoc::OnUpdateToggleFolderShow(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(FolderShow);
}

void CKWDoc::OnToggleSynchronous()
{
    Synchronous = !Synchronous;
}

void CKWDoc::OnUpdateToggleSynchronous(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(Synchronous);
}

void CKWDoc::OnTreeRoot()
{
    TreeRoot = TreeRoot == 29 ? 28 : 29;
    AnnounceTreeSettings();
}

void CKWDoc::OnUpdateTreeRoot(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(TreeRoot != 29);
}

// The parent is the drive-and-directory part; a bare drive means its root, so from a root the
// command goes nowhere.
void CKWDoc::OnUpFolder()
{
    const CString path = GetLocationPath();
    CString parent = PathPart(path, PartFolder);
    if (parent.GetLength() == 2 && parent[1] == L':')
        parent += L"\\";
    if (parent.GetLength() < path.GetLength())
        UpdateAllViews(nullptr, HintGoToPath, HintArgument(parent.GetString()));
}

void CKWDoc::OnSaveFolderSettings()
{
    SaveFolderLayout();
}

void CKWDoc::OnClearFolderSettings()
{
    VyxCacheIndex(CacheDataFolder).DeleteConfigFile(GetFolderPath(), GetLocationFileName());
}

void CKWDoc::OnUpdateClearFolderSettings(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(VyxCacheIndex(CacheDataFolder).HasConfigFile(GetFolderPath(), GetLocationFileName()));
}

void CKWDoc::OnOptions()
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
    FillOptions(record);
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
    if (sheet.DoModal() == IDOK)
        TakeOptions(record);
}

void CKWDoc::TakeOptions(const OPTIONSDATA& o)
{
    const bool colours = m_backColor != o.colBackground || m_textColor != o.colText;
    const bool tree = HiddenFolder != o.HiddenFolder || TreeRoot != o.TreeRoot || FolderShow != o.FolderShow ||
                      HiddenFile != o.HiddenFile;
    const bool cache = CacheFolder != o.CacheFolder || AutoCacheFolder != o.AutoCacheFolder ||
                       DispPluginLimit != o.DispPluginLimit || ArcDispPluginLimit != o.ArcDispPluginLimit;
    ApplyOptions(o);
    if (cache) {
        for (int i = 0; i < GetItemCount(); ++i)
            if (VyxFile* item = GetItem(i))
                item->SetAutoCache(AutoCacheFolder);
    }
    if (colours)
        UpdateAllViews(nullptr, HintColours, nullptr);
    if (tree)
        AnnounceTreeSettings();
    if (CMainFrame* frame = GetMainFrame())
        frame->SetWatchMode(WatchMode::Watching);
    SaveSettings();
}

void CKWDoc::OnPlugins()
{
    VPluginDlg dialog;
    dialog.m_strSetName = SPISet;
    dialog.DoModal();
    const bool changed = dialog.m_strSetName != SPISet;
    SPISet = dialog.m_strSetName;
    SaveSettings();
    theSPImapIndex.SavePluginSet(SPISet);
    theSPImapIndex.LoadEnabledPlugins();
    if (CMainFrame* frame = GetMainFrame())
        frame->FillPluginSetCombo();
    if (changed)
        UpdateAllViews(nullptr, HintRedraw, nullptr);
}

void CKWDoc::OnThumbSettings()
{
    CThumbOption dialog;
    GetLayout(&dialog.m_data);
    if (dialog.DoModal() == IDOK)
        ApplyLayout(dialog.m_data);
}

void CKWDoc::OnListEdit()
{
    FolderListDlg dialog;
    dialog.DoModal();
}

void CKWDoc::OnAppCall()
{
    VAppCall dialog(AfxGetMainWnd());
    dialog.DoModal();
}

void CKWDoc::OnMaintCache()
{
    CMaintCache dialog(CacheDataFolder);
    dialog.DoModal();
}

void CKWDoc::OnUpdateMaintCache(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!CacheDataFolder.IsEmpty());
}

void CKWDoc::TakeNetworkResult(DWORD result, const wchar_t* what)
{
    if (result == NO_ERROR) {
        UpdateAllViews(nullptr, HintTreeSettings, nullptr);
        return;
    }
    if (result == static_cast<DWORD>(-1))
        return;
    // Without a network (Wine has none) the dialog does not even open: say so.
    SetLastError(result);
    CString text;
    text.Format(L"%sを開けませんでした。\n%s", what, GetLastErrorText().GetString());
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

void CKWDoc::OnNetConnect()
{
    TakeNetworkResult(WNetConnectionDialog(nullptr, RESOURCETYPE_DISK), L"ネットワークドライブの割り当て");
}

void CKWDoc::OnNetDisconnect()
{
    TakeNetworkResult(WNetDisconnectDialog(nullptr, RESOURCETYPE_DISK), L"ネットワークドライブの切断");
}

void CKWDoc::OnNextFolder(UINT nID)
{
    UpdateAllViews(nullptr, HintNextFolder, HintValue(static_cast<int>(nID - ID_DOC_NEXT_UP)));
}
