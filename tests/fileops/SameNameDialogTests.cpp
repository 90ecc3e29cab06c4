// The same-name dialog driven as a user would: its opening choice, the typing rule that selects
// rename and gives the earlier choice back, what the edits show for each choice, its keys, and
// what it hands back and keeps in the settings.
#include "CopyTestUtil.h"
#include "../foundation/TestSettings.h"
#include "FileopsTestUtil.h"
#include "OutputTestUtil.h"
#include "common/Clicks.h"
#include "common/RealInput.h"
#include "fileops/VSameFileDlg.h"
#include "fileops/VyxFileTransfer.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const wchar_t kCaption[] = L"同名ファイルが存在しています";

struct Scene
{
    ScratchSettings settings;
    TestFolder folder;
    CString source = folder / L"a.jpg";
    CString target;
    Scene()
    {
        CreateDirectoryW(folder / L"dst", nullptr);
        target = folder / L"dst\\a.jpg";
        MakeFile(source, 200, 1);
        MakeFile(target, 100, 2);
    }
};

bool Checked(HWND window, int id)
{
    return SendMessageW(GetDlgItem(window, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Enabled(HWND window, int id)
{
    return IsWindowEnabled(GetDlgItem(window, id)) != FALSE;
}

CString ItemText(HWND window, int id)
{
    return TextOf(GetDlgItem(window, id));
}

// Typing: the edit's whole text replaced, as the control tells its parent.
void Type(HWND window, int id, LPCWSTR text)
{
    SendMessageW(GetDlgItem(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// A key pressed while the window has the focus, through the dialog's own message loop.
void Press(HWND window, int id, UINT key)
{
    HWND control = GetDlgItem(window, id);
    PostMessageW(control, WM_KEYDOWN, key, 0);
    PostMessageW(control, WM_KEYUP, key, 0xC0000000);
}

// Whether the screen shows about that colour at an offset from the middle of a control.
bool ShowsColour(HWND control, int dx, int dy, COLORREF colour)
{
    CRect rect;
    GetWindowRect(control, &rect);
    HDC screen = GetDC(nullptr);
    const COLORREF seen = GetPixel(screen, rect.CenterPoint().x + dx, rect.CenterPoint().y + dy);
    ReleaseDC(nullptr, screen);
    return seen != CLR_INVALID && std::abs(GetRValue(seen) - GetRValue(colour)) < 24 &&
           std::abs(GetGValue(seen) - GetGValue(colour)) < 24 && std::abs(GetBValue(seen) - GetBValue(colour)) < 24;
}

INT_PTR RunDialog(VSameFileDlg& dialog, const std::function<void(HWND)>& script)
{
    HelperThread driver([&] {
        HWND window = WaitForDialog(kCaption, 30000);
        if (window)
            script(window);
    });
    return dialog.DoModal();
}

TEST(SameNameDialog, TheFirstChangeOfTheNameSelectsRenameAndACaseOnlyChangeGivesTheChoiceBack)
{
    Scene scene;
    WriteAppIniInt(L"Filer", L"SameOption", VyxFileTransfer::SameOverwrite);
    VyxFile item(scene.source);
    VSameFileDlg dialog(item, scene.target, 0, 0, 0, L"%s-%d%s");
    bool opened = false, renamed = false, restored = false;
    INT_PTR result = RunDialog(dialog, [&](HWND window) {
        opened = Checked(window, IDC_SAME_OVERWRITE) && !Enabled(window, IDC_SAME_RENAME) &&
                 Enabled(window, IDC_SAME_ALL) && Enabled(window, IDC_SAME_SKIP_IDENTICAL) &&
                 ItemText(window, IDC_SAME_DEST_NAME) == L"a" && ItemText(window, IDC_SAME_DEST_EXT) == L"jpg";
        Type(window, IDC_SAME_DEST_NAME, L"b");
        renamed = Checked(window, IDC_SAME_RENAME) && !Checked(window, IDC_SAME_OVERWRITE) &&
                  Enabled(window, IDC_SAME_RENAME) && !Enabled(window, IDC_SAME_ALL) &&
                  !Enabled(window, IDC_SAME_SKIP_IDENTICAL);
        // Only the letter case changes: overwrite comes back, and with it the file it replaces.
        Type(window, IDC_SAME_DEST_NAME, L"B");
        restored = Checked(window, IDC_SAME_OVERWRITE) && !Checked(window, IDC_SAME_RENAME) &&
                   Enabled(window, IDC_SAME_ALL) && !Enabled(window, IDC_SAME_RENAME) &&
                   ItemText(window, IDC_SAME_DEST_NAME) == L"a";
        PressButton(window, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(renamed);
    EXPECT_TRUE(restored);
    EXPECT_EQ(VyxFileTransfer::SameOverwrite, dialog.m_mode);
    EXPECT_EQ(0, dialog.m_applyToAll);
    EXPECT_EQ(scene.target, dialog.m_targetPath);
    EXPECT_EQ(CString(L"1"), fileopstest::ReadSettingText(L"Filer", L"SameOption"));
}

TEST(SameNameDialog, ARenameHandsBackTheTypedPathAndAnEmptyExtensionLeavesNoDot)
{
    Scene scene;
    VyxFile item(scene.source);
    VSameFileDlg dialog(item, scene.target, 1, 1, 1, L"%s-%d%s");
    bool allDisabled = false;
    EXPECT_EQ(IDOK, RunDialog(dialog, [&](HWND window) {
                  Type(window, IDC_SAME_DEST_NAME, L"新しい名前");
                  Type(window, IDC_SAME_DEST_EXT, L"");
                  allDisabled = !Enabled(window, IDC_SAME_ALL);
                  PressButton(window, IDC_SAME_RECYCLE_OLD);
                  PressButton(window, IDOK);
              }));
    EXPECT_TRUE(allDisabled);
    EXPECT_EQ(VyxFileTransfer::SameAsk, dialog.m_mode);
    EXPECT_EQ(scene.folder / L"dst\\新しい名前", dialog.m_targetPath);
    EXPECT_EQ(1, dialog.m_skipIdentical);
    EXPECT_EQ(0, dialog.m_recycleOld);
}

TEST(SameNameDialog, TheSerialChoiceShowsTheNameTheEngineWillUse)
{
    Scene scene;
    MakeFile(scene.folder / L"dst\\a-2.jpg", 10);
    VyxFile item(scene.source);
    VSameFileDlg dialog(item, scene.target, 0, 0, 0, L"%s-%d%s");
    CString shownName, shownExtension;
    bool skipEnabled = false;
    EXPECT_EQ(IDOK, RunDialog(dialog, [&](HWND window) {
                  PressButton(window, IDC_SAME_SERIAL);
                  shownName = ItemText(window, IDC_SAME_DEST_NAME);
                  shownExtension = ItemText(window, IDC_SAME_DEST_EXT);
                  skipEnabled = Enabled(window, IDC_SAME_SKIP_IDENTICAL);
                  PressButton(window, IDC_SAME_ALL);
              }));
    CString engine;
    ASSERT_TRUE(VyxFileTransfer::MakeSerialName(engine, scene.target, L"%s-%d%s"));
    EXPECT_EQ(scene.folder / L"dst\\a-3.jpg", engine);
    EXPECT_EQ(CString(L"a-3"), shownName);
    EXPECT_EQ(CString(L"jpg"), shownExtension);
    EXPECT_TRUE(skipEnabled);
    EXPECT_EQ(VyxFileTransfer::SameSerial, dialog.m_mode);
    EXPECT_EQ(1, dialog.m_applyToAll);
}

TEST(SameNameDialog, AStoredRenameOpensAsNewerDate)
{
    Scene scene;
    WriteAppIniInt(L"Filer", L"SameOption", VyxFileTransfer::SameAsk);
    VyxFile item(scene.source);
    VSameFileDlg dialog(item, scene.target, 0, 0, 0, L"%s-%d%s");
    bool newer = false;
    RunDialog(dialog, [&](HWND window) {
        newer = Checked(window, IDC_SAME_NEWER) && !Enabled(window, IDC_SAME_SKIP_IDENTICAL);
        PressButton(window, IDCANCEL);
    });
    EXPECT_TRUE(newer);
}

TEST(SameNameDialog, EnterAndEscapeInTheNameEditKeepTheDialogOpenAndEscapeElsewhereCancels)
{
    Scene scene;
    VyxFile item(scene.source);
    VSameFileDlg dialog(item, scene.target, 0, 0, 0, L"%s-%d%s");
    bool openAfterKeys = false;
    HWND focusAfterEnter = nullptr, nameEdit = nullptr;
    INT_PTR result = RunDialog(dialog, [&](HWND window) {
        nameEdit = GetDlgItem(window, IDC_SAME_DEST_NAME);
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(nameEdit), TRUE);
        Press(window, IDC_SAME_DEST_NAME, VK_RETURN);
        WaitUntil([&] { return FocusOfThread(window) != nameEdit; }, 30000);
        focusAfterEnter = FocusOfThread(window);
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(nameEdit), TRUE);
        Press(window, IDC_SAME_DEST_NAME, VK_ESCAPE);
        // The dialog answers a message sent after the keys only once it has handled them.
        SendMessageW(window, WM_NULL, 0, 0);
        openAfterKeys = IsWindow(window) && IsWindowVisible(window);
        Press(window, IDOK, VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(openAfterKeys);
    EXPECT_NE(nameEdit, focusAfterEnter);
    EXPECT_NE(nullptr, focusAfterEnter);
}

TEST(SameNameDialog, BothSidesShowTheirFileAndTheirInformationLines)
{
    Scene scene;
    WriteAppIniString(L"Filer", L"InfoUpper", L"$(FileName)");
    WriteAppIniString(L"Filer", L"InfoLower", L"[$(Length)]");
    VyxFile item(scene.source);
    VSameFileDlg dialog(item, scene.target, 0, 0, 0, L"%s-%d%s");
    CString sourceName, sourceUpper, sourceLower, destinationUpper, destinationLower, typedLower;
    RunDialog(dialog, [&](HWND window) {
        sourceName = ItemText(window, IDC_SAME_SOURCE_NAME);
        sourceUpper = ItemText(window, IDC_SAME_SOURCE_INFO);
        sourceLower = ItemText(window, IDC_SAME_SOURCE_INFO2);
        destinationUpper = ItemText(window, IDC_SAME_DEST_INFO);
        destinationLower = ItemText(window, IDC_SAME_DEST_INFO2);
        Type(window, IDC_SAME_DEST_NAME, L"nothing-here");
        typedLower = ItemText(window, IDC_SAME_DEST_INFO2);
        PressButton(window, IDC_SAME_SOURCE_ZOOM);
        PressButton(window, IDCANCEL);
    });
    EXPECT_EQ(CString(L" a.jpg"), sourceName);
    EXPECT_EQ(CString(L"a.jpg"), sourceUpper);
    EXPECT_EQ(VyxFile(scene.source).ExpandMacros(L"[$(Length)]"), sourceLower);
    EXPECT_EQ(CString(L"a.jpg"), destinationUpper);
    EXPECT_EQ(VyxFile(scene.target).ExpandMacros(L"[$(Length)]"), destinationLower);
    EXPECT_NE(sourceLower, destinationLower);
    // A typed name that names no file has no facts to show.
    EXPECT_EQ(CString(), typedLower);
    // The formats and the zoom choices are kept for the next time.
    EXPECT_EQ(CString(L"1"), fileopstest::ReadSettingText(L"Filer", L"SameSourceZoom"));
    EXPECT_EQ(CString(L"0"), fileopstest::ReadSettingText(L"Filer", L"SameDestZoom"));
    EXPECT_EQ(CString(L"[$(Length)]"), fileopstest::ReadSettingText(L"Filer", L"InfoLower"));
    EXPECT_FALSE(fileopstest::ReadSettingText(L"FileSame", L"WindowPlacement\\showCmd").IsEmpty());
}

TEST(SameNameDialog, ThePictureOfTheTargetFollowsTheTypedNameAndTheZoomBox)
{
    ScratchSettings settings;
    outputtest::OwnPlugins plugins;
    TestFolder folder;
    CreateDirectoryW(folder / L"dst", nullptr);
    const COLORREF red = RGB(220, 0, 0), blue = RGB(0, 0, 220);
    outputtest::PutPicture((folder / L"a.bmp").GetString(), 64, 48, RGB(200, 200, 0));
    outputtest::PutPicture((folder / L"dst\\a.bmp").GetString(), 64, 48, red);
    outputtest::PutPicture((folder / L"dst\\b.bmp").GetString(), 64, 48, blue);
    VyxFile item(folder / L"a.bmp");
    VSameFileDlg dialog(item, folder / L"dst\\a.bmp", 0, 0, 0, L"%s-%d%s");
    bool target = false, typed = false, actualSize = false, fitted = false;
    RunDialog(dialog, [&](HWND window) {
        HWND view = GetDlgItem(window, IDC_SAME_DEST_VIEW);
        target = WaitUntil([&] { return ShowsColour(view, 0, 0, red); }, 30000);
        // The name of another file: its picture replaces the one shown.
        Type(window, IDC_SAME_DEST_NAME, L"b");
        typed = WaitUntil([&] { return ShowsColour(view, 0, 0, blue); }, 30000);
        // Actual size: 48 rows in the middle, the background above and below them.
        PressButton(window, IDC_SAME_DEST_ZOOM);
        actualSize = WaitUntil([&] { return ShowsColour(view, 0, 0, blue) && !ShowsColour(view, 0, 30, blue); }, 30000);
        PressButton(window, IDC_SAME_DEST_ZOOM);
        fitted = WaitUntil([&] { return ShowsColour(view, 0, 30, blue); }, 30000);
        PressButton(window, IDCANCEL);
    });
    EXPECT_TRUE(target);
    EXPECT_TRUE(typed);
    EXPECT_TRUE(actualSize);
    EXPECT_TRUE(fitted);
}

TEST(SameNameDialog, ATargetNameThatLeadsToAFileSpelledOtherwiseShowsThatFileNamedAsItIs)
{
    ScratchSettings settings;
    outputtest::OwnPlugins plugins;
    TestFolder folder;
    CreateDirectoryW(folder / L"dst", nullptr);
    WriteAppIniString(L"Filer", L"InfoUpper", L"$(FileName)");
    const COLORREF red = RGB(220, 0, 0);
    outputtest::PutPicture((folder / L"P.bmp").GetString(), 64, 48, RGB(200, 200, 0));
    outputtest::PutPicture((folder / L"dst\\p.bmp").GetString(), 64, 48, red);
    VyxFile item(folder / L"P.bmp");
    VSameFileDlg dialog(item, folder / L"dst\\P.bmp", 1, 0, 0, L"%s-%d%s");
    CString title, name, upper, typedTitle;
    bool picture = false;
    RunDialog(dialog, [&](HWND window) {
        picture = WaitUntil([&] { return ShowsColour(GetDlgItem(window, IDC_SAME_DEST_VIEW), 0, 0, red); }, 30000);
        title = ItemText(window, IDC_SAME_DEST_TITLE);
        name = ItemText(window, IDC_SAME_DEST_NAME);
        upper = ItemText(window, IDC_SAME_DEST_INFO);
        Type(window, IDC_SAME_DEST_NAME, L"q");
        typedTitle = ItemText(window, IDC_SAME_DEST_TITLE);
        PressButton(window, IDCANCEL);
    });
    EXPECT_TRUE(picture);
    EXPECT_NE(-1, title.Find(L"「p.bmp」")) << CStringA(title).GetString();
    EXPECT_EQ(CString(L"p.bmp"), upper);
    // The name asked for stays in the edit; a name that leads nowhere else gives the title back.
    EXPECT_EQ(CString(L"P"), name);
    EXPECT_EQ(CString(L" 転送先ファイル"), typedTitle);
}

} // namespace

TEST(SameNameDialog, TheFocusStartsOnTheChoiceAndTheSizeShowsItsUnit)
{
    Scene scene;
    WriteAppIniInt(L"Filer", L"SameOption", VyxFileTransfer::SameOverwrite);
    // What earlier runs wrote back reads as the new default.
    WriteAppIniString(L"Filer", L"InfoUpper", L"$(DateTime) $(Size)");
    VyxFile item(scene.source);
    VSameFileDlg dialog(item, scene.target, 0, 0, 0, L"%s-%d%s");
    HWND focused = nullptr, overwrite = nullptr;
    bool arrowMoved = false;
    CString upper;
    RunDialog(dialog, [&](HWND window) {
        overwrite = GetDlgItem(window, IDC_SAME_OVERWRITE);
        WaitUntil([&] { return GetForegroundWindow() == window; });
        focused = FocusOfThread(window);
        upper = ItemText(window, IDC_SAME_SOURCE_INFO);
        // The arrow key moves the choice the focus is on.
        SendKey(VK_RIGHT);
        arrowMoved = WaitUntil([&] { return Checked(window, IDC_SAME_IGNORE); });
        PressButton(window, IDCANCEL);
    });
    EXPECT_EQ(overwrite, focused);
    EXPECT_TRUE(arrowMoved);
    EXPECT_EQ(item.ExpandMacros(L"$(DateTime) $(Size)") + L" バイト", upper);
}
