// Drags and drops between the program's windows and from other programs, through the platform's
// drag loop with a scripted drop source (Wine drops at once where the pointer is when no button
// is held): files moved with their notes onto the folder pane, a drop onto the folder a drag came
// from refused, another program's drop posted, the right-button menu, notes paired with files,
// and archive members written out for a drag and removed at the next one.
#include <gtest/gtest.h>

#include "../image/TestArchiveFile.h"
#include "common/FrameTestUtil.h"
#include "common/RealInput.h"
#include "TestArchivePlugin.h"
#include "browser/CKWView.h"
#include "browser/CLstView.h"
#include "framework/AfxOleInit.h"
#include "catalogue/VyxDropFormats.h"
#include "browser/VyxDropTarget.h"
#include "browser/VyxOleDataSource.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxFile.h"
#include "catalogue/VyxNoteStore.h"

#include <atomic>

namespace {

// Begins the drag at once: the test holds no mouse button.
class ScriptedDropSource : public COleDropSource
{
public:
    BOOL OnBeginDrag(CWnd*) override
    {
        m_bDragStarted = TRUE;
        return TRUE;
    }
};

// The views take drops only once OLE is up, as the program brings it up at start.
class DragDrop : public testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(AfxOleInit()); }
};

int IndexOf(CKWDoc* doc, const CString& path)
{
    for (int i = 0; i < doc->GetItemCount(); ++i)
        if (doc->GetItem(i)->GetPath().CompareNoCase(path) == 0)
            return i;
    return -1;
}

void Select(CKWDoc* doc, std::initializer_list<CString> paths)
{
    for (int i = 0; i < doc->GetItemCount(); ++i)
        doc->SelectItem(i, FALSE, nullptr);
    for (const CString& path : paths)
        doc->SelectItem(IndexOf(doc, path), TRUE, nullptr);
}

// Puts the pointer over the point of the window (client coordinates), once it is on top there.
bool PointAt(CWnd* window, CPoint point)
{
    window->GetTopLevelParent()->SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    window->ClientToScreen(&point);
    SetCursorPos(point.x, point.y);
    return PumpUntil([&] { return WindowFromPoint(point) == window->GetSafeHwnd(); }, 30000);
}

bool PointAtCentre(CWnd* window)
{
    CRect client;
    window->GetClientRect(&client);
    return PointAt(window, client.CenterPoint());
}

// Over the bottom right of the view, where no item lies.
bool PointAtEmptySpace(CWnd* window)
{
    CRect client;
    window->GetClientRect(&client);
    return PointAt(window, client.BottomRight() - CSize(3, 3));
}

// Opens the scratch folder in the tree and shows its child "sub" away from the edges (folders
// beside the scratch folder can push it out of sight, or to an edge where a drag scrolls the
// tree); the label's rectangle in the pane's client.
bool ShowSubInTree(FrameProgram& p, CRect* label)
{
    CFolderView* pane = p.Pane();
    CTreeCtrl& tree = pane->GetTreeCtrl();
    BOOL exact = FALSE;
    HTREEITEM folder = pane->FindItemByPath(p.m_folder.Path(), nullptr, &exact);
    if (!folder || !exact)
        return false;
    tree.Expand(folder, TVE_EXPAND);
    HTREEITEM sub = tree.GetChildItem(folder);
    if (!sub || tree.GetItemText(sub) != L"sub")
        return false;
    HTREEITEM top = folder;
    for (int i = 0; i < 3 && tree.GetPrevVisibleItem(top); ++i)
        top = tree.GetPrevVisibleItem(top);
    tree.SelectSetFirstVisible(top);
    return tree.GetItemRect(sub, label, TRUE) != FALSE;
}

CString NoteOf(const CString& file)
{
    VyxNoteStore store(theCacheList.GetCacheFolder());
    CString folder;
    store.SetLocation(GetPathPart(folder, file, PartFolder), nullptr);
    return store.ReadNote(file);
}

std::string Bytes(HGLOBAL block)
{
    std::string bytes(static_cast<const char*>(GlobalLock(block)), GlobalSize(block));
    GlobalUnlock(block);
    return bytes;
}

