// Every window and dialog of the started program, opened the way a user opens it (its menus, its
// context menus, the buttons inside its dialogs, the picture window and the slideshow), seen to
// appear, cancelled, and the program seen to answer after each. At the end the walk is held
// against the program's own file: every dialog resource and every menu entry was opened, or the
// tables below say why not.
#include <gtest/gtest.h>

#include "ShippedFixture.h"
#include "WindowWalk.h"

#include "common/RealInput.h"
#include "common/WindowTestUtil.h"
#include "framework/AfxRes.h"
#include "res/resource.h"

#include <map>

// GCC 12 warns that the vectors inside the tables' aggregates may be used uninitialised, which
// they are not (a known false warning of brace-initialised vectors in arrays).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace {

// Buttons made at run time beside an edit box (a folder chooser, a macro menu).
const int kBoxButton = 2258;

// ---- windows told apart

bool IsPictureWindow(HWND window)
{
    return !IsDialog(window) && IsWindowOfItsOwn(window);
}

// The slideshow: a dialog without a caption over the whole screen.
bool IsSlideshow(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return IsDialog(window) && !(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) &&
           rect.right - rect.left >= GetSystemMetrics(SM_CXSCREEN) &&
           rect.bottom - rect.top >= GetSystemMetrics(SM_CYSCREEN);
}

// A pop-up of the program's own that is not a menu (the colour picker's drop-down).
bool IsPopup(HWND window)
{
    return !HasClass(window, L"#32768") && !HasClass(window, L"tooltips_class32") &&
           (GetWindowLongW(window, GWL_STYLE) & WS_POPUP);
}

bool IsMenuOrWindow(HWND window)
{
    return HasClass(window, L"#32768") || IsWindowOfItsOwn(window);
}

// A dialog with this caption.
std::function<bool(HWND)> Titled(const std::wstring& caption)
{
    return [caption](HWND window) { return IsDialog(window) && WindowText(window) == caption; };
}

// A confirmation the system or the program asks: it has a visible "no" button.
bool AsksYesOrNo(HWND window)
{
    HWND no = window ? GetDlgItem(window, IDNO) : nullptr;
    return no && IsWindowVisible(no);
}

// The visible dialog (page) among a window's children.
HWND VisiblePage(HWND parent)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsDialog(child) && IsWindowVisible(child))
            return child;
    return nullptr;
}

// The buttons made at run time beside edit boxes, enabled, in the dialog.
std::vector<HWND> BoxButtons(HWND dialog)
{
    std::vector<HWND> found;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) == kBoxButton && IsWindowVisible(child) && IsWindowEnabled(child))
            found.push_back(child);
    return found;
}

// The box button nearest the control, to its right.
HWND BoxButtonOf(HWND dialog, int control)
{
    RECT box = {};
    GetWindowRect(GetDlgItem(dialog, control), &box);
    for (HWND button : BoxButtons(dialog)) {
        RECT rect = {};
        GetWindowRect(button, &rect);
        if (rect.top < box.bottom && rect.bottom > box.top && rect.left >= box.right - 2)
            return button;
    }
    return nullptr;
}

// ---- steps of the walk

// Closes what opened: a confirmation with "no", anything else with Esc.
void Dismiss(WindowWalk& walk, HWND window, const std::wstring& what)
{
    if (AsksYesOrNo(window))
        walk.CloseWithButton(window, what, IDNO);
    else
        walk.Close(window, what);
}

void ThroughButton(WindowWalk& walk, HWND dialog, int button, const std::wstring& what)
{
    walk.Close(walk.OpenFromButton(what, dialog, button, IsDialog), what);
}

// A button that opens either a menu (macro texts) or a dialog (a folder picker): the menu is
// closed, the dialog cancelled.
void ThroughBoxButton(WindowWalk& walk, HWND button, const std::wstring& what)
{
    HWND opened = walk.OpenFromButton(what, button, IsMenuOrWindow);
    if (opened && HasClass(opened, L"#32768")) {
        walk.WaitForMenu(1);
        SendKey(VK_ESCAPE);
        walk.Program().WaitUntilGone(opened);
    } else {
        walk.Close(opened, what);
    }
}

// The colour picker's drop-down, then its "その他..." (the last cell, one step up from the first),
// then the system's colour dialog.
void ThroughColourPicker(WindowWalk& walk, HWND dialog, int picker, const std::wstring& what)
{
    HWND popup = walk.OpenFromButton(what + L" の色", dialog, picker, IsPopup);
    if (!popup)
        return;
    HWND colours = walk.Open(
        what + L" の色 > その他...",
        [&](ShippedProgram&) {
            SendKey(VK_UP);
            SendKey(VK_RETURN);
            return true;
        },
        IsDialog);
    walk.Close(colours, what + L" の色の設定");
    walk.Program().WaitUntilGone(popup);
}

BOOL CALLBACK TakeChild(HWND child, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(child);
    return TRUE;
}

