// The tool-bar common control: thin wrappers of its TB_ messages.
#pragma once

#include "framework/CWnd.h"

class CImageList;
class CBitmap;

class CToolBarCtrl : public CWnd
{
    DECLARE_DYNAMIC(CToolBarCtrl)
public:
    CToolBarCtrl() = default;

    // A tool bar told the size of TBBUTTON.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, const RECT& rect, UINT nID);

    BOOL EnableButton(int nID, BOOL bEnable = TRUE) { return Send(TB_ENABLEBUTTON, nID, MAKELONG(bEnable, 0)) != 0; }
    BOOL CheckButton(int nID, BOOL bCheck = TRUE) { return Send(TB_CHECKBUTTON, nID, MAKELONG(bCheck, 0)) != 0; }
    BOOL PressButton(int nID, BOOL bPress = TRUE) { return Send(TB_PRESSBUTTON, nID, MAKELONG(bPress, 0)) != 0; }
    BOOL HideButton(int nID, BOOL bHide = TRUE) { return Send(TB_HIDEBUTTON, nID, MAKELONG(bHide, 0)) != 0; }
    BOOL Indeterminate(int nID, BOOL bIndeterminate = TRUE)
    {
        return Send(TB_INDETERMINATE, nID, MAKELONG(bIndeterminate, 0)) != 0;
    }
    BOOL IsButtonEnabled(int nID) const { return Send(TB_ISBUTTONENABLED, nID) != 0; }
    BOOL IsButtonChecked(int nID) const { return Send(TB_ISBUTTONCHECKED, nID) != 0; }
    BOOL IsButtonPressed(int nID) const { return Send(TB_ISBUTTONPRESSED, nID) != 0; }
    BOOL IsButtonHidden(int nID) const { return Send(TB_ISBUTTONHIDDEN, nID) != 0; }
    BOOL IsButtonIndeterminate(int nID) const { return Send(TB_ISBUTTONINDETERMINATE, nID) != 0; }
    BOOL SetState(int nID, UINT nState) { return Send(TB_SETSTATE, nID, MAKELONG(nState, 0)) != 0; }
    int GetState(int nID) const { return static_cast<int>(Send(TB_GETSTATE, nID)); }

    BOOL AddButtons(int nNumButtons, LPTBBUTTON lpButtons)
    {
        return Send(TB_ADDBUTTONSW, nNumButtons, reinterpret_cast<LPARAM>(lpButtons)) != 0;
    }
    BOOL InsertButton(int nIndex, LPTBBUTTON lpButton)
    {
        return Send(TB_INSERTBUTTONW, nIndex, reinterpret_cast<LPARAM>(lpButton)) != 0;
    }
    BOOL DeleteButton(int nIndex) { return Send(TB_DELETEBUTTON, nIndex) != 0; }
    BOOL MoveButton(UINT nOldPos, UINT nNewPos) { return Send(TB_MOVEBUTTON, nOldPos, nNewPos) != 0; }
    BOOL GetButton(int nIndex, LPTBBUTTON lpButton) const
    {
        return Send(TB_GETBUTTON, nIndex, reinterpret_cast<LPARAM>(lpButton)) != 0;
    }
    int GetButtonCount() const { return static_cast<int>(Send(TB_BUTTONCOUNT)); }
    UINT CommandToIndex(UINT nID) const { return static_cast<UINT>(Send(TB_COMMANDTOINDEX, nID)); }
    int GetButtonInfo(int nID, TBBUTTONINFOW* ptbbi) const
    {
        return static_cast<int>(Send(TB_GETBUTTONINFOW, nID, reinterpret_cast<LPARAM>(ptbbi)));
    }
    BOOL SetButtonInfo(int nID, TBBUTTONINFOW* ptbbi)
    {
        return Send(TB_SETBUTTONINFOW, nID, reinterpret_cast<LPARAM>(ptbbi)) != 0;
    }
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const
    {
        return Send(TB_GETITEMRECT, nIndex, reinterpret_cast<LPARAM>(lpRect)) != 0;
    }
    BOOL GetRect(int nID, LPRECT lpRect) const { return Send(TB_GETRECT, nID, reinterpret_cast<LPARAM>(lpRect)) != 0; }
    int HitTest(LPPOINT ppt) const { return static_cast<int>(Send(TB_HITTEST, 0, reinterpret_cast<LPARAM>(ppt))); }
    BOOL MapAccelerator(wchar_t chAccel, UINT* pIDBtn)
    {
        return Send(TB_MAPACCELERATORW, chAccel, reinterpret_cast<LPARAM>(pIDBtn)) != 0;
    }
    int GetHotItem() const { return static_cast<int>(Send(TB_GETHOTITEM)); }
    int SetHotItem(int nHot) { return static_cast<int>(Send(TB_SETHOTITEM, nHot)); }

