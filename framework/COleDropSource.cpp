#include "framework/COleDropSource.h"
#include "framework/CException.h"
#include "framework/CWnd.h"

IMPLEMENT_DYNAMIC(COleDropSource, CCmdTarget)

UINT COleDropSource::nDragMinDist = DD_DEFDRAGMINDIST;
UINT COleDropSource::nDragDelay = DD_DEFDRAGDELAY;

namespace {

void LogSwallowed(const wchar_t* where)
{
    wchar_t text[128];
    wsprintfW(text, L"framework: a C++ exception left %s\n", where);
    OutputDebugStringW(text);
}

} // namespace

COleDropSource::COleDropSource()
    : m_bDragStarted(FALSE), m_dwButtonCancel(MK_RBUTTON), m_dwButtonDrop(MK_LBUTTON), m_xDropSource(this)
{
}

COleDropSource::~COleDropSource() = default;

void COleDropSource::ChooseButtons()
{
    bool left = ::GetKeyState(VK_LBUTTON) < 0;
    bool right = ::GetKeyState(VK_RBUTTON) < 0;
    if (right && !left) {
        m_dwButtonDrop = MK_RBUTTON;
        m_dwButtonCancel = MK_LBUTTON;
    } else {
        m_dwButtonDrop = MK_LBUTTON;
        m_dwButtonCancel = MK_RBUTTON;
    }
}

BOOL COleDropSource::OnBeginDrag(CWnd* pWnd)
{
    m_bDragStarted = FALSE;
    int button = m_dwButtonDrop == MK_RBUTTON ? VK_RBUTTON : VK_LBUTTON;
    if (::GetKeyState(button) >= 0)
        return FALSE; // no button held: nothing is being dragged
    HWND hWnd = pWnd->GetSafeHwnd();
    if (hWnd)
        ::SetCapture(hWnd);
    UINT buttonUp = button == VK_RBUTTON ? WM_RBUTTONUP : WM_LBUTTONUP;
    DWORD start = ::GetTickCount();
    bool done = false;
    while (!done) {
        if (hWnd && ::GetCapture() != hWnd)
            break; // someone took the mouse away: no drag
        MSG msg;
        if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (msg.message == buttonUp || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
                break;
            if (msg.message == WM_MOUSEMOVE) {
                if (!m_rectStartDrag.PtInRect(msg.pt))
                    m_bDragStarted = done = true;
                continue;
            }
            // Input belongs to the drag; everything else (paint, timers) goes on.
            if ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
                (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
            continue;
        }
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= nDragDelay) {
            m_bDragStarted = done = true;
            break;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, nDragDelay - elapsed, QS_ALLINPUT);
    }
    if (hWnd && ::GetCapture() == hWnd)
        ::ReleaseCapture();
    return m_bDragStarted;
}

SCODE COleDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
    if (bEscapePressed || (dwKeyState & m_dwButtonCancel))
        return DRAGDROP_S_CANCEL;
    if (!(dwKeyState & m_dwButtonDrop))
        return DRAGDROP_S_DROP;
    return S_OK;
}

SCODE COleDropSource::GiveFeedback(DROPEFFECT)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

// ---------------------------------------------------------------- IDropSource

HRESULT STDMETHODCALLTYPE COleDropSource::XDropSource::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
        *ppv = static_cast<IDropSource*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// The object lives as long as its owner's drag: OLE's references do not decide its life.
ULONG STDMETHODCALLTYPE COleDropSource::XDropSource::AddRef()
{
    return 2;
}

ULONG STDMETHODCALLTYPE COleDropSource::XDropSource::Release()
{
    return 1;
}

HRESULT STDMETHODCALLTYPE COleDropSource::XDropSource::QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState)
{
    try {
        return m_owner->QueryContinueDrag(fEscapePressed, grfKeyState);
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
        LogSwallowed(L"QueryContinueDrag");
    }
    return DRAGDROP_S_CANCEL;
}

HRESULT STDMETHODCALLTYPE COleDropSource::XDropSource::GiveFeedback(DWORD dwEffect)
{
    try {
        return m_owner->GiveFeedback(dwEffect);
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
        LogSwallowed(L"GiveFeedback");
    }
    return DRAGDROP_S_USEDEFAULTCURSORS;
}
