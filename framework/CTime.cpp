#include "framework/CTime.h"

namespace {

const LONGLONG kFileTimeOf1970 = 116444736000000000LL;
const LONGLONG kFileTicksPerSecond = 10000000LL;

void CheckRange(int value, int low, int high)
{
    if (value < low || value > high)
        AfxThrowInvalidArgException();
}

__time64_t MakeLocalTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
{
    CheckRange(nYear, 1900, 3000);
    CheckRange(nMonth, 1, 12);
    CheckRange(nDay, 1, 31);
    CheckRange(nHour, 0, 23);
    CheckRange(nMin, 0, 59);
    CheckRange(nSec, 0, 59);
    struct tm time = {};
    time.tm_year = nYear - 1900;
    time.tm_mon = nMonth - 1;
    time.tm_mday = nDay;
    time.tm_hour = nHour;
    time.tm_min = nMin;
    time.tm_sec = nSec;
    time.tm_isdst = nDST;
    __time64_t result = _mktime64(&time);
    if (result == -1)
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
    LONGLONG ticks = static_cast<LONGLONG>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
    if (ticks == 0)
        return;
    LONGLONG offset = ticks - kFileTimeOf1970;
    m_time = offset >= 0 ? offset / kFileTicksPerSecond : -((-offset + kFileTicksPerSecond - 1) / kFileTicksPerSecond);
}

struct tm* CTime::GetLocalTm(struct tm* ptm) const
{
    if (!ptm || _localtime64_s(ptm, &m_time) != 0)
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
    ULONGLONG ticks = static_cast<ULONGLONG>(m_time * kFileTicksPerSecond + kFileTimeOf1970);
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return ft;
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
