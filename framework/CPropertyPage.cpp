#include "framework/CPropertyPage.h"
#include "framework/CException.h"
#include "framework/ModuleState.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)

CPropertyPage::CPropertyPage() : m_psp(), m_bFirstSetActive(TRUE), m_bCreateHookPending(FALSE)
{
    CommonConstruct(nullptr, 0);
}

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption, DWORD dwSize) : CPropertyPage()
{
    CommonConstruct(MAKEINTRESOURCEW(nIDTemplate), nIDCaption);
    m_psp.dwSize = dwSize;
}

CPropertyPage::CPropertyPage(LPCWSTR lpszTemplateName, UINT nIDCaption, DWORD dwSize) : CPropertyPage()
{
    CommonConstruct(lpszTemplateName, nIDCaption);
    m_psp.dwSize = dwSize;
}

CPropertyPage::~CPropertyPage() = default;

void CPropertyPage::Construct(UINT nIDTemplate, UINT nIDCaption)
{
    CommonConstruct(MAKEINTRESOURCEW(nIDTemplate), nIDCaption);
}

void CPropertyPage::Construct(LPCWSTR lpszTemplateName, UINT nIDCaption)
{
    CommonConstruct(lpszTemplateName, nIDCaption);
}

void CPropertyPage::CommonConstruct(LPCWSTR lpszTemplateName, UINT nIDCaption)
{
    ZeroMemory(&m_psp, sizeof(m_psp));
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = PSP_USECALLBACK;
    m_lpszTemplateName = lpszTemplateName;
    if (lpszTemplateName) {
        m_psp.pszTemplate = lpszTemplateName;
        m_psp.hInstance = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
        if (IS_INTRESOURCE(lpszTemplateName))
            m_nIDHelp = LOWORD(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    }
    m_strCaption.Empty();
    if (nIDCaption != 0 && m_strCaption.LoadString(nIDCaption))
        m_psp.dwFlags |= PSP_USETITLE;
    m_bFirstSetActive = TRUE;
}

void CPropertyPage::BuildPageRecord(PROPSHEETPAGEW& psp) const
{
    std::memcpy(&psp, &m_psp, sizeof(psp));
    psp.dwSize = sizeof(psp);
    psp.dwFlags |= PSP_USECALLBACK;
    psp.pfnCallback = &AfxPropPageCallback;
    psp.pfnDlgProc = &AfxDlgProc;
    psp.lParam = reinterpret_cast<LPARAM>(this);
    if (!psp.hInstance)
        psp.hInstance = AfxGetResourceHandle();
    if ((psp.dwFlags & PSP_USETITLE) && !psp.pszTitle)
        psp.pszTitle = m_strCaption;
}

UINT CALLBACK AfxPropPageCallback(HWND, UINT message, LPPROPSHEETPAGEW pPropPage)
{
    try {
        if (message == PSPCB_CREATE && pPropPage) {
            // The control creates the page's dialog next: the creation hook binds it to the object
            // so the page sees every message from WM_NCCREATE on.
            auto* page = reinterpret_cast<CPropertyPage*>(pPropPage->lParam);
            if (page && !page->m_hWnd && !page->m_bCreateHookPending) {
                AfxHookWindowCreate(page);
                page->m_bCreateHookPending = TRUE;
            }
        }
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
        OutputDebugStringW(L"framework: a C++ exception left the property page callback\n");
    }
    return TRUE;
}

LRESULT CPropertyPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_bCreateHookPending) {
        m_bCreateHookPending = FALSE;
        AfxUnhookWindowCreate();
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CPropertyPage::PreInitDialog()
{
    // A page window made again (removed and added) starts afresh.
    m_bFirstSetActive = TRUE;
}

// ---------------------------------------------------------------- the sheet's notifications

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom != ::GetParent(m_hWnd))
        return CDialog::OnNotify(wParam, lParam, pResult);
    LRESULT result = 0;
    switch (header->code) {
    case PSN_SETACTIVE:
        result = OnSetActive() ? 0 : -1;
        break;
    case PSN_KILLACTIVE:
        result = !OnKillActive();
        break;
    case PSN_APPLY:
        result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        break;
    case PSN_RESET:
        OnReset();
        break;
    case PSN_QUERYCANCEL:
        result = !OnQueryCancel();
        break;
    case PSN_WIZBACK:
        result = OnWizardBack();
        break;
    case PSN_WIZNEXT:
        result = OnWizardNext();
        break;
    case PSN_WIZFINISH:
        result = !OnWizardFinish();
        break;
    default:
        return CDialog::OnNotify(wParam, lParam, pResult);
    }
    // The sheet reads the answer from the return value or from the dialog's result slot.
    ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    *pResult = result;
    return TRUE;
}

BOOL CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE; // OnInitDialog has just filled the controls
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

void CPropertyPage::OnReset()
{
    OnCancel();
}

BOOL CPropertyPage::OnQueryCancel()
{
    return TRUE;
}

LRESULT CPropertyPage::OnWizardBack()
{
    return 0;
}

LRESULT CPropertyPage::OnWizardNext()
{
    return 0;
}

BOOL CPropertyPage::OnWizardFinish()
{
    return TRUE;
}

// ---------------------------------------------------------------- talking to the sheet

void CPropertyPage::SetModified(BOOL bChanged)
{
    HWND sheet = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (sheet)
        ::SendMessageW(sheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CPropertyPage::CancelToClose()
{
    if (HWND sheet = m_hWnd ? ::GetParent(m_hWnd) : nullptr)
        ::SendMessageW(sheet, PSM_CANCELTOCLOSE, 0, 0);
}

LRESULT CPropertyPage::QuerySiblings(WPARAM wParam, LPARAM lParam)
{
    HWND sheet = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    return sheet ? ::SendMessageW(sheet, PSM_QUERYSIBLINGS, wParam, lParam) : 0;
}

BOOL CPropertyPage::PreTranslateMessage(MSG* pMsg)
{
    return CWnd::PreTranslateMessage(pMsg);
}
