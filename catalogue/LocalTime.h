// Seconds since 1970 (UTC) to the local calendar and back through the platform's time-zone rules,
// which the C runtime does not follow when a TZ variable is set.
#pragma once

#include "framework/Framework.h"

// False when the time lies outside what the platform can convert.
bool UnixTimeToLocalSystemTime(long long seconds, SYSTEMTIME& local);
bool LocalSystemTimeToUnixTime(const SYSTEMTIME& local, long long& seconds);
// strftime conventions on the local time; empty when the time cannot be converted.
CString FormatLocalTime(long long seconds, const wchar_t* format);
