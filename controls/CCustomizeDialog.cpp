#include "controls/CCustomizeDialog.h"
#include "controls/CToolBarEx.h"
#include "res/resource.h"

IMPLEMENT_DYNAMIC(CCustomizeDialog, CWnd)

BEGIN_MESSAGE_MAP(CCustomizeDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, OnInitDialog)
ON_WM_MEASUREITEM()
ON_WM_DRAWITEM()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

namespace {

// Brush x source x pattern: where the mask is black the brush colour, elsewhere the destination.
const DWORD kRopMaskedBrush = 0x00B8074A;

bool IsReadable(const void* address, size_t size)
{
    MEMORY_BASIC_INFORMATION info = {};
    if (!address || ::VirtualQuery(address, &info, sizeof(info)) != sizeof(info) || info.State != MEM_COMMIT)
        return false;
    if (info.Protect & (PAGE_NOACCESS | PAGE_GUARD))
        return false;
    auto start = reinterpret_cast<const char*>(address);
    auto end = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    return start + size <= end;
}

void DrawMenuArrow(HDC hdc, const CRect& iconArea, COLORREF colour)
{
    const int cx = ::GetSystemMetrics(SM_CXMENUCHECK);
    const int cy = ::GetSystemMetrics(SM_CYMENUCHECK);
    HDC mono = ::CreateCompatibleDC(hdc);
    HBITMAP mask = ::CreateBitmap(cx, cy, 1, 1, nullptr);
    HGDIOBJ oldMask = ::SelectObject(mono, mask);
    RECT all = {0, 0, cx, cy};
    ::DrawFrameControl(mono, &all, DFC_MENU, DFCS_MENUARROW);
    HBRUSH brush = ::CreateSolidBrush(colour);
    HGDIOBJ oldBrush = ::SelectObject(hdc, brush);
    COLORREF oldText = ::SetTextColor(hdc, RGB(0, 0, 0));
    COLORREF oldBack = ::SetBkColor(hdc, RGB(255, 255, 255));
    ::BitBlt(hdc, iconArea.right - cx, iconArea.top + (iconArea.Height() - cy) / 2, cx, cy, mono, 0, 0,
             kRopMaskedBrush);
    ::SetTextColor(hdc, oldText);
    ::SetBkColor(hdc, oldBack);
    ::SelectObject(hdc, oldBrush);
    ::DeleteObject(brush);
    ::SelectObject(mono, oldMask);
    ::DeleteObject(mask);
    ::DeleteDC(mono);
}

} // namespace

CCustomizeDialog::CCustomizeDialog(CToolBarEx* pToolBar) : m_dlgOptions(pToolBar, this), m_pToolBar(pToolBar) {}

CCustomizeDialog::~CCustomizeDialog() = default;

void CCustomizeDialog::PostNcDestroy()
{
    CToolBarEx::OnCustomizeDialogGone(this);
    delete this;
}

CSize CCustomizeDialog::GetIconSize() const
{
    return m_pToolBar->GetIconOption() == 1 ? CToolBarEx::sizeLargeIcon : CToolBarEx::sizeSmallIcon;
}

