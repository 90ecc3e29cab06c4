#include "controls/CTreeOptionsBrowseButton.h"
#include "controls/CTreeOptionsCombo.h"
#include "controls/CTreeOptionsCtrl.h"
#include "controls/CTreeOptionsEdit.h"
#include "controls/CTreeOptionsMenuButton.h"
#include "controls/CTreeOptionsSpinCtrl.h"
#include "controls/TreeOptionsDDX.h"

#include "ControlsTestRes.h"
#include "common/WindowTestUtil.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// Editor classes as the dialogs that use the tree derive them.
class CTestKindCombo : public CTreeOptionsCombo
{
    DECLARE_DYNCREATE(CTestKindCombo)
protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CTreeOptionsCombo::OnCreate(lpCreateStruct) == -1)
            return -1;
        for (LPCWSTR text : {L"一", L"二", L"三"})
            AddString(text);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestKindCombo, CTreeOptionsCombo)
BEGIN_MESSAGE_MAP(CTestKindCombo, CTreeOptionsCombo)
ON_WM_CREATE()
END_MESSAGE_MAP()

class CTestQualitySpin : public CTreeOptionsSpinCtrl
{
    DECLARE_DYNCREATE(CTestQualitySpin)
public:
    void GetRange(int& nLower, int& nUpper) override
    {
        nLower = 10;
        nUpper = 95;
    }
};
IMPLEMENT_DYNCREATE(CTestQualitySpin, CTreeOptionsSpinCtrl)

std::vector<UINT> g_editCommands;

class CTestMenuEdit : public CTreeOptionsEdit
{
    DECLARE_DYNCREATE(CTestMenuEdit)
protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        g_editCommands.push_back(LOWORD(wParam));
        return CTreeOptionsEdit::OnCommand(wParam, lParam);
    }
};
IMPLEMENT_DYNCREATE(CTestMenuEdit, CTreeOptionsEdit)

class CTestMenuButton : public CTreeOptionsMenuButton
{
    DECLARE_DYNCREATE(CTestMenuButton)
public:
    CTestMenuButton()
    {
        m_menu.CreatePopupMenu();
        m_menu.AppendMenu(MF_STRING, 31001, L"日付");
        m_menu.AppendMenu(MF_STRING, 31002, L"番号");
        AttachMenu(&m_menu);
    }
    CMenu m_menu;
};
IMPLEMENT_DYNCREATE(CTestMenuButton, CTreeOptionsMenuButton)

namespace {

std::vector<CString> g_deletedTexts;

class OptionsDialog : public CDialog
{
public:
    OptionsDialog() : CDialog(IDD_CTLTEST_TREE) {}

    BOOL OnInitDialog() override
    {
        m_tree.SubclassDlgItem(IDC_CTLTEST_TREE, this);
        m_group = m_tree.InsertGroup(L"表示", 10);
        m_all = m_tree.InsertCheckBox(L"全部", m_group, FALSE);
        for (auto& child : m_children)
            child = m_tree.InsertCheckBox(L"項目", m_all, FALSE);
        m_format = m_tree.InsertGroup(L"形式", 11);
        for (LPCWSTR name : {L"BMP", L"JPEG", L"PNG"})
            m_tree.InsertRadioButton(name, m_format, FALSE);
        m_quality = m_tree.InsertGroup(L"品質: 80", 12);
        m_tree.AddEditBoxWithSpin(m_quality, RUNTIME_CLASS(CTreeOptionsEdit), RUNTIME_CLASS(CTestQualitySpin));
        m_scale = m_tree.InsertGroup(L"倍率", 12);
        m_tree.AddEditBox(m_scale, RUNTIME_CLASS(CTreeOptionsEdit));
        m_name = m_tree.InsertGroup(L"名前", 12);
        m_tree.AddEditBox(m_name, RUNTIME_CLASS(CTreeOptionsEdit));
        m_color = m_tree.InsertGroup(L"背景: 000000", 13);
        m_tree.AddEditBoxWithColorBrowse(m_color, RUNTIME_CLASS(CTreeOptionsEdit),
                                         RUNTIME_CLASS(CTreeOptionsBrowseButton));
        m_kind = m_tree.InsertGroup(L"種類: 二", 14);
        m_tree.AddComboBox(m_kind, RUNTIME_CLASS(CTestKindCombo));
        m_file = m_tree.InsertGroup(L"ファイル: a.txt", 15);
        m_tree.AddEditBoxWithFileBrowse(m_file, RUNTIME_CLASS(CTreeOptionsEdit),
                                        RUNTIME_CLASS(CTreeOptionsBrowseButton));
        m_menuItem = m_tree.InsertGroup(L"書式: $(Name)", 16);
        m_tree.AddEditBoxWithMenu(m_menuItem, RUNTIME_CLASS(CTestMenuEdit), RUNTIME_CLASS(CTestMenuButton));
        m_tree.Expand(m_group, TVE_EXPAND);
        m_tree.Expand(m_all, TVE_EXPAND);
        m_tree.Expand(m_format, TVE_EXPAND);
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_TreeCheck(pDX, IDC_CTLTEST_TREE, m_all, m_allValue);
        DDX_TreeRadio(pDX, IDC_CTLTEST_TREE, m_format, m_formatValue);
        DDX_TreeEditInt(pDX, IDC_CTLTEST_TREE, m_quality, m_qualityValue);
        DDX_TreeEditDouble(pDX, IDC_CTLTEST_TREE, m_scale, m_scaleValue);
        DDX_TreeEdit(pDX, IDC_CTLTEST_TREE, m_name, m_nameValue);
        DDX_TreeColor(pDX, IDC_CTLTEST_TREE, m_color, m_colorValue);
    }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        auto* change = reinterpret_cast<NMTREEVIEWW*>(lParam);
        if (change->hdr.code == TVN_DELETEITEMW)
            g_deletedTexts.push_back(m_tree.GetItemText(change->itemOld.hItem));
        return CDialog::OnNotify(wParam, lParam, pResult);
    }

