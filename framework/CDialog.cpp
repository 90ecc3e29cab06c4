#include "framework/CDialog.h"
#include "framework/CControlBar.h"
#include "framework/CGdiObject.h"
#include "framework/CWinThread.h"
#include "framework/ModuleState.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
ON_MESSAGE(WM_SETFONT, HandleSetFont)
END_MESSAGE_MAP()

CDialog::CDialog()
    : m_lpszTemplateName(nullptr), m_hDialogTemplate(nullptr), m_lpDialogTemplate(nullptr), m_lpDialogInit(nullptr),
      m_pParentWnd(nullptr), m_hWndTop(nullptr), m_nIDHelp(0)
{
}

CDialog::CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd) : CDialog()
{
    m_lpszTemplateName = lpszTemplateName;
    m_pParentWnd = pParentWnd;
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = LOWORD(reinterpret_cast<UINT_PTR>(lpszTemplateName));
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(MAKEINTRESOURCEW(nIDTemplate), pParentWnd) {}

// ---------------------------------------------------------------- modeless

BOOL CDialog::Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
        m_nIDHelp = LOWORD(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    m_lpDialogInit = nullptr;
    return CreateDlg(lpszTemplateName, pParentWnd ? pParentWnd : AfxGetMainWnd());
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit)
{
    if (!pParentWnd)
        pParentWnd = AfxGetMainWnd();
    m_lpDialogInit = lpDialogInit;
    return CreateDlgIndirect(lpDialogTemplate, pParentWnd, nullptr);
}

BOOL CDialog::CreateIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd)
{
    auto dialogTemplate = static_cast<LPCDLGTEMPLATE>(::GlobalLock(hDialogTemplate));
    if (!dialogTemplate)
        return FALSE;
    BOOL created = CreateIndirect(dialogTemplate, pParentWnd);
    ::GlobalUnlock(hDialogTemplate);
    return created;
}

// ---------------------------------------------------------------- modal

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit)
{
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    m_lpDialogInit = lpDialogInit;
    return TRUE;
}

BOOL CDialog::InitModalIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd)
{
    m_hDialogTemplate = hDialogTemplate;
    m_pParentWnd = pParentWnd;
    return TRUE;
}

HWND CDialog::PreModal()
{
    return CWnd::GetSafeOwner_(m_pParentWnd->GetSafeHwnd(), &m_hWndTop);
}

void CDialog::PostModal()
{
    if (m_hWndTop && ::IsWindow(m_hWndTop))
        ::EnableWindow(m_hWndTop, TRUE);
    m_hWndTop = nullptr;
}

INT_PTR CDialog::DoModal()
{
    LPCDLGTEMPLATE dialogTemplate = m_lpDialogTemplate;
    HGLOBAL lockedTemplate = nullptr;
    HINSTANCE instance = AfxGetResourceHandle();
    if (m_lpszTemplateName) {
        dialogTemplate = AfxLoadDialogTemplate(m_lpszTemplateName, &instance);
    } else if (m_hDialogTemplate) {
        lockedTemplate = m_hDialogTemplate;
        dialogTemplate = static_cast<LPCDLGTEMPLATE>(::GlobalLock(lockedTemplate));
    }
    if (!dialogTemplate)
        return -1;

    // The owner is disabled before the dialog exists, so no click slips in between.
    HWND owner = PreModal();
    bool enableOwner = false;
    if (owner && owner != ::GetDesktopWindow() && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        enableOwner = true;
    }
    try {
        if (CreateDlgIndirect(dialogTemplate, CWnd::FromHandle(owner), instance)) {
            if (m_nFlags & WF_CONTINUEMODAL) {
                DWORD flags = MLF_SHOWONIDLE;
                if (GetStyle() & DS_NOIDLEMSG)
                    flags |= MLF_NOIDLEMSG;
                RunModalLoop(flags);
            }
            // Hidden before the owner comes back, so the owner is what gets activated.
            if (m_hWnd)
                SetWindowPos(nullptr, 0, 0, 0, 0,
                             SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    } catch (CException* e) {
        e->Delete();
        m_nModalResult = -1;
    }
    if (enableOwner)
        ::EnableWindow(owner, TRUE);
    if (owner && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(owner);
    DestroyWindow();
    PostModal();
    if (lockedTemplate)
        ::GlobalUnlock(lockedTemplate);
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))
        EndModalLoop(nResult);
    ::EndDialog(m_hWnd, nResult);
}

// ---------------------------------------------------------------- initialisation and commands

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    PreInitDialog();
    // The dialog manager calls the dialog procedure, which runs OnInitDialog.
    return Default();
}

