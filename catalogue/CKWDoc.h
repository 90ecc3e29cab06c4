// The application's one document: the current location and the items listed for it, the cursor
// and the selection, the listing and re-reading of a location, the settings that govern listing
// and drawing with the per-folder layouts, and the deletion and renaming of files. Views never
// read the disk: they ask for items by view index and hear of changes through update hints.
// Its members are all defined in this layer (catalogue/CKWDoc*.cpp). What shows the dialogs of the
// layers above lives there: the output walks of the selection (CKWDocPictureOutput) and the menu,
// key and tool-bar commands, handled by a command target that the main window's layer gives it
// (SetCommands). It calls on the main frame through DocumentHost.
#pragma once

#include "catalogue/CKWDocSettings.h"
#include "catalogue/CVirtualFolderList.h"
#include "catalogue/ItemSettings.h"
#include "catalogue/OptionsData.h"
#include "catalogue/VyxConfig.h"
#include "catalogue/VyxFileArray.h"

#include <memory>

class CacheFileWriter;
class CFileList;
class DocumentHost;
class VyxFile;

class CKWDoc : public CDocument, public CKWDocSettings
{
    DECLARE_DYNCREATE(CKWDoc)
public:
    CKWDoc();
    ~CKWDoc() override;
    static CRuntimeClass* GetThisClass() { return RUNTIME_CLASS(CKWDoc); }

    // ---- Location
    CString GetLocationPath() const;
    // The location itself for a plain folder, else the folder that holds it.
    CString GetFolderPath() const;
    // Empty for a plain folder, else the location's own name.
    CString GetLocationFileName() const;
    CString GetRealFolder() const;
    CString GetRealFileName() const;
    bool IsFolderLocation() const { return m_location.GetKind() == CVirtualFolder::KindPlainFolder; }
    bool IsNamedLocation() const { return m_location.GetKind() == CVirtualFolder::KindArchiveFile; }
    bool IsArchiveLocation() const { return m_location.GetKind() == CVirtualFolder::KindArchiveLocation; }
    const CVirtualFolder& GetLocation() const { return m_location; }
    CVirtualFolderList& GetVirtualFolders() { return m_virtualFolders; }

    // ---- Items, cursor and selection (view indexes)
    int GetItemCount() const { return m_items.GetCount(); }
    VyxFile* GetItem(int viewIndex);
    VyxFileArray::SelectedRange SelectedItems(SelectedFilter filter, int start = 0)
    {
        return m_items.Selected(filter, start);
    }
    VyxFile* GetItemByArrayIndex(int index) const;
    // The items themselves, for the writers that walk them.
    VyxFileArray& GetItemArray() { return m_items; }
    int GetItemIndexAt(int viewIndex) const;
    int GetViewIndexOf(const VyxFile* item, int start);
    // Searched from start, wrapping round; -1 when absent.
    int FindItem(const wchar_t* path, const wchar_t* archivePath, int start);
    // The first item whose cell holds the point; -1 when none.
    int HitTest(int x, int y);
    int GetCursorIndex() const { return m_cursorIndex; }
    bool IsCursorIndex(int viewIndex) const { return viewIndex == m_cursorIndex; }
    void SetCursorIndex(int viewIndex, CView* sender);
    void SelectItem(int viewIndex, bool select, CView* sender);
    void SetItemSelection(int viewIndex, bool select);
    void SelectAll();
    void DeselectAll();
    void SetAllSelection(bool select);
    int GetSelectedCount(bool recount) { return m_items.GetSelectedCount(recount); }
    int GetSelectedOutsideArchivesCount(bool recount) { return m_items.GetSelectedOutsideArchivesCount(recount); }
    // The main window's counts follow.
    void RemoveItem(int viewIndex)
    {
        m_items.RemoveAt(viewIndex);
        ScheduleStatusUpdate();
    }
    void SetOrderAt(int viewIndex, int arrayIndex) { m_items.SetOrderEntry(viewIndex, arrayIndex); }
    void ResetCantDrawFlags() { m_items.ResetCantDrawAll(); }
    void ReleaseAllPictures() { m_items.ResetImageAll(); }

