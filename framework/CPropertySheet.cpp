#include "framework/CPropertySheet.h"
#include "framework/CException.h"
#include "framework/CTabCtrl.h"
#include "framework/ModuleState.h"

IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

namespace {

const DWORD kModelessStyle = WS_SYSMENU | WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CONTEXTHELP | WS_VISIBLE;

// The style words of a dialog template in either layout (DLGTEMPLATE or DLGTEMPLATEEX).
void SetTemplateStyles(void* dialogTemplate, DWORD style, DWORD exStyle, bool setExStyle)
{
    auto* words = static_cast<WORD*>(dialogTemplate);
    if (words[0] == 1 && words[1] == 0xFFFF) {
        // DLGTEMPLATEEX: version, signature, help id, extended style, style.
        auto* dwords = reinterpret_cast<DWORD*>(words + 2);
        if (setExStyle)
            dwords[1] = exStyle;
        dwords[2] = style;
    } else {
        auto* plain = static_cast<DLGTEMPLATE*>(dialogTemplate);
        plain->style = style;
        if (setExStyle)
            plain->dwExtendedStyle = exStyle;
    }
}

DWORD TemplateStyle(const void* dialogTemplate)
{
    auto* words = static_cast<const WORD*>(dialogTemplate);
    if (words[0] == 1 && words[1] == 0xFFFF)
        return reinterpret_cast<const DWORD*>(words + 2)[2];
    return static_cast<const DLGTEMPLATE*>(dialogTemplate)->style;
}

} // namespace

CPropertySheet::CPropertySheet()
{
    CommonConstruct(nullptr, 0);
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption.LoadString(nIDCaption);
}

CPropertySheet::CPropertySheet(LPCWSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption = pszCaption;
}

CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::Construct(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    m_strCaption.LoadString(nIDCaption);
    m_pParentWnd = pParentWnd;
    m_psh.nStartPage = iSelectPage;
}

void CPropertySheet::Construct(LPCWSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    m_strCaption = pszCaption;
    m_pParentWnd = pParentWnd;
    m_psh.nStartPage = iSelectPage;
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage)
{
    ZeroMemory(&m_psh, sizeof(m_psh));
    m_psh.dwSize = sizeof(m_psh);
    m_psh.dwFlags = PSH_PROPSHEETPAGE;
    m_psh.nStartPage = iSelectPage;
    m_pParentWnd = pParentWnd;
    m_bStacked = TRUE;
    m_bModeless = FALSE;
    m_dwCreateStyle = static_cast<DWORD>(-1);
    m_dwCreateExStyle = 0;
    m_nLastButton = 0;
    m_nDispatchDepth = 0;
}

// ---------------------------------------------------------------- creation

int CALLBACK AfxPropSheetCallback(HWND, UINT message, LPARAM lParam)
{
    try {
        if (message != PSCB_PRECREATE || !lParam)
            return 0;
        // The sheet being created is the object the creation hook waits to bind.
        auto* sheet = dynamic_cast<CPropertySheet*>(AfxGetThreadState()->m_pWndInit);
        if (!sheet)
            return 0;
        void* dialogTemplate = reinterpret_cast<void*>(lParam);
        if (sheet->m_dwCreateStyle != static_cast<DWORD>(-1)) {
            // The font bits say what follows in the template: they stay as they are.
            const DWORD fontBits = DS_SETFONT | DS_FIXEDSYS;
            DWORD style = (sheet->m_dwCreateStyle & ~fontBits) | (TemplateStyle(dialogTemplate) & fontBits);
            SetTemplateStyles(dialogTemplate, style, sheet->m_dwCreateExStyle, true);
        } else if (!sheet->m_bModeless) {
            // A modal sheet appears once the modal loop is first idle, its first page drawn.
            SetTemplateStyles(dialogTemplate, TemplateStyle(dialogTemplate) & ~WS_VISIBLE, 0, false);
        }
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
        OutputDebugStringW(L"framework: a C++ exception left the property sheet callback\n");
    }
    return 0;
}

