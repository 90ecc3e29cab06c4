#include "framework/COleDateTime.h"

#include <cmath>

namespace {

const wchar_t kInvalidDateTime[] = L"無効な日付と時刻";

LONG SpanPart(double span, double unitsPerDay, LONG modulo)
{
    // Rounded to the second first so that 0.9999999 s does not show as 0.
    double seconds = std::floor(std::fabs(span) * 86400.0 + 0.5);
    auto part = static_cast<LONG>(std::fmod(std::floor(seconds / (86400.0 / unitsPerDay)), modulo));
    return span < 0 ? -part : part;
}

} // namespace

COleDateTimeSpan::COleDateTimeSpan(LONG lDays, int nHours, int nMins, int nSecs) noexcept
    : m_span(lDays + (nHours + (nMins + nSecs / 60.0) / 60.0) / 24.0)
{
}

LONG COleDateTimeSpan::GetDays() const noexcept
{
    double seconds = std::floor(std::fabs(m_span) * 86400.0 + 0.5);
    auto days = static_cast<LONG>(seconds / 86400.0);
    return m_span < 0 ? -days : days;
}

LONG COleDateTimeSpan::GetHours() const noexcept
{
    return SpanPart(m_span, 24, 24);
}

LONG COleDateTimeSpan::GetMinutes() const noexcept
{
    return SpanPart(m_span, 24 * 60, 60);
}

LONG COleDateTimeSpan::GetSeconds() const noexcept
{
    return SpanPart(m_span, 24 * 60 * 60, 60);
}

COleDateTime WINAPI COleDateTime::GetCurrentTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    now.wMilliseconds = 0;
    return COleDateTime(now);
}

COleDateTime::COleDateTime(__time64_t timeSrc)
{
    SYSTEMTIME st;
    if (CTime(timeSrc).GetAsSystemTime(st))
        SetFromSystemTime(st);
    else
        m_status = invalid;
}

COleDateTime::COleDateTime(const SYSTEMTIME& systimeSrc)
{
    SetFromSystemTime(systimeSrc);
}

COleDateTime::COleDateTime(const FILETIME& filetimeSrc)
{
    FILETIME local;
    SYSTEMTIME st;
    if (FileTimeToLocalFileTime(&filetimeSrc, &local) && FileTimeToSystemTime(&local, &st))
        SetFromSystemTime(st);
    else
        m_status = invalid;
}

COleDateTime::COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
{
    SetDateTime(nYear, nMonth, nDay, nHour, nMin, nSec);
}

void COleDateTime::SetFromSystemTime(const SYSTEMTIME& st)
{
    SYSTEMTIME whole = st;
    whole.wMilliseconds = 0;
    m_status = SystemTimeToVariantTime(&whole, &m_dt) ? valid : invalid;
    if (m_status != valid)
        m_dt = 0;
}

