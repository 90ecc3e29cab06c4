#include "controls/CEditEx.h"
#include "controls/CTreePropSheetBase.h"
#include "controls/CWhiteBackgroundProvider.h"
#include "controls/UxThemeBinder.h"

#include "common/ControlTestUtil.h"
#include "ControlsTestRes.h"
#include "common/WindowTestUtil.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using TreePropSheet::CTreePropSheetBase;

namespace {

std::vector<UINT> g_editKeys;

// The page's edit box, recording the keys it is sent.
class KeyRecorder : public CWnd
{
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_KEYDOWN)
            g_editKeys.push_back(static_cast<UINT>(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class PathPage : public CPropertyPage
{
public:
    explicit PathPage(LPCWSTR path, UINT templ = IDD_CTLTEST_PAGE) : CPropertyPage(templ)
    {
        m_strCaption = path;
        m_psp.dwFlags |= PSP_USETITLE;
    }
    BOOL OnInitDialog() override
    {
        CPropertyPage::OnInitDialog();
        if (GetDlgItem(IDC_CTLTEST_EDIT))
            m_edit.SubclassDlgItem(IDC_CTLTEST_EDIT, this);
        return TRUE;
    }
    BOOL OnKillActive() override { return m_allowLeave && CPropertyPage::OnKillActive(); }
    BOOL m_allowLeave = TRUE;
    KeyRecorder m_edit;
};

std::string Utf8(const CString& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), &out[0], n, nullptr, nullptr);
    return out;
}

class TreeSheetTest : public testing::Test
{
protected:
    void TearDown() override
    {
        if (m_sheet && m_sheet->m_hWnd)
            m_sheet->DestroyWindow();
        SetKeys(false, false);
    }
    void Open(std::initializer_list<LPCWSTR> paths, BOOL treeMode = TRUE, BOOL skip = FALSE)
    {
        m_sheet = std::make_unique<CTreePropSheetBase>(L"木の設定");
        for (LPCWSTR path : paths) {
            m_pages.push_back(std::make_unique<PathPage>(path));
            m_sheet->AddPage(m_pages.back().get());
        }
        m_sheet->SetTreeViewMode(treeMode, TRUE, FALSE);
        m_sheet->SetSkipEmptyPages(skip);
        m_sheet->SetEmptyPageText(L"%s にページはありません");
        ASSERT_TRUE(m_sheet->Create());
    }
    CTreeCtrl& Tree() { return *m_sheet->GetPageTreeControl(); }
    // The tree as text: name(page)[children], siblings separated by commas.
    std::string Shape(HTREEITEM node)
    {
        std::string out;
        for (; node; node = Tree().GetNextSiblingItem(node)) {
            if (!out.empty())
                out += ",";
            out +=
                Utf8(Tree().GetItemText(node)) + "(" + std::to_string(static_cast<int>(Tree().GetItemData(node))) + ")";
            if (HTREEITEM child = Tree().GetChildItem(node))
                out += "[" + Shape(child) + "]";
        }
        return out;
    }
    std::string Shape() { return Shape(Tree().GetRootItem()); }
    HTREEITEM Find(LPCWSTR text, HTREEITEM node = nullptr)
    {
        for (node = node ? node : Tree().GetRootItem(); node; node = Tree().GetNextSiblingItem(node)) {
            if (Tree().GetItemText(node) == text)
                return node;
            if (HTREEITEM child = Tree().GetChildItem(node))
                if (HTREEITEM found = Find(text, child))
                    return found;
        }
        return nullptr;
    }
    HWND CurrentPage() { return reinterpret_cast<HWND>(m_sheet->SendMessage(PSM_GETCURRENTPAGEHWND)); }
    static void SetKeys(bool ctrl, bool shift)
    {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }
    BOOL SheetKey(HWND target, UINT vk, bool ctrl = true, bool shift = false)
    {
        SetKeys(ctrl, shift);
        MSG msg = {target, WM_KEYDOWN, vk, 0, 0, {}};
        BOOL handled = static_cast<BOOL>(m_sheet->SendMessage(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&msg)));
        SetKeys(false, false);
        return handled;
    }
    BOOL TreeKey(UINT vk)
    {
        MSG msg = {Tree().m_hWnd, WM_KEYDOWN, vk, 0, 0, {}};
        return m_sheet->PreTranslateMessage(&msg);
    }