// A dialog's tabbed sheet (the program's own tab strip): each tab in turn, recorded.
void ThroughTabs(WindowWalk& walk, HWND dialog, int tabs, const std::wstring& what)
{
    HWND strip = nullptr;
    std::vector<HWND> all;
    EnumChildWindows(dialog, &TakeChild, reinterpret_cast<LPARAM>(&all));
    for (HWND child : all)
        if (!IsDialog(child) && VisiblePage(child))
            strip = child;
    if (!strip) {
        ADD_FAILURE() << Utf8(what) << ": no tab strip";
        return;
    }
    // The first tab's label takes the focus; the arrows go from tab to tab.
    walk.Program().ClickAt(strip, {12, 8});
    for (int tab = 1; tab < tabs && IsWindow(strip); ++tab) {
        HWND shown = VisiblePage(strip);
        walk.Record(dialog, what + L" > " + std::to_wstring(tab));
        walk.Program().PressKey(strip, VK_RIGHT);
        if (!WaitUntil([&] { return VisiblePage(strip) && VisiblePage(strip) != shown; }, 60000))
            ADD_FAILURE() << Utf8(what) << ": the tab " << tab + 1 << " did not show";
    }
    walk.Record(dialog, what + L" > " + std::to_wstring(tabs));
}

struct MenuStep
{
    UINT command;
    const wchar_t* what;
    WORD menuKey;
    std::vector<WORD> keys;
    // The caption of the dialog of the program's own; empty for the system's.
    const wchar_t* caption;
};

HWND OpenStep(WindowWalk& walk, WORD menu, HWND window, const MenuStep& step)
{
    walk.Chosen(menu, step.command);
    return walk.OpenFromMenuBar(step.what, window, step.menuKey, step.keys,
                                *step.caption ? Titled(step.caption) : std::function<bool(HWND)>(IsDialog));
}

// The main window's bars: dialogs whose controls are made at run time, told by what they hold.
void RecogniseBars(WindowWalk& walk)
{
    std::vector<HWND> all;
    EnumChildWindows(walk.Main(), &TakeChild, reinterpret_cast<LPARAM>(&all));
    for (HWND bar : all) {
        if (!IsDialog(bar) || !HasClass(GetParent(bar), L"ReBarWindow32"))
            continue;
        HWND first = GetWindow(bar, GW_CHILD);
        if (FindWindowExW(bar, nullptr, L"Edit", nullptr))
            walk.Recognised(IDD_JUMPBAR);
        else if (first && WindowText(first) == L"VyxDriveBar")
            walk.Recognised(IDD_DRIVEBAR);
    }
}

// ---- the main window's menu bar, one picture selected

