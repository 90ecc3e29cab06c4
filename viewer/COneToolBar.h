// The picture window's tool bar: its buttons and their small images.
#pragma once

#include "controls/CToolBarEx.h"

class COneToolBar : public CToolBarEx
{
public:
    void Init() override;
    BOOL IsIconOptionAvailable(int nIconOption) const override;

    static const int ButtonCount = 34;
};
