#include "DocumentTestUtil.h"

#include "catalogue/VyxNoteStore.h"
#include "image/DibCore.h"

using namespace doctest;

namespace {

using Texts = std::vector<std::wstring>;

const long long kTime = 1500000000;

void PutFiles(const ScratchFolder& folder, std::initializer_list<const wchar_t*> names)
{
    for (const wchar_t* name : names)
        PutFile(folder, name, "data", kTime);
}

Texts Sorted(Texts texts)
{
    std::sort(texts.begin(), texts.end());
    return texts;
}

} // namespace

TEST(Document, OpeningAFolderListsItAndAnnouncesTheRebuild)
{
    DocumentScope scope;
    PutFiles(scope.folder, {L"a.jpg", L"b.jpg", L"_THUMBS_.KWI"});
    PutFolder(scope.folder, L"sub");
    CKWDoc& doc = scope.Document();
    EXPECT_TRUE(doc.IsUpdating()); // until the list is first emptied
    const std::wstring path = scope.folder.Path();

    EXPECT_EQ(0, doc.OpenFolder(CVirtualFolder(path.c_str(), path.c_str(), 1), nullptr));

    EXPECT_EQ((Texts{L"1 " + path, L"2 " + path}), scope.Heard());
    EXPECT_EQ((Texts{L"a.jpg", L"b.jpg", L"sub"}), Sorted(scope.Names()));
    EXPECT_FALSE(doc.IsUpdating());
    EXPECT_EQ(-1, doc.GetCursorIndex());
    EXPECT_EQ(CString(path.c_str()), doc.GetFolderPath());
    EXPECT_TRUE(doc.GetLocationFileName().IsEmpty());
    EXPECT_EQ(CString(path.c_str()), doc.GetTitle());
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_EQ(0, CString(current).CompareNoCase(path.c_str()));
    // Two settings of the item layer are written back even when they were never set.
    EXPECT_EQ(L"0", std::wstring(GetAppIniString(L"VyxFile", L"NotCreateThumbsSize", L"absent")));
    EXPECT_EQ(L"0", std::wstring(GetAppIniString(L"VyxFile", L"DrawIconAlign", L"absent")));
    // New items carry the document's drawing settings.
    VyxFile* item = doc.GetItem(0);
    EXPECT_EQ(doc.ThumbsPaddingSize, CSize(item->GetPaddingSize()));
    EXPECT_EQ(doc.colArcDraw, item->colArcDraw);
}

TEST(Document, AnArchiveLocationListsItsMembersWhateverArchiveAndDownScanSay)
{
    StandardPlugins plugins;
    DocumentScope scope;
    WriteAppIniInt(L"KWDoc", L"Archive", 0);
    WriteAppIniInt(L"KWDoc", L"DownScan", 1);
    std::wstring archive = PutFile(scope.folder, L"box.tarc",
                                   MakeTestArchive(0, {{"", "one.tpic", "x", 0, 1}, {"", "two.tpic", "y", 0, 1}}));

    scope.Open(CVirtualFolder(archive.c_str(), archive.c_str(), 2));

    CKWDoc& doc = scope.Document();
    ASSERT_EQ(2, doc.GetItemCount());
    EXPECT_TRUE(doc.GetItem(0)->IsArchiveMember());
    EXPECT_EQ(CString(scope.folder.Path().c_str()), doc.GetFolderPath());
    EXPECT_EQ(CString(L"box.tarc"), doc.GetLocationFileName());
}

