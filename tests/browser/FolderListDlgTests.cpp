#include <gtest/gtest.h>

#include "common/BrowserTestUtil.h"
#include "common/RealInput.h"
#include "browser/FolderListDlg.h"
#include "res/resource.h"

namespace {

void SelectRow(HWND list, int row)
{
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, row);
}

void ChooseList(HWND dialog, int index)
{
    HWND combo = GetDlgItem(dialog, IDC_LISTEDIT_CHOICE);
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_LISTEDIT_CHOICE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// Moves the second quick-access folder to the top and empties the filter list, then ends the
// dialog with the button given.
void EditAndEnd(int button)
{
    HWND dialog = WaitForDialog(L"リスト編集");
    if (!dialog)
        return;
    HWND list = GetDlgItem(dialog, IDC_LISTEDIT_LIST);
    SelectRow(list, 1);
    SendMessageW(dialog, WM_COMMAND, IDC_BUTTONGRP_TOP, 0);
    ChooseList(dialog, FolderListFilter);
    SelectRow(list, 0);
    SendMessageW(dialog, WM_COMMAND, IDC_BUTTONGRP_DELETE, 0);
    PostMessageW(dialog, WM_COMMAND, button, 0);
}

// The list of the list editor once the editor is open; null when it did not open.
HWND WaitForList()
{
    HWND window = WaitForDialog(L"リスト編集");
    return window ? GetDlgItem(window, IDC_LISTEDIT_LIST) : nullptr;
}

void WriteLists()
{
    WriteAppIniString(L"FolderView", L"QuickAccess0", L"C:\\first");
    WriteAppIniString(L"FolderView", L"QuickAccess1", L"C:\\second");
    WriteAppIniString(L"FolderView", L"QuickAccess2", L"C:\\third");
    WriteAppIniString(L"Filter", L"Filter0", L"*.jpg");
}

} // namespace

TEST(FolderListDlg, OkSavesEveryEditedListAndCancelNone)
{
    ScratchSettings settings;
    WriteLists();
    {
        FolderListDlg dialog;
        HelperThread driver([] { EditAndEnd(IDCANCEL); });
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
    }
    EXPECT_EQ(CString(L"C:\\first"), ReadSetting(L"FolderView", L"QuickAccess0"));
    EXPECT_EQ(CString(L"*.jpg"), ReadSetting(L"Filter", L"Filter0"));
    {
        FolderListDlg dialog;
        HelperThread driver([] { EditAndEnd(IDOK); });
        EXPECT_EQ(IDOK, dialog.DoModal());
        EXPECT_EQ(0, dialog.GetList(FolderListFilter).GetCount());
    }
    EXPECT_EQ(CString(L"C:\\second"), ReadSetting(L"FolderView", L"QuickAccess0"));
    EXPECT_EQ(CString(L"C:\\first"), ReadSetting(L"FolderView", L"QuickAccess1"));
    EXPECT_EQ(CString(L"C:\\third"), ReadSetting(L"FolderView", L"QuickAccess2"));
    EXPECT_EQ(CString(L"<none>"), ReadSetting(L"Filter", L"Filter0"));
}

