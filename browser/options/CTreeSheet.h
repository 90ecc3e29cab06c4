// The options sheet: the kit's resizable tree property sheet whose placement is kept in the
// settings section "OptionView", and whose Apply button puts the pages' record into effect
// through its owner while the sheet stays open.
#pragma once

#include "controls/CTreePropSheetEx.h"

#include <functional>

class CTreeSheet : public TreePropSheet::CTreePropSheetEx
{
public:
    explicit CTreeSheet(LPCWSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    BOOL OnInitDialog() override;
    // What Apply does once every page has taken it: the owner's step of OK.
    void SetApplyHandler(std::function<void()> handler) { m_apply = std::move(handler); }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    std::function<void()> m_apply;
};