void WalkMainMenu(WindowWalk& walk)
{
    HWND view = ThumbnailView(walk.Main());
    ASSERT_NE(nullptr, view);
    ASSERT_TRUE(SelectFirstPicture(walk.Program()));

    const MenuStep plain[] = {
        {ID_FILE_RENAME_ONE, L"ファイル > 名前の変更", 'F', {'R'}, L"名前の変更"},
        {ID_FILE_DELETE_SELECTED, L"ファイル > 削除", 'F', {'D'}, L""},
        {ID_CURRENT_FOLDER_NEW,
         L"ファイル > フォルダ > フォルダの新規作成",
         'F',
         {'O', kSubMenu, 'K'},
         L"フォルダの新規作成"},
        {ID_CURRENT_FOLDER_RENAME,
         L"ファイル > フォルダ > フォルダの名前変更",
         'F',
         {'O', kSubMenu, 'R'},
         L"フォルダの名前変更"},
        {ID_EDIT_COMMENT, L"編集 > コメント入力", 'E', {'N'}, L"コメント入力"},
        {ID_DOC_FILTER, L"表示 > 表示フィルタ", 'V', {'W'}, L"表示フィルタ設定"},
        {ID_VIEW_CUSTOMIZE_TOOLBAR, L"表示 > ツールバーの設定", 'V', {'O'}, L""},
        {ID_DOC_MAINT_CACHE, L"ツール > キャッシュメンテナンス", 'T', {'M'}, L"キャッシュメンテナンス"},
        // Wine has no network dialogs: the program says it cannot open them.
        {ID_DOC_NET_CONNECT, L"ツール > ネットワークドライブの割り当て", 'T', {'N'}, L""},
        {ID_DOC_NET_DISCONNECT, L"ツール > ネットワークドライブの切断", 'T', {'K'}, L""},
        {ID_APP_ABOUT, L"ヘルプ > バージョン情報", 'H', {'A'}, L"バージョン情報"},
    };
    for (const MenuStep& step : plain)
        Dismiss(walk, OpenStep(walk, IDR_MAINFRAME, walk.Main(), step), step.what);

    // Dialogs with buttons that open further dialogs.
    struct Nested
    {
        MenuStep step;
        std::vector<std::pair<int, const wchar_t*>> buttons;
    };
    const Nested nested[] = {
        {{ID_FILE_COPY_TO, L"ファイル > 複写", 'F', {'C'}, L"ファイルの複写"}, {{IDC_FILECOPY_BROWSE, L"..."}}},
        {{ID_FILE_MOVE_TO, L"ファイル > 移動", 'F', {'M'}, L"ファイルの移動"}, {{IDC_FILECOPY_BROWSE, L"..."}}},
        {{ID_FILE_SAVE_IMAGES, L"ファイル > 画像形式を指定して保存", 'F', {'S'}, L"画像形式を指定してファイル保存"},
         {{IDC_SAVE_FOLDER_BROWSE, L"..."}}},
        {{ID_FILE_EXTRACT, L"ファイル > 解凍", 'F', {'U'}, L"書庫解凍"}, {{IDC_GETFOLDER_BROWSE, L"..."}}},
        {{ID_FILE_PRINT, L"ファイル > 印刷", 'F', {'P'}, L""}, {{IDC_PRINT_DEFINITION_BROWSE, L"参照"}}},
        {{ID_FILE_RENAME_MANY, L"ファイル > 名前の編集変更", 'F', {'N'}, L"名前の編集変更"}, {}},
        {{ID_DOC_PLUGINS, L"オプション > プラグイン設定", 'O', {'P'}, L"プラグイン設定"}, {}},
        {{ID_DOC_THUMB_SETTINGS, L"オプション > サムネイル設定", 'O', {'O'}, L"サムネイル設定"},
         {{IDC_THUMB_FONT, L"&Font"}}},
        {{ID_DOC_LIST_EDIT, L"オプション > リスト編集", 'O', {'L'}, L"リスト編集"}, {}},
        {{ID_DOC_APPCALL, L"オプション > 外部アプリケーション登録", 'O', {'A'}, L"外部アプリケーション登録"},
         {{IDC_APP_BROWSE, L"..."}}},
        {{ID_TOOL_HTML_CATALOG, L"ツール > HTMLの作成", 'T', {'H'}, L"HTMLの作成"},
         {{IDC_HTML_DEFINITION_BROWSE, L"定義ファイルの ..."}, {IDC_HTML_FOLDER_BROWSE, L"保存先の ..."}}},
        {{ID_TOOL_CONTACT_SHEET, L"ツール > コンタクトシートの作成", 'T', {'G'}, L"コンタクトシートの作成"},
         {{IDC_CONTACT_FOLDER_BROWSE, L"..."}}},
        {{ID_TOOL_REPORT, L"ツール > レポートファイルの作成", 'T', {'R'}, L"レポートファイルの作成"},
         {{IDC_REPORT_FILE_BROWSE, L"..."}}},
    };
    for (const Nested& nest : nested) {
        const MenuStep& step = nest.step;
        HWND dialog = OpenStep(walk, IDR_MAINFRAME, walk.Main(), step);
        if (!dialog)
            continue;
        for (const auto& button : nest.buttons)
            ThroughButton(walk, dialog, button.first, std::wstring(step.what) + L" > " + button.second);
        switch (step.command) {
        case ID_FILE_RENAME_MANY: {
            // The format box's arrow: its menu's first entry edits the named groups.
            HWND arrow = BoxButtonOf(dialog, IDC_RENAMEN_FORMAT);
            HWND menu = walk.OpenFromButton(L"名前の編集変更 > 書式の▼", arrow, IsMenuOrWindow);
            if (menu) {
                walk.Close(walk.Open(
                               L"名前の編集変更 > 書式の▼ > 正規表現グループ編集",
                               [&](ShippedProgram&) {
                                   if (!walk.WaitForMenu(1))
                                       return false;
                                   SendKey(VK_DOWN);
                                   SendKey(VK_RETURN);
                                   return true;
                               },
                               Titled(L"正規表現グループ")),
                           L"正規表現グループ");
            }
            break;
        }
        case ID_DOC_PLUGINS: {
            // A reader's information: its row chosen, then "プロパティ".
            HWND readers = GetDlgItem(dialog, IDC_PLUGIN_IMAGELIST);
            POINT row = {};
            if (FirstRow(walk.Program(), readers, row) && walk.Program().ClickAt(readers, row) &&
                WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_PLUGIN_IMAGEINFO)) != FALSE; }, 60000))
                ThroughButton(walk, dialog, IDC_PLUGIN_IMAGEINFO, L"プラグイン設定 > プロパティ");
            else
                ADD_FAILURE() << "no reader's row could be chosen in the plug-in settings";
            break;
        }
        case ID_DOC_THUMB_SETTINGS:
            ThroughColourPicker(walk, dialog, IDC_THUMB_COLBACK, L"サムネイル設定 > 通常");
            break;
        case ID_DOC_LIST_EDIT: {
            // The first of its button group adds a folder: the folder picker.
            HWND group = GetDlgItem(dialog, IDC_LISTEDIT_BUTTONS);
            HWND add = group ? GetDlgItem(group, IDC_BUTTONGRP_ADD) : nullptr;
            walk.Close(walk.OpenFromButton(L"リスト編集 > 新規追加", add ? add : GetDlgItem(dialog, IDC_BUTTONGRP_ADD),
                                           IsDialog),
                       L"リスト編集 > 新規追加");
            break;
        }
        case ID_DOC_APPCALL: {
            // The working folder's menu button, then its "参照(&R)...".
            HWND menu = walk.OpenFromButton(L"外部アプリケーション登録 > 実行時のフォルダ", dialog, IDC_APP_FOLDER_MENU,
                                            IsMenuOrWindow);
            if (menu)
                walk.Close(walk.Open(
                               L"外部アプリケーション登録 > 実行時のフォルダ > 参照",
                               [&](ShippedProgram&) {
                                   if (!walk.WaitForMenu(1))
                                       return false;
                                   SendKey('R');
                                   return true;
                               },
                               IsDialog),
                           L"実行時のフォルダの選択");
            break;
        }
        default:
            break;
        }
        walk.Close(dialog, step.what);
    }

    // The options sheet: every page in turn, and the buttons on them.
    HWND sheet =
        OpenStep(walk, IDR_MAINFRAME, walk.Main(), {ID_DOC_OPTIONS, L"オプション > 動作設定", 'O', {'V'}, L"動作設定"});
    if (sheet) {
        const int pages = 12;
        for (int page = 0; page < pages && IsWindow(sheet); ++page) {
            HWND shown = VisiblePage(sheet);
            const std::wstring name = L"動作設定 > " + WindowText(shown);
            walk.Record(sheet, name);
            for (HWND button : BoxButtons(shown))
                ThroughBoxButton(walk, button, name + L" の欄のボタン");
            for (int picker : {IDC_CONFIG_TEXTPICKER, IDC_CONFIG_BACKPICKER})
                if (GetDlgItem(shown, picker) && HasClass(GetDlgItem(shown, picker), L"Button"))
                    ThroughColourPicker(walk, shown, picker, name);
            if (page + 1 == pages)
                break;
            walk.Program().PressKey(sheet, VK_NEXT, VK_CONTROL);
            if (!WaitUntil([&] { return VisiblePage(sheet) && VisiblePage(sheet) != shown; }, 60000))
                ADD_FAILURE() << "the options sheet did not go on from " << Utf8(name);
        }
        walk.Close(sheet, L"動作設定");
    }
}

