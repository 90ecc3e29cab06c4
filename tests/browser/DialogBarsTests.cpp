#include <gtest/gtest.h>

#include "common/ControlTestUtil.h"

#include <dbt.h>

#include <algorithm>
#include "browser/CJumpDialogBar.h"
#include "catalogue/FrameMessages.h"
#include "browser/VyxDriveBar.h"
#include "res/resource.h"

namespace {

struct HintLog
{
    std::vector<std::pair<WPARAM, CString>> hints;
};

// Records each WMU_UPDATEALLVIEWS with its path text while the sender still holds it.
void RecordHints(CLogHostWnd& host, HintLog& log)
{
    host.onLogged = [&log](const LoggedMessage& m) {
        if (m.message != WMU_UPDATEALLVIEWS)
            return;
        CString text;
        if (m.wParam == HintGoToPath && m.lParam)
            text = reinterpret_cast<LPCWSTR>(m.lParam);
        else
            text.Format(L"%d", static_cast<int>(m.lParam));
        log.hints.emplace_back(m.wParam, text);
    };
}

int DriveCount()
{
    DWORD drives = GetLogicalDrives();
    int n = 0;
    for (int i = 0; i < 26; ++i)
        n += (drives >> i) & 1;
    return n;
}

} // namespace

TEST(JumpBar, GoAnnouncesTheTypedPathEvenWhenEmpty)
{
    CLogHostWnd host;
    HintLog log;
    RecordHints(host, log);
    CJumpDialogBar bar;
    ASSERT_TRUE(bar.Create(&host, IDD_JUMPBAR, CBRS_TOP, 0xE803));
    bar.GetPathEdit().SetWindowText(L"C:\\写真\\2024");
    bar.SendMessage(WM_COMMAND, MAKEWPARAM(CJumpDialogBar::IDC_JUMP_GO, BN_CLICKED),
                    reinterpret_cast<LPARAM>(bar.GetDlgItem(CJumpDialogBar::IDC_JUMP_GO)->GetSafeHwnd()));
    bar.GetPathEdit().SetWindowText(L"");
    bar.SendMessage(WM_COMMAND, MAKEWPARAM(CJumpDialogBar::IDC_JUMP_GO, BN_CLICKED), 0);
    ASSERT_EQ(2u, log.hints.size());
    EXPECT_EQ(static_cast<WPARAM>(HintGoToPath), log.hints[0].first);
    EXPECT_EQ(CString(L"C:\\写真\\2024"), log.hints[0].second);
    EXPECT_EQ(CString(L""), log.hints[1].second);
}

TEST(JumpBar, TheGoButtonIsASquareAtTheLeftAndTheEntryTakesTheRest)
{
    CLogHostWnd host;
    CJumpDialogBar bar;
    ASSERT_TRUE(bar.Create(&host, IDD_JUMPBAR, CBRS_TOP, 0xE803));
    bar.MoveWindow(0, 0, 300, 24);
    CRect button, edit;
    bar.GetDlgItem(CJumpDialogBar::IDC_JUMP_GO)->GetWindowRect(&button);
    bar.GetPathEdit().GetWindowRect(&edit);
    bar.ScreenToClient(&button);
    bar.ScreenToClient(&edit);
    EXPECT_EQ(CRect(0, 2, 20, 22), button);
    EXPECT_EQ(CRect(24, 2, 300, 22), edit);
    EXPECT_EQ(CString(L"⇒"), TextOf(bar.GetDlgItem(CJumpDialogBar::IDC_JUMP_GO)->GetSafeHwnd()));
}

