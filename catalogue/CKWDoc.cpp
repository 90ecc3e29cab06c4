#include "catalogue/CKWDoc.h"

#include "browser/CMainFrame.h"
#include "browser/CCommentDlg.h"
#include "catalogue/CExportDialog.h"
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
#include "catalogue/VFileFilterDlg.h"
#include "catalogue/CFileList.h"
#include "catalogue/ClipboardFileList.h"
#include "catalogue/ContactSheetFile.h"
#include "catalogue/VyxCacheIndex.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxFile.h"
#include "catalogue/VyxNoteSession.h"
#include "fileops/CContactDlg.h"
#include "fileops/CGetFolderDlg.h"
#include "fileops/CHtmlCatalogWriter.h"
#include "fileops/CHtmlDlg.h"
#include "fileops/CMyPrintDialog.h"
#include "fileops/CPrintOutDialog.h"
#include "fileops/CReportDlg.h"
#include "fileops/CReportFileDlg.h"
#include "fileops/ProgressDlg.h"
#include "fileops/ReportFileWriter.h"
#include "fileops/VFileRenameDlg.h"
#include "fileops/CFileSaveDlg.h"
#include "fileops/VFileCopyDlg.h"
#include "fileops/VFileMoveDlg.h"
#include "fileops/VSameFileDlg.h"
#include "fileops/VFileRenameNDlg.h"
#include "fileops/VyxFileTransfer.h"
#include "browser/FrameMessages.h"
#include "framework/COleDataObject.h"
#include "foundation/FormatMessageText.h"
#include "foundation/ShellShortcut.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxStringArray.h"
#include "foundation/VyxSystem.h"
#include "foundation/VyxUtility.h"
#include "image/DibCore.h"
#include "image/DibSection.h"
#include "image/DibQuant.h"
#include "image/DibValidate.h"
#include "image/RotateInfo.h"
#include "image/codecs/SaveDib.h"
#include "image/cximage/CxImageCodecs.h"
#include "image/plugins/Spi.h"
#include "res/resource.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <type_traits>
#include <vector>

#include <winnetwk.h>

IMPLEMENT_DYNCREATE(CKWDoc, CDocument)

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
ON_COMMAND(ID_DOC_REMAKE_THUMBS, OnRemakeThumbs)
ON_UPDATE_COMMAND_UI(ID_DOC_REMAKE_THUMBS, OnUpdateHasItems)
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

