// The common controls' header (the column titles of a report list). HDF_OWNERDRAW items are drawn
// by the virtual DrawItem, which the parent reflects back to the header.
#pragma once

#include "framework/CWnd.h"

class CImageList;

class CHeaderCtrl : public CWnd
{
    DECLARE_DYNAMIC(CHeaderCtrl)
public:
    CHeaderCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetItemCount() const;
    BOOL GetItem(int nPos, HDITEMW* pHeaderItem) const;
    BOOL SetItem(int nPos, HDITEMW* pHeaderItem);
    int InsertItem(int nPos, HDITEMW* phdi); // the new index, -1 on failure
    BOOL DeleteItem(int nPos);
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const;
    BOOL Layout(HDLAYOUT* pHeaderLayout);
    int HitTest(LPHDHITTESTINFO pHeaderHitTestInfo);
    // Display order: item indexes from left to right.
    int OrderToIndex(int nOrder) const;
    BOOL GetOrderArray(LPINT piArray, int iCount = -1);
    BOOL SetOrderArray(int iCount, LPINT piArray);
    CImageList* GetImageList() const;
    CImageList* SetImageList(CImageList* pImageList); // the previous list
    CImageList* CreateDragImage(int nIndex);
    int SetHotDivider(CPoint pt);
    int SetHotDivider(int nIndex);

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};
