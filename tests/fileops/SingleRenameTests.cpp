// The single rename dialog: the buttons of a walk over several files, OK only for a new name,
// and the new-name edit that takes the extension off with Delete and puts it back with Insert.
#include "FileopsTestUtil.h"

#include "fileops/VFileRenameDlg.h"
#include "res/resource.h"

using namespace fileopstest;

namespace {

bool IsVisible(HWND dialog, int id)
{
    return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool IsEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// Types into the new-name edit as the user does (one change notification).
void TypeName(HWND dialog, const wchar_t* text)
{
    SetWindowTextW(GetDlgItem(dialog, IDC_RENAME_EDIT), text);
}

// A key pressed in the edit goes through the dialog's message loop, as a real one does.
void PressKey(HWND edit, UINT key)
{
    PostMessageW(edit, WM_KEYDOWN, key, 0);
    PostMessageW(edit, WM_KEYUP, key, 0xC0000001);
}

struct Shown
{
    bool abortVisible = true;
    CString cancelText;
    bool okEnabled = true;
    bool okAfterSameName = true;
    bool okAfterEmpty = true;
    bool okAfterNewName = false;
};

const wchar_t kCaption[] = L"名前の変更";

// What the dialog shows, and OK's state as names are typed.
Shown Look(HWND dialog, const wchar_t* newName)
{
    Shown shown;
    shown.abortVisible = IsVisible(dialog, IDC_RENAME_ABORT);
    shown.cancelText = TextOf(GetDlgItem(dialog, IDCANCEL));
    shown.okEnabled = IsEnabled(dialog, IDOK);
    TypeName(dialog, L"x.jpg");
    TypeName(dialog, L"photo.jpg");
    shown.okAfterSameName = IsEnabled(dialog, IDOK);
    TypeName(dialog, L"");
    shown.okAfterEmpty = IsEnabled(dialog, IDOK);
    if (newName) {
        TypeName(dialog, newName);
        shown.okAfterNewName = IsEnabled(dialog, IDOK);
    }
    return shown;
}

} // namespace

TEST(SingleRenameDialog, ALoneFileHasNeitherAbortNorSkipAndOkWantsANewName)
{
    ScratchSettings settings;
    VFileRenameDlg dialog;
    dialog.m_name = L"photo.jpg";
    Shown shown;
    EXPECT_EQ(IDOK, DriveModal(dialog, kCaption, [&](HWND window) { shown = Look(window, L"旅行.jpg"); }));
    EXPECT_FALSE(shown.abortVisible);
    EXPECT_EQ(CString(L"キャンセル"), shown.cancelText);
    EXPECT_FALSE(shown.okEnabled);
    EXPECT_FALSE(shown.okAfterSameName);
    EXPECT_FALSE(shown.okAfterEmpty);
    EXPECT_TRUE(shown.okAfterNewName);
    EXPECT_EQ(CString(L"旅行.jpg"), dialog.m_name);
    EXPECT_EQ(0, dialog.m_abort);
}

TEST(SingleRenameDialog, WithMoreFilesSkipGoesOnAndAbortEndsTheWalk)
{
    ScratchSettings settings;
    for (int button : {IDCANCEL, IDC_RENAME_ABORT}) {
        VFileRenameDlg dialog;
        dialog.m_name = L"photo.jpg";
        dialog.m_moreFiles = 1;
        Shown shown;
        EXPECT_EQ(IDCANCEL, DriveModal(
                                dialog, kCaption, [&](HWND window) { shown = Look(window, nullptr); }, button));
        EXPECT_TRUE(shown.abortVisible);
        EXPECT_EQ(CString(L"スキップ"), shown.cancelText);
        EXPECT_EQ(button == IDC_RENAME_ABORT ? 1 : 0, dialog.m_abort);
        EXPECT_EQ(CString(L"photo.jpg"), dialog.m_name);
    }
}

TEST(SingleRenameDialog, DeleteBeforeTheExtensionTakesItAllAndInsertPutsItBack)
{
    ScratchSettings settings;
    WriteAppIniInt(L"Filer", L"RenamePreview", 0);
    VFileRenameDlg dialog;
    dialog.m_name = L"photo.jpg";
    std::vector<CString> steps;
    auto script = [&](HWND window) {
        HWND edit = GetDlgItem(window, IDC_RENAME_EDIT);
        auto after = [&](UINT key, const wchar_t* expected) {
            PressKey(edit, key);
            WaitUntil([&] { return TextOf(edit) == expected; }, 30000);
            steps.push_back(TextOf(edit));
        };
        SendMessageW(edit, EM_SETSEL, 5, 5);
        after(VK_DELETE, L"photo");
        after(VK_INSERT, L"photo.jpg");
        // With an extension of its own, Insert changes nothing; Delete elsewhere takes one character.
        SetWindowTextW(edit, L"photo.png");
        PressKey(edit, VK_INSERT);
        SendMessageW(edit, EM_SETSEL, 0, 0);
        after(VK_DELETE, L"hoto.png");
        // A dot further on: the caret is not before the extension.
        SetWindowTextW(edit, L"a.b.jpg");
        SendMessageW(edit, EM_SETSEL, 1, 1);
        after(VK_DELETE, L"ab.jpg");
        CheckDlgButton(window, IDC_RENAME_PREVIEW, BST_CHECKED);
    };
    EXPECT_EQ(IDOK, DriveModal(dialog, kCaption, script));
    EXPECT_EQ((std::vector<CString>{L"photo", L"photo.jpg", L"hoto.png", L"ab.jpg"}), steps);
    EXPECT_EQ(CString(L"ab.jpg"), dialog.m_name);
    // The check boxes are kept.
    EXPECT_EQ(1, GetAppIniInt(L"Filer", L"RenamePreview", 0));
    EXPECT_EQ(0, GetAppIniInt(L"Filer", L"RenameExt", 1));
}
