// A window that accepts OLE drops. Register binds it to a window; each step of a drag over that
// window arrives as a virtual below with the window, the dragged data and the point in the
// window's client coordinates. On the drop, OnDropEx is asked first; when it answers -1 (not
// handled) the suggested effect goes to OnDrop.
#pragma once

#include "framework/CCmdTarget.h"
#include "framework/COleDataObject.h"
#include "framework/CRect.h"

class CWnd;

class COleDropTarget : public CCmdTarget
{
    DECLARE_DYNAMIC(COleDropTarget)
public:
    COleDropTarget();
    ~COleDropTarget() override;

    BOOL Register(CWnd* pWnd);
    virtual void Revoke();

    virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual void OnDragLeave(CWnd* pWnd);
    virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    virtual DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList,
                                CPoint point);
    // Asked before each OnDragOver; an answer with DROPEFFECT_SCROLL stands for it.
    virtual DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point);

    LPDROPTARGET GetIDropTarget() { return &m_xDropTarget; }

protected:
    HWND m_hWnd;
    COleDataObject m_dataObject; // the data of the drag under way

private:
    CWnd* TargetWnd() const;
    CPoint ClientPoint(POINTL pt) const;
    void AttachData(IDataObject* pDataObj);

    class XDropTarget : public IDropTarget
    {
    public:
        explicit XDropTarget(COleDropTarget* owner) : m_owner(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;
        HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                            DWORD* pdwEffect) override;
        HRESULT STDMETHODCALLTYPE DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
        HRESULT STDMETHODCALLTYPE DragLeave() override;
        HRESULT STDMETHODCALLTYPE Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;

    private:
        COleDropTarget* m_owner;
    };
    XDropTarget m_xDropTarget;
};
