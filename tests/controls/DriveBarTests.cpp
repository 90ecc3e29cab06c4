#include "common/ControlTestUtil.h"

#include "controls/CXDriveBar.h"

#include <shellapi.h>

namespace {

class RecordingBar : public CXToolBar
{
public:
    std::vector<UINT> commands;
    LRESULT OnButtonCommand(UINT nID) override
    {
        commands.push_back(nID);
        return 0;
    }
};

std::vector<int> PresentDrives()
{
    std::vector<int> drives;
    DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (mask & (1u << i))
            drives.push_back(i);
    }
    return drives;
}

std::vector<int> PressedDrives(CXDriveBar& bar)
{
    std::vector<int> pressed;
    for (int i = 0; i < bar.GetButtonCount(); ++i) {
        if (bar.GetButton(i)->IsForcedPressed())
            pressed.push_back(bar.GetButton(i)->GetDlgCtrlID() - 1000);
    }
    return pressed;
}

} // namespace

TEST(XToolBar, LaysButtonsOutAlongItsLongerSide)
{
    struct Case
    {
        CSize bar;
        CRect first;
        CRect second;
    };
    const Case cases[] = {
        {{300, 32}, {1, 1, 41, 31}, {43, 1, 83, 31}},
        {{44, 400}, {1, 1, 43, 31}, {1, 33, 43, 63}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bar.cx << " x " << c.bar.cy);
        CLogHostWnd host;
        RecordingBar bar;
        ASSERT_TRUE(bar.Create(nullptr, nullptr, WS_VISIBLE, CRect(CPoint(5, 7), c.bar), &host, 900));
        EXPECT_EQ(c.bar.cx <= c.bar.cy, bar.IsVertical() != FALSE);
        ASSERT_NE(nullptr, bar.AddButton(101, L"一"));
        ASSERT_NE(nullptr, bar.AddButton(102, L"二"));
        CRect first, second;
        bar.GetButton(0)->GetWindowRect(&first);
        bar.GetButton(1)->GetWindowRect(&second);
        bar.ScreenToClient(&first);
        bar.ScreenToClient(&second);
        EXPECT_EQ(c.first, first);
        EXPECT_EQ(c.second, second);
        EXPECT_TRUE(bar.GetButton(0)->IsDrawnAsToolbar());
        EXPECT_FALSE(bar.GetButton(0)->IsCheckBox());
        EXPECT_EQ(CString(L"二"), bar.GetButtonText(1));
        EXPECT_EQ(CString(), bar.GetButtonText(2));
        EXPECT_EQ(CString(), bar.GetButtonText(-1));
        bar.GetButton(1)->SendMessage(BM_CLICK);
        EXPECT_EQ(std::vector<UINT>{102}, bar.commands);
        bar.RemoveAllButtons();
        EXPECT_EQ(0, bar.GetButtonCount());
    }
}

TEST(XDriveBar, OneButtonPerDriveReportsTheChosenDriveAndPressesItAlone)
{
    CLogHostWnd host;
    host.answer = 77;
    CXDriveBar bar;
    ASSERT_TRUE(bar.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 380, 32), &host, 900));
    ASSERT_TRUE(bar.CreateDriveButtons());
    std::vector<int> drives = PresentDrives();
    ASSERT_FALSE(drives.empty());
    ASSERT_EQ(static_cast<int>(drives.size()), bar.GetButtonCount());
    for (size_t i = 0; i < drives.size(); ++i) {
        EXPECT_EQ(1000 + drives[i], bar.GetButton(static_cast<int>(i))->GetDlgCtrlID());
        EXPECT_EQ(CString(static_cast<wchar_t>(L'A' + drives[i])), bar.GetButtonText(static_cast<int>(i)));
    }

    for (size_t i : {drives.size() - 1, size_t(0)}) {
        bar.GetButton(static_cast<int>(i))->SendMessage(BM_CLICK);
        const LoggedMessage* told = host.Last(WM_DRIVE_SELECTED);
        ASSERT_NE(nullptr, told);
        EXPECT_EQ(static_cast<WPARAM>(drives[i]), told->wParam);
        EXPECT_EQ(std::vector<int>{drives[i]}, PressedDrives(bar));
        EXPECT_EQ(77, bar.OnButtonCommand(1000 + drives[i]));
    }
    // Not a drive id: nothing is pressed or told.
    int told = host.Count(WM_DRIVE_SELECTED);
    EXPECT_EQ(0, bar.OnButtonCommand(1026));
    EXPECT_EQ(0, bar.OnButtonCommand(1500));
    EXPECT_EQ(told, host.Count(WM_DRIVE_SELECTED));

    bar.SetCurrentDrive(drives.back());
    EXPECT_EQ(std::vector<int>{drives.back()}, PressedDrives(bar));
    EXPECT_EQ(told, host.Count(WM_DRIVE_SELECTED));
}

TEST(XDriveBar, TooltipsCarryTheDisplayNameAndIconsNeedTheImageList)
{
    SHFILEINFOW info = {};
    auto system = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    ASSERT_NE(nullptr, system);
    const int drive = PresentDrives().front();
    CString root;
    root.Format(L"%c:\\", L'A' + drive);

    // The face colour is all that lies where an icon would stand (left of the letter).
    auto faceLeftOfCaption = [](CXPStyleButtonST* button) {
        MemoryCanvas canvas(40, 30);
        button->PaintButton(canvas.DC(), 0, CRect(0, 0, 40, 30), FALSE);
        return canvas.CountColour(CRect(3, 7, 12, 23), GetSysColor(COLOR_BTNFACE));
    };
    for (bool withList : {false, true}) {
        SCOPED_TRACE(withList ? "image list" : "no image list");
        CLogHostWnd host;
        CXDriveBar bar;
        bar.SetImageList(withList ? CImageList::FromHandle(system) : nullptr);
        ASSERT_TRUE(bar.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 380, 32), &host, 900));
        bar.CreateDriveButtons();
        EXPECT_EQ(withList, bar.GetDriveIcon(root) != nullptr);
        if (HICON icon = bar.GetDriveIcon(root))
            DestroyIcon(icon);
        if (withList)
            EXPECT_GT(9 * 16, faceLeftOfCaption(bar.GetButton(0)));
        else
            EXPECT_EQ(9 * 16, faceLeftOfCaption(bar.GetButton(0)));

        CToolTipCtrl& tip = bar.GetButton(0)->GetToolTip();
        ASSERT_NE(nullptr, tip.GetSafeHwnd());
        CString text;
        tip.GetText(text, bar.GetButton(0), 1);
        EXPECT_EQ(bar.GetDisplayName(root), text);
    }
    EXPECT_EQ(CString(L"Q:\\no\\such"), CXDriveBar().GetDisplayName(L"Q:\\no\\such"));
}

TEST(XDriveBar, RightClickRemembersTheCaptionUnderTheCursor)
{
    CLogHostWnd host;
    CXDriveBar bar;
    ASSERT_TRUE(bar.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 380, 32), &host, 900));
    bar.CreateDriveButtons();
    CXPStyleButtonST* button = bar.GetButton(bar.GetButtonCount() - 1);
    CRect window;
    button->GetWindowRect(&window);
    SetCursorPos(window.CenterPoint().x, window.CenterPoint().y);
    button->PostMessage(WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
    PumpUntil([&] { return !bar.GetRightClickedCaption().IsEmpty(); });
    EXPECT_EQ(bar.GetButtonText(bar.GetButtonCount() - 1), bar.GetRightClickedCaption());
}
