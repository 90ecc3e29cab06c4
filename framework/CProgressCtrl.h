// The common controls' progress bar.
#pragma once

#include "framework/CWnd.h"

class CProgressCtrl : public CWnd
{
    DECLARE_DYNAMIC(CProgressCtrl)
public:
    CProgressCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    void SetRange(short nLower, short nUpper);
    void SetRange32(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    int GetPos() const;
    int SetPos(int nPos);    // the previous position
    int OffsetPos(int nPos); // the previous position
    int SetStep(int nStep);  // the previous step
    int StepIt();            // the previous position
    COLORREF SetBarColor(COLORREF clrBar);
    COLORREF SetBkColor(COLORREF clrNew);
};