    std::vector<std::unique_ptr<PathPage>> m_pages;
    std::unique_ptr<CTreePropSheetBase> m_sheet;
};

struct PathCase
{
    LPCWSTR path;
    LPCWSTR name;
    LPCWSTR rest;
};

TEST(TreeSheetPathTest, CaptionPathsSplitAtUnescapedSeparators)
{
    const PathCase cases[] = {
        {L"N::a", L"N", L"a"},         {L"N", L"N", L""},           {L"::X", L"", L"X"},
        {L"A\\::B::C", L"A::B", L"C"}, {L"A\\\\::B", L"A\\", L"B"}, // an even run of backslashes: a real separator
        {L"A\\::B", L"A\\::B", L""},                                // the last level keeps its backslash
        {L"a::b::c", L"a", L"b::c"},
    };
    for (const PathCase& c : cases) {
        CString name, rest;
        CTreePropSheetBase::SplitPageTreePath(c.path, name, rest);
        EXPECT_EQ(name, c.name) << Utf8(c.path);
        EXPECT_EQ(rest, c.rest) << Utf8(c.path);
    }
}

TEST(TreeSheetPathTest, EmptyPageMessageSubstitutesOnlyTheNodeText)
{
    CTreePropSheetBase sheet;
    EXPECT_EQ(sheet.GenerateEmptyPageMessage(L"no page", L"表示"), L"no page");
    EXPECT_EQ(sheet.GenerateEmptyPageMessage(L"%s: %d%n", L"表示"), L"表示: %d%n");
    EXPECT_EQ(sheet.GenerateEmptyPageMessage(L"[%s]", L"100%s"), L"[100%s]");
}

TEST_F(TreeSheetTest, PathsBecomeNodesAndAPageMayOwnAParentNode)
{
    Open({L"N::a", L"N::b", L"N", L"A\\::B::C", L"Z::y", L"Z::y"});
    EXPECT_EQ(Shape(), "N(2)[a(0),b(1)],A::B(-1)[C(3)],Z(-1)[y(5)]");
    EXPECT_EQ(Tree().GetDlgCtrlID(), 0x7EEE);
    EXPECT_EQ(m_sheet->GetPageTreeItem(3), Find(L"C"));
    EXPECT_EQ(m_sheet->GetPageTreeItem(6), nullptr);
}

TEST_F(TreeSheetTest, TheSheetGrowsByTheTreeWidthAndTheTreeSitsLeftOfTheFrame)
{
    CPropertySheet plain(L"比較");
    PathPage reference(L"a");
    plain.AddPage(&reference);
    ASSERT_TRUE(plain.Create());
    CRect plainRect;
    plain.GetWindowRect(&plainRect);
    plain.DestroyWindow();

    Open({L"a"});
    CRect rect;
    m_sheet->GetWindowRect(&rect);
    EXPECT_EQ(rect.Width(), plainRect.Width() + 150);
    CWnd* frame = m_sheet->GetFrameControl()->GetWnd();
    CString text;
    frame->GetWindowText(text);
    EXPECT_EQ(text, L"PropPageFrameEx");
    EXPECT_EQ(frame->GetDlgCtrlID(), 0xFFFF);
    CRect tree, frameRect;
    Tree().GetWindowRect(&tree);
    frame->GetWindowRect(&frameRect);
    EXPECT_EQ(tree.Width(), 150 - 5);
    EXPECT_EQ(frameRect.left - tree.left, 150);
    EXPECT_EQ(tree.top, frameRect.top);
    EXPECT_GT(m_sheet->GetFrameControl()->GetCaptionHeight(), 0);
    EXPECT_FALSE(m_sheet->GetTabControl()->IsWindowVisible());
    EXPECT_EQ(m_sheet->GetTreeWidth(), 150 - 5);
    EXPECT_FALSE(m_sheet->SetTreeWidth(200)); // open: refused
}

