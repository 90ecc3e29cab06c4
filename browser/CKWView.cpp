#include "browser/CKWView.h"

#include "browser/CMainFrame.h"
#include "browser/DeferredRepaint.h"
#include "catalogue/FrameMessages.h"
#include "browser/VyxOleDataSource.h"
#include "catalogue/ArchiveMember.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/CVirtualFolder.h"
#include "catalogue/CellSurfaceHolder.h"
#include "catalogue/SteppedPictureLoad.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxFile.h"
#include "catalogue/WatchModeScope.h"
#include "controls/CShellContextMenu.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxUtility.h"
#include "image/DibCore.h"
#include "image/plugins/Spi.h"
#include "res/resource.h"
#include "viewer/CWallPaperDlg.h"

#include <imm.h>

#include <algorithm>
#include <vector>

namespace {

const wchar_t kSection[] = L"KWView";
const UINT kPassStepMessage = 0x7EA;
// The number beside WMU_LASTPICTUREWND in the frame's range of private messages: nothing of the
// program sends it, and the view answers it with 0, doing nothing, so that one sent from outside
// never reaches the default handling.
const UINT kNothingMessage = 0x801;
const DWORD kVisiblePassAllowance = 100;
// The longest one step waits for a cache file being read in the background.
const DWORD kCacheReadWait = 50;
// The progress pane is told at most this often while the whole-list pass runs.
const DWORD kProgressInterval = 250;
// A location's new records made by the passes are written ahead in runs of this many: a run
// of small thumbnails takes tens of ms on its thread, and the close is left no more than one.
INT_PTR s_writeAheadRecords = 2000;
const ULONGLONG kWholeViewLimit = 256ull << 20;

bool KeyDown(int key)
{
    return ::GetKeyState(key) < 0;
}

int MouseFlags(UINT nFlags)
{
    return ((nFlags & MK_SHIFT) ? CKWView::SelectShift : 0) | ((nFlags & MK_CONTROL) ? CKWView::SelectCtrl : 0);
}

bool InputWaiting()
{
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}

// Sets the view's drawing flag for a scope: presses that arrive meanwhile (a plug-in that pumps
// messages while it decodes) fall through to default handling.
class DrawingScope
{
public:
    explicit DrawingScope(bool& flag) : m_flag(flag), m_previous(flag) { flag = true; }
    ~DrawingScope() { m_flag = m_previous; }

private:
    bool& m_flag;
    bool m_previous;
};

} // namespace

IMPLEMENT_DYNCREATE(CKWView, CScrollView)

BEGIN_MESSAGE_MAP(CKWView, CScrollView)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_ERASEBKGND()
ON_WM_VSCROLL()
ON_WM_KEYDOWN()
ON_WM_MOUSEWHEEL()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_MBUTTONDOWN()
ON_WM_MBUTTONUP()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
ON_WM_CONTEXTMENU()
ON_MESSAGE(kPassStepMessage, OnPassStep)
ON_MESSAGE(WMU_THUMBS_PREVPAGE, OnPreviousPage)
ON_MESSAGE(WMU_THUMBS_NEXTPAGE, OnNextPage)
ON_MESSAGE(WMU_THUMBS_LARGER, OnLarger)
ON_MESSAGE(WMU_THUMBS_SMALLER, OnSmaller)
ON_MESSAGE(WMU_THUMBS_COLUMNS, OnColumns)
ON_MESSAGE(kNothingMessage, OnNothing)
ON_COMMAND(ID_PICTURE_SHOW, OnViewPicture)
ON_UPDATE_COMMAND_UI(ID_PICTURE_SHOW, OnUpdateViewPicture)
ON_COMMAND(ID_PICTURE_RELOAD, OnReload)
ON_UPDATE_COMMAND_UI(ID_PICTURE_RELOAD, OnUpdateReload)
ON_COMMAND(ID_OPEN_ASSOCIATED, OnOpenByAssociation)
ON_UPDATE_COMMAND_UI(ID_OPEN_ASSOCIATED, OnUpdateCursorItem)
ON_COMMAND(ID_ACTIVATE_CURSOR, OnActivateCursor)
ON_COMMAND(ID_PICTURE_WINDOW, OnPictureWindow)
ON_UPDATE_COMMAND_UI(ID_PICTURE_WINDOW, OnUpdateCursorItem)
ON_COMMAND(ID_REFRESH_FOLDER, OnRefresh)
ON_COMMAND(ID_THUMB_WALLPAPER, OnWallpaper)
ON_UPDATE_COMMAND_UI(ID_THUMB_WALLPAPER, OnUpdateCursorItem)
ON_COMMAND(ID_THUMB_FULLSCREEN, OnFullScreen)
ON_UPDATE_COMMAND_UI(ID_THUMB_FULLSCREEN, OnUpdateCursorItem)
END_MESSAGE_MAP()

std::function<void(const CString&)> CKWView::ShellOpen;
DWORD CKWView::s_stepAllowance = CKWView::DefaultStepAllowance;

CKWView::CKWView() : m_background(::GetSysColor(COLOR_BTNFACE))
{
    m_syncFileCount = GetAppIniInt(kSection, L"SyncFileCount", 200);
}

CKWView::~CKWView() {}

CKWDoc* CKWView::GetDocument() const
{
    return DYNAMIC_DOWNCAST(CKWDoc, m_pDocument);
}

CMainFrame* CKWView::GetMainFrame() const
{
    return DYNAMIC_DOWNCAST(CMainFrame, GetParentFrame());
}

void CKWView::Announce(LPARAM lHint, CObject* pHint, CView* pSender)
{
    if (CKWDoc* doc = GetDocument())
        doc->UpdateAllViews(pSender, lHint, pHint);
}

// ---------------------------------------------------------------- creation and settings

BOOL CKWView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_TABSTOP;
    return CScrollView::PreCreateWindow(cs);
}

int CKWView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CScrollView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_dropTarget.Register(this);
    ::ImmAssociateContext(m_hWnd, nullptr);
    return 0;
}

void CKWView::ReadBackground()
{
    m_background = static_cast<COLORREF>(
        GetAppIniHexInt(kSection, L"colBackground", static_cast<int>(::GetSysColor(COLOR_BTNFACE))));
}

void CKWView::WriteSettings()
{
    CRect window;
    GetWindowRect(&window);
    CString text;
    text.Format(L"%d,%d,%d,%d", window.left, window.top, window.Width(), window.Height());
    WriteAppIniString(kSection, L"Window", text);
    WriteAppIniHexInt(kSection, L"colBackground", static_cast<int>(m_background));
}

void CKWView::OnInitialUpdate()
{
    ReadBackground();
    m_position = 0;
    Relayout();
    m_initialised = true;
    m_unitTotal = m_unitPage = m_unitLine = CSize(0, 0);
    ApplyScrollSizes();
    RestartVisiblePasses();
    RestartWholeListPass();
}

