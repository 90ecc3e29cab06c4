#include "KitTestUtil.h"

#include "controls/CBmpMenuOwnerWnd.h"
#include "controls/CWindowListDialog.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kSection[] = L"KitFrameTest";

// A print preview's close procedure: the preview ends, the frame stays.
BOOL CALLBACK EndPreviewOnClose(CFrameWnd* pFrame)
{
    pFrame->m_lpfnCloseProc = nullptr;
    return TRUE;
}

TEST(FrameBase, LoadFrameMovesTheMenuIntoTheMenuBar)
{
    ScopedKitApp app;
    CKitTestFrame* frame = CKitTestFrame::Make(600);
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(nullptr, GetMenu(frame->m_hWnd));
    EXPECT_EQ(frame->m_hMenuDefault, frame->m_wndMenuBar.GetMenu());
    // Rebar and menu bar carry the ids and styles of the frame bases.
    EXPECT_EQ(59646, frame->m_wndReBar.GetDlgCtrlID());
    EXPECT_EQ(static_cast<int>(AFX_IDW_MENUBAR), frame->m_wndMenuBar.GetDlgCtrlID());
    EXPECT_EQ(frame->m_wndReBar.m_hWnd, frame->m_wndMenuBar.GetOwner()->m_hWnd);
    const BARINFO& menuRecord = frame->m_wndReBar.GetBarInfo(0);
    EXPECT_TRUE(menuRecord.bFixed);
    EXPECT_EQ(0, menuRecord.szName[0]);
    // The idle menu update gives the menu to the menu bar, never back to the window.
    frame->OnUpdateFrameMenu(nullptr);
    EXPECT_EQ(nullptr, GetMenu(frame->m_hWnd));
    EXPECT_EQ(frame->m_hMenuDefault, frame->m_wndMenuBar.GetMenu());
    frame->DestroyWindow();
}

TEST(FrameBase, ClosingWritesThePlacementOnlyWithASectionAndOutsidePreview)
{
    ScopedKitApp app;
    AfxGetApp()->WriteProfileString(kSection, nullptr, nullptr);
    // No section: nothing is written.
    CKitTestFrame* frame = CKitTestFrame::Make(500);
    ASSERT_NE(nullptr, frame);
    frame->SendMessage(WM_CLOSE);
    BYTE* data = nullptr;
    UINT size = 0;
    EXPECT_FALSE(AfxGetApp()->GetProfileBinary(kSection, L"FrameWndPlacement", &data, &size));
    delete[] data;
    // The framework's close procedure (print preview) set: nothing either.
    frame = CKitTestFrame::Make(500);
    frame->m_strPlacementSection = kSection;
    frame->m_lpfnCloseProc = &EndPreviewOnClose;
    frame->SendMessage(WM_CLOSE);
    EXPECT_FALSE(AfxGetApp()->GetProfileBinary(kSection, L"FrameWndPlacement", &data, &size));
    delete[] data;
    ASSERT_TRUE(IsWindow(frame->m_hWnd));
    // With a section: the 44-byte placement.
    frame->MoveWindow(33, 44, 555, 333);
    frame->SendMessage(WM_CLOSE);
    ASSERT_TRUE(AfxGetApp()->GetProfileBinary(kSection, L"FrameWndPlacement", &data, &size));
    ASSERT_EQ(44u, size);
    WINDOWPLACEMENT placement = {};
    memcpy(&placement, data, size);
    delete[] data;
    EXPECT_EQ(44u, placement.length);
    EXPECT_EQ(33, placement.rcNormalPosition.left);
    EXPECT_EQ(555, placement.rcNormalPosition.right - placement.rcNormalPosition.left);
    AfxGetApp()->WriteProfileString(kSection, nullptr, nullptr);
}

class MenuImageTest : public testing::Test
{
protected:
    void SetUp() override
    {
        frame = CKitTestFrame::Make(400);
        ASSERT_NE(nullptr, frame);
        CMap<UINT, UINT, int, int> map;
        map.SetAt(ID_KITTEST_NEW, 1); // the left arrow of the preview bar's images
        app->AddMenuImages(map, IDB_PREVIEW_TOOLBAR, RGB(255, 0, 255));
    }
    void TearDown() override { frame->DestroyWindow(); }
    void Draw(MemoryCanvas& canvas, UINT id, UINT state)
    {
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_MENU;
        draw.itemID = id;
        draw.itemState = state;
        draw.hDC = canvas.DC()->GetSafeHdc();
        draw.rcItem = CRect(0, 0, 40, 20);
        frame->SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    }

    ScopedKitApp app;
    CKitTestFrame* frame = nullptr;
};

