// The application object of the tests: names, handles, the profile on the ini file and in the
// registry, the command line and the wait cursor.
#include "common/FrameworkTestUtil.h"

#include <memory>

#include "res/resource.h"

namespace {

TEST(CWinApp, TheTestApplicationIsSetUp)
{
    CWinApp* app = AfxGetApp();
    ASSERT_NE(nullptr, app);
    EXPECT_EQ(app, AfxGetThread());
    EXPECT_EQ(GetModuleHandleW(nullptr), AfxGetInstanceHandle());
    EXPECT_EQ(AfxGetInstanceHandle(), AfxGetResourceHandle());
    EXPECT_STREQ(L"framework_tests", app->m_pszExeName);
    EXPECT_STREQ(app->m_pszAppName, AfxGetAppName());
    EXPECT_EQ(nullptr, app->m_pszRegistryKey);
    EXPECT_NE(nullptr, wcschr(app->m_pszProfileName, L'\\')); // a full path of its own
    EXPECT_EQ(AfxGetInstanceHandle(), AfxFindResourceHandle(MAKEINTRESOURCEW(IDD_PROGRESS), RT_DIALOG));
}

TEST(CWinApp, ResourceHandleCanBeRedirected)
{
    HINSTANCE original = AfxGetResourceHandle();
    HMODULE other = GetModuleHandleW(L"kernel32.dll");
    AfxSetResourceHandle(other);
    EXPECT_EQ(other, AfxGetResourceHandle());
    // A resource the other module lacks is still found in the instance.
    EXPECT_EQ(AfxGetInstanceHandle(), AfxFindResourceHandle(MAKEINTRESOURCEW(IDD_PROGRESS), RT_DIALOG));
    CString title;
    EXPECT_TRUE(title.LoadString(IDS_PROGRESS_TITLE));
    AfxSetResourceHandle(original);
}

// Runs with the profile on a scratch ini file, then puts the test application's back.
class IniProfile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_app = AfxGetApp();
        m_saved = m_app->m_pszProfileName;
        m_app->m_pszProfileName = _wcsdup(m_folder / L"profile.ini");
    }
    void TearDown() override
    {
        free(const_cast<LPWSTR>(m_app->m_pszProfileName));
        m_app->m_pszProfileName = m_saved;
    }
    std::string FileText() const { return FrameworkScratchFolder::ReadFile(m_app->m_pszProfileName); }

    FrameworkScratchFolder m_folder;
    CWinApp* m_app = nullptr;
    LPCWSTR m_saved = nullptr;
};

TEST_F(IniProfile, EveryKindRoundTripsThroughTheIniFile)
{
    EXPECT_TRUE(m_app->WriteProfileInt(L"Section", L"Int", -42));
    EXPECT_TRUE(m_app->WriteProfileString(L"Section", L"Text", L"日本語 text"));
    BYTE bytes[] = {0x01, 0xAB, 0x00, 0xFF};
    EXPECT_TRUE(m_app->WriteProfileBinary(L"Section", L"Binary", bytes, sizeof(bytes)));

    EXPECT_EQ(-42, static_cast<int>(m_app->GetProfileInt(L"Section", L"Int", 7)));
    EXPECT_EQ(7u, m_app->GetProfileInt(L"Section", L"Missing", 7));
    EXPECT_EQ(L"日本語 text", m_app->GetProfileString(L"Section", L"Text"));
    EXPECT_EQ(L"fallback", m_app->GetProfileString(L"Section", L"Missing", L"fallback"));
    EXPECT_EQ(L"", m_app->GetProfileString(L"Section", L"Missing"));
    LPBYTE data = nullptr;
    UINT size = 0;
    ASSERT_TRUE(m_app->GetProfileBinary(L"Section", L"Binary", &data, &size));
    std::unique_ptr<BYTE[]> owned(data);
    ASSERT_EQ(4u, size);
    EXPECT_EQ(0, memcmp(bytes, data, 4));

    // On disk: a decimal integer and upper-case hexadecimal pairs.
    std::string text = FileText();
    EXPECT_NE(std::string::npos, text.find("Int=-42"));
    EXPECT_NE(std::string::npos, text.find("Binary=01AB00FF"));
}

TEST_F(IniProfile, LongStringsAreReadWhole)
{
    CString longText(L'x', 10000);
    EXPECT_TRUE(m_app->WriteProfileString(L"S", L"Long", longText));
    EXPECT_EQ(10000, m_app->GetProfileString(L"S", L"Long").GetLength());
}

TEST_F(IniProfile, BinaryReaderRefusesWhatIsNotHexPairs)
{
    const struct
    {
        const wchar_t* stored;
        BOOL ok;
        UINT size;
    } cases[] = {{L"01ab", TRUE, 2}, {L"0", FALSE, 0}, {L"0G", FALSE, 0}, {L"", FALSE, 0}, {L"A0A", FALSE, 0}};
    for (const auto& c : cases) {
        m_app->WriteProfileString(L"S", L"Bin", c.stored);
        LPBYTE data = reinterpret_cast<LPBYTE>(1);
        UINT size = 99;
        EXPECT_EQ(c.ok, m_app->GetProfileBinary(L"S", L"Bin", &data, &size)) << c.stored;
        EXPECT_EQ(c.size, size) << c.stored;
        if (c.ok) {
            EXPECT_EQ(0xAB, data[1]);
            delete[] data;
        } else {
            EXPECT_EQ(nullptr, data);
        }
    }
    LPBYTE data = nullptr;
    UINT size = 0;
    EXPECT_FALSE(m_app->GetProfileBinary(L"S", L"Missing", &data, &size));
}

