#include "common/ControlTestUtil.h"
#include "ControlsTestRes.h"

#include "controls/CButtonGrp.h"
#include "controls/CCJFlatButton.h"
#include "controls/CCJFlatComboBox.h"
#include "controls/CCJFlatHeaderCtrl.h"
#include "res/resource.h"

#include <commctrl.h>

namespace {

COLORREF ScreenPixel(CWnd& wnd, int x, int y)
{
    HDC dc = GetDC(wnd.GetSafeHwnd());
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(wnd.GetSafeHwnd(), dc);
    return colour;
}

CRect RectIn(CWnd& child, CWnd& parent)
{
    CRect rect;
    child.GetWindowRect(&rect);
    parent.ScreenToClient(&rect);
    return rect;
}

void PointAt(CWnd& wnd)
{
    CRect rect;
    wnd.GetWindowRect(&rect);
    SetCursorPos(rect.CenterPoint().x, rect.CenterPoint().y);
    wnd.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(rect.Width() / 2, rect.Height() / 2));
}

class FlatComboDialog : public CDialog
{
public:
    FlatComboDialog() : CDialog(IDD_TEST_FLATCOMBO) {}
    CCJFlatComboBox combo;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        combo.SubclassDlgItem(IDC_TEST_COMBO, this);
        return TRUE;
    }
};

} // namespace

TEST(FlatButton, BorderIsFlatAtRestRaisedUnderTheMouseAndSunkenWhilePressed)
{
    CLogHostWnd host;
    CCJFlatButton first, second;
    const DWORD style = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
    ASSERT_TRUE(first.Create(L"一", style, CRect(20, 20, 60, 44), &host, 1));
    ASSERT_TRUE(second.Create(L"二", style, CRect(80, 20, 120, 44), &host, 2));
    host.UpdateWindow();
    PumpPending();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(face, ScreenPixel(first, 0, 0));

    PointAt(first);
    ASSERT_TRUE(PumpUntil([&] { return CCJFlatButton::IsAnyButtonRaised(); }));
    EXPECT_EQ(GetSysColor(COLOR_BTNHILIGHT), ScreenPixel(first, 0, 0));

    // Straight onto the other button: it rises once the first has seen the cursor go.
    PointAt(second);
    ASSERT_TRUE(PumpUntil([&] { return ScreenPixel(second, 0, 0) == GetSysColor(COLOR_BTNHILIGHT); }));
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(first, 0, 0) == face; }));

    DRAWITEMSTRUCT item = {ODT_BUTTON, 1, 0, ODA_SELECT, ODS_SELECTED, first.GetSafeHwnd(), nullptr, {0, 0, 40, 24}, 0};
    first.DrawItem(&item);
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), ScreenPixel(first, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_BTNHILIGHT), ScreenPixel(first, 39, 23));
    SetCursorPos(700, 700);
    EXPECT_TRUE(PumpUntil([] { return !CCJFlatButton::IsAnyButtonRaised(); }));
}

TEST(FlatButton, BitmapWithoutIconLeavesTheFaceEmpty)
{
    CLogHostWnd host;
    SetCursorPos(700, 700);
    CCJFlatButton text, bitmap;
    ASSERT_TRUE(text.Create(L"ＷＷ", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(20, 20, 80, 44), &host, 1));
    ASSERT_TRUE(
        bitmap.Create(L"ＷＷ", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | BS_BITMAP, CRect(100, 20, 160, 44), &host, 2));
    HBITMAP image = CreateBitmap(8, 8, 1, 1, nullptr);
    bitmap.SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
    for (CCJFlatButton* button : {&text, &bitmap})
        button->RedrawWindow();
    PumpPending();
    auto faceOnly = [](CCJFlatButton& button) {
        int other = 0;
        for (int y = 2; y < 22; ++y) {
            for (int x = 2; x < 58; ++x)
                other += ScreenPixel(button, x, y) != GetSysColor(COLOR_BTNFACE);
        }
        return other == 0;
    };
    EXPECT_FALSE(faceOnly(text));
    EXPECT_TRUE(faceOnly(bitmap));
    bitmap.DestroyWindow();
    DeleteObject(image);
}

