// A picture window: a top-level frame that shows one file of the document in a picture view, with
// its own menu, tool bar, status bar and accelerators. It follows the document: it shows the file
// at a document index, and becomes locked when that file is no longer in the document's list.
// Its members are defined by concern in COneWnd.cpp, COneWndShow.cpp, COneWndFiles.cpp and
// COneWndCommands.cpp.
#pragma once

#include "controls/VyxFrameWndEx.h"
#include "foundation/VyxSharedMemory.h"
#include "script/VyxVariantArray.h"
#include "viewer/COneToolBar.h"
#include "catalogue/COneView.h"
#include "catalogue/OneViewSettings.h"

class CKWDoc;

// The colour-adjustment dialog's result: wParam a packed DIB that becomes the window's.
#define WMU_CONTRASTRESULT 0x7F4

class COneWnd : public VyxFrameWndEx
{
    DECLARE_DYNCREATE(COneWnd)
public:
    COneWnd();
    ~COneWnd() override;

    // nIndex < 0: the current index. The document's item shown, or null when there is none.
    VyxFile* ShowPicture(int nIndex);
    // Looks the shown file up in the document again; the locked flag.
    BOOL Relocate();
    int GetFitSize() const { return m_settings.FitSize; }
    void UpdateTitle(const VyxFile* item);
    // Panes 0 and 1: the view's display size and its zoom.
    void UpdateSizePanes();
    void RecalcLayout(BOOL bNotify = TRUE) override;
    void FitWindowToPicture(int width, int height, BOOL bRepaint);
    // The window width that shows every title of the menu bar; 0 while the menu bar is hidden.
    // A window fitted to a narrower picture is that wide.
    int GetMenuTitlesWidth();
    // With "FitSize" 1 the window takes the size of the view's picture. A hidden window's bars
    // keep one row whatever its width, so a window is fitted again once it shows.
    void FollowPicture();
    BOOL DestroyWindow() override;

    // The window text: "**locked** title", or "title (index + 1/count)", then " [page + 1/pages]"
    // when the file has more than one page.
    static CString FormatWindowText(const CString& title, BOOL bLocked, int nIndex, int nCount, int nPage, int nPages);
    // The zoom steps of a "ZoomSteps" text ({1} when it has none) and the index of the 100 % step.
    static void ParseZoomSteps(const wchar_t* text, VyxVariantArray& steps, int& nHundredStep);
    // The last activation state (WA_...) of any picture window.
    static UINT GetActivateState() { return s_nActivateState; }
    // The zoom after a zoom in (out) from the view's zoom; nStep is the current step, moved along.
    static double ZoomInValue(const VyxVariantArray& steps, int& nStep, double viewZoom);
    static double ZoomOutValue(const VyxVariantArray& steps, int& nStep, double viewZoom);
    // Where stepping to nIndex lands in a list of nCount files: wrapping round with repeat,
    // otherwise held at the ends.
    static int StepTarget(int nIndex, int nCount, BOOL bRepeat);

    // Saves the page shown as the filter index of the save dialog says (1 BMP, 2 JPEG, 3 PNG,
    // 4 TIFF, 5 GIF): at its own pixel size, never the display's, turned and edited as shown. A
    // JPEG saved from a JPEG keeps its Exif, made true of the pixels written. The picture is
    // written whole beside the target first and then put in its place, so a failure leaves an
    // existing file as it was. FALSE on failure.
    BOOL SavePageAsShown(const wchar_t* path, int nFilterIndex);

    COneView* GetView() const { return m_pView; }
    int GetIndex() const { return m_nIndex; }
    // 0 off, 1 playing, 2 paused while the left button is held.
    int GetAutoPlayState() const { return m_nAutoPlay; }
    int GetZoomStep() const { return m_nZoomStep; }
    int GetAngle() const { return m_nAngle; }
    BOOL IsTopMost() const { return m_bTopMost; }
    BOOL IsLocked() const { return m_bLocked; }
    BOOL IsSynchronized() const { return m_bSynchronized; }
    OneViewSettings& GetSettings() { return m_settings; }
    CStatusBar& GetStatusBar() { return m_wndStatusBar; }