TEST_F(TreeSheetTest, SelectingANodeActivatesItsPageAndShowsItsCaption)
{
    Open({L"N::a", L"N::b"});
    Tree().SelectItem(Find(L"b"));
    EXPECT_EQ(m_sheet->GetActiveIndex(), 1);
    EXPECT_EQ(m_sheet->GetFrameControl()->GetCaption(), L"b");
    m_sheet->SetActivePage(0);
    EXPECT_EQ(Tree().GetSelectedItem(), Find(L"a"));
    EXPECT_EQ(m_sheet->GetFrameControl()->GetCaption(), L"a");
}

TEST_F(TreeSheetTest, TheFirstPageShowsItsIconInTheCaptionFromTheStart)
{
    m_sheet = std::make_unique<CTreePropSheetBase>(L"木の設定");
    for (LPCWSTR path : {L"a", L"b"}) {
        m_pages.push_back(std::make_unique<PathPage>(path));
        m_pages.back()->m_psp.dwFlags |= PSP_USEHICON;
        m_pages.back()->m_psp.hIcon = MakeSolidIcon(RGB(200, 160, 0));
        m_sheet->AddPage(m_pages.back().get());
    }
    m_sheet->SetTreeViewMode(TRUE, TRUE, FALSE);
    ASSERT_TRUE(m_sheet->Create());
    HICON icon = nullptr;
    EXPECT_EQ(m_sheet->GetFrameControl()->GetCaption(&icon), L"a");
    EXPECT_NE(nullptr, icon);
    m_sheet->DestroyWindow();
    for (auto& page : m_pages)
        ::DestroyIcon(page->m_psp.hIcon);
}

TEST_F(TreeSheetTest, ANodeWithoutPageHidesThePageAndShowsTheEmptyPageMessage)
{
    Open({L"N::a", L"N::b"});
    HWND page = CurrentPage();
    ASSERT_TRUE(::IsWindowVisible(page));
    Tree().SelectItem(Find(L"N"));
    EXPECT_EQ(Tree().GetSelectedItem(), Find(L"N"));
    EXPECT_FALSE(::IsWindowVisible(page));
    EXPECT_EQ(m_sheet->GetFrameControl()->GetMsgText(), L"N にページはありません");
    Tree().SelectItem(Find(L"a"));
    EXPECT_TRUE(::IsWindowVisible(CurrentPage()));
}

TEST_F(TreeSheetTest, APageThatRefusesToLeaveKeepsItsNode)
{
    Open({L"N::a", L"N::b"});
    m_pages[0]->m_allowLeave = FALSE;
    Tree().SelectItem(Find(L"N"));
    EXPECT_EQ(Tree().GetSelectedItem(), Find(L"a"));
    EXPECT_TRUE(::IsWindowVisible(CurrentPage()));
    Tree().SelectItem(Find(L"b"));
    EXPECT_EQ(Tree().GetSelectedItem(), Find(L"a"));
    EXPECT_EQ(m_sheet->GetActiveIndex(), 0);
}

TEST_F(TreeSheetTest, ANodeWithAnIndexBeyondThePagesCountsAsEmpty)
{
    Open({L"P::a", L"P::b"}); // three nodes, two pages
    HTREEITEM parent = Find(L"P");
    Tree().SetItemData(parent, 2); // below the node count, not a page
    Tree().SelectItem(parent);
    EXPECT_EQ(Tree().GetSelectedItem(), parent);
    EXPECT_EQ(m_sheet->GetFrameControl()->GetMsgText(), L"P にページはありません");
}

TEST_F(TreeSheetTest, SkippingEmptyPagesSelectsTheNextPageNodeInstead)
{
    Open({L"N::a", L"N::b", L"M::c"}, TRUE, TRUE);
    Tree().SelectItem(Find(L"M"));
    EXPECT_EQ(Tree().GetSelectedItem(), Find(L"c"));
    EXPECT_EQ(m_sheet->GetActiveIndex(), 2);
}

