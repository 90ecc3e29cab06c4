#include "controls/CResizableMinMax.h"

void CResizableMinMax::SetMinTrackSize(const CSize& size)
{
    m_ptMinTrackSize = {size.cx, size.cy};
    m_bUseMinTrack = TRUE;
}

void CResizableMinMax::SetMaxTrackSize(const CSize& size)
{
    m_ptMaxTrackSize = {size.cx, size.cy};
    m_bUseMaxTrack = TRUE;
}

void CResizableMinMax::SetMaximizedRect(const CRect& rect)
{
    m_ptMaxPos = {rect.left, rect.top};
    m_ptMaxSize = {rect.Width(), rect.Height()};
    m_bUseMaxRect = TRUE;
}

void CResizableMinMax::ApplyMinMaxInfo(MINMAXINFO* lpMMI) const
{
    if (m_bUseMinTrack)
        lpMMI->ptMinTrackSize = m_ptMinTrackSize;
    if (m_bUseMaxTrack)
        lpMMI->ptMaxTrackSize = m_ptMaxTrackSize;
    if (m_bUseMaxRect) {
        lpMMI->ptMaxPosition = m_ptMaxPos;
        lpMMI->ptMaxSize = m_ptMaxSize;
    }
}
