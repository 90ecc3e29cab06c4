// The ON_WM_* message-map entries: one per window message, each calling the handler of the
// documented name and signature (declared with a default body in CWnd). Used inside
// BEGIN_MESSAGE_MAP of a CWnd-derived class; the argument types (CDC, CMenu, CScrollBar, ...)
// come from framework/Framework.h.
#pragma once

#include "framework/MessageMap.h"

#define AFX_WP afxCall_.wParam
#define AFX_LP afxCall_.lParam
#define AFX_LOSHORT(x) int(short(LOWORD(x)))
#define AFX_HISHORT(x) int(short(HIWORD(x)))
#define AFX_LP_POINT CPoint(AFX_LOSHORT(AFX_LP), AFX_HISHORT(AFX_LP))

// WM_CTLCOLORMSGBOX .. WM_CTLCOLORSTATIC all reach ON_WM_CTLCOLOR; nCtlColor says which one.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

#define ON_WM_CREATE()                                                                                                 \
    AFX_WM_ENTRY(WM_CREATE,                                                                                            \
                 afxCall_.lResult =                                                                                    \
                     (LRESULT)(AFX_CALL(int, (LPCREATESTRUCT), OnCreate)(reinterpret_cast<LPCREATESTRUCT>(AFX_LP))))
#define ON_WM_NCCREATE()                                                                                               \
    AFX_WM_ENTRY(WM_NCCREATE, afxCall_.lResult = (LRESULT)(AFX_CALL(BOOL, (LPCREATESTRUCT), OnNcCreate)(               \
                                  reinterpret_cast<LPCREATESTRUCT>(AFX_LP))))
#define ON_WM_DESTROY() AFX_WM_ENTRY(WM_DESTROY, AFX_CALL(void, (), OnDestroy)())
#define ON_WM_NCDESTROY() AFX_WM_ENTRY(WM_NCDESTROY, AFX_CALL(void, (), OnNcDestroy)())
#define ON_WM_CLOSE() AFX_WM_ENTRY(WM_CLOSE, AFX_CALL(void, (), OnClose)())
#define ON_WM_PAINT() AFX_WM_ENTRY(WM_PAINT, AFX_CALL(void, (), OnPaint)())
#define ON_WM_NCPAINT() AFX_WM_ENTRY(WM_NCPAINT, AFX_CALL(void, (), OnNcPaint)())
#define ON_WM_ERASEBKGND()                                                                                             \
    AFX_WM_ENTRY(WM_ERASEBKGND,                                                                                        \
                 afxCall_.lResult =                                                                                    \
                     (LRESULT)(AFX_CALL(BOOL, (CDC*), OnEraseBkgnd)(CDC::FromHandle(reinterpret_cast<HDC>(AFX_WP)))))
#define ON_WM_ICONERASEBKGND()                                                                                         \
    AFX_WM_ENTRY(WM_ICONERASEBKGND,                                                                                    \
                 AFX_CALL(void, (CDC*), OnIconEraseBkgnd)(CDC::FromHandle(reinterpret_cast<HDC>(AFX_WP))))
#define ON_WM_SIZE()                                                                                                   \
    AFX_WM_ENTRY(WM_SIZE,                                                                                              \
                 AFX_CALL(void, (UINT, int, int), OnSize)(UINT(AFX_WP), AFX_LOSHORT(AFX_LP), AFX_HISHORT(AFX_LP)))
#define ON_WM_MOVE() AFX_WM_ENTRY(WM_MOVE, AFX_CALL(void, (int, int), OnMove)(AFX_LOSHORT(AFX_LP), AFX_HISHORT(AFX_LP)))
#define ON_WM_SIZING()                                                                                                 \
    AFX_WM_ENTRY(WM_SIZING, AFX_CALL(void, (UINT, LPRECT), OnSizing)(UINT(AFX_WP), reinterpret_cast<LPRECT>(AFX_LP));  \
                 afxCall_.lResult = TRUE)
#define ON_WM_MOVING()                                                                                                 \
    AFX_WM_ENTRY(WM_MOVING, AFX_CALL(void, (UINT, LPRECT), OnMoving)(UINT(AFX_WP), reinterpret_cast<LPRECT>(AFX_LP));  \
                 afxCall_.lResult = TRUE)
