// The batch rename dialog driven through its controls, and the renames it leads to on scratch
// files: notes following their files, and every failure reported without harm to any file.
#include "FileopsTestUtil.h"

#include "common/ControlTestUtil.h"
#include "common/RealInput.h"
#include "catalogue/VyxNoteFile.h"
#include "catalogue/VyxNoteStore.h"
#include "fileops/CReportDlg.h"
#include "fileops/VFileRenameNDlg.h"
#include "res/resource.h"

#include <map>

using namespace fileopstest;

namespace {

class BatchRename : public Modeless<VFileRenameNDlg>
{
public:
    bool Open() { return Create(IDD_FILE_RENAME_N, nullptr) != FALSE; }
    HWND List() const { return Control(IDC_RENAMEN_LIST); }
    std::vector<CString> Column(int column) const { return ListColumn(List(), column); }
    void Type(int id, const wchar_t* text) { ::SetWindowTextW(Control(id), text); }
    void Update(const wchar_t* target, const wchar_t* format, const wchar_t* first = L"1")
    {
        Type(IDC_RENAMEN_TARGET, target);
        Type(IDC_RENAMEN_FORMAT, format);
        Type(IDC_RENAMEN_FIRST, first);
        Press(IDC_RENAMEN_UPDATE);
    }
    void Select(int row) { SelectListRow(List(), row); }
    int Selected() const { return static_cast<int>(::SendMessageW(List(), LVM_GETNEXTITEM, -1, LVNI_SELECTED)); }
    void ClickColumn(int column)
    {
        NMLISTVIEW click = {};
        click.hdr.hwndFrom = List();
        click.hdr.idFrom = IDC_RENAMEN_LIST;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        SendMessage(WM_NOTIFY, IDC_RENAMEN_LIST, reinterpret_cast<LPARAM>(&click));
    }
    CString Text(int id) const { return TextOf(Control(id)); }
};

// Items for the names, owned by the test.
struct Items
{
    std::vector<std::unique_ptr<NamedItem>> items;
    Items(std::initializer_list<const wchar_t*> names)
    {
        for (const wchar_t* name : names)
            items.emplace_back(new NamedItem(name));
    }
    void AddTo(VFileRenameNDlg& dialog) const
    {
        for (const auto& item : items)
            dialog.AddFile(item.get());
    }
};

std::vector<CString> NewNames(const VFileRenameNDlg& dialog)
{
    std::vector<CString> names;
    for (int i = 0; i < dialog.GetRowCount(); ++i)
        names.push_back(dialog.GetRow(i).newName);
    return names;
}

CString NoteOf(const ScratchFolder& folder, const wchar_t* name)
{
    VyxNoteStore notes;
    notes.SetLocation(folder.Path().c_str(), L"");
    return notes.ReadNote((folder / name).c_str());
}

// APP1 data holding the shot date a camera writes, little-endian TIFF structure.
std::string ShotDateExif(const char* date)
{
    std::string tiff("II*\0\x08\0\0\0", 8);
    auto put16 = [&](WORD v) { tiff.append(reinterpret_cast<const char*>(&v), 2); };
    auto put32 = [&](DWORD v) { tiff.append(reinterpret_cast<const char*>(&v), 4); };
    const DWORD count = static_cast<DWORD>(strlen(date) + 1);
    put16(1);
    put16(0x0132);
    put16(2);
    put32(count);
    put32(8 + 2 + 12 + 4);
    put32(0);
    return std::string("Exif\0\0", 6) + tiff + std::string(date, count);
}

// Runs the dialog modally; drive is given its window in front, once the names it opened with
// were read into shown.
INT_PTR RunInFront(VFileRenameNDlg& dialog, std::vector<CString>& shown, const std::function<void(HWND)>& drive)
{
    HelperThread driver([&] {
        HWND window = WaitForDialog(L"名前の編集変更", 30000);
        ASSERT_NE(nullptr, window);
        shown = ListColumn(GetDlgItem(window, IDC_RENAMEN_LIST), 0);
        SetForegroundWindow(window);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, 30000));
        drive(window);
    });
    return dialog.DoModal();
}

} // namespace

