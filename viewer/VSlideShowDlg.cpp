#include "viewer/VSlideShowDlg.h"

#include "catalogue/FrameMessages.h"
#include "catalogue/CKWDoc.h"
#include "foundation/VyxSystem.h"
#include "foundation/VyxUtility.h"
#include "image/DibCore.h"
#include "image/DibPaint.h"
#include "res/resource.h"
#include "viewer/COneWndList.h"
#include "viewer/CSlideshowOptionDlg.h"

#include <imm.h>

#include <algorithm>

namespace {

const COLORREF kLockedText = RGB(255, 0, 0);
// The paging strips along the left and right edges, and the hot corners' size.
const int kStrip = 64;
const int kCorner = 2;
// A press becomes a drag once the pointer moved this far.
const int kDragDistance = 2;

bool SameFile(const VyxFile& a, const VyxFile& b)
{
    return a.GetPath().CompareNoCase(b.GetPath()) == 0 && a.GetArchivePath().CompareNoCase(b.GetArchivePath()) == 0;
}

} // namespace

BEGIN_MESSAGE_MAP(VSlideShowDlg, CDialog)
ON_WM_CTLCOLOR()
ON_WM_PAINT()
ON_WM_TIMER()
ON_WM_SETCURSOR()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_RBUTTONDBLCLK()
ON_WM_MOUSEWHEEL()
ON_WM_DESTROY()
ON_COMMAND(ID_PICTURE_CLOSE, OnClose)
ON_COMMAND(ID_PICTURE_FIRST, OnFirst)
ON_COMMAND(ID_PICTURE_PREVIOUS, OnPrevious)
ON_COMMAND(ID_PICTURE_AUTOPLAY, OnPlay)
ON_COMMAND(ID_PICTURE_NEXT, OnNext)
ON_COMMAND(ID_PICTURE_LAST, OnLast)
ON_COMMAND(ID_PICTURE_OPTIONS, OnOptions)
ON_COMMAND(ID_PICTURE_ZOOM_IN, OnZoomIn)
ON_COMMAND(ID_PICTURE_ZOOM_OUT, OnZoomOut)
ON_COMMAND(ID_PICTURE_ZOOM_ORIGINAL, OnZoomReset)
ON_COMMAND(ID_PICTURE_ROTATE_RIGHT, OnRotateRight)
ON_COMMAND(ID_PICTURE_ROTATE_LEFT, OnRotateLeft)
ON_COMMAND(ID_SLIDESHOW_OVERLAY, OnOverlay)
ON_COMMAND_RANGE(ID_SLIDESHOW_COLUMNS_MORE, ID_SLIDESHOW_ROWS_FEWER, OnGridSize)
END_MESSAGE_MAP()

VSlideShowDlg::VSlideShowDlg(CWnd* pOwner) : CDialog(IDD_SLIDESHOW, pOwner), m_pOwnerWnd(pOwner)
{
    Load();
    m_hAccel = ::LoadAcceleratorsW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_PICTUREWND));
    m_bSwapped = ::GetSystemMetrics(SM_SWAPBUTTON) != 0;
    m_bOverlay = Infomation || PositionBar;
    m_block.Create(L"COneWndList", kOneWndListBlockSize);
}

VSlideShowDlg::~VSlideShowDlg()
{
    FreeGrid();
}

void VSlideShowDlg::DoDataExchange(CDataExchange*) {}

// ---------------------------------------------------------------- paging arithmetic

int VSlideShowDlg::LastPageStart(int nCells, int nCount)
{
    if (nCells < 1 || nCount < 1)
        return 0;
    const int rest = nCount % nCells;
    return std::max(rest > 0 ? nCount - rest : nCount - nCells, 0);
}

int VSlideShowDlg::NextIndex(int nIndex, int nCells, int nCount, BOOL bRepeat)
{
    if (static_cast<long long>(nIndex) + nCells < nCount)
        return nIndex + nCells;
    return bRepeat ? 0 : LastPageStart(nCells, nCount);
}

int VSlideShowDlg::PrevIndex(int nIndex, int nCells, int nCount, BOOL bRepeat)
{
    const long long previous = static_cast<long long>(nIndex) - nCells;
    if (previous >= 0 || !bRepeat)
        return static_cast<int>(std::max(previous, 0LL));
    return LastPageStart(nCells, nCount);
}

