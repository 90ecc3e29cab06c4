// A control bar made from a dialog template (a child, invisible template): its size is the
// template's, its controls update through CCmdUI at idle time and their commands go to the frame.
#pragma once

#include "framework/CControlBar.h"

class CDialogBar : public CControlBar
{
    DECLARE_DYNAMIC(CDialogBar)
public:
    CDialogBar();
    ~CDialogBar() override;

    virtual BOOL Create(CWnd* pParentWnd, LPCWSTR lpszTemplateName, UINT nStyle, UINT nID);
    virtual BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID)
    {
        return Create(pParentWnd, MAKEINTRESOURCEW(nIDTemplate), nStyle, nID);
    }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    // Accelerators of the frame first, then the dialog keys (Tab between the controls).
    BOOL PreTranslateMessage(MSG* pMsg) override;

    CSize m_sizeDefault; // the template's size

protected:
    LPCWSTR m_lpszTemplateName;
};
