// The info-view page of the options sheet: the name column's automatic width and length, and the
// template of the information column.
#pragma once

#include "browser/options/COptPageBoot.h"

class COptPageList : public COptPage
{
public:
    explicit COptPageList(COptPageBoot::OPTIONSDATA* pData);

protected:
    void PrepareControls() override;
    void SetAnchors() override;

    CEditButtonCtrl m_template;
};
