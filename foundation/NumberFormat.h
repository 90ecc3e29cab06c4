// Numbers as display text: digit grouping through the platform, doubles with at most ten
// significant digits, byte counts scaled to KB/MB/GB/TB; a bounded wide copy; and the family that
// inserts a value as one field of a comma-separated list.
#pragma once

#include "framework/Framework.h"

// Read by FormatNumberText; FormatNumberEx fills one.
struct NumberFormatRecord
{
    unsigned long long value;
    BOOL withUnit;
    // Decimals by the digit count of the integer part (0 when it is 0, capped at 4); a negative
    // entry means none, rounded.
    int decimals[5];
    BOOL truncate;
    int startUnit;   // 0 "B" .. 4 "TB"
    int maximumUnit; // -1: no limit
};

const int kFixedBufferSize = 521;

CString& GroupNumberText(CString& out, LPCWSTR numberText, int decimals);
// The platform's grouping of an unsigned 64-bit number, no decimals.
CString& GroupUnsignedNumberText(CString& out, unsigned long long value);
CString& FormatIntGrouped(CString& out, int value);
CString& FormatInt64Grouped(CString& out, long long value);
CString& FormatUInt64Grouped(CString& out, unsigned long long value);
CString& FormatDoubleGrouped(CString& out, double value);
// "%.10g" without an exponent of magnitude below 10 and without a trailing "."; size is the
// buffer's room in characters (32 always suffices). Returns buffer.
wchar_t* FormatDouble10g(double value, wchar_t* buffer, int size);
// The integer part grouped by ","; format null means the FormatDouble10g text.
CString& FormatDoubleGroupedTrim(CString& out, double value, LPCWSTR format = nullptr);
CString& FormatNumberText(CString& out, const NumberFormatRecord& record);
CString& FormatNumberEx(CString& out, unsigned long long value, BOOL withUnit, int decimals, int startUnit,
                        int maximumUnit);

// Copies at most size - 1 characters and a terminator (overlap-safe). Returns destination.
wchar_t* CopyStringN(wchar_t* destination, const wchar_t* source, int size);
// Copies source into a buffer of kFixedBufferSize characters; null when it does not fit.
wchar_t* CopyToFixedBuffer(wchar_t* destination, const wchar_t* source);
