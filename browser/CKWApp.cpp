#include "browser/CKWApp.h"

#include "browser/CAboutDlg.h"
#include "browser/CKWView.h"
#include "browser/CMainFrame.h"
#include "browser/InstanceHandOver.h"
#include "catalogue/FrameMessages.h"
#include "browser/ShellImageList.h"
#include "catalogue/CFileList.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/RetiredItems.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxFilexDraw.h"
#include "foundation/CCommandLineInfoEx.h"
#include "foundation/MessageBoxes.h"
#include "foundation/SettingsTable.h"
#include "foundation/ShellShortcut.h"
#include "foundation/VyxFieldParser.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxLog.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"
#include "foundation/WindowPlacement.h"
#include "image/codecs/VideoFile.h"
#include "image/plugins/Spi.h"
#include "res/resource.h"

#include <shellapi.h>

#include <clocale>
#include <cstdio>

const wchar_t CKWApp::kMutexName[] = L"{6B1C9E52-3F7A-4D2B-9C8E-51A7D0E4B9F3}";

namespace {

// How long a second start waits for the running instance's window, and for it to take a location.
const DWORD kHandOverBound = 30000;

const UINT kMenuImages258[] = {10124, 10125, 32774, 32773, 10005, 10006, 10009, 10126, 10007, 10112,
                               10085, 57607, 32772, 32771, 10168, 32793, 10113, 32782, 10207, 10010,
                               10195, 10170, 10072, 32779, 10110, 10048, 10243, 10257};
const UINT kMenuImages241[] = {10104, 10105, 10077, 57607, 10107, 10101, 10100, 10118, 10044,
                               10211, 10212, 10169, 10210, 10168, 10076, 10208, 10002, 32787,
                               32788, 32796, 32789, 32790, 10220, 10219, 10235, 10236, 10194};
const UINT kMenuImages243[] = {10074, 57600, 57601, 10115, 10116, 57635, 57634, 57637, 57643, 57664, 57669,
                               110,   111,   112,   113,   32777, 10015, 10014, 10106, 10030, 10047, 10082,
                               10083, 10084, 10092, 10111, 10122, 10188, 10189, 126,   127};

template <size_t N> void AddImages(VyxWinAppEx* app, CMap<UINT, UINT, int, int>& map, const UINT (&ids)[N], UINT bitmap)
{
    map.RemoveAll();
    for (size_t i = 0; i < N; ++i)
        map.SetAt(ids[i], static_cast<int>(i));
    app->AddMenuImages(map, bitmap, RGB(255, 0, 255));
}

} // namespace

BEGIN_MESSAGE_MAP(CKWApp, VyxWinAppEx)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
ON_COMMAND(ID_FILE_NEW, OnFileNew)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
ON_COMMAND(ID_HELP_ONLINE, OnHelpOnline)
ON_COMMAND(ID_HELP_REPORT, OnHelpReport)
END_MESSAGE_MAP()

CKWApp::CKWApp() {}

CKWApp::~CKWApp() {}

BOOL CKWApp::IsComCtlVersionSupported(DWORD dwPackedVersion)
{
    return dwPackedVersion >= 0x50051;
}

void CKWApp::RedirectProfile()
{
    SetRegistryKey(L"VYX");
    InitAppIniPath();
    free(const_cast<LPWSTR>(m_pszProfileName));
    m_pszProfileName = _wcsdup(theAppIni.GetPath());
    free(const_cast<LPWSTR>(m_pszRegistryKey));
    m_pszRegistryKey = nullptr;
}

BOOL CKWApp::ClaimSingleInstance(LPCWSTR lpszName, HANDLE* phMutex)
{
    // Created in one step: of two instances started together exactly one finds the name new.
    *phMutex = nullptr;
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, lpszName);
    DWORD error = ::GetLastError();
    if (!mutex)
        return TRUE;
    if (error == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return FALSE;
    }
    *phMutex = mutex;
    return TRUE;
}