void CKWView::SetBackColor(COLORREF colour)
{
    if (colour == m_background)
        return;
    m_background = colour;
    RebuildSurfaces();
    if (m_hWnd)
        Invalidate(FALSE);
}

BOOL CKWView::DestroyWindow()
{
    m_passState = PassNone;
    SteppedPictureLoad::Abort();
    return CScrollView::DestroyWindow();
}

void CKWView::OnDestroy()
{
    WriteSettings();
    m_passState = PassNone;
    FreeSurfaces();
    CScrollView::OnDestroy();
}

BOOL CKWView::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

// ---------------------------------------------------------------- layout

int CKWView::Relayout()
{
    CRect client;
    GetClientRect(&client);
    CKWDoc* doc = GetDocument();
    const CSize cell = doc ? doc->GetThumbsSize() : CSize(0, 0);
    const int count = doc ? doc->GetItemCount() : 0;
    const int mask = m_layout.Update(client.Size(), cell, count);
    if (mask != 0 && m_initialised)
        ApplyScrollSizes();
    // The kept cells follow the cells one screen shows, with a row more for scrolling.
    if (m_layout.HasCells()) {
        const size_t rows = static_cast<size_t>(m_layout.GetClient().cy / cell.cy + 2);
        CellSurfaceHolder::SetLimitForCells(rows * static_cast<size_t>(m_layout.GetColumns()), cell);
    }
    return mask;
}

void CKWView::ApplyScrollSizes()
{
    if (!m_hWnd)
        return;
    const double scale = m_layout.GetScale();
    const CSize client = m_layout.GetClient(), cell = m_layout.GetCell();
    const CSize page = m_layout.GetPage(), total = m_layout.GetTotal();
    auto units = [scale](int pixels) { return static_cast<int>(pixels / scale); };
    const CSize line(units(std::min(cell.cx, client.cx)), units(std::min(cell.cy, client.cy)));
    const CSize unitPage(units(page.cx), units(page.cy));
    const CSize unitTotal(units(total.cx), units(total.cy));
    if (line != m_unitLine || unitPage != m_unitPage || unitTotal != m_unitTotal) {
        m_unitLine = line;
        m_unitPage = unitPage;
        m_unitTotal = unitTotal;
        SetScrollSizes(MM_TEXT, unitTotal, unitPage, line);
        if (scale > 1.0) {
            SCROLLINFO info = {};
            info.cbSize = sizeof(info);
            info.fMask = SIF_PAGE;
            info.nPage = static_cast<UINT>(unitPage.cy);
            SetScrollInfo(SB_VERT, &info, TRUE);
        }
    }
    m_position = m_layout.ClampPosition(m_position);
    // Setting the bar draws it, a themed bar at some cost: only a position that moved is set.
    const int unitPosition = m_layout.ToUnits(m_position);
    if (GetScrollPos(SB_VERT) != unitPosition)
        SetScrollPos(SB_VERT, unitPosition);
}

CPoint CKWView::GetScrollOffset() const
{
    return CPoint(m_layout.ToPixels(GetScrollPos(SB_HORZ)), m_position);
}

// ---------------------------------------------------------------- off-screen surfaces

void CKWView::FreeSurfaces()
{
    m_wholeView.reset();
    m_drawnFlags.clear();
}

void CKWView::RebuildSurfaces()
{
    FreeSurfaces();
    // Every kept cell may show a layout that is gone.
    CellSurfaceHolder::ReleaseAll();
    CKWDoc* doc = GetDocument();
    if (!doc || doc->MemDraw || m_layout.GetScale() != 1.0)
        return;
    const CSize client = m_layout.GetClient(), total = m_layout.GetTotal();
    const CSize size(std::max(client.cx, total.cx), std::max(client.cy, total.cy));
    MEMORYSTATUSEX memory = {};
    memory.dwLength = sizeof(memory);
    if (!::GlobalMemoryStatusEx(&memory))
        return;
    // The memory rule refuses the bitmap rather than trying it; whatever the machine holds, the
    // bitmap must also leave the 32-bit process room for everything else.
    const ULONGLONG allowed = memory.ullTotalPhys / 100 * static_cast<ULONGLONG>(std::max(doc->OverMem, 0));
    const ULONGLONG needed = static_cast<ULONGLONG>(total.cx) * static_cast<ULONGLONG>(total.cy) * 3;
    if (allowed <= needed || needed > kWholeViewLimit)
        return;
    auto surface = std::make_unique<CDibSection>();
    if (!surface->Recreate(nullptr, size.cx, size.cy, 24, m_background))
        return;
    surface->Fill(nullptr, m_background);
    m_wholeView = std::move(surface);
    m_drawnFlags.assign(static_cast<size_t>(std::max(doc->GetItemCount(), 0)), 0);
}

BYTE CKWView::GetDrawnFlags(int index) const
{
    return index >= 0 && index < static_cast<int>(m_drawnFlags.size()) ? m_drawnFlags[index] : 0;
}

void CKWView::MarkDrawn(int index, BYTE flags)
{
    if (index >= 0 && index < static_cast<int>(m_drawnFlags.size()))
        m_drawnFlags[index] |= flags;
}

// ---------------------------------------------------------------- painting

void CKWView::OnDraw(CDC* pDC)
{
    // The program's window comes to the front once, when its grid first shows.
    static bool s_firstPaint = true;
    if (s_firstPaint) {
        s_firstPaint = false;
        if (CWnd* top = GetTopLevelParent())
            top->SetForegroundWindow();
    }
    // The base shifted the origin by the scroll bars' units; the view works in pixels itself.
    pDC->SetViewportOrg(0, 0);
    const int mask = Relayout();
    if (mask & (ThumbGridLayout::ChangedClient | ThumbGridLayout::ChangedTotal))
        RebuildSurfaces();
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty())
        return;
    RestartVisiblePasses();
    const CPoint offset = GetScrollOffset();
    if (!m_wholeView) {
        if (m_clientSurface.Create24(pDC, client.Width(), client.Height(), m_background)) {
            m_clientSurface.Fill(nullptr, m_background);
            RunPassStep(m_clientSurface.GetMemDC(), offset);
            m_clientSurface.Draw(pDC, 0, 0, SRCCOPY);
        } else {
            pDC->FillSolidRect(&client, m_background);
            RunPassStep(pDC, offset);
        }
        return;
    }
    CKWDoc* doc = GetDocument();
    const int count = doc ? doc->GetItemCount() : 0;
    const int first = m_layout.GetFirstIndexAt(m_position);
    const int last = std::min(
        count, m_layout.GetColumns() * ((m_position + client.Height()) / std::max<int>(m_layout.GetCell().cy, 1) + 1));
    bool missing = false;
    for (int i = first; i < last && !missing; ++i)
        missing = (GetDrawnFlags(i) & (DrawnVisible | DrawnLater)) == 0;
    if (missing)
        RunPassStep(pDC, offset);
    else
        m_passState = PassSecond;
    m_wholeView->DrawRect(pDC, 0, 0, client.Width(), client.Height(), offset.x, offset.y, SRCCOPY);
}

