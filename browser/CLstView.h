// The file list view. Only a plain list view stands here yet, until the file list is built.
#pragma once

#include "framework/Framework.h"

class CLstView : public CListView
{
    DECLARE_DYNCREATE(CLstView)
};