// ---- the context menus of the grid, the file list and the folder tree

struct ContextStep
{
    UINT command;
    const wchar_t* what;
    std::vector<WORD> keys;
    std::function<bool(HWND)> match;
};

void WalkContextMenu(WindowWalk& walk, WORD menu, const std::wstring& where, HWND window, POINT point,
                     const std::vector<ContextStep>& steps)
{
    for (const ContextStep& step : steps) {
        const std::wstring what = where + L" > " + step.what;
        HWND opened = walk.OpenFromContextMenu(what, window, point, step.keys, step.match ? step.match : IsDialog);
        walk.Chosen(menu, step.command);
        if (opened && IsSlideshow(opened))
            walk.Recognised(IDD_SLIDESHOW);
        Dismiss(walk, opened, what);
    }
}

void WalkContextMenus(WindowWalk& walk)
{
    HWND view = ThumbnailView(walk.Main());
    ASSERT_NE(nullptr, view);
    ASSERT_TRUE(SelectFirstPicture(walk.Program()));
    WalkContextMenu(walk, IDR_THUMB_ITEM_MENU, L"サムネイルの右クリック", view, FirstCell(),
                    {
                        {ID_PICTURE_SHOW, L"画像表示", {'V'}, IsPictureWindow},
                        {ID_PICTURE_WINDOW, L"内蔵ビューア(ウインドウ版)", {'I'}, IsPictureWindow},
                        {10207, L"全画面表示", {'F'}, IsSlideshow},
                        {ID_FILE_COPY_TO, L"複写", {'Y'}, Titled(L"ファイルの複写")},
                        {ID_FILE_MOVE_TO, L"移動", {'M'}, Titled(L"ファイルの移動")},
                        {ID_FILE_DELETE_SELECTED, L"削除", {'D'}, {}},
                        {ID_FILE_RENAME_ONE, L"名前の変更", {'R'}, Titled(L"名前の変更")},
                        {ID_EDIT_COMMENT, L"コメント入力", {'N'}, Titled(L"コメント入力")},
                        {10042, L"壁紙設定", {'W'}, Titled(L"壁紙設定")},
                    });

    // Several items: all selected; the menu opened on one of them keeps them.
    ASSERT_TRUE(SelectAllPictures(walk.Program(), 4));
    WalkContextMenu(
        walk, IDR_THUMB_ITEMS_MENU, L"選択したサムネイルの右クリック", view, FirstCell(),
        {
            {ID_PICTURE_SHOW, L"画像表示", {'V'}, IsPictureWindow},
            {ID_FILE_COPY_TO, L"複写", {'Y'}, Titled(L"ファイルの複写")},
            {ID_FILE_MOVE_TO, L"移動", {'M'}, Titled(L"ファイルの移動")},
            {ID_FILE_DELETE_SELECTED, L"削除", {'D'}, {}},
            {ID_FILE_RENAME_MANY, L"名前の編集変更", {'N'}, Titled(L"名前の編集変更")},
            {ID_FILE_SAVE_IMAGES, L"画像形式を指定して保存", {'S'}, Titled(L"画像形式を指定してファイル保存")},
            {ID_TOOL_HTML_CATALOG, L"HTMLの作成", {'H'}, Titled(L"HTMLの作成")},
            {ID_TOOL_CONTACT_SHEET, L"コンタクトシートの作成", {'G'}, Titled(L"コンタクトシートの作成")},
            {ID_TOOL_REPORT, L"レポートファイルの作成", {'R'}, Titled(L"レポートファイルの作成")},
            {ID_FILE_PRINT, L"印刷", {'P'}, {}},
        });
    ASSERT_TRUE(SelectFirstPicture(walk.Program()));

    HWND list = FileList(walk.Main());
    POINT row = {};
    ASSERT_TRUE(FirstRow(walk.Program(), list, row));
    WalkContextMenu(walk, IDR_LIST_MENU, L"ファイルリストの右クリック", list, row,
                    {
                        {ID_PICTURE_SHOW, L"画像表示", {'V'}, IsPictureWindow},
                        {ID_FILE_COPY_TO, L"複写", {'Y'}, Titled(L"ファイルの複写")},
                        {ID_FILE_MOVE_TO, L"移動", {'M'}, Titled(L"ファイルの移動")},
                        {ID_FILE_DELETE_SELECTED, L"削除", {'D'}, {}},
                        {ID_FILE_RENAME_ONE, L"名前の変更", {'R'}, Titled(L"名前の変更")},
                    });

    // The tree's item of the pictures' folder. Its menu gives "&R" twice, and a repeated mnemonic
    // is handled differently from system to system: the arrows reach the entry instead (the
    // item's "open" line, then the entries).
    HWND tree = FolderTree(walk.Main());
    POINT folder = {};
    ASSERT_TRUE(SelectedTreeItem(walk.Program(), tree, folder));
    WalkContextMenu(walk, IDR_FOLDER_MENU, L"フォルダツリーの右クリック", tree, folder,
                    {
                        {ID_FOLDER_CREATE, L"フォルダの作成", {'K'}, Titled(L"フォルダの新規作成")},
                        {ID_FOLDER_RENAME,
                         L"フォルダの名前変更",
                         {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN},
                         Titled(L"フォルダの名前変更")},
                        {ID_FOLDER_DELETE, L"フォルダの削除", {'D'}, {}},
                    });
}