// ---------------------------------------------------------------- passes

CKWView::PassCursor CKWView::FirstVisibleCursor() const
{
    PassCursor cursor;
    cursor.index = m_layout.GetFirstIndexAt(m_position);
    cursor.y = m_layout.GetCellOrigin(cursor.index).y;
    return cursor;
}

void CKWView::RestartVisiblePasses()
{
    m_passCursors[PassVisible] = m_passCursors[PassSecond] = FirstVisibleCursor();
    m_passState = PassVisible;
    if (CMainFrame* frame = GetMainFrame()) {
        frame->SendMessage(WMU_STATUSTEXT, 3, reinterpret_cast<LPARAM>(L""));
        frame->SetWorkFlag(WorkVisibleThumbs, TRUE);
    }
}

void CKWView::RestartWholeListPass()
{
    m_passCursors[PassAll] = PassCursor();
    m_readAheadUntil = 0;
    m_progressShown = 0;
    m_progressTick = ::GetTickCount();
    if (CMainFrame* frame = GetMainFrame()) {
        frame->SendMessage(WMU_STATUSTEXT, 3, reinterpret_cast<LPARAM>(L""));
        frame->SendMessage(WMU_PROGRESS, 3, 0);
    }
}

void CKWView::Advance(PassCursor& cursor) const
{
    const CSize cell = m_layout.GetCell();
    ++cursor.index;
    cursor.x += cell.cx;
    if (cursor.x + cell.cx > m_layout.GetColumns() * cell.cx) {
        cursor.x = 0;
        cursor.y += cell.cy;
    }
}

int CKWView::RunPassStep(CDC* target, CPoint offset)
{
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty())
        return StepNoClient;
    if (!m_layout.HasCells() || !GetDocument())
        m_passState = PassNone;
    SteppedPictureLoad::Allowance allowance(s_stepAllowance);
    // The cells a pass draws next: the screen from the pass's place on; the whole list a screen's
    // worth of items at a time.
    const int height = std::max<int>(m_layout.GetCell().cy, 1);
    if (m_passState == PassVisible || m_passState == PassSecond) {
        ReadCacheAhead(m_passCursors[m_passState].index,
                       m_layout.GetColumns() * ((offset.y + client.Height()) / height + 1));
        m_readAheadUntil = 0;
    } else if (m_passState == PassAll) {
        const int from = m_passCursors[PassAll].index;
        const int screen = m_layout.GetColumns() * (client.Height() / height + 2);
        if (from >= m_readAheadUntil || from < m_readAheadUntil - screen) {
            m_readAheadUntil = from + screen;
            ReadCacheAhead(from, m_readAheadUntil);
        }
    }
    int result = StepDone;
    switch (m_passState) {
    case PassVisible:
        result = RunVisiblePass(target, offset);
        break;
    case PassSecond:
        result = RunSecondPass(target, offset);
        break;
    case PassAll:
        result = RunWholeListPass();
        break;
    default:
        break;
    }
    // No pass waits for a load any more: whatever it holds goes.
    if (result == StepDone)
        SteppedPictureLoad::Abort();
    return result;
}

void CKWView::ReadCacheAhead(int first, int last)
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return;
    last = std::min(last, doc->GetItemCount());
    std::vector<VyxFilexDraw*> items;
    for (int i = std::max(first, 0); i < last; ++i)
        if (VyxFile* item = doc->GetItem(i); item && item->WillLookUpCache())
            items.push_back(item);
    if (!items.empty())
        theCacheList.ReadAhead(items);
}

void CKWView::DrawItemCell(VyxFile* item, int index, CPoint cell, CDC* target, CPoint offset, int mode, BYTE drawnFlag)
{
    CKWDoc* doc = GetDocument();
    const CSize size = m_layout.GetCell();
    const bool cursor = doc && doc->IsCursorIndex(index);
    DrawingScope drawing(m_drawing);
    item->SetPosition(cell);
    if (target) {
        const CPoint at = cell - offset;
        if (mode == VyxFilexDraw::PictureHeld)
            item->Draw(target, at.x, at.y, size.cx, size.cy, mode);
        else
            item->DrawCell(target, at.x, at.y, size.cx, size.cy, mode);
        if (cursor)
            item->DrawCursor(target, at.x, at.y);
    }
    if (m_wholeView) {
        // The cell just drawn is kept: the whole-view bitmap takes a copy of it.
        CDC* whole = m_wholeView->GetMemDC();
        if (target)
            item->Draw(whole, cell.x, cell.y, size.cx, size.cy, mode);
        else
            item->DrawCell(whole, cell.x, cell.y, size.cx, size.cy, mode);
        if (cursor)
            item->DrawCursor(whole, cell.x, cell.y);
        MarkDrawn(index, static_cast<BYTE>(drawnFlag | DrawnAny));
    }
}

int CKWView::RunVisiblePass(CDC* target, CPoint offset)
{
    CKWDoc* doc = GetDocument();
    const int count = doc->GetItemCount();
    const int top = offset.y, bottom = offset.y + m_layout.GetClient().cy;
    const int height = m_layout.GetCell().cy;
    const bool yields = doc->MemDraw;
    const DWORD start = ::GetTickCount();
    PassCursor& cursor = m_passCursors[PassVisible];
    for (;;) {
        if (cursor.index >= count || cursor.y >= bottom)
            break;
        if (VyxFile* item = doc->GetItem(cursor.index)) {
            if (item->GetDrawState() != VyxFilexDraw::DrawIdle)
                return StepMore;
            if (cursor.y + height > top)
                DrawItemCell(item, cursor.index, CPoint(cursor.x, cursor.y), target, offset, VyxFilexDraw::PictureHeld,
                             DrawnVisible);
        }
        Advance(cursor);
        if (yields && ::GetTickCount() - start > kVisiblePassAllowance && InputWaiting())
            return StepMore;
    }
    m_passState = PassSecond;
    return StepHandedOver;
}

