// The source side of an OLE drag: decides when a drag really begins, when it drops and when it is
// cancelled. A drag started with the right button drops when that button is released and is
// cancelled by the left one (and the other way round).
#pragma once

#include "framework/CCmdTarget.h"
#include "framework/COleDataObject.h"
#include "framework/CRect.h"

class CWnd;

class COleDropSource : public CCmdTarget
{
    DECLARE_DYNAMIC(COleDropSource)
public:
    COleDropSource();
    ~COleDropSource() override;

    // Holds until the pointer leaves m_rectStartDrag or the drag delay passes with the button
    // still down (TRUE: drag), or the button is released or Escape pressed first (FALSE).
    virtual BOOL OnBeginDrag(CWnd* pWnd);
    // DRAGDROP_S_CANCEL on Escape or the cancel button, DRAGDROP_S_DROP once the drop button is
    // up, S_OK to go on.
    virtual SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState);
    virtual SCODE GiveFeedback(DROPEFFECT dropEffect);

    // The buttons of this drag, set from the button held when it starts.
    void ChooseButtons();
    LPDROPSOURCE GetIDropSource() { return &m_xDropSource; }

    BOOL m_bDragStarted;
    DWORD m_dwButtonCancel;
    DWORD m_dwButtonDrop;
    CRect m_rectStartDrag; // screen coordinates

    static UINT nDragMinDist; // pixels the pointer may move before the drag begins
    static UINT nDragDelay;   // milliseconds before a held button begins the drag

private:
    class XDropSource : public IDropSource
    {
    public:
        explicit XDropSource(COleDropSource* owner) : m_owner(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;
        HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState) override;
        HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD dwEffect) override;

    private:
        COleDropSource* m_owner;
    };
    XDropSource m_xDropSource;
};
