#include "WindowWalk.h"

#include "common/ControlTestUtil.h"
#include "common/RealInput.h"
#include "common/WindowTestUtil.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A window or dialog appears within this bound on a loaded machine; one that does not has failed.
const DWORD kWindowBound = 60000;
// One that has not appeared within this bound is asked for again (see Open).
const DWORD kRetryBound = 20000;

bool IsMenu(HWND window)
{
    return HasClass(window, L"#32768");
}

BOOL CALLBACK TakeDescendant(HWND child, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(child);
    return TRUE;
}

std::vector<HWND> DescendantsOf(HWND window)
{
    std::vector<HWND> found;
    EnumChildWindows(window, &TakeDescendant, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

bool IsDialog(HWND window)
{
    return HasClass(window, L"#32770");
}

bool IsWindowOfItsOwn(HWND window)
{
    return IsDialog(window) || (!IsMenu(window) && (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION);
}

WindowWalk::WindowWalk(const std::wstring& pictures, const std::vector<Setting>& settings,
                       std::function<void(ShippedProgram&)> prepare)
    : m_pictures(pictures), m_settings(settings), m_prepare(prepare)
{
}

ShippedProgram& WindowWalk::Program()
{
    if (m_program && (m_program->Running() || m_program->Main() == nullptr))
        return *m_program;
    if (m_program && !m_ended)
        Fail(L"the program ended (exit code " + std::to_wstring(m_program->ExitCode()) + L"); started again");
    m_ended = false;
    m_program.reset(new ShippedProgram);
    for (const Setting& setting : m_settings)
        m_program->WriteSetting(setting.section, setting.key, setting.value);
    if (!m_program->Start(m_pictures)) {
        Fail(L"the program did not start: " + m_program->Problem());
    } else {
        Record(m_program->Main(), L"the main window");
        if (m_prepare)
            m_prepare(*m_program);
    }
    return *m_program;
}

void WindowWalk::Fail(const std::wstring& text)
{
    m_failures.push_back(text);
    // What the screen showed, for whoever reads the failure later.
    const std::wstring shot =
        std::wstring(VYX_SHIPPED_OUTPUT) + L"\\failure-" + std::to_wstring(m_failures.size()) + L".bmp";
    CreateDirectoryW(VYX_SHIPPED_OUTPUT, nullptr);
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const bool saved = SaveScreenBitmap(screen, shot.c_str());
    ADD_FAILURE() << Utf8(text) << (saved ? " (the screen: " + Utf8(shot) + ")" : std::string());
}

HWND WindowWalk::Open(const std::wstring& what, const std::function<bool(ShippedProgram&)>& input,
                      const std::function<bool(HWND)>& match)
{
    ShippedProgram& program = Program();
    m_step = what;
    const std::set<HWND> before = program.Windows();
    // Under Wine a menu the X server's late focus news cancels can take an entry key with it the
    // moment it arrives: nothing opens, or the entry's key reaches the main window and opens what
    // it stands for there (the move dialog for "M"). The input is given again, after such a dialog
    // is cancelled, and counted.
    auto opened = [&] {
        std::vector<HWND> windows;
        for (HWND shown : program.Windows())
            if (!before.count(shown) && IsWindowOfItsOwn(shown))
                windows.push_back(shown);
        return windows;
    };
    HWND window = nullptr;
    for (int attempt = 0; attempt < 3 && !window; ++attempt) {
        if (attempt) {
            for (HWND stray : opened()) {
                if (!IsDialog(stray))
                    break;
                if (!IsWindow(stray))
                    continue;
                const std::wstring instead = what + L": \"" + WindowText(stray) + L"\" opened instead";
                printf("%s; it is cancelled\n", Utf8(instead).c_str());
                if (!Close(stray, instead))
                    return nullptr;
            }
            if (!opened().empty() || !program.Running())
                break;
            for (int left = 0; left < 4 && WaitForMenu(1, 0); ++left)
                SendKey(VK_ESCAPE);
            ++m_menuInputRepeated;
            printf("%s: no window opened; the input is given again\n", Utf8(what).c_str());
        }
        if (!input(program)) {
            Fail(what + L": the input could not be given");
            StartAfresh();
            return nullptr;
        }
        window = program.WaitForNewWindow(before, match ? match : IsWindowOfItsOwn,
                                          attempt < 2 ? kRetryBound : kWindowBound);
    }
    if (!window) {
        Fail(what + (program.Running() ? L": no window opened" : L": the program ended instead"));
        StartAfresh();
        return nullptr;
    }
    // Ready once its controls are made and it holds the focus (a dialog takes it as its set-up
    // ends): keys given before would go elsewhere. Pop-ups that take no focus wait out the bound.
    WaitUntil(
        [&] {
            HWND focus = FocusOfThread(window);
            return (!DescendantsOf(window).empty() && (focus == window || IsChild(window, focus))) ||
                   !program.Running();
        },
        IsDialog(window) ? 30000 : 3000);
    ++m_opened;
    printf("opened: %s: \"%s\"\n", Utf8(what).c_str(), Utf8(WindowText(window)).c_str());
    Record(window, what);
    return window;
}

bool WindowWalk::WaitForMenu(int depth, DWORD boundMs)
{
    ShippedProgram& program = Program();
    // Shown, and its loop running (the thread says it is in a menu): keys given before the loop
    // runs would go to the window under it.
    return WaitUntil(
               [&] {
                   int menus = 0;
                   HWND one = nullptr;
                   for (HWND window : program.Windows())
                       if (IsMenu(window)) {
                           ++menus;
                           one = window;
                       }
                   GUITHREADINFO thread = {};
                   thread.cbSize = sizeof(thread);
                   const bool looping = one && GetGUIThreadInfo(GetWindowThreadProcessId(one, nullptr), &thread) &&
                                        (thread.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE));
                   return (menus >= depth && looping) || !program.Running();
               },
               boundMs) &&
           program.Running();
}

bool WindowWalk::OpenMenu(const std::function<bool()>& input)
{
    // Input given the moment a window has closed is at times not taken at all (the menu never
    // opens, and the program shows nothing): it is given again, and counted.
    ShippedProgram& program = Program();
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!input())
            return false;
        if (WaitForMenu(1, attempt < 2 ? 15000 : kWindowBound))
            return true;
        if (!program.Running())
            return false;
        ++m_menuInputRepeated;
        printf("%s: no menu opened; the input is given again\n", Utf8(m_step).c_str());
    }
    return false;
}

