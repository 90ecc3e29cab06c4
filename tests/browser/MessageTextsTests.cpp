// The texts the main window, the document's commands and their dialogs show in message boxes, read
// from the string table as the program reads them.
#include <gtest/gtest.h>

#include "framework/Framework.h"
#include "res/resource.h"

TEST(MessageTexts, EveryMessageOfTheStringTableKeepsItsText)
{
    const struct
    {
        UINT id;
        const wchar_t* text;
    } cases[] = {
        {IDS_COMCTL_TOO_OLD, L"起動にはcomctl32.dll Version 5.81 以上が必要です.(IE5.01以上)"},
        {IDS_OLE_INIT_FAILED, L"OLEの初期化に失敗しました"},
        {IDS_FILE_OPERATION_BUSY, L"別のファイル操作を実行中です。終わってから、もう一度操作してください。"},
        {IDS_LISTEDIT_FULL, L"これ以上登録することは出来ません。不要な項目を整理、削除ください"},
        {IDS_APP_NO_TITLE, L"タイトルを設定してください"},
        {IDS_APP_NO_COMMAND, L"コマンドを設定してください"},
        {IDS_CLIPBOARD_OPEN_FAILED, L"クリップボードを開けないため、コピーできませんでした"},
        {IDS_CLIPBOARD_UNREADABLE, L"クリップボードの画像は読み取れない形式です"},
        {IDS_CATALOG_DEFINITION_FAILED, L"HTML定義ファイルの読み込みに失敗しました"},
        {IDS_THUMBNAIL_FOLDER_FAILED, L"サムネイルフォルダの作成に失敗しました"},
        {IDS_SHEET_NO_MEMORY, L"コンタクトシートを作成するメモリがありません"},
        {IDS_UNPACK_FAILED, L"解凍に失敗しました"},
        {IDS_REGEXP_GROUP_CONFIRM_DELETE, L"この名前の正規表現グループを削除しますか？"},
    };
    for (const auto& c : cases) {
        CString text;
        EXPECT_TRUE(text.LoadString(c.id)) << c.id;
        EXPECT_STREQ(c.text, text.GetString()) << c.id;
    }
}