int CKWView::RunSecondPass(CDC* target, CPoint offset)
{
    CKWDoc* doc = GetDocument();
    const int count = doc->GetItemCount();
    const int top = offset.y, bottom = offset.y + m_layout.GetClient().cy;
    const int height = m_layout.GetCell().cy;
    PassCursor& cursor = m_passCursors[PassSecond];
    for (;;) {
        if (cursor.index >= count || cursor.y >= bottom)
            break;
        if (VyxFile* item = doc->GetItem(cursor.index)) {
            if (item->GetDrawState() != VyxFilexDraw::DrawIdle)
                return StepMore;
            if (cursor.y + height / 2 >= top) {
                DrawItemCell(item, cursor.index, CPoint(cursor.x, cursor.y), target, offset, VyxFilexDraw::PictureMade,
                             DrawnLater);
                // Its picture gave way, or its cache is still being read: the same item again at
                // the next step.
                if (SteppedPictureLoad::IsPendingFor(*item) || WaitForCache(*item))
                    return StepMore;
                Announce(HintItemChanged, HintValue(cursor.index), this);
                if (!StoreMadeThumbnail(*item))
                    return StepMore;
            }
        }
        Advance(cursor);
        if (InputWaiting() || SteppedPictureLoad::Allowance::IsSpent())
            return StepMore;
    }
    if (doc->ThumbsCreate) {
        m_passState = PassAll;
        return StepHandedOver;
    }
    m_passState = PassNone;
    return StepDone;
}

int CKWView::RunWholeListPass()
{
    CKWDoc* doc = GetDocument();
    const int count = doc->GetItemCount();
    PassCursor& cursor = m_passCursors[PassAll];
    VyxFile* item = nullptr;
    while (cursor.index < count && !(item = doc->GetItem(cursor.index)))
        Advance(cursor);
    if (!item) {
        if (count > 0)
            ReportProgress(static_cast<int>(static_cast<long long>(cursor.index) * 100 / count), true);
        m_passState = PassNone;
        return StepDone;
    }
    if (item->GetDrawState() != VyxFilexDraw::DrawIdle)
        return StepMore;
    const CSize size = m_layout.GetCell();
    if (m_wholeView) {
        DrawItemCell(item, cursor.index, CPoint(cursor.x, cursor.y), nullptr, CPoint(0, 0), VyxFilexDraw::PictureMade,
                     DrawnLater);
    } else {
        // Nothing shows: the thumbnail is made and kept for when its cell is drawn.
        DrawingScope drawing(m_drawing);
        item->SetPosition(CPoint(cursor.x, cursor.y));
        item->RenderCell(size.cx, size.cy, VyxFilexDraw::PictureMade);
    }
    if (SteppedPictureLoad::IsPendingFor(*item) || WaitForCache(*item))
        return StepMore;
    if (item->IsThumbnailNew())
        Announce(HintItemChanged, HintValue(cursor.index), this);
    if (!StoreMadeThumbnail(*item))
        return StepMore;
    Advance(cursor);
    ReportProgress(static_cast<int>(static_cast<long long>(cursor.index) * 100 / count), cursor.index >= count);
    return StepMore;
}

void CKWView::SetWriteAheadRecords(INT_PTR records)
{
    s_writeAheadRecords = records;
}

bool CKWView::StoreMadeThumbnail(VyxFile& item)
{
    // Stored as it is made, not all at once when the many thumbnails the passes hold are let go at
    // the close or the leaving.
    if (!item.GetAutoCache() || item.IsCached() || !item.HasThumbnail())
        return true;
    // Not while a cache file is read or the location's own is written: the step would wait for it.
    if (theCacheList.IsReading() || theCacheList.IsWritingOf(item.GetResolvedFolder(), item.GetArchiveFileName())) {
        theCacheList.WaitForReading(kCacheReadWait);
        return false;
    }
    if (item.StoreCache() == 0)
        theCacheList.WriteAheadInBackground(&item, s_writeAheadRecords);
    return true;
}

bool CKWView::WaitForCache(const VyxFile& item)
{
    if (!item.IsWaitingForCache())
        return false;
    // A while at most, and less when the user does something: the next step asks again.
    theCacheList.WaitForReading(kCacheReadWait);
    return true;
}

void CKWView::ReportProgress(int percent, bool last)
{
    // A message a picture would cost more than small pictures' making: a few a second suffice.
    const DWORD now = ::GetTickCount();
    if (percent == m_progressShown || (!last && now - m_progressTick < kProgressInterval))
        return;
    m_progressShown = percent;
    m_progressTick = now;
    if (CMainFrame* frame = GetMainFrame())
        frame->SendMessage(WMU_PROGRESS, 3, static_cast<LPARAM>(percent));
}

void CKWView::IdleStep()
{
    CKWDoc* doc = GetDocument();
    CMainFrame* frame = GetMainFrame();
    if (!doc || !frame)
        return;
    if (doc->IsUpdating()) {
        frame->SetWorkFlag(WorkVisibleThumbs, TRUE);
        return;
    }
    frame->SetWorkFlag(WorkVisibleThumbs | WorkAllThumbs, FALSE);
    if (m_passState == PassNone || !m_hWnd)
        return;
    int result;
    if (m_passState == PassAll) {
        // Nothing of this pass goes to the screen: no device context is taken.
        result = RunPassStep(nullptr, GetScrollOffset());
    } else {
        CClientDC dc(this);
        result = RunPassStep(&dc, GetScrollOffset());
    }
    if (result != StepMore && result != StepHandedOver)
        return;
    frame->SetWorkFlag(m_passState == PassAll ? WorkAllThumbs : WorkVisibleThumbs, TRUE);
}

LRESULT CKWView::OnPassStep(WPARAM, LPARAM)
{
    CKWDoc* doc = GetDocument();
    if (!doc || doc->IsUpdating())
        return StepNoClient;
    CClientDC dc(this);
    return RunPassStep(&dc, GetScrollOffset());
}

void CKWView::RedrawCell(int index)
{
    CKWDoc* doc = GetDocument();
    VyxFile* item = doc ? doc->GetItem(index) : nullptr;
    if (!item || !m_hWnd || !m_layout.HasCells())
        return;
    const CSize size = m_layout.GetCell();
    const CPoint cell = m_layout.GetCellOrigin(index);
    const CPoint offset = GetScrollOffset();
    CRect client;
    GetClientRect(&client);
    CRect shown(CPoint(cell - offset), size);
    const bool visible = CRect().IntersectRect(&shown, &client) != FALSE;
    if (visible) {
        CClientDC dc(this);
        DrawItemCell(item, index, cell, &dc, offset, VyxFilexDraw::PictureMade, DrawnLater);
    } else if (m_wholeView) {
        DrawItemCell(item, index, cell, nullptr, offset, VyxFilexDraw::PictureMade, DrawnLater);
    } else {
        // Not drawn now: the kept copy of the cell must not show the old state later.
        item->ReleaseKeptCell();
    }
}

// ---------------------------------------------------------------- scrolling

bool CKWView::SetPosition(int position)
{
    position = m_layout.ClampPosition(position);
    if (position == m_position)
        return false;
    m_position = position;
    if (m_hWnd)
        SetScrollPos(SB_VERT, m_layout.ToUnits(m_position));
    return true;
}

