#include "viewer/CWallPaperDlg.h"

#include "foundation/MessageBoxes.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"
#include "image/DibCore.h"
#include "image/DibDepth.h"
#include "image/DibQuant.h"
#include "image/DibResample.h"
#include "image/DibSection.h"
#include "image/codecs/SaveDib.h"
#include "res/resource.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const wchar_t kSection[] = L"WallPaper";
const UINT kSliderIds[4] = {IDC_WALL_BRIGHT_SLIDER, IDC_WALL_RED_SLIDER, IDC_WALL_GREEN_SLIDER, IDC_WALL_BLUE_SLIDER};
const UINT kEditIds[4] = {IDC_WALL_BRIGHT_EDIT, IDC_WALL_RED_EDIT, IDC_WALL_GREEN_EDIT, IDC_WALL_BLUE_EDIT};
const wchar_t* const kKeys[4] = {L"Bright", L"Red", L"Green", L"Blue"};
const wchar_t* const kModes[4] = {L"中央に表示", L"並べて表示", L"拡大", L"拡大(画像比固定)"};

int Side(double value)
{
    return value >= 1 ? static_cast<int>(std::min(value, 1e9)) : 1;
}

double FitRatio(CSize picture, CSize box)
{
    if (picture.cx <= 0 || picture.cy <= 0)
        return 1;
    return std::min(static_cast<double>(box.cx) / picture.cx, static_cast<double>(box.cy) / picture.cy);
}

} // namespace

BEGIN_MESSAGE_MAP(CWallPaperDlg, CDialog)
ON_WM_PAINT()
ON_WM_HSCROLL()
ON_WM_DESTROY()
ON_CONTROL_RANGE(EN_CHANGE, IDC_WALL_BRIGHT_EDIT, IDC_WALL_BLUE_EDIT, OnEditChange)
ON_CBN_SELCHANGE(IDC_WALL_MODE, OnModeChange)
ON_BN_CLICKED(IDC_WALL_PREVIEW_CHECK, OnPreviewClicked)
ON_BN_CLICKED(IDC_COLOUR_RESET, OnReset)
END_MESSAGE_MAP()

CWallPaperDlg::CWallPaperDlg(CWnd* pParent) : CDialog(IDD_WALLPAPER, pParent) {}

CWallPaperDlg::~CWallPaperDlg()
{
    if (m_hPreview)
        ::GlobalFree(m_hPreview);
}

// ---------------------------------------------------------------- sizes

CRect CWallPaperDlg::FitFrameToScreen(const CRect& frame, CSize screen)
{
    CRect fitted = frame;
    if (screen.cx <= 0 || screen.cy <= 0)
        return fitted;
    const double ratio = static_cast<double>(screen.cy) / screen.cx;
    const double height = frame.Width() * ratio;
    if (frame.Height() > height) {
        const int cut = frame.Height() - static_cast<int>(height);
        fitted.top += cut / 2;
        fitted.bottom = fitted.top + static_cast<int>(height);
    } else if (height > frame.Height()) {
        const int cut = static_cast<int>((1 - frame.Height() / height) * 0.5 * frame.Width());
        fitted.DeflateRect(cut, 0);
    }
    return fitted;
}

CSize CWallPaperDlg::PreviewSize(int nMode, CSize source, CSize frame, CSize screen)
{
    switch (nMode) {
    case ModeStretch:
        return CSize(Side(frame.cx), Side(frame.cy));
    case ModeEnlarge: {
        const double ratio = FitRatio(source, frame);
        return CSize(Side(source.cx * ratio), Side(source.cy * ratio));
    }
    default:
        // The picture at the scale of the screen in the frame; a tiny one keeps a pixel.
        if (screen.cx <= 0 || screen.cy <= 0)
            return CSize(Side(source.cx), Side(source.cy));
        return CSize(Side(static_cast<double>(source.cx) * frame.cx / screen.cx),
                     Side(static_cast<double>(source.cy) * frame.cy / screen.cy));
    }
}

CSize CWallPaperDlg::ScreenFitSize(CSize picture, CSize screen)
{
    const double ratio = FitRatio(picture, screen);
    return CSize(Side(picture.cx * ratio), Side(picture.cy * ratio));
}

int CWallPaperDlg::WallpaperStyle(int nMode)
{
    return nMode == ModeTile ? 1 : nMode == ModeStretch ? 2 : 0;
}

CString CWallPaperDlg::GetWallpaperPath()
{
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    CString name, path;
    GetAppIniString(name, kSection, L"FileName", L"KWV_WALL.BMP");
    return MakePath(path, windows, L"", name, L"");
}

