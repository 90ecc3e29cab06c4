// Helpers of the tests of the kit's frames and bars: the kit's application base in place of the
// test application, a customisable tool bar with a fixed table, and SDI and MDI frames of the
// kit that log the commands they receive.
#pragma once

#include "common/ControlTestUtil.h"
#include "ControlsTestRes.h"
#include "controls/CToolBarEx.h"
#include "controls/VyxFrameWndEx.h"
#include "controls/VyxMDIChildWndEx.h"
#include "controls/VyxMDIFrameWndEx.h"
#include "controls/VyxWinAppEx.h"

#include <set>
#include <vector>

class CKitTestApp : public VyxWinAppEx
{
public:
    void SetVersionClass(int nClass) { m_nWinVerClass = nClass; }
    void SetFlatMenu(BOOL bFlat)
    {
        m_bUIEffects = bFlat;
        m_bFlatMenu = bFlat;
    }
    void SetMenuAnimation(BOOL bOn) { m_bMenuAnimation = bOn; }
    int MenuImageCount() { return GetMenuImageList()->GetImageCount(); }

    // The images a program adds when menus first ask for them (command 900 at the preview bar's
    // second picture), when given; how often they were asked for.
    bool m_giveImages = false;
    int m_imageLoads = 0;

protected:
    void LoadMenuImages() override;
};

// While it lives, AfxGetApp() is a CKitTestApp sharing the test application's profile.
class ScopedKitApp
{
public:
    ScopedKitApp();
    ~ScopedKitApp();
    ScopedKitApp(const ScopedKitApp&) = delete;
    ScopedKitApp& operator=(const ScopedKitApp&) = delete;
    CKitTestApp* operator->() { return m_app; }
    CKitTestApp* Get() { return m_app; }

private:
    CWinApp* m_previousApp;
    LPCWSTR m_previousName;
    CWinThread* m_previousThread;
    CKitTestApp* m_app;
};

// Eight buttons in the table (all but the last two on the bar at first): images of the preview
// bar, the large test bitmap for large icons.
class CKitTestToolBar : public CToolBarEx
{
public:
    static const int kTableSize = 9;
    // The table's commands in order (0 for the separator).
    static std::vector<UINT> TableIds();

    void Init() override;
    BOOL HasButtonText(UINT nID) const override { return m_noText.count(nID) == 0; }
    BOOL IsTextOptionAvailable(int nOption) const override { return nOption != m_nUnavailableText; }

    std::set<UINT> m_noText;
    int m_nUnavailableText = -1;
    HGLOBAL SavedState() const { return m_hSavedState; }
    // The commands on the bar from left to right (0 for separators).
    std::vector<UINT> ButtonIds();
};

// Records the commands of the kit's tests that reach a frame, and enables them.
class CCommandLog
{
public:
    std::vector<UINT> commands;
    BOOL Route(UINT nID, int nCode, void* pExtra);
};

class CKitTestFrame : public VyxFrameWndEx
{
public:
    // A visible frame of that width with the test menu, and the tool bar as the second band.
    static CKitTestFrame* Make(int width, BOOL bToolBar = TRUE);
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    CKitTestToolBar m_wndToolBar;
    CCommandLog m_log;
    // WM_INITMENUPOPUP seen, in order (the popup menus).
    std::vector<HMENU> m_popups;

protected:
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    DECLARE_MESSAGE_MAP()
};

class CKitTestMDIFrame : public VyxMDIFrameWndEx
{
public:
    static CKitTestMDIFrame* Make();
    // A child with the child menu, titled; null on failure.
    VyxMDIChildWndEx* NewChild(LPCWSTR title);
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    CCommandLog m_log;
};

// Gives the band of the bar with that id a width in the frame's rebar (the last band of the row
// takes what the others leave).
void SetBandWidth(CFrameWnd* frame, CReBarCtrl& rebar, UINT nBarID, int cx);
// Sends the key to the thread with the focus, as the keyboard would.
void PressKey(WORD vk);
// The bar's buttons' screen rectangle (index).
CRect ButtonScreenRect(CToolBar& bar, int index);
// The frame's idle update of its bars, as the message loop would run it.
void RunIdle(CFrameWnd* frame);

// In the next menu that opens (from a helper thread): inspect(menu handle) first, then Down n
// times and Enter (Escape for n < 0).
void InspectAndDriveMenu(HWND owner, const std::function<void(HMENU)>& inspect, int n);
// A menu item's text and state flags by position.
CString MenuText(HMENU menu, int position);
