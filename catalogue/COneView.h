// The view that shows one file item through its display engine: it keeps the engine's display
// rectangle equal to its client area, paints, runs the animation timer, lets the user drag a
// picture larger than the window, scrolls with the wheel, and hands every other mouse action to
// its parent (a picture window, or the preview control).
#pragma once

#include "catalogue/COnePicture.h"
#include "catalogue/PictureViewSettings.h"

struct OneViewSettings;

class COneView : public CView
{
    DECLARE_DYNCREATE(COneView)
public:
    // Drag states.
    enum { DragIdle = 0, DragReady = 1, DragPressed = 2, DragMoving = 3 };
    enum { AnimationTimer = 10, AnimationInterval = 55 };

    COneView();
    ~COneView() override;

    void SetPicture(const VyxFile* item);
    void SetZoom(double zoom);
    void SetFitMode(int mode);
    void SetAngle(int angle);
    void SetDisplaySettings(const OneViewSettings& settings);
    // null: the client rectangle.
    void SetViewRect(const RECT* rect);
    void ReplacePage(HGLOBAL dib);
    void NextPage();
    void PrevPage();
    void Scroll(int dx, int dy);
    // null: a client-area device context.
    void OnDraw(CDC* pDC) override;
    // One tick of the animation at the given tick count (the timer passes the system's).
    void AnimationTick(DWORD now);
    void StopAnimation();

    VyxFile* GetItem() const { return m_picture.GetItem(); }
    HGLOBAL GetDisplayPage() const { return m_picture.GetDisplayPage(); }
    CSize GetDisplaySize() const { return m_picture.GetDisplaySize(); }
    int GetCurrentPage() const { return m_picture.GetCurrentPage(); }
    int GetPageCount() const { return m_picture.GetPageCount(); }
    int GetKnownPageCount() const { return m_picture.GetKnownPageCount(); }
    double GetZoom() const { return m_picture.GetZoom(); }
    double GetShownZoom() const { return m_picture.GetShownZoom(); }
    COnePicture& GetPicture() { return m_picture; }
    int GetDragState() const { return m_nDragState; }
    BOOL IsAnimating() const { return m_picture.GetAnimationTimer() != 0; }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void ShowCursorResource(UINT nID);
    void SendToParent(UINT message, UINT nFlags, CPoint point);
    void Repaint();

    COnePicture m_picture;
    PictureViewSettings m_settings;
    int m_nDragState = DragIdle;
    CPoint m_ptLast;
    CPoint m_ptPress;
    HCURSOR m_hCursor = nullptr;
};
