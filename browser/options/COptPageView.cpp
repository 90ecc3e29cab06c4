#include "browser/options/COptPageView.h"

#include "res/resource.h"

COptPageView::COptPageView(COptPageBoot::OPTIONSDATA* pData) : COptPage(IDD_OPT_VIEW, IDI_OPT_VIEW)
{
    BindCheck(IDC_VIEW_NOTCLEAR, pData->NotClrCursorMove);
    BindCheck(IDC_VIEW_MEMDRAW, pData->MemDraw);
    BindCheck(IDC_VIEW_INFOVIEW, pData->InfoView);
    BindCheckBit(IDC_VIEW_COVERFOLDER, pData->FolderTitle, 2);
    BindCheckBit(IDC_VIEW_COVERARCHIVE, pData->FolderTitle, 1);
}