TEST_F(DragDrop, SelectedFilesDraggedOntoAFolderOfThePaneMoveThereWithTheirNotes)
{
    FrameProgram p;
    CKWDoc* doc = p.Document();
    doc->DaDMOVE = true;
    CString a = p.m_folder / L"a.jpg";
    doc->GetItem(IndexOf(doc, a))->SetNote(L"ドラッグのメモ");
    Select(doc, {a});
    CFolderView* pane = p.Pane();
    CRect label;
    ASSERT_TRUE(ShowSubInTree(p, &label));
    ASSERT_TRUE(PointAt(pane, label.CenterPoint()));
    ScriptedDropSource source;
    EXPECT_EQ(DROPEFFECT_MOVE, VyxOleDataSource::StartViewDrag(doc, CPoint(4, 5), &source));
    EXPECT_FALSE(PathExists(a, 0));
    EXPECT_EQ("aaaa", FrameworkScratchFolder::ReadFile(p.m_folder / L"sub\\a.jpg"));
    EXPECT_EQ(CString(L"ドラッグのメモ"), NoteOf(p.m_folder / L"sub\\a.jpg"));
    EXPECT_EQ(CString(), NoteOf(a));
    // The moved item has left the view; the other is still there.
    EXPECT_EQ(-1, IndexOf(doc, a));
    EXPECT_NE(-1, IndexOf(doc, p.m_folder / L"b.jpg"));
    EXPECT_EQ(WatchMode::Watching, p.Frame()->GetWatchMode());
}

TEST_F(DragDrop, ADragOntoTheFolderItCameFromIsRefused)
{
    FrameProgram p;
    CKWDoc* doc = p.Document();
    Select(doc, {p.m_folder / L"a.jpg"});
    for (CView* view : {p.Frame()->GetThumbPane(), p.Frame()->GetListPane()}) {
        ASSERT_TRUE(PointAtEmptySpace(view));
        ScriptedDropSource source;
        EXPECT_EQ(DROPEFFECT_NONE, VyxOleDataSource::StartViewDrag(doc, CPoint(1, 1), &source));
        EXPECT_TRUE(PathExists(p.m_folder / L"a.jpg", 0));
    }
}

TEST_F(DragDrop, ADragOntoAFolderItemOfTheSameViewGoesIntoThatFolder)
{
    FrameProgram p;
    CKWDoc* doc = p.Document();
    const int sub = IndexOf(doc, p.m_folder / L"sub");
    ASSERT_GE(sub, 0);
    ASSERT_TRUE(doc->GetItem(sub)->IsFolder());
    auto* thumbs = DYNAMIC_DOWNCAST(CKWView, p.Frame()->GetThumbPane());
    const ThumbGridLayout& layout = thumbs->GetLayout();
    const CPoint cell = layout.GetCellOrigin(sub) - thumbs->GetScrollOffset() + CSize(4, 4);
    ASSERT_EQ(sub, thumbs->HitTestClient(cell));
    auto* list = DYNAMIC_DOWNCAST(CLstView, p.Frame()->GetListPane());
    CRect row;
    int listRow = -1;
    for (int r = 0; r < list->GetListCtrl().GetItemCount(); ++r)
        if (list->GetRowItem(r) == doc->GetItem(sub))
            listRow = r;
    ASSERT_GE(listRow, 0);
    list->GetListCtrl().GetItemRect(listRow, &row, LVIR_LABEL);
    struct Target
    {
        CWnd* view;
        CPoint point;
        const wchar_t* file;
    };
    for (const Target& target : {Target{thumbs, cell, L"a.jpg"}, Target{list, row.CenterPoint(), L"b.jpg"}}) {
        SCOPED_TRACE(testing::Message() << target.file);
        EXPECT_EQ(CString(p.m_folder / L"sub"),
                  target.view == thumbs ? thumbs->DropFolderAt(target.point) : list->DropFolderAt(target.point));
        Select(doc, {p.m_folder / target.file});
        ASSERT_TRUE(PointAt(target.view, target.point));
        ScriptedDropSource source;
        EXPECT_EQ(DROPEFFECT_COPY, VyxOleDataSource::StartViewDrag(doc, CPoint(1, 1), &source));
        EXPECT_TRUE(PathExists(p.m_folder.Path() + L"\\sub\\" + target.file, 0));
        EXPECT_TRUE(PathExists(p.m_folder / target.file, 0));
    }
}