TEST(BatchRenameDialog, OpeningComputesTheNamesFromTheFirstHistoryEntriesAndTheStoredNumber)
{
    ScratchSettings settings;
    WriteAppIniString(L"ReplaceFormat", L"0", L"$(Name)");
    WriteAppIniString(L"RenameFormat", L"0", L"photo_#2#");
    WriteAppIniString(L"RenameFormat", L"1", L"older");
    WriteAppIniInt(L"Filer", L"RenameFirst#", 8);
    WriteAppIniString(L"Filer", L"RenameColumn", L"0,90,");
    Items items{L"a.jpg", L"b.png"};
    BatchRename dialog;
    items.AddTo(dialog);
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ((std::vector<CString>{L"photo_08.jpg", L"photo_09.png"}), dialog.Column(0));
    EXPECT_EQ((std::vector<CString>{L"a.jpg", L"b.png"}), dialog.Column(1));
    EXPECT_EQ(CString(L"8"), dialog.Text(IDC_RENAMEN_FIRST));
    // A stored width below 1 gives 50.
    EXPECT_EQ(50, ListView_GetColumnWidth(dialog.List(), 0));
    EXPECT_EQ(90, ListView_GetColumnWidth(dialog.List(), 1));
}

TEST(BatchRenameDialog, NumbersFollowTheOrderShownAtTheNextComputation)
{
    ScratchSettings settings;
    Items items{L"a.jpg", L"b.jpg", L"c.jpg"};
    BatchRename dialog;
    items.AddTo(dialog);
    ASSERT_TRUE(dialog.Open());
    dialog.Update(L"", L"IMG_#4#");
    EXPECT_EQ((std::vector<CString>{L"IMG_0001.jpg", L"IMG_0002.jpg", L"IMG_0003.jpg"}), dialog.Column(0));
    dialog.Select(2);
    dialog.Press(IDC_RENAMEN_UP);
    EXPECT_EQ(1, dialog.Selected());
    EXPECT_EQ((std::vector<CString>{L"a.jpg", L"c.jpg", L"b.jpg"}), dialog.Column(1));
    EXPECT_EQ((std::vector<CString>{L"IMG_0001.jpg", L"IMG_0003.jpg", L"IMG_0002.jpg"}), dialog.Column(0));
    dialog.Press(IDC_RENAMEN_UPDATE);
    EXPECT_EQ((std::vector<CString>{L"IMG_0001.jpg", L"IMG_0002.jpg", L"IMG_0003.jpg"}), dialog.Column(0));
    // Nothing moves past either end.
    dialog.Select(0);
    dialog.Press(IDC_RENAMEN_UP);
    dialog.Select(2);
    dialog.Press(IDC_RENAMEN_DOWN);
    EXPECT_EQ((std::vector<CString>{L"a.jpg", L"c.jpg", L"b.jpg"}), dialog.Column(1));
    // A dragged row goes to its drop place.
    dialog.SendMessage(WMU_ITEMMOVED, 2, 0);
    EXPECT_EQ((std::vector<CString>{L"b.jpg", L"a.jpg", L"c.jpg"}), dialog.Column(1));
    dialog.SendMessage(WMU_ITEMMOVED, 0, 3);
    EXPECT_EQ((std::vector<CString>{L"a.jpg", L"c.jpg", L"b.jpg"}), dialog.Column(1));
}

