#include "browser/FolderListDlg.h"

#include "foundation/MessageBoxes.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxPath.h"
#include "res/resource.h"

namespace {

const wchar_t* const kListNames[FolderListDlg::EditedLists] = {L"クイックアクセスリスト",
                                                               L"複写、移動　ファイラー履歴フォルダ",
                                                               L"表示ファイルフィルタ",
                                                               L"サムネイル表示情報",
                                                               L"印刷定義ファイル",
                                                               L"名前の編集変更(置換対象文字列)",
                                                               L"名前の編集変更(一括置換書式)"};
const wchar_t* const kColumnTitles[FolderListDlg::EditedLists] = {
    L"QuickAccess List",     L"Filer Folder",  L"PathMask Filter", L"Thumbsnail data",
    L"Printing define file", L"Rename Target", L"Rename Format"};

bool IsFolderKind(int kind)
{
    return kind == FolderListQuickAccess || kind == FolderListFilerFolder;
}

bool IsTextKind(int kind)
{
    return kind == FolderListFilter || kind == FolderListReplaceFormat || kind == FolderListRenameFormat;
}

} // namespace

BEGIN_MESSAGE_MAP(FolderListDlg, CDialog)
ON_CBN_SELCHANGE(IDC_LISTEDIT_CHOICE, OnSelChangeList)
ON_COMMAND(IDC_BUTTONGRP_ADD, OnAdd)
ON_COMMAND(IDC_BUTTONGRP_DELETE, OnDelete)
ON_COMMAND(IDC_BUTTONGRP_TOP, OnMoveTop)
ON_COMMAND(IDC_BUTTONGRP_UP, OnMoveUp)
ON_COMMAND(IDC_BUTTONGRP_DOWN, OnMoveDown)
ON_COMMAND(IDC_BUTTONGRP_END, OnMoveBottom)
ON_NOTIFY(NM_DBLCLK, IDC_LISTEDIT_LIST, OnDoubleClick)
ON_NOTIFY(LVN_ENDLABELEDITW, IDC_LISTEDIT_LIST, OnEndLabelEdit)
ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

FolderListDlg::FolderListDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

FolderListDlg::~FolderListDlg() {}

BOOL FolderListDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_hAccel = ::LoadAcceleratorsW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_LISTEDIT_ACCEL));
    m_choice.SubclassDlgItem(IDC_LISTEDIT_CHOICE, this);
    // The dialog opens in the box: Escape and Tab must still reach the dialog from there.
    m_choice.SetDialogKeys(TRUE);
    m_list.SubclassDlgItem(IDC_LISTEDIT_LIST, this);
    m_buttons.SubclassDlgItem(IDC_LISTEDIT_BUTTONS, this);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE |
                            LVS_EX_HEADERDRAGDROP | LVS_EX_GRIDLINES);
    m_list.InsertColumn(0, kColumnTitles[0], LVCFMT_LEFT, 358);
    for (int i = 0; i < EditedLists; ++i) {
        m_choice.AddString(kListNames[i]);
        m_lists[i].SetKind(i);
        m_lists[i].Load();
    }
    m_choice.SetCurSel(0);
    m_nList = 0;
    m_lists[0].FillListCtrl(m_list);
    return TRUE;
}

void FolderListDlg::TakeBackShownList()
{
    m_lists[m_nList].RemoveAll();
    m_lists[m_nList].ReadListCtrl(m_list);
}

void FolderListDlg::ShowList(int nIndex)
{
    if (nIndex < 0 || nIndex >= EditedLists)
        return;
    TakeBackShownList();
    m_nList = nIndex;
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<LPWSTR>(kColumnTitles[nIndex]);
    m_list.SetColumn(0, &column);
    m_list.DeleteAllItems();
    m_lists[nIndex].FillListCtrl(m_list);
    SetDlgItemText(IDC_LISTEDIT_LABEL, L"");
    if (m_choice.GetCurSel() != nIndex)
        m_choice.SetCurSel(nIndex);
}

void FolderListDlg::OnSelChangeList()
{
    ShowList(m_choice.GetCurSel());
}