TEST(FlatComboBox, DisabledBoxHasAHighlightInnerBorderAndNoDropButtonBorder)
{
    CLogHostWnd host;
    CCJFlatComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(20, 20, 200, 120), &host, 5));
    combo.EnableWindow(FALSE);
    PumpPending();
    combo.PaintFrame(0, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE));
    CRect client;
    combo.GetClientRect(&client);
    EXPECT_EQ(GetSysColor(COLOR_BTNHILIGHT), ScreenPixel(combo, 1, client.Height() / 2));
    // An enabled box in state 0 draws highlight lines around its drop button; a disabled one none.
    int x = client.right - 2 - GetSystemMetrics(SM_CXHTHUMB) - 1;
    EXPECT_NE(GetSysColor(COLOR_BTNHILIGHT), ScreenPixel(combo, x + 1, client.Height() / 2));
    combo.EnableWindow(TRUE);
    combo.PaintFrame(0, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), ScreenPixel(combo, 1, client.Height() / 2));
    EXPECT_EQ(GetSysColor(COLOR_BTNHILIGHT), ScreenPixel(combo, x + 1, client.Height() / 2));
}

TEST(FlatComboBox, EnterInTheBoxDoesNotCloseTheDialog)
{
    FlatComboDialog dialog;
    INT_PTR result = 0;
    {
        HelperThread driver([] {
            HWND window = WaitForDialog(L"平らなコンボ");
            ASSERT_NE(nullptr, window);
            HWND edit = FindWindowExW(GetDlgItem(window, IDC_TEST_COMBO), nullptr, L"Edit", nullptr);
            ASSERT_NE(nullptr, edit);
            PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
            PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        });
        result = dialog.DoModal();
    }
    EXPECT_EQ(IDCANCEL, result);
}

TEST(ButtonGroup, SixButtonsStandFlushRightAndClicksReachTheParentAtOnce)
{
    CLogHostWnd host;
    for (int width : {200, 100}) {
        SCOPED_TRACE(width);
        HWND frame = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, width, 22, host.GetSafeHwnd(),
                                     reinterpret_cast<HMENU>(900), nullptr, nullptr);
        CButtonGrp group;
        ASSERT_TRUE(group.SubclassWindow(frame));
        const UINT ids[] = {IDC_BUTTONGRP_ADD, IDC_BUTTONGRP_DELETE, IDC_BUTTONGRP_TOP,
                            IDC_BUTTONGRP_UP,  IDC_BUTTONGRP_DOWN,   IDC_BUTTONGRP_END};
        for (int i = 0; i < CButtonGrp::ButtonCount; ++i) {
            CWnd* button = group.GetDlgItem(static_cast<int>(ids[i]));
            ASSERT_NE(nullptr, button);
            int left = width - 25 * (CButtonGrp::ButtonCount - i);
            EXPECT_EQ(CRect(left, 1, left + 24, 21), RectIn(*button, group)) << i;
            EXPECT_TRUE(button->GetStyle() & BS_ICON);
            EXPECT_NE(0, button->SendMessage(BM_GETIMAGE, IMAGE_ICON));
        }
        host.log.clear();
        group.GetDlgItem(IDC_BUTTONGRP_UP)->SendMessage(BM_CLICK);
        EXPECT_EQ(std::vector<UINT>{IDC_BUTTONGRP_UP}, host.MenuCommands());
        group.DestroyWindow();
    }
}

TEST(ButtonGroup, EachButtonHasItsTooltipFromTheStringTable)
{
    CLogHostWnd host;
    HWND frame = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 22, host.GetSafeHwnd(),
                                 reinterpret_cast<HMENU>(900), nullptr, nullptr);
    CButtonGrp group;
    ASSERT_TRUE(group.SubclassWindow(frame));
    CToolTipCtrl& tip = group.GetToolTip();
    ASSERT_NE(nullptr, tip.GetSafeHwnd());
    EXPECT_EQ(6, tip.GetToolCount());
    CString text;
    tip.GetText(text, group.GetDlgItem(IDC_BUTTONGRP_UP));
    EXPECT_EQ(CString(L"上へ"), text);
}