TEST(BatchRenameDialog, SortingCyclesAscendingDescendingAndTheFirstOrder)
{
    ScratchSettings settings;
    Items items{L"b.jpg", L"C.jpg", L"a.jpg"};
    BatchRename dialog;
    items.AddTo(dialog);
    ASSERT_TRUE(dialog.Open());
    dialog.Update(L"$(Ext)", L"jpg");
    dialog.ClickColumn(1);
    EXPECT_EQ((std::vector<CString>{L"a.jpg", L"b.jpg", L"C.jpg"}), dialog.Column(1));
    dialog.ClickColumn(1);
    EXPECT_EQ((std::vector<CString>{L"C.jpg", L"b.jpg", L"a.jpg"}), dialog.Column(1));
    // Another column starts again from ascending.
    dialog.ClickColumn(0);
    EXPECT_EQ((std::vector<CString>{L"a.jpg", L"b.jpg", L"C.jpg"}), dialog.Column(1));
    dialog.ClickColumn(0);
    dialog.ClickColumn(0);
    EXPECT_EQ((std::vector<CString>{L"b.jpg", L"C.jpg", L"a.jpg"}), dialog.Column(1));
}

TEST(BatchRenameDialog, TheCommonBeginningBecomesTheTargetWhenThereIsOne)
{
    ScratchSettings settings;
    Items items{L"DSC_0012.jpg", L"dsc_0019.jpg", L"DSC_0105.jpg"};
    BatchRename dialog;
    items.AddTo(dialog);
    ASSERT_TRUE(dialog.Open());
    dialog.Press(IDC_RENAMEN_COMMON);
    EXPECT_EQ(CString(L"DSC_0"), dialog.Text(IDC_RENAMEN_TARGET));
    Items apart{L"x.jpg", L"y.jpg"};
    BatchRename other;
    apart.AddTo(other);
    ASSERT_TRUE(other.Open());
    other.Type(IDC_RENAMEN_TARGET, L"kept");
    other.Press(IDC_RENAMEN_COMMON);
    EXPECT_EQ(CString(L"kept"), other.Text(IDC_RENAMEN_TARGET));
}

TEST(BatchRenameDialog, AnEditedNameIsKeptAlsoWhenTheEditEndsWithEscape)
{
    ScratchSettings settings;
    Items items{L"a.jpg", L"b.jpg"};
    BatchRename dialog;
    items.AddTo(dialog);
    ASSERT_TRUE(dialog.Open());
    EditListLabel(dialog.List(), 0, L"first.jpg");
    EditListLabel(dialog.List(), 1, L"second.jpg", true);
    EXPECT_EQ((std::vector<CString>{L"first.jpg", L"second.jpg"}), dialog.Column(0));
}

TEST(BatchRenameDialog, RunUsesTheNamesShownWhileTheTextsAreThoseTheyCameFrom)
{
    ScratchSettings settings;
    WriteAppIniString(L"RenameFormat", L"0", L"old_#2#");
    WriteAppIniString(L"RenameFormat", L"1", L"IMG_#3#");
    Items items{L"a.jpg", L"b.jpg", L"c.jpg"};
    BatchRename dialog;
    items.AddTo(dialog);
    ASSERT_TRUE(dialog.Open());
    dialog.Update(L"", L"IMG_#3#", L"5");
    dialog.Select(1);
    dialog.Press(IDC_RENAMEN_UP);
    EditListLabel(dialog.List(), 2, L"by hand.jpg");
    dialog.Press(IDOK);
    EXPECT_EQ((std::vector<CString>{L"IMG_006.jpg", L"IMG_005.jpg", L"by hand.jpg"}), NewNames(dialog));
    EXPECT_EQ(CString(L"IMG_#3#"), ReadSettingText(L"RenameFormat", L"0"));
    EXPECT_EQ(CString(L"old_#2#"), ReadSettingText(L"RenameFormat", L"1"));
    EXPECT_EQ(CString(L""), ReadSettingText(L"RenameFormat", L"2"));
    EXPECT_EQ(5, GetAppIniInt(L"Filer", L"RenameFirst#", 0));
    dialog.DestroyWindow();
    EXPECT_FALSE(ReadSettingText(L"Filer", L"RenameColumn").IsEmpty());
    EXPECT_FALSE(ReadSettingText(L"FileRenameN", L"WindowPlacement\\showCmd").IsEmpty());
}

