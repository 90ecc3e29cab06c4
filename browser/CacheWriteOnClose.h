// The thumbnail cache files left to write when the program closes, written on a thread of their
// own so that the main window answers at once. A write that takes more than a moment shows the
// progress window the long jobs use (its owner disabled meanwhile); its button gives the writing
// up, and the files being replaced stay as they were. The owner polls on a timer and closes once
// the writing has ended.
#pragma once

#include "framework/Framework.h"

#include <memory>

class CacheFileWriter;
class CProgressDlg;

class CacheWriteOnClose
{
public:
    CacheWriteOnClose();
    ~CacheWriteOnClose();
    CacheWriteOnClose(const CacheWriteOnClose&) = delete;
    CacheWriteOnClose& operator=(const CacheWriteOnClose&) = delete;

    // Starts the writing; false when there is nothing to write (nothing is then left to wait for).
    bool Begin(std::unique_ptr<CacheFileWriter> writer, CWnd* owner);
    bool IsActive() const { return m_writer != nullptr; }
    // From the owner's timer: shows how far the writing is and gives it up when asked; true once
    // it has ended (the progress window is then gone).
    bool Poll();
    // Waits for the writing to end, whatever it takes (the session ends once this returns).
    void Finish();

    // How long the writing may take before the progress window shows.
    static const DWORD ShowAfter = 300;

private:
    void End();

    std::unique_ptr<CacheFileWriter> m_writer;
    std::unique_ptr<CProgressDlg> m_progress;
    CWnd* m_owner = nullptr;
    DWORD m_started = 0;
};