CRect VSlideShowDlg::CellRect(int width, int height, int columns, int rows, int c, int r, BOOL bMirrorLR,
                              BOOL bMirrorUD)
{
    const long long column = bMirrorLR ? columns - c - 1 : c;
    const long long row = bMirrorUD ? rows - r - 1 : r;
    return CRect(static_cast<int>(width * column / columns), static_cast<int>(height * row / rows),
                 static_cast<int>(width * (column + 1) / columns), static_cast<int>(height * (row + 1) / rows));
}

// ---------------------------------------------------------------- set-up from the starter

void VSlideShowDlg::SetDocument(CKWDoc* pDocument)
{
    m_pDocument = pDocument;
    m_bDocument = pDocument != nullptr;
}

void VSlideShowDlg::SetIndex(int nIndex)
{
    m_nIndex = nIndex;
}

BOOL VSlideShowDlg::Create(CWnd* pOwner)
{
    m_pOwnerWnd = pOwner;
    m_bModeless = TRUE;
    return CDialog::Create(IDD_SLIDESHOW, pOwner);
}

void VSlideShowDlg::SetLocked(BOOL bLocked)
{
    m_bLocked = bLocked;
    if (m_hWnd)
        Invalidate(FALSE);
}

void VSlideShowDlg::Reload()
{
    DropAllPictures();
    if (m_hWnd)
        Invalidate(FALSE);
}

void VSlideShowDlg::UpdatePositionBar()
{
    m_positionBar.Update(GetFileCount(), m_rcScreen.Width());
}

int VSlideShowDlg::GetFileCount() const
{
    return m_bDocument && m_pDocument ? m_pDocument->GetItemCount() : 0;
}

VyxFile* VSlideShowDlg::GetFile(int nIndex) const
{
    return m_bDocument && m_pDocument && nIndex >= 0 ? m_pDocument->GetItem(nIndex) : nullptr;
}

COnePicture* VSlideShowDlg::GetEngine(int nBank, int nCell) const
{
    if (!m_grid || nBank < 0 || nBank > 2 || nCell < 0 || nCell >= m_nCells)
        return nullptr;
    return &m_grid[static_cast<size_t>(nBank) * m_nCells + nCell];
}

template <class Action> void VSlideShowDlg::ForEachEngine(Action action) const
{
    if (m_grid)
        for (int i = 0; i < 3 * m_nCells; ++i)
            action(m_grid[i]);
}

ULONGLONG VSlideShowDlg::GetHeldBytes() const
{
    ULONGLONG bytes = 0;
    ForEachEngine([&](const COnePicture& engine) { bytes += engine.GetHeldBytes(); });
    return bytes;
}

// ---------------------------------------------------------------- opening and the grid

BOOL VSlideShowDlg::OnInitDialog()
{
    m_brush.CreateStockObject(NULL_BRUSH);
    CDialog::OnInitDialog();
    RECT screen;
    if (m_nMonitor >= 0)
        GetMonitorRect(screen, m_nMonitor);
    else
        GetWindowMonitorRect(screen, m_hWnd);
    m_rcScreen = screen;
    UpdatePositionBar();
    // Settings files and keys may ask for any grid: the options page's bounds hold.
    m_nColumns = std::clamp(m_pDocument ? m_pDocument->ColumnCount : 1, 1, MaxColumns);
    m_nRows = std::clamp(m_pDocument ? m_pDocument->LineCount : 1, 1, MaxRows);
    Layout();
    std::fill(std::begin(m_timers), std::end(m_timers), 0);
    if (m_bAutoPlay) {
        StartTimer(TimerAdvance);
        m_dwLastAdvance = ::GetTickCount();
    }
    if (LongClick)
        StartTimer(TimerLongPress);
    MoveWindow(&m_rcScreen);
    ::ImmAssociateContext(m_hWnd, nullptr);
    return TRUE;
}

void VSlideShowDlg::FreeGrid()
{
    KillCellTimers();
    m_grid.reset();
    m_nCells = 0;
}

