#include "browser/options/COptPageConfig.h"

#include "foundation/VyxSystem.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(COptPageConfig, COptPage)
ON_EN_CHANGE(IDC_CONFIG_TEXTCOLOUR, OnChangeTextColour)
ON_EN_CHANGE(IDC_CONFIG_BACKCOLOUR, OnChangeBackColour)
ON_MESSAGE(WMU_COLOUR_SELENDOK, OnColourChosen)
END_MESSAGE_MAP()

COptPageConfig::COptPageConfig(COptPageBoot::OPTIONSDATA* pData)
    : COptPage(IDD_OPT_CONFIG, IDI_OPT_CONFIG), m_pData(pData)
{
    BindCheck(IDC_CONFIG_ENABLECONFIG, pData->EnableConfig);
    BindCheck(IDC_CONFIG_SYNCJUMP, pData->SyncJump);
}

void COptPageConfig::PrepareControls()
{
    m_textPicker.SubclassDlgItem(IDC_CONFIG_TEXTPICKER, this);
    m_backPicker.SubclassDlgItem(IDC_CONFIG_BACKPICKER, this);
}

void COptPageConfig::LoadMembers()
{
    COptPage::LoadMembers();
    // The pickers keep their own colour at "default", which shows the value the page opened with.
    const std::pair<CColourPickerXP*, COLORREF> pickers[] = {{&m_textPicker, m_pData->colText},
                                                             {&m_backPicker, m_pData->colBackground}};
    for (const auto& [picker, colour] : pickers) {
        picker->SetCustomText(L"その他...");
        picker->SetDefaultText(L"デフォルト");
        picker->SetDefaultColour(colour);
        picker->SetColour(CLR_DEFAULT);
    }
    ShowColour(IDC_CONFIG_TEXTCOLOUR, m_pData->colText);
    ShowColour(IDC_CONFIG_BACKCOLOUR, m_pData->colBackground);
}

void COptPageConfig::ShowColour(UINT editId, COLORREF colour)
{
    CString text;
    text.Format(L"%06X", static_cast<unsigned>(colour));
    const bool ready = m_bReady;
    m_bReady = false;
    SetDlgItemText(editId, text);
    m_bReady = ready;
}

void COptPageConfig::TakeTypedColour(UINT editId, COLORREF& field, CColourPickerXP& picker)
{
    if (!m_bReady)
        return;
    CString text;
    GetDlgItemText(editId, text);
    // A COLORREF's top byte is not part of the colour.
    field = static_cast<COLORREF>(HexTextToInt(text)) & 0xFFFFFF;
    picker.SetColour(field);
    picker.RedrawWindow();
}

void COptPageConfig::OnChangeTextColour()
{
    TakeTypedColour(IDC_CONFIG_TEXTCOLOUR, m_pData->colText, m_textPicker);
}

void COptPageConfig::OnChangeBackColour()
{
    TakeTypedColour(IDC_CONFIG_BACKCOLOUR, m_pData->colBackground, m_backPicker);
}

LRESULT COptPageConfig::OnColourChosen(WPARAM wParam, LPARAM lParam)
{
    CColourPickerXP* picker = nullptr;
    COLORREF* field = nullptr;
    UINT editId = 0;
    if (lParam == IDC_CONFIG_TEXTPICKER) {
        picker = &m_textPicker;
        field = &m_pData->colText;
        editId = IDC_CONFIG_TEXTCOLOUR;
    } else if (lParam == IDC_CONFIG_BACKPICKER) {
        picker = &m_backPicker;
        field = &m_pData->colBackground;
        editId = IDC_CONFIG_BACKCOLOUR;
    } else {
        return 0;
    }
    *field = static_cast<COLORREF>(wParam) == CLR_DEFAULT ? picker->GetDefaultColour() : picker->GetColour();
    ShowColour(editId, *field);
    return 0;
}