bool WindowWalk::ChooseFromMenu(const std::function<bool()>& input, const std::vector<WORD>& keys)
{
    // Under Wine a focus change the X server reports late (after a dialog closed) cancels a menu
    // that has just opened; an entry key given then would reach the window's accelerators. Each
    // key goes only to a menu still open, and a menu that closed is opened again, and counted.
    ShippedProgram& program = Program();
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!OpenMenu(input))
            return false;
        int depth = 1;
        bool given = true;
        for (WORD key : keys) {
            if (key == kSubMenu ? !WaitForMenu(++depth, 15000) : !WaitForMenu(depth, 2000)) {
                given = false;
                break;
            }
            if (key != kSubMenu)
                SendKey(key);
        }
        if (given)
            return true;
        if (!program.Running())
            return false;
        ++m_menuInputRepeated;
        printf("%s: the menu closed before its keys; it is opened again\n", Utf8(m_step).c_str());
        // What is left of the menus closed before the next try.
        for (int left = 0; left < 4 && WaitForMenu(1, 0); ++left)
            SendKey(VK_ESCAPE);
    }
    return false;
}

bool WindowWalk::ChooseFromMenuBar(HWND window, WORD menuKey, const std::vector<WORD>& keys)
{
    ShippedProgram& program = Program();
    // The pointer left over the menu bar (where a closed dialog's button was) would take the
    // keyboard's menu over to the bar's button under it as the menu opens, as hot tracking does:
    // the entry key would then choose in another menu. It rests at the foot of the window.
    RECT client = {};
    GetClientRect(window, &client);
    if (!program.MoveTo(window, {client.right / 2, client.bottom - 2}))
        return false;
    return ChooseFromMenu([&] { return program.PressKey(window, menuKey, VK_MENU); }, keys);
}