#define ON_WM_ENTERSIZEMOVE() AFX_WM_ENTRY(WM_ENTERSIZEMOVE, AFX_CALL(void, (), OnEnterSizeMove)())
#define ON_WM_EXITSIZEMOVE() AFX_WM_ENTRY(WM_EXITSIZEMOVE, AFX_CALL(void, (), OnExitSizeMove)())
#define ON_WM_GETMINMAXINFO()                                                                                          \
    AFX_WM_ENTRY(WM_GETMINMAXINFO,                                                                                     \
                 AFX_CALL(void, (MINMAXINFO*), OnGetMinMaxInfo)(reinterpret_cast<MINMAXINFO*>(AFX_LP)))
#define ON_WM_WINDOWPOSCHANGING()                                                                                      \
    AFX_WM_ENTRY(WM_WINDOWPOSCHANGING,                                                                                 \
                 AFX_CALL(void, (WINDOWPOS*), OnWindowPosChanging)(reinterpret_cast<WINDOWPOS*>(AFX_LP)))
#define ON_WM_WINDOWPOSCHANGED()                                                                                       \
    AFX_WM_ENTRY(WM_WINDOWPOSCHANGED,                                                                                  \
                 AFX_CALL(void, (WINDOWPOS*), OnWindowPosChanged)(reinterpret_cast<WINDOWPOS*>(AFX_LP)))
#define ON_WM_STYLECHANGING()                                                                                          \
    AFX_WM_ENTRY(WM_STYLECHANGING, AFX_CALL(void, (int, LPSTYLESTRUCT),                                                \
                                            OnStyleChanging)(int(AFX_WP), reinterpret_cast<LPSTYLESTRUCT>(AFX_LP)))
#define ON_WM_STYLECHANGED()                                                                                           \
    AFX_WM_ENTRY(WM_STYLECHANGED, AFX_CALL(void, (int, LPSTYLESTRUCT),                                                 \
                                           OnStyleChanged)(int(AFX_WP), reinterpret_cast<LPSTYLESTRUCT>(AFX_LP)))
#define ON_WM_SHOWWINDOW()                                                                                             \
    AFX_WM_ENTRY(WM_SHOWWINDOW, AFX_CALL(void, (BOOL, UINT), OnShowWindow)(BOOL(AFX_WP), UINT(AFX_LP)))
#define ON_WM_ENABLE() AFX_WM_ENTRY(WM_ENABLE, AFX_CALL(void, (BOOL), OnEnable)(BOOL(AFX_WP)))
#define ON_WM_ACTIVATE()                                                                                               \
    AFX_WM_ENTRY(WM_ACTIVATE,                                                                                          \
                 AFX_CALL(void, (UINT, CWnd*, BOOL), OnActivate)(                                                      \
                     UINT(LOWORD(AFX_WP)), CWnd::FromHandle(reinterpret_cast<HWND>(AFX_LP)), BOOL(HIWORD(AFX_WP))))
#define ON_WM_ACTIVATEAPP()                                                                                            \
    AFX_WM_ENTRY(WM_ACTIVATEAPP, AFX_CALL(void, (BOOL, DWORD), OnActivateApp)(BOOL(AFX_WP), DWORD(AFX_LP)))
#define ON_WM_NCACTIVATE()                                                                                             \
    AFX_WM_ENTRY(WM_NCACTIVATE, afxCall_.lResult = (LRESULT)(AFX_CALL(BOOL, (BOOL), OnNcActivate)(BOOL(AFX_WP))))
#define ON_WM_MOUSEACTIVATE()                                                                                          \
    AFX_WM_ENTRY(WM_MOUSEACTIVATE,                                                                                     \
                 afxCall_.lResult = (LRESULT)(AFX_CALL(int, (CWnd*, UINT, UINT), OnMouseActivate)(                     \
                     CWnd::FromHandle(reinterpret_cast<HWND>(AFX_WP)), UINT(LOWORD(AFX_LP)), UINT(HIWORD(AFX_LP)))))
#define ON_WM_CHILDACTIVATE() AFX_WM_ENTRY(WM_CHILDACTIVATE, AFX_CALL(void, (), OnChildActivate)())
#define ON_WM_SETFOCUS()                                                                                               \
    AFX_WM_ENTRY(WM_SETFOCUS, AFX_CALL(void, (CWnd*), OnSetFocus)(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_WP))))
#define ON_WM_KILLFOCUS()                                                                                              \
    AFX_WM_ENTRY(WM_KILLFOCUS, AFX_CALL(void, (CWnd*), OnKillFocus)(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_WP))))
#define ON_WM_CAPTURECHANGED()                                                                                         \
    AFX_WM_ENTRY(WM_CAPTURECHANGED,                                                                                    \
                 AFX_CALL(void, (CWnd*), OnCaptureChanged)(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_LP))))
