#include "controls/CTreePropSheetBase.h"

#include "controls/CWhiteBackgroundProvider.h"
#include "controls/UxThemeBinder.h"
#include "controls/VyxPropPageFrameEx.h"

#include <vector>

namespace TreePropSheet {

IMPLEMENT_DYNAMIC(CTreePropSheetBase, CPropertySheet)

namespace {

const UINT kPageTreeId = 0x7EEE;
const UINT kFrameId = 0xFFFF;
const UINT kCaptionProbeId = 0x1234;

bool KeyDown(int key)
{
    return ::GetKeyState(key) < 0;
}

// A path level's name: escaped separators become separators, then doubled backslashes single.
CString UnescapeLevel(CString name)
{
    name.Replace(L"\\::", L"::");
    name.Replace(L"\\\\", L"\\");
    return name;
}

} // namespace

BEGIN_MESSAGE_MAP(CTreePropSheetBase, CPropertySheet)
ON_WM_DESTROY()
ON_WM_THEMECHANGED()
ON_MESSAGE(PSM_ADDPAGE, OnAddPage)
ON_MESSAGE(PSM_REMOVEPAGE, OnRemovePage)
ON_MESSAGE(PSM_SETCURSEL, OnSetCurSel)
ON_MESSAGE(PSM_SETCURSELID, OnSetCurSelId)
ON_MESSAGE(PSM_ISDIALOGMESSAGE, OnIsDialogMessage)
ON_NOTIFY(TVN_SELCHANGINGW, kPageTreeId, OnPageTreeSelChanging)
ON_NOTIFY(TVN_SELCHANGINGA, kPageTreeId, OnPageTreeSelChanging)
ON_NOTIFY(TVN_SELCHANGEDW, kPageTreeId, OnPageTreeSelChanged)
ON_NOTIFY(TVN_SELCHANGEDA, kPageTreeId, OnPageTreeSelChanged)
END_MESSAGE_MAP()

CTreePropSheetBase::CTreePropSheetBase() = default;

CTreePropSheetBase::CTreePropSheetBase(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(nIDCaption, pParentWnd, iSelectPage)
{
}

CTreePropSheetBase::CTreePropSheetBase(LPCWSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(pszCaption, pParentWnd, iSelectPage)
{
}

CTreePropSheetBase::~CTreePropSheetBase()
{
    delete m_pwndPageTree;
    delete m_pFrame;
}

// ---------------------------------------------------------------- settings

BOOL CTreePropSheetBase::SetTreeViewMode(BOOL bTreeViewMode, BOOL bPageCaption, BOOL bTreeImages)
{
    if (::IsWindow(m_hWnd))
        return FALSE;
    m_bTreeViewMode = bTreeViewMode;
    if (bTreeViewMode) {
        m_bPageCaption = bPageCaption;
        m_bTreeImages = bTreeImages;
    }
    return TRUE;
}

DWORD CTreePropSheetBase::SetEmptyPageTextFormat(DWORD dwFormat)
{
    if (!m_pFrame)
        return 0;
    DWORD previous = m_pFrame->GetMsgFormat();
    m_pFrame->SetMsgFormat(dwFormat);
    return previous;
}

BOOL CTreePropSheetBase::SetTreeDefaultImages(UINT nBitmapID, int cx, COLORREF crMask)
{
    m_DefaultImages.DeleteImageList();
    if (m_DefaultImages.Create(nBitmapID, cx, 0, crMask) && m_DefaultImages.GetImageCount() == 2)
        return TRUE;
    m_DefaultImages.DeleteImageList();
    return FALSE;
}

BOOL CTreePropSheetBase::SetTreeDefaultImages(CImageList* pImages)
{
    if (!pImages || !pImages->GetSafeHandle() || pImages->GetImageCount() != 2)
        return FALSE;
    m_DefaultImages.DeleteImageList();
    if (!m_DefaultImages.Create(pImages))
        return FALSE;
    if (::IsWindow(m_hWnd))
        RefillPageTree();
    return TRUE;
}

BOOL CTreePropSheetBase::IsDefaultImages() const
{
    return m_DefaultImages.GetSafeHandle() && m_DefaultImages.GetImageCount() == 2;
}

BOOL CTreePropSheetBase::SetPageIcon(CPropertyPage* pPage, HICON hIcon)
{
    if (!pPage || !hIcon)
        return FALSE;
    pPage->m_psp.dwFlags = (pPage->m_psp.dwFlags & ~PSP_USEICONID) | PSP_USEHICON;
    pPage->m_psp.hIcon = hIcon;
    return TRUE;
}

BOOL CTreePropSheetBase::SetPageIcon(CPropertyPage* pPage, UINT nIconResource)
{
    HICON icon = ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIconResource));
    return icon ? SetPageIcon(pPage, icon) : FALSE;
}

BOOL CTreePropSheetBase::SetPageIcon(CPropertyPage* pPage, CImageList& images, int nImage)
{
    HICON icon = images.ExtractIcon(nImage);
    if (!icon)
        return FALSE;
    if (!SetPageIcon(pPage, icon)) {
        ::DestroyIcon(icon);
        return FALSE;
    }
    return TRUE;
}

BOOL CTreePropSheetBase::DestroyPageIcon(CPropertyPage* pPage)
{
    if (!pPage || !(pPage->m_psp.dwFlags & PSP_USEHICON) || !pPage->m_psp.hIcon)
        return FALSE;
    ::DestroyIcon(pPage->m_psp.hIcon);
    pPage->m_psp.hIcon = nullptr;
    pPage->m_psp.dwFlags &= ~PSP_USEHICON;
    return TRUE;
}

int CTreePropSheetBase::GetTreeWidth() const
{
    if (m_pwndPageTree && ::IsWindow(m_pwndPageTree->m_hWnd)) {
        CRect rect;
        m_pwndPageTree->GetWindowRect(&rect);
        return rect.Width();
    }
    return m_nPageTreeWidth;
}

BOOL CTreePropSheetBase::SetTreeWidth(int nWidth)
{
    if (::IsWindow(m_hWnd))
        return FALSE;
    m_nPageTreeWidth = nWidth;
    return TRUE;
}

CString CTreePropSheetBase::GenerateEmptyPageMessage(LPCWSTR lpszEmptyPageMessage, LPCWSTR lpszCaption)
{
    CString message = lpszEmptyPageMessage ? lpszEmptyPageMessage : L"";
    message.Replace(L"%s", lpszCaption ? lpszCaption : L"");
    return message;
}

CTreeCtrl* CTreePropSheetBase::CreatePageTreeObject()
{
    return new CTreeCtrl;
}

CPropPageFrame* CTreePropSheetBase::CreatePageFrame()
{
    return new VyxPropPageFrameEx;
}

// ---------------------------------------------------------------- the tree of pages

void CTreePropSheetBase::SplitPageTreePath(const CString& path, CString& name, CString& rest)
{
    int start = 0;
    for (;;) {
        int pos = path.Find(L"::", start);
        if (pos < 0)
            break;
        int backslashes = 0;
        while (pos - backslashes - 1 >= 0 && path[pos - backslashes - 1] == L'\\')
            ++backslashes;
        if (backslashes % 2 == 0) {
            name = UnescapeLevel(path.Left(pos));
            rest = path.Mid(pos + 2);
            return;
        }
        start = pos + 1;
    }
    name = path;
    rest.Empty();
}

HTREEITEM CTreePropSheetBase::CreatePageTreeItem(LPCWSTR lpszPath, HTREEITEM hParent)
{
    CString name, rest;
    SplitPageTreePath(lpszPath, name, rest);
    HTREEITEM parentNode = hParent == TVI_ROOT ? nullptr : hParent;
    HTREEITEM node = parentNode ? m_pwndPageTree->GetChildItem(parentNode) : m_pwndPageTree->GetRootItem();
    while (node && m_pwndPageTree->GetItemText(node) != name)
        node = m_pwndPageTree->GetNextSiblingItem(node);
    if (!node) {
        node = m_pwndPageTree->InsertItem(name, hParent, TVI_LAST);
        m_pwndPageTree->SetItemData(node, static_cast<DWORD_PTR>(-1));
        if (!rest.IsEmpty() && m_bTreeImages && IsDefaultImages()) {
            int image = m_Images.GetImageCount() - 2;
            m_pwndPageTree->SetItemImage(node, image, image);
        }
    }
    if (!rest.IsEmpty())
        return CreatePageTreeItem(rest, node);
    return node;
}

void CTreePropSheetBase::RefillPageTree()
{
    if (!::IsWindow(m_hWnd) || !m_pwndPageTree)
        return;
    ++m_nRefillingPageTreeContent;
    m_pwndPageTree->DeleteAllItems();
    CTabCtrl* tab = GetTabControl();
    if (!tab || !::IsWindow(tab->m_hWnd)) {
        --m_nRefillingPageTreeContent;
        return;
    }
    if (m_bTreeImages) {
        m_Images.SetImageCount(0);
        if (CImageList* icons = tab->GetImageList()) {
            for (int i = 0; i < icons->GetImageCount(); ++i) {
                HICON icon = icons->ExtractIcon(i);
                m_Images.Add(icon);
                ::DestroyIcon(icon);
            }
        }
        if (IsDefaultImages()) {
            for (int i = 0; i < 2; ++i) {
                HICON icon = m_DefaultImages.ExtractIcon(i);
                m_Images.Add(icon);
                ::DestroyIcon(icon);
            }
        }
    }
    for (int i = 0; i < tab->GetItemCount(); ++i) {
        wchar_t text[260] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = 260;
        tab->GetItem(i, &item);
        HTREEITEM node = CreatePageTreeItem(text);
        m_pwndPageTree->SetItemData(node, static_cast<DWORD_PTR>(i));
        if (m_bTreeImages) {
            int image = -1;
            if (item.iImage >= 0 && item.iImage < m_Images.GetImageCount())
                image = item.iImage;
            else if (IsDefaultImages())
                image = m_Images.GetImageCount() - 1;
            m_pwndPageTree->SetItemImage(node, image, image);
        }
    }
    --m_nRefillingPageTreeContent;
}

HTREEITEM CTreePropSheetBase::GetPageTreeItem(int nPage, HTREEITEM hRoot)
{
    if (!m_pwndPageTree || nPage < 0 || nPage >= GetPageCount())
        return nullptr;
    HTREEITEM node = hRoot == TVI_ROOT ? m_pwndPageTree->GetRootItem() : hRoot;
    for (; node; node = GetNextNode(node)) {
        if (static_cast<int>(m_pwndPageTree->GetItemData(node)) == nPage)
            return node;
    }
    return nullptr;
}

BOOL CTreePropSheetBase::HasPage(HTREEITEM hItem) const
{
    return hItem && static_cast<int>(m_pwndPageTree->GetItemData(hItem)) != -1;
}

HTREEITEM CTreePropSheetBase::GetNextNode(HTREEITEM hItem) const
{
    if (HTREEITEM child = m_pwndPageTree->GetChildItem(hItem))
        return child;
    for (HTREEITEM node = hItem; node; node = m_pwndPageTree->GetParentItem(node)) {
        if (HTREEITEM sibling = m_pwndPageTree->GetNextSiblingItem(node))
            return sibling;
    }
    return nullptr;
}

HTREEITEM CTreePropSheetBase::GetLastDescendant(HTREEITEM hItem) const
{
    for (HTREEITEM child = m_pwndPageTree->GetChildItem(hItem); child; child = m_pwndPageTree->GetChildItem(hItem)) {
        hItem = child;
        while (HTREEITEM next = m_pwndPageTree->GetNextSiblingItem(hItem))
            hItem = next;
    }
    return hItem;
}

HTREEITEM CTreePropSheetBase::GetPrevNode(HTREEITEM hItem) const
{
    if (HTREEITEM previous = m_pwndPageTree->GetPrevSiblingItem(hItem))
        return GetLastDescendant(previous);
    return m_pwndPageTree->GetParentItem(hItem);
}

HTREEITEM CTreePropSheetBase::GetFirstPageNodeAfter(HTREEITEM hItem) const
{
    for (HTREEITEM node = GetNextNode(hItem); node; node = GetNextNode(node)) {
        if (HasPage(node))
            return node;
    }
    return nullptr;
}

void CTreePropSheetBase::ExpandAll(HTREEITEM hItem)
{
    for (HTREEITEM node = hItem; node; node = m_pwndPageTree->GetNextSiblingItem(node)) {
        if (HTREEITEM child = m_pwndPageTree->GetChildItem(node)) {
            m_pwndPageTree->Expand(node, TVE_EXPAND);
            ExpandAll(child);
        }
    }
}

BOOL CTreePropSheetBase::SelectCurrentPageTreeItem()
{
    CTabCtrl* tab = GetTabControl();
    if (!m_pwndPageTree || !tab || !::IsWindow(tab->m_hWnd))
        return FALSE;
    HTREEITEM node = GetPageTreeItem(tab->GetCurSel());
    return node ? m_pwndPageTree->SelectItem(node) : FALSE;
}

void CTreePropSheetBase::UpdateCaption()
{
    if (!m_pwndPageTree || !m_pFrame)
        return;
    HWND page = reinterpret_cast<HWND>(SendMessage(PSM_GETCURRENTPAGEHWND));
    // The page's own state: while the sheet opens, the sheet itself is not shown yet.
    BOOL pageShown = page && (::GetWindowLongW(page, GWL_STYLE) & WS_VISIBLE) != 0;
    HTREEITEM node = m_pwndPageTree->GetSelectedItem();
    if (!node)
        return;
    CString text = m_pwndPageTree->GetItemText(node);
    if (!pageShown)
        m_pFrame->SetMsgText(GenerateEmptyPageMessage(m_strEmptyPageMessage, text));
    if (!m_pFrame->GetShowCaption())
        return;
    HICON icon = nullptr;
    if (m_bTreeImages) {
        int image = 0, selected = 0;
        m_pwndPageTree->GetItemImage(node, image, selected);
        icon = m_Images.GetSafeHandle() ? m_Images.ExtractIcon(selected) : nullptr;
    } else if (pageShown) {
        CTabCtrl* tab = GetTabControl();
        CImageList* icons = tab ? tab->GetImageList() : nullptr;
        if (icons) {
            TCITEMW item = {};
            item.mask = TCIF_IMAGE;
            if (tab->GetItem(static_cast<int>(m_pwndPageTree->GetItemData(node)), &item) && item.iImage >= 0)
                icon = icons->ExtractIcon(item.iImage);
        }
    }
    m_pFrame->SetCaption(text, icon);
    if (icon)
        ::DestroyIcon(icon);
}

// ---------------------------------------------------------------- creation

void CTreePropSheetBase::SetTabIcons()
{
    CTabCtrl* tab = GetTabControl();
    CImageList icons;
    if (!icons.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 1))
        return;
    BOOL all = TRUE;
    for (int i = 0; i < GetPageCount(); ++i) {
        const PROPSHEETPAGEW& record = GetPage(i)->m_psp;
        HICON icon = nullptr;
        if (record.dwFlags & PSP_USEHICON)
            icon = record.hIcon;
        else if (record.dwFlags & PSP_USEICONID)
            icon = ::LoadIconW(record.hInstance ? record.hInstance : AfxGetResourceHandle(), record.pszIcon);
        else
            continue;
        if (!icon || icons.Add(icon) < 0)
            all = FALSE;
    }
    if (!all)
        return; // the new list goes with icons
    HIMAGELIST previous = reinterpret_cast<HIMAGELIST>(
        tab->SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(icons.GetSafeHandle())));
    m_hTabIcons = icons.Detach();
    if (previous && previous != m_hTabIcons)
        ImageList_Destroy(previous);
}

