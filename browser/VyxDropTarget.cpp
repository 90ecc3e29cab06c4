#include "browser/VyxDropTarget.h"

#include "catalogue/VyxDropFormats.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/VyxFile.h"
#include "fileops/VyxFileTransfer.h"
#include "foundation/FormatMessageText.h"

CString VyxDropTarget::TargetFolder(const CKWDoc* doc, const VyxFile* itemUnderPointer)
{
    if (itemUnderPointer && itemUnderPointer->IsFolder())
        return itemUnderPointer->GetPath();
    return doc ? doc->GetFolderPath() : CString();
}

DROPEFFECT VyxDropTarget::EffectForKeys(DWORD keys, const CKWDoc* doc)
{
    if (keys & MK_CONTROL)
        return DROPEFFECT_COPY;
    if (keys & MK_SHIFT)
        return DROPEFFECT_MOVE;
    return doc && doc->DaDMOVE ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

DROPEFFECT VyxDropTarget::ViewDragOver(const CKWDoc* doc, COleDataObject* data, DWORD keys, const CString& targetFolder)
{
    if (!doc || !doc->IsFolderLocation() || !VyxDropFormats::HasFileList(data))
        return DROPEFFECT_NONE;
    if (VyxDropFormats::HasDropFolder(data) && VyxDropFormats::GetDropFolder(data) == targetFolder)
        return DROPEFFECT_NONE;
    return EffectForKeys(keys, doc);
}

DROPEFFECT VyxDropTarget::ViewDragEnter(const CKWDoc* doc, COleDataObject* data, DWORD keys,
                                        const CString& targetFolder)
{
    Enter(keys);
    return ViewDragOver(doc, data, keys, targetFolder);
}

DROPEFFECT VyxDropTarget::ViewDropEx(CWnd* wnd, COleDataObject* data, DROPEFFECT suggested, DROPEFFECT allowed,
                                     CPoint point, const CString& targetFolder)
{
    DROPEFFECT effect = ChooseEffect(wnd, point, suggested, allowed);
    Leave();
    if (effect == DROPEFFECT_NONE)
        return DROPEFFECT_NONE;
    return Drop(data, effect, targetFolder) ? effect : DROPEFFECT_NONE;
}

DROPEFFECT VyxDropTarget::ChooseEffect(CWnd* wnd, CPoint point, DROPEFFECT suggested, DROPEFFECT allowed) const
{
    if (!(m_keys & MK_RBUTTON) || !wnd)
        return suggested;
    CMenu menu;
    if (!menu.CreatePopupMenu())
        return DROPEFFECT_NONE;
    if (allowed & DROPEFFECT_COPY)
        menu.AppendMenu(MF_STRING, DROPEFFECT_COPY, FormatMessageLine(MsgDropCopyHere));
    if (allowed & DROPEFFECT_MOVE)
        menu.AppendMenu(MF_STRING, DROPEFFECT_MOVE, FormatMessageLine(MsgDropMoveHere));
    menu.AppendMenu(MF_SEPARATOR, 0, static_cast<LPCWSTR>(nullptr));
    menu.AppendMenu(MF_STRING, 0, FormatMessageLine(MsgDropCancel));
    if (suggested == DROPEFFECT_COPY || suggested == DROPEFFECT_MOVE)
        ::SetMenuDefaultItem(menu.GetSafeHmenu(), suggested, FALSE);
    CPoint screen = point;
    wnd->ClientToScreen(&screen);
    // The cancel item and a dismissed menu both give 0: nothing happens.
    return static_cast<DROPEFFECT>(::TrackPopupMenu(menu.GetSafeHmenu(),
                                                    TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, screen.x, screen.y,
                                                    0, wnd->GetSafeHwnd(), nullptr));
}

BOOL VyxDropTarget::Drop(COleDataObject* data, DROPEFFECT effect, const CString& targetFolder, LRESULT* count)
{
    if (count)
        *count = 0;
    if (!data || effect == DROPEFFECT_NONE)
        return FALSE;
    auto* job = new VyxFileTransfer;
    job->AddDataObject(data, effect);
    job->SetDestination(targetFolder);
    if (!VyxDropFormats::HasDropFolder(data))
        return VyxFileTransfer::Post(AfxGetMainWnd(), job);
    LRESULT sent = VyxFileTransfer::Send(AfxGetMainWnd(), job);
    if (count)
        *count = sent;
    return TRUE;
}
