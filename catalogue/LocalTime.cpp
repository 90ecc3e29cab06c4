#include "catalogue/LocalTime.h"

#include "foundation/VyxFileStatus.h"

#include <ctime>

namespace {

const long long kEpochDifference = 116444736000000000LL; // 1601 to 1970 in 100 ns units
const long long kTicksPerSecond = 10000000LL;

// VyxFileStatus's conversion throws for times it cannot hold; a text about such a time is empty.
bool UnixTimeToFileTimeChecked(long long seconds, FILETIME& out)
{
    const long long lowest = -kEpochDifference / kTicksPerSecond;
    const long long highest = (LLONG_MAX - kEpochDifference) / kTicksPerSecond;
    if (seconds < lowest || seconds > highest)
        return false;
    unsigned long long ticks = static_cast<unsigned long long>(seconds * kTicksPerSecond + kEpochDifference);
    out.dwLowDateTime = static_cast<DWORD>(ticks);
    out.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return true;
}

} // namespace

bool UnixTimeToLocalSystemTime(long long seconds, SYSTEMTIME& local)
{
    FILETIME fileTime;
    SYSTEMTIME utc;
    return UnixTimeToFileTimeChecked(seconds, fileTime) && FileTimeToSystemTime(&fileTime, &utc) &&
           SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
}

bool LocalSystemTimeToUnixTime(const SYSTEMTIME& local, long long& seconds)
{
    SYSTEMTIME utc;
    FILETIME fileTime;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &fileTime))
        return false;
    seconds = FileTimeToUnixTime(fileTime);
    return true;
}

CString FormatLocalTime(long long seconds, const wchar_t* format)
{
    SYSTEMTIME local;
    if (!UnixTimeToLocalSystemTime(seconds, local))
        return CString();
    struct tm time = {};
    time.tm_year = local.wYear - 1900;
    time.tm_mon = local.wMonth - 1;
    time.tm_mday = local.wDay;
    time.tm_hour = local.wHour;
    time.tm_min = local.wMinute;
    time.tm_sec = local.wSecond;
    time.tm_wday = local.wDayOfWeek;
    time.tm_isdst = -1;
    return AfxFormatTm(format, time);
}