// The remembered format computes the list the dialog opens with; a format and a first number
// typed over it and run with Enter, without "更新", are what the files are renamed by.
TEST(BatchRenameDialog, RunWithoutUpdateRenamesByTheTextsTypedAndRemembersThem)
{
    ScratchSettings settings;
    WriteAppIniString(L"RenameFormat", L"0", L"\\[0-9]+");
    Items items{L"DSC_0001.JPG", L"DSC_0002.JPG", L"DSC_0003.JPG"};
    VFileRenameNDlg dialog;
    items.AddTo(dialog);
    std::vector<CString> opened;
    const INT_PTR result = RunInFront(dialog, opened, [](HWND window) {
        // Clicked into, its text selected and typed over.
        auto typeInto = [&](HWND box, const wchar_t* text) {
            RECT rect = {};
            GetWindowRect(box, &rect);
            SendClick({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, MOUSEEVENTF_LEFTDOWN);
            ASSERT_TRUE(WaitUntil([&] { return FocusOfThread(window) == box; }, 60000));
            SendKey(VK_HOME);
            SendKey(VK_END, VK_SHIFT);
            SendText(text);
            ASSERT_TRUE(WaitUntil([&] { return TextOf(box) == text; }, 30000));
        };
        typeInto(GetWindow(GetDlgItem(window, IDC_RENAMEN_FORMAT), GW_CHILD), L"trip_#3#");
        typeInto(GetDlgItem(window, IDC_RENAMEN_FIRST), L"7");
        SendKey(VK_RETURN);
    });
    EXPECT_EQ((std::vector<CString>{L"0001.JPG", L"0002.JPG", L"0003.JPG"}), opened);
    EXPECT_EQ(IDOK, result);
    const std::vector<CString> typed{L"trip_007.JPG", L"trip_008.JPG", L"trip_009.JPG"};
    EXPECT_EQ(typed, NewNames(dialog));
    EXPECT_EQ(CString(L"trip_#3#"), ReadSettingText(L"RenameFormat", L"0"));
    EXPECT_EQ(CString(L"\\[0-9]+"), ReadSettingText(L"RenameFormat", L"1"));
    EXPECT_EQ(7, GetAppIniInt(L"Filer", L"RenameFirst#", 0));
}

TEST(BatchRenameDialog, TheFormatMenuOpensTheGroupEditorWithTheSelectedRowAndListsTheGroupsAfter)
{
    ScratchSettings settings;
    ScratchGroups groups;
    groups.Write(L"digits", {L"[0-9]+"});
    NamedItem item(L"dsc_0042.jpg");
    BatchRename dialog;
    dialog.m_groups = groups.file;
    dialog.AddFile(&item);
    ASSERT_TRUE(dialog.Open());
    dialog.Update(L"", L"\\$digits");
    EXPECT_EQ(CString(L"0042.jpg"), ListCell(dialog.List(), 0, 0));
    dialog.Select(0);
    std::vector<CString> shown;
    HelperThread driver([&] {
        HWND editor = WaitForDialog(L"正規表現グループ", 30000);
        if (!editor)
            return;
        shown.push_back(ListCell(GetDlgItem(editor, IDC_REGEXP_GROUP_LIST), 0, 1));
        shown.push_back(TextOf(GetDlgItem(editor, IDC_REGEXP_GROUP_NAME)));
        // A new group typed in and kept.
        SetWindowTextW(GetDlgItem(editor, IDC_REGEXP_GROUP_NAME), L"more");
        PostMessageW(editor, WM_COMMAND, IDOK, 0);
    });
    dialog.SendMessage(WM_COMMAND, VFileRenameNDlg::FormatMenuFirst, 0);
    EXPECT_EQ((std::vector<CString>{L"0042", L"digits"}), shown);
    // The menu now offers both groups: the third entry (after the editor and a separator) and on.
    HWND format = dialog.Control(IDC_RENAMEN_FORMAT);
    ::SendMessageW(format, WM_COMMAND, VFileRenameNDlg::FormatMenuFirst + 2, 0);
    EXPECT_EQ(CString(L"\\$more"), dialog.Text(IDC_RENAMEN_FORMAT));
}

TEST(BatchRename, FilesAreRenamedInTheOrderShownAndTheirNotesGoWithThem)
{
    DocumentScope scope;
    PutFile(scope.folder, L"a.jpg", "a");
    PutFile(scope.folder, L"b.jpg", "b");
    scope.Open();
    VyxFile* a = scope.Document().GetItem(scope.IndexOf(L"a.jpg"));
    VyxFile* b = scope.Document().GetItem(scope.IndexOf(L"b.jpg"));
    a->SetNote(L"first");
    b->SetNote(L"second");
    BatchRename dialog;
    dialog.AddFile(b);
    dialog.AddFile(a);
    ASSERT_TRUE(dialog.Open());
    dialog.Update(L"", L"旅行_#2#");
    dialog.Press(IDOK);
    scope.Heard();
    CStringArray failures;
    EXPECT_EQ(2, dialog.RenameFiles(scope.Document(), failures));
    EXPECT_EQ(0, failures.GetSize());
    EXPECT_EQ(CString(L"second"), NoteOf(scope.folder, L"旅行_01.jpg"));
    EXPECT_EQ(CString(L"first"), NoteOf(scope.folder, L"旅行_02.jpg"));
    EXPECT_EQ("b", ScratchFolder::ReadFile(scope.folder / L"旅行_01.jpg"));
    EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L"a.jpg"));
    EXPECT_TRUE(NoteOf(scope.folder, L"a.jpg").IsEmpty());
    std::vector<std::wstring> heard = scope.Heard();
    EXPECT_EQ(2, std::count_if(heard.begin(), heard.end(),
                               [](const std::wstring& hint) { return hint.rfind(L"8 ", 0) == 0; }));
}

