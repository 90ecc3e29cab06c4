#include "viewer/COneWndList.h"

#include "catalogue/CKWDoc.h"
#include "res/resource.h"
#include "viewer/COneWnd.h"
#include "viewer/VSlideShowDlg.h"

#include <algorithm>
#include <cstring>

COneWndList* COneWndListLock::GetList() const
{
    COneWndList* list = nullptr;
    if (m_locked && m_block.GetView() && m_block.GetSize() >= sizeof(list))
        std::memcpy(&list, m_block.GetView(), sizeof(list));
    return list;
}

COneWnd* COneWndList::NewWindow(CKWDoc* pDocument, CWnd* pOwner)
{
    auto* window = new COneWnd;
    window->m_pOwner = pOwner;
    window->m_pDocument = pDocument;
    bool deleted = false;
    window->m_pDeleted = &deleted;
    if (!window->LoadFrame(IDR_PICTUREWND, WS_OVERLAPPEDWINDOW, nullptr, nullptr)) {
        // A frame whose window was made deletes itself as the window goes.
        if (!deleted) {
            if (::IsWindow(window->m_hWnd))
                window->CFrameWnd::DestroyWindow();
            else
                delete window;
        }
        return nullptr;
    }
    window->m_pDeleted = nullptr;

    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(COneView);
    context.m_pCurrentDoc = pDocument;
    context.m_pCurrentFrame = window;
    auto* view = new COneView;
    // A view that fails to be created deletes itself.
    if (!view->Create(nullptr, L"COneView", WS_CHILD, CRect(0, 0, 0, 0), window, AFX_IDW_PANE_FIRST, &context)) {
        window->CFrameWnd::DestroyWindow();
        return nullptr;
    }
    window->m_pView = view;
    view->SendMessage(WM_INITIALUPDATE);
    window->SetActiveView(view);
    window->RecalcLayout();
    view->ShowWindow(SW_SHOW);
    // The document's announcements are not for this view, and closing it must not close the view.
    if (pDocument)
        pDocument->RemoveView(view);
    view->SetDisplaySettings(window->m_settings);
    view->SetAngle(window->m_nAngle);
    AddTail(window);
    return window;
}

std::vector<COneWnd*> COneWndList::Snapshot() const
{
    std::vector<COneWnd*> windows;
    for (POSITION position = GetHeadPosition(); position;)
        windows.push_back(static_cast<COneWnd*>(GetNext(position)));
    return windows;
}

COneWnd* COneWndList::GetWindow(int nIndex) const
{
    POSITION position = FindIndex(nIndex);
    return position ? static_cast<COneWnd*>(GetAt(position)) : nullptr;
}

int COneWndList::IndexOf(const CWnd* pWnd) const
{
    int index = 0;
    for (POSITION position = GetHeadPosition(); position; ++index)
        if (GetNext(position) == pWnd)
            return index;
    return -1;
}

BOOL COneWndList::Remove(const CWnd* pWnd)
{
    POSITION position = Find(const_cast<CWnd*>(pWnd));
    if (!position)
        return FALSE;
    RemoveAt(position);
    return TRUE;
}

BOOL COneWndList::CloseWindow(CWnd* pWnd)
{
    if (IndexOf(pWnd) < 0)
        return FALSE;
    static_cast<COneWnd*>(pWnd)->DestroyWindow();
    Remove(pWnd);
    return TRUE;
}

void COneWndList::CloseIndex(int nIndex)
{
    for (COneWnd* window : Snapshot())
        if (IndexOf(window) >= 0 && window->GetIndex() == nIndex)
            CloseWindow(window);
}

void COneWndList::CloseAll()
{
    while (!IsEmpty())
        CloseWindow(static_cast<COneWnd*>(GetHead()));
}

void COneWndList::RemoveIndex(int nIndex)
{
    for (COneWnd* window : Snapshot()) {
        if (IndexOf(window) < 0)
            continue;
        const int count = window->m_pDocument ? window->m_pDocument->GetItemCount() : 0;
        if (window->m_nIndex > nIndex) {
            --window->m_nIndex;
            window->UpdateTitle(nullptr);
        } else if (window->m_nIndex < nIndex) {
            window->UpdateTitle(nullptr);
        } else if (count == 0) {
            // Nothing is left to show.
            CloseWindow(window);
        } else {
            // The file that now has the index, or the new last one when the last went.
            window->ShowPicture(std::min(nIndex, count - 1));
        }
    }
}

void COneWndList::RelocateAll()
{
    for (COneWnd* window : Snapshot())
        if (IndexOf(window) >= 0)
            window->Relocate();
}

void COneWndList::RefreshIndex(int nIndex)
{
    for (COneWnd* window : Snapshot())
        if (IndexOf(window) >= 0 && window->GetIndex() == nIndex)
            window->ShowPicture(nIndex);
}

VSlideShowDlg* COneWndList::GetOpenSlideshow()
{
    if (m_pSlideShow && !m_pSlideShow->GetSafeHwnd())
        DeleteEndedSlideshow();
    return m_pSlideShow;
}

void COneWndList::DeleteEndedSlideshow()
{
    if (m_pSlideShow && !m_pSlideShow->GetSafeHwnd()) {
        delete m_pSlideShow;
        m_pSlideShow = nullptr;
    }
}

void COneWndList::CloseSlideshowOf(const CWnd* pOwner)
{
    if (!m_pSlideShow || m_pSlideShow->GetOwnerWindow() != pOwner)
        return;
    if (m_pSlideShow->GetSafeHwnd())
        m_pSlideShow->DestroyWindow();
    delete m_pSlideShow;
    m_pSlideShow = nullptr;
}
