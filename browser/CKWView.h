// The thumbnail view, the document's main view: a scrolling grid of cells, one per item in view
// order, painted through the items' cell renderer. Thumbnails are made in three passes that run
// in small steps from the idle loop (the cells on show, then their thumbnails, then, when asked
// for, every item's); the view keeps the cursor and the selection in step with the document,
// scrolls by lines, pages, wheel and keys, activates items and carries the context menus and the
// view's own commands.
#pragma once

#include "browser/ThumbGridLayout.h"
#include "browser/VAppCall.h"
#include "browser/VyxDropTarget.h"
#include "image/DibSection.h"

#include <functional>
#include <memory>
#include <vector>

class CKWDoc;
class CMainFrame;
class VyxFile;

class CKWView : public CScrollView
{
    DECLARE_DYNCREATE(CKWView)
public:
    // Pass states.
    enum { PassNone = 0, PassVisible = 1, PassSecond = 2, PassAll = 3 };
    // Results of a pass step: more work in this pass, handed over to the next pass, nothing left,
    // no client area.
    enum { StepMore = 0, StepHandedOver = 1, StepDone = 2, StepNoClient = -1 };
    // Bits of the whole-view bitmap's per-item flags.
    enum { DrawnVisible = 1, DrawnLater = 2, DrawnAny = 4 };
    // The mouse-button flag word.
    enum { ButtonLeft = 1, ButtonMiddle = 2, ButtonRight = 4, ButtonLeftDouble = 16 };
    // Flags of a selection request.
    enum { SelectShift = 4, SelectCtrl = 8 };

    CKWView();
    ~CKWView() override;

    CKWDoc* GetDocument() const;
    const ThumbGridLayout& GetLayout() const { return m_layout; }
    // Lays the grid out for the current client area and document; the change mask.
    int Relayout();

    // ---- scrolling (vertical position in pixels)
    int GetPosition() const { return m_position; }
    // Clamped; moves the scroll bar. True when the position changed.
    bool SetPosition(int position);
    // The scroll offsets in pixels: the horizontal from the scroll bar, the vertical the view's own.
    CPoint GetScrollOffset() const;
    // Scrolls so that the item's cell shows; true when it scrolled.
    bool EnsureVisible(int index);
    // Hint 7 with the first item of the top row, while "SyncJump" is on.
    void AnnounceTopItem();

    // ---- cursor and selection
    int GetCursor() const { return m_cursor; }
    int GetAnchor() const { return m_anchor; }
    // Moves the cursor to target as the keys do (flags SelectShift, SelectCtrl; toggle for Space).
    void KeySelect(int target, int flags, bool toggle);
    // A click on the item with the mouse message's flags, at a point of the view.
    void ClickSelect(int index, int flags, CPoint viewPoint);
    // The view index under a point of the client area, -1 for none.
    int HitTestClient(CPoint clientPoint) const;

    // ---- thumbnail passes
    // How many new records of its location the passes let gather before they are
    // written ahead (a test's seam; 2,000 in the program).
    static void SetWriteAheadRecords(INT_PTR records);
    int GetPassState() const { return m_passState; }
    // One step of the current pass into the target (view pixels minus offset); StepMore etc.
    int RunPassStep(CDC* target, CPoint offset);
    // The idle step of hint 5.
    void IdleStep();
    bool HasWholeViewBitmap() const { return m_wholeView != nullptr; }
    BYTE GetDrawnFlags(int index) const;
    // Draws one cell again where it shows (hints 4, 8, 11).
    void RedrawCell(int index);

    // ---- activation and commands
    // The activation rule for an item (hint 12).
    void Activate(int index);
    // The item's file with the shell's default verb; false when it does not exist.
    static bool OpenByAssociation(const VyxFile* item);
    // A file name of at most 28 characters as the menus show it (12 + "..." + 13).
    static CString ShortenName(const CString& name);
    // The name shortened, as a menu item shows it (its ampersands kept).
    static CString MenuName(const CString& name);
    // The thumbnail size asked of the view (0x7EF-0x7F1), limited and raised as the view does.
    void SetThumbnailSize(int width, int height);
    // 0x7F1: n columns over the client (0 for the settings' size).
    void FitColumns(int columns);

    COLORREF GetBackColor() const { return m_background; }
    void SetBackColor(COLORREF colour);

    // The drag of the selected items from this view; the drop effect the target chose.
    DROPEFFECT StartDrag(UINT nFlags, CPoint point);

    // Drops go into the folder item under the pointer, else into the document's folder.
    DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    void OnDragLeave() override;
    DROPEFFECT OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList,
                        CPoint point) override;
    CString DropFolderAt(CPoint clientPoint) const;

    // Opens a path with the shell's default verb; tests set their own.
    static std::function<void(const CString&)> ShellOpen;
    // How long a step of the thumbnail passes may run before a picture's decode gives way and
    // goes on at the next step (ms); tests set their own.
    enum { DefaultStepAllowance = 40 };
    static DWORD s_stepAllowance;

