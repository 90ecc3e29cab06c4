#include "framework/CCmdTarget.h"
#include "framework/CWinApp.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

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
