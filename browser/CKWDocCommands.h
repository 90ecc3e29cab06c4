// The document's menu, key and tool-bar commands with their update handlers: the clipboard, the
// files and the outputs, the listing switches, the tree root, folder settings, the options sheet,
// plug-ins, thumbnails, the cache and network drives. The document offers it every command routed
// to it (CKWDoc::SetCommands); it shows the dialogs of the layers above the document and hands the
// answers to the document.
#pragma once

#include "framework/Framework.h"

class CKWDoc;

class CKWDocCommands : public CCmdTarget
{
public:
    explicit CKWDocCommands(CKWDoc& document) : m_doc(document) {}
    // A new command target for the document, given to it.
    static void AttachTo(CKWDoc& document);

    // ---- the clipboard, the files and the outputs
    afx_msg void OnEditCopy();
    afx_msg void OnEditCut();
    afx_msg void OnEditPaste();
    afx_msg void OnFileCopyTo();
    afx_msg void OnFileMoveTo();
    afx_msg void OnUpdateEditPaste(CCmdUI* pCmdUI);
    afx_msg void OnFileDelete();
    afx_msg void OnFileRename();
    afx_msg void OnFileRenameMany();
    afx_msg void OnFileSaveImages();
    afx_msg void OnFileExtract();
    afx_msg void OnEditComment();
    afx_msg void OnFilePrint();
    afx_msg void OnToolHtmlCatalog();
    afx_msg void OnToolContactSheet();
    afx_msg void OnToolReport();
    afx_msg void OnUpdateNeedsSelection(CCmdUI* pCmdUI);
    afx_msg void OnUpdateNeedsDiskItems(CCmdUI* pCmdUI);

    // ---- listing, selection, settings and dialogs
    afx_msg void OnEditUndo() {}
    afx_msg void OnSaveCache();
    afx_msg void OnRemakeThumbs();
    afx_msg void OnSelectAll();
    afx_msg void OnInvertSelection();
    afx_msg void OnFilter();
    afx_msg void OnToggleArchive();
    afx_msg void OnToggleDownScan();
    afx_msg void OnToggleFolderShow();
    afx_msg void OnToggleSynchronous();
    afx_msg void OnTreeRoot();
    afx_msg void OnUpFolder();
    afx_msg void OnSaveFolderSettings();
    afx_msg void OnClearFolderSettings();
    afx_msg void OnOptions();
    afx_msg void OnPlugins();
    afx_msg void OnThumbSettings();
    afx_msg void OnListEdit();
    afx_msg void OnAppCall();
    afx_msg void OnMaintCache();
    afx_msg void OnNetConnect();
    afx_msg void OnNetDisconnect();
    afx_msg void OnNextFolder(UINT nID);
    afx_msg void OnUpdateHasItems(CCmdUI* pCmdUI);
    afx_msg void OnUpdateHasSelection(CCmdUI* pCmdUI);
    afx_msg void OnUpdateFilter(CCmdUI* pCmdUI);
    afx_msg void OnUpdateToggleArchive(CCmdUI* pCmdUI);
    afx_msg void OnUpdateToggleDownScan(CCmdUI* pCmdUI);
    afx_msg void OnUpdateToggleFolderShow(CCmdUI* pCmdUI);
    afx_msg void OnUpdateToggleSynchronous(CCmdUI* pCmdUI);
    afx_msg void OnUpdateTreeRoot(CCmdUI* pCmdUI);
    afx_msg void OnUpdateClearFolderSettings(CCmdUI* pCmdUI);
    afx_msg void OnUpdateMaintCache(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

private:
    // Inverts a listing switch and lists the location again.
    void ToggleListing(bool& setting);
    // A network-drive dialog's result: hint 13 on success, a message on a failure other than
    // cancelling.
    void TakeNetworkResult(DWORD result, const wchar_t* what);

    CKWDoc& m_doc;
};