namespace {

const DWORD kAnyAttribute = 0xFFFFFFFF;
const wchar_t kLayoutSection[] = L"ThumbsData";

CObject* HintArgument(const void* data)
{
    return reinterpret_cast<CObject*>(const_cast<void*>(data));
}

CObject* HintValue(int value)
{
    return reinterpret_cast<CObject*>(static_cast<INT_PTR>(value));
}

CString PathPart(const CString& path, int mask)
{
    CString part;
    return GetPathPart(part, path, mask);
}

// The previous cursor comes back on every way out; with none, the cursor is shown again.
class CursorScope
{
public:
    explicit CursorScope(HCURSOR cursor) : m_previous(SetCursor(cursor)) {}
    ~CursorScope()
    {
        if (m_previous)
            SetCursor(m_previous);
        else
            ShowCursor(TRUE);
    }
    CursorScope(const CursorScope&) = delete;
    CursorScope& operator=(const CursorScope&) = delete;

private:
    HCURSOR m_previous;
};

// The current directory is put back on every way out.
class CurrentDirectoryScope
{
public:
    explicit CurrentDirectoryScope(const wchar_t* folder) : m_previous(CKWDoc::SwapCurrentDirectory(folder)) {}
    ~CurrentDirectoryScope() { SetCurrentDirectoryW(m_previous); }
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

private:
    CString m_previous;
};

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

// Writes the picture in the options' format; 0 when written.
int SavePictureAs(const CFileSaveDlg& options, const CString& path, HGLOBAL picture)
{
    GlobalBlock reduced;
    auto reduce = [&](bool wanted) {
        if (wanted)
            reduced.reset(ReduceDibTo256Colors(picture, FALSE));
        return reduced.get() ? reduced.get() : picture;
    };
    switch (options.Format) {
    case CFileSaveDlg::FormatJpeg:
        return SaveDibAsJpeg(path, picture, options.JpegQuality, options.JpegProgressive, options.JpegGrayscale);
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

// The main frame's folder watchers paused (mode 2) and restarted (mode 0) on every way out.
class WatchModeScope
{
public:
    explicit WatchModeScope(CMainFrame* frame) : m_frame(frame)
    {
        if (m_frame)
            m_frame->SetWatchMode(2);
    }
    ~WatchModeScope()
    {
        if (m_frame)
            m_frame->SetWatchMode(0);
    }
    WatchModeScope(const WatchModeScope&) = delete;
    WatchModeScope& operator=(const WatchModeScope&) = delete;

private:
    CMainFrame* m_frame;
};

// The document's updating flag, cleared again on every way out.
class UpdatingScope
{
public:
    explicit UpdatingScope(CKWDoc& document) : m_document(document) { m_document.SetUpdating(true); }
    ~UpdatingScope() { m_document.SetUpdating(false); }
    UpdatingScope(const UpdatingScope&) = delete;
    UpdatingScope& operator=(const UpdatingScope&) = delete;

private:
    CKWDoc& m_document;
};

// A stored filter bound as the scan's local calendar time; a time that local time cannot hold
// leaves the record as a new request has it.
SYSTEMTIME FilterBound(long long seconds)
{
    SYSTEMTIME local = {};
    SYSTEMTIME converted;
    if (CTime(seconds).GetAsSystemTime(converted))
        local = converted;
    return local;
}

// The layout fields of a record into a set of settings.
void TakeLayout(CKWDocSettings& s, const THUMBSDATA& r)
{
    s.Frame = r.Frame != FALSE;
    s.FrameEdge = r.FrameEdge;
    s.NameFrame = r.NameFrame != FALSE;
    s.NameFrameEdge = r.NameFrameEdge;
    s.Unsharp = r.Unsharp;
    s.LimitCheck = r.LimitCheck;
    s.Name = r.Name;
    s.Name2Per = r.Name2Per;
    s.ScaleMode = r.ScaleMode;
    s.WordBreak = r.WordBreak != FALSE;
    s.Shadow = r.Shadow;
    s.ScaleStep = r.ScaleStep;
    s.ThumbsSize = s.DefaultThumbsSize = r.ThumbsSize;
    s.ThumbsLimitSize = r.ThumbsLimitSize;
    s.ThumbsMarginSize = r.ThumbsMarginSize;
    s.colBackGround = r.colBackGround;
    s.colText = r.colText;
    s.colNormalDraw = r.colNormalDraw;
    s.colFolderDraw = r.colFolderDraw;
    s.colArcDraw = r.colArcDraw;
    s.colCantDraw = r.colCantDraw;
    s.colSelectText = r.colSelectText;
    s.colSelectBackGround = r.colSelectBackGround;
    s.colSelectCheck = r.colSelectCheck;
    s.font = s.drawFont = r.font;
    s.font.lfFaceName[LF_FACESIZE - 1] = s.drawFont.lfFaceName[LF_FACESIZE - 1] = 0;
    s.UnsharpLevel = r.UnsharpLevel;
    s.NameFormat = CString(r.NameFormat, static_cast<int>(wcsnlen(r.NameFormat, 256)));
}

} // namespace

CKWDoc::CKWDoc()
{
    LoadSettings();
    GetLayout(nullptr);
}

CKWDoc::~CKWDoc()
{
    // The item layer must not keep the address of a register that is going.
    if (VyxFilexInfo::GetVirtualFolders() == &m_virtualFolders)
        VyxFilexInfo::SetVirtualFolders(nullptr);
}

CMainFrame* CKWDoc::GetMainFrame() const
{
    return DYNAMIC_DOWNCAST(CMainFrame, AfxGetMainWnd());
}

void CKWDoc::ScheduleStatusUpdate() const
{
    if (CMainFrame* frame = GetMainFrame())
        frame->ScheduleStatusUpdate();
}

void CKWDoc::UpdateCountPane() const
{
    if (CMainFrame* frame = GetMainFrame())
        frame->UpdateCountPane();
}

// ---------------------------------------------------------------- location

CString CKWDoc::GetLocationPath() const
{
    return m_location.GetPath();
}

CString CKWDoc::GetFolderPath() const
{
    return IsFolderLocation() ? m_location.GetPath() : PathPart(m_location.GetPath(), 3);
}

CString CKWDoc::GetLocationFileName() const
{
    return IsFolderLocation() ? CString() : PathPart(m_location.GetPath(), 12);
}

CString CKWDoc::GetRealFolder() const
{
    return IsFolderLocation() ? m_location.GetRealPath() : PathPart(m_location.GetRealPath(), 3);
}

CString CKWDoc::GetRealFileName() const
{
    return IsFolderLocation() ? CString() : PathPart(m_location.GetRealPath(), 12);
}

// ---------------------------------------------------------------- items, cursor, selection

VyxFile* CKWDoc::GetItem(int viewIndex)
{
    return m_items.GetAt(viewIndex);
}

VyxFile* CKWDoc::GetItemByArrayIndex(int index) const
{
    return m_items.GetItem(index);
}

int CKWDoc::GetItemIndexAt(int viewIndex) const
{
    return m_items.GetOrderEntry(viewIndex);
}

int CKWDoc::GetViewIndexOf(const VyxFile* item, int start)
{
    return m_items.IndexOf(item, start);
}

void CKWDoc::AnnounceItemChanged(const VyxFile* item)
{
    int index = GetViewIndexOf(item, 0);
    if (index >= 0)
        UpdateAllViews(nullptr, HintItemChanged, HintValue(index));
}

int CKWDoc::FindItem(const wchar_t* path, const wchar_t* archivePath, int start)
{
    VyxFile* item = m_items.Find(path, archivePath, start);
    return item ? m_items.IndexOf(item, start) : -1;
}

int CKWDoc::HitTest(int x, int y)
{
    const POINT point = {x, y};
    const int count = GetItemCount();
    for (int i = 0; i < count; ++i) {
        VyxFile* item = GetItem(i);
        if (!item)
            continue;
        POINT position = item->GetPosition();
        RECT cell = {position.x, position.y, position.x + ThumbsSize.cx, position.y + ThumbsSize.cy};
        if (GetOutCode(cell, point) == 0)
            return i;
    }
    return -1;
}

void CKWDoc::SetCursorIndex(int viewIndex, CView* sender)
{
    if (viewIndex != m_cursorIndex)
        MoveCursor(m_cursorIndex, viewIndex, sender);
}

void CKWDoc::MoveCursor(int oldIndex, int newIndex, CView* sender)
{
    // The old cell is no longer the cursor when the views redraw it, or it keeps its frame.
    m_cursorIndex = -1;
    int values[2] = {0, oldIndex};
    UpdateAllViews(nullptr, HintCursor, HintArgument(values));
    int count = GetItemCount();
    if (newIndex >= count)
        newIndex = count - 1;
    if (newIndex < 0)
        newIndex = 0;
    m_cursorIndex = newIndex;
    values[0] = 1;
    values[1] = newIndex;
    UpdateAllViews(sender, HintCursor, HintArgument(values));
}

void CKWDoc::SetItemSelection(int viewIndex, bool select)
{
    if (m_items.SetSelected(viewIndex, select))
        ScheduleStatusUpdate();
}

void CKWDoc::SelectItem(int viewIndex, bool select, CView* sender)
{
    SetItemSelection(viewIndex, select);
    int values[2] = {select ? 1 : 0, viewIndex};
    UpdateAllViews(sender, HintSelection, HintArgument(values));
}

void CKWDoc::SelectAll()
{
    for (int i = 0; i < GetItemCount(); ++i) {
        VyxFile* item = GetItem(i);
        if (item && !item->TestFlags(VyxFilexDraw::FlagSelected))
            SelectItem(i, true, nullptr);
    }
}

void CKWDoc::DeselectAll()
{
    for (int i = 0; i < GetItemCount(); ++i) {
        VyxFile* item = GetItem(i);
        if (item && item->TestFlags(VyxFilexDraw::FlagSelected))
            SelectItem(i, false, nullptr);
    }
}

void CKWDoc::SetAllSelection(bool select)
{
    for (int i = 0; i < GetItemCount(); ++i)
        m_items.SetSelected(i, select);
    UpdateCountPane();
}

void CKWDoc::ActivateView(CView* view)
{
    CView* first = nullptr;
    CView* next = nullptr;
    bool found = false;
    for (POSITION pos = GetFirstViewPosition(); pos;) {
        CView* candidate = GetNextView(pos);
        if (!first)
            first = candidate;
        if (found) {
            next = candidate;
            break;
        }
        found = candidate == view;
    }
    if (!next)
        next = first;
    CFrameWnd* frame = DYNAMIC_DOWNCAST(CFrameWnd, AfxGetMainWnd());
    if (frame && next)
        frame->SetActiveView(next);
}

CView* CKWDoc::FindViewByClassName(const wchar_t* name) const
{
    for (POSITION pos = GetFirstViewPosition(); pos;) {
        CView* view = GetNextView(pos);
        wchar_t className[64] = {};
        if (view->GetSafeHwnd() && GetClassNameW(view->GetSafeHwnd(), className, 64) && wcscmp(className, name) == 0)
            return view;
    }
    return nullptr;
}

void CKWDoc::NotifyFolderChanged(const wchar_t* path)
{
    CWnd* mainWnd = AfxGetMainWnd();
    if (!mainWnd || !mainWnd->GetSafeHwnd())
        return;
    CString folder = path ? CString(path) : GetFolderPath();
    // Sent, not posted: the frame takes its copy before the text goes, however many
    // notifications are on their way.
    mainWnd->SendMessage(WMU_FOLDERCHANGED, 109, reinterpret_cast<LPARAM>(folder.GetString()));
}

// ---------------------------------------------------------------- emptying, opening, refreshing

void CKWDoc::ClearItems(bool deleteItems, bool updateCountPane)
{
    m_updating = 1;
    if (deleteItems) {
        if (AutoCacheFolder)
            SaveThumbnailsToCache();
        theCacheList.RemoveAllFolders();
    }
    m_items.RemoveAll(deleteItems);
    m_cursorIndex = -1;
    m_updating = 0;
    if (updateCountPane)
        UpdateCountPane();
}

void CKWDoc::SaveThumbnailsToCache()
{
    CursorScope cursor(LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_DOCUMENT_WAIT_CURSOR)));
    for (int i = 0; i < GetItemCount(); ++i) {
        VyxFile* item = GetItem(i);
        if (item && item->HasThumbnail())
            item->StoreCache();
    }
    FlushCacheListWithWaitCursor();
}

