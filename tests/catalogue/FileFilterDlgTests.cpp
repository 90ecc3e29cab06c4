#include "DocumentTestUtil.h"

#include "catalogue/CKWDocSettings.h"
#include "catalogue/VFileFilterDlg.h"
#include "res/resource.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>

using namespace doctest;

namespace {

// The dialog as a user works it, from a helper thread.
struct Controls
{
    HWND window;

    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return SendMessageW(GetDlgItem(window, id), message, wParam, lParam);
    }
    void Check(int id, bool on) const { Send(id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED); }
    bool IsChecked(int id) const { return Send(id, BM_GETCHECK) == BST_CHECKED; }
    void Type(int id, const wchar_t* text) const { Send(id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
    void Choose(int id, int index) const { Send(id, CB_SETCURSEL, index); }
    int Chosen(int id) const { return static_cast<int>(Send(id, CB_GETCURSEL)); }
    std::wstring Entry(int id, int index) const
    {
        wchar_t text[64] = {};
        return Send(id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text)) == CB_ERR ? L"<none>" : text;
    }
    void Pick(int id, WORD year, WORD month, WORD day) const
    {
        SYSTEMTIME time = {year, month, 0, day, 12, 0, 0, 0};
        Send(id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    }
    SYSTEMTIME Picked(int id) const
    {
        SYSTEMTIME time = {};
        Send(id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
        return time;
    }
    // Presses a button; whether the dialog is still up afterwards.
    bool PressAndStaysOpen(int id) const
    {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
        return IsWindowVisible(window) != FALSE;
    }
};

// Runs the dialog modally while the script drives it and ends it.
INT_PTR RunDialog(VFileFilterDlg& dialog, const std::function<void(const Controls&)>& script)
{
    INT_PTR result = -1;
    {
        HelperThread helper([&] {
            if (HWND window = WaitForDialog(L"表示フィルタ設定"))
                script(Controls{window});
        });
        result = dialog.DoModal();
    }
    return result;
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
    std::wstring names, begin, end, noSecondEnd, megabytes;
    bool checked = true;
    SYSTEMTIME shown = {};
    INT_PTR result = RunDialog(dialog, [&](const Controls& c) {
        names = std::wstring(TextOf(GetDlgItem(c.window, IDC_FILTER_NAMES)));
        begin = c.Entry(IDC_FILTER_SIZE_BEGIN, 0);
        end = c.Entry(IDC_FILTER_SIZE_END, 0);
        noSecondEnd = c.Entry(IDC_FILTER_SIZE_END, 1);
        megabytes = c.Entry(IDC_FILTER_UNIT_BEGIN, 2);
        checked = c.IsChecked(IDC_FILTER_NAME_ON) || c.IsChecked(IDC_FILTER_DATE_ON) || c.IsChecked(IDC_FILTER_SIZE_ON);
        shown = c.Picked(IDC_FILTER_DATE_BEGIN);
        c.PressAndStaysOpen(IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(L"*.jpg", names);
    EXPECT_EQ(L"0", begin);
    EXPECT_EQ(L"10", end);
    EXPECT_EQ(L"<none>", noSecondEnd);
    EXPECT_EQ(L"MB", megabytes);
    EXPECT_FALSE(checked);
    SYSTEMTIME epoch = {};
    ASSERT_TRUE(CTime(0).GetAsSystemTime(epoch));
    EXPECT_EQ(epoch.wYear * 10000 + epoch.wMonth * 100 + epoch.wDay,
              shown.wYear * 10000 + shown.wMonth * 100 + shown.wDay);
    // Cancel keeps nothing.
    EXPECT_EQ(L"<absent>", Read(L"FileName"));
}

TEST(FileFilterDlg, SizesAreScaledByTheirUnitsAndTheLastValuesAreSaved)
{
    ScratchSettings settings;
    VFileFilterDlg dialog;
    INT_PTR result = RunDialog(dialog, [&](const Controls& c) {
        c.Check(IDC_FILTER_SIZE_ON, true);
        c.Type(IDC_FILTER_SIZE_BEGIN, L"100");
        c.Choose(IDC_FILTER_UNIT_BEGIN, 1);
        c.Type(IDC_FILTER_SIZE_END, L"1");
        c.Choose(IDC_FILTER_UNIT_END, 2);
        c.PressAndStaysOpen(IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(dialog.m_bSize);
    EXPECT_EQ(102400u, dialog.m_sizeBegin);
    EXPECT_EQ(1048576u, dialog.m_sizeEnd);
    EXPECT_EQ(L"1", Read(L"FileSize"));
    EXPECT_EQ(L"1", Read(L"UnitBegin"));
    EXPECT_EQ(L"2", Read(L"UnitEnd"));
    EXPECT_EQ(L"0", Read(L"FileName"));

    // The units come back; a size from above the size to keeps the dialog open.
    VFileFilterDlg again;
    int unit = -1;
    bool stayed = false;
    RunDialog(again, [&](const Controls& c) {
        unit = c.Chosen(IDC_FILTER_UNIT_END);
        c.Check(IDC_FILTER_SIZE_ON, true);
        c.Type(IDC_FILTER_SIZE_BEGIN, L"2000");
        c.Type(IDC_FILTER_SIZE_END, L"1");
        stayed = c.PressAndStaysOpen(IDOK);
        c.PressAndStaysOpen(IDCANCEL);
    });
    EXPECT_EQ(2, unit);
    EXPECT_TRUE(stayed);
}

TEST(FileFilterDlg, SizesBeyondFourGigabytesAreClampedNotWrapped)
{
    ScratchSettings settings;
    VFileFilterDlg dialog;
    bool stayed = true;
    RunDialog(dialog, [&](const Controls& c) {
        c.Check(IDC_FILTER_SIZE_ON, true);
        c.Type(IDC_FILTER_SIZE_BEGIN, L"4096");
        c.Choose(IDC_FILTER_UNIT_BEGIN, 2);
        c.Type(IDC_FILTER_SIZE_END, L"5000");
        c.Choose(IDC_FILTER_UNIT_END, 2);
        stayed = c.PressAndStaysOpen(IDOK);
    });
    EXPECT_FALSE(stayed);
    EXPECT_EQ(0xFFFFFFFFu, dialog.m_sizeBegin);
    EXPECT_EQ(0xFFFFFFFFu, dialog.m_sizeEnd);
}

TEST(FileFilterDlg, TheSameDayInBothPickersCoversTheWholeDayAndComesBackNextTime)
{
    ScratchSettings settings;
    VFileFilterDlg dialog;
    INT_PTR result = RunDialog(dialog, [&](const Controls& c) {
        c.Check(IDC_FILTER_DATE_ON, true);
        c.Pick(IDC_FILTER_DATE_BEGIN, 2020, 6, 15);
        c.Pick(IDC_FILTER_DATE_END, 2020, 6, 15);
        c.PressAndStaysOpen(IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(dialog.m_bDate);
    EXPECT_EQ(CTime(2020, 6, 15, 0, 0, 0).GetTime(), dialog.m_dateBegin);
    EXPECT_EQ(CTime(2020, 6, 15, 23, 59, 59).GetTime(), dialog.m_dateEnd);
    // Stored as the document reads it.
    EXPECT_EQ(16u, Read(L"DateBegin").size());
    EXPECT_EQ(dialog.m_dateEnd, CKWDocSettings::ReadStoredTime(L"Filter", L"DateEnd"));
    VFileFilterDlg again;
    SYSTEMTIME shown = {};
    bool dateOn = false;
    RunDialog(again, [&](const Controls& c) {
        shown = c.Picked(IDC_FILTER_DATE_END);
        dateOn = c.IsChecked(IDC_FILTER_DATE_ON);
        c.PressAndStaysOpen(IDCANCEL);
    });
    EXPECT_TRUE(dateOn);
    EXPECT_EQ(20200615, shown.wYear * 10000 + shown.wMonth * 100 + shown.wDay);
}

TEST(FileFilterDlg, DatesOutOfOrderOrBefore1970KeepTheDialogOpenOnlyWhenTheDateBoxIsChecked)
{
    ScratchSettings settings;
    VFileFilterDlg dialog;
    bool backwards = false, early = false, unchecked = true;
    INT_PTR result = RunDialog(dialog, [&](const Controls& c) {
        c.Check(IDC_FILTER_DATE_ON, true);
        c.Pick(IDC_FILTER_DATE_BEGIN, 2020, 6, 16);
        c.Pick(IDC_FILTER_DATE_END, 2020, 6, 15);
        backwards = c.PressAndStaysOpen(IDOK);
        c.Pick(IDC_FILTER_DATE_BEGIN, 1960, 1, 1);
        early = c.PressAndStaysOpen(IDOK);
        c.Check(IDC_FILTER_DATE_ON, false);
        c.Pick(IDC_FILTER_DATE_BEGIN, 2020, 6, 16);
        unchecked = c.PressAndStaysOpen(IDOK);
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
    for (const Case& test : cases) {
        ScratchSettings settings;
        VFileFilterDlg dialog;
        dialog.m_strPathMask = L"*.png";
        RunDialog(dialog, [&](const Controls& c) {
            c.Check(IDC_FILTER_NAME_ON, test.on);
            c.Type(IDC_FILTER_NAMES, test.typed);
            c.PressAndStaysOpen(IDOK);
        });
        EXPECT_EQ(CString(test.expected), dialog.m_strPathMask) << std::wstring(test.typed);
        EXPECT_EQ(test.on, dialog.m_bName != FALSE);
    }
}

TEST(FileFilterDlg, ClearTurnsEveryFilterOffAndSaves)
{
    ScratchSettings settings;
    for (const wchar_t* key : {L"FileName", L"FileDate", L"FileSize"})
        WriteAppIniInt(L"Filter", key, 1);
    VFileFilterDlg dialog;
    dialog.m_strPathMask = L"*.jpg";
    bool allShownOn = false;
    INT_PTR result = RunDialog(dialog, [&](const Controls& c) {
        allShownOn =
            c.IsChecked(IDC_FILTER_NAME_ON) && c.IsChecked(IDC_FILTER_DATE_ON) && c.IsChecked(IDC_FILTER_SIZE_ON);
        c.PressAndStaysOpen(IDC_FILTER_CLEAR);
    });
    EXPECT_TRUE(allShownOn);
    EXPECT_EQ(IDOK, result);
    EXPECT_FALSE(dialog.m_bName || dialog.m_bDate || dialog.m_bSize);
    EXPECT_EQ(CString(L"*.*"), dialog.m_strPathMask);
    for (const wchar_t* key : {L"FileName", L"FileDate", L"FileSize"})
        EXPECT_EQ(L"0", Read(key)) << std::wstring(key);
}

// The settings file holds the name filter's flag and its pattern from the moment OK is pressed:
// a program that ends before saving its own settings starts again with the filter it showed.
TEST(FileFilterDlg, OkWritesTheNameFiltersFlagAndPatternTogether)
{
    ScratchSettings settings;
    auto stored = [] {
        CKWDocSettings read;
        HDC screen = GetDC(nullptr);
        read.ReadSettings(screen);
        ReleaseDC(nullptr, screen);
        return std::make_pair(read.FilterName, std::wstring(read.PathMask));
    };
    VFileFilterDlg dialog;
    dialog.m_strPathMask = L"*.*";
    EXPECT_EQ(IDOK, RunDialog(dialog, [&](const Controls& c) {
                  c.Check(IDC_FILTER_NAME_ON, true);
                  c.Type(IDC_FILTER_NAMES, L"*.png");
                  c.PressAndStaysOpen(IDOK);
              }));
    EXPECT_EQ(std::make_pair(true, std::wstring(L"*.png")), stored());

    VFileFilterDlg off;
    off.m_strPathMask = L"*.png";
    EXPECT_EQ(IDOK, RunDialog(off, [&](const Controls& c) {
                  c.Check(IDC_FILTER_NAME_ON, false);
                  c.PressAndStaysOpen(IDOK);
              }));
    EXPECT_EQ(std::make_pair(false, std::wstring(L"*.*")), stored());
}
