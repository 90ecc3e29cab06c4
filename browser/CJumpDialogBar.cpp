#include "browser/CJumpDialogBar.h"

#include "browser/CFolderView.h"
#include "browser/CMainFrame.h"
#include "catalogue/FrameMessages.h"
#include "foundation/FormatMessageText.h"
#include "foundation/MessageBoxes.h"

BEGIN_MESSAGE_MAP(CJumpDialogBar, CDialogBar)
ON_WM_CREATE()
ON_WM_SIZE()
ON_BN_CLICKED(IDC_JUMP_GO, OnGo)
END_MESSAGE_MAP()

CJumpDialogBar::CJumpDialogBar() {}

CJumpDialogBar::~CJumpDialogBar() {}

int CJumpDialogBar::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDialogBar::OnCreate(lpCreateStruct) == -1)
        return -1;
    LOGFONTW font = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfHeight = -12;
    lstrcpynW(font.lfFaceName, L"ＭＳ ゴシック", LF_FACESIZE);
    m_font.CreateFontIndirect(&font);

    if (!m_edit.CreateEx(WS_EX_STATICEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                         CRect(0, 0, 0, 0), this, IDC_JUMP_PATH))
        return -1;
    m_edit.SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(2, 2));
    m_edit.SetFont(&m_font);
    m_edit.SetMode(CACEdit::ModePath | CACEdit::ModeNoFiles); // folders only
    // A typed folder that exists always opens the list: Enter still goes there.
    m_edit.SetEnterGoesOn(TRUE);
    if (!m_goButton.Create(L"⇒", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, CRect(0, 0, 0, 0), this,
                           IDC_JUMP_GO))
        return -1;
    // The bar's own font has the arrow; the platform's dialog font draws it as a faint borrowed
    // glyph no darker than a disabled one.
    m_goButton.SetFont(&m_font);
    m_goButton.EnableWindow(TRUE);
    return 0;
}

void CJumpDialogBar::OnSize(UINT nType, int cx, int cy)
{
    CDialogBar::OnSize(nType, cx, cy);
    if (m_goButton.GetSafeHwnd())
        m_goButton.MoveWindow(0, 2, cy - 4, cy - 4);
    if (m_edit.GetSafeHwnd())
        m_edit.MoveWindow(cy, 2, cx - cy, cy - 4);
}

BOOL CJumpDialogBar::PreTranslateMessage(MSG* pMsg)
{
    // The dialog manager would turn Enter into an IDOK that no handler takes.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN && m_edit.GetSafeHwnd() &&
        (pMsg->hwnd == m_edit.GetSafeHwnd() || ::IsChild(m_edit.GetSafeHwnd(), pMsg->hwnd))) {
        OnGo();
        return TRUE;
    }
    return CDialogBar::PreTranslateMessage(pMsg);
}

void CJumpDialogBar::OnGo()
{
    CString path;
    m_edit.GetWindowText(path);
    CWnd* frame = GetTopLevelParent();
    if (!frame)
        return;
    frame->SendMessage(WMU_UPDATEALLVIEWS, HintGoToPath, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(path)));
    // A typed folder that is not there is said whole, in a box, not only in the narrow last pane
    // of the status bar; the entry keeps the text to be mended.
    auto* main = DYNAMIC_DOWNCAST(CMainFrame, frame);
    CFolderView* pane = main ? main->GetFolderPane() : nullptr;
    if (!path.IsEmpty() && pane && !pane->GetMissingPath().IsEmpty()) {
        ShowMessageBox(FormatMessageText(MsgInvalidFolder, pane->GetMissingPath()), MB_OK | MB_ICONSTOP);
        m_edit.SetFocus();
        m_edit.SendMessage(EM_SETSEL, 0, -1);
    }
}
