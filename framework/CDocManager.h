// The application's list of document templates and the file commands that go through them.
#pragma once

#include "framework/CList.h"
#include "framework/CString.h"

class CDocTemplate;
class CDocument;

class CDocManager : public CObject
{
    DECLARE_DYNAMIC(CDocManager)
public:
    CDocManager() = default;
    // Deletes the templates that delete themselves (m_bAutoDelete).
    ~CDocManager() override;

    virtual void AddDocTemplate(CDocTemplate* pTemplate);
    virtual POSITION GetFirstDocTemplatePosition() const;
    virtual CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    virtual int GetDocumentCount();

    // The first template's new document (the program has one template).
    virtual void OnFileNew();
    // Asks for a file, then opens it.
    virtual void OnFileOpen();
    // The best template's document for the path (the open one when it is open already); a folder
    // path is as good as a file. Null on failure.
    virtual CDocument* OpenDocumentFile(LPCWSTR lpszFileName);
    // An open-file dialog with the templates' filters; FALSE when cancelled.
    virtual BOOL DoPromptFileName(CString& fileName, LPCWSTR lpszTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                  CDocTemplate* pTemplate);
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);

    CPtrList m_templateList;
};
