#include "framework/CSliderCtrl.h"
#include "framework/CToolTipCtrl.h"

IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&init);
    return CWnd::Create(TRACKBAR_CLASSW, nullptr, dwStyle, rect, pParentWnd, nID);
}

int CSliderCtrl::GetLineSize() const
{
    return static_cast<int>(SendMessage(TBM_GETLINESIZE));
}

int CSliderCtrl::SetLineSize(int nSize)
{
    return static_cast<int>(SendMessage(TBM_SETLINESIZE, 0, nSize));
}

int CSliderCtrl::GetPageSize() const
{
    return static_cast<int>(SendMessage(TBM_GETPAGESIZE));
}

int CSliderCtrl::SetPageSize(int nSize)
{
    return static_cast<int>(SendMessage(TBM_SETPAGESIZE, 0, nSize));
}

int CSliderCtrl::GetRangeMax() const
{
    return static_cast<int>(SendMessage(TBM_GETRANGEMAX));
}

int CSliderCtrl::GetRangeMin() const
{
    return static_cast<int>(SendMessage(TBM_GETRANGEMIN));
}

void CSliderCtrl::GetRange(int& nMin, int& nMax) const
{
    nMin = GetRangeMin();
    nMax = GetRangeMax();
}

void CSliderCtrl::SetRangeMin(int nMin, BOOL bRedraw)
{
    SendMessage(TBM_SETRANGEMIN, bRedraw, nMin);
}

void CSliderCtrl::SetRangeMax(int nMax, BOOL bRedraw)
{
    SendMessage(TBM_SETRANGEMAX, bRedraw, nMax);
}

void CSliderCtrl::SetRange(int nMin, int nMax, BOOL bRedraw)
{
    // One call each: TBM_SETRANGE packs both ends into 16 bits.
    SetRangeMin(nMin, FALSE);
    SetRangeMax(nMax, bRedraw);
}

void CSliderCtrl::GetSelection(int& nMin, int& nMax) const
{
    nMin = static_cast<int>(SendMessage(TBM_GETSELSTART));
    nMax = static_cast<int>(SendMessage(TBM_GETSELEND));
}

void CSliderCtrl::SetSelection(int nMin, int nMax)
{
    SendMessage(TBM_SETSELSTART, FALSE, nMin);
    SendMessage(TBM_SETSELEND, TRUE, nMax);
}

void CSliderCtrl::ClearSel(BOOL bRedraw)
{
    SendMessage(TBM_CLEARSEL, bRedraw);
}

void CSliderCtrl::GetChannelRect(LPRECT lprc) const
{
    SendMessage(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(lprc));
}

void CSliderCtrl::GetThumbRect(LPRECT lprc) const
{
    SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(lprc));
}

int CSliderCtrl::GetPos() const
{
    return static_cast<int>(SendMessage(TBM_GETPOS));
}

void CSliderCtrl::SetPos(int nPos)
{
    SendMessage(TBM_SETPOS, TRUE, nPos);
}

UINT CSliderCtrl::GetNumTics() const
{
    return static_cast<UINT>(SendMessage(TBM_GETNUMTICS));
}

DWORD* CSliderCtrl::GetTicArray() const
{
    return reinterpret_cast<DWORD*>(SendMessage(TBM_GETPTICS));
}

int CSliderCtrl::GetTic(int nTic) const
{
    return static_cast<int>(SendMessage(TBM_GETTIC, nTic));
}

int CSliderCtrl::GetTicPos(int nTic) const
{
    return static_cast<int>(SendMessage(TBM_GETTICPOS, nTic));
}

BOOL CSliderCtrl::SetTic(int nTic)
{
    return static_cast<BOOL>(SendMessage(TBM_SETTIC, 0, nTic));
}

void CSliderCtrl::SetTicFreq(int nFreq)
{
    SendMessage(TBM_SETTICFREQ, nFreq);
}

void CSliderCtrl::ClearTics(BOOL bRedraw)
{
    SendMessage(TBM_CLEARTICS, bRedraw);
}

CWnd* CSliderCtrl::SetBuddy(CWnd* pWndBuddy, BOOL fLocation)
{
    return CWnd::FromHandle(reinterpret_cast<HWND>(
        SendMessage(TBM_SETBUDDY, fLocation, reinterpret_cast<LPARAM>(pWndBuddy->GetSafeHwnd()))));
}

CWnd* CSliderCtrl::GetBuddy(BOOL fLocation) const
{
    return CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(TBM_GETBUDDY, fLocation)));
}

CToolTipCtrl* CSliderCtrl::GetToolTips() const
{
    return static_cast<CToolTipCtrl*>(CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(TBM_GETTOOLTIPS))));
}

void CSliderCtrl::SetToolTips(CToolTipCtrl* pWndTip)
{
    SendMessage(TBM_SETTOOLTIPS, reinterpret_cast<WPARAM>(pWndTip->GetSafeHwnd()));
}

int CSliderCtrl::SetTipSide(int nLocation)
{
    return static_cast<int>(SendMessage(TBM_SETTIPSIDE, nLocation));
}
