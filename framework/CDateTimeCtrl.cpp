#include "framework/CDateTimeCtrl.h"
#include "framework/COleDateTime.h"
#include "framework/CTime.h"

IMPLEMENT_DYNAMIC(CDateTimeCtrl, CWnd)

BOOL CDateTimeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&init);
    return CWnd::Create(DATETIMEPICK_CLASSW, nullptr, dwStyle, rect, pParentWnd, nID);
}

DWORD CDateTimeCtrl::GetTime(LPSYSTEMTIME pTimeDest) const
{
    return static_cast<DWORD>(SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(pTimeDest)));
}

DWORD CDateTimeCtrl::GetTime(CTime& timeDest) const
{
    SYSTEMTIME st = {};
    DWORD result = GetTime(&st);
    if (result == GDT_VALID)
        timeDest = CTime(st);
    return result;
}

BOOL CDateTimeCtrl::GetTime(COleDateTime& timeDest) const
{
    SYSTEMTIME st = {};
    DWORD result = GetTime(&st);
    if (result == GDT_VALID) {
        timeDest = COleDateTime(st);
        return TRUE;
    }
    if (result == GDT_NONE) {
        timeDest.SetStatus(COleDateTime::null);
        return TRUE;
    }
    timeDest.SetStatus(COleDateTime::invalid);
    return FALSE;
}

BOOL CDateTimeCtrl::SetTime(const SYSTEMTIME* pTimeNew)
{
    if (pTimeNew)
        return static_cast<BOOL>(SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(pTimeNew)));
    // The time is not read for GDT_NONE, but Wine refuses the message without one.
    SYSTEMTIME unused = {};
    ::GetLocalTime(&unused);
    return static_cast<BOOL>(SendMessage(DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&unused)));
}

BOOL CDateTimeCtrl::SetTime(const CTime* pTimeNew)
{
    if (!pTimeNew)
        return SetTime(static_cast<const SYSTEMTIME*>(nullptr));
    SYSTEMTIME st = {};
    if (!pTimeNew->GetAsSystemTime(st))
        return FALSE;
    return SetTime(&st);
}

BOOL CDateTimeCtrl::SetTime(const COleDateTime& timeNew)
{
    if (timeNew.GetStatus() == COleDateTime::null)
        return SetTime(static_cast<const SYSTEMTIME*>(nullptr));
    SYSTEMTIME st = {};
    if (timeNew.GetStatus() != COleDateTime::valid || !timeNew.GetAsSystemTime(st))
        return FALSE;
    return SetTime(&st);
}

BOOL CDateTimeCtrl::SetFormat(LPCWSTR pstrFormat)
{
    return static_cast<BOOL>(SendMessage(DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(pstrFormat)));
}

DWORD CDateTimeCtrl::GetRange(LPSYSTEMTIME pMinRange, LPSYSTEMTIME pMaxRange) const
{
    SYSTEMTIME range[2] = {};
    DWORD result = static_cast<DWORD>(SendMessage(DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)));
    if (pMinRange)
        *pMinRange = range[0];
    if (pMaxRange)
        *pMaxRange = range[1];
    return result;
}

BOOL CDateTimeCtrl::SetRange(const SYSTEMTIME* pMinRange, const SYSTEMTIME* pMaxRange)
{
    SYSTEMTIME range[2] = {};
    WPARAM which = 0;
    if (pMinRange) {
        range[0] = *pMinRange;
        which |= GDTR_MIN;
    }
    if (pMaxRange) {
        range[1] = *pMaxRange;
        which |= GDTR_MAX;
    }
    return static_cast<BOOL>(SendMessage(DTM_SETRANGE, which, reinterpret_cast<LPARAM>(range)));
}

COLORREF CDateTimeCtrl::GetMonthCalColor(int iColor) const
{
    return static_cast<COLORREF>(SendMessage(DTM_GETMCCOLOR, iColor));
}

COLORREF CDateTimeCtrl::SetMonthCalColor(int iColor, COLORREF ref)
{
    return static_cast<COLORREF>(SendMessage(DTM_SETMCCOLOR, iColor, ref));
}