TEST_F(IniProfile, NullValueRemovesTheEntryAndNullEntryTheSection)
{
    m_app->WriteProfileString(L"A", L"one", L"1");
    m_app->WriteProfileString(L"A", L"two", L"2");
    m_app->WriteProfileString(L"A", L"one", nullptr);
    EXPECT_EQ(L"gone", m_app->GetProfileString(L"A", L"one", L"gone"));
    EXPECT_EQ(L"2", m_app->GetProfileString(L"A", L"two"));
    m_app->WriteProfileString(L"A", nullptr, nullptr);
    EXPECT_EQ(L"gone", m_app->GetProfileString(L"A", L"two", L"gone"));
    EXPECT_EQ(std::string::npos, FileText().find("[A]"));
}

TEST_F(IniProfile, NoRegistryKeysWithoutARegistryProfile)
{
    EXPECT_EQ(nullptr, m_app->GetAppRegistryKey());
    EXPECT_EQ(nullptr, m_app->GetSectionKey(L"Colors"));
}

// Runs with the profile in the registry under a key of its own, deleted afterwards.
class RegistryProfile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_app = AfxGetApp();
        m_savedKey = m_app->m_pszRegistryKey;
        m_savedProfile = m_app->m_pszProfileName;
        m_app->m_pszRegistryKey = nullptr;
        m_app->m_pszProfileName = nullptr;
        m_key.Format(L"FrameworkTest%lu", GetCurrentProcessId());
        m_app->SetRegistryKey(m_key);
    }
    void TearDown() override
    {
        HKEY software = nullptr;
        RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_ALL_ACCESS, &software);
        m_app->DelRegTree(software, m_key);
        RegCloseKey(software);
        free(const_cast<LPWSTR>(m_app->m_pszRegistryKey));
        free(const_cast<LPWSTR>(m_app->m_pszProfileName));
        m_app->m_pszRegistryKey = m_savedKey;
        m_app->m_pszProfileName = m_savedProfile;
    }

    CWinApp* m_app = nullptr;
    LPCWSTR m_savedKey = nullptr;
    LPCWSTR m_savedProfile = nullptr;
    CString m_key;
};

TEST_F(RegistryProfile, ValuesLiveUnderSoftwareKeyAppSection)
{
    EXPECT_STREQ(m_app->m_pszAppName, m_app->m_pszProfileName);
    EXPECT_TRUE(m_app->WriteProfileInt(L"Colors", L"Count", 16));
    EXPECT_TRUE(m_app->WriteProfileString(L"Colors", L"Name", L"色"));
    BYTE bytes[] = {9, 8, 7};
    EXPECT_TRUE(m_app->WriteProfileBinary(L"Colors", L"Raw", bytes, 3));
    EXPECT_EQ(16u, m_app->GetProfileInt(L"Colors", L"Count", 0));
    EXPECT_EQ(L"色", m_app->GetProfileString(L"Colors", L"Name"));
    LPBYTE data = nullptr;
    UINT size = 0;
    ASSERT_TRUE(m_app->GetProfileBinary(L"Colors", L"Raw", &data, &size));
    EXPECT_EQ(3u, size);
    EXPECT_EQ(7, data[2]);
    delete[] data;

    CString path;
    path.Format(L"Software\\%s\\%s\\Colors", m_key.GetString(), m_app->m_pszAppName);
    HKEY direct = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &direct));
    DWORD value = 0, valueSize = sizeof(value), type = 0;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(direct, L"Count", nullptr, &type, reinterpret_cast<BYTE*>(&value), &valueSize));
    RegCloseKey(direct);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(16u, value);

    HKEY section = m_app->GetSectionKey(L"Colors");
    ASSERT_NE(nullptr, section);
    DWORD custom = 0x123456;
    RegSetValueExW(section, L"CUSTOM_COLOR_0", 0, REG_DWORD, reinterpret_cast<BYTE*>(&custom), sizeof(custom));
    RegCloseKey(section);
    EXPECT_EQ(0x123456u, m_app->GetProfileInt(L"Colors", L"CUSTOM_COLOR_0", 0));

    EXPECT_TRUE(m_app->WriteProfileString(L"Colors", nullptr, nullptr)); // the whole section
    EXPECT_EQ(0u, m_app->GetProfileInt(L"Colors", L"Count", 0));
}

