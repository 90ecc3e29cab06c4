// Every message the program can show, with the longest names it can carry, shown as the program
// shows it: each box lies in the 1,024 x 768 work area and shows its whole text. Texts are built
// by the program's own functions where it has them, and by the program's own calls where a box
// is cheap to reach; the rest are the literals of the places that show them.
#include <gtest/gtest.h>

#include "../catalogue/DocumentTestUtil.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/CacheRootCheck.h"
#include "catalogue/DeleteRule.h"
#include "common/LongNames.h"
#include "common/ScratchFolder.h"
#include "common/WindowTestUtil.h"
#include "controls/CCJHyperLink.h"
#include "fileops/TransferNotes.h"
#include "foundation/FormatMessageText.h"
#include "foundation/MessageBoxes.h"
#include "foundation/TwinNameGuard.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxSystem.h"
#include "res/resource.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using longnames::Inserts;

namespace {

CString SystemText(DWORD error)
{
    SetLastError(error);
    return GetLastErrorText();
}

CString StringText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

CString Formatted(const wchar_t* format, const CString& insert)
{
    CString text;
    text.Format(format, insert.GetString());
    return text;
}

// One message: where the program shows it, its text with the inserts, and the box's buttons.
struct Message
{
    const char* where;
    std::function<CString(const Inserts&)> text;
    UINT type;
    // The inserts with which the text is taller than any box of the work area can be: the box
    // then keeps both ends and marks the lines cut between them.
    const char* tooTallWith = nullptr;
};

std::vector<Message> Messages()
{
    const UINT stop = MB_OK | MB_ICONSTOP, warn = MB_OK | MB_ICONEXCLAMATION, info = MB_OK | MB_ICONINFORMATION,
               ask = MB_YESNO | MB_ICONQUESTION;
    std::vector<Message> messages = {
        // catalogue
        {"twin refusal", [](const Inserts& n) { return TwinNameGuard::Text(n.named, n.other); }, stop},
        {"twin refusal of a target",
         [](const Inserts& n) { return TwinNameGuard::Text(n.named, n.other, TwinNameGuard::Role::Target); }, stop},
        {"rename refused by the system",
         [](const Inserts& n) {
             return CKWDoc::RenameFailureText(n.path, n.name, SystemText(ERROR_FILENAME_EXCED_RANGE));
         },
         stop},
        // Four names of 255 full-width characters and the sentences around them come to more lines
        // than the 45 the work area's height holds, the box wrapping Japanese text at 25
        // characters.
        {"rename refused for a twin",
         [](const Inserts& n) {
             return CKWDoc::RenameFailureText(n.named, n.name, TwinNameGuard::Text(n.named, n.other));
         },
         stop, "full-width characters"},
        {"rename refused for a shared note section",
         [](const Inserts& n) {
             return CKWDoc::RenameFailureText(n.path, n.name,
                                              L"「" + n.other +
                                                  L"」とコメントの保存欄が同じになるため（大文字と小文字、[ ] と { "
                                                  L"}、名前の前後の空白は区別されません）、コメントを失わないよう名前"
                                                  L"を変えませんでした。");
         },
         stop},
        {"rename refused for an unwritable note file",
         [](const Inserts& n) {
             return CKWDoc::RenameFailureText(
                 n.path, n.name,
                 L"次のコメントファイルに書き込めないため、コメントを失わないよう、名前は元"
                 L"のままにしました。\r\n" +
                     n.path);
         },
         stop},
        {"cache folder unwritable",
         [](const Inserts& n) { return CacheRootCheck::CannotWriteText(n.path, ERROR_PATH_NOT_FOUND); }, warn},
        {"contact sheet not saved",
         [](const Inserts& n) { return n.path + L"\n\n" + FormatMessageText(MsgSaveFailed); }, stop},
        {"comment refused for a similar name",
         [](const Inserts&) {
             return CString(L"このファイルのコメントは、同じフォルダーにある名前の似た別のファイル（大文字と小文字、[ "
                            L"] と { }、前後の空白の違い）と区別できないため、保存できません。");
         },
         stop},
        {"comment not saved",
         [](const Inserts& n) {
             return L"コメントを次のコメントファイルに保存できませんでした。\r\n" + n.path + L"\r\n" +
                    SystemText(ERROR_ACCESS_DENIED);
         },
         stop},
        {"comment not convertible",
         [](const Inserts& n) {
             return L"このコメント（またはファイル名）には Shift_JIS "
                    L"で書けない文字があります。次のコメントファイルには別の文字コードで書かれた部分があり、書き換える"
                    L"とそ"
                    L"の部分が失われるため、保存できません。\r\n\r\n" +
                    n.path;
         },
         stop},
        // fileops
        {"destination folder invalid", [](const Inserts& n) { return FormatMessageText(MsgInvalidFolder, n.path); },
         stop},
        {"folder into itself",
         [](const Inserts& n) {
             return L"フォルダ「" + n.path + L"」を、そのフォルダ自身またはその中のフォルダ「" + n.path + L"\\" +
                    n.name + L"」へ移動することはできません。";
         },
         stop},
        {"transfer failed", [](const Inserts& n) { return n.path + L"\r\n" + SystemText(ERROR_DISK_FULL); },
         MB_ABORTRETRYIGNORE | MB_ICONSTOP},
        {"copy failed",
         [](const Inserts& n) { return n.path + L"\r\nファイル操作に失敗\r\n" + SystemText(ERROR_ACCESS_DENIED); },
         MB_ABORTRETRYIGNORE | MB_ICONSTOP},
        {"notes shared with other names",
         [](const Inserts& n) {
             TransferNotes notes(L"");
             for (int i = 0; i < 12; ++i)
                 notes.Shared(n.path, {n.name, n.other}, i % 2 == 0);
             return notes.SharedText();
         },
         info},
        {"report file not written",
         [](const Inserts& n) {
             return n.path + L"\nレポートファイルの書き込みに失敗しました\n" + SystemText(ERROR_DISK_FULL);
         },
         stop},
        {"rename batch without change",
         [](const Inserts&) {
             return CString(L"名前の変わるファイルがありません。一括置換書式を入れて［更新］を押し、「変更後の名前」を"
                            L"確かめてから実行してください。");
         },
         info},
        {"catalog not written", [](const Inserts&) { return CString(L"HTMLファイルの書き込みに失敗しました"); }, warn},
        {"catalog field empty", [](const Inserts&) { return CString(L"HTML形式定義ファイルを指定してください。"); },
         warn},
        // viewer
        {"wallpaper not set", [](const Inserts&) { return CString(L"壁紙の変更に失敗しました.[ErrCode=0]"); }, warn},
        {"picture not saved", [](const Inserts&) { return FormatMessageLine(MsgSaveFailed); }, warn},
        // browser
        {"folder not there", [](const Inserts& n) { return FormatMessageText(MsgInvalidFolder, n.path); }, stop},
        {"folder not renamed", [](const Inserts& n) { return FormatMessageText(MsgFolderRenameFailed, n.path); }, stop},
        {"folder deletion asked", [](const Inserts& n) { return FormatMessageText(MsgConfirmFolderDelete, n.path); },
         ask},
        {"selection deletion asked", [](const Inserts&) { return FormatMessageText(MsgConfirmDeleteSelection); }, ask},
        {"application not started",
         [](const Inserts& n) {
             return SystemText(ERROR_FILE_NOT_FOUND) + L"\n\n[\"" + n.path + L"\" \"" + n.path + L"\"]";
         },
         MB_ICONINFORMATION},
        {"too many applications",
         [](const Inserts&) { return CString(L"外部アプリケーションの登録は最大 32個までです"); }, MB_OK},
        {"sheet too large",
         [](const Inserts&) { return CString(L"2147483647 x 2147483647 のシートは大きすぎて作成できません"); }, stop},
        {"page not saved, go on",
         [](const Inserts& n) { return Formatted(L"%s\n\nファイルの保存に失敗しました\n\n継続しますか？", n.name); },
         ask},
        {"member not unpacked", [](const Inserts& n) { return n.path + L"\n\n" + StringText(IDS_UNPACK_FAILED); },
         MB_OK},
        {"plug-in set deletion asked",
         [](const Inserts& n) { return Formatted(L"プラグインセット：[%s]を削除します。よろしいですか？", n.name); },
         ask},
        {"location named at start not there",
         [](const Inserts& n) { return n.path + L"\n" + SystemText(ERROR_PATH_NOT_FOUND); }, warn},
        {"folder command failed", [](const Inserts&) { return SystemText(ERROR_DIR_NOT_EMPTY); }, stop},
        {"network dialog not opened",
         [](const Inserts&) {
             return L"ネットワークドライブの割り当てを開けませんでした。\n" + SystemText(ERROR_NO_NETWORK);
         },
         warn},
        // foundation
        {"folder picker refusal",
         [](const Inserts&) { return CString(L"無効な文字が入力されたか、フォルダが存在しません"); }, MB_OK},
        {"wallpaper through the desktop asked",
         [](const Inserts&) {
             return CString(L"この壁紙を表示にするには Active Desktop を有効にする必要があります。\n有効にしますか");
         },
         ask},
    };
    // The string table's messages and the hyperlink's, as they stand.
    for (UINT id : {IDS_COMCTL_TOO_OLD,          IDS_OLE_INIT_FAILED,      IDS_FILE_OPERATION_BUSY,
                    IDS_LISTEDIT_FULL,           IDS_APP_NO_TITLE,         IDS_APP_NO_COMMAND,
                    IDS_CLIPBOARD_OPEN_FAILED,   IDS_CLIPBOARD_UNREADABLE, IDS_CATALOG_DEFINITION_FAILED,
                    IDS_THUMBNAIL_FOLDER_FAILED, IDS_SHEET_NO_MEMORY,      IDS_REGEXP_GROUP_CONFIRM_DELETE,
                    IDS_PRINTER_DC_FAILED,       IDS_PRINT_FAILED,         IDS_PRINT_ABORTED,
                    IDS_PRINT_NO_DISK,           IDS_PRINT_NO_MEMORY,      IDS_PRINT_NO_BITBLT,
                    IDS_PRINT_NO_BITMAP64K,      IDS_PRINT_NO_DIBTODEV,    IDS_PRINT_NO_STRETCHDIB,
                    IDS_PRINT_DEFINITION_FAILED})
        messages.push_back({"string table", [id](const Inserts&) { return StringText(id); }, info});
    for (int code : {0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32, 99})
        messages.push_back(
            {"hyperlink not opened", [code](const Inserts&) { return CCJHyperLink::OpenErrorText(code); }, warn});
    return messages;
}

// The box of a message the program shows itself, driven to its box by its own call.
struct Call
{
    const char* where;
    std::function<void(const Inserts&)> show;
    int answer;
};

} // namespace