    CTreeOptionsCtrl m_tree;
    HTREEITEM m_group, m_all, m_children[3], m_format, m_quality, m_scale, m_name, m_color, m_kind, m_file, m_menuItem;
    BOOL m_allValue = FALSE;
    int m_formatValue = 1;
    int m_qualityValue = 80;
    double m_scaleValue = 1.5;
    CString m_nameValue = L"写真";
    COLORREF m_colorValue = 0x123456;
};

class TreeOptionsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dialog.Create(IDD_CTLTEST_TREE));
        m_dialog.ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        if (m_dialog.m_hWnd)
            m_dialog.DestroyWindow();
    }
    CTreeOptionsCtrl& Tree() { return m_dialog.m_tree; }
    int Image(HTREEITEM item)
    {
        int image = -1, selected = -1;
        Tree().GetItemImage(item, image, selected);
        EXPECT_EQ(image, selected);
        return image;
    }
    void ClickOn(HTREEITEM item)
    {
        CRect rect;
        Tree().GetItemRect(item, &rect, TRUE);
        CPoint icon(rect.left - 8, rect.CenterPoint().y); // the item's image lies left of its text
        // The tree watches for a drag until the button comes up: the release waits in the queue.
        Tree().PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(icon.x, icon.y));
        Tree().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(icon.x, icon.y));
        PumpPending();
    }
    OptionsDialog m_dialog;
};

TEST_F(TreeOptionsTest, InsertedItemsCarryTheirStateImages)
{
    EXPECT_EQ(Image(m_dialog.m_group), 10);
    EXPECT_EQ(Image(m_dialog.m_all), 0);
    HTREEITEM checked = Tree().InsertCheckBox(L"入", m_dialog.m_group, TRUE);
    EXPECT_EQ(Image(checked), 1);
    EXPECT_TRUE(Tree().IsCheckBox(checked));
    EXPECT_FALSE(Tree().IsRadioButton(checked));
    EXPECT_FALSE(Tree().IsCheckBox(m_dialog.m_group));
    HTREEITEM first = Tree().GetChildItem(m_dialog.m_format);
    EXPECT_TRUE(Tree().IsRadioButton(first));
    EXPECT_EQ(Tree().GetItemData(checked), 0u);
}

struct StateCase
{
    int before;
    std::function<void(CTreeOptionsCtrl&, HTREEITEM)> change;
    int after;
};

