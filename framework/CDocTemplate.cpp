#include "framework/CDocTemplate.h"
#include "framework/AfxTexts.h"
#include "framework/CDocument.h"
#include "framework/CFrameWnd.h"
#include "framework/CWinApp.h"
#include "framework/ModuleState.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

namespace {

// A path as Windows compares it: full, without a trailing separator (a root keeps its own).
CString ComparablePath(LPCWSTR path)
{
    wchar_t full[MAX_PATH * 2];
    DWORD n = ::GetFullPathNameW(path, MAX_PATH * 2, full, nullptr);
    CString result = (n > 0 && n < MAX_PATH * 2) ? full : path;
    while (result.GetLength() > 3 && (result.Right(1) == L"\\" || result.Right(1) == L"/"))
        result = result.Left(result.GetLength() - 1);
    return result;
}

bool SamePath(LPCWSTR a, LPCWSTR b)
{
    return ComparablePath(a).CompareNoCase(ComparablePath(b)) == 0;
}

} // namespace

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass),
      m_bAutoDelete(TRUE)
{
    LoadTemplate();
}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate()
{
    if (m_strDocStrings.IsEmpty())
        m_strDocStrings.LoadString(m_nIDResource);
}

BOOL CDocTemplate::GetDocString(CString& rString, enum DocStringIndex index) const
{
    AfxExtractSubString(rString, m_strDocStrings, static_cast<int>(index));
    return !rString.IsEmpty();
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (pDoc->m_pDocTemplate == this)
        pDoc->m_pDocTemplate = nullptr;
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCWSTR lpszPathName, CDocument*& rpDocMatch)
{
    rpDocMatch = nullptr;
    for (POSITION pos = GetFirstDocPosition(); pos;) {
        CDocument* document = GetNextDoc(pos);
        if (!document->GetPathName().IsEmpty() && SamePath(document->GetPathName(), lpszPathName)) {
            rpDocMatch = document;
            return yesAlreadyOpen;
        }
    }
    CString filter;
    if (GetDocString(filter, filterExt)) {
        // The extension list is ";"-separated: ".jpg;.jpeg".
        CString path = lpszPathName;
        for (int i = 0;; ++i) {
            CString ext;
            AfxExtractSubString(ext, filter, i, L';');
            if (ext.IsEmpty())
                break;
            if (path.GetLength() >= ext.GetLength() && path.Right(ext.GetLength()).CompareNoCase(ext) == 0)
                return yesAttemptNative;
        }
    }
    return yesAttemptForeign;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (!m_pDocClass)
        return nullptr;
    CObject* object = m_pDocClass->CreateObject();
    auto* document = DYNAMIC_DOWNCAST(CDocument, object);
    if (!document) {
        delete object;
        return nullptr;
    }
    AddDocument(document);
    return document;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    if (!m_pFrameClass)
        return nullptr;
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* object = m_pFrameClass->CreateObject();
    auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, object);
    if (!frame) {
        delete object;
        return nullptr;
    }
    // A frame that fails to load has deleted itself.
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

BOOL CDocTemplate::SaveAllModified()
{
    for (POSITION pos = GetFirstDocPosition(); pos;) {
        if (!GetNextDoc(pos)->SaveModified())
            return FALSE;
    }
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    for (POSITION pos = GetFirstDocPosition(); pos;) {
        CDocument* document = GetNextDoc(pos);
        document->OnCloseDocument();
    }
}

// ---------------------------------------------------------------- single document

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass), m_pOnlyDoc(nullptr)
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (m_pOnlyDoc)
        m_pOnlyDoc->m_pDocTemplate = nullptr;
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    if (m_pOnlyDoc == pDoc)
        m_pOnlyDoc = nullptr;
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const
{
    return m_pOnlyDoc ? reinterpret_cast<POSITION>(m_pOnlyDoc) : nullptr;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const
{
    CDocument* document = reinterpret_cast<CDocument*>(rPos);
    rPos = nullptr; // the only one
    return document;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString title;
    if (!GetDocString(title, docName) || title.IsEmpty())
        title = afxTextUntitled;
    pDocument->SetTitle(title);
}

void CSingleDocTemplate::DiscardNew(CFrameWnd* pFrame, CDocument* pDocument)
{
    // The frame's views take an auto-deleting document along; one they did not is freed here.
    pFrame->DestroyWindow();
    if (m_pOnlyDoc == pDocument)
        delete pDocument;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCWSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* document = m_pOnlyDoc;
    CFrameWnd* frame = nullptr;
    BOOL created = FALSE;
    if (document) {
        // The one document is reused: it is asked first whether it may be discarded.
        if (!document->SaveModified())
            return nullptr;
        frame = DYNAMIC_DOWNCAST(CFrameWnd, AfxGetMainWnd());
    } else {
        document = CreateNewDocument();
        if (!document)
            return nullptr;
        created = TRUE;
    }
    if (!frame) {
        // The document must survive its frame's creation, whatever views come and go.
        BOOL autoDelete = document->m_bAutoDelete;
        document->m_bAutoDelete = FALSE;
        frame = CreateNewFrame(document, nullptr);
        document->m_bAutoDelete = autoDelete;
        if (!frame) {
            if (created)
                delete document;
            return nullptr;
        }
    }
    if (!lpszPathName) {
        SetDefaultTitle(document);
        if (!bMakeVisible)
            document->m_bEmbedded = TRUE;
        if (!document->OnNewDocument()) {
            if (created)
                DiscardNew(frame, document);
            return nullptr;
        }
    } else {
        BOOL wasModified = document->IsModified();
        document->SetModifiedFlag(FALSE);
        if (!document->OnOpenDocument(lpszPathName)) {
            if (created) {
                DiscardNew(frame, document);
            } else if (!document->IsModified()) {
                document->SetModifiedFlag(wasModified);
            } else {
                // The old contents are gone: the document starts again empty.
                SetDefaultTitle(document);
                document->OnNewDocument();
            }
            return nullptr;
        }
        document->SetPathName(lpszPathName);
    }
    CWinThread* thread = AfxGetThread();
    if (created && thread && !thread->m_pMainWnd)
        thread->m_pMainWnd = frame;
    InitialUpdateFrame(frame, document, bMakeVisible);
    return document;
}
