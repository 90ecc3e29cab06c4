#include "common/ControlTestUtil.h"

#include "controls/CCJListCtrl.h"
#include "controls/CVyxListCtrlEx.h"
#include "foundation/VyxIni.h"
#include "res/resource.h"

#include <commctrl.h>

namespace {

// The program's dialogs receive their reordered rows with this message.
static_assert(WMU_ITEMMOVED == 0x808, "the reorder message of the program's dialogs");
const UINT kListId = 800;

struct DragFixture
{
    CLogHostWnd host;
    CVyxListCtrlEx list;
    explicit DragFixture(int rows, int width = 200)
    {
        host.SetWindowPos(nullptr, 60, 60, 400, 300, SWP_NOZORDER);
        list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(10, 10, 310, 210), &host,
                    kListId);
        list.InsertColumn(0, L"名前", LVCFMT_LEFT, width);
        for (int i = 0; i < rows; ++i) {
            CString text;
            text.Format(L"行%d", i);
            list.InsertItem(i, text);
        }
        list.SetNotifyMessage(WMU_ITEMMOVED);
        PumpPending();
    }
    CPoint RowPoint(int row)
    {
        CRect rect;
        list.GetItemRect(row, &rect, LVIR_BOUNDS);
        return CPoint(rect.left + 20, rect.CenterPoint().y);
    }
    // The list tells its parent a drag began, as a mouse drag would.
    void BeginDrag(int row)
    {
        NMLISTVIEW view = {};
        view.hdr.hwndFrom = list.GetSafeHwnd();
        view.hdr.idFrom = kListId;
        view.hdr.code = LVN_BEGINDRAG;
        view.iItem = row;
        view.ptAction = RowPoint(row);
        host.SendMessage(WM_NOTIFY, kListId, reinterpret_cast<LPARAM>(&view));
    }
    void MoveTo(CPoint point) { list.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(point.x, point.y)); }
    void DropAt(CPoint point) { list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y)); }
    UINT State(int row) { return list.GetItemState(row, LVIS_SELECTED | LVIS_FOCUSED); }
};

} // namespace

TEST(ReorderableList, DraggedRowDroppedOnAnotherIsReportedAndTheTargetSelected)
{
    for (bool notify : {true, false}) {
        SCOPED_TRACE(notify ? "with a notify message" : "without one");
        DragFixture f(8);
        if (!notify)
            f.list.SetNotifyMessage(0);
        f.list.SetItemState(4, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        f.BeginDrag(4);
        ASSERT_TRUE(f.list.IsDragging());
        EXPECT_EQ(f.list.GetSafeHwnd(), ::GetCapture());
        f.MoveTo(f.RowPoint(2));
        f.MoveTo(f.RowPoint(1));
        EXPECT_EQ(1, f.list.GetDropTarget());
        EXPECT_EQ(static_cast<UINT>(LVIS_DROPHILITED), f.list.GetItemState(1, LVIS_DROPHILITED));
        EXPECT_EQ(0u, f.list.GetItemState(2, LVIS_DROPHILITED));
        f.DropAt(f.RowPoint(1));
        EXPECT_FALSE(f.list.IsDragging());
        EXPECT_EQ(nullptr, ::GetCapture());
        if (notify) {
            ASSERT_EQ(1, f.host.Count(WMU_ITEMMOVED));
            EXPECT_EQ(4u, f.host.Last(WMU_ITEMMOVED)->wParam);
            EXPECT_EQ(1, f.host.Last(WMU_ITEMMOVED)->lParam);
        } else {
            EXPECT_EQ(0, f.host.Count(WMU_ITEMMOVED));
        }
        EXPECT_EQ(static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED), f.State(1));
        EXPECT_EQ(0u, f.State(4));
        EXPECT_EQ(0u, f.list.GetItemState(1, LVIS_DROPHILITED));
    }
}

TEST(ReorderableList, DropOutsideTheRowsOrOnTheSourceSendsNothing)
{
    DragFixture f(3);
    f.BeginDrag(0);
    CRect last;
    f.list.GetItemRect(2, &last, LVIR_BOUNDS);
    CPoint below(40, last.bottom + 30);
    f.MoveTo(below);
    EXPECT_EQ(-1, f.list.GetDropTarget());
    f.DropAt(below);
    f.BeginDrag(1);
    f.MoveTo(f.RowPoint(1));
    f.DropAt(f.RowPoint(1));
    EXPECT_EQ(0, f.host.Count(WMU_ITEMMOVED));
    EXPECT_FALSE(f.list.IsDragging());
}

