// The full-screen page of the options sheet: the slideshow grid (columns and lines, 1 to 64 each,
// checked on every change), its direction and the display monitor.
#pragma once

#include "browser/options/COptPageBoot.h"

class COptPageFull : public COptPage
{
public:
    explicit COptPageFull(COptPageBoot::OPTIONSDATA* pData);

    enum { MinSplit = 1, MaxSplit = 64 };

protected:
    void PrepareControls() override;
    void LoadMembers() override;
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnChangeColumns();
    afx_msg void OnChangeLines();
    DECLARE_MESSAGE_MAP()

    COptPageBoot::OPTIONSDATA* m_pData;
    UINT m_columns = 1;
    UINT m_lines = 1;
};