TEST_F(DragDrop, AnotherProgramsDropIsPostedAndRunsOnceItsDragHasEnded)
{
    FrameProgram p;
    FrameworkScratchFolder outside;
    CString file = outside.WriteFile(L"外から.jpg", "outside");
    for (CView* view : {p.Frame()->GetListPane(), p.Frame()->GetThumbPane()}) {
        DeleteFileW(p.m_folder / L"外から.jpg");
        ASSERT_TRUE(PointAtEmptySpace(view));
        COleDataSource data;
        data.CacheGlobalData(CF_HDROP, VyxDropFormats::MakeFileList({file}, POINT{}));
        ScriptedDropSource source;
        EXPECT_EQ(DROPEFFECT_COPY, data.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, &source));
        // The job waits for the frame's turn: nothing is copied inside the other program's drag.
        EXPECT_FALSE(PathExists(p.m_folder / L"外から.jpg", 0));
        EXPECT_TRUE(PumpUntil([&] { return PathExists(p.m_folder / L"外から.jpg", 0); }, 30000));
        EXPECT_EQ("outside", FrameworkScratchFolder::ReadFile(p.m_folder / L"外から.jpg"));
        EXPECT_TRUE(PathExists(file, 0));
    }
}

TEST_F(DragDrop, ARightButtonDragAlwaysEndsInTheMenuAndItsLastItemDoesNothing)
{
    CTestHostWnd owner;
    struct Row
    {
        int downs; // -1: Escape
        DROPEFFECT allowed;
        DROPEFFECT expected;
    };
    const Row rows[] = {{1, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
                        {2, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE},
                        {3, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_NONE},
                        {-1, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_NONE},
                        // Without move the menu offers copy and cancel.
                        {2, DROPEFFECT_COPY, DROPEFFECT_NONE}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.downs << " " << row.allowed);
        VyxDropTarget target;
        target.Enter(MK_RBUTTON);
        MakeActive(owner);
        HelperThread driver([&] { DriveMenu(owner.GetSafeHwnd(), row.downs); });
        EXPECT_EQ(row.expected, target.ChooseEffect(&owner, CPoint(10, 10), DROPEFFECT_MOVE, row.allowed));
    }
    VyxDropTarget left;
    left.Enter(MK_LBUTTON);
    EXPECT_EQ(DROPEFFECT_MOVE, left.ChooseEffect(&owner, CPoint(10, 10), DROPEFFECT_MOVE, DROPEFFECT_COPY));
}

TEST_F(DragDrop, TheRightButtonMenuShowsItsTextsWithoutLineEnds)
{
    CTestHostWnd owner;
    VyxDropTarget target;
    target.Enter(MK_RBUTTON);
    MakeActive(owner);
    std::vector<CString> texts;
    {
        HelperThread driver([&] {
            HWND menu = WaitForMenu();
            HMENU handle = menu ? reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)) : nullptr;
            for (int i = 0; handle && i < GetMenuItemCount(handle); ++i) {
                wchar_t text[128] = {};
                GetMenuStringW(handle, i, text, 128, MF_BYPOSITION);
                texts.push_back(text);
            }
            DriveMenu(owner.GetSafeHwnd(), -1);
        });
        target.ChooseEffect(&owner, CPoint(10, 10), DROPEFFECT_COPY, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    }
    EXPECT_EQ((std::vector<CString>{L"ここにコピー(&C)", L"ここに移動(&M)", L"", L"キャンセル(&A)"}), texts);
}

