// The comment dialog: the note shown with its line breaks, stored as one line, and left alone by
// Cancel.
#include <gtest/gtest.h>

#include "common/BrowserTestUtil.h"
#include "common/TwinFiles.h"
#include "catalogue/CCommentDlg.h"
#include "catalogue/VyxFile.h"
#include "catalogue/VyxNoteStore.h"
#include "foundation/VyxSystem.h"
#include "res/resource.h"

namespace {

CString StoredNote(const FrameworkScratchFolder& folder, const wchar_t* name)
{
    VyxNoteStore notes;
    notes.SetLocation(folder.Path(), L"");
    return notes.ReadNote(folder / name);
}

struct Seen
{
    CString name, size, date, edit;
    bool exifVisible = true;
};

// Looks at the dialog, replaces the edit's text when one is given, then ends with the button.
Seen LookAndEnd(const wchar_t* newText, int button)
{
    Seen seen;
    HWND dialog = WaitForDialog(L"コメント入力", 30000);
    if (!dialog)
        return seen;
    seen.name = TextOf(GetDlgItem(dialog, IDC_COMMENT_NAME));
    seen.size = TextOf(GetDlgItem(dialog, IDC_COMMENT_SIZE));
    seen.date = TextOf(GetDlgItem(dialog, IDC_COMMENT_DATE));
    seen.edit = TextOf(GetDlgItem(dialog, IDC_COMMENT_EDIT));
    seen.exifVisible = IsWindowVisible(GetDlgItem(dialog, IDC_COMMENT_EXIF)) != FALSE;
    if (newText)
        SetWindowTextW(GetDlgItem(dialog, IDC_COMMENT_EDIT), newText);
    PostMessageW(dialog, WM_COMMAND, button, 0);
    return seen;
}

} // namespace

TEST(CommentDlg, ANoteShowsItsLineBreaksAndComesBackUnchanged)
{
    ScratchSettings settings;
    FrameworkScratchFolder folder;
    folder.WriteFile(L"写真.jpg", "data");
    VyxFile item(folder / L"写真.jpg");
    item.SetNote(L"海の\\n夕日");
    CCommentDlg dialog(&item);
    Seen seen;
    HelperThread driver([&] { seen = LookAndEnd(nullptr, IDOK); });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(CString(L"海の\r\n夕日"), seen.edit);
    EXPECT_EQ(item.ExpandMacros(L"Name: $(FileName)"), seen.name);
    EXPECT_EQ(CString(L"Name: 写真.jpg"), seen.name);
    EXPECT_EQ(item.ExpandMacros(L"Size: $(Size)"), seen.size);
    EXPECT_EQ(item.ExpandMacros(L"Date: $(DateTime)"), seen.date);
    EXPECT_FALSE(seen.exifVisible);
    EXPECT_EQ(CString(L"海の\\n夕日"), StoredNote(folder, L"写真.jpg"));
    // The placement is kept.
    EXPECT_NE(CString(L"<none>"), ReadSetting(L"Comment", L"WindowPlacement\\showCmd"));
}

// A path typed into a comment holds "\n" and "\\": the dialog shows every character as typed
// again, and a note written before reads as it did.
TEST(CommentDlg, ANoteHoldingBackslashesComesBackAsTyped)
{
    ScratchSettings settings;
    FrameworkScratchFolder folder;
    folder.WriteFile(L"写真.jpg", "data");
    VyxFile item(folder / L"写真.jpg");
    const wchar_t typed[] = L"D:\\nikon\\new\\写真\r\n\\\\server\\share C:\\foo\\";
    for (const wchar_t* text : {typed, static_cast<const wchar_t*>(nullptr)}) {
        CCommentDlg dialog(&item);
        HelperThread driver([&] { LookAndEnd(text, IDOK); });
        EXPECT_EQ(IDOK, dialog.DoModal());
    }
    Seen seen;
    {
        CCommentDlg dialog(&item);
        HelperThread driver([&] { seen = LookAndEnd(nullptr, IDCANCEL); });
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
    }
    EXPECT_EQ(CString(typed), seen.edit);
    EXPECT_EQ(CString(L"D:\\\\nikon\\\\new\\写真\\n\\\\\\server\\share C:\\foo\\"), StoredNote(folder, L"写真.jpg"));

    item.SetNote(L"C:\\foo\\n二行目");
    CCommentDlg before(&item);
    HelperThread driver([&] { seen = LookAndEnd(nullptr, IDCANCEL); });
    EXPECT_EQ(IDCANCEL, before.DoModal());
    EXPECT_EQ(CString(L"C:\\foo\r\n二行目"), seen.edit);
}

