// The header of a report list drawn flat, with a drawn arrow on the sort column.
#pragma once

#include "framework/Framework.h"

class CCJFlatHeaderCtrl : public CHeaderCtrl
{
public:
    CCJFlatHeaderCtrl() = default;

    // With bOwnFont the header takes a 12-pixel "ＭＳ Ｐゴシック" of its own.
    void EnableFlat(BOOL bOwnFont = FALSE);
    // Marks the column as the sort column; the previous sort column (-1 none).
    int SetSortMark(int nColumn, BOOL bAscending = TRUE);
    int GetSortColumn() const { return m_nSortCol; }
    BOOL IsSortAscending() const { return m_bSortAsc; }
    BOOL IsFlat() const { return m_bFlat; }

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

protected:
    void PaintFlatFrame();

    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

    BOOL m_bFlat = FALSE;
    BOOL m_bOwnFont = FALSE;
    CFont m_font;
    int m_nSortCol = -1;
    BOOL m_bSortAsc = FALSE;
};