// ---- the picture window and the slideshow

void WalkPictureWindow(WindowWalk& walk)
{
    HWND view = ThumbnailView(walk.Main());
    ASSERT_NE(nullptr, view);
    ASSERT_TRUE(SelectFirstPicture(walk.Program()));
    HWND picture = walk.OpenFromContextMenu(L"画像ウインドウ", view, FirstCell(), {'I'}, IsPictureWindow);
    ASSERT_NE(nullptr, picture);

    const MenuStep steps[] = {
        {10104, L"画像ウインドウ > ファイル > 複写", 'F', {'C'}, L"ファイルの複写"},
        {10105, L"画像ウインドウ > ファイル > 移動", 'F', {'M'}, L"ファイルの移動"},
        {10077, L"画像ウインドウ > ファイル > 削除", 'F', {'D'}, L""},
        {10107, L"画像ウインドウ > ファイル > ファイル保存", 'F', {'S'}, L""},
        {ID_FILE_PRINT, L"画像ウインドウ > ファイル > 印刷", 'F', {'P'}, L""},
        {ID_EDIT_COMMENT, L"画像ウインドウ > 編集 > コメント入力", 'E', {'N'}, L"コメント入力"},
        {10236, L"画像ウインドウ > 編集 > 明るさ/コントラスト", 'E', {'L'}, L"色調節"},
        {10123, L"画像ウインドウ > 画像 > 壁紙設定", 'I', {'W'}, L"壁紙設定"},
        {ID_VIEW_CUSTOMIZE_TOOLBAR, L"画像ウインドウ > 表示 > ツールバーの設定", 'V', {'O'}, L""},
    };
    for (const MenuStep& step : steps) {
        HWND dialog = OpenStep(walk, IDR_PICTUREWND, picture, step);
        if (dialog && step.command == ID_FILE_PRINT)
            ThroughButton(walk, dialog, IDC_PRINT_DEFINITION_BROWSE, std::wstring(step.what) + L" > 参照");
        Dismiss(walk, dialog, step.what);
    }

    // The display modes: five tabs; keys inside the pages are the pages' own, so the button closes.
    HWND modes =
        OpenStep(walk, IDR_PICTUREWND, picture,
                 {ID_PICTURE_OPTIONS, L"画像ウインドウ > オプション > 表示モード設定", 'O', {'O'}, L"表示モード設定"});
    if (modes) {
        ThroughTabs(walk, modes, 5, L"表示モード設定");
        walk.CloseWithButton(modes, L"表示モード設定", IDCANCEL);
    }

    // The slideshow from the picture window; its menu comes at the top right corner.
    HWND show = walk.OpenFromMenuBar(L"画像ウインドウ > ウインドウ > 全画面表示", picture, 'W', {'Z'}, IsSlideshow);
    walk.Chosen(IDR_PICTUREWND, 10208);
    if (show) {
        walk.Recognised(IDD_SLIDESHOW);
        RECT client = {};
        GetClientRect(show, &client);
        HWND options = walk.Open(
            L"全画面表示 > 右上の隅のメニュー > オプション設定",
            [&](ShippedProgram& program) {
                if (!program.MoveTo(show, {client.right - 1, 0}) || !walk.WaitForMenu(1))
                    return false;
                SendKey('O');
                return true;
            },
            Titled(L"オプション設定"));
        walk.Chosen(IDR_SLIDESHOW_MENU, ID_PICTURE_OPTIONS);
        walk.Close(options, L"オプション設定");
        walk.Close(show, L"全画面表示");
    }

    // The picture on the clipboard, then pasted in the main window: the program asks where to
    // save it.
    walk.Chosen(IDR_PICTUREWND, 10106);
    if (walk.ChooseFromMenuBar(picture, 'E', {'C'})) {
        EXPECT_TRUE(WaitUntil([] { return IsClipboardFormatAvailable(CF_DIB) != FALSE; }, 60000))
            << "the picture window's copy put no picture on the clipboard";
    }
    walk.Chosen(IDR_MAINFRAME, ID_EDIT_PASTE);
    Dismiss(walk, walk.OpenFromMenuBar(L"画像をコピーして 編集 > 貼り付け", walk.Main(), 'E', {'P'}, IsDialog),
            L"貼り付けた画像の保存");

    // The window closes from its menu.
    walk.Chosen(IDR_PICTUREWND, ID_PICTURE_CLOSE);
    EXPECT_TRUE(walk.ChooseFromMenuBar(picture, 'W', {'C'}) && walk.Program().WaitUntilGone(picture))
        << "ウインドウ > 閉じる did not close the picture window";
}

