#include "controls/CTreeOptionsCtrl.h"

#include "controls/CTreeOptionsBrowseButton.h"
#include "controls/CTreeOptionsCombo.h"
#include "controls/CTreeOptionsEdit.h"
#include "controls/CTreeOptionsMenuButton.h"
#include "controls/CTreeOptionsSpinCtrl.h"
#include "foundation/VyxSystem.h"
#include "res/resource.h"

IMPLEMENT_DYNAMIC(CTreeOptionsCtrl, CTreeCtrl)

namespace {

const UINT WM_TREEOPTIONS_FOCUS_EDITOR = WM_APP + 1;
const UINT WM_TREEOPTIONS_CLOSE_EDITORS = WM_APP + 2;
const wchar_t kSeparator[] = L": ";

enum Image {
    kUnchecked = 0,
    kChecked = 1,
    kRadioOff = 2,
    kRadioOn = 3,
    kUncheckedDisabled = 4,
    kCheckedDisabled = 5,
    kRadioOffDisabled = 6,
    kRadioOnDisabled = 7,
    kSemiChecked = 8,
    kSemiCheckedDisabled = 9,
};

bool IsCheckImage(int image)
{
    return image == 0 || image == 1 || image == 4 || image == 5 || image == 8 || image == 9;
}

bool IsCheckedImage(int image)
{
    return image == 1 || image == 5 || image == 8 || image == 9;
}

bool IsEnabledCheckImage(int image)
{
    return image == 0 || image == 1 || image == 8;
}

bool IsRadioImage(int image)
{
    return image >= 2 && image <= 7 && image != 4 && image != 5;
}

template <class T> void DestroyEditor(T*& editor)
{
    if (!editor)
        return;
    if (::IsWindow(editor->GetSafeHwnd()))
        editor->DestroyWindow();
    delete editor;
    editor = nullptr;
}

} // namespace

BEGIN_MESSAGE_MAP(CTreeOptionsCtrl, CTreeCtrl)
ON_WM_LBUTTONDOWN()
ON_WM_CHAR()
ON_WM_KEYDOWN()
ON_WM_KILLFOCUS()
ON_WM_DESTROY()
ON_WM_VSCROLL()
ON_WM_HSCROLL()
ON_NOTIFY_REFLECT_EX(TVN_SELCHANGEDW, OnSelChanged)
ON_NOTIFY_REFLECT_EX(NM_CLICK, OnClick)
ON_NOTIFY_REFLECT_EX(TVN_DELETEITEMW, OnDeleteItem)
ON_MESSAGE(WM_TREEOPTIONS_FOCUS_EDITOR, OnSetFocusToChild)
ON_MESSAGE(WM_TREEOPTIONS_CLOSE_EDITORS, OnCloseEditors)
END_MESSAGE_MAP()

CTreeOptionsCtrl::CTreeOptionsCtrl() : m_nilID(IDB_TREE_OPTIONS) {}

CTreeOptionsCtrl::~CTreeOptionsCtrl()
{
    DestroyItemEditors();
}

void CTreeOptionsCtrl::PreSubclassWindow()
{
    CTreeCtrl::PreSubclassWindow();
    m_ilTree.DeleteImageList();
    if (m_ilTree.Create(m_nilID, 16, 1, RGB(255, 0, 255)))
        SetImageList(&m_ilTree, TVSIL_NORMAL);
}

// ---------------------------------------------------------------- images

int CTreeOptionsCtrl::GetImage(HTREEITEM hItem) const
{
    int image = -1, selected = -1;
    if (!hItem || !GetItemImage(hItem, image, selected))
        return -1;
    return image;
}

void CTreeOptionsCtrl::SetImage(HTREEITEM hItem, int nImage)
{
    SetItemImage(hItem, nImage, nImage);
}

BOOL CTreeOptionsCtrl::IsCheckBox(HTREEITEM hItem) const
{
    return IsCheckImage(GetImage(hItem));
}

BOOL CTreeOptionsCtrl::IsRadioButton(HTREEITEM hItem) const
{
    return IsRadioImage(GetImage(hItem));
}