void VSlideShowDlg::Layout()
{
    FreeGrid();
    m_nCells = m_nColumns * m_nRows;
    m_nBank = 0;
    m_nDirection = 1;
    m_grid.reset(new COnePicture[static_cast<size_t>(3) * m_nCells]);
    // The settings are read once for the whole grid.
    m_grid[0].Init();
    ForEachEngine([&](COnePicture& engine) {
        if (&engine != &m_grid[0])
            engine.InitLike(m_grid[0]);
        engine.SetBudgetGroup(m_grid.get(), 3 * m_nCells);
        ApplySettings(engine);
    });
    const BOOL mirrorLR = m_pDocument && m_pDocument->DirectionLR;
    const BOOL mirrorUD = m_pDocument && m_pDocument->DirectionUD;
    for (int r = 0; r < m_nRows; ++r) {
        for (int c = 0; c < m_nColumns; ++c) {
            CRect cell =
                CellRect(m_rcScreen.Width(), m_rcScreen.Height(), m_nColumns, m_nRows, c, r, mirrorLR, mirrorUD);
            // Two pictures side by side meet in the middle (vertically centred).
            int align = 15;
            if (m_nColumns == 2 && m_nRows == 1)
                align = cell.left == 0 ? 2 | 12 : 1 | 12;
            for (int bank = 0; bank < 3; ++bank) {
                COnePicture* engine = GetEngine(bank, c + m_nColumns * r);
                engine->SetDisplayRect(cell);
                engine->SetAlign(align);
            }
        }
    }
}

void VSlideShowDlg::ApplySettings(COnePicture& engine) const
{
    engine.SetFitMode(FitSize);
    engine.SetScaleMode(ScaleMode);
    engine.SetTurnDirection(AngleDir);
    engine.SetAllowEnlarge(ZoomUp);
    engine.SetAllowShrink(ZoomDw);
    engine.SetInfo(Infomation);
    engine.SetInfoTemplate(InfomationMacro);
    engine.SetTextColor(colText);
    engine.SetBackColor(colBackground);
    engine.SetInfoPosition(InfomationTextX, InfomationTextY);
    engine.SetAviShow(AviShow);
    engine.SetDswShow(DswShow);
}

// ---------------------------------------------------------------- timers

void VSlideShowDlg::StartTimer(int nSlot)
{
    if (m_hWnd)
        m_timers[nSlot] = SetTimer(nSlot, TimerInterval, nullptr);
}

void VSlideShowDlg::StopTimer(int nSlot)
{
    if (m_timers[nSlot] && m_hWnd)
        KillTimer(m_timers[nSlot]);
    m_timers[nSlot] = 0;
}

void VSlideShowDlg::KillCellTimers()
{
    for (int k = 0; k < m_nCells; ++k) {
        COnePicture* engine = GetEngine(m_nBank, k);
        if (engine && engine->GetAnimationTimer()) {
            if (m_hWnd)
                KillTimer(engine->GetAnimationTimer());
            engine->SetAnimationTimer(0);
        }
    }
}

void VSlideShowDlg::OnTimer(UINT_PTR nIDEvent)
{
    const DWORD now = ::GetTickCount();
    switch (nIDEvent) {
    case TimerAdvance:
        if (static_cast<long long>(now - m_dwLastAdvance) > SleepTime) {
            NextPage();
            m_dwLastAdvance = now;
        }
        return;
    case TimerLongPress:
        if (m_bRightDown && ContextMenuWaitTime != 0 &&
            static_cast<long long>(now - m_dwRightPress) > ContextMenuWaitTime) {
            m_bRightDown = FALSE;
            OpenMenu(m_ptPress);
            m_dwRightPress = ::GetTickCount();
        }
        return;
    case TimerLookAhead: {
        // The page shown comes first.
        if (FillPendingCell())
            return;
        if (!LookAhead) {
            StopTimer(TimerLookAhead);
            return;
        }
        const int count = GetFileCount();
        const int target = m_nDirection == 1 ? NextIndex(m_nIndex, m_nCells, count, Repeat)
                                             : PrevIndex(m_nIndex, m_nCells, count, Repeat);
        COnePicture* engine = GetEngine(m_nDirection == 1 ? (m_nBank + 1) % 3 : (m_nBank + 2) % 3, m_nLookAhead);
        VyxFile* file = engine ? GetFile(target + m_nLookAhead) : nullptr;
        if (file) {
            ForgetOtherFile(*engine, file);
            engine->Show(nullptr, file, FALSE);
        }
        if (file && m_nLookAhead + 1 < m_nCells)
            ++m_nLookAhead;
        else
            StopTimer(TimerLookAhead);
        return;
    }
    default:
        break;
    }
    const int cell = static_cast<int>(nIDEvent) - TimerFirstCell;
    COnePicture* engine = GetEngine(m_nBank, cell);
    if (!engine || engine->GetAnimationTimer() != nIDEvent) {
        CDialog::OnTimer(nIDEvent);
        return;
    }
    const int stepped = engine->AnimationTick(now);
    if (stepped < 0) {
        KillTimer(nIDEvent);
        engine->SetAnimationTimer(0);
    } else if (stepped > 0) {
        DrawCell(cell);
    }
}

