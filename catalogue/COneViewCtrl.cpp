#include "catalogue/COneViewCtrl.h"

const wchar_t COneViewCtrl::ClassName[] = L"COneViewCtrl";

BEGIN_MESSAGE_MAP(COneViewCtrl, CWnd)
ON_WM_SIZE()
ON_WM_ERASEBKGND()
ON_WM_DESTROY()
END_MESSAGE_MAP()

COneViewCtrl::COneViewCtrl()
{
    RegisterWndClass();
}

COneViewCtrl::~COneViewCtrl()
{
    DestroyView();
}

void COneViewCtrl::RegisterWndClass()
{
    WNDCLASSW wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = ClassName;
    if (!AfxRegisterClass(&wc))
        AfxThrowResourceException();
}

BOOL COneViewCtrl::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    if (!CWnd::Create(lpszClassName ? lpszClassName : ClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID,
                      pContext))
        return FALSE;
    return CreateView();
}

BOOL COneViewCtrl::CreateView()
{
    DestroyView();
    if (!m_hWnd)
        return FALSE;
    CRect client;
    GetClientRect(&client);
    auto* view = new COneView;
    // A view that fails to be created deletes itself.
    if (!view->Create(nullptr, L"COneView", WS_CHILD, client, this, AFX_IDW_PANE_FIRST + 1, nullptr))
        return FALSE;
    m_pView = view;
    m_pView->ShowWindow(SW_SHOW);
    return TRUE;
}

void COneViewCtrl::DestroyView()
{
    if (m_pView && ::IsWindow(m_pView->m_hWnd))
        m_pView->DestroyWindow();
    m_pView = nullptr;
}

void COneViewCtrl::SetZoom(double zoom)
{
    if (m_pView)
        m_pView->SetZoom(zoom);
}

void COneViewCtrl::SetFitMode(int mode)
{
    if (m_pView)
        m_pView->SetFitMode(mode);
}

void COneViewCtrl::SetPicture(const VyxFile* item)
{
    if (m_pView)
        m_pView->SetPicture(item);
}

void COneViewCtrl::SetViewRect(const RECT* rect)
{
    if (m_pView)
        m_pView->SetViewRect(rect);
}

void COneViewCtrl::Draw(CDC* pDC)
{
    if (m_pView)
        m_pView->OnDraw(pDC);
}

void COneViewCtrl::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (m_pView && ::IsWindow(m_pView->m_hWnd))
        m_pView->MoveWindow(0, 0, cx, cy);
}

BOOL COneViewCtrl::OnEraseBkgnd(CDC*)
{
    return FALSE;
}

void COneViewCtrl::OnDestroy()
{
    DestroyView();
    CWnd::OnDestroy();
}