// ---------------------------------------------------------------- building

HTREEITEM CTreeOptionsCtrl::InsertGroup(LPCWSTR lpszItem, int nImage, HTREEITEM hParent)
{
    HTREEITEM item = InsertItem(lpszItem, nImage, nImage, hParent, TVI_LAST);
    if (item)
        SetItemData(item, 0);
    return item;
}

HTREEITEM CTreeOptionsCtrl::InsertCheckBox(LPCWSTR lpszItem, HTREEITEM hParent, BOOL bCheck)
{
    int image = bCheck ? kChecked : kUnchecked;
    HTREEITEM item = InsertItem(lpszItem, image, image, hParent, TVI_LAST);
    if (item)
        SetItemData(item, 0);
    return item;
}

HTREEITEM CTreeOptionsCtrl::InsertRadioButton(LPCWSTR lpszItem, HTREEITEM hParent, BOOL bCheck)
{
    HTREEITEM item = InsertItem(lpszItem, kRadioOff, kRadioOff, hParent, TVI_LAST);
    if (!item)
        return nullptr;
    SetItemData(item, 0);
    if (bCheck)
        SetRadioButton(item);
    return item;
}

BOOL CTreeOptionsCtrl::AttachRecord(HTREEITEM hItem, CRuntimeClass* pClass1, CRuntimeClass* pClass2,
                                    CTreeOptionsItemData::ControlType type, DWORD dwItemData)
{
    if (!hItem)
        return FALSE;
    auto* record = new CTreeOptionsItemData;
    record->m_pRuntimeClass1 = pClass1;
    record->m_pRuntimeClass2 = pClass2;
    record->m_Type = type;
    record->m_dwItemData = dwItemData;
    delete GetItemRecord(hItem);
    return SetItemData(hItem, reinterpret_cast<DWORD_PTR>(record));
}

BOOL CTreeOptionsCtrl::AddComboBox(HTREEITEM hItem, CRuntimeClass* pRuntimeClass, DWORD dwItemData)
{
    return AttachRecord(hItem, pRuntimeClass, nullptr, CTreeOptionsItemData::Unknown, dwItemData);
}

BOOL CTreeOptionsCtrl::AddEditBox(HTREEITEM hItem, CRuntimeClass* pRuntimeClassEditCtrl, DWORD dwItemData)
{
    return AttachRecord(hItem, pRuntimeClassEditCtrl, nullptr, CTreeOptionsItemData::Unknown, dwItemData);
}

BOOL CTreeOptionsCtrl::AddEditBoxWithSpin(HTREEITEM hItem, CRuntimeClass* pRuntimeClassEditCtrl,
                                          CRuntimeClass* pRuntimeClassSpinCtrl, DWORD dwItemData)
{
    return AttachRecord(hItem, pRuntimeClassEditCtrl, pRuntimeClassSpinCtrl, CTreeOptionsItemData::Spin, dwItemData);
}

BOOL CTreeOptionsCtrl::AddEditBoxWithFileBrowse(HTREEITEM hItem, CRuntimeClass* pRuntimeClassEditCtrl,
                                                CRuntimeClass* pRuntimeClassButton, DWORD dwItemData)
{
    return AttachRecord(hItem, pRuntimeClassEditCtrl, pRuntimeClassButton, CTreeOptionsItemData::FileBrowser,
                        dwItemData);
}

BOOL CTreeOptionsCtrl::AddEditBoxWithFolderBrowse(HTREEITEM hItem, CRuntimeClass* pRuntimeClassEditCtrl,
                                                  CRuntimeClass* pRuntimeClassButton, DWORD dwItemData)
{
    return AttachRecord(hItem, pRuntimeClassEditCtrl, pRuntimeClassButton, CTreeOptionsItemData::FolderBrowser,
                        dwItemData);
}

BOOL CTreeOptionsCtrl::AddEditBoxWithColorBrowse(HTREEITEM hItem, CRuntimeClass* pRuntimeClassEditCtrl,
                                                 CRuntimeClass* pRuntimeClassButton, DWORD dwItemData)
{
    return AttachRecord(hItem, pRuntimeClassEditCtrl, pRuntimeClassButton, CTreeOptionsItemData::ColorBrowser,
                        dwItemData);
}