LRESULT CCustomizeDialog::OnInitDialog(WPARAM, LPARAM)
{
    // The pane goes under the dialog's own controls, and the dialog grows by its height.
    if (m_dlgOptions.Create(IDD_TOOLBAR_OPTIONS, this)) {
        CRect client;
        GetClientRect(&client);
        CRect pane;
        m_dlgOptions.GetWindowRect(&pane);
        m_dlgOptions.SetWindowPos(nullptr, 0, client.Height(), pane.Width(), pane.Height(),
                                  SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        CRect window;
        GetWindowRect(&window);
        SetWindowPos(nullptr, 0, 0, window.Width(), window.Height() + pane.Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LRESULT result = Default();
    // The dialog may size the rows itself as it starts (Wine does): the icon height holds.
    UpdateListHeights();
    return result;
}

void CCustomizeDialog::SetTextOption(int nTextOption, BOOL bFromBar)
{
    if (!bFromBar)
        m_pToolBar->SetTextOption(nTextOption, TRUE);
    m_dlgOptions.SelectTextOption(nTextOption);
}

void CCustomizeDialog::SetIconOption(int nIconOption, BOOL bFromBar)
{
    if (!bFromBar)
        m_pToolBar->SetIconOption(nIconOption, TRUE);
    m_dlgOptions.SelectIconOption(nIconOption);
    UpdateListHeights();
}

void CCustomizeDialog::UpdateListHeights()
{
    const int height = GetIconSize().cy;
    for (int id : {IDC_AVAILABLE_LIST, IDC_CURRENT_LIST}) {
        if (HWND list = ::GetDlgItem(m_hWnd, id)) {
            ::SendMessageW(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
            ::InvalidateRect(list, nullptr, TRUE);
        }
    }
}

HBRUSH CCustomizeDialog::OnCtlColor(CDC*, CWnd* pWnd, UINT nCtlColor)
{
    const int id = pWnd ? pWnd->GetDlgCtrlID() : 0;
    if (nCtlColor == CTLCOLOR_LISTBOX && (id == IDC_AVAILABLE_LIST || id == IDC_CURRENT_LIST))
        return ::GetSysColorBrush(COLOR_3DFACE);
    return reinterpret_cast<HBRUSH>(Default());
}

void CCustomizeDialog::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (nIDCtl != IDC_AVAILABLE_LIST && nIDCtl != IDC_CURRENT_LIST) {
        Default();
        return;
    }
    lpMeasureItemStruct->itemHeight = static_cast<UINT>(GetIconSize().cy);
}

BOOL PASCAL CCustomizeDialog::DecodeItemData(const CToolBarEx* pToolBar, DWORD_PTR dwData, int& nImage,
                                             int& nTableIndex)
{
    const int size = pToolBar->GetTableSize();
    const int packedIndex = HIWORD(dwData);
    const int packedImage = static_cast<short>(LOWORD(dwData));
    if (packedIndex < size) {
        const TBBUTTON& button = pToolBar->GetTableButton(packedIndex).tbinfo;
        if (!(button.fsStyle & BTNS_SEP) && button.iBitmap == packedImage) {
            nImage = packedImage;
            nTableIndex = packedIndex;
            return TRUE;
        }
    }
    auto record = reinterpret_cast<const TBBUTTON*>(dwData);
    if (IsReadable(record, sizeof(TBBUTTON))) {
        nImage = -1;
        nTableIndex = -1;
        if ((record->fsStyle & BTNS_SEP) || record->idCommand == 0)
            return TRUE;
        for (int i = 0; i < size; ++i) {
            const TBBUTTON& button = pToolBar->GetTableButton(i).tbinfo;
            if (!(button.fsStyle & BTNS_SEP) && button.idCommand == record->idCommand) {
                nImage = button.iBitmap;
                nTableIndex = i;
                return TRUE;
            }
        }
        return FALSE;
    }
    if (packedIndex >= size) {
        nImage = -1;
        nTableIndex = -1; // outside the table: a separator
        return TRUE;
    }
    return FALSE;
}

void CCustomizeDialog::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    int image = -1;
    int tableIndex = -1;
    if ((nIDCtl != IDC_AVAILABLE_LIST && nIDCtl != IDC_CURRENT_LIST) ||
        lpDrawItemStruct->itemID == static_cast<UINT>(-1) ||
        !DecodeItemData(m_pToolBar, lpDrawItemStruct->itemData, image, tableIndex)) {
        Default(); // not ours to read: the dialog draws it
        return;
    }
    DrawListItem(lpDrawItemStruct, image, tableIndex);
}

void CCustomizeDialog::DrawListItem(LPDRAWITEMSTRUCT lpDrawItemStruct, int nImage, int nTableIndex)
{
    CDC* dc = CDC::FromHandle(lpDrawItemStruct->hDC);
    const bool selected = (lpDrawItemStruct->itemState & ODS_SELECTED) != 0;
    const CSize icon = GetIconSize();
    const CRect item = lpDrawItemStruct->rcItem;
    const CRect iconArea(item.left, item.top, item.left + icon.cx + 4, item.bottom);
    const CRect captionArea(item.left + icon.cx + 5, item.top, item.right, item.bottom);
    CRect textRect(item.left + icon.cx + 9, item.top, item.right, item.bottom);
    const COLORREF textColour = ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
    const COLORREF background = ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_3DFACE);
    dc->FillSolidRect(iconArea, ::GetSysColor(COLOR_3DFACE));
    dc->FillSolidRect(captionArea, background);
    if (lpDrawItemStruct->itemState & ODS_FOCUS) {
        CRect focus = captionArea;
        focus.DeflateRect(2, 2);
        CBrush inverse(RGB(255, 255, 255) ^ background);
        dc->FrameRect(focus, &inverse);
    }
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    const bool currentList = lpDrawItemStruct->CtlID == IDC_CURRENT_LIST;
    const int count = static_cast<int>(::SendMessageW(lpDrawItemStruct->hwndItem, LB_GETCOUNT, 0, 0));
    const bool endMarker = currentList && static_cast<int>(lpDrawItemStruct->itemID) == count - 1;

    if (nTableIndex >= 0 && !endMarker) {
        const TBBUTTON& button = m_pToolBar->GetTableButton(nTableIndex).tbinfo;
        CString caption;
        m_pToolBar->GetButtonText(static_cast<UINT>(button.idCommand), caption);
        if (selected)
            dc->Draw3dRect(iconArea, ::GetSysColor(COLOR_3DHIGHLIGHT), ::GetSysColor(COLOR_3DSHADOW));
        CImageList* list = m_pToolBar->GetNormalImageList();
        if (selected && m_pToolBar->GetHotImageList()->GetSafeHandle())
            list = m_pToolBar->GetHotImageList();
        if (list->GetSafeHandle() && nImage >= 0)
            ImageList_Draw(list->GetSafeHandle(), nImage, dc->GetSafeHdc(), iconArea.left + 2,
                           iconArea.top + (iconArea.Height() - icon.cy) / 2, ILD_TRANSPARENT);
        if (button.fsStyle & BTNS_DROPDOWN)
            DrawMenuArrow(dc->GetSafeHdc(), iconArea, ::GetSysColor(COLOR_BTNTEXT));
        dc->SetTextColor(textColour);
        dc->DrawText(caption, &textRect, format);
    } else {
        CString caption;
        caption.LoadString(IDS_TOOLBAR_SEPARATOR);
        if (endMarker) {
            if (selected) {
                dc->SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
                dc->DrawText(caption, &textRect, format);
            } else {
                CRect raised = textRect;
                raised.OffsetRect(1, 1);
                dc->SetTextColor(::GetSysColor(COLOR_3DHIGHLIGHT));
                dc->DrawText(caption, &raised, format);
                dc->SetTextColor(::GetSysColor(COLOR_3DSHADOW));
                dc->DrawText(caption, &textRect, format);
            }
        } else {
            const int y = iconArea.top + iconArea.Height() / 2 - 1;
            const int width = iconArea.Width() - 4;
            dc->FillSolidRect(iconArea.left + 2, y, width, 1, ::GetSysColor(COLOR_3DSHADOW));
            dc->FillSolidRect(iconArea.left + 2, y + 1, width, 1, ::GetSysColor(COLOR_3DHIGHLIGHT));
            dc->SetTextColor(textColour);
            dc->DrawText(caption, &textRect, format);
        }
    }
    dc->SetBkMode(oldMode);
}
