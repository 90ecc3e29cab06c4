// The list and tree controls: items, columns, states, sorting, hit testing and drag images.
#include "common/WindowTestUtil.h"

#include <vector>

namespace {

// Sorts by item data, descending when dwData is 1.
int CALLBACK CompareData(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort)
{
    int order = lParam1 < lParam2 ? -1 : lParam1 > lParam2 ? 1 : 0;
    return lParamSort == 1 ? -order : order;
}

class ListCtrlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_host.MoveWindow(50, 50, 500, 400);
        ASSERT_TRUE(
            m_list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(0, 0, 480, 360), &m_host, 500));
        m_list.InsertColumn(0, L"名前", LVCFMT_LEFT, 150);
        m_list.InsertColumn(1, L"大きさ", LVCFMT_RIGHT, 100);
        const wchar_t* names[] = {L"三.jpg", L"一.png", L"二.bmp"};
        for (int i = 0; i < 3; ++i) {
            int item = m_list.InsertItem(LVIF_TEXT | LVIF_PARAM, i, names[i], 0, 0, 0, 30 - 10 * i);
            m_list.SetItemText(item, 1, std::to_wstring(i * 100).c_str());
        }
    }
    CString Names()
    {
        CString names;
        for (int i = 0; i < m_list.GetItemCount(); ++i)
            names += m_list.GetItemText(i, 0) + L";";
        return names;
    }
    CTestHostWnd m_host;
    CListCtrl m_list;
};

TEST_F(ListCtrlTest, ItemsColumnsAndDataRoundTrip)
{
    EXPECT_EQ(3, m_list.GetItemCount());
    EXPECT_EQ(CString(L"100"), m_list.GetItemText(1, 1));
    EXPECT_EQ(20u, m_list.GetItemData(1));
    EXPECT_TRUE(m_list.SetItemData(1, 77));
    EXPECT_EQ(77u, m_list.GetItemData(1));
    EXPECT_EQ(150, m_list.GetColumnWidth(0));
    EXPECT_TRUE(m_list.SetColumnWidth(1, 60));
    EXPECT_EQ(60, m_list.GetColumnWidth(1));
    LVCOLUMNW column = {};
    wchar_t heading[32] = {};
    column.mask = LVCF_TEXT;
    column.pszText = heading;
    column.cchTextMax = 32;
    ASSERT_TRUE(m_list.GetColumn(1, &column));
    EXPECT_STREQ(L"大きさ", heading);
    // A text longer than the first buffer comes back whole.
    CString longText(L'長', 700);
    m_list.SetItemText(0, 0, longText);
    EXPECT_EQ(longText, m_list.GetItemText(0, 0));
    int order[2] = {};
    ASSERT_TRUE(m_list.GetColumnOrderArray(order));
    EXPECT_EQ(0, order[0]);
    EXPECT_EQ(1, order[1]);
    EXPECT_NE(nullptr, m_list.GetHeaderCtrl());
    EXPECT_TRUE(m_list.DeleteColumn(1));
    EXPECT_TRUE(m_list.DeleteItem(0));
    EXPECT_EQ(2, m_list.GetItemCount());
    EXPECT_TRUE(m_list.DeleteAllItems());
    EXPECT_EQ(0, m_list.GetItemCount());
}

TEST_F(ListCtrlTest, SelectionStatesChecksAndTheSelectedPositions)
{
    m_list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    m_list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(2u, m_list.GetSelectedCount());
    std::vector<int> selected;
    for (POSITION pos = m_list.GetFirstSelectedItemPosition(); pos;)
        selected.push_back(m_list.GetNextSelectedItem(pos));
    EXPECT_EQ((std::vector<int>{0, 2}), selected);
    EXPECT_EQ(2, m_list.GetNextItem(-1, LVNI_FOCUSED));
    // -1: every item.
    m_list.SetItemState(-1, 0, LVIS_SELECTED);
    EXPECT_EQ(0u, m_list.GetSelectedCount());
    EXPECT_EQ(nullptr, m_list.GetFirstSelectedItemPosition());
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(m_list.GetExtendedStyle() & LVS_EX_CHECKBOXES);
    m_list.SetCheck(1, TRUE);
    EXPECT_TRUE(m_list.GetCheck(1));
    EXPECT_FALSE(m_list.GetCheck(0));
}

