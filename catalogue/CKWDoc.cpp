#include "catalogue/CKWDoc.h"

#include "catalogue/CFileList.h"
#include "catalogue/CacheFileWriter.h"
#include "catalogue/CKWDocScopes.h"
#include "catalogue/CacheRootCheck.h"
#include "catalogue/DocumentHost.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/RetiredItems.h"
#include "catalogue/VyxCacheIndex.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxFile.h"
#include "foundation/ShellShortcut.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxStringArray.h"
#include "foundation/VyxUtility.h"
#include "image/plugins/Spi.h"
#include "res/resource.h"

#include <algorithm>
#include <map>
#include <memory>

IMPLEMENT_DYNCREATE(CKWDoc, CDocument)

namespace {

const wchar_t kLayoutSection[] = L"ThumbsData";

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

// Every field of a layout record beside the setting of the same name; the document fills a
// record and takes one back along this one list. The font, the name format and the size a zoom
// returns to are handed over by hand.
template <class Visitor> void VisitLayoutSettings(Visitor&& visit)
{
#define VYX_LAYOUT_LINK(name) visit(&THUMBSDATA::name, &CKWDocSettings::name)
    VYX_LAYOUT_LINK(Frame);
    VYX_LAYOUT_LINK(FrameEdge);
    VYX_LAYOUT_LINK(NameFrame);
    VYX_LAYOUT_LINK(NameFrameEdge);
    VYX_LAYOUT_LINK(Unsharp);
    VYX_LAYOUT_LINK(LimitCheck);
    VYX_LAYOUT_LINK(Name);
    VYX_LAYOUT_LINK(Name2Per);
    VYX_LAYOUT_LINK(ScaleMode);
    VYX_LAYOUT_LINK(WordBreak);
    VYX_LAYOUT_LINK(Shadow);
    VYX_LAYOUT_LINK(ScaleStep);
    VYX_LAYOUT_LINK(ThumbsSize);
    VYX_LAYOUT_LINK(ThumbsLimitSize);
    VYX_LAYOUT_LINK(ThumbsMarginSize);
    VYX_LAYOUT_LINK(colBackGround);
    VYX_LAYOUT_LINK(colText);
    VYX_LAYOUT_LINK(colNormalDraw);
    VYX_LAYOUT_LINK(colFolderDraw);
    VYX_LAYOUT_LINK(colArcDraw);
    VYX_LAYOUT_LINK(colCantDraw);
    VYX_LAYOUT_LINK(colSelectText);
    VYX_LAYOUT_LINK(colSelectBackGround);
    VYX_LAYOUT_LINK(colSelectCheck);
    VYX_LAYOUT_LINK(UnsharpLevel);
#undef VYX_LAYOUT_LINK
}

// The layout fields of a record into a set of settings.
void TakeLayout(CKWDocSettings& s, const THUMBSDATA& r)
{
    VisitLayoutSettings([&](auto field, auto setting) { s.*setting = r.*field; });
    s.DefaultThumbsSize = s.ThumbsSize;
    s.font = s.drawFont = r.font;
    s.font.lfFaceName[LF_FACESIZE - 1] = s.drawFont.lfFaceName[LF_FACESIZE - 1] = 0;
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

// ---------------------------------------------------------------- location

CString CKWDoc::GetLocationPath() const
{
    return m_location.GetPath();
}

CString CKWDoc::GetFolderPath() const
{
    return IsFolderLocation() ? m_location.GetPath() : PathPart(m_location.GetPath(), PartFolder);
}

CString CKWDoc::GetLocationFileName() const
{
    return IsFolderLocation() ? CString() : PathPart(m_location.GetPath(), PartFileName);
}

CString CKWDoc::GetRealFolder() const
{
    return IsFolderLocation() ? m_location.GetRealPath() : PathPart(m_location.GetRealPath(), PartFolder);
}

CString CKWDoc::GetRealFileName() const
{
    return IsFolderLocation() ? CString() : PathPart(m_location.GetRealPath(), PartFileName);
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
    UpdateAllViews(nullptr, HintCursorMoved, HintArgument(values));
    int count = GetItemCount();
    if (newIndex >= count)
        newIndex = count - 1;
    if (newIndex < 0)
        newIndex = 0;
    m_cursorIndex = newIndex;
    values[0] = 1;
    values[1] = newIndex;
    UpdateAllViews(sender, HintCursorMoved, HintArgument(values));
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
    for (SelectedEntry entry : m_items.Selected(SelectedFilter::Any))
        SelectItem(entry.position, false, nullptr);
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
    mainWnd->SendMessage(WMU_FOLDERCHANGED, FolderChangeByDocument, reinterpret_cast<LPARAM>(folder.GetString()));
}

// ---------------------------------------------------------------- emptying, opening, refreshing

void CKWDoc::ClearItems(bool deleteItems, bool updateCountPane)
{
    // A cache folder that cannot take the cache is told before the list empties.
    const bool saveCache = deleteItems && AutoCacheFolder && !m_cacheTakenForClosing &&
                           CacheRootCheck::ReadyToSave(CacheDataFolder, false);
    m_updating = 1;
    if (deleteItems) {
        // The files are written on a thread of their own: the folder the user goes to waits for
        // none of them (a later look-up of this location waits for its file).
        if (saveCache) {
            StoreItemThumbnails();
            theCacheList.WriteInBackground();
        }
        theCacheList.RemoveAllFolders();
        // Deleted in the idle time: the folder the user goes to, or the closing, waits for none.
        std::vector<VyxFile*> items(static_cast<size_t>(m_items.GetItemCount()));
        for (size_t i = 0; i < items.size(); ++i)
            items[i] = m_items.GetItem(static_cast<int>(i));
        RetiredItems::Take(items);
    }
    m_items.RemoveAll(false);
    m_cursorIndex = -1;
    m_updating = 0;
    if (updateCountPane)
        UpdateCountPane();
}

void CKWDoc::StoreItemThumbnails()
{
    // A thumbnail taken from the cache (or stored as it was made) is stored again only when the
    // cache is set to take those too: a close after a long pass does not go through thousands.
    const bool storeCached = GetAppIniBool(L"KWDoc", L"CacheLoadFree", false);
    for (int i = 0; i < GetItemCount(); ++i) {
        VyxFile* item = GetItem(i);
        if (item && item->HasThumbnail() && (storeCached || !item->IsCached()))
            item->StoreCache();
    }
}

void CKWDoc::SaveThumbnailsToCache(std::unique_ptr<CacheFileWriter>* writeLater)
{
    CursorScope cursor(LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_DOCUMENT_WAIT_CURSOR)));
    StoreItemThumbnails();
    if (writeLater)
        *writeLater = theCacheList.TakeForWriting();
    else
        FlushCacheListWithWaitCursor();
}

