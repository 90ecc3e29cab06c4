// The minimum and maximum tracking sizes and the maximized rectangle a resizable window answers
// WM_GETMINMAXINFO with; each applies only once it has been set.
#pragma once

#include "framework/Framework.h"

class CResizableMinMax
{
public:
    void SetMinTrackSize(const CSize& size);
    void SetMaxTrackSize(const CSize& size);
    void SetMaximizedRect(const CRect& rect);
    void ResetMinTrackSize() { m_bUseMinTrack = FALSE; }
    void ResetMaxTrackSize() { m_bUseMaxTrack = FALSE; }
    void ResetMaximizedRect() { m_bUseMaxRect = FALSE; }
    void ApplyMinMaxInfo(MINMAXINFO* lpMMI) const;

    BOOL HasMinTrackSize() const { return m_bUseMinTrack; }
    BOOL HasMaxTrackSize() const { return m_bUseMaxTrack; }
    CSize GetMinTrackSize() const { return CSize(m_ptMinTrackSize); }
    CSize GetMaxTrackSize() const { return CSize(m_ptMaxTrackSize); }

private:
    BOOL m_bUseMaxTrack = FALSE;
    BOOL m_bUseMinTrack = FALSE;
    BOOL m_bUseMaxRect = FALSE;
    POINT m_ptMinTrackSize = {};
    POINT m_ptMaxTrackSize = {};
    POINT m_ptMaxPos = {};
    POINT m_ptMaxSize = {};
};