void CKWDoc::HandItemSettings()
{
    VyxFilexDraw::SetCacheRoot(CacheDataFolder);
    VyxFilexInfo::SetVirtualFolders(&m_virtualFolders);
    // Both are written back so that they can be found and changed in the settings file.
    int notCreateThumbsSize = GetAppIniInt(L"VyxFile", L"NotCreateThumbsSize", 0);
    VyxFilexDraw::SetNotCreateThumbsSize(static_cast<DWORD>(notCreateThumbsSize));
    WriteAppIniInt(L"VyxFile", L"NotCreateThumbsSize", notCreateThumbsSize);
    VyxFilexDraw::SetFreePictureAfterMaking(MemDraw);
    HeldPictureBudget::SetLimit(MemDraw ? HeldPictureBudget::SmallLimit : HeldPictureBudget::LargeLimit);
    VyxFilexImage::SetPluginDisplayLimit(DispPluginLimit);
    VyxFilexImage::SetArchiveMemberLimit(ArcDispPluginLimit);
    int drawIconAlign = GetAppIniInt(L"VyxFile", L"DrawIconAlign", 0);
    VyxFilexDraw::SetDrawIconAlign(drawIconAlign);
    WriteAppIniInt(L"VyxFile", L"DrawIconAlign", drawIconAlign);
}

int CKWDoc::OpenFolder(const CVirtualFolder& location, CView* sender)
{
    // The caller's location may be the document's own.
    const CVirtualFolder target(location);
    UpdateAllViews(sender, HintListing, HintArgument(target.GetPath().GetString()));
    ClearItems(true);
    m_location = target;
    HandItemSettings();
    if (EnableConfig)
        LookUpFolderLayout();
    m_listingCacheFlag = CacheFolder;

    CFileList request;
    FillScanRequest(request);
    if (!GetLocationFileName().IsEmpty()) {
        request.SetExpandArchives(true);
        request.SetIncludeSubFolders(false);
    }
    m_mergeStart = 0;
    int result = RunScan(request);

    UpdateAllViews(sender, HintListed, HintArgument(m_location.GetPath().GetString()));
    SetTitle(m_location.GetPath());
    SetCurrentDirectoryW(GetFolderPath());
    OpenPendingPicture();
    return result;
}

void CKWDoc::OpenPendingPicture()
{
    if (m_pendingOpenPath.IsEmpty())
        return;
    CString path = m_pendingOpenPath;
    m_pendingOpenPath.Empty();
    for (int i = 0; i < GetItemCount(); ++i) {
        VyxFile* item = GetItem(i);
        if (item && !item->IsArchiveMember() && item->GetPath().CompareNoCase(path) == 0) {
            if (CMainFrame* frame = GetMainFrame())
                frame->OpenPictureWindow(i, 9);
            break;
        }
    }
}

int CKWDoc::Refresh(bool abortable)
{
    m_items.SetFlagsAll(VyxFilexDraw::FlagMarked);
    UpdateAllViews(nullptr, HintListing, HintArgument(m_location.GetPath().GetString()));
    m_listingCacheFlag = CacheFolder;
    CFileList request;
    FillScanRequest(request);
    request.SetPassFlag(1);
    request.SetAbortCheck(abortable);
    if (!IsFolderLocation())
        request.SetExpandArchives(true);
    m_mergeStart = 0;
    int result = RunScan(request);
    m_items.GetSelectedCount(true);
    UpdateAllViews(nullptr, HintListed, HintArgument(m_location.GetPath().GetString()));
    UpdateCountPane();
    return result;
}

void CKWDoc::FillScanRequest(CFileList& request)
{
    request.SetImageHost(&theSPImapIndex);
    request.SetFolder(GetRealFolder());
    request.SetArchiveFileName(GetRealFileName());
    if (FilterName)
        request.SetNamePatterns(PathMask);
    request.SetExpandArchives(Archive);
    request.SetIncludeSubFolders(DownScan);
    request.SetArchiveExtensionCheck(ExtSPI);
    request.SetShowFolders(FolderShow);
    request.SetShowHidden(HiddenFile);
    request.SetDateFilter(FilterDate, FilterBound(DateBegin), FilterBound(DateEnd));
    request.SetSizeFilter(FilterSize, SizeBegin, SizeEnd);
    request.SetAbortCheck(true);
}

int CKWDoc::RunScan(CFileList& request)
{
    // A cursor made from a file is this scan's to destroy, once the previous one is back.
    std::unique_ptr<std::remove_pointer<HCURSOR>::type, decltype(&DestroyCursor)> animated(
        LoadCursorFromFileW(L"docfind.ani"), &DestroyCursor);
    CursorScope cursorScope(animated ? animated.get() : LoadCursorW(nullptr, IDC_WAIT));
    int result = request.Scan();
    if (result == CFileList::ScanDone) {
        int taken = 0;
        try {
            for (; taken < request.GetCount(); ++taken) {
                VyxFile* item = request.GetAt(taken);
                if (item && !AddScannedItem(item, request.GetFlagAt(taken) != 0))
                    request.DeleteAt(taken);
            }
        } catch (...) {
            // The item in hand was not taken; neither were those after it.
            for (; taken < request.GetCount(); ++taken)
                request.DeleteAt(taken);
            throw;
        }
        if (ScanSPI)
            DropUnloadableItems();
        if (ExtSPI)
            DropItemsNotMatchingPatterns(request.GetExpandArchives());
    } else if (result == CFileList::ScanAborted) {
        ClearItems(true);
        UpdateAllViews(nullptr, HintListing, nullptr);
    }
    m_items.RemoveMarked();
    return result;
}

int CKWDoc::AddScannedItem(VyxFile* item, bool merge)
{
    if (merge) {
        if (VyxFile* existing = m_items.Find(item->GetPath(), item->GetArchivePath(), m_mergeStart)) {
            // A refresh finds the entries in the order of the last listing: look behind the
            // last match first.
            m_mergeStart = m_items.IndexOf(existing, m_mergeStart) + 1;
            if (existing->GetFileSize() != item->GetFileSize() || existing->GetFileTime() != item->GetFileTime()) {
                existing->ResetImage();
                existing->SetFileSize(static_cast<DWORD>(item->GetFileSize()),
                                      static_cast<DWORD>(item->GetFileSize() >> 32));
                existing->SetFileTime(item->GetFileTime());
                existing->ResetCantDraw();
            }
            existing->ClearFlags(VyxFilexDraw::FlagMarked);
            return 0;
        }
    }
    item->SetNameFormat(NameFormat);
    item->SetWordBreak(WordBreak);
    item->SetShadow(Shadow);
    PushDrawingSettings(*item);
    item->SetCacheLookup(m_listingCacheFlag);
    item->SetAutoCache(AutoCacheFolder);
    m_items.Add(item);
    return 1;
}

void CKWDoc::DropUnloadableItems()
{
    for (int i = 0; i < GetItemCount();) {
        VyxFile* item = GetItem(i);
        if (!item || item->DetectPlugin() < 0)
            m_items.RemoveAt(i);
        else
            ++i;
    }
}