std::unique_ptr<CacheFileWriter> CKWDoc::TakeCacheForClosing()
{
    std::unique_ptr<CacheFileWriter> writer;
    // Taken once: the items' thumbnails went in then, and their files were read and written.
    if (m_cacheTakenForClosing)
        return writer;
    if (AutoCacheFolder)
        SaveThumbnailsToCache(&writer);
    else
        // Files of locations left while the option was on are still being written.
        writer = theCacheList.TakeRunningWriters();
    theCacheList.RemoveAllFolders();
    m_cacheTakenForClosing = true;
    return writer;
}

void CKWDoc::HandItemSettings()
{
    VyxFilexDraw::SetCacheRoot(CacheDataFolder);
    VyxFilexInfo::SetVirtualFolders(&m_virtualFolders);
    // Both are written back so that they can be found and changed in the settings file.
    int notCreateThumbsSize = GetAppIniInt(L"VyxFile", L"NotCreateThumbsSize", 0);
    WriteBackAppIniInt(L"VyxFile", L"NotCreateThumbsSize", notCreateThumbsSize);
    m_itemSettings.notCreateThumbsSize = static_cast<DWORD>(notCreateThumbsSize);
    m_itemSettings.freePictureAfterMaking = MemDraw;
    HeldPictureBudget::SetLimit(MemDraw ? HeldPictureBudget::SmallLimit : HeldPictureBudget::LargeLimit);
    m_itemSettings.pluginDisplayLimit = DispPluginLimit;
    m_itemSettings.archiveMemberLimit = ArcDispPluginLimit;
    m_itemSettings.drawIconAlign = GetAppIniInt(L"VyxFile", L"DrawIconAlign", 0);
    WriteBackAppIniInt(L"VyxFile", L"DrawIconAlign", m_itemSettings.drawIconAlign);
    VyxFilexImage::SetItemSettings(m_itemSettings);
}

