#include "framework/CDocument.h"
#include "framework/AfxRes.h"
#include "framework/AfxTexts.h"
#include "framework/CDocTemplate.h"
#include "framework/CFileException.h"
#include "framework/CFrameWnd.h"
#include "framework/CView.h"
#include "framework/CWinApp.h"
#include "framework/ModuleState.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
END_MESSAGE_MAP()

CDocument::CDocument() : m_pDocTemplate(nullptr), m_bModified(FALSE), m_bAutoDelete(TRUE), m_bEmbedded(FALSE) {}

CDocument::~CDocument()
{
    // Views outliving their document forget it.
    while (!m_viewList.IsEmpty()) {
        auto* view = static_cast<CView*>(m_viewList.RemoveHead());
        view->m_pDocument = nullptr;
    }
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCWSTR lpszTitle)
{
    m_strTitle = lpszTitle;
    UpdateFrameCounts();
}

void CDocument::SetPathName(LPCWSTR lpszPathName, BOOL bAddToMRU)
{
    wchar_t full[MAX_PATH * 2];
    DWORD n = ::GetFullPathNameW(lpszPathName, MAX_PATH * 2, full, nullptr);
    m_strPathName = (n > 0 && n < MAX_PATH * 2) ? full : lpszPathName;
    // The title is the last component ("C:\" stays whole).
    CString trimmed = m_strPathName;
    if (trimmed.GetLength() > 3 && (trimmed.Right(1) == L"\\" || trimmed.Right(1) == L"/"))
        trimmed = trimmed.Left(trimmed.GetLength() - 1);
    int slash = std::max(trimmed.ReverseFind(L'\\'), trimmed.ReverseFind(L'/'));
    CString title = slash >= 0 && slash + 1 < trimmed.GetLength() ? trimmed.Mid(slash + 1) : trimmed;
    SetTitle(title);
    if (bAddToMRU) {
        if (CWinApp* app = AfxGetApp())
            app->AddToRecentFileList(m_strPathName);
    }
}

// ---------------------------------------------------------------- views

POSITION CDocument::GetFirstViewPosition() const
{
    return m_viewList.GetHeadPosition();
}

CView* CDocument::GetNextView(POSITION& rPosition) const
{
    return static_cast<CView*>(m_viewList.GetNext(rPosition));
}

void CDocument::AddView(CView* pView)
{
    if (!pView || pView->m_pDocument == this)
        return;
    if (pView->m_pDocument)
        pView->m_pDocument->RemoveView(pView);
    m_viewList.AddTail(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    POSITION pos = m_viewList.Find(pView);
    if (!pos)
        return;
    m_viewList.RemoveAt(pos);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    for (POSITION pos = GetFirstViewPosition(); pos;) {
        CView* view = GetNextView(pos);
        if (view != pSender)
            view->OnUpdate(pSender, lHint, pHint);
    }
}

void CDocument::OnChangedViewList()
{
    if (m_viewList.IsEmpty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

void CDocument::UpdateFrameCounts()
{
    // Number the frames that show this document when there are several.
    CPtrList frames;
    for (POSITION pos = GetFirstViewPosition(); pos;) {
        CView* view = GetNextView(pos);
        if (!view->m_hWnd || !(view->GetStyle() & WS_VISIBLE))
            continue;
        CFrameWnd* frame = view->GetParentFrame();
        if (frame && !frames.Find(frame))
            frames.AddTail(frame);
    }
    int count = static_cast<int>(frames.GetCount());
    int number = 1;
    for (POSITION pos = frames.GetHeadPosition(); pos;) {
        auto* frame = static_cast<CFrameWnd*>(frames.GetNext(pos));
        frame->m_nWindow = count > 1 ? number++ : -1;
        frame->OnUpdateFrameTitle(TRUE);
    }
}

// ---------------------------------------------------------------- life cycle

void CDocument::DeleteContents() {}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCWSTR lpszPathName)
{
    // A folder is as good as a file: nothing is read here.
    if (!lpszPathName || ::GetFileAttributesW(lpszPathName) == INVALID_FILE_ATTRIBUTES) {
        CFileException error(CFileException::fileNotFound, -1, lpszPathName);
        error.ReportError(MB_ICONEXCLAMATION);
        return FALSE;
    }
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCWSTR)
{
    CNotSupportedException error(FALSE);
    error.ReportError(MB_ICONEXCLAMATION);
    return FALSE;
}

void CDocument::OnCloseDocument()
{
    // The views go with their frames; the document must not delete itself meanwhile.
    BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_viewList.IsEmpty()) {
        auto* view = static_cast<CView*>(m_viewList.GetHead());
        CFrameWnd* frame = view->GetParentFrame();
        if (frame && frame->m_hWnd) {
            PreCloseFrame(frame);
            frame->DestroyWindow();
        }
        // A view without a frame (or one its frame did not take along) is let go here.
        if (!m_viewList.IsEmpty() && m_viewList.GetHead() == view) {
            RemoveView(view);
            if (view->m_hWnd)
                view->DestroyWindow();
        }
    }
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrame)
{
    // Another frame still shows the document: closing this one loses nothing.
    for (POSITION pos = GetFirstViewPosition(); pos;) {
        CView* view = GetNextView(pos);
        CFrameWnd* frame = view->GetParentFrame();
        if (frame && frame != pFrame)
            return TRUE;
    }
    return SaveModified();
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    if (name.IsEmpty())
        name = afxTextUntitled;
    CString prompt = afxTextSaveChanges;
    prompt.Replace(L"%1", name);
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        return OnSaveDocument(m_strPathName);
    default:
        return TRUE;
    }
}

void CDocument::PreCloseFrame(CFrameWnd*) {}

HMENU CDocument::GetDefaultMenu()
{
    return nullptr;
}

HACCEL CDocument::GetDefaultAccelerator()
{
    return nullptr;
}

void CDocument::OnFileClose()
{
    if (!SaveModified())
        return;
    OnCloseDocument();
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