TEST(MessageBoxWalk, EveryMessageWithTheLongestNamesFitsTheWorkAreaAndShowsItsWholeText)
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ASSERT_EQ(1024, work.right - work.left);
    ASSERT_EQ(768, work.bottom - work.top);
    int rows = 0;
    for (const Message& message : Messages()) {
        for (const Inserts& names : longnames::All()) {
            SCOPED_TRACE(std::string(message.where) + " with " + names.what);
            ++rows;
            const CString text = message.text(names);
            ASSERT_FALSE(text.IsEmpty());
            const SeenMessageBox box = LookAtMessageBox([&] { ShowMessageBox(text, message.type); },
                                                        (message.type & MB_TYPEMASK) == MB_OK ? IDOK : IDNO);
            ASSERT_TRUE(box.seen);
            EXPECT_TRUE(box.whole) << "box " << box.rect.left << "," << box.rect.top << " - " << box.rect.right << ","
                                   << box.rect.bottom;
            if (!message.tooTallWith || strcmp(message.tooTallWith, names.what) != 0) {
                EXPECT_EQ(Joined(text), Joined(box.text));
                continue;
            }
            const int cut = box.text.Find(L"\r\n…\r\n");
            EXPECT_NE(-1, cut);
            if (cut == -1)
                continue;
            const CString head = Joined(box.text.Left(cut)), tail = Joined(box.text.Mid(cut + 5));
            EXPECT_EQ(head, Joined(text).Left(head.GetLength()));
            EXPECT_EQ(tail, Joined(text).Right(tail.GetLength()));
        }
    }
    EXPECT_GE(rows, 2 * 70);
}

