#include "viewer/CContrastDlg.h"

#include "foundation/VyxIni.h"
#include "image/DibCore.h"
#include "res/resource.h"
#include "viewer/COneWnd.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

const wchar_t kSection[] = L"ColorBalance";
const UINT kSliderIds[4] = {IDC_CONTRAST_SLIDER, IDC_RED_SLIDER, IDC_GREEN_SLIDER, IDC_BLUE_SLIDER};
const UINT kEditIds[4] = {IDC_CONTRAST_EDIT, IDC_RED_EDIT, IDC_GREEN_EDIT, IDC_BLUE_EDIT};
const wchar_t* const kKeys[4] = {L"Contrast", L"BrightRed", L"BrightGreen", L"BrightBlue"};
const int kRange = 100;

} // namespace

BEGIN_MESSAGE_MAP(CContrastDlg, CDialog)
ON_WM_HSCROLL()
ON_WM_DESTROY()
ON_CONTROL_RANGE(EN_KILLFOCUS, IDC_CONTRAST_EDIT, IDC_BLUE_EDIT, OnEditKillFocus)
ON_BN_CLICKED(IDC_COLOUR_RESET, OnReset)
END_MESSAGE_MAP()

CContrastDlg::CContrastDlg(CWnd* pParent) : CDialog(IDD_CONTRAST, pParent), m_pResultWnd(pParent) {}

CContrastDlg::~CContrastDlg()
{
    if (m_hSource)
        ::GlobalFree(m_hSource);
}

void CContrastDlg::SetSource(HGLOBAL dib)
{
    if (m_hSource)
        ::GlobalFree(m_hSource);
    m_hSource = dib ? CopyGlobal(dib) : nullptr;
    GetDibChannelRange(m_hSource, &m_range);
}

HGLOBAL CContrastDlg::AdjustedCopy(int nLevels, int nRed, int nGreen, int nBlue) const
{
    Adjustment adjustment;
    adjustment.range = m_range;
    adjustment.levels = nLevels;
    adjustment.red = nRed;
    adjustment.green = nGreen;
    adjustment.blue = nBlue;
    return AdjustedCopyOf(m_hSource, adjustment);
}

HGLOBAL CContrastDlg::AdjustedCopyOf(HGLOBAL picture, const Adjustment& adjustment)
{
    if (!picture)
        return nullptr;
    if (GetDibBitCount(picture) != 24) {
        // Palettes are small: the library adjusts the copy's colour table.
        HGLOBAL copy = CopyGlobal(picture);
        if (copy) {
            AdjustDibContrast(copy, adjustment.levels);
            AdjustDibRgb(copy, adjustment.red, adjustment.green, adjustment.blue);
        }
        return copy;
    }
    // The library's mapping of every value, worked out on a ramp that spans each channel's range
    // exactly (the contrast stretches that range), then applied while copying.
    const DibChannelStats& range = adjustment.range;
    GlobalBlock ramp(CreateDib(256, 1, 24));
    if (!ramp)
        return nullptr;
    {
        DibLock lock(ramp.get());
        BYTE* p = DibBits(lock.get());
        for (int v = 0; v < 256; ++v, p += 3) {
            p[0] = static_cast<BYTE>(std::clamp<int>(v, range.blueLow, range.blueHigh));
            p[1] = static_cast<BYTE>(std::clamp<int>(v, range.greenLow, range.greenHigh));
            p[2] = static_cast<BYTE>(std::clamp<int>(v, range.redLow, range.redHigh));
        }
    }
    AdjustDibContrast(ramp.get(), adjustment.levels);
    AdjustDibRgb(ramp.get(), adjustment.red, adjustment.green, adjustment.blue);
    BYTE map[3][256];
    {
        DibLock lock(ramp.get());
        const BYTE* p = DibBits(lock.get());
        for (int v = 0; v < 256; ++v, p += 3)
            for (int c = 0; c < 3; ++c)
                map[c][v] = p[c];
    }
    const SIZE_T size = ::GlobalSize(picture);
    GlobalBlock copy(::GlobalAlloc(GMEM_MOVEABLE, size));
    DibLock from(picture);
    DibLock to(copy.get());
    if (!from || !to)
        return nullptr;
    const BYTE* source = from.get();
    BYTE* target = to.get();
    const SIZE_T bits = static_cast<SIZE_T>(DibBits(source) - source);
    std::memcpy(target, source, bits);
    const LONG width = DibWidth(source), height = DibHeight(source);
    const DWORD row = DibRowSize(source);
    for (LONG y = 0; y < height; ++y) {
        const BYTE* in = source + bits + static_cast<SIZE_T>(y) * row;
        BYTE* out = target + bits + static_cast<SIZE_T>(y) * row;
        for (LONG x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = map[0][in[0]];
            out[1] = map[1][in[1]];
            out[2] = map[2][in[2]];
        }
        std::memcpy(out, in, row - static_cast<DWORD>(width) * 3);
    }
    return copy.release();
}

int CContrastDlg::ContrastLevels(int contrast)
{
    return 256 + contrast * 256 / 100;
}

void CContrastDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (int i = 0; i < 4; ++i)
        DDX_Control(pDX, static_cast<int>(kSliderIds[i]), m_sliders[i]);
}

void CContrastDlg::ShowValue(int nSlider, int nPos)
{
    SetDlgItemInt(kEditIds[nSlider], static_cast<UINT>(nPos), TRUE);
}

BOOL CContrastDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (int i = 0; i < 4; ++i) {
        m_sliders[i].SetRange(-kRange, kRange);
        m_sliders[i].SetPageSize(10);
        m_sliders[i].SetTicFreq(10);
        const int value = GetAppIniInt(kSection, kKeys[i], 0);
        m_sliders[i].SetPos(value);
        ShowValue(i, value);
    }
    CheckDlgButton(IDC_DRAG_SYNC, GetAppIniInt(kSection, L"Synchronous", 0) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_RGB_SYNC, GetAppIniInt(kSection, L"SynchronousRGB", 0) ? BST_CHECKED : BST_UNCHECKED);
    Preview();
    return TRUE;
}

void CContrastDlg::Preview()
{
    for (int i = 0; i < 3; ++i)
        m_last[i] = m_sliders[i + 1].GetPos();
    HGLOBAL copy = AdjustedCopy(ContrastLevels(m_sliders[0].GetPos()), m_last[0], m_last[1], m_last[2]);
    if (!copy)
        return;
    // The window owns the copy from here on; one that is gone cannot take it.
    if (m_pResultWnd && ::IsWindow(m_pResultWnd->GetSafeHwnd()))
        m_pResultWnd->SendMessage(WMU_CONTRASTRESULT, reinterpret_cast<WPARAM>(copy), 0);
    else
        ::GlobalFree(copy);
}

void CContrastDlg::FollowColour(int nMoved, int nPos)
{
    if (nMoved < 1 || IsDlgButtonChecked(IDC_RGB_SYNC) != BST_CHECKED)
        return;
    const int delta = nPos - m_last[nMoved - 1];
    for (int i = 1; i < 4; ++i) {
        if (i != nMoved) {
            const int moved = std::clamp(m_sliders[i].GetPos() + delta, -kRange, kRange);
            m_sliders[i].SetPos(moved);
            ShowValue(i, moved);
        }
        m_last[i - 1] = m_sliders[i].GetPos();
    }
}

void CContrastDlg::OnHScroll(UINT nSBCode, UINT, CScrollBar* pScrollBar)
{
    int moved = -1;
    for (int i = 0; i < 4; ++i)
        if (pScrollBar && pScrollBar->GetSafeHwnd() == m_sliders[i].GetSafeHwnd())
            moved = i;
    if (moved < 0)
        return;
    const int pos = m_sliders[moved].GetPos();
    FollowColour(moved, pos);
    ShowValue(moved, pos);
    if (IsDlgButtonChecked(IDC_DRAG_SYNC) == BST_CHECKED || nSBCode == TB_ENDTRACK)
        Preview();
}

void CContrastDlg::OnEditKillFocus(UINT nID)
{
    const int index = static_cast<int>(std::find(std::begin(kEditIds), std::end(kEditIds), nID) - std::begin(kEditIds));
    if (index >= 4)
        return;
    CString text;
    GetDlgItemText(nID, text);
    m_sliders[index].SetPos(_wtoi(text));
    FollowColour(index, m_sliders[index].GetPos());
    Preview();
}

void CContrastDlg::OnReset()
{
    for (int i = 0; i < 4; ++i) {
        m_sliders[i].SetPos(0);
        SetDlgItemText(kEditIds[i], L"0");
    }
    Preview();
}

void CContrastDlg::OnOK()
{
    Preview();
    m_adjustment.range = m_range;
    m_adjustment.levels = ContrastLevels(m_sliders[0].GetPos());
    m_adjustment.red = m_last[0];
    m_adjustment.green = m_last[1];
    m_adjustment.blue = m_last[2];
    for (int i = 0; i < 4; ++i)
        WriteAppIniInt(kSection, kKeys[i], m_sliders[i].GetPos());
    EndDialog(IDOK);
}

void CContrastDlg::OnCancel()
{
    // The unchanged picture goes back to the window, which owns it from here on.
    if (m_hSource && m_pResultWnd && ::IsWindow(m_pResultWnd->GetSafeHwnd())) {
        HGLOBAL source = m_hSource;
        m_hSource = nullptr;
        m_pResultWnd->SendMessage(WMU_CONTRASTRESULT, reinterpret_cast<WPARAM>(source), 0);
    }
    EndDialog(IDCANCEL);
}

void CContrastDlg::OnDestroy()
{
    if (m_hSource) {
        ::GlobalFree(m_hSource);
        m_hSource = nullptr;
    }
    WriteAppIniInt(kSection, L"Synchronous", IsDlgButtonChecked(IDC_DRAG_SYNC) == BST_CHECKED);
    WriteAppIniInt(kSection, L"SynchronousRGB", IsDlgButtonChecked(IDC_RGB_SYNC) == BST_CHECKED);
    CDialog::OnDestroy();
}
