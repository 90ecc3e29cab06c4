#include "controls/CResizableDialog.h"

#include "ControlsTestRes.h"
#include "common/WindowTestUtil.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const wchar_t kSection[] = L"CtlTestResize";

class TestResizableDialog : public CResizableDialog
{
public:
    TestResizableDialog() : CResizableDialog(IDD_CTLTEST_RESIZE) {}
    BOOL OnInitDialog() override
    {
        CResizableDialog::OnInitDialog();
        AddAnchor(IDC_CTLTEST_LABEL, TOP_LEFT, TOP_RIGHT);
        AddAnchor(IDC_CTLTEST_EDIT, TOP_LEFT, BOTTOM_RIGHT);
        AddAnchor(IDC_CTLTEST_GROUP, TOP_RIGHT);
        AddAnchor(IDC_CTLTEST_CENTRE, BOTTOM_CENTER);
        AddAnchor(IDC_CTLTEST_LIST, TOP_RIGHT, BOTTOM_RIGHT);
        AddAnchor(IDOK, BOTTOM_RIGHT);
        AddAnchor(IDCANCEL, BOTTOM_RIGHT);
        if (!m_section.IsEmpty())
            m_loaded = EnablePlacementSaving(m_section, m_rectOnly);
        return TRUE;
    }
    CRect ChildInClient(int id)
    {
        CRect rect;
        GetDlgItem(id)->GetWindowRect(&rect);
        ScreenToClient(&rect);
        return rect;
    }
    CRect Window()
    {
        CRect rect;
        GetWindowRect(&rect);
        return rect;
    }
    void Grow(int dx, int dy)
    {
        CRect rect = Window();
        SetWindowPos(nullptr, 0, 0, rect.Width() + dx, rect.Height() + dy, SWP_NOMOVE | SWP_NOZORDER);
    }
    using CResizableGrip::GetSizeGrip;

    CString m_section;
    BOOL m_rectOnly = FALSE;
    BOOL m_loaded = FALSE;
};

std::unique_ptr<TestResizableDialog> OpenDialog(LPCWSTR section = nullptr, BOOL rectOnly = FALSE)
{
    auto dialog = std::make_unique<TestResizableDialog>();
    dialog->m_section = section;
    dialog->m_rectOnly = rectOnly;
    EXPECT_TRUE(dialog->Create(IDD_CTLTEST_RESIZE));
    dialog->ShowWindow(SW_SHOWNORMAL);
    return dialog;
}

CString StoredPlacement()
{
    return AfxGetApp()->GetProfileString(kSection, L"WindowPlacement", L"");
}

TEST(ResizableDialogTest, CreationAddsASizingFrameAroundTheTemplatesClientArea)
{
    TestResizableDialog plain;
    ASSERT_TRUE(plain.CDialog::Create(IDD_CTLTEST_RESIZE)); // as the template alone gives it
    CRect templateClient;
    plain.GetClientRect(&templateClient);
    plain.DestroyWindow();

    auto dialog = OpenDialog();
    DWORD style = dialog->GetStyle();
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & DS_MODALFRAME);
    CRect client;
    dialog->GetClientRect(&client);
    EXPECT_EQ(client.Size(), templateClient.Size());

    MINMAXINFO info = {};
    dialog->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(CSize(info.ptMinTrackSize), dialog->Window().Size());
    dialog->DestroyWindow();
}