void CKWDoc::DropItemsNotMatchingPatterns(bool withArchives)
{
    VyxStringArray list;
    CString patterns;
    theSPImapIndex.BuildPatternList(list, patterns, SPImapIndex::KindImage);
    if (withArchives)
        theSPImapIndex.BuildPatternList(list, patterns, SPImapIndex::KindArchive);
    std::unique_ptr<wchar_t[]> specs = SplitListToMultiString(patterns);
    // One prepared list per archive plug-in: its members are tested against it.
    std::map<int, std::unique_ptr<wchar_t[]>> childSpecs;
    for (int i = 0; i < GetItemCount();) {
        VyxFile* item = GetItem(i);
        bool keep = false;
        if (item) {
            CString name = item->GetFileName();
            if (PathPart(name, 8).CompareNoCase(L".lnk") == 0) {
                CString target;
                name = PathPart(ResolveShortcut(target, item->GetPath()), 12);
            }
            if (item->IsArchiveMember()) {
                int archiveId = item->GetArchivePluginId();
                auto found = childSpecs.find(archiveId);
                if (found == childSpecs.end()) {
                    CString children = theSPImapIndex.GetArchiveChildPatterns(archiveId);
                    found =
                        childSpecs.emplace(archiveId, children.IsEmpty() ? nullptr : SplitListToMultiString(children))
                            .first;
                }
                keep = !found->second || MatchFileSpecs(name, found->second.get());
            } else {
                keep = specs && MatchFileSpecs(name, specs.get());
            }
        }
        if (keep)
            ++i;
        else
            m_items.RemoveAt(i);
    }
}

void CKWDoc::RemoveMissingSelectedItems()
{
    int removed = 0;
    int folders = 0;
    const int oldCursor = m_cursorIndex;
    int cursor = m_cursorIndex;
    for (int i = GetItemCount() - 1; i >= 0; --i) {
        VyxFile* item = GetItem(i);
        if (!item || !item->TestFlags(VyxFilexDraw::FlagSelected) || item->IsArchiveMember() ||
            PathExists(item->GetPath(), kAnyAttribute))
            continue;
        ++removed;
        if (item->IsFolder())
            ++folders;
        item->DeleteNote();
        m_items.RemoveAt(i);
        UpdateAllViews(nullptr, HintRemoved, HintValue(i));
        if (i < cursor)
            --cursor;
    }
    if (!removed)
        return;
    if (folders) {
        CString folder = GetFolderPath();
        UpdateAllViews(nullptr, HintFolderChanged, HintArgument(folder.GetString()));
    } else {
        UpdateAllViews(nullptr, HintRedraw, nullptr);
    }
    if (cursor != oldCursor)
        MoveCursor(oldCursor, cursor, nullptr);
    ScheduleStatusUpdate();
}

// ---------------------------------------------------------------- document life cycle

BOOL CKWDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

BOOL CKWDoc::OnOpenDocument(LPCWSTR lpszPathName)
{
    CString path;
    GetActualPathName(path, lpszPathName ? lpszPathName : L"");
    if (!PathPart(path, 12).IsEmpty() && PathExists(path, kAnyAttribute))
        m_pendingOpenPath = path;
    m_location.SetPath(path);
    return TRUE;
}

void CKWDoc::DeleteContents()
{
    ClearItems(true, false);
    SaveSettings();
    CDocument::DeleteContents();
}

void CKWDoc::Serialize(CArchive&) {}

// ---------------------------------------------------------------- settings

void CKWDoc::LoadSettings()
{
    {
        CWnd* mainWnd = AfxGetMainWnd();
        CClientDC dc(mainWnd && mainWnd->GetSafeHwnd() ? mainWnd : nullptr);
        ReadSettings(dc.GetSafeHdc());
    }
    VyxFilexImage::SetCoverKinds(FolderTitle);
    VyxFilexImage::SetCoverSearchCount(FolderTitleSearchCount);
    VyxFilexDraw::SetCoverBrightness(FolderTitleBright);
    VyxFilexDraw::LoadDesignThumbs(DesignThumbs);
    VyxFilexDraw::LoadDesignCursor(DesignCursor);
    HandSharpenSettings();
    ApplyViewColours();
}

void CKWDoc::SaveSettings()
{
    if (!m_folderLayoutInForce) {
        WriteSettings();
        return;
    }
    // A folder's own layout is that folder's alone: the program-wide keys keep the program's.
    CKWDocSettings programWide(*this);
    TakeLayout(programWide, m_ownLayout);
    programWide.WriteSettings();
}

void CKWDoc::HandSharpenSettings()
{
    VyxFilexDraw::SetSharpenSettings(UnsharpPassCount, UnsharpKernel, UnsharpLevel);
}

void CKWDoc::ApplyViewColours()
{
    if (colViewBackground == colViewText) {
        m_backColor = GetSysColor(COLOR_WINDOW);
        m_textColor = GetSysColor(COLOR_WINDOWTEXT);
    } else {
        m_backColor = colViewBackground;
        m_textColor = colViewText;
    }
    for (HIMAGELIST list : {VyxFilexDraw::GetLargeImageList(), VyxFilexDraw::GetSmallImageList()}) {
        if (list)
            ImageList_SetBkColor(list, m_backColor);
    }
}

void CKWDoc::FillOptions(COptPageBoot::OPTIONSDATA& o) const
{
    o.HomeFolder = HomeFolder;
    o.SPIDIR = SPIDIR;
    o.CacheDataFolder = CacheDataFolder;
    o.RestoreFolder = RestoreFolder;
    o.MultiProcess = MultiProcess;
    o.ScanSPI = ScanSPI;
    o.ExtSPI = ExtSPI;
    o.LoadSelectedPluginsOnly = theSPImapIndex.GetDynamicLoading() != 0;
    o.CacheFolder = CacheFolder;
    o.AutoCacheFolder = AutoCacheFolder;
    o.EnableConfig = EnableConfig;
    o.SyncJump = SyncJump;
    o.InfoView = InfoView;
    o.DELQA = DELQA;
    o.TrashCan = TrashCan;
    o.DaDMOVE = DaDMOVE;
    o.ThumbsCreate = ThumbsCreate;
    o.TopMost = TopMost;
    o.MultiPicView = MultiPicView;
    o.Stay = Stay;
    o.ArcTree = ArcTree;
    o.ArchiveInArchive = ArchiveInArchive;
    o.HiddenFolder = HiddenFolder;
    o.CheckSubFolder = CheckSubFolder;
    o.TreeRoot = TreeRoot;
    o.MemDraw = MemDraw;
    o.FolderMonitor = FolderMonitor;
    o.WheelScrollCount = WheelScrollCount;
    o.JudgeByPluginExtension = theSPImapIndex.GetPluginExtensionCheck() != 0;
    o.IDViewer = IDViewer;
    o.ExecExt = ExecExt;
    o.ClipboardCopyDIB = ClipboardCopyDIB;
    o.ClipboardCopyTEXT = ClipboardCopyTEXT;
    o.NotClrCursorMove = NotClrCursorMove;
    o.colBackground = m_backColor;
    o.colText = m_textColor;
    CString defaultTitle;
    defaultTitle.Format(L"%s %sx%s %sb %s", L"$(FileName)", L"$(Width)", L"$(Height)", L"$(Color)", L"$(Length)");
    GetAppIniString(o.TitleFormat, L"OnePic", L"TitleFormat", defaultTitle);
    GetAppIniString(o.InfoColumnTemplete, L"LstView", L"InfoColumnTemplete", L"$(Info)");
    o.AutoColumnSize = ReadInt(L"LstView", L"AutoColumnSize", 1);
    o.NameMaxSize = ReadInt(L"LstView", L"NameMaxSize", 30);
    o.DispPluginLimit = DispPluginLimit;
    o.ArcDispPluginLimit = ArcDispPluginLimit;
    o.FolderShow = FolderShow;
    o.HiddenFile = HiddenFile;
    o.Monitor = Monitor;
    o.FolderTitle = FolderTitle;
    o.FolderTitleSearchCount = FolderTitleSearchCount;
    o.ColumnCount = ColumnCount;
    o.LineCount = LineCount;
    o.DirectionLR = DirectionLR;
    o.DirectionUD = DirectionUD;
}

