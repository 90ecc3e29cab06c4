#include "foundation/FormatMessageText.h"

#include <gtest/gtest.h>

TEST(FormatMessageText, GivesEveryTableTextWithItsInserts)
{
    struct
    {
        DWORD id;
        const wchar_t* text;
    } const cases[] = {
        {0x40000001, L"X\r\nフォルダの指定が正しくありません\r\n"},
        {0x40000002, L"ここにコピー(&C)\r\n"},
        {0x40000003, L"ここに移動(&M)\r\n"},
        {0x40000004, L"キャンセル(&A)\r\n"},
        {0x40000005, L"X を開く\r\n"},
        {0x40000006, L" X フォルダの名前変更に失敗しました\r\n"},
        {0x40000007, L"\"X\"フォルダを削除します.\r\nフォルダにあるファイル、サブフォルダも全て削除します.\r\n\r\n"
                     L"よろしいですか？\r\n"},
        {0x40000008, L"保存先を選択してください\r\n"},
        {0x40000009, L"ファイルの保存に失敗しました\r\n"},
        {0x4000000A, L"選択データを削除してもよろしいですか？\r\n"},
        {0x4000000B, L"名前の変更に失敗しました\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.text, FormatMessageText(c.id, L"X").GetString()) << std::hex << c.id;
}

TEST(FormatMessageText, InsertsWideTextsAndStrings)
{
    EXPECT_STREQ(L"Viewer を開く\r\n", FormatMessageText(0x40000005, L"Viewer").GetString());
    CString folder = L"C:\\写真";
    CString text = FormatMessageText(0x40000007, folder);
    EXPECT_STREQ(L"\"C:\\写真\"フォルダを削除します.", text.Left(text.Find(L"\r\n")).GetString());
}

TEST(FormatMessageText, MissingInsertsAndUnknownIdsGiveSafeTexts)
{
    EXPECT_STREQ(L" を開く\r\n", FormatMessageText(0x40000005).GetString());
    EXPECT_STREQ(L"", FormatMessageText(0x4000000C, L"x").GetString());
    EXPECT_STREQ(L"", FormatMessageText(0x40000000).GetString());
    // A result longer than the 1024-character buffer gives the empty text.
    std::wstring huge(2000, L'a');
    EXPECT_STREQ(L"", FormatMessageText(0x40000005, huge.c_str()).GetString());
}

TEST(FormatMessageText, TableIsFoundWhateverTheUserLanguage)
{
    // The user's default language decides the lookup: English, Japanese, French, Chinese.
    for (LANGID language : {0x0409, 0x0411, 0x040C, 0x0804}) {
        wchar_t text[64] = {};
        DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, AfxGetResourceHandle(),
                                 0x40000002, language, text, 64, nullptr);
        EXPECT_STREQ(L"ここにコピー(&C)\r\n", text) << std::hex << language << " error " << (n ? 0 : GetLastError());
    }
}

TEST(FormatMessageText, EveryNamedIdIsTheTextItsNameSays)
{
    struct
    {
        MessageId id;
        const wchar_t* text;
    } const cases[] = {
        {MsgInvalidFolder, L"X\r\nフォルダの指定が正しくありません\r\n"},
        {MsgDropCopyHere, L"ここにコピー(&C)\r\n"},
        {MsgDropMoveHere, L"ここに移動(&M)\r\n"},
        {MsgDropCancel, L"キャンセル(&A)\r\n"},
        {MsgOpenWith, L"X を開く\r\n"},
        {MsgFolderRenameFailed, L" X フォルダの名前変更に失敗しました\r\n"},
        {MsgConfirmFolderDelete,
         L"\"X\"フォルダを削除します.\r\nフォルダにあるファイル、サブフォルダも全て削除します.\r\n\r\n"
         L"よろしいですか？\r\n"},
        {MsgChooseDestination, L"保存先を選択してください\r\n"},
        {MsgSaveFailed, L"ファイルの保存に失敗しました\r\n"},
        {MsgConfirmDeleteSelection, L"選択データを削除してもよろしいですか？\r\n"},
        {MsgRenameFailed, L"名前の変更に失敗しました\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.text, FormatMessageText(c.id, L"X").GetString()) << std::hex << c.id;
}
