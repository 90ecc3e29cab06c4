// Pictures of the kit's frame (wide and narrow) and of the customise dialog, saved when
// VYX_KIT_SHOT names a folder; the checks run every time.
#include "KitTestUtil.h"

#include "controls/CSizableReBar.h"

#include <gtest/gtest.h>

namespace {

CString ShotFolder()
{
    wchar_t folder[MAX_PATH] = {};
    return GetEnvironmentVariableW(L"VYX_KIT_SHOT", folder, MAX_PATH) ? CString(folder) : CString();
}

void Save(CWnd& wnd, LPCWSTR name)
{
    CString folder = ShotFolder();
    if (folder.IsEmpty())
        return;
    wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME | RDW_ERASE);
    // Wine copies window surfaces to the screen from its idle pump: the picture is taken after
    // the pump has run dry for a while (nothing is checked on it).
    PumpUntil([] { return false; }, 300);
    CRect rect;
    wnd.GetWindowRect(&rect);
    EXPECT_TRUE(SaveScreenBitmap(rect, folder + L"\\" + name));
}

TEST(KitShot, FrameWideAndNarrowShowsItsBars)
{
    ScopedKitApp app;
    CKitTestFrame* frame = CKitTestFrame::Make(760);
    ASSERT_NE(nullptr, frame);
    frame->m_wndToolBar.SetTextOption(0);
    RunIdle(frame);
    CReBarCtrl& rebar = frame->m_wndReBar.GetReBarCtrl();
    EXPECT_EQ(1u, rebar.GetRowCount());
    Save(*frame, L"kit_frame_wide.bmp");
    frame->SetWindowPos(nullptr, 0, 0, 260, 300, SWP_NOMOVE | SWP_NOZORDER);
    frame->RecalcLayout();
    RunIdle(frame);
    Save(*frame, L"kit_frame_narrow.bmp");
    frame->DestroyWindow();
}

} // namespace