void CKWDoc::ApplyOptions(const COptPageBoot::OPTIONSDATA& o)
{
    HomeFolder = o.HomeFolder;
    SPIDIR = o.SPIDIR;
    CacheDataFolder = o.CacheDataFolder;
    RestoreFolder = o.RestoreFolder;
    MultiProcess = o.MultiProcess;
    ScanSPI = o.ScanSPI;
    ExtSPI = o.ExtSPI;
    CacheFolder = o.CacheFolder;
    AutoCacheFolder = o.AutoCacheFolder;
    EnableConfig = o.EnableConfig;
    SyncJump = o.SyncJump;
    InfoView = o.InfoView;
    DELQA = o.DELQA;
    TrashCan = o.TrashCan;
    DaDMOVE = o.DaDMOVE;
    ThumbsCreate = o.ThumbsCreate;
    TopMost = o.TopMost;
    MultiPicView = o.MultiPicView;
    Stay = o.Stay;
    ArcTree = o.ArcTree;
    ArchiveInArchive = o.ArchiveInArchive;
    HiddenFolder = o.HiddenFolder;
    CheckSubFolder = o.CheckSubFolder;
    TreeRoot = o.TreeRoot;
    MemDraw = o.MemDraw;
    FolderMonitor = o.FolderMonitor;
    WheelScrollCount = o.WheelScrollCount;
    IDViewer = o.IDViewer;
    ExecExt = o.ExecExt;
    ClipboardCopyDIB = o.ClipboardCopyDIB;
    ClipboardCopyTEXT = o.ClipboardCopyTEXT;
    NotClrCursorMove = o.NotClrCursorMove;
    DispPluginLimit = o.DispPluginLimit;
    ArcDispPluginLimit = o.ArcDispPluginLimit;
    FolderShow = o.FolderShow;
    HiddenFile = o.HiddenFile;
    Monitor = o.Monitor;
    FolderTitle = o.FolderTitle;
    FolderTitleSearchCount = o.FolderTitleSearchCount;
    ColumnCount = o.ColumnCount;
    LineCount = o.LineCount;
    DirectionLR = o.DirectionLR;
    DirectionUD = o.DirectionUD;
    WriteAppIniString(L"OnePic", L"TitleFormat", o.TitleFormat);
    WriteAppIniString(L"LstView", L"InfoColumnTemplete", o.InfoColumnTemplete);
    WriteAppIniInt(L"LstView", L"AutoColumnSize", o.AutoColumnSize);
    WriteAppIniInt(L"LstView", L"NameMaxSize", o.NameMaxSize);
    colViewBackground = o.colBackground;
    colViewText = o.colText;
    ApplyViewColours();
    theSPImapIndex.SetDynamicLoading(o.LoadSelectedPluginsOnly ? 1 : 0);
    theSPImapIndex.SetPluginExtensionCheck(o.JudgeByPluginExtension ? 1 : 0);
    VyxFilexDraw::SetCacheRoot(CacheDataFolder);
    VyxFilexDraw::SetFreePictureAfterMaking(MemDraw);
    HeldPictureBudget::SetLimit(MemDraw ? HeldPictureBudget::SmallLimit : HeldPictureBudget::LargeLimit);
    VyxFilexImage::SetCoverKinds(FolderTitle);
    VyxFilexImage::SetCoverSearchCount(FolderTitleSearchCount);
    VyxFilexImage::SetPluginDisplayLimit(DispPluginLimit);
    VyxFilexImage::SetArchiveMemberLimit(ArcDispPluginLimit);
}

// ---------------------------------------------------------------- layout

void CKWDoc::GetLayout(THUMBSDATA* record)
{
    THUMBSDATA& r = record ? *record : m_ownLayout;
    r.Frame = Frame;
    r.FrameEdge = FrameEdge;
    r.NameFrame = NameFrame;
    r.NameFrameEdge = NameFrameEdge;
    r.Unsharp = Unsharp;
    r.LimitCheck = LimitCheck;
    r.Name = Name;
    r.Name2Per = Name2Per;
    r.ScaleMode = ScaleMode;
    r.WordBreak = WordBreak;
    r.Shadow = Shadow;
    r.ScaleStep = ScaleStep;
    r.ThumbsSize = ThumbsSize;
    r.ThumbsLimitSize = ThumbsLimitSize;
    r.ThumbsMarginSize = ThumbsMarginSize;
    r.colBackGround = colBackGround;
    r.colText = colText;
    r.colNormalDraw = colNormalDraw;
    r.colFolderDraw = colFolderDraw;
    r.colArcDraw = colArcDraw;
    r.colCantDraw = colCantDraw;
    r.colSelectText = colSelectText;
    r.colSelectBackGround = colSelectBackGround;
    r.colSelectCheck = colSelectCheck;
    r.font = drawFont;
    r.UnsharpLevel = UnsharpLevel;
    // The record's field holds 255 characters; a longer text is cut, never in a surrogate pair.
    const int capacity = static_cast<int>(sizeof(r.NameFormat) / sizeof(r.NameFormat[0]));
    int length = std::min(NameFormat.GetLength(), capacity - 1);
    if (length == capacity - 1 && IS_HIGH_SURROGATE(NameFormat[length - 1]))
        --length;
    wmemcpy(r.NameFormat, NameFormat.GetString(), length);
    // The whole field is written, so that equal layouts are equal records.
    wmemset(r.NameFormat + length, 0, capacity - length);
}

void CKWDoc::ApplyFolderLayout(const THUMBSDATA* record)
{
    TakeLayout(*this, record ? *record : m_ownLayout);
    HandSharpenSettings();
    if (CMainFrame* frame = GetMainFrame())
        frame->SetThumbViewBackColor(colBackGround);
}

void CKWDoc::PushDrawingSettings(VyxFile& item) const
{
    item.SetLimitCheck(LimitCheck);
    item.SetFrame(Frame);
    item.SetFrameEdge(FrameEdge);
    item.SetNameMode(Name);
    item.SetName2Per(Name2Per);
    item.SetNameFrame(NameFrame);
    item.SetNameFrameEdge(NameFrameEdge);
    item.SetUnsharp(Unsharp);
    item.SetScaleMode(ScaleMode);
    item.SetMarginSize(ThumbsMarginSize);
    item.SetPaddingSize(ThumbsPaddingSize);
    item.colBackGround = colBackGround;
    item.colText = colText;
    item.colSelectText = colSelectText;
    item.colSelectBackGround = colSelectBackGround;
    item.colSelectCheck = colSelectCheck;
    item.colNormalDraw = colNormalDraw;
    item.colFolderDraw = colFolderDraw;
    item.colArcDraw = colArcDraw;
    item.colCantDraw = colCantDraw;
    item.SetFont(drawFont);
    item.SetNameFormat(NameFormat);
    item.SetWordBreak(WordBreak);
    item.SetShadow(Shadow);
}

