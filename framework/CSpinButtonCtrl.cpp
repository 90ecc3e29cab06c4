#include "framework/CSpinButtonCtrl.h"

IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)

BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&init);
    return CWnd::Create(UPDOWN_CLASSW, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CSpinButtonCtrl::SetAccel(int nAccel, UDACCEL* pAccel)
{
    return static_cast<BOOL>(SendMessage(UDM_SETACCEL, static_cast<WPARAM>(nAccel), reinterpret_cast<LPARAM>(pAccel)));
}

UINT CSpinButtonCtrl::GetAccel(int nAccel, UDACCEL* pAccel) const
{
    return static_cast<UINT>(SendMessage(UDM_GETACCEL, static_cast<WPARAM>(nAccel), reinterpret_cast<LPARAM>(pAccel)));
}

int CSpinButtonCtrl::SetBase(int nBase)
{
    return static_cast<int>(SendMessage(UDM_SETBASE, static_cast<WPARAM>(nBase)));
}

UINT CSpinButtonCtrl::GetBase() const
{
    return static_cast<UINT>(SendMessage(UDM_GETBASE));
}

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* pWndBuddy)
{
    return CWnd::FromHandle(
        reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(pWndBuddy->GetSafeHwnd()))));
}

CWnd* CSpinButtonCtrl::GetBuddy() const
{
    return CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY)));
}

int CSpinButtonCtrl::GetPos() const
{
    return static_cast<int>(SendMessage(UDM_GETPOS));
}

int CSpinButtonCtrl::SetPos(int nPos)
{
    return static_cast<int>(static_cast<short>(LOWORD(SendMessage(UDM_SETPOS, 0, MAKELPARAM(nPos, 0)))));
}

int CSpinButtonCtrl::GetPos32(LPBOOL lpbError) const
{
    return static_cast<int>(SendMessage(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(lpbError)));
}

int CSpinButtonCtrl::SetPos32(int nPos)
{
    return static_cast<int>(SendMessage(UDM_SETPOS32, 0, nPos));
}

void CSpinButtonCtrl::SetRange(short nLower, short nUpper)
{
    SendMessage(UDM_SETRANGE, 0, MAKELPARAM(nUpper, nLower));
}

void CSpinButtonCtrl::SetRange32(int nLower, int nUpper)
{
    SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper);
}

DWORD CSpinButtonCtrl::GetRange() const
{
    return static_cast<DWORD>(SendMessage(UDM_GETRANGE));
}

void CSpinButtonCtrl::GetRange(int& lower, int& upper) const
{
    DWORD range = GetRange();
    lower = static_cast<short>(HIWORD(range));
    upper = static_cast<short>(LOWORD(range));
}

void CSpinButtonCtrl::GetRange32(int& lower, int& upper) const
{
    SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
}