void CTreePropSheetBase::UpdatePageBackgrounds()
{
    const bool white = UxThemeBinder::IsThemeActive() && UxThemeBinder::IsAppThemed();
    for (int i = 0; i < GetPageCount(); ++i)
        if (auto* provider = dynamic_cast<CWhiteBackgroundProvider*>(GetPage(i)))
            provider->SetHasWhiteBackground(white);
}

LRESULT CTreePropSheetBase::OnThemeChanged()
{
    UpdatePageBackgrounds();
    if (CPropertyPage* page = GetActivePage(); page && page->m_hWnd)
        page->Invalidate();
    return Default();
}

BOOL CTreePropSheetBase::OnInitDialog()
{
    UpdatePageBackgrounds();
    if (m_bTreeViewMode && !IsWizard()) {
        EnableStackedTabs(FALSE);
        int cx = 16, cy = 16;
        if (IsDefaultImages())
            m_DefaultImages.GetIconSize(&cx, &cy);
        m_Images.DeleteImageList();
        m_Images.Create(cx, cy, ILC_COLOR32 | ILC_MASK, 0, 1);
    }
    BOOL result = CPropertySheet::OnInitDialog();
    CTabCtrl* tab = GetTabControl();
    if (IsWizard() || !tab || !::IsWindow(tab->m_hWnd))
        return result;
    SetTabIcons();
    if (!m_bTreeViewMode)
        return result;

    tab->ShowWindow(SW_HIDE);
    tab->EnableWindow(FALSE);
    CRect rect;
    tab->GetWindowRect(&rect);
    ScreenToClient(&rect);

    delete m_pFrame;
    m_pFrame = CreatePageFrame();
    if (!m_pFrame)
        AfxThrowMemoryException();
    m_pFrame->Create(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect, this, kFrameId);
    m_pFrame->ShowCaption(m_bPageCaption);

    // Room on the left for the tree: the sheet grows and everything moves right.
    CRect window;
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.Width() + m_nPageTreeWidth, window.Height(), SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow();
    for (CWnd* child = GetWindow(GW_CHILD); child; child = child->GetNextWindow(GW_HWNDNEXT)) {
        CRect childRect;
        child->GetWindowRect(&childRect);
        ScreenToClient(&childRect);
        childRect.OffsetRect(m_nPageTreeWidth, 0);
        child->MoveWindow(&childRect);
    }

    // The caption band is as high as a tab.
    int captionHeight = 0;
    {
        CTabCtrl probe;
        if (probe.Create(WS_CHILD | WS_CLIPSIBLINGS, rect, this, kCaptionProbeId)) {
            probe.InsertItem(0, L"");
            CRect item;
            probe.GetItemRect(0, &item);
            captionHeight = item.Height();
            probe.DestroyWindow();
        }
    }
    m_pFrame->SetCaptionHeight(captionHeight);

    if (!m_bPageCaption) {
        CWnd* frame = m_pFrame->GetWnd();
        CRect frameRect;
        frame->GetWindowRect(&frameRect);
        ScreenToClient(&frameRect);
        frameRect.top += captionHeight;
        frame->MoveWindow(&frameRect);
        for (CWnd* child = GetWindow(GW_CHILD); child; child = child->GetNextWindow(GW_HWNDNEXT)) {
            CRect childRect;
            child->GetWindowRect(&childRect);
            ScreenToClient(&childRect);
            childRect.OffsetRect(0, -captionHeight);
            child->MoveWindow(&childRect);
        }
        GetWindowRect(&window);
        SetWindowPos(nullptr, window.left, window.top + captionHeight / 2, window.Width(),
                     window.Height() - captionHeight, SWP_NOZORDER);
        CenterWindow();
    }

    CRect treeRect(rect.left, rect.top, rect.left + m_nPageTreeWidth - m_nSeparatorWidth,
                   rect.bottom - (m_bPageCaption ? 0 : captionHeight));
    delete m_pwndPageTree;
    m_pwndPageTree = CreatePageTreeObject();
    if (!m_pwndPageTree)
        AfxThrowMemoryException();
    m_pwndPageTree->CreateEx(WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY,
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                 TVS_SHOWSELALWAYS | TVS_TRACKSELECT,
                             treeRect, this, kPageTreeId);
    if (m_bTreeImages) {
        m_pwndPageTree->SetImageList(&m_Images, TVSIL_NORMAL);
        m_pwndPageTree->SetImageList(&m_Images, TVSIL_STATE);
    }

    m_pwndPageTree->SetRedraw(FALSE);
    RefillPageTree();
    if (m_bAutoExpandTree)
        ExpandAll(m_pwndPageTree->GetRootItem());
    SelectCurrentPageTreeItem();
    m_pwndPageTree->SetRedraw(TRUE);
    m_pwndPageTree->Invalidate();
    return result;
}

