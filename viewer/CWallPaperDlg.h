// The wallpaper dialog: a placement, brightness and colour offsets, a preview of the screen, and
// on "実行" the adjusted picture written as a BMP file into the Windows folder and made the
// desktop wallpaper. The caller keeps the picture it hands in.
#pragma once

#include "framework/Framework.h"

class CWallPaperDlg : public CDialog
{
public:
    enum { ModeCentre = 0, ModeTile = 1, ModeStretch = 2, ModeEnlarge = 3 };

    explicit CWallPaperDlg(CWnd* pParent = nullptr);
    ~CWallPaperDlg() override;

    // Not owned.
    void SetSource(HGLOBAL dib) { m_hSource = dib; }

    // The preview frame (shrunk by 2 on every side already) cut to the screen's aspect ratio.
    static CRect FitFrameToScreen(const CRect& frame, CSize screen);
    // The preview picture's size for a placement: at least 1 pixel a side.
    static CSize PreviewSize(int nMode, CSize source, CSize frame, CSize screen);
    // A picture enlarged (or shrunk) to fill the screen without leaving it: mode 3's wallpaper.
    static CSize ScreenFitSize(CSize picture, CSize screen);
    // The system's wallpaper style for a placement: 0 centre, 1 tile, 2 stretch.
    static int WallpaperStyle(int nMode);
    // The wallpaper file: the Windows folder and "WallPaper"/"FileName".
    static CString GetWallpaperPath();

    HGLOBAL GetPreviewPicture() const { return m_hPreview; }
    const CRect& GetPreviewFrame() const { return m_rcFrame; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnPaint();
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnEditChange(UINT nID);
    afx_msg void OnModeChange();
    afx_msg void OnPreviewClicked();
    afx_msg void OnReset();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    int EditValue(int nIndex) const;
    // A copy of the DIB with the brightness and offsets applied; null when it cannot be made.
    HGLOBAL AdjustedCopy(HGLOBAL dib) const;
    void BuildPreview();
    void DrawPreview();
    // Saves the picture and makes it the wallpaper; false when either fails.
    bool SetWallpaper(HGLOBAL dib, const CString& path) const;

    HGLOBAL m_hSource = nullptr;
    int m_nMode = ModeCentre;
    CRect m_rcFrame;
    int m_nScreenWidth = 0;
    int m_nScreenHeight = 0;
    HGLOBAL m_hPreview = nullptr;
    // Brightness, red, green, blue.
    CSliderCtrl m_sliders[4];
    // Set while an edit is filled from its slider, so the edit does not move the slider back.
    BOOL m_bFilling = FALSE;
};
