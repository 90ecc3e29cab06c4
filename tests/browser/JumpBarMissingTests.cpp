// A folder typed in the jump bar that is not there is told whole, where it can be read: a message
// box naming the folder, over the entry that keeps the typed text to be mended.
#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "browser/CJumpDialogBar.h"
#include "common/RealInput.h"

#include <atomic>

TEST(JumpBar, AMissingFolderTypedInTheEntryIsToldWholeInAMessageBox)
{
    FrameProgram p([] { WriteAppIniInt(L"MainFrame", L"JumpBar", 1); });
    MakeActive(*p.Frame());
    CACEdit& entry = p.Frame()->GetJumpBar().GetPathEdit();
    ASSERT_TRUE(entry.IsWindowVisible());
    // Long enough that the status bar's last pane cannot show it.
    const CString missing = p.m_folder / (CString(L"まだ無いフォルダ_") + CString(L'x', 80));
    CRect box;
    entry.GetWindowRect(&box);
    ASSERT_TRUE(ShowsAt(entry.GetSafeHwnd(), box.CenterPoint()));
    ASSERT_TRUE(ClickOnScreen(box.CenterPoint(), [&] { return ::GetFocus() == entry.GetSafeHwnd(); }));
    entry.SetWindowText(missing);

    CString told;
    std::atomic<bool> answered{false};
    {
        HelperThread user([&] {
            AnswerMessageBox(&told, IDOK, 30000);
            answered = true;
        });
        SendKey(VK_RETURN);
        EXPECT_TRUE(RunLoopUntil([&] { return answered.load(); }));
    }
    EXPECT_NE(-1, Joined(told).Find(missing)) << "told: " << CStringA(told).GetString();
    EXPECT_NE(-1, Joined(told).Find(L"フォルダの指定が正しくありません"));
    // The entry keeps the text and the focus, to be mended.
    EXPECT_EQ(missing, TextOf(entry.GetSafeHwnd()));
    EXPECT_TRUE(RunLoopUntil([&] { return ::GetFocus() == entry.GetSafeHwnd(); }));

    // A folder that is there opens without a word.
    entry.SetWindowText(p.m_folder / L"sub");
    SendKey(VK_RETURN);
    EXPECT_TRUE(RunLoopUntil([&] { return p.Document()->GetLocationPath().CompareNoCase(p.m_folder / L"sub") == 0; }));
    CString none;
    EXPECT_EQ(nullptr, WaitForMessageBox(&none, 0));
}