TEST(BatchRename, EveryRowThatCannotBeRenamedIsReportedAndNoFileIsHarmed)
{
    DocumentScope scope;
    for (const wchar_t* name : {L"same.jpg", L"one.jpg", L"two.jpg", L"title.jpg", L"slash.jpg", L"long.jpg"})
        PutFile(scope.folder, name, std::string(name, name + 3));
    scope.Open();
    auto item = [&](const wchar_t* name) { return scope.Document().GetItem(scope.IndexOf(name)); };
    BatchRename dialog;
    dialog.AddFile(item(L"same.jpg"));               // unchanged
    dialog.AddFile(item(L"one.jpg"), L"dup.jpg");    // renamed
    dialog.AddFile(item(L"two.jpg"), L"dup.jpg");    // the same target: refused
    dialog.AddFile(item(L"title.jpg"), L".jpg");     // nothing left before the extension
    dialog.AddFile(item(L"slash.jpg"), L"08/04/24"); // a date with separators
    dialog.AddFile(item(L"long.jpg"), CString(L'x', 300) + L".jpg");
    CStringArray failures;
    EXPECT_EQ(1, dialog.RenameFiles(scope.Document(), failures));
    CString longName = CString(L'x', 300) + L".jpg";
    EXPECT_EQ((std::vector<CString>{L"same.jpg -> same.jpg :failed rename", L"two.jpg -> dup.jpg :failed rename",
                                    L"title.jpg -> .jpg :failed rename", L"slash.jpg -> 08/04/24 :failed rename",
                                    L"long.jpg -> " + longName + L" :failed rename"}),
              Texts(failures));
    EXPECT_EQ("one", ScratchFolder::ReadFile(scope.folder / L"dup.jpg"));
    for (const wchar_t* name : {L"same.jpg", L"two.jpg", L"title.jpg", L"slash.jpg", L"long.jpg"})
        EXPECT_EQ(std::string(name, name + 3), ScratchFolder::ReadFile(scope.folder / name)) << name;
    EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L".jpg"));
    EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L"08"));

    // The report dialog lists the failures.
    CReportDlg report;
    report.SetLines(&failures);
    std::vector<CString> listed;
    EXPECT_EQ(IDOK, DriveModal(report, L"Report", [&](HWND window) {
                  HWND list = GetDlgItem(window, IDC_REPORT_LIST);
                  int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
                  for (int i = 0; i < count; ++i) {
                      std::vector<wchar_t> text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1);
                      SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
                      listed.push_back(text.data());
                  }
              }));
    EXPECT_EQ(Texts(failures), listed);
}

