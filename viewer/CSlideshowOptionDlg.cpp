#include "viewer/CSlideshowOptionDlg.h"

#include "res/resource.h"
#include "viewer/CovOther.h"

#include <cstdlib>
#include <iterator>

namespace {

template <size_t N> void SelectValue(CComboBox& box, const int (&values)[N], int value)
{
    box.SetCurSel(0);
    for (size_t i = 0; i < N; ++i) {
        if (values[i] == value) {
            // A value the list offers no item for: no selection at all.
            box.SetCurSel(static_cast<int>(i) < box.GetCount() ? static_cast<int>(i) : -1);
            return;
        }
    }
}

template <size_t N> void TakeValue(CComboBox& box, const int (&values)[N], int& value)
{
    const int selected = box.GetCurSel();
    if (selected >= 0 && static_cast<size_t>(selected) < N)
        value = values[selected];
}

const struct
{
    UINT id;
    const wchar_t* macro;
} kMacros[] = {
    {ID_MACRO_PATH, L"$(Path)"},
    {ID_MACRO_DIR, L"$(Dir)"},
    {ID_MACRO_FILENAME, L"$(FileName)"},
    {ID_MACRO_LENGTH, L"$(Length)"},
    {ID_MACRO_SIZE, L"$(Size)"},
    {ID_MACRO_DATE, L"$(Date)"},
    {ID_MACRO_TIME, L"$(Time)"},
    {ID_MACRO_WIDTH, L"$(Width)"},
    {ID_MACRO_HEIGHT, L"$(Height)"},
    {ID_MACRO_COLOR, L"$(Color)"},
    {ID_MACRO_INFO, L"$(Info)"},
    {ID_MACRO_COMMENT, L"$(Comment)"},
    {ID_MACRO_ARCFILENAME, L"$(ArcFileName)"},
};

} // namespace

const int CSlideshowOptionDlg::FitSizeValues[6] = {0, 2, 3, 4, 5, 6};
const int CSlideshowOptionDlg::ScaleModeValues[3] = {2, 3, 10};

BEGIN_MESSAGE_MAP(CSlideshowOptionDlg, CDialog)
ON_CONTROL_RANGE(BN_CLICKED, IDC_VIEW_ZOOMUP, IDC_VIEW_ZOOMDW, OnCheckClicked)
ON_CONTROL_RANGE(BN_CLICKED, IDC_VIEW_REPEAT, IDC_VIEW_REPEAT, OnCheckClicked)
ON_CONTROL_RANGE(BN_CLICKED, IDC_SSO_ANGLEDIR, IDC_SSO_ANGLEDIR, OnCheckClicked)
ON_CONTROL_RANGE(BN_CLICKED, IDC_SSO_POSITIONBAR, IDC_SSO_POSITIONBAR, OnCheckClicked)
ON_CONTROL_RANGE(BN_CLICKED, IDC_SSO_INFOMATION, IDC_SSO_INFOMATION, OnCheckClicked)
ON_EN_KILLFOCUS(IDC_SSO_MACRO, OnMacroKillFocus)
ON_COMMAND_RANGE(ID_MACRO_ARCFILENAME, ID_MACRO_INFO, OnMacroItem)
END_MESSAGE_MAP()

CSlideshowOptionDlg::CSlideshowOptionDlg(CWnd* pParent) : CDialog(IDD_SLIDESHOW_OPTIONS, pParent) {}

CSlideshowOptionDlg::~CSlideshowOptionDlg() = default;

void CSlideshowOptionDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SSO_FITSIZE, m_fitCombo);
    DDX_Control(pDX, IDC_SSO_SCALEMODE, m_scaleCombo);
    DDX_Control(pDX, IDC_VIEW_SPACE_COMMAND, m_spaceCombo);
    DDX_Control(pDX, IDC_SSO_MACRO_MENU, m_macroButton);
}

int* CSlideshowOptionDlg::CheckMember(UINT nID)
{
    switch (nID) {
    case IDC_VIEW_ZOOMUP:
        return &ZoomUp;
    case IDC_VIEW_ZOOMDW:
        return &ZoomDw;
    case IDC_VIEW_REPEAT:
        return &Repeat;
    case IDC_SSO_ANGLEDIR:
        return &AngleDir;
    case IDC_SSO_POSITIONBAR:
        return &PositionBar;
    case IDC_SSO_INFOMATION:
        return &Infomation;
    default:
        return nullptr;
    }
}

BOOL CSlideshowOptionDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Tab and Escape move on and close here as in every other dialog, whichever box has the focus.
    for (CCJFlatComboBox* box : {&m_fitCombo, &m_scaleCombo, &m_spaceCombo})
        box->SetDialogKeys(TRUE);
    if (m_macroMenu.LoadMenu(IDR_SLIDESHOW_MACRO_MENU))
        m_macroButton.AttachMenu(m_macroMenu.GetSubMenu(0));
    SetDlgItemInt(IDC_VIEW_SLEEPTIME, static_cast<UINT>(SleepTime), TRUE);
    for (UINT id :
         {IDC_VIEW_ZOOMUP, IDC_VIEW_ZOOMDW, IDC_VIEW_REPEAT, IDC_SSO_ANGLEDIR, IDC_SSO_POSITIONBAR, IDC_SSO_INFOMATION})
        CheckDlgButton(id, *CheckMember(id) ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemText(IDC_SSO_MACRO, InfomationMacro);
    SelectValue(m_fitCombo, FitSizeValues, FitSize);
    SelectValue(m_scaleCombo, ScaleModeValues, ScaleMode);
    SelectValue(m_spaceCombo, CovOther::SpaceCommands, SpaceCommandID);
    return TRUE;
}

void CSlideshowOptionDlg::OnCheckClicked(UINT nID)
{
    if (int* member = CheckMember(nID))
        *member = IsDlgButtonChecked(nID) == BST_CHECKED ? 1 : 0;
}

void CSlideshowOptionDlg::OnMacroKillFocus()
{
    GetDlgItemText(IDC_SSO_MACRO, InfomationMacro);
}

void CSlideshowOptionDlg::OnMacroItem(UINT nID)
{
    for (const auto& entry : kMacros) {
        if (entry.id != nID)
            continue;
        CWnd* edit = GetDlgItem(IDC_SSO_MACRO);
        if (!edit)
            return;
        edit->SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(entry.macro));
        GetDlgItemText(IDC_SSO_MACRO, InfomationMacro);
        edit->SetFocus();
        return;
    }
}

void CSlideshowOptionDlg::OnOK()
{
    GetDlgItemText(IDC_SSO_MACRO, InfomationMacro);
    CString wait;
    GetDlgItemText(IDC_VIEW_SLEEPTIME, wait);
    SleepTime = _wtoi(wait);
    TakeValue(m_fitCombo, FitSizeValues, FitSize);
    TakeValue(m_scaleCombo, ScaleModeValues, ScaleMode);
    TakeValue(m_spaceCombo, CovOther::SpaceCommands, SpaceCommandID);
    EndDialog(IDOK);
}

void CSlideshowOptionDlg::OnCancel()
{
    EndDialog(IDCANCEL);
}
