#include "browser/options/COptPageFolder.h"

#include "res/resource.h"

namespace {

const int kRoots[] = {28, 27, 29};

} // namespace

BEGIN_MESSAGE_MAP(COptPageFolder, COptPage)
ON_CBN_SELCHANGE(IDC_FOLDER_ROOT, OnSelChangeRoot)
END_MESSAGE_MAP()

COptPageFolder::COptPageFolder(COptPageBoot::OPTIONSDATA* pData)
    : COptPage(IDD_OPT_FOLDER, IDI_OPT_FOLDER), m_pData(pData)
{
    BindCheck(IDC_FOLDER_ARCTREE, pData->ArcTree);
    BindCheck(IDC_FOLDER_HIDDEN, pData->HiddenFolder);
    BindCheck(IDC_FOLDER_ARCINARC, pData->ArchiveInArchive);
    BindComboIndex(IDC_FOLDER_CHECKSUB, pData->CheckSubFolder);
}

int COptPageFolder::RootToIndex(int treeRoot)
{
    return treeRoot == 27 ? 1 : treeRoot == 29 ? 2 : 0;
}

int COptPageFolder::IndexToRoot(int index)
{
    return index >= 0 && index < 3 ? kRoots[index] : -1;
}

void COptPageFolder::PrepareControls()
{
    FillCombo(IDC_FOLDER_ROOT, {L"デスクトップ", L"マイコンピュータ", L"ドライブ"});
    FillCombo(IDC_FOLDER_CHECKSUB, {L"展開時に調査", L"遅延調査", L"すべて[+]"});
}

void COptPageFolder::LoadMembers()
{
    COptPage::LoadMembers();
    m_rootIndex = RootToIndex(m_pData->TreeRoot);
    SetComboIndex(IDC_FOLDER_ROOT, m_rootIndex);
}

void COptPageFolder::SetAnchors()
{
    StretchWithWidth({IDC_FOLDER_ROOT, IDC_FOLDER_CHECKSUB});
}

void COptPageFolder::OnSelChangeRoot()
{
    if (!m_bReady || !UpdateData(TRUE))
        return;
    m_rootIndex = GetComboIndex(IDC_FOLDER_ROOT);
    int root = IndexToRoot(m_rootIndex);
    if (root >= 0)
        m_pData->TreeRoot = root;
}
