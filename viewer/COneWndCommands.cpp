// The picture window's picture and option commands: zoom, rotation, mirror, scrolling, the edits
// of the displayed page and the picture dialogs; the fit and scale modes and the display options.
#include "viewer/COneWnd.h"

#include "image/DibCore.h"
#include "image/DibFilter.h"
#include "image/DibQuant.h"
#include "image/codecs/SaveDib.h"
#include "res/resource.h"
#include "viewer/CContrastDlg.h"
#include "viewer/CWallPaperDlg.h"
#include "viewer/FitOptionDlg.h"

namespace {

// Shift with an arrow scrolls the picture this far.
const int kScrollStep = 100;

struct ModeCommand
{
    UINT id;
    int mode;
};

// The fit mode and scale mode each menu command stands for.
const ModeCommand kFitCommands[] = {
    {ID_PICTURE_FIT_ASIS, COnePicture::FitAsIs},       {ID_PICTURE_FIT_FOLLOW, COnePicture::FitWindowFollows},
    {ID_PICTURE_FIT_STRETCH, COnePicture::FitStretch}, {ID_PICTURE_FIT_ASPECT, COnePicture::FitAspect},
    {ID_PICTURE_FIT_WIDTH, COnePicture::FitWidth},     {ID_PICTURE_FIT_HEIGHT, COnePicture::FitHeight}};
const ModeCommand kScaleCommands[] = {{ID_PICTURE_SCALE_DEVICE, COnePicture::ScaleDevice},
                                      {ID_PICTURE_SCALE_NEAREST, COnePicture::ScaleNearest},
                                      {ID_PICTURE_SCALE_BILINEAR, COnePicture::ScaleBilinear},
                                      {ID_PICTURE_SCALE_AVERAGE, COnePicture::ScaleAverage},
                                      {ID_PICTURE_SCALE_AUTO, COnePicture::ScaleAuto}};

template <size_t N> int ModeOf(const ModeCommand (&table)[N], UINT id)
{
    for (const ModeCommand& entry : table)
        if (entry.id == id)
            return entry.mode;
    return -1;
}

} // namespace

// ---------------------------------------------------------------- picture commands

double COneWnd::ZoomInValue(const VyxVariantArray& steps, int& nStep, double viewZoom)
{
    const int count = steps.GetCount();
    if (nStep + 1 >= count)
        return viewZoom * 2;
    if (nStep == 0 && steps[0].GetDouble() > viewZoom * 2)
        return viewZoom * 2;
    return steps[++nStep].GetDouble();
}

double COneWnd::ZoomOutValue(const VyxVariantArray& steps, int& nStep, double viewZoom)
{
    const int count = steps.GetCount();
    if (nStep < 1 || nStep >= count)
        return viewZoom * 0.5;
    if (nStep == count - 1 && viewZoom * 0.5 > steps[count - 1].GetDouble())
        return viewZoom * 0.5;
    return steps[--nStep].GetDouble();
}

double COneWnd::TakeShownZoom(int& nStep) const
{
    const double shown = m_pView->GetShownZoom();
    if (shown == m_pView->GetZoom())
        return shown;
    // A picture shown smaller than asked (too large for a display copy at that zoom) zooms on
    // from what is on screen: the step is the last one at or below it.
    nStep = 0;
    for (int i = 0; i < m_zoomSteps.GetCount(); ++i)
        if (m_zoomSteps[i].GetDouble() <= shown)
            nStep = i;
    return shown;
}

void COneWnd::ApplyZoom(double zoom)
{
    if (!m_pView)
        return;
    m_pView->SetZoom(zoom);
    if (m_settings.FitSize != COnePicture::FitWindowFollows)
        m_settings.FitSize = COnePicture::FitAsIs;
    ShowPicture(-1);
}

void COneWnd::OnZoomIn()
{
    if (!m_pView)
        return;
    int step = m_nZoomStep;
    const double zoom = ZoomInValue(m_zoomSteps, step, TakeShownZoom(step));
    // Past the largest display copy the picture stays as it is.
    if (!m_pView->GetPicture().IsZoomAllowed(zoom))
        return;
    m_nZoomStep = step;
    ApplyZoom(zoom);
}

void COneWnd::OnZoomOut()
{
    if (!m_pView)
        return;
    const double zoom = ZoomOutValue(m_zoomSteps, m_nZoomStep, TakeShownZoom(m_nZoomStep));
    ApplyZoom(zoom);
}

void COneWnd::OnZoomOriginal()
{
    m_nZoomStep = m_nHundredStep;
    ApplyZoom(m_zoomSteps.GetCount() > m_nHundredStep ? m_zoomSteps[m_nHundredStep].GetDouble() : 1.0);
}

void COneWnd::OnUpdateZoom(CCmdUI* pCmdUI)
{
    const int fit = m_settings.FitSize;
    const bool fitted = fit == COnePicture::FitStretch || fit == COnePicture::FitWidth || fit == COnePicture::FitHeight;
    pCmdUI->Enable(m_nAutoPlay == 0 && !fitted && GetDisplayedPage());
}

void COneWnd::OnRotateLeft()
{
    m_nAngle = COnePicture::TurnAngle(m_nAngle, -m_settings.AngleUnit);
    ShowPicture(-1);
}

