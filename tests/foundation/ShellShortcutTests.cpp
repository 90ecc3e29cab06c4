#include "foundation/ShellShortcut.h"

#include "common/ScratchFolder.h"
#include "common/ShellLinkFile.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

void WriteFile(const CString& path, const char* bytes)
{
    ASSERT_TRUE(ScratchFolder::WriteFile(path.GetString(), bytes));
}

// Paths in a scratch folder whose name does not fit 8.3.
CString In(const ScratchFolder& folder, const wchar_t* name)
{
    return (folder / name).c_str();
}

CString ShortPath(const CString& path)
{
    wchar_t buffer[520];
    GetShortPathNameW(path, buffer, 520);
    return buffer;
}

} // namespace

TEST(ShellShortcut, ResolvesALinkOfAnyCaseToTheShortTargetPath)
{
    ScratchFolder folder(L"shortcut tests");
    CString target = In(folder, L"a long target name.txt");
    WriteFile(target, "x");
    ASSERT_TRUE(MakeShortcut(In(folder, L"Link.LNK"), target));
    CString out;
    EXPECT_STREQ(ShortPath(target).GetString(), ResolveShortcut(out, In(folder, L"Link.LNK")).GetString());
    EXPECT_EQ(0, ResolveShortcutUnc(out, In(folder, L"Link.LNK")).CompareNoCase(target));
}

TEST(ShellShortcut, OtherPathsAndBrokenLinksComeBackUnchanged)
{
    ScratchFolder folder(L"shortcut tests");
    CString target = In(folder, L"gone.txt");
    WriteFile(target, "x");
    CString link = In(folder, L"gone.lnk");
    ASSERT_TRUE(MakeShortcut(link, target));
    DeleteFileW(target);
    CString out;
    EXPECT_STREQ(link.GetString(), ResolveShortcut(out, link).GetString());
    CString garbage = In(folder, L"garbage.lnk");
    WriteFile(garbage, "not a shortcut");
    EXPECT_STREQ(garbage.GetString(), ResolveShortcut(out, garbage).GetString());
    EXPECT_STREQ(L"C:\\x.txt", ResolveShortcut(out, L"C:\\x.txt").GetString());
    EXPECT_STREQ(L"lnk", ResolveShortcut(out, L"lnk").GetString());
    EXPECT_STREQ(L"", ResolveShortcut(out, nullptr).GetString());
}

TEST(ShellShortcut, LinkWithoutAFilePathIsAFailureNotAnEmptyTarget)
{
    // A link to a virtual folder has no file-system path: its resolution must not succeed.
    ScratchFolder folder(L"shortcut tests");
    CString link = In(folder, L"computer.lnk");
    bool saved = SaveShortcut(link, [](IShellLinkW* shell) {
        LPITEMIDLIST computer = nullptr;
        ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer));
        shell->SetIDList(computer);
        CoTaskMemFree(computer);
    });
    ASSERT_TRUE(saved);
    CString out;
    EXPECT_STREQ(link.GetString(), ResolveShortcut(out, link).GetString());
    EXPECT_STREQ(link.GetString(), ResolveShortcutUnc(out, link).GetString());
}

// Pumps the thread's messages until done() holds; false after a generous bound.
bool PumpUntil(const std::function<bool(const MSG&)>& done)
{
    MSG msg = {};
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000;) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
            if (done(msg))
                return true;
        }
        if (done(MSG{}))
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return false;
}

TEST(ShellShortcut, KeyIsDownOnlyWhileHeld)
{
    // The keys go to a focused window of the test's own; each check waits until the window has
    // seen the key. A focus change still on its way from the X server resynchronises the key
    // state when it arrives and may release the key again: then the key is pressed again.
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    SetForegroundWindow(window);
    SetFocus(window);
    EXPECT_TRUE(PumpUntil([&](const MSG&) { return GetForegroundWindow() == window && GetFocus() == window; }));
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_SHIFT;
    bool down = false;
    for (DWORD start = GetTickCount(); !down && GetTickCount() - start < 20000;) {
        SendInput(1, &input, sizeof input);
        EXPECT_TRUE(PumpUntil([](const MSG& msg) { return msg.message == WM_KEYDOWN && msg.wParam == VK_SHIFT; }));
        down = IsKeyDown(VK_SHIFT);
    }
    EXPECT_TRUE(down);
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    EXPECT_TRUE(PumpUntil([](const MSG& msg) { return msg.message == WM_KEYUP && msg.wParam == VK_SHIFT; }));
    EXPECT_FALSE(IsKeyDown(VK_SHIFT));
    DestroyWindow(window);
}
