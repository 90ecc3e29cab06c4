// The file-operation page of the options sheet: deletion and clipboard switches.
#pragma once

#include "browser/options/COptPageBoot.h"

class COptPageFiler : public COptPage
{
public:
    explicit COptPageFiler(COptPageBoot::OPTIONSDATA* pData);
};
