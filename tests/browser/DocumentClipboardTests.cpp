// The document's clipboard and transfer commands: the blocks copy and cut leave on the clipboard,
// a clipboard held elsewhere, pasting files and pictures (another program's picture checked first),
// and the jobs of copying and moving to a folder.
#include "DocumentCommandUtil.h"

#include "browser/CKWDocPictureOutput.h"
#include "catalogue/FolderList.h"
#include "catalogue/VyxNoteStore.h"
#include "common/ImportPatch.h"
#include "res/resource.h"

#include <cstring>
#include <functional>

using namespace doccommands;

namespace {

const UINT kNotes = RegisterClipboardFormatW(L"CF_VyxNOTE");
const UINT kEffect = RegisterClipboardFormatW(L"Preferred DropEffect");

// The clipboard's formats in their order, and the bytes of each.
struct ClipboardContent
{
    ClipboardContent()
    {
        if (!OpenClipboard(nullptr))
            return;
        for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
            // Formats the system makes from others are not the program's.
            if (format == CF_TEXT || format == CF_OEMTEXT || format == CF_LOCALE || format == CF_BITMAP ||
                format == CF_DIBV5 || format == CF_PALETTE)
                continue;
            formats.push_back(format);
            HGLOBAL block = GetClipboardData(format);
            const void* bytes = block ? GlobalLock(block) : nullptr;
            blocks.emplace_back(bytes ? std::string(static_cast<const char*>(bytes), GlobalSize(block)) : "");
            if (bytes)
                GlobalUnlock(block);
        }
        CloseClipboard();
    }
    const std::string* Of(UINT format) const
    {
        for (size_t i = 0; i < formats.size(); ++i)
            if (formats[i] == format)
                return &blocks[i];
        return nullptr;
    }
    std::vector<UINT> formats;
    std::vector<std::string> blocks;
};

// Puts one block of the format on the clipboard, alone.
void PutOnClipboard(UINT format, const void* bytes, size_t size)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(GlobalLock(block), bytes, size);
    GlobalUnlock(block);
    SetClipboardData(format, block);
    CloseClipboard();
}

BOOL WINAPI ClipboardHeldElsewhere(HWND)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

void EmptyTheClipboard()
{
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

std::wstring Wide(const std::string& bytes, size_t offset = 0)
{
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + offset), (bytes.size() - offset) / 2);
}

} // namespace

TEST(DocumentClipboard, CopyLeavesNotesFilesEffectTextAndTheCursorPictureInThatOrder)
{
    PictureDocument d(3);
    CKWDoc& doc = d.Document();
    doc.SelectItem(2, false, nullptr);
    doc.GetItem(1)->SetNote(L"abc");
    doc.SetCursorIndex(2, nullptr);
    EXPECT_TRUE(UpdateCommand(doc, ID_EDIT_COPY).enabled);
    RunCommand(doc, ID_EDIT_COPY);
    ClipboardContent clip;
    const std::vector<UINT> order = {kNotes, CF_HDROP, kEffect, CF_UNICODETEXT, CF_DIB};
    EXPECT_EQ(order, clip.formats);
    // A lone NUL for the item without a note, then "abc" and its NUL, then the closing NUL.
    ASSERT_NE(nullptr, clip.Of(kNotes));
    EXPECT_EQ(std::wstring(L"\0abc\0\0", 6), Wide(*clip.Of(kNotes)));
    const std::string& drop = *clip.Of(CF_HDROP);
    ASSERT_GE(drop.size(), sizeof(DROPFILES));
    const auto* header = reinterpret_cast<const DROPFILES*>(drop.data());
    EXPECT_EQ(sizeof(DROPFILES), header->pFiles);
    EXPECT_TRUE(header->fWide);
    EXPECT_EQ(d.Name(0) + L'\0' + d.Name(1) + L'\0' + L'\0', Wide(drop, sizeof(DROPFILES)));
    EXPECT_EQ(std::string("\x05\0\0\0", 4), *clip.Of(kEffect));
    EXPECT_EQ(d.Name(0) + L"\n" + d.Name(1) + L"\n", std::wstring(Wide(*clip.Of(CF_UNICODETEXT)).c_str()));
    // The cursor item's picture, though it is not selected.
    const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(clip.Of(CF_DIB)->data());
    EXPECT_EQ(16, info->biWidth);
    EXPECT_EQ(12, info->biHeight);
}