TEST(Document, RefreshKeepsUnchangedItemsUpdatesChangedOnesAndDropsVanishedOnes)
{
    DocumentScope scope;
    PutFiles(scope.folder, {L"a.jpg", L"b.jpg", L"c.jpg", L"d.jpg"});
    scope.Open();
    CKWDoc& doc = scope.Document();
    VyxFile* a = doc.GetItem(scope.IndexOf(L"a.jpg"));
    VyxFile* c = doc.GetItem(scope.IndexOf(L"c.jpg"));
    a->SetThumbnail(CreateDib(4, 4, 24));
    c->SetThumbnail(CreateDib(4, 4, 24));
    c->MarkCannotDraw();
    doc.SelectItem(scope.IndexOf(L"b.jpg"), true, nullptr);
    doc.SetCursorIndex(1, nullptr);
    scope.Heard();
    PutFile(scope.folder, L"c.jpg", "changed data", kTime + 60);
    DeleteFileW((scope.folder / L"d.jpg").c_str());
    PutFiles(scope.folder, {L"e.jpg"});

    EXPECT_EQ(0, doc.Refresh(true));

    const std::wstring path = scope.folder.Path();
    EXPECT_EQ((Texts{L"1 " + path, L"2 " + path}), scope.Heard());
    EXPECT_EQ((Texts{L"a.jpg", L"b.jpg", L"c.jpg", L"e.jpg"}), Sorted(scope.Names()));
    // The same objects: the unchanged one with its thumbnail, the changed one reset in place.
    EXPECT_EQ(a, doc.GetItem(scope.IndexOf(L"a.jpg")));
    EXPECT_TRUE(a->HasThumbnail());
    EXPECT_EQ(c, doc.GetItem(scope.IndexOf(L"c.jpg")));
    EXPECT_FALSE(c->HasThumbnail() || c->IsCannotDraw() || c->TestFlags(VyxFilexDraw::FlagMarked));
    EXPECT_EQ(12u, c->GetFileSize());
    EXPECT_EQ(kTime + 60, c->GetFileTime());
    // Selection and cursor stay as they were.
    EXPECT_TRUE(doc.GetItem(scope.IndexOf(L"b.jpg"))->TestFlags(VyxFilexDraw::FlagSelected));
    EXPECT_EQ(1, doc.GetSelectedCount(false));
    EXPECT_EQ(1, doc.GetCursorIndex());
}

TEST(Document, AnAbortedScanLeavesAnEmptyListAnnouncedWithoutArgument)
{
    DocumentScope scope;
    PutFiles(scope.folder, {L"a.jpg", L"b.jpg"});
    PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
    const std::wstring path = scope.folder.Path();

    EXPECT_EQ(2, scope.Document().OpenFolder(CVirtualFolder(path.c_str(), path.c_str(), 1), nullptr));

    EXPECT_EQ((Texts{L"1 " + path, L"1 -", L"2 " + path}), scope.Heard());
    EXPECT_EQ(0, scope.Document().GetItemCount());
    MSG message;
    PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
}

TEST(Document, TheCursorAndTheSelectionAreClampedCountedAndAnnounced)
{
    DocumentScope scope;
    PutFiles(scope.folder, {L"a.jpg", L"b.jpg", L"c.jpg"});
    scope.Open();
    CKWDoc& doc = scope.Document();
    CHintView sender;
    doc.AddView(&sender);

    doc.SetCursorIndex(5, &sender);
    EXPECT_EQ(2, doc.GetCursorIndex());
    EXPECT_EQ((Texts{L"11 0,-1", L"11 1,2"}), scope.Heard());
    EXPECT_EQ((Texts{L"11 0,-1"}), sender.heard); // the sender is not told where it moved it
    doc.SetCursorIndex(2, nullptr);
    doc.SetCursorIndex(-1, nullptr);
    EXPECT_EQ((Texts{L"11 0,2", L"11 1,0"}), scope.Heard());

    doc.SelectItem(1, true, &sender);
    doc.SelectItem(1, true, &sender); // unchanged, announced all the same
    EXPECT_EQ((Texts{L"4 1,1", L"4 1,1"}), scope.Heard());
    EXPECT_EQ(1, doc.GetSelectedCount(false));
    doc.RemoveView(&sender);
    doc.SelectAll(); // only the unselected ones
    EXPECT_EQ((Texts{L"4 1,0", L"4 1,2"}), scope.Heard());
    doc.SetItemSelection(0, false);
    doc.DeselectAll();
    EXPECT_EQ((Texts{L"4 0,1", L"4 0,2"}), scope.Heard());
    doc.SetAllSelection(true);
    EXPECT_TRUE(scope.Heard().empty());
    EXPECT_EQ(3, doc.GetSelectedOutsideArchivesCount(true));

    // An empty list puts the cursor on 0, unless it asks for -1 when the cursor already is -1.
    doc.ClearItems(true);
    doc.SetCursorIndex(-1, nullptr);
    EXPECT_TRUE(scope.Heard().empty());
    doc.SetCursorIndex(4, nullptr);
    EXPECT_EQ(0, doc.GetCursorIndex());
    EXPECT_EQ(-1, doc.HitTest(0, 0));
}