namespace {

void AddColumns(CHeaderCtrl& header, std::initializer_list<LPCWSTR> titles)
{
    int i = 0;
    for (LPCWSTR title : titles) {
        HDITEMW item = {};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = const_cast<LPWSTR>(title);
        item.cxy = 100;
        item.fmt = HDF_LEFT | HDF_STRING;
        header.InsertItem(i++, &item);
    }
}

int FormatOf(CHeaderCtrl& header, int column)
{
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    header.GetItem(column, &item);
    return item.fmt;
}

} // namespace

TEST(FlatHeader, SortMarkMakesTheColumnOwnerDrawnUnlessItCarriesABitmap)
{
    CLogHostWnd host;
    CCJFlatHeaderCtrl header;
    ASSERT_TRUE(header.Create(WS_CHILD | WS_VISIBLE | HDS_HORZ, CRect(10, 10, 310, 34), &host, 700));
    AddColumns(header, {L"名前", L"サイズ", L"日付"});
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, nullptr);
    HDITEMW item = {};
    item.mask = HDI_FORMAT | HDI_BITMAP;
    item.fmt = HDF_BITMAP;
    item.hbm = bitmap;
    header.SetItem(2, &item);

    EXPECT_EQ(-1, header.SetSortMark(0, TRUE));
    EXPECT_TRUE(FormatOf(header, 0) & HDF_OWNERDRAW);
    EXPECT_EQ(0, header.SetSortMark(1, FALSE));
    EXPECT_TRUE(FormatOf(header, 1) & HDF_OWNERDRAW);
    EXPECT_TRUE(FormatOf(header, 0) & HDF_OWNERDRAW);
    EXPECT_EQ(1, header.SetSortMark(2, TRUE));
    EXPECT_FALSE(FormatOf(header, 2) & HDF_OWNERDRAW);
    EXPECT_EQ(2, header.GetSortColumn());
    header.DestroyWindow();
    DeleteObject(bitmap);
}

TEST(FlatHeader, SortColumnShowsItsArrowAndTheOwnFontIsTheTwelvePixelGothic)
{
    CLogHostWnd host;
    CCJFlatHeaderCtrl header;
    ASSERT_TRUE(header.Create(WS_CHILD | WS_VISIBLE | HDS_HORZ, CRect(10, 10, 310, 34), &host, 700));
    AddColumns(header, {L"名前", L"サイズ"});
    header.EnableFlat(TRUE);
    EXPECT_TRUE(header.IsFlat());
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(header.SendMessage(WM_GETFONT)), sizeof(font), &font);
    EXPECT_EQ(-12, font.lfHeight);
    EXPECT_STREQ(L"ＭＳ Ｐゴシック", font.lfFaceName);

    for (BOOL ascending : {TRUE, FALSE}) {
        header.SetSortMark(1, ascending);
        MemoryCanvas canvas(100, 24);
        const int o = 2 * canvas.DC()->GetTextExtent(L" ", 1).cx;
        DRAWITEMSTRUCT item = {
            ODT_HEADER, 700, 1, ODA_DRAWENTIRE, 0, header.GetSafeHwnd(), canvas.DC()->GetSafeHdc(), {0, 0, 100, 24}, 0};
        header.DrawItem(&item);
        // The arrow, lit on one side and shaded on the other, in the room kept right of the text.
        const CRect arrow(100 - 3 * o, 0, 100, 24);
        EXPECT_GT(canvas.CountColour(arrow, GetSysColor(COLOR_BTNHILIGHT)), o / 2) << ascending;
        EXPECT_GT(canvas.CountColour(arrow, GetSysColor(COLOR_BTNSHADOW)), o / 2) << ascending;
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), canvas.Pixel(1, 1));
    }
}
