// A resizable window's position, size and show state kept in the application profile as the
// entry "WindowPlacement" ("left,top,right,bottom,showCmd,flags") of a section the window chooses.
#pragma once

#include "framework/Framework.h"

class CResizableState
{
public:
    CResizableState() = default;
    CResizableState(const CResizableState&) = delete;
    CResizableState& operator=(const CResizableState&) = delete;

    // rectOnly: only the window rectangle is restored, the show state is left alone.
    BOOL LoadPlacement(LPCWSTR pszSection, BOOL bRectOnly);
    // rectOnly: the current window rectangle is saved with show state 1 and no flags.
    BOOL SavePlacement(LPCWSTR pszSection, BOOL bRectOnly);

protected:
    virtual CWnd* GetLayoutWnd() const = 0;

public:
    virtual ~CResizableState() = default;
};
