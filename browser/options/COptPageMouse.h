// The mouse page of the options sheet: drops as moves, the wheel's step, what a double click on a
// file does (a built-in viewer, the associated program or a registered application) and the
// extensions always run with their associated program.
#pragma once

#include "browser/options/COptPageBoot.h"

class COptPageMouse : public COptPage
{
public:
    explicit COptPageMouse(COptPageBoot::OPTIONSDATA* pData);

    // The wheel combo's row of a value and back (-1: no row; the value of no row: unchanged).
    static int WheelToIndex(int value);
    static int IndexToWheel(int index, int previous);
    // The double-click combo's row of a command (-1: none) and back.
    static int ViewerToIndex(int command);
    static int IndexToViewer(int index);

protected:
    void PrepareControls() override;
    void LoadMembers() override;
    void SetAnchors() override;

    afx_msg void OnSelChangeWheel();
    afx_msg void OnSelChangeViewer();
    DECLARE_MESSAGE_MAP()

    COptPageBoot::OPTIONSDATA* m_pData;
};