CString CKWApp::ChooseFirstLocation(LPCWSTR lpszCommandLine)
{
    CString commandLine = lpszCommandLine ? lpszCommandLine : L"";
    commandLine.Trim();
    if (!commandLine.IsEmpty()) {
        // A command line of switches alone names no location: the program starts empty.
        CString field;
        for (int i = 0; GetFieldString(&field, commandLine, i, L' ') >= 0; ++i) {
            if (field.IsEmpty() || field[0] == L'/' || field[0] == L'-')
                continue;
            CString actual, path;
            GetActualPathName(actual, field);
            RemovePathSeparator(path, actual.IsEmpty() ? field : actual);
            return path;
        }
        return CString();
    }
    CString path;
    if (SettingsTable::ReadOne(&CKWDocSettings::RestoreFolder)) {
        GetAppIniString(path, L"KWDoc", L"LastPath", L"");
    } else {
        path = SettingsTable::ReadOne(&CKWDocSettings::HomeFolder);
        if (path == L"$(ExeDir)") {
            GetModuleFolder(path);
        } else if (path.IsEmpty()) {
            wchar_t current[MAX_PATH] = {};
            ::GetCurrentDirectoryW(MAX_PATH, current);
            path = current;
        }
    }
    if (!path.IsEmpty() && GetVolumeSerialNumber(path) == 0)
        path.Empty();
    return path;
}

HWND CKWApp::AwaitRunningInstance(LPCWSTR lpszName, HANDLE* phMutex, BOOL* pbClaimed)
{
    *pbClaimed = FALSE;
    // An instance started a moment before may still be making its window, or busy for a while.
    return InstanceHandOver::FindRunningWindow(
        kHandOverBound, [&] { return (*pbClaimed = ClaimSingleInstance(lpszName, phMutex)) != FALSE; });
}

