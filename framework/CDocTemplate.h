// A document template ties a document class to its frame and view classes and the resource id
// of the frame (menu, accelerators, icon, and the "\n"-separated document strings).
#pragma once

#include "framework/CCmdTarget.h"
#include "framework/CString.h"

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocTemplate)
protected:
    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);

public:
    ~CDocTemplate() override;

    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
    // The index-th field of the template's string; FALSE when it is empty.
    virtual BOOL GetDocString(CString& rString, enum DocStringIndex index) const;
    // Loads the document strings (string resource nIDResource).
    virtual void LoadTemplate();

    virtual POSITION GetFirstDocPosition() const = 0;
    virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);

    enum Confidence {
        noAttempt,
        maybeAttemptForeign,
        maybeAttemptNative,
        yesAttemptForeign,
        yesAttemptNative,
        yesAlreadyOpen
    };
    // yesAlreadyOpen (with the document) when the path is open already; yesAttemptNative when its
    // extension is the template's; yesAttemptForeign otherwise.
    virtual Confidence MatchDocType(LPCWSTR lpszPathName, CDocument*& rpDocMatch);

    // Null when the class cannot be created.
    virtual CDocument* CreateNewDocument();
    // A new frame for pDoc from the template's resources (LoadFrame), its view made through a
    // creation context; null on failure (the frame is gone).
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);
    virtual CDocument* OpenDocumentFile(LPCWSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    virtual void SetDefaultTitle(CDocument* pDocument) = 0;

    UINT m_nIDResource;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;
    BOOL m_bAutoDelete;
};

// The template of a single-document program: one document at a time, reused for each new or
// opened one, in the main frame.
class CSingleDocTemplate : public CDocTemplate
{
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                       CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    void AddDocument(CDocument* pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    POSITION GetFirstDocPosition() const override;
    CDocument* GetNextDoc(POSITION& rPos) const override;
    // The creation order: document (or the one there is), frame, view, then the document opens
    // (or starts new) and the frame has its initial update. Null on failure, nothing left over.
    CDocument* OpenDocumentFile(LPCWSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    void SetDefaultTitle(CDocument* pDocument) override;

    CDocument* m_pOnlyDoc;

protected:
    void DiscardNew(CFrameWnd* pFrame, CDocument* pDocument);
};