BOOL CTreeOptionsCtrl::AddEditBoxWithMenu(HTREEITEM hItem, CRuntimeClass* pRuntimeClassEditCtrl,
                                          CRuntimeClass* pRuntimeClassMenuButton, DWORD dwItemData)
{
    return AttachRecord(hItem, pRuntimeClassEditCtrl, pRuntimeClassMenuButton, CTreeOptionsItemData::MenuButton,
                        dwItemData);
}

CTreeOptionsItemData* CTreeOptionsCtrl::GetItemRecord(HTREEITEM hItem) const
{
    return hItem ? reinterpret_cast<CTreeOptionsItemData*>(GetItemData(hItem)) : nullptr;
}

DWORD CTreeOptionsCtrl::GetUserItemData(HTREEITEM hItem) const
{
    CTreeOptionsItemData* record = GetItemRecord(hItem);
    return record ? record->m_dwItemData : 0;
}

// ---------------------------------------------------------------- check boxes

BOOL CTreeOptionsCtrl::GetCheckBox(HTREEITEM hItem, BOOL* pbCheck) const
{
    int image = GetImage(hItem);
    if (!IsCheckImage(image))
        return FALSE;
    *pbCheck = IsCheckedImage(image);
    return TRUE;
}

BOOL CTreeOptionsCtrl::SetCheckBox(HTREEITEM hItem, BOOL bCheck)
{
    int image = GetImage(hItem);
    if (!IsCheckImage(image))
        return FALSE;
    if (bCheck)
        SetImage(hItem, (image == kSemiChecked || image == kSemiCheckedDisabled) ? kSemiChecked : kChecked);
    else
        SetImage(hItem, kUnchecked);
    return TRUE;
}

BOOL CTreeOptionsCtrl::GetCheckBoxEnable(HTREEITEM hItem, BOOL* pbEnable) const
{
    int image = GetImage(hItem);
    if (!IsCheckImage(image))
        return FALSE;
    *pbEnable = IsEnabledCheckImage(image);
    return TRUE;
}

BOOL CTreeOptionsCtrl::SetCheckBoxEnable(HTREEITEM hItem, BOOL bEnable)
{
    int image = GetImage(hItem);
    if (!IsCheckImage(image))
        return FALSE;
    bool unchecked = image == kUnchecked || image == kUncheckedDisabled;
    bool semi = image == kSemiChecked || image == kSemiCheckedDisabled;
    if (bEnable)
        SetImage(hItem, unchecked ? kUnchecked : semi ? kSemiChecked : kChecked);
    else
        SetImage(hItem, unchecked ? kUncheckedDisabled : semi ? kSemiCheckedDisabled : kCheckedDisabled);
    return TRUE;
}

BOOL CTreeOptionsCtrl::SetSemiCheckBox(HTREEITEM hItem, BOOL bEnable)
{
    if (!IsCheckBox(hItem))
        return FALSE;
    SetImage(hItem, bEnable ? kSemiChecked : kSemiCheckedDisabled);
    return TRUE;
}

BOOL CTreeOptionsCtrl::IsSemiChecked(HTREEITEM hItem) const
{
    return GetImage(hItem) > 7;
}

