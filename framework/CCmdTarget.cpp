#include "framework/CCmdTarget.h"
#include "framework/CWinApp.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // An update request is -1 as a whole; everything else packs the message into the high word.
    UINT nMsg = 0;
    UINT code = static_cast<UINT>(nCode);
    if (code != CN_UPDATE_COMMAND_UI) {
        nMsg = HIWORD(code);
        code = LOWORD(code);
    } else {
        code = LOWORD(code);
    }
    if (nMsg == 0)
        nMsg = WM_COMMAND;

    const AFX_MSGMAP_ENTRY* entry = AfxFindCommandEntry(GetMessageMap(), nMsg, code, nID);
    if (!entry)
        return FALSE;
    if (pHandlerInfo) {
        pHandlerInfo->pTarget = this;
        pHandlerInfo->pEntry = entry;
        return TRUE;
    }
    AFX_MSGCALL call = {nMsg, 0, 0, nID, pExtra, 0};
    return entry->pfn(this, call);
}

void CCmdTarget::BeginWaitCursor()
{
    AfxDoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor()
{
    AfxDoWaitCursor(-1);
}

void CCmdTarget::RestoreWaitCursor()
{
    AfxDoWaitCursor(0);
}
