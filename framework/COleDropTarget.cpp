#include "framework/COleDropTarget.h"
#include "framework/CView.h"
#include "framework/CException.h"
#include "framework/CWnd.h"

IMPLEMENT_DYNAMIC(COleDropTarget, CCmdTarget)

namespace {

// The effect a target asked for, kept to what the source allows (the scroll bit passes).
DROPEFFECT AllowedEffect(DROPEFFECT wanted, DWORD allowed)
{
    if (wanted == static_cast<DROPEFFECT>(-1))
        return DROPEFFECT_NONE;
    return wanted & (allowed | DROPEFFECT_SCROLL);
}

void LogSwallowed(const wchar_t* where)
{
    wchar_t text[128];
    wsprintfW(text, L"framework: a C++ exception left IDropTarget::%s\n", where);
    OutputDebugStringW(text);
}

void HandleException(const wchar_t* where)
{
    try {
        throw;
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
        LogSwallowed(where);
    }
}

} // namespace

COleDropTarget::COleDropTarget() : m_hWnd(nullptr), m_xDropTarget(this) {}

COleDropTarget::~COleDropTarget()
{
    Revoke();
}

BOOL COleDropTarget::Register(CWnd* pWnd)
{
    HWND hWnd = pWnd->GetSafeHwnd();
    if (!hWnd || m_hWnd)
        return FALSE;
    if (FAILED(::RegisterDragDrop(hWnd, &m_xDropTarget)))
        return FALSE;
    m_hWnd = hWnd;
    pWnd->m_pDropTarget = this;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    if (!m_hWnd)
        return;
    ::RevokeDragDrop(m_hWnd);
    if (CWnd* wnd = CWnd::FromHandlePermanent(m_hWnd)) {
        if (wnd->m_pDropTarget == this)
            wnd->m_pDropTarget = nullptr;
    }
    m_dataObject.Release();
    m_hWnd = nullptr;
}

// The defaults hand each step to the window when it is a view (which refuses by default).

DROPEFFECT COleDropTarget::OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    CView* view = DYNAMIC_DOWNCAST(CView, pWnd);
    return view ? view->OnDragEnter(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    CView* view = DYNAMIC_DOWNCAST(CView, pWnd);
    return view ? view->OnDragOver(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

void COleDropTarget::OnDragLeave(CWnd* pWnd)
{
    if (CView* view = DYNAMIC_DOWNCAST(CView, pWnd))
        view->OnDragLeave();
}

BOOL COleDropTarget::OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point)
{
    CView* view = DYNAMIC_DOWNCAST(CView, pWnd);
    return view ? view->OnDrop(pDataObject, dropEffect, point) : FALSE;
}

DROPEFFECT COleDropTarget::OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
                                    DROPEFFECT dropList, CPoint point)
{
    CView* view = DYNAMIC_DOWNCAST(CView, pWnd);
    return view ? view->OnDropEx(pDataObject, dropDefault, dropList, point) : static_cast<DROPEFFECT>(-1);
}

DROPEFFECT COleDropTarget::OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point)
{
    CView* view = DYNAMIC_DOWNCAST(CView, pWnd);
    return view ? view->OnDragScroll(dwKeyState, point) : DROPEFFECT_NONE;
}

CWnd* COleDropTarget::TargetWnd() const
{
    return CWnd::FromHandle(m_hWnd);
}

CPoint COleDropTarget::ClientPoint(POINTL pt) const
{
    POINT point = {pt.x, pt.y};
    ::ScreenToClient(m_hWnd, &point);
    return CPoint(point.x, point.y);
}

void COleDropTarget::AttachData(IDataObject* pDataObj)
{
    if (m_dataObject.GetIDataObject(FALSE) == pDataObj)
        return;
    // Kept from drag-enter to the drop or the leave: hold a reference of our own.
    if (pDataObj)
        pDataObj->AddRef();
    m_dataObject.Attach(pDataObj, TRUE);
}

// ---------------------------------------------------------------- IDropTarget

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
        *ppv = static_cast<IDropTarget*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// The target lives as long as its owner (a member of a window class), not by OLE's references.
ULONG STDMETHODCALLTYPE COleDropTarget::XDropTarget::AddRef()
{
    return 2;
}

ULONG STDMETHODCALLTYPE COleDropTarget::XDropTarget::Release()
{
    return 1;
}

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                                                 DWORD* pdwEffect)
{
    if (!pdwEffect)
        return E_INVALIDARG;
    DWORD allowed = *pdwEffect;
    *pdwEffect = DROPEFFECT_NONE;
    try {
        m_owner->AttachData(pDataObj);
        CWnd* wnd = m_owner->TargetWnd();
        if (wnd)
            *pdwEffect = AllowedEffect(
                m_owner->OnDragEnter(wnd, &m_owner->m_dataObject, grfKeyState, m_owner->ClientPoint(pt)), allowed);
    } catch (...) {
        HandleException(L"DragEnter");
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect)
{
    if (!pdwEffect)
        return E_INVALIDARG;
    DWORD allowed = *pdwEffect;
    *pdwEffect = DROPEFFECT_NONE;
    try {
        CWnd* wnd = m_owner->TargetWnd();
        if (!wnd)
            return S_OK;
        CPoint point = m_owner->ClientPoint(pt);
        DROPEFFECT effect = m_owner->OnDragScroll(wnd, grfKeyState, point);
        if (!(effect & DROPEFFECT_SCROLL))
            effect = m_owner->OnDragOver(wnd, &m_owner->m_dataObject, grfKeyState, point);
        *pdwEffect = AllowedEffect(effect, allowed);
    } catch (...) {
        HandleException(L"DragOver");
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::DragLeave()
{
    try {
        if (CWnd* wnd = m_owner->TargetWnd())
            m_owner->OnDragLeave(wnd);
    } catch (...) {
        HandleException(L"DragLeave");
    }
    m_owner->m_dataObject.Release();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                                            DWORD* pdwEffect)
{
    if (!pdwEffect)
        return E_INVALIDARG;
    DWORD allowed = *pdwEffect;
    *pdwEffect = DROPEFFECT_NONE;
    try {
        m_owner->AttachData(pDataObj);
        CWnd* wnd = m_owner->TargetWnd();
        if (wnd) {
            CPoint point = m_owner->ClientPoint(pt);
            COleDataObject* data = &m_owner->m_dataObject;
            // The effect the keys held at the drop ask for, then the target's own choice.
            DROPEFFECT suggested =
                AllowedEffect(m_owner->OnDragOver(wnd, data, grfKeyState, point), allowed) & ~DROPEFFECT_SCROLL;
            DROPEFFECT chosen = m_owner->OnDropEx(wnd, data, suggested, allowed, point);
            if (chosen != static_cast<DROPEFFECT>(-1)) {
                *pdwEffect = AllowedEffect(chosen, allowed) & ~DROPEFFECT_SCROLL;
            } else if (suggested != DROPEFFECT_NONE && m_owner->OnDrop(wnd, data, suggested, point)) {
                *pdwEffect = suggested;
            }
        }
    } catch (...) {
        HandleException(L"Drop");
    }
    m_owner->m_dataObject.Release();
    return S_OK;
}