void CTreeOptionsCtrl::ToggleCheckBox(HTREEITEM hItem, BOOL bCheck)
{
    SetRedraw(FALSE);
    int image = GetImage(hItem);
    if (bCheck)
        SetImage(hItem, kUnchecked);
    else
        SetImage(hItem, (image == kSemiChecked || image == kSemiCheckedDisabled) ? kSemiChecked : kChecked);

    for (HTREEITEM child = GetChildItem(hItem); child; child = GetNextSiblingItem(child)) {
        int childImage = GetImage(child);
        if (!IsCheckImage(childImage))
            continue;
        bool semi = childImage == kSemiChecked || childImage == kSemiCheckedDisabled;
        if (IsEnabledCheckImage(childImage))
            SetImage(child, bCheck ? kUnchecked : semi ? kSemiChecked : kChecked);
        else // a disabled child follows the new state but stays disabled
            SetImage(child, bCheck ? kUncheckedDisabled : semi ? kSemiCheckedDisabled : kCheckedDisabled);
    }

    HTREEITEM parent = GetParentItem(hItem);
    int parentImage = GetImage(parent);
    if (parent && IsCheckImage(parentImage)) {
        int checked = 0, boxes = 0;
        for (HTREEITEM child = GetChildItem(parent); child; child = GetNextSiblingItem(child)) {
            int childImage = GetImage(child);
            if (!IsCheckImage(childImage))
                continue;
            ++boxes;
            checked += IsCheckedImage(childImage) ? 1 : 0;
        }
        if (boxes > 0 && checked == boxes)
            SetImage(parent, kChecked);
        else if (checked > 0)
            SetImage(parent, IsEnabledCheckImage(parentImage) ? kSemiChecked : kSemiCheckedDisabled);
        else
            SetImage(parent, kUnchecked);
    }
    SetRedraw(TRUE);
    Invalidate();
}

void CTreeOptionsCtrl::HandleCheckBox(HTREEITEM hItem)
{
    int image = GetImage(hItem);
    if (IsEnabledCheckImage(image))
        ToggleCheckBox(hItem, IsCheckedImage(image));
    else if (image == kRadioOff)
        SetRadioButton(hItem);
}

// ---------------------------------------------------------------- radio buttons

BOOL CTreeOptionsCtrl::GetRadioButton(HTREEITEM hItem, BOOL* pbCheck) const
{
    int image = GetImage(hItem);
    if (!IsRadioImage(image))
        return FALSE;
    *pbCheck = image == kRadioOn || image == kRadioOnDisabled;
    return TRUE;
}

BOOL CTreeOptionsCtrl::GetRadioButtonEnable(HTREEITEM hItem, BOOL* pbEnable) const
{
    int image = GetImage(hItem);
    if (!IsRadioImage(image))
        return FALSE;
    *pbEnable = image == kRadioOff || image == kRadioOn;
    return TRUE;
}

BOOL CTreeOptionsCtrl::SetRadioButtonEnable(HTREEITEM hItem, BOOL bEnable)
{
    int image = GetImage(hItem);
    if (!IsRadioImage(image))
        return FALSE;
    bool on = image == kRadioOn || image == kRadioOnDisabled;
    SetImage(hItem, bEnable ? (on ? kRadioOn : kRadioOff) : (on ? kRadioOnDisabled : kRadioOffDisabled));
    return TRUE;
}

BOOL CTreeOptionsCtrl::SetRadioButton(HTREEITEM hItem)
{
    if (!IsRadioButton(hItem))
        return FALSE;
    SetRedraw(FALSE);
    HTREEITEM parent = GetParentItem(hItem);
    for (HTREEITEM child = parent ? GetChildItem(parent) : GetRootItem(); child; child = GetNextSiblingItem(child)) {
        int image = GetImage(child);
        if (child == hItem)
            SetImage(child, kRadioOn);
        else if (IsRadioImage(image))
            SetImage(child, (image == kRadioOff || image == kRadioOn) ? kRadioOff : kRadioOffDisabled);
    }
    SetRedraw(TRUE);
    Invalidate();
    return TRUE;
}

BOOL CTreeOptionsCtrl::SetRadioButton(HTREEITEM hParent, int nIndex)
{
    SetRedraw(FALSE);
    int index = 0;
    for (HTREEITEM child = GetChildItem(hParent); child; child = GetNextSiblingItem(child)) {
        int image = GetImage(child);
        if (!IsRadioImage(image))
            continue;
        if (index++ == nIndex)
            SetImage(child, kRadioOn);
        else
            SetImage(child, (image == kRadioOff || image == kRadioOn) ? kRadioOff : kRadioOffDisabled);
    }
    SetRedraw(TRUE);
    Invalidate();
    return nIndex >= 0 && nIndex < index;
}

