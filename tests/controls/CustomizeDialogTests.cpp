#include "KitTestUtil.h"

#include "controls/CCustomizeDialog.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

// What the helper thread saw of the open customise dialog.
struct DialogView
{
    bool found = false;
    bool pane = false;
    std::vector<DWORD_PTR> textData;
    int textSelection = -1;
    std::vector<DWORD_PTR> iconData;
    int smallHeight = 0;
    int largeHeight = 0;
    RECT dialogBefore = {};
    RECT dialogAfter = {};
};

std::vector<DWORD_PTR> ComboData(HWND combo)
{
    std::vector<DWORD_PTR> data;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        data.push_back(static_cast<DWORD_PTR>(SendMessageW(combo, CB_GETITEMDATA, i, 0)));
    return data;
}

HWND FindPane(HWND dialog)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsClass(child, L"#32770") && GetDlgItem(child, IDC_TOOLBAR_TEXTOPTIONS))
            return child;
    }
    return nullptr;
}

class CustomizeDialogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        frame = CKitTestFrame::Make(760);
        ASSERT_NE(nullptr, frame);
        Bar().ModifyStyle(0, CCS_ADJUSTABLE);
        ASSERT_TRUE(MakeActive(*frame));
    }
    void TearDown() override
    {
        if (frame)
            frame->DestroyWindow();
    }
    CKitTestToolBar& Bar() { return frame->m_wndToolBar; }
    // Opens the dialog through the rebar's menu command; script runs on the helper thread with
    // the dialog and must close it.
    void Customize(const std::function<void(HWND)>& script)
    {
        HelperThread helper([&] {
            HWND dialog = WaitForWindow([](HWND hWnd) { return IsClass(hWnd, L"#32770") && FindPane(hWnd); });
            if (!dialog) {
                ADD_FAILURE() << "no customise dialog with the option pane";
                return;
            }
            script(dialog);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        Bar().SendMessage(WM_COMMAND, ID_CUSTOMIZE_TOOLBAR);
    }

    ScopedKitApp app;
    CKitTestFrame* frame = nullptr;
};

TEST_F(CustomizeDialogTest, OptionPaneListsTheOptionsAndLargeIconsGrowTheRows)
{
    DialogView view;
    Customize([&](HWND dialog) {
        view.found = true;
        HWND pane = FindPane(dialog);
        view.pane = pane && IsWindowVisible(pane);
        HWND text = GetDlgItem(pane, IDC_TOOLBAR_TEXTOPTIONS);
        HWND icon = GetDlgItem(pane, IDC_TOOLBAR_ICONOPTIONS);
        view.textData = ComboData(text);
        view.textSelection = static_cast<int>(SendMessageW(text, CB_GETCURSEL, 0, 0));
        view.iconData = ComboData(icon);
        view.smallHeight = static_cast<int>(SendDlgItemMessageW(dialog, 203, LB_GETITEMHEIGHT, 0, 0));
        wchar_t shot[MAX_PATH] = {};
        if (GetEnvironmentVariableW(L"VYX_KIT_SHOT", shot, MAX_PATH)) {
            Sleep(400); // the dialog's pump copies its surface to the screen meanwhile
            RECT whole;
            GetWindowRect(dialog, &whole);
            SaveScreenBitmap(whole, CString(shot) + L"\\kit_customize.bmp");
        }
        // The user picks large icons.
        SendMessageW(icon, CB_SETCURSEL, 1, 0);
        SendMessageW(pane, WM_COMMAND, MAKEWPARAM(IDC_TOOLBAR_ICONOPTIONS, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(icon));
        view.largeHeight = static_cast<int>(SendDlgItemMessageW(dialog, 201, LB_GETITEMHEIGHT, 0, 0));
        // The pane sits under the dialog's own controls, inside the dialog.
        RECT paneRect, list, client;
        GetWindowRect(pane, &paneRect);
        GetWindowRect(GetDlgItem(dialog, 203), &list);
        GetClientRect(dialog, &client);
        MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
        EXPECT_GE(paneRect.top, list.bottom);
        EXPECT_LE(paneRect.bottom, client.bottom);
    });
    EXPECT_TRUE(view.found);
    EXPECT_TRUE(view.pane);
    EXPECT_EQ((std::vector<DWORD_PTR>{0, 1, 2}), view.textData);
    EXPECT_EQ(1, view.textSelection);
    EXPECT_EQ((std::vector<DWORD_PTR>{0, 1}), view.iconData);
    EXPECT_EQ(16, view.smallHeight);
    EXPECT_EQ(32, view.largeHeight);
    EXPECT_EQ(1, Bar().GetIconOption());
    // The dialog has gone, and so has its object.
    EXPECT_EQ(nullptr, CToolBarEx::GetCustomizeDialog());
}

TEST_F(CustomizeDialogTest, UnavailableTextOptionIsLeftOutAndSelectionFollowsTheValue)
{
    Bar().m_nUnavailableText = 1;
    Bar().SetTextOption(2);
    DialogView view;
    Customize([&](HWND dialog) {
        HWND text = GetDlgItem(FindPane(dialog), IDC_TOOLBAR_TEXTOPTIONS);
        view.textData = ComboData(text);
        view.textSelection = static_cast<int>(SendMessageW(text, CB_GETCURSEL, 0, 0));
        // Choosing "no text labels" (value 0 at position 0) reaches the bar.
        SendMessageW(text, CB_SETCURSEL, 0, 0);
        SendMessageW(GetParent(text), WM_COMMAND, MAKEWPARAM(IDC_TOOLBAR_TEXTOPTIONS, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(text));
    });
    EXPECT_EQ((std::vector<DWORD_PTR>{0, 2}), view.textData);
    EXPECT_EQ(1, view.textSelection);
    EXPECT_EQ(0, Bar().GetTextOption());
}

TEST_F(CustomizeDialogTest, ResetPutsTheDefaultsAndTheBoxesFollow)
{
    int iconSelection = -1;
    Customize([&](HWND dialog) {
        HWND pane = FindPane(dialog);
        HWND icon = GetDlgItem(pane, IDC_TOOLBAR_ICONOPTIONS);
        SendMessageW(icon, CB_SETCURSEL, 1, 0);
        SendMessageW(pane, WM_COMMAND, MAKEWPARAM(IDC_TOOLBAR_ICONOPTIONS, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(icon));
        // The dialog's reset button tells the bar (TBN_RESET).
        NMHDR reset = {Bar().m_hWnd, static_cast<UINT_PTR>(Bar().GetDlgCtrlID()), TBN_RESET};
        frame->m_wndReBar.SendMessage(WM_NOTIFY, reset.idFrom, reinterpret_cast<LPARAM>(&reset));
        iconSelection = static_cast<int>(SendMessageW(icon, CB_GETCURSEL, 0, 0));
    });
    EXPECT_EQ(0, Bar().GetIconOption());
    EXPECT_EQ(0, iconSelection);
}

TEST(CustomizeDialogItems, ItemDataIsReadInBothForms)
{
    ScopedKitApp app;
    CKitTestFrame* frame = CKitTestFrame::Make(600);
    ASSERT_NE(nullptr, frame);
    CKitTestToolBar& bar = frame->m_wndToolBar;
    int image = -9, index = -9;
    // Packed: image 2 of the record at index 3 (copy).
    EXPECT_TRUE(CCustomizeDialog::DecodeItemData(&bar, MAKELONG(2, 3), image, index));
    EXPECT_EQ(2, image);
    EXPECT_EQ(3, index);
    // Packed, outside the table: a separator.
    EXPECT_TRUE(CCustomizeDialog::DecodeItemData(&bar, MAKELONG(0, 0xFFFF), image, index));
    EXPECT_EQ(-1, index);
    // A pointer to the control's own button record, as Wine gives it.
    TBBUTTON paste = {};
    paste.idCommand = ID_KITTEST_PASTE;
    EXPECT_TRUE(CCustomizeDialog::DecodeItemData(&bar, reinterpret_cast<DWORD_PTR>(&paste), image, index));
    EXPECT_EQ(4, index);
    EXPECT_EQ(3, image);
    TBBUTTON separator = {};
    separator.fsStyle = BTNS_SEP;
    EXPECT_TRUE(CCustomizeDialog::DecodeItemData(&bar, reinterpret_cast<DWORD_PTR>(&separator), image, index));
    EXPECT_EQ(-1, index);
    // A record of a command the table does not know: not ours to draw.
    TBBUTTON stranger = {};
    stranger.idCommand = 4242;
    EXPECT_FALSE(CCustomizeDialog::DecodeItemData(&bar, reinterpret_cast<DWORD_PTR>(&stranger), image, index));
    frame->DestroyWindow();
}

} // namespace
