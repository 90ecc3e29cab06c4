#include "controls/CXPropertyPage.h"

#include "controls/CXPropertySheet.h"

IMPLEMENT_DYNAMIC(CXPropertyPage, CDialog)

BEGIN_MESSAGE_MAP(CXPropertyPage, CDialog)
ON_WM_SIZE()
END_MESSAGE_MAP()

CXPropertyPage::CXPropertyPage(UINT nIDTemplate, CWnd* pParentWnd)
    : CDialog(nIDTemplate, pParentWnd), m_nTemplateID(nIDTemplate)
{
    m_strCaption.LoadString(nIDTemplate);
}

CXPropertyPage::~CXPropertyPage() = default;

BOOL CXPropertyPage::Create(CXPropertySheet* pSheet)
{
    // A child template cannot be created without a parent: the sheet serves when there is no main window.
    CWnd* parent = AfxGetMainWnd() ? nullptr : pSheet;
    if (!CDialog::Create(m_nTemplateID, parent))
        return FALSE;
    ModifyStyle(WS_DLGFRAME | WS_THICKFRAME, WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    SetParent(pSheet);
    MoveWindow(pSheet->GetDisplayRect(), TRUE);
    m_bCreated = TRUE;
    return TRUE;
}

CXPropertyPage* CXPropertyPage::SetFitFirstChild(BOOL bFit)
{
    m_bFitFirstChild = bFit;
    return this;
}

void CXPropertyPage::DoDataExchange(CDataExchange* /*pDX*/) {}

BOOL CXPropertyPage::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE))
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

void CXPropertyPage::PostNcDestroy()
{
    // A page that never made it into a sheet stays with whoever tried to add it.
    if (m_bCreated)
        delete this;
}

void CXPropertyPage::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (m_bCreated) {
        if (auto* tabs = DYNAMIC_DOWNCAST(CXTabCtrl, GetParent()))
            MoveWindow(tabs->GetDisplayRect(), TRUE);
    }
    if (m_bFitFirstChild) {
        if (CWnd* child = GetWindow(GW_CHILD)) {
            CRect client;
            GetClientRect(&client);
            child->MoveWindow(&client);
        }
    }
}
