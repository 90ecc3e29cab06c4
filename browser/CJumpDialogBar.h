// The rebar's jump bar: a path entry with completion and a go button; going makes the views go
// to the typed path (hint 10 through the frame).
#pragma once

#include "controls/CACEdit.h"
#include "controls/CButtonST.h"

class CJumpDialogBar : public CDialogBar
{
public:
    enum { IDC_JUMP_PATH = 1072, IDC_JUMP_GO = 1191 };

    CJumpDialogBar();
    ~CJumpDialogBar() override;

    CACEdit& GetPathEdit() { return m_edit; }
    // The entry has the keyboard focus (the frame then gives it the keys its accelerators take).
    BOOL IsEntryFocused() const { return m_edit.GetSafeHwnd() && m_edit.HasFocus(); }

    // Enter in the entry goes as the go button does (an open completion list takes it first).
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnGo();
    DECLARE_MESSAGE_MAP()

private:
    CFont m_font;
    CACEdit m_edit;
    CButtonST m_goButton;
};