BOOL CPropertySheet::CreateSheet(HWND hWndOwner, DWORD dwStyle, DWORD dwExStyle)
{
    m_dwCreateStyle = dwStyle;
    m_dwCreateExStyle = dwExStyle;
    m_pageRecords.assign(static_cast<size_t>(m_pages.GetSize()), PROPSHEETPAGEW());
    for (INT_PTR i = 0; i < m_pages.GetSize(); ++i)
        GetPage(static_cast<int>(i))->BuildPageRecord(m_pageRecords[static_cast<size_t>(i)]);

    m_psh.dwSize = sizeof(m_psh);
    m_psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK;
    m_psh.dwFlags &= ~PSH_PROPTITLE;
    m_psh.pfnCallback = &AfxPropSheetCallback;
    m_psh.hwndParent = hWndOwner;
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.pszCaption = m_strCaption;
    m_psh.nPages = static_cast<UINT>(m_pageRecords.size());
    m_psh.ppsp = m_pageRecords.empty() ? nullptr : m_pageRecords.data();
    if (m_psh.nStartPage >= m_psh.nPages)
        m_psh.nStartPage = 0;

    m_nLastButton = 0;
    m_nModalResult = -1;
    AfxHookWindowCreate(this);
    INT_PTR created = 0;
    try {
        created = ::PropertySheetW(&m_psh);
    } catch (...) {
        AfxUnhookWindowCreate();
        DropStaleCreateHooks();
        throw;
    }
    BOOL attached = AfxUnhookWindowCreate();
    DropStaleCreateHooks();
    HWND hWnd = (created != 0 && created != -1) ? reinterpret_cast<HWND>(created) : nullptr;
    if (!hWnd) {
        if (attached)
            PostNcDestroy();
        return FALSE;
    }
    return m_hWnd == hWnd;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle)
{
    if (dwStyle == static_cast<DWORD>(-1))
        dwStyle = kModelessStyle;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    m_bModeless = TRUE;
    HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : AfxGetMainWnd()->GetSafeHwnd();
    return CreateSheet(owner, dwStyle, dwExStyle);
}

INT_PTR CPropertySheet::DoModal()
{
    m_bModeless = FALSE;
    HWND hWndTop = nullptr;
    HWND owner = CWnd::GetSafeOwner_(m_pParentWnd->GetSafeHwnd(), &hWndTop);
    bool enableOwner = false;
    if (owner && owner != ::GetDesktopWindow() && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        enableOwner = true;
    }
    INT_PTR result = -1;
    try {
        if (CreateSheet(owner, static_cast<DWORD>(-1), 0)) {
            m_nFlags |= WF_CONTINUEMODAL;
            result = RunModalLoop(MLF_SHOWONIDLE);
            if (m_hWnd)
                SetWindowPos(nullptr, 0, 0, 0, 0,
                             SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    } catch (CException* e) {
        e->Delete();
        result = -1;
    }
    if (enableOwner)
        ::EnableWindow(owner, TRUE);
    if (owner && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(owner);
    DestroyWindow();
    if (hWndTop && ::IsWindow(hWndTop))
        ::EnableWindow(hWndTop, TRUE);
    return result;
}

BOOL CPropertySheet::ContinueModal()
{
    if (!CWnd::ContinueModal())
        return FALSE;
    // The control closes a modeless sheet by dropping its current page.
    if (m_hWnd && ::SendMessageW(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0))
        return TRUE;
    m_nModalResult = SheetResult();
    m_nFlags &= ~WF_CONTINUEMODAL;
    return FALSE;
}

int CPropertySheet::SheetResult() const
{
    bool accepted = m_nLastButton == IDOK || m_nLastButton == ID_WIZFINISH;
    // Closed some other way (the system menu, a posted PSM_PRESSBUTTON): the control knows.
    if (m_nLastButton == 0 && m_hWnd)
        accepted = ::SendMessageW(m_hWnd, PSM_GETRESULT, 0, 0) > 0;
    if (!accepted)
        return IDCANCEL;
    return IsWizard() ? ID_WIZFINISH : IDOK;
}

void CPropertySheet::EndDialog(int nEndID)
{
    m_nModalResult = nEndID;
    if (m_nFlags & WF_CONTINUEMODAL)
        EndModalLoop(nEndID);
}

// ---------------------------------------------------------------- messages

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    ++m_nDispatchDepth;
    LRESULT result = 0;
    try {
        result = CWnd::WindowProc(message, wParam, lParam);
    } catch (...) {
        --m_nDispatchDepth;
        DropStaleCreateHooks();
        throw;
    }
    --m_nDispatchDepth;
    DropStaleCreateHooks();
    return result;
}

void CPropertySheet::DropStaleCreateHooks()
{
    // Only between messages: inside one, a page may be between its callback and its creation.
    if (m_nDispatchDepth != 0)
        return;
    for (INT_PTR i = 0; i < m_pages.GetSize(); ++i) {
        CPropertyPage* page = GetPage(static_cast<int>(i));
        if (page->m_bCreateHookPending && !page->m_hWnd) {
            page->m_bCreateHookPending = FALSE;
            AfxUnhookWindowCreate();
        }
    }
}

LRESULT CPropertySheet::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

BOOL CPropertySheet::OnInitDialog()
{
    // The control lays out the sheet and creates the first page here.
    BOOL result = static_cast<BOOL>(Default());
    if (!m_bStacked) {
        if (HWND tab = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, PSM_GETTABCONTROL, 0, 0)))
            ModifyStyle(tab, TCS_MULTILINE, TCS_SINGLELINE, 0);
    }
    return result;
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL || id == ID_WIZFINISH)
        m_nLastButton = id;
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    // Sent, not called, so a derived sheet's message map sees it.
    return static_cast<BOOL>(SendMessage(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(pMsg)));
}