TEST(ReorderableList, EscapeOrTheRightButtonCancelsTheDrag)
{
    for (bool escape : {true, false}) {
        DragFixture f(5);
        f.BeginDrag(3);
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        if (escape) {
            keys[VK_ESCAPE] = 0x80;
            SetKeyboardState(keys);
            f.MoveTo(f.RowPoint(1));
            keys[VK_ESCAPE] = 0;
            SetKeyboardState(keys);
        } else {
            CPoint point = f.RowPoint(1);
            f.list.SendMessage(WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(point.x, point.y));
        }
        EXPECT_FALSE(f.list.IsDragging());
        EXPECT_EQ(nullptr, ::GetCapture());
        f.DropAt(f.RowPoint(1));
        EXPECT_EQ(0, f.host.Count(WMU_ITEMMOVED));
    }
}

TEST(ReorderableList, RowWithoutADragImageStartsNoDrag)
{
    // A first column of no width gives the row no image to drag.
    DragFixture f(3, 0);
    EXPECT_EQ(nullptr, f.list.CreateDragImage(1, nullptr));
    f.BeginDrag(1);
    EXPECT_FALSE(f.list.IsDragging());
    EXPECT_EQ(nullptr, ::GetCapture());
}

TEST(ReorderableList, DragImageIsTheFirstColumnWideAndOneRowHigh)
{
    DragFixture f(3, 150);
    CImageList* image = f.list.CreateDragImage(1, nullptr);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(1, image->GetImageCount());
    int cx = 0, cy = 0;
    image->GetIconSize(&cx, &cy);
    CRect row;
    f.list.GetItemRect(1, &row, LVIR_BOUNDS);
    EXPECT_EQ(150, cx);
    EXPECT_EQ(row.Height(), cy);
    delete image;
}

TEST(ReorderableList, RowHeldNearTheBottomEdgeScrollsUntilTheLastRowShows)
{
    DragFixture f(60);
    f.BeginDrag(2);
    CRect client;
    f.list.GetClientRect(&client);
    CPoint zone(40, client.bottom - 6);
    CPoint screen = zone;
    f.list.ClientToScreen(&screen);
    SetCursorPos(screen.x, screen.y);
    f.MoveTo(zone);
    const int lastTop = 60 - f.list.GetCountPerPage();
    EXPECT_TRUE(PumpUntil([&] { return f.list.GetTopIndex() >= lastTop; }, 30000));
    EXPECT_TRUE(f.list.IsDragging());
    f.DropAt(zone);
    EXPECT_FALSE(f.list.IsDragging());
}

namespace {

const UINT kTitles[3] = {IDS_BUTTONGRP_ADD, IDS_BUTTONGRP_DELETE, IDS_BUTTONGRP_UP};

struct ReportFixture
{
    CLogHostWnd host;
    CCJListCtrl list;
    ReportFixture()
    {
        list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(10, 10, 360, 210), &host, kListId);
    }
    void Fill(std::initializer_list<LPCWSTR> texts)
    {
        const int widths[3] = {100, 100, 100};
        list.InsertColumns(3, kTitles, widths);
        int i = 0;
        for (LPCWSTR text : texts) {
            list.InsertItem(LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE, i, text, 0, 0, i, 100 + i);
            list.SetItemText(i, 1, CString(L"#") + text);
            ++i;
        }
    }
    void ClickHeader(int column, int button = 0)
    {
        NMHEADERW header = {};
        header.hdr.hwndFrom = list.GetFlatHeader().GetSafeHwnd();
        header.hdr.idFrom = 0;
        header.hdr.code = HDN_ITEMCLICKW;
        header.iItem = column;
        header.iButton = button;
        list.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    }
    CString Texts(int column)
    {
        CString all;
        for (int i = 0; i < list.GetItemCount(); ++i)
            all += list.GetItemText(i, column) + L" ";
        return all;
    }
};

CString StoredWidths()
{
    return GetAppIniString(L"Settings", L"Control", L"");
}

} // namespace

TEST(ReportList, HeaderIsTheFlatHeaderOfTheList)
{
    ReportFixture f;
    ASSERT_NE(nullptr, f.list.GetFlatHeader().GetSafeHwnd());
    EXPECT_EQ(reinterpret_cast<HWND>(f.list.SendMessage(LVM_GETHEADER)), f.list.GetFlatHeader().GetSafeHwnd());
    EXPECT_TRUE(f.list.GetFlatHeader().IsFlat());
    f.list.AddExtendedStyle(LVS_EX_FULLROWSELECT);
    f.list.AddExtendedStyle(LVS_EX_GRIDLINES);
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES),
              static_cast<DWORD>(f.list.SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)) &
                  (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));
}

