// Base of every object that receives commands. Plain for now: the message-map machinery
// (OnCmdMsg, the maps and their lookup) is added on top of this class.
#pragma once

#include "framework/CObject.h"

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;

    // The application's wait cursor, counted: each Begin needs its End.
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();
};
