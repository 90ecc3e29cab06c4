#include "catalogue/COneView.h"

#include "catalogue/OneViewSettings.h"
#include "res/resource.h"

#include <imm.h>

#include <cstdlib>

IMPLEMENT_DYNCREATE(COneView, CView)

BEGIN_MESSAGE_MAP(COneView, CView)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_ERASEBKGND()
ON_WM_MOUSEACTIVATE()
ON_WM_SETCURSOR()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_RBUTTONDBLCLK()
ON_WM_MOUSEWHEEL()
ON_WM_TIMER()
ON_WM_DESTROY()
END_MESSAGE_MAP()

COneView::COneView()
{
    m_settings.Load();
    m_picture.Init();
    m_picture.SetAviShow(m_settings.AviShow);
    m_picture.SetDswShow(m_settings.DswShow);
    m_picture.SetStepSecond(m_settings.StepSecond);
    m_picture.SetDelayTime(m_settings.DelayTime);
    m_picture.SetBackColor(m_settings.colBackground);
}

COneView::~COneView()
{
    m_picture.Free();
}

// ---------------------------------------------------------------- operations

void COneView::SetPicture(const VyxFile* item)
{
    m_nDragState = DragIdle;
    // Whatever it shows now, what was painted before is stale.
    if (m_hWnd)
        Invalidate(FALSE);
    if (!item) {
        m_picture.Show(nullptr, nullptr, FALSE);
        return;
    }
    StopAnimation();
    m_picture.Show(nullptr, item, TRUE);
    // The engine knows the kind once it has detected the item's decoder.
    if (m_hWnd && COnePicture::IsAnimatedKind(m_picture.GetItem(), m_settings.AviShow, m_settings.DswShow)) {
        m_picture.SetAnimationTimer(SetTimer(AnimationTimer, AnimationInterval, nullptr));
        m_picture.SetAnimationStart(::GetTickCount());
    }
}

void COneView::StopAnimation()
{
    if (m_picture.GetAnimationTimer() && m_hWnd)
        KillTimer(m_picture.GetAnimationTimer());
    m_picture.SetAnimationTimer(0);
}

void COneView::SetZoom(double zoom)
{
    m_picture.FreeDisplayPages();
    m_picture.SetZoom(zoom);
}

void COneView::SetFitMode(int mode)
{
    m_picture.FreeDisplayPages();
    m_picture.SetFitMode(mode);
}

void COneView::SetAngle(int angle)
{
    m_picture.FreeDisplayPages();
    m_picture.SetAngle(angle);
}

void COneView::SetDisplaySettings(const OneViewSettings& settings)
{
    m_picture.FreeDisplayPages();
    m_picture.SetFitMode(settings.FitSize);
    m_picture.SetScaleMode(settings.ScaleMode);
    m_picture.SetAllowEnlarge(settings.ZoomUp);
    m_picture.SetAllowShrink(settings.ZoomDw);
}

void COneView::SetViewRect(const RECT* rect)
{
    m_picture.FreeDisplayPages();
    CRect area;
    if (rect)
        area = *rect;
    else if (m_hWnd)
        GetClientRect(&area);
    m_picture.SetDisplayRect(area);
}

void COneView::ReplacePage(HGLOBAL dib)
{
    m_picture.ReplaceDisplayPage(dib);
}

void COneView::NextPage()
{
    StopAnimation();
    m_picture.StepPage();
    m_picture.NextPage();
    m_picture.Show(nullptr, nullptr, FALSE);
}

void COneView::PrevPage()
{
    StopAnimation();
    m_picture.PrevPage();
    m_picture.Show(nullptr, nullptr, FALSE);
}

void COneView::Scroll(int dx, int dy)
{
    m_picture.Scroll(dx, dy);
}

void COneView::OnDraw(CDC* pDC)
{
    if (pDC) {
        m_picture.Draw(pDC);
        return;
    }
    if (!m_hWnd)
        return;
    CClientDC dc(this);
    m_picture.Draw(&dc);
}

void COneView::Repaint()
{
    OnDraw(nullptr);
}

void COneView::AnimationTick(DWORD now)
{
    const int stepped = m_picture.AnimationTick(now);
    if (stepped < 0)
        StopAnimation();
    else if (stepped > 0)
        Repaint();
}

// ---------------------------------------------------------------- messages

int COneView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CView::OnCreate(lpcs) == -1)
        return -1;
    m_picture.SetDisplayRect(CRect(0, 0, lpcs->cx, lpcs->cy));
    ::ImmAssociateContext(m_hWnd, nullptr);
    return 0;
}

