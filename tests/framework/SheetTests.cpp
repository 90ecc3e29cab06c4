// Property sheets: a sheet with three pages (one vetoes leaving through its data exchange, one is
// removed while the sheet is open, one is never shown), run modal from a helper thread and
// modeless in this thread's loop.
#include "common/Clicks.h"
#include "common/WindowTestUtil.h"

#include "PageAndPrintTestRes.h"

#include <functional>

namespace {

const wchar_t kSheetCaption[] = L"テストシート";

HWND CurrentPage(HWND sheet)
{
    return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

int TabCount(HWND sheet)
{
    HWND tab = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    return static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
}

class CTestPage : public CPropertyPage
{
public:
    explicit CTestPage(UINT nIDTemplate) : CPropertyPage(nIDTemplate), m_template(nIDTemplate) {}

    UINT m_template;
    int m_count = 8;
    int m_grid = 1;
    CString m_note = L"メモ";
    bool m_sawNcCreate = false;
    int m_inits = 0, m_setActives = 0, m_applies = 0, m_resets = 0;

protected:
    BOOL OnInitDialog() override
    {
        ++m_inits;
        return CPropertyPage::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        if (m_template == IDD_FWTEST_PAGE_GENERAL) {
            DDX_Text(pDX, IDC_FWTEST_PAGE_COUNT, m_count);
            DDV_MinMaxInt(pDX, m_count, 1, 64);
        } else if (m_template == IDD_FWTEST_PAGE_VIEW) {
            DDX_Check(pDX, IDC_FWTEST_PAGE_GRID, m_grid);
        } else {
            DDX_Text(pDX, IDC_FWTEST_PAGE_NOTE, m_note);
        }
    }
    BOOL OnSetActive() override
    {
        ++m_setActives;
        return CPropertyPage::OnSetActive();
    }
    BOOL OnApply() override
    {
        ++m_applies;
        return CPropertyPage::OnApply();
    }
    void OnReset() override
    {
        ++m_resets;
        CPropertyPage::OnReset();
    }
    afx_msg BOOL OnNcCreate(LPCREATESTRUCT cs)
    {
        m_sawNcCreate = true;
        return CPropertyPage::OnNcCreate(cs);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestPage, CPropertyPage)
ON_WM_NCCREATE()
END_MESSAGE_MAP()

const UINT WM_REMOVE_PAGE = WM_APP + 1;

class CTestSheet : public CPropertySheet
{
public:
    explicit CTestSheet(CWnd* pParent) : CPropertySheet(kSheetCaption, pParent) {}

    bool m_sawCreate = false;
    int m_initDialogs = 0;
    int m_tabsAtInit = -1;
    int m_dialogMessages = 0;
    CPropertyPage* m_toRemove = nullptr;

protected:
    BOOL OnInitDialog() override
    {
        BOOL result = CPropertySheet::OnInitDialog();
        ++m_initDialogs;
        m_tabsAtInit = GetTabControl()->GetItemCount();
        return result;
    }
    afx_msg int OnCreate(LPCREATESTRUCT cs)
    {
        m_sawCreate = true;
        return CPropertySheet::OnCreate(cs);
    }
    afx_msg LRESULT OnIsDialogMessage(WPARAM, LPARAM)
    {
        ++m_dialogMessages;
        return Default();
    }
    afx_msg LRESULT OnRemovePage(WPARAM, LPARAM)
    {
        RemovePage(m_toRemove);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestSheet, CPropertySheet)
ON_WM_CREATE()
ON_MESSAGE(PSM_ISDIALOGMESSAGE, OnIsDialogMessage)
ON_MESSAGE(WM_REMOVE_PAGE, OnRemovePage)
END_MESSAGE_MAP()

struct ThreePages
{
    CTestPage general{IDD_FWTEST_PAGE_GENERAL};
    CTestPage view{IDD_FWTEST_PAGE_VIEW};
    CTestPage detail{IDD_FWTEST_PAGE_DETAIL};

    void AddTo(CPropertySheet& sheet)
    {
        sheet.AddPage(&general);
        sheet.AddPage(&view);
        sheet.AddPage(&detail);
    }
};

TEST(PropertySheets, ModalSheetVetoesLeavingABadPageRemovesAPageLiveAndAppliesOnlyShownPages)
{
    CTestHostWnd owner;
    CTestSheet sheet(&owner);
    ThreePages pages;
    pages.AddTo(sheet);
    sheet.m_toRemove = &pages.view;

    struct Seen
    {
        BOOL ownerEnabled = TRUE;
        CString refusal;
        bool keptAfterRefusal = false;
        bool viewShown = false;
        int tabsAfterRemoval = -1;
        bool viewWindowGone = false;
    } seen;
    INT_PTR result = 0;
    {
        HelperThread helper([&] {
            HWND dlg = WaitForDialog(kSheetCaption);
            ASSERT_NE(nullptr, dlg);
            seen.ownerEnabled = IsWindowEnabled(owner.m_hWnd);
            HWND general = CurrentPage(dlg);
            ASSERT_NE(nullptr, general);
            HWND count = GetDlgItem(general, IDC_FWTEST_PAGE_COUNT);
            // Out of range: the page refuses to be left.
            SetWindowTextW(count, L"65");
            PostMessageW(dlg, PSM_SETCURSEL, 1, 0);
            HWND box = WaitForMessageBox(&seen.refusal);
            ASSERT_NE(nullptr, box);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
            seen.keptAfterRefusal = CurrentPage(dlg) == general;
            // In range: the view page comes up; back to the first page, the view page goes.
            SetWindowTextW(count, L"12");
            PostMessageW(dlg, PSM_SETCURSEL, 1, 0);
            seen.viewShown = WaitUntil([&] { return CurrentPage(dlg) != general; });
            PostMessageW(dlg, PSM_SETCURSEL, 0, 0);
            ASSERT_TRUE(WaitUntil([&] { return CurrentPage(dlg) == general; }));
            HWND view = pages.view.m_hWnd;
            PostMessageW(dlg, WM_REMOVE_PAGE, 0, 0);
            seen.tabsAfterRemoval = WaitUntil([&] { return TabCount(dlg) == 2; }) ? 2 : TabCount(dlg);
            seen.viewWindowGone = !IsWindow(view);
            PostButtonClicked(dlg, IDOK);
        });
        result = sheet.DoModal();
    }
    EXPECT_EQ(IDOK, result);
    EXPECT_FALSE(seen.ownerEnabled);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_TRUE(sheet.m_sawCreate);
    EXPECT_EQ(1, sheet.m_initDialogs);
    EXPECT_EQ(3, sheet.m_tabsAtInit);
    EXPECT_EQ(CString(L"1 から 64 までの整数を入力してください。"), seen.refusal);
    EXPECT_TRUE(seen.keptAfterRefusal);
    EXPECT_TRUE(seen.viewShown);
    EXPECT_EQ(2, seen.tabsAfterRemoval);
    EXPECT_TRUE(seen.viewWindowGone);
    EXPECT_EQ(2, sheet.GetPageCount());
    EXPECT_EQ(&pages.detail, sheet.GetPage(1));
    // The page objects were bound before their windows were created.
    EXPECT_TRUE(pages.general.m_sawNcCreate);
    EXPECT_TRUE(pages.view.m_sawNcCreate);
    EXPECT_EQ(12, pages.general.m_count);
    EXPECT_EQ(1, pages.general.m_applies);
    EXPECT_EQ(0, pages.view.m_applies);
    // Never shown: never made, never asked.
    EXPECT_EQ(0, pages.detail.m_inits);
    EXPECT_EQ(0, pages.detail.m_setActives);
    EXPECT_EQ(0, pages.detail.m_applies);
    EXPECT_EQ(nullptr, sheet.m_hWnd);
    EXPECT_EQ(nullptr, pages.general.m_hWnd);
}

TEST(PropertySheets, OkIsRefusedWhileThePageIsBadAndCancelAppliesNothing)
{
    CTestHostWnd owner;
    CTestSheet sheet(&owner);
    ThreePages pages;
    pages.AddTo(sheet);
    CString refusal;
    bool stillOpen = false;
    INT_PTR result = 0;
    {
        HelperThread helper([&] {
            HWND dlg = WaitForDialog(kSheetCaption);
            ASSERT_NE(nullptr, dlg);
            HWND general = CurrentPage(dlg);
            SetWindowTextW(GetDlgItem(general, IDC_FWTEST_PAGE_COUNT), L"0");
            PostButtonClicked(dlg, IDOK);
            HWND box = WaitForMessageBox(&refusal);
            ASSERT_NE(nullptr, box);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
            stillOpen = IsWindowVisible(dlg) && CurrentPage(dlg) == general;
            PostButtonClicked(dlg, IDCANCEL);
        });
        result = sheet.DoModal();
    }
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(CString(L"1 から 64 までの整数を入力してください。"), refusal);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(0, pages.general.m_applies);
    EXPECT_EQ(1, pages.general.m_resets);
}

TEST(PropertySheets, ModelessSheetAddsRemovesAndActivatesPagesWhileOpen)
{
    CTestHostWnd host;
    CTestSheet sheet(&host);
    ThreePages pages;
    pages.AddTo(sheet);
    sheet.EnableStackedTabs(FALSE);
    ASSERT_TRUE(sheet.Create(&host));
    EXPECT_TRUE(sheet.IsWindowVisible());
    EXPECT_TRUE(sheet.m_sawCreate);
    EXPECT_EQ(1, sheet.m_initDialogs);
    EXPECT_EQ(0u, sheet.GetTabControl()->GetStyle() & TCS_MULTILINE);
    EXPECT_EQ(&pages.general, sheet.GetActivePage());
    EXPECT_EQ(sheet.m_hWnd, GetParent(pages.general.m_hWnd));
    EXPECT_EQ(nullptr, pages.detail.m_hWnd);

    // A changed page turns Apply on; unchanged again, it goes off.
    HWND apply = GetDlgItem(sheet.m_hWnd, ID_APPLY_NOW);
    EXPECT_FALSE(IsWindowEnabled(apply));
    pages.general.SetModified(TRUE);
    EXPECT_TRUE(IsWindowEnabled(apply));
    pages.general.SetModified(FALSE);
    EXPECT_FALSE(IsWindowEnabled(apply));

    EXPECT_TRUE(sheet.SetActivePage(&pages.detail));
    EXPECT_EQ(2, sheet.GetActiveIndex());
    EXPECT_EQ(1, pages.detail.m_inits);
    EXPECT_TRUE(pages.detail.m_sawNcCreate);

    CTestPage extra(IDD_FWTEST_PAGE_VIEW);
    extra.m_psp.dwFlags |= PSP_USETITLE;
    extra.m_psp.pszTitle = L"追加";
    sheet.AddPage(&extra);
    EXPECT_EQ(4, sheet.GetPageCount());
    EXPECT_EQ(4, sheet.GetTabControl()->GetItemCount());
    EXPECT_TRUE(sheet.SetActivePage(3));
    EXPECT_EQ(&extra, sheet.GetActivePage());
    EXPECT_EQ(1, extra.m_inits);

    // The view page, never shown, goes; the active page keeps its place in the order.
    sheet.RemovePage(1);
    EXPECT_EQ(3, sheet.GetPageCount());
    EXPECT_EQ(3, sheet.GetTabControl()->GetItemCount());
    EXPECT_EQ(&pages.detail, sheet.GetPage(1));
    EXPECT_EQ(2, sheet.GetActiveIndex());

    // Keys of the pages reach the sheet's own map as PSM_ISDIALOGMESSAGE.
    MSG key = {GetDlgItem(extra.m_hWnd, IDC_FWTEST_PAGE_GRID), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(sheet.m_hWnd, &key));
    EXPECT_EQ(1, sheet.m_dialogMessages);

    PostButtonClicked(sheet.m_hWnd, IDOK);
    ASSERT_TRUE(PumpUntil([&] { return CurrentPage(sheet.m_hWnd) == nullptr; }));
    EXPECT_EQ(1, pages.general.m_applies);
    EXPECT_EQ(1, pages.detail.m_applies);
    EXPECT_EQ(1, extra.m_applies);
    EXPECT_EQ(0, pages.view.m_applies);
    sheet.DestroyWindow();
    EXPECT_EQ(nullptr, sheet.m_hWnd);
    EXPECT_EQ(nullptr, extra.m_hWnd);
}

TEST(PropertySheets, PageChosenBeforeCreationIsTheFirstShown)
{
    CTestHostWnd host;
    CTestSheet sheet(&host);
    ThreePages pages;
    pages.AddTo(sheet);
    EXPECT_TRUE(sheet.SetActivePage(2));
    EXPECT_FALSE(sheet.SetActivePage(3));
    EXPECT_EQ(2, sheet.GetActiveIndex());
    EXPECT_EQ(&pages.detail, sheet.GetActivePage());
    ASSERT_TRUE(sheet.Create(&host));
    EXPECT_EQ(&pages.detail, sheet.GetActivePage());
    EXPECT_EQ(0, pages.general.m_inits);
    EXPECT_EQ(1, pages.detail.m_inits);
    sheet.DestroyWindow();
}

} // namespace