void CKWDoc::ApplyLayout(const THUMBSDATA& r)
{
    bool repaint = CSize(r.ThumbsSize) != ThumbsSize || CSize(r.ThumbsMarginSize) != ThumbsMarginSize ||
                   r.colBackGround != colBackGround || r.colText != colText || r.colNormalDraw != colNormalDraw ||
                   r.colFolderDraw != colFolderDraw || r.colArcDraw != colArcDraw || r.colCantDraw != colCantDraw ||
                   r.colSelectText != colSelectText || r.colSelectBackGround != colSelectBackGround ||
                   r.colSelectCheck != colSelectCheck || (r.Frame != FALSE) != Frame || r.FrameEdge != FrameEdge ||
                   (r.NameFrame != FALSE) != NameFrame || r.NameFrameEdge != NameFrameEdge || r.Name != Name ||
                   r.Name2Per != Name2Per || r.ScaleMode != ScaleMode || r.Unsharp != Unsharp || r.Shadow != Shadow ||
                   (r.WordBreak != FALSE) != WordBreak || memcmp(&r.font, &font, sizeof(font)) != 0 ||
                   NameFormat != CString(r.NameFormat, static_cast<int>(wcsnlen(r.NameFormat, 256))) ||
                   (Unsharp && r.UnsharpLevel != UnsharpLevel);
    ApplyFolderLayout(&r);
    m_folderLayoutInForce = false;
    for (int i = 0; i < GetItemCount(); ++i) {
        if (VyxFile* item = GetItem(i))
            PushDrawingSettings(*item);
    }
    SaveSettings();
    if (repaint)
        UpdateAllViews(nullptr, HintRedraw, nullptr);
    if (CMainFrame* frame = GetMainFrame())
        frame->FillPluginSetCombo();
    GetLayout(nullptr);
}

void CKWDoc::LookUpFolderLayout()
{
    VyxCacheIndex index(CacheDataFolder);
    CString folder = GetFolderPath();
    CString path;
    bool found = index.FindConfigFile(path, folder, GetLocationFileName()) || index.FindConfigFile(path, folder, L"");
    THUMBSDATA record = {};
    m_folderLayoutInForce = found && VyxConfig(path).Load(record, kLayoutSection);
    ApplyFolderLayout(m_folderLayoutInForce ? &record : nullptr);
}

void CKWDoc::SaveFolderLayout()
{
    UpdatingScope updating(*this);
    THUMBSDATA record = {};
    GetLayout(&record);
    VyxCacheIndex index(CacheDataFolder);
    CString path = index.GetConfigFileName(GetFolderPath(), GetLocationFileName());
    VyxConfig(path).Save(record, kLayoutSection);
}

// ---------------------------------------------------------------- deleting and renaming

CString CKWDoc::SwapCurrentDirectory(const wchar_t* folder)
{
    wchar_t current[520] = {};
    DWORD length = GetCurrentDirectoryW(520, current);
    CString previous = length > 0 && length < 520 ? current : L"";
    if (folder)
        SetCurrentDirectoryW(folder);
    return previous;
}

void CKWDoc::DeleteSelectedFiles(bool noConfirm)
{
    if (!noConfirm && AfxMessageBox(FormatMessageText(0x4000000A), MB_YESNO | MB_ICONQUESTION) != IDYES)
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
    CMainFrame* frame = GetMainFrame();
    if (frame)
        frame->SetWatchMode(1);
    try {
        int done = 0;
        for (int i = 0; i < GetItemCount(); ++i) {
            VyxFile* item = GetItem(i);
            if (!item || !item->TestFlags(VyxFilexDraw::FlagSelected) || item->IsArchiveMember() ||
                !PathExists(item->GetPath(), kAnyAttribute))
                continue;
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
        if (frame)
            frame->SetWatchMode(0);
        throw;
    }
    if (shown)
        progress.DestroyWindow();
    if (frame)
        frame->SetWatchMode(0);
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
    for (int i = 0; i < GetItemCount(); ++i) {
        VyxFile* item = GetItem(i);
        if (!item || !item->TestFlags(VyxFilexDraw::FlagSelected) || item->IsArchiveMember() ||
            !PathExists(item->GetPath(), kAnyAttribute))
            continue;
        const CString path = ExactPath(item->GetPath());
        list.Write(path.GetString(), static_cast<UINT>((path.GetLength() + 1) * sizeof(wchar_t)));
        ++written;
    }
    if (written == 0)
        return;
    const wchar_t end = 0;
    list.Write(&end, sizeof(end));
    CMainFrame* frame = GetMainFrame();
    if (frame)
        frame->SetWatchMode(1);
    CWnd* mainWnd = AfxGetMainWnd();
    const WORD flags = silent ? FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI : FOF_ALLOWUNDO;
    ShellDeleteFileList(list, mainWnd ? mainWnd->GetSafeHwnd() : nullptr, flags);
    if (frame)
        frame->SetWatchMode(0);
    RemoveMissingSelectedItems();
}

bool CKWDoc::RenameItem(VyxFile* item, const wchar_t* newName)
{
    if (!item || item->IsArchiveMember() || !PathExists(item->GetPath(), kAnyAttribute))
        return false;
    // A separator would move the file elsewhere while the item renamed only its last part.
    if (!IsPlainFileName(newName))
        return false;
    const CString oldPath = item->GetPath();
    CString newPath;
    MakePath(newPath, nullptr, PathPart(oldPath, 3), newName, nullptr);
    if (newPath.GetLength() >= MAX_PATH || CompareLengthFirst(newPath, oldPath) == 0)
        return false;
    if (!RenameEntry(oldPath, newPath))
        return false;
    const CString note = item->GetNote();
    item->RemoveFromCache();
    item->DeleteNote();
    item->Rename(newName);
    item->SetNote(note);
    return true;
}

// ---------------------------------------------------------------- picture output

int CKWDoc::AskToReplace(const wchar_t* path)
{
    CString text;
    text.Format(L"%s\n\nこのファイルは既にあります。置き換えますか？", path);
    return AfxMessageBox(text, MB_YESNOCANCEL | MB_ICONQUESTION);
}

void CKWDoc::ExportContactSheets(int columns, int rows, const wchar_t* path, int format, int quality)
{
    const int count = m_items.GetSelectedCount(false);
    if (count <= 0)
        return;
    if (rows == 0 && columns == 0)
        columns = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(count))));
    if (rows == 0)
        rows = (count + columns - 1) / std::max(columns, 1);
    else if (columns == 0)
        columns = (count + rows - 1) / std::max(rows, 1);
    const CSize cell = ThumbsSize;
    // Refused before anything is allocated: a sheet the image library would not hold.
    if (!ContactSheetFile::IsSheetSizeAllowed(columns, rows, cell)) {
        CString text;
        text.Format(L"%d x %d のシートは大きすぎて作成できません", columns * cell.cx, rows * cell.cy);
        AfxMessageBox(text, MB_OK | MB_ICONSTOP);
        return;
    }
    CDibSection sheet;
    if (!sheet.Create24(nullptr, columns * cell.cx, rows * cell.cy, colBackGround)) {
        AfxMessageBox(L"コンタクトシートを作成するメモリがありません", MB_OK | MB_ICONSTOP);
        return;
    }
    sheet.Fill(nullptr, colBackGround);
    ContactSheetFile file(*this, path, format, quality, static_cast<long long>(columns) * rows < count);
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
        item->SetLimitCheck(LimitCheck);
        const POINT position = item->SetPosition(POINT{column * cell.cx, row * cell.cy});
        if (!m_listingCacheFlag || !item->IsCached()) {
            item->SetNameFrame(NameFrame);
            item->SetNameFrameEdge(NameFrameEdge);
            item->SetFrame(Frame);
            item->SetFrameEdge(FrameEdge);
            item->SetNameMode(Name);
            item->SetName2Per(Name2Per);
            item->SetMarginSize(ThumbsMarginSize);
            item->SetPaddingSize(ThumbsPaddingSize);
        }
        const int scaleMode = item->SetScaleMode(m_sheetScaleMode);
        item->SetUnsharp(Unsharp);
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
        sheet.Fill(nullptr, colBackGround);
    }
    if (cells > 0 && !stopped)
        file.Save(sheet, number);
    if (shown)
        progress.DestroyWindow();
}

