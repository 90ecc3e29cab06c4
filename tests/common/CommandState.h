// What a command's update handler (or its absence) makes of a menu item or button, and a command
// sent through a target's routing as a menu would send it.
#pragma once

#include "framework/Framework.h"

class CommandState : public CCmdUI
{
public:
    void Enable(BOOL bOn) override
    {
        enabled = bOn != FALSE;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int nCheck) override { checked = nCheck; }

    bool enabled = false;
    // -1 when no handler set it.
    int checked = -1;
};

// The state the target's routing gives the command (an item without a handler is disabled).
inline CommandState UpdateCommand(CCmdTarget& target, UINT id)
{
    CommandState state;
    state.m_nID = id;
    state.DoUpdate(&target, TRUE);
    return state;
}

inline BOOL RunCommand(CCmdTarget& target, UINT id)
{
    return target.OnCmdMsg(id, CN_COMMAND, nullptr, nullptr);
}