#define ON_WM_CANCELMODE() AFX_WM_ENTRY(WM_CANCELMODE, AFX_CALL(void, (), OnCancelMode)())
#define ON_WM_SETCURSOR()                                                                                              \
    AFX_WM_ENTRY(WM_SETCURSOR,                                                                                         \
                 afxCall_.lResult = (LRESULT)(AFX_CALL(BOOL, (CWnd*, UINT, UINT), OnSetCursor)(                        \
                     CWnd::FromHandle(reinterpret_cast<HWND>(AFX_WP)), UINT(LOWORD(AFX_LP)), UINT(HIWORD(AFX_LP)))))
#define ON_WM_NCHITTEST()                                                                                              \
    AFX_WM_ENTRY(WM_NCHITTEST, afxCall_.lResult = (LRESULT)(AFX_CALL(LRESULT, (CPoint), OnNcHitTest)(AFX_LP_POINT)))
#define ON_WM_NCCALCSIZE()                                                                                             \
    AFX_WM_ENTRY(WM_NCCALCSIZE, AFX_CALL(void, (BOOL, NCCALCSIZE_PARAMS*),                                             \
                                         OnNcCalcSize)(BOOL(AFX_WP), reinterpret_cast<NCCALCSIZE_PARAMS*>(AFX_LP)))
