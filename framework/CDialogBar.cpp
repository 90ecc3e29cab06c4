#include "framework/CDialogBar.h"
#include "framework/CFrameWnd.h"

IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

CDialogBar::CDialogBar() : m_sizeDefault(0, 0), m_lpszTemplateName(nullptr)
{
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = m_cyBottomBorder = 0;
}

CDialogBar::~CDialogBar() = default;

BOOL CDialogBar::Create(CWnd* pParentWnd, LPCWSTR lpszTemplateName, UINT nStyle, UINT nID)
{
    m_dwStyle = nStyle & CBRS_ALL;
    m_lpszTemplateName = lpszTemplateName;
    BOOL created = CreateDlg(lpszTemplateName, pParentWnd);
    m_lpszTemplateName = nullptr;
    if (!created)
        return FALSE;
    SetDlgCtrlID(static_cast<int>(nID));
    CRect rect;
    GetWindowRect(&rect);
    m_sizeDefault = rect.Size();
    ModifyStyle(0, WS_CLIPSIBLINGS);
    if (!ExecuteDlgInit(lpszTemplateName))
        return FALSE;
    // The frame's layout gives the bar its place; until then it has no size.
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    // A template's child window made without the creation hook misses OnCreate's registration.
    if (!m_pDockSite) {
        m_pDockSite = GetParentFrame();
        if (m_pDockSite)
            m_pDockSite->AddControlBar(this);
    }
    return TRUE;
}

CSize CDialogBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    if (!bStretch)
        return m_sizeDefault;
    return bHorz ? CSize(32767, m_sizeDefault.cy) : CSize(m_sizeDefault.cx, 32767);
}

void CDialogBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

BOOL CDialogBar::PreTranslateMessage(MSG* pMsg)
{
    if (CControlBar::PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    // IsDialogMessage would swallow the frames' accelerators: they come first.
    for (CFrameWnd* frame = GetParentFrame(); frame; frame = frame->GetParentFrame()) {
        if (frame->PreTranslateMessage(pMsg))
            return TRUE;
    }
    return PreTranslateInput(pMsg);
}