// ---- a name clash, the current folder's deletion, the end

void WalkClashAndEnd(WindowWalk& walk)
{
    HWND view = ThumbnailView(walk.Main());
    ASSERT_NE(nullptr, view);
    ASSERT_TRUE(SelectFirstPicture(walk.Program()));
    // Copied into a new sub-folder (the program offers to make it), then again: the same name.
    for (int round = 0; round < 2; ++round) {
        HWND copy = walk.OpenFromMenuBar(L"ファイル > 複写 (sub)", walk.Main(), 'F', {'C'}, Titled(L"ファイルの複写"));
        if (!copy)
            return;
        walk.Program().ClickWindow(GetDlgItem(copy, IDC_FILECOPY_FOLDER));
        SendKey(VK_HOME);
        SendKey(VK_END, VK_SHIFT);
        SendText(L"sub");
        if (round == 0) {
            HWND ask = walk.Open(
                L"複写先のフォルダがない",
                [](ShippedProgram&) {
                    SendKey(VK_RETURN);
                    return true;
                },
                AsksYesOrNo);
            if (ask) {
                walk.CloseWithButton(ask, L"複写先のフォルダを作る", IDYES);
                walk.Program().WaitUntilGone(copy);
            }
        } else {
            HWND same = walk.Open(
                L"同名ファイル",
                [](ShippedProgram&) {
                    SendKey(VK_RETURN);
                    return true;
                },
                Titled(L"同名ファイルが存在しています"));
            walk.Close(same, L"同名ファイル");
            walk.Program().WaitUntilGone(copy);
        }
    }
    const MenuStep deletion = {
        ID_CURRENT_FOLDER_DELETE, L"ファイル > フォルダ > フォルダの削除", 'F', {'O', kSubMenu, 'D'}, L""};
    Dismiss(walk, OpenStep(walk, IDR_MAINFRAME, walk.Main(), deletion), deletion.what);
}

// ---- what the walk leaves out, and why

const std::map<WORD, const char*> kDialogsNotOpened = {
    {IDD_PROGRESS, "the progress of a long job (unpacking, a contact sheet, colour reduction, saving the cache): "
                   "it shows only while the job runs"},
    {IDD_PROGRESS_LINES,
     "the progress of reading a filled cache index into the maintenance's tree, only while it runs"},
    {IDD_COPY_PROGRESS,
     "the progress of saving in a format, deleting for good and writing a report, only while it runs"},
    {IDD_FILE_ACCESS, "the progress of a copy or move, only while it runs"},
    {IDD_PRINT_JOB, "the progress of printing, only while pages print (the printing test prints)"},
    {IDD_WINDOW_LIST, "the window list of a multiple-document frame, which no window of the program is"},
    {IDD_PRINT_OPTIONS, "the options of the print form: both printing commands open the print set-up form instead"},
    {IDD_REPORT, "the list of a batch rename's failures, only after renames failed on disk"},
};

