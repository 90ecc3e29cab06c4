// The colour-adjustment dialog: contrast and red, green and blue brightness of a picture window's
// picture, with a live preview in that window. It keeps a copy of the picture and sends every
// adjusted version to the window as WMU_CONTRASTRESULT; a block it has sent is the window's.
#pragma once

#include "framework/Framework.h"
#include "image/DibColor.h"

class CContrastDlg : public CDialog
{
public:
    explicit CContrastDlg(CWnd* pParent);
    ~CContrastDlg() override;

    // Keeps a copy of the packed DIB.
    void SetSource(HGLOBAL dib);

    // The level range of a contrast slider position: 256 + contrast x 256 / 100 (towards zero).
    static int ContrastLevels(int contrast);
    // A copy of the source with the contrast (level range) and the colour brightness applied:
    // as the image library's contrast and colour adjustment would make it, in one pass.
    HGLOBAL AdjustedCopy(int nLevels, int nRed, int nGreen, int nBlue) const;

    // What OK left on the window's picture, to be made again on another copy of it (the picture
    // at its own size): the channel ranges the contrast stretched, the level range and the three
    // brightness values.
    struct Adjustment
    {
        DibChannelStats range = {};
        int levels = 256;
        int red = 0;
        int green = 0;
        int blue = 0;
    };
    const Adjustment& GetAdjustment() const { return m_adjustment; }
    // The adjustment made on a copy of any picture; null when the copy cannot be made.
    static HGLOBAL AdjustedCopyOf(HGLOBAL picture, const Adjustment& adjustment);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnEditKillFocus(UINT nID);
    afx_msg void OnReset();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void Preview();
    // With "RGB同期" on, the other two colour sliders follow the moved one by its move.
    void FollowColour(int nMoved, int nPos);
    void ShowValue(int nSlider, int nPos);

    CWnd* m_pResultWnd;
    HGLOBAL m_hSource = nullptr;
    // The source's lowest and highest value of each channel, which the contrast stretches.
    DibChannelStats m_range = {};
    // Sliders in order: contrast, red, green, blue; the colours' positions at the last preview.
    CSliderCtrl m_sliders[4];
    int m_last[3] = {};
    Adjustment m_adjustment;
};
