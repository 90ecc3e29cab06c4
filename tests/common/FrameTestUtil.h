// The program's own frame in a test: the document template of the program opened on a scratch
// folder with scratch settings, a view that writes down every hint it hears, and waiting for a
// frame timer.
#pragma once

#include "common/BrowserTestUtil.h"
#include "browser/CFolderView.h"
#include "browser/CKWView.h"
#include "browser/CMainFrame.h"
#include "catalogue/CKWDoc.h"
#include "res/resource.h"

#include <functional>
#include <initializer_list>
#include <utility>
#include <string>
#include <vector>

// Writes each hint down as "hint path" (hints with a path) or "hint".
class CHintRecorder : public CView
{
public:
    void OnDraw(CDC*) override {}
    void OnUpdate(CView*, LPARAM hint, CObject* argument) override;
    int Count(LPARAM hint) const;
    std::vector<std::wstring> heard;

protected:
    void PostNcDestroy() override {}
};

class ProfileRedirect
{
public:
    ProfileRedirect();
    ~ProfileRedirect();

private:
    LPWSTR m_previous;
};

class FrameProgram
{
public:
    // Settings written before the document and the frame are made.
    explicit FrameProgram(const std::function<void()>& settings = nullptr, bool start = true);
    ~FrameProgram();
    FrameProgram(const FrameProgram&) = delete;
    FrameProgram& operator=(const FrameProgram&) = delete;

    // Opens the location as the program does at start-up, hint 13 included.
    bool Start(LPCWSTR lpszPath);
    void Close();
    CMainFrame* Frame() const { return m_frame; }
    CKWDoc* Document() const { return m_document; }
    CFolderView* Pane() const { return m_frame ? m_frame->GetFolderPane() : nullptr; }
    // Sends idle steps as the application's loop does until the frame answers 0.
    int RunIdle(int limit = 2000);

    ScratchSettings m_settings;
    // The application's profile goes to the same file, as the program redirects it.
    ProfileRedirect m_profile;
    FrameworkScratchFolder m_folder;
    CSingleDocTemplate m_template{IDR_MAINFRAME, RUNTIME_CLASS(CKWDoc), RUNTIME_CLASS(CMainFrame),
                                  RUNTIME_CLASS(CKWView)};
    CHintRecorder m_hints;

private:
    CMainFrame* m_frame = nullptr;
    HWND m_frameWindow = nullptr;
    CKWDoc* m_document = nullptr;
    int m_treeRoot = 29;
};

// Dispatches this thread's messages until the window's timer of that id has been dispatched.
bool PumpUntilTimer(HWND hWnd, UINT_PTR id, DWORD timeoutMs = 30000);
