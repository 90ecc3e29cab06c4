// The program's frame and views made by its document template in the benchmark's own process,
// its document on a folder: for benchmarks that measure the program's own windows.
#pragma once

#include "browser/CKWView.h"
#include "browser/CMainFrame.h"
#include "catalogue/CKWDoc.h"
#include "res/resource.h"

#include <string>

// Dispatches every message waiting for this thread.
inline void PumpWaitingMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

struct ProgramFrame
{
    CSingleDocTemplate docTemplate{IDR_MAINFRAME, RUNTIME_CLASS(CKWDoc), RUNTIME_CLASS(CMainFrame),
                                   RUNTIME_CLASS(CKWView)};
    CKWDoc* doc = nullptr;
    CMainFrame* frame = nullptr;

    // The frame made and shown on the folder; false when either could not be made.
    bool Start(const std::wstring& folder)
    {
        doc = DYNAMIC_DOWNCAST(CKWDoc, docTemplate.OpenDocumentFile(folder.c_str()));
        frame = DYNAMIC_DOWNCAST(CMainFrame, AfxGetMainWnd());
        if (!doc || !frame)
            return false;
        frame->ShowWindow(SW_SHOW);
        return true;
    }
    void Close()
    {
        if (frame && IsWindow(frame->GetSafeHwnd()))
            frame->SendMessage(WM_CLOSE);
        PumpWaitingMessages();
    }
};