// The arrow of the go button reads as a live button's: darker than the grey of a disabled glyph.
TEST(JumpBar, TheGoButtonDrawsItsArrowDarkerThanADisabledGlyph)
{
    CLogHostWnd host;
    CJumpDialogBar bar;
    ASSERT_TRUE(bar.Create(&host, IDD_JUMPBAR, CBRS_TOP, 0xE803));
    const CSize size = bar.CalcFixedLayout(FALSE, TRUE);
    bar.MoveWindow(0, 0, 300, size.cy);
    CWnd* go = bar.GetDlgItem(CJumpDialogBar::IDC_JUMP_GO);
    ASSERT_NE(nullptr, go);
    CRect face;
    go->GetClientRect(&face);
    MemoryCanvas canvas(face.Width(), face.Height(), ::GetSysColor(COLOR_BTNFACE));
    go->SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()->GetSafeHdc()), PRF_CLIENT);
    ::GdiFlush();
    auto grey = [](COLORREF c) { return (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3; };
    int darkest = 255;
    face.DeflateRect(3, 3); // inside the button's edges
    for (int y = face.top; y < face.bottom; ++y)
        for (int x = face.left; x < face.right; ++x)
            darkest = std::min(darkest, grey(canvas.Pixel(x, y)));
    EXPECT_LT(darkest, grey(::GetSysColor(COLOR_GRAYTEXT)) - 32);
}

TEST(JumpBar, AtItsOwnHeightTheEntryShowsWholeLinesOfItsFont)
{
    CLogHostWnd host;
    CJumpDialogBar bar;
    ASSERT_TRUE(bar.Create(&host, IDD_JUMPBAR, CBRS_TOP, 0xE803));
    const CSize size = bar.CalcFixedLayout(FALSE, TRUE);
    bar.MoveWindow(0, 0, size.cx, size.cy);
    CACEdit& edit = bar.GetPathEdit();
    TEXTMETRICW metrics = {};
    {
        CClientDC dc(&edit);
        CFont* old = dc.SelectObject(edit.GetFont());
        dc.GetTextMetrics(&metrics);
        dc.SelectObject(old);
    }
    CRect client, text;
    edit.GetClientRect(&client);
    edit.SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    EXPECT_GE(text.Height(), metrics.tmHeight);
    EXPECT_GE(client.bottom, text.bottom);
}

TEST(JumpBar, TheEntryReportsItsFocus)
{
    CLogHostWnd host;
    CJumpDialogBar bar;
    ASSERT_TRUE(bar.Create(&host, IDD_JUMPBAR, CBRS_TOP | WS_VISIBLE, 0xE803));
    bar.MoveWindow(0, 0, 300, 24);
    ASSERT_TRUE(MakeActive(host));
    bar.GetPathEdit().SetFocus();
    EXPECT_TRUE(bar.IsEntryFocused());
    host.SetFocus();
    EXPECT_FALSE(bar.IsEntryFocused());
}

TEST(DriveBar, ChoosingADriveButtonAnnouncesTheDriveIndex)
{
    CLogHostWnd host;
    HintLog log;
    RecordHints(host, log);
    VyxDriveBar bar;
    ASSERT_TRUE(bar.Create(&host, IDD_DRIVEBAR, CBRS_TOP, 0xE804));
    CXDriveBar* buttons = bar.GetDriveButtons();
    ASSERT_NE(nullptr, buttons);
    EXPECT_EQ(DriveCount(), buttons->GetButtonCount());
    // Drive C (index 2) exists in every prefix.
    buttons->SendMessage(WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), 0);
    ASSERT_EQ(1u, log.hints.size());
    EXPECT_EQ(static_cast<WPARAM>(HintDriveChosen), log.hints[0].first);
    EXPECT_EQ(CString(L"2"), log.hints[0].second);
}

TEST(DriveBar, ABurstOfDeviceChangesRebuildsTheButtonsOnceAfterTheDelay)
{
    UINT savedDelay = VyxDriveBar::s_rebuildDelay;
    VyxDriveBar::s_rebuildDelay = 200;
    CLogHostWnd host;
    VyxDriveBar bar;
    ASSERT_TRUE(bar.Create(&host, IDD_DRIVEBAR, CBRS_TOP, 0xE804));
    EXPECT_EQ(1, bar.GetBuildCount());
    for (int i = 0; i < 5; ++i)
        bar.PostMessage(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    ASSERT_TRUE(PumpUntil([&] { return bar.GetBuildCount() > 1; }, 20000));
    EXPECT_EQ(2, bar.GetBuildCount());
    // No rebuild is left pending.
    EXPECT_FALSE(::KillTimer(bar.GetSafeHwnd(), VyxDriveBar::RebuildTimer));
    EXPECT_NE(nullptr, bar.GetDriveButtons());
    VyxDriveBar::s_rebuildDelay = savedDelay;
}