TEST_F(TreeSheetTest, WithSkipDownFromTheLastPageNodeWrapsToTheFirst)
{
    Open({L"N::a", L"N::b", L"M::c"}, TRUE, TRUE);
    Tree().SelectItem(Find(L"c"));
    EXPECT_TRUE(TreeKey(VK_DOWN));
    EXPECT_EQ(Tree().GetSelectedItem(), Find(L"a"));
    EXPECT_TRUE(TreeKey(VK_UP));
    EXPECT_EQ(Tree().GetSelectedItem(), Find(L"c"));
    EXPECT_TRUE(TreeKey(VK_LEFT)); // a leaf whose parent has no page stays where it is
    EXPECT_EQ(Tree().GetSelectedItem(), Find(L"c"));
}

TEST_F(TreeSheetTest, CtrlPageKeysWalkThePagesInTreeMode)
{
    Open({L"N::a", L"N::b", L"M::c"}, TRUE, TRUE);
    Tree().SelectItem(Find(L"a"));
    EXPECT_TRUE(SheetKey(Tree().m_hWnd, VK_NEXT));
    EXPECT_EQ(m_sheet->GetActiveIndex(), 1);
    EXPECT_TRUE(SheetKey(Tree().m_hWnd, VK_TAB));
    EXPECT_EQ(m_sheet->GetActiveIndex(), 2);
    EXPECT_TRUE(SheetKey(Tree().m_hWnd, VK_TAB, true, true));
    EXPECT_EQ(m_sheet->GetActiveIndex(), 1);
}

TEST_F(TreeSheetTest, InTabModeCtrlPageDownOnTheLastPageSelectsTheFirst)
{
    Open({L"一", L"二", L"三"}, FALSE);
    EXPECT_EQ(m_sheet->GetPageTreeControl(), nullptr);
    EXPECT_EQ(m_sheet->GetFrameControl(), nullptr);
    m_sheet->SetActivePage(2);
    EXPECT_TRUE(SheetKey(CurrentPage(), VK_NEXT));
    EXPECT_EQ(m_sheet->GetActiveIndex(), 0);
    EXPECT_TRUE(SheetKey(CurrentPage(), VK_PRIOR));
    EXPECT_EQ(m_sheet->GetActiveIndex(), 2);
}

TEST_F(TreeSheetTest, CtrlKeysOtherThanPageSwitchesReachThePage)
{
    Open({L"a"});
    HWND edit = m_pages[0]->m_edit.m_hWnd;
    ASSERT_NE(edit, nullptr);
    ::SetFocus(edit);
    g_editKeys.clear();
    SheetKey(edit, 'C');
    PumpPending();
    EXPECT_EQ(g_editKeys, std::vector<UINT>{'C'});
}

TEST_F(TreeSheetTest, DefaultImagesMustBeExactlyTwo)
{
    CTreePropSheetBase sheet;
    CImageList three, two;
    three.Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 1);
    two.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 1);
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    for (int i = 0; i < 3; ++i)
        three.Add(icon);
    two.Add(icon);
    two.Add(icon);
    EXPECT_FALSE(sheet.SetTreeDefaultImages(&three));
    EXPECT_TRUE(sheet.SetTreeDefaultImages(&two));
}

