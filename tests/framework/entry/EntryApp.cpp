// A GUI program with no wWinMain of its own: the framework's entry point must run this
// application object. Command line: <report file> run|fail|throw|runthrow
#include "framework/Framework.h"

namespace {

class CReport
{
public:
    static void Add(LPCWSTR line)
    {
        CString path = AfxGetApp()->m_lpCmdLine;
        path = path.Left(path.Find(L' '));
        HANDLE file = CreateFileW(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        CStringA utf8;
        int n = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
        WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8.GetBuffer(n), n, nullptr, nullptr);
        utf8.ReleaseBuffer();
        utf8 += "\n";
        DWORD written = 0;
        WriteFile(file, utf8.GetString(), static_cast<DWORD>(utf8.GetLength()), &written, nullptr);
        CloseHandle(file);
    }
};

class CEntryMainWnd : public CWnd
{
protected:
    void PostNcDestroy() override
    {
        CReport::Add(L"main window gone");
        delete this;
    }
};

class CEntryApp : public CWinApp
{
public:
    CEntryApp() : CWinApp(L"入口の確認") {}

    BOOL InitInstance() override
    {
        CString line;
        line.Format(L"init %s %d", m_pszAppName, m_hInstance == GetModuleHandleW(nullptr));
        CReport::Add(line);
        m_failing = CString(m_lpCmdLine).Right(4) == L"fail";
        auto* main = new CEntryMainWnd;
        if (!main->CreateEx(0, AfxRegisterWndClass(0), L"entry", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr))
            return FALSE;
        m_pMainWnd = main;
        if (m_failing)
            return FALSE;
        if (Mode() == L"throw")
            throw 7; // not a framework exception
        main->PostMessage(WM_CLOSE);
        return TRUE;
    }
    int Run() override
    {
        if (Mode() == L"runthrow")
            throw std::bad_alloc();
        return CWinApp::Run();
    }
    int DoMessageBox(LPCWSTR lpszPrompt, UINT, UINT) override
    {
        CReport::Add(CString(L"message ") + lpszPrompt);
        return IDOK;
    }
    int ExitInstance() override
    {
        CReport::Add(L"exit");
        return (m_failing ? 31 : 23) + CWinApp::ExitInstance();
    }

private:
    CString Mode() const
    {
        CString line = m_lpCmdLine;
        return line.Mid(line.ReverseFind(L' ') + 1);
    }
    bool m_failing = false;
};

CEntryApp theApp;

} // namespace