TEST(DocumentClipboard, TheSettingsLeaveOutTheTextAndThePictureAndCutNeverPlacesOne)
{
    PictureDocument d(2);
    CKWDoc& doc = d.Document();
    doc.SetCursorIndex(0, nullptr);
    doc.ClipboardCopyTEXT = false;
    doc.ClipboardCopyDIB = false;
    RunCommand(doc, ID_EDIT_COPY);
    EXPECT_EQ((std::vector<UINT>{kNotes, CF_HDROP, kEffect}), ClipboardContent().formats);

    doc.ClipboardCopyTEXT = true;
    doc.ClipboardCopyDIB = true;
    EXPECT_TRUE(UpdateCommand(doc, ID_EDIT_CUT).enabled);
    RunCommand(doc, ID_EDIT_CUT);
    ClipboardContent clip;
    EXPECT_EQ((std::vector<UINT>{kNotes, CF_HDROP, kEffect, CF_UNICODETEXT}), clip.formats);
    EXPECT_EQ(std::string("\x02\0\0\0", 4), *clip.Of(kEffect));
    // Nothing leaves the folder or the list on a cut.
    EXPECT_EQ(2, doc.GetItemCount());
    EXPECT_TRUE(ScratchFolder::Exists(d.Name(0)));
}

// Another instance changed the comment after the row read it: the cut puts it there as it stands.
TEST(DocumentClipboard, ACutPutsEachNoteAsItStandsNotAsTheRowFirstReadIt)
{
    PictureDocument d(2);
    CKWDoc& doc = d.Document();
    ASSERT_EQ(VyxNoteStore::NoteWritten, doc.GetItem(1)->SetNote(L"at first"));
    VyxNoteStore other;
    other.SetLocation(d.scope.folder.Path().c_str(), L"");
    ASSERT_EQ(VyxNoteStore::NoteWritten, other.WriteNote(d.Name(0).c_str(), L"new"));
    ASSERT_EQ(VyxNoteStore::NoteWritten, other.WriteNote(d.Name(1).c_str(), L"changed"));
    RunCommand(doc, ID_EDIT_CUT);
    ClipboardContent clip;
    ASSERT_NE(nullptr, clip.Of(kNotes));
    EXPECT_EQ(std::wstring(L"new\0changed\0\0", 13), Wide(*clip.Of(kNotes)));
    EXPECT_EQ(CString(L"changed"), doc.GetItem(1)->GetNote());
}

TEST(DocumentClipboard, NothingSelectedLeavesTheClipboardAsItWas)
{
    PictureDocument d(2);
    CKWDoc& doc = d.Document();
    doc.SetAllSelection(false);
    PutOnClipboard(CF_UNICODETEXT, L"kept", 10);
    EXPECT_FALSE(UpdateCommand(doc, ID_EDIT_COPY).enabled);
    EXPECT_FALSE(UpdateCommand(doc, ID_EDIT_CUT).enabled);
    EXPECT_FALSE(UpdateCommand(doc, ID_FILE_COPY_TO).enabled);
    EXPECT_FALSE(UpdateCommand(doc, ID_FILE_MOVE_TO).enabled);
    RunCommand(doc, ID_EDIT_COPY);
    RunCommand(doc, ID_EDIT_CUT);
    ClipboardContent clip;
    EXPECT_EQ((std::vector<UINT>{CF_UNICODETEXT}), clip.formats);
}

