// The page frame with a sunken client edge when themes are not active.
#pragma once

#include "controls/VyxPropPageFrameEx.h"

namespace TreePropSheet {

class CPropPageFrameBordered : public VyxPropPageFrameEx
{
    DECLARE_DYNAMIC(CPropPageFrameBordered)
public:
    BOOL Create(DWORD dwWindowStyle, const RECT& rect, CWnd* pwndParent, UINT nID) override;
};

} // namespace TreePropSheet
