#include "browser/options/COptPageFull.h"

#include "foundation/VyxSystem.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(COptPageFull, COptPage)
ON_EN_CHANGE(IDC_FULL_COLUMNS, OnChangeColumns)
ON_EN_CHANGE(IDC_FULL_LINES, OnChangeLines)
END_MESSAGE_MAP()

COptPageFull::COptPageFull(COptPageBoot::OPTIONSDATA* pData) : COptPage(IDD_OPT_FULL, 0), m_pData(pData)
{
    BindComboIndex(IDC_FULL_DIRECTIONLR, pData->DirectionLR);
    BindComboIndex(IDC_FULL_DIRECTIONUD, pData->DirectionUD);
    BindComboIndex(IDC_FULL_MONITOR, pData->Monitor);
}

void COptPageFull::PrepareControls()
{
    FillCombo(IDC_FULL_DIRECTIONLR, {L"左から右（→）", L"右から左（←）"});
    FillCombo(IDC_FULL_DIRECTIONUD, {L"上から下（↓）", L"下から上（↑）"});
    const int monitors = GetMonitorCount();
    for (int i = 0; i < monitors; ++i) {
        CString device, item;
        GetMonitorDeviceString(device, i);
        item.Format(L"%d: %s", i, device.GetString());
        FillCombo(IDC_FULL_MONITOR, {item.GetString()});
    }
}

void COptPageFull::LoadMembers()
{
    COptPage::LoadMembers();
    m_columns = static_cast<UINT>(m_pData->ColumnCount);
    m_lines = static_cast<UINT>(m_pData->LineCount);
}

void COptPageFull::DoDataExchange(CDataExchange* pDX)
{
    COptPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_FULL_COLUMNS, m_columns);
    DDV_MinMaxUInt(pDX, m_columns, MinSplit, MaxSplit);
    DDX_Text(pDX, IDC_FULL_LINES, m_lines);
    DDV_MinMaxUInt(pDX, m_lines, MinSplit, MaxSplit);
}

void COptPageFull::OnChangeColumns()
{
    if (m_bReady && UpdateData(TRUE))
        m_pData->ColumnCount = static_cast<int>(m_columns);
}

void COptPageFull::OnChangeLines()
{
    if (m_bReady && UpdateData(TRUE))
        m_pData->LineCount = static_cast<int>(m_lines);
}
