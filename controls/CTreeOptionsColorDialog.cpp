#include "controls/CTreeOptionsColorDialog.h"

IMPLEMENT_DYNAMIC(CTreeOptionsColorDialog, CColorDialog)

CTreeOptionsColorDialog::CTreeOptionsColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd)
    : CColorDialog(clrInit, dwFlags, pParentWnd)
{
}