// ---------------------------------------------------------------- pages

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (!pPage)
        return;
    if (!m_hWnd) {
        m_pages.Add(pPage);
        return;
    }
    PROPSHEETPAGEW record;
    pPage->BuildPageRecord(record);
    HPROPSHEETPAGE handle = ::CreatePropertySheetPageW(&record);
    if (!handle)
        AfxThrowMemoryException();
    m_pages.Add(pPage);
    if (!SendMessage(PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(handle))) {
        m_pages.RemoveAt(m_pages.GetSize() - 1);
        ::DestroyPropertySheetPage(handle);
        AfxThrowMemoryException();
    }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage)
{
    int index = GetPageIndex(pPage);
    if (index >= 0)
        RemovePage(index);
}

void CPropertySheet::RemovePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return;
    // The control's answer is no guide (Wine answers 0 after removing the page).
    if (m_hWnd)
        SendMessage(PSM_REMOVEPAGE, static_cast<WPARAM>(nPage), 0);
    m_pages.RemoveAt(nPage);
    if (!m_hWnd && m_psh.nStartPage >= static_cast<UINT>(GetPageCount()) && m_psh.nStartPage > 0)
        m_psh.nStartPage = 0;
}

int CPropertySheet::GetPageCount() const
{
    return static_cast<int>(m_pages.GetSize());
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    if (nPage < 0 || nPage >= GetPageCount())
        return nullptr;
    return static_cast<CPropertyPage*>(m_pages.GetAt(nPage));
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    for (int i = 0; i < GetPageCount(); ++i) {
        if (GetPage(i) == pPage)
            return i;
    }
    return -1;
}

int CPropertySheet::GetActiveIndex() const
{
    if (!m_hWnd)
        return static_cast<int>(m_psh.nStartPage);
    HWND active = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
    for (int i = 0; active && i < GetPageCount(); ++i) {
        if (GetPage(i)->m_hWnd == active)
            return i;
    }
    HWND tab = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, PSM_GETTABCONTROL, 0, 0));
    return tab ? static_cast<int>(::SendMessageW(tab, TCM_GETCURSEL, 0, 0)) : -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    return GetPage(GetActiveIndex());
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return FALSE;
    if (!m_hWnd) {
        m_psh.nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    return static_cast<BOOL>(SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(nPage), 0));
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage)
{
    return SetActivePage(GetPageIndex(pPage));
}

CTabCtrl* CPropertySheet::GetTabControl() const
{
    if (!m_hWnd)
        return nullptr;
    return static_cast<CTabCtrl*>(
        CWnd::FromHandle(reinterpret_cast<HWND>(::SendMessageW(m_hWnd, PSM_GETTABCONTROL, 0, 0))));
}

void CPropertySheet::SetTitle(LPCWSTR lpszText, UINT nStyle)
{
    m_strCaption = lpszText;
    m_psh.dwFlags = (m_psh.dwFlags & ~PSH_PROPTITLE) | (nStyle & PSH_PROPTITLE);
    if (m_hWnd)
        SendMessage(PSM_SETTITLEW, nStyle, reinterpret_cast<LPARAM>(lpszText));
}

void CPropertySheet::EnableStackedTabs(BOOL bStacked)
{
    m_bStacked = bStacked;
}

// ---------------------------------------------------------------- wizards

void CPropertySheet::SetWizardMode()
{
    m_psh.dwFlags |= PSH_WIZARD;
}

BOOL CPropertySheet::IsWizard() const
{
    return (m_psh.dwFlags & (PSH_WIZARD | PSH_WIZARD97)) != 0;
}

void CPropertySheet::SetWizardButtons(DWORD dwFlags)
{
    if (m_hWnd)
        PostMessage(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(dwFlags));
}

void CPropertySheet::SetFinishText(LPCWSTR lpszText)
{
    if (m_hWnd)
        SendMessage(PSM_SETFINISHTEXTW, 0, reinterpret_cast<LPARAM>(lpszText));
}

BOOL CPropertySheet::PressButton(int nButton)
{
    if (!m_hWnd)
        return FALSE;
    switch (nButton) {
    case PSBTN_OK:
        m_nLastButton = IDOK;
        break;
    case PSBTN_CANCEL:
        m_nLastButton = IDCANCEL;
        break;
    case PSBTN_FINISH:
        m_nLastButton = ID_WIZFINISH;
        break;
    default:
        break;
    }
    PostMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(nButton), 0);
    return TRUE;
}