void CTreePropSheetBase::OnDestroy()
{
    CPropertySheet::OnDestroy();
    if (m_pwndPageTree && ::IsWindow(m_pwndPageTree->m_hWnd))
        m_pwndPageTree->DestroyWindow();
    if (m_pFrame && m_pFrame->GetWnd() && ::IsWindow(m_pFrame->GetWnd()->m_hWnd))
        m_pFrame->GetWnd()->DestroyWindow();
    m_Images.DeleteImageList();
    delete m_pwndPageTree;
    m_pwndPageTree = nullptr;
    delete m_pFrame;
    m_pFrame = nullptr;
    if (m_hTabIcons) {
        ImageList_Destroy(m_hTabIcons);
        m_hTabIcons = nullptr;
    }
}

// ---------------------------------------------------------------- page messages

LRESULT CTreePropSheetBase::RefillAfter(LRESULT result)
{
    if (m_bTreeViewMode && m_pwndPageTree && ::IsWindow(m_pwndPageTree->m_hWnd)) {
        m_pwndPageTree->SetRedraw(FALSE);
        RefillPageTree();
        SelectCurrentPageTreeItem();
        m_pwndPageTree->SetRedraw(TRUE);
        m_pwndPageTree->Invalidate();
    }
    return result;
}

LRESULT CTreePropSheetBase::OnAddPage(WPARAM, LPARAM)
{
    UpdatePageBackgrounds();
    return RefillAfter(Default());
}

