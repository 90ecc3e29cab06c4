// The picture window showing a file: the view given the file, the window following the document
// and fitted to the picture, the title and the status bar.
#include "viewer/COneWnd.h"

#include "catalogue/CKWDoc.h"
#include "catalogue/NoteText.h"
#include "foundation/VyxSystem.h"
#include "viewer/COneWndList.h"
#include "viewer/VSlideShowDlg.h"

#include <algorithm>
#include <climits>

namespace {

// A window that follows its picture grows to the right and down, within the virtual screen and
// the work area common to the monitors at its corners.
void KeepWithinWorkArea(CRect& window)
{
    window.right = std::max<LONG>(window.right, window.left + 2 * ::GetSystemMetrics(SM_CXFRAME));
    window.bottom = std::max<LONG>(window.bottom, window.top + 2 * ::GetSystemMetrics(SM_CYFRAME));
    const int screenLeft = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int screenTop = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    window.left = std::max<LONG>(window.left, screenLeft);
    window.top = std::max<LONG>(window.top, screenTop);
    window.right = std::min<LONG>(window.right, screenLeft + ::GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1);
    window.bottom = std::min<LONG>(window.bottom, screenTop + ::GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1);
    RECT work;
    GetCommonWorkArea(work, window.left, window.top, window.right, window.bottom);
    window.right = std::min(window.right, work.right);
    window.bottom = std::min(window.bottom, work.bottom);
}

// A pane has one line: a note's line breaks are drawn as spaces.
CString NoteOnOneLine(const CString& note)
{
    return NoteText::Typed(note, L" ");
}

} // namespace

// ---------------------------------------------------------------- showing a file

VyxFile* COneWnd::ShowPicture(int nIndex)
{
    if (nIndex < 0)
        nIndex = m_nIndex;
    VyxFile* item = m_pDocument ? m_pDocument->GetItem(nIndex) : nullptr;
    if (!item)
        return nullptr;
    m_nIndex = nIndex;
    m_bLocked = FALSE;
    if (m_pView) {
        m_pView->SetDisplaySettings(m_settings);
        m_pView->SetAngle(m_nAngle);
        m_pView->GetPicture().SetFollowRoom(GetFollowRoom());
        m_pView->SetPicture(item);
        FollowPicture();
        // Only the view shows the picture: the frame itself invalidated would have every bar
        // drawn again with it, for nothing.
        m_pView->Invalidate(FALSE);
    }
    // The view's own copy of the item has the picture's facts once it is loaded.
    UpdateTitle(m_pView && m_pView->GetItem() ? m_pView->GetItem() : item);
    COneWndListLock lock(m_block);
    COneWndList* list = lock.GetList();
    if (VSlideShowDlg* show = list ? list->m_pSlideShow : nullptr) {
        show->UpdatePositionBar();
        show->SetLocked(FALSE);
        show->SetIndex(nIndex);
        show->Reload();
    }
    return item;
}

BOOL COneWnd::Relocate()
{
    VyxFile* item = m_pView ? m_pView->GetItem() : nullptr;
    if (!item || !m_pDocument)
        return TRUE;
    m_nIndex = m_pDocument->FindItem(item->GetPath(), item->GetArchivePath(), m_nIndex - 1);
    const BOOL locked = m_nIndex < 0;
    if (locked != m_bLocked) {
        m_bLocked = locked;
        UpdateTitle(nullptr);
        COneWndListLock lock(m_block);
        COneWndList* list = lock.GetList();
        if (VSlideShowDlg* show = list ? list->m_pSlideShow : nullptr)
            show->SetLocked(locked);
    }
    return m_bLocked;
}

void COneWnd::ReplaceDisplayedPage(HGLOBAL dib, COnePicture::PageEdit edit)
{
    if (!dib || !m_pView)
        return;
    m_pView->ReplacePage(dib);
    m_pView->GetPicture().AddDisplayEdit(std::move(edit));
    m_pView->Invalidate(FALSE);
    UpdateTitle(nullptr);
}
// ---------------------------------------------------------------- title and status

void COneWnd::UpdateTitle(const VyxFile* item)
{
    UpdateSizePanes();
    if (item && m_wndStatusBar.GetSafeHwnd()) {
        CString info = item->GetInfoText();
        m_wndStatusBar.SetPaneText(2, info.IsEmpty() ? NoteOnOneLine(item->GetNote()) : info);
    }
    if (!item)
        item = GetShownItem();
    if (item) {
        // The size the title tells is that of the page shown, turned as it is shown.
        VyxFile shown(*item);
        const CSize size = m_pView ? m_pView->GetPicture().GetShownPictureSize() : CSize(0, 0);
        if (size.cx > 0 && size.cy > 0) {
            shown.SetWidth(size.cx);
            shown.SetHeight(size.cy);
        }
        m_strTitle = shown.ExpandMacros(m_strTitleFormat);
    }
    const int count = m_pDocument ? m_pDocument->GetItemCount() : 0;
    const int page = m_pView ? m_pView->GetCurrentPage() : 0;
    const int pages = m_pView ? m_pView->GetKnownPageCount() : 0;
    if (m_hWnd)
        SetWindowText(FormatWindowText(m_strTitle, m_bLocked, m_nIndex, count, page, pages));
}

