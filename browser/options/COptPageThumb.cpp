#include "browser/options/COptPageThumb.h"

#include "res/resource.h"

COptPageThumb::COptPageThumb(COptPageBoot::OPTIONSDATA* pData) : COptPage(IDD_OPT_THUMB, IDI_OPT_THUMB)
{
    BindCheck(IDC_CACHE_READ, pData->CacheFolder);
    BindCheck(IDC_CACHE_AUTOSAVE, pData->AutoCacheFolder);
    BindCheck(IDC_CACHE_IDLEMAKE, pData->ThumbsCreate);
    BindText(IDC_CACHE_FOLDER, pData->CacheDataFolder);
}

void COptPageThumb::PrepareControls()
{
    m_folder.SubclassDlgItem(IDC_CACHE_FOLDER, this);
    PrepareFolderButton(m_folder);
}

void COptPageThumb::SetAnchors()
{
    StretchWithWidth({IDC_CACHE_FOLDER});
}