TEST_F(ListCtrlTest, SortingByDataAndHitTestingItemsAndSubItems)
{
    EXPECT_TRUE(m_list.SortItems(CompareData, 0));
    EXPECT_EQ(CString(L"二.bmp;一.png;三.jpg;"), Names());
    EXPECT_TRUE(m_list.SortItems(CompareData, 1));
    EXPECT_EQ(CString(L"三.jpg;一.png;二.bmp;"), Names());
    // The middle of the second row's second column.
    CRect row;
    ASSERT_TRUE(m_list.GetItemRect(1, &row, LVIR_BOUNDS));
    CRect cell;
    ASSERT_TRUE(m_list.GetSubItemRect(1, 1, LVIR_BOUNDS, cell));
    EXPECT_EQ(row.top, cell.top);
    LVHITTESTINFO info = {};
    info.pt = cell.CenterPoint();
    EXPECT_EQ(1, m_list.SubItemHitTest(&info));
    EXPECT_EQ(1, info.iSubItem);
    UINT flags = 0;
    EXPECT_EQ(1, m_list.HitTest(CPoint(row.left + 20, row.CenterPoint().y), &flags));
    EXPECT_TRUE(flags & LVHT_ONITEM);
    EXPECT_EQ(-1, m_list.HitTest(CPoint(5, 350), &flags));
    // Finding by text.
    LVFINDINFOW find = {};
    find.flags = LVFI_STRING;
    find.psz = L"二.bmp";
    EXPECT_EQ(2, m_list.FindItem(&find));
}

// A list that makes its own drag image (the virtual is what a subclass overrides).
class COwnDragList : public CListCtrl
{
public:
    int m_asked = -1;
    CImageList* CreateDragImage(int nItem, LPPOINT lpPoint) override
    {
        m_asked = nItem;
        return CListCtrl::CreateDragImage(nItem, lpPoint);
    }
};

TEST(ListCtrl, DragImageIsMadeThroughTheVirtualAndBelongsToTheCaller)
{
    CTestHostWnd host;
    COwnDragList list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200), &host, 501));
    list.InsertColumn(0, L"名前", LVCFMT_LEFT, 150);
    list.InsertItem(0, L"写真");
    CListCtrl& base = list;
    POINT hotSpot = {};
    CImageList* image = base.CreateDragImage(0, &hotSpot);
    EXPECT_EQ(0, list.m_asked);
    if (image) { // the control may make none under some themes
        EXPECT_GE(image->GetImageCount(), 1);
        delete image;
    }
}

class TreeCtrlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_host.MoveWindow(50, 50, 400, 400);
        ASSERT_TRUE(
            m_tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                          CRect(0, 0, 380, 380), &m_host, 600));
        m_root = m_tree.InsertItem(L"ルート");
        m_tree.SetItemData(m_root, 100);
        for (int i = 0; i < 3; ++i) {
            HTREEITEM child = m_tree.InsertItem(TVIF_TEXT | TVIF_PARAM, (L"子" + std::to_wstring(i)).c_str(), 0, 0, 0,
                                                0, 10 * (3 - i), m_root, TVI_LAST);
            m_children.push_back(child);
        }
    }
    CString ChildNames()
    {
        CString names;
        for (HTREEITEM item = m_tree.GetChildItem(m_root); item; item = m_tree.GetNextSiblingItem(item))
            names += m_tree.GetItemText(item) + L";";
        return names;
    }
    CTestHostWnd m_host;
    CTreeCtrl m_tree;
    HTREEITEM m_root = nullptr;
    std::vector<HTREEITEM> m_children;
};