// ---------------------------------------------------------------- painting

HBRUSH VSlideShowDlg::OnCtlColor(CDC*, CWnd*, UINT)
{
    return static_cast<HBRUSH>(m_brush.GetSafeHandle());
}

void VSlideShowDlg::ForgetOtherFile(COnePicture& engine, const VyxFile* file)
{
    if (engine.GetItem() && file && !SameFile(*engine.GetItem(), *file))
        engine.FreePages();
}

void VSlideShowDlg::OnPaint()
{
    CPaintDC dc(this);
    m_nPointerState = PointerIdle;
    const DWORD now = ::GetTickCount();
    m_pending.assign(static_cast<size_t>(std::max(m_nCells, 0)), false);
    bool read = false, pending = false;
    for (int k = 0; k < m_nCells; ++k) {
        COnePicture* engine = GetEngine(m_nBank, k);
        if (engine->GetAnimationTimer()) {
            KillTimer(engine->GetAnimationTimer());
            engine->SetAnimationTimer(0);
        }
        VyxFile* file = GetFile(m_nIndex + k);
        if (!file) {
            engine->FreePages();
            dc.FillSolidRect(&engine->GetDisplayRect(), RGB(0, 0, 0));
            continue;
        }
        ForgetOtherFile(*engine, file);
        // A page turned before it was read ahead answers at once: each picture not read yet shows
        // its preview and is read in a tick of its own; only the first without a preview is read
        // while the page paints.
        if (!engine->GetSourcePage(0)) {
            const bool previewed = DrawPreview(&dc, *engine, file);
            if (previewed || read) {
                if (!previewed)
                    dc.FillSolidRect(&engine->GetDisplayRect(), colBackground);
                m_pending[static_cast<size_t>(k)] = pending = true;
                continue;
            }
            read = true;
        }
        ShowCellFile(&dc, k, file, now);
    }
    DrawOverlay(&dc);
    if (LookAhead || pending) {
        m_nLookAhead = 0;
        StartTimer(TimerLookAhead);
    }
    HitTest(m_ptLast);
    ShowStateCursor();
}

void VSlideShowDlg::ShowCellFile(CDC* pDC, int nCell, VyxFile* file, DWORD now)
{
    COnePicture* engine = GetEngine(m_nBank, nCell);
    engine->Show(pDC, file, FALSE);
    // The engine knows the file's kind once its decoder is found.
    if (COnePicture::IsAnimatedKind(engine->GetItem(), AviShow, DswShow)) {
        engine->SetAnimationTimer(SetTimer(TimerFirstCell + nCell, TimerInterval, nullptr));
        engine->SetAnimationStart(now);
    }
}

bool VSlideShowDlg::DrawPreview(CDC* pDC, const COnePicture& engine, const VyxFile* file) const
{
    HGLOBAL thumbnail = file->GetThumbnail();
    if (!thumbnail || engine.GetAngle() != 0)
        return false;
    // Fitted as the picture will be, from its own size when the item knows it; a picture shown at
    // its own size or turned has nothing to preview.
    const CRect& cell = engine.GetDisplayRect();
    const bool sized = file->GetWidth() > 0 && file->GetHeight() > 0;
    const double width = sized ? file->GetWidth() : GetDibWidth(thumbnail);
    const double height = sized ? file->GetHeight() : GetDibHeight(thumbnail);
    CSize size = cell.Size();
    if (engine.GetFitMode() == COnePicture::FitAspect) {
        double zoom = std::min(cell.Width() / width, cell.Height() / height);
        if (!engine.GetAllowEnlarge())
            zoom = std::min(zoom, 1.0);
        if (!engine.GetAllowShrink())
            zoom = std::max(zoom, 1.0);
        size = CSize(static_cast<int>(width * zoom), static_cast<int>(height * zoom));
    } else if (engine.GetFitMode() != COnePicture::FitStretch) {
        return false;
    }
    if (size.cx <= 0 || size.cy <= 0 || width <= 0 || height <= 0)
        return false;
    pDC->FillSolidRect(&cell, colBackground);
    const CPoint at(cell.left + (cell.Width() - size.cx) / 2, cell.top + (cell.Height() - size.cy) / 2);
    const int saved = pDC->SaveDC();
    pDC->IntersectClipRect(&cell);
    PaintDib(pDC, CRect(at, size), thumbnail);
    pDC->RestoreDC(saved);
    return true;
}

