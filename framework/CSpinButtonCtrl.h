// The common controls' up-down control, usually paired with an edit (its buddy).
#pragma once

#include "framework/CWnd.h"

class CSpinButtonCtrl : public CWnd
{
    DECLARE_DYNAMIC(CSpinButtonCtrl)
public:
    CSpinButtonCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    BOOL SetAccel(int nAccel, UDACCEL* pAccel);
    UINT GetAccel(int nAccel, UDACCEL* pAccel) const;
    int SetBase(int nBase);
    UINT GetBase() const;
    CWnd* SetBuddy(CWnd* pWndBuddy); // the previous buddy
    CWnd* GetBuddy() const;
    // The position; with an error (no valid buddy text) the high word is nonzero.
    int GetPos() const;
    int SetPos(int nPos); // the previous position
    int GetPos32(LPBOOL lpbError = nullptr) const;
    int SetPos32(int nPos);
    void SetRange(short nLower, short nUpper);
    void SetRange32(int nLower, int nUpper);
    DWORD GetRange() const; // lower limit in the high word, upper in the low word
    void GetRange(int& lower, int& upper) const;
    void GetRange32(int& lower, int& upper) const;
};
