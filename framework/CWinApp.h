// The application object: the main thread's CWinThread with the program's names, its settings
// (the "profile") and the wait cursor. One object of a CWinApp subclass exists per program;
// AfxGetApp returns it.
//
// Profile: with m_pszRegistryKey set (SetRegistryKey) the values live in the registry under
// HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section>; otherwise in the ini file
// m_pszProfileName (a bare name is looked up by Windows in its own folder, so programs give a
// full path). Binary values in the ini file are upper-case hexadecimal pairs.
// m_pszAppName, m_pszRegistryKey, m_pszProfileName, m_pszExeName and m_pszHelpFilePath are
// malloc'ed (_wcsdup): a program replacing one frees the old text with free().
#pragma once

#include "framework/CWinThread.h"
#include "framework/CString.h"
#include "framework/CCommandLineInfo.h"

class CDocTemplate;
class CDocManager;
class CDocument;
class CRecentFileList;
class CCmdUI;

class CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // Start-up: AfxWinInit has set the handles and names before these run.
    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    int Run() override;
    BOOL OnIdle(LONG lCount) override;
    int ExitInstance() override;

    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    // Registry profile under HKCU\Software\<key>\<application name>.
    void SetRegistryKey(LPCWSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);

    UINT GetProfileInt(LPCWSTR lpszSection, LPCWSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCWSTR lpszSection, LPCWSTR lpszEntry, int nValue);
    CString GetProfileString(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPCWSTR lpszDefault = nullptr);
    // A null entry removes the section, a null value the entry.
    BOOL WriteProfileString(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPCWSTR lpszValue);
    // *ppData is allocated with new[] (the caller delete[]s it); FALSE (null, 0) when the value is
    // missing, empty or not pairs of hexadecimal digits.
    BOOL GetProfileBinary(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
    BOOL WriteProfileBinary(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPBYTE pData, UINT nBytes);

    // Registry keys of the application and of a section (created when missing); null when the
    // profile is not in the registry. The caller closes them.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCWSTR lpszSection);
    // Deletes the key and everything below it; a Windows error code.
    LONG DelRegTree(HKEY hParentKey, const CString& strKeyName);

    // Wait cursor: 1 begins, -1 ends, 0 restores it after something changed the cursor.
    virtual void DoWaitCursor(int nCode);
    // The message box behind AfxMessageBox.
    virtual int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    HCURSOR LoadCursor(LPCWSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCEW(nIDResource)); }
    HCURSOR LoadStandardCursor(LPCWSTR lpszCursorName) const { return ::LoadCursorW(nullptr, lpszCursorName); }
    HICON LoadIcon(LPCWSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCEW(nIDResource)); }
    HICON LoadStandardIcon(LPCWSTR lpszIconName) const { return ::LoadIconW(nullptr, lpszIconName); }

    // Sets the names that AfxWinInit would leave empty (application, executable, ini file, help).
    void SetCurrentHandles();

    // ---- documents (through the document manager, made on first use)
    void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    // Null on failure (the user has been told).
    virtual CDocument* OpenDocumentFile(LPCWSTR lpszFileName);
    virtual void AddToRecentFileList(LPCWSTR lpszPathName);
    virtual BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);
    int GetOpenDocumentCount();
    // The recent-file list (section "Recent File List", entries "File1".., nMaxMRU of them) and
    // the number of preview pages from the profile.
    virtual void LoadStdProfileSettings(UINT nMaxMRU = 4);

    // Command handlers a program puts in its own map (ID_FILE_NEW, ID_FILE_OPEN).
    afx_msg void OnFileNew();
    afx_msg void OnFileOpen();
    // In the base map: ID_APP_EXIT closes the main window; the recent-file items.
    afx_msg void OnAppExit();
    afx_msg void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);
    afx_msg BOOL OnOpenRecentFile(UINT nID);

    CDocManager* m_pDocManager = nullptr;
    CRecentFileList* m_pRecentFileList = nullptr;
    UINT m_nNumPreviewPages = 0;

    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCWSTR m_pszAppName = nullptr;
    LPCWSTR m_pszRegistryKey = nullptr;
    LPCWSTR m_pszProfileName = nullptr;
    LPCWSTR m_pszExeName = nullptr;
    LPCWSTR m_pszHelpFilePath = nullptr;

protected:
    int m_nWaitCursorCount = 0;
    HCURSOR m_hcurWaitCursorRestore = nullptr;

    DECLARE_MESSAGE_MAP()
};

// Sets up the application object for this module's instance (handles, command line, names).
BOOL AFXAPI AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
// The body of a GUI program's wWinMain (framework/AppModule.cpp): AfxWinInit, then the application
// object's InitApplication and InitInstance, then Run, whose result is the exit code. When
// InitInstance fails, the main window (if any) is destroyed and ExitInstance gives the exit code.
int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);

// The application's wait cursor (CWinApp::DoWaitCursor), counted; kept by the framework itself
// where there is no application object.
void AFXAPI AfxDoWaitCursor(int nCode);

// The wait cursor for the lifetime of the object.
class CWaitCursor
{
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    // Shows the wait cursor again after something (a message box) replaced it.
    void Restore();
};