TEST_F(TreeOptionsTest, CheckBoxStateChangesFollowTheImageTable)
{
    const StateCase cases[] = {
        {0, [](CTreeOptionsCtrl& t, HTREEITEM i) { t.SetCheckBox(i, TRUE); }, 1},
        {8, [](CTreeOptionsCtrl& t, HTREEITEM i) { t.SetCheckBox(i, TRUE); }, 8},
        {9, [](CTreeOptionsCtrl& t, HTREEITEM i) { t.SetCheckBox(i, TRUE); }, 8},
        {5, [](CTreeOptionsCtrl& t, HTREEITEM i) { t.SetCheckBox(i, FALSE); }, 0},
        {4, [](CTreeOptionsCtrl& t, HTREEITEM i) { t.SetCheckBoxEnable(i, TRUE); }, 0},
        {9, [](CTreeOptionsCtrl& t, HTREEITEM i) { t.SetCheckBoxEnable(i, TRUE); }, 8},
        {5, [](CTreeOptionsCtrl& t, HTREEITEM i) { t.SetCheckBoxEnable(i, TRUE); }, 1},
        {0, [](CTreeOptionsCtrl& t, HTREEITEM i) { t.SetCheckBoxEnable(i, FALSE); }, 4},
        {8, [](CTreeOptionsCtrl& t, HTREEITEM i) { t.SetCheckBoxEnable(i, FALSE); }, 9},
        {1, [](CTreeOptionsCtrl& t, HTREEITEM i) { t.SetCheckBoxEnable(i, FALSE); }, 5},
        {1, [](CTreeOptionsCtrl& t, HTREEITEM i) { t.SetSemiCheckBox(i, FALSE); }, 9},
    };
    HTREEITEM item = m_dialog.m_children[0];
    for (const StateCase& c : cases) {
        Tree().SetItemImage(item, c.before, c.before);
        c.change(Tree(), item);
        EXPECT_EQ(Image(item), c.after) << "from " << c.before;
    }
    for (int image : {1, 5, 8, 9}) {
        Tree().SetItemImage(item, image, image);
        BOOL checked = FALSE;
        EXPECT_TRUE(Tree().GetCheckBox(item, &checked));
        EXPECT_TRUE(checked) << image;
    }
}

TEST_F(TreeOptionsTest, TogglingAParentSetsItsChildrenAndChildrenSetTheirParent)
{
    ClickOn(m_dialog.m_all);
    EXPECT_EQ(Image(m_dialog.m_all), 1);
    for (HTREEITEM child : m_dialog.m_children)
        EXPECT_EQ(Image(child), 1);
    ClickOn(m_dialog.m_all);
    for (HTREEITEM child : m_dialog.m_children)
        EXPECT_EQ(Image(child), 0);

    ClickOn(m_dialog.m_children[0]);
    EXPECT_EQ(Image(m_dialog.m_all), 8); // one of three
    ClickOn(m_dialog.m_children[1]);
    ClickOn(m_dialog.m_children[2]);
    EXPECT_EQ(Image(m_dialog.m_all), 1); // the last one checked
    ClickOn(m_dialog.m_children[2]);
    EXPECT_EQ(Image(m_dialog.m_all), 8);
}

TEST_F(TreeOptionsTest, ToggleKeepsDisabledChildrenDisabled)
{
    Tree().SetCheckBoxEnable(m_dialog.m_children[1], FALSE);
    ClickOn(m_dialog.m_all);
    EXPECT_EQ(Image(m_dialog.m_children[0]), 1);
    EXPECT_EQ(Image(m_dialog.m_children[1]), 5);
    ClickOn(m_dialog.m_all);
    EXPECT_EQ(Image(m_dialog.m_children[1]), 4);
}

TEST_F(TreeOptionsTest, DisabledItemsIgnoreClicksAndTheSpaceKey)
{
    HTREEITEM child = m_dialog.m_children[0];
    Tree().SetCheckBoxEnable(child, FALSE);
    ClickOn(child);
    EXPECT_EQ(Image(child), 4);
    HTREEITEM radio = Tree().GetChildItem(m_dialog.m_format);
    Tree().SetRadioButtonEnable(radio, FALSE);
    ClickOn(radio);
    EXPECT_EQ(Image(radio), 6);

    HTREEITEM enabled = m_dialog.m_children[2];
    Tree().SelectItem(enabled);
    Tree().SendMessage(WM_CHAR, VK_SPACE, 0);
    EXPECT_EQ(Image(enabled), 1);
    Tree().SelectItem(child);
    Tree().SendMessage(WM_CHAR, VK_SPACE, 0);
    EXPECT_EQ(Image(child), 4);
}