LRESULT CDialog::HandleSetFont(WPARAM wParam, LPARAM)
{
    // WM_SETFONT of a DS_SETFONT template arrives before WM_INITDIALOG.
    OnSetFont(CFont::FromHandle(reinterpret_cast<HFONT>(wParam)));
    return Default();
}

void CDialog::PreInitDialog() {}

void CDialog::OnSetFont(CFont*) {}

BOOL CDialog::OnInitDialog()
{
    // The template's initial list and combo-box items come first, then the member variables.
    BOOL initialised = m_lpDialogInit ? ExecuteDlgInit(m_lpDialogInit) : ExecuteDlgInit(m_lpszTemplateName);
    if (!initialised) {
        EndDialog(-1);
        return FALSE;
    }
    if (!UpdateData(FALSE)) {
        EndDialog(-1);
        return FALSE;
    }
    return TRUE; // the dialog manager focuses the first control
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return; // the user was told; the focus is on the bad control
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // Escape in a multi-line edit would be swallowed by the edit; it still cancels the dialog
    // unless a disabled Cancel button says otherwise.
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_CANCEL) &&
        (::GetWindowLongW(pMsg->hwnd, GWL_STYLE) & ES_MULTILINE)) {
        wchar_t name[8];
        if (::GetClassNameW(pMsg->hwnd, name, 8) && lstrcmpiW(name, L"Edit") == 0) {
            HWND cancel = ::GetDlgItem(m_hWnd, IDCANCEL);
            if (!cancel || ::IsWindowEnabled(cancel)) {
                SendMessage(WM_COMMAND, IDCANCEL, 0);
                return TRUE;
            }
        }
    }
    return PreTranslateInput(pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    // Only real commands travel on: not control notifications, button ids or system commands.
    if ((nCode != CN_COMMAND && nCode != static_cast<int>(CN_UPDATE_COMMAND_UI)) || !IS_COMMAND_ID(nID) ||
        nID >= 0xF000)
        return FALSE;
    if (CWnd* owner = GetParent()) {
        if (owner->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    }
    if (CWinThread* thread = AfxGetThread())
        return thread->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    return FALSE;
}

// ---------------------------------------------------------------- navigation

void CDialog::NextDlgCtrl() const
{
    SendMessage(WM_NEXTDLGCTL, 0, 0);
}

void CDialog::PrevDlgCtrl() const
{
    SendMessage(WM_NEXTDLGCTL, 1, 0);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->GetSafeHwnd()), 1);
}

void CDialog::SetDefID(UINT nID)
{
    SendMessage(DM_SETDEFID, nID);
}

DWORD CDialog::GetDefID() const
{
    return static_cast<DWORD>(SendMessage(DM_GETDEFID));
}

void CDialog::MapDialogRect(LPRECT lpRect) const
{
    ::MapDialogRect(m_hWnd, lpRect);
}

// ---------------------------------------------------------------- dialog procedure

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    try {
        CWnd* window = CWnd::FromHandlePermanent(hWnd);
        if (CDialog* dialog = DYNAMIC_DOWNCAST(CDialog, window))
            return dialog->OnInitDialog();
        // A bar made from a template takes no focus: focus on one of its controls would activate
        // the frame that is still being made, and the frame's view takes the focus anyway.
        return window && window->IsKindOf(RUNTIME_CLASS(CControlBar)) ? FALSE : TRUE;
    } catch (...) {
        MSG msg = {hWnd, message, wParam, lParam, 0, {0, 0}};
        AfxProcessDispatchException(&msg);
        return FALSE;
    }
}