    CSize GetThumbsSize() const { return ThumbsSize; }
    CSize GetDefaultThumbsSize() const { return DefaultThumbsSize; }
    void SetThumbsSize(int cx, int cy) { ThumbsSize = CSize(cx, cy); }
    void SetDefaultThumbsSize(int cx, int cy) { DefaultThumbsSize = CSize(cx, cy); }
    int GetScaleStep() const { return ScaleStep; }
    COLORREF GetBackColor() const { return m_backColor; }
    COLORREF GetTextColor() const { return m_textColor; }
    void SetBackColor(COLORREF colour) { m_backColor = colViewBackground = colour; }
    void SetTextColor(COLORREF colour) { m_textColor = colViewText = colour; }
    // Set while the item list is emptied, and around deletions and layout saving: views leave
    // the items alone meanwhile.
    bool IsUpdating() const { return m_updating != 0; }
    void SetUpdating(bool updating) { m_updating = updating ? 1 : 0; }

    // The view after the given one (the first after the last) becomes the main frame's active view.
    void ActivateView(CView* view);
    // The first view whose window class is the name (63 characters compared); null when none.
    CView* FindViewByClassName(const wchar_t* name) const;
    // Asks the main frame for a delayed refresh of the folder (the location's folder when null).
    void NotifyFolderChanged(const wchar_t* path = nullptr);
    // The main frame, handed over once where it gives the document its commands (null: none, as
    // before and after the frame's life); the document asks nothing of any other window.
    void SetHost(DocumentHost* host);
    DocumentHost* GetHost() const { return m_host; }

    // ---- Commands: the target that handles the menus', keys' and tool bars' commands of the
    // document, offered each command the document is routed (owned; null: none handled).
    void SetCommands(std::unique_ptr<CCmdTarget> commands);
    CCmdTarget* GetCommands() const { return m_commands.get(); }
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // ---- Opening and refreshing; the scan's result (0 done, 2 aborted)
    int OpenFolder(const CVirtualFolder& location, CView* sender);
    // Re-reads the location and keeps the items still there.
    int Refresh(bool abortable);
    void ClearItems(bool deleteItems, bool updateCountPane = true);
    // Selected items outside archives whose files are gone are removed, with their notes.
    void RemoveMissingSelectedItems();
    // With writeLater, the cache files are left to the writer given back there (null when there
    // are none), not written here.
    void SaveThumbnailsToCache(std::unique_ptr<CacheFileWriter>* writeLater = nullptr);
    // The thumbnails the items hold go into their cache folders (in memory).
    void StoreItemThumbnails();
    // When the program closes: the thumbnail cache's work of the list's emptying done now, its
    // files left to the writer given back (null when none is to be written); the emptying at the
    // close then leaves the cache alone.
    std::unique_ptr<CacheFileWriter> TakeCacheForClosing();
    BOOL OnNewDocument() override;
    // Records the path; a file named by it opens in a picture window after the next OpenFolder.
    BOOL OnOpenDocument(LPCWSTR lpszPathName) override;
    void DeleteContents() override;
    void Serialize(CArchive& ar) override;
    const CString& GetPendingOpenPath() const { return m_pendingOpenPath; }

    // ---- Settings
    void LoadSettings();
    void SaveSettings();
    void FillOptions(OPTIONSDATA& options) const;
    void ApplyOptions(const OPTIONSDATA& options);
    // After OK in the options sheet: the record goes into the document, the views hear what
    // changed (colours: hint 14; tree: hint 13), the watchers restart and the settings are saved.
    void TakeOptions(const OPTIONSDATA& options);
    // Hint 13 with the address of "TreeRoot".
    void AnnounceTreeSettings();

    // The effective view colours from the stored ones (the system's when both are equal); the
    // system image lists take the background.
    void ApplyViewColours();

    // ---- Layout
    // The record given (the document's own when null) from the current settings.
    void GetLayout(THUMBSDATA* record);
    // The record given (the document's own when null) into the settings; no hint, no save.
    void ApplyFolderLayout(const THUMBSDATA* record);
    // A layout for the whole program: settings, items, saved, repainted when it shows.
    void ApplyLayout(const THUMBSDATA& record);
    // The current layout as the location's own.
    void SaveFolderLayout();
    const THUMBSDATA& GetOwnLayout() const { return m_ownLayout; }

