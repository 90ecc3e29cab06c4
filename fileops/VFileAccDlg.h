// The progress window of a file-operation job: the current file's name and a dot-matrix panel
// with the bytes done and in all, a bar for the current file and one for the whole job, the count
// of files done, the rate and the time left. Its cancel button raises a flag the job reads; it
// pumps the thread's messages while the job runs, and the copier reports to it through a plain
// callback that finds the active window through one global pointer.
#pragma once

#include "fileops/CMatrixStatic.h"

#include <vector>

class VFileAccDlg : public CDialog
{
public:
    explicit VFileAccDlg(CWnd* parent = nullptr);
    ~VFileAccDlg() override;

    // Disables the parent's safe owner, creates the window modeless and makes it the copy
    // callback's window; FALSE (the owner enabled again) on failure.
    BOOL Create(CWnd* parent);
    // Frees the counters, enables the owner again and gives the callback back to the window that
    // had it before.
    BOOL DestroyWindow() override;

    void SetFileName(LPCWSTR name);
    void SetFileRange(int lower, int upper);
    void SetTotalBytes(ULONGLONG total);
    void SetFilePos(int pos) { m_filePos = pos; }
    void FileDone(int count);
    // Pumps when a pump is due (below), then returns the cancel flag and clears it.
    int CheckCancel();
    // Clears the cancel flag after the job has answered it, and gives the button its text back.
    void ClearCancel();
    int IsCancelled() const { return m_cancel; }
    // Dispatches every waiting message, dialog messages through this window.
    void PumpMessages();

    // During a job the window takes its messages (the cancel button among them) at most every
    // kPumpInterval ms, and less often while pumping itself is slow, but at least every
    // kLongestPumpPause ms that the job reports in: a pause and a slow pump stay within the
    // tenth of a second a user waits for an answer, however busy the machine's cores.
    static const DWORD kPumpInterval = 25;
    static const DWORD kLongestPumpPause = 70;
    bool IsPumpDue() const;
    // The copier's callback: reports to the active window; 1 (stop) when there is none.
    static DWORD CopyCallback(DWORD context, DWORD bytes, DWORD totalLow, DWORD totalHigh);
    static VFileAccDlg* GetActive() { return s_active; }

    // "59s", "1m01s", "1h01m01s"; empty from 1000 hours up and for nothing left.
    static CString FormatTimeLeft(ULONGLONG seconds);
    // Row 3: the rate and time left from column 1, the file count ending a column before the edge.
    void DrawStatus();
    // The job's last state on screen now, with no wait for the refresh interval.
    void ShowFinished();
    // The counters onto the panel now (they are drawn a few times a second otherwise).
    void DrawCounters();

    CMatrixStatic m_panel;
    int m_fileLower = 0;
    int m_fileUpper = 100;
    int m_filePos = 0;
    ULONGLONG m_fileTotal = 0;
    ULONGLONG m_bytesDone = 0;
    ULONGLONG m_bytesTotal = 0;
    DWORD m_startTick = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    afx_msg void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    // The file name and the panel's changes, on screen at most every refresh interval.
    void ShowPending();
    void Report(DWORD bytes, ULONGLONG total);
    // v / 5 full cells, one cell of v mod 5, empty cells to the end.
    void DrawBar(int row, ULONGLONG done, ULONGLONG total);

    CWnd* m_owner = nullptr;
    BOOL m_ownerDisabled = FALSE;
    int m_cancel = 0;
    CString m_fileName;
    DWORD m_nameShown = 0;
    DWORD m_countersDrawn = 0;
    bool m_reported = false;
    DWORD m_lastPump = 0;
    DWORD m_pumpPause = kPumpInterval;
    // The per-file counters of the panel's rows and columns; the first is the current file's.
    std::vector<ULONGLONG> m_perFileDone;
    VFileAccDlg* m_previousActive = nullptr;
    static VFileAccDlg* s_active;
};
