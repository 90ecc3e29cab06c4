// The colour dialog the option tree's edit opens.
#pragma once

#include "framework/Framework.h"

class CTreeOptionsColorDialog : public CColorDialog
{
    DECLARE_DYNAMIC(CTreeOptionsColorDialog)
public:
    explicit CTreeOptionsColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
};
