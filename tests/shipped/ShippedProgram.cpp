#include "ShippedProgram.h"

#include "common/RealInput.h"
#include "common/ScratchFolder.h"
#include "common/WindowTestUtil.h"

#include <shlwapi.h>

namespace {

std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    PathRemoveFileSpecW(path);
    return path;
}

std::wstring ProgramToTest()
{
    wchar_t other[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VYX_SHIPPED_PROGRAM", other, MAX_PATH))
        return other;
    return ModuleFolder() + L"\\..\\bin\\Vyx.exe";
}

struct Search
{
    DWORD process;
    std::set<HWND>* found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && IsWindowVisible(window))
        search->found->insert(window);
    return TRUE;
}

} // namespace

bool HasClass(HWND window, const wchar_t* className)
{
    wchar_t name[64] = {};
    return GetClassNameW(window, name, 64) && lstrcmpiW(name, className) == 0;
}

std::string Utf8(const std::wstring& text)
{
    std::string out(text.size() * 3 + 1, '\0');
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0],
                                           static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(length > 0 ? length : 0);
    return out;
}

std::wstring WindowText(HWND window)
{
    return TextOf(window).GetString();
}

ShippedProgram::ShippedProgram() : m_scratch(new ScratchFolder(L"shipped"))
{
    m_folder = *m_scratch / L"program";
    CreateDirectoryW(m_folder.c_str(), nullptr);
    const std::wstring source = ProgramToTest();
    wchar_t sourceFolder[MAX_PATH] = {};
    lstrcpynW(sourceFolder, source.c_str(), MAX_PATH);
    PathRemoveFileSpecW(sourceFolder);
    const std::wstring exe = m_folder + L"\\Vyx.exe";
    if (!CopyFileW(source.c_str(), exe.c_str(), FALSE) ||
        ScratchFolder::ReadFile(exe) != ScratchFolder::ReadFile(source)) {
        m_problem = L"the program could not be copied from " + source;
        m_folder.clear();
        return;
    }
    // Its plug-ins and the sample catalog definition lie beside it, as in the build.
    bool jpegReader = false;
    for (const wchar_t* pattern : {L"\\*.spi", L"\\*.kwm"}) {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((std::wstring(sourceFolder) + pattern).c_str(), &found);
        for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found)) {
            if (CopyFileW((std::wstring(sourceFolder) + L"\\" + found.cFileName).c_str(),
                          (m_folder + L"\\" + found.cFileName).c_str(), FALSE) &&
                lstrcmpiW(found.cFileName, L"vyx_jpeg.spi") == 0)
                jpegReader = true;
        }
        if (find != INVALID_HANDLE_VALUE)
            FindClose(find);
    }
    if (!jpegReader) {
        m_problem = L"the program's JPEG reader could not be copied";
        m_folder.clear();
    }
}

ShippedProgram::~ShippedProgram()
{
    if (m_process) {
        if (WaitForSingleObject(m_process, 0) != WAIT_OBJECT_0) {
            TerminateProcess(m_process, 1);
            WaitForSingleObject(m_process, 60000);
        }
        CloseHandle(m_process);
    }
    if (m_job)
        CloseHandle(m_job);
}

std::wstring ShippedProgram::Scratch() const
{
    return m_scratch->Path();
}

bool ShippedProgram::WriteSetting(const wchar_t* section, const wchar_t* key, const std::wstring& value) const
{
    return !m_folder.empty() &&
           WritePrivateProfileStringW(section, key, value.c_str(), (m_folder + L"\\Vyx.ini").c_str());
}

bool ShippedProgram::Start(const std::wstring& startFolder)
{
    if (m_folder.empty() || m_process)
        return false;
    std::wstring line = L"\"" + m_folder + L"\\Vyx.exe\" \"" + startFolder + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, m_folder.c_str(), &startup, &info)) {
        m_problem = L"the program could not be started";
        return false;
    }
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_id = info.dwProcessId;
    // Should this test program end first, the job ends the program with it.
    m_job = CreateJobObjectW(nullptr, nullptr);
    if (m_job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        AssignProcessToJobObject(m_job, m_process);
    }
    WaitUntil(
        [&] {
            m_main = ShownMainWindowOf(m_id);
            return m_main || !Running();
        },
        120000);
    if (!m_main)
        m_problem = Running()
                        ? L"the main window did not show"
                        : L"the program ended before its window showed (exit code " + std::to_wstring(ExitCode()) +
                              L"; a program started earlier in this session takes over a second start)";
    return m_main != nullptr;
}