protected:
    BOOL DestroyWindow() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnDraw(CDC* pDC) override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg LRESULT OnPassStep(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPreviousPage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNextPage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLarger(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSmaller(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnColumns(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNothing(WPARAM wParam, LPARAM lParam);
    afx_msg void OnViewPicture();
    afx_msg void OnUpdateViewPicture(CCmdUI* pCmdUI);
    afx_msg void OnReload();
    afx_msg void OnUpdateReload(CCmdUI* pCmdUI);
    afx_msg void OnOpenByAssociation();
    afx_msg void OnActivateCursor();
    afx_msg void OnPictureWindow();
    afx_msg void OnWallpaper();
    afx_msg void OnFullScreen();
    afx_msg void OnUpdateCursorItem(CCmdUI* pCmdUI);
    afx_msg void OnRefresh();
    DECLARE_MESSAGE_MAP()

private:
    struct PassCursor
    {
        int index = 0;
        int x = 0;
        int y = 0;
    };

    CMainFrame* GetMainFrame() const;
    void Announce(LPARAM lHint, CObject* pHint, CView* pSender);
    // Gives the base class the scroll sizes in units when they changed.
    void ApplyScrollSizes();
    void RebuildSurfaces();
    void FreeSurfaces();
    void RestartVisiblePasses();
    void RestartWholeListPass();
    PassCursor FirstVisibleCursor() const;
    void Advance(PassCursor& cursor) const;
    int RunVisiblePass(CDC* target, CPoint offset);
    int RunSecondPass(CDC* target, CPoint offset);
    int RunWholeListPass();
    // The cache images of the items from first up to last (not included) still to be looked up
    // are read in one pass over the cache file before their cells ask for them one by one.
    void ReadCacheAhead(int first, int last);
    // The whole-list pass's percentage to the frame's progress pane, at most a few times a second
    // (always when last).
    void ReportProgress(int percent, bool last);
    // True when the item's cache file is still being read: waited for a little, to be asked again.
    static bool WaitForCache(const VyxFile& item);
    // A thumbnail a pass made goes to the cache at once, its location's records written ahead;
    // false when that must wait for the cache (the step then comes back to the item).
    static bool StoreMadeThumbnail(VyxFile& item);
    // Draws an item's cell at a view position into the target (minus offset) and the whole-view
    // bitmap, with the cursor frame for the cursor item.
    void DrawItemCell(VyxFile* item, int index, CPoint cell, CDC* target, CPoint offset, int mode, BYTE drawnFlag);
    void MarkDrawn(int index, BYTE flags);
    void ScrollTo(int position);
    // The grid's keys (arrows, pages, Home, End, Space, Tab, Enter); false for any other key.
    bool HandleKey(UINT key);
    // PageUp (-1) and PageDown (1) with the modifier flags of a key.
    void PageKey(int sign, int flags);
    void SelectRange(int from, int to, bool select);
    // A press on an item selects as a click does (flags added) and, with a capture mode, takes
    // the mouse; beside every item, or while a cell is drawn, default handling only. keepChosen:
    // a selected item only becomes the cursor.
    void PressItem(UINT nFlags, CPoint point, int flags, int captureMode, bool keepChosen = false);
    void EndCapture();
    void SelectOnly(int index);
    void ShowShellMenu(CPoint screenPoint);
    void ShowItemMenu(CPoint screenPoint);
    void TrackAndPost(CMenu& popup, CPoint screenPoint);
    void ReadBackground();
    void WriteSettings();

    ThumbGridLayout m_layout;
    // The scroll sizes last given to the base class, in units.
    CSize m_unitTotal{0, 0};
    CSize m_unitPage{0, 0};
    CSize m_unitLine{0, 0};
    int m_position = 0;
    int m_savedPosition = -1;

    int m_cursor = -1;
    int m_anchor = -1;
    bool m_pending = false;
    int m_buttons = 0;
    bool m_shellMenuChord = false;
    int m_captureMode = 0;
    HCURSOR m_pointerCursor = nullptr;

    COLORREF m_background;
    std::unique_ptr<CDibSection> m_wholeView;
    std::vector<BYTE> m_drawnFlags;
    CDibSection m_clientSurface;
    bool m_drawing = false;
    bool m_initialised = false;

    int m_passState = PassNone;
    PassCursor m_passCursors[4];
    // The whole-list pass read the cache ahead up to this index (not included).
    int m_readAheadUntil = 0;
    int m_progressShown = 0;
    DWORD m_progressTick = 0;

    VAppCall m_appCall;
    COleDropTarget m_dropTarget;
    VyxDropTarget m_drop;
    // "SyncFileCount", read and kept; nothing depends on it.
    int m_syncFileCount;
};