bool VSlideShowDlg::FillPendingCell()
{
    for (int k = 0; k < static_cast<int>(m_pending.size()) && k < m_nCells; ++k) {
        if (!m_pending[static_cast<size_t>(k)])
            continue;
        m_pending[static_cast<size_t>(k)] = false;
        VyxFile* file = GetFile(m_nIndex + k);
        if (!file || !m_hWnd)
            continue;
        CClientDC dc(this);
        ShowCellFile(&dc, k, file, ::GetTickCount());
        DrawOverlay(&dc);
        return true;
    }
    return false;
}

void VSlideShowDlg::DrawOverlay(CDC* pDC)
{
    if (m_bOverlay && PositionBar && GetFileCount() >= 1) {
        m_positionBar.position = m_nIndex;
        const COLORREF marker = m_bLocked ? colBarLock : IsPlaying() ? colBarPlay : colBarStep;
        m_positionBar.Draw(pDC, 0, 0, colBarBase, marker);
    }
    if (m_bLocked) {
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(kLockedText);
        pDC->TextOut(0, 20, CString(L"**Locked**"));
    }
}

void VSlideShowDlg::DrawCell(int nCell)
{
    COnePicture* engine = GetEngine(m_nBank, nCell);
    if (!engine || !m_hWnd)
        return;
    CClientDC dc(this);
    engine->Draw(&dc);
    // The bar and the lock note lie over the top cells.
    DrawOverlay(&dc);
}

// ---------------------------------------------------------------- the pointer

int VSlideShowDlg::HitTest(CPoint point)
{
    CRect client;
    GetClientRect(&client);
    const int x = point.x, y = point.y;
    if ((x > client.Width() - kCorner && y < kCorner) || (x < kCorner && y > client.Height() - kCorner)) {
        m_nPointerState = PointerCorner;
        return -1;
    }
    if (PositionBar && !m_bLocked) {
        const int index = m_positionBar.HitIndex(x, y);
        if (index >= 0) {
            m_nPointerState = PointerBar;
            return index;
        }
    }
    if (client.Width() - kStrip < x && x <= client.Width()) {
        m_nPointerState = PointerRightStrip;
        return -1;
    }
    if (1 <= x && x <= kStrip - 1) {
        m_nPointerState = PointerLeftStrip;
        return -1;
    }
    for (int k = 0; k < m_nCells; ++k) {
        COnePicture* engine = GetEngine(m_nBank, k);
        if (!engine->HitTest(x, y))
            continue;
        if (engine->CanScrollX() || engine->CanScrollY()) {
            m_nPointerState = PointerOverCell;
            return k;
        }
        break;
    }
    m_nPointerState = PointerIdle;
    return -1;
}

void VSlideShowDlg::ShowStateCursor()
{
    UINT id = IDC_PICTURE_ARROW;
    switch (m_nPointerState) {
    case PointerOverCell:
        id = IDC_PICTURE_HAND;
        break;
    case PointerPressed:
    case PointerDragging:
        id = IDC_PICTURE_GRAB;
        break;
    case PointerBar:
        id = IDC_SLIDE_BAR_CURSOR;
        break;
    case PointerLeftStrip:
        id = IDC_SLIDE_LEFT_CURSOR;
        break;
    case PointerRightStrip:
        id = IDC_SLIDE_RIGHT_CURSOR;
        break;
    default:
        break;
    }
    if (HCURSOR cursor = ::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id)))
        ::SetCursor(cursor);
}

BOOL VSlideShowDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest != HTCLIENT)
        return CDialog::OnSetCursor(pWnd, nHitTest, message);
    ShowStateCursor();
    return TRUE;
}

