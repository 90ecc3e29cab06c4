#include "controls/CButtonGrp.h"

#include "res/resource.h"

#include <commctrl.h>

namespace {

struct ButtonInfo
{
    UINT id;
    int image;
    UINT tip;
};

// In member order: add, delete, to the top, up, down, to the end.
const ButtonInfo kButtons[CButtonGrp::ButtonCount] = {
    {IDC_BUTTONGRP_ADD, 0, IDS_BUTTONGRP_ADD},   {IDC_BUTTONGRP_DELETE, 1, IDS_BUTTONGRP_DELETE},
    {IDC_BUTTONGRP_TOP, 2, IDS_BUTTONGRP_TOP},   {IDC_BUTTONGRP_UP, 3, IDS_BUTTONGRP_UP},
    {IDC_BUTTONGRP_DOWN, 4, IDS_BUTTONGRP_DOWN}, {IDC_BUTTONGRP_END, 5, IDS_BUTTONGRP_END},
};

const DWORD kButtonStyle = WS_VISIBLE | BS_OWNERDRAW | BS_ICON | BS_CENTER | BS_VCENTER;

} // namespace

BEGIN_MESSAGE_MAP(CButtonGrp, CStatic)
ON_WM_CREATE()
ON_BN_CLICKED(IDC_BUTTONGRP_ADD, OnAdd)
ON_BN_CLICKED(IDC_BUTTONGRP_DELETE, OnDelete)
ON_BN_CLICKED(IDC_BUTTONGRP_TOP, OnTop)
ON_BN_CLICKED(IDC_BUTTONGRP_UP, OnUp)
ON_BN_CLICKED(IDC_BUTTONGRP_DOWN, OnDown)
ON_BN_CLICKED(IDC_BUTTONGRP_END, OnEnd)
END_MESSAGE_MAP()

CButtonGrp::CButtonGrp()
{
    m_imageList.Create(IDB_BUTTON_GROUP, 14, 1, RGB(255, 0, 255));
}

CButtonGrp::~CButtonGrp()
{
    for (CCJFlatButton& button : m_buttons)
        button.DestroyWindow();
    for (HICON icon : m_icons) {
        if (icon)
            ::DestroyIcon(icon);
    }
}

void CButtonGrp::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    CRect rect;
    GetWindowRect(&rect);
    ScreenToClient(&rect);
    rect.top += 1;
    rect.bottom -= 1;
    rect.left = rect.right - 25;
    rect.right -= 1;
    // Right to left, so the row stands flush right: add, delete, top, up, down, end.
    for (int i = ButtonCount - 1; i >= 0; --i) {
        if (!m_buttons[i].Create(nullptr, kButtonStyle, rect, this, kButtons[i].id))
            return;
        m_icons[i] = ::ImageList_GetIcon(m_imageList.GetSafeHandle(), kButtons[i].image, 0);
        m_buttons[i].SetButtonIcon(m_icons[i], 14, 12);
        rect.OffsetRect(-25, 0);
    }
    if (!m_ToolTip.Create(this))
        return;
    m_ToolTip.Activate(TRUE);
    for (const ButtonInfo& info : kButtons) {
        if (CWnd* button = GetDlgItem(static_cast<int>(info.id)))
            m_ToolTip.AddTool(button, info.tip);
    }
}

BOOL CButtonGrp::PreTranslateMessage(MSG* pMsg)
{
    if (m_ToolTip.GetSafeHwnd())
        m_ToolTip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

int CButtonGrp::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    return CStatic::OnCreate(lpCreateStruct) == -1 ? -1 : 0;
}

void CButtonGrp::SendToParent(UINT nID)
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, nID, 0);
}

void CButtonGrp::OnAdd()
{
    SendToParent(IDC_BUTTONGRP_ADD);
}

void CButtonGrp::OnDelete()
{
    SendToParent(IDC_BUTTONGRP_DELETE);
}

void CButtonGrp::OnTop()
{
    SendToParent(IDC_BUTTONGRP_TOP);
}

void CButtonGrp::OnUp()
{
    SendToParent(IDC_BUTTONGRP_UP);
}

void CButtonGrp::OnDown()
{
    SendToParent(IDC_BUTTONGRP_DOWN);
}

void CButtonGrp::OnEnd()
{
    SendToParent(IDC_BUTTONGRP_END);
}
