#include "framework/CWinApp.h"
#include "framework/AfxRes.h"
#include "framework/CCmdUI.h"
#include "framework/CDocManager.h"
#include "framework/CRecentFileList.h"
#include "framework/CWnd.h"
#include "framework/CWnd.h"
#include "framework/ModuleState.h"
#include "framework/ThreadState.h"

#include <memory>
#include <vector>

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
ON_COMMAND(ID_APP_EXIT, OnAppExit)
ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, OnUpdateRecentFileMenu)
ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, OnOpenRecentFile)
END_MESSAGE_MAP()

namespace {

// The application's string resource with its title (the framework's AFX_IDS_APP_TITLE).
const UINT kAppTitleStringId = 0xE000;

void ReplaceText(LPCWSTR& field, LPCWSTR text)
{
    free(const_cast<LPWSTR>(field));
    field = text ? _wcsdup(text) : nullptr;
}

class RegistryKey
{
public:
    explicit RegistryKey(HKEY key = nullptr) : m_key(key) {}
    ~RegistryKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* Out() { return &m_key; }
    HKEY Get() const { return m_key; }
    HKEY Release()
    {
        HKEY key = m_key;
        m_key = nullptr;
        return key;
    }

private:
    HKEY m_key;
};

const wchar_t kHexDigits[] = L"0123456789ABCDEF";

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return -1;
}

// Wait cursor bookkeeping for code that runs without an application object (plug-in modules).
int s_waitCursorCount = 0;
HCURSOR s_waitCursorRestore = nullptr;

void StepWaitCursor(int nCode, int& count, HCURSOR& restore)
{
    count += nCode;
    if (count > 0) {
        HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514))); // IDC_WAIT
        if (nCode > 0 && count == 1)
            restore = previous;
    } else {
        count = 0;
        ::SetCursor(restore);
    }
}

} // namespace

void AFXAPI AfxDoWaitCursor(int nCode)
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(nCode);
    else
        StepWaitCursor(nCode, s_waitCursorCount, s_waitCursorRestore);
}

CWinApp::CWinApp(LPCWSTR lpszAppName)
{
    if (lpszAppName)
        m_pszAppName = _wcsdup(lpszAppName);
    AFX_MODULE_STATE* module = AfxGetModuleState();
    module->m_pCurrentWinApp = this;
    module->m_lpszCurrentAppName = m_pszAppName;
    AfxGetThreadState()->m_pCurrentWinThread = this;
    m_nThreadID = ::GetCurrentThreadId();
    m_bAutoDelete = FALSE;
}

CWinApp::~CWinApp()
{
    delete m_pDocManager;
    m_pDocManager = nullptr;
    delete m_pRecentFileList;
    m_pRecentFileList = nullptr;
    AFX_MODULE_STATE* module = AfxGetModuleState();
    if (module->m_pCurrentWinApp == this) {
        module->m_pCurrentWinApp = nullptr;
        module->m_lpszCurrentAppName = nullptr;
    }
    AFX_THREAD_STATE* thread = AfxGetThreadState();
    if (thread->m_pCurrentWinThread == this)
        thread->m_pCurrentWinThread = nullptr;
    for (LPCWSTR* field : {&m_pszAppName, &m_pszRegistryKey, &m_pszProfileName, &m_pszExeName, &m_pszHelpFilePath})
        ReplaceText(*field, nullptr);
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    return CWinThread::Run();
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    return CWinThread::OnIdle(lCount);
}

int CWinApp::ExitInstance()
{
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList();
    return CWinThread::ExitInstance();
}