BOOL CTreeOptionsCtrl::GetRadioButton(HTREEITEM hParent, int* pnIndex, HTREEITEM* phItem) const
{
    int index = 0;
    for (HTREEITEM child = GetChildItem(hParent); child; child = GetNextSiblingItem(child)) {
        int image = GetImage(child);
        if (!IsRadioImage(image))
            continue;
        if (image == kRadioOn || image == kRadioOnDisabled) {
            *pnIndex = index;
            if (phItem)
                *phItem = child;
            return TRUE;
        }
        ++index;
    }
    // None is on: past the last radio child.
    *pnIndex = index;
    if (phItem)
        *phItem = nullptr;
    return FALSE;
}

BOOL CTreeOptionsCtrl::SetGroupEnable(HTREEITEM hParent, BOOL bEnable)
{
    for (HTREEITEM child = GetChildItem(hParent); child; child = GetNextSiblingItem(child)) {
        if (IsRadioButton(child))
            SetRadioButtonEnable(child, bEnable);
        else if (IsCheckBox(child))
            SetCheckBoxEnable(child, bEnable);
    }
    return TRUE;
}

// ---------------------------------------------------------------- values

CString CTreeOptionsCtrl::LabelOf(const CString& text)
{
    int separator = text.Find(kSeparator);
    return separator < 0 ? text : text.Left(separator);
}

CString CTreeOptionsCtrl::GetEditText(HTREEITEM hItem) const
{
    if (hItem && hItem == m_hControlItem) {
        CString value;
        if (m_pCombo)
            m_pCombo->GetWindowText(value);
        else if (m_pEdit)
            m_pEdit->GetWindowText(value);
        if (m_pCombo || m_pEdit)
            return value;
    }
    CString text = GetItemText(hItem);
    int separator = text.Find(kSeparator);
    return separator < 0 ? CString() : text.Mid(separator + 2);
}

void CTreeOptionsCtrl::SetEditText(HTREEITEM hItem, LPCWSTR lpszNewText)
{
    if (hItem && hItem == m_hControlItem && !m_bClosing) {
        // The editor holds the value now; it goes into the text when the editor closes.
        if (m_pCombo) {
            if (m_pCombo->SelectString(-1, lpszNewText) == CB_ERR)
                m_pCombo->SetWindowText(lpszNewText);
            return;
        }
        if (m_pEdit) {
            m_pEdit->SetWindowText(lpszNewText);
            return;
        }
    }
    CString text = GetItemText(hItem);
    int separator = text.Find(kSeparator);
    text = separator < 0 ? text + kSeparator : text.Left(separator + 2);
    SetItemText(hItem, text + lpszNewText);
}

COLORREF CTreeOptionsCtrl::GetColor(HTREEITEM hItem) const
{
    return static_cast<COLORREF>(HexTextToInt(GetEditText(hItem)));
}

void CTreeOptionsCtrl::SetColor(HTREEITEM hItem, COLORREF color)
{
    CString value;
    value.Format(L"%06X", color);
    SetEditText(hItem, value);
}

int CTreeOptionsCtrl::GetComboIndex(HTREEITEM hItem) const
{
    CTreeOptionsItemData* record = GetItemRecord(hItem);
    return record ? record->m_nComboIndex : -1;
}

// ---------------------------------------------------------------- editors