TEST_F(TreeSheetTest, TreeImagesUseTheDefaultsForParentsAndIconlessPages)
{
    m_sheet = std::make_unique<CTreePropSheetBase>(L"画像");
    m_pages.push_back(std::make_unique<PathPage>(L"N::a"));
    m_pages.push_back(std::make_unique<PathPage>(L"N::b"));
    CTreePropSheetBase::SetPageIcon(m_pages[0].get(), ::LoadIconW(nullptr, IDI_INFORMATION));
    for (auto& page : m_pages)
        m_sheet->AddPage(page.get());
    CImageList defaults;
    defaults.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 1);
    defaults.Add(::LoadIconW(nullptr, IDI_APPLICATION));
    defaults.Add(::LoadIconW(nullptr, IDI_WARNING));
    ASSERT_TRUE(m_sheet->SetTreeDefaultImages(&defaults));
    m_sheet->SetTreeViewMode(TRUE, TRUE, TRUE);
    m_sheet->SetAutoExpandTree(TRUE);
    ASSERT_TRUE(m_sheet->Create());
    int image = -1, selected = -1;
    // Tree images: the tab's icon (0), then the two defaults.
    Tree().GetItemImage(Find(L"N"), image, selected);
    EXPECT_EQ(image, 1);
    Tree().GetItemImage(Find(L"a"), image, selected);
    EXPECT_EQ(image, 0);
    Tree().GetItemImage(Find(L"b"), image, selected);
    EXPECT_EQ(image, 2);
    EXPECT_TRUE(Tree().GetItemState(Find(L"N"), TVIS_EXPANDED) & TVIS_EXPANDED);
    CImageList* tabIcons = m_sheet->GetTabControl()->GetImageList();
    ASSERT_NE(tabIcons, nullptr);
    EXPECT_EQ(tabIcons->GetImageCount(), 1);
}

TEST_F(TreeSheetTest, PagesAddedWhileOpenRefillTheTree)
{
    Open({L"N::a"});
    m_pages.push_back(std::make_unique<PathPage>(L"N::z"));
    m_sheet->AddPage(m_pages.back().get());
    EXPECT_EQ(Shape(), "N(-1)[a(0),z(1)]");
    m_sheet->RemovePage(0);
    EXPECT_EQ(Shape(), "N(-1)[z(0)]");
}

} // namespace

namespace {

class WhitePage : public CPropertyPage, public TreePropSheet::CWhiteBackgroundProvider
{
public:
    explicit WhitePage(LPCWSTR path) : CPropertyPage(IDD_CTLTEST_PAGE)
    {
        m_strCaption = path;
        m_psp.dwFlags |= PSP_USETITLE;
    }
};

} // namespace

TEST(TreeSheetWhiteBackground, PagesAreToldToPaintWhiteExactlyWhileVisualStylesAreOn)
{
    UxThemeBinder::Release();
    UxThemeBinder::SetLibraryName(L"fake_uxtheme.dll");
    FakeThemeState* fake = ResetFakeTheme();
    ASSERT_NE(nullptr, fake);
    {
        WhitePage first(L"一"), second(L"二"), later(L"三");
        PathPage plain(L"四");
        CTreePropSheetBase sheet(L"白");
        sheet.AddPage(&first);
        sheet.AddPage(&plain);
        sheet.AddPage(&second);
        sheet.SetTreeViewMode(TRUE, TRUE, FALSE);
        ASSERT_TRUE(sheet.Create());
        EXPECT_TRUE(first.HasWhiteBackground());
        EXPECT_TRUE(second.HasWhiteBackground());
        sheet.AddPage(&later);
        EXPECT_TRUE(later.HasWhiteBackground());

        // Styles switched off while the sheet is open: every page hears it.
        fake->themed = FALSE;
        sheet.SendMessage(WM_THEMECHANGED);
        EXPECT_FALSE(first.HasWhiteBackground());
        EXPECT_FALSE(second.HasWhiteBackground());
        EXPECT_FALSE(later.HasWhiteBackground());
        sheet.DestroyWindow();
    }
    UxThemeBinder::Release();
    UxThemeBinder::SetLibraryName(nullptr);
}

TEST(EditEx, IsTheClassLibrarysEditUnderItsOwnName)
{
    EXPECT_TRUE(RUNTIME_CLASS(CEditEx)->IsDerivedFrom(RUNTIME_CLASS(CEdit)));
    CTestHostWnd host;
    CEditEx edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(0, 0, 200, 24), &host, 1062));
    edit.SetWindowText(L"名前.jpg");
    edit.SetSel(0, 2);
    int start = -1, end = -1;
    edit.GetSel(start, end);
    EXPECT_EQ(0, start);
    EXPECT_EQ(2, end);
    EXPECT_EQ(CString(L"名前.jpg"), TextOf(edit.m_hWnd));
    EXPECT_TRUE(edit.IsKindOf(RUNTIME_CLASS(CEditEx)));
}
