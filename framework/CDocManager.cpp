#include "framework/CDocManager.h"
#include "framework/CDocTemplate.h"
#include "framework/CDocument.h"
#include "framework/CFrameWnd.h"
#include "framework/CView.h"
#include "framework/CWnd.h"

#include <vector>

IMPLEMENT_DYNAMIC(CDocManager, CObject)

CDocManager::~CDocManager()
{
    while (!m_templateList.IsEmpty()) {
        auto* docTemplate = static_cast<CDocTemplate*>(m_templateList.RemoveHead());
        if (docTemplate->m_bAutoDelete)
            delete docTemplate;
    }
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (!pTemplate || m_templateList.Find(pTemplate))
        return;
    pTemplate->LoadTemplate();
    m_templateList.AddTail(pTemplate);
}

POSITION CDocManager::GetFirstDocTemplatePosition() const
{
    return m_templateList.GetHeadPosition();
}

CDocTemplate* CDocManager::GetNextDocTemplate(POSITION& pos) const
{
    return static_cast<CDocTemplate*>(m_templateList.GetNext(pos));
}

int CDocManager::GetDocumentCount()
{
    int count = 0;
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        CDocTemplate* docTemplate = GetNextDocTemplate(pos);
        for (POSITION docPos = docTemplate->GetFirstDocPosition(); docPos; docTemplate->GetNextDoc(docPos))
            ++count;
    }
    return count;
}

void CDocManager::OnFileNew()
{
    if (m_templateList.IsEmpty())
        return;
    static_cast<CDocTemplate*>(m_templateList.GetHead())->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen()
{
    CString fileName;
    if (!DoPromptFileName(fileName, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, nullptr))
        return;
    OpenDocumentFile(fileName);
}

CDocument* CDocManager::OpenDocumentFile(LPCWSTR lpszFileName)
{
    if (!lpszFileName)
        return nullptr;
    wchar_t full[MAX_PATH * 2];
    DWORD n = ::GetFullPathNameW(lpszFileName, MAX_PATH * 2, full, nullptr);
    CString path = (n > 0 && n < MAX_PATH * 2) ? full : lpszFileName;

    CDocTemplate* best = nullptr;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    CDocument* open = nullptr;
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        CDocTemplate* docTemplate = GetNextDocTemplate(pos);
        CDocument* match = nullptr;
        CDocTemplate::Confidence confidence = docTemplate->MatchDocType(path, match);
        if (confidence > bestMatch) {
            bestMatch = confidence;
            best = docTemplate;
            open = match;
        }
        if (confidence == CDocTemplate::yesAlreadyOpen)
            break;
    }
    if (open) {
        // Already open: its frame comes forward.
        POSITION pos = open->GetFirstViewPosition();
        if (pos) {
            CView* view = open->GetNextView(pos);
            if (CFrameWnd* frame = view->GetParentFrame())
                frame->ActivateFrame();
        }
        return open;
    }
    return best ? best->OpenDocumentFile(path) : nullptr;
}

BOOL CDocManager::DoPromptFileName(CString& fileName, LPCWSTR lpszTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                   CDocTemplate* pTemplate)
{
    // Filters "name\0*.ext\0" from each template's strings, then all files.
    std::wstring filters;
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        CDocTemplate* docTemplate = GetNextDocTemplate(pos);
        if (pTemplate && docTemplate != pTemplate)
            continue;
        CString name;
        CString ext;
        if (docTemplate->GetDocString(name, CDocTemplate::filterName) &&
            docTemplate->GetDocString(ext, CDocTemplate::filterExt)) {
            CString pattern = L"*" + ext;
            pattern.Replace(L";", L";*");
            filters += name.GetString();
            filters += L'\0';
            filters += pattern.GetString();
            filters += L'\0';
        }
    }
    filters += L"*.*";
    filters += L'\0';
    filters += L"*.*";
    filters += L'\0';
    filters += L'\0';

    std::vector<wchar_t> buffer(MAX_PATH * 4, L'\0');
    lstrcpynW(buffer.data(), fileName, static_cast<int>(buffer.size()));
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    CWnd* owner = CWnd::GetSafeOwner();
    ofn.hwndOwner = owner ? owner->m_hWnd : nullptr;
    ofn.lpstrFilter = filters.c_str();
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = lpszTitle;
    ofn.Flags = lFlags | OFN_EXPLORER | OFN_ENABLESIZING;
    BOOL ok = bOpenFileDialog ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
    if (ok)
        fileName = buffer.data();
    return ok;
}

BOOL CDocManager::SaveAllModified()
{
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;) {
        if (!GetNextDocTemplate(pos)->SaveAllModified())
            return FALSE;
    }
    return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL bEndSession)
{
    for (POSITION pos = GetFirstDocTemplatePosition(); pos;)
        GetNextDocTemplate(pos)->CloseAllDocuments(bEndSession);
}