void CTreeOptionsCtrl::CreateItemEditors(HTREEITEM hItem)
{
    CTreeOptionsItemData* record = GetItemRecord(hItem);
    if (!record || !record->m_pRuntimeClass1)
        return;
    m_hControlItem = hItem;
    ++m_nEditorSerial;
    CFont* font = CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));

    CString value = GetEditText(hItem);
    SetItemText(hItem, LabelOf(GetItemText(hItem)));
    CRect text;
    GetItemRect(hItem, &text, TRUE);

    if (record->m_pRuntimeClass1->IsDerivedFrom(RUNTIME_CLASS(CTreeOptionsCombo))) {
        m_pCombo = static_cast<CTreeOptionsCombo*>(record->m_pRuntimeClass1->CreateObject());
        if (!m_pCombo)
            return;
        m_pCombo->SetTreeBuddy(this);
        DWORD style = m_pCombo->GetWindowStyle();
        CRect rect(text.right + 2, text.top, text.right + 2 + m_pCombo->GetWidth(),
                   text.top + m_pCombo->GetDropDownHeight());
        if (!m_pCombo->Create(style, rect, this, kEditorId)) {
            DestroyEditor(m_pCombo);
            return;
        }
        m_pCombo->SetFont(font);
        if ((style & 3) == CBS_DROPDOWNLIST || (style & 3) == 0)
            m_pCombo->SelectString(-1, value);
        else
            m_pCombo->SetWindowText(value);
    } else if (record->m_pRuntimeClass1->IsDerivedFrom(RUNTIME_CLASS(CTreeOptionsEdit))) {
        m_pEdit = static_cast<CTreeOptionsEdit*>(record->m_pRuntimeClass1->CreateObject());
        if (!m_pEdit)
            return;
        m_pEdit->SetTreeBuddy(this);
        CRect rect(text.right + 2, text.top, text.right + 2 + m_pEdit->GetWidth(), text.bottom + 1);
        if (!m_pEdit->CreateEx(WS_EX_CLIENTEDGE, L"Edit", value, m_pEdit->GetWindowStyle(), rect, this, kEditorId)) {
            DestroyEditor(m_pEdit);
            return;
        }
        m_pEdit->SetFont(font);
    }

    if (m_bAutoSelect) {
        if (m_pCombo)
            m_pCombo->SetFocus();
        else if (m_pEdit)
            m_pEdit->SetFocus();
    }

    if (!m_pEdit || !record->m_pRuntimeClass2)
        return;
    CRect edit;
    m_pEdit->GetWindowRect(&edit);
    ScreenToClient(&edit);
    switch (record->m_Type) {
    case CTreeOptionsItemData::Spin: {
        m_pSpin = static_cast<CTreeOptionsSpinCtrl*>(record->m_pRuntimeClass2->CreateObject());
        if (!m_pSpin)
            break;
        m_pSpin->SetTreeBuddy(this);
        m_pSpin->SetEditBuddy(m_pEdit);
        CRect rect(edit.right, edit.top, edit.right + m_pSpin->GetWidth(), edit.bottom);
        if (!m_pSpin->Create(m_pSpin->GetWindowStyle(), rect, this, kEditorId)) {
            DestroyEditor(m_pSpin);
            break;
        }
        m_pSpin->SetBuddy(m_pEdit);
        int lower = 0, upper = 100;
        m_pSpin->GetRange(lower, upper);
        m_pSpin->SendMessage(UDM_SETRANGE, 0, MAKELPARAM(upper, lower));
        m_pSpin->SetFont(font);
        break;
    }
    case CTreeOptionsItemData::FileBrowser:
    case CTreeOptionsItemData::FolderBrowser:
    case CTreeOptionsItemData::ColorBrowser: {
        m_pButton = static_cast<CTreeOptionsBrowseButton*>(record->m_pRuntimeClass2->CreateObject());
        if (!m_pButton)
            break;
        m_pButton->SetTreeBuddy(this);
        m_pButton->SetEditBuddy(m_pEdit);
        CRect rect(edit.right + 1, edit.top - 2, edit.right + 1 + m_pButton->GetWidth(), edit.bottom + 1);
        if (!m_pButton->Create(m_pButton->GetCaption(), m_pButton->GetWindowStyle(), rect, this, kEditorId)) {
            DestroyEditor(m_pButton);
            break;
        }
        m_pButton->SetFont(font);
        m_pEdit->SetButtonBuddy(m_pButton);
        break;
    }
    case CTreeOptionsItemData::MenuButton: {
        m_pMenuButton = static_cast<CTreeOptionsMenuButton*>(record->m_pRuntimeClass2->CreateObject());
        if (!m_pMenuButton)
            break;
        m_pMenuButton->SetTreeBuddy(this);
        m_pMenuButton->SetEditBuddy(m_pEdit);
        CRect rect(edit.right + 1, edit.top - 2, edit.right + 1 + m_pMenuButton->GetWidth(), edit.bottom + 1);
        if (!m_pMenuButton->Create(L"", m_pMenuButton->GetWindowStyle(), rect, this, kEditorId)) {
            DestroyEditor(m_pMenuButton);
            break;
        }
        m_pMenuButton->SetFont(font);
        m_pEdit->SetMenuButtonBuddy(m_pMenuButton);
        break;
    }
    default:
        break;
    }
}

