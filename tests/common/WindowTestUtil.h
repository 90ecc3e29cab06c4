// Helpers of the window tests: pumping the queue, finding the process's windows from a helper
// thread (to drive modal loops) and a top-level host window.
#pragma once

#include "common/FrameworkTestUtil.h"

#include <functional>
#include <string>
#include <thread>

// Dispatches every message already queued for this thread (never waits); a WM_QUIT is dropped.
void PumpPending();

// The text of a window (any thread's), as UTF-16.
CString TextOf(HWND hWnd);

// The first visible top-level window of this process that matches, waiting up to timeoutMs.
HWND WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs = 10000);
// A visible top-level dialog (#32770) of this process whose caption is `caption`.
HWND WaitForDialog(LPCWSTR caption, DWORD timeoutMs = 10000);
// A message box of this process; its text in *text.
HWND WaitForMessageBox(CString* text, DWORD timeoutMs = 10000);
// Whether a message box shows its whole text: the box lies within the work area, and the text,
// broken into lines as the box breaks it, fits its text control (a run that cannot be broken
// would not).
bool MessageBoxShowsWholeText(HWND box);
// What a message box showed: its text, and whether it lay within the work area and showed its
// text whole (MessageBoxShowsWholeText); seen is false when no box came.
struct SeenMessageBox
{
    bool seen = false;
    bool whole = false;
    CString text;
    CString caption;
    RECT rect = {};
    LOGFONTW font = {}; // of its text
};
// A message box's text without its line breaks, those it was given and those it gained.
CString Joined(const CString& text);
// Runs show on this thread while a helper thread looks at the message box it opens and answers it
// with the button given.
SeenMessageBox LookAtMessageBox(const std::function<void()>& show, int button = IDOK);
// From a helper thread: takes the next message box's text, closes it and waits until it is gone.
void DismissMessageBox(CString* text);
// The same with the button given.
void AnswerMessageBox(CString* text, int button, DWORD timeoutMs = 30000);
// The folder picker has reached a folder once its tree selects an item of that name.
bool TreeSelects(HWND dialog, const std::wstring& name);
// Another process's main window: a visible top-level window with a caption and no owner, or null.
HWND ShownMainWindowOf(DWORD process);
// The focused window of another thread.
HWND FocusOfThread(HWND anyWindowOfThread);
// Waits until done() holds, dispatching this thread's messages meanwhile; false after timeoutMs.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
// Waits (on a helper thread, without pumping) until done() holds; false after timeoutMs.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// Runs a script on a helper thread (for driving modal loops on the test thread); joined by the
// destructor. Should the script not finish in time, every dialog of the process is cancelled so
// the test thread is never left hanging.
class HelperThread
{
public:
    explicit HelperThread(std::function<void()> script, DWORD timeoutMs = 30000);
    ~HelperThread();
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

private:
    std::thread m_thread;
    HANDLE m_done;
};

// A plain visible top-level window for the tests to hang children on.
class CTestHostWnd : public CWnd
{
public:
    CTestHostWnd();
    ~CTestHostWnd() override;
};