// ---------------------------------------------------------------- opening

void CWallPaperDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (int i = 0; i < 4; ++i)
        DDX_Control(pDX, static_cast<int>(kSliderIds[i]), m_sliders[i]);
}

BOOL CWallPaperDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_nMode = std::clamp(GetAppIniInt(kSection, L"Mode", ModeCentre), 0, 3);
    for (const wchar_t* mode : kModes)
        SendDlgItemMessage(IDC_WALL_MODE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode));
    SendDlgItemMessage(IDC_WALL_MODE, CB_SETCURSEL, static_cast<WPARAM>(m_nMode), 0);
    CheckDlgButton(IDC_WALL_PREVIEW_CHECK, GetAppIniInt(kSection, L"Preview", 0) ? BST_CHECKED : BST_UNCHECKED);
    m_bFilling = TRUE;
    for (int i = 0; i < 4; ++i) {
        const int range = i == 0 ? 100 : 255;
        m_sliders[i].SetRange(-range, range);
        m_sliders[i].SetPageSize(10);
        const int value = GetAppIniInt(kSection, kKeys[i], 0);
        // The trackbar places its thumb again only when the position changes.
        m_sliders[i].SetPos(range);
        m_sliders[i].SetPos(value);
        SetDlgItemInt(kEditIds[i], static_cast<UINT>(value), TRUE);
    }
    m_bFilling = FALSE;
    CDC screen;
    if (screen.CreateDC(L"DISPLAY", nullptr, nullptr, nullptr)) {
        m_nScreenWidth = screen.GetDeviceCaps(HORZRES);
        m_nScreenHeight = screen.GetDeviceCaps(VERTRES);
    }
    CRect frame;
    if (CWnd* control = GetDlgItem(IDC_WALL_PREVIEW)) {
        control->GetWindowRect(&frame);
        ScreenToClient(&frame);
        frame.DeflateRect(2, 2);
    }
    m_rcFrame = FitFrameToScreen(frame, CSize(m_nScreenWidth, m_nScreenHeight));
    BuildPreview();
    return TRUE;
}

// ---------------------------------------------------------------- the preview

int CWallPaperDlg::EditValue(int nIndex) const
{
    CString text;
    GetDlgItemText(kEditIds[nIndex], text);
    return _wtoi(text);
}

HGLOBAL CWallPaperDlg::AdjustedCopy(HGLOBAL dib) const
{
    HGLOBAL copy = dib ? CopyGlobal(dib) : nullptr;
    if (copy)
        AdjustDibColor(copy, EditValue(1), EditValue(2), EditValue(3), EditValue(0) / 50.0);
    return copy;
}

void CWallPaperDlg::BuildPreview()
{
    if (m_hPreview)
        ::GlobalFree(m_hPreview);
    m_hPreview = nullptr;
    if (!m_hSource || m_rcFrame.IsRectEmpty())
        return;
    const CSize size = PreviewSize(m_nMode, CSize(GetDibWidth(m_hSource), GetDibHeight(m_hSource)), m_rcFrame.Size(),
                                   CSize(m_nScreenWidth, m_nScreenHeight));
    CDibSection surface;
    if (surface.Create24(nullptr, size.cx, size.cy, 0)) {
        surface.PutDibSized(m_hSource, size.cx, size.cy);
        m_hPreview = surface.ToPackedDib();
    }
}

void CWallPaperDlg::DrawPreview()
{
    if (!m_hWnd || !m_hPreview || IsDlgButtonChecked(IDC_WALL_PREVIEW_CHECK) != BST_CHECKED)
        return;
    GlobalBlock picture(AdjustedCopy(m_hPreview));
    CDibSection surface;
    if (!picture || !surface.Create24(nullptr, m_rcFrame.Width(), m_rcFrame.Height(), 0))
        return;
    surface.Fill(nullptr, RGB(0, 0, 0));
    const CSize frame = m_rcFrame.Size();
    const CSize size(GetDibWidth(picture.get()), GetDibHeight(picture.get()));
    switch (m_nMode) {
    case ModeTile:
        for (int y = 0; y < frame.cy; y += size.cy)
            for (int x = 0; x < frame.cx; x += size.cx)
                surface.PutDib(picture.get(), x, y);
        break;
    case ModeStretch:
        surface.PutDibRect(picture.get(), CRect(CPoint(0, 0), frame));
        break;
    case ModeEnlarge: {
        const CSize fitted(Side(size.cx * FitRatio(size, frame)), Side(size.cy * FitRatio(size, frame)));
        const CPoint corner((frame.cx - fitted.cx) / 2, (frame.cy - fitted.cy) / 2);
        surface.PutDibRect(picture.get(), CRect(corner, fitted));
        break;
    }
    default:
        surface.PutDib(picture.get(), (frame.cx - size.cx) / 2, (frame.cy - size.cy) / 2);
        break;
    }
    CClientDC dc(this);
    surface.Draw(&dc, m_rcFrame.left, m_rcFrame.top);
}

