// The common controls' date and time picker.
#pragma once

#include "framework/CWnd.h"

class CTime;
class COleDateTime;

class CDateTimeCtrl : public CWnd
{
    DECLARE_DYNAMIC(CDateTimeCtrl)
public:
    CDateTimeCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // GDT_VALID, or GDT_NONE when a DTS_SHOWNONE picker is unchecked (GDT_ERROR on failure).
    DWORD GetTime(LPSYSTEMTIME pTimeDest) const;
    DWORD GetTime(CTime& timeDest) const;
    BOOL GetTime(COleDateTime& timeDest) const; // a null date when unchecked
    // A null pointer unchecks a DTS_SHOWNONE picker.
    BOOL SetTime(const SYSTEMTIME* pTimeNew);
    BOOL SetTime(const CTime* pTimeNew);
    BOOL SetTime(const COleDateTime& timeNew);
    BOOL SetFormat(LPCWSTR pstrFormat);
    // GDTR_MIN and GDTR_MAX tell which ends are set.
    DWORD GetRange(LPSYSTEMTIME pMinRange, LPSYSTEMTIME pMaxRange) const;
    BOOL SetRange(const SYSTEMTIME* pMinRange, const SYSTEMTIME* pMaxRange);
    COLORREF GetMonthCalColor(int iColor) const;
    COLORREF SetMonthCalColor(int iColor, COLORREF ref);
};