#define ON_WM_NCMOUSEMOVE()                                                                                            \
    AFX_WM_ENTRY(WM_NCMOUSEMOVE, AFX_CALL(void, (UINT, CPoint), OnNcMouseMove)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_NCLBUTTONDOWN()                                                                                          \
    AFX_WM_ENTRY(WM_NCLBUTTONDOWN, AFX_CALL(void, (UINT, CPoint), OnNcLButtonDown)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_NCLBUTTONUP()                                                                                            \
    AFX_WM_ENTRY(WM_NCLBUTTONUP, AFX_CALL(void, (UINT, CPoint), OnNcLButtonUp)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_NCLBUTTONDBLCLK()                                                                                        \
    AFX_WM_ENTRY(WM_NCLBUTTONDBLCLK, AFX_CALL(void, (UINT, CPoint), OnNcLButtonDblClk)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_NCRBUTTONDOWN()                                                                                          \
    AFX_WM_ENTRY(WM_NCRBUTTONDOWN, AFX_CALL(void, (UINT, CPoint), OnNcRButtonDown)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_NCRBUTTONUP()                                                                                            \
    AFX_WM_ENTRY(WM_NCRBUTTONUP, AFX_CALL(void, (UINT, CPoint), OnNcRButtonUp)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_NCRBUTTONDBLCLK()                                                                                        \
    AFX_WM_ENTRY(WM_NCRBUTTONDBLCLK, AFX_CALL(void, (UINT, CPoint), OnNcRButtonDblClk)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_NCMBUTTONDOWN()                                                                                          \
    AFX_WM_ENTRY(WM_NCMBUTTONDOWN, AFX_CALL(void, (UINT, CPoint), OnNcMButtonDown)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_NCMBUTTONUP()                                                                                            \
    AFX_WM_ENTRY(WM_NCMBUTTONUP, AFX_CALL(void, (UINT, CPoint), OnNcMButtonUp)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_NCMBUTTONDBLCLK()                                                                                        \
    AFX_WM_ENTRY(WM_NCMBUTTONDBLCLK, AFX_CALL(void, (UINT, CPoint), OnNcMButtonDblClk)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_NCMOUSEHOVER()                                                                                           \
    AFX_WM_ENTRY(WM_NCMOUSEHOVER, AFX_CALL(void, (UINT, CPoint), OnNcMouseHover)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_NCMOUSELEAVE() AFX_WM_ENTRY(WM_NCMOUSELEAVE, AFX_CALL(void, (), OnNcMouseLeave)())
#define ON_WM_MOUSEMOVE()                                                                                              \
    AFX_WM_ENTRY(WM_MOUSEMOVE, AFX_CALL(void, (UINT, CPoint), OnMouseMove)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_LBUTTONDOWN()                                                                                            \
    AFX_WM_ENTRY(WM_LBUTTONDOWN, AFX_CALL(void, (UINT, CPoint), OnLButtonDown)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_LBUTTONUP()                                                                                              \
    AFX_WM_ENTRY(WM_LBUTTONUP, AFX_CALL(void, (UINT, CPoint), OnLButtonUp)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_LBUTTONDBLCLK()                                                                                          \
    AFX_WM_ENTRY(WM_LBUTTONDBLCLK, AFX_CALL(void, (UINT, CPoint), OnLButtonDblClk)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_RBUTTONDOWN()                                                                                            \
    AFX_WM_ENTRY(WM_RBUTTONDOWN, AFX_CALL(void, (UINT, CPoint), OnRButtonDown)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_RBUTTONUP()                                                                                              \
    AFX_WM_ENTRY(WM_RBUTTONUP, AFX_CALL(void, (UINT, CPoint), OnRButtonUp)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_RBUTTONDBLCLK()                                                                                          \
    AFX_WM_ENTRY(WM_RBUTTONDBLCLK, AFX_CALL(void, (UINT, CPoint), OnRButtonDblClk)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_MBUTTONDOWN()                                                                                            \
    AFX_WM_ENTRY(WM_MBUTTONDOWN, AFX_CALL(void, (UINT, CPoint), OnMButtonDown)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_MBUTTONUP()                                                                                              \
    AFX_WM_ENTRY(WM_MBUTTONUP, AFX_CALL(void, (UINT, CPoint), OnMButtonUp)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_MBUTTONDBLCLK()                                                                                          \
    AFX_WM_ENTRY(WM_MBUTTONDBLCLK, AFX_CALL(void, (UINT, CPoint), OnMButtonDblClk)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_MOUSEHOVER()                                                                                             \
    AFX_WM_ENTRY(WM_MOUSEHOVER, AFX_CALL(void, (UINT, CPoint), OnMouseHover)(UINT(AFX_WP), AFX_LP_POINT))
#define ON_WM_MOUSELEAVE() AFX_WM_ENTRY(WM_MOUSELEAVE, AFX_CALL(void, (), OnMouseLeave)())
#define ON_WM_MOUSEWHEEL()                                                                                             \
    AFX_WM_ENTRY(WM_MOUSEWHEEL, afxCall_.lResult = (LRESULT)(AFX_CALL(BOOL, (UINT, short, CPoint), OnMouseWheel)(      \
                                    UINT(LOWORD(AFX_WP)), short(HIWORD(AFX_WP)), AFX_LP_POINT)))
#define ON_WM_XBUTTONDOWN()                                                                                            \
    AFX_WM_ENTRY(WM_XBUTTONDOWN,                                                                                       \
                 AFX_CALL(void, (UINT, UINT, CPoint), OnXButtonDown)(UINT(GET_KEYSTATE_WPARAM(AFX_WP)),                \
                                                                     UINT(GET_XBUTTON_WPARAM(AFX_WP)), AFX_LP_POINT);  \
                 afxCall_.lResult = TRUE)
#define ON_WM_XBUTTONUP()                                                                                              \
    AFX_WM_ENTRY(WM_XBUTTONUP, AFX_CALL(void, (UINT, UINT, CPoint), OnXButtonUp)(                                      \
                                   UINT(GET_KEYSTATE_WPARAM(AFX_WP)), UINT(GET_XBUTTON_WPARAM(AFX_WP)), AFX_LP_POINT); \
                 afxCall_.lResult = TRUE)
#define ON_WM_XBUTTONDBLCLK()                                                                                          \
    AFX_WM_ENTRY(WM_XBUTTONDBLCLK,                                                                                     \
                 AFX_CALL(void, (UINT, UINT, CPoint), OnXButtonDblClk)(                                                \
                     UINT(GET_KEYSTATE_WPARAM(AFX_WP)), UINT(GET_XBUTTON_WPARAM(AFX_WP)), AFX_LP_POINT);               \
                 afxCall_.lResult = TRUE)
#define ON_WM_KEYDOWN()                                                                                                \
    AFX_WM_ENTRY(WM_KEYDOWN, AFX_CALL(void, (UINT, UINT, UINT), OnKeyDown)(UINT(AFX_WP), UINT(LOWORD(AFX_LP)),         \
                                                                           UINT(HIWORD(AFX_LP))))
#define ON_WM_KEYUP()                                                                                                  \
    AFX_WM_ENTRY(WM_KEYUP, AFX_CALL(void, (UINT, UINT, UINT), OnKeyUp)(UINT(AFX_WP), UINT(LOWORD(AFX_LP)),             \
                                                                       UINT(HIWORD(AFX_LP))))
#define ON_WM_CHAR()                                                                                                   \
    AFX_WM_ENTRY(WM_CHAR,                                                                                              \
                 AFX_CALL(void, (UINT, UINT, UINT), OnChar)(UINT(AFX_WP), UINT(LOWORD(AFX_LP)), UINT(HIWORD(AFX_LP))))
#define ON_WM_DEADCHAR()                                                                                               \
    AFX_WM_ENTRY(WM_DEADCHAR, AFX_CALL(void, (UINT, UINT, UINT), OnDeadChar)(UINT(AFX_WP), UINT(LOWORD(AFX_LP)),       \
                                                                             UINT(HIWORD(AFX_LP))))
#define ON_WM_SYSKEYDOWN()                                                                                             \
    AFX_WM_ENTRY(WM_SYSKEYDOWN, AFX_CALL(void, (UINT, UINT, UINT), OnSysKeyDown)(UINT(AFX_WP), UINT(LOWORD(AFX_LP)),   \
                                                                                 UINT(HIWORD(AFX_LP))))
#define ON_WM_SYSKEYUP()                                                                                               \
    AFX_WM_ENTRY(WM_SYSKEYUP, AFX_CALL(void, (UINT, UINT, UINT), OnSysKeyUp)(UINT(AFX_WP), UINT(LOWORD(AFX_LP)),       \
                                                                             UINT(HIWORD(AFX_LP))))
#define ON_WM_SYSCHAR()                                                                                                \
    AFX_WM_ENTRY(WM_SYSCHAR, AFX_CALL(void, (UINT, UINT, UINT), OnSysChar)(UINT(AFX_WP), UINT(LOWORD(AFX_LP)),         \
                                                                           UINT(HIWORD(AFX_LP))))
#define ON_WM_SYSDEADCHAR()                                                                                            \
    AFX_WM_ENTRY(WM_SYSDEADCHAR, AFX_CALL(void, (UINT, UINT, UINT), OnSysDeadChar)(UINT(AFX_WP), UINT(LOWORD(AFX_LP)), \
                                                                                   UINT(HIWORD(AFX_LP))))
#define ON_WM_TIMER() AFX_WM_ENTRY(WM_TIMER, AFX_CALL(void, (UINT_PTR), OnTimer)(UINT_PTR(AFX_WP)))
#define ON_WM_HSCROLL()                                                                                                \
    AFX_WM_ENTRY(WM_HSCROLL, AFX_CALL(void, (UINT, UINT, CScrollBar*), OnHScroll)(                                     \
                                 UINT(LOWORD(AFX_WP)), UINT(short(HIWORD(AFX_WP))),                                    \
                                 static_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_LP)))))
#define ON_WM_VSCROLL()                                                                                                \
    AFX_WM_ENTRY(WM_VSCROLL, AFX_CALL(void, (UINT, UINT, CScrollBar*), OnVScroll)(                                     \
                                 UINT(LOWORD(AFX_WP)), UINT(short(HIWORD(AFX_WP))),                                    \
                                 static_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_LP)))))
#define ON_WM_CONTEXTMENU()                                                                                            \
    AFX_WM_ENTRY(WM_CONTEXTMENU, AFX_CALL(void, (CWnd*, CPoint), OnContextMenu)(                                       \
                                     CWnd::FromHandle(reinterpret_cast<HWND>(AFX_WP)), AFX_LP_POINT))
#define ON_WM_SYSCOMMAND()                                                                                             \
    AFX_WM_ENTRY(WM_SYSCOMMAND, AFX_CALL(void, (UINT, LPARAM), OnSysCommand)(UINT(AFX_WP), AFX_LP))
#define ON_WM_INITMENU()                                                                                               \
    AFX_WM_ENTRY(WM_INITMENU, AFX_CALL(void, (CMenu*), OnInitMenu)(CMenu::FromHandle(reinterpret_cast<HMENU>(AFX_WP))))
#define ON_WM_INITMENUPOPUP()                                                                                          \
    AFX_WM_ENTRY(WM_INITMENUPOPUP,                                                                                     \
                 AFX_CALL(void, (CMenu*, UINT, BOOL), OnInitMenuPopup)(                                                \
                     CMenu::FromHandle(reinterpret_cast<HMENU>(AFX_WP)), UINT(LOWORD(AFX_LP)), BOOL(HIWORD(AFX_LP))))
#define ON_WM_MENUSELECT()                                                                                             \
    AFX_WM_ENTRY(WM_MENUSELECT, AFX_CALL(void, (UINT, UINT, HMENU), OnMenuSelect)(                                     \
                                    UINT(LOWORD(AFX_WP)), UINT(HIWORD(AFX_WP)), reinterpret_cast<HMENU>(AFX_LP)))
#define ON_WM_MENUCHAR()                                                                                               \
    AFX_WM_ENTRY(WM_MENUCHAR,                                                                                          \
                 afxCall_.lResult = (LRESULT)(AFX_CALL(LRESULT, (UINT, UINT, CMenu*), OnMenuChar)(                     \
                     UINT(LOWORD(AFX_WP)), UINT(HIWORD(AFX_WP)), CMenu::FromHandle(reinterpret_cast<HMENU>(AFX_LP)))))
#define ON_WM_ENTERMENULOOP() AFX_WM_ENTRY(WM_ENTERMENULOOP, AFX_CALL(void, (BOOL), OnEnterMenuLoop)(BOOL(AFX_WP)))
#define ON_WM_EXITMENULOOP() AFX_WM_ENTRY(WM_EXITMENULOOP, AFX_CALL(void, (BOOL), OnExitMenuLoop)(BOOL(AFX_WP)))
#define ON_WM_ENTERIDLE()                                                                                              \
    AFX_WM_ENTRY(WM_ENTERIDLE, AFX_CALL(void, (UINT, CWnd*),                                                           \
                                        OnEnterIdle)(UINT(AFX_WP), CWnd::FromHandle(reinterpret_cast<HWND>(AFX_LP))))
#define ON_WM_CTLCOLOR()                                                                                               \
    AFX_WM_ENTRY(WM_CTLCOLOR,                                                                                          \
                 afxCall_.lResult = (LRESULT)(AFX_CALL(HBRUSH, (CDC*, CWnd*, UINT), OnCtlColor)(                       \
                     CDC::FromHandle(reinterpret_cast<HDC>(AFX_WP)), CWnd::FromHandle(reinterpret_cast<HWND>(AFX_LP)), \
                     UINT(afxCall_.message - WM_CTLCOLORMSGBOX))))
#define ON_WM_DRAWITEM()                                                                                               \
    AFX_WM_ENTRY(WM_DRAWITEM, AFX_CALL(void, (int, LPDRAWITEMSTRUCT),                                                  \
                                       OnDrawItem)(int(AFX_WP), reinterpret_cast<LPDRAWITEMSTRUCT>(AFX_LP));           \
                 afxCall_.lResult = TRUE)
#define ON_WM_MEASUREITEM()                                                                                            \
    AFX_WM_ENTRY(WM_MEASUREITEM, AFX_CALL(void, (int, LPMEASUREITEMSTRUCT),                                            \
                                          OnMeasureItem)(int(AFX_WP), reinterpret_cast<LPMEASUREITEMSTRUCT>(AFX_LP));  \
                 afxCall_.lResult = TRUE)
#define ON_WM_DELETEITEM()                                                                                             \
    AFX_WM_ENTRY(WM_DELETEITEM, AFX_CALL(void, (int, LPDELETEITEMSTRUCT),                                              \
                                         OnDeleteItem)(int(AFX_WP), reinterpret_cast<LPDELETEITEMSTRUCT>(AFX_LP));     \
                 afxCall_.lResult = TRUE)
#define ON_WM_COMPAREITEM()                                                                                            \
    AFX_WM_ENTRY(WM_COMPAREITEM,                                                                                       \
                 afxCall_.lResult = (LRESULT)(AFX_CALL(int, (int, LPCOMPAREITEMSTRUCT), OnCompareItem)(                \
                     int(AFX_WP), reinterpret_cast<LPCOMPAREITEMSTRUCT>(AFX_LP))))
#define ON_WM_CHARTOITEM()                                                                                             \
    AFX_WM_ENTRY(WM_CHARTOITEM,                                                                                        \
                 afxCall_.lResult = (LRESULT)(AFX_CALL(int, (UINT, CListBox*, UINT), OnCharToItem)(                    \
                     UINT(LOWORD(AFX_WP)), static_cast<CListBox*>(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_LP))),   \
                     UINT(HIWORD(AFX_WP)))))
#define ON_WM_VKEYTOITEM()                                                                                             \
    AFX_WM_ENTRY(WM_VKEYTOITEM,                                                                                        \
                 afxCall_.lResult = (LRESULT)(AFX_CALL(int, (UINT, CListBox*, UINT), OnVKeyToItem)(                    \
                     UINT(LOWORD(AFX_WP)), static_cast<CListBox*>(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_LP))),   \
                     UINT(HIWORD(AFX_WP)))))
#define ON_WM_PARENTNOTIFY()                                                                                           \
    AFX_WM_ENTRY(WM_PARENTNOTIFY, AFX_CALL(void, (UINT, LPARAM), OnParentNotify)(UINT(AFX_WP), AFX_LP))
#define ON_WM_GETDLGCODE() AFX_WM_ENTRY(WM_GETDLGCODE, afxCall_.lResult = (LRESULT)(AFX_CALL(UINT, (), OnGetDlgCode)()))
#define ON_WM_SETTINGCHANGE()                                                                                          \
    AFX_WM_ENTRY(WM_SETTINGCHANGE,                                                                                     \
                 AFX_CALL(void, (UINT, LPCTSTR), OnSettingChange)(UINT(AFX_WP), reinterpret_cast<LPCTSTR>(AFX_LP)))
#define ON_WM_SYSCOLORCHANGE() AFX_WM_ENTRY(WM_SYSCOLORCHANGE, AFX_CALL(void, (), OnSysColorChange)())
#define ON_WM_FONTCHANGE() AFX_WM_ENTRY(WM_FONTCHANGE, AFX_CALL(void, (), OnFontChange)())
#define ON_WM_TIMECHANGE() AFX_WM_ENTRY(WM_TIMECHANGE, AFX_CALL(void, (), OnTimeChange)())
#define ON_WM_DEVMODECHANGE()                                                                                          \
    AFX_WM_ENTRY(WM_DEVMODECHANGE, AFX_CALL(void, (LPTSTR), OnDevModeChange)(reinterpret_cast<LPTSTR>(AFX_LP)))
#define ON_WM_PALETTECHANGED()                                                                                         \
    AFX_WM_ENTRY(WM_PALETTECHANGED,                                                                                    \
                 AFX_CALL(void, (CWnd*), OnPaletteChanged)(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_WP))))
#define ON_WM_PALETTEISCHANGING()                                                                                      \
    AFX_WM_ENTRY(WM_PALETTEISCHANGING,                                                                                 \
                 AFX_CALL(void, (CWnd*), OnPaletteIsChanging)(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_WP))))
#define ON_WM_QUERYNEWPALETTE()                                                                                        \
    AFX_WM_ENTRY(WM_QUERYNEWPALETTE, afxCall_.lResult = (LRESULT)(AFX_CALL(BOOL, (), OnQueryNewPalette)()))
#define ON_WM_DEVICECHANGE()                                                                                           \
    AFX_WM_ENTRY(WM_DEVICECHANGE,                                                                                      \
                 afxCall_.lResult =                                                                                    \
                     (LRESULT)(AFX_CALL(BOOL, (UINT, DWORD_PTR), OnDeviceChange)(UINT(AFX_WP), DWORD_PTR(AFX_LP))))
#define ON_WM_THEMECHANGED()                                                                                           \
    AFX_WM_ENTRY(WM_THEMECHANGED, afxCall_.lResult = (LRESULT)(AFX_CALL(LRESULT, (), OnThemeChanged)()))
#define ON_WM_COPYDATA()                                                                                               \
    AFX_WM_ENTRY(WM_COPYDATA,                                                                                          \
                 afxCall_.lResult = (LRESULT)(AFX_CALL(BOOL, (CWnd*, COPYDATASTRUCT*), OnCopyData)(                    \
                     CWnd::FromHandle(reinterpret_cast<HWND>(AFX_WP)), reinterpret_cast<COPYDATASTRUCT*>(AFX_LP))))
#define ON_WM_DROPFILES()                                                                                              \
    AFX_WM_ENTRY(WM_DROPFILES, AFX_CALL(void, (HDROP), OnDropFiles)(reinterpret_cast<HDROP>(AFX_WP)))
#define ON_WM_HELPINFO()                                                                                               \
    AFX_WM_ENTRY(WM_HELP, afxCall_.lResult =                                                                           \
                              (LRESULT)(AFX_CALL(BOOL, (HELPINFO*), OnHelpInfo)(reinterpret_cast<HELPINFO*>(AFX_LP))))
#define ON_WM_QUERYENDSESSION()                                                                                        \
    AFX_WM_ENTRY(WM_QUERYENDSESSION, afxCall_.lResult = (LRESULT)(AFX_CALL(BOOL, (), OnQueryEndSession)()))
#define ON_WM_ENDSESSION() AFX_WM_ENTRY(WM_ENDSESSION, AFX_CALL(void, (BOOL), OnEndSession)(BOOL(AFX_WP)))
#define ON_WM_QUERYDRAGICON()                                                                                          \
    AFX_WM_ENTRY(WM_QUERYDRAGICON, afxCall_.lResult = (LRESULT)(AFX_CALL(HCURSOR, (), OnQueryDragIcon)()))
#define ON_WM_APPCOMMAND()                                                                                             \
    AFX_WM_ENTRY(WM_APPCOMMAND,                                                                                        \
                 AFX_CALL(void, (CWnd*, UINT, UINT, UINT), OnAppCommand)(                                              \
                     CWnd::FromHandle(reinterpret_cast<HWND>(AFX_WP)), UINT(GET_APPCOMMAND_LPARAM(AFX_LP)),            \
                     UINT(GET_DEVICE_LPARAM(AFX_LP)), UINT(GET_KEYSTATE_LPARAM(AFX_LP)));                              \
                 afxCall_.lResult = TRUE)

// ---- reflected window messages, handled by the control that caused them

// A NULL brush lets the parent colour the control.
#define ON_WM_CTLCOLOR_REFLECT()                                                                                       \
    AFX_ENTRY(WM_CTLCOLOR + WM_REFLECT_BASE, 0, 0, 0, AFX_CTLCOLOR* afxCtl_ = reinterpret_cast<AFX_CTLCOLOR*>(AFX_LP); \
              HBRUSH afxBrush_ =                                                                                       \
                  AFX_CALL(HBRUSH, (CDC*, UINT), CtlColor)(CDC::FromHandle(afxCtl_->hDC), afxCtl_->nCtlType);          \
              afxCall_.lResult = (LRESULT)afxBrush_; return afxBrush_ != nullptr;)
#define ON_WM_DRAWITEM_REFLECT()                                                                                       \
    AFX_WM_ENTRY(WM_DRAWITEM + WM_REFLECT_BASE,                                                                        \
                 AFX_CALL(void, (LPDRAWITEMSTRUCT), DrawItem)(reinterpret_cast<LPDRAWITEMSTRUCT>(AFX_LP));             \
                 afxCall_.lResult = TRUE)
#define ON_WM_MEASUREITEM_REFLECT()                                                                                    \
    AFX_WM_ENTRY(WM_MEASUREITEM + WM_REFLECT_BASE,                                                                     \
                 AFX_CALL(void, (LPMEASUREITEMSTRUCT), MeasureItem)(reinterpret_cast<LPMEASUREITEMSTRUCT>(AFX_LP));    \
                 afxCall_.lResult = TRUE)
#define ON_WM_DELETEITEM_REFLECT()                                                                                     \
    AFX_WM_ENTRY(WM_DELETEITEM + WM_REFLECT_BASE,                                                                      \
                 AFX_CALL(void, (LPDELETEITEMSTRUCT), DeleteItem)(reinterpret_cast<LPDELETEITEMSTRUCT>(AFX_LP));       \
                 afxCall_.lResult = TRUE)
#define ON_WM_COMPAREITEM_REFLECT()                                                                                    \
    AFX_WM_ENTRY(WM_COMPAREITEM + WM_REFLECT_BASE,                                                                     \
                 afxCall_.lResult = (LRESULT)AFX_CALL(int, (LPCOMPAREITEMSTRUCT),                                      \
                                                      CompareItem)(reinterpret_cast<LPCOMPAREITEMSTRUCT>(AFX_LP)))
#define ON_WM_CHARTOITEM_REFLECT()                                                                                     \
    AFX_WM_ENTRY(WM_CHARTOITEM + WM_REFLECT_BASE,                                                                      \
                 afxCall_.lResult = (LRESULT)AFX_CALL(int, (UINT, UINT), CharToItem)(LOWORD(AFX_WP), HIWORD(AFX_WP)))
#define ON_WM_VKEYTOITEM_REFLECT()                                                                                     \
    AFX_WM_ENTRY(WM_VKEYTOITEM + WM_REFLECT_BASE,                                                                      \
                 afxCall_.lResult = (LRESULT)AFX_CALL(int, (UINT, UINT), VKeyToItem)(LOWORD(AFX_WP), HIWORD(AFX_WP)))
#define ON_WM_HSCROLL_REFLECT()                                                                                        \
    AFX_WM_ENTRY(WM_HSCROLL + WM_REFLECT_BASE,                                                                         \
                 AFX_CALL(void, (UINT, UINT), HScroll)(LOWORD(AFX_WP), UINT(short(HIWORD(AFX_WP)))))
#define ON_WM_VSCROLL_REFLECT()                                                                                        \
    AFX_WM_ENTRY(WM_VSCROLL + WM_REFLECT_BASE,                                                                         \
                 AFX_CALL(void, (UINT, UINT), VScroll)(LOWORD(AFX_WP), UINT(short(HIWORD(AFX_WP)))))
#define ON_WM_PARENTNOTIFY_REFLECT()                                                                                   \
    AFX_WM_ENTRY(WM_PARENTNOTIFY + WM_REFLECT_BASE, AFX_CALL(void, (UINT, LPARAM), ParentNotify)(UINT(AFX_WP), AFX_LP))
