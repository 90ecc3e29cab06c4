// A push button with a small right-pointing triangle after its caption that drops a popup menu
// supplied by its owner; the menu's commands go to the button's parent window. In drop-on-press
// mode the menu opens as soon as the button is pressed, otherwise on the click.
#pragma once

#include "framework/Framework.h"

class CMenuButtonCtrl : public CButton
{
    DECLARE_DYNCREATE(CMenuButtonCtrl)
public:
    CMenuButtonCtrl() = default;

    // Not owned; null makes the button an ordinary one.
    void AttachMenu(CMenu* pMenu) { m_pMenu = pMenu; }
    CMenu* GetAttachedMenu() const { return m_pMenu; }
    void SetDropOnPress(BOOL bDropOnPress) { m_bDropOnPress = bDropOnPress; }
    BOOL IsMenuShowing() const { return m_bShowing; }

    virtual void DropMenu();
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    void DrawArrow(CDC* pDC, int x, int y, int nSize);

protected:
    afx_msg BOOL OnClicked();
    DECLARE_MESSAGE_MAP()

    BOOL m_bDropOnPress = FALSE;
    CFont m_font;
    CMenu* m_pMenu = nullptr;
    BOOL m_bShowing = FALSE;
};