TEST_F(DragDrop, KeysChooseTheEffectAndOnlyAPlainFolderTakesADrop)
{
    FrameProgram p;
    CKWDoc* doc = p.Document();
    struct Row
    {
        DWORD keys;
        bool moveSetting;
        DROPEFFECT expected;
    };
    const Row rows[] = {{MK_CONTROL, true, DROPEFFECT_COPY}, {MK_CONTROL | MK_SHIFT, true, DROPEFFECT_COPY},
                        {MK_SHIFT, false, DROPEFFECT_MOVE},  {0, false, DROPEFFECT_COPY},
                        {0, true, DROPEFFECT_MOVE},          {MK_RBUTTON, true, DROPEFFECT_MOVE}};
    COleDataSource data;
    data.CacheGlobalData(CF_HDROP, VyxDropFormats::MakeFileList({L"C:\\x.jpg"}, POINT{}));
    COleDataObject object;
    object.Attach(data.GetIDataObject(TRUE));
    for (const Row& row : rows) {
        doc->DaDMOVE = row.moveSetting;
        EXPECT_EQ(row.expected, VyxDropTarget::ViewDragOver(doc, &object, row.keys, doc->GetFolderPath()))
            << row.keys << " " << row.moveSetting;
    }
    // The program's own drag over the folder it came from (compared as written) goes nowhere.
    data.CacheGlobalData(VyxDropFormats::DropFolderFormat(), VyxDropFormats::MakeFolderBlock(doc->GetFolderPath()));
    EXPECT_EQ(DROPEFFECT_NONE, VyxDropTarget::ViewDragOver(doc, &object, 0, doc->GetFolderPath()));
    EXPECT_EQ(DROPEFFECT_MOVE, VyxDropTarget::ViewDragOver(doc, &object, 0, p.m_folder / L"sub"));
    COleDataObject text;
    COleDataSource plain;
    plain.CacheGlobalData(CF_UNICODETEXT, VyxDropFormats::MakeFolderBlock(L"x"));
    text.Attach(plain.GetIDataObject(TRUE));
    EXPECT_EQ(DROPEFFECT_NONE, VyxDropTarget::ViewDragOver(doc, &text, 0, p.m_folder / L"sub"));
}

TEST_F(DragDrop, EachDraggedFileTakesItsOwnNoteEvenWhereOthersHaveNone)
{
    FrameProgram p;
    CKWDoc* doc = p.Document();
    CString a = p.m_folder / L"a.jpg", b = p.m_folder / L"b.jpg";
    doc->GetItem(IndexOf(doc, b))->SetNote(L"second");
    Select(doc, {a, b});
    auto* source = new VyxOleDataSource;
    source->m_pRenderWnd = p.Frame();
    source->DelayRenderData(CF_HDROP);
    source->DelayRenderData(VyxDropFormats::NoteFormat());
    COleDataObject data;
    data.Attach(source->GetIDataObject(FALSE), FALSE);
    std::vector<CString> names = VyxDropFormats::GetFileList(&data);
    std::vector<CString> notes = VyxDropFormats::GetNoteList(&data, names.size());
    // In view order: a.jpg, without a note, then b.jpg.
    ASSERT_EQ((std::vector<CString>{a, b}), names);
    EXPECT_EQ((std::vector<CString>{L"", L"second"}), notes);
    // A receiver that brings its own block gets it filled, and a block too small is refused.
    FORMATETC format = {VyxDropFormats::NoteFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM here = {};
    here.tymed = TYMED_HGLOBAL;
    here.hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64);
    EXPECT_EQ(S_OK, data.GetIDataObject(FALSE)->GetDataHere(&format, &here));
    std::string filled = Bytes(here.hGlobal);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(L"\0second\0"), 9 * sizeof(wchar_t)),
              filled.substr(0, 9 * sizeof(wchar_t)));
    GlobalFree(here.hGlobal);
    here.hGlobal = GlobalAlloc(GMEM_MOVEABLE, 4);
    EXPECT_NE(S_OK, data.GetIDataObject(FALSE)->GetDataHere(&format, &here));
    GlobalFree(here.hGlobal);
    source->ExternalRelease();
}