TEST(ReportList, HeaderClicksSortAscendingThenDescendingAndKeepEachRowWhole)
{
    ReportFixture f;
    f.Fill({L"b", L"d", L"a", L"c", L"B"});
    f.list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED); // "d"
    f.ClickHeader(0);
    EXPECT_EQ(CString(L"B a b c d "), f.Texts(0));
    EXPECT_EQ(CString(L"#B #a #b #c #d "), f.Texts(1));
    // Each row keeps its own data and selection.
    for (int i = 0; i < 5; ++i) {
        CString text = f.list.GetItemText(i, 0);
        DWORD_PTR data = f.list.GetItemData(i);
        const wchar_t* order = L"bdacB";
        EXPECT_EQ(text[0], order[data - 100]) << i;
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        f.list.GetItem(&item);
        EXPECT_EQ(static_cast<int>(data - 100), item.iImage);
    }
    EXPECT_EQ(static_cast<UINT>(LVIS_SELECTED), f.list.GetItemState(4, LVIS_SELECTED));
    EXPECT_EQ(0, f.list.GetFlatHeader().GetSortColumn());
    EXPECT_TRUE(f.list.GetFlatHeader().IsSortAscending());

    f.ClickHeader(0);
    EXPECT_EQ(CString(L"d c b a B "), f.Texts(0));
    EXPECT_FALSE(f.list.IsSortAscending());
    // A right-button click does not sort.
    f.ClickHeader(1, 1);
    EXPECT_EQ(CString(L"d c b a B "), f.Texts(0));
    f.ClickHeader(1);
    EXPECT_TRUE(f.list.IsSortAscending());
    EXPECT_EQ(CString(L"#B #a #b #c #d "), f.Texts(1));
    EXPECT_EQ(1, f.list.GetSortColumn());
}

TEST(ReportList, EqualTextsAreNeverSwapped)
{
    ReportFixture f;
    f.Fill({L"x", L"x", L"x"});
    f.ClickHeader(0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(static_cast<DWORD_PTR>(100 + i), f.list.GetItemData(i));
    EXPECT_FALSE(f.list.SortByText(3, TRUE));
}

TEST(ReportList, ColumnWidthsComeFromAndGoBackToTheSettingsFile)
{
    WriteAppIniString(L"Settings", L"Control", L"250,20,");
    {
        ReportFixture f;
        f.Fill({L"a"});
        EXPECT_EQ(250, f.list.GetColumnWidth(0));
        EXPECT_EQ(CCJListCtrl::MinColumnWidth, f.list.GetColumnWidth(1));
        EXPECT_EQ(CCJListCtrl::MinColumnWidth, f.list.GetColumnWidth(2));
        EXPECT_EQ(0, f.list.GetStoredColumnWidth(2));
        f.list.SetColumnWidth(1, 120);
        f.list.DestroyWindow();
    }
    EXPECT_EQ(CString(L"250,120,70,"), StoredWidths());
    {
        ReportFixture f;
        f.list.SetWidthsKey(L"Settings", L"OtherList");
        f.Fill({L"a"});
        EXPECT_EQ(CCJListCtrl::MinColumnWidth, f.list.GetColumnWidth(0));
        f.list.DestroyWindow();
    }
    EXPECT_EQ(CString(L"70,70,70,"), GetAppIniString(L"Settings", L"OtherList", L""));
    WriteAppIniString(L"Settings", nullptr, nullptr);
}

TEST(ReportList, SortArrowIsDrawnInTheListsOwnHeader)
{
    ReportFixture f;
    f.Fill({L"b", L"a"});
    f.ClickHeader(0);
    CCJFlatHeaderCtrl& header = f.list.GetFlatHeader();
    header.RedrawWindow();
    CRect item;
    header.GetItemRect(0, &item);
    CClientDC dc(&header);
    CFont* old = dc.SelectObject(header.GetFont());
    const int o = 2 * dc.GetTextExtent(L" ", 1).cx;
    dc.SelectObject(old);
    EXPECT_EQ(GetSysColor(COLOR_BTNHILIGHT), dc.GetPixel(item.right - 2 * o, o - 1));
    // The owner-drawn item's face is the button face, not the header's own background.
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), dc.GetPixel(item.left + 3, item.bottom - 4));
}