int FolderListDlg::SelectionMark() const
{
    return static_cast<int>(m_list.SendMessage(LVM_GETSELECTIONMARK));
}

void FolderListDlg::SelectRow(int nRow)
{
    if (nRow < 0 || nRow >= m_list.GetItemCount())
        return;
    m_list.SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_list.SendMessage(LVM_SETSELECTIONMARK, 0, nRow);
    m_list.EnsureVisible(nRow, FALSE);
}

void FolderListDlg::OnAdd()
{
    int kind = m_lists[m_nList].GetKind();
    if (m_list.GetItemCount() >= FolderList::GetLimit(kind)) {
        ShowMessageBox(IDS_LISTEDIT_FULL);
        return;
    }
    int selected = m_list.GetNextItem(-1, LVNI_SELECTED);
    int at = selected < 0 ? 0 : selected;
    if (IsFolderKind(kind)) {
        CString start, folder;
        GetModuleFolder(start);
        BrowseForFolder(folder, GetSafeHwnd(), L"追加フォルダを選択して下さい", start);
        if (folder.IsEmpty())
            return;
        m_list.InsertItem(at, folder);
        SelectRow(at);
    } else if (IsTextKind(kind)) {
        m_list.InsertItem(at, L"");
        SelectRow(at);
        m_list.SetFocus();
        m_list.EditLabel(at);
    }
}

void FolderListDlg::OnDelete()
{
    int mark = SelectionMark();
    if (mark < 0 || mark >= m_list.GetItemCount())
        return;
    m_list.DeleteItem(mark);
    SelectRow(mark < m_list.GetItemCount() ? mark : m_list.GetItemCount() - 1);
}

void FolderListDlg::MoveRow(int nFrom, int nTo)
{
    CString text = m_list.GetItemText(nFrom, 0);
    m_list.DeleteItem(nFrom);
    int at = m_list.InsertItem(nTo, text);
    SelectRow(at);
}

void FolderListDlg::OnMoveTop()
{
    int mark = SelectionMark();
    if (mark > 0 && mark < m_list.GetItemCount())
        MoveRow(mark, 0);
}

void FolderListDlg::OnMoveUp()
{
    int mark = SelectionMark();
    if (mark > 0 && mark < m_list.GetItemCount())
        MoveRow(mark, mark - 1);
}

void FolderListDlg::OnMoveDown()
{
    // The item below moves up, which leaves the marked one a row lower.
    int mark = SelectionMark();
    if (mark < 0 || mark >= m_list.GetItemCount() - 1)
        return;
    CString below = m_list.GetItemText(mark + 1, 0);
    m_list.DeleteItem(mark + 1);
    m_list.InsertItem(mark, below);
    SelectRow(mark + 1);
}

void FolderListDlg::OnMoveBottom()
{
    int mark = SelectionMark();
    int count = m_list.GetItemCount();
    if (mark >= 0 && mark < count - 1)
        MoveRow(mark, count - 1);
}

void FolderListDlg::OnDoubleClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    int kind = m_lists[m_nList].GetKind();
    int item = m_list.GetNextItem(-1, LVNI_FOCUSED);
    if (item >= 0 && kind != FolderListThumbLayout)
        m_list.EditLabel(item);
}

void FolderListDlg::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(pNMHDR);
    *pResult = 0;
    if (info->item.pszText)
        m_list.SetItemText(info->item.iItem, 0, info->item.pszText);
}

void FolderListDlg::OnContextMenu(CWnd* pWnd, CPoint point)
{
    if (pWnd != &m_list)
        return;
    CMenu menu;
    if (!menu.LoadMenu(IDR_LISTEDIT_MENU))
        return;
    if (CMenu* popup = menu.GetSubMenu(0))
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
}

BOOL FolderListDlg::PreTranslateMessage(MSG* pMsg)
{
    // A label being edited takes its own keys.
    if (m_hAccel && !m_list.GetEditControl() && ::TranslateAcceleratorW(m_hWnd, m_hAccel, pMsg))
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

void FolderListDlg::OnOK()
{
    TakeBackShownList();
    for (int i = 0; i < EditedLists; ++i)
        m_lists[i].Save();
    CDialog::OnOK();
}
