// Automation dates (days since 1899-12-30 as a double) and spans between them.
#pragma once

#include "framework/CTime.h"

class COleDateTimeSpan
{
public:
    enum DateTimeSpanStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTimeSpan() noexcept = default;
    COleDateTimeSpan(double dblSpanSrc) noexcept : m_span(dblSpanSrc) {}
    COleDateTimeSpan(LONG lDays, int nHours, int nMins, int nSecs) noexcept;

    double GetTotalDays() const noexcept { return m_span; }
    double GetTotalHours() const noexcept { return m_span * 24; }
    double GetTotalMinutes() const noexcept { return m_span * 24 * 60; }
    double GetTotalSeconds() const noexcept { return m_span * 24 * 60 * 60; }
    LONG GetDays() const noexcept;
    LONG GetHours() const noexcept;
    LONG GetMinutes() const noexcept;
    LONG GetSeconds() const noexcept;
    DateTimeSpanStatus GetStatus() const noexcept { return m_status; }
    void SetStatus(DateTimeSpanStatus status) noexcept { m_status = status; }

    COleDateTimeSpan operator+(const COleDateTimeSpan& span) const noexcept { return m_span + span.m_span; }
    COleDateTimeSpan operator-(const COleDateTimeSpan& span) const noexcept { return m_span - span.m_span; }
    COleDateTimeSpan operator-() const noexcept { return -m_span; }
    bool operator==(const COleDateTimeSpan& span) const noexcept { return m_span == span.m_span; }
    bool operator!=(const COleDateTimeSpan& span) const noexcept { return m_span != span.m_span; }
    bool operator<(const COleDateTimeSpan& span) const noexcept { return m_span < span.m_span; }
    bool operator>(const COleDateTimeSpan& span) const noexcept { return m_span > span.m_span; }

    double m_span = 0;
    DateTimeSpanStatus m_status = valid;
};

class COleDateTime
{
public:
    enum DateTimeStatus { error = -1, valid = 0, invalid = 1, null = 2 };

    // The current local time.
    static COleDateTime WINAPI GetCurrentTime();

    COleDateTime() noexcept = default;
    COleDateTime(DATE dtSrc) noexcept : m_dt(dtSrc) {}
    COleDateTime(__time64_t timeSrc); // local time of the moment
    COleDateTime(const SYSTEMTIME& systimeSrc);
    COleDateTime(const FILETIME& filetimeSrc); // UTC file time, shown as local time
    COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);

    DateTimeStatus GetStatus() const noexcept { return m_status; }
    void SetStatus(DateTimeStatus status) noexcept { m_status = status; }
    operator DATE() const noexcept { return m_dt; }

    // Each returns 0 and leaves the date valid, or 1 and marks it invalid.
    int SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
    int SetDate(int nYear, int nMonth, int nDay) { return SetDateTime(nYear, nMonth, nDay, 0, 0, 0); }
    int SetTime(int nHour, int nMin, int nSec) { return SetDateTime(1899, 12, 30, nHour, nMin, nSec); }

    bool GetAsSystemTime(SYSTEMTIME& sysTime) const;
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const; // 1 = Sunday
    int GetDayOfYear() const; // 1 = January 1st

    // The locale's text of the date (VAR_DATEVALUEONLY, VAR_TIMEVALUEONLY, LOCALE_NOUSEROVERRIDE in
    // dwFlags); a null date gives "", an invalid one the framework's Japanese notice.
    CString Format(DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT) const;
    // strftime conventions.
    CString Format(LPCWSTR lpszFormat) const;
    CString Format(UINT nFormatID) const;
    // Reads the locale's date/time text; FALSE (and an invalid date) when it cannot.
    bool ParseDateTime(LPCWSTR lpszDate, DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT);

    COleDateTime operator+(const COleDateTimeSpan& span) const;
    COleDateTime operator-(const COleDateTimeSpan& span) const;
    COleDateTimeSpan operator-(const COleDateTime& date) const;
    COleDateTime& operator+=(const COleDateTimeSpan& span) { return *this = *this + span; }
    COleDateTime& operator-=(const COleDateTimeSpan& span) { return *this = *this - span; }
    bool operator==(const COleDateTime& date) const noexcept { return m_status == date.m_status && m_dt == date.m_dt; }
    bool operator!=(const COleDateTime& date) const noexcept { return !(*this == date); }
    bool operator<(const COleDateTime& date) const noexcept { return Linear() < date.Linear(); }
    bool operator>(const COleDateTime& date) const noexcept { return Linear() > date.Linear(); }
    bool operator<=(const COleDateTime& date) const noexcept { return Linear() <= date.Linear(); }
    bool operator>=(const COleDateTime& date) const noexcept { return Linear() >= date.Linear(); }

    DATE m_dt = 0;
    DateTimeStatus m_status = valid;

private:
    // Before 1899-12-30 the fraction counts forward while the days count back: make it linear.
    double Linear() const noexcept;
    static DATE FromLinear(double value) noexcept;
    void SetFromSystemTime(const SYSTEMTIME& st);
};
