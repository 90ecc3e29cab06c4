// The start-up page of the options sheet.
#pragma once

#include "browser/options/COptPage.h"
#include "catalogue/OptionsData.h"

class COptPageBoot : public COptPage
{
public:
    using OPTIONSDATA = ::OPTIONSDATA;

    explicit COptPageBoot(OPTIONSDATA* pData);

protected:
    void PrepareControls() override;
    void LoadMembers() override;
    void SetAnchors() override;
    void OnControlChanged(UINT id) override;
    void EnableHomeFolder();

    OPTIONSDATA* m_pData;
    CEditButtonCtrl m_homeFolder;
};