namespace {

// Every note file the renames put in place, looked at before it takes its place: an existing
// file's section holding another file's note there is what a crash at that moment would leave.
struct NoteSnapshots
{
    const ScratchFolder* folder = nullptr;
    std::map<std::wstring, CString> owners; // a name and the only note its file may show
    int taken = 0;
    std::vector<std::wstring> wrong;
};
NoteSnapshots* s_snapshots = nullptr;

void LookAtNoteFile(const wchar_t* scratch)
{
    VyxNoteFile file;
    if (!s_snapshots || file.Load(scratch) != VyxNoteFile::Loaded)
        return;
    ++s_snapshots->taken;
    for (const auto& owner : s_snapshots->owners) {
        CString note;
        if (ScratchFolder::Exists(*s_snapshots->folder / owner.first) &&
            file.Find(owner.first.c_str(), L"Note", note) && note != owner.second)
            s_snapshots->wrong.push_back(owner.first);
    }
}

} // namespace

// Each row's new name is the next file's: every row but the last fails, and at no moment does an
// existing file's section hold its neighbour's note.
TEST(BatchRename, RowsOntoNamesOtherFilesHaveFailAndNoMomentShowsAFileWithAnothersNote)
{
    DocumentScope scope;
    const int kFiles = 6;
    NoteSnapshots snapshots;
    snapshots.folder = &scope.folder;
    auto nameOf = [](int n) {
        wchar_t name[16];
        swprintf(name, 16, L"r%04d.jpg", n);
        return std::wstring(name);
    };
    for (int n = 1; n <= kFiles; ++n)
        PutFile(scope.folder, nameOf(n).c_str(), "picture " + std::to_string(n));
    scope.Open();
    BatchRename dialog;
    for (int n = 1; n <= kFiles; ++n) {
        VyxFile* item = scope.Document().GetItem(scope.IndexOf(nameOf(n).c_str()));
        const CString note = (L"note of " + nameOf(n)).c_str();
        ASSERT_EQ(VyxNoteStore::NoteWritten, item->SetNote(note));
        snapshots.owners[nameOf(n)] = note;
        dialog.AddFile(item);
    }
    snapshots.owners[nameOf(kFiles + 1)] = (L"note of " + nameOf(kFiles)).c_str();
    ASSERT_TRUE(dialog.Open());
    dialog.Update(L"", L"r#4#", L"2");
    dialog.Press(IDOK);
    CStringArray failures;
    s_snapshots = &snapshots;
    VyxNoteFile::s_beforePutInPlace = LookAtNoteFile;
    EXPECT_EQ(1, dialog.RenameFiles(scope.Document(), failures));
    VyxNoteFile::s_beforePutInPlace = nullptr;
    s_snapshots = nullptr;
    EXPECT_EQ(kFiles - 1, failures.GetSize());
    EXPECT_LT(0, snapshots.taken);
    EXPECT_EQ(std::vector<std::wstring>(), snapshots.wrong);
    for (int n = 1; n < kFiles; ++n) {
        EXPECT_EQ("picture " + std::to_string(n), ScratchFolder::ReadFile(scope.folder / nameOf(n))) << n;
        EXPECT_EQ(snapshots.owners[nameOf(n)], NoteOf(scope.folder, nameOf(n).c_str())) << n;
    }
    EXPECT_FALSE(ScratchFolder::Exists(scope.folder / nameOf(kFiles)));
    EXPECT_TRUE(NoteOf(scope.folder, nameOf(kFiles).c_str()).IsEmpty());
    EXPECT_EQ(snapshots.owners[nameOf(kFiles + 1)], NoteOf(scope.folder, nameOf(kFiles + 1).c_str()));
}

