// CTime, CTimeSpan, COleDateTime and COleDateTimeSpan.
#include "common/FrameworkTestUtil.h"

namespace {

TEST(CTime, ComponentsRoundTripThroughLocalTime)
{
    CTime t(2024, 2, 29, 13, 45, 7);
    EXPECT_EQ(2024, t.GetYear());
    EXPECT_EQ(2, t.GetMonth());
    EXPECT_EQ(29, t.GetDay());
    EXPECT_EQ(13, t.GetHour());
    EXPECT_EQ(45, t.GetMinute());
    EXPECT_EQ(7, t.GetSecond());
    EXPECT_EQ(5, t.GetDayOfWeek()); // Thursday
    EXPECT_EQ(L"2024/02/29 13:45:07", t.Format(L"%Y/%m/%d %H:%M:%S"));
    SYSTEMTIME st;
    ASSERT_TRUE(t.GetAsSystemTime(st));
    EXPECT_EQ(t, CTime(st));
    EXPECT_EQ(L"", CTime(0).Format(L""));
}

TEST(CTime, OutOfRangeComponentsThrowInvalidArg)
{
    EXPECT_TRUE(ThrowsFrameworkException<CInvalidArgException>([] { CTime(2024, 13, 1, 0, 0, 0); }));
    EXPECT_TRUE(ThrowsFrameworkException<CInvalidArgException>([] { CTime(1899, 1, 1, 0, 0, 0); }));
    EXPECT_TRUE(ThrowsFrameworkException<CInvalidArgException>([] { CTime(2024, 1, 1, 24, 0, 0); }));
    SYSTEMTIME old = {};
    old.wYear = 1800;
    old.wMonth = 1;
    old.wDay = 1;
    EXPECT_EQ(0, CTime(old).GetTime()); // before 1900: the zero time
}

TEST(CTime, FileTimesAreUtc)
{
    FILETIME ft;
    ULONGLONG ticks = 116444736000000000ULL + 86400ULL * 10000000ULL; // 1970-01-02 00:00:00 UTC
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    CTime t(ft);
    EXPECT_EQ(86400, t.GetTime());
    FILETIME back = t.GetAsFileTime();
    EXPECT_EQ(ft.dwLowDateTime, back.dwLowDateTime);
    EXPECT_EQ(ft.dwHighDateTime, back.dwHighDateTime);
    EXPECT_EQ(L"1970-01-02 00:00", t.FormatGmt(L"%Y-%m-%d %H:%M"));
    FILETIME zero = {};
    EXPECT_EQ(0, CTime(zero).GetTime());
}

TEST(CTime, DosDateAndTime)
{
    // 2010-06-15 10:20:30 in DOS form.
    WORD date = static_cast<WORD>(((2010 - 1980) << 9) | (6 << 5) | 15);
    WORD time = static_cast<WORD>((10 << 11) | (20 << 5) | (30 / 2));
    EXPECT_EQ(L"2010-06-15 10:20:30", CTime(date, time).Format(L"%Y-%m-%d %H:%M:%S"));
}

TEST(CTimeSpan, ArithmeticAndFormat)
{
    CTime a(2020, 1, 1, 0, 0, 0);
    CTime b = a + CTimeSpan(1, 2, 3, 4);
    CTimeSpan span = b - a;
    EXPECT_EQ(1, span.GetDays());
    EXPECT_EQ(2, span.GetHours());
    EXPECT_EQ(3, span.GetMinutes());
    EXPECT_EQ(4, span.GetSeconds());
    EXPECT_EQ(26, span.GetTotalHours());
    EXPECT_EQ(93784, span.GetTotalSeconds());
    EXPECT_EQ(L"1 days 02:03:04 100%", span.Format(L"%D days %H:%M:%S 100%%"));
    EXPECT_TRUE(b > a);
    b -= span;
    EXPECT_EQ(a, b);
}

TEST(COleDateTime, ComponentsAndStrftimeFormat)
{
    COleDateTime date(2026, 12, 1, 9, 8, 7);
    ASSERT_EQ(COleDateTime::valid, date.GetStatus());
    EXPECT_EQ(2026, date.GetYear());
    EXPECT_EQ(12, date.GetMonth());
    EXPECT_EQ(1, date.GetDay());
    EXPECT_EQ(9, date.GetHour());
    EXPECT_EQ(3, date.GetDayOfWeek()); // Tuesday
    EXPECT_EQ(335, date.GetDayOfYear());
    EXPECT_EQ(L"2026/12/01 09:08:07", date.Format(L"%Y/%m/%d %H:%M:%S"));
    EXPECT_DOUBLE_EQ(2.0, COleDateTime(1900, 1, 1, 0, 0, 0).m_dt);
}

TEST(COleDateTime, LocaleFormatsDateOnlyAndTimeOnly)
{
    COleDateTime date(2026, 12, 1, 9, 8, 7);
    CString dateText = date.Format(VAR_DATEVALUEONLY, LANG_USER_DEFAULT);
    CString timeText = date.Format(VAR_TIMEVALUEONLY, LANG_USER_DEFAULT);
    EXPECT_NE(-1, dateText.Find(L"2026")) << dateText.GetString();
    EXPECT_EQ(-1, dateText.Find(L"08")) << dateText.GetString();
    EXPECT_NE(-1, timeText.Find(L"08")) << timeText.GetString();
    EXPECT_EQ(-1, timeText.Find(L"2026")) << timeText.GetString();
    CString both = date.Format(LOCALE_NOUSEROVERRIDE, LANG_USER_DEFAULT);
    EXPECT_NE(-1, both.Find(L"2026"));
    EXPECT_NE(-1, both.Find(L"08"));
}

TEST(COleDateTime, InvalidAndNullDates)
{
    COleDateTime bad(2023, 2, 29, 0, 0, 0);
    EXPECT_EQ(COleDateTime::invalid, bad.GetStatus());
    EXPECT_EQ(L"無効な日付と時刻", bad.Format());
    COleDateTime empty;
    empty.SetStatus(COleDateTime::null);
    EXPECT_EQ(L"", empty.Format());
    EXPECT_EQ(1, empty.SetDate(2024, 0, 1));
    EXPECT_EQ(0, empty.SetDate(2024, 2, 29));
    EXPECT_EQ(COleDateTime::valid, empty.GetStatus());
}

TEST(COleDateTime, SpansAndArithmetic)
{
    COleDateTime a(2026, 1, 31, 23, 0, 0);
    COleDateTime b = a + COleDateTimeSpan(0, 2, 30, 0);
    EXPECT_EQ(2, b.GetMonth());
    EXPECT_EQ(1, b.GetDay());
    EXPECT_EQ(1, b.GetHour());
    EXPECT_EQ(30, b.GetMinute());
    COleDateTimeSpan span = b - a;
    EXPECT_EQ(0, span.GetDays());
    EXPECT_EQ(2, span.GetHours());
    EXPECT_EQ(30, span.GetMinutes());
    EXPECT_TRUE(a < b);
    // Before 1899-12-30 the day count runs backwards but the time of day forwards.
    COleDateTime early(1899, 12, 29, 18, 0, 0);
    COleDateTime later = early + COleDateTimeSpan(0, 12, 0, 0);
    EXPECT_EQ(30, later.GetDay());
    EXPECT_EQ(6, later.GetHour());
    EXPECT_TRUE(early < later);
}

TEST(COleDateTime, CurrentTimeIsValidAndNearTheSystemClock)
{
    COleDateTime now = COleDateTime::GetCurrentTime();
    EXPECT_EQ(COleDateTime::valid, now.GetStatus());
    SYSTEMTIME local;
    GetLocalTime(&local);
    EXPECT_EQ(local.wYear, now.GetYear());
    COleDateTime parsed;
    EXPECT_TRUE(parsed.ParseDateTime(now.Format(), 0, LANG_USER_DEFAULT));
    EXPECT_FALSE(parsed.ParseDateTime(L"not a date"));
    EXPECT_EQ(COleDateTime::invalid, parsed.GetStatus());
}

} // namespace