LRESULT CTreePropSheetBase::OnRemovePage(WPARAM, LPARAM)
{
    return RefillAfter(Default());
}

LRESULT CTreePropSheetBase::OnSetCurSel(WPARAM, LPARAM)
{
    LRESULT result = Default();
    if (m_bTreeViewMode && m_pwndPageTree) {
        SelectCurrentPageTreeItem();
        UpdateCaption();
    }
    return result;
}

LRESULT CTreePropSheetBase::OnSetCurSelId(WPARAM wParam, LPARAM lParam)
{
    return OnSetCurSel(wParam, lParam);
}

LRESULT CTreePropSheetBase::OnIsDialogMessage(WPARAM, LPARAM lParam)
{
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (msg && msg->message == WM_KEYDOWN && KeyDown(VK_CONTROL)) {
        bool shift = KeyDown(VK_SHIFT);
        if ((msg->wParam == VK_TAB && shift) || msg->wParam == VK_PRIOR) {
            ActivatePreviousPage();
            return TRUE;
        }
        if (msg->wParam == VK_TAB || msg->wParam == VK_NEXT) {
            ActivateNextPage();
            return TRUE;
        }
    }
    return Default();
}

// ---------------------------------------------------------------- navigation

void CTreePropSheetBase::ActivateNextPage()
{
    StepPage(TRUE);
}