TEST_F(MenuImageTest, MenuItemsAreMeasuredByTheImage)
{
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemID = ID_KITTEST_NEW;
    frame->SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    EXPECT_EQ(20u, measure.itemWidth);
    EXPECT_EQ(16u, measure.itemHeight);
}

TEST_F(MenuImageTest, EnabledImageIsDrawnAtTheLeftEdgeCentred)
{
    MemoryCanvas canvas(40, 20, RGB(255, 255, 255));
    Draw(canvas, ID_KITTEST_NEW, 0);
    // The arrow's shaft at (9, 7) of the image, two rows down in the 20-pixel item.
    EXPECT_NE(RGB(255, 255, 255), canvas.Pixel(9, 9));
    // The masked background stays as it was.
    EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(1, 3));
    // A command without an image: nothing is drawn.
    MemoryCanvas plain(40, 20, RGB(255, 255, 255));
    Draw(plain, ID_KITTEST_OPEN, 0);
    EXPECT_EQ(40 * 20, plain.CountColour(CRect(0, 0, 40, 20), RGB(255, 255, 255)));
}

TEST_F(MenuImageTest, GreyedImageIsASilhouetteInTheTextColour)
{
    MemoryCanvas canvas(40, 20, RGB(0, 0, 0));
    SetTextColor(canvas.DC()->GetSafeHdc(), RGB(10, 20, 30));
    SetBkColor(canvas.DC()->GetSafeHdc(), RGB(240, 230, 220));
    Draw(canvas, ID_KITTEST_NEW, ODS_GRAYED);
    EXPECT_EQ(RGB(10, 20, 30), canvas.Pixel(9, 9));
    EXPECT_EQ(RGB(240, 230, 220), canvas.Pixel(1, 3));
    // Only the image's own square is touched.
    EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(30, 10));
}

// ---------------------------------------------------------------- MDI frame and window list

class MDIFrameTest : public testing::Test
{
protected:
    void SetUp() override
    {
        frame = CKitTestMDIFrame::Make();
        ASSERT_NE(nullptr, frame);
        for (LPCWSTR title : {L"一", L"二", L"三"})
            children.push_back(frame->NewChild(title));
        PumpPending();
    }
    void TearDown() override { frame->DestroyWindow(); }
    HMENU WindowMenu() { return frame->m_wndMDIClient.m_hWindowMenu; }

    ScopedKitApp app;
    CKitTestMDIFrame* frame = nullptr;
    std::vector<VyxMDIChildWndEx*> children;
};

TEST_F(MDIFrameTest, WindowMenuEndsWithTheWindowListEntry)
{
    ASSERT_NE(nullptr, WindowMenu());
    frame->m_wndMDIClient.SendMessage(WM_MDIREFRESHMENU);
    const int count = GetMenuItemCount(WindowMenu());
    ASSERT_GT(count, 0);
    EXPECT_EQ(static_cast<UINT>(ID_WINDOW_LIST), GetMenuItemID(WindowMenu(), count - 1));
    EXPECT_EQ(L"&Windows...", MenuText(WindowMenu(), count - 1));
    // Refreshing again keeps one entry, still the last.
    frame->OnUpdateFrameTitle(TRUE);
    PumpPending();
    int entries = 0;
    for (int i = 0; i < GetMenuItemCount(WindowMenu()); ++i)
        entries += GetMenuItemID(WindowMenu(), i) == ID_WINDOW_LIST;
    EXPECT_EQ(1, entries);
    EXPECT_EQ(nullptr, GetMenu(frame->m_hWnd));
}

class CRefusingChild : public VyxMDIChildWndEx
{
protected:
    afx_msg void OnClose() {}
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRefusingChild, VyxMDIChildWndEx)
ON_WM_CLOSE()
END_MESSAGE_MAP()

