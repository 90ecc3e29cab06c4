#include "foundation/ShellShortcut.h"

#include "common/ScratchFolder.h"
#include "common/ShellLinkFile.h"

#include <gtest/gtest.h>

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

TEST(ShellShortcut, KeyIsDownOnlyWhileHeld)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_SHIFT;
    SendInput(1, &input, sizeof input);
    EXPECT_TRUE(IsKeyDown(VK_SHIFT));
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    EXPECT_FALSE(IsKeyDown(VK_SHIFT));
}