bool ShippedProgram::Running() const
{
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

DWORD ShippedProgram::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_process)
        GetExitCodeProcess(m_process, &code);
    return code;
}

bool ShippedProgram::Answers(DWORD boundMs) const
{
    DWORD_PTR result = 0;
    return Running() && IsWindow(m_main) &&
           SendMessageTimeoutW(m_main, WM_NULL, 0, 0, SMTO_NORMAL, boundMs, &result) != 0;
}

bool ShippedProgram::Close()
{
    if (!Running())
        return false;
    if (!PressKey(m_main, VK_F4, VK_MENU))
        return false;
    return WaitForSingleObject(m_process, 60000) == WAIT_OBJECT_0;
}

void ShippedProgram::End()
{
    if (!Running())
        return;
    TerminateProcess(m_process, 1);
    WaitForSingleObject(m_process, 60000);
}

std::set<HWND> ShippedProgram::Windows() const
{
    std::set<HWND> found;
    Search search = {m_id, &found};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return found;
}

HWND ShippedProgram::WaitForNewWindow(const std::set<HWND>& before, const std::function<bool(HWND)>& match,
                                      DWORD boundMs) const
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : Windows())
                if (!before.count(window) && match(window)) {
                    found = window;
                    return true;
                }
            return !Running();
        },
        boundMs);
    return found;
}

bool ShippedProgram::WaitUntilGone(HWND window, DWORD boundMs) const
{
    // Destroyed, not only hidden: a modal loop hides its dialog before it ends, and input given
    // in between would go to the dialog that is ending.
    return WaitUntil([&] { return !IsWindow(window) || !Running(); }, boundMs) && Running();
}

bool ShippedProgram::BringToFront(HWND window) const
{
    HWND top = GetAncestor(window, GA_ROOT);
    return WaitUntil(
        [&] {
            if (GetForegroundWindow() == top)
                return true;
            SetForegroundWindow(top);
            return false;
        },
        30000);
}

bool ShippedProgram::PressKey(HWND window, WORD vk, WORD modifier) const
{
    if (!BringToFront(window))
        return false;
    SendKey(vk, modifier);
    return true;
}

bool ShippedProgram::TypeText(HWND window, const wchar_t* text) const
{
    if (!BringToFront(window))
        return false;
    SendText(text);
    return true;
}

bool ShippedProgram::ClickWindow(HWND window, int clicks) const
{
    RECT rect = {};
    GetClientRect(window, &rect);
    if (!BringToFront(window))
        return false;
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(window, &centre);
    SendClick(centre, MOUSEEVENTF_LEFTDOWN, clicks);
    return true;
}

bool ShippedProgram::ClickAt(HWND window, POINT client, bool rightButton) const
{
    if (!BringToFront(window))
        return false;
    ClientToScreen(window, &client);
    SendClick(client, rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    return true;
}

bool ShippedProgram::MoveTo(HWND window, POINT client) const
{
    if (!BringToFront(window))
        return false;
    ClientToScreen(window, &client);
    SendMouse(client, 0);
    return true;
}

bool ShippedProgram::AskRect(HWND control, UINT message, WPARAM wParam, RECT& rect) const
{
    if (!Running())
        return false;
    void* remote = VirtualAllocEx(m_process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    if (!remote)
        return false;
    SIZE_T moved = 0;
    DWORD_PTR answer = 0;
    bool ok =
        WriteProcessMemory(m_process, remote, &rect, sizeof(rect), &moved) && moved == sizeof(rect) &&
        SendMessageTimeoutW(control, message, wParam, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 30000, &answer) &&
        answer && ReadProcessMemory(m_process, remote, &rect, sizeof(rect), &moved) && moved == sizeof(rect);
    VirtualFreeEx(m_process, remote, 0, MEM_RELEASE);
    return ok;
}