int CKWDoc::OpenFolder(const CVirtualFolder& location, CView* sender)
{
    // The caller's location may be the document's own.
    const CVirtualFolder target(location);
    UpdateAllViews(sender, HintListRebuilding, HintArgument(target.GetPath().GetString()));
    ClearItems(true);
    m_location = target;
    HandItemSettings();
    m_listingCacheFlag = CacheFolder;

    CFileList request;
    FillScanRequest(request);
    if (!GetLocationFileName().IsEmpty()) {
        request.SetExpandArchives(true);
        request.SetIncludeSubFolders(false);
    }
    m_mergeStart = 0;
    int result = RunScan(request, EnableConfig);

    UpdateAllViews(sender, HintListRebuilt, HintArgument(m_location.GetPath().GetString()));
    SetTitle(m_location.GetPath());
    SetCurrentDirectoryW(GetFolderPath());
    OpenPendingPicture();
    return result;
}

int CKWDoc::Refresh(bool abortable)
{
    m_items.SetFlagsAll(VyxFilexDraw::FlagMarked);
    UpdateAllViews(nullptr, HintListRebuilding, HintArgument(m_location.GetPath().GetString()));
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
    UpdateAllViews(nullptr, HintListRebuilt, HintArgument(m_location.GetPath().GetString()));
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

int CKWDoc::RunScan(CFileList& request, bool lookUpLayout)
{
    // Looked up by its bare name once, at the first listing, and kept: later the current folder
    // is the one being left, and a name missing from a folder of many files costs a read of the
    // whole folder under this platform.
    static const HCURSOR animated = LoadCursorFromFileW(L"docfind.ani");
    CursorScope cursorScope(animated ? animated : LoadCursorW(nullptr, IDC_WAIT));
    int result = request.Scan();
    if (lookUpLayout)
        LookUpFolderLayout();
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
        UpdateAllViews(nullptr, HintListRebuilding, nullptr);
    }
    m_items.RemoveMarked();
    return result;
}

