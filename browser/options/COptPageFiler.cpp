#include "browser/options/COptPageFiler.h"

#include "res/resource.h"

COptPageFiler::COptPageFiler(COptPageBoot::OPTIONSDATA* pData) : COptPage(IDD_OPT_FILER, IDI_OPT_FILER)
{
    BindCheck(IDC_FILER_DELQA, pData->DELQA);
    BindCheck(IDC_FILER_TRASHCAN, pData->TrashCan);
    BindCheck(IDC_FILER_COPYDIB, pData->ClipboardCopyDIB);
    BindCheck(IDC_FILER_COPYTEXT, pData->ClipboardCopyTEXT);
}