TEST_F(TreeOptionsTest, RadioButtonsAreExclusiveAndKeepTheirEnabledState)
{
    HTREEITEM radios[3];
    radios[0] = Tree().GetChildItem(m_dialog.m_format);
    radios[1] = Tree().GetNextSiblingItem(radios[0]);
    radios[2] = Tree().GetNextSiblingItem(radios[1]);
    Tree().SetRadioButtonEnable(radios[2], FALSE);
    ClickOn(radios[0]);
    EXPECT_EQ(Image(radios[0]), 3);
    EXPECT_EQ(Image(radios[1]), 2);
    EXPECT_EQ(Image(radios[2]), 6);
    Tree().SetRadioButton(m_dialog.m_format, 1);
    EXPECT_EQ(Image(radios[0]), 2);
    EXPECT_EQ(Image(radios[1]), 3);
    int index = -1;
    HTREEITEM on = nullptr;
    EXPECT_TRUE(Tree().GetRadioButton(m_dialog.m_format, &index, &on));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(on, radios[1]);
    Tree().SetGroupEnable(m_dialog.m_format, FALSE);
    EXPECT_EQ(Image(radios[1]), 7);
    Tree().SetGroupEnable(m_dialog.m_format, TRUE);
    EXPECT_EQ(Image(radios[2]), 2);
}

TEST_F(TreeOptionsTest, NoRadioOnGivesTheRadioCountAndNoItem)
{
    Tree().SetRadioButton(m_dialog.m_format, 7); // beyond the children: every one off
    for (HTREEITEM item = Tree().GetChildItem(m_dialog.m_format); item; item = Tree().GetNextSiblingItem(item))
        EXPECT_EQ(Image(item), 2);
    int index = -1;
    HTREEITEM on = m_dialog.m_format;
    EXPECT_FALSE(Tree().GetRadioButton(m_dialog.m_format, &index, &on));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(on, nullptr);
}

TEST_F(TreeOptionsTest, ValuesFollowTheFirstSeparator)
{
    HTREEITEM item = Tree().InsertItem(L"A: B: 5", m_dialog.m_group);
    EXPECT_EQ(Tree().GetEditText(item), L"B: 5");
    Tree().SetEditText(item, L"7");
    EXPECT_EQ(Tree().GetItemText(item), L"A: 7");
    HTREEITEM bare = Tree().InsertItem(L"名前なし", m_dialog.m_group);
    EXPECT_EQ(Tree().GetEditText(bare), L"");
    Tree().SetEditText(bare, L"5");
    EXPECT_EQ(Tree().GetItemText(bare), L"名前なし: 5");
    Tree().SetColor(bare, RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(Tree().GetEditText(bare), L"302010");
    EXPECT_EQ(Tree().GetColor(bare), RGB(0x10, 0x20, 0x30));
}

TEST_F(TreeOptionsTest, SelectingAnItemOpensItsEditorRightOfTheLabel)
{
    Tree().SelectItem(m_dialog.m_quality);
    CTreeOptionsEdit* edit = Tree().GetEditEditor();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(Tree().GetItemText(m_dialog.m_quality), L"品質");
    CString text;
    edit->GetWindowText(text);
    EXPECT_EQ(text, L"80");
    EXPECT_EQ(edit->GetDlgCtrlID(), 100);
    EXPECT_TRUE(edit->GetExStyle() & WS_EX_CLIENTEDGE);
    CRect label, rect;
    Tree().GetItemRect(m_dialog.m_quality, &label, TRUE);
    edit->GetWindowRect(&rect);
    Tree().ScreenToClient(&rect);
    EXPECT_EQ(rect.left, label.right + 2);
    EXPECT_EQ(rect.top, label.top);
    CTreeOptionsSpinCtrl* spin = Tree().GetSpinEditor();
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->GetBuddy(), edit);
    int lower = 0, upper = 0;
    spin->CSpinButtonCtrl::GetRange(lower, upper);
    EXPECT_EQ(lower, 10);
    EXPECT_EQ(upper, 95);
    EXPECT_EQ(Tree().GetEditText(m_dialog.m_quality), L"80"); // read from the editor while it is open

    Tree().SelectItem(m_dialog.m_group); // closing commits
    EXPECT_EQ(Tree().GetEditEditor(), nullptr);
    EXPECT_EQ(Tree().GetSpinEditor(), nullptr);
    EXPECT_EQ(Tree().GetItemText(m_dialog.m_quality), L"品質: 80");
}