TEST(CommentDlg, ACommentOfThreeLinesIsStoredAsOneLine)
{
    ScratchSettings settings;
    FrameworkScratchFolder folder;
    folder.WriteFile(L"a.jpg", "data");
    VyxFile item(folder / L"a.jpg");
    CCommentDlg dialog(&item);
    HelperThread driver([&] { LookAndEnd(L"one\r\ntwo\r\nthree\nfour", IDOK); });
    EXPECT_EQ(IDOK, dialog.DoModal());
    CString stored = StoredNote(folder, L"a.jpg");
    EXPECT_EQ(CString(L"one\\ntwo\\nthree\\nfour"), stored);
    EXPECT_EQ(-1, stored.FindOneOf(L"\r\n"));
    EXPECT_EQ(stored, item.GetNote());
}

TEST(CommentDlg, CancelLeavesTheNoteAsItWas)
{
    ScratchSettings settings;
    FrameworkScratchFolder folder;
    folder.WriteFile(L"a.jpg", "data");
    VyxFile item(folder / L"a.jpg");
    item.SetNote(L"before");
    CCommentDlg dialog(&item);
    HelperThread driver([&] { LookAndEnd(L"after", IDCANCEL); });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(CString(L"before"), StoredNote(folder, L"a.jpg"));
    EXPECT_EQ(CString(L"before"), item.GetNote());
}

