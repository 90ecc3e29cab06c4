#include "browser/options/COptPageBoot.h"

#include "res/resource.h"

COptPageBoot::COptPageBoot(OPTIONSDATA* pData) : COptPage(IDD_OPT_BOOT, IDI_OPT_BOOT), m_pData(pData)
{
    BindCheck(IDC_BOOT_MULTIPROCESS, pData->MultiProcess);
    BindCheck(IDC_BOOT_RESTOREFOLDER, pData->RestoreFolder);
    BindText(IDC_BOOT_HOMEFOLDER, pData->HomeFolder);
}

void COptPageBoot::PrepareControls()
{
    m_homeFolder.SubclassDlgItem(IDC_BOOT_HOMEFOLDER, this);
    PrepareFolderButton(m_homeFolder);
}

void COptPageBoot::LoadMembers()
{
    COptPage::LoadMembers();
    EnableHomeFolder();
}

void COptPageBoot::SetAnchors()
{
    StretchWithWidth({IDC_BOOT_HOMEFOLDER});
}

void COptPageBoot::OnControlChanged(UINT id)
{
    if (id == IDC_BOOT_RESTOREFOLDER)
        EnableHomeFolder();
}

// The home folder counts only when the last folder is not restored.
void COptPageBoot::EnableHomeFolder()
{
    const BOOL enable = !m_pData->RestoreFolder;
    m_homeFolder.EnableWindow(enable);
    if (m_homeFolder.IsButtonCreated())
        m_homeFolder.GetButton().EnableWindow(enable);
    if (CWnd* label = GetDlgItem(IDC_BOOT_HOMELABEL))
        label->EnableWindow(enable);
}
