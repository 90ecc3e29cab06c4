// The program as users run it: the built Vyx.exe, the very file scripts/run.sh starts (or the one
// VYX_SHIPPED_PROGRAM names), copied byte for byte with its plug-ins into a scratch folder of its
// own so that its settings file is the test's, started as a process of its own on a folder of
// pictures, and driven with real input through its own message loop.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class ScratchFolder;

class ShippedProgram
{
public:
    ShippedProgram();
    // Ends the process on every path (a failed or timed-out test included) and waits for its end.
    ~ShippedProgram();
    ShippedProgram(const ShippedProgram&) = delete;
    ShippedProgram& operator=(const ShippedProgram&) = delete;

    // The copy of the program and its folder; empty when it could not be copied (why in Problem()).
    const std::wstring& Folder() const { return m_folder; }
    // A scratch folder beside it for the test's pictures, removed after the program has ended.
    std::wstring Scratch() const;
    const std::wstring& Problem() const { return m_problem; }
    // A value of the settings file beside the program, written before it starts.
    bool WriteSetting(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;
    // Starts the program on a folder and waits until its main window shows; false when it ended
    // first or did not show within the bound.
    bool Start(const std::wstring& startFolder);
    HWND Main() const { return m_main; }
    DWORD Id() const { return m_id; }
    bool Running() const;
    // The program's exit code once it has ended (STILL_ACTIVE while it runs).
    DWORD ExitCode() const;
    // Running, and its main window answers a message within the bound.
    bool Answers(DWORD boundMs = 30000) const;
    // Closes the main window as the user does (Alt+F4 through its own loop) and waits for the end;
    // false when it did not end within the bound.
    bool Close();
    // Ends the process at once and waits for its end.
    void End();

    // The visible top-level windows of the process (menus and tips included).
    std::set<HWND> Windows() const;
    // The first visible top-level window of the process not among `before` that matches; null
    // after the bound or as soon as the process has ended.
    HWND WaitForNewWindow(const std::set<HWND>& before, const std::function<bool(HWND)>& match,
                          DWORD boundMs = 60000) const;
    // Waits until the window is destroyed; false after the bound or when the process ended.
    bool WaitUntilGone(HWND window, DWORD boundMs = 60000) const;

    // Input: the window (its top-level window) is brought to the front, then the keys or the click
    // are sent as the system's input.
    bool BringToFront(HWND window) const;
    bool PressKey(HWND window, WORD vk, WORD modifier = 0) const;
    bool TypeText(HWND window, const wchar_t* text) const;
    // A left click (two for a double click) in the middle of a window, or at a point of its client
    // area; a right click with rightButton.
    bool ClickWindow(HWND window, int clicks = 1) const;
    bool ClickAt(HWND window, POINT client, bool rightButton = false) const;
    // The pointer moved to a point of a window's client area (no button).
    bool MoveTo(HWND window, POINT client) const;

    // A rectangle a control of the program writes into memory its message is given (a list's row,
    // a tree's item): asked in the program's own memory. `rect` goes in as the message wants it.
    bool AskRect(HWND control, UINT message, WPARAM wParam, RECT& rect) const;

private:
    std::unique_ptr<ScratchFolder> m_scratch; // first made, last removed: after the process ended
    std::wstring m_folder;
    std::wstring m_problem;
    HANDLE m_process = nullptr;
    HANDLE m_job = nullptr;
    DWORD m_id = 0;
    HWND m_main = nullptr;
};

// Whether the window's class is the one given.
bool HasClass(HWND window, const wchar_t* className);
// The window's text, read across processes.
std::wstring WindowText(HWND window);
// Text for the test's output.
std::string Utf8(const std::wstring& text);