CString COneWnd::FormatWindowText(const CString& title, BOOL bLocked, int nIndex, int nCount, int nPage, int nPages)
{
    CString text;
    if (bLocked)
        text.Format(L"**locked** %s", title.GetString());
    else
        text.Format(L"%s (%d/%d)", title.GetString(), nIndex + 1, nCount);
    if (nPages > 1) {
        CString pages;
        pages.Format(L" [%d/%d]", nPage + 1, nPages);
        text += pages;
    }
    return text;
}

void COneWnd::UpdateSizePanes()
{
    if (!m_wndStatusBar.GetSafeHwnd())
        return;
    CSize size = m_pView ? m_pView->GetDisplaySize() : CSize(0, 0);
    const double percent = m_pView ? m_pView->GetShownZoom() * 100 : 0;
    CString text;
    text.Format(L"%ldx%ld", size.cx, size.cy);
    m_wndStatusBar.SetPaneText(0, text);
    // A zoom grown past every bound still reads as a number.
    text.Format(L"%d%%", percent >= INT_MAX ? INT_MAX : percent > INT_MIN ? static_cast<int>(percent) : INT_MIN);
    m_wndStatusBar.SetPaneText(1, text);
}
// ---------------------------------------------------------------- the window fitted to the picture

void COneWnd::RecalcLayout(BOOL bNotify)
{
    VyxFrameWndEx::RecalcLayout(bNotify);
    // The bars may have taken another height at the window's new width: a picture fitted into
    // the room the window can grow to is fitted again into the room as it is now.
    if (m_pView && m_settings.FitSize == COnePicture::FitWindowFollows) {
        COnePicture& picture = m_pView->GetPicture();
        const CSize room = GetFollowRoom();
        if (room != picture.GetFollowRoom()) {
            picture.SetFollowRoom(room);
            const CSize before = m_pView->GetDisplaySize();
            picture.Refit();
            if (m_pView->GetDisplaySize() != before)
                FollowPicture();
        }
    }
    // The view has been given its new size and has fitted the picture to it (maximised, tiled,
    // a bar shown or hidden): the panes tell the new size and zoom.
    if (m_pView)
        UpdateSizePanes();
}

void COneWnd::FitWindowToPicture(int width, int height, BOOL bRepaint)
{
    if (!m_hWnd || !m_pView || IsZoomed())
        return;
    // The bars may wrap to another height at the new width: the view is measured again.
    for (int pass = 0; pass < 3; ++pass) {
        CRect window, client;
        GetWindowRect(&window);
        m_pView->GetClientRect(&client);
        if (client.Width() == width && client.Height() == height)
            return;
        window.right += width - client.Width();
        window.bottom += height - client.Height();
        // Narrower, the menu would hide its titles behind the chevron: a small picture gets room.
        window.right = std::max<LONG>(window.right, window.left + GetMenuTitlesWidth());
        KeepWithinWorkArea(window);
        CRect before;
        GetWindowRect(&before);
        if (before == window)
            return;
        MoveWindow(&window, bRepaint);
    }
}

int COneWnd::GetMenuTitlesWidth()
{
    CReBarCtrl& bands = m_wndReBar.GetReBarCtrl();
    if (!m_wndMenuBar.GetSafeHwnd() || !(m_wndMenuBar.GetStyle() & WS_VISIBLE) || !bands.GetSafeHwnd())
        return 0;
    CRect window, row;
    GetWindowRect(&window);
    // The bands lie inside the control's border, which the window's width must cover too.
    bands.GetClientRect(&row);
    return m_wndReBar.GetFullBandWidth(&m_wndMenuBar) + window.Width() - row.Width();
}

CSize COneWnd::GetFollowRoom()
{
    if (!m_hWnd || !m_pView || IsZoomed())
        return CSize(0, 0);
    CRect window, client;
    GetWindowRect(&window);
    m_pView->GetClientRect(&client);
    CRect grown(window.TopLeft(), CSize(SHRT_MAX, SHRT_MAX));
    KeepWithinWorkArea(grown);
    return grown.Size() - (window.Size() - client.Size());
}

void COneWnd::FollowPicture()
{
    if (m_pView && m_settings.FitSize == COnePicture::FitWindowFollows) {
        CSize size = m_pView->GetDisplaySize();
        FitWindowToPicture(size.cx, size.cy, TRUE);
    }
}
