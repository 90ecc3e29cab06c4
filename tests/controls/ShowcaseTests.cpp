// One window holding the kit's controls, for a look at them: with VYX_CONTROLS_SHOT set to a file
// path the window is saved there as a BMP.
#include "common/ControlTestUtil.h"

#include "controls/CACEdit.h"
#include "controls/CButtonGrp.h"
#include "controls/CButtonST.h"
#include "controls/CCJFlatButton.h"
#include "controls/CCJFlatComboBox.h"
#include "controls/CCJHyperLink.h"
#include "controls/CCJListCtrl.h"
#include "controls/CColourPickerXP.h"
#include "controls/CColourPopupXP.h"
#include "controls/CComboBoxButtonCtrl.h"
#include "controls/CEditButtonCtrl.h"
#include "controls/CMenuButtonCtrl.h"
#include "controls/CXDriveBar.h"

#include <memory>

namespace {

struct Showcase
{
    CLogHostWnd host;
    CFont font;
    std::vector<std::unique_ptr<CWnd>> owned;
    std::vector<HWND> labels;
    CThemeHelperST fakeTheme{L"fake_uxtheme.dll"};
    CThemeHelperST systemTheme;

    Showcase()
    {
        host.SetWindowPos(nullptr, 0, 0, 620, 470, SWP_NOZORDER);
        font.CreatePointFont(90, L"ＭＳ Ｐゴシック");
    }
    template <class T> T* Add(T* wnd)
    {
        owned.emplace_back(wnd);
        if (wnd->GetSafeHwnd())
            wnd->SetFont(&font);
        return wnd;
    }
    HWND Child(LPCWSTR cls, LPCWSTR text, DWORD style, int x, int y, int w, int h, UINT id)
    {
        HWND hwnd = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, host.GetSafeHwnd(),
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), TRUE);
        return hwnd;
    }
    void Label(LPCWSTR text, int x, int y) { labels.push_back(Child(L"STATIC", text, 0, x, y, 140, 16, 0xFFFF)); }
};

} // namespace