void CKWView::AnnounceTopItem()
{
    CKWDoc* doc = GetDocument();
    if (doc && doc->SyncJump)
        Announce(HintScrolled, HintValue(m_layout.GetFirstIndexAt(m_position)), this);
}

void CKWView::ScrollTo(int position)
{
    if (!SetPosition(position))
        return;
    AnnounceTopItem();
    Invalidate(FALSE);
}

bool CKWView::EnsureVisible(int index)
{
    if (!m_layout.HasCells() || index < 0)
        return false;
    const CPoint cell = m_layout.GetCellOrigin(index);
    const CSize size = m_layout.GetCell(), client = m_layout.GetClient();
    bool scrolled = false;
    if (m_layout.NeedsVertical()) {
        if (cell.y < m_position)
            scrolled = SetPosition(cell.y);
        else if (cell.y + size.cy > m_position + client.cy)
            scrolled = SetPosition(std::min<int>(cell.y + size.cy - client.cy, m_layout.GetMaxPosition()));
    }
    if (m_layout.GetScrollNeeds() & ThumbGridLayout::NeedHorizontal) {
        const int x = GetScrollOffset().x;
        if (cell.x < x || cell.x + size.cx > x + client.cx) {
            SetScrollPos(SB_HORZ, m_layout.ToUnits(cell.x));
            scrolled = true;
        }
    }
    return scrolled;
}

void CKWView::OnVScroll(UINT nSBCode, UINT, CScrollBar*)
{
    if (!m_layout.NeedsVertical())
        return;
    const int height = m_layout.GetCell().cy;
    const bool shift = KeyDown(VK_SHIFT);
    int position = m_position;
    switch (nSBCode) {
    case SB_LINEUP:
        position -= shift ? 1 : height;
        break;
    case SB_LINEDOWN:
        position += shift ? 1 : height;
        break;
    case SB_PAGEUP:
    case SB_PAGEDOWN:
        position += nSBCode == SB_PAGEUP ? -m_layout.GetPage().cy : m_layout.GetPage().cy;
        if (shift && height > 0)
            position = position / height * height;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The 32-bit track position, not the 16-bit one of the message.
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(SB_VERT, &info, SIF_TRACKPOS);
        position = m_layout.ToPixels(info.nTrackPos);
        break;
    }
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = m_layout.GetTotal().cy;
        break;
    default:
        return;
    }
    ScrollTo(position);
}

BOOL CKWView::OnMouseWheel(UINT, short zDelta, CPoint)
{
    CKWDoc* doc = GetDocument();
    if (!doc || !m_layout.NeedsVertical())
        return FALSE;
    UINT lines = static_cast<UINT>(doc->WheelScrollCount);
    if (lines == 0)
        ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    int distance;
    if (lines == WHEEL_PAGESCROLL)
        distance = zDelta > 0 ? m_layout.GetPage().cy : -m_layout.GetPage().cy;
    else
        distance = ::MulDiv(zDelta, static_cast<int>(lines), WHEEL_DELTA) * m_layout.GetCell().cy;
    ScrollTo(m_position - distance);
    return TRUE;
}

LRESULT CKWView::OnPreviousPage(WPARAM, LPARAM)
{
    CKWDoc* doc = GetDocument();
    const int height = m_layout.GetCell().cy;
    if (!doc || !m_layout.NeedsVertical() || m_position < 1 || height <= 0)
        return 0;
    const int position = std::max<int>(0, m_position - m_layout.GetPage().cy);
    const int cursor =
        (m_cursor >= 0 ? m_cursor : doc->GetCursorIndex()) - m_layout.GetColumns() * ((m_position - position) / height);
    ScrollTo(position);
    if (cursor >= 0) {
        m_cursor = cursor;
        doc->SetCursorIndex(cursor, nullptr);
    }
    return 0;
}

LRESULT CKWView::OnNextPage(WPARAM, LPARAM)
{
    CKWDoc* doc = GetDocument();
    const int height = m_layout.GetCell().cy;
    const int last = m_layout.GetMaxPosition();
    if (!doc || m_position >= last || height <= 0)
        return 0;
    const int position = std::min<int>(m_position + m_layout.GetPage().cy, last);
    const int cursor =
        (m_cursor >= 0 ? m_cursor : doc->GetCursorIndex()) + m_layout.GetColumns() * ((position - m_position) / height);
    ScrollTo(position);
    if (cursor < doc->GetItemCount()) {
        m_cursor = cursor;
        doc->SetCursorIndex(cursor, nullptr);
    }
    return 0;
}

// ---------------------------------------------------------------- thumbnail size

void CKWView::SetThumbnailSize(int width, int height)
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return;
    CRect client;
    GetClientRect(&client);
    width = std::max(std::min(width, client.Width()), static_cast<int>(doc->ThumbsLimitSize.cx));
    height = std::max(std::min(height, client.Height()), static_cast<int>(doc->ThumbsLimitSize.cy));
    doc->SetThumbsSize(width, height);
    doc->GetLayout(nullptr);
    SendMessage(WM_COMMAND, ID_THUMBS_REMAKE);
    Invalidate(FALSE);
}

LRESULT CKWView::OnLarger(WPARAM, LPARAM)
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return 0;
    const CSize size = doc->GetThumbsSize();
    const int width = size.cx + doc->GetScaleStep();
    SetThumbnailSize(width, size.cx > 0 ? ::MulDiv(width, size.cy, size.cx) : size.cy);
    return 0;
}

LRESULT CKWView::OnSmaller(WPARAM, LPARAM)
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return 0;
    const CSize size = doc->GetThumbsSize();
    const int width = size.cx - doc->GetScaleStep();
    SetThumbnailSize(width, size.cx > 0 ? ::MulDiv(width, size.cy, size.cx) : size.cy);
    return 0;
}

void CKWView::FitColumns(int columns)
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return;
    if (columns == 0) {
        const CSize size = doc->GetDefaultThumbsSize();
        SetThumbnailSize(size.cx, size.cy);
        return;
    }
    CRect client;
    GetClientRect(&client);
    // An empty client area has no columns to fit.
    if (client.Width() < 1 || client.Height() < 1)
        return;
    columns = std::min(std::max(columns, 1), client.Width());
    const int width = client.Width() / columns;
    const CSize fallback = doc->GetDefaultThumbsSize();
    long long rowHeight = fallback.cx < 1 ? width : static_cast<long long>(width) * fallback.cy / fallback.cx;
    // A ratio that rounds a row to nothing counts one pixel, never a division by zero.
    rowHeight = std::max(rowHeight, 1LL);
    const int rows = static_cast<int>(client.Height() / rowHeight);
    SetThumbnailSize(width, rows >= 1 ? client.Height() / rows : client.Height());
}