int CKWDoc::AddScannedItem(VyxFile* item, bool merge)
{
    if (merge) {
        // Two names differing only in letter case are two files: each row keeps its own.
        if (VyxFile* existing = m_items.Find(item->GetPath(), item->GetArchivePath(), m_mergeStart, true)) {
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
            if (PathPart(name, PartExt).CompareNoCase(L".lnk") == 0) {
                CString target;
                name = PathPart(ResolveShortcut(target, item->GetPath()), PartFileName);
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
        if (!VyxFileArray::IsSelected(item, SelectedFilter::Missing))
            continue;
        ++removed;
        if (item->IsFolder())
            ++folders;
        item->DeleteNote();
        m_items.RemoveAt(i);
        UpdateAllViews(nullptr, HintItemRemoved, HintValue(i));
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
    if (!PathPart(path, PartFileName).IsEmpty() && PathExists(path, kAnyAttribute))
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

// ---------------------------------------------------------------- commands

void CKWDoc::SetCommands(std::unique_ptr<CCmdTarget> commands)
{
    m_commands = std::move(commands);
}

// The command target has the first turn, as the document's own map had before the template's.
BOOL CKWDoc::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (m_commands && m_commands->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return CDocument::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// ---------------------------------------------------------------- settings

void CKWDoc::LoadSettings()
{
    {
        CWnd* mainWnd = AfxGetMainWnd();
        CClientDC dc(mainWnd && mainWnd->GetSafeHwnd() ? mainWnd : nullptr);
        ReadSettings(dc.GetSafeHdc());
    }
    m_itemSettings.coverKinds = FolderTitle;
    m_itemSettings.coverSearchCount = FolderTitleSearchCount;
    m_itemSettings.coverBrightness = FolderTitleBright;
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
    m_itemSettings.SetSharpening(UnsharpPassCount, UnsharpKernel, UnsharpLevel);
    VyxFilexImage::SetItemSettings(m_itemSettings);
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

void CKWDoc::FillOptions(OPTIONSDATA& o) const
{
    VisitOptionSettings([&](auto field, auto setting) { o.*field = this->*setting; });
    o.LoadSelectedPluginsOnly = theSPImapIndex.GetDynamicLoading() != 0;
    o.JudgeByPluginExtension = theSPImapIndex.GetPluginExtensionCheck() != 0;
    o.colBackground = m_backColor;
    o.colText = m_textColor;
    o.TitleFormat = SettingKeys::TitleFormat.Read();
    o.InfoColumnTemplete = SettingKeys::InfoColumnTemplete.Read();
    o.AutoColumnSize = SettingKeys::AutoColumnSize.Read();
    o.NameMaxSize = SettingKeys::NameMaxSize.Read();
}

void CKWDoc::ApplyOptions(const OPTIONSDATA& o)
{
    VisitOptionSettings([&](auto field, auto setting) { this->*setting = o.*field; });
    SettingKeys::TitleFormat.Write(o.TitleFormat);
    SettingKeys::InfoColumnTemplete.Write(o.InfoColumnTemplete);
    SettingKeys::AutoColumnSize.Write(o.AutoColumnSize);
    SettingKeys::NameMaxSize.Write(o.NameMaxSize);
    colViewBackground = o.colBackground;
    colViewText = o.colText;
    ApplyViewColours();
    theSPImapIndex.SetDynamicLoading(o.LoadSelectedPluginsOnly ? 1 : 0);
    theSPImapIndex.SetPluginExtensionCheck(o.JudgeByPluginExtension ? 1 : 0);
    VyxFilexDraw::SetCacheRoot(CacheDataFolder);
    HeldPictureBudget::SetLimit(MemDraw ? HeldPictureBudget::SmallLimit : HeldPictureBudget::LargeLimit);
    m_itemSettings.freePictureAfterMaking = MemDraw;
    m_itemSettings.coverKinds = FolderTitle;
    m_itemSettings.coverSearchCount = FolderTitleSearchCount;
    m_itemSettings.pluginDisplayLimit = DispPluginLimit;
    m_itemSettings.archiveMemberLimit = ArcDispPluginLimit;
    VyxFilexImage::SetItemSettings(m_itemSettings);
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
        UpdateAllViews(nullptr, HintColoursChanged, nullptr);
    if (tree)
        AnnounceTreeSettings();
    if (DocumentHost* host = GetHost())
        host->SetWatchMode(WatchMode::Watching);
    SaveSettings();
}

void CKWDoc::AnnounceTreeSettings()
{
    UpdateAllViews(nullptr, HintSettingsChanged, HintArgument(&TreeRoot));
}

// ---------------------------------------------------------------- layout

void CKWDoc::GetLayout(THUMBSDATA* record)
{
    THUMBSDATA& r = record ? *record : m_ownLayout;
    VisitLayoutSettings([&](auto field, auto setting) { r.*field = this->*setting; });
    r.font = drawFont;
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
    ShowBackColorInFrame();
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
    RefillFramePluginSets();
    GetLayout(nullptr);
}

void CKWDoc::LookUpFolderLayout()
{
    VyxCacheIndex index(CacheDataFolder);
    CString folder = GetFolderPath();
    CString path;
    // A folder location is one look-up: its own entry is the folder's.
    const CString fileName = GetLocationFileName();
    bool found = index.FindConfigFile(path, folder, fileName, true) ||
                 (!fileName.IsEmpty() && index.FindConfigFile(path, folder, L"", true));
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