TEST(Document, MissingSelectedItemsAreRemovedFromTheEndWithTheirNotesAndTheCursorFollows)
{
    DocumentScope scope;
    PutFiles(scope.folder, {L"f0", L"f1", L"f2", L"f3", L"f4", L"f5", L"f6", L"f7"});
    scope.Open();
    CKWDoc& doc = scope.Document();
    Texts names = scope.Names(); // in the folder's own order
    doc.GetItem(1)->SetNote(L"gone with the file");
    doc.GetItem(2)->SetNote(L"stays with the file");
    for (int i : {1, 2, 6})
        doc.SetItemSelection(i, true);
    doc.SetCursorIndex(4, nullptr);
    for (int i : {1, 3, 6})
        DeleteFileW((scope.folder / names[i]).c_str());
    scope.Heard();

    doc.RemoveMissingSelectedItems();

    EXPECT_EQ((Texts{L"15 6", L"15 1", L"0", L"11 0,4", L"11 1,3"}), scope.Heard());
    EXPECT_EQ(3, doc.GetCursorIndex());
    EXPECT_EQ(-1, scope.IndexOf(names[1]));
    EXPECT_NE(-1, scope.IndexOf(names[3])); // missing, but not selected
    VyxNoteStore notes;
    notes.SetLocation(scope.folder.Path().c_str(), L"");
    EXPECT_TRUE(notes.ReadNote((scope.folder / names[1]).c_str()).IsEmpty());
    EXPECT_EQ(CString(L"stays with the file"), notes.ReadNote((scope.folder / names[2]).c_str()));

    // A removed folder announces the folder's change instead of a repaint.
    std::wstring sub = PutFolder(scope.folder, L"sub");
    doc.Refresh(false);
    int index = scope.IndexOf(L"sub");
    doc.SetItemSelection(index, true);
    RemoveDirectoryW(sub.c_str());
    scope.Heard();
    doc.RemoveMissingSelectedItems();
    EXPECT_EQ((Texts{L"15 " + std::to_wstring(index), L"21 " + scope.folder.Path()}), scope.Heard());
}

TEST(Document, AFileNamedOnOpeningIsRememberedUntilTheNextListing)
{
    DocumentScope scope;
    std::wstring file = PutFile(scope.folder, L"Picture.jpg", "data", kTime);
    CKWDoc& doc = scope.Document();
    // Typed in other letters; the drive letter is not a name the file system stores.
    CString typed = file.c_str();
    CString rest = typed.Mid(2);
    rest.MakeLower();

    EXPECT_TRUE(doc.OnOpenDocument(typed.Left(2) + rest));

    EXPECT_EQ(CString(file.c_str()), doc.GetPendingOpenPath());
    EXPECT_EQ(CString(file.c_str()), doc.GetLocationPath());
    EXPECT_EQ(0, doc.GetItemCount());
    scope.Open();
    EXPECT_TRUE(doc.GetPendingOpenPath().IsEmpty());
    EXPECT_TRUE(doc.OnOpenDocument((scope.folder / L"missing.jpg").c_str()));
    EXPECT_TRUE(doc.GetPendingOpenPath().IsEmpty());
}

TEST(Document, AChangedFolderTextOutlivesTheCallersCopy)
{
    DocumentScope scope;
    CStandInFrame frame;
    CKWDoc& doc = scope.Document();
    scope.Open();
    CString path = L"C:\\changed\\folder";

    doc.NotifyFolderChanged(path);
    path.SetAt(0, L'X');
    doc.NotifyFolderChanged(nullptr);

    ASSERT_TRUE(PumpUntil([&] { return frame.changedFolders.size() == 2; }));
    EXPECT_EQ(L"C:\\changed\\folder", frame.changedFolders[0]);
    EXPECT_EQ(scope.folder.Path(), frame.changedFolders[1]);
}

