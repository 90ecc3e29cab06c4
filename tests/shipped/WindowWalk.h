// A walk through the windows of the started program: each is opened with real input, recorded
// with the controls of every dialog in it, closed again, and the program asked whether it still
// answers. A program that ended on the way is started again on the same folder, so that one crash
// does not hide the windows after it.
#pragma once

#include "ProgramResources.h"
#include "ShippedProgram.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct Setting
{
    const wchar_t* section;
    const wchar_t* key;
    std::wstring value;
};

// One dialog seen: its text and the ids of its controls.
struct SeenDialog
{
    std::wstring what; // the step that opened it
    std::wstring text;
    std::set<int> controls;
};

class WindowWalk
{
public:
    // The program started on the folder with the settings written beside it first; `prepare`
    // runs after each start (a selection the steps need).
    WindowWalk(const std::wstring& pictures, const std::vector<Setting>& settings,
               std::function<void(ShippedProgram&)> prepare = {});

    ShippedProgram& Program();
    HWND Main() { return Program().Main(); }

    // Sends the input, waits for a new window that `match` takes (by default any window of its own:
    // a dialog or a captioned window) and records it; null, with a failure naming the step, when
    // none came or the program ended (the next step then starts a new program: a window that did
    // open instead would take its input).
    HWND Open(const std::wstring& what, const std::function<bool(ShippedProgram&)>& input,
              const std::function<bool(HWND)>& match = {});
    // Chooses an entry of a menu bar: Alt and the mnemonic of the menu, then the keys of the
    // entry, each sent once the menu it goes to is open; false when a menu did not open.
    bool ChooseFromMenuBar(HWND window, WORD menuKey, const std::vector<WORD>& keys);
    // The window an entry of a menu bar opens.
    HWND OpenFromMenuBar(const std::wstring& what, HWND window, WORD menuKey, const std::vector<WORD>& keys,
                         const std::function<bool(HWND)>& match = {});
    // The entry of a context menu opened by a right click at a point of a window.
    HWND OpenFromContextMenu(const std::wstring& what, HWND window, POINT client, const std::vector<WORD>& keys,
                             const std::function<bool(HWND)>& match = {});
    // A button of an open dialog clicked (the button, or its id in the dialog).
    HWND OpenFromButton(const std::wstring& what, HWND button, const std::function<bool(HWND)>& match = {});
    HWND OpenFromButton(const std::wstring& what, HWND dialog, int buttonId,
                        const std::function<bool(HWND)>& match = {});

    // Closes the window with a key (Esc by default) or by clicking a button of it, waits until it
    // is gone and checks that the program still answers.
    bool Close(HWND window, const std::wstring& what, WORD key = VK_ESCAPE);
    bool CloseWithButton(HWND window, const std::wstring& what, int buttonId);

    // Records what the window shows now (a page switched to, a bar).
    void Record(HWND window, const std::wstring& what);
    // Waits until `depth` menus show and the program's menu loop runs.
    bool WaitForMenu(int depth, DWORD boundMs = 60000);
    // Marks a window the walk recognised itself (one with no controls to tell it by).
    void Recognised(WORD dialogResource) { m_recognised.insert(dialogResource); }
    // Menu entries chosen: (menu resource, command id).
    void Chosen(WORD menu, UINT command) { m_chosen.insert({menu, command}); }

    int Opened() const { return m_opened; }
    // How often the input that opens a menu or a window had to be given again, or a menu that
    // closed before its keys was opened again.
    int MenuInputRepeated() const { return m_menuInputRepeated; }
    const std::vector<SeenDialog>& Seen() const { return m_seen; }
    const std::set<WORD>& RecognisedDialogs() const { return m_recognised; }
    const std::set<std::pair<WORD, UINT>>& ChosenEntries() const { return m_chosen; }
    // The steps whose window did not open or did not close, and the program's ends on the way.
    const std::vector<std::wstring>& Failures() const { return m_failures; }

    // The dialog resources the seen dialogs show: a resource is seen when some dialog holds every
    // control id of it, and its caption where several such resources would fit.
    std::set<WORD> SeenResources(const std::vector<DialogResource>& resources) const;

private:
    void Fail(const std::wstring& text);
    // Gives the input until a menu opens (three times at most).
    bool OpenMenu(const std::function<bool()>& input);
    // Opens a menu with the input and gives it the keys, each while its menu is still open.
    bool ChooseFromMenu(const std::function<bool()>& input, const std::vector<WORD>& keys);
    void StartAfresh();
    // Waits until the window the input was given to has closed (false: the input could not be given).
    bool CloseWith(HWND window, const std::wstring& what, bool given);

    std::wstring m_pictures;
    std::vector<Setting> m_settings;
    std::function<void(ShippedProgram&)> m_prepare;
    std::unique_ptr<ShippedProgram> m_program;
    bool m_ended = false; // ended by the walk, not by itself
    int m_opened = 0;
    int m_menuInputRepeated = 0;
    std::wstring m_step; // the step under way, for the walk's own messages
    std::vector<SeenDialog> m_seen;
    std::set<WORD> m_recognised;
    std::set<std::pair<WORD, UINT>> m_chosen;
    std::vector<std::wstring> m_failures;
};

// In a menu's keys: the keys after it go to the sub-menu the keys before it opened, once it shows.
constexpr WORD kSubMenu = 0;

// Windows the walk opens: dialogs (#32770) and captioned windows, not menus or tips.
bool IsWindowOfItsOwn(HWND window);
bool IsDialog(HWND window);
