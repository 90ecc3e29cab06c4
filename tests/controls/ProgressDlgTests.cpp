#include "controls/ProgressDlg.h"

#include "common/RealInput.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <stdexcept>

namespace {

// A plain visible top-level window to own the dialogs.
class OwnerWnd : public CWnd
{
public:
    OwnerWnd()
    {
        LPCWSTR cls =
            AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        CreateEx(0, cls, L"持ち主", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 500, 300, nullptr, nullptr);
    }
    ~OwnerWnd() override { DestroyWindow(); }
};

CString Text(HWND window)
{
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
}

CString ItemText(CWnd& dialog, int id)
{
    return Text(::GetDlgItem(dialog.GetSafeHwnd(), id));
}

int BarPos(CWnd& dialog, int id)
{
    return static_cast<int>(::SendDlgItemMessageW(dialog.GetSafeHwnd(), id, PBM_GETPOS, 0, 0));
}

PBRANGE BarRange(CWnd& dialog, int id)
{
    PBRANGE range = {};
    ::SendDlgItemMessageW(dialog.GetSafeHwnd(), id, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    return range;
}

// The input sent so far taken by the job's own pump, as it is between two steps of the job.
void DeliverInput(CProgressDlgCore& dialog)
{
    const DWORD start = ::GetTickCount();
    while (HIWORD(::GetQueueStatus(QS_INPUT)) != 0 && ::GetTickCount() - start < 30000)
        dialog.PumpMessages();
}

// Clicks the abort button with the mouse; the click waits in the queue for the job's pump.
void PressAbort(CWnd& dialog)
{
    HWND button = ::GetDlgItem(dialog.GetSafeHwnd(), IDCANCEL);
    RECT rect = {};
    ::GetWindowRect(button, &rect);
    const POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ASSERT_TRUE(ShowsAt(button, centre));
    SendClick(centre, MOUSEEVENTF_LEFTDOWN);
}

} // namespace

TEST(ProgressDlg, PercentageTextFollowsTheRange)
{
    struct Case
    {
        int pos, lower, upper, percent;
    };
    const Case cases[] = {{42, 0, 100, 42},   {150, 0, 100, 50}, {50, 0, 200, 25},
                          {-10, 0, 100, -10}, {7, 7, 7, 100},    {3, 7, 7, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(c.percent, CProgressDlgCore::Percentage(c.pos, c.lower, c.upper)) << c.pos << "/" << c.upper;
}

TEST(ProgressDlg, TheOwnerIsDisabledWhileItShowsAndEnabledAgainHoweverTheJobEnds)
{
    OwnerWnd owner;
    auto dialog = std::make_unique<CProgressDlg>();
    ASSERT_TRUE(dialog->Create(&owner));
    EXPECT_FALSE(owner.IsWindowEnabled());
    EXPECT_EQ(owner.GetSafeHwnd(), ::GetWindow(dialog->GetSafeHwnd(), GW_OWNER));
    dialog->DestroyWindow();
    EXPECT_TRUE(owner.IsWindowEnabled());
    try {
        CProgressDlg failing;
        ASSERT_TRUE(failing.Create(&owner));
        throw std::runtime_error("job failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(owner.IsWindowEnabled());
    // An owner disabled beforehand stays disabled.
    owner.EnableWindow(FALSE);
    {
        CProgressDlg dialog2;
        ASSERT_TRUE(dialog2.Create(&owner));
        EXPECT_FALSE(dialog2.m_ownerDisabled);
    }
    EXPECT_FALSE(owner.IsWindowEnabled());
}

TEST(ProgressDlg, TitleRangePositionAndTextReachTheControls)
{
    OwnerWnd owner;
    CProgressDlg plain;
    ASSERT_TRUE(plain.Create(&owner));
    EXPECT_EQ(CString(L"..."), Text(plain.GetSafeHwnd()));
    EXPECT_EQ(CString(L" 0 %"), ItemText(plain, IDC_PROGRESS_PERCENT));
    plain.DestroyWindow();
    CProgressDlg dialog(IDS_COLOR_REDUCTION);
    ASSERT_TRUE(dialog.Create(&owner));
    EXPECT_EQ(CString(L"減色処理"), Text(dialog.GetSafeHwnd()));
    EXPECT_EQ(100, BarRange(dialog, IDC_PROGRESS_BAR).iHigh);
    dialog.SetRange(0, 1000);
    PBRANGE range = BarRange(dialog, IDC_PROGRESS_BAR);
    EXPECT_EQ(1000, range.iHigh);
    EXPECT_EQ(0, dialog.SetPos(420));
    EXPECT_EQ(420, BarPos(dialog, IDC_PROGRESS_BAR));
    EXPECT_EQ(CString(L"42%"), ItemText(dialog, IDC_PROGRESS_PERCENT));
    EXPECT_EQ(420, dialog.SetPos(1000));
    EXPECT_EQ(1000, dialog.OffsetPos(-500));
    EXPECT_EQ(500, BarPos(dialog, IDC_PROGRESS_BAR));
    EXPECT_EQ(CString(L"50%"), ItemText(dialog, IDC_PROGRESS_PERCENT));
    dialog.SetText(L"減色中...");
    EXPECT_EQ(CString(L"減色中..."), ItemText(dialog, IDC_PROGRESS_TEXT));
    // Equal bounds do not divide by zero.
    dialog.SetRange(5, 5);
    dialog.SetPos(5);
    EXPECT_EQ(CString(L"100%"), ItemText(dialog, IDC_PROGRESS_PERCENT));
}

TEST(ProgressDlg, AbortPressedTwiceIsReadOnceAndEnterDoesNotClose)
{
    OwnerWnd owner;
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(&owner));
    EXPECT_EQ(0, dialog.CheckCancel());
    PressAbort(dialog);
    PressAbort(dialog);
    DeliverInput(dialog);
    EXPECT_NE(0, dialog.CheckCancel());
    EXPECT_EQ(0, dialog.CheckCancel());
    // Escape is the abort button too.
    SendKey(VK_ESCAPE);
    DeliverInput(dialog);
    EXPECT_NE(0, dialog.CheckCancel());
    // Enter (on the abort button, which has the focus) leaves the dialog open.
    SendKey(VK_RETURN);
    DeliverInput(dialog);
    EXPECT_TRUE(::IsWindow(dialog.GetSafeHwnd()));
}

// For a job whose owner's loop goes on: the bar and percentage move, and nothing waiting is taken.
TEST(ProgressDlg, ShowPositionMovesTheBarWithoutPumping)
{
    OwnerWnd owner;
    CProgressDlg dialog(IDS_COLOR_REDUCTION);
    ASSERT_TRUE(dialog.Create(&owner));
    dialog.SetRange(0, 200);
    const UINT waiting = WM_APP + 17;
    ::PostMessageW(owner.GetSafeHwnd(), waiting, 0, 0);
    dialog.ShowPosition(50);
    EXPECT_EQ(50, BarPos(dialog, IDC_PROGRESS_BAR));
    EXPECT_EQ(CString(L"25%"), ItemText(dialog, IDC_PROGRESS_PERCENT));
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, owner.GetSafeHwnd(), waiting, waiting, PM_REMOVE));
}

TEST(ProgressDlg, QuitMetWhilePumpingIsPostedAgain)
{
    OwnerWnd owner;
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(&owner));
    ::PostQuitMessage(7);
    dialog.SetPos(3);
    EXPECT_EQ(3, BarPos(dialog, IDC_PROGRESS_BAR));
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
    ::PostQuitMessage(9);
    dialog.CheckCancel();
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(9u, msg.wParam);
}

TEST(ProgDlg, FourLinesAndACancelThatStaysRaised)
{
    OwnerWnd owner;
    CProgDlg dialog(IDS_COLOR_REDUCTION);
    dialog.m_cancel = 1; // cleared when the window opens
    ASSERT_TRUE(dialog.Create(&owner));
    EXPECT_FALSE(owner.IsWindowEnabled());
    EXPECT_EQ(0, dialog.IsCanceled());
    for (int id : {IDC_PROGRESS_TEXT, IDC_PROGRESS_TEXT2, IDC_PROGRESS_TEXT3, IDC_PROGRESS_TEXT4})
        EXPECT_TRUE(::GetDlgItem(dialog.GetSafeHwnd(), id)) << id;
    dialog.SetText(L"一行目");
    EXPECT_EQ(CString(L"一行目"), ItemText(dialog, IDC_PROGRESS_TEXT));
    dialog.SetRange(0, 4);
    dialog.SetPos(1);
    EXPECT_EQ(CString(L"25%"), ItemText(dialog, IDC_PROGRESS_PERCENT));
    PressAbort(dialog);
    DeliverInput(dialog);
    EXPECT_NE(0, dialog.IsCanceled());
    EXPECT_NE(0, dialog.IsCanceled());
    dialog.DestroyWindow();
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST(VCopyFileDlg, KeepsTheBarsOwnRangeUntilSetRange)
{
    OwnerWnd owner;
    VCopyFileDlg dialog(&owner);
    ASSERT_TRUE(dialog.Create());
    EXPECT_FALSE(owner.IsWindowEnabled());
    EXPECT_EQ(CString(L"File Accessing..."), Text(dialog.GetSafeHwnd()));
    EXPECT_EQ(CString(L"0%"), ItemText(dialog, IDC_COPY_PROGRESS_PERCENT));
    EXPECT_EQ(100, BarRange(dialog, IDC_COPY_PROGRESS_BAR).iHigh);
    dialog.SetRange(0, 8);
    dialog.SetPos(2);
    EXPECT_EQ(2, BarPos(dialog, IDC_COPY_PROGRESS_BAR));
    EXPECT_EQ(CString(L"25%"), ItemText(dialog, IDC_COPY_PROGRESS_PERCENT));
    PressAbort(dialog);
    DeliverInput(dialog);
    EXPECT_NE(0, dialog.CheckCancel());
    EXPECT_EQ(0, dialog.CheckCancel());
    dialog.DestroyWindow();
    EXPECT_TRUE(owner.IsWindowEnabled());
}
