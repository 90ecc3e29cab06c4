// What the rename command tells the user when a name is refused: the file, the name asked for
// and why (the names whose note section it would take, or the system's own text).
#include "DocumentCommandUtil.h"

#include "catalogue/VyxNoteStore.h"
#include "res/resource.h"

using namespace doccommands;

namespace {

CString SystemText(DWORD error)
{
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, 512, nullptr);
    CString trimmed(text);
    return trimmed.TrimRight(L"\r\n");
}

// The rename command on the selected item, the new name typed and OK pressed; the message box's
// text, empty when none came.
CString RenameAndReadTheMessage(CKWDoc& doc, const wchar_t* newName)
{
    CString text;
    {
        HelperThread driver([&] {
            DialogDriver dialog(L"名前の変更");
            ASSERT_NE(nullptr, dialog.dialog);
            dialog.SetText(IDC_RENAME_EDIT, newName);
            dialog.Command(IDOK);
            ASSERT_TRUE(dialog.WaitClosed());
            AnswerMessageBox(&text, IDOK);
        });
        RunCommand(doc, ID_FILE_RENAME_ONE);
    }
    return text;
}

} // namespace

TEST(DocumentRenameMessages, ARefusedRenameNamesTheFileAndSaysWhy)
{
    PictureDocument d(2);
    CKWDoc& doc = d.Document();
    doc.SetAllSelection(false);
    doc.SetItemSelection(0, true);
    ASSERT_EQ(VyxNoteStore::NoteWritten, doc.GetItem(0)->SetNote(L"注釈"));
    // "a[1].bmp" would file its note where "a{1}.bmp" files its own.
    ASSERT_TRUE(ScratchFolder::WriteFile(d.scope.folder / L"a{1}.bmp", "other"));
    const CString path = d.Name(0).c_str();

    const CString shared = Joined(RenameAndReadTheMessage(doc, L"a[1].bmp"));
    EXPECT_EQ(0, shared.Find(L"名前の変更に失敗しました")) << CStringA(shared);
    EXPECT_NE(-1, shared.Find(path + L" → a[1].bmp")) << CStringA(shared);
    EXPECT_NE(-1, shared.Find(L"「a{1}.bmp」")) << CStringA(shared);

    // A name another file has: the system's reason.
    const CString taken = Joined(RenameAndReadTheMessage(doc, L"p01.bmp"));
    EXPECT_EQ(0, taken.Find(L"名前の変更に失敗しました")) << CStringA(taken);
    EXPECT_NE(-1, taken.Find(path + L" → p01.bmp")) << CStringA(taken);
    EXPECT_NE(-1, taken.Find(SystemText(ERROR_ALREADY_EXISTS))) << CStringA(taken);

    EXPECT_TRUE(ScratchFolder::Exists(d.Name(0)));
    EXPECT_EQ(CString(L"注釈"), doc.GetItem(0)->GetNote());
}

TEST(DocumentRenameMessages, TheRefusalOfANameTooLongForTheFolderCanBeReadWhole)
{
    PictureDocument d(1);
    CKWDoc& doc = d.Document();
    doc.SetAllSelection(false);
    doc.SetItemSelection(0, true);
    const CString path = d.Name(0).c_str();
    // Longer than the folder's path leaves room for, and with no space to break at.
    const CString tooLong = CString(L'x', 240) + L".bmp";
    CString text;
    bool whole = false;
    {
        HelperThread driver([&] {
            DialogDriver dialog(L"名前の変更");
            ASSERT_NE(nullptr, dialog.dialog);
            dialog.SetText(IDC_RENAME_EDIT, tooLong);
            dialog.Command(IDOK);
            ASSERT_TRUE(dialog.WaitClosed());
            HWND box = WaitForMessageBox(&text, 30000);
            whole = box && MessageBoxShowsWholeText(box);
            AnswerMessageBox(nullptr, IDOK);
        });
        RunCommand(doc, ID_FILE_RENAME_ONE);
    }
    CString joined = text;
    joined.Replace(L"\r\n", L"");
    EXPECT_EQ(0, joined.Find(L"名前の変更に失敗しました")) << CStringA(text);
    EXPECT_NE(-1, joined.Find(path + L" → " + tooLong)) << CStringA(text);
    EXPECT_NE(-1, joined.Find(SystemText(ERROR_FILENAME_EXCED_RANGE))) << CStringA(text);
    EXPECT_TRUE(whole) << CStringA(text);
    EXPECT_TRUE(ScratchFolder::Exists(d.Name(0)));
}