    int AddBitmap(int nNumButtons, UINT nBitmapID);
    int AddBitmap(int nNumButtons, CBitmap* pBitmap);
    BOOL ReplaceBitmap(LPTBREPLACEBITMAP pReplaceBitmap)
    {
        return Send(TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(pReplaceBitmap)) != 0;
    }
    int AddString(UINT nStringID);
    int AddStrings(LPCWSTR lpszStrings)
    {
        return static_cast<int>(Send(TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(lpszStrings)));
    }
    CImageList* SetImageList(CImageList* pImageList);
    CImageList* GetImageList() const;
    CImageList* SetHotImageList(CImageList* pImageList);
    CImageList* GetHotImageList() const;
    CImageList* SetDisabledImageList(CImageList* pImageList);
    CImageList* GetDisabledImageList() const;
    BOOL SetBitmapSize(CSize size) { return Send(TB_SETBITMAPSIZE, 0, MAKELONG(size.cx, size.cy)) != 0; }
    BOOL SetButtonSize(CSize size) { return Send(TB_SETBUTTONSIZE, 0, MAKELONG(size.cx, size.cy)) != 0; }
    CSize GetButtonSize() const
    {
        DWORD size = static_cast<DWORD>(Send(TB_GETBUTTONSIZE));
        return CSize(LOWORD(size), HIWORD(size));
    }
    BOOL SetButtonWidth(int cxMin, int cxMax) { return Send(TB_SETBUTTONWIDTH, 0, MAKELONG(cxMin, cxMax)) != 0; }
    BOOL SetIndent(int iIndent) { return Send(TB_SETINDENT, iIndent) != 0; }
    BOOL SetMaxTextRows(int iMaxRows) { return Send(TB_SETMAXTEXTROWS, iMaxRows) != 0; }
    DWORD GetStyle() const { return static_cast<DWORD>(Send(TB_GETSTYLE)); }
    void SetStyle(DWORD dwStyle) { Send(TB_SETSTYLE, 0, static_cast<LPARAM>(dwStyle)); }
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(Send(TB_GETEXTENDEDSTYLE)); }
    DWORD SetExtendedStyle(DWORD dwExStyle)
    {
        return static_cast<DWORD>(Send(TB_SETEXTENDEDSTYLE, 0, static_cast<LPARAM>(dwExStyle)));
    }
    DWORD SetDrawTextFlags(DWORD dwMask, DWORD dwDTFlags)
    {
        return static_cast<DWORD>(Send(TB_SETDRAWTEXTFLAGS, dwMask, static_cast<LPARAM>(dwDTFlags)));
    }
    DWORD GetPadding() const { return static_cast<DWORD>(Send(TB_GETPADDING)); }
    DWORD SetPadding(int cx, int cy) { return static_cast<DWORD>(Send(TB_SETPADDING, 0, MAKELPARAM(cx, cy))); }
    void SetRows(int nRows, BOOL bLarger, LPRECT lpRect)
    {
        Send(TB_SETROWS, MAKEWPARAM(nRows, bLarger), reinterpret_cast<LPARAM>(lpRect));
    }
    int GetRows() const { return static_cast<int>(Send(TB_GETROWS)); }
    BOOL GetMaxSize(LPSIZE pSize) const { return Send(TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(pSize)) != 0; }
    void AutoSize() { Send(TB_AUTOSIZE); }
    void Customize() { Send(TB_CUSTOMIZE); }
    HWND GetToolTips() const { return reinterpret_cast<HWND>(Send(TB_GETTOOLTIPS)); }
    void SetToolTips(HWND hWndToolTip) { Send(TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(hWndToolTip)); }
    // The window that gets the tool bar's notifications.
    void SetOwner(CWnd* pWnd) { Send(TB_SETPARENT, reinterpret_cast<WPARAM>(pWnd->GetSafeHwnd())); }
    BOOL ChangeBitmap(int nID, int nBitmap) { return Send(TB_CHANGEBITMAP, nID, MAKELPARAM(nBitmap, 0)) != 0; }
    int GetBitmap(int nID) const { return static_cast<int>(Send(TB_GETBITMAP, nID)); }
    int GetButtonText(int nID, CString& text) const;

protected:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
};
