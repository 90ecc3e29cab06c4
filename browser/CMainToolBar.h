// The main frame's tool bar: the program's buttons and images; every button may show text.
#pragma once

#include "controls/CToolBarEx.h"

class CMainToolBar : public CToolBarEx
{
public:
    BOOL HasButtonText(UINT nID) const override;
    void Init() override;

    static const int ButtonCount = 39;
};
