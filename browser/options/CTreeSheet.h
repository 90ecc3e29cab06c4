// The options sheet: the kit's resizable tree property sheet whose placement is kept in the
// settings section "OptionView".
#pragma once

#include "controls/CTreePropSheetEx.h"

class CTreeSheet : public TreePropSheet::CTreePropSheetEx
{
public:
    explicit CTreeSheet(LPCWSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    BOOL OnInitDialog() override;

protected:
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