    CWnd* m_pOwner = nullptr;
    CKWDoc* m_pDocument = nullptr;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnDestroy();
    afx_msg void OnCloseAll();
    afx_msg void OnViewMenuBar();
    afx_msg void OnSynchronize();
    afx_msg void OnUpdateSynchronize(CCmdUI* pCmdUI);
    afx_msg LRESULT OnPictureWndBroadcast(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSlideshowEnded(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnContrastResult(WPARAM wParam, LPARAM lParam);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);

    // ---- commands (their update rules beside them)
    afx_msg void OnFileCopy();
    afx_msg void OnFileMove();
    afx_msg void OnFileDelete();
    afx_msg void OnFileSave();
    afx_msg void OnFilePrint();
    afx_msg void OnUpdateFileMove(CCmdUI* pCmdUI);
    afx_msg void OnUpdateFilePrint(CCmdUI* pCmdUI);
    afx_msg void OnZoomIn();
    afx_msg void OnZoomOut();
    afx_msg void OnZoomOriginal();
    afx_msg void OnUpdateZoom(CCmdUI* pCmdUI);
    afx_msg void OnRotateLeft();
    afx_msg void OnRotateRight();
    afx_msg void OnFlip(UINT nID);
    afx_msg void OnWallpaper();
    afx_msg void OnClipboard();
    afx_msg void OnComment();
    afx_msg void OnSelect();
    afx_msg void OnUpdateSelect(CCmdUI* pCmdUI);
    afx_msg void OnUnsharp();
    afx_msg void OnReduce();
    afx_msg void OnUpdateReduce(CCmdUI* pCmdUI);
    afx_msg void OnGray();
    afx_msg void OnContrast();
    afx_msg void OnUpdateDisplayedPage(CCmdUI* pCmdUI);
    afx_msg void OnUpdateAutoPlayOff(CCmdUI* pCmdUI);
    afx_msg void OnFirst();
    afx_msg void OnPrevious();
    afx_msg void OnNext();
    afx_msg void OnLast();
    afx_msg void OnUpdateBackward(CCmdUI* pCmdUI);
    afx_msg void OnUpdateForward(CCmdUI* pCmdUI);
    afx_msg void OnAutoPlay();
    afx_msg void OnUpdateAutoPlay(CCmdUI* pCmdUI);
    afx_msg void OnPage(UINT nID);
    afx_msg void OnUpdatePage(CCmdUI* pCmdUI);
    afx_msg void OnCustomizeToolBar();
    afx_msg void OnOptions();
    afx_msg void OnFitMode(UINT nID);
    afx_msg void OnUpdateFitMode(CCmdUI* pCmdUI);
    afx_msg void OnScaleMode(UINT nID);
    afx_msg void OnUpdateScaleMode(CCmdUI* pCmdUI);
    afx_msg void OnRepeat();
    afx_msg void OnUpdateRepeat(CCmdUI* pCmdUI);
    afx_msg void OnClose();
    afx_msg void OnNextWindow();
    afx_msg void OnPreviousWindow();
    afx_msg void OnMainWindow();
    afx_msg void OnTile();
    afx_msg void OnTopMost();
    afx_msg void OnUpdateTopMost(CCmdUI* pCmdUI);
    afx_msg void OnFullScreen();
    afx_msg void OnUpdateFullScreen(CCmdUI* pCmdUI);
    afx_msg void OnScroll(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    friend class COneWndList;
    // A window destroyed without the override still leaves the list.
    void LeaveList();
    // A window that goes closes the slideshow it opened first.
    void CloseOwnSlideshow();
    BOOL IsOwnerWindow() const;
    static BOOL IsBroadcastCommand(UINT nID);
    VyxFile* GetShownItem() const { return m_pView ? m_pView->GetItem() : nullptr; }
    // The view's client size once FitWindowToPicture has grown the window as far as the work area
    // lets it; empty while maximised.
    CSize GetFollowRoom();
    HGLOBAL GetDisplayedPage() const { return m_pView ? m_pView->GetDisplayPage() : nullptr; }
    int GetFileCount() const;
    // The zoom the zoom commands step from (the view's as shown); nStep follows a picture shown
    // smaller than its zoom asks.
    double TakeShownZoom(int& nStep) const;
    // Re-shows with the zoom: fit mode 0, unless the window follows its picture.
    void ApplyZoom(double zoom);
    // The edited page (a new block, or null when the edit failed) takes the displayed page's
    // place; the edit is kept, to be made again on the page at its own size when it is saved.
    void ReplaceDisplayedPage(HGLOBAL dib, COnePicture::PageEdit edit);
    // nIndex, or as many files on from the current one.
    void ShowStep(int nIndex, BOOL bFromCurrent);
    void StopAutoPlay();
    // Copies or moves the shown file where the user says, through the main frame.
    void TransferShownFile(BOOL bMove);
    // After the shown file left its place: its note goes, and a locked window closes; otherwise
    // the document drops the item and its views hear of the removal, before the redraw or after.
    void ForgetShownFile(VyxFile& item, BOOL bRemovedFirst);
    void StepOnClick(UINT nCommand);
    void SendToOwner(UINT message, WPARAM wParam, LPARAM lParam);
    // Hints to the document's views; the object is the value itself or points at the text.
    void Announce(LPARAM lHint, const void* pObject);

    CString m_strTitleFormat;
    BOOL m_bTopMost;
    BOOL m_bSynchronized = FALSE;
    BOOL m_bLocked = FALSE;
    int m_nIndex = -1;
    CString m_strTitle;
    OneViewSettings m_settings;
    int m_nAngle = 0;
    VyxVariantArray m_zoomSteps;
    int m_nHundredStep = 0;
    int m_nZoomStep = 0;
    int m_nAutoPlay = 0;
    DWORD m_dwAutoPlayStart = 0;
    UINT_PTR m_nAutoPlayTimer = 0;
    BOOL m_bSwapped;
    VyxSharedMemory m_block;
    COneToolBar m_wndToolBar;
    CStatusBar m_wndStatusBar;
    COneView* m_pView = nullptr; // deletes itself with its window
    // Shift with the Delete key's press, for the delete it gives on release (-1: none pending).
    int m_nDeleteKeyShift = -1;
    // Set by PostNcDestroy, so a window whose creation failed is deleted exactly once.
    bool* m_pDeleted = nullptr;

    static UINT s_nActivateState;
};
