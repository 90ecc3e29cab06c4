#include "browser/options/COptPage.h"

#include "foundation/VyxSystem.h"

IMPLEMENT_DYNAMIC(COptPage, CResizablePage)

BEGIN_MESSAGE_MAP(COptPage, CResizablePage)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

COptPage::COptPage(UINT templateId, UINT iconId) : CResizablePage(templateId)
{
    m_psp.dwFlags &= ~PSP_HASHELP;
    if (iconId) {
        m_psp.dwFlags |= PSP_USEHICON;
        m_psp.hIcon = AfxGetApp()->LoadIcon(iconId);
    }
}

void COptPage::BindCheck(UINT id, bool& field)
{
    Bind({id, Kind::Check, 0, CString(), &field, nullptr, 0, nullptr});
}

void COptPage::BindCheck(UINT id, int& field)
{
    Bind({id, Kind::Check, 0, CString(), nullptr, &field, 0, nullptr});
}

void COptPage::BindCheckBit(UINT id, int& field, int bit)
{
    Bind({id, Kind::CheckBit, 0, CString(), nullptr, &field, bit, nullptr});
}

void COptPage::BindComboIndex(UINT id, int& field)
{
    Bind({id, Kind::Combo, 0, CString(), nullptr, &field, 0, nullptr});
}

void COptPage::BindText(UINT id, CString& field)
{
    Bind({id, Kind::Text, 0, CString(), nullptr, nullptr, 0, &field});
}

void COptPage::BindNumber(UINT id, int& field)
{
    Bind({id, Kind::Number, 0, CString(), nullptr, &field, 0, nullptr});
}

void COptPage::LoadMembers()
{
    for (Binding& b : m_bindings) {
        switch (b.kind) {
        case Kind::Check:
            b.value = b.flag ? *b.flag : (*b.number != 0);
            break;
        case Kind::CheckBit:
            b.value = (*b.number & b.bit) != 0;
            break;
        case Kind::Combo:
            b.value = *b.number;
            break;
        case Kind::Text:
            b.text = *b.string;
            break;
        case Kind::Number:
            b.text.Format(L"%d", *b.number);
            break;
        }
    }
}

void COptPage::StoreField(Binding& b)
{
    switch (b.kind) {
    case Kind::Check:
        if (b.flag)
            *b.flag = b.value != 0;
        else
            *b.number = b.value != 0;
        break;
    case Kind::CheckBit:
        *b.number = b.value ? (*b.number | b.bit) : (*b.number & ~b.bit);
        break;
    case Kind::Combo:
        *b.number = b.value;
        break;
    case Kind::Text:
        *b.string = b.text;
        break;
    case Kind::Number:
        *b.number = DecimalTextToInt(b.text);
        break;
    }
}

void COptPage::DoDataExchange(CDataExchange* pDX)
{
    CResizablePage::DoDataExchange(pDX);
    for (Binding& b : m_bindings) {
        switch (b.kind) {
        case Kind::Check:
        case Kind::CheckBit:
            DDX_Check(pDX, b.id, b.value);
            break;
        case Kind::Combo:
            DDX_CBIndex(pDX, b.id, b.value);
            break;
        case Kind::Text:
        case Kind::Number:
            DDX_Text(pDX, b.id, b.text);
            break;
        }
    }
}

BOOL COptPage::OnInitDialog()
{
    CResizablePage::OnInitDialog();
    PrepareControls();
    LoadMembers();
    ShowMembers();
    SetAnchors();
    m_bReady = true;
    return TRUE;
}

BOOL COptPage::OnSetActive()
{
    const bool ready = m_bReady;
    m_bReady = false;
    BOOL result = CResizablePage::OnSetActive();
    m_bReady = ready;
    return result;
}

void COptPage::ShowMembers()
{
    const bool ready = m_bReady;
    m_bReady = false;
    UpdateData(FALSE);
    m_bReady = ready;
}

namespace {

// Whether the notification is a control's value changing under the user's hand: what the sheet's
// Apply button stands ready to apply.
bool IsValueChange(UINT code, HWND control)
{
    if (code == EN_CHANGE || code == CBN_SELCHANGE)
        return true;
    if (code != BN_CLICKED)
        return false;
    switch (::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return true;
    default:
        return false;
    }
}

} // namespace

BOOL COptPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam), code = HIWORD(wParam);
    if (m_bReady && lParam && IsValueChange(code, reinterpret_cast<HWND>(lParam)))
        SetModified(TRUE);
    if (m_bReady && lParam) {
        for (Binding& b : m_bindings) {
            if (b.id != id)
                continue;
            const bool notifies = ((b.kind == Kind::Check || b.kind == Kind::CheckBit) && code == BN_CLICKED) ||
                                  (b.kind == Kind::Combo && code == CBN_SELCHANGE) ||
                                  ((b.kind == Kind::Text || b.kind == Kind::Number) && code == EN_CHANGE);
            if (!notifies)
                continue;
            if (UpdateData(TRUE))
                StoreField(b);
            OnControlChanged(id);
            return TRUE;
        }
    }
    return CResizablePage::OnCommand(wParam, lParam);
}

HBRUSH COptPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (!HasWhiteBackground())
        return CResizablePage::OnCtlColor(pDC, pWnd, nCtlColor);
    pDC->SetBkMode(TRANSPARENT);
    return GetSysColorBrush(COLOR_WINDOW);
}

void COptPage::StretchWithWidth(std::initializer_list<UINT> ids)
{
    for (UINT id : ids)
        AddAnchor(id, TOP_LEFT, TOP_RIGHT);
}

void COptPage::FillCombo(UINT id, std::initializer_list<const wchar_t*> items)
{
    for (const wchar_t* item : items)
        SendDlgItemMessage(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}

void COptPage::PrepareFolderButton(CEditButtonCtrl& edit)
{
    edit.SetButtonWidth(20);
    edit.SetButtonStyle(BS_OWNERDRAW | BS_ICON);
    edit.CreateButton();
}

void COptPage::PrepareMacroButton(CEditButtonCtrl& edit, const MacroEntry* entries, size_t count)
{
    edit.ResetMenu(1024);
    for (size_t i = 0; i < count; ++i)
        edit.AddMenuItem(entries[i].label, entries[i].value);
    edit.CreateButton();
}
