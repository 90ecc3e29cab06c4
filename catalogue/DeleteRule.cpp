#include "catalogue/DeleteRule.h"

#include "catalogue/CKWDocSettings.h"
#include "foundation/FormatMessageText.h"
#include "foundation/MessageBoxes.h"

#include <shellapi.h>

DeleteRule DeleteRule::Of(const CKWDocSettings& settings, bool shiftHeld)
{
    DeleteRule rule;
    rule.forGood = !settings.TrashCan || shiftHeld;
    rule.confirm = !settings.DELQA;
    return rule;
}

bool DeleteRule::IsShiftHeld()
{
    return ::GetKeyState(VK_SHIFT) < 0;
}

WORD DeleteRule::RecycleFlags(bool silent)
{
    return silent ? FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI : FOF_ALLOWUNDO;
}

bool DeleteRule::AskForGood()
{
    return ShowMessageBox(FormatMessageText(MsgConfirmDeleteSelection), MB_YESNO | MB_ICONQUESTION) == IDYES;
}