TEST_F(TreeOptionsTest, AnItemWithoutValueOpensEmptyAndGetsTheSeparatorOnCommit)
{
    HTREEITEM bare = Tree().InsertItem(L"見出し", m_dialog.m_group);
    Tree().AddEditBox(bare, RUNTIME_CLASS(CTreeOptionsEdit));
    Tree().SelectItem(bare);
    ASSERT_NE(Tree().GetEditEditor(), nullptr);
    CString text;
    Tree().GetEditEditor()->GetWindowText(text);
    EXPECT_EQ(text, L"");
    Tree().GetEditEditor()->SetWindowText(L"5");
    Tree().SelectItem(m_dialog.m_group);
    EXPECT_EQ(Tree().GetItemText(bare), L"見出し: 5");
}

TEST_F(TreeOptionsTest, TheComboSelectsTheValueAndRecordsItsIndex)
{
    Tree().SelectItem(m_dialog.m_kind);
    CTreeOptionsCombo* combo = Tree().GetComboEditor();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetCurSel(), 1);
    combo->SetCurSel(2);
    Tree().SelectItem(m_dialog.m_group);
    EXPECT_EQ(Tree().GetItemText(m_dialog.m_kind), L"種類: 三");
    EXPECT_EQ(Tree().GetComboIndex(m_dialog.m_kind), 2);

    Tree().SetEditText(m_dialog.m_kind, L"四"); // not in the list
    Tree().SelectItem(m_dialog.m_kind);
    EXPECT_EQ(Tree().GetComboEditor()->GetCurSel(), CB_ERR);
}

TEST_F(TreeOptionsTest, TheBrowseButtonSitsBesideTheEdit)
{
    Tree().SelectItem(m_dialog.m_color);
    CTreeOptionsBrowseButton* button = Tree().GetBrowseButton();
    ASSERT_NE(button, nullptr);
    CString caption;
    button->GetWindowText(caption);
    EXPECT_EQ(caption, L"...");
    CRect edit, rect;
    Tree().GetEditEditor()->GetWindowRect(&edit);
    button->GetWindowRect(&rect);
    EXPECT_EQ(rect.left, edit.right + 1);
    EXPECT_EQ(rect.top, edit.top - 2);
    EXPECT_EQ(rect.bottom, edit.bottom + 1);
    EXPECT_EQ(Tree().GetEditEditor()->GetButtonBuddy(), button);
}

TEST_F(TreeOptionsTest, FocusMovingElsewhereCommitsTheValue)
{
    Tree().SetFocus();
    Tree().SelectItem(m_dialog.m_quality);
    Tree().GetEditEditor()->SetFocus();
    Tree().GetEditEditor()->SetWindowText(L"64");
    m_dialog.GetDlgItem(IDC_CTLTEST_EDIT)->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return Tree().GetEditEditor() == nullptr; }));
    EXPECT_EQ(Tree().GetItemText(m_dialog.m_quality), L"品質: 64");
}

TEST_F(TreeOptionsTest, FocusMovingToTheBrowseButtonKeepsTheEditorOpen)
{
    Tree().SelectItem(m_dialog.m_color);
    Tree().GetEditEditor()->SetFocus();
    Tree().GetBrowseButton()->SetFocus();
    PumpPending();
    EXPECT_NE(Tree().GetEditEditor(), nullptr);
    Tree().GetEditEditor()->SetFocus(); // and back
    PumpPending();
    EXPECT_NE(Tree().GetEditEditor(), nullptr);
}

TEST_F(TreeOptionsTest, TheEditedValueIsCommittedWhenTheTreeIsDestroyed)
{
    Tree().SelectItem(m_dialog.m_quality);
    Tree().GetEditEditor()->SetWindowText(L"33");
    g_deletedTexts.clear();
    m_dialog.DestroyWindow();
    bool seen = false;
    for (const CString& text : g_deletedTexts)
        seen = seen || text == L"品質: 33";
    EXPECT_TRUE(seen);
}

