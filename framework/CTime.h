// Absolute times (seconds since 1970, shown in local time) and time spans.
#pragma once

#include "framework/CString.h"

#include <ctime>

class CTimeSpan
{
public:
    CTimeSpan() noexcept = default;
    CTimeSpan(__time64_t time) noexcept : m_timeSpan(time) {}
    CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs) noexcept
        : m_timeSpan(nSecs + 60 * (nMins + 60 * (nHours + static_cast<__time64_t>(24) * lDays)))
    {
    }

    LONGLONG GetDays() const noexcept { return m_timeSpan / (24 * 3600); }
    LONGLONG GetTotalHours() const noexcept { return m_timeSpan / 3600; }
    LONG GetHours() const noexcept { return static_cast<LONG>(GetTotalHours() - GetDays() * 24); }
    LONGLONG GetTotalMinutes() const noexcept { return m_timeSpan / 60; }
    LONG GetMinutes() const noexcept { return static_cast<LONG>(GetTotalMinutes() - GetTotalHours() * 60); }
    LONGLONG GetTotalSeconds() const noexcept { return m_timeSpan; }
    LONG GetSeconds() const noexcept { return static_cast<LONG>(GetTotalSeconds() - GetTotalMinutes() * 60); }
    __time64_t GetTimeSpan() const noexcept { return m_timeSpan; }

    // %D total days, %H hours, %M minutes, %S seconds (two digits each), %% a percent sign.
    CString Format(LPCWSTR pszFormat) const;

    CTimeSpan operator+(CTimeSpan span) const noexcept { return CTimeSpan(m_timeSpan + span.m_timeSpan); }
    CTimeSpan operator-(CTimeSpan span) const noexcept { return CTimeSpan(m_timeSpan - span.m_timeSpan); }
    CTimeSpan& operator+=(CTimeSpan span) noexcept
    {
        m_timeSpan += span.m_timeSpan;
        return *this;
    }
    CTimeSpan& operator-=(CTimeSpan span) noexcept
    {
        m_timeSpan -= span.m_timeSpan;
        return *this;
    }
    bool operator==(CTimeSpan span) const noexcept { return m_timeSpan == span.m_timeSpan; }
    bool operator!=(CTimeSpan span) const noexcept { return m_timeSpan != span.m_timeSpan; }
    bool operator<(CTimeSpan span) const noexcept { return m_timeSpan < span.m_timeSpan; }
    bool operator>(CTimeSpan span) const noexcept { return m_timeSpan > span.m_timeSpan; }
    bool operator<=(CTimeSpan span) const noexcept { return m_timeSpan <= span.m_timeSpan; }
    bool operator>=(CTimeSpan span) const noexcept { return m_timeSpan >= span.m_timeSpan; }

private:
    __time64_t m_timeSpan = 0;
};

class CTime
{
public:
    static CTime WINAPI GetCurrentTime() noexcept;

    CTime() noexcept = default;
    CTime(__time64_t time) noexcept : m_time(time) {}
    // Local time; out-of-range fields throw CInvalidArgException. nDST -1 lets the system decide.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
    CTime(WORD wDosDate, WORD wDosTime, int nDST = -1);
    CTime(const SYSTEMTIME& st, int nDST = -1);
    // A file time (UTC); the zero file time gives the zero time.
    CTime(const FILETIME& ft, int nDST = -1);

    CTime& operator=(__time64_t time) noexcept
    {
        m_time = time;
        return *this;
    }

    __time64_t GetTime() const noexcept { return m_time; }
    // Broken down in local time / UTC; null when the time cannot be represented.
    struct tm* GetLocalTm(struct tm* ptm) const;
    struct tm* GetGmtTm(struct tm* ptm) const;
    bool GetAsSystemTime(SYSTEMTIME& st) const;
    // The time as a file time (UTC).
    FILETIME GetAsFileTime() const;

    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const; // 1 = Sunday

    // strftime conventions in local time (FormatGmt: UTC); empty when the time is not representable.
    CString Format(LPCWSTR pszFormat) const;
    CString FormatGmt(LPCWSTR pszFormat) const;
    CString Format(UINT nFormatID) const;
    CString FormatGmt(UINT nFormatID) const;

    CTimeSpan operator-(CTime time) const noexcept { return CTimeSpan(m_time - time.m_time); }
    CTime operator-(CTimeSpan span) const noexcept { return CTime(m_time - span.GetTimeSpan()); }
    CTime operator+(CTimeSpan span) const noexcept { return CTime(m_time + span.GetTimeSpan()); }
    CTime& operator+=(CTimeSpan span) noexcept
    {
        m_time += span.GetTimeSpan();
        return *this;
    }
    CTime& operator-=(CTimeSpan span) noexcept
    {
        m_time -= span.GetTimeSpan();
        return *this;
    }
    bool operator==(CTime time) const noexcept { return m_time == time.m_time; }
    bool operator!=(CTime time) const noexcept { return m_time != time.m_time; }
    bool operator<(CTime time) const noexcept { return m_time < time.m_time; }
    bool operator>(CTime time) const noexcept { return m_time > time.m_time; }
    bool operator<=(CTime time) const noexcept { return m_time <= time.m_time; }
    bool operator>=(CTime time) const noexcept { return m_time >= time.m_time; }

private:
    __time64_t m_time = 0;
};

// strftime over a broken-down time, grown as long as the text needs; shared by the time classes.
CString AFXAPI AfxFormatTm(LPCWSTR pszFormat, const struct tm& time);