void CTreePropSheetBase::ActivatePreviousPage()
{
    StepPage(FALSE);
}

void CTreePropSheetBase::StepPage(BOOL bForward)
{
    int count = GetPageCount();
    if (count == 0)
        return;
    if (!m_bTreeViewMode || !m_pwndPageTree) {
        int active = GetActiveIndex();
        if (bForward)
            SetActivePage(active < count - 1 ? active + 1 : 0);
        else
            SetActivePage(active > 0 ? active - 1 : count - 1);
        return;
    }
    HTREEITEM start = m_pwndPageTree->GetSelectedItem();
    if (!start)
        return;
    HTREEITEM node = start;
    // Each node once at most: a tree with no page at all ends where it began.
    for (UINT steps = m_pwndPageTree->GetCount() + 1; steps > 0; --steps) {
        node = bForward ? GetNextNode(node) : GetPrevNode(node);
        if (!node && bForward) {
            node = m_pwndPageTree->GetRootItem();
        } else if (!node) {
            HTREEITEM last = m_pwndPageTree->GetRootItem();
            while (HTREEITEM next = m_pwndPageTree->GetNextSiblingItem(last))
                last = next;
            node = GetLastDescendant(last);
        }
        if (!m_bSkipEmptyPages || HasPage(node) || node == start)
            break;
    }
    m_pwndPageTree->Select(node, TVGN_CARET);
}

