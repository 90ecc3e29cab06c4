// Helpers of the control tests: a host window that logs what its children tell it, a memory
// canvas for pixel probes and the stand-in theme library (waiting for a state: WindowTestUtil.h).
#pragma once

#include "common/WindowTestUtil.h"
#include "controls/fakes/FakeUxTheme.h"

#include <functional>
#include <vector>

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

// The next visible popup menu of this process; null after the bound.
HWND WaitForMenu(DWORD timeoutMs = 10000);
// In the next menu that opens: Down n times, then Enter (Escape for n < 0). Should no menu show,
// the owner is told to cancel its modes, so a menu that never appeared cannot hold the test.
void DriveMenu(HWND owner, int n, CRect* menuRect = nullptr);
// Brings the window to the foreground and waits until it is this thread's active window: menus
// close at once when the activation moves while they open.
bool MakeActive(CWnd& wnd);

// Whether the window's class has that name.
bool IsClass(HWND hWnd, LPCWSTR className);

// A solid-colour icon of 16 x 16 pixels; the caller destroys it.
HICON MakeSolidIcon(COLORREF colour);