LRESULT CKWView::OnColumns(WPARAM wParam, LPARAM)
{
    FitColumns(static_cast<int>(wParam));
    return 0;
}

LRESULT CKWView::OnNothing(WPARAM, LPARAM)
{
    return 0;
}

// ---------------------------------------------------------------- selection

int CKWView::HitTestClient(CPoint clientPoint) const
{
    CKWDoc* doc = GetDocument();
    return doc ? m_layout.IndexAt(clientPoint + GetScrollOffset(), doc->GetItemCount()) : -1;
}

void CKWView::SelectRange(int from, int to, bool select)
{
    CKWDoc* doc = GetDocument();
    for (int i = std::min(from, to); i <= std::max(from, to); ++i) {
        VyxFile* item = doc->GetItem(i);
        if (item && item->TestFlags(VyxFilexDraw::FlagSelected) != select)
            doc->SelectItem(i, select, nullptr);
    }
}

void CKWView::SelectOnly(int index)
{
    CKWDoc* doc = GetDocument();
    doc->DeselectAll();
    doc->SelectItem(index, true, nullptr);
}

void CKWView::ClickSelect(int index, int flags, CPoint viewPoint)
{
    CKWDoc* doc = GetDocument();
    VyxFile* item = doc ? doc->GetItem(index) : nullptr;
    if (!item)
        return;
    // Inside the cell but off its name, a click toggles as with Ctrl.
    if (item->HitTest(viewPoint.x, viewPoint.y) != 0)
        flags |= SelectCtrl;
    if (flags & SelectShift) {
        VyxFile* anchorItem = doc->GetItem(m_anchor);
        const bool state = anchorItem ? anchorItem->TestFlags(VyxFilexDraw::FlagSelected) : true;
        if (!(flags & SelectCtrl))
            doc->DeselectAll();
        SelectRange(anchorItem ? m_anchor : index, index, state);
    } else if (flags & SelectCtrl) {
        doc->SelectItem(index, !item->TestFlags(VyxFilexDraw::FlagSelected), nullptr);
    } else if (item->TestFlags(VyxFilexDraw::FlagSelected)) {
        m_pending = true;
    } else {
        SelectOnly(index);
    }
    m_cursor = m_anchor = index;
    doc->SetCursorIndex(index, nullptr);
}

// ---------------------------------------------------------------- mouse

void CKWView::PressItem(UINT nFlags, CPoint point, int flags, int captureMode, bool keepChosen)
{
    const int index = m_drawing ? -1 : HitTestClient(point);
    if (index < 0) {
        Default();
        return;
    }
    CKWDoc* doc = GetDocument();
    VyxFile* item = doc->GetItem(index);
    if (keepChosen && item && item->TestFlags(VyxFilexDraw::FlagSelected)) {
        // The menu (or a drag) acts on the whole choice: nothing of it changes, whatever part
        // of the cell was pressed or key held.
        m_cursor = m_anchor = index;
        doc->SetCursorIndex(index, nullptr);
    } else {
        ClickSelect(index, MouseFlags(nFlags) | flags, point + GetScrollOffset());
    }
    if (captureMode) {
        m_captureMode = captureMode;
        SetCapture();
    }
}

void CKWView::EndCapture()
{
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    m_captureMode = 0;
}

void CKWView::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_buttons |= ButtonLeft;
    if (m_buttons & ButtonRight)
        m_shellMenuChord = true;
    else
        PressItem(nFlags, point, 0, 1);
}

void CKWView::OnLButtonUp(UINT, CPoint)
{
    EndCapture();
    CKWDoc* doc = GetDocument();
    if (m_pending && !m_shellMenuChord && doc && doc->GetItem(m_cursor))
        SelectOnly(m_cursor);
    m_pending = false;
    m_buttons &= ~(ButtonLeft | ButtonLeftDouble);
}

void CKWView::OnLButtonDblClk(UINT, CPoint point)
{
    m_buttons |= ButtonLeftDouble;
    const int index = HitTestClient(point);
    if (index < 0)
        return;
    m_cursor = index;
    // The activated item is the document's cursor too: its frame, and no other, shows.
    if (CKWDoc* doc = GetDocument())
        doc->SetCursorIndex(index, nullptr);
    Announce(HintItemActivated, HintValue(index), nullptr);
}

void CKWView::OnMButtonDown(UINT nFlags, CPoint point)
{
    m_buttons |= ButtonMiddle;
    PressItem(nFlags, point, SelectShift, 0);
}

void CKWView::OnMButtonUp(UINT, CPoint)
{
    m_buttons &= ~ButtonMiddle;
    Default();
}

void CKWView::OnRButtonDown(UINT nFlags, CPoint point)
{
    m_buttons |= ButtonRight;
    PressItem(nFlags, point, 0, 2, true);
}

void CKWView::OnRButtonUp(UINT, CPoint)
{
    EndCapture();
    m_buttons &= ~ButtonRight;
    // The default handling turns the release into the context-menu request.
    Default();
}

void CKWView::OnMouseMove(UINT nFlags, CPoint point)
{
    const int index = HitTestClient(point);
    if (m_captureMode != 0) {
        if (index != m_cursor) {
            if (StartDrag(nFlags, point) == DROPEFFECT_NONE)
                m_cursor = index;
            EndCapture();
            m_buttons &= ~(ButtonLeft | ButtonMiddle | ButtonRight | ButtonLeftDouble);
            m_pending = false;
        }
        return;
    }
    CKWDoc* doc = GetDocument();
    VyxFile* item = doc && index >= 0 ? doc->GetItem(index) : nullptr;
    const CPoint viewPoint = point + GetScrollOffset();
    const bool toggles = (nFlags & MK_CONTROL) || (item && item->HitTest(viewPoint.x, viewPoint.y) != 0);
    static HCURSOR s_arrow = ::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_PICTURE_ARROW));
    static HCURSOR s_toggle = ::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_VIEW_TOGGLE));
    m_pointerCursor = toggles ? s_toggle : s_arrow;
    if (m_pointerCursor)
        ::SetCursor(m_pointerCursor);
}

BOOL CKWView::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest == HTCLIENT && m_pointerCursor) {
        ::SetCursor(m_pointerCursor);
        return TRUE;
    }
    return CScrollView::OnSetCursor(pWnd, nHitTest, message);
}

DROPEFFECT CKWView::StartDrag(UINT, CPoint point)
{
    return VyxOleDataSource::StartViewDrag(GetDocument(), point);
}

// ---------------------------------------------------------------- drop target

CString CKWView::DropFolderAt(CPoint clientPoint) const
{
    CKWDoc* doc = GetDocument();
    const int index = HitTestClient(clientPoint);
    return VyxDropTarget::TargetFolder(doc, doc && index >= 0 ? doc->GetItem(index) : nullptr);
}

