// Whether folders hold sub-folders (or archives), found on a thread of its own: under Wine the first
// read of a folder's entries reads the whole folder, so one folder of 100,000 files beside the one
// opened would hold the window for half a second. Questions are answered in the order asked; the
// tree takes the answers in its idle steps.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

class SubFolderProbe
{
public:
    SubFolderProbe();
    // Waits for the question being read to stop.
    ~SubFolderProbe();
    SubFolderProbe(const SubFolderProbe&) = delete;
    SubFolderProbe& operator=(const SubFolderProbe&) = delete;

    // 1 when the folder holds a directory other than "." and ".."; else, with specs (a list of
    // patterns, each ended by a null character, the list by another), 2 when it holds a file
    // matching them (hidden ones only with hidden); else 0. Reading stops at the first directory.
    // The stop flag, when given, ends it early with 0.
    static int Answer(const wchar_t* folder, bool hidden, const wchar_t* specs,
                      const std::atomic<bool>* stop = nullptr);

    // Queues a question about the folder of a key (the caller's item); asking again about a key
    // replaces the earlier question's answer. patterns: the archive pattern list as the plug-ins
    // give it, empty for none.
    void Ask(UINT_PTR key, const wchar_t* folder, bool hidden, const wchar_t* patterns);
    // The key is gone: an answer about it is dropped.
    void Forget(UINT_PTR key) { m_asked.erase(key); }
    // One answer ready about a key still asked about, false when none is.
    bool Take(UINT_PTR& key, int& answer);
    // Waits a little (at most 50 ms; input ends it) for an answer; true while answers are still to
    // come or to take.
    bool Wait();
    // Questions asked whose answers have not all been taken.
    bool IsBusy() const;
    // Drops the questions not yet begun and the answers not yet taken.
    void Clear();
private:
    struct Reply
    {
        UINT_PTR key;
        unsigned ticket;
        int answer;
    };
    struct Question
    {
        UINT_PTR key;
        unsigned ticket;
        std::wstring folder;
        bool hidden;
        std::wstring patterns;
    };
    void Run();

    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<Question> m_questions;
    std::deque<Reply> m_answers;
    int m_reading = 0; // questions taken off the queue and not yet answered
    std::atomic<bool> m_stop{false};
    HANDLE m_ready; // set while answers wait to be taken
    // Touched by the asking thread only: the ticket of each key's latest question.
    std::unordered_map<UINT_PTR, unsigned> m_asked;
    unsigned m_nextTicket = 0;
    std::thread m_thread;
};
