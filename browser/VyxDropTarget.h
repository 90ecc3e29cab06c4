// What the views and the folder pane do with a drag over them and a drop: the effect the keys
// choose, the refusal of a drop onto the folder it came from, the menu after a right-button drag,
// and the file-operation job a drop becomes (sent for the program's own drags, so it runs before
// their drag loop returns; posted for other programs', so theirs is free before the copy starts).
// A target keeps the key state of the drag from its entering to its leaving.
#pragma once

#include "framework/Framework.h"

class CKWDoc;
class VyxFile;

class VyxDropTarget
{
public:
    void Enter(DWORD keys) { m_keys = keys; }
    void Leave() { m_keys = 0; }
    DWORD GetKeyState() const { return m_keys; }

    // A view's whole answer to a drag over the target folder: entering (the keys kept) and the
    // drop (the menu of a right-button drag, then the job).
    DROPEFFECT ViewDragEnter(const CKWDoc* doc, COleDataObject* data, DWORD keys, const CString& targetFolder);
    DROPEFFECT ViewDropEx(CWnd* wnd, COleDataObject* data, DROPEFFECT suggested, DROPEFFECT allowed, CPoint point,
                          const CString& targetFolder);

    // Where a drop at a point goes: the folder item under it, else the document's folder.
    static CString TargetFolder(const CKWDoc* doc, const VyxFile* itemUnderPointer);
    // Ctrl held copies, else Shift held moves, else "DaDMOVE" moves; otherwise a copy.
    static DROPEFFECT EffectForKeys(DWORD keys, const CKWDoc* doc);
    // A view's answer over the target folder: nothing while the document shows no plain folder,
    // for data without a file-drop list, or for the program's own drag onto the folder it came from.
    static DROPEFFECT ViewDragOver(const CKWDoc* doc, COleDataObject* data, DWORD keys, const CString& targetFolder);
    // After a right-button drag, the choice of the menu at the point ("ここにコピー", "ここに移動",
    // "キャンセル"); otherwise the suggested effect.
    DROPEFFECT ChooseEffect(CWnd* wnd, CPoint point, DROPEFFECT suggested, DROPEFFECT allowed) const;
    // A job of the data into the folder, handed to the main window; FALSE when nothing was handed
    // over. *count gets the number transferred of a job that ran at once (sent).
    static BOOL Drop(COleDataObject* data, DROPEFFECT effect, const CString& targetFolder, LRESULT* count = nullptr);

private:
    DWORD m_keys = 0;
};
