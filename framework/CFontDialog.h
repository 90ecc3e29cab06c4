// The font dialog over a LOGFONT (m_lf), with its colour when CF_EFFECTS is given.
#pragma once

#include "framework/CCommonDialog.h"

class CDC;

class CFontDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CFontDialog)
public:
    explicit CFontDialog(LPLOGFONTW lplfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                         CDC* pdcPrinter = nullptr, CWnd* pParentWnd = nullptr);

    CHOOSEFONTW m_cf;
    LOGFONTW m_lf;

    INT_PTR DoModal() override;
    // The font chosen so far (while open) or at the end.
    void GetCurrentFont(LPLOGFONTW lplf);
    CString GetFaceName() const { return m_lf.lfFaceName; }
    int GetSize() const { return m_cf.iPointSize; } // tenths of a point
    COLORREF GetColor() const { return m_cf.rgbColors; }
    int GetWeight() const { return m_lf.lfWeight; }
    BOOL IsBold() const { return m_lf.lfWeight >= FW_SEMIBOLD; }
    BOOL IsItalic() const { return m_lf.lfItalic != 0; }
    BOOL IsUnderline() const { return m_lf.lfUnderline != 0; }
    BOOL IsStrikeOut() const { return m_lf.lfStrikeOut != 0; }
};