TEST_F(DragDrop, MembersWrittenOutForADragGoAtTheNextDragAndAnArchiveTakesNoDrop)
{
    TestArchivePlugin plugin;
    FrameProgram p([] {}, false);
    p.m_folder.WriteFile(L"box.tarc",
                         plugintest::MakeTestArchive(0, {{"", "one.jpg", "first member", 0, 1100000000},
                                                         {"", "two.jpg", "second member", 0, 1100000000}}));
    ASSERT_TRUE(p.Start(p.m_folder.Path()));
    CFolderView* pane = p.Pane();
    BOOL exact = FALSE;
    HTREEITEM folder = pane->FindItemByPath(p.m_folder.Path(), nullptr, &exact);
    pane->GetTreeCtrl().Expand(folder, TVE_EXPAND);
    HTREEITEM box = pane->FindItemByPath(p.m_folder / L"box.tarc", nullptr, &exact);
    ASSERT_NE(nullptr, box);
    pane->GetTreeCtrl().SelectItem(box);
    CKWDoc* doc = p.Document();
    ASSERT_FALSE(doc->IsFolderLocation());
    ASSERT_EQ(2, doc->GetItemCount());
    ASSERT_TRUE(doc->GetItem(0)->IsArchiveMember());
    for (int i = 0; i < doc->GetItemCount(); ++i)
        doc->SelectItem(i, TRUE, nullptr);

    auto* source = new VyxOleDataSource;
    source->m_pRenderWnd = p.Frame();
    source->DelayRenderData(CF_HDROP);
    COleDataObject data;
    data.Attach(source->GetIDataObject(FALSE), FALSE);
    std::vector<CString> first = VyxDropFormats::GetFileList(&data);
    std::vector<CString> second = VyxDropFormats::GetFileList(&data);
    ASSERT_EQ(2u, first.size());
    // One folder for the drag, written once however often a target asks.
    EXPECT_EQ(first, second);
    CString written = source->m_strTempFolder;
    EXPECT_EQ(written, first[0].Left(written.GetLength()));
    EXPECT_EQ("first member", FrameworkScratchFolder::ReadFile(first[0].Find(L"one.jpg") >= 0 ? first[0] : first[1]));
    source->ExternalRelease();

    // The next drag: the members' folder goes; over a view showing an archive nothing drops.
    ASSERT_TRUE(PointAtCentre(p.Frame()->GetThumbPane()));
    ScriptedDropSource dropSource;
    EXPECT_EQ(DROPEFFECT_NONE, VyxOleDataSource::StartViewDrag(doc, CPoint(2, 2), &dropSource));
    EXPECT_FALSE(PathExists(written, static_cast<DWORD>(-1)));
}

TEST_F(DragDrop, AFolderOfTheTreeDroppedOnWithTheRightButtonLosesItsHighlightAfterTheMenu)
{
    FrameProgram p([] { WriteAppIniString(L"KWDoc", L"ThumbsSize", L"100,100"); });
    CKWDoc* doc = p.Document();
    CFolderView* pane = p.Pane();
    CTreeCtrl& tree = pane->GetTreeCtrl();
    CRect label;
    ASSERT_TRUE(ShowSubInTree(p, &label));
    BOOL exact = FALSE;
    const HTREEITEM sub = pane->FindItemByPath(p.m_folder / L"sub", nullptr, &exact);
    CPoint over = label.CenterPoint();
    pane->ClientToScreen(&over);

    auto* thumbs = DYNAMIC_DOWNCAST(CKWView, p.Frame()->GetThumbPane());
    thumbs->Invalidate(FALSE);
    thumbs->UpdateWindow();
    const int a = IndexOf(doc, p.m_folder / L"a.jpg");
    CPoint from = thumbs->GetLayout().GetCellOrigin(a) - thumbs->GetScrollOffset() + CSize(10, 10);
    thumbs->ClientToScreen(&from);
    ASSERT_TRUE(ShowsAt(thumbs->GetSafeHwnd(), from));
    ASSERT_EQ(pane->GetSafeHwnd(), WindowFromPoint(over));

    // Pressed on a.jpg, dragged with the right button onto "sub", "ここにコピー(&C)" chosen.
    std::atomic<bool> chosen{false};
    {
        HelperThread driver(
            [&] {
                SendMouse(from, 0);
                SendMouse(from, MOUSEEVENTF_RIGHTDOWN);
                SendMouse(over, 0);
                // Released once the drag, the button still held, has reached the folder.
                HWND treeWnd = tree.GetSafeHwnd();
                WaitUntil([&] { return TreeView_GetDropHilight(treeWnd) == sub; }, 30000);
                SendMouse(over, MOUSEEVENTF_RIGHTUP);
                if (!WaitForMenu(30000))
                    return;
                SendKey(VK_DOWN);
                SendKey(VK_RETURN);
                chosen = true;
            },
            60000);
        EXPECT_TRUE(RunLoopUntil([&] { return chosen && PathExists(p.m_folder / L"sub\\a.jpg", 0); }, 60000));
        RunLoopUntil([] { return true; });
    }
    EXPECT_EQ(0, doc->GetLocationPath().CompareNoCase(p.m_folder.Path()));
    HTREEITEM highlighted = tree.GetDropHilightItem();
    EXPECT_TRUE(highlighted == nullptr || highlighted == tree.GetSelectedItem())
        << CStringA(tree.GetItemText(highlighted)).GetString();
    EXPECT_EQ(pane->FindItemByPath(p.m_folder.Path(), nullptr, &exact), tree.GetSelectedItem());
}

} // namespace
