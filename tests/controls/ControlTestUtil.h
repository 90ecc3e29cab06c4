// Helpers of the control tests: waiting for a state while pumping, a host window that logs what
// its children tell it, a memory canvas for pixel probes and the stand-in theme library.
#pragma once

#include "framework/WindowTestUtil.h"
#include "fakes/FakeUxTheme.h"

#include <functional>
#include <vector>

// Pumps this thread's messages until done() holds; false after timeoutMs.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// The recording of the stand-in theme library `dll` (loaded when needed), reset to "themed".
FakeThemeState* ResetFakeTheme(LPCWSTR dll = L"fake_uxtheme.dll");

struct LoggedMessage
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A top-level window that records WM_COMMAND, WM_NOTIFY codes and every message from WM_USER up.
class CLogHostWnd : public CTestHostWnd
{
public:
    std::vector<LoggedMessage> log;
    // The answer to a logged message from WM_USER up.
    LRESULT answer = 0;
    // Called for each message as it is logged.
    std::function<void(const LoggedMessage&)> onLogged;

    int Count(UINT message) const;
    // The last logged message of that kind, or null.
    const LoggedMessage* Last(UINT message) const;
    // Commands in order (low word of wParam).
    std::vector<UINT> Commands() const;
    // Only those that come from no control (menus and commands sent on as menu commands).
    std::vector<UINT> MenuCommands() const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A 24-bit off-screen surface for painting controls and reading pixels back.
class MemoryCanvas
{
public:
    MemoryCanvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
    ~MemoryCanvas();
    CDC* DC() { return &m_dc; }
    COLORREF Pixel(int x, int y) const { return ::GetPixel(m_dc.GetSafeHdc(), x, y); }
    // How many pixels of the rectangle have the colour.
    int CountColour(const RECT& rect, COLORREF colour) const;
    // Whether two canvases hold the same pixels.
    bool SameAs(const MemoryCanvas& other) const;

private:
    CDC m_dc;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    int m_width;
    int m_height;
};

// How many kernel handles this process holds (Wine answers GetProcessHandleCount with 0, so the
// system's handle table is counted); -1 when it cannot be read.
int OwnHandleCount();

// Saves what the screen shows in a rectangle as a 24-bit BMP file.
bool SaveScreenBitmap(const RECT& rect, LPCWSTR path);

// Whether the window's class has that name.
bool IsClass(HWND hWnd, LPCWSTR className);

// In the next popup menu that opens (on another thread), highlights the n-th item that is not a
// separator (1-based) and presses Enter, or presses Escape for n <= 0. Each key waits until the
// menu shows the state it needs (open with its items, the highlight moved): a loaded machine
// builds and tracks a menu slowly. False when the menu never came or never got there.
bool ChooseMenuItem(int n, RECT* menuRect = nullptr);

// A solid-colour icon of 16 x 16 pixels; the caller destroys it.
HICON MakeSolidIcon(COLORREF colour);
