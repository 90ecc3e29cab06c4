#include "controls/CWindowListDialog.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CWindowListDialog, CDialog)
ON_BN_CLICKED(IDC_WINDOWLIST_ACTIVATE, OnActivate)
ON_BN_CLICKED(IDC_WINDOWLIST_CLOSE, OnCloseWindows)
ON_BN_CLICKED(IDC_WINDOWLIST_CASCADE, OnCascade)
ON_BN_CLICKED(IDC_WINDOWLIST_TILEHORZ, OnTileHorizontally)
ON_BN_CLICKED(IDC_WINDOWLIST_TILEVERT, OnTileVertically)
ON_BN_CLICKED(IDC_WINDOWLIST_MINIMIZE, OnMinimize)
ON_NOTIFY(NM_DBLCLK, IDC_WINDOWLIST_LIST, OnDoubleClick)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

CWindowListDialog::CWindowListDialog(CWnd* pMDIClient, CWnd* pParent)
    : CDialog(IDD_WINDOW_LIST, pParent), m_pMDIClient(pMDIClient)
{
}

void CWindowListDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_WINDOWLIST_MINIMIZE, m_btnMinimize);
    DDX_Control(pDX, IDC_WINDOWLIST_TILEVERT, m_btnTileVert);
    DDX_Control(pDX, IDC_WINDOWLIST_TILEHORZ, m_btnTileHorz);
    DDX_Control(pDX, IDC_WINDOWLIST_CASCADE, m_btnCascade);
    DDX_Control(pDX, IDC_WINDOWLIST_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_WINDOWLIST_ACTIVATE, m_btnActivate);
    DDX_Control(pDX, IDC_WINDOWLIST_LIST, m_wndList);
}

BOOL CWindowListDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_imlSmall.Create(16, 16, ILC_MASK | ILC_COLOR32, 4, 4);
    m_wndList.SetImageList(&m_imlSmall, LVSIL_SMALL);
    CRect client;
    m_wndList.GetClientRect(&client);
    m_wndList.InsertColumn(0, L"", LVCFMT_LEFT, client.Width());
    FillList();
    return TRUE;
}

void CWindowListDialog::FillList()
{
    m_wndList.DeleteAllItems();
    m_imlSmall.Remove(-1);
    if (!m_pMDIClient || !m_pMDIClient->m_hWnd)
        return;
    HWND active = reinterpret_cast<HWND>(m_pMDIClient->SendMessage(WM_MDIGETACTIVE));
    int item = 0;
    for (int id = AFX_IDM_FIRST_MDICHILD;; ++id) {
        HWND child = ::GetDlgItem(m_pMDIClient->m_hWnd, id);
        if (!child)
            break;
        if (!(::GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_MDICHILD))
            continue;
        wchar_t title[512] = {};
        ::GetWindowTextW(child, title, 512);
        auto icon = reinterpret_cast<HICON>(::GetClassLongPtrW(child, GCLP_HICONSM));
        int image = icon ? m_imlSmall.Add(icon) : -1;
        LVITEMW lvi = {};
        lvi.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        lvi.iItem = item;
        lvi.pszText = title;
        lvi.iImage = image < 0 ? I_IMAGENONE : image;
        lvi.lParam = reinterpret_cast<LPARAM>(child);
        int inserted = m_wndList.InsertItem(&lvi);
        if (child == active)
            m_wndList.SetItemState(inserted, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ++item;
    }
}

void CWindowListDialog::CollectChildren(BOOL bSelected, CPtrArray& children)
{
    const int count = m_wndList.GetItemCount();
    for (int i = 0; i < count; ++i) {
        const BOOL selected = (m_wndList.GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED) != 0;
        if (selected == bSelected)
            children.Add(reinterpret_cast<void*>(m_wndList.GetItemData(i)));
    }
}

void CWindowListDialog::OnActivate()
{
    CPtrArray selected;
    CollectChildren(TRUE, selected);
    if (selected.GetSize() == 0)
        return;
    auto child = static_cast<HWND>(selected[0]);
    if (::IsIconic(child))
        m_pMDIClient->SendMessage(WM_MDIRESTORE, reinterpret_cast<WPARAM>(child));
    else
        m_pMDIClient->SendMessage(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child));
    EndDialog(IDOK);
}

void CWindowListDialog::OnDoubleClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    int item = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem;
    if (item < 0)
        return;
    auto child = reinterpret_cast<HWND>(m_wndList.GetItemData(item));
    if (::IsIconic(child))
        m_pMDIClient->SendMessage(WM_MDIRESTORE, reinterpret_cast<WPARAM>(child));
    else
        m_pMDIClient->SendMessage(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child));
    EndDialog(IDOK);
}

void CWindowListDialog::OnCloseWindows()
{
    CPtrArray selected;
    CollectChildren(TRUE, selected);
    for (INT_PTR i = 0; i < selected.GetSize(); ++i) {
        auto child = static_cast<HWND>(selected[i]);
        if (::IsWindow(child))
            ::SendMessageW(child, WM_CLOSE, 0, 0);
    }
    FillList();
}

void CWindowListDialog::PrepareArrange()
{
    CPtrArray selected;
    CPtrArray others;
    CollectChildren(TRUE, selected);
    CollectChildren(FALSE, others);
    for (INT_PTR i = 0; i < selected.GetSize(); ++i) {
        auto child = static_cast<HWND>(selected[i]);
        if (::IsIconic(child))
            m_pMDIClient->SendMessage(WM_MDIRESTORE, reinterpret_cast<WPARAM>(child));
    }
    for (INT_PTR i = 0; i < others.GetSize(); ++i) {
        auto child = static_cast<HWND>(others[i]);
        if (!::IsIconic(child))
            ::ShowWindow(child, SW_MINIMIZE);
    }
}

void CWindowListDialog::OnCascade()
{
    PrepareArrange();
    m_pMDIClient->SendMessage(WM_MDICASCADE);
}

void CWindowListDialog::OnTileHorizontally()
{
    PrepareArrange();
    m_pMDIClient->SendMessage(WM_MDITILE, MDITILE_HORIZONTAL);
}

void CWindowListDialog::OnTileVertically()
{
    PrepareArrange();
    m_pMDIClient->SendMessage(WM_MDITILE, MDITILE_VERTICAL);
}

void CWindowListDialog::OnMinimize()
{
    CPtrArray selected;
    CollectChildren(TRUE, selected);
    for (INT_PTR i = 0; i < selected.GetSize(); ++i)
        ::ShowWindow(static_cast<HWND>(selected[i]), SW_MINIMIZE);
}

LRESULT CWindowListDialog::OnKickIdle(WPARAM, LPARAM)
{
    const UINT count = m_wndList.GetSelectedCount();
    m_btnCascade.EnableWindow(count >= 2);
    m_btnTileHorz.EnableWindow(count >= 2);
    m_btnTileVert.EnableWindow(count >= 2);
    m_btnMinimize.EnableWindow(count >= 1);
    m_btnClose.EnableWindow(count >= 1);
    m_btnActivate.EnableWindow(count == 1);
    return 0;
}
