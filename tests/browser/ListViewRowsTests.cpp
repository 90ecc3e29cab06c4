// The file list's rows as the document's items: a folder listed, left and closed without the
// list taking or freeing a row at a time; the grid's keys moving the list's focus without a
// request that goes through every row; and the rows' selection, cursor and letters as the user
// gives them with the mouse and the keyboard.
#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "catalogue/VyxFile.h"
#include "common/RealInput.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The messages of a thread that ask the list for work row by row, or for every row at once, as
// a hook on the thread's sent messages sees them.
struct RowWatch
{
    static HWND s_list;
    static int s_inserted; // rows put in one at a time
    static int s_freed;    // rows let go one at a time (asked for, or told the parent)
    static int s_everyRow; // state changes asked for every row at once

    static void Reset(HWND list)
    {
        s_list = list;
        s_inserted = s_freed = s_everyRow = 0;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sent->hwnd == s_list) {
            s_inserted += sent->message == LVM_INSERTITEMW;
            s_freed += sent->message == LVM_DELETEITEM;
            s_everyRow += sent->message == LVM_SETITEMSTATE && static_cast<int>(sent->wParam) == -1;
        }
        if (code == HC_ACTION && sent->message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(sent->lParam);
            s_freed += header && header->hwndFrom == s_list && header->code == LVN_DELETEITEM;
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

HWND RowWatch::s_list = nullptr;
int RowWatch::s_inserted = 0;
int RowWatch::s_freed = 0;
int RowWatch::s_everyRow = 0;

class WatchScope
{
public:
    explicit WatchScope(CLstView& list)
    {
        RowWatch::Reset(list.GetSafeHwnd());
        m_hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &RowWatch::Hook, nullptr, ::GetCurrentThreadId());
    }
    ~WatchScope() { ::UnhookWindowsHookEx(m_hook); }
    bool Hooked() const { return m_hook != nullptr; }

private:
    HHOOK m_hook;
};

// Files named n000.jpg ... in the program's folder, beside its own.
void PutFiles(FrameProgram& p, int count)
{
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"n%03d.jpg", i);
        p.m_folder.WriteFile(name, std::string(static_cast<size_t>(i % 7 + 1), 'x'));
    }
}

// The program started on its folder with count files put there first; its list, or null.
CLstView* StartOnFiles(FrameProgram& p, int count)
{
    PutFiles(p, count);
    return p.Start(p.m_folder.Path()) ? ListView(p) : nullptr;
}

bool RowsAreTheItems(CLstView& list, CKWDoc* doc)
{
    if (list.GetListCtrl().GetItemCount() != doc->GetItemCount())
        return false;
    for (int row = 0; row < doc->GetItemCount(); ++row)
        if (list.GetRowItem(row) != doc->GetItem(row))
            return false;
    return true;
}

// The rows the list shows selected, and the items the document holds selected.
std::vector<int> SelectedRows(CLstView& list)
{
    std::vector<int> rows;
    for (int row = 0; row < list.GetListCtrl().GetItemCount(); ++row)
        if (list.GetListCtrl().GetItemState(row, LVIS_SELECTED))
            rows.push_back(row);
    return rows;
}

std::vector<int> SelectedItems(CKWDoc* doc)
{
    std::vector<int> items;
    for (int i = 0; i < doc->GetItemCount(); ++i)
        if (doc->GetItem(i)->TestFlags(VyxFilexDraw::FlagSelected))
            items.push_back(i);
    return items;
}

int RowOf(CKWDoc* doc, LPCWSTR name)
{
    for (int i = 0; i < doc->GetItemCount(); ++i)
        if (doc->GetItem(i)->GetFileName() == name)
            return i;
    return -1;
}

// A row's point on the screen, in its name column.
CPoint RowPoint(CLstView& list, int row)
{
    CRect rect;
    list.GetListCtrl().GetSubItemRect(row, 0, LVIR_LABEL, rect);
    CPoint point(rect.left + 8, rect.CenterPoint().y);
    list.ClientToScreen(&point);
    return point;
}

// The grid's first cell clicked as the user clicks it: the cursor on it and the grid focused.
bool ClickFirstCell(CKWView& grid, CKWDoc* doc)
{
    CPoint cell = grid.GetLayout().GetCellOrigin(0) - grid.GetScrollOffset() + CPoint(8, 8);
    grid.ClientToScreen(&cell);
    return ShowsAt(grid.GetSafeHwnd(), cell) &&
           ClickOnScreen(cell, [&] { return doc->GetCursorIndex() == 0 && GetFocus() == grid.GetSafeHwnd(); });
}

} // namespace