// ---------------------------------------------------------------- documents

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (!m_pDocManager)
        m_pDocManager = new CDocManager;
    m_pDocManager->AddDocTemplate(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const
{
    return m_pDocManager ? m_pDocManager->GetFirstDocTemplatePosition() : nullptr;
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const
{
    return m_pDocManager->GetNextDocTemplate(pos);
}

CDocument* CWinApp::OpenDocumentFile(LPCWSTR lpszFileName)
{
    return m_pDocManager ? m_pDocManager->OpenDocumentFile(lpszFileName) : nullptr;
}

void CWinApp::AddToRecentFileList(LPCWSTR lpszPathName)
{
    if (m_pRecentFileList)
        m_pRecentFileList->Add(lpszPathName);
}

BOOL CWinApp::SaveAllModified()
{
    return m_pDocManager ? m_pDocManager->SaveAllModified() : TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    if (m_pDocManager)
        m_pDocManager->CloseAllDocuments(bEndSession);
}

int CWinApp::GetOpenDocumentCount()
{
    return m_pDocManager ? m_pDocManager->GetDocumentCount() : 0;
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    if (nMaxMRU != 0) {
        delete m_pRecentFileList;
        m_pRecentFileList = new CRecentFileList(0, L"Recent File List", L"File%d", static_cast<int>(nMaxMRU));
        m_pRecentFileList->ReadList();
    }
    m_nNumPreviewPages = GetProfileInt(L"Settings", L"PreviewPages", 0);
}

void CWinApp::OnFileNew()
{
    if (m_pDocManager)
        m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen()
{
    if (m_pDocManager)
        m_pDocManager->OnFileOpen();
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    if (m_pRecentFileList)
        m_pRecentFileList->UpdateMenu(pCmdUI);
    else
        pCmdUI->Enable(FALSE);
}

BOOL CWinApp::OnOpenRecentFile(UINT nID)
{
    if (!m_pRecentFileList)
        return FALSE;
    int index = static_cast<int>(nID - ID_FILE_MRU_FILE1);
    if (index < 0 || index >= m_pRecentFileList->GetSize())
        return FALSE;
    CString path = (*m_pRecentFileList)[index];
    // An entry that no longer opens leaves the list.
    if (!OpenDocumentFile(path))
        m_pRecentFileList->Remove(index);
    return TRUE;
}

void CWinApp::SetCurrentHandles()
{
    wchar_t modulePath[MAX_PATH] = {};
    ::GetModuleFileNameW(m_hInstance ? m_hInstance : AfxGetInstanceHandle(), modulePath, MAX_PATH);
    CString path = modulePath;
    int nameStart = path.ReverseFind(L'\\') + 1;
    int dot = path.ReverseFind(L'.');
    CString title = dot > nameStart ? path.Mid(nameStart, dot - nameStart) : path.Mid(nameStart);
    if (!m_pszExeName)
        ReplaceText(m_pszExeName, title);
    if (!m_pszAppName) {
        CString name;
        ReplaceText(m_pszAppName, name.LoadString(kAppTitleStringId) ? name.GetString() : m_pszExeName);
    }
    if (!m_pszHelpFilePath)
        ReplaceText(m_pszHelpFilePath, (dot > nameStart ? path.Left(dot) : path) + L".HLP");
    if (!m_pszProfileName)
        ReplaceText(m_pszProfileName, CString(m_pszExeName) + L".INI");
    AfxGetModuleState()->m_lpszCurrentAppName = m_pszAppName;
}

BOOL AFXAPI AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow)
{
    (void)hPrevInstance;
    AFX_MODULE_STATE* module = AfxGetModuleState();
    module->m_hCurrentInstanceHandle = hInstance;
    if (!module->m_hCurrentResourceHandle)
        module->m_hCurrentResourceHandle = hInstance;
    if (CWinApp* app = AfxGetApp()) {
        app->m_hInstance = hInstance;
        app->m_lpCmdLine = lpCmdLine;
        app->m_nCmdShow = nCmdShow;
        app->SetCurrentHandles();
    }
    return TRUE;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv)
        return;
    for (int i = 1; i < argc; ++i) {
        const wchar_t* param = argv[i];
        BOOL flag = param[0] == L'-' || param[0] == L'/';
        rCmdInfo.ParseParam(flag ? param + 1 : param, flag, i == argc - 1);
    }
    ::LocalFree(argv);
}

void CWinApp::SetRegistryKey(LPCWSTR lpszRegistryKey)
{
    ReplaceText(m_pszRegistryKey, lpszRegistryKey);
    ReplaceText(m_pszProfileName, m_pszAppName);
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    key.LoadString(nIDRegistryKey);
    SetRegistryKey(key);
}

HKEY CWinApp::GetAppRegistryKey()
{
    if (!m_pszRegistryKey || !*m_pszRegistryKey || !m_pszProfileName || !*m_pszProfileName)
        return nullptr;
    RegistryKey software, company, app;
    DWORD disposition = 0;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ | KEY_WRITE, software.Out()) != ERROR_SUCCESS)
        return nullptr;
    if (::RegCreateKeyExW(software.Get(), m_pszRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                          nullptr, company.Out(), &disposition) != ERROR_SUCCESS)
        return nullptr;
    if (::RegCreateKeyExW(company.Get(), m_pszProfileName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                          nullptr, app.Out(), &disposition) != ERROR_SUCCESS)
        return nullptr;
    return app.Release();
}