BOOL CTreePropSheetBase::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && m_bSkipEmptyPages && m_pwndPageTree && pMsg->hwnd == m_pwndPageTree->m_hWnd) {
        switch (pMsg->wParam) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT: {
            HTREEITEM node = m_pwndPageTree->GetSelectedItem();
            if (!node)
                return TRUE;
            if (pMsg->wParam == VK_UP) {
                ActivatePreviousPage();
            } else if (pMsg->wParam == VK_DOWN) {
                ActivateNextPage();
            } else if (pMsg->wParam == VK_LEFT) {
                if (m_pwndPageTree->GetItemState(node, TVIS_EXPANDED | TVIS_EXPANDPARTIAL) &
                    (TVIS_EXPANDED | TVIS_EXPANDPARTIAL)) {
                    m_pwndPageTree->Expand(node, TVE_COLLAPSE);
                } else {
                    HTREEITEM parent = m_pwndPageTree->GetParentItem(node);
                    while (parent && !HasPage(parent))
                        parent = m_pwndPageTree->GetParentItem(parent);
                    if (parent)
                        m_pwndPageTree->Select(parent, TVGN_CARET);
                }
            } else {
                HTREEITEM child = m_pwndPageTree->GetChildItem(node);
                if (child && !(m_pwndPageTree->GetItemState(node, TVIS_EXPANDED) & TVIS_EXPANDED)) {
                    m_pwndPageTree->Expand(node, TVE_EXPAND);
                } else {
                    while (child && !HasPage(child))
                        child = m_pwndPageTree->GetChildItem(child);
                    if (child)
                        m_pwndPageTree->Select(child, TVGN_CARET);
                }
            }
            return TRUE;
        }
        }
    }
    return CPropertySheet::PreTranslateMessage(pMsg);
}

