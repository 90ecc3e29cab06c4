#include "common/WindowTestUtil.h"

#include <commctrl.h>

#include <vector>

void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

CString TextOf(HWND hWnd)
{
    // WM_GETTEXT works across threads, GetWindowText would not for other processes' controls.
    const int length = static_cast<int>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
    CString text;
    wchar_t* buffer = text.GetBufferSetLength(length + 1);
    buffer[0] = 0;
    SendMessageW(hWnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(buffer));
    text.ReleaseBuffer();
    return text;
}

namespace {

struct FindData
{
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK FindWindowProc(HWND hWnd, LPARAM lParam)
{
    auto* data = reinterpret_cast<FindData*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(hWnd, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(hWnd) && (*data->match)(hWnd)) {
        data->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

bool IsDialogClass(HWND hWnd)
{
    wchar_t name[16];
    return GetClassNameW(hWnd, name, 16) && lstrcmpW(name, L"#32770") == 0;
}

} // namespace

HWND WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        FindData data = {&match, nullptr};
        EnumWindows(&FindWindowProc, reinterpret_cast<LPARAM>(&data));
        if (data.found)
            return data.found;
        if (GetTickCount() - start > timeoutMs)
            return nullptr;
        Sleep(20);
    }
}

HWND WaitForDialog(LPCWSTR caption, DWORD timeoutMs)
{
    CString wanted = caption;
    return WaitForWindow([&](HWND hWnd) { return IsDialogClass(hWnd) && TextOf(hWnd) == wanted; }, timeoutMs);
}

HWND WaitForMessageBox(CString* text, DWORD timeoutMs)
{
    // A message box is the dialog whose static text control has the id 0xFFFF.
    HWND box =
        WaitForWindow([](HWND hWnd) { return IsDialogClass(hWnd) && GetDlgItem(hWnd, 0xFFFF) != nullptr; }, timeoutMs);
    if (box && text)
        *text = TextOf(GetDlgItem(box, 0xFFFF));
    return box;
}

bool MessageBoxShowsWholeText(HWND box)
{
    RECT window = {}, control = {};
    GetWindowRect(box, &window);
    HWND text = GetDlgItem(box, 0xFFFF);
    GetClientRect(text, &control);
    const CString all = TextOf(text);
    HDC dc = GetDC(text);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, control.right, 0};
    DrawTextW(dc, all, all.GetLength(), &needed, DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(text, dc);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return window.left >= work.left && window.top >= work.top && window.right <= work.right &&
           window.bottom <= work.bottom && needed.right <= control.right && needed.bottom <= control.bottom;
}

CString Joined(const CString& text)
{
    CString joined = text;
    joined.Replace(L"\r\n", L"");
    joined.Replace(L"\n", L"");
    joined.Replace(L"\r", L"");
    return joined;
}

SeenMessageBox LookAtMessageBox(const std::function<void()>& show, int button)
{
    SeenMessageBox seen;
    {
        HelperThread helper([&] {
            HWND box = WaitForMessageBox(&seen.text, 30000);
            if (!box)
                return;
            seen.seen = true;
            seen.whole = MessageBoxShowsWholeText(box);
            seen.caption = TextOf(box);
            GetWindowRect(box, &seen.rect);
            const auto font = reinterpret_cast<HFONT>(SendDlgItemMessageW(box, 0xFFFF, WM_GETFONT, 0, 0));
            GetObjectW(font ? font : GetStockObject(SYSTEM_FONT), sizeof(seen.font), &seen.font);
            PostMessageW(box, WM_COMMAND, button, 0);
            WaitUntil([&] { return !IsWindow(box); }, 30000);
        });
        show();
    }
    return seen;
}

void DismissMessageBox(CString* text)
{
    AnswerMessageBox(text, IDOK);
}

void AnswerMessageBox(CString* text, int button, DWORD timeoutMs)
{
    HWND box = WaitForMessageBox(text, timeoutMs);
    if (box)
        PostMessageW(box, WM_COMMAND, button, 0);
    WaitUntil([&] { return !IsWindow(box); }, timeoutMs);
}

namespace {

struct MainWindowSearch
{
    DWORD process;
    HWND found;
};

BOOL CALLBACK TakeMainWindow(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<MainWindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hWnd, &owner);
    if (owner != search->process || !IsWindowVisible(hWnd) || !(GetWindowLongW(hWnd, GWL_STYLE) & WS_CAPTION) ||
        GetWindow(hWnd, GW_OWNER))
        return TRUE;
    search->found = hWnd;
    return FALSE;
}

} // namespace

HWND ShownMainWindowOf(DWORD process)
{
    MainWindowSearch search = {process, nullptr};
    EnumWindows(&TakeMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FocusOfThread(HWND anyWindowOfThread)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info);
    return info.hwndFocus;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        PumpPending();
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

HelperThread::HelperThread(std::function<void()> script, DWORD timeoutMs)
    : m_done(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    HANDLE done = m_done;
    m_thread = std::thread([script, done, timeoutMs] {
        std::thread watchdog([done, timeoutMs] {
            if (WaitForSingleObject(done, timeoutMs) == WAIT_OBJECT_0)
                return;
            ADD_FAILURE() << "the helper script did not finish in time; cancelling the dialogs";
            std::function<bool(HWND)> anyDialog = [](HWND hWnd) {
                if (IsDialogClass(hWnd))
                    PostMessageW(hWnd, WM_COMMAND, IDCANCEL, 0);
                return false;
            };
            for (int i = 0; i < 50 && WaitForSingleObject(done, 100) != WAIT_OBJECT_0; ++i)
                WaitForWindow(anyDialog, 0);
        });
        script();
        SetEvent(done);
        watchdog.join();
    });
}

HelperThread::~HelperThread()
{
    // The test thread may have to keep pumping for the script to finish.
    while (WaitForSingleObject(m_done, 10) == WAIT_TIMEOUT)
        PumpPending();
    m_thread.join();
    CloseHandle(m_done);
}

CTestHostWnd::CTestHostWnd()
{
    LPCWSTR cls = AfxRegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    CreateEx(0, cls, L"テストの親", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300, nullptr, nullptr);
}

CTestHostWnd::~CTestHostWnd()
{
    DestroyWindow();
}

// The folder picker has reached a folder once its tree selects an item of that name.
bool TreeSelects(HWND dialog, const std::wstring& name)
{
    HWND tree = FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr);
    HTREEITEM item = tree ? TreeView_GetSelection(tree) : nullptr;
    if (!item)
        return false;
    wchar_t text[MAX_PATH] = {};
    TVITEMW data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = MAX_PATH;
    return TreeView_GetItem(tree, &data) && _wcsicmp(text, name.c_str()) == 0;
}
