// The folder tree's side of drag and drop: a folder dragged out of the tree, and files dropped on it.
#include "browser/CFolderView.h"

#include "browser/CMainFrame.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/VyxDropFormats.h"
#include "catalogue/WatchModeScope.h"

#include <algorithm>
#include <memory>

#include <imm.h>

// ---------------------------------------------------------------- dragging a folder

void CFolderView::OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    auto* notify = reinterpret_cast<NMTREEVIEWW*>(pNMHDR);
    StartDrag(notify->itemNew.hItem, notify->ptDrag);
}

void CFolderView::OnLButtonDown(UINT nFlags, CPoint point)
{
    // The left button pressed while the right one is held asks for the shell's menu.
    if (m_bTracking && (nFlags & MK_RBUTTON)) {
        m_bShellMenu = TRUE;
        return;
    }
    m_nButtonState |= 2;
    CFolderTreeView::OnLButtonDown(nFlags, point);
}

void CFolderView::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_nButtonState &= ~2;
    CFolderTreeView::OnLButtonUp(nFlags, point);
}

void CFolderView::OnRButtonDown(UINT nFlags, CPoint point)
{
    m_nButtonState |= 4;
    UINT flags = 0;
    HTREEITEM item = GetTreeCtrl().HitTest(point, &flags);
    if (item && (flags & TVHT_ONITEM)) {
        SetCapture();
        m_bTracking = TRUE;
        m_bShellMenu = FALSE;
        m_hDragged = item;
        HighlightDropItem(item);
        m_pressTime = static_cast<LONGLONG>(time(nullptr));
        return;
    }
    CFolderTreeView::OnRButtonDown(nFlags, point);
}

void CFolderView::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bTracking && (nFlags & MK_RBUTTON)) {
        UINT flags = 0;
        HTREEITEM over = GetTreeCtrl().HitTest(point, &flags);
        if ((over && over != m_hDragged) || static_cast<LONGLONG>(time(nullptr)) != m_pressTime) {
            m_bTracking = FALSE;
            ReleaseCapture();
            StartDrag(m_hDragged, point);
            return;
        }
    }
    CFolderTreeView::OnMouseMove(nFlags, point);
}

void CFolderView::OnRButtonUp(UINT nFlags, CPoint point)
{
    m_nButtonState &= ~4;
    if (m_bTracking) {
        m_bTracking = FALSE;
        ReleaseCapture();
        ClearDropHighlight();
    }
    CFolderTreeView::OnRButtonUp(nFlags, point);
}

void CFolderView::StartDrag(HTREEITEM hItem, CPoint point)
{
    CString path = GetItemPath(hItem);
    if (path.IsEmpty())
        return;
    CString parentPath = GetItemPath(GetTreeCtrl().GetParentItem(hItem));
    HGLOBAL files = VyxDropFormats::MakeFileList({path}, point);
    HGLOBAL folder = VyxDropFormats::MakeFolderBlock(parentPath);
    if (!files || !folder) {
        if (files)
            ::GlobalFree(files);
        if (folder)
            ::GlobalFree(folder);
        return;
    }
    auto* source = new COleDataSource;
    source->CacheGlobalData(CF_HDROP, files);
    source->CacheGlobalData(VyxDropFormats::DropFolderFormat(), folder);
    DROPEFFECT effect = DROPEFFECT_NONE;
    {
        WatchModeScope watch(GetMainFrame());
        effect = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
        source->ExternalRelease();
    }
    ClearDropHighlight();
    if (effect != DROPEFFECT_NONE) {
        if (CKWDoc* doc = GetDocument())
            doc->UpdateAllViews(nullptr, HintFolderChanged, reinterpret_cast<CObject*>(parentPath.GetBuffer()));
        parentPath.ReleaseBuffer();
    }
}

// ---------------------------------------------------------------- dropping on the pane

void CFolderView::HighlightDropItem(HTREEITEM hItem)
{
    CTreeCtrl& tree = GetTreeCtrl();
    if (tree.GetDropHilightItem() == hItem)
        return;
    // Wine leaves the highlight where it was when asked to put it on the selected item.
    tree.SelectDropTarget(nullptr);
    tree.SelectDropTarget(hItem);
}

void CFolderView::ClearDropHighlight()
{
    HighlightDropItem(m_hSelected);
}

HTREEITEM CFolderView::TargetOrSelected() const
{
    return m_hTarget ? m_hTarget : m_hSelected;
}

DROPEFFECT CFolderView::OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    m_hTarget = nullptr;
    m_drop.Enter(dwKeyState);
    return OnDragOver(pDataObject, dwKeyState, point);
}

DROPEFFECT CFolderView::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    if (!VyxDropFormats::HasFileList(pDataObject))
        return DROPEFFECT_NONE;
    CTreeCtrl& tree = GetTreeCtrl();
    UINT flags = 0;
    HTREEITEM item = tree.HitTest(point, &flags);
    FolderTreeItem* record = GetRecord(item);
    if (!record || record->kind != FolderTreeFolder)
        return DROPEFFECT_NONE;
    CRect client;
    GetClientRect(&client);
    int height = std::max(1, static_cast<int>(tree.GetItemHeight()));
    if (point.y < client.top + height / 2) {
        if (HTREEITEM previous = tree.GetPrevVisibleItem(tree.GetFirstVisibleItem()))
            tree.EnsureVisible(previous);
    } else if (point.y > client.bottom - height) {
        HTREEITEM last = tree.GetFirstVisibleItem();
        for (UINT i = 0; last && i < tree.GetVisibleCount(); ++i)
            last = tree.GetNextVisibleItem(last);
        if (last)
            tree.EnsureVisible(last);
    }
    if ((flags & TVHT_ONITEMBUTTON) && !(tree.GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED)) {
        m_nExpandByCode = 2;
        tree.Expand(item, TVE_EXPAND);
        m_nExpandByCode = 0;
    }
    if (flags & (TVHT_ONITEMLABEL | TVHT_ONITEMRIGHT)) {
        HighlightDropItem(item);
        m_hTarget = item;
    }
    return VyxDropTarget::EffectForKeys(dwKeyState, GetDocument());
}

void CFolderView::OnDragLeave()
{
    m_drop.Leave();
    ClearDropHighlight();
}

DROPEFFECT CFolderView::OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList, CPoint point)
{
    DROPEFFECT effect = m_drop.ChooseEffect(this, point, dropDefault, dropList);
    OnDragLeave();
    if (effect == DROPEFFECT_NONE)
        return DROPEFFECT_NONE;
    return OnDrop(pDataObject, effect, point) ? effect : DROPEFFECT_NONE;
}

BOOL CFolderView::OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint)
{
    HTREEITEM destination = TargetOrSelected();
    FolderTreeItem* record = GetRecord(destination);
    if (!pDataObject || !record || record->kind != FolderTreeFolder)
        return FALSE;
    CString path = GetItemPath(destination);
    if (path.IsEmpty())
        return FALSE;
    // The program's own drag runs at once and succeeds when something went; another program's
    // is posted.
    LRESULT count = 0;
    BOOL handed = VyxDropTarget::Drop(pDataObject, dropEffect, path, &count);
    return handed && (count > 0 || !VyxDropFormats::HasDropFolder(pDataObject));
}