TEST(ListView, AFolderListedLeftAndClosedTakesOrFreesNoRowAtATime)
{
    FrameProgram p(nullptr, false);
    CLstView* list = StartOnFiles(p, 300);
    ASSERT_NE(nullptr, list);
    CKWDoc* doc = p.Document();
    WatchScope watch(*list);
    ASSERT_TRUE(watch.Hooked());
    doc->Refresh(false);
    EXPECT_TRUE(RowsAreTheItems(*list, doc));
    const CString sub = p.m_folder / L"sub";
    doc->OpenFolder(CVirtualFolder(sub, sub, CVirtualFolder::KindPlainFolder), nullptr);
    EXPECT_EQ(0, list->GetListCtrl().GetItemCount());
    doc->OpenFolder(CVirtualFolder(p.m_folder.Path(), p.m_folder.Path(), CVirtualFolder::KindPlainFolder), nullptr);
    EXPECT_EQ(303, list->GetListCtrl().GetItemCount());
    EXPECT_TRUE(RowsAreTheItems(*list, doc));
    p.Close();
    EXPECT_EQ(0, RowWatch::s_inserted);
    EXPECT_EQ(0, RowWatch::s_freed);
}

TEST(ListView, TheGridsKeysMoveTheListsFocusWithoutAskingForEveryRow)
{
    FrameProgram p(nullptr, false);
    CLstView* list = StartOnFiles(p, 120);
    CKWView* grid = ThumbView(p);
    ASSERT_NE(nullptr, list);
    CKWDoc* doc = p.Document();
    PaintAndIdle(p);
    WatchScope watch(*list);
    // The first cell clicked, then End, Home and PageDown as the user presses them.
    ASSERT_TRUE(ClickFirstCell(*grid, doc));
    const int last = doc->GetItemCount() - 1;
    CListCtrl& rows = list->GetListCtrl();
    ASSERT_TRUE(Press(VK_END, 0, [&] { return doc->GetCursorIndex() == last; }));
    EXPECT_EQ(last, rows.GetNextItem(-1, LVNI_FOCUSED));
    EXPECT_GE(last, rows.GetTopIndex());
    EXPECT_LT(last, rows.GetTopIndex() + rows.GetCountPerPage());
    ASSERT_TRUE(Press(VK_HOME, 0, [&] { return doc->GetCursorIndex() == 0; }));
    EXPECT_EQ(0, rows.GetNextItem(-1, LVNI_FOCUSED));
    ASSERT_TRUE(Press(VK_NEXT, 0, [&] { return doc->GetCursorIndex() > 0; }));
    EXPECT_EQ(doc->GetCursorIndex(), rows.GetNextItem(-1, LVNI_FOCUSED));
    EXPECT_EQ(SelectedItems(doc), SelectedRows(*list));
    EXPECT_EQ(0, RowWatch::s_everyRow);
}

TEST(ListView, ClicksInTheListChooseTheSameItemsInTheDocument)
{
    FrameProgram p(nullptr, false);
    CLstView* list = StartOnFiles(p, 8);
    ASSERT_NE(nullptr, list);
    CKWDoc* doc = p.Document();
    PaintAndIdle(p);
    list->UpdateWindow();
    ASSERT_TRUE(ShowsAt(list->GetSafeHwnd(), RowPoint(*list, 1)));
    auto click = [&](int row, WORD key, std::vector<int> expected) {
        if (key)
            SendKeyStrokes({{key, true}});
        SendClick(RowPoint(*list, row), MOUSEEVENTF_LEFTDOWN);
        if (key)
            SendKeyStrokes({{key, false}});
        EXPECT_TRUE(RunLoopUntil([&] { return SelectedItems(doc) == expected && doc->GetCursorIndex() == row; }))
            << "row " << row;
        EXPECT_EQ(expected, SelectedRows(*list)) << "row " << row;
    };
    click(1, 0, {1});
    // A range with Shift, a row taken out with Ctrl, then a plain click that leaves only its row.
    click(5, VK_SHIFT, {1, 2, 3, 4, 5});
    click(3, VK_CONTROL, {1, 2, 4, 5});
    click(6, 0, {6});
    EXPECT_EQ(6, list->GetListCtrl().GetNextItem(-1, LVNI_FOCUSED));
}