TEST(Showcase, WindowHoldingTheControlsShowsThemAll)
{
    FakeThemeState* fake = ResetFakeTheme();
    ASSERT_NE(nullptr, fake);
    Showcase s;

    s.Label(L"ボタン (CButtonST)", 10, 10);
    auto* plain = s.Add(new CButtonST);
    plain->Create(L"アイコン", WS_CHILD | WS_VISIBLE, CRect(10, 30, 110, 60), &s.host, 100);
    plain->SetFont(&s.font);
    plain->SetIcons(MakeSolidIcon(RGB(40, 120, 220)), CButtonST::GreyIcon());
    plain->SetFlat(FALSE);
    auto* check = s.Add(new CButtonST);
    check->Create(L"チェック", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(120, 30, 200, 60), &s.host, 101);
    check->SetFont(&s.font);
    check->SetChecked(TRUE);
    auto* themed = s.Add(new CXPStyleButtonST);
    themed->Create(L"テーマ", WS_CHILD | WS_VISIBLE, CRect(210, 30, 290, 60), &s.host, 102);
    themed->SetFont(&s.font);
    themed->SetThemeHelper(&s.fakeTheme);

    s.Label(L"ドライブバー", 310, 10);
    auto* drives = s.Add(new CXDriveBar);
    SHFILEINFOW info = {};
    auto system = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    drives->SetImageList(CImageList::FromHandle(system));
    drives->SetButtonFont(&s.font);
    drives->SetThemeHelper(&s.systemTheme);
    drives->Create(AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), nullptr, WS_VISIBLE,
                   CRect(310, 28, 600, 62), &s.host, 103);
    drives->CreateDriveButtons();
    drives->SetCurrentDrive(2);

    s.Label(L"メニューボタン", 10, 75);
    auto* menuButton = s.Add(new CMenuButtonCtrl);
    menuButton->Create(L"追加", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 95, 110, 120), &s.host, 104);
    menuButton->SetFont(&s.font);

    s.Label(L"値ボタン付きの欄", 130, 75);
    auto* macroEdit = s.Add(new CEditButtonCtrl);
    macroEdit->Create(L"EDIT", L"$(Name)", WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(130, 95, 330, 118), &s.host,
                      105);
    macroEdit->SetFont(&s.font);
    macroEdit->SetCaption(L"値");
    macroEdit->SetButtonWidth(30);
    macroEdit->CreateButton();
    auto* folderEdit = s.Add(new CEditButtonCtrl);
    folderEdit->Create(L"EDIT", L"C:\\windows", WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(350, 95, 600, 118),
                       &s.host, 106);
    folderEdit->SetFont(&s.font);
    folderEdit->SetButtonWidth(20);
    folderEdit->SetButtonStyle(BS_OWNERDRAW | BS_ICON);
    folderEdit->CreateButton();
    auto* combo = s.Add(new CComboBoxButtonCtrl);
    combo->Create(L"COMBOBOX", L"", WS_VISIBLE | CBS_DROPDOWN | WS_VSCROLL, CRect(130, 125, 330, 220), &s.host, 107);
    combo->SetFont(&s.font);
    combo->SetWindowText(L"*.jpg;*.png");
    combo->CreateButton();

    s.Label(L"リンク", 10, 160);
    HWND link = s.Child(L"STATIC", L"http://example.invalid/", 0, 10, 180, 250, 20, 108);
    auto* hyperlink = s.Add(new CCJHyperLink);
    hyperlink->SubclassWindow(link);

    s.Label(L"平らな部品", 350, 160);
    auto* flat = s.Add(new CCJFlatButton);
    flat->Create(L"平", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(350, 180, 390, 204), &s.host, 109);
    auto* flatCombo = s.Add(new CCJFlatComboBox);
    flatCombo->Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | WS_VSCROLL, CRect(400, 180, 600, 260), &s.host, 110);
    flatCombo->SetFont(&s.font);
    flatCombo->AddString(L"履歴一");
    flatCombo->SetCurSel(0);
    HWND groupFrame = s.Child(L"STATIC", L"", 0, 350, 215, 250, 22, 111);
    auto* group = s.Add(new CButtonGrp);
    group->SubclassWindow(groupFrame);

    s.Label(L"色の選択", 350, 250);
    auto* colour = s.Add(new CColourPickerXP);
    colour->Create(L"", WS_CHILD | WS_VISIBLE, CRect(350, 270, 430, 294), &s.host, 112);
    colour->SetColour(RGB(60, 179, 113));
    auto* comboColour = s.Add(new CColourPickerXP);
    comboColour->Create(L"", WS_CHILD | WS_VISIBLE, CRect(440, 270, 600, 294), &s.host, 113);
    comboColour->SetFont(&s.font);
    comboColour->SetComboStyle(TRUE);
    comboColour->SetColour(RGB(255, 104, 32));

    s.Label(L"一覧", 10, 305);
    auto* report = s.Add(new CCJListCtrl);
    report->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, CRect(10, 325, 330, 425), &s.host, 114);
    report->SetFont(&s.font);
    report->SetWidthsKey(L"Showcase", L"Widths");
    report->InsertColumn(0, L"名前", LVCFMT_LEFT, 120);
    report->InsertColumn(1, L"種類", LVCFMT_LEFT, 100);
    for (LPCWSTR name : {L"写真.jpg", L"地図.png", L"表紙.bmp"}) {
        int row = report->InsertItem(report->GetItemCount(), name);
        report->SetItemText(row, 1, wcsrchr(name, L'.') + 1);
    }
    report->SortByText(0, TRUE);
    report->GetFlatHeader().SetSortMark(0, TRUE);

    s.Label(L"入力補完", 10, 240);
    HWND acHwnd = s.Child(L"EDIT", L"", WS_BORDER | ES_AUTOHSCROLL, 10, 260, 320, 22, 1072);
    auto* autoComplete = s.Add(new CACEdit);
    autoComplete->SubclassWindow(acHwnd);
    autoComplete->SetMode(CACEdit::ModePath | CACEdit::ModeNoFiles);
    s.host.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();
    // Typed into the window as it stands.
    autoComplete->SetFocus();
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    lstrcatW(windows, L"\\");
    autoComplete->SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(windows));
    PumpPending();
    EXPECT_TRUE(autoComplete->IsListVisible());
    CRect client;
    s.host.GetClientRect(&client);
    for (auto& wnd : s.owned) {
        ASSERT_TRUE(wnd->GetSafeHwnd() != nullptr);
        EXPECT_TRUE(wnd->IsWindowVisible());
        CRect rect;
        wnd->GetWindowRect(&rect);
        s.host.ScreenToClient(&rect);
        EXPECT_TRUE(client.PtInRect(rect.TopLeft())) << rect.left << "," << rect.top;
    }
    EXPECT_GT(fake->drawn, 0);

    wchar_t shot[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VYX_CONTROLS_SHOT", shot, MAX_PATH)) {
        // The list hangs below the window, and the colour popup opens over it: the shot takes all.
        CRect all, list, popup;
        s.host.GetWindowRect(&all);
        autoComplete->GetList().GetWindowRect(&list);
        all.UnionRect(&all, &list);
        comboColour->SendMessage(BM_CLICK);
        PumpPending();
        EXPECT_TRUE(comboColour->IsPopupOpen());
        HWND popupWindow = ::GetCapture();
        ::GetWindowRect(popupWindow, &popup);
        all.UnionRect(&all, &popup);
        ::SendMessageW(popupWindow, WM_KEYDOWN, VK_DOWN, 0);
        PumpPending();
        EXPECT_TRUE(SaveScreenBitmap(all, shot));
        ::SendMessageW(popupWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    }
}