// Menu entries that open no window of the program, by command.
const std::map<UINT, const char*> kEntriesWithoutWindow = {
    {ID_EDIT_COPY, "the clipboard"},
    {ID_EDIT_CUT, "the clipboard"},
    {10106, "the clipboard (used before the paste)"},
    {ID_DOC_SELECT_ALL, "the selection"},
    {ID_DOC_INVERT_SELECTION, "the selection"},
    {10076, "the selection"},
    {ID_VIEW_MENUBAR, "shows or hides a bar"},
    {ID_VIEW_TOOLBAR, "shows or hides a bar"},
    {ID_VIEW_DRIVEBAR, "shows or hides a bar"},
    {ID_VIEW_JUMPBAR, "shows or hides a bar"},
    {ID_VIEW_STATUS_BAR, "shows or hides a bar"},
    {ID_THUMBS_LARGER, "the grid's layout"},
    {ID_THUMBS_SMALLER, "the grid's layout"},
    {ID_THUMBS_NEXTPAGE, "the grid's layout"},
    {ID_THUMBS_PREVPAGE, "the grid's layout"},
    {ID_THUMBS_REMAKE, "remakes the thumbnails"},
    {ID_LIST_LARGE_ICONS, "the list's layout"},
    {ID_LIST_SMALL_ICONS, "the list's layout"},
    {ID_LIST_LIST, "the list's layout"},
    {ID_LIST_DETAILS, "the list's layout"},
    {ID_SORT_NONE, "an order"},
    {ID_SORT_NAME, "an order"},
    {ID_SORT_EXTENSION, "an order"},
    {ID_SORT_SIZE, "an order"},
    {ID_SORT_DATE, "an order"},
    {ID_SORT_ARCHIVE, "an order"},
    {ID_SORT_WIDTH, "an order"},
    {ID_SORT_HEIGHT, "an order"},
    {ID_SORT_COLOURS, "an order"},
    {ID_SORT_AREA, "an order"},
    {ID_SORT_ASCENDING, "an order"},
    {ID_SORT_DESCENDING, "an order"},
    {ID_SORT_AGAIN, "an order"},
    {ID_SORT_NAME_NUMBERS, "an order"},
    {ID_FOLDER_SORT_DICTIONARY, "an order"},
    {ID_FOLDER_SORT_NEWEST, "an order"},
    {ID_FOLDER_SORT_NAME, "an order"},
    {ID_FOLDER_SORT_DATE, "an order"},
    {ID_FOLDER_SORT_ASCENDING, "an order"},
    {ID_FOLDER_SORT_DESCENDING, "an order"},
    {ID_ARCHIVE_SORT_NEWEST, "an order"},
    {ID_ARCHIVE_SORT_OLDEST, "an order"},
    {ID_ARCHIVE_SORT_NAME, "an order"},
    {ID_DOC_TOGGLE_ARCHIVE, "what the listing shows"},
    {ID_DOC_TOGGLE_DOWNSCAN, "what the listing shows"},
    {ID_DOC_TOGGLE_FOLDERSHOW, "what the listing shows"},
    {ID_DOC_TOGGLE_SYNCHRONOUS, "a setting"},
    {ID_DOC_TREE_ROOT, "the tree's root"},
    {ID_REFRESH_FOLDER, "lists the folder again"},
    {ID_PICTURE_RELOAD, "reads the pictures again"},
    {ID_THUMB_PRESET_SAVE, "stores the thumbnail settings"},
    {ID_THUMB_PRESET_STORE, "stores the thumbnail settings"},
    {ID_DOC_SAVE_FOLDER_SETTINGS, "stores the folder's settings"},
    {ID_DOC_CLEAR_FOLDER_SETTINGS, "clears the folder's settings"},
    {ID_DOC_SAVE_CACHE, "writes the cache"},
    {ID_QUICK_ACCESS_ADD, "adds the folder to a list"},
    {ID_HELP_ONLINE, "opens the web page in the system's browser, another program"},
    {ID_HELP_REPORT, "opens the written report in the system's text editor, another program"},
    {ID_APP_EXIT, "ends the program (the walk ends with it)"},
    {10169, "changes the picture shown"},
    {10210, "changes the picture shown (its progress window is left out above)"},
    {10235, "changes the picture shown"},
    {10100, "the picture's scale"},
    {10101, "the picture's scale"},
    {10209, "the picture's scale"},
    {10118, "turns the picture shown"},
    {10044, "turns the picture shown"},
    {10211, "flips the picture shown"},
    {10212, "flips the picture shown"},
    {ID_PICTURE_FIRST, "another picture"},
    {ID_PICTURE_PREVIOUS, "another picture"},
    {ID_PICTURE_NEXT, "another picture"},
    {ID_PICTURE_LAST, "another picture"},
    {ID_PICTURE_AUTOPLAY, "shows the pictures in turn"},
    {10220, "another page"},
    {10219, "another page"},
    {10143, "a fit mode"},
    {10144, "a fit mode"},
    {10145, "a fit mode"},
    {10146, "a fit mode"},
    {10264, "a fit mode"},
    {10270, "a fit mode"},
    {10147, "a scaling mode"},
    {10148, "a scaling mode"},
    {10149, "a scaling mode"},
    {10163, "a scaling mode"},
    {10166, "a scaling mode"},
    {10158, "a setting"},
    {ID_PICTURE_CLOSE, "closes the window (the walk closes the picture window and the slideshow this way)"},
    {ID_PICTURE_CLOSE_ALL, "closes the picture windows"},
    {125, "another picture window"},
    {10197, "another picture window"},
    {127, "the main window"},
    {126, "arranges the picture windows"},
    {10194, "a setting"},
    {ID_PICTURE_SYNCHRONIZE, "a setting"},
};