TEST(ListView, ASortKeepsEachItemsSelectionAndTheCursorOnItsItem)
{
    FrameProgram p(nullptr, false);
    CLstView* list = StartOnFiles(p, 12);
    ASSERT_NE(nullptr, list);
    CKWDoc* doc = p.Document();
    const int a = RowOf(doc, L"n003.jpg"), b = RowOf(doc, L"n009.jpg");
    doc->SelectItem(a, true, nullptr);
    doc->SelectItem(b, true, nullptr);
    doc->SetCursorIndex(b, nullptr);
    VyxFile* cursorItem = doc->GetItem(b);
    list->SortBy(LstSortKeys::KeySize, 2);
    EXPECT_TRUE(RowsAreTheItems(*list, doc));
    std::vector<CString> chosen;
    for (int i : SelectedItems(doc))
        chosen.push_back(doc->GetItem(i)->GetFileName());
    std::sort(chosen.begin(), chosen.end());
    EXPECT_EQ((std::vector<CString>{L"n003.jpg", L"n009.jpg"}), chosen);
    EXPECT_EQ(SelectedItems(doc), SelectedRows(*list));
    EXPECT_EQ(cursorItem, list->GetRowItem(list->GetListCtrl().GetNextItem(-1, LVNI_FOCUSED)));
    EXPECT_NE(b, RowOf(doc, L"n009.jpg"));
}

