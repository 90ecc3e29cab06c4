#include "controls/CPropPageFrameBordered.h"

namespace TreePropSheet {

IMPLEMENT_DYNAMIC(CPropPageFrameBordered, VyxPropPageFrameEx)

BOOL CPropPageFrameBordered::Create(DWORD dwWindowStyle, const RECT& rect, CWnd* pwndParent, UINT nID)
{
    if (IsThemed())
        return VyxPropPageFrameEx::Create(dwWindowStyle, rect, pwndParent, nID);
    return CreateFrameWindow(WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT, L"PropPageFrameBordered", dwWindowStyle, rect,
                             pwndParent, nID);
}

} // namespace TreePropSheet
