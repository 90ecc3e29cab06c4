// The full-screen slideshow: a borderless window over one monitor that shows the document's files
// as a grid of columns x rows pictures, one page of the list at a time. It pages with the keys,
// the mouse buttons, the wheel, the screen's edge strips and the position bar, advances by itself
// when playing, and reads the next page in the direction of travel while the current one shows.
// Each cell has three engines (three banks: the current page, the next and the previous), so
// paging back and forth reuses pictures already read. At most one slideshow is open: the main
// frame and the picture windows find it in the picture-window list.
#pragma once

#include "foundation/VyxSharedMemory.h"
#include "framework/Framework.h"
#include "catalogue/COnePicture.h"
#include "viewer/SlidePositionBar.h"
#include "viewer/SlideShowSettings.h"

#include <memory>
#include <vector>

class CKWDoc;

// Its settings ("SlideShow") are read at construction and written when the window goes.
class VSlideShowDlg : public CDialog, public SlideShowSettings
{
public:
    // Pointer states.
    enum {
        PointerIdle = 0,
        PointerOverCell = 1,
        PointerPressed = 2,
        PointerDragging = 3,
        PointerCorner = 4,
        PointerBar = 5,
        PointerLeftStrip = 6,
        PointerRightStrip = 7
    };
    enum { TimerAdvance = 1, TimerLongPress = 2, TimerLookAhead = 3, TimerFirstCell = 10, TimerInterval = 55 };
    // The grid's bounds, as the options page offers them.
    static constexpr int MaxColumns = 64;
    static constexpr int MaxRows = 64;

    explicit VSlideShowDlg(CWnd* pOwner = nullptr);
    ~VSlideShowDlg() override;

    void SetDocument(CKWDoc* pDocument);
    void SetAutoPlay(BOOL bPlay) { m_bAutoPlay = bPlay; }
    void SetIndex(int nIndex);
    // The view index of the file in the first cell.
    int GetIndex() const { return m_nIndex; }
    void SetSleepTime(int nMilliseconds) { SleepTime = nMilliseconds; }
    // Negative: the monitor that holds the window.
    void SetMonitor(int nMonitor) { m_nMonitor = nMonitor; }
    // Modeless, owned by pOwner, which hears WMU_SLIDESHOWENDED when the slideshow closes.
    BOOL Create(CWnd* pOwner);
    void SetLocked(BOOL bLocked);
    // Repaints and drops every picture read, in all three banks.
    void Reload();
    // After the document's list changed.
    void UpdatePositionBar();

    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // ---- Paging arithmetic (cells per page, files in the list)
    static int LastPageStart(int nCells, int nCount);
    static int NextIndex(int nIndex, int nCells, int nCount, BOOL bRepeat);
    static int PrevIndex(int nIndex, int nCells, int nCount, BOOL bRepeat);
    // The rectangle of the cell in column c and row r of a screen that size, mirrored as asked.
    static CRect CellRect(int width, int height, int columns, int rows, int c, int r, BOOL bMirrorLR, BOOL bMirrorUD);

    // ---- State
    BOOL IsLocked() const { return m_bLocked; }
    BOOL IsPlaying() const { return m_timers[TimerAdvance] != 0; }
    CWnd* GetOwnerWindow() const { return m_pOwnerWnd; }
    int GetColumns() const { return m_nColumns; }
    int GetRows() const { return m_nRows; }
    int GetCellCount() const { return m_nCells; }
    int GetBank() const { return m_nBank; }
    int GetDirection() const { return m_nDirection; }
    int GetPointerState() const { return m_nPointerState; }
    BOOL GetOverlay() const { return m_bOverlay; }
    const SlidePositionBar& GetPositionBar() const { return m_positionBar; }
    const CRect& GetScreenRect() const { return m_rcScreen; }
    // The engine of a cell in a bank; null outside the grid.
    COnePicture* GetEngine(int nBank, int nCell) const;
    // Bytes of every page the grid holds.
    ULONGLONG GetHeldBytes() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;

    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnFirst();
    afx_msg void OnPrevious();
    afx_msg void OnPlay();
    afx_msg void OnNext();
    afx_msg void OnLast();
    afx_msg void OnOptions();
    afx_msg void OnZoomIn();
    afx_msg void OnZoomOut();
    afx_msg void OnZoomReset();
    afx_msg void OnRotateRight();
    afx_msg void OnRotateLeft();
    afx_msg void OnOverlay();
    afx_msg void OnGridSize(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    int GetFileCount() const;
    VyxFile* GetFile(int nIndex) const;
    void Layout();
    void FreeGrid();
    void ApplySettings(COnePicture& engine) const;
    void KillCellTimers();
    void StartTimer(int nSlot);
    void StopTimer(int nSlot);
    void DropAllPictures();
    // The engine gives up what it holds when that is another file than the one wanted.
    static void ForgetOtherFile(COnePicture& engine, const VyxFile* file);
    void DrawCell(int nCell);
    // The file's picture read when needed, drawn, and its animation started.
    void ShowCellFile(CDC* pDC, int nCell, VyxFile* file, DWORD now);
    // What a cell shows before its picture is read: the thumbnail the item holds, fitted; false
    // (nothing drawn) when there is none to show.
    bool DrawPreview(CDC* pDC, const COnePicture& engine, const VyxFile* file) const;
    // Reads and draws the next cell of the page still showing its preview; false when none is left.
    bool FillPendingCell();
    void DrawOverlay(CDC* pDC);
    int HitTest(CPoint point);
    void ShowStateCursor();
    void OpenMenu(CPoint point);
    void NextPage();
    void PrevPage();
    void JumpTo(int nIndex);
    void StopPlaying();
    // Every engine of the grid, each bank's cells in turn.
    template <class Action> void ForEachEngine(Action action) const;

    CWnd* m_pOwnerWnd;
    BOOL m_bLocked = FALSE;
    BOOL m_bDocument = FALSE;
    CKWDoc* m_pDocument = nullptr;
    HACCEL m_hAccel = nullptr;
    UINT_PTR m_timers[10] = {};
    BOOL m_bAutoPlay = FALSE;
    int m_nIndex = 0;
    SlidePositionBar m_positionBar;
    CBrush m_brush;
    int m_nColumns = 1;
    int m_nRows = 1;
    std::unique_ptr<COnePicture[]> m_grid;
    int m_nCells = 0;
    int m_nBank = 0;
    int m_nDirection = 1;
    int m_nLookAhead = 0;
    // Cells of the current page painted before their picture was read.
    std::vector<bool> m_pending;
    DWORD m_dwLastAdvance = 0;
    DWORD m_dwRightPress = 0;
    int m_nMonitor = -1;
    CRect m_rcScreen;
    int m_nPointerState = PointerIdle;
    int m_nTarget = -1;
    CPoint m_ptLast;
    CPoint m_ptPress;
    BOOL m_bLeftDown = FALSE;
    BOOL m_bRightDown = FALSE;
    BOOL m_bSwapped;
    BOOL m_bOverlay;
    VyxSharedMemory m_block;
    BOOL m_bClosing = FALSE;
    BOOL m_bModeless = FALSE;
    // Set when nobody is left to delete the object: it goes with its window.
    BOOL m_bDeleteSelf = FALSE;
};
