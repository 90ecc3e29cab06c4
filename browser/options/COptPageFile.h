// The file-list page of the options sheet: which files are listed and whether the folder is watched.
#pragma once

#include "browser/options/COptPageBoot.h"

class COptPageFile : public COptPage
{
public:
    explicit COptPageFile(COptPageBoot::OPTIONSDATA* pData);
};