void VSlideShowDlg::OnMouseMove(UINT, CPoint point)
{
    if (!IsPlaying()) {
        switch (m_nPointerState) {
        case PointerPressed:
        case PointerDragging: {
            if (std::abs(point.x - m_ptPress.x) < kDragDistance && std::abs(point.y - m_ptPress.y) < kDragDistance)
                break;
            if (COnePicture* engine = GetEngine(m_nBank, m_nTarget)) {
                engine->Scroll(engine->CanScrollX() ? point.x - m_ptLast.x : 0,
                               engine->CanScrollY() ? point.y - m_ptLast.y : 0);
                DrawCell(m_nTarget);
            }
            m_nPointerState = PointerDragging;
            break;
        }
        default: {
            const int target = HitTest(point);
            if (m_nPointerState == PointerOverCell || m_nPointerState == PointerBar)
                m_nTarget = target;
            ShowStateCursor();
            if (m_nPointerState == PointerCorner) {
                m_ptLast = point;
                OpenMenu(point);
                return;
            }
            break;
        }
        }
    }
    m_ptLast = point;
}

void VSlideShowDlg::OnLButtonDown(UINT, CPoint point)
{
    m_bLeftDown = TRUE;
    if (m_nPointerState == PointerOverCell) {
        m_ptPress = point;
        m_nPointerState = PointerPressed;
        SetCapture();
    }
    ShowStateCursor();
}

void VSlideShowDlg::OnLButtonUp(UINT, CPoint point)
{
    switch (m_nPointerState) {
    case PointerIdle:
    case PointerOverCell:
        if (IsPlaying())
            StopPlaying();
        else if (m_bSwapped)
            NextPage();
        else
            PrevPage();
        break;
    case PointerPressed:
    case PointerDragging:
        ::ReleaseCapture();
        break;
    case PointerBar:
        if (m_nTarget >= 0)
            JumpTo(m_nTarget);
        break;
    case PointerLeftStrip:
        PrevPage();
        break;
    case PointerRightStrip:
        NextPage();
        break;
    default:
        break;
    }
    m_nPointerState = PointerIdle;
    ShowStateCursor();
    m_ptLast = point;
    m_bLeftDown = FALSE;
}

void VSlideShowDlg::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    OnLButtonDown(nFlags, point);
    OnLButtonUp(nFlags, point);
}

void VSlideShowDlg::OnRButtonDown(UINT, CPoint point)
{
    m_bRightDown = TRUE;
    m_dwRightPress = ::GetTickCount();
    m_ptPress = m_ptLast = point;
}

void VSlideShowDlg::OnRButtonUp(UINT, CPoint)
{
    m_bRightDown = FALSE;
    m_dwRightPress = ::GetTickCount();
    if (IsPlaying())
        StopPlaying();
    else if (m_bSwapped)
        PrevPage();
    else
        NextPage();
}

void VSlideShowDlg::OnRButtonDblClk(UINT nFlags, CPoint point)
{
    OnRButtonDown(nFlags, point);
    OnRButtonUp(nFlags, point);
}

BOOL VSlideShowDlg::OnMouseWheel(UINT, short zDelta, CPoint pt)
{
    if (zDelta == 0)
        return TRUE;
    ScreenToClient(&pt);
    for (int k = 0; k < m_nCells; ++k) {
        COnePicture* engine = GetEngine(m_nBank, k);
        if (!engine->HitTest(pt.x, pt.y))
            continue;
        if (engine->CanScrollY())
            engine->Scroll(0, zDelta);
        else if (engine->CanScrollX())
            engine->Scroll(zDelta, 0);
        else
            break;
        DrawCell(k);
        return TRUE;
    }
    if (zDelta < 1)
        NextPage();
    else
        PrevPage();
    return TRUE;
}

void VSlideShowDlg::OpenMenu(CPoint point)
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_SLIDESHOW_MENU))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup)
        return;
    // A dialog runs no command updates of its own: the rules are applied as the menu opens.
    const int count = GetFileCount();
    const BOOL open = !m_bLocked;
    const struct
    {
        UINT id;
        BOOL enabled;
    } rules[] = {{ID_PICTURE_FIRST, open && m_nIndex > 0},
                 {ID_PICTURE_PREVIOUS, open && m_nIndex > 0},
                 {ID_PICTURE_AUTOPLAY, open},
                 {ID_PICTURE_NEXT, open && static_cast<long long>(m_nIndex) + m_nCells < count},
                 {ID_PICTURE_LAST, open && static_cast<long long>(m_nIndex) + m_nCells < count},
                 {ID_PICTURE_OPTIONS, open}};
    for (const auto& rule : rules)
        popup->EnableMenuItem(rule.id, MF_BYCOMMAND | (rule.enabled ? MF_ENABLED : MF_GRAYED));
    popup->CheckMenuItem(ID_PICTURE_AUTOPLAY, MF_BYCOMMAND | (IsPlaying() ? MF_CHECKED : MF_UNCHECKED));
    SpaceMenuKeys(popup->GetSafeHmenu());
    CWnd* owner = this;
    while (owner->GetStyle() & WS_CHILD)
        owner = owner->GetParent();
    const UINT command =
        ::TrackPopupMenuEx(popup->GetSafeHmenu(), TPM_RETURNCMD | TPM_RIGHTBUTTON, m_rcScreen.left + point.x,
                           m_rcScreen.top + point.y, owner->m_hWnd, nullptr);
    if (command && m_hWnd)
        PostMessage(WM_COMMAND, command, 0);
}