TEST_F(TreeOptionsTest, DataExchangeLoadsAndSavesEveryKind)
{
    // Loaded by OnInitDialog.
    EXPECT_EQ(Image(m_dialog.m_all), 0);
    EXPECT_EQ(Image(Tree().GetNextSiblingItem(Tree().GetChildItem(m_dialog.m_format))), 3);
    EXPECT_EQ(Tree().GetItemText(m_dialog.m_quality), L"品質: 80");
    EXPECT_EQ(Tree().GetItemText(m_dialog.m_scale), L"倍率: 1.500000");
    EXPECT_EQ(Tree().GetItemText(m_dialog.m_name), L"名前: 写真");
    EXPECT_EQ(Tree().GetItemText(m_dialog.m_color), L"背景: 123456");

    Tree().SetItemImage(m_dialog.m_all, 8, 8); // partly checked counts as checked
    Tree().SetRadioButton(m_dialog.m_format, 2);
    Tree().SetEditText(m_dialog.m_quality, L"12abc");
    Tree().SetEditText(m_dialog.m_scale, L"2.25");
    Tree().SetEditText(m_dialog.m_color, L"#FF8000");
    ASSERT_TRUE(m_dialog.UpdateData(TRUE));
    EXPECT_TRUE(m_dialog.m_allValue);
    EXPECT_EQ(m_dialog.m_formatValue, 2);
    EXPECT_EQ(m_dialog.m_qualityValue, 12);
    EXPECT_DOUBLE_EQ(m_dialog.m_scaleValue, 2.25);
    EXPECT_EQ(m_dialog.m_colorValue, 0xFF8000u);

    for (HTREEITEM item = Tree().GetChildItem(m_dialog.m_format); item; item = Tree().GetNextSiblingItem(item))
        Tree().SetItemImage(item, 2, 2);
    ASSERT_TRUE(m_dialog.UpdateData(TRUE));
    EXPECT_EQ(m_dialog.m_formatValue, 3); // none on: past the last radio child
}

TEST_F(TreeOptionsTest, LoadingWhileAnItemIsEditedReachesTheEditor)
{
    Tree().SelectItem(m_dialog.m_quality);
    m_dialog.m_qualityValue = 55;
    m_dialog.UpdateData(FALSE);
    CString text;
    Tree().GetEditEditor()->GetWindowText(text);
    EXPECT_EQ(text, L"55");
    Tree().SelectItem(m_dialog.m_group);
    EXPECT_EQ(Tree().GetItemText(m_dialog.m_quality), L"品質: 55");
}

TEST_F(TreeOptionsTest, MenuCommandsReachTheEditBesideTheButton)
{
    Tree().SelectItem(m_dialog.m_menuItem);
    ASSERT_NE(Tree().GetMenuButton(), nullptr);
    g_editCommands.clear();
    Tree().SendMessage(WM_COMMAND, 31002, 0);
    Tree().SendMessage(WM_COMMAND, 32000, 0); // not one of the menu's
    EXPECT_EQ(g_editCommands, std::vector<UINT>{31002});
}

TEST_F(TreeOptionsTest, TheFileBrowserSaysOkAndCancellingKeepsTheValue)
{
    Tree().SelectItem(m_dialog.m_file);
    CString okText;
    HelperThread script([&] {
        HWND box = WaitForWindow([](HWND hWnd) {
            wchar_t cls[16] = {};
            ::GetClassNameW(hWnd, cls, 16);
            return lstrcmpW(cls, L"#32770") == 0 && ::GetDlgItem(hWnd, IDOK) && TextOf(hWnd) == L"ファイルの選択 ";
        });
        ASSERT_NE(box, nullptr);
        okText = TextOf(::GetDlgItem(box, IDOK));
        ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    });
    Tree().GetBrowseButton()->SendMessage(BM_CLICK);
    EXPECT_EQ(okText, L"OK");
    ASSERT_NE(Tree().GetEditEditor(), nullptr); // the dialog's focus closed nothing
    CString text;
    Tree().GetEditEditor()->GetWindowText(text);
    EXPECT_EQ(text, L"a.txt");
}

TEST(TreeOptionsModalTest, AValueTypedAndConfirmedWithEnterIsExchanged)
{
    OptionsDialog dialog;
    HelperThread script([] {
        HWND box = WaitForDialog(L"オプションの確認");
        ASSERT_NE(box, nullptr);
        HWND tree = ::GetDlgItem(box, IDC_CTLTEST_TREE);
        // The quality item: the second root item's sibling chain, found by its text.
        HTREEITEM item = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        for (; item; item = reinterpret_cast<HTREEITEM>(
                         ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
            wchar_t text[64] = {};
            TVITEMW info = {};
            info.mask = TVIF_TEXT;
            info.hItem = item;
            info.pszText = text;
            info.cchTextMax = 64;
            ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info));
            if (wcsncmp(text, L"品質", 2) == 0)
                break;
        }
        ASSERT_NE(item, nullptr);
        ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        HWND edit = ::GetDlgItem(tree, 100);
        ASSERT_NE(edit, nullptr);
        ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"42"));
        ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_qualityValue, 42);
}

} // namespace