TEST_F(RegistryProfile, DelRegTreeRemovesNestedKeysAndRefusesAnEmptyName)
{
    HKEY app = m_app->GetAppRegistryKey();
    ASSERT_NE(nullptr, app);
    HKEY deep = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(app, L"Tree\\a\\b\\c", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &deep, nullptr));
    RegCloseKey(deep);
    RegCreateKeyExW(app, L"Tree\\d", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &deep, nullptr);
    RegCloseKey(deep);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, m_app->DelRegTree(app, L""));
    EXPECT_EQ(ERROR_SUCCESS, m_app->DelRegTree(app, L"Tree"));
    HKEY gone = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(app, L"Tree", 0, KEY_READ, &gone));
    EXPECT_NE(ERROR_SUCCESS, m_app->DelRegTree(app, L"Tree"));
    RegCloseKey(app);
}

struct ParsedLine
{
    std::vector<const wchar_t*> params;
    int command;
    const wchar_t* file;
    const wchar_t* printer;
};

TEST(CCommandLineInfo, ParsesTheFrameworkSwitchesAndTheFile)
{
    const ParsedLine cases[] = {
        {{}, CCommandLineInfo::FileNew, L"", L""},
        {{L"C:\\pictures"}, CCommandLineInfo::FileOpen, L"C:\\pictures", L""},
        {{L"/p", L"a.txt"}, CCommandLineInfo::FilePrint, L"a.txt", L""},
        {{L"-pt", L"a.txt", L"printer", L"driver", L"port"}, CCommandLineInfo::FilePrintTo, L"a.txt", L"printer"},
        {{L"/dde"}, CCommandLineInfo::FileDDE, L"", L""},
        {{L"/REGSERVER"}, CCommandLineInfo::AppRegister, L"", L""},
        {{L"/min", L"x"}, CCommandLineInfo::FileOpen, L"x", L""}, // unknown switches are left to the caller
    };
    for (const ParsedLine& c : cases) {
        CCommandLineInfo info;
        for (size_t i = 0; i < c.params.size(); ++i) {
            const wchar_t* p = c.params[i];
            BOOL flag = p[0] == L'/' || p[0] == L'-';
            info.ParseParam(flag ? p + 1 : p, flag, i + 1 == c.params.size());
        }
        EXPECT_EQ(c.command, info.m_nShellCommand) << (c.params.empty() ? L"" : c.params[0]);
        EXPECT_EQ(c.file, info.m_strFileName);
        EXPECT_EQ(c.printer, info.m_strPrinterName);
    }
    CCommandLineInfo embedded;
    embedded.ParseParam(L"Embedding", TRUE, TRUE);
    EXPECT_TRUE(embedded.m_bRunEmbedded);
    EXPECT_FALSE(embedded.m_bShowSplash);
}

// ParseCommandLine hands the test executable's own arguments to ParseParam.
class RecordingCommandLine : public CCommandLineInfo
{
public:
    void ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL bLast) override
    {
        seen.Add(CString(bFlag ? L"flag:" : L"") + pszParam);
        lastSeen = bLast;
        CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
    }
    CStringArray seen;
    BOOL lastSeen = FALSE;
};

TEST(CWinApp, ParseCommandLineSeesTheProcessArguments)
{
    RecordingCommandLine info;
    AfxGetApp()->ParseCommandLine(info);
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    EXPECT_EQ(argc - 1, info.seen.GetSize());
    if (argc > 1) {
        EXPECT_TRUE(info.lastSeen);
        EXPECT_NE(-1, info.seen[0].Find(argv[1][0] == L'-' ? argv[1] + 1 : argv[1]));
    }
    LocalFree(argv);
}

TEST(CWaitCursor, ShowsTheWaitCursorWhileAliveAndNests)
{
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    SetCursor(arrow);
    {
        CWaitCursor outer;
        EXPECT_EQ(wait, GetCursor());
        {
            CWaitCursor inner;
            SetCursor(arrow); // something replaced it
            inner.Restore();
            EXPECT_EQ(wait, GetCursor());
        }
        EXPECT_EQ(wait, GetCursor()); // still inside the outer one
    }
    EXPECT_EQ(arrow, GetCursor());
}

} // namespace

namespace {

// Closes the first message box captioned with the application's name; records its text.
struct MessageBoxCloser
{
    CString text;
    static UINT Run(LPVOID param)
    {
        auto* closer = static_cast<MessageBoxCloser*>(param);
        for (int i = 0; i < 3000; ++i) {
            HWND box = FindWindowW(L"#32770", AfxGetAppName());
            if (box) {
                wchar_t buffer[256] = {};
                GetDlgItemTextW(box, 0xFFFF, buffer, 256); // the box's static text
                closer->text = buffer;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return 1;
            }
            Sleep(10);
        }
        return 0;
    }
};

TEST(CWinApp, AfxMessageBoxGoesThroughTheApplicationWithItsNameAsCaption)
{
    MessageBoxCloser closer;
    CWinThread* thread = AfxBeginThread(MessageBoxCloser::Run, &closer, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    EXPECT_EQ(IDOK, AfxMessageBox(L"確認のテスト", MB_OK));
    WaitForSingleObject(thread->m_hThread, 10000);
    DWORD code = 0;
    GetExitCodeThread(thread->m_hThread, &code);
    delete thread;
    EXPECT_EQ(1u, code);
    EXPECT_EQ(L"確認のテスト", closer.text);
}

} // namespace
