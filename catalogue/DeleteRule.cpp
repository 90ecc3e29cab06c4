#include "catalogue/DeleteRule.h"

#include "catalogue/CKWDocSettings.h"
#include "foundation/FormatMessageText.h"

#include <shellapi.h>

namespace {

// "選択データを削除してもよろしいですか？"
const DWORD kMsgConfirmDeleteSelection = 0x4000000A;

} // namespace

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
    return AfxMessageBox(FormatMessageText(kMsgConfirmDeleteSelection), MB_YESNO | MB_ICONQUESTION) == IDYES;
}
