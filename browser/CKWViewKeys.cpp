// The thumbnail view's keys: cursor moves, pages, Home and End, Space, Tab and Enter.
#include "browser/CKWView.h"

#include "catalogue/CKWDoc.h"
#include "catalogue/VyxFile.h"
#include "res/resource.h"

#include <algorithm>

namespace {

int KeyFlags()
{
    return (::GetKeyState(VK_SHIFT) < 0 ? CKWView::SelectShift : 0) |
           (::GetKeyState(VK_CONTROL) < 0 ? CKWView::SelectCtrl : 0);
}

} // namespace

BOOL CKWView::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_hWnd && HandleKey(static_cast<UINT>(pMsg->wParam)))
        return TRUE;
    return CScrollView::PreTranslateMessage(pMsg);
}

void CKWView::OnKeyDown(UINT nChar, UINT, UINT)
{
    // The base view would scroll the window behind the grid's own position.
    if (!HandleKey(nChar))
        Default();
}

bool CKWView::HandleKey(UINT key)
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return false;
    const int flags = KeyFlags();
    const int columns = m_layout.GetColumns();
    // Without a cursor yet, every move starts at the first item.
    const int cursor = m_cursor >= 0 ? m_cursor : doc->GetCursorIndex();
    auto move = [&](int step) { return cursor >= 0 ? cursor + step : 0; };
    switch (key) {
    case VK_LEFT:
        KeySelect(move(-1), flags, false);
        return true;
    case VK_RIGHT:
        KeySelect(move(1), flags, false);
        return true;
    case VK_UP:
        KeySelect(move(-columns), flags, false);
        return true;
    case VK_DOWN:
        KeySelect(move(columns), flags, false);
        return true;
    case VK_PRIOR:
        PageKey(-1, flags);
        return true;
    case VK_NEXT:
        PageKey(1, flags);
        return true;
    case VK_HOME:
        ScrollTo(0);
        KeySelect(0, flags, false);
        return true;
    case VK_END:
        ScrollTo(m_layout.GetMaxPosition());
        KeySelect(doc->GetItemCount() - 1, flags, false);
        return true;
    case VK_SPACE:
        KeySelect(move(0), flags, true);
        return true;
    case VK_TAB:
        doc->ActivateView(this);
        return true;
    case VK_RETURN:
        SendMessage(WM_COMMAND, ID_ACTIVATE_CURSOR);
        return true;
    default:
        return false;
    }
}

void CKWView::PageKey(int sign, int flags)
{
    CKWDoc* doc = GetDocument();
    const int count = doc->GetItemCount();
    const int columns = m_layout.GetColumns();
    const int height = m_layout.GetCell().cy;
    if (count <= 0 || height <= 0)
        return;
    // The grid moves a page and the cursor as many rows, so that it stays where it showed; at
    // either end the cursor goes on to the first row or the last item.
    const int rows = std::max<int>(1, m_layout.GetPage().cy / height);
    const int cursor = m_cursor >= 0 ? m_cursor : doc->GetCursorIndex();
    int target = cursor < 0 ? 0 : cursor + sign * rows * columns;
    if (target < 0)
        target = cursor % columns;
    target = std::min(target, count - 1);
    ScrollTo(m_position + sign * rows * height);
    KeySelect(target, flags, false);
}

void CKWView::KeySelect(int target, int flags, bool toggle)
{
    CKWDoc* doc = GetDocument();
    if (!doc)
        return;
    const int count = doc->GetItemCount();
    if (target < 0 || target >= count)
        return;
    m_cursor = target;
    const bool shift = (flags & SelectShift) != 0, ctrl = (flags & SelectCtrl) != 0;
    if (toggle) {
        if (m_anchor != target) {
            if (VyxFile* item = doc->GetItem(target))
                doc->SelectItem(target, !item->TestFlags(VyxFilexDraw::FlagSelected), nullptr);
        }
        if (m_cursor < count - 1)
            ++m_cursor;
    } else if (shift) {
        VyxFile* anchorItem = doc->GetItem(m_anchor);
        const bool state = anchorItem ? anchorItem->TestFlags(VyxFilexDraw::FlagSelected) : true;
        const int from = anchorItem ? m_anchor : target;
        if (!ctrl)
            doc->DeselectAll();
        SelectRange(from, target, state);
        if (ctrl)
            m_anchor = target;
    } else if (!ctrl) {
        if (!doc->NotClrCursorMove)
            SelectOnly(target);
        m_anchor = target;
    }
    if (EnsureVisible(m_cursor))
        Invalidate(FALSE);
    doc->SetCursorIndex(m_cursor, nullptr);
}
