// The print-preview view that shows its tool bar in a band of the frame's rebar (made for the
// preview when the frame has none), with the rebar locked and its menu switched off meanwhile.
#pragma once

#include "framework/Framework.h"

class CSizableReBar;
class CPreviewToolBar;

class VyxPreviewViewEx : public CPreviewView
{
    DECLARE_DYNCREATE(VyxPreviewViewEx)
public:
    VyxPreviewViewEx();
    ~VyxPreviewViewEx() override;

    BOOL SetPrintView(CView* pPrintView) override;

    CSizableReBar* GetReBar() const { return m_pReBar; }
    CPreviewToolBar* GetPreviewBar() const { return m_pPreviewBar; }

protected:
    // Puts the rebar back as it was before the preview; done once.
    void ReleaseReBar();

    afx_msg void OnPreviewCloseEx();
    afx_msg void OnPreviewPrintEx();
    afx_msg void OnUpdateNumPage(CCmdUI* pCmdUI);
    afx_msg void OnDestroy();

    CSizableReBar* m_pReBar;
    BOOL m_bReBarCreated;
    BOOL m_bReBarLocked;
    CPreviewToolBar* m_pPreviewBar;

    DECLARE_MESSAGE_MAP()
};
