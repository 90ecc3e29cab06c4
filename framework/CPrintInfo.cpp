#include "framework/CPrintInfo.h"

CPrintInfo::CPrintInfo()
    : m_pPD(nullptr), m_bDocObject(FALSE), m_bPreview(FALSE), m_bDirect(FALSE), m_bContinuePrinting(TRUE),
      m_nCurPage(1), m_nNumPreviewPages(0), m_lpUserData(nullptr), m_rectDraw(0, 0, 0, 0), m_nJobNumber(-1),
      m_nOffsetPage(0), m_nMinPage(1), m_nMaxPage(0xFFFF), m_nFromPage(1), m_nToPage(0xFFFF)
{
}