void CTreeOptionsCtrl::CommitItemEditors()
{
    if (!m_hControlItem)
        return;
    BOOL closing = m_bClosing;
    m_bClosing = TRUE; // straight into the item text
    if (m_pCombo && ::IsWindow(m_pCombo->m_hWnd)) {
        CString value;
        m_pCombo->GetWindowText(value);
        SetEditText(m_hControlItem, value);
        if (CTreeOptionsItemData* record = GetItemRecord(m_hControlItem))
            record->m_nComboIndex = m_pCombo->GetCurSel();
    } else if (m_pEdit && ::IsWindow(m_pEdit->m_hWnd)) {
        CString value;
        m_pEdit->GetWindowText(value);
        SetEditText(m_hControlItem, value);
    }
    m_bClosing = closing;
}

void CTreeOptionsCtrl::DestroyItemEditors()
{
    BOOL closing = m_bClosing;
    m_bClosing = TRUE; // the focus moving away from a dying editor closes nothing more
    DestroyEditor(m_pCombo);
    DestroyEditor(m_pEdit);
    DestroyEditor(m_pSpin);
    DestroyEditor(m_pButton);
    DestroyEditor(m_pMenuButton);
    m_hControlItem = nullptr;
    m_bClosing = closing;
}

void CTreeOptionsCtrl::CloseItemEditors()
{
    if (m_bClosing)
        return;
    CommitItemEditors();
    DestroyItemEditors();
}

void CTreeOptionsCtrl::PostCloseItemEditors()
{
    if (!m_bClosing && m_hControlItem && ::IsWindow(m_hWnd))
        PostMessage(WM_TREEOPTIONS_CLOSE_EDITORS, static_cast<WPARAM>(m_nEditorSerial), 0);
}

LRESULT CTreeOptionsCtrl::OnCloseEditors(WPARAM wParam, LPARAM)
{
    if (static_cast<int>(wParam) != m_nEditorSerial || !m_hControlItem)
        return 0;
    // The focus may have come back to an editor meanwhile.
    if (IsEditorWindow(::GetFocus()))
        return 0;
    CloseItemEditors();
    return 0;
}

BOOL CTreeOptionsCtrl::IsEditorWindow(HWND hWnd) const
{
    if (!hWnd)
        return FALSE;
    if (m_pCombo && (hWnd == m_pCombo->m_hWnd || ::IsChild(m_pCombo->m_hWnd, hWnd)))
        return TRUE;
    if (m_pCombo && ::IsWindow(m_pCombo->m_hWnd)) {
        COMBOBOXINFO info = {};
        info.cbSize = sizeof(info);
        if (::GetComboBoxInfo(m_pCombo->m_hWnd, &info) && (hWnd == info.hwndList || hWnd == info.hwndItem))
            return TRUE;
    }
    return (m_pEdit && hWnd == m_pEdit->m_hWnd) || (m_pSpin && hWnd == m_pSpin->m_hWnd) ||
           (m_pButton && hWnd == m_pButton->m_hWnd) || (m_pMenuButton && hWnd == m_pMenuButton->m_hWnd);
}

LRESULT CTreeOptionsCtrl::OnSetFocusToChild(WPARAM, LPARAM)
{
    if (m_pCombo)
        m_pCombo->SetFocus();
    else if (m_pEdit)
        m_pEdit->SetFocus();
    return 0;
}

// ---------------------------------------------------------------- messages