TEST(ResizableDialogTest, AnchoredChildrenFollowTheirAnchorsThroughResizes)
{
    auto dialog = OpenDialog();
    CRect client0;
    dialog->GetClientRect(&client0);
    CRect label0 = dialog->ChildInClient(IDC_CTLTEST_LABEL), edit0 = dialog->ChildInClient(IDC_CTLTEST_EDIT),
          group0 = dialog->ChildInClient(IDC_CTLTEST_GROUP), centre0 = dialog->ChildInClient(IDC_CTLTEST_CENTRE),
          list0 = dialog->ChildInClient(IDC_CTLTEST_LIST), ok0 = dialog->ChildInClient(IDOK);

    for (CSize grow : {CSize(100, 60), CSize(37, 11), CSize(-50, -20)}) {
        dialog->Grow(grow.cx, grow.cy);
        CRect client;
        dialog->GetClientRect(&client);
        int dx = client.Width() - client0.Width(), dy = client.Height() - client0.Height();
        ASSERT_NE(dx, 0);

        CRect edit = dialog->ChildInClient(IDC_CTLTEST_EDIT);
        EXPECT_EQ(edit.TopLeft(), edit0.TopLeft());
        EXPECT_EQ(client.right - edit.right, client0.right - edit0.right);
        EXPECT_EQ(client.bottom - edit.bottom, client0.bottom - edit0.bottom);

        CRect label = dialog->ChildInClient(IDC_CTLTEST_LABEL);
        EXPECT_EQ(label.TopLeft(), label0.TopLeft());
        EXPECT_EQ(label.Height(), label0.Height());
        EXPECT_EQ(label.Width(), label0.Width() + dx);

        CRect group = dialog->ChildInClient(IDC_CTLTEST_GROUP);
        EXPECT_EQ(group, CRect(group0.left + dx, group0.top, group0.right + dx, group0.bottom));

        CRect list = dialog->ChildInClient(IDC_CTLTEST_LIST);
        EXPECT_EQ(list.left, list0.left + dx);
        EXPECT_EQ(list.Width(), list0.Width());

        CRect ok = dialog->ChildInClient(IDOK);
        EXPECT_EQ(ok, CRect(ok0.left + dx, ok0.top + dy, ok0.right + dx, ok0.bottom + dy));

        // Centred horizontally: it moves by half the change (truncated) and keeps its size.
        CRect centre = dialog->ChildInClient(IDC_CTLTEST_CENTRE);
        EXPECT_EQ(centre.Size(), centre0.Size());
        EXPECT_LE(std::abs((centre.left - centre0.left) - dx / 2), 1);
        EXPECT_EQ(centre.top, centre0.top + dy);
    }
    dialog->DestroyWindow();
}

TEST(ResizableDialogTest, GripSitsInTheCornerAndHidesWhileMaximized)
{
    auto dialog = OpenDialog();
    CWnd& grip = dialog->GetSizeGrip();
    ASSERT_TRUE(grip.m_hWnd);
    EXPECT_TRUE(grip.GetStyle() & SBS_SIZEGRIP);
    EXPECT_TRUE(grip.IsWindowVisible());
    dialog->Grow(30, 30);
    CRect client, gripRect;
    dialog->GetClientRect(&client);
    grip.GetWindowRect(&gripRect);
    dialog->ScreenToClient(&gripRect);
    EXPECT_EQ(gripRect.BottomRight(), client.BottomRight());

    CPoint corner = gripRect.BottomRight() - CSize(1, 1);
    dialog->ClientToScreen(&corner);
    EXPECT_EQ(grip.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTBOTTOMRIGHT);

    // Triangular: the corner itself belongs to the grip, the opposite corner does not.
    CRgn region;
    region.CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(grip.m_hWnd, region), ERROR);
    EXPECT_TRUE(region.PtInRegion(gripRect.Width() - 2, gripRect.Height() - 2));
    EXPECT_FALSE(region.PtInRegion(1, 1));

    dialog->ShowWindow(SW_MAXIMIZE);
    EXPECT_FALSE(grip.IsWindowVisible());
    // The size types of other windows being maximized or restored change nothing.
    dialog->SendMessage(WM_SIZE, SIZE_MAXSHOW, 0);
    dialog->SendMessage(WM_SIZE, SIZE_MAXHIDE, 0);
    EXPECT_FALSE(grip.IsWindowVisible());
    EXPECT_FALSE(dialog->IsGripVisible());
    dialog->ShowWindow(SW_RESTORE);
    EXPECT_TRUE(grip.IsWindowVisible());
    dialog->DestroyWindow();
}

void SendMouse(DWORD flags, int x, int y)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    ::SendInput(1, &input, sizeof(input));
}

bool InSizeLoop(DWORD thread)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE);
}

TEST(ResizableDialogTest, GripBackgroundModeTakesOnlyTransparentOrOpaque)
{
    TestResizableDialog unopened;
    EXPECT_FALSE(unopened.SetGripBkMode(TRANSPARENT)); // no grip window yet

    auto dialog = OpenDialog();
    EXPECT_TRUE(dialog->SetGripBkMode(TRANSPARENT));
    EXPECT_TRUE(dialog->GetSizeGrip().IsTransparent());
    dialog->GetSizeGrip().RedrawWindow(); // painted through the mask
    EXPECT_FALSE(dialog->SetGripBkMode(3));
    EXPECT_TRUE(dialog->GetSizeGrip().IsTransparent());
    EXPECT_TRUE(dialog->SetGripBkMode(OPAQUE));
    EXPECT_FALSE(dialog->GetSizeGrip().IsTransparent());
    CRgn region;
    region.CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(::GetWindowRgn(dialog->GetSizeGrip().m_hWnd, region), ERROR);
    dialog->SetGripShape(FALSE);
    EXPECT_EQ(::GetWindowRgn(dialog->GetSizeGrip().m_hWnd, region), ERROR); // square again
    dialog->DestroyWindow();
}

