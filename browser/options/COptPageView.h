// The thumbnail-view page of the options sheet: selection on cursor moves, memory use, the info
// view's place and which items show a cover picture.
#pragma once

#include "browser/options/COptPageBoot.h"

class COptPageView : public COptPage
{
public:
    explicit COptPageView(COptPageBoot::OPTIONSDATA* pData);
};