TEST(DocumentClipboard, ArchiveMembersInnerPathsNeverReachTheClipboard)
{
    StandardPlugins plugins;
    CommandDocumentScope scope;
    std::wstring archive = PutFile(scope.folder, L"box.tarc",
                                   MakeTestArchive(0, {{"", "one.tpic", "x", 0, 1}, {"in", "two.tpic", "y", 0, 1}}));
    scope.Open(CVirtualFolder(archive.c_str(), archive.c_str(), 2));
    CKWDoc& doc = scope.Document();
    ASSERT_EQ(2, doc.GetItemCount());
    doc.SetAllSelection(true);
    doc.ClipboardCopyDIB = false;
    doc.ClipboardCopyTEXT = true;
    PutOnClipboard(CF_UNICODETEXT, L"kept", 10);
    ASSERT_TRUE(UpdateCommand(doc, ID_EDIT_COPY).enabled);
    RunCommand(doc, ID_EDIT_COPY);
    // Members have no file of their own: no list, no note and no text names them.
    ClipboardContent clip;
    EXPECT_TRUE(clip.formats.empty());
    for (const std::string& block : clip.blocks) {
        EXPECT_EQ(std::wstring::npos, Wide(block).find(L"one.tpic"));
        EXPECT_EQ(std::wstring::npos, Wide(block).find(L"two.tpic"));
    }
}

TEST(DocumentClipboard, AClipboardThatCannotBeOpenedLeavesNothingHalfSetAndSaysSo)
{
    PictureDocument d(2);
    PutOnClipboard(CF_UNICODETEXT, L"kept", 10);
    CString text;
    bool placed = true;
    {
        // Another program holds the clipboard.
        ImportPatch busy("user32.dll", "OpenClipboard", reinterpret_cast<const void*>(&ClipboardHeldElsewhere));
        HelperThread answer([&] { AnswerMessageBox(&text, IDOK); });
        placed = d.Document().PlaceSelectionOnClipboard(false);
    }
    EXPECT_FALSE(placed);
    EXPECT_NE(-1, text.Find(L"クリップボード"));
    EXPECT_EQ((std::vector<UINT>{CF_UNICODETEXT}), ClipboardContent().formats);
}

TEST(DocumentClipboard, PastedFilesGoToTheFolderByAJobPostedOrForTheProgramsOwnDragListSent)
{
    PictureDocument d(1);
    CKWDoc& doc = d.Document();
    EmptyTheClipboard();
    EXPECT_FALSE(UpdateCommand(doc, ID_EDIT_PASTE).enabled);
    RunCommand(doc, ID_EDIT_COPY);
    EXPECT_TRUE(UpdateCommand(doc, ID_EDIT_PASTE).enabled);
    RunCommand(doc, ID_EDIT_PASTE);
    // Posted: the job runs once the frame reaches the message.
    EXPECT_TRUE(d.frame.jobs.empty());
    ASSERT_TRUE(PumpUntil([&] { return !d.frame.jobs.empty(); }, kWait));
    const std::wstring copy = L"copy " + d.scope.folder.Path() + L":";
    EXPECT_EQ(copy, d.frame.jobs[0].substr(0, copy.size()));

    // With the program's own drag list the job has run when the paste returns.
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL mark = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4);
    SetClipboardData(RegisterClipboardFormatW(L"CF_VyxDROP"), mark);
    CloseClipboard();
    RunCommand(doc, ID_EDIT_PASTE);
    EXPECT_EQ(2u, d.frame.jobs.size());
}

TEST(DocumentClipboard, AnotherProgramsPictureIsCheckedThenSavedWhereTheUserSays)
{
    PictureDocument d(0);
    CKWDoc& doc = d.Document();
    dibtest::Dib picture(dibtest::Make24(8, 6, [](LONG x, LONG) { return RGB(10 * x, 0, 0); }));
    PutOnClipboard(CF_DIB, GlobalLock(picture), GlobalSize(picture));
    GlobalUnlock(picture);
    EXPECT_TRUE(UpdateCommand(doc, ID_EDIT_PASTE).enabled);
    {
        HelperThread chooser([&] { outputtest::ChooseInFileDialog(d.Out(L"pasted")); });
        RunCommand(doc, ID_EDIT_PASTE);
    }
    EXPECT_TRUE(SameSize(SIZE{8, 6}, BmpSize(d.Out(L"pasted.bmp"))));
    EXPECT_EQ(std::vector<std::wstring>{d.scope.folder.Path()}, d.frame.changedFolders);

    // A header that promises more than the block holds is refused before any dialog opens.
    BITMAPINFOHEADER hostile = {};
    hostile.biSize = sizeof(hostile);
    hostile.biWidth = 100000;
    hostile.biHeight = 100000;
    hostile.biPlanes = 1;
    hostile.biBitCount = 24;
    PutOnClipboard(CF_DIB, &hostile, sizeof(hostile));
    CString text;
    {
        HelperThread answer([&] { AnswerMessageBox(&text, IDOK); });
        RunCommand(doc, ID_EDIT_PASTE);
    }
    EXPECT_NE(-1, text.Find(L"クリップボードの画像"));
    EXPECT_EQ(1u, d.frame.changedFolders.size());
    EmptyTheClipboard();
}