int CKWDoc::SavePastedPicture(HGLOBAL dib)
{
    CExportDialog dialog(GetFolderPath(), AfxGetMainWnd());
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
        AfxMessageBox(path + L"\n\n" + FormatMessageText(0x40000009), MB_OK | MB_ICONSTOP);
    return result == 0 ? 0 : (result == -1 ? 3 : result);
}

int CKWDoc::PrintSelected(CDC* printerDC, const wchar_t* definitionFile)
{
    UpdatingScope updating(*this);
    WatchModeScope watch(GetMainFrame());
    CPrintOutDialog job(AfxGetMainWnd());
    for (int i = 0; i < GetItemCount(); ++i) {
        VyxFile* item = GetItem(i);
        if (item && item->TestFlags(VyxFilexDraw::FlagSelected))
            job.AddItem(item);
    }
    CFrameWnd* frame = DYNAMIC_DOWNCAST(CFrameWnd, AfxGetMainWnd());
    CView* view = frame ? frame->GetActiveView() : nullptr;
    job.Create(view ? static_cast<CWnd*>(view) : AfxGetMainWnd());
    int result = job.Print(printerDC, definitionFile);
    if (job.GetSafeHwnd())
        job.DestroyWindow();
    return result;
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
    if (!TrashCan || ::GetAsyncKeyState(VK_SHIFT) < 0)
        DeleteSelectedFiles(DELQA);
    else
        ShellDeleteSelected(DELQA);
}