// ---------------------------------------------------------------- paging

void VSlideShowDlg::DropAllPictures()
{
    KillCellTimers();
    ForEachEngine([](COnePicture& engine) { engine.FreePages(); });
}

void VSlideShowDlg::StopPlaying()
{
    StopTimer(TimerAdvance);
    Invalidate(FALSE);
    DropAllPictures();
}

void VSlideShowDlg::JumpTo(int nIndex)
{
    m_nIndex = nIndex;
    Invalidate(FALSE);
    DropAllPictures();
}

void VSlideShowDlg::NextPage()
{
    const int count = GetFileCount();
    if (m_bLocked || count <= m_nCells)
        return;
    const int next = NextIndex(m_nIndex, m_nCells, count, Repeat);
    if (next == m_nIndex)
        return;
    KillCellTimers();
    m_nIndex = next;
    Invalidate(FALSE);
    m_nBank = (m_nBank + 1) % 3;
    m_nDirection = 1;
    // The bank the look-ahead fills next; the one left behind keeps its pictures for paging back.
    for (int k = 0; k < m_nCells; ++k)
        GetEngine((m_nBank + 1) % 3, k)->FreePages();
}

void VSlideShowDlg::PrevPage()
{
    const int count = GetFileCount();
    if (m_bLocked || count <= m_nCells)
        return;
    const int previous = PrevIndex(m_nIndex, m_nCells, count, Repeat);
    if (previous == m_nIndex)
        return;
    KillCellTimers();
    m_nIndex = previous;
    Invalidate(FALSE);
    m_nBank = (m_nBank + 2) % 3;
    m_nDirection = -1;
    for (int k = 0; k < m_nCells; ++k)
        GetEngine((m_nBank + 2) % 3, k)->FreePages();
}

void VSlideShowDlg::OnFirst()
{
    if (m_bLocked || GetFileCount() <= m_nCells)
        return;
    JumpTo(0);
}

void VSlideShowDlg::OnPrevious()
{
    PrevPage();
}

void VSlideShowDlg::OnNext()
{
    NextPage();
}

void VSlideShowDlg::OnLast()
{
    const int count = GetFileCount();
    if (m_bLocked || count <= m_nCells)
        return;
    const int last = LastPageStart(m_nCells, count);
    if (last != m_nIndex)
        JumpTo(last);
}

void VSlideShowDlg::OnPlay()
{
    if (m_bLocked)
        return;
    if (IsPlaying()) {
        StopTimer(TimerAdvance);
    } else {
        StartTimer(TimerAdvance);
        m_dwLastAdvance = ::GetTickCount();
    }
    Invalidate(FALSE);
}

// ---------------------------------------------------------------- display commands

void VSlideShowDlg::OnZoomIn()
{
    ForEachEngine([](COnePicture& engine) {
        // From the zoom on screen: a picture too large for its zoom is shown smaller.
        const double zoom = engine.GetShownZoom() * 1.2;
        // A picture already as large as a display copy may be stays as it is.
        if (!engine.IsZoomAllowed(zoom))
            return;
        engine.SetFitMode(COnePicture::FitAsIs);
        engine.SetZoom(zoom);
        engine.FreeDisplayPages();
    });
    Invalidate(FALSE);
}

void VSlideShowDlg::OnZoomOut()
{
    ForEachEngine([](COnePicture& engine) {
        engine.SetFitMode(COnePicture::FitAsIs);
        engine.SetZoom(engine.GetShownZoom() / 1.2);
        engine.FreeDisplayPages();
    });
    Invalidate(FALSE);
}

