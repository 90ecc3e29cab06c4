#include "controls/CToolBarEx.h"
#include "controls/CCustomizeDialog.h"
#include "controls/CSizableReBar.h"
#include "controls/CToolBarPopup.h"
#include "controls/VyxWinAppEx.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

IMPLEMENT_DYNAMIC(CToolBarEx, CToolBar)

BEGIN_MESSAGE_MAP(CToolBarEx, CToolBar)
ON_NOTIFY_REFLECT(TBN_BEGINADJUST, OnBeginAdjust)
ON_NOTIFY_REFLECT(TBN_ENDADJUST, OnEndAdjust)
ON_NOTIFY_REFLECT(TBN_INITCUSTOMIZE, OnInitCustomize)
ON_NOTIFY_REFLECT(TBN_QUERYINSERT, OnQueryInsertOrDelete)
ON_NOTIFY_REFLECT(TBN_QUERYDELETE, OnQueryInsertOrDelete)
ON_NOTIFY_REFLECT(TBN_GETBUTTONINFOW, OnGetButtonInfo)
ON_NOTIFY_REFLECT(TBN_RESET, OnReset)
ON_NOTIFY_REFLECT(TBN_TOOLBARCHANGE, OnToolBarChange)
ON_NOTIFY_REFLECT(TBN_SAVE, OnSave)
ON_NOTIFY_REFLECT(TBN_RESTORE, OnRestore)
ON_NOTIFY_REFLECT(TBN_GETINFOTIPW, OnGetInfoTip)
ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDrawNotify)
ON_MESSAGE(WM_REBAR_CONTEXTMENU, OnReBarContextMenu)
ON_MESSAGE(WM_REBAR_CHEVRONPUSHED, OnReBarChevronPushed)
ON_COMMAND(ID_CUSTOMIZE_TOOLBAR, OnCustomize)
END_MESSAGE_MAP()

const CSize CToolBarEx::sizeSmallIcon(16, 16);
const CSize CToolBarEx::sizeLargeIcon(32, 32);

namespace {

const UINT kCustomizeTextId = 61969;
const UINT kNoBitmap = static_cast<UINT>(-1);

// While the user customises: the bar, the hook that catches the dialog's creation, the dialog.
struct CustomizeState
{
    CToolBarEx* bar = nullptr;
    HHOOK hook = nullptr;
    CCustomizeDialog* dialog = nullptr;
};

CustomizeState& Customizing()
{
    static CustomizeState state;
    return state;
}

LRESULT CALLBACK CustomizeCbtProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CustomizeState& state = Customizing();
    try {
        if (nCode == HCBT_CREATEWND && state.bar && !state.dialog) {
            HWND hWnd = reinterpret_cast<HWND>(wParam);
            wchar_t name[16] = {};
            ::GetClassNameW(hWnd, name, 16);
            if (lstrcmpW(name, L"#32770") == 0) {
                auto* dialog = new CCustomizeDialog(state.bar);
                if (dialog->SubclassWindow(hWnd))
                    state.dialog = dialog;
                else
                    delete dialog;
            }
        }
    } catch (...) {
        // The dialog then shows without the option pane.
    }
    return ::CallNextHookEx(state.hook, nCode, wParam, lParam);
}

bool ValidTextOption(int option)
{
    return option >= 0 && option <= 2;
}

bool ValidIconOption(int option)
{
    return option == 0 || option == 1;
}

bool IsReBarWindow(HWND hWnd)
{
    wchar_t name[32] = {};
    ::GetClassNameW(hWnd, name, 32);
    return lstrcmpW(name, REBARCLASSNAMEW) == 0;
}

} // namespace

CToolBarEx::CToolBarEx()
    : m_cbBandInfo(CSizableReBar::GetBandInfoSize()), m_nTextOption(-1), m_nIconOption(-1), m_nDefaultTextOption(-1),
      m_nDefaultIconOption(-1), m_nIDSmallNormal(kNoBitmap), m_nIDSmallHot(kNoBitmap), m_nIDSmallDisabled(kNoBitmap),
      m_nIDLargeNormal(kNoBitmap), m_nIDLargeHot(kNoBitmap), m_nIDLargeDisabled(kNoBitmap), m_crMask(RGB(255, 0, 255)),
      m_hSavedState(nullptr)
{
}