TEST(ResizableDialogTest, DraggingTheGripSizesTheDialog)
{
    auto dialog = OpenDialog();
    dialog->SetForegroundWindow();
    CRect gripRect;
    dialog->GetSizeGrip().GetWindowRect(&gripRect);
    CRect before = dialog->Window();
    CPoint start(gripRect.right - 3, gripRect.bottom - 3);
    DWORD uiThread = ::GetCurrentThreadId();
    // The sizing loop runs on this thread; the rest of the drag comes once it runs.
    HelperThread drag([=] {
        SendMouse(0, start.x, start.y);
        SendMouse(MOUSEEVENTF_LEFTDOWN, start.x, start.y);
        DWORD begin = ::GetTickCount();
        while (!InSizeLoop(uiThread) && ::GetTickCount() - begin < 10000)
            ::Sleep(10);
        for (int step = 1; step <= 5; ++step)
            SendMouse(0, start.x + 10 * step, start.y + 6 * step);
        SendMouse(MOUSEEVENTF_LEFTUP, start.x + 50, start.y + 30);
    });
    DWORD begin = ::GetTickCount();
    while (dialog->Window() == before && ::GetTickCount() - begin < 10000) {
        PumpPending();
        ::Sleep(10);
    }
    ::SetCursorPos(0, 0); // out of the way of later tests' windows and menus
    CRect after = dialog->Window();
    EXPECT_EQ(after.TopLeft(), before.TopLeft());
    EXPECT_GT(after.Width(), before.Width());
    EXPECT_GT(after.Height(), before.Height());
    dialog->DestroyWindow();
}

TEST(ResizableDialogTest, PlacementIsSavedOnDestroyAndRestoredNextTime)
{
    AfxGetApp()->WriteProfileString(kSection, nullptr, nullptr);
    CRect placed;
    {
        auto first = OpenDialog(kSection);
        EXPECT_FALSE(first->m_loaded); // nothing stored yet: the template's place stands
        first->SetWindowPos(nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        first->Grow(80, 40);
        placed = first->Window();
        first->DestroyWindow();
    }
    CString expected;
    expected.Format(L"%d,%d,%d,%d,1,0", placed.left, placed.top, placed.right, placed.bottom);
    EXPECT_EQ(StoredPlacement(), expected);

    auto second = OpenDialog(kSection);
    EXPECT_TRUE(second->m_loaded);
    EXPECT_EQ(second->Window(), placed);
    second->DestroyWindow();
}

TEST(ResizableDialogTest, APlacementWithFiveNumbersIsIgnored)
{
    AfxGetApp()->WriteProfileString(kSection, L"WindowPlacement", L"10,10,400,300,1");
    TestResizableDialog reference;
    ASSERT_TRUE(reference.Create(IDD_CTLTEST_RESIZE));
    CRect templatePlace = reference.Window();
    reference.DestroyWindow();

    auto dialog = OpenDialog(kSection);
    EXPECT_FALSE(dialog->m_loaded);
    EXPECT_EQ(dialog->Window(), templatePlace);
    dialog->DestroyWindow();
    AfxGetApp()->WriteProfileString(kSection, nullptr, nullptr);
}

TEST(ResizableDialogTest, RectOnlySavesTheMaximizedRectangleAndRestoresItUnmaximized)
{
    AfxGetApp()->WriteProfileString(kSection, nullptr, nullptr);
    CRect maximized;
    {
        auto first = OpenDialog(kSection, TRUE);
        first->ShowWindow(SW_MAXIMIZE);
        maximized = first->Window();
        first->DestroyWindow();
    }
    CString expected;
    expected.Format(L"%d,%d,%d,%d,1,0", maximized.left, maximized.top, maximized.right, maximized.bottom);
    EXPECT_EQ(StoredPlacement(), expected);

    auto second = OpenDialog(kSection, TRUE);
    EXPECT_TRUE(second->m_loaded);
    EXPECT_FALSE(second->IsZoomed());
    EXPECT_EQ(second->Window(), maximized);
    second->DestroyWindow();
    AfxGetApp()->WriteProfileString(kSection, nullptr, nullptr);
}

} // namespace
