// A document: the data its views show. It keeps its views, tells them of changes through
// UpdateAllViews, and routes commands it does not handle to its template.
#pragma once

#include "framework/CCmdTarget.h"
#include "framework/CList.h"
#include "framework/CString.h"

class CDocTemplate;
class CView;
class CFrameWnd;

class CDocument : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument();
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCWSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    // Takes the full path; the title becomes its last component; with bAddToMRU the
    // application's recent-file list gets it.
    virtual void SetPathName(LPCWSTR lpszPathName, BOOL bAddToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    // ---- views
    virtual POSITION GetFirstViewPosition() const;
    virtual CView* GetNextView(POSITION& rPosition) const;
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    // Every view but pSender gets OnUpdate(pSender, lHint, pHint).
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0L, CObject* pHint = nullptr);
    // The last view gone: an auto-deleting document closes.
    virtual void OnChangedViewList();
    // Frame titles get ":n" when the document has several frames.
    void UpdateFrameCounts();

    // ---- life cycle
    virtual void DeleteContents();
    virtual BOOL OnNewDocument();
    // The base opens nothing: it checks that the path (file or folder) exists, empties the
    // document and marks it unmodified. Nothing is serialised.
    virtual BOOL OnOpenDocument(LPCWSTR lpszPathName);
    // The layer has no serialisation: the base reports that saving is not supported.
    virtual BOOL OnSaveDocument(LPCWSTR lpszPathName);
    // Destroys the document's frames, empties it and, when auto-deleting, deletes it.
    virtual void OnCloseDocument();
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    // TRUE when the document may be discarded (asks the user when modified).
    virtual BOOL SaveModified();
    virtual void PreCloseFrame(CFrameWnd* pFrame);
    virtual HMENU GetDefaultMenu();
    virtual HACCEL GetDefaultAccelerator();

    // The document, then its template.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate;
    CPtrList m_viewList;
    BOOL m_bModified;
    BOOL m_bAutoDelete;
    BOOL m_bEmbedded;

protected:
    afx_msg void OnFileClose();

    friend class CDocTemplate;
    DECLARE_MESSAGE_MAP()
};