void CheckEverythingWasOpened(const WindowWalk& walk, const std::wstring& program)
{
    ProgramResources resources(program);
    ASSERT_FALSE(resources.Dialogs().empty()) << "no dialog resource read from the program";
    const std::set<WORD> seen = walk.SeenResources(resources.Dialogs());
    int withReason = 0;
    for (const DialogResource& dialog : resources.Dialogs()) {
        if (seen.count(dialog.id))
            continue;
        auto reason = kDialogsNotOpened.find(dialog.id);
        if (reason == kDialogsNotOpened.end())
            ADD_FAILURE() << "the dialog " << dialog.id << " \"" << Utf8(dialog.caption)
                          << "\" was not opened, and no reason is given";
        else
            ++withReason;
    }
    printf("dialog resources: %zu; opened %zu, left out with a reason %d\n", resources.Dialogs().size(), seen.size(),
           withReason);

    int entries = 0, chosen = 0, without = 0;
    for (WORD menu : {IDR_MAINFRAME, IDR_THUMB_ITEM_MENU, IDR_THUMB_ITEMS_MENU, IDR_LIST_MENU, IDR_FOLDER_MENU,
                      IDR_PICTUREWND, IDR_SLIDESHOW_MENU}) {
        const std::vector<MenuEntry> menuEntries = resources.MenuEntries(menu);
        EXPECT_FALSE(menuEntries.empty()) << "the menu " << menu << " was not read";
        for (const MenuEntry& entry : menuEntries) {
            ++entries;
            if (walk.ChosenEntries().count({menu, entry.command}))
                ++chosen;
            else if (kEntriesWithoutWindow.count(entry.command))
                ++without;
            else
                ADD_FAILURE() << "the menu entry \"" << Utf8(entry.path) << "\" (" << entry.command
                              << ") was not chosen, and no reason is given";
        }
    }
    printf("menu entries: %d; chosen %d, opening no window %d\n", entries, chosen, without);
}

} // namespace

TEST(Shipped, EveryWindowOfTheProgramOpensAndCancelsAndTheProgramAnswersAfterEach)
{
    ShippedProgram scratch; // a folder for the pictures and the cache
    ASSERT_FALSE(scratch.Folder().empty()) << Utf8(scratch.Problem());
    const std::wstring pictures = MakePictureFolder(scratch.Scratch());
    const std::wstring cache = scratch.Scratch() + L"\\cache";
    ASSERT_TRUE(CreateDirectoryW(cache.c_str(), nullptr));
    // A cache folder of its own, so that its maintenance can be opened.
    WindowWalk walk(pictures, {{L"KWDoc", L"CacheDataFolder", cache}},
                    [](ShippedProgram& program) { SelectFirstPicture(program); });
    ASSERT_TRUE(walk.Program().Running()) << Utf8(walk.Program().Problem());
    RecogniseBars(walk);

    WalkMainMenu(walk);
    WalkContextMenus(walk);
    WalkPictureWindow(walk);
    WalkClashAndEnd(walk);

    // The end, from the menu.
    walk.Chosen(IDR_MAINFRAME, ID_APP_EXIT);
    ShippedProgram& program = walk.Program();
    const std::wstring exe = program.Folder() + L"\\Vyx.exe";
    walk.ChooseFromMenuBar(program.Main(), 'F', {'X'});
    EXPECT_TRUE(WaitUntil([&] { return !program.Running(); }, 60000)) << "ファイル > 終了 did not end the program";
    EXPECT_EQ(0u, program.ExitCode());

    printf("opened %d windows and dialogs (an opening input given again %d times)\n", walk.Opened(),
           walk.MenuInputRepeated());
    for (const std::wstring& failure : walk.Failures())
        printf("failed: %s\n", Utf8(failure).c_str());
    CheckEverythingWasOpened(walk, exe);
}