DROPEFFECT CKWView::OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    return m_drop.ViewDragEnter(GetDocument(), pDataObject, dwKeyState, DropFolderAt(point));
}

DROPEFFECT CKWView::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    return VyxDropTarget::ViewDragOver(GetDocument(), pDataObject, dwKeyState, DropFolderAt(point));
}

void CKWView::OnDragLeave()
{
    m_drop.Leave();
}

DROPEFFECT CKWView::OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList, CPoint point)
{
    return m_drop.ViewDropEx(this, pDataObject, dropDefault, dropList, point, DropFolderAt(point));
}

// ---------------------------------------------------------------- context menus

void CKWView::OnContextMenu(CWnd*, CPoint point)
{
    if (point.x == -1 && point.y == -1) {
        point = CPoint(5, 5);
        ClientToScreen(&point);
    }
    const bool shell = (KeyDown(VK_CONTROL) && KeyDown(VK_SHIFT)) || m_shellMenuChord;
    m_shellMenuChord = false;
    if (shell)
        ShowShellMenu(point);
    else
        ShowItemMenu(point);
}

void CKWView::ShowShellMenu(CPoint screenPoint)
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return;
    CStringArray paths;
    bool anyFile = false;
    for (VyxFile* item : doc->SelectedItems(SelectedFilter::OnDisk)) {
        paths.Add(item->GetPath());
        anyFile = anyFile || !item->IsFolder();
    }
    if (!anyFile)
        return;
    CMainFrame* frame = GetMainFrame();
    UINT command = 0;
    {
        // The watchers come back once the menu has done its work: while they rest, every change
        // the shell made (a deletion, a rename) would go unseen.
        WatchModeScope watch(frame, WatchMode::ForcedPaused);
        CShellContextMenu menu;
        menu.SetObjects(paths);
        command = menu.ShowContextMenu(this, screenPoint);
    }
    if (frame && command)
        frame->PostMessage(WM_COMMAND, command);
}

void CKWView::ShowItemMenu(CPoint screenPoint)
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return;
    const int selected = doc->GetSelectedCount(true);
    CMenu menu;
    if (selected <= 1) {
        if (!menu.LoadMenu(IDR_THUMB_ITEM_MENU))
            return;
        CMenu* popup = menu.GetSubMenu(0);
        const int cursor = doc->GetCursorIndex();
        if (VyxFile* item = doc->GetItem(cursor)) {
            SelectOnly(cursor);
            m_cursor = m_anchor = cursor;
            CString text;
            text.Format(L"%s を開く", static_cast<LPCWSTR>(MenuName(item->GetFileName())));
            popup->InsertMenu(0, MF_BYPOSITION | MF_STRING, ID_OPEN_ASSOCIATED, text);
            popup->InsertMenu(1, MF_BYPOSITION | MF_SEPARATOR);
        }
        m_appCall.InsertApplicationsMenu(*popup, 2);
        TrackAndPost(*popup, screenPoint);
        return;
    }
    if (!menu.LoadMenu(IDR_THUMB_ITEMS_MENU))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    CString text;
    text.Format(L"選択 %dﾌｧｲﾙ", selected);
    popup->InsertMenu(0, MF_BYPOSITION | MF_STRING | MF_DISABLED, 0, text);
    popup->InsertMenu(1, MF_BYPOSITION | MF_SEPARATOR);
    m_appCall.InsertApplicationsMenu(*popup, 2);
    TrackAndPost(*popup, screenPoint);
}

void CKWView::TrackAndPost(CMenu& popup, CPoint screenPoint)
{
    CWnd* owner = GetTopLevelParent();
    const UINT command = popup.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON, screenPoint.x,
                                              screenPoint.y, owner ? owner : this);
    if (command && owner)
        owner->PostMessage(WM_COMMAND, command);
}

CString CKWView::ShortenName(const CString& name)
{
    if (name.GetLength() <= 28)
        return name;
    return name.Left(12) + L"..." + name.Right(13);
}

CString CKWView::MenuName(const CString& name)
{
    return MenuItemText(ShortenName(name));
}

// ---------------------------------------------------------------- activation

bool CKWView::OpenByAssociation(const VyxFile* item)
{
    if (!item || item->IsArchiveMember() || ::GetFileAttributesW(item->GetPath()) == INVALID_FILE_ATTRIBUTES)
        return false;
    if (ShellOpen) {
        ShellOpen(item->GetPath());
        return true;
    }
    ::ShellExecuteW(nullptr, nullptr, item->GetPath(), nullptr, item->GetFolder(), SW_SHOWDEFAULT);
    return true;
}

void CKWView::Activate(int index)
{
    CKWDoc* doc = GetDocument();
    VyxFile* item = doc ? doc->GetItem(index) : nullptr;
    if (!item)
        return;
    if (KeyDown(VK_SHIFT)) {
        SendMessage(WM_COMMAND, ID_OPEN_ASSOCIATED);
        return;
    }
    if (KeyDown(VK_CONTROL)) {
        SendMessage(WM_COMMAND, ID_PICTURE_WINDOW);
        return;
    }
    if (!doc->ExecExt.IsEmpty() && MatchFileSpecList(item->GetFileName(), doc->ExecExt, L' ')) {
        OpenByAssociation(item);
        return;
    }
    if (doc->ArcTree) {
        CString location;
        if (item->IsFolder()) {
            location = item->GetPath();
        } else if (!item->IsArchiveMember()) {
            SPISupportQuery query = {};
            query.kind = SPImapIndex::KindArchive;
            query.startAfter = -1;
            query.archiveId = -1;
            query.checkExtension = doc->ExtSPI;
            query.path = item->GetPath();
            if (SPlugIn::IsSupported(query) >= 0)
                location = item->GetPath();
        } else if (doc->ArchiveInArchive &&
                   theSPImapIndex.IsSupportedName(item->GetFileName(), SPImapIndex::KindArchive)) {
            location = CVirtualFolder(item->GetArchivePath(), item->GetPath(), L"").GetPath();
        }
        if (!location.IsEmpty()) {
            Announce(HintGoToPath, reinterpret_cast<CObject*>(const_cast<wchar_t*>(location.GetString())), this);
            return;
        }
    }
    // A command this view does not handle (an external application) is the frame's.
    const UINT command = static_cast<UINT>(doc->IDViewer);
    if (!OnCmdMsg(command, CN_COMMAND, nullptr, nullptr)) {
        if (CMainFrame* frame = GetMainFrame())
            frame->SendMessage(WM_COMMAND, command);
    }
}

// ---------------------------------------------------------------- commands