BOOL CKWApp::HandOverLocation(LPCWSTR lpszCommandLine, HWND hRunning)
{
    CString commandLine = lpszCommandLine ? lpszCommandLine : L"";
    commandLine.Trim();
    // Without one the running instance is left as it is.
    const CString named = commandLine.IsEmpty() ? CString() : ChooseFirstLocation(commandLine);
    if (named.IsEmpty())
        return FALSE;
    // A relative path is this start's: made full here, in its current folder.
    CString path;
    GetFullPath(path, named);
    if (path.IsEmpty())
        path = named;
    if (::GetFileAttributesW(InstanceHandOver::DiskPart(path)) == INVALID_FILE_ATTRIBUTES) {
        ShowMessageBox(path + L"\n" + GetLastErrorText(), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return InstanceHandOver::SendLocation(hRunning, path, kHandOverBound);
}

void CKWApp::PlaceMainWindow(CWnd* pWnd, BOOL bMin, BOOL bMax)
{
    if (!pWnd || !pWnd->GetSafeHwnd())
        return;
    if (bMin || bMax) {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof(placement);
        pWnd->GetWindowPlacement(&placement);
        placement.flags = bMin ? 0 : WPF_RESTORETOMAXIMIZED;
        placement.showCmd = bMin ? SW_SHOWMINIMIZED : SW_SHOWMAXIMIZED;
        pWnd->SetWindowPlacement(&placement);
    } else {
        RestoreWindowPlacement(pWnd->GetSafeHwnd(), L"MainFrame");
    }
    // The bars' buttons take their states before the first paint, not at the first idle time,
    // which comes only after the plug-ins and the folder tree are loaded.
    pWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    pWnd->ShowWindow(SW_SHOW);
    pWnd->UpdateWindow();
}

CString CKWApp::GetPluginFolder()
{
    CString folder = SettingsTable::ReadOne(&CKWDocSettings::SPIDIR);
    if (folder.IsEmpty() || folder == L"$(ExeDir)")
        GetModuleFolder(folder);
    return folder;
}

CString CKWApp::GetPluginPattern()
{
    CString pattern;
    MakePath(pattern, nullptr, GetPluginFolder(), L"*.SPI", nullptr);
    return pattern;
}

void CKWApp::LoadPlugins()
{
    const CString pattern = GetPluginPattern();
    const CString set = SettingsTable::ReadOne(&CKWDocSettings::SPISet);
    theSPImapIndex.ScanPlugins(pattern, nullptr, set);
    theSPImapIndex.LoadPluginSet(set);
}

void CKWApp::RegisterMenuImages(VyxWinAppEx* pApp)
{
    if (!pApp)
        return;
    CMap<UINT, UINT, int, int> map(10);
    map.InitHashTable(17);
    AddImages(pApp, map, kMenuImages258, IDB_MAIN_TOOLBAR);
    AddImages(pApp, map, kMenuImages241, IDB_MENU_IMAGES_241);
    AddImages(pApp, map, kMenuImages243, IDB_MENU_IMAGES_243);
    map.RemoveAll();
}

void CKWApp::LoadMenuImages()
{
    RegisterMenuImages(this);
}

CString CKWApp::GetHomePage()
{
    CString address;
    address.LoadString(IDS_HOMEPAGE);
    return address;
}

BOOL CKWApp::InitInstance()
{
    _wsetlocale(LC_ALL, L"japanese");
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    if (!IsComCtlVersionSupported(GetComCtl32Version())) {
        ShowMessageBox(IDS_COMCTL_TOO_OLD);
        return FALSE;
    }
    if (!AfxOleInit()) {
        ShowMessageBox(IDS_OLE_INIT_FAILED);
        return FALSE;
    }
    AfxEnableControlContainer();
    CCommandLineInfoEx commandLine;
    ParseCommandLine(commandLine);
    RedirectProfile();
    StoreLogSettings();
    if (SettingsTable::ReadOne(&CKWDocSettings::MultiProcess) && !ClaimSingleInstance(kMutexName, &m_hMutex)) {
        // Started again while the last instance is still ending (its window already gone): this
        // start becomes the instance once that one has ended, instead of handing over to nobody.
        BOOL claimed = FALSE;
        HWND running = AwaitRunningInstance(kMutexName, &m_hMutex, &claimed);
        if (!claimed) {
            HandOverLocation(m_lpCmdLine, running);
            return FALSE;
        }
    }

    // The shell builds its icon lists on a thread of its own while the window is made; nothing
    // made before the first folder is listed wants them, and they are attached then.
    StartShellImageListPrefetch();

    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CKWDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CKWView)));
    CString option;
    BOOL minimized = commandLine.GetOption(L"min", option);
    BOOL maximized = !minimized && commandLine.GetOption(L"max", option);

    CString path = ChooseFirstLocation(m_lpCmdLine);
    // The frame shows once, at its own placement, after the document made it.
    m_nCmdShow = SW_HIDE;
    if (path.IsEmpty()) {
        OnFileNew();
    } else {
        CString target;
        ResolveShortcut(target, path);
        OpenDocumentFile(target.IsEmpty() ? path : target);
    }
    if (!m_pMainWnd)
        return FALSE;
    // The plug-ins are mapped on a thread while the window is laid out (their loading would hold
    // the window's own module loads while it is made); they are scanned, in their order, before
    // the first folder is listed.
    m_pluginPreload.Start(GetPluginPattern());
    AttachShellImageLists();
    LoadPlugins();
    m_pluginPreload.Finish();
    // The first folder is listed while the window is still hidden, so that its first paint is the
    // first screen (panes painted empty would be painted again at once); a listing that runs long
    // shows the window on its way, as it would have shown before.
    s_startShow = {m_pMainWnd, minimized, maximized, ::GetTickCount(), false};
    if (CFrameWnd* frame = DYNAMIC_DOWNCAST(CFrameWnd, m_pMainWnd)) {
        if (CKWDoc* doc = DYNAMIC_DOWNCAST(CKWDoc, frame->GetActiveDocument())) {
            m_treeRoot = doc->TreeRoot;
            struct Pulse
            {
                Pulse() { CFileList::SetScanPulse(&CKWApp::ShowWhenListingRunsLong); }
                ~Pulse() { CFileList::SetScanPulse(nullptr); }
            } pulse;
            doc->UpdateAllViews(nullptr, HintSettingsChanged, reinterpret_cast<CObject*>(&m_treeRoot));
        }
    }
    const HWND focus = ::GetFocus();
    ShowStartWindow();
    // The pane the settings gave the focus to keeps it once the window is active.
    if (focus && ::IsWindow(focus) && ::GetFocus() != focus && ::IsChild(m_pMainWnd->GetSafeHwnd(), focus))
        ::SetFocus(focus);
    return TRUE;
}

CKWApp::StartShow CKWApp::s_startShow;

void CKWApp::ShowStartWindow()
{
    if (s_startShow.shown || !s_startShow.window)
        return;
    s_startShow.shown = true;
    PlaceMainWindow(s_startShow.window, s_startShow.minimized, s_startShow.maximized);
}