TEST(Document, ScanSettingsDropUnloadableItemsAndNamesOutsideTheLoadersPatterns)
{
    StandardPlugins plugins;
    DocumentScope scope;
    PutFile(scope.folder, L"a.tpic", MakeTestPicture(0));
    PutFile(scope.folder, L"b.txt", "text");
    PutFile(scope.folder, L"c.tpic", "not a picture");
    PutFolder(scope.folder, L"album.tpic");
    PutFolder(scope.folder, L"plain");

    WriteAppIniInt(L"KWDoc", L"ExtSPI", 1);
    scope.Open();
    // Folders too are kept only when their names match.
    EXPECT_EQ((Texts{L"a.tpic", L"album.tpic", L"c.tpic"}), Sorted(scope.Names()));

    WriteAppIniInt(L"KWDoc", L"ExtSPI", 0);
    WriteAppIniInt(L"KWDoc", L"ScanSPI", 1);
    scope.NewDocument();
    scope.Open();
    EXPECT_EQ((Texts{L"a.tpic"}), scope.Names());
}

TEST(Document, AnArrayIndexGivesTheItemWhateverTheViewOrder)
{
    DocumentScope scope;
    PutFiles(scope.folder, {L"a.jpg", L"b.jpg", L"c.jpg"});
    ASSERT_EQ(0, scope.Open());
    CKWDoc& doc = scope.Document();
    ASSERT_EQ(3, doc.GetItemCount());
    std::vector<VyxFile*> byArray;
    for (int i = 0; i < 3; ++i)
        byArray.push_back(doc.GetItemByArrayIndex(i));
    // The view order turned round leaves the array as it is.
    for (int view = 0; view < 3; ++view)
        doc.SetOrderAt(view, 2 - view);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(byArray[i], doc.GetItemByArrayIndex(i));
        EXPECT_EQ(byArray[i], doc.GetItem(2 - i));
    }
    EXPECT_EQ(nullptr, doc.GetItemByArrayIndex(3));
    EXPECT_EQ(nullptr, doc.GetItemByArrayIndex(-1));
}

namespace {

// A view whose window has a class of the test's own.
class CNamedView : public CView
{
public:
    CNamedView(CWnd* parent, const wchar_t* className)
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = className;
        RegisterClassW(&wc);
        Create(className, L"", WS_CHILD, CRect(0, 0, 10, 10), parent, AFX_IDW_PANE_FIRST);
    }
    ~CNamedView() override
    {
        if (GetSafeHwnd())
            DestroyWindow();
    }
    void OnDraw(CDC*) override {}

protected:
    void PostNcDestroy() override {}
};

} // namespace

TEST(Document, AViewIsFoundByItsWindowsClassNameExactly)
{
    DocumentScope scope;
    CStandInFrame frame;
    CKWDoc& doc = scope.Document();
    CNamedView first(&frame, L"VyxTestPane"), second(&frame, L"VyxTestPane"), other(&frame, L"VyxOtherPane");
    ASSERT_TRUE(first.GetSafeHwnd() && second.GetSafeHwnd() && other.GetSafeHwnd());
    doc.AddView(&first);
    doc.AddView(&second);
    doc.AddView(&other);
    // The scope's own view has no window and is passed over.
    EXPECT_EQ(&first, doc.FindViewByClassName(L"VyxTestPane"));
    EXPECT_EQ(&other, doc.FindViewByClassName(L"VyxOtherPane"));
    EXPECT_EQ(nullptr, doc.FindViewByClassName(L"vyxtestpane"));
    EXPECT_EQ(nullptr, doc.FindViewByClassName(L"VyxTestPan"));
    doc.RemoveView(&first);
    EXPECT_EQ(&second, doc.FindViewByClassName(L"VyxTestPane"));
    doc.RemoveView(&second);
    doc.RemoveView(&other);
}
