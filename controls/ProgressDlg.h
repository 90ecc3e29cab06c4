// The modeless progress dialogs of long jobs on the user-interface thread: a bar, a percentage,
// text lines and an abort button. The dialog disables its owner while it exists, pumps the
// thread's messages on every update and records the abort button in a flag the job polls.
// CProgressDlg is the general one, CProgDlg has four text lines, VCopyFileDlg serves batch jobs.
#pragma once

#include "framework/Framework.h"

// Dispatches every waiting message of the thread, dialog messages through the dialog (when it is a
// window). A quit message is posted again and ends the pumping, so the program still closes.
void PumpProgressMessages(CWnd* dialog);

// The design the three dialogs share: owner handling, range, position, percentage and cancel flag.
class CProgressDlgCore : public CDialog
{
public:
    ~CProgressDlgCore() override;

    // Disables the parent's safe owner when it is enabled and creates the dialog modeless; with
    // no parent, the one given to the constructor (if any). FALSE on failure, the owner enabled.
    BOOL Create(CWnd* parent = nullptr);

    // The previous position; both pump the waiting messages first.
    int SetPos(int pos);
    // The bar and the percentage at the position, nothing pumped: for a dialog whose owner's own
    // message loop goes on while the work is done elsewhere.
    void ShowPosition(int pos);
    int OffsetPos(int delta);
    void SetRange(int lower, int upper);
    void SetText(LPCWSTR text);
    // Pumps, then returns the cancel flag and clears it.
    int CheckCancel();
    // PumpProgressMessages through this dialog.
    void PumpMessages();
    // Enables the owner again when Create disabled it, then destroys the window.
    BOOL DestroyWindow() override;

    // "%d%%" for a position in a range: 100 at the upper bound, otherwise the percentage modulo 100.
    static int Percentage(int pos, int lower, int upper);

    CWnd* m_owner = nullptr;
    CWnd m_bar;
    UINT m_titleId = 0;
    int m_lower = 0;
    int m_upper = 100;
    int m_step = 10;
    int m_cancel = 0;
    BOOL m_ownerDisabled = FALSE;

protected:
    CProgressDlgCore(UINT templateId, int barId, int percentId, int textId, UINT titleId);
    BOOL CreateFor(CWnd* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    // Sends the bar the stored range, step and lower bound and sets the title from the string.
    void InitBarAndTitle();
    void ShowPercentage(int pos);
    void EnableOwnerAgain();

    CWnd* m_parent = nullptr;
    UINT m_templateId;
    int m_barId;
    int m_percentId;
    int m_textId;
};

class CProgressDlg : public CProgressDlgCore
{
public:
    // titleId 0 means string 103.
    explicit CProgressDlg(UINT titleId = 0);
};

class CProgDlg : public CProgressDlgCore
{
public:
    explicit CProgDlg(UINT titleId = 0);
    // Pumps and returns the cancel flag without clearing it.
    int IsCanceled();

protected:
    // Also clears the cancel flag.
    BOOL OnInitDialog() override;
};

class VCopyFileDlg : public CProgressDlgCore
{
public:
    // The title is the template's; the bar keeps the control's own range until SetRange.
    explicit VCopyFileDlg(CWnd* parent = nullptr);
};
