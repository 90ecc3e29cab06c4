// The picture-display page of the options sheet: how picture windows stay and stack, and the
// template of their caption.
#pragma once

#include "browser/options/COptPageBoot.h"

class COptPageWindow : public COptPage
{
public:
    explicit COptPageWindow(COptPageBoot::OPTIONSDATA* pData);

protected:
    void PrepareControls() override;
    void SetAnchors() override;

    CEditButtonCtrl m_caption;
};
