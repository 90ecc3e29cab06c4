#include "controls/CTreePropSheetEx.h"

#include "controls/CTreePropSheetResizableLibHook.h"

namespace TreePropSheet {

IMPLEMENT_DYNCREATE(CTreePropSheetEx, CTreePropSheetBase)

BEGIN_MESSAGE_MAP(CTreePropSheetEx, CTreePropSheetBase)
ON_WM_CREATE()
ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

namespace {

const UINT kSplitterId = 0xE900;

} // namespace

CTreePropSheetEx::CTreePropSheetEx()
{
    CommonConstruct();
}

CTreePropSheetEx::CTreePropSheetEx(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CTreePropSheetBase(nIDCaption, pParentWnd, iSelectPage)
{
    CommonConstruct();
}

CTreePropSheetEx::CTreePropSheetEx(LPCWSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CTreePropSheetBase(pszCaption, pParentWnd, iSelectPage)
{
    CommonConstruct();
}

void CTreePropSheetEx::CommonConstruct()
{
    m_psh.dwFlags &= ~PSH_HASHELP;
    SetSkipEmptyPages(FALSE);
}

CTreePropSheetEx::~CTreePropSheetEx()
{
    delete m_pSplitter;
    delete m_pResizeHook;
}

// ---------------------------------------------------------------- settings

BOOL CTreePropSheetEx::SetIsResizable(BOOL bResizable)
{
    if (::IsWindow(m_hWnd))
        return FALSE;
    m_bResizable = bResizable;
    return TRUE;
}

BOOL CTreePropSheetEx::SetPaneMinimumSizes(int nTreeMinimum, int nFrameMinimum)
{
    if (::IsWindow(m_hWnd))
        return FALSE;
    m_nTreeMinimum = nTreeMinimum;
    m_nFrameMinimum = nFrameMinimum;
    return TRUE;
}

BOOL CTreePropSheetEx::SetPaneMinimumSize(int nMinimum)
{
    return SetPaneMinimumSizes(nMinimum, nMinimum);
}

BOOL CTreePropSheetEx::SetSplitterWidth(int nWidth)
{
    if (::IsWindow(m_hWnd))
        return FALSE;
    m_nSplitterWidth = nWidth;
    return TRUE;
}

void CTreePropSheetEx::SetMinSize(const CSize& size)
{
    m_sizeMin = size;
    ApplyMinSize();
}

void CTreePropSheetEx::SetMaxSize(const CSize& size)
{
    m_sizeMax = size;
    ApplyMaxSize();
}

void CTreePropSheetEx::ApplyMinSize()
{
    if (!::IsWindow(m_hWnd) || !m_bResizable || m_sizeMin == CSize(-1, -1) || !m_pResizeHook)
        return;
    // Never narrower than the splitter can take with both panes at their minimums.
    int panes = m_nSplitterWidth + m_nTreeMinimum + m_nFrameMinimum;
    m_pResizeHook->SetMinTrackSize(CSize(m_sizeMin.cx > panes ? m_sizeMin.cx : panes, m_sizeMin.cy));
}

void CTreePropSheetEx::ApplyMaxSize()
{
    if (!::IsWindow(m_hWnd) || !m_bResizable || m_sizeMax == CSize(-1, -1) || !m_pResizeHook)
        return;
    m_pResizeHook->SetMaxTrackSize(CSize(m_sizeMax.cx > m_sizeMin.cx ? m_sizeMax.cx : m_sizeMin.cx,
                                         m_sizeMax.cy > m_sizeMin.cy ? m_sizeMax.cy : m_sizeMin.cy));
}

void CTreePropSheetEx::SetSplitterDraggable(BOOL bDraggable)
{
    m_bSplitterDraggable = bDraggable;
    if (m_pSplitter && ::IsWindow(m_hWnd))
        m_pSplitter->SetResizable(bDraggable);
}

void CTreePropSheetEx::SetTreeFollowsSize(BOOL bFollows)
{
    m_bTreeFollowsSize = bFollows;
    if (m_pSplitter) {
        BOOL frozen[2] = {!bFollows, FALSE};
        m_pSplitter->SetFrozenPanes(frozen);
    }
}

void CTreePropSheetEx::SetLiveSplitterDrag(BOOL bLive)
{
    m_bLiveSplitterDrag = bLive;
    if (m_pSplitter)
        m_pSplitter->SetLiveDrag(bLive);
}

BOOL CTreePropSheetEx::SetTreeWidth(int nWidth)
{
    if (nWidth < 0 || (::IsWindow(m_hWnd) && !m_bResizable))
        return FALSE;
    m_nPageTreeWidth = nWidth;
    return TRUE;
}

CTreePropSheetSplitter* CTreePropSheetEx::CreateSplitter()
{
    int minimums[2] = {m_nTreeMinimum, m_nFrameMinimum};
    return new CTreePropSheetSplitter(2, 1, minimums, m_nSplitterWidth);
}

CResizableSheetHook* CTreePropSheetEx::CreateResizableHook()
{
    return new CTreePropSheetResizableLibHook(this);
}

// ---------------------------------------------------------------- creation

int CTreePropSheetEx::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CTreePropSheetBase::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_bResizable)
        return 0;
    CRect client;
    GetClientRect(&client);
    if (lpCreateStruct->style & WS_POPUP)
        ModifyStyle(DS_MODALFRAME, WS_POPUP | WS_THICKFRAME);
    // The new frame goes round the same client area.
    ::AdjustWindowRectEx(&client, GetStyle(), ::GetMenu(m_hWnd) != nullptr, GetExStyle());
    SetWindowPos(nullptr, 0, 0, client.Width(), client.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    return 0;
}

BOOL CTreePropSheetEx::OnInitDialog()
{
    BOOL result = CTreePropSheetBase::OnInitDialog();
    if (IsTreeViewMode() && m_bResizable && m_pwndPageTree && m_pFrame) {
        delete m_pSplitter;
        m_pSplitter = CreateSplitter();
        CRect tree, frame;
        m_pwndPageTree->GetWindowRect(&tree);
        m_pFrame->GetWnd()->GetWindowRect(&frame);
        ScreenToClient(&tree);
        ScreenToClient(&frame);
        CRect area;
        area.UnionRect(&tree, &frame);
        if (m_pSplitter && m_pSplitter->Create(this, area, kSplitterId)) {
            m_pSplitter->SetPane(0, m_pwndPageTree);
            m_pSplitter->SetPane(1, m_pFrame->GetWnd());
            int sizes[2] = {tree.Width(), frame.Width()};
            m_pSplitter->SetPaneSizes(sizes);
            BOOL frozen[2] = {!m_bTreeFollowsSize, FALSE};
            m_pSplitter->SetFrozenPanes(frozen);
            m_pSplitter->SetLiveDrag(m_bLiveSplitterDrag);
            m_pSplitter->SetResizable(m_bSplitterDraggable);
        }
    }
    if (!m_bResizable)
        return result;
    delete m_pResizeHook;
    m_pResizeHook = CreateResizableHook();
    if (m_pResizeHook)
        m_pResizeHook->InstallHook();
    ApplyMinSize();
    ApplyMaxSize();
    return TRUE;
}

void CTreePropSheetEx::OnContextMenu(CWnd* pWnd, CPoint pos)
{
    if (m_nContextMenuMode == 2)
        return;
    if (m_nContextMenuMode == 0)
        CTreePropSheetBase::OnContextMenu(pWnd, pos);
    CWnd* frame = m_pFrame ? m_pFrame->GetWnd() : nullptr;
    bool onTree = pWnd && m_pwndPageTree && pWnd->GetSafeHwnd() == m_pwndPageTree->GetSafeHwnd();
    bool onFrame = IsTreeViewMode() && pWnd && frame && pWnd->GetSafeHwnd() == frame->GetSafeHwnd();
    if (!onTree && !onFrame)
        CTreePropSheetBase::OnContextMenu(pWnd, pos);
}

} // namespace TreePropSheet
