#include "controls/COptionsDialog.h"
#include "controls/CCustomizeDialog.h"
#include "controls/CToolBarEx.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(COptionsDialog, CDialog)
ON_CBN_SELCHANGE(IDC_TOOLBAR_TEXTOPTIONS, OnTextOptionChange)
ON_CBN_SELCHANGE(IDC_TOOLBAR_ICONOPTIONS, OnIconOptionChange)
END_MESSAGE_MAP()

namespace {

struct OptionText
{
    int value;
    UINT textId;
};

const OptionText kTextOptions[] = {{0, IDS_TEXTOPTION_LABELS}, {1, IDS_TEXTOPTION_SELECTIVE}, {2, IDS_TEXTOPTION_NONE}};
const OptionText kIconOptions[] = {{0, IDS_ICONOPTION_SMALL}, {1, IDS_ICONOPTION_LARGE}};

} // namespace

COptionsDialog::COptionsDialog(CToolBarEx* pToolBar, CCustomizeDialog* pCustomizeDialog)
    : CDialog(IDD_TOOLBAR_OPTIONS), m_nTextOption(pToolBar->GetTextOption()), m_nIconOption(pToolBar->GetIconOption()),
      m_pToolBar(pToolBar), m_pCustomizeDialog(pCustomizeDialog)
{
}

void COptionsDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TOOLBAR_TEXTOPTIONS, m_cbTextOptions);
    DDX_Control(pDX, IDC_TOOLBAR_ICONOPTIONS, m_cbIconOptions);
}

BOOL COptionsDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (const OptionText& option : kTextOptions) {
        if (!m_pToolBar->IsTextOptionAvailable(option.value))
            continue;
        CString text;
        text.LoadString(option.textId);
        int index = m_cbTextOptions.AddString(text);
        m_cbTextOptions.SetItemData(index, static_cast<DWORD_PTR>(option.value));
    }
    for (const OptionText& option : kIconOptions) {
        if (!m_pToolBar->IsIconOptionAvailable(option.value))
            continue;
        CString text;
        text.LoadString(option.textId);
        int index = m_cbIconOptions.AddString(text);
        m_cbIconOptions.SetItemData(index, static_cast<DWORD_PTR>(option.value));
    }
    SelectTextOption(m_nTextOption);
    SelectIconOption(m_nIconOption);
    return TRUE;
}

void COptionsDialog::SelectByData(CComboBox& box, int nValue)
{
    if (!box.m_hWnd)
        return;
    box.SetCurSel(-1);
    for (int i = 0; i < box.GetCount(); ++i) {
        if (static_cast<int>(box.GetItemData(i)) == nValue) {
            box.SetCurSel(i);
            return;
        }
    }
}

void COptionsDialog::SelectTextOption(int nOption)
{
    m_nTextOption = nOption;
    SelectByData(m_cbTextOptions, nOption);
}

void COptionsDialog::SelectIconOption(int nOption)
{
    m_nIconOption = nOption;
    SelectByData(m_cbIconOptions, nOption);
}

void COptionsDialog::OnTextOptionChange()
{
    int index = m_cbTextOptions.GetCurSel();
    if (index < 0)
        return;
    m_nTextOption = static_cast<int>(m_cbTextOptions.GetItemData(index));
    m_pCustomizeDialog->SetTextOption(m_nTextOption, FALSE);
}

void COptionsDialog::OnIconOptionChange()
{
    int index = m_cbIconOptions.GetCurSel();
    if (index < 0)
        return;
    m_nIconOption = static_cast<int>(m_cbIconOptions.GetItemData(index));
    m_pCustomizeDialog->SetIconOption(m_nIconOption, FALSE);
}
