#include "browser/options/COptPageList.h"

#include "res/resource.h"

namespace {

const COptPage::MacroEntry kTemplateMacros[] = {{L"画像情報", L"$(Info)"}, {L"Exif日付", L"$(ExifDateTime)"}};

} // namespace

COptPageList::COptPageList(COptPageBoot::OPTIONSDATA* pData) : COptPage(IDD_OPT_LIST, IDI_OPT_LIST)
{
    BindCheck(IDC_LIST_AUTOCOLUMN, pData->AutoColumnSize);
    BindNumber(IDC_LIST_NAMEMAX, pData->NameMaxSize);
    BindText(IDC_LIST_TEMPLATE, pData->InfoColumnTemplete);
}

void COptPageList::PrepareControls()
{
    m_template.SubclassDlgItem(IDC_LIST_TEMPLATE, this);
    PrepareMacroButton(m_template, kTemplateMacros);
}

void COptPageList::SetAnchors()
{
    StretchWithWidth({IDC_LIST_TEMPLATE});
}
