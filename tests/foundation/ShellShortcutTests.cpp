#include "foundation/ShellShortcut.h"

#include <gtest/gtest.h>

namespace {

// A scratch folder with a long name, removed at the end.
class ShortcutFolder
{
public:
    ShortcutFolder()
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_path.Format(L"%sshortcut tests %u", temp, GetCurrentProcessId());
        CreateDirectoryW(m_path, nullptr);
    }
    ~ShortcutFolder()
    {
        SHFILEOPSTRUCTW op = {};
        std::wstring from = std::wstring(m_path.GetString()) + L'\0';
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        SHFileOperationW(&op);
    }
    CString operator/(LPCWSTR name) const { return m_path + L"\\" + name; }

private:
    CString m_path;
};

void WriteFile(const CString& path, const char* bytes)
{
    HANDLE h = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD written;
    ::WriteFile(h, bytes, static_cast<DWORD>(strlen(bytes)), &written, nullptr);
    CloseHandle(h);
}

void MakeShortcut(const CString& link, const CString& target)
{
    CoInitialize(nullptr);
    IShellLinkW* shell = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&shell)));
    shell->SetPath(target);
    IPersistFile* file = nullptr;
    shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    EXPECT_EQ(S_OK, file->Save(link, TRUE));
    file->Release();
    shell->Release();
    CoUninitialize();
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
    ShortcutFolder folder;
    CString target = folder / L"a long target name.txt";
    WriteFile(target, "x");
    MakeShortcut(folder / L"Link.LNK", target);
    CString out;
    EXPECT_STREQ(ShortPath(target).GetString(), ResolveShortcut(out, folder / L"Link.LNK").GetString());
    EXPECT_EQ(0, ResolveShortcutUnc(out, folder / L"Link.LNK").CompareNoCase(target));
}

TEST(ShellShortcut, OtherPathsAndBrokenLinksComeBackUnchanged)
{
    ShortcutFolder folder;
    CString target = folder / L"gone.txt";
    WriteFile(target, "x");
    CString link = folder / L"gone.lnk";
    MakeShortcut(link, target);
    DeleteFileW(target);
    CString out;
    EXPECT_STREQ(link.GetString(), ResolveShortcut(out, link).GetString());
    CString garbage = folder / L"garbage.lnk";
    WriteFile(garbage, "not a shortcut");
    EXPECT_STREQ(garbage.GetString(), ResolveShortcut(out, garbage).GetString());
    EXPECT_STREQ(L"C:\\x.txt", ResolveShortcut(out, L"C:\\x.txt").GetString());
    EXPECT_STREQ(L"lnk", ResolveShortcut(out, L"lnk").GetString());
    EXPECT_STREQ(L"", ResolveShortcut(out, nullptr).GetString());
}

TEST(ShellShortcut, LinkWithoutAFilePathIsAFailureNotAnEmptyTarget)
{
    // A link to a virtual folder has no file-system path: its resolution must not succeed.
    ShortcutFolder folder;
    CString link = folder / L"computer.lnk";
    CoInitialize(nullptr);
    IShellLinkW* shell = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&shell)));
    LPITEMIDLIST computer = nullptr;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer));
    shell->SetIDList(computer);
    CoTaskMemFree(computer);
    IPersistFile* file = nullptr;
    shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    ASSERT_EQ(S_OK, file->Save(link, TRUE));
    file->Release();
    shell->Release();
    CoUninitialize();
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