void CWallPaperDlg::OnPaint()
{
    CPaintDC dc(this);
    DrawPreview();
}

void CWallPaperDlg::OnHScroll(UINT, UINT, CScrollBar* pScrollBar)
{
    for (int i = 0; i < 4; ++i) {
        if (pScrollBar && pScrollBar->GetSafeHwnd() == m_sliders[i].GetSafeHwnd()) {
            m_bFilling = TRUE;
            SetDlgItemInt(kEditIds[i], static_cast<UINT>(m_sliders[i].GetPos()), TRUE);
            m_bFilling = FALSE;
            DrawPreview();
        }
    }
}

void CWallPaperDlg::OnEditChange(UINT nID)
{
    const int index = static_cast<int>(std::find(std::begin(kEditIds), std::end(kEditIds), nID) - std::begin(kEditIds));
    if (index >= 4 || m_bFilling || !m_sliders[index].GetSafeHwnd())
        return;
    DrawPreview();
    m_sliders[index].SetPos(EditValue(index));
}

void CWallPaperDlg::OnModeChange()
{
    m_nMode = std::clamp(static_cast<int>(SendDlgItemMessage(IDC_WALL_MODE, CB_GETCURSEL, 0, 0)), 0, 3);
    BuildPreview();
    DrawPreview();
}

void CWallPaperDlg::OnPreviewClicked()
{
    if (IsDlgButtonChecked(IDC_WALL_PREVIEW_CHECK) != BST_CHECKED)
        return;
    BuildPreview();
    DrawPreview();
}

void CWallPaperDlg::OnReset()
{
    for (UINT id : kEditIds)
        SetDlgItemText(id, L"0");
    DrawPreview();
}

void CWallPaperDlg::OnDestroy()
{
    if (m_hPreview)
        ::GlobalFree(m_hPreview);
    m_hPreview = nullptr;
    CDialog::OnDestroy();
}

// ---------------------------------------------------------------- making the wallpaper

bool CWallPaperDlg::SetWallpaper(HGLOBAL dib, const CString& path) const
{
    // Under some systems the wallpaper call answers success even for a file that is not there:
    // the saved file decides.
    return dib && SaveDibAsBmp(path, dib) == 0 && SetDesktopWallpaper(path, WallpaperStyle(m_nMode));
}

void CWallPaperDlg::OnOK()
{
    WriteAppIniInt(kSection, L"Preview", IsDlgButtonChecked(IDC_WALL_PREVIEW_CHECK) == BST_CHECKED);
    WriteAppIniInt(kSection, L"Mode", m_nMode);
    for (int i = 0; i < 4; ++i)
        WriteAppIniInt(kSection, kKeys[i], EditValue(i));
    const CString path = GetWallpaperPath();
    GlobalBlock picture(AdjustedCopy(m_hSource));
    if (picture && m_nMode == ModeEnlarge) {
        HCURSOR previous =
            ::SetCursor(::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_WALLPAPER_WAIT_CURSOR)));
        HGLOBAL wide = MakeDib24(picture.get());
        if (wide && wide != picture.get())
            picture.reset(wide);
        const CSize size = ScreenFitSize(CSize(GetDibWidth(picture.get()), GetDibHeight(picture.get())),
                                         CSize(m_nScreenWidth, m_nScreenHeight));
        HGLOBAL resized = ResizeDib(picture.get(), size.cx, size.cy, 0, RGB(0, 0, 0));
        if (resized && resized != picture.get())
            picture.reset(resized);
        ::SetCursor(previous);
    }
    bool done = SetWallpaper(picture.get(), path);
    if (!done && picture) {
        GlobalBlock reduced(ReduceDibTo256Colors(picture.get(), FALSE, this));
        done = SetWallpaper(reduced.get(), path);
    }
    if (!done) {
        CString text;
        text.Format(L"壁紙の変更に失敗しました.[ErrCode=%d]", 0);
        ShowMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    }
    EndDialog(IDOK);
}

void CWallPaperDlg::OnCancel()
{
    EndDialog(IDCANCEL);
}
