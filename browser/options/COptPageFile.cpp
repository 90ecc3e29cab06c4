#include "browser/options/COptPageFile.h"

#include "res/resource.h"

COptPageFile::COptPageFile(COptPageBoot::OPTIONSDATA* pData) : COptPage(IDD_OPT_FILE, IDI_OPT_FILE)
{
    BindCheck(IDC_FILE_SCANSPI, pData->ScanSPI);
    BindCheck(IDC_FILE_EXTSPI, pData->ExtSPI);
    BindCheck(IDC_FILE_FOLDERSHOW, pData->FolderShow);
    BindCheck(IDC_FILE_HIDDENFILE, pData->HiddenFile);
    BindCheck(IDC_FILE_FOLDERMONITOR, pData->FolderMonitor);
}
