// A button that shows a colour and, when clicked, opens a popup palette of 40 named colours with an
// optional default entry and an optional entry for the system colour dialog. It draws with the
// visual-styles theme when one is active, as a push button with a swatch and a drop arrow or in a
// combo-box look with a swatch, the colour's name or value and a drop button.
#pragma once

#include "controls/UxThemeHandle.h"

class CColourPopupXP;

// Between the popup, the picker and the picker's parent: wParam the colour; to the parent lParam
// is the picker's control id.
#define WMU_COLOUR_SELCHANGE (WM_USER + 1001)
#define WMU_COLOUR_DROPDOWN (WM_USER + 1002)
#define WMU_COLOUR_CLOSEUP (WM_USER + 1003)
#define WMU_COLOUR_SELENDOK (WM_USER + 1004)
#define WMU_COLOUR_SELENDCANCEL (WM_USER + 1005)

// One entry of the shared colour table.
struct ColourTableEntry
{
    COLORREF crColour;
    wchar_t szName[256];
};

class CColourPickerXP : public CButton
{
public:
    CColourPickerXP();
    ~CColourPickerXP() override;

    // bResolve: CLR_DEFAULT answers the default colour.
    virtual COLORREF GetColour(BOOL bResolve = TRUE) const;
    virtual COLORREF GetRawColour() const;
    virtual void SetColour(COLORREF crColour);
    virtual COLORREF GetDefaultColour() const;
    virtual void SetDefaultColour(COLORREF crColour);
    virtual void SetCustomText(LPCWSTR lpszText);
    virtual void SetDefaultText(LPCWSTR lpszText);
    virtual void SetRegSection(LPCWSTR lpszRegSection);
    virtual void SetTrackSelection(BOOL bTrack);
    virtual BOOL GetTrackSelection() const;
    virtual void SetComboStyle(BOOL bComboStyle);
    virtual BOOL IsComboStyle() const;
    virtual void SetRGBLabel(LPCWSTR lpszLabel);
    virtual void SetShowColourValue(BOOL bShow);
    virtual BOOL GetShowColourValue() const;
    virtual void PaintHotDropButton(BOOL bHot);

    static void SetDefaultRegSection(LPCWSTR lpszRegSection);
    // Names i from string id + i (a missing string keeps the built-in name); 0 restores them all.
    static void SetColourNames(UINT nFirstStringId);
    static int GetColourCount();
    static const ColourTableEntry& GetColourEntry(int nIndex);
    // The index of the colour in the table, or -1.
    static int FindColour(COLORREF crColour);

    BOOL IsPopupOpen() const { return m_bPopupActive; }
    const CString& GetDefaultText() const { return m_strDefaultText; }
    const CString& GetCustomText() const { return m_strCustomText; }
    // The text the combo look shows for a colour.
    CString ColourText(COLORREF crColour) const;

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void PreSubclassWindow() override;
    // The popup to open; owned by this picker until its window exists, then by the window.
    virtual CColourPopupXP* NewPopup();
    BOOL HasTheme();

    afx_msg BOOL OnClicked();
    afx_msg LRESULT OnSelChange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSelEndOK(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSelEndCancel(WPARAM wParam, LPARAM lParam);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    DECLARE_MESSAGE_MAP()

    void TellParent(UINT nMessage, COLORREF crColour);

    COLORREF m_Color = CLR_DEFAULT;
    COLORREF m_DefaultColor;
    CString m_strDefaultText = L"デフォルト";
    CString m_strCustomText = L"その他...";
    BOOL m_bPopupActive = FALSE;
    BOOL m_bTrackSelection = FALSE;
    BOOL m_bMouseOver = FALSE;
    BOOL m_bFlatMenus = FALSE;
    BOOL m_bComboBoxStyle = FALSE;
    BOOL m_bShowColourValue = FALSE;
    CString m_strRGBText = L"RGB";
    CString m_strRegSection;
    UxThemeHandle m_themeButton;
    UxThemeHandle m_themeEdit;
    UxThemeHandle m_themeCombo;
    BOOL m_bThemesOpened = FALSE;
    static CString s_strDefaultRegSection;
};

// Dialog data exchange of a picker's colour (the raw colour: CLR_DEFAULT stays CLR_DEFAULT).
void AFXAPI DDX_ColourPicker(CDataExchange* pDX, int nIDC, COLORREF& crColour);
