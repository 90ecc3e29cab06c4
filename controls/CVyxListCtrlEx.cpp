#include "controls/CVyxListCtrlEx.h"

#include <commctrl.h>

namespace {

const UINT_PTR kScrollTimer = 1;
const UINT kScrollPeriod = 55;

} // namespace

BEGIN_MESSAGE_MAP(CVyxListCtrlEx, CListCtrl)
ON_NOTIFY_REFLECT(LVN_BEGINDRAG, OnBeginDrag)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_TIMER()
END_MESSAGE_MAP()

CImageList* CVyxListCtrlEx::CreateDragImage(int nItem, LPPOINT)
{
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = nItem;
    SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    CRect bounds(LVIR_BOUNDS, 0, 0, 0);
    SendMessage(LVM_GETITEMRECT, nItem, reinterpret_cast<LPARAM>(&bounds));
    CString text = GetItemText(nItem, 0);
    CFont* font = GetFont();
    int width = static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, 0));
    int height = bounds.Height();
    if (width <= 0 || height <= 0)
        return nullptr;

    auto* image = new CImageList;
    if (!image->Create(width, height, ILC_COLOR24 | ILC_MASK, 1, 1)) {
        delete image;
        return nullptr;
    }
    CClientDC screen(this);
    CDC memory;
    memory.CreateCompatibleDC(&screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&screen, width, height);
    CBitmap* oldBitmap = memory.SelectObject(&bitmap);
    memory.FillSolidRect(0, 0, width, height, ::GetSysColor(COLOR_WINDOW));
    HIMAGELIST small = reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
    if (small)
        ::ImageList_Draw(small, item.iImage, memory.GetSafeHdc(), 0, 0, ILD_TRANSPARENT);
    CFont* oldFont = font ? memory.SelectObject(font) : nullptr;
    memory.SetBkMode(TRANSPARENT);
    memory.TextOut(m_nImageWidth + 4, 0, text);
    if (oldFont)
        memory.SelectObject(oldFont);
    memory.SelectObject(oldBitmap);
    image->Add(&bitmap, RGB(255, 255, 255));
    return image;
}

void CVyxListCtrlEx::OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* view = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    *pResult = 0;
    if (view->iItem < 0)
        return;
    CImageList* image = CreateDragImage(view->iItem);
    // A row without a drag image starts no drag.
    if (!image)
        return;
    m_nDragIndex = view->iItem;
    image->BeginDrag(0, CPoint(0, 0));
    CImageList::DragEnter(this, view->ptAction);
    SetCapture();
    m_bDragging = TRUE;
    delete image;
}

void CVyxListCtrlEx::UpdateTarget(CPoint point)
{
    LVHITTESTINFO hit = {};
    hit.pt = point;
    int target = static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (!(hit.flags & LVHT_ONITEM))
        target = -1;
    if (target == m_nDropIndex)
        return;
    CImageList::DragShowNolock(FALSE);
    if (m_nDropIndex >= 0)
        SetItemState(m_nDropIndex, 0, LVIS_DROPHILITED);
    m_nDropIndex = target;
    if (m_nDropIndex >= 0)
        SetItemState(m_nDropIndex, LVIS_DROPHILITED, LVIS_DROPHILITED);
    UpdateWindow();
    CImageList::DragShowNolock(TRUE);
}

BOOL CVyxListCtrlEx::InScrollZone(CPoint point, int* pDirection) const
{
    CRect client;
    GetClientRect(&client);
    if (point.y >= 0 && point.y <= m_nScrollZone) {
        *pDirection = SB_LINEUP;
        return TRUE;
    }
    if (point.y >= client.Height() - m_nScrollZone && point.y <= client.Height()) {
        *pDirection = SB_LINEDOWN;
        return TRUE;
    }
    return FALSE;
}

void CVyxListCtrlEx::EndDragging(BOOL bCancelled)
{
    KillTimer(kScrollTimer);
    if (m_nDropIndex >= 0)
        SetItemState(m_nDropIndex, 0, LVIS_DROPHILITED);
    CImageList::DragLeave(this);
    CImageList::EndDrag();
    m_bDragging = FALSE;
    if (CWnd::GetCapture() == this)
        ::ReleaseCapture();
    if (bCancelled) {
        m_nDropIndex = -1;
        Invalidate();
    }
}

void CVyxListCtrlEx::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bDragging) {
        CListCtrl::OnMouseMove(nFlags, point);
        return;
    }
    KillTimer(kScrollTimer);
    const bool escape = ((::GetKeyState(VK_ESCAPE) | ::GetAsyncKeyState(VK_ESCAPE)) & 0x8000) != 0;
    if (CWnd::GetCapture() != this || nFlags == MK_RBUTTON || nFlags == MK_MBUTTON || escape) {
        EndDragging(TRUE);
        return;
    }
    CImageList::DragMove(point);
    UpdateTarget(point);
    int direction = 0;
    if (m_nDropIndex >= 0 && InScrollZone(point, &direction))
        SetTimer(kScrollTimer, kScrollPeriod, nullptr);
}

void CVyxListCtrlEx::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kScrollTimer || !m_bDragging) {
        CListCtrl::OnTimer(nIDEvent);
        return;
    }
    if (CWnd::GetCapture() != this) {
        EndDragging(TRUE);
        return;
    }
    SetTimer(kScrollTimer, kScrollPeriod, nullptr);
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    int direction = 0;
    if (!InScrollZone(point, &direction)) {
        CImageList::DragMove(point);
        UpdateTarget(point);
        KillTimer(kScrollTimer);
        return;
    }
    int top = static_cast<int>(SendMessage(LVM_GETTOPINDEX));
    CImageList::DragShowNolock(FALSE);
    SendMessage(WM_VSCROLL, direction, 0);
    CImageList::DragShowNolock(TRUE);
    if (static_cast<int>(SendMessage(LVM_GETTOPINDEX)) != top) {
        CImageList::DragShowNolock(FALSE);
        CImageList::DragMove(point);
        CImageList::DragShowNolock(TRUE);
    } else {
        KillTimer(kScrollTimer);
        CImageList::DragMove(point);
        UpdateTarget(point);
    }
}

void CVyxListCtrlEx::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (!m_bDragging) {
        CListCtrl::OnLButtonUp(nFlags, point);
        return;
    }
    const int target = m_nDropIndex;
    EndDragging(FALSE);
    m_nDropIndex = -1;
    if (target < 0 || m_nDragIndex < 0 || target == m_nDragIndex)
        return;
    CWaitCursor wait;
    SendMessage(WM_SETREDRAW, FALSE);
    if (m_nNotifyMessage) {
        if (CWnd* parent = GetParent())
            parent->SendMessage(m_nNotifyMessage, m_nDragIndex, target);
    }
    SetItemState(target, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetItemState(m_nDragIndex, 0, LVIS_SELECTED | LVIS_FOCUSED);
    m_nDragIndex = -1;
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate();
    UpdateWindow();
}