void COneWnd::OnRotateRight()
{
    m_nAngle = COnePicture::TurnAngle(m_nAngle, m_settings.AngleUnit);
    ShowPicture(-1);
}

void COneWnd::OnFlip(UINT nID)
{
    // The display copy may be the source page itself: the mirror is made on a copy.
    const int flag = nID == ID_PICTURE_FLIP_VERTICAL ? 0 : 1;
    COnePicture::PageEdit mirror{[flag](HGLOBAL page) {
                                     HGLOBAL copy = CopyGlobal(page);
                                     if (copy)
                                         FlipDib(copy, flag);
                                     return copy;
                                 },
                                 true};
    ReplaceDisplayedPage(mirror.apply(GetDisplayedPage()), mirror);
}

void COneWnd::OnScroll(UINT nID)
{
    if (!m_pView)
        return;
    switch (nID) {
    case ID_PICTURE_SCROLL_LEFT:
        m_pView->Scroll(kScrollStep, 0);
        break;
    case ID_PICTURE_SCROLL_RIGHT:
        m_pView->Scroll(-kScrollStep, 0);
        break;
    case ID_PICTURE_SCROLL_UP:
        m_pView->Scroll(0, kScrollStep);
        break;
    default:
        m_pView->Scroll(0, -kScrollStep);
        break;
    }
    m_pView->Invalidate(FALSE);
}

void COneWnd::OnWallpaper()
{
    HGLOBAL page = GetDisplayedPage();
    if (!page)
        return;
    CWallPaperDlg dialog(this);
    dialog.SetSource(page);
    dialog.DoModal();
}

void COneWnd::OnClipboard()
{
    CopyDibToClipboard(GetDisplayedPage());
}

void COneWnd::OnUnsharp()
{
    COnePicture::PageEdit sharpen{[](HGLOBAL page) {
        HGLOBAL sharpened = page ? UnsharpMaskDib(page, 0.3) : nullptr;
        return sharpened != page ? sharpened : nullptr;
    }};
    ReplaceDisplayedPage(sharpen.apply(GetDisplayedPage()), sharpen);
}

void COneWnd::OnReduce()
{
    HGLOBAL page = GetDisplayedPage();
    if (!page)
        return;
    HCURSOR previous = ::SetCursor(::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_WAIT_CURSOR)));
    // The progress window is this window's, so this window is the active one when it closes.
    COnePicture::PageEdit reduce{[this](HGLOBAL picture) {
        HGLOBAL reduced = ReduceDibTo256Colors(picture, FALSE, this);
        return reduced != picture ? reduced : nullptr;
    }};
    ReplaceDisplayedPage(reduce.apply(page), reduce);
    ::SetCursor(previous);
}

void COneWnd::OnUpdateReduce(CCmdUI* pCmdUI)
{
    HGLOBAL page = GetDisplayedPage();
    pCmdUI->Enable(m_nAutoPlay == 0 && page && GetDibBitCount(page) == 24);
}

void COneWnd::OnGray()
{
    COnePicture::PageEdit grey{[](HGLOBAL page) {
        HGLOBAL converted = page ? ConvertDibToGray(page) : nullptr;
        return converted != page ? converted : nullptr;
    }};
    ReplaceDisplayedPage(grey.apply(GetDisplayedPage()), grey);
}

void COneWnd::OnContrast()
{
    HGLOBAL page = GetDisplayedPage();
    if (!page)
        return;
    CContrastDlg dialog(this);
    dialog.SetSource(page);
    if (dialog.DoModal() == IDOK && m_pView) {
        // The dialog's last result is the display copy now; the adjustment is kept with it.
        const CContrastDlg::Adjustment adjustment = dialog.GetAdjustment();
        m_pView->GetPicture().AddDisplayEdit(
            {[adjustment](HGLOBAL picture) { return CContrastDlg::AdjustedCopyOf(picture, adjustment); }});
        m_pView->Invalidate(FALSE);
    }
}

void COneWnd::OnUpdateDisplayedPage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nAutoPlay == 0 && GetDisplayedPage());
}

void COneWnd::OnUpdateAutoPlayOff(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nAutoPlay == 0);
}
// ---------------------------------------------------------------- option commands

void COneWnd::OnOptions()
{
    FitOptionDlg dialog(this);
    dialog.m_pSettings = &m_settings;
    if (dialog.DoModal() == IDOK)
        ShowPicture(-1);
}

void COneWnd::OnFitMode(UINT nID)
{
    m_settings.FitSize = ModeOf(kFitCommands, nID);
    ShowPicture(-1);
}

void COneWnd::OnUpdateFitMode(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(ModeOf(kFitCommands, pCmdUI->m_nID) == m_settings.FitSize ? 1 : 0);
}

void COneWnd::OnScaleMode(UINT nID)
{
    m_settings.ScaleMode = ModeOf(kScaleCommands, nID);
    ShowPicture(-1);
}

void COneWnd::OnUpdateScaleMode(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(ModeOf(kScaleCommands, pCmdUI->m_nID) == m_settings.ScaleMode ? 1 : 0);
}

void COneWnd::OnRepeat()
{
    m_settings.Repeat = !m_settings.Repeat;
}

void COneWnd::OnUpdateRepeat(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_settings.Repeat ? 1 : 0);
}
