#include "catalogue/VFileFilterDlg.h"

#include "catalogue/CKWDocSettings.h"
#include "foundation/VyxIni.h"
#include "res/resource.h"

#include <commctrl.h>

namespace {

const wchar_t kFilter[] = L"Filter";
const wchar_t* const kUnits[] = {L"Bytes", L"KB", L"MB"};
const int kUnitCount = 3;

int UnitIndex(int unit)
{
    return unit >= 0 && unit < kUnitCount ? unit : 0;
}

} // namespace

BEGIN_MESSAGE_MAP(VFileFilterDlg, CDialog)
ON_BN_CLICKED(IDC_FILTER_CLEAR, OnClear)
END_MESSAGE_MAP()

VFileFilterDlg::VFileFilterDlg(CWnd* parent) : CDialog(IDD_FILE_FILTER, parent) {}

BOOL VFileFilterDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_names.SubclassDlgItem(IDC_FILTER_NAMES, this);
    m_sizesBegin.SubclassDlgItem(IDC_FILTER_SIZE_BEGIN, this);
    m_unitsBegin.SubclassDlgItem(IDC_FILTER_UNIT_BEGIN, this);
    m_sizesEnd.SubclassDlgItem(IDC_FILTER_SIZE_END, this);
    m_unitsEnd.SubclassDlgItem(IDC_FILTER_UNIT_END, this);
    CreatePicker(m_pickerBegin, IDC_FILTER_DATE_BEGIN);
    CreatePicker(m_pickerEnd, IDC_FILTER_DATE_END);
    for (const wchar_t* unit : kUnits) {
        m_unitsBegin.AddString(unit);
        m_unitsEnd.AddString(unit);
    }

    LoadSettings();

    m_names.SetWindowText(m_strPathMask);
    SYSTEMTIME day;
    if (CTime(m_dateBegin).GetAsSystemTime(day))
        m_pickerBegin.SetTime(&day);
    if (CTime(m_dateEnd).GetAsSystemTime(day))
        m_pickerEnd.SetTime(&day);
    m_sizesBegin.SetCurSel(0);
    m_sizesEnd.SetCurSel(0);
    CheckDlgButton(IDC_FILTER_NAME_ON, m_bName ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_FILTER_DATE_ON, m_bDate ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_FILTER_SIZE_ON, m_bSize ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

bool VFileFilterDlg::CreatePicker(CDateTimeCtrl& picker, int placeholderId)
{
    CWnd* placeholder = GetDlgItem(placeholderId);
    if (!placeholder)
        return false;
    CRect rect;
    placeholder->GetWindowRect(&rect);
    ScreenToClient(&rect);
    HWND before = placeholder->GetSafeHwnd();
    // The picker takes the placeholder's id and its place in the tab order.
    placeholder->SetDlgCtrlID(0);
    if (!picker.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | DTS_LONGDATEFORMAT, rect, this, placeholderId)) {
        placeholder->SetDlgCtrlID(placeholderId);
        return false;
    }
    picker.SetFont(GetFont());
    ::SetWindowPos(picker.GetSafeHwnd(), before, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::DestroyWindow(before);
    return true;
}

void VFileFilterDlg::LoadSettings()
{
    m_nameHistory.Load();
    m_nameHistory.FillComboBox(m_names);
    if (long long stored = CKWDocSettings::ReadStoredTime(kFilter, L"DateBegin"))
        m_dateBegin = stored;
    if (long long stored = CKWDocSettings::ReadStoredTime(kFilter, L"DateEnd"))
        m_dateEnd = stored;
    m_beginHistory.Load();
    m_beginHistory.FillComboBox(m_sizesBegin);
    if (m_sizesBegin.GetCount() == 0)
        m_sizesBegin.AddString(L"0");
    m_endHistory.Load();
    m_endHistory.FillComboBox(m_sizesEnd);
    if (m_sizesEnd.GetCount() == 0)
        m_sizesEnd.AddString(L"10");
    m_unitBegin = UnitIndex(GetAppIniInt(kFilter, L"UnitBegin", 0));
    m_unitEnd = UnitIndex(GetAppIniInt(kFilter, L"UnitEnd", 0));
    m_unitsBegin.SetCurSel(m_unitBegin);
    m_unitsEnd.SetCurSel(m_unitEnd);
    CString first;
    m_sizesBegin.GetLBText(0, first);
    m_sizeBegin = CKWDocSettings::ScaleSize(_wtol(first), m_unitBegin);
    m_sizesEnd.GetLBText(0, first);
    m_sizeEnd = CKWDocSettings::ScaleSize(_wtol(first), m_unitEnd);
    m_bName = GetAppIniInt(kFilter, L"FileName", 0) != 0;
    m_bDate = GetAppIniInt(kFilter, L"FileDate", 0) != 0;
    m_bSize = GetAppIniInt(kFilter, L"FileSize", 0) != 0;
}

void VFileFilterDlg::SaveSettings()
{
    m_nameHistory.SaveComboBox(m_names);
    m_beginHistory.SaveComboBox(m_sizesBegin);
    m_endHistory.SaveComboBox(m_sizesEnd);
    WriteAppIniBinary(kFilter, L"DateBegin", &m_dateBegin, sizeof(m_dateBegin));
    WriteAppIniBinary(kFilter, L"DateEnd", &m_dateEnd, sizeof(m_dateEnd));
    WriteAppIniInt(kFilter, L"UnitBegin", UnitIndex(m_unitsBegin.GetCurSel()));
    WriteAppIniInt(kFilter, L"UnitEnd", UnitIndex(m_unitsEnd.GetCurSel()));
    WriteAppIniInt(kFilter, L"FileSize", m_bSize ? 1 : 0);
    WriteAppIniInt(kFilter, L"FileName", m_bName ? 1 : 0);
    WriteAppIniInt(kFilter, L"FileDate", m_bDate ? 1 : 0);
    // The pattern with its flags: a filter shown on must never meet the pattern of another run.
    SettingKeys::PathMask.Write(m_strPathMask);
}

DWORD VFileFilterDlg::TakeSize(CComboBox& sizes, CComboBox& units)
{
    CString text;
    sizes.GetWindowText(text);
    FolderList::MoveToTop(sizes, text);
    return CKWDocSettings::ScaleSize(_wtol(text), UnitIndex(units.GetCurSel()));
}

bool VFileFilterDlg::PickedTime(const CDateTimeCtrl& picker, int hour, int minute, int second, long long& out)
{
    SYSTEMTIME day = {};
    if (picker.GetTime(&day) != GDT_VALID)
        return false;
    if (day.wYear < 1900) {
        out = 0;
        return true;
    }
    try {
        out = CTime(day.wYear, day.wMonth, day.wDay, hour, minute, second, -1).GetTime();
        return true;
    } catch (CException* e) {
        e->Delete();
    }
    // East of UTC the first day of 1970 begins before time 0: from its start is from time 0.
    if (day.wYear == 1970 && day.wMonth == 1 && day.wDay == 1) {
        out = 0;
        return true;
    }
    return false;
}

void VFileFilterDlg::OnOK()
{
    m_bName = IsDlgButtonChecked(IDC_FILTER_NAME_ON) == BST_CHECKED;
    m_names.GetWindowText(m_strPathMask);
    FolderList::MoveToTop(m_names, m_strPathMask);

    m_bDate = IsDlgButtonChecked(IDC_FILTER_DATE_ON) == BST_CHECKED;
    long long begin = 0, end = 0;
    bool converted = PickedTime(m_pickerBegin, 0, 0, 0, begin);
    converted = PickedTime(m_pickerEnd, 23, 59, 59, end) && converted;
    if (m_bDate && !converted) {
        // A day before 1970 cannot be a bound: the dialog stays open.
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    m_dateBegin = begin;
    m_dateEnd = end;
    if (m_bDate && m_dateBegin > m_dateEnd)
        return;

    m_bSize = IsDlgButtonChecked(IDC_FILTER_SIZE_ON) == BST_CHECKED;
    m_sizeBegin = TakeSize(m_sizesBegin, m_unitsBegin);
    m_sizeEnd = TakeSize(m_sizesEnd, m_unitsEnd);
    if (m_bSize && m_sizeBegin > m_sizeEnd)
        return;

    if (m_strPathMask.IsEmpty() || !m_bName)
        m_strPathMask = L"*.*";
    SaveSettings();
    EndDialog(IDOK);
}

void VFileFilterDlg::OnClear()
{
    CheckDlgButton(IDC_FILTER_NAME_ON, BST_UNCHECKED);
    CheckDlgButton(IDC_FILTER_DATE_ON, BST_UNCHECKED);
    CheckDlgButton(IDC_FILTER_SIZE_ON, BST_UNCHECKED);
    m_bName = m_bDate = m_bSize = FALSE;
    m_strPathMask = L"*.*";
    SaveSettings();
    EndDialog(IDOK);
}