int COleDateTime::SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
{
    static const int kDaysInMonth[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool ok = nYear >= 100 && nYear <= 9999 && nMonth >= 1 && nMonth <= 12 && nDay >= 1 &&
              nDay <= kDaysInMonth[nMonth - 1] && nHour >= 0 && nHour <= 23 && nMin >= 0 && nMin <= 59 && nSec >= 0 &&
              nSec <= 59;
    bool leap = (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0;
    if (ok && nMonth == 2 && nDay == 29 && !leap)
        ok = false;
    if (!ok) {
        m_dt = 0;
        m_status = invalid;
        return 1;
    }
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(nYear);
    st.wMonth = static_cast<WORD>(nMonth);
    st.wDay = static_cast<WORD>(nDay);
    st.wHour = static_cast<WORD>(nHour);
    st.wMinute = static_cast<WORD>(nMin);
    st.wSecond = static_cast<WORD>(nSec);
    SetFromSystemTime(st);
    return m_status == valid ? 0 : 1;
}

bool COleDateTime::GetAsSystemTime(SYSTEMTIME& sysTime) const
{
    return m_status == valid && VariantTimeToSystemTime(m_dt, &sysTime);
}

namespace {
SYSTEMTIME PartsOf(const COleDateTime& date)
{
    SYSTEMTIME st = {};
    date.GetAsSystemTime(st);
    return st;
}
} // namespace

int COleDateTime::GetYear() const
{
    return PartsOf(*this).wYear;
}

int COleDateTime::GetMonth() const
{
    return PartsOf(*this).wMonth;
}

int COleDateTime::GetDay() const
{
    return PartsOf(*this).wDay;
}

int COleDateTime::GetHour() const
{
    return PartsOf(*this).wHour;
}

int COleDateTime::GetMinute() const
{
    return PartsOf(*this).wMinute;
}

int COleDateTime::GetSecond() const
{
    return PartsOf(*this).wSecond;
}

int COleDateTime::GetDayOfWeek() const
{
    SYSTEMTIME st;
    return GetAsSystemTime(st) ? st.wDayOfWeek + 1 : -1;
}

int COleDateTime::GetDayOfYear() const
{
    SYSTEMTIME st;
    if (!GetAsSystemTime(st))
        return -1;
    COleDateTime january1(st.wYear, 1, 1, 0, 0, 0);
    return static_cast<int>(std::floor(Linear()) - std::floor(january1.Linear())) + 1;
}

CString COleDateTime::Format(DWORD dwFlags, LCID lcid) const
{
    if (m_status == null)
        return CString();
    if (m_status != valid)
        return kInvalidDateTime;
    BSTR text = nullptr;
    if (FAILED(VarBstrFromDate(m_dt, lcid, dwFlags, &text)) || !text)
        return kInvalidDateTime;
    CString result(text, static_cast<int>(SysStringLen(text)));
    SysFreeString(text);
    return result;
}

CString COleDateTime::Format(LPCWSTR lpszFormat) const
{
    if (m_status == null)
        return CString();
    SYSTEMTIME st;
    if (!GetAsSystemTime(st))
        return kInvalidDateTime;
    struct tm time = {};
    time.tm_year = st.wYear - 1900;
    time.tm_mon = st.wMonth - 1;
    time.tm_mday = st.wDay;
    time.tm_hour = st.wHour;
    time.tm_min = st.wMinute;
    time.tm_sec = st.wSecond;
    time.tm_wday = st.wDayOfWeek;
    time.tm_yday = GetDayOfYear() - 1;
    time.tm_isdst = -1;
    return AfxFormatTm(lpszFormat, time);
}

CString COleDateTime::Format(UINT nFormatID) const
{
    CString format;
    format.LoadString(nFormatID);
    return Format(format.GetString());
}

bool COleDateTime::ParseDateTime(LPCWSTR lpszDate, DWORD dwFlags, LCID lcid)
{
    DATE date = 0;
    if (!lpszDate || FAILED(VarDateFromStr(const_cast<LPOLESTR>(lpszDate), lcid, dwFlags, &date))) {
        m_dt = 0;
        m_status = invalid;
        return false;
    }
    m_dt = date;
    m_status = valid;
    return true;
}

double COleDateTime::Linear() const noexcept
{
    if (m_dt >= 0)
        return m_dt;
    double days = std::ceil(m_dt);
    return days - (m_dt - days);
}

DATE COleDateTime::FromLinear(double value) noexcept
{
    if (value >= 0)
        return value;
    double days = std::floor(value);
    double fraction = value - days;
    if (fraction == 0)
        return days;
    return (days + 1) - fraction;
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& span) const
{
    COleDateTime result;
    if (m_status != valid || span.m_status != COleDateTimeSpan::valid) {
        result.m_status = m_status == null || span.m_status == COleDateTimeSpan::null ? null : invalid;
        return result;
    }
    result.m_dt = FromLinear(Linear() + span.m_span);
    return result;
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& span) const
{
    return *this + (-span);
}

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& date) const
{
    COleDateTimeSpan span(Linear() - date.Linear());
    if (m_status != valid || date.m_status != valid)
        span.m_status = m_status == null || date.m_status == null ? COleDateTimeSpan::null : COleDateTimeSpan::invalid;
    return span;
}
