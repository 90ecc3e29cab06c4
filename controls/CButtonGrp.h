// A static control of a dialog turned into a row of six small flat icon buttons for editing an
// ordered list (add, delete, to the top, up, down, to the end). It has no logic of its own: a
// click reaches the parent at once as a menu-style WM_COMMAND of the button's id.
#pragma once

#include "controls/CCJFlatButton.h"

class CButtonGrp : public CStatic
{
public:
    CButtonGrp();
    ~CButtonGrp() override;

    CCJFlatButton& GetButton(int nIndex) { return m_buttons[nIndex]; }
    CToolTipCtrl& GetToolTip() { return m_ToolTip; }
    BOOL PreTranslateMessage(MSG* pMsg) override;

    static constexpr int ButtonCount = 6;

protected:
    void PreSubclassWindow() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnAdd();
    afx_msg void OnDelete();
    afx_msg void OnTop();
    afx_msg void OnUp();
    afx_msg void OnDown();
    afx_msg void OnEnd();
    DECLARE_MESSAGE_MAP()

private:
    void SendToParent(UINT nID);

    // In the order add, delete, to the top, up, down, to the end.
    CCJFlatButton m_buttons[ButtonCount];
    CImageList m_imageList;
    CToolTipCtrl m_ToolTip;
    HICON m_icons[ButtonCount] = {};
};