HKEY CWinApp::GetSectionKey(LPCWSTR lpszSection)
{
    if (!lpszSection)
        return nullptr;
    RegistryKey app(GetAppRegistryKey());
    if (!app.Get())
        return nullptr;
    RegistryKey section;
    DWORD disposition = 0;
    if (::RegCreateKeyExW(app.Get(), lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                          section.Out(), &disposition) != ERROR_SUCCESS)
        return nullptr;
    return section.Release();
}

LONG CWinApp::DelRegTree(HKEY hParentKey, const CString& strKeyName)
{
    // An empty name would make the parent itself the key to delete.
    if (!hParentKey || strKeyName.IsEmpty())
        return ERROR_INVALID_PARAMETER;
    RegistryKey key;
    LONG result = ::RegOpenKeyExW(hParentKey, strKeyName, 0, KEY_READ | KEY_WRITE | DELETE, key.Out());
    if (result != ERROR_SUCCESS)
        return result;
    // Children first; always enumerate index 0 since each deletion shifts the rest down.
    for (;;) {
        wchar_t child[256];
        DWORD length = 256;
        if (::RegEnumKeyExW(key.Get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        result = DelRegTree(key.Get(), child);
        if (result != ERROR_SUCCESS)
            return result;
    }
    ::RegCloseKey(key.Release());
    return ::RegDeleteKeyW(hParentKey, strKeyName);
}

UINT CWinApp::GetProfileInt(LPCWSTR lpszSection, LPCWSTR lpszEntry, int nDefault)
{
    if (m_pszRegistryKey) {
        RegistryKey section(GetSectionKey(lpszSection));
        DWORD value = 0, type = 0, size = sizeof(value);
        if (section.Get() &&
            ::RegQueryValueExW(section.Get(), lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD)
            return value;
        return static_cast<UINT>(nDefault);
    }
    if (!m_pszProfileName)
        return static_cast<UINT>(nDefault);
    return ::GetPrivateProfileIntW(lpszSection, lpszEntry, nDefault, m_pszProfileName);
}

BOOL CWinApp::WriteProfileInt(LPCWSTR lpszSection, LPCWSTR lpszEntry, int nValue)
{
    if (m_pszRegistryKey) {
        RegistryKey section(GetSectionKey(lpszSection));
        DWORD value = static_cast<DWORD>(nValue);
        return section.Get() && ::RegSetValueExW(section.Get(), lpszEntry, 0, REG_DWORD,
                                                 reinterpret_cast<const BYTE*>(&value), sizeof(value)) == ERROR_SUCCESS;
    }
    CString text;
    text.Format(L"%d", nValue);
    return WriteProfileString(lpszSection, lpszEntry, text);
}

CString CWinApp::GetProfileString(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPCWSTR lpszDefault)
{
    if (!lpszDefault)
        lpszDefault = L"";
    if (m_pszRegistryKey) {
        RegistryKey section(GetSectionKey(lpszSection));
        DWORD type = 0, size = 0;
        if (!section.Get() ||
            ::RegQueryValueExW(section.Get(), lpszEntry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            type != REG_SZ)
            return lpszDefault;
        CString value;
        int chars = static_cast<int>(size / sizeof(wchar_t));
        wchar_t* buffer = value.GetBuffer(chars + 1);
        if (::RegQueryValueExW(section.Get(), lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size) !=
            ERROR_SUCCESS) {
            value.ReleaseBuffer(0);
            return lpszDefault;
        }
        buffer[std::min<int>(chars, static_cast<int>(size / sizeof(wchar_t)))] = L'\0';
        value.ReleaseBuffer();
        return value;
    }
    if (!m_pszProfileName)
        return lpszDefault;
    // Windows reports a value cut to the buffer as size - 1 characters: grow until it fits.
    CString value;
    for (DWORD size = 512;; size *= 2) {
        DWORD n = ::GetPrivateProfileStringW(lpszSection, lpszEntry, lpszDefault, value.GetBuffer(size), size,
                                             m_pszProfileName);
        if (n < size - 1 || size >= (1u << 24)) {
            value.ReleaseBuffer(static_cast<int>(n));
            return value;
        }
    }
}

BOOL CWinApp::WriteProfileString(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPCWSTR lpszValue)
{
    if (m_pszRegistryKey) {
        if (!lpszEntry) {
            RegistryKey app(GetAppRegistryKey());
            return app.Get() && DelRegTree(app.Get(), lpszSection) == ERROR_SUCCESS;
        }
        RegistryKey section(GetSectionKey(lpszSection));
        if (!section.Get())
            return FALSE;
        if (!lpszValue)
            return ::RegDeleteValueW(section.Get(), lpszEntry) == ERROR_SUCCESS;
        return ::RegSetValueExW(section.Get(), lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                static_cast<DWORD>((wcslen(lpszValue) + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    if (!m_pszProfileName)
        return FALSE;
    return ::WritePrivateProfileStringW(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
}

BOOL CWinApp::GetProfileBinary(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPBYTE* ppData, UINT* pBytes)
{
    if (!ppData || !pBytes)
        return FALSE;
    *ppData = nullptr;
    *pBytes = 0;
    if (m_pszRegistryKey) {
        RegistryKey section(GetSectionKey(lpszSection));
        DWORD type = 0, size = 0;
        if (!section.Get() ||
            ::RegQueryValueExW(section.Get(), lpszEntry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            type != REG_BINARY || size == 0)
            return FALSE;
        std::unique_ptr<BYTE[]> data(new BYTE[size]);
        if (::RegQueryValueExW(section.Get(), lpszEntry, nullptr, &type, data.get(), &size) != ERROR_SUCCESS)
            return FALSE;
        *ppData = data.release();
        *pBytes = size;
        return TRUE;
    }
    CString text = GetProfileString(lpszSection, lpszEntry, nullptr);
    int length = text.GetLength();
    if (length == 0 || length % 2 != 0)
        return FALSE;
    std::unique_ptr<BYTE[]> data(new BYTE[length / 2]);
    for (int i = 0; i < length; i += 2) {
        int high = HexValue(text[i]), low = HexValue(text[i + 1]);
        if (high < 0 || low < 0)
            return FALSE;
        data[i / 2] = static_cast<BYTE>(high << 4 | low);
    }
    *ppData = data.release();
    *pBytes = static_cast<UINT>(length / 2);
    return TRUE;
}

BOOL CWinApp::WriteProfileBinary(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPBYTE pData, UINT nBytes)
{
    if (!pData && nBytes > 0)
        return FALSE;
    if (m_pszRegistryKey) {
        RegistryKey section(GetSectionKey(lpszSection));
        return section.Get() &&
               ::RegSetValueExW(section.Get(), lpszEntry, 0, REG_BINARY, pData, nBytes) == ERROR_SUCCESS;
    }
    CString text;
    wchar_t* p = text.GetBufferSetLength(static_cast<int>(nBytes * 2));
    for (UINT i = 0; i < nBytes; ++i) {
        p[2 * i] = kHexDigits[pData[i] >> 4];
        p[2 * i + 1] = kHexDigits[pData[i] & 0xF];
    }
    text.ReleaseBuffer(static_cast<int>(nBytes * 2));
    return WriteProfileString(lpszSection, lpszEntry, text);
}

void CWinApp::DoWaitCursor(int nCode)
{
    StepWaitCursor(nCode, m_nWaitCursorCount, m_hcurWaitCursorRestore);
}

int CWinApp::DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt)
{
    (void)nIDPrompt;
    // Without an icon of its own a prompt gets the one that fits its buttons.
    if ((nType & MB_ICONMASK) == 0) {
        UINT buttons = nType & MB_TYPEMASK;
        if (buttons == MB_OK || buttons == MB_OKCANCEL)
            nType |= MB_ICONEXCLAMATION;
        else if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL)
            nType |= MB_ICONQUESTION;
    }
    // Owned by the main window's last active pop-up (a modal dialog, say), with the top-level
    // window disabled meanwhile; without a main window, by the active window.
    HWND top = nullptr;
    HWND owner = CWnd::GetSafeOwner_(nullptr, &top);
    if (!owner && (owner = ::GetActiveWindow()) != nullptr)
        owner = ::GetLastActivePopup(owner);
    int result = ::MessageBoxW(owner, lpszPrompt ? lpszPrompt : L"", m_pszAppName ? m_pszAppName : L"", nType);
    if (top)
        ::EnableWindow(top, TRUE);
    return result;
}

HCURSOR CWinApp::LoadCursor(LPCWSTR lpszResourceName) const
{
    return ::LoadCursorW(AfxFindResourceHandle(lpszResourceName, MAKEINTRESOURCEW(12)), lpszResourceName);
}

HICON CWinApp::LoadIcon(LPCWSTR lpszResourceName) const
{
    return ::LoadIconW(AfxFindResourceHandle(lpszResourceName, MAKEINTRESOURCEW(14)), lpszResourceName);
}

CWaitCursor::CWaitCursor()
{
    AfxDoWaitCursor(1);
}

CWaitCursor::~CWaitCursor()
{
    AfxDoWaitCursor(-1);
}

void CWaitCursor::Restore()
{
    AfxDoWaitCursor(0);
}
