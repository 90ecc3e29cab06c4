#include "DocumentTestUtil.h"

#include "catalogue/VFileFilterDlg.h"
#include "res/resource.h"

#include <commctrl.h>

#include <functional>

using namespace doctest;

namespace {

const wchar_t kCaption[] = L"表示フィルタ設定";

// Runs the dialog modally while the script, on a helper thread, drives it and ends it.
INT_PTR RunDialog(VFileFilterDlg& dialog, const std::function<void(HWND)>& script)
{
    INT_PTR result = -1;
    {
        HelperThread helper([&] {
            if (HWND window = WaitForDialog(kCaption))
                script(window);
        });
        result = dialog.DoModal();
    }
    return result;
}

HWND Item(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

void Check(HWND dialog, int id, bool on)
{
    SendMessageW(Item(dialog, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsChecked(HWND dialog, int id)
{
    return SendMessageW(Item(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Type(HWND dialog, int id, const wchar_t* text)
{
    SendMessageW(Item(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void ChooseUnit(HWND dialog, int id, int unit)
{
    SendMessageW(Item(dialog, id), CB_SETCURSEL, unit, 0);
}

int ChosenUnit(HWND dialog, int id)
{
    return static_cast<int>(SendMessageW(Item(dialog, id), CB_GETCURSEL, 0, 0));
}

std::vector<std::wstring> Entries(HWND dialog, int id)
{
    std::vector<std::wstring> entries;
    int count = static_cast<int>(SendMessageW(Item(dialog, id), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        SendMessageW(Item(dialog, id), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

void PickDay(HWND dialog, int id, WORD year, WORD month, WORD day)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = 12;
    SendMessageW(Item(dialog, id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

SYSTEMTIME PickedDay(HWND dialog, int id)
{
    SYSTEMTIME time = {};
    SendMessageW(Item(dialog, id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    return time;
}

// Presses a button and tells whether the dialog is still up afterwards.
bool PressAndStaysOpen(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(dialog, id)));
    return IsWindowVisible(dialog) != FALSE;
}

long long LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    return CTime(year, month, day, hour, minute, second).GetTime();
}

std::wstring Read(const wchar_t* key)
{
    return std::wstring(GetAppIniString(L"Filter", key, L"<absent>"));
}

} // namespace

TEST(FileFilterDlg, WithoutSavedSettingsTheSizesOfferZeroAndTenAndThePickersShowTimeZero)
{
    ScratchSettings settings;
    VFileFilterDlg dialog;
    dialog.m_strPathMask = L"*.jpg";
    std::wstring names;
    std::vector<std::wstring> begins, ends, units;
    int beginUnit = -1;
    bool checked = true;
    SYSTEMTIME shown = {};
    INT_PTR result = RunDialog(dialog, [&](HWND window) {
        names = std::wstring(TextOf(Item(window, IDC_FILTER_NAMES)));
        begins = Entries(window, IDC_FILTER_SIZE_BEGIN);
        ends = Entries(window, IDC_FILTER_SIZE_END);
        units = Entries(window, IDC_FILTER_UNIT_END);
        beginUnit = ChosenUnit(window, IDC_FILTER_UNIT_BEGIN);
        checked = IsChecked(window, IDC_FILTER_NAME_ON) || IsChecked(window, IDC_FILTER_DATE_ON) ||
                  IsChecked(window, IDC_FILTER_SIZE_ON);
        shown = PickedDay(window, IDC_FILTER_DATE_BEGIN);
        PressAndStaysOpen(window, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(L"*.jpg", names);
    EXPECT_EQ((std::vector<std::wstring>{L"0"}), begins);
    EXPECT_EQ((std::vector<std::wstring>{L"10"}), ends);
    EXPECT_EQ((std::vector<std::wstring>{L"Bytes", L"KB", L"MB"}), units);
    EXPECT_EQ(0, beginUnit);
    EXPECT_FALSE(checked);
    SYSTEMTIME epoch = {};
    ASSERT_TRUE(CTime(0).GetAsSystemTime(epoch));
    EXPECT_EQ(epoch.wYear, shown.wYear);
    EXPECT_EQ(epoch.wMonth, shown.wMonth);
    EXPECT_EQ(epoch.wDay, shown.wDay);
    // Cancel keeps nothing.
    EXPECT_EQ(L"<absent>", Read(L"FileName"));
    EXPECT_EQ(L"<absent>", Read(L"UnitBegin"));
}

TEST(FileFilterDlg, SizesAreScaledByTheirUnitsAndTheLastValuesAreSaved)
{
    ScratchSettings settings;
    VFileFilterDlg dialog;
    INT_PTR result = RunDialog(dialog, [&](HWND window) {
        Check(window, IDC_FILTER_SIZE_ON, true);
        Type(window, IDC_FILTER_SIZE_BEGIN, L"100");
        ChooseUnit(window, IDC_FILTER_UNIT_BEGIN, 1);
        Type(window, IDC_FILTER_SIZE_END, L"1");
        ChooseUnit(window, IDC_FILTER_UNIT_END, 2);
        PressAndStaysOpen(window, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(dialog.m_bSize);
    EXPECT_EQ(102400u, dialog.m_sizeBegin);
    EXPECT_EQ(1048576u, dialog.m_sizeEnd);
    EXPECT_EQ(L"1", Read(L"FileSize"));
    EXPECT_EQ(L"1", Read(L"UnitBegin"));
    EXPECT_EQ(L"2", Read(L"UnitEnd"));
    EXPECT_EQ(L"0", Read(L"FileName"));

    // The units come back; the size from stays above the size to: the dialog stays open.
    VFileFilterDlg again;
    int unit = -1;
    bool stayed = false;
    RunDialog(again, [&](HWND window) {
        unit = ChosenUnit(window, IDC_FILTER_UNIT_END);
        Check(window, IDC_FILTER_SIZE_ON, true);
        Type(window, IDC_FILTER_SIZE_BEGIN, L"2000");
        Type(window, IDC_FILTER_SIZE_END, L"1");
        stayed = PressAndStaysOpen(window, IDOK);
        PressAndStaysOpen(window, IDCANCEL);
    });
    EXPECT_EQ(2, unit);
    EXPECT_TRUE(stayed);
}

TEST(FileFilterDlg, SizesBeyondFourGigabytesAreClampedNotWrapped)
{
    ScratchSettings settings;
    VFileFilterDlg dialog;
    bool stayed = true;
    RunDialog(dialog, [&](HWND window) {
        Check(window, IDC_FILTER_SIZE_ON, true);
        Type(window, IDC_FILTER_SIZE_BEGIN, L"4096");
        ChooseUnit(window, IDC_FILTER_UNIT_BEGIN, 2);
        Type(window, IDC_FILTER_SIZE_END, L"5000");
        ChooseUnit(window, IDC_FILTER_UNIT_END, 2);
        stayed = PressAndStaysOpen(window, IDOK);
    });
    EXPECT_FALSE(stayed);
    EXPECT_EQ(0xFFFFFFFFu, dialog.m_sizeBegin);
    EXPECT_EQ(0xFFFFFFFFu, dialog.m_sizeEnd);
}

TEST(FileFilterDlg, TheSameDayInBothPickersCoversTheWholeDay)
{
    ScratchSettings settings;
    VFileFilterDlg dialog;
    INT_PTR result = RunDialog(dialog, [&](HWND window) {
        Check(window, IDC_FILTER_DATE_ON, true);
        PickDay(window, IDC_FILTER_DATE_BEGIN, 2020, 6, 15);
        PickDay(window, IDC_FILTER_DATE_END, 2020, 6, 15);
        PressAndStaysOpen(window, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(dialog.m_bDate);
    EXPECT_EQ(LocalTime(2020, 6, 15, 0, 0, 0), dialog.m_dateBegin);
    EXPECT_EQ(LocalTime(2020, 6, 15, 23, 59, 59), dialog.m_dateEnd);
    // Stored as the document reads it, and shown again next time.
    EXPECT_EQ(16u, Read(L"DateBegin").size());
    EXPECT_EQ(dialog.m_dateEnd, CKWDocSettings::ReadStoredTime(L"Filter", L"DateEnd"));
    VFileFilterDlg again;
    SYSTEMTIME shown = {};
    bool dateOn = false;
    RunDialog(again, [&](HWND window) {
        shown = PickedDay(window, IDC_FILTER_DATE_END);
        dateOn = IsChecked(window, IDC_FILTER_DATE_ON);
        PressAndStaysOpen(window, IDCANCEL);
    });
    EXPECT_TRUE(dateOn);
    EXPECT_EQ(2020, shown.wYear);
    EXPECT_EQ(15, shown.wDay);
}

TEST(FileFilterDlg, DatesOutOfOrderOrBefore1970KeepTheDialogOpenOnlyWhenTheDateBoxIsChecked)
{
    ScratchSettings settings;
    VFileFilterDlg dialog;
    bool backwards = false, early = false, unchecked = true;
    INT_PTR result = RunDialog(dialog, [&](HWND window) {
        Check(window, IDC_FILTER_DATE_ON, true);
        PickDay(window, IDC_FILTER_DATE_BEGIN, 2020, 6, 16);
        PickDay(window, IDC_FILTER_DATE_END, 2020, 6, 15);
        backwards = PressAndStaysOpen(window, IDOK);
        PickDay(window, IDC_FILTER_DATE_BEGIN, 1960, 1, 1);
        PickDay(window, IDC_FILTER_DATE_END, 2020, 6, 15);
        early = PressAndStaysOpen(window, IDOK);
        Check(window, IDC_FILTER_DATE_ON, false);
        PickDay(window, IDC_FILTER_DATE_BEGIN, 2020, 6, 16);
        unchecked = PressAndStaysOpen(window, IDOK);
    });
    EXPECT_TRUE(backwards);
    EXPECT_TRUE(early);
    EXPECT_FALSE(unchecked);
    EXPECT_EQ(IDOK, result);
    EXPECT_FALSE(dialog.m_bDate);
}

TEST(FileFilterDlg, NamePatternsArePassedBackOnlyWhenTheNameBoxIsChecked)
{
    struct Case
    {
        bool on;
        const wchar_t* typed;
        const wchar_t* expected;
    } cases[] = {
        {true, L"*.JPG;file????.jpg", L"*.JPG;file????.jpg"},
        {false, L"*.JPG", L"*.*"},
        {true, L"", L"*.*"},
    };
    for (const Case& c : cases) {
        ScratchSettings settings;
        VFileFilterDlg dialog;
        dialog.m_strPathMask = L"*.png";
        RunDialog(dialog, [&](HWND window) {
            Check(window, IDC_FILTER_NAME_ON, c.on);
            Type(window, IDC_FILTER_NAMES, c.typed);
            PressAndStaysOpen(window, IDOK);
        });
        EXPECT_EQ(CString(c.expected), dialog.m_strPathMask) << std::wstring(c.typed);
        EXPECT_EQ(c.on, dialog.m_bName != FALSE);
    }
}

TEST(FileFilterDlg, ClearTurnsEveryFilterOffAndSaves)
{
    ScratchSettings settings;
    WriteAppIniInt(L"Filter", L"FileName", 1);
    WriteAppIniInt(L"Filter", L"FileDate", 1);
    WriteAppIniInt(L"Filter", L"FileSize", 1);
    VFileFilterDlg dialog;
    dialog.m_strPathMask = L"*.jpg";
    bool allShownOn = false;
    INT_PTR result = RunDialog(dialog, [&](HWND window) {
        allShownOn = IsChecked(window, IDC_FILTER_NAME_ON) && IsChecked(window, IDC_FILTER_DATE_ON) &&
                     IsChecked(window, IDC_FILTER_SIZE_ON);
        PressAndStaysOpen(window, IDC_FILTER_CLEAR);
    });
    EXPECT_TRUE(allShownOn);
    EXPECT_EQ(IDOK, result);
    EXPECT_FALSE(dialog.m_bName || dialog.m_bDate || dialog.m_bSize);
    EXPECT_EQ(CString(L"*.*"), dialog.m_strPathMask);
    for (const wchar_t* key : {L"FileName", L"FileDate", L"FileSize"})
        EXPECT_EQ(L"0", Read(key)) << std::wstring(key);
}