// ---------------------------------------------------------------- tree notifications

void CTreePropSheetBase::OnPageTreeSelChanging(NMHDR* pNotifyStruct, LRESULT* pResult)
{
    *pResult = 0;
    if (m_nRefillingPageTreeContent > 0)
        return;
    auto* change = reinterpret_cast<NMTREEVIEWW*>(pNotifyStruct);
    HTREEITEM node = change->itemNew.hItem;
    int page = node ? static_cast<int>(m_pwndPageTree->GetItemData(node)) : -1;
    if (page >= 0 && page < GetPageCount()) {
        ++m_nRefillingPageTreeContent;
        BOOL activated = SetActivePage(page);
        if (activated) {
            // Activating the page that is already current does not show it again by itself.
            HWND current = reinterpret_cast<HWND>(SendMessage(PSM_GETCURRENTPAGEHWND));
            if (current && !::IsWindowVisible(current))
                ::ShowWindow(current, SW_SHOW);
        }
        --m_nRefillingPageTreeContent;
        if (!activated)
            *pResult = 1;
        m_pwndPageTree->SetFocus();
        return;
    }
    if (m_bSkipEmptyPages) {
        if (HTREEITEM target = GetFirstPageNodeAfter(node))
            m_pwndPageTree->SelectItem(target);
        *pResult = 1;
        return;
    }
    HWND current = reinterpret_cast<HWND>(SendMessage(PSM_GETCURRENTPAGEHWND));
    if (current && ::IsWindowVisible(current)) {
        NMHDR header = {m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), static_cast<UINT>(PSN_KILLACTIVE)};
        if (::SendMessageW(current, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header)) == 0)
            ::ShowWindow(current, SW_HIDE);
        else
            *pResult = 1;
    }
    m_pwndPageTree->SetFocus();
}

void CTreePropSheetBase::OnPageTreeSelChanged(NMHDR* /*pNotifyStruct*/, LRESULT* pResult)
{
    *pResult = 0;
    if (m_nRefillingPageTreeContent == 0)
        UpdateCaption();
}

} // namespace TreePropSheet
