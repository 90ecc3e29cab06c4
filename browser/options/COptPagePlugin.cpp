#include "browser/options/COptPagePlugin.h"

#include "foundation/VyxSystem.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(COptPagePlugin, COptPage)
ON_EN_CHANGE(IDC_OPTPLUGIN_DISPLIMIT, OnChangeDisplayLimit)
ON_EN_CHANGE(IDC_OPTPLUGIN_ARCLIMIT, OnChangeArchiveLimit)
END_MESSAGE_MAP()

COptPagePlugin::COptPagePlugin(COptPageBoot::OPTIONSDATA* pData)
    : COptPage(IDD_OPT_PLUGIN, IDI_OPT_PLUGIN), m_pData(pData)
{
    BindCheck(IDC_OPTPLUGIN_SELECTEDONLY, pData->LoadSelectedPluginsOnly);
    BindCheck(IDC_OPTPLUGIN_EXTONLY, pData->JudgeByPluginExtension);
    BindText(IDC_OPTPLUGIN_FOLDER, pData->SPIDIR);
}

void COptPagePlugin::PrepareControls()
{
    m_folder.SubclassDlgItem(IDC_OPTPLUGIN_FOLDER, this);
    PrepareFolderButton(m_folder);
}

void COptPagePlugin::LoadMembers()
{
    COptPage::LoadMembers();
    m_displayLimit.Format(L"%d", m_pData->DispPluginLimit);
    m_archiveLimit.Format(L"%d", m_pData->ArcDispPluginLimit);
}

void COptPagePlugin::SetAnchors()
{
    StretchWithWidth({IDC_OPTPLUGIN_FOLDER, IDC_OPTPLUGIN_FRAME});
}

void COptPagePlugin::DoDataExchange(CDataExchange* pDX)
{
    COptPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_OPTPLUGIN_DISPLIMIT, m_displayLimit);
    DDX_Text(pDX, IDC_OPTPLUGIN_ARCLIMIT, m_archiveLimit);
}

void COptPagePlugin::TakeLimit(UINT id, CString& text, int& field)
{
    if (!m_bReady || !UpdateData(TRUE))
        return;
    const int value = DecimalTextToInt(text);
    if (static_cast<unsigned>(value) > MaxLimit)
        return;
    field = value;
    CString shown;
    shown.Format(L"%d", value);
    if (shown != text) {
        text = shown;
        m_bReady = false;
        SetDlgItemText(id, shown);
        m_bReady = true;
    }
}

void COptPagePlugin::OnChangeDisplayLimit()
{
    TakeLimit(IDC_OPTPLUGIN_DISPLIMIT, m_displayLimit, m_pData->DispPluginLimit);
}

void COptPagePlugin::OnChangeArchiveLimit()
{
    TakeLimit(IDC_OPTPLUGIN_ARCLIMIT, m_archiveLimit, m_pData->ArcDispPluginLimit);
}