void CKWView::OnViewPicture()
{
    CKWDoc* doc = GetDocument();
    CMainFrame* frame = GetMainFrame();
    if (!doc || !frame)
        return;
    if (!KeyDown(VK_CONTROL) && !doc->MultiPicView) {
        frame->OpenPictureWindow(doc->GetCursorIndex(), PictureWindowAsSet);
        return;
    }
    for (SelectedEntry entry : doc->SelectedItems(SelectedFilter::Any))
        frame->OpenPictureWindow(entry.position, PictureNewWindow);
}

void CKWView::OnUpdateViewPicture(CCmdUI* pCmdUI)
{
    CKWDoc* doc = GetDocument();
    pCmdUI->Enable(doc && doc->GetSelectedCount(false) >= 1);
}

void CKWView::OnReload()
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return;
    for (VyxFile* item : doc->SelectedItems(SelectedFilter::Any)) {
        item->ResetImage();
        item->ResetCantDraw();
    }
    Announce(HintRedraw, nullptr, nullptr);
}

void CKWView::OnUpdateReload(CCmdUI* pCmdUI)
{
    CKWDoc* doc = GetDocument();
    pCmdUI->Enable(doc && doc->GetItemCount() > 0);
}

void CKWView::OnOpenByAssociation()
{
    CKWDoc* doc = GetDocument();
    if (doc)
        OpenByAssociation(doc->GetItem(doc->GetCursorIndex()));
}

void CKWView::OnUpdateCursorItem(CCmdUI* pCmdUI)
{
    CKWDoc* doc = GetDocument();
    pCmdUI->Enable(doc && doc->GetItem(doc->GetCursorIndex()) != nullptr);
}

void CKWView::OnActivateCursor()
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return;
    m_cursor = doc->GetCursorIndex();
    Announce(HintItemActivated, HintValue(m_cursor), nullptr);
}

void CKWView::OnWallpaper()
{
    CKWDoc* doc = GetDocument();
    VyxFile* item = doc ? doc->GetItem(doc->GetCursorIndex()) : nullptr;
    GlobalBlock picture(item ? item->LoadPicture(nullptr) : nullptr);
    if (!picture)
        return;
    CWallPaperDlg dialog(this);
    dialog.SetSource(picture.get());
    dialog.DoModal();
}

void CKWView::OnFullScreen()
{
    CKWDoc* doc = GetDocument();
    if (CMainFrame* frame = doc ? GetMainFrame() : nullptr)
        frame->StartSlideshow(doc->GetCursorIndex());
}

void CKWView::OnPictureWindow()
{
    CKWDoc* doc = GetDocument();
    CMainFrame* frame = GetMainFrame();
    if (!doc || !frame)
        return;
    const int cursor = doc->GetCursorIndex();
    if (frame->OpenPictureWindow(cursor, PictureWindowAsSet) < 1)
        return;
    // Not shown in a picture window: an extension the settings name opens by association.
    VyxFile* item = doc->GetItem(cursor);
    if (!item)
        return;
    if (!doc->ExecExt.IsEmpty() && MatchFileSpecList(item->GetFileName(), doc->ExecExt, L' ')) {
        OpenByAssociation(item);
        return;
    }
    // A file no plug-in reads (an archive whose plug-in is not installed) would otherwise do nothing
    // at all.
    if (!item->IsFolder() &&
        (item->IsArchiveMember() || FindArchivePlugin(theSPImapIndex, item->GetPath(), false) < 0)) {
        CString text;
        text.Format(L"読めるプラグインがありません: %s", item->GetFileName().GetString());
        frame->SendMessage(WMU_STATUSTEXT, CMyStatusBar::PaneProgress, reinterpret_cast<LPARAM>(text.GetString()));
    }
}

void CKWView::OnRefresh()
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return;
    doc->ResetCantDrawFlags();
    if (!doc->IsFolderLocation())
        return;
    m_savedPosition = m_position;
    doc->Refresh(true);
}

// ---------------------------------------------------------------- hints

void CKWView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    if (pSender == this)
        return;
    CKWDoc* doc = GetDocument();
    CMainFrame* frame = GetMainFrame();
    switch (lHint) {
    case HintRedraw:
        Relayout();
        if (SetPosition(m_position))
            AnnounceTopItem();
        RebuildSurfaces();
        RestartWholeListPass();
        if (m_hWnd)
            Invalidate(FALSE);
        break;
    case HintListRebuilding:
        if (frame)
            frame->OnListRebuilding();
        m_passState = PassNone;
        // The items are about to go: a load that waits for one of them is given up.
        SteppedPictureLoad::Abort();
        break;
    case HintListRebuilt: {
        // The new layout sets the scroll bar several times; it is drawn once.
        DeferredRepaint hold(m_hWnd);
        Relayout();
        RebuildSurfaces();
        RestartVisiblePasses();
        RestartWholeListPass();
        m_cursor = m_anchor = -1;
        m_position = m_layout.ClampPosition(std::max(m_savedPosition, 0));
        m_savedPosition = -1;
        if (pHint) {
            // Told after the position is the new listing's, not the last folder's.
            AnnounceTopItem();
            if (frame)
                frame->OnNewFolder();
        }
        if (m_hWnd) {
            SetScrollPos(SB_VERT, m_layout.ToUnits(m_position));
            Invalidate(FALSE);
        }
        break;
    }
    case HintFrameClosing:
        m_passState = PassNone;
        SteppedPictureLoad::Abort();
        break;
    case HintSelection:
        if (pHint)
            RedrawCell(HintPair(pHint)[1]);
        break;
    case HintIdleStep:
        IdleStep();
        break;
    case HintItemChanged:
        RedrawCell(HintIndex(pHint));
        if (frame)
            frame->GetPictureWindows().RefreshIndex(HintIndex(pHint));
        break;
    case HintCursorMoved: {
        if (!pHint)
            break;
        const int index = HintPair(pHint)[1];
        RedrawCell(index);
        if (HintPair(pHint)[0] != 1)
            break;
        m_cursor = index;
        if (frame) {
            frame->ScheduleStatusUpdate();
            frame->SyncPictureWindow(index);
        }
        if (doc && doc->SyncJump && EnsureVisible(index))
            Invalidate(FALSE);
        break;
    }
    case HintItemActivated:
        if (HintIndex(pHint) >= 0) {
            m_cursor = HintIndex(pHint);
            Activate(m_cursor);
        }
        break;
    case HintSettingsChanged:
        if (m_hWnd)
            SetFocus();
        break;
    case HintItemRemoved:
        if (frame)
            frame->OnItemRemoved(HintIndex(pHint));
        break;
    case HintFolderChanged:
        if (doc && pHint && doc->IsFolderLocation() &&
            doc->GetLocationPath() == reinterpret_cast<const wchar_t*>(pHint)) {
            m_savedPosition = m_position;
            doc->Refresh(true);
        }
        break;
    default:
        break;
    }
}
