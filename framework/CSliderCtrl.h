// The common controls' trackbar (slider). Moves are told to the parent as WM_HSCROLL/WM_VSCROLL.
#pragma once

#include "framework/CWnd.h"

class CToolTipCtrl;

class CSliderCtrl : public CWnd
{
    DECLARE_DYNAMIC(CSliderCtrl)
public:
    CSliderCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetLineSize() const;
    int SetLineSize(int nSize); // the previous size
    int GetPageSize() const;
    int SetPageSize(int nSize); // the previous size
    int GetRangeMax() const;
    int GetRangeMin() const;
    void GetRange(int& nMin, int& nMax) const;
    void SetRangeMin(int nMin, BOOL bRedraw = FALSE);
    void SetRangeMax(int nMax, BOOL bRedraw = FALSE);
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
    void GetSelection(int& nMin, int& nMax) const;
    void SetSelection(int nMin, int nMax);
    void ClearSel(BOOL bRedraw = FALSE);
    void GetChannelRect(LPRECT lprc) const;
    void GetThumbRect(LPRECT lprc) const;
    int GetPos() const;
    void SetPos(int nPos);
    UINT GetNumTics() const;
    DWORD* GetTicArray() const;
    int GetTic(int nTic) const;
    int GetTicPos(int nTic) const;
    BOOL SetTic(int nTic);
    void SetTicFreq(int nFreq);
    void ClearTics(BOOL bRedraw = FALSE);
    CWnd* SetBuddy(CWnd* pWndBuddy, BOOL fLocation = TRUE);
    CWnd* GetBuddy(BOOL fLocation = TRUE) const;
    CToolTipCtrl* GetToolTips() const;
    void SetToolTips(CToolTipCtrl* pWndTip);
    int SetTipSide(int nLocation);
};
