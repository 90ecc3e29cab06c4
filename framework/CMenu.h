// Interim stand-in for part 1's CMenu (replaced on merge).
#pragma once

#include "framework/CObject.h"

class CMenu : public CObject
{
public:
    HMENU m_hMenu = nullptr;
    HMENU GetSafeHmenu() const { return m_hMenu; }
    static CMenu* PASCAL FromHandle(HMENU hMenu);
};