TEST(DocumentTransfers, CopyTakesEverySelectedItemAndMoveOnlyFilesStillThereThenDropsTheMissing)
{
    PictureDocument d(3);
    CKWDoc& doc = d.Document();
    CKWDocPictureOutput(doc).TransferSelected(d.out.Path().c_str(), 1, 2, false);
    ASSERT_EQ(1u, d.frame.jobs.size());
    EXPECT_EQ(L"copy " + d.out.Path() + L": p00.bmp p01.bmp p02.bmp", d.frame.jobs[0]);

    DeleteFileW(d.Name(1).c_str());
    CKWDocPictureOutput(doc).TransferSelected(d.out.Path().c_str(), 0, 0, true);
    ASSERT_EQ(2u, d.frame.jobs.size());
    EXPECT_EQ(L"move " + d.out.Path() + L": p00.bmp p02.bmp", d.frame.jobs[1]);
    // The stand-in frame moved nothing: only the vanished file leaves the list.
    EXPECT_EQ((std::vector<std::wstring>{L"p00.bmp", L"p02.bmp"}), d.scope.Names());
}

namespace {

// The command's dialog given a folder that is not there; the question whether to make it declined
// and then accepted: declined, no job, no folder and no trace in the history; accepted, the job
// goes there and the folder leads the history.
void DeclineThenMakeTheMissingFolder(UINT command, const wchar_t* caption, const std::wstring& kind)
{
    PictureDocument d(1);
    CStringArray earlier;
    earlier.Add(L"C:\\前回");
    FolderList::SaveKind(FolderListFilerFolder, earlier);
    const std::wstring missing = d.Out(L"選抜_2024.夏");
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDNO ? "declined" : "made");
        CString question;
        {
            HelperThread driver([&] {
                DialogDriver dialog(caption);
                ASSERT_NE(nullptr, dialog.dialog);
                dialog.SetText(IDC_FILECOPY_FOLDER, missing.c_str());
                dialog.Command(IDOK);
                AnswerMessageBox(&question, answer);
            });
            RunCommand(d.Document(), command);
        }
        EXPECT_NE(-1, question.Find(L"フォルダが存在しません"));
        CStringArray history;
        FolderList::LoadKind(FolderListFilerFolder, history);
        std::vector<CString> entries(history.GetData(), history.GetData() + history.GetCount());
        if (answer == IDNO) {
            EXPECT_TRUE(d.frame.jobs.empty());
            EXPECT_FALSE(ScratchFolder::Exists(missing));
            EXPECT_EQ(std::vector<CString>{L"C:\\前回"}, entries);
        } else {
            ASSERT_EQ(1u, d.frame.jobs.size());
            EXPECT_EQ(kind + L" " + missing + L": p00.bmp", d.frame.jobs[0]);
            EXPECT_TRUE(ScratchFolder::Exists(missing));
            EXPECT_EQ((std::vector<CString>{missing.c_str(), L"C:\\前回"}), entries);
        }
    }
}

} // namespace

TEST(DocumentTransfer, AMoveDeclinedAtTheNewFolderQuestionLeavesNoTraceInTheHistory)
{
    DeclineThenMakeTheMissingFolder(ID_FILE_MOVE_TO, L"ファイルの移動", L"move");
}

TEST(DocumentTransfer, ACopyDeclinedAtTheNewFolderQuestionStartsNothingAndLeavesNoTraceInTheHistory)
{
    DeclineThenMakeTheMissingFolder(ID_FILE_COPY_TO, L"ファイルの複写", L"copy");
}