void CKWDoc::OnFileRename()
{
    int remaining = m_items.GetSelectedOutsideArchivesCount(false);
    if (remaining < 1)
        return;
    CurrentDirectoryScope directory(GetFolderPath());
    WatchModeScope watch(GetMainFrame());
    UpdatingScope updating(*this);
    for (int i = 0; i < GetItemCount(); ++i) {
        VyxFile* item = GetItem(i);
        if (!item || !item->TestFlags(VyxFilexDraw::FlagSelected) || item->IsArchiveMember() ||
            !PathExists(item->GetPath(), kAnyAttribute))
            continue;
        VFileRenameDlg dialog(AfxGetMainWnd());
        dialog.m_item = item;
        dialog.m_path = item->GetPath();
        dialog.m_name = item->GetFileName();
        dialog.m_moreFiles = --remaining > 0 ? 1 : 0;
        if (dialog.DoModal() == IDOK) {
            if (RenameItem(item, dialog.m_name))
                UpdateAllViews(nullptr, HintItemChanged, HintValue(i));
            else
                AfxMessageBox(FormatMessageText(0x4000000B), MB_OK | MB_ICONSTOP);
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
    for (int i = 0; i < GetItemCount(); ++i) {
        VyxFile* item = GetItem(i);
        if (item && item->TestFlags(VyxFilexDraw::FlagSelected) && !item->IsArchiveMember() &&
            PathExists(item->GetPath(), kAnyAttribute))
            dialog.AddFile(item);
    }
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

void CKWDoc::OnFileExtract()
{
    CGetFolderDlg prompt(AfxGetMainWnd());
    prompt.m_title = L"書庫解凍";
    prompt.m_prompt = L"解凍先フォルダを入力してください";
    CurrentDirectoryScope directory(GetFolderPath());
    if (prompt.DoModal() != IDOK)
        return;
    // Relative to the document's folder, which is the current directory meanwhile.
    CString folder;
    GetFullPath(folder, prompt.m_folder);
    ExtractSelectedTo(folder);
}

VyxFile* CKWDoc::NextSelectedUnderProgress(int& index, CProgressDlg* progress)
{
    for (; index < GetItemCount(); ++index) {
        if (progress && progress->CheckCancel())
            return nullptr;
        VyxFile* item = GetItem(index);
        if (!item || !item->TestFlags(VyxFilexDraw::FlagSelected))
            continue;
        if (progress)
            progress->SetText(item->GetFileName());
        return item;
    }
    return nullptr;
}

void CKWDoc::ExtractSelectedTo(const wchar_t* folder)
{
    CurrentDirectoryScope directory(GetFolderPath());
    WatchModeScope watch(GetMainFrame());
    UpdatingScope updating(*this);
    if (!folder || !*folder || !EnsureFolderExists(folder, true))
        return;
    CProgressDlg progress(IDS_UNPACK_TITLE);
    const bool shown = progress.Create(AfxGetMainWnd()) != FALSE;
    if (shown) {
        progress.SetText(L"書庫ファイルから解凍しています...");
        progress.SetRange(0, m_items.GetSelectedCount(false));
    }
    ExtractionGuard guard;
    guard.askToReplace = [this](const CString& target) { return AskToReplace(target); };
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
            AfxMessageBox(failed + L"\n\n解凍に失敗しました", MB_OK);
            break;
        }
    }
    UpdateAllViews(nullptr, HintFolderChanged, HintArgument(folder));
    if (shown)
        progress.DestroyWindow();
}

void CKWDoc::OnEditComment()
{
    for (int i = 0; i < GetItemCount(); ++i) {
        VyxFile* item = GetItem(i);
        if (!item || !item->TestFlags(VyxFilexDraw::FlagSelected))
            continue;
        CCommentDlg dialog(item, AfxGetMainWnd());
        if (dialog.DoModal() != IDOK)
            break;
        UpdateAllViews(nullptr, HintItemChanged, HintValue(i));
    }
}

void CKWDoc::OnFilePrint()
{
    CMyPrintDialog dialog(TRUE, PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE,
                          AfxGetMainWnd());
    if (dialog.DoModal() != IDOK)
        return;
    HDC handle = dialog.CreatePrinterDC();
    // No printer to draw on: nothing is started.
    if (!handle) {
        AfxMessageBox(IDS_PRINTER_DC_FAILED, MB_OK | MB_ICONSTOP);
        return;
    }
    CDC printer;
    printer.Attach(handle);
    int result = PrintSelected(&printer, dialog.m_definitionFile);
    printer.DeleteDC();
    if (result != 0)
        AfxMessageBox(static_cast<UINT>(result), MB_OK | MB_ICONINFORMATION);
}

void CKWDoc::OnToolHtmlCatalog()
{
    CurrentDirectoryScope directory(GetFolderPath());
    WatchModeScope watch(GetMainFrame());
    CHtmlDlg dialog(AfxGetMainWnd());
    if (dialog.DoModal() != IDOK)
        return;
    CHtmlCatalogWriter writer;
    writer.m_pFileArray = &m_items;
    writer.m_currentFolder = GetFolderPath();
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
    writer.m_boxWidth = ThumbsSize.cx;
    writer.m_boxHeight = ThumbsSize.cy;
    GetAppIniString(writer.m_pageNameFormat, L"Html", L"HtmlFormat", L"$file_$page#3");
    GetAppIniString(writer.m_thumbnailNameFormat, L"Html", L"ThumbFormat", L"Ve_$file");
    WriteAppIniString(L"Html", L"HtmlFormat", writer.m_pageNameFormat);
    WriteAppIniString(L"Html", L"ThumbFormat", writer.m_thumbnailNameFormat);
    if (!writer.LoadDefinition(dialog.m_definitionFile)) {
        AfxMessageBox(L"HTML定義ファイルの読み込みに失敗しました", MB_OK | MB_ICONSTOP);
        return;
    }
    if (!EnsureFolderExists(dialog.m_folder, false))
        return;
    bool thumbnailsReady = true;
    if (writer.m_thumbnailFolder != L".") {
        CString thumbnails;
        MakePath(thumbnails, nullptr, dialog.m_folder, writer.m_thumbnailFolder, nullptr);
        if (!EnsureFolderExists(thumbnails, true)) {
            AfxMessageBox(L"サムネイルフォルダの作成に失敗しました", MB_OK | MB_ICONSTOP);
            thumbnailsReady = false;
        }
    }
    if (thumbnailsReady) {
        CString page;
        writer.Generate(MakePath(page, nullptr, dialog.m_folder, dialog.m_fileName, nullptr));
    }
    CString folder = dialog.m_folder;
    UpdateAllViews(nullptr, HintFolderChanged, HintArgument(folder.GetString()));
}

void CKWDoc::OnToolContactSheet()
{
    CurrentDirectoryScope directory(GetFolderPath());
    WatchModeScope watch(GetMainFrame());
    CContactDlg dialog(AfxGetMainWnd());
    if (dialog.DoModal() == IDOK) {
        m_sheetScaleMode = 10;
        if (EnsureFolderExists(dialog.m_folder, false))
            ExportContactSheets(dialog.m_columns, dialog.m_rows, dialog.m_outputPath, dialog.m_fileType,
                                dialog.m_jpegQuality);
    }
    UpdateAllViews(nullptr, HintRedraw, nullptr);
}

void CKWDoc::OnToolReport()
{
    CurrentDirectoryScope directory(GetFolderPath());
    WatchModeScope watch(GetMainFrame());
    CReportFileDlg dialog(AfxGetMainWnd());
    if (dialog.DoModal() != IDOK)
        return;
    std::vector<const VyxFile*> items;
    for (int i = 0; i < GetItemCount(); ++i) {
        const VyxFile* item = GetItem(i);
        if (item && item->TestFlags(VyxFilexDraw::FlagSelected))
            items.push_back(item);
    }
    ReportFileWriter(AfxGetMainWnd())
        .Write(dialog.m_fileName, dialog.m_lineTemplate, items.data(), static_cast<int>(items.size()));
}

// ---------------------------------------------------------------- the clipboard and transfers

bool CKWDoc::PlaceSelectionOnClipboard(bool cut)
{
    ClipboardFileList files;
    VyxNoteSession notes;
    for (int i = 0; i < GetItemCount(); ++i) {
        VyxFile* item = GetItem(i);
        if (item && item->TestFlags(VyxFilexDraw::FlagSelected) && !item->IsArchiveMember())
            files.Add(item->GetPath(), item->GetNote());
    }
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
    for (int i = 0; i < GetItemCount(); ++i) {
        VyxFile* item = GetItem(i);
        if (!item || !item->TestFlags(VyxFilexDraw::FlagSelected))
            continue;
        if (move && (item->IsArchiveMember() || !PathExists(item->GetPath(), kAnyAttribute)))
            continue;
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
    if (dialog.DoModal() == IDOK)
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
    if (dialog.DoModal() == IDOK)
        TransferSelected(dialog.m_destination, dialog.GetExistingOnly(), dialog.GetSameNameMode(), true);
}

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
    CString parent = PathPart(path, 3);
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

    COptPageBoot::OPTIONSDATA record;
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

void CKWDoc::TakeOptions(const COptPageBoot::OPTIONSDATA& o)
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
        frame->SetWatchMode(0);
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

// ---------------------------------------------------------------- saving in another format

void CKWDoc::OnFileSaveImages()
{
    CurrentDirectoryScope directory(GetFolderPath());
    WatchModeScope watch(GetMainFrame());
    UpdatingScope updating(*this);
    CFileSaveDlg dialog(AfxGetMainWnd());
    if (dialog.DoModal() == IDOK)
        SaveSelectedPictures(dialog);
}

void CKWDoc::SaveSelectedPictures(const CFileSaveDlg& options)
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
        progress.SetRange(0, m_items.GetSelectedCount(false));
    }
    const int angle = options.RotateAngle % 360;
    bool applyToAll = false;
    int sameName = VyxFileTransfer::SameOverwrite;
    int recycle = 0;
    FILE* pagesFile = nullptr;
    CxTiffPageWriter pages;
    CString pagesPath;
    int handled = 0;
    for (int i = 0; i < GetItemCount(); ++i) {
        VyxFile* item = GetItem(i);
        if (!item || !item->TestFlags(VyxFilexDraw::FlagSelected))
            continue;
        if (shown)
            progress.SetText(item->GetFileName());
        CString title, target;
        GetPathPart(title, item->GetFileName(), 4);
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
                VSameFileDlg question(copy, target, 0, 0, recycle, AutoFileFormat, AfxGetMainWnd());
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
        if (asks && PathExists(target, kAnyAttribute)) {
            if (sameName == VyxFileTransfer::SameIgnore)
                skip = true;
            else if (sameName == VyxFileTransfer::SameSerial)
                named = VyxFileTransfer::MakeSerialName(target, CString(target), AutoFileFormat);
            if (!skip && named && recycle && PathExists(target, kAnyAttribute))
                ShellDeleteFile(target, nullptr, FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI);
        }
        if (!skip) {
            GlobalBlock loaded(named ? copy.LoadPicture() : nullptr);
            HGLOBAL made = loaded.get() ? MakeSavedPicture(copy, loaded.get(), options, angle) : nullptr;
            GlobalBlock output(made == loaded.get() ? loaded.release() : made);
            bool written = false;
            if (output.get() && multiPage) {
                if (!pagesFile && (pagesFile = _wfopen(target, L"w+b")) != nullptr) {
                    pagesPath = target;
                    pages.Open(pagesFile);
                }
                // Each page goes into the file as it is made: no picture waits for the others.
                written =
                    pagesFile && pages.AddPage(CxTiffPage{output.get(), static_cast<DWORD>(options.TifCodec), 90});
            } else if (output.get()) {
                written = SavePictureAs(options, target, output.get()) == 0;
            }
            if (!written) {
                CString question;
                question.Format(L"%s\n\nファイルの保存に失敗しました\n\n継続しますか？",
                                item->GetFileName().GetString());
                if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
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
        const bool complete = pages.Close();
        fclose(pagesFile);
        if (!complete) {
            ::DeleteFileW(pagesPath);
            AfxMessageBox(pagesPath + L"\n\n" + FormatMessageText(0x40000009), MB_OK | MB_ICONSTOP);
        }
    }
    UpdateAllViews(nullptr, HintFolderChanged, HintArgument(folder.GetString()));
}