void VSlideShowDlg::OnZoomReset()
{
    ForEachEngine([](COnePicture& engine) {
        engine.SetFitMode(COnePicture::FitAspect);
        engine.SetZoom(1.0);
        engine.SetAngle(0);
        engine.FreeDisplayPages();
    });
    Invalidate(FALSE);
}

void VSlideShowDlg::OnRotateRight()
{
    const int unit = AngleUnit;
    ForEachEngine([unit](COnePicture& engine) {
        engine.SetAngle(COnePicture::TurnAngle(engine.GetAngle(), unit));
        engine.FreeDisplayPages();
    });
    Invalidate(FALSE);
}

void VSlideShowDlg::OnRotateLeft()
{
    const int unit = AngleUnit;
    ForEachEngine([unit](COnePicture& engine) {
        engine.SetAngle(COnePicture::TurnAngle(engine.GetAngle(), -unit));
        engine.FreeDisplayPages();
    });
    Invalidate(FALSE);
}

void VSlideShowDlg::OnOverlay()
{
    m_bOverlay = !m_bOverlay;
    const BOOL overlay = m_bOverlay;
    ForEachEngine([overlay](COnePicture& engine) { engine.SetInfo(overlay); });
    Invalidate(FALSE);
}

void VSlideShowDlg::OnGridSize(UINT nID)
{
    if (m_bLocked)
        return;
    switch (nID) {
    case ID_SLIDESHOW_COLUMNS_MORE:
        m_nColumns = std::min(m_nColumns + 1, MaxColumns);
        break;
    case ID_SLIDESHOW_COLUMNS_FEWER:
        m_nColumns = std::max(m_nColumns - 1, 1);
        break;
    case ID_SLIDESHOW_ROWS_MORE:
        m_nRows = std::min(m_nRows + 1, MaxRows);
        break;
    default:
        m_nRows = std::max(m_nRows - 1, 1);
        break;
    }
    Layout();
    Invalidate(FALSE);
}

void VSlideShowDlg::OnOptions()
{
    if (m_bLocked)
        return;
    CSlideshowOptionDlg dialog(this);
    static_cast<SlideShowOptions&>(dialog) = *this;
    if (dialog.DoModal() != IDOK)
        return;
    static_cast<SlideShowOptions&>(*this) = dialog;
    ForEachEngine([this](COnePicture& engine) {
        ApplySettings(engine);
        engine.SetAngle(0);
        engine.FreeDisplayPages();
    });
    Invalidate(FALSE);
}

// ---------------------------------------------------------------- keys

BOOL VSlideShowDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_SPACE) {
        SendMessage(WM_COMMAND, SpaceCommandID, 0);
        return CDialog::PreTranslateMessage(pMsg);
    }
    if (m_hAccel && m_hWnd && ::TranslateAcceleratorW(m_hWnd, m_hAccel, pMsg))
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

// ---------------------------------------------------------------- closing

void VSlideShowDlg::OnClose()
{
    OnOK();
}

void VSlideShowDlg::OnOK()
{
    m_bClosing = TRUE;
    if (m_pOwnerWnd)
        DestroyWindow();
    else
        EndDialog(IDOK);
}

void VSlideShowDlg::OnCancel()
{
    OnOK();
}

BOOL VSlideShowDlg::DestroyWindow()
{
    return CDialog::DestroyWindow();
}

// However the window goes (closed, its owner destroyed, the system), the slideshow saves its
// settings and leaves the picture-window list with nothing pointing at it.
void VSlideShowDlg::OnDestroy()
{
    for (int slot = 0; slot < 10; ++slot)
        StopTimer(slot);
    FreeGrid();
    Save();
    if (m_pOwnerWnd && ::IsWindow(m_pOwnerWnd->GetSafeHwnd())) {
        // The owner deletes the object when the message arrives; an owner that is itself going
        // deletes it as it goes.
        m_pOwnerWnd->PostMessage(WMU_SLIDESHOWENDED, 0, m_nIndex);
    } else {
        COneWndListLock lock(m_block);
        COneWndList* list = lock.GetList();
        if (list && list->m_pSlideShow == this)
            list->m_pSlideShow = nullptr;
        m_bDeleteSelf = m_bModeless;
    }
    CDialog::OnDestroy();
}

void VSlideShowDlg::PostNcDestroy()
{
    CDialog::PostNcDestroy();
    if (m_bDeleteSelf)
        delete this;
}