void CKWApp::ShowWhenListingRunsLong()
{
    if (!s_startShow.shown && ::GetTickCount() - s_startShow.since >= kHiddenListingBound)
        ShowStartWindow();
}

void CKWApp::AttachShellImageLists()
{
    if (!m_largeImageList.GetSafeHandle())
        m_largeImageList.Attach(GetShellImageList(FALSE));
    VyxFilexDraw::SetLargeImageList(m_largeImageList.GetSafeHandle());
    if (!m_smallImageList.GetSafeHandle())
        m_smallImageList.Attach(GetShellImageList(TRUE));
    VyxFilexDraw::SetSmallImageList(m_smallImageList.GetSafeHandle());
    // The lists take the views' background colour the document's settings chose.
    if (CFrameWnd* frame = DYNAMIC_DOWNCAST(CFrameWnd, m_pMainWnd)) {
        if (CKWDoc* doc = DYNAMIC_DOWNCAST(CKWDoc, frame->GetActiveDocument()))
            doc->ApplyViewColours();
    }
}

BOOL CKWApp::OnIdle(LONG lCount)
{
    // The base's own idle work (command updates, freeing temporary objects) keeps its turns; the
    // frame's answer keeps idle time coming while a view has work left.
    BOOL more = VyxWinAppEx::OnIdle(lCount);
    if (m_pMainWnd && m_pMainWnd->GetSafeHwnd())
        more = m_pMainWnd->SendMessage(WMU_IDLESTEP, static_cast<WPARAM>(lCount), 0) != 0 || more;
    return more;
}

int CKWApp::ExitInstance()
{
    // Before another instance may start, and while what the writer uses still stands.
    theCacheList.FinishWriting();
    RetiredItems::Abandon();
    EndShellImageListPrefetch();
    m_pluginPreload.Finish();
    m_largeImageList.Detach();
    m_smallImageList.Detach();
    VyxFilexDraw::SetLargeImageList(nullptr);
    VyxFilexDraw::SetSmallImageList(nullptr);
    if (m_hMutex) {
        ::ReleaseMutex(m_hMutex);
        ::CloseHandle(m_hMutex);
        m_hMutex = nullptr;
    }
    // Started at the first video shown, if any.
    EndAviFileLibrary();
    return VyxWinAppEx::ExitInstance();
}

void CKWApp::OnAppAbout()
{
    CAboutDlg dialog;
    dialog.DoModal();
}

void CKWApp::OnHelpOnline()
{
    CString address = GetHomePage() + L"help/";
    ::ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWDEFAULT);
}

BOOL CKWApp::WriteProblemReport(LPCWSTR lpszPath)
{
    FILE* file = _wfopen(lpszPath, L"w");
    if (!file)
        return FALSE;
    wchar_t folder[MAX_PATH] = {};
    ::GetSystemDirectoryW(folder, MAX_PATH);
    CString system = folder;
    struct Line
    {
        const wchar_t* format;
        CString path;
    };
    const Line lines[] = {{L"Vesko    Version %s", CString()},
                          {L"Windows  Version %s", system + L"\\KERNEL32.DLL"},
                          {L"COMCTL32 Version %s", system + L"\\COMCTL32.DLL"},
                          {L"SHELL32  Version %s", system + L"\\SHELL32.DLL"}};
    CString report;
    for (const Line& line : lines) {
        CString version;
        GetVersionInfoString(version, line.path.IsEmpty() ? nullptr : static_cast<LPCWSTR>(line.path), L"FileVersion");
        CString text;
        text.Format(line.format, static_cast<LPCWSTR>(version));
        report += text + L"\n";
    }
    report += CString(L'-', 70) + L"\n";
    report += L"要望or問題点を書いてWeb上のメール送信フォームにコピーして送信ください\n";
    // The process's code page, as the platform's text files are; the file's text mode ends lines.
    CStringA bytes(report);
    fputs(bytes, file);
    fclose(file);
    return TRUE;
}

void CKWApp::OnHelpReport()
{
    CString path;
    MakeModulePath(path, L"$report.txt");
    WriteProblemReport(path);
    ::ShellExecuteW(nullptr, L"open", path, nullptr, nullptr, SW_SHOWDEFAULT);
}
