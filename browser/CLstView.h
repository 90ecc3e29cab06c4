// The file list view. Only a plain list view stands here yet, until the file list is built: it
// takes drops into the document's folder and drags of the selected items.
#pragma once

#include "browser/VyxDropTarget.h"
#include "framework/Framework.h"

class CLstView : public CListView
{
    DECLARE_DYNCREATE(CLstView)
public:
    DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    void OnDragLeave() override;
    DROPEFFECT OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList,
                        CPoint point) override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    CString DropFolder() const;

    COleDropTarget m_dropTarget;
    VyxDropTarget m_drop;
};