TEST(ListView, AFolderKeepsItsIconAfterASort)
{
    FrameProgram p(nullptr, false);
    CLstView* list = StartOnFiles(p, 12);
    ASSERT_NE(nullptr, list);
    CKWDoc* doc = p.Document();
    // The folder listed last, its row's icon asked for as the list is drawn.
    const int folder = RowOf(doc, L"sub");
    ASSERT_NE(-1, folder);
    VyxFileArray& items = doc->GetItemArray();
    const int entry = items.GetOrderEntry(folder), last = doc->GetItemCount() - 1;
    for (int i = folder; i < last; ++i)
        doc->SetOrderAt(i, items.GetOrderEntry(i + 1));
    doc->SetOrderAt(last, entry);
    doc->UpdateAllViews(nullptr, HintListRebuilt, nullptr);
    ASSERT_EQ(last, RowOf(doc, L"sub"));
    CListCtrl& rows = list->GetListCtrl();
    auto shown = [&] {
        PaintAndIdle(p);
        rows.EnsureVisible(last, FALSE);
        list->UpdateWindow();
        rows.EnsureVisible(0, FALSE);
        list->UpdateWindow();
    };
    auto iconOf = [](DWORD attributes) {
        SHFILEINFOW shell = {};
        SHGetFileInfoW(L"x.jpg", attributes, &shell, sizeof(shell),
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
        return shell.iIcon;
    };
    const int folderIcon = iconOf(FILE_ATTRIBUTE_DIRECTORY), fileIcon = iconOf(FILE_ATTRIBUTE_NORMAL);
    ASSERT_NE(folderIcon, fileIcon);
    auto checkIcons = [&] {
        for (int row = 0; row < rows.GetItemCount(); ++row) {
            LVITEMW item = {};
            item.mask = LVIF_IMAGE;
            item.iItem = row;
            ASSERT_TRUE(rows.GetItem(&item));
            EXPECT_EQ(list->GetRowItem(row)->IsFolder() ? folderIcon : fileIcon, item.iImage)
                << CStringA(list->GetRowItem(row)->GetFileName()).GetString();
        }
    };
    shown();
    checkIcons();
    // Folders go to the top of every sort.
    list->SortBy(LstSortKeys::KeySize, 2);
    ASSERT_NE(last, RowOf(doc, L"sub"));
    shown();
    checkIcons();
}

TEST(ListView, LettersTypedInTheListGoToTheRowOfThatName)
{
    FrameProgram p(nullptr, false);
    EmptyProgramFolder(p);
    // Letters that are no key of the frame (C copies, M moves, R renames...).
    for (LPCWSTR name : {L"apple.jpg", L"banana.jpg", L"damson.jpg", L"dates.jpg", L"egg.jpg"})
        p.m_folder.WriteFile(name, "x");
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CLstView* list = ListView(p);
    ASSERT_NE(nullptr, list);
    CKWDoc* doc = p.Document();
    PaintAndIdle(p);
    list->UpdateWindow();
    const CPoint first = RowPoint(*list, 0);
    ASSERT_TRUE(ShowsAt(list->GetSafeHwnd(), first));
    ASSERT_TRUE(ClickOnScreen(first, [&] { return GetFocus() == list->GetSafeHwnd(); }));
    CListCtrl& rows = list->GetListCtrl();
    auto focusedName = [&] {
        VyxFile* item = list->GetRowItem(rows.GetNextItem(-1, LVNI_FOCUSED));
        return item ? item->GetFileName() : CString();
    };
    // The first letters of a name typed together, past the other name of the same first letters.
    SendKeyStrokes({{'D', true}, {'D', false}, {'A', true}, {'A', false}, {'T', true}, {'T', false}});
    EXPECT_TRUE(RunLoopUntil([&] { return focusedName() == L"dates.jpg"; })) << focusedName().GetString();
    EXPECT_EQ(RowOf(doc, L"dates.jpg"), doc->GetCursorIndex());
}

namespace {

// The window's pixels as the screen shows them, header and scroll bars included, every other one.
std::vector<COLORREF> ScreenPixels(HWND window)
{
    CRect rect;
    ::GetWindowRect(window, &rect);
    HDC screen = ::GetDC(nullptr);
    std::vector<COLORREF> pixels;
    for (int y = rect.top; y < rect.bottom; y += 2)
        for (int x = rect.left; x < rect.right; x += 2)
            pixels.push_back(::GetPixel(screen, x, y));
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

// The bar between the tree and the list pressed, moved by dx in steps and let go, as the mouse
// does it; true once the list has moved with it.
bool DragTheBar(CLstView& list, CPoint& bar, int dx)
{
    CRect before;
    list.GetWindowRect(&before);
    SendMouse(bar, 0);
    SendMouse(bar, MOUSEEVENTF_LEFTDOWN);
    for (int step = 1; step <= 5; ++step)
        SendMouse(CPoint(bar.x + dx * step / 5, bar.y), 0);
    bar.x += dx;
    SendMouse(bar, MOUSEEVENTF_LEFTUP);
    return RunLoopUntil([&] {
        CRect now;
        list.GetWindowRect(&now);
        return now.left != before.left && ::GetCapture() == nullptr;
    });
}

} // namespace

TEST(ListView, TheListIsDrawnWholeAfterTheTreesBarMovesWhileItIsScrolledSideways)
{
    FrameProgram p([] { WriteAppIniString(L"LstView", L"Column", L"300,300,300,300,300,300,300,300,300,300"); });
    CLstView* list = ListView(p);
    ASSERT_NE(nullptr, list);
    PaintAndIdle(p);
    // Scrolled to its right end.
    list->GetListCtrl().Scroll(CSize(5000, 0));
    list->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ASSERT_GT(list->GetScrollPos(SB_HORZ), 0);
    CSplitterWnd* outer = DYNAMIC_DOWNCAST(CSplitterWnd, p.Frame()->GetDlgItem(AFX_IDW_PANE_FIRST));
    ASSERT_NE(nullptr, outer);
    CRect tree;
    outer->GetPane(0, 0)->GetWindowRect(&tree);
    CRect pane;
    list->GetWindowRect(&pane);
    CPoint bar((tree.right + pane.left) / 2, pane.top + 40);
    ASSERT_TRUE(ShowsAt(outer->GetSafeHwnd(), bar));
    ASSERT_TRUE(DragTheBar(*list, bar, -150));
    ASSERT_TRUE(DragTheBar(*list, bar, 150));
    RunLoopUntil([] { return true; });
    // The list, the grid below it and the bar between them: drawn anew whole, none changes a pixel.
    for (CWnd* pane : {static_cast<CWnd*>(list), static_cast<CWnd*>(ThumbView(p)), list->GetParent()}) {
        const std::vector<COLORREF> shown = ScreenPixels(pane->GetSafeHwnd());
        pane->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const std::vector<COLORREF> whole = ScreenPixels(pane->GetSafeHwnd());
        ASSERT_EQ(shown.size(), whole.size());
        size_t differing = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            differing += shown[i] != whole[i];
        EXPECT_EQ(0u, differing) << pane->GetRuntimeClass()->m_lpszClassName << ": of " << shown.size();
    }
}

TEST(ListView, ACellsTipAndTabFromTheListServeTheRowsItemAfterASort)
{
    FrameProgram p(nullptr, false);
    CLstView* list = StartOnFiles(p, 12);
    ASSERT_NE(nullptr, list);
    CKWDoc* doc = p.Document();
    PaintAndIdle(p);
    list->SortBy(LstSortKeys::KeySize, 2);
    list->UpdateWindow();
    ASSERT_TRUE(RowsAreTheItems(*list, doc));
    CListCtrl& rows = list->GetListCtrl();
    const int shown = std::min(rows.GetCountPerPage(), rows.GetItemCount());
    ASSERT_GT(shown, 2);
    // Each shown cell's tip is the text of the document's item now at that row.
    int tips = 0;
    for (int row = 0; row < shown; ++row)
        for (int column = 0; column < 2; ++column) {
            CRect rect;
            ASSERT_TRUE(rows.GetSubItemRect(row, column, column ? LVIR_BOUNDS : LVIR_LABEL, rect));
            TOOLINFOW info = {};
            const INT_PTR id = static_cast<const CWnd*>(list)->OnToolHitTest(rect.CenterPoint(), &info);
            ASSERT_NE(-1, id) << row << "," << column;
            NMTTDISPINFOW tip = {};
            tip.hdr.idFrom = static_cast<UINT_PTR>(id);
            tip.hdr.code = TTN_NEEDTEXTW;
            list->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
            ASSERT_NE(nullptr, tip.lpszText);
            EXPECT_EQ(rows.GetItemText(row, column), CString(tip.lpszText)) << row << "," << column;
            tips += CString(tip.lpszText).IsEmpty() ? 0 : 1;
        }
    EXPECT_GE(tips, shown);
    // The name shown (without its extension) is the name of the document's item at that row.
    VyxFile* third = doc->GetItem(2);
    ASSERT_NE(nullptr, third);
    const CString name = rows.GetItemText(2, list->GetKeyColumn(LstSortKeys::KeyName));
    EXPECT_FALSE(name.IsEmpty());
    EXPECT_EQ(0, third->GetFileName().Find(name)) << name.GetString();

    // Tab, pressed in the list, goes on to the next view.
    const CPoint first = RowPoint(*list, 0);
    ASSERT_TRUE(ShowsAt(list->GetSafeHwnd(), first));
    ASSERT_TRUE(ClickOnScreen(first, [&] { return GetFocus() == list->GetSafeHwnd(); }));
    ASSERT_TRUE(Press(VK_TAB, 0, [&] { return GetFocus() != list->GetSafeHwnd() && GetFocus() != nullptr; }));
    CView* focused = DYNAMIC_DOWNCAST(CView, CWnd::FromHandlePermanent(GetFocus()));
    ASSERT_NE(nullptr, focused);
    EXPECT_EQ(doc, focused->GetDocument());
}

TEST(ListView, AFolderListedAfterTheEndOfALargerOneShowsItsFirstRowAtTheTop)
{
    FrameProgram p(nullptr, false);
    const CString small = p.m_folder / L"small";
    ASSERT_TRUE(CreateDirectoryW(small, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    for (int i = 0; i < 20; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"small\\s%02d.jpg", i);
        p.m_folder.WriteFile(name, "x");
    }
    CLstView* list = StartOnFiles(p, 300);
    CKWView* grid = ThumbView(p);
    ASSERT_NE(nullptr, list);
    CKWDoc* doc = p.Document();
    PaintAndIdle(p);
    ASSERT_TRUE(ClickFirstCell(*grid, doc));
    const int last = doc->GetItemCount() - 1;
    ASSERT_TRUE(Press(VK_END, 0, [&] { return doc->GetCursorIndex() == last; }));
    CListCtrl& rows = list->GetListCtrl();
    ASSERT_LT(0, rows.GetTopIndex());
    doc->OpenFolder(CVirtualFolder(small, small, CVirtualFolder::KindPlainFolder), nullptr);
    PaintAndIdle(p);
    ASSERT_EQ(20, rows.GetItemCount());
    EXPECT_EQ(0, rows.GetTopIndex());
    p.Close();
}