TEST_F(MDIFrameTest, WindowListListsTheChildrenAndFollowsTheSelection)
{
    CWindowListDialog dialog(&frame->m_wndMDIClient, frame);
    ASSERT_TRUE(dialog.Create(IDD_WINDOW_LIST, frame));
    CListCtrl& list = dialog.GetList();
    ASSERT_EQ(3, list.GetItemCount());
    EXPECT_EQ(L"一", list.GetItemText(0, 0));
    EXPECT_EQ(reinterpret_cast<DWORD_PTR>(children[0]->m_hWnd), list.GetItemData(0));
    // The active child (the last made) is selected.
    EXPECT_EQ(1u, list.GetSelectedCount());
    EXPECT_TRUE(list.GetItemState(2, LVIS_SELECTED));

    auto enabled = [&](int id) { return dialog.GetDlgItem(id)->IsWindowEnabled() != FALSE; };
    struct Case
    {
        std::vector<int> selected;
        bool activate, close, minimize, cascade;
    } cases[] = {
        {{}, false, false, false, false},
        {{1}, true, true, true, false},
        {{0, 2}, false, true, true, true},
    };
    for (const Case& c : cases) {
        list.SetItemState(-1, 0, LVIS_SELECTED);
        for (int i : c.selected)
            list.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
        dialog.SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, 0);
        EXPECT_EQ(c.activate, enabled(IDC_WINDOWLIST_ACTIVATE)) << c.selected.size();
        EXPECT_EQ(c.close, enabled(IDC_WINDOWLIST_CLOSE)) << c.selected.size();
        EXPECT_EQ(c.minimize, enabled(IDC_WINDOWLIST_MINIMIZE)) << c.selected.size();
        EXPECT_EQ(c.cascade, enabled(IDC_WINDOWLIST_CASCADE)) << c.selected.size();
        EXPECT_EQ(c.cascade, enabled(IDC_WINDOWLIST_TILEHORZ)) << c.selected.size();
        EXPECT_EQ(c.cascade, enabled(IDC_WINDOWLIST_TILEVERT)) << c.selected.size();
        EXPECT_TRUE(enabled(IDOK));
        EXPECT_TRUE(enabled(IDC_WINDOWLIST_SAVE));
    }
    // Cascade with two selected: the unselected one is minimised.
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_WINDOWLIST_CASCADE, BN_CLICKED),
                       reinterpret_cast<LPARAM>(dialog.GetDlgItem(IDC_WINDOWLIST_CASCADE)->m_hWnd));
    EXPECT_TRUE(children[1]->IsIconic());
    EXPECT_FALSE(children[0]->IsIconic());
    dialog.DestroyWindow();
}

TEST_F(MDIFrameTest, ClosingRefreshesTheListAndARefusingChildStays)
{
    auto* stubborn = new CRefusingChild;
    ASSERT_TRUE(stubborn->LoadFrame(IDR_KITTEST_MDICHILD, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, frame));
    stubborn->SetWindowText(L"頑固");
    stubborn->InitialUpdateFrame(nullptr, TRUE);
    CWindowListDialog dialog(&frame->m_wndMDIClient, frame);
    ASSERT_TRUE(dialog.Create(IDD_WINDOW_LIST, frame));
    CListCtrl& list = dialog.GetList();
    ASSERT_EQ(4, list.GetItemCount());
    list.SetItemState(-1, 0, LVIS_SELECTED);
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    HWND first = children[0]->m_hWnd;
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_WINDOWLIST_CLOSE, BN_CLICKED),
                       reinterpret_cast<LPARAM>(dialog.GetDlgItem(IDC_WINDOWLIST_CLOSE)->m_hWnd));
    EXPECT_FALSE(IsWindow(first));
    ASSERT_EQ(3, list.GetItemCount());
    bool stubbornListed = false;
    for (int i = 0; i < list.GetItemCount(); ++i)
        stubbornListed = stubbornListed || list.GetItemData(i) == reinterpret_cast<DWORD_PTR>(stubborn->m_hWnd);
    EXPECT_TRUE(stubbornListed);
    dialog.DestroyWindow();
    stubborn->DestroyWindow();
}

TEST_F(MDIFrameTest, ActivateRestoresAnIconicChildAndEndsTheDialog)
{
    children[0]->ShowWindow(SW_MINIMIZE);
    CWindowListDialog dialog(&frame->m_wndMDIClient, frame);
    ASSERT_TRUE(dialog.Create(IDD_WINDOW_LIST, frame));
    CListCtrl& list = dialog.GetList();
    list.SetItemState(-1, 0, LVIS_SELECTED);
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_WINDOWLIST_ACTIVATE, BN_CLICKED),
                       reinterpret_cast<LPARAM>(dialog.GetDlgItem(IDC_WINDOWLIST_ACTIVATE)->m_hWnd));
    EXPECT_FALSE(children[0]->IsIconic());
    dialog.DestroyWindow();
}

TEST_F(MDIFrameTest, WindowListCommandRunsTheDialogModally)
{
    bool listed = false;
    {
        HelperThread helper([&] {
            HWND dialog = WaitForDialog(L"Windows");
            if (!dialog)
                return;
            HWND list = GetDlgItem(dialog, IDC_WINDOWLIST_LIST);
            listed = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 3;
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        frame->SendMessage(WM_COMMAND, ID_WINDOW_LIST);
    }
    EXPECT_TRUE(listed);
}

} // namespace