TEST(CommentDlg, ANoteTheStoreRefusesIsReportedAndTheDialogKeepsTheText)
{
    // Look-alike names map to one section; the message says what makes them alike.
    struct Row
    {
        const wchar_t* noted;
        const wchar_t* other;
        const wchar_t* told;
    };
    const Row rows[] = {{L"a{1}.jpg", L"a[1].jpg", L"[ ] と { }"}, {L"Case.jpg", L"case.jpg", L"大文字と小文字"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(CStringA(row.other).GetString());
        ScratchSettings settings;
        FrameworkScratchFolder folder;
        folder.WriteFile(row.noted, "data");
        VyxFile noted(folder / row.noted);
        ASSERT_EQ(VyxNoteStore::NoteWritten, noted.SetNote(L"noted"));
        ASSERT_TRUE(twinfiles::PutTwin(std::wstring(folder.Path()), row.other, "data"));
        VyxFile item(folder / row.other);
        CCommentDlg dialog(&item);
        CString message, kept;
        HelperThread driver([&] {
            HWND window = WaitForDialog(L"コメント入力", 30000);
            SetWindowTextW(GetDlgItem(window, IDC_COMMENT_EDIT), L"mine");
            PostMessageW(window, WM_COMMAND, IDOK, 0);
            DismissMessageBox(&message);
            kept = TextOf(GetDlgItem(window, IDC_COMMENT_EDIT));
            PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
        EXPECT_NE(-1, message.Find(L"区別できない"));
        CString unbroken = message; // lines are broken to fit the screen
        unbroken.Remove(L'\r');
        unbroken.Remove(L'\n');
        EXPECT_NE(-1, unbroken.Find(row.told)) << CStringA(message).GetString();
        EXPECT_EQ(CString(L"mine"), kept);
        // The item shows what the store holds, not the refused text.
        EXPECT_EQ(CString(L""), item.GetNote());
        EXPECT_EQ(CString(L""), StoredNote(folder, row.other));
        ASSERT_TRUE(DeleteFileW(folder / row.other));
        EXPECT_EQ(CString(L"noted"), StoredNote(folder, row.noted));
    }
}

TEST(CommentDlg, ANoteTheCodePageNoteFileCannotTakeIsRefusedNamingTheFile)
{
    ScratchSettings settings;
    FrameworkScratchFolder folder;
    folder.WriteFile(L"a.jpg", "data");
    // Shift_JIS notes beside a line another program wrote in UTF-8.
    const std::string before = "[a.jpg]\r\nNote=\x8D\xF7\r\n[u.jpg]\r\nNote=\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n";
    folder.WriteFile(L"_NOTE_.KWI", before);
    VyxFile item(folder / L"a.jpg");
    CCommentDlg dialog(&item);
    CString message, shown;
    HelperThread driver([&] {
        HWND window = WaitForDialog(L"コメント入力", 30000);
        shown = TextOf(GetDlgItem(window, IDC_COMMENT_EDIT));
        SetWindowTextW(GetDlgItem(window, IDC_COMMENT_EDIT), L"雪だるま ☃");
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        DismissMessageBox(&message);
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(CString(L"桜"), shown);
    EXPECT_NE(-1, Joined(message).Find(folder / L"_NOTE_.KWI")) << message.GetString();
    EXPECT_EQ(before, FrameworkScratchFolder::ReadFile(folder / L"_NOTE_.KWI"));
    EXPECT_EQ(CString(L"桜"), item.GetNote());
}

TEST(CommentDlg, ANoteFileThatCannotBeWrittenIsNamedWithTheSystemsReasonInABoxThatFitsTheScreen)
{
    ScratchSettings settings;
    FrameworkScratchFolder scratch;
    SetLastError(ERROR_ACCESS_DENIED);
    const CString reason = GetLastErrorText();
    ASSERT_FALSE(reason.IsEmpty());
    // Beside the scratch folder, and in a folder whose note file's path is 150 characters of wide
    // letters: with no blank in it the box cannot break that line itself.
    const int inside = 150 - scratch.Path().GetLength() - 12;
    ASSERT_GT(inside, 0);
    for (const CString& sub : {CString(), CString(L'W', inside)}) {
        const CString folder = sub.IsEmpty() ? scratch.Path() : scratch / sub;
        SCOPED_TRACE(CStringA(folder).GetString());
        CreateDirectoryW(folder, nullptr);
        VyxFile item(scratch.WriteFile(sub.IsEmpty() ? CString(L"a.jpg") : sub + L"\\a.jpg", "data"));
        ASSERT_EQ(VyxNoteStore::NoteWritten, item.SetNote(L"before"));
        const CString noteFile = folder + L"\\_NOTE_.KWI";
        ASSERT_TRUE(sub.IsEmpty() || noteFile.GetLength() == 150);
        ASSERT_TRUE(SetFileAttributesW(noteFile, FILE_ATTRIBUTE_READONLY));
        CCommentDlg dialog(&item);
        CString message;
        bool whole = false;
        {
            HelperThread driver([&] {
                HWND window = WaitForDialog(L"コメント入力", 30000);
                SetWindowTextW(GetDlgItem(window, IDC_COMMENT_EDIT), L"after");
                PostMessageW(window, WM_COMMAND, IDOK, 0);
                HWND box = WaitForMessageBox(&message, 30000);
                whole = box && MessageBoxShowsWholeText(box);
                AnswerMessageBox(nullptr, IDOK);
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            });
            EXPECT_EQ(IDCANCEL, dialog.DoModal());
        }
        SetFileAttributesW(noteFile, FILE_ATTRIBUTE_NORMAL);
        EXPECT_NE(-1, Joined(message).Find(noteFile)) << message.GetString();
        CString firstLineOfReason = reason.SpanExcluding(L"\r\n");
        EXPECT_NE(-1, Joined(message).Find(firstLineOfReason)) << message.GetString();
        EXPECT_TRUE(whole) << message.GetString();
        VyxNoteStore notes;
        notes.SetLocation(folder, L"");
        EXPECT_EQ(CString(L"before"), notes.ReadNote(folder + L"\\a.jpg"));
    }
}

namespace {

// The message a comment typed for the item and OK'd is refused with; the dialog is then cancelled.
CString RefusedComment(VyxFile& item)
{
    CCommentDlg dialog(&item);
    CString message;
    HelperThread driver([&] {
        HWND window = WaitForDialog(L"コメント入力", 30000);
        SetWindowTextW(GetDlgItem(window, IDC_COMMENT_EDIT), L"mine");
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        DismissMessageBox(&message);
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    return message;
}

} // namespace

TEST(CommentDlg, ACommentForANameWhoseFileIsGoneIsRefusedNamingTheTwinItWouldReach)
{
    ScratchSettings settings;
    FrameworkScratchFolder folder;
    folder.WriteFile(L"Case.jpg", "upper");
    VyxFile upper(folder / L"Case.jpg");
    ASSERT_EQ(VyxNoteStore::NoteWritten, upper.SetNote(L"the upper one"));
    const std::wstring path(folder.Path());
    ASSERT_TRUE(twinfiles::PutTwin(path, L"case.jpg", "lower"));
    VyxFile item(folder / L"case.jpg");
    ASSERT_TRUE(DeleteFileW(folder / L"case.jpg"));
    const CString message = RefusedComment(item);
    EXPECT_NE(-1, Joined(message).Find(L"「case.jpg」")) << CStringA(message).GetString();
    EXPECT_NE(-1, Joined(message).Find(L"「Case.jpg」"));
    EXPECT_EQ(CString(L"the upper one"), StoredNote(folder, L"Case.jpg"));
}

// Another instance renamed the file while the dialog was open: the comment is refused with a
// message, and no note is filed under the old name for a later file of that name to inherit.
TEST(CommentDlg, ACommentForAFileRenamedElsewhereIsRefusedAndFiledUnderNoName)
{
    ScratchSettings settings;
    FrameworkScratchFolder folder;
    folder.WriteFile(L"s0003.jpg", "picture");
    VyxFile item(folder / L"s0003.jpg");
    ASSERT_TRUE(MoveFileW(folder / L"s0003.jpg", folder / L"s0003x.jpg"));
    const CString message = RefusedComment(item);
    EXPECT_NE(-1, Joined(message).Find(L"もうありません")) << CStringA(message).GetString();
    EXPECT_NE(-1, Joined(message).Find(L"s0003.jpg"));
    EXPECT_TRUE(StoredNote(folder, L"s0003.jpg").IsEmpty());
    EXPECT_TRUE(StoredNote(folder, L"s0003x.jpg").IsEmpty());
}