void COneView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    CRect client;
    GetClientRect(&client);
    m_picture.SetDisplayRect(client);
    // A picture shown fitted because it is too large for its zoom fits the new size too.
    if (m_picture.GetFitMode() != COnePicture::FitAsIs || m_picture.GetShownZoom() != m_picture.GetZoom())
        m_picture.Refit();
}

BOOL COneView::OnEraseBkgnd(CDC*)
{
    return FALSE;
}

int COneView::OnMouseActivate(CWnd*, UINT, UINT)
{
    return 0;
}

BOOL COneView::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    // The class cursor would replace the hand at every move.
    if (nHitTest == HTCLIENT && m_hCursor) {
        ::SetCursor(m_hCursor);
        return TRUE;
    }
    return CView::OnSetCursor(pWnd, nHitTest, message);
}

void COneView::ShowCursorResource(UINT nID)
{
    m_hCursor = ::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nID));
    if (m_hCursor)
        ::SetCursor(m_hCursor);
}

void COneView::SendToParent(UINT message, UINT nFlags, CPoint point)
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(message, nFlags, MAKELPARAM(point.x, point.y));
}

void COneView::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_ptLast = m_ptPress = point;
    if (m_nDragState == DragReady) {
        m_nDragState = DragPressed;
        ShowCursorResource(IDC_PICTURE_GRAB);
        return;
    }
    m_nDragState = DragIdle;
    ShowCursorResource(IDC_PICTURE_ARROW);
    ::ReleaseCapture();
    SendToParent(WM_LBUTTONDOWN, nFlags, point);
}

void COneView::OnMouseMove(UINT, CPoint point)
{
    if (m_nDragState == DragIdle || m_nDragState == DragReady) {
        bool movable = m_picture.CanScrollX() || m_picture.CanScrollY();
        m_nDragState = movable ? DragReady : DragIdle;
        ShowCursorResource(movable ? IDC_PICTURE_HAND : IDC_PICTURE_ARROW);
        return;
    }
    if (m_nDragState == DragPressed) {
        SetCapture();
        ShowCursorResource(IDC_PICTURE_GRAB);
    }
    if (std::abs(point.x - m_ptPress.x) <= m_settings.DragDots &&
        std::abs(point.y - m_ptPress.y) <= m_settings.DragDots)
        return;
    m_nDragState = DragMoving;
    m_picture.Scroll(m_picture.CanScrollX() ? point.x - m_ptLast.x : 0,
                     m_picture.CanScrollY() ? point.y - m_ptLast.y : 0);
    m_ptLast = point;
    Repaint();
}

void COneView::OnLButtonUp(UINT nFlags, CPoint point)
{
    switch (m_nDragState) {
    case DragPressed:
        // A press that never became a drag is a click for the parent.
        m_nDragState = DragReady;
        ShowCursorResource(IDC_PICTURE_HAND);
        ::ReleaseCapture();
        SendToParent(WM_LBUTTONDOWN, nFlags, point);
        SendToParent(WM_LBUTTONUP, nFlags, point);
        break;
    case DragMoving:
        m_nDragState = DragReady;
        ShowCursorResource(IDC_PICTURE_HAND);
        ::ReleaseCapture();
        break;
    default:
        SendToParent(WM_LBUTTONUP, nFlags, point);
        break;
    }
}

void COneView::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    SendToParent(WM_LBUTTONDBLCLK, nFlags, point);
}

void COneView::OnRButtonDown(UINT nFlags, CPoint point)
{
    SendToParent(WM_RBUTTONDOWN, nFlags, point);
}

void COneView::OnRButtonUp(UINT nFlags, CPoint point)
{
    SendToParent(WM_RBUTTONUP, nFlags, point);
}

void COneView::OnRButtonDblClk(UINT nFlags, CPoint point)
{
    SendToParent(WM_RBUTTONDBLCLK, nFlags, point);
}

BOOL COneView::OnMouseWheel(UINT, short zDelta, CPoint)
{
    if (zDelta == 0)
        return TRUE;
    if (m_picture.CanScrollY())
        m_picture.Scroll(0, zDelta);
    else if (m_picture.CanScrollX())
        m_picture.Scroll(zDelta, 0);
    else
        return static_cast<BOOL>(Default()); // the parent steps through the files
    Repaint();
    return TRUE;
}

void COneView::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != AnimationTimer || ::GetFocus() != m_hWnd) {
        CView::OnTimer(nIDEvent);
        return;
    }
    AnimationTick(::GetTickCount());
}

void COneView::OnDestroy()
{
    m_settings.Save();
    StopAnimation();
    CView::OnDestroy();
}