TEST(BatchRename, AFileWhoseNoteCannotFollowIsReportedAndKeepsItsNameAndNote)
{
    DocumentScope scope;
    PutFile(scope.folder, L"noted.jpg", "noted");
    PutFile(scope.folder, L"bare.jpg", "bare");
    scope.Open();
    VyxFile* noted = scope.Document().GetItem(scope.IndexOf(L"noted.jpg"));
    ASSERT_EQ(VyxNoteStore::NoteWritten, noted->SetNote(L"メモ"));
    const std::wstring noteFile = scope.folder / L"_NOTE_.KWI";
    SetFileAttributesW(noteFile.c_str(), FILE_ATTRIBUTE_READONLY);
    BatchRename dialog;
    dialog.AddFile(noted, L"a.jpg");
    dialog.AddFile(scope.Document().GetItem(scope.IndexOf(L"bare.jpg")), L"b.jpg");
    CStringArray failures;
    EXPECT_EQ(1, dialog.RenameFiles(scope.Document(), failures));
    SetFileAttributesW(noteFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ((std::vector<CString>{L"noted.jpg -> a.jpg :failed rename"}), Texts(failures));
    EXPECT_EQ("noted", ScratchFolder::ReadFile(scope.folder / L"noted.jpg"));
    EXPECT_FALSE(ScratchFolder::Exists(scope.folder / L"a.jpg"));
    EXPECT_EQ(CString(L"メモ"), NoteOf(scope.folder, L"noted.jpg"));
    EXPECT_EQ(CString(L"メモ"), noted->GetNote());
    EXPECT_EQ("bare", ScratchFolder::ReadFile(scope.folder / L"b.jpg"));
}

TEST(BatchRename, ARenamedFileLeavesNoThumbnailBehindUnderItsOldName)
{
    StandardPlugins plugins;
    DocumentScope scope;
    WriteAppIniInt(L"KWDoc", L"CacheImage", 1);
    std::string picture = plugintest::MakeTestPicture(0, 40, 30);
    PutFile(scope.folder, L"old.tpic", picture, 1500000000);
    scope.Open();
    VyxFile* item = scope.Document().GetItem(scope.IndexOf(L"old.tpic"));
    ASSERT_NE(nullptr, item->CreateThumbnail(SIZE{32, 32}));
    ASSERT_EQ(0, item->StoreCache());
    auto cachedUnder = [&](const wchar_t* name) {
        VyxFile fresh((scope.folder / name).c_str());
        fresh.DetectPlugin();
        return theCacheList.LoadFromCache(&fresh) == 0;
    };
    ASSERT_TRUE(cachedUnder(L"old.tpic"));
    BatchRename dialog;
    dialog.AddFile(item, L"new.tpic");
    CStringArray failures;
    ASSERT_EQ(1, dialog.RenameFiles(scope.Document(), failures));
    // Another file of the same bytes and time under the old name gets no thumbnail of the renamed one.
    PutFile(scope.folder, L"old.tpic", picture, 1500000000);
    EXPECT_FALSE(cachedUnder(L"old.tpic"));
}

TEST(BatchRename, ACaseOnlyChangeAndANameHoldingAMacroWordAreRenamedOnDisk)
{
    DocumentScope scope;
    PutFile(scope.folder, L"photo.jpg", "photo");
    PutFile(scope.folder, L"$(Ext)x.jpg", "macro");
    scope.Open();
    VyxFile* photo = scope.Document().GetItem(scope.IndexOf(L"photo.jpg"));
    VyxFile* macro = scope.Document().GetItem(scope.IndexOf(L"$(Ext)x.jpg"));
    CStringArray failures;
    {
        BatchRename dialog;
        dialog.AddFile(photo, L"PHOTO.jpg");
        EXPECT_EQ(1, dialog.RenameFiles(scope.Document(), failures));
    }
    EXPECT_EQ(L"PHOTO.jpg", ScratchFolder::NameOnDisk(scope.folder / L"photo.jpg"));

    // The title of "$(Ext)x.jpg" is "$(Ext)x" as it stands, and the rename finds it in the name.
    BatchRename dialog;
    dialog.AddFile(macro);
    ASSERT_TRUE(dialog.Open());
    dialog.Update(L"", L"new_#1#");
    EXPECT_EQ((std::vector<CString>{L"new_1.jpg"}), NewNames(dialog));
    dialog.Press(IDOK);
    EXPECT_EQ(1, dialog.RenameFiles(scope.Document(), failures));
    EXPECT_EQ(0, failures.GetSize());
    EXPECT_EQ("macro", ScratchFolder::ReadFile(scope.folder / L"new_1.jpg"));
}

TEST(BatchRenameDialog, AnEmptyFormatKeepsEveryNameAndEnterRenamesNothingUntilSomeNameWouldChange)
{
    // First use: both histories empty.
    ScratchSettings settings;
    Items items{L"a.jpg", L"b.jpg", L"album"};
    VFileRenameNDlg dialog;
    items.AddTo(dialog);
    std::vector<CString> shown;
    CString refusal;
    bool stayed = false;
    const INT_PTR result = RunInFront(dialog, shown, [&](HWND window) {
        // Enter is the default button "実行".
        SendKey(VK_RETURN);
        DismissMessageBox(&refusal);
        stayed = IsWindowVisible(window) != FALSE;
        // The refusal leaves the focus in the format box: what is typed goes there, Alt+U
        // computes the names, and Enter now runs.
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, 30000));
        SendText(L"IMG_#2#");
        HWND format = GetDlgItem(window, IDC_RENAMEN_FORMAT);
        ASSERT_TRUE(WaitUntil([&] { return TextOf(format) == L"IMG_#2#"; }, 30000));
        SendKey('U', VK_MENU);
        HWND list = GetDlgItem(window, IDC_RENAMEN_LIST);
        ASSERT_TRUE(WaitUntil([&] { return ListCell(list, 0, 0) == L"IMG_01.jpg"; }, 30000));
        SendKey(VK_RETURN);
    });
    EXPECT_EQ((std::vector<CString>{L"a.jpg", L"b.jpg", L"album"}), shown);
    EXPECT_FALSE(refusal.IsEmpty());
    EXPECT_TRUE(stayed);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((std::vector<CString>{L"IMG_01.jpg", L"IMG_02.jpg", L"IMG_03"}), NewNames(dialog));
}