HWND WindowWalk::OpenFromMenuBar(const std::wstring& what, HWND window, WORD menuKey, const std::vector<WORD>& keys,
                                 const std::function<bool(HWND)>& match)
{
    return Open(
        what, [&](ShippedProgram&) { return ChooseFromMenuBar(window, menuKey, keys); }, match);
}

HWND WindowWalk::OpenFromContextMenu(const std::wstring& what, HWND window, POINT client, const std::vector<WORD>& keys,
                                     const std::function<bool(HWND)>& match)
{
    return Open(
        what,
        [&](ShippedProgram& program) {
            return ChooseFromMenu([&] { return program.ClickAt(window, client, true); }, keys);
        },
        match);
}

HWND WindowWalk::OpenFromButton(const std::wstring& what, HWND button, const std::function<bool(HWND)>& match)
{
    if (!button) {
        Fail(what + L": the dialog has no such button");
        return nullptr;
    }
    return Open(
        what, [&](ShippedProgram& program) { return program.ClickWindow(button); }, match);
}

HWND WindowWalk::OpenFromButton(const std::wstring& what, HWND dialog, int buttonId,
                                const std::function<bool(HWND)>& match)
{
    return OpenFromButton(what, dialog ? GetDlgItem(dialog, buttonId) : nullptr, match);
}

void WindowWalk::StartAfresh()
{
    // A window left open would take the next steps' input: the next step starts a new program.
    if (m_program && m_program->Running()) {
        m_program->End();
        m_ended = true;
    }
}

bool WindowWalk::Close(HWND window, const std::wstring& what, WORD key)
{
    // A window gone with a program that ended has been told already.
    if (!window || !IsWindow(window))
        return false;
    return CloseWith(window, what, Program().PressKey(window, key));
}

bool WindowWalk::CloseWithButton(HWND window, const std::wstring& what, int buttonId)
{
    if (!window || !IsWindow(window))
        return false;
    HWND button = GetDlgItem(window, buttonId);
    return CloseWith(window, what, button && Program().ClickWindow(button));
}

bool WindowWalk::CloseWith(HWND window, const std::wstring& what, bool given)
{
    ShippedProgram& program = Program();
    if (!given || !program.WaitUntilGone(window, kWindowBound)) {
        Fail(what + (program.Running() ? L": did not close" : L": the program ended as it closed"));
        StartAfresh();
        return false;
    }
    if (!program.Answers()) {
        Fail(what + L": the program does not answer after it closed");
        return false;
    }
    return true;
}

void WindowWalk::Record(HWND window, const std::wstring& what)
{
    // Every dialog in it (the window itself, its pages and bars) with the ids of its own controls.
    std::vector<HWND> dialogs = DescendantsOf(window);
    dialogs.insert(dialogs.begin(), window);
    for (HWND dialog : dialogs) {
        if (dialog != window && !IsDialog(dialog))
            continue;
        SeenDialog seen;
        seen.what = what;
        seen.text = WindowText(dialog);
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            seen.controls.insert(GetDlgCtrlID(child));
        m_seen.push_back(seen);
    }
}

std::set<WORD> WindowWalk::SeenResources(const std::vector<DialogResource>& resources) const
{
    std::set<WORD> found = m_recognised;
    for (const SeenDialog& seen : m_seen) {
        // The resources whose every control it holds, the fullest first.
        size_t most = 0;
        std::vector<const DialogResource*> fitting;
        for (const DialogResource& resource : resources) {
            if (resource.controls.empty())
                continue;
            bool all = true;
            for (int id : resource.controls)
                all = all && seen.controls.count(id);
            if (!all || resource.controls.size() < most)
                continue;
            if (resource.controls.size() > most)
                fitting.clear();
            most = resource.controls.size();
            fitting.push_back(&resource);
        }
        // Resources alike in their controls are told apart by their caption.
        std::vector<const DialogResource*> named;
        for (const DialogResource* resource : fitting)
            if (resource->caption == seen.text)
                named.push_back(resource);
        for (const DialogResource* resource : named.empty() ? fitting : named)
            found.insert(resource->id);
    }
    return found;
}
