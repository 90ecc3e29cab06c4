// The furniture every frame of the program shares: a sizable rebar across the top whose first
// band is the menu bar (the frame itself keeps no window menu), owner-drawn menus with command
// images, and the window placement written when the frame closes.
#pragma once

#include "controls/CBmpMenuOwnerWnd.h"
#include "controls/CMenuBar.h"
#include "controls/CSizableReBar.h"
#include "controls/VyxWinAppEx.h"

// The rebar of the frame bases and its style: child, visible, clipping, aligned at the top,
// sized dynamically.
#define VYX_IDW_FRAME_REBAR 59646
#define VYX_FRAME_REBAR_STYLE 0x56002004
// The menu bar's control style (flat, list, custom erase, transparent) and bar style (child,
// visible, top, tooltips, fly-by prompts, hidden in place).
#define VYX_MENUBAR_CTRL_STYLE 0xB800
#define VYX_MENUBAR_STYLE 0x50002038

template <class T> class VyxFrameWndBase : public CBmpMenuOwnerWnd<T>
{
public:
    VyxFrameWndBase() = default;

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override
    {
        if (!T::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
            return FALSE;
        // The menu lives in the menu bar only.
        m_wndMenuBar.SetMenu(::GetMenu(this->m_hWnd));
        this->SetMenu(nullptr);
        return TRUE;
    }

    // Runs once as the print preview starts and once as it ends, so the flag is set exactly
    // during the preview; the window menu goes when the preview ends.
    void DelayUpdateFrameMenu(HMENU hMenuAlt) override
    {
        if (m_bPrintPreview)
            ::SetMenu(this->m_hWnd, nullptr);
        m_bPrintPreview = !m_bPrintPreview;
        T::DelayUpdateFrameMenu(hMenuAlt);
    }

    void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState) override
    {
        T::OnSetPreviewMode(bPreview, pState);
        this->DelayUpdateFrameMenu(bPreview ? nullptr : pState->hMenu);
    }

    CSizableReBar m_wndReBar;
    CMenuBar m_wndMenuBar;
    // The profile section of "FrameWndPlacement"; empty: no placement is written.
    CString m_strPlacementSection;
    BOOL m_bPrintPreview = FALSE;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (T::OnCreate(lpcs) == -1)
            return -1;
        if (!m_wndReBar.Create(this, VYX_IDW_FRAME_REBAR, VYX_FRAME_REBAR_STYLE))
            return -1;
        if (!m_wndMenuBar.CreateEx(this, VYX_MENUBAR_CTRL_STYLE, VYX_MENUBAR_STYLE, CRect(0, 0, 0, 0), AFX_IDW_MENUBAR))
            return -1;
        if (!m_wndReBar.AddBar(&m_wndMenuBar, nullptr, nullptr, RBBS_FIXEDBMP, nullptr, TRUE, TRUE))
            return -1;
        m_wndMenuBar.SetOwner(&m_wndReBar);
        m_wndMenuBar.UpdateFont();
        return 0;
    }
    afx_msg void OnClose()
    {
        // Not from print preview (its close procedure is set): the preview only ends there.
        CWinApp* app = AfxGetApp();
        if (!this->m_lpfnCloseProc && !m_strPlacementSection.IsEmpty() && app) {
            WINDOWPLACEMENT placement = {};
            placement.length = sizeof(placement);
            if (this->GetWindowPlacement(&placement))
                app->WriteProfileBinary(m_strPlacementSection, L"FrameWndPlacement",
                                        reinterpret_cast<LPBYTE>(&placement), sizeof(placement));
        }
        T::OnClose();
    }
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam)
    {
        if (!m_wndMenuBar.HandleKeyMenu(nID, lParam))
            T::OnSysCommand(nID, lParam);
    }
    afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu)
    {
        if (m_wndMenuBar.OnMenuChar(nChar, nFlags, pMenu))
            return MAKELRESULT(0, MNC_CLOSE);
        return T::OnMenuChar(nChar, nFlags, pMenu);
    }
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
    {
        T::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
        if (VyxWinAppEx* app = VyxGetAppEx())
            app->PrepareMenuImages(pPopupMenu, FALSE);
        m_wndMenuBar.OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
    }
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
    {
        T::OnMenuSelect(nItemID, nFlags, hSysMenu);
        m_wndMenuBar.OnMenuSelect(nItemID, nFlags, hSysMenu);
    }
    afx_msg BOOL OnNcActivate(BOOL bActive)
    {
        CFrameWnd* top = this->GetTopLevelFrame();
        if (!top)
            top = this;
        const BOOL active = (bActive || (top->m_nFlags & WF_STAYACTIVE)) && top->IsWindowEnabled();
        m_wndMenuBar.SetActive(active);
        return T::OnNcActivate(bActive);
    }
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection)
    {
        if (VyxWinAppEx* app = VyxGetAppEx())
            app->UpdateSystemSettings();
        T::OnSettingChange(uFlags, lpszSection);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_TEMPLATE_MESSAGE_MAP(VyxFrameWndBase, T, CBmpMenuOwnerWnd<T>)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_SYSCOMMAND()
ON_WM_MENUCHAR()
ON_WM_INITMENUPOPUP()
ON_WM_MENUSELECT()
ON_WM_NCACTIVATE()
ON_WM_SETTINGCHANGE()
END_MESSAGE_MAP()
