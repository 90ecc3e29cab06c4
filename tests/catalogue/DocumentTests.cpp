#include "DocumentTestUtil.h"

#include "catalogue/VyxNoteStore.h"
#include "image/DibCore.h"

using namespace doctest;

namespace {

using Texts = std::vector<std::wstring>;

const long long kTime = 1500000000;

std::wstring CurrentDirectory()
{
    wchar_t buffer[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, buffer);
    std::wstring path = buffer;
    if (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    return path;
}

// Files of the given names, each with the same write time.
void PutFiles(const ScratchFolder& folder, std::initializer_list<const wchar_t*> names)
{
    for (const wchar_t* name : names)
        PutFile(folder, name, "data", kTime);
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

    EXPECT_EQ((Texts{L"1 " + path, L"2 " + path}), scope.view.heard);
    Texts names = scope.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ((Texts{L"a.jpg", L"b.jpg", L"sub"}), names);
    EXPECT_FALSE(doc.IsUpdating());
    EXPECT_EQ(-1, doc.GetCursorIndex());
    EXPECT_TRUE(doc.IsFolderLocation());
    EXPECT_EQ(CString(path.c_str()), doc.GetFolderPath());
    EXPECT_TRUE(doc.GetLocationFileName().IsEmpty());
    EXPECT_EQ(CString(path.c_str()), doc.GetTitle());
    EXPECT_EQ(path, CurrentDirectory());
    // Two settings of the item layer are written back even when they were never set.
    EXPECT_EQ(L"0", std::wstring(GetAppIniString(L"VyxFile", L"NotCreateThumbsSize", L"absent")));
    EXPECT_EQ(L"0", std::wstring(GetAppIniString(L"VyxFile", L"DrawIconAlign", L"absent")));
    // New items carry the document's drawing settings.
    VyxFile* item = doc.GetItem(0);
    EXPECT_EQ(doc.ThumbsPaddingSize, CSize(item->GetPaddingSize()));
    EXPECT_EQ(doc.colArcDraw, item->colArcDraw);
    EXPECT_EQ(CString(L"$(FileName)"), item->GetNameFormat());
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
    EXPECT_TRUE(doc.IsNamedLocation());
    EXPECT_EQ(CString(scope.folder.Path().c_str()), doc.GetFolderPath());
    EXPECT_EQ(CString(L"box.tarc"), doc.GetLocationFileName());
    EXPECT_EQ(CString(L"box.tarc"), doc.GetRealFileName());
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
    scope.view.heard.clear();
    PutFile(scope.folder, L"c.jpg", "changed data", kTime + 60);
    DeleteFileW((scope.folder / L"d.jpg").c_str());
    PutFiles(scope.folder, {L"e.jpg"});

    EXPECT_EQ(0, doc.Refresh(true));

    const std::wstring path = scope.folder.Path();
    EXPECT_EQ((Texts{L"1 " + path, L"2 " + path}), scope.view.heard);
    EXPECT_EQ(-1, scope.IndexOf(L"d.jpg"));
    ASSERT_NE(-1, scope.IndexOf(L"e.jpg"));
    EXPECT_EQ(4, doc.GetItemCount());
    // The same objects: the unchanged one with its thumbnail, the changed one reset in place.
    EXPECT_EQ(a, doc.GetItem(scope.IndexOf(L"a.jpg")));
    EXPECT_TRUE(a->HasThumbnail());
    EXPECT_EQ(c, doc.GetItem(scope.IndexOf(L"c.jpg")));
    EXPECT_FALSE(c->HasThumbnail());
    EXPECT_FALSE(c->IsCannotDraw());
    EXPECT_EQ(12u, c->GetFileSize());
    EXPECT_EQ(kTime + 60, c->GetFileTime());
    for (int i = 0; i < doc.GetItemCount(); ++i)
        EXPECT_FALSE(doc.GetItem(i)->TestFlags(VyxFilexDraw::FlagMarked));
    // Selection and cursor stay as they were.
    EXPECT_TRUE(doc.GetItem(scope.IndexOf(L"b.jpg"))->TestFlags(VyxFilexDraw::FlagSelected));
    EXPECT_EQ(1, doc.GetSelectedCount(false));
    EXPECT_EQ(1, doc.GetCursorIndex());
}

TEST(Document, AnAbortedScanLeavesAnEmptyListAnnouncedWithoutArgument)
{
    DocumentScope scope;
    PutFiles(scope.folder, {L"a.jpg", L"b.jpg"});
    CKWDoc& doc = scope.Document();
    PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
    const std::wstring path = scope.folder.Path();

    EXPECT_EQ(2, doc.OpenFolder(CVirtualFolder(path.c_str(), path.c_str(), 1), nullptr));

    EXPECT_EQ((Texts{L"1 " + path, L"1 -", L"2 " + path}), scope.view.heard);
    EXPECT_EQ(0, doc.GetItemCount());
    MSG message;
    PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
}

TEST(Document, TheCursorIsClampedAndAnnouncedOldThenNew)
{
    DocumentScope scope;
    PutFiles(scope.folder, {L"a.jpg", L"b.jpg", L"c.jpg"});
    scope.Open();
    CKWDoc& doc = scope.Document();
    CHintView sender;
    doc.AddView(&sender);

    doc.SetCursorIndex(5, &sender);
    EXPECT_EQ(2, doc.GetCursorIndex());
    EXPECT_TRUE(doc.IsCursorIndex(2));
    EXPECT_EQ((Texts{L"11 0,-1", L"11 1,2"}), scope.view.heard);
    EXPECT_EQ((Texts{L"11 0,-1"}), sender.heard); // the sender does not hear where it moved it

    scope.view.heard.clear();
    doc.SetCursorIndex(2, nullptr);
    EXPECT_TRUE(scope.view.heard.empty());
    doc.SetCursorIndex(-1, nullptr);
    EXPECT_EQ(0, doc.GetCursorIndex());
    EXPECT_EQ((Texts{L"11 0,2", L"11 1,0"}), scope.view.heard);
    doc.RemoveView(&sender);

    // An empty list puts the cursor on 0; -1 is left alone when it is already the cursor.
    scope.Document().ClearItems(true);
    doc.SetCursorIndex(4, nullptr);
    EXPECT_EQ(0, doc.GetCursorIndex());
    doc.ClearItems(true);
    scope.view.heard.clear();
    doc.SetCursorIndex(-1, nullptr);
    EXPECT_EQ(-1, doc.GetCursorIndex());
    EXPECT_TRUE(scope.view.heard.empty());
}

TEST(Document, SelectionChangesAreCountedAndAnnounced)
{
    DocumentScope scope;
    PutFiles(scope.folder, {L"a.jpg", L"b.jpg", L"c.jpg"});
    scope.Open();
    CKWDoc& doc = scope.Document();
    CHintView sender;
    doc.AddView(&sender);

    doc.SelectItem(1, true, &sender);
    doc.SelectItem(1, true, &sender); // unchanged, announced all the same
    EXPECT_EQ((Texts{L"4 1,1", L"4 1,1"}), scope.view.heard);
    EXPECT_TRUE(sender.heard.empty());
    EXPECT_EQ(1, doc.GetSelectedCount(false));
    doc.RemoveView(&sender);

    scope.view.heard.clear();
    doc.SelectAll(); // only the unselected ones
    EXPECT_EQ((Texts{L"4 1,0", L"4 1,2"}), scope.view.heard);
    EXPECT_EQ(3, doc.GetSelectedOutsideArchivesCount(false));
    scope.view.heard.clear();
    doc.SetItemSelection(0, false);
    EXPECT_TRUE(scope.view.heard.empty());
    doc.DeselectAll();
    EXPECT_EQ((Texts{L"4 0,1", L"4 0,2"}), scope.view.heard);
    EXPECT_EQ(0, doc.GetSelectedCount(true));
    scope.view.heard.clear();
    doc.SetAllSelection(true);
    EXPECT_TRUE(scope.view.heard.empty());
    EXPECT_EQ(3, doc.GetSelectedCount(false));
}

TEST(Document, MissingSelectedItemsAreRemovedFromTheEndWithTheirNotesAndTheCursorFollows)
{
    DocumentScope scope;
    PutFiles(scope.folder, {L"f0", L"f1", L"f2", L"f3", L"f4", L"f5", L"f6", L"f7"});
    scope.Open();
    CKWDoc& doc = scope.Document();
    ASSERT_EQ(8, doc.GetItemCount());
    std::vector<std::wstring> names = scope.Names();
    doc.GetItem(1)->SetNote(L"gone with the file");
    doc.GetItem(2)->SetNote(L"stays with the file");
    for (int i : {1, 2, 6})
        doc.SetItemSelection(i, true);
    doc.SetCursorIndex(4, nullptr);
    for (int i : {1, 3, 6})
        DeleteFileW((scope.folder / names[i]).c_str());
    scope.view.heard.clear();

    doc.RemoveMissingSelectedItems();

    EXPECT_EQ((Texts{L"15 6", L"15 1", L"0", L"11 0,4", L"11 1,3"}), scope.view.heard);
    EXPECT_EQ(3, doc.GetCursorIndex());
    EXPECT_EQ(6, doc.GetItemCount());
    EXPECT_EQ(-1, scope.IndexOf(names[1]));
    EXPECT_NE(-1, scope.IndexOf(names[3])); // not selected: kept though missing
    VyxNoteStore notes;
    notes.SetLocation(scope.folder.Path().c_str(), L"");
    EXPECT_TRUE(notes.ReadNote((scope.folder / names[1]).c_str()).IsEmpty());
    EXPECT_EQ(CString(L"stays with the file"), notes.ReadNote((scope.folder / names[2]).c_str()));

    // A removed folder announces the folder's change instead of a repaint.
    std::wstring sub = PutFolder(scope.folder, L"sub");
    doc.Refresh(false);
    int index = scope.IndexOf(L"sub");
    ASSERT_NE(-1, index);
    doc.SetItemSelection(index, true);
    RemoveDirectoryW(sub.c_str());
    scope.view.heard.clear();
    doc.RemoveMissingSelectedItems();
    EXPECT_EQ((Texts{L"15 " + std::to_wstring(index), L"21 " + scope.folder.Path()}), scope.view.heard);
}

TEST(Document, LookupsOutOfRangeAnswerNoneAndHitTestFindsTheFirstCell)
{
    DocumentScope scope;
    CKWDoc& doc = scope.Document();
    EXPECT_EQ(-1, doc.HitTest(0, 0));
    PutFiles(scope.folder, {L"a.jpg", L"b.jpg"});
    scope.Open();
    EXPECT_EQ(nullptr, doc.GetItem(2));
    EXPECT_EQ(nullptr, doc.GetItem(-1));
    EXPECT_EQ(nullptr, doc.GetItemByArrayIndex(2));
    EXPECT_EQ(-1, doc.GetItemIndexAt(2));
    EXPECT_EQ(1, doc.GetItemIndexAt(1));

    CSize cell = doc.GetThumbsSize();
    doc.GetItem(0)->SetPosition(POINT{0, 0});
    doc.GetItem(1)->SetPosition(POINT{cell.cx + 10, 0});
    EXPECT_EQ(0, doc.HitTest(cell.cx / 2, cell.cy / 2));
    EXPECT_EQ(1, doc.HitTest(cell.cx + 10, cell.cy));
    EXPECT_EQ(-1, doc.HitTest(cell.cx + 5, 5));

    std::wstring path = scope.folder / L"B.JPG";
    EXPECT_EQ(scope.IndexOf(L"b.jpg"), doc.FindItem(path.c_str(), L"", 1));
    EXPECT_EQ(-1, doc.FindItem((scope.folder / L"c.jpg").c_str(), L"", 0));
    EXPECT_EQ(1, doc.GetViewIndexOf(doc.GetItem(1), 0));
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
    typed = typed.Left(2) + rest;

    EXPECT_TRUE(doc.OnOpenDocument(typed));

    // The spelling on disk, and nothing listed yet.
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

TEST(Document, ViewsAreFoundByClassAndActivatedInTurn)
{
    DocumentScope scope;
    CStandInFrame frame;
    CKWDoc& doc = scope.Document();
    CHintView first, second;
    for (auto view : {std::make_pair(&first, L"VyxTestViewFirst"), std::make_pair(&second, L"VyxTestViewSecond")}) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = AfxGetInstanceHandle();
        windowClass.lpszClassName = view.second;
        RegisterClassW(&windowClass);
        ASSERT_TRUE(view.first->Create(view.second, L"", WS_CHILD, CRect(0, 0, 10, 10), &frame, 1));
        doc.AddView(view.first);
    }

    EXPECT_EQ(&second, doc.FindViewByClassName(L"VyxTestViewSecond"));
    EXPECT_EQ(nullptr, doc.FindViewByClassName(L"VyxTestView"));
    doc.ActivateView(&first);
    EXPECT_EQ(&second, frame.GetActiveView());
    doc.ActivateView(&second); // the last one: the first view of the document follows
    EXPECT_EQ(&scope.view, frame.GetActiveView());

    frame.SetActiveView(nullptr);
    for (CHintView* view : {&first, &second}) {
        doc.RemoveView(view);
        view->DestroyWindow();
    }
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

    {
        WriteAppIniInt(L"KWDoc", L"ExtSPI", 1);
        scope.NewDocument();
        scope.Open();
        Texts names = scope.Names();
        std::sort(names.begin(), names.end());
        // Folders too are kept only when their names match.
        EXPECT_EQ((Texts{L"a.tpic", L"album.tpic", L"c.tpic"}), names);
    }
    {
        WriteAppIniInt(L"KWDoc", L"ExtSPI", 0);
        WriteAppIniInt(L"KWDoc", L"ScanSPI", 1);
        scope.NewDocument();
        scope.Open();
        EXPECT_EQ((Texts{L"a.tpic"}), scope.Names());
    }
}
