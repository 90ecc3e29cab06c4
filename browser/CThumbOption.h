// The thumbnail settings dialog: cell size, margins, size limits, frames, the information text,
// colours and font, scaling quality and sharpening of the thumbnail cells, with a preview cell of
// a sample picture (the clipboard's picture, else a built-in one) repainted after every change.
// It edits its own copy of the layout record; the caller reads it back after OK.
#pragma once

#include "catalogue/VyxConfig.h"
#include "controls/CColourPickerXP.h"
#include "controls/CEditButtonCtrl.h"
#include "controls/CToolTipDialog.h"

class CThumbOption : public CToolTipDialog
{
public:
    enum {
        IDD = 158,
        MinSize = VyxConfig::MinCellSide,
        DefaultMaxX = VyxConfig::DefaultLargestX,
        DefaultMaxY = VyxConfig::DefaultLargestY,
        MaxResolution = VyxConfig::MaxCellSide
    };

    CThumbOption();
    ~CThumbOption() override;

    THUMBSDATA m_data = {};

    // The edge combos' rows and the drawn-edge flags they store.
    static int EdgeToIndex(int edge);
    static int IndexToEdge(int index);
    // "\n" (backslash, n) and line breaks, as the record keeps them and as the edit shows them.
    static CString FormatToEdit(const wchar_t* format);
    // At most 255 characters; a longer text is cut.
    static void EditToFormat(const CString& text, wchar_t (&format)[256]);

    int GetMaxX() const { return m_maxX; }
    int GetMaxY() const { return m_maxY; }
    HGLOBAL GetSample() const { return m_sample; }
    // The preview rectangle in client coordinates and the cell's place in it, as last painted.
    CRect GetPreviewRect() const;
    CRect GetPreviewCell() const { return m_previewCell; }
    // Paints the preview (the dialog's WM_PAINT does this after its own painting).
    void DrawPreview(CDC* dc);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnPaint();
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnDestroy();
    afx_msg void OnKillFocusSize(UINT nID);
    afx_msg void OnKillFocusNameFormat();
    afx_msg void OnClickedCheck(UINT nID);
    afx_msg void OnClickedName(UINT nID);
    afx_msg void OnFont();
    afx_msg void OnSelChangeEdge(UINT nID);
    afx_msg LRESULT OnColourChosen(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The record within what the controls can show (a settings file may hold anything).
    void ClampRecord();
    void LoadSample();
    void TakeSlider(CWnd* slider);
    void RepaintPreview();

    int m_maxX = DefaultMaxX;
    int m_maxY = DefaultMaxY;
    HGLOBAL m_sample = nullptr;
    CRect m_previewCell;
    CSliderCtrl m_widthSlider;
    CSliderCtrl m_heightSlider;
    CSliderCtrl m_unsharpSlider;
    CSliderCtrl m_name2PerSlider;
    CEditButtonCtrl m_nameFormat;
    CColourPickerXP m_pickers[9];
};
