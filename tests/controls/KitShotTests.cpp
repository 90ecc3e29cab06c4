// Pictures of the kit's frame (wide and narrow) and of the customise dialog, saved when
// VYX_KIT_SHOT names a folder; the checks run every time.
#include "KitTestUtil.h"

#include "controls/CSizableReBar.h"
#include "controls/CToolBarPopup.h"

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

namespace {

TEST(KitShot, MaximisedChildOnTheMenuBarAndTheChevronPopup)
{
    ScopedKitApp app;
    CKitTestMDIFrame* mdi = CKitTestMDIFrame::Make();
    ASSERT_NE(nullptr, mdi);
    VyxMDIChildWndEx* child = mdi->NewChild(L"子の窓");
    ASSERT_NE(nullptr, child);
    child->MDIMaximize();
    RunIdle(mdi);
    EXPECT_EQ(child->m_hWnd, mdi->m_wndMenuBar.GetMDIChild());
    Save(*mdi, L"kit_mdi.bmp");
    mdi->DestroyWindow();

    CKitTestFrame* frame = CKitTestFrame::Make(420);
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(MakeActive(*frame));
    CReBarCtrl& rebar = frame->m_wndReBar.GetReBarCtrl();
    SetBandWidth(frame, rebar, AFX_IDW_MENUBAR, 260);
    bool shown = false;
    CString folder = ShotFolder();
    {
        HelperThread helper([&] {
            shown = WaitUntil([] { return CToolBarPopup::GetOpenPopup() != nullptr; });
            if (shown && !folder.IsEmpty()) {
                PressKey(VK_DOWN);
                Sleep(400); // the popup's pump copies its surface to the screen meanwhile
                CRect all, popup;
                frame->GetWindowRect(&all);
                ::GetWindowRect(CToolBarPopup::GetOpenPopup()->m_hWnd, &popup);
                all.UnionRect(all, popup);
                SaveScreenBitmap(all, folder + L"\\kit_chevron.bmp");
            }
            PressKey(VK_ESCAPE);
        });
        rebar.PushChevron(static_cast<UINT>(rebar.IDToIndex(AFX_IDW_TOOLBAR)), 0);
    }
    EXPECT_TRUE(shown);
    frame->DestroyWindow();
}

} // namespace
