#include "framework/CProgressCtrl.h"

IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&init);
    return CWnd::Create(PROGRESS_CLASSW, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CProgressCtrl::SetRange(short nLower, short nUpper)
{
    SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper));
}

void CProgressCtrl::SetRange32(int nLower, int nUpper)
{
    SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper);
}

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
    PBRANGE range = {};
    SendMessage(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    nLower = range.iLow;
    nUpper = range.iHigh;
}

int CProgressCtrl::GetPos() const
{
    return static_cast<int>(SendMessage(PBM_GETPOS));
}

int CProgressCtrl::SetPos(int nPos)
{
    return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos)));
}

int CProgressCtrl::OffsetPos(int nPos)
{
    return static_cast<int>(SendMessage(PBM_DELTAPOS, static_cast<WPARAM>(nPos)));
}

int CProgressCtrl::SetStep(int nStep)
{
    return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(nStep)));
}

int CProgressCtrl::StepIt()
{
    return static_cast<int>(SendMessage(PBM_STEPIT));
}

COLORREF CProgressCtrl::SetBarColor(COLORREF clrBar)
{
    return static_cast<COLORREF>(SendMessage(PBM_SETBARCOLOR, 0, static_cast<LPARAM>(clrBar)));
}

COLORREF CProgressCtrl::SetBkColor(COLORREF clrNew)
{
    return static_cast<COLORREF>(SendMessage(PBM_SETBKCOLOR, 0, static_cast<LPARAM>(clrNew)));
}
