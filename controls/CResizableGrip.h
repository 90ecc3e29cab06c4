// The size grip in the bottom-right corner of a resizable window: a size-grip scroll bar that
// sizes its window when dragged, optionally triangular and painted transparently, shown while
// its show counter is above zero.
#pragma once

#include "framework/Framework.h"

class CResizableGrip
{
public:
    class CSizeGrip : public CScrollBar
    {
    public:
        CSizeGrip();
        ~CSizeGrip() override;

        BOOL IsRTL() const;
        void SetTriangularShape(BOOL bEnable);
        void SetTransparency(BOOL bActivate);
        BOOL IsTriangular() const { return m_bTriangular; }
        BOOL IsTransparent() const { return m_bTransparent; }

        CSize m_size; // SM_CXVSCROLL by SM_CYHSCROLL

    protected:
        BOOL PreCreateWindow(CREATESTRUCT& cs) override;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    private:
        void PaintTransparent();
        void CreateTransparencyBitmaps();
        void DeleteTransparencyBitmaps();
        void ApplyTriangle();

        BOOL m_bTriangular = FALSE;
        BOOL m_bTransparent = FALSE;
        CDC m_dcGrip;
        CDC m_dcMask;
        CBitmap m_bmGrip;
        CBitmap m_bmMask;
    };

    CResizableGrip() = default;
    CResizableGrip(const CResizableGrip&) = delete;
    CResizableGrip& operator=(const CResizableGrip&) = delete;

    BOOL CreateGrip(BOOL bVisible = TRUE, BOOL bTriangular = TRUE, BOOL bTransparent = FALSE);
    // Count the grip shown (or hidden) once for the bits of dwMask in *pStatus.
    void ShowGrip(DWORD* pStatus, DWORD dwMask = 1);
    void HideGrip(DWORD* pStatus, DWORD dwMask = 1);
    BOOL IsGripVisible() const { return m_nShowCount > 0; }
    void SetGripVisible(BOOL bVisible) { m_nShowCount = bVisible ? 1 : 0; }
    void UpdateGripPos();
    // TRANSPARENT or OPAQUE; FALSE for any other mode or before the grip exists.
    BOOL SetGripBkMode(int nBkMode);
    void SetGripShape(BOOL bTriangular);
    CSizeGrip& GetSizeGrip() { return m_wndGrip; }

protected:
    virtual CWnd* GetLayoutWnd() const = 0;

public:
    virtual ~CResizableGrip() = default;

private:
    CSizeGrip m_wndGrip;
    int m_nShowCount = 0;
};
