// The base of resizable dialogs: a sizing frame added at creation (the template size becomes the
// minimum), a size grip, anchored children laid out on every size change, and optionally the
// placement restored and saved in the profile.
#pragma once

#include "controls/CResizableGrip.h"
#include "controls/CResizableLayout.h"
#include "controls/CResizableMinMax.h"
#include "controls/CResizableState.h"

class CResizableDialog : public CDialog,
                         public CResizableLayout,
                         public CResizableGrip,
                         public CResizableMinMax,
                         public CResizableState
{
    DECLARE_DYNAMIC(CResizableDialog)
public:
    CResizableDialog();
    explicit CResizableDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CResizableDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // Restores the placement now and saves it when the dialog is destroyed; the restore's result.
    BOOL EnablePlacementSaving(LPCWSTR pszSection, BOOL bRectOnly = FALSE);

protected:
    CWnd* GetLayoutWnd() const override { return const_cast<CResizableDialog*>(this); }

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnDestroy();

    DWORD m_dwGripTempState = 1; // bit 1: the grip is counted as shown by the size handling
    BOOL m_bEnableSaveRestore = FALSE;
    BOOL m_bRectOnly = FALSE;
    CString m_sSection;

    DECLARE_MESSAGE_MAP()
};