TEST(MessageBoxWalk, TheProgramsOwnCallsWithTheLongestNamesShowBoxesThatFit)
{
    ScratchFolder scratch(L"msgwalk");
    ASSERT_TRUE(ScratchFolder::WriteFile(scratch / L"file.txt", "x"));
    doctest::DocumentScope scope;
    const Call calls[] = {
        {"folder creation asked", [](const Inserts& n) { EXPECT_FALSE(EnsureFolderExists(n.path, false)); }, IDNO},
        {"folder creation failed",
         [&](const Inserts& n) {
             // Under a file no folder can be made.
             const CString under = CString((scratch / L"file.txt").c_str()) + L"\\" + n.name;
             EXPECT_FALSE(EnsureFolderExists(under, true, true));
         },
         IDOK},
        {"cache folder creation asked",
         [](const Inserts& n) {
             EXPECT_FALSE(CacheRootCheck::Accept(n.path));
             CacheRootCheck::ForgetTold();
         },
         IDNO},
        {"cache folder is a file",
         [&](const Inserts&) {
             EXPECT_FALSE(CacheRootCheck::ReadyToSave((scratch / L"file.txt").c_str(), true));
             CacheRootCheck::ForgetTold();
         },
         IDOK},
        {"replacement asked", [&](const Inserts& n) { EXPECT_EQ(IDNO, scope.Document().AskToReplace(n.path)); }, IDNO},
        {"deletion for good asked", [](const Inserts&) { EXPECT_FALSE(DeleteRule::AskForGood()); }, IDNO},
    };
    int rows = 0;
    for (const Call& call : calls) {
        for (const Inserts& names : longnames::All()) {
            SCOPED_TRACE(std::string(call.where) + " with " + names.what);
            ++rows;
            const SeenMessageBox box = LookAtMessageBox([&] { call.show(names); }, call.answer);
            ASSERT_TRUE(box.seen);
            EXPECT_TRUE(box.whole) << "box " << box.rect.left << "," << box.rect.top << " - " << box.rect.right << ","
                                   << box.rect.bottom;
        }
    }
    EXPECT_EQ(12, rows);
}