TEST(BatchRename, ARenameByTheShotDateGivesEachFileANameItsFolderCanHold)
{
    StandardPlugins plugins;
    DocumentScope scope;
    const std::string camera = plugintest::MakeTestPicture(TestPictureWithExif);
    PutFile(scope.folder, L"DSC_0001.tpic", camera + ShotDateExif("2025:08:15 20:09:25"));
    PutFile(scope.folder, L"DSC_0002.tpic", camera + ShotDateExif("2025:08:15 20:11:02"));
    scope.Open();
    BatchRename dialog;
    for (const wchar_t* name : {L"DSC_0001.tpic", L"DSC_0002.tpic"})
        dialog.AddFile(scope.Document().GetItem(scope.IndexOf(name)));
    ASSERT_TRUE(dialog.Open());
    // The colons the date brings take their full-width form; the "_" typed stays as typed.
    dialog.Update(L"", L"$(ExifDateTime)_#2#");
    EXPECT_EQ((std::vector<CString>{L"2025：08：15 20：09：25_01.tpic", L"2025：08：15 20：11：02_02.tpic"}),
              dialog.Column(0));
    dialog.Press(IDOK);
    CStringArray failures;
    EXPECT_EQ(2, dialog.RenameFiles(scope.Document(), failures));
    EXPECT_EQ(std::vector<CString>(), Texts(failures));
    EXPECT_TRUE(ScratchFolder::Exists(scope.folder / L"2025：08：15 20：09：25_01.tpic"));
    EXPECT_TRUE(ScratchFolder::Exists(scope.folder / L"2025：08：15 20：11：02_02.tpic"));
}
