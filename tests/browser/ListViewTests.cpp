// The file list view in the program's frame: columns from the settings, rows in the document's
// order, header sorting with its history, the document and the grid following the rows, and
// the selection kept in step both ways.
#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "browser/ShellImageList.h"
#include "catalogue/VyxFile.h"

#include <algorithm>

namespace {

using Keys = LstSortKeys;

void ClickHeader(CLstView& list, int column)
{
    NMLISTVIEW info = {};
    info.hdr.hwndFrom = list.GetSafeHwnd();
    info.hdr.idFrom = static_cast<UINT_PTR>(list.GetDlgCtrlID());
    info.hdr.code = LVN_COLUMNCLICK;
    info.iItem = -1;
    info.iSubItem = column;
    list.GetParent()->SendMessage(WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
}

CString HeaderText(CLstView& list, int column)
{
    wchar_t text[64] = {};
    LVCOLUMNW header = {};
    header.mask = LVCF_TEXT;
    header.pszText = text;
    header.cchTextMax = 64;
    list.GetListCtrl().GetColumn(column, &header);
    return text;
}

// File names of the rows, and of the document's items in view order.
std::vector<CString> RowNames(CLstView& list)
{
    std::vector<CString> names;
    for (int row = 0; row < list.GetListCtrl().GetItemCount(); ++row)
        names.push_back(list.GetRowItem(row) ? list.GetRowItem(row)->GetFileName() : CString(L"?"));
    return names;
}

std::vector<CString> ItemNames(CKWDoc* doc)
{
    std::vector<CString> names;
    for (int i = 0; i < doc->GetItemCount(); ++i)
        names.push_back(doc->GetItem(i)->GetFileName());
    return names;
}

// Files of those sizes in bytes; the program's own folder "sub" stays.
void StartOnSizedFiles(FrameProgram& p, std::initializer_list<std::pair<LPCWSTR, int>> files)
{
    DeleteFileW(p.m_folder / L"a.jpg");
    DeleteFileW(p.m_folder / L"b.jpg");
    for (const auto& file : files)
        p.m_folder.WriteFile(file.first, std::string(static_cast<size_t>(file.second), 'x'));
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
}

} // namespace

TEST(ListView, ColumnsFollowTheSettingsAndADamagedOrderIsLeftAlone)
{
    for (LPCWSTR order : {L"1,0,2,3,4,5,6,7", L"0,0,1,2,3,4,5,6", L"9,8"}) {
        FrameProgram p(
            [&] {
                WriteAppIniString(L"LstView", L"Enable", L"1,0,1,1,0,1,1,1,1,1");
                WriteAppIniString(L"LstView", L"Column", L"90,0,x");
                WriteAppIniString(L"LstView", L"Index", order);
                WriteAppIniInt(L"LstView", L"AutoColumnSize", 0);
            },
            true);
        CLstView* list = ListView(p);
        ASSERT_NE(nullptr, list);
        ASSERT_EQ(8, list->GetShownColumnCount());
        EXPECT_EQ(Keys::KeySize, list->GetColumnKey(1));
        EXPECT_EQ(-1, list->GetKeyColumn(Keys::KeyPixels));
        EXPECT_EQ(CString(L" 名前"), HeaderText(*list, 0));
        EXPECT_EQ(90, list->GetListCtrl().GetColumnWidth(0));
        EXPECT_EQ(50, list->GetListCtrl().GetColumnWidth(1));
        EXPECT_EQ(50, list->GetListCtrl().GetColumnWidth(2));
        int positions[8] = {};
        list->GetListCtrl().GetColumnOrderArray(positions, 8);
        const bool swapped = CString(order) == L"1,0,2,3,4,5,6,7";
        EXPECT_EQ(swapped ? 1 : 0, positions[0]) << order;
        EXPECT_EQ(swapped ? 0 : 1, positions[1]) << order;
    }
}

TEST(ListView, RowsShowTheItemsInTheirOrderAndTheSelectionGoesBothWays)
{
    FrameProgram p;
    CLstView* list = ListView(p);
    CKWDoc* doc = p.Document();
    CListCtrl& rows = list->GetListCtrl();
    ASSERT_EQ(doc->GetItemCount(), rows.GetItemCount());
    EXPECT_EQ(RowNames(*list), ItemNames(doc));
    const std::vector<CString> names = RowNames(*list);
    const int a = static_cast<int>(std::find(names.begin(), names.end(), CString(L"a.jpg")) - names.begin());
    EXPECT_EQ(CString(L"a"), rows.GetItemText(a, list->GetKeyColumn(Keys::KeyName)));
    EXPECT_EQ(CString(L"jpg"), rows.GetItemText(a, list->GetKeyColumn(Keys::KeyExtension)));
    EXPECT_EQ(CString(L"4"), rows.GetItemText(a, list->GetKeyColumn(Keys::KeySize)));

    // From the document: the row takes the state without telling the document again.
    const int hints = p.m_hints.Count(HintSelection);
    doc->SelectItem(a, true, nullptr);
    EXPECT_EQ(static_cast<UINT>(LVIS_SELECTED), rows.GetItemState(a, LVIS_SELECTED));
    EXPECT_EQ(hints + 1, p.m_hints.Count(HintSelection));
    // From the user: the document selects the item and the other views hear of it.
    const int other = a == 0 ? 1 : 0;
    rows.SetItemState(other, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_TRUE(doc->GetItem(other)->TestFlags(VyxFilexDraw::FlagSelected));
    EXPECT_EQ(other, doc->GetCursorIndex());
    EXPECT_EQ(hints + 2, p.m_hints.Count(HintSelection));
    // The document's cursor moves the focus.
    doc->SetCursorIndex(a, nullptr);
    EXPECT_EQ(static_cast<UINT>(LVIS_FOCUSED), rows.GetItemState(a, LVIS_FOCUSED));
    EXPECT_EQ(0u, rows.GetItemState(other, LVIS_FOCUSED));
}

TEST(ListView, HeaderClicksSortTheRowsAndTheDocumentAndGridFollow)
{
    FrameProgram p(nullptr, false);
    StartOnSizedFiles(p, {{L"three.jpg", 3}, {L"one.jpg", 1}, {L"two.jpg", 2}});
    CLstView* list = ListView(p);
    CKWDoc* doc = p.Document();
    const int size = list->GetKeyColumn(Keys::KeySize);
    const int redraws = p.m_hints.Count(HintRedraw);
    ClickHeader(*list, size);
    EXPECT_EQ((std::vector<CString>{L"sub", L"one.jpg", L"two.jpg", L"three.jpg"}), RowNames(*list));
    EXPECT_EQ(RowNames(*list), ItemNames(doc));
    EXPECT_EQ(CString(L"ｻｲｽﾞ▲ "), HeaderText(*list, size));
    EXPECT_EQ(redraws + 1, p.m_hints.Count(HintRedraw));
    ClickHeader(*list, size);
    EXPECT_EQ((std::vector<CString>{L"sub", L"three.jpg", L"two.jpg", L"one.jpg"}), RowNames(*list));
    EXPECT_EQ(CString(L"ｻｲｽﾞ▼ "), HeaderText(*list, size));
    ClickHeader(*list, size);
    EXPECT_EQ(CString(L"ｻｲｽﾞ▲ "), HeaderText(*list, size));
    EXPECT_EQ(RowNames(*list), ItemNames(doc));
    // The grid draws the document's order: its first file cell is the smallest file.
    CKWView* grid = ThumbView(p);
    PaintAndIdle(p);
    EXPECT_EQ(grid->GetLayout().GetCellOrigin(1), CPoint(doc->GetItem(1)->GetPosition()));
    EXPECT_EQ(CString(L"one.jpg"), doc->GetItem(1)->GetFileName());
    // Another key shows its own header; the size header is plain again.
    ClickHeader(*list, list->GetKeyColumn(Keys::KeyName));
    EXPECT_EQ(CString(L"ｻｲｽﾞ"), HeaderText(*list, size));
    EXPECT_EQ(CString(L" 名前▲"), HeaderText(*list, list->GetKeyColumn(Keys::KeyName)));
}

TEST(ListView, TheSortHistoryIsReplayedAfterAReloadAndKeptForTheNextStart)
{
    FrameProgram p(nullptr, false);
    StartOnSizedFiles(p, {{L"x1.jpg", 2}, {L"y1.png", 1}, {L"x2.jpg", 1}, {L"y2.png", 2}});
    CLstView* list = ListView(p);
    ClickHeader(*list, list->GetKeyColumn(Keys::KeySize));
    ClickHeader(*list, list->GetKeyColumn(Keys::KeyExtension));
    const std::vector<CString> expected{L"sub", L"x2.jpg", L"x1.jpg", L"y1.png", L"y2.png"};
    EXPECT_EQ(expected, RowNames(*list));
    EXPECT_EQ((std::vector<DWORD>{0x10001, 0x10002}), list->GetSortHistory());
    p.Document()->Refresh(false);
    EXPECT_EQ(expected, RowNames(*list));
    EXPECT_EQ(expected, ItemNames(p.Document()));
    p.Close();
    EXPECT_EQ(CString(L"65537,65538,"), ReadSetting(L"LstView", L"SortHistory"));
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    EXPECT_EQ(expected, RowNames(*ListView(p)));
    EXPECT_EQ(CString(L" 拡張子▲"), HeaderText(*ListView(p), ListView(p)->GetKeyColumn(Keys::KeyExtension)));
}

TEST(ListView, TheColumnChooserRemovesAndAppendsColumnsAndTheirSettingsAreWritten)
{
    FrameProgram p;
    CLstView* list = ListView(p);
    // With names to measure, the name column is widened to them.
    EXPECT_EQ(list->GetNameWidth(), list->GetListCtrl().GetColumnWidth(0));
    EXPECT_GE(list->GetNameWidth(), 100);
    const int rows = list->GetListCtrl().GetItemCount();
    list->ToggleColumn(Keys::KeyName);
    EXPECT_EQ(9, list->GetShownColumnCount());
    EXPECT_EQ(Keys::KeyExtension, list->GetColumnKey(0));
    EXPECT_EQ(-1, list->GetKeyColumn(Keys::KeyName));
    EXPECT_EQ(0, list->GetKeyColumn(Keys::KeyExtension));
    list->ToggleColumn(Keys::KeyName);
    EXPECT_EQ(10, list->GetShownColumnCount());
    EXPECT_EQ(Keys::KeyName, list->GetColumnKey(9));
    EXPECT_EQ(CString(L" 名前"), HeaderText(*list, 9));
    EXPECT_EQ(50, list->GetListCtrl().GetColumnWidth(9));
    EXPECT_EQ(rows, list->GetListCtrl().GetItemCount());
    list->ToggleColumn(Keys::KeyNote);
    // The style commands; the widths are read back in report style when the view closes.
    list->SendMessage(WM_COMMAND, ID_LIST_LIST);
    EXPECT_EQ(static_cast<DWORD>(LVS_LIST), list->GetStyle() & LVS_TYPEMASK);
    list->SendMessage(WM_COMMAND, ID_LIST_SMALL_ICONS);
    EXPECT_EQ(static_cast<DWORD>(LVS_SMALLICON), list->GetStyle() & LVS_TYPEMASK);
    p.Close();
    EXPECT_EQ(CString(L"1,1,1,1,1,1,1,1,0,1,"), ReadSetting(L"LstView", L"Enable"));
    EXPECT_EQ(CString(L"0,1,2,3,4,5,6,7,8,"), ReadSetting(L"LstView", L"Index"));
    const CString widths = ReadSetting(L"LstView", L"Column");
    EXPECT_EQ(9, std::count(widths.GetString(), widths.GetString() + widths.GetLength(), L',')) << widths.GetString();
    EXPECT_EQ(CString(L"0"), ReadSetting(L"LstView", L"NameNumberSort"));
    EXPECT_NE(CString(L"<none>"), ReadSetting(L"LstView", L"Window"));
}

namespace {

// The list's client area as the screen shows it.
std::vector<COLORREF> ClientPixels(CWnd& window)
{
    CRect client;
    window.GetClientRect(&client);
    CClientDC dc(&window);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < client.bottom; y += 2)
        for (int x = 0; x < client.right; x += 2)
            pixels.push_back(dc.GetPixel(x, y));
    return pixels;
}

} // namespace

TEST(ListView, BackToDetailsTheListIsDrawnAnewAtOnce)
{
    FrameProgram p;
    CLstView* list = ListView(p);
    list->SendMessage(WM_COMMAND, ID_LIST_SMALL_ICONS);
    list->UpdateWindow();
    const std::vector<COLORREF> icons = ClientPixels(*list);
    list->SendMessage(WM_COMMAND, ID_LIST_DETAILS);
    list->UpdateWindow();
    const std::vector<COLORREF> shown = ClientPixels(*list);
    EXPECT_NE(icons, shown);
    // Nothing is left of the icon layout: a full repaint changes no pixel.
    list->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const std::vector<COLORREF> repainted = ClientPixels(*list);
    ASSERT_EQ(shown.size(), repainted.size());
    size_t differing = 0;
    for (size_t i = 0; i < shown.size(); ++i)
        differing += shown[i] != repainted[i];
    EXPECT_EQ(0u, differing);
}

TEST(ListView, TheFirstWidthsShowEveryHeaderWithItsSortMark)
{
    FrameProgram p;
    CLstView* list = ListView(p);
    CHeaderCtrl* header = list->GetListCtrl().GetHeaderCtrl();
    ASSERT_NE(nullptr, header);
    CClientDC dc(header);
    HFONT font = reinterpret_cast<HFONT>(header->SendMessage(WM_GETFONT));
    HGDIOBJ old = ::SelectObject(dc.GetSafeHdc(), font ? font : ::GetStockObject(SYSTEM_FONT));
    // The header leaves three edges on either side of its text.
    const int margins = 6 * GetSystemMetrics(SM_CXEDGE);
    for (int column = 0; column < list->GetShownColumnCount(); ++column) {
        const int key = list->GetColumnKey(column);
        for (int direction = 0; direction < Keys::GetVariantCount(key); ++direction) {
            const CString text = Keys::GetHeader(key, direction);
            EXPECT_GE(list->GetListCtrl().GetColumnWidth(column), dc.GetTextExtent(text).cx + margins)
                << text.GetString();
        }
    }
    ::SelectObject(dc.GetSafeHdc(), old);
}

namespace {

// Every row sent into the list, and the rows sent while it held an image list, as a hook on the
// thread's sent messages sees them.
struct InsertWatch
{
    static HWND s_list;
    static int s_rows;
    static int s_rowsWithImages;

    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sent->hwnd == s_list && sent->message == LVM_INSERTITEMW) {
            ++s_rows;
            if (::SendMessageW(s_list, LVM_GETIMAGELIST, LVSIL_SMALL, 0) ||
                ::SendMessageW(s_list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0))
                ++s_rowsWithImages;
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

HWND InsertWatch::s_list = nullptr;
int InsertWatch::s_rows = 0;
int InsertWatch::s_rowsWithImages = 0;

} // namespace

TEST(ListView, RowsGoInWithoutImageListsAndTheShellsListsComeBackWithThem)
{
    FrameProgram p;
    CLstView* list = ListView(p);
    ASSERT_NE(nullptr, list);
    ASSERT_NE(nullptr, list->GetListCtrl().GetImageList(LVSIL_SMALL));
    InsertWatch::s_list = list->GetSafeHwnd();
    InsertWatch::s_rows = InsertWatch::s_rowsWithImages = 0;
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &InsertWatch::Hook, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    p.Document()->Refresh(false);
    ::UnhookWindowsHookEx(hook);
    // The rows are the document's items, asked for when drawn: none is put in one at a time (Wine's
    // list would work through every row inserted, twice over while it holds an image list).
    EXPECT_EQ(0, InsertWatch::s_rows);
    EXPECT_EQ(p.Document()->GetItemCount(), list->GetListCtrl().GetItemCount());
    EXPECT_EQ(0, InsertWatch::s_rowsWithImages);
    CImageList* small = list->GetListCtrl().GetImageList(LVSIL_SMALL);
    CImageList* large = list->GetListCtrl().GetImageList(LVSIL_NORMAL);
    ASSERT_NE(nullptr, small);
    ASSERT_NE(nullptr, large);
    EXPECT_EQ(GetShellImageList(TRUE), small->GetSafeHandle());
    EXPECT_EQ(GetShellImageList(FALSE), large->GetSafeHandle());
}

TEST(ListView, TheNameColumnTakesTheWidthTheRuleGivesForTheNamesAsTheFontDrawsThem)
{
    FrameProgram p(nullptr, false);
    EmptyProgramFolder(p);
    for (LPCWSTR name : {L"IMG_0001.JPG", L"写真_2024.夏休み.沖縄の海と空.jpg", L"ｶﾀｶﾅ_ﾒﾓ.png", L"a.bmp",
                         L"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW.gif"})
        p.m_folder.WriteFile(name, "x");
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CLstView* list = ListView(p);
    ASSERT_NE(nullptr, list);
    // The rule, row by row in the list's order, with the device measuring each whole name.
    CClientDC dc(list);
    dc.SelectObject(list->GetFont());
    int expected = GetAppIniInt(L"LstView", L"AutoColumnSizeMin", 100);
    for (int row = 0; row < list->GetListCtrl().GetItemCount(); ++row) {
        const CString name = list->GetRowItem(row)->GetFileName();
        const int width = dc.GetTextExtent(name).cx;
        const int cap = 30 * width / name.GetLength();
        if (expected < width + 32)
            expected = std::min(cap, width) + 32;
    }
    EXPECT_EQ(expected, list->GetNameWidth());
    EXPECT_GT(expected, 100);
}
