// The rebar common control: thin wrappers of its RB_ messages. Band records are given with the
// caller's cbSize (80 bytes for the Windows XP layout the program uses).
#pragma once

#include "framework/CWnd.h"

class CImageList;

class CReBarCtrl : public CWnd
{
    DECLARE_DYNAMIC(CReBarCtrl)
public:
    CReBarCtrl() = default;

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    UINT GetBandCount() const { return static_cast<UINT>(Send(RB_GETBANDCOUNT)); }
    BOOL GetBandInfo(UINT uBand, REBARBANDINFOW* prbbi) const
    {
        return Send(RB_GETBANDINFOW, uBand, reinterpret_cast<LPARAM>(prbbi)) != 0;
    }
    BOOL SetBandInfo(UINT uBand, REBARBANDINFOW* prbbi)
    {
        return Send(RB_SETBANDINFOW, uBand, reinterpret_cast<LPARAM>(prbbi)) != 0;
    }
    BOOL InsertBand(UINT uIndex, REBARBANDINFOW* prbbi)
    {
        return Send(RB_INSERTBANDW, uIndex, reinterpret_cast<LPARAM>(prbbi)) != 0;
    }
    BOOL DeleteBand(UINT uBand) { return Send(RB_DELETEBAND, uBand) != 0; }
    int IDToIndex(UINT uBandID) const { return static_cast<int>(Send(RB_IDTOINDEX, uBandID)); }
    BOOL MoveBand(UINT uFrom, UINT uTo) { return Send(RB_MOVEBAND, uFrom, uTo) != 0; }
    BOOL ShowBand(UINT uBand, BOOL fShow = TRUE) { return Send(RB_SHOWBAND, uBand, fShow) != 0; }
    void MaximizeBand(UINT uBand) { Send(RB_MAXIMIZEBAND, uBand, 0); }
    void MinimizeBand(UINT uBand) { Send(RB_MINIMIZEBAND, uBand); }
    BOOL SizeToRect(CRect& rect) { return Send(RB_SIZETORECT, 0, reinterpret_cast<LPARAM>(&rect)) != 0; }
    int HitTest(RBHITTESTINFO* prbht) { return static_cast<int>(Send(RB_HITTEST, 0, reinterpret_cast<LPARAM>(prbht))); }
    void PushChevron(UINT uBand, LPARAM lAppValue) { Send(RB_PUSHCHEVRON, uBand, lAppValue); }
    BOOL GetRect(UINT uBand, LPRECT prc) const { return Send(RB_GETRECT, uBand, reinterpret_cast<LPARAM>(prc)) != 0; }
    void GetBandBorders(UINT uBand, LPRECT prc) const { Send(RB_GETBANDBORDERS, uBand, reinterpret_cast<LPARAM>(prc)); }
    UINT GetBarHeight() const { return static_cast<UINT>(Send(RB_GETBARHEIGHT)); }
    UINT GetRowCount() const { return static_cast<UINT>(Send(RB_GETROWCOUNT)); }
    UINT GetRowHeight(UINT uRow) const { return static_cast<UINT>(Send(RB_GETROWHEIGHT, uRow)); }
    BOOL GetBarInfo(REBARINFO* prbi) const { return Send(RB_GETBARINFO, 0, reinterpret_cast<LPARAM>(prbi)) != 0; }
    BOOL SetBarInfo(REBARINFO* prbi) { return Send(RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(prbi)) != 0; }
    COLORREF GetBkColor() const { return static_cast<COLORREF>(Send(RB_GETBKCOLOR)); }
    COLORREF SetBkColor(COLORREF clr)
    {
        return static_cast<COLORREF>(Send(RB_SETBKCOLOR, 0, static_cast<LPARAM>(clr)));
    }
    COLORREF GetTextColor() const { return static_cast<COLORREF>(Send(RB_GETTEXTCOLOR)); }
    COLORREF SetTextColor(COLORREF clr)
    {
        return static_cast<COLORREF>(Send(RB_SETTEXTCOLOR, 0, static_cast<LPARAM>(clr)));
    }
    HWND GetToolTips() const { return reinterpret_cast<HWND>(Send(RB_GETTOOLTIPS)); }
    void SetToolTips(HWND hWndTip) { Send(RB_SETTOOLTIPS, reinterpret_cast<WPARAM>(hWndTip)); }
    CWnd* SetOwner(CWnd* pWnd)
    {
        return CWnd::FromHandle(
            reinterpret_cast<HWND>(Send(RB_SETPARENT, reinterpret_cast<WPARAM>(pWnd->GetSafeHwnd()))));
    }
    BOOL SetImageList(CImageList* pImageList);
    CImageList* GetImageList() const;
    void BeginDrag(UINT uBand, DWORD dwPos = static_cast<DWORD>(-1))
    {
        Send(RB_BEGINDRAG, uBand, static_cast<LPARAM>(dwPos));
    }
    void EndDrag() { Send(RB_ENDDRAG); }
    void DragMove(DWORD dwPos = static_cast<DWORD>(-1)) { Send(RB_DRAGMOVE, 0, static_cast<LPARAM>(dwPos)); }
    BOOL GetColorScheme(COLORSCHEME* lpcs) const
    {
        return Send(RB_GETCOLORSCHEME, 0, reinterpret_cast<LPARAM>(lpcs)) != 0;
    }
    void SetColorScheme(const COLORSCHEME* lpcs) { Send(RB_SETCOLORSCHEME, 0, reinterpret_cast<LPARAM>(lpcs)); }

protected:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
};