TEST_F(TreeCtrlTest, ItemsNavigateByParentChildAndSiblings)
{
    EXPECT_EQ(4u, m_tree.GetCount());
    EXPECT_EQ(m_root, m_tree.GetRootItem());
    EXPECT_EQ(m_root, m_tree.GetParentItem(m_children[1]));
    EXPECT_EQ(m_children[0], m_tree.GetPrevSiblingItem(m_children[1]));
    EXPECT_EQ(nullptr, m_tree.GetNextSiblingItem(m_children[2]));
    EXPECT_TRUE(m_tree.ItemHasChildren(m_root));
    EXPECT_EQ(100u, m_tree.GetItemData(m_root));
    EXPECT_EQ(20u, m_tree.GetItemData(m_children[1]));
    EXPECT_TRUE(m_tree.SetItemText(m_children[1], L"名前を変えた子"));
    EXPECT_EQ(CString(L"名前を変えた子"), m_tree.GetItemText(m_children[1]));
    EXPECT_TRUE(m_tree.SetItemImage(m_children[1], 2, 3));
    int image = 0, selected = 0;
    EXPECT_TRUE(m_tree.GetItemImage(m_children[1], image, selected));
    EXPECT_EQ(2, image);
    EXPECT_EQ(3, selected);
    EXPECT_TRUE(m_tree.DeleteItem(m_children[2]));
    EXPECT_EQ(3u, m_tree.GetCount());
    EXPECT_TRUE(m_tree.DeleteAllItems());
    EXPECT_EQ(0u, m_tree.GetCount());
}

TEST_F(TreeCtrlTest, ExpandSelectAndHitTest)
{
    EXPECT_FALSE(m_tree.GetItemState(m_root, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_TRUE(m_tree.Expand(m_root, TVE_EXPAND));
    EXPECT_TRUE(m_tree.GetItemState(m_root, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_TRUE(m_tree.SelectItem(m_children[1]));
    EXPECT_EQ(m_children[1], m_tree.GetSelectedItem());
    EXPECT_TRUE(m_tree.SelectDropTarget(m_children[2]));
    EXPECT_EQ(m_children[2], m_tree.GetDropHilightItem());
    // The item's text rectangle leads back to the item.
    CRect rect;
    ASSERT_TRUE(m_tree.GetItemRect(m_children[2], &rect, TRUE));
    UINT flags = 0;
    EXPECT_EQ(m_children[2], m_tree.HitTest(rect.CenterPoint(), &flags));
    EXPECT_TRUE(flags & TVHT_ONITEMLABEL);
    EXPECT_EQ(nullptr, m_tree.HitTest(CPoint(200, 370), &flags));
    EXPECT_EQ(m_children[0], m_tree.GetNextVisibleItem(m_root));
    m_tree.ModifyStyle(0, TVS_CHECKBOXES);
    m_tree.SetCheck(m_children[0], TRUE);
    EXPECT_TRUE(m_tree.GetCheck(m_children[0]));
    EXPECT_FALSE(m_tree.GetCheck(m_children[1]));
    EXPECT_TRUE(m_tree.Expand(m_root, TVE_COLLAPSE));
    EXPECT_EQ(nullptr, m_tree.GetNextVisibleItem(m_root));
}

TEST_F(TreeCtrlTest, ChildrenSortByTheCallbackOverTheirData)
{
    TVSORTCB sort = {m_root, CompareData, 0};
    EXPECT_TRUE(m_tree.SortChildrenCB(&sort));
    EXPECT_EQ(CString(L"子2;子1;子0;"), ChildNames());
    sort.lParam = 1;
    EXPECT_TRUE(m_tree.SortChildrenCB(&sort));
    EXPECT_EQ(CString(L"子0;子1;子2;"), ChildNames());
    m_tree.SetItemText(m_children[0], L"z");
    m_tree.SetItemText(m_children[1], L"a");
    EXPECT_TRUE(m_tree.SortChildren(m_root));
    CString names = ChildNames();
    EXPECT_LT(names.Find(L"a;"), names.Find(L"z;")) << CStringA(names).GetString();
}

} // namespace
