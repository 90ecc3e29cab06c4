#include "controls/CXToolBar.h"

BEGIN_MESSAGE_MAP(CXToolBar, CWnd)
ON_WM_CREATE()
ON_COMMAND_RANGE(0, 0xFFFF, OnCommandRange)
END_MESSAGE_MAP()

CXToolBar::CXToolBar() = default;

CXToolBar::~CXToolBar()
{
    RemoveAllButtons();
}

int CXToolBar::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_rcArea.SetRect(lpCreateStruct->x, lpCreateStruct->y, lpCreateStruct->x + lpCreateStruct->cx,
                     lpCreateStruct->y + lpCreateStruct->cy);
    if (HWND parent = ::GetParent(m_hWnd))
        ::MapWindowPoints(parent, m_hWnd, reinterpret_cast<POINT*>(&m_rcArea), 2);
    else
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&m_rcArea), 2);
    if (m_rcArea.Width() <= m_rcArea.Height()) {
        m_bVertical = TRUE;
        m_nButtonWidth = m_rcArea.Width() - 2;
    } else {
        m_bVertical = FALSE;
        m_nButtonHeight = m_rcArea.Height() - 2;
    }
    return 0;
}

CXPStyleButtonST* CXToolBar::AddButton(UINT nID, LPCWSTR lpszText)
{
    const int n = m_nCount;
    CRect rect;
    if (m_bVertical)
        rect.SetRect(m_rcArea.left + 1, m_rcArea.top + 1 + n * (m_nButtonHeight + 2), 0, 0);
    else
        rect.SetRect(m_rcArea.left + 1 + n * (m_nButtonWidth + 2), m_rcArea.top + 1, 0, 0);
    rect.right = rect.left + m_nButtonWidth;
    rect.bottom = rect.top + m_nButtonHeight;
    auto* button = new CXPStyleButtonST;
    // A plain push button: the button would act as a check box with any type of bit 2.
    if (!button->Create(lpszText, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, rect, this, nID)) {
        delete button;
        return nullptr;
    }
    button->DrawAsToolbar(TRUE, FALSE);
    button->SetHoverWhenInactive(TRUE);
    m_Buttons.Add(button);
    m_Ids.Add(nID);
    ++m_nCount;
    return button;
}

CXPStyleButtonST* CXToolBar::GetButton(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_Buttons.GetSize())
        return nullptr;
    return static_cast<CXPStyleButtonST*>(m_Buttons.GetAt(nIndex));
}

CString CXToolBar::GetButtonText(int nIndex) const
{
    CString text;
    CXPStyleButtonST* button = GetButton(nIndex);
    if (button && button->GetSafeHwnd())
        button->GetWindowText(text);
    return text;
}

void CXToolBar::RemoveAllButtons()
{
    for (INT_PTR i = 0; i < m_Buttons.GetSize(); ++i)
        delete static_cast<CXPStyleButtonST*>(m_Buttons.GetAt(i));
    m_Buttons.RemoveAll();
    m_Ids.RemoveAll();
    m_nCount = 0;
}

void CXToolBar::OnCommandRange(UINT nID)
{
    OnButtonCommand(nID);
}

LRESULT CXToolBar::OnButtonCommand(UINT)
{
    return 0;
}
