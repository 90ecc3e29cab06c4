// Base of every object that receives commands: its message map and the command routing.
#pragma once

#include "framework/CObject.h"
#include "framework/MessageMap.h"

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

    // Looks nID/nCode up in this object's map (then its bases'). The high word of nCode names the
    // message (0: WM_COMMAND, WM_NOTIFY, or a reflected one); pExtra is the CCmdUI* of an update or
    // the AFX_NOTIFY* of a notification. With pHandlerInfo the handler is found, not called.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    DECLARE_MESSAGE_MAP()
};