    // ---- Deleting and renaming files of the selection (archive members are never touched)
    // A selected item whose own name is gone while a name differing from it only in letter case
    // leads to another file is never deleted, renamed or moved: the user is told (below).
    void DeleteSelectedFiles(bool noConfirm);
    void ShellDeleteSelected(bool silent);
    // One message naming each such item of the selection and the file its name now leads to;
    // the number of them.
    int TellSelectedTwinRefusals();
    // False for archive members, missing files, unchanged names, and names that would leave the
    // folder, that no file may have, that the system would change, or that are too long (more
    // than 255 characters, or a path of MAX_PATH or more): such a name is refused, never cut.
    // The file is never put over another; its note goes with it. A refused rename says why in
    // reason when given: the system's text, or the names whose note section the new name shares.
    bool RenameItem(VyxFile* item, const wchar_t* newName, CString* reason = nullptr);
    // What the user is told of a refused rename: the message, the file, its new name and why.
    static CString RenameFailureText(const wchar_t* path, const wchar_t* newName, const CString& reason);
    // Hint 8 with the item's view index, when the item is listed.
    void AnnounceItemChanged(const VyxFile* item);

    // Scale mode of items drawn on contact sheets (the document's own is never changed).
    int m_sheetScaleMode = 10;
    // IDYES replaces the file, IDNO leaves it (and the file is skipped), IDCANCEL stops.
    virtual int AskToReplace(const wchar_t* path);

    // ---- The clipboard and transfers
    // The selection put on the clipboard: copy (the disk items' files, and the cursor item's picture
    // when the settings want it) or cut (the disk items' files, to be moved when pasted). False
    // when the clipboard would not take it; it is then left empty and the user told.
    bool PlaceSelectionOnClipboard(bool cut);

    // Items are looked up in the thumbnail cache, as the location was listed.
    bool IsListedFromCache() const { return m_listingCacheFlag; }

protected:
    // The main frame's thumbnail view takes the background colour; its plug-in set box is filled
    // again. Nothing without a main frame.
    void ShowBackColorInFrame() const;
    void RefillFramePluginSets() const;
    // Announces {0, old}, clamps the new index to the list, then announces {1, new}.
    void MoveCursor(int oldIndex, int newIndex, CView* sender);
    void FillScanRequest(CFileList& request);
    // lookUpLayout: the folder's own layout is looked up once the folder is listed, before its items
    // are taken (the listing tells whether the folder holds one).
    int RunScan(CFileList& request, bool lookUpLayout = false);
    // 1 when the item was taken into the list; 0 when it was merged into an existing one.
    int AddScannedItem(VyxFile* item, bool merge);
    void DropUnloadableItems();
    void DropItemsNotMatchingPatterns(bool withArchives);
    // The item settings of the listing (at each opening), and of the sharpening, handed to the
    // items with the rest as they stand.
    void HandItemSettings();
    void HandSharpenSettings();
    void LookUpFolderLayout();
    void PushDrawingSettings(VyxFile& item) const;
    void ScheduleStatusUpdate() const;
    void UpdateCountPane() const;
    void OpenPendingPicture();

    VyxFileArray m_items;
    int m_cursorIndex = -1;
    CVirtualFolder m_location;
    THUMBSDATA m_ownLayout = {};
    // The location's own record is in force (the settings hold it, not the program's layout).
    bool m_folderLayoutInForce = false;
    bool m_listingCacheFlag = false;
    int m_updating = 1;
    bool m_cacheTakenForClosing = false;
    COLORREF m_backColor = 0;
    COLORREF m_textColor = 0;
    CString m_pendingOpenPath;
    CVirtualFolderList m_virtualFolders;
    // Where the next merge of a refresh starts looking: the item after the last one merged.
    int m_mergeStart = 0;
    std::unique_ptr<CCmdTarget> m_commands;
    DocumentHost* m_host = nullptr;
    // What the items load and draw by, as last handed to them.
    ItemSettings m_itemSettings;
};