CToolBarEx::~CToolBarEx()
{
    CustomizeState& state = Customizing();
    if (state.bar == this) {
        if (state.hook)
            ::UnhookWindowsHookEx(state.hook);
        state = CustomizeState{};
    }
    if (m_hSavedState)
        ::GlobalFree(m_hSavedState);
}

BOOL CToolBarEx::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    if (!CreateEx(pParentWnd, TBSTYLE_FLAT | TBSTYLE_TRANSPARENT | TBSTYLE_TOOLTIPS, dwStyle & ~CBRS_TOOLTIPS,
                  CRect(0, 0, 0, 0), nID))
        return FALSE;
    GetToolBarCtrl().SetExtendedStyle(TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_HIDECLIPPEDBUTTONS);
    Init();
    return TRUE;
}

// ---------------------------------------------------------------- hooks of a derived bar

LRESULT CToolBarEx::OnCustomDraw(NMTBCUSTOMDRAW* pCustomDraw)
{
    switch (pCustomDraw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        // A checked button under the mouse is drawn plain, not dithered.
        if ((pCustomDraw->nmcd.uItemState & (CDIS_CHECKED | CDIS_HOT)) == (CDIS_CHECKED | CDIS_HOT))
            pCustomDraw->hbrMonoDither = nullptr;
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

BOOL CToolBarEx::HasButtonText(UINT) const
{
    return TRUE;
}

BOOL CToolBarEx::HasButtonTip(UINT nID) const
{
    switch (m_nTextOption) {
    case 1:
        return !HasButtonText(nID);
    case 2:
        return TRUE;
    default:
        return FALSE;
    }
}

void CToolBarEx::GetButtonText(UINT nID, CString& strText) const
{
    CString full;
    strText.Empty();
    if (full.LoadString(nID))
        AfxExtractSubString(strText, full, 1);
}

void CToolBarEx::GetButtonTip(UINT nID, CString& strTip) const
{
    GetButtonText(nID, strTip);
}

void CToolBarEx::Init() {}

BOOL CToolBarEx::IsTextOptionAvailable(int) const
{
    return TRUE;
}

BOOL CToolBarEx::IsIconOptionAvailable(int) const
{
    return TRUE;
}

// ---------------------------------------------------------------- images, buttons, options

void CToolBarEx::SetBitmaps(UINT nSmallNormal, UINT nSmallHot, UINT nSmallDisabled, UINT nLargeNormal, UINT nLargeHot,
                            UINT nLargeDisabled, int nDefaultIconOption, COLORREF crMask)
{
    m_nIDSmallNormal = nSmallNormal;
    m_nIDSmallHot = nSmallHot;
    m_nIDSmallDisabled = nSmallDisabled;
    m_nIDLargeNormal = nLargeNormal;
    m_nIDLargeHot = nLargeHot;
    m_nIDLargeDisabled = nLargeDisabled;
    m_nDefaultIconOption = nDefaultIconOption;
    m_crMask = crMask;
    SetIconOption(nDefaultIconOption, TRUE);
}

void CToolBarEx::LoadImageList(CImageList& list, UINT nBitmapID, int cx, UINT nMessage)
{
    if (nBitmapID == kNoBitmap)
        return; // the control keeps what it had
    LPCWSTR name = MAKEINTRESOURCEW(nBitmapID);
    HIMAGELIST loaded = ImageList_LoadImageW(AfxFindResourceHandle(name, RT_BITMAP), name, cx, 0, m_crMask,
                                             IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (!loaded)
        return;
    SendMessage(nMessage, 0, reinterpret_cast<LPARAM>(loaded));
    list.DeleteImageList();
    list.Attach(loaded);
}

void CToolBarEx::SetIconOption(int nIconOption, BOOL bRefresh)
{
    m_nIconOption = nIconOption;
    const bool large = nIconOption == 1;
    const CSize size = large ? sizeLargeIcon : sizeSmallIcon;
    m_sizeImage = size;
    if (!m_hWnd)
        return;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(size.cx, size.cy));
    LoadImageList(m_imlNormal, large ? m_nIDLargeNormal : m_nIDSmallNormal, size.cx, TB_SETIMAGELIST);
    LoadImageList(m_imlHot, large ? m_nIDLargeHot : m_nIDSmallHot, size.cx, TB_SETHOTIMAGELIST);
    LoadImageList(m_imlDisabled, large ? m_nIDLargeDisabled : m_nIDSmallDisabled, size.cx, TB_SETDISABLEDIMAGELIST);
    if (bRefresh) {
        RefreshButtons();
        UpdateBand();
    }
}

void CToolBarEx::SetTextOption(int nTextOption, BOOL bRefresh)
{
    m_nTextOption = nTextOption;
    if (!m_hWnd)
        return;
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    if (nTextOption == 1) {
        ModifyStyle(0, TBSTYLE_LIST);
        ctrl.SetExtendedStyle(ctrl.GetExtendedStyle() | TBSTYLE_EX_MIXEDBUTTONS);
    } else {
        ModifyStyle(TBSTYLE_LIST, 0);
        ctrl.SetExtendedStyle(ctrl.GetExtendedStyle() & ~TBSTYLE_EX_MIXEDBUTTONS);
    }
    ctrl.SetMaxTextRows(nTextOption == 2 ? 0 : 1);
    if (nTextOption == 0)
        ctrl.SetButtonWidth(0, 80);
    for (INT_PTR i = 0; i < m_aButtons.GetSize(); ++i) {
        TBBUTTON& button = m_aButtons[i].tbinfo;
        if (button.fsStyle & BTNS_SEP)
            continue;
        CString text;
        GetButtonText(static_cast<UINT>(button.idCommand), text);
        if (text.IsEmpty()) {
            button.iString = -1;
        } else {
            std::wstring strings(text.GetString());
            strings.push_back(L'\0'); // the list ends with an empty string
            button.iString = ctrl.AddStrings(strings.c_str());
        }
        switch (nTextOption) {
        case 0:
            button.fsStyle &= ~(BTNS_AUTOSIZE | BTNS_SHOWTEXT);
            break;
        case 1:
            button.fsStyle |= BTNS_AUTOSIZE;
            if (HasButtonText(static_cast<UINT>(button.idCommand)))
                button.fsStyle |= BTNS_SHOWTEXT;
            else
                button.fsStyle &= ~BTNS_SHOWTEXT;
            break;
        case 2:
            button.fsStyle = (button.fsStyle & ~BTNS_SHOWTEXT) | BTNS_AUTOSIZE;
            break;
        default:
            break;
        }
    }
    if (bRefresh) {
        RefreshButtons();
        UpdateBand();
    }
}

bool CToolBarEx::HoldsButtons(const std::vector<TBBUTTON>& buttons)
{
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    if (ctrl.GetButtonCount() != static_cast<int>(buttons.size()))
        return false;
    // A separator has no text: the bar gives its string back as -1, whatever it was added with.
    for (size_t i = 0; i < buttons.size(); ++i) {
        TBBUTTON held = {};
        const TBBUTTON& wanted = buttons[i];
        if (!ctrl.GetButton(static_cast<int>(i), &held) || held.idCommand != wanted.idCommand ||
            held.fsStyle != wanted.fsStyle || held.fsState != wanted.fsState || held.iBitmap != wanted.iBitmap ||
            (!(wanted.fsStyle & BTNS_SEP) && held.iString != wanted.iString))
            return false;
    }
    return true;
}

void CToolBarEx::ReplaceButtons(std::vector<TBBUTTON> buttons)
{
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    for (int n = ctrl.GetButtonCount(); n > 0; --n)
        ctrl.DeleteButton(0);
    // Added in one call: the bar measures every button again at each addition.
    if (!buttons.empty())
        ctrl.AddButtons(static_cast<int>(buttons.size()), buttons.data());
}

std::vector<TBBUTTON> CToolBarEx::InitiallyVisibleRecords() const
{
    std::vector<TBBUTTON> shown;
    for (INT_PTR i = 0; i < m_aButtons.GetSize(); ++i) {
        if (m_aButtons[i].bInitiallyVisible)
            shown.push_back(m_aButtons[i].tbinfo);
    }
    return shown;
}

void CToolBarEx::SetButtons(int nCount, TBBUTTONEX* pButtons, int nDefaultTextOption)
{
    m_aButtons.RemoveAll();
    for (int i = 0; i < nCount; ++i)
        m_aButtons.Add(pButtons[i]);
    m_nDefaultTextOption = nDefaultTextOption;
    // The options shape the records first, so that the buttons are added once, as they show.
    SetTextOption(nDefaultTextOption, FALSE);
    ReplaceButtons(InitiallyVisibleRecords());
    UpdateBand();
}

BOOL CToolBarEx::GetButtonInfo(int nID, TBBUTTON* pButton) const
{
    if (pButton->fsStyle & BTNS_SEP)
        return TRUE;
    for (INT_PTR i = 0; i < m_aButtons.GetSize(); ++i) {
        if (m_aButtons[i].tbinfo.idCommand == nID) {
            *pButton = m_aButtons[i].tbinfo;
            return TRUE;
        }
    }
    return FALSE;
}

void CToolBarEx::RefreshButtons()
{
    if (!m_hWnd)
        return;
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    std::vector<TBBUTTON> buttons(static_cast<size_t>(ctrl.GetButtonCount()));
    for (size_t i = 0; i < buttons.size(); ++i) {
        ctrl.GetButton(static_cast<int>(i), &buttons[i]);
        GetButtonInfo(buttons[i].idCommand, &buttons[i]);
    }
    ReplaceButtons(std::move(buttons));
}

void CToolBarEx::UpdateBand()
{
    if (!m_hWnd)
        return;
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    ctrl.AutoSize();
    int ideal = 0;
    int height = ctrl.GetButtonSize().cy;
    const int count = ctrl.GetButtonCount();
    for (int i = 0; i < count; ++i) {
        CRect item(0, 0, 0, 0);
        if (!ctrl.GetItemRect(i, &item))
            continue;
        ideal += item.Width();
        height = std::max(height, item.Height());
    }
    HWND rebar = ::GetParent(m_hWnd);
    if (rebar && IsReBarWindow(rebar))
        CSizableReBar::SetBandSizes(rebar, m_cbBandInfo, static_cast<UINT>(GetDlgCtrlID()), 0,
                                    static_cast<UINT>(height), static_cast<UINT>(ideal), ideal > 0);
    Invalidate();
}

// ---------------------------------------------------------------- the layout in the profile

void CToolBarEx::SaveState(LPCWSTR lpszProfileName)
{
    CWinApp* app = AfxGetApp();
    if (!app || !m_hWnd)
        return;
    CString state;
    state.Format(L"%d,%d", m_nTextOption, m_nIconOption);
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    const int count = ctrl.GetButtonCount();
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        ctrl.GetButton(i, &button);
        state.AppendFormat(L",%u", (button.fsStyle & BTNS_SEP) ? 0U : static_cast<UINT>(button.idCommand));
    }
    app->WriteProfileString(lpszProfileName, L"ToolbarStateInfo", state);
}

void CToolBarEx::LoadState(LPCWSTR lpszProfileName)
{
    CWinApp* app = AfxGetApp();
    if (!app || !m_hWnd)
        return;
    CString state = app->GetProfileString(lpszProfileName, L"ToolbarStateInfo", L"");
    if (state.IsEmpty())
        return;
    // The fields up to the first empty one, read whole before anything changes: a value with an
    // unreadable field, or without both options, is damaged and the bar keeps its buttons.
    std::vector<long> fields;
    CString field;
    for (int n = 0; AfxExtractSubString(field, state, n, L','); ++n) {
        field.Trim();
        if (field.IsEmpty())
            break;
        wchar_t* end = nullptr;
        long value = std::wcstol(field.GetString(), &end, 10);
        if (*end != 0)
            return;
        fields.push_back(value);
    }
    if (fields.size() < 2)
        return;
    // Options out of range keep the bar's own.
    bool optionsKept = true;
    const int textOption = static_cast<int>(fields[0]), iconOption = static_cast<int>(fields[1]);
    if (ValidTextOption(textOption) && textOption != m_nTextOption) {
        SetTextOption(textOption, FALSE);
        optionsKept = false;
    }
    if (ValidIconOption(iconOption) && iconOption != m_nIconOption) {
        SetIconOption(iconOption, FALSE);
        optionsKept = false;
    }
    std::vector<TBBUTTON> buttons;
    for (size_t i = 2; i < fields.size(); ++i) {
        TBBUTTON button = {};
        if (fields[i] <= 0) {
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_SEP;
        } else if (!GetButtonInfo(static_cast<int>(fields[i]), &button)) {
            continue; // a command the table no longer has leaves no gap
        }
        buttons.push_back(button);
    }
    // The bar measures every button again at each change: buttons it already holds as saved are
    // left alone, and others are added in one call.
    if (!optionsKept || !HoldsButtons(buttons))
        ReplaceButtons(std::move(buttons));
    UpdateBand();
}

// ---------------------------------------------------------------- customisation

CCustomizeDialog* PASCAL CToolBarEx::GetCustomizeDialog()
{
    return Customizing().dialog;
}

void PASCAL CToolBarEx::OnCustomizeDialogGone(CCustomizeDialog* pDialog)
{
    if (Customizing().dialog == pDialog)
        Customizing().dialog = nullptr;
}

void CToolBarEx::OnBeginAdjust(NMHDR*, LRESULT* pResult)
{
    CustomizeState& state = Customizing();
    if (state.hook)
        ::UnhookWindowsHookEx(state.hook);
    state.bar = this;
    state.dialog = nullptr;
    state.hook = ::SetWindowsHookExW(WH_CBT, &CustomizeCbtProc, nullptr, ::GetCurrentThreadId());
    *pResult = 0;
}

void CToolBarEx::OnEndAdjust(NMHDR*, LRESULT* pResult)
{
    CustomizeState& state = Customizing();
    if (state.hook)
        ::UnhookWindowsHookEx(state.hook);
    state.hook = nullptr;
    state.bar = nullptr;
    RefreshButtons();
    UpdateBand();
    *pResult = 0;
}

void CToolBarEx::OnInitCustomize(NMHDR*, LRESULT* pResult)
{
    *pResult = TBNRF_HIDEHELP;
}

void CToolBarEx::OnQueryInsertOrDelete(NMHDR*, LRESULT* pResult)
{
    *pResult = TRUE;
}

void CToolBarEx::OnGetButtonInfo(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMTOOLBARW*>(pNMHDR);
    if (info->iItem < 0 || info->iItem >= m_aButtons.GetSize()) {
        *pResult = FALSE;
        return;
    }
    const TBBUTTON& button = m_aButtons[info->iItem].tbinfo;
    info->tbButton = button;
    if (!(button.fsStyle & BTNS_SEP) && info->pszText && info->cchText > 0) {
        CString text;
        GetButtonText(static_cast<UINT>(button.idCommand), text);
        lstrcpynW(info->pszText, text, info->cchText);
    }
    *pResult = TRUE;
}

void CToolBarEx::OnReset(NMHDR*, LRESULT* pResult)
{
    SetIconOption(m_nDefaultIconOption, FALSE);
    SetTextOption(m_nDefaultTextOption, FALSE);
    ReplaceButtons(InitiallyVisibleRecords());
    UpdateBand();
    if (CCustomizeDialog* dialog = GetCustomizeDialog()) {
        dialog->SetIconOption(m_nIconOption, TRUE);
        dialog->SetTextOption(m_nTextOption, TRUE);
    }
    *pResult = 0;
}

void CToolBarEx::OnToolBarChange(NMHDR*, LRESULT* pResult)
{
    UpdateBand();
    *pResult = 0;
}

void CToolBarEx::OnSave(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* save = reinterpret_cast<NMTBSAVE*>(pNMHDR);
    *pResult = 0;
    if (save->iItem != -1)
        return;
    // One block at a time: the one of an earlier save goes first.
    if (m_hSavedState) {
        ::GlobalFree(m_hSavedState);
        m_hSavedState = nullptr;
    }
    save->cbData += 2 * sizeof(DWORD);
    m_hSavedState = ::GlobalAlloc(GMEM_FIXED, save->cbData);
    if (!m_hSavedState) {
        save->pData = nullptr;
        save->pCurrent = nullptr;
        return;
    }
    auto* data = static_cast<DWORD*>(m_hSavedState); // a fixed block's handle is its address
    data[0] = static_cast<DWORD>(m_nTextOption);
    data[1] = static_cast<DWORD>(m_nIconOption);
    save->pData = data;
    save->pCurrent = data + 2;
}

void CToolBarEx::OnRestore(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* restore = reinterpret_cast<NMTBRESTORE*>(pNMHDR);
    if (restore->iItem != -1) {
        GetButtonInfo(restore->tbButton.idCommand, &restore->tbButton);
        *pResult = 0;
        return;
    }
    // Data too short to hold the two options is not ours: nothing is changed.
    if (!restore->pData || restore->cbData < 2 * sizeof(DWORD)) {
        *pResult = TRUE;
        return;
    }
    const int perRecord =
        restore->cbBytesPerRecord > 0 ? restore->cbBytesPerRecord : static_cast<int>(sizeof(TBBUTTON));
    const int count = static_cast<int>((restore->cbData - 2 * sizeof(DWORD)) / static_cast<UINT>(perRecord));
    const int text = static_cast<int>(restore->pData[0]);
    const int icon = static_cast<int>(restore->pData[1]);
    if (ValidTextOption(text))
        SetTextOption(text, FALSE);
    if (ValidIconOption(icon))
        SetIconOption(icon, FALSE);
    restore->cButtons = count;
    restore->pCurrent = restore->pData + 2;
    if (count == 0) {
        RefreshButtons();
        UpdateBand();
        *pResult = TRUE;
        return;
    }
    *pResult = FALSE;
}

void CToolBarEx::OnGetInfoTip(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* tip = reinterpret_cast<NMTBGETINFOTIPW*>(pNMHDR);
    CString text;
    GetButtonTip(static_cast<UINT>(tip->iItem), text);
    if (tip->pszText && tip->cchTextMax > 0)
        lstrcpynW(tip->pszText, text, tip->cchTextMax);
    *pResult = 0;
}

void CToolBarEx::OnCustomDrawNotify(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = OnCustomDraw(reinterpret_cast<NMTBCUSTOMDRAW*>(pNMHDR));
}

BOOL CToolBarEx::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == TTN_NEEDTEXTW || header->code == TTN_NEEDTEXTA) {
        if (!HasButtonTip(static_cast<UINT>(header->idFrom))) {
            // No tip for this button: an empty text shows none.
            if (header->code == TTN_NEEDTEXTW) {
                auto* text = reinterpret_cast<TOOLTIPTEXTW*>(header);
                text->szText[0] = 0;
                text->lpszText = text->szText;
            } else {
                auto* text = reinterpret_cast<TOOLTIPTEXTA*>(header);
                text->szText[0] = 0;
                text->lpszText = text->szText;
            }
            *pResult = 0;
            return TRUE;
        }
    }
    return CToolBar::OnNotify(wParam, lParam, pResult);
}

LRESULT CToolBarEx::OnReBarContextMenu(WPARAM wParam, LPARAM)
{
    auto* menu = reinterpret_cast<CMenu*>(wParam);
    if (!menu)
        return 0;
    CString text;
    text.LoadString(kCustomizeTextId);
    menu->AppendMenu(MF_STRING | ((GetStyle() & CCS_ADJUSTABLE) ? 0 : MF_GRAYED), ID_CUSTOMIZE_TOOLBAR, text);
    return 0;
}

void CToolBarEx::OnCustomize()
{
    GetToolBarCtrl().Customize();
}

LRESULT CToolBarEx::OnReBarChevronPushed(WPARAM wParam, LPARAM)
{
    auto* chevron = reinterpret_cast<const RECT*>(wParam);
    if (!chevron)
        return 0;
    const int version = VyxGetWindowsVersionClass();
    UINT flags = TPM_VERTICAL;
    if (version == 1 || version == 3 || version == 4)
        flags |= TPM_VERPOSANIMATION;
    CToolBarPopup popup(this);
    popup.ShowPopup(flags, chevron->left, chevron->bottom, chevron);
    return 0;
}
