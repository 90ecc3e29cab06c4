// The thumbnail view. Only a plain view stands here yet: it paints the document's background,
// answers the frame as the thumbnail view will (no idle work; watchers re-armed for each new
// folder), and takes drops into the document's folder and drags of the selected items, until the
// thumbnail grid is built.
#pragma once

#include "browser/VyxDropTarget.h"
#include "framework/Framework.h"

class CKWView : public CView
{
    DECLARE_DYNCREATE(CKWView)
public:
    void OnDraw(CDC* pDC) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    void OnDragLeave() override;
    DROPEFFECT OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList,
                        CPoint point) override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    // The folder a drop goes into: the document's.
    CString DropFolder() const;

    COleDropTarget m_dropTarget;
    VyxDropTarget m_drop;
};
