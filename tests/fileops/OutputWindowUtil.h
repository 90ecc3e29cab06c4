// The window side of the output tests: the framework tests' window helpers and a driver for the
// dialogs under test.
#pragma once

#include "FileopsTestUtil.h"
#include "common/Clicks.h"
#include "OutputTestUtil.h"

#include <dlgs.h>

namespace outputtest {

using fileopstest::ReadSettingText;

// A dialog test: the settings file and the current directory (where the dialogs take relative
// paths from, as the commands set it) are a scratch folder of the test's own; a window owns the
// dialogs.
class DialogTest : public testing::Test
{
protected:
    DialogTest()
    {
        GetCurrentDirectoryW(MAX_PATH, m_previous);
        SetCurrentDirectoryW(settings.Folder().Path().c_str());
    }
    ~DialogTest() override { SetCurrentDirectoryW(m_previous); }

    ScratchSettings settings;
    CTestHostWnd owner;

private:
    wchar_t m_previous[MAX_PATH] = {};
};

// Drives a dialog that runs on the test thread from a helper thread; each call returns once the
// dialog has handled it.
struct DialogDriver
{
    HWND dialog;

    explicit DialogDriver(const wchar_t* caption) : dialog(WaitForDialog(caption, 60000)) {}
    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    CString Text(int id) const { return TextOf(Item(id)); }
    void SetText(int id, const wchar_t* text) const
    {
        SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    void PressButton(int id) const { ::PressButton(dialog, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // The button's command as a click sends it (the default button is pressed by Enter this way).
    void Command(int id) const
    {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    }
    bool IsOpen() const { return IsWindow(dialog) != FALSE; }
    // Presses the button without waiting for it (it opens a dialog of its own).
    void Press(int id) const
    {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    }
    // Waits until the dialog has gone.
    bool WaitClosed() const
    {
        return WaitUntil([this] { return !IsWindow(dialog); }, 60000);
    }
};

// From a helper thread: in the next file dialog of the process, the path is typed as the file
// name and the dialog is closed with OK. False when no file dialog came.
inline bool ChooseInFileDialog(const std::wstring& path)
{
    HWND chooser = WaitForWindow(
        [](HWND window) { return GetDlgItem(window, cmb13) != nullptr || GetDlgItem(window, edt1) != nullptr; }, 60000);
    if (!chooser)
        return false;
    HWND name = GetDlgItem(chooser, edt1) ? GetDlgItem(chooser, edt1) : GetDlgItem(chooser, cmb13);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDOK)));
    return WaitUntil([chooser] { return !IsWindow(chooser); }, 60000);
}

} // namespace outputtest