BOOL CTreeOptionsCtrl::OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    CloseItemEditors();
    auto* change = reinterpret_cast<NMTREEVIEWW*>(pNMHDR);
    HTREEITEM item = change->itemNew.hItem;
    if (GetItemRecord(item))
        CreateItemEditors(item);
    return FALSE; // the parent hears of the selection too
}

BOOL CTreeOptionsCtrl::OnClick(NMHDR* /*pNMHDR*/, LRESULT* pResult)
{
    *pResult = 0;
    DWORD pos = ::GetMessagePos();
    CPoint point(static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos)));
    ScreenToClient(&point);
    UINT flags = 0;
    HTREEITEM item = HitTest(point, &flags);
    if (item && (flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)) && GetItemRecord(item) &&
        !m_hControlItem) {
        CreateItemEditors(item);
        if (m_bAutoSelect)
            PostMessage(WM_TREEOPTIONS_FOCUS_EDITOR);
    }
    return FALSE;
}

BOOL CTreeOptionsCtrl::OnDeleteItem(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    auto* change = reinterpret_cast<NMTREEVIEWW*>(pNMHDR);
    delete reinterpret_cast<CTreeOptionsItemData*>(change->itemOld.lParam);
    return FALSE; // the parent may watch deletions too
}

void CTreeOptionsCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    UINT flags = 0;
    HTREEITEM item = HitTest(point, &flags);
    const UINT onItem =
        TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT | TVHT_ONITEMSTATEICON;
    bool hit = m_bToggleOverIconOnly ? (flags & TVHT_ONITEMICON) != 0 : (flags & onItem) != 0;
    if (item && hit)
        HandleCheckBox(item);
    CTreeCtrl::OnLButtonDown(nFlags, point);
}

void CTreeOptionsCtrl::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_SPACE) {
        HTREEITEM item = GetSelectedItem();
        int image = GetImage(item);
        if (IsEnabledCheckImage(image) || image == kRadioOff || image == kRadioOn) {
            HandleCheckBox(item);
            return;
        }
    }
    CTreeCtrl::OnChar(nChar, nRepCnt, nFlags);
}

void CTreeOptionsCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_RIGHT && m_hControlItem && m_hControlItem == GetSelectedItem()) {
        if (m_pCombo && m_pCombo->IsWindowVisible()) {
            m_pCombo->SetFocus();
            return;
        }
        if (m_pEdit && m_pEdit->IsWindowVisible()) {
            m_pEdit->SetFocus();
            return;
        }
    }
    CTreeCtrl::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CTreeOptionsCtrl::OnKillFocus(CWnd* pNewWnd)
{
    CTreeCtrl::OnKillFocus(pNewWnd);
    if (m_hControlItem && !IsEditorWindow(pNewWnd->GetSafeHwnd()))
        CloseItemEditors();
}

void CTreeOptionsCtrl::OnDestroy()
{
    // The value typed last goes into its item before the items go.
    CloseItemEditors();
    CTreeCtrl::OnDestroy();
}

void CTreeOptionsCtrl::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    // The spin control reports to its parent, the tree: that is no scrolling of the tree.
    if (m_pSpin && pScrollBar && pScrollBar->GetSafeHwnd() == m_pSpin->m_hWnd)
        return;
    CloseItemEditors();
    CTreeCtrl::OnVScroll(nSBCode, nPos, pScrollBar);
}

void CTreeOptionsCtrl::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (m_hControlItem)
        CloseItemEditors();
    CTreeCtrl::OnHScroll(nSBCode, nPos, pScrollBar);
}

BOOL CTreeOptionsCtrl::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // Commands of the menu button's menu belong to the edit beside it.
    if (m_pMenuButton && m_pEdit && lParam == 0) {
        CMenu* menu = m_pMenuButton->GetAttachedMenu();
        if (menu && menu->GetMenuState(LOWORD(wParam), MF_BYCOMMAND) != static_cast<UINT>(-1)) {
            m_pEdit->SendMessage(WM_COMMAND, wParam, lParam);
            return TRUE;
        }
    }
    return CTreeCtrl::OnCommand(wParam, lParam);
}
