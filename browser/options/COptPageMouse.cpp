#include "browser/options/COptPageMouse.h"

#include "browser/VAppCall.h"
#include "res/resource.h"

namespace {

const int kWheelSteps[] = {0, 1, 3, 6, -1};
const int kViewers[] = {10224, 10207, 10078};
const int kFixedViewers = 3;

} // namespace

BEGIN_MESSAGE_MAP(COptPageMouse, COptPage)
ON_CBN_SELCHANGE(IDC_MOUSE_WHEEL, OnSelChangeWheel)
ON_CBN_SELCHANGE(IDC_MOUSE_VIEWER, OnSelChangeViewer)
END_MESSAGE_MAP()

COptPageMouse::COptPageMouse(COptPageBoot::OPTIONSDATA* pData) : COptPage(IDD_OPT_MOUSE, IDI_OPT_MOUSE), m_pData(pData)
{
    BindCheck(IDC_MOUSE_DADMOVE, pData->DaDMOVE);
    BindText(IDC_MOUSE_EXECEXT, pData->ExecExt);
}

int COptPageMouse::WheelToIndex(int value)
{
    for (int i = 0; i < static_cast<int>(sizeof kWheelSteps / sizeof kWheelSteps[0]); ++i)
        if (kWheelSteps[i] == value)
            return i;
    return -1;
}

int COptPageMouse::IndexToWheel(int index, int previous)
{
    return index >= 0 && index < static_cast<int>(sizeof kWheelSteps / sizeof kWheelSteps[0]) ? kWheelSteps[index]
                                                                                              : previous;
}

int COptPageMouse::ViewerToIndex(int command)
{
    for (int i = 0; i < kFixedViewers; ++i)
        if (kViewers[i] == command)
            return i;
    if (command >= VAppCall::FirstCommand && command < VAppCall::FirstCommand + VAppCall::MaxEntries)
        return kFixedViewers + command - VAppCall::FirstCommand;
    return -1;
}

int COptPageMouse::IndexToViewer(int index)
{
    if (index >= 0 && index < kFixedViewers)
        return kViewers[index];
    return VAppCall::FirstCommand - kFixedViewers + index;
}

void COptPageMouse::PrepareControls()
{
    FillCombo(IDC_MOUSE_WHEEL, {L"マウスドライバに依存", L"１行単位", L"３行単位", L"６行単位", L"１ページ単位"});
    FillCombo(IDC_MOUSE_VIEWER, {L"内蔵ビューア（Window）", L"内蔵ビューア（全画面）", L"関連付け実行"});
    VAppCall apps;
    apps.Load();
    for (int i = 0; i < apps.GetCount(); ++i)
        FillCombo(IDC_MOUSE_VIEWER, {apps.m_titles[i].GetString()});
}

void COptPageMouse::LoadMembers()
{
    COptPage::LoadMembers();
    SetComboIndex(IDC_MOUSE_WHEEL, WheelToIndex(m_pData->WheelScrollCount));
    SetComboIndex(IDC_MOUSE_VIEWER, ViewerToIndex(m_pData->IDViewer));
}

void COptPageMouse::SetAnchors()
{
    StretchWithWidth({IDC_MOUSE_WHEEL, IDC_MOUSE_VIEWER, IDC_MOUSE_EXECEXT, IDC_MOUSE_FRAME});
}

void COptPageMouse::OnSelChangeWheel()
{
    if (m_bReady && UpdateData(TRUE))
        m_pData->WheelScrollCount = IndexToWheel(GetComboIndex(IDC_MOUSE_WHEEL), m_pData->WheelScrollCount);
}

void COptPageMouse::OnSelChangeViewer()
{
    const int index = GetComboIndex(IDC_MOUSE_VIEWER);
    if (m_bReady && index >= 0 && UpdateData(TRUE))
        m_pData->IDViewer = IndexToViewer(index);
}
