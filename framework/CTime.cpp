#include "framework/CTime.h"

namespace {

const LONGLONG kFileTimeOf1970 = 116444736000000000LL;
const LONGLONG kFileTicksPerSecond = 10000000LL;

void CheckRange(int value, int low, int high)
{
    if (value < low || value > high)
        AfxThrowInvalidArgException();
}

// Local time is the system's zone, through its own functions. The C runtime would take the zone
// from a TZ variable, which under Wine is the host's (and often not one the runtime can read),
// while Windows programs never see one.
const __time64_t kLastTime = 32535215999LL; // 3000-12-31 23:59:59, the runtime's limit

FILETIME FileTimeOf(__time64_t time)
{
    ULONGLONG ticks = static_cast<ULONGLONG>(time * kFileTicksPerSecond + kFileTimeOf1970);
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return ft;
}

__time64_t TimeOf(const FILETIME& ft)
{
    LONGLONG ticks = static_cast<LONGLONG>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
    LONGLONG offset = ticks - kFileTimeOf1970;
    return offset >= 0 ? offset / kFileTicksPerSecond : -((-offset + kFileTicksPerSecond - 1) / kFileTicksPerSecond);
}

// Days since 1970-01-01 of a proleptic Gregorian date; months past December carry into years.
LONGLONG DaysFromCivil(LONGLONG year, int month, int day)
{
    year += (month - 1) / 12;
    month = (month - 1) % 12 + 1;
    year -= month <= 2;
    LONGLONG era = (year >= 0 ? year : year - 399) / 400;
    LONGLONG yearOfEra = year - era * 400;
    LONGLONG dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    LONGLONG dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

bool ToLocalTm(__time64_t time, struct tm& out)
{
    if (time < 0 || time > kLastTime)
        return false;
    FILETIME utcFile = FileTimeOf(time);
    SYSTEMTIME utc, local;
    if (!FileTimeToSystemTime(&utcFile, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return false;
    FILETIME localFile;
    SystemTimeToFileTime(&local, &localFile);
    LONGLONG offsetMinutes = (TimeOf(localFile) - time) / 60;
    TIME_ZONE_INFORMATION zone;
    DWORD kind = GetTimeZoneInformation(&zone);
    bool daylight = kind != TIME_ZONE_ID_INVALID && kind != TIME_ZONE_ID_UNKNOWN &&
                    offsetMinutes != -static_cast<LONGLONG>(zone.Bias + zone.StandardBias);
    out = {};
    out.tm_year = local.wYear - 1900;
    out.tm_mon = local.wMonth - 1;
    out.tm_mday = local.wDay;
    out.tm_hour = local.wHour;
    out.tm_min = local.wMinute;
    out.tm_sec = local.wSecond;
    out.tm_wday = local.wDayOfWeek;
    out.tm_yday =
        static_cast<int>(DaysFromCivil(local.wYear, local.wMonth, local.wDay) - DaysFromCivil(local.wYear, 1, 1));
    out.tm_isdst = daylight ? 1 : 0;
    return true;
}

__time64_t MakeLocalTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
{
    CheckRange(nYear, 1900, 3000);
    CheckRange(nMonth, 1, 12);
    CheckRange(nDay, 1, 31);
    CheckRange(nHour, 0, 23);
    CheckRange(nMin, 0, 59);
    CheckRange(nSec, 0, 59);
    // A day past the month's end carries into the next month, as the runtime's mktime does.
    __time64_t local = DaysFromCivil(nYear, nMonth, nDay) * 86400 + nHour * 3600 + nMin * 60 + nSec;
    __time64_t result = -1;
    TIME_ZONE_INFORMATION zone;
    if (nDST >= 0 && GetTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID) {
        LONG bias = zone.Bias + (nDST > 0 ? zone.DaylightBias : zone.StandardBias);
        result = local + static_cast<__time64_t>(bias) * 60;
    } else if (local >= -86400 && local <= kLastTime + 86400) {
        FILETIME localFile = FileTimeOf(local), utcFile;
        SYSTEMTIME localTime, utc;
        if (FileTimeToSystemTime(&localFile, &localTime) &&
            TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &utc) && SystemTimeToFileTime(&utc, &utcFile))
            result = TimeOf(utcFile);
    }
    if (result < 0 || result > kLastTime)
        AfxThrowInvalidArgException();
    return result;
}

} // namespace

CString AFXAPI AfxFormatTm(LPCWSTR pszFormat, const struct tm& time)
{
    CString result;
    if (!pszFormat || !*pszFormat)
        return result;
    // wcsftime answers 0 both for "too small" and for an empty result: grow a few times, then stop.
    for (int size = 128; size <= 65536; size *= 4) {
        size_t n = wcsftime(result.GetBuffer(size), size, pszFormat, &time);
        if (n > 0) {
            result.ReleaseBuffer(static_cast<int>(n));
            return result;
        }
        result.ReleaseBuffer(0);
    }
    return result;
}

CString CTimeSpan::Format(LPCWSTR pszFormat) const
{
    CString result;
    if (!pszFormat)
        return result;
    for (const wchar_t* p = pszFormat; *p; ++p) {
        if (*p != L'%' || !p[1]) {
            result += *p;
            continue;
        }
        switch (*++p) {
        case L'D':
            result.AppendFormat(L"%I64d", GetDays());
            break;
        case L'H':
            result.AppendFormat(L"%02ld", GetHours());
            break;
        case L'M':
            result.AppendFormat(L"%02ld", GetMinutes());
            break;
        case L'S':
            result.AppendFormat(L"%02ld", GetSeconds());
            break;
        case L'%':
            result += L'%';
            break;
        default:
            result += L'%';
            result += *p;
            break;
        }
    }
    return result;
}

CTime WINAPI CTime::GetCurrentTime() noexcept
{
    return CTime(_time64(nullptr));
}

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
    : m_time(MakeLocalTime(nYear, nMonth, nDay, nHour, nMin, nSec, nDST))
{
}

CTime::CTime(WORD wDosDate, WORD wDosTime, int nDST)
    : m_time(MakeLocalTime((wDosDate >> 9) + 1980, (wDosDate >> 5) & 0xF, wDosDate & 0x1F, wDosTime >> 11,
                           (wDosTime >> 5) & 0x3F, (wDosTime & 0x1F) * 2, nDST))
{
}

CTime::CTime(const SYSTEMTIME& st, int nDST)
{
    // Before 1900 the time cannot be represented and counts as the zero time.
    if (st.wYear >= 1900)
        m_time = MakeLocalTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, nDST);
}

CTime::CTime(const FILETIME& ft, int nDST)
{
    (void)nDST; // a file time is UTC: no daylight-saving decision is needed
    if (ft.dwLowDateTime || ft.dwHighDateTime)
        m_time = TimeOf(ft);
}

struct tm* CTime::GetLocalTm(struct tm* ptm) const
{
    if (!ptm || !ToLocalTm(m_time, *ptm))
        return nullptr;
    return ptm;
}

struct tm* CTime::GetGmtTm(struct tm* ptm) const
{
    if (!ptm || _gmtime64_s(ptm, &m_time) != 0)
        return nullptr;
    return ptm;
}

bool CTime::GetAsSystemTime(SYSTEMTIME& st) const
{
    struct tm time;
    if (!GetLocalTm(&time))
        return false;
    st = {};
    st.wYear = static_cast<WORD>(time.tm_year + 1900);
    st.wMonth = static_cast<WORD>(time.tm_mon + 1);
    st.wDayOfWeek = static_cast<WORD>(time.tm_wday);
    st.wDay = static_cast<WORD>(time.tm_mday);
    st.wHour = static_cast<WORD>(time.tm_hour);
    st.wMinute = static_cast<WORD>(time.tm_min);
    st.wSecond = static_cast<WORD>(time.tm_sec);
    return true;
}

FILETIME CTime::GetAsFileTime() const
{
    return FileTimeOf(m_time);
}

namespace {
struct tm LocalOrZero(const CTime& time)
{
    struct tm result = {};
    time.GetLocalTm(&result);
    return result;
}
} // namespace

int CTime::GetYear() const
{
    return LocalOrZero(*this).tm_year + 1900;
}

int CTime::GetMonth() const
{
    return LocalOrZero(*this).tm_mon + 1;
}

int CTime::GetDay() const
{
    return LocalOrZero(*this).tm_mday;
}

int CTime::GetHour() const
{
    return LocalOrZero(*this).tm_hour;
}

int CTime::GetMinute() const
{
    return LocalOrZero(*this).tm_min;
}

int CTime::GetSecond() const
{
    return LocalOrZero(*this).tm_sec;
}

int CTime::GetDayOfWeek() const
{
    return LocalOrZero(*this).tm_wday + 1;
}

CString CTime::Format(LPCWSTR pszFormat) const
{
    struct tm time;
    return GetLocalTm(&time) ? AfxFormatTm(pszFormat, time) : CString();
}

CString CTime::FormatGmt(LPCWSTR pszFormat) const
{
    struct tm time;
    return GetGmtTm(&time) ? AfxFormatTm(pszFormat, time) : CString();
}

CString CTime::Format(UINT nFormatID) const
{
    CString format;
    format.LoadString(nFormatID);
    return Format(format);
}

CString CTime::FormatGmt(UINT nFormatID) const
{
    CString format;
    format.LoadString(nFormatID);
    return FormatGmt(format);
}