TEST(FolderListDlg, MovesKeepTheMovedEntrySelectedAndStopAtTheEnds)
{
    ScratchSettings settings;
    WriteLists();
    std::vector<CString> order;
    FolderListDlg dialog;
    HelperThread driver([&] {
        HWND window = WaitForDialog(L"リスト編集");
        if (!window)
            return;
        HWND list = GetDlgItem(window, IDC_LISTEDIT_LIST);
        SelectRow(list, 0);
        SendMessageW(window, WM_COMMAND, IDC_BUTTONGRP_DOWN, 0); // first second third -> second first third
        SendMessageW(window, WM_COMMAND, IDC_BUTTONGRP_END, 0);  // -> second third first
        SendMessageW(window, WM_COMMAND, IDC_BUTTONGRP_DOWN, 0); // at the end: nothing
        SendMessageW(window, WM_COMMAND, IDC_BUTTONGRP_UP, 0);   // -> second first third
        SelectRow(list, 0);
        SendMessageW(window, WM_COMMAND, IDC_BUTTONGRP_UP, 0); // at the top: nothing
        PostMessageW(window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    const FolderList& saved = dialog.GetList(FolderListQuickAccess);
    ASSERT_EQ(3, saved.GetCount());
    EXPECT_EQ(CString(L"C:\\second"), saved[0]);
    EXPECT_EQ(CString(L"C:\\first"), saved[1]);
    EXPECT_EQ(CString(L"C:\\third"), saved[2]);
}

TEST(FolderListDlg, AFullListRefusesAnotherEntry)
{
    ScratchSettings settings;
    for (int i = 0; i < 10; ++i) {
        CString key;
        key.Format(L"Filter%d", i);
        WriteAppIniString(L"Filter", key, L"*.x");
    }
    CString text;
    FolderListDlg dialog;
    HelperThread driver([&] {
        HWND window = WaitForDialog(L"リスト編集");
        if (!window)
            return;
        ChooseList(window, FolderListFilter);
        PostMessageW(window, WM_COMMAND, IDC_BUTTONGRP_ADD, 0);
        DismissMessageBox(&text);
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.DoModal();
    EXPECT_EQ(CString(L"これ以上登録することは出来ません。不要な項目を整理、削除ください"), Joined(text));
}

TEST(FolderListDlg, EscapeClosesItAndTabMovesOnFromEveryControlTheComboBoxIncluded)
{
    ScratchSettings settings;
    WriteLists();
    std::vector<int> round;
    bool stuck = false;
    bool closedByEscape = false;
    int result = 0;
    {
        FolderListDlg dialog;
        HelperThread driver([&] {
            HWND window = WaitForDialog(L"リスト編集");
            if (!window)
                return;
            SetForegroundWindow(window);
            HWND combo = GetDlgItem(window, IDC_LISTEDIT_CHOICE);
            // It opens with the focus in the combo box; Tab goes round and back to it.
            if (!WaitUntil([&] { return GetForegroundWindow() == window && FocusOfThread(window) == combo; })) {
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            for (int i = 0; i < 8; ++i) {
                HWND before = FocusOfThread(window);
                SendKey(VK_TAB);
                if (!WaitUntil([&] { return FocusOfThread(window) != before; }, 5000)) {
                    stuck = true;
                    round.push_back(GetDlgCtrlID(before));
                    break;
                }
                round.push_back(GetDlgCtrlID(FocusOfThread(window)));
                if (FocusOfThread(window) == combo)
                    break;
            }
            SendKey(VK_ESCAPE);
            closedByEscape = WaitUntil([&] { return !IsWindow(window); }, 5000);
            if (!closedByEscape)
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        });
        result = static_cast<int>(dialog.DoModal());
    }
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(closedByEscape);
    EXPECT_FALSE(stuck) << "Tab stayed in control " << (round.empty() ? 0 : round.back());
    EXPECT_EQ((std::vector<int>{IDC_LISTEDIT_LIST, IDOK, IDCANCEL, IDC_LISTEDIT_CHOICE}), round);
}

TEST(FolderListDlg, AClickOnTheHeaderSortsTheRowsByTheirText)
{
    ScratchSettings settings;
    WriteAppIniString(L"FolderView", L"QuickAccess0", L"C:\\b");
    WriteAppIniString(L"FolderView", L"QuickAccess1", L"C:\\c");
    WriteAppIniString(L"FolderView", L"QuickAccess2", L"C:\\a");
    std::vector<std::wstring> rows;
    bool clicked = false;
    {
        FolderListDlg dialog;
        HelperThread driver([&] {
            HWND list = WaitForList();
            if (!list)
                return;
            HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
            RECT item = {};
            SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
            POINT point = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
            ClientToScreen(header, &point);
            auto text = [&](int row) {
                wchar_t buffer[64] = {};
                LVITEMW get = {};
                get.pszText = buffer;
                get.cchTextMax = 64;
                SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&get));
                return std::wstring(buffer);
            };
            if (ShowsAt(header, point)) {
                SendClick(point, MOUSEEVENTF_LEFTDOWN);
                clicked = WaitUntil([&] { return text(0) == L"C:\\a"; }, 5000);
            }
            for (int i = 0; i < static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); ++i)
                rows.push_back(text(i));
            PostMessageW(GetParent(list), WM_COMMAND, IDCANCEL, 0);
        });
        dialog.DoModal();
    }
    EXPECT_TRUE(clicked);
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\a", L"C:\\b", L"C:\\c"}), rows);
}
