#include "browser/VAppCall.h"

#include "browser/AppRunJob.h"
#include "catalogue/VyxFile.h"
#include "foundation/MessageBoxes.h"
#include "foundation/VyxFieldParser.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"
#include "foundation/VyxUtility.h"
#include "res/resource.h"

namespace {

const wchar_t kSection[] = L"AppCall";

CString KeyOf(int index, const wchar_t* name)
{
    CString key;
    key.Format(L"App%d\\%s", index, name);
    return key;
}

bool IsBlank(const CString& text)
{
    CString trimmed = text;
    return trimmed.Trim().IsEmpty();
}

// One argument field with the item's macros expanded, quoted when the result holds a space.
CString ExpandField(const VyxFile* item, const CString& field)
{
    CString expanded = item->ExpandMacros(field);
    return expanded.Find(L' ') >= 0 ? L"\"" + expanded + L"\"" : expanded;
}

template <class ARRAY> void MoveElement(ARRAY& array, int from, int to)
{
    auto element = array[from];
    array.RemoveAt(from);
    array.InsertAt(to, element);
}

} // namespace

BEGIN_MESSAGE_MAP(VAppCall, CDialog)
ON_LBN_SELCHANGE(IDC_APP_LIST, OnSelChangeList)
ON_BN_CLICKED(IDC_APP_ADD, OnAdd)
ON_COMMAND(IDC_BUTTONGRP_ADD, OnAdd)
ON_BN_CLICKED(IDC_APP_DELETE, OnDelete)
ON_COMMAND(IDC_BUTTONGRP_DELETE, OnDelete)
ON_COMMAND(IDC_BUTTONGRP_TOP, OnMoveTop)
ON_COMMAND(IDC_BUTTONGRP_UP, OnMoveUp)
ON_COMMAND(IDC_BUTTONGRP_DOWN, OnMoveDown)
ON_COMMAND(IDC_BUTTONGRP_END, OnMoveBottom)
ON_BN_CLICKED(IDC_APP_BROWSE, OnBrowseCommand)
ON_COMMAND_RANGE(ID_APP_MACRO_PATH, ID_APP_MACRO_ARCPATH, OnArgumentMacro)
ON_COMMAND_RANGE(ID_APP_MACRO_SHORTPATH, ID_APP_MACRO_SHORTFILENAME, OnArgumentMacro)
ON_COMMAND(ID_APP_FOLDER_PICTURE, OnFolderOfPicture)
ON_COMMAND(ID_APP_FOLDER_BROWSE, OnBrowseFolder)
END_MESSAGE_MAP()

VAppCall::VAppCall(CWnd* pParent) : CDialog(IDD, pParent) {}

VAppCall::~VAppCall() {}

void VAppCall::InsertApplicationsMenu(CMenu& popup, UINT position)
{
    Load();
    CMenu applications;
    if (GetCount() == 0 || !applications.CreatePopupMenu())
        return;
    static CBitmap s_check;
    if (!s_check.GetSafeHandle())
        s_check.LoadBitmap(IDB_APP_CHECK);
    for (int i = 0; i < GetCount(); ++i) {
        const UINT id = FirstCommand + i;
        applications.AppendMenu(MF_STRING, id, MenuItemText(m_titles[i]));
        // Only a checked entry shows the image; an unchecked one shows nothing.
        if (s_check.GetSafeHandle())
            applications.SetMenuItemBitmaps(id, MF_BYCOMMAND, nullptr, &s_check);
    }
    // The menu it joins may already give G to one of its own items.
    CString text = L"アプリケーションで開く";
    if (const wchar_t mnemonic = FreeMenuMnemonic(popup.GetSafeHmenu(), L'G'))
        text.AppendFormat(L"(&%c)", mnemonic);
    popup.InsertMenu(position, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(applications.Detach()),
                     text);
    popup.InsertMenu(position + 1, MF_BYPOSITION | MF_SEPARATOR);
}

void VAppCall::UpdateCommandUI(CCmdUI* pCmdUI, int nSelected) const
{
    const int index = static_cast<int>(pCmdUI->m_nID) - FirstCommand;
    const bool dup = index >= 0 && index < GetCount() && m_dup[index] != 0;
    pCmdUI->SetCheck(nSelected > 1 && dup ? 1 : 0);
}

void VAppCall::Load()
{
    m_titles.RemoveAll();
    m_commands.RemoveAll();
    m_arguments.RemoveAll();
    m_folders.RemoveAll();
    m_dup.RemoveAll();
    m_wait.RemoveAll();
    for (int i = 0;; ++i) {
        CString title;
        GetAppIniString(title, kSection, KeyOf(i, L"Title"), L"");
        if (title.IsEmpty())
            break;
        CString command, arguments, folder;
        GetAppIniString(command, kSection, KeyOf(i, L"Cmd"), L"");
        GetAppIniString(arguments, kSection, KeyOf(i, L"Argv"), L"");
        GetAppIniString(folder, kSection, KeyOf(i, L"Dir"), L"");
        m_titles.Add(title);
        m_commands.Add(command);
        m_arguments.Add(arguments);
        m_folders.Add(folder);
        m_dup.Add(static_cast<DWORD>(GetAppIniInt(kSection, KeyOf(i, L"Dup"), 0)));
        m_wait.Add(static_cast<DWORD>(GetAppIniInt(kSection, KeyOf(i, L"Wait"), 0)));
    }
    m_nLoaded = GetCount();
}

void VAppCall::Save()
{
    // An entry without a title would end the list when it is read back and hide every entry after
    // it, so such entries are left out and the rest numbered without gaps.
    int written = 0;
    for (int i = 0; i < GetCount(); ++i) {
        if (IsBlank(m_titles[i]))
            continue;
        WriteAppIniString(kSection, KeyOf(written, L"Title"), m_titles[i]);
        WriteAppIniString(kSection, KeyOf(written, L"Cmd"), m_commands[i]);
        WriteAppIniString(kSection, KeyOf(written, L"Argv"), m_arguments[i]);
        WriteAppIniString(kSection, KeyOf(written, L"Dir"), m_folders[i]);
        WriteAppIniInt(kSection, KeyOf(written, L"Dup"), static_cast<int>(m_dup[i]));
        WriteAppIniInt(kSection, KeyOf(written, L"Wait"), static_cast<int>(m_wait[i]));
        ++written;
    }
    int end = std::max(m_nLoaded, GetCount());
    for (int i = written; i < end; ++i) {
        WriteAppIniString(kSection, KeyOf(i, L"Title"), nullptr);
        WriteAppIniString(kSection, KeyOf(i, L"Cmd"), nullptr);
        WriteAppIniString(kSection, KeyOf(i, L"Argv"), nullptr);
        WriteAppIniString(kSection, KeyOf(i, L"Dir"), nullptr);
        WriteAppIniInt(kSection, KeyOf(i, L"Dup"), 0);
        WriteAppIniInt(kSection, KeyOf(i, L"Wait"), 0);
    }
    m_nLoaded = written;
}

bool VAppCall::AddEntry(LPCWSTR lpszTitle, LPCWSTR lpszCommand, LPCWSTR lpszArguments, LPCWSTR lpszFolder, BOOL bDup,
                        BOOL bWait)
{
    if (GetCount() >= MaxEntries)
        return false;
    m_titles.Add(lpszTitle);
    m_commands.Add(lpszCommand);
    m_arguments.Add(lpszArguments);
    m_folders.Add(lpszFolder);
    m_dup.Add(bDup ? 1 : 0);
    m_wait.Add(bWait ? 1 : 0);
    return true;
}

void VAppCall::RemoveEntry(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    m_titles.RemoveAt(nIndex);
    m_commands.RemoveAt(nIndex);
    m_arguments.RemoveAt(nIndex);
    m_folders.RemoveAt(nIndex);
    m_dup.RemoveAt(nIndex);
    m_wait.RemoveAt(nIndex);
}

void VAppCall::MoveEntry(int nFrom, int nTo)
{
    if (nFrom < 0 || nFrom >= GetCount() || nTo < 0 || nTo >= GetCount() || nFrom == nTo)
        return;
    MoveElement(m_titles, nFrom, nTo);
    MoveElement(m_commands, nFrom, nTo);
    MoveElement(m_arguments, nFrom, nTo);
    MoveElement(m_folders, nFrom, nTo);
    MoveElement(m_dup, nFrom, nTo);
    MoveElement(m_wait, nFrom, nTo);
}

CString VAppCall::QuoteIfSpaced(const CString& text)
{
    if (text.Left(1) != L"\"" && text.Find(L' ') >= 0)
        return L"\"" + text + L"\"";
    return text;
}

AppRunJob* VAppCall::MakeJob(int nIndex, LPCWSTR lpszDisplayFolder, const VyxFile* const* items, int nCount,
                             CString* pFolder) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return nullptr;
    CString folder = lpszDisplayFolder ? lpszDisplayFolder : L"";
    auto* job = new AppRunJob;
    job->head = QuoteIfSpaced(m_commands[nIndex]);
    job->wait = m_wait[nIndex] != 0;
    CString programPath;
    GetFieldString(&programPath, job->head, 0, L' ');
    CString programFolder;
    GetPathPart(programFolder, programPath, PartFolder);

    int files = 0;
    for (int i = 0; i < nCount; ++i)
        files += items[i] && !items[i]->IsFolder();
    const CString& argumentTemplate = m_arguments[nIndex];
    if (!argumentTemplate.IsEmpty() && files > 0) {
        for (int i = 0; i < nCount; ++i) {
            const VyxFile* item = items[i];
            if (!item || item->IsArchiveMember())
                continue;
            CString arguments;
            CString field;
            for (int f = 0; GetFieldString(&field, argumentTemplate, f, L' ') >= 0; ++f)
                arguments += L" " + ExpandField(item, field);
            CString itemFolder = item->ExpandMacros(m_folders[nIndex]);
            if (itemFolder.IsEmpty())
                itemFolder = programFolder;
            job->arguments.Add(VyxString(static_cast<LPCWSTR>(arguments)));
            job->folders.Add(VyxString(static_cast<LPCWSTR>(itemFolder)));
            folder = itemFolder;
        }
    }
    if (pFolder)
        *pFolder = folder;
    return job;
}

void VAppCall::Launch(int nIndex, LPCWSTR lpszDisplayFolder, const VyxFile* const* items, int nCount, CWnd* pOwner)
{
    CString folder;
    AppRunJob* job = MakeJob(nIndex, lpszDisplayFolder, items, nCount, &folder);
    if (!job)
        return;
    CString commandLine = job->head;
    bool started = true;
    if (m_dup[nIndex]) {
        CWinThread* thread = AfxBeginThread(RunAppsThread, job, THREAD_PRIORITY_IDLE, 0, CREATE_SUSPENDED);
        if (thread) {
            thread->m_bAutoDelete = TRUE;
            thread->ResumeThread();
            return;
        }
        delete job;
        started = false;
    } else {
        for (int k = 0; k < job->arguments.GetCount(); ++k)
            commandLine += (k ? L" " : L"") + CString(job->arguments[k].GetText());
        delete job;
        started = StartAppProcess(commandLine, folder);
    }
    if (!started) {
        CString error;
        GetLastErrorCodeAndText(error);
        CString text;
        text.Format(L"%s\n\n[%s]", static_cast<LPCWSTR>(error), static_cast<LPCWSTR>(commandLine));
        ShowMessageBox(pOwner ? pOwner->GetSafeHwnd() : nullptr, text, L"起動に失敗しました", MB_ICONINFORMATION);
    }
}

// ---- the dialog

CString VAppCall::FieldText(int nID) const
{
    CString text;
    GetDlgItemText(nID, text);
    return text;
}

BOOL VAppCall::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.SubclassDlgItem(IDC_APP_LIST, this);
    m_argumentButton.SubclassDlgItem(IDC_APP_ARG_MENU, this);
    m_folderButton.SubclassDlgItem(IDC_APP_FOLDER_MENU, this);
    if (m_argumentMenu.LoadMenu(IDR_APP_ARG_MENU))
        m_argumentButton.AttachMenu(m_argumentMenu.GetSubMenu(0));
    if (m_folderMenu.LoadMenu(IDR_APP_FOLDER_MENU))
        m_folderButton.AttachMenu(m_folderMenu.GetSubMenu(0));
    Load();
    for (int i = 0; i < GetCount(); ++i)
        m_list.AddString(m_titles[i]);
    m_nCurrent = GetCount() - 1;
    ShowEntry(m_nCurrent);
    m_list.SetCurSel(m_nCurrent);
    return TRUE;
}

void VAppCall::ShowEntry(int nIndex)
{
    bool valid = nIndex >= 0 && nIndex < GetCount();
    SetDlgItemText(IDC_APP_TITLE, valid ? static_cast<LPCWSTR>(m_titles[nIndex]) : L"");
    SetDlgItemText(IDC_APP_COMMAND, valid ? static_cast<LPCWSTR>(m_commands[nIndex]) : L"");
    SetDlgItemText(IDC_APP_ARGUMENTS, valid ? static_cast<LPCWSTR>(m_arguments[nIndex]) : L"");
    SetDlgItemText(IDC_APP_FOLDER, valid ? static_cast<LPCWSTR>(m_folders[nIndex]) : L"");
    CheckDlgButton(IDC_APP_DUP, valid && m_dup[nIndex] ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_APP_WAIT, valid && m_wait[nIndex] ? BST_CHECKED : BST_UNCHECKED);
}

void VAppCall::StoreEntry(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    m_titles[nIndex] = FieldText(IDC_APP_TITLE);
    m_commands[nIndex] = FieldText(IDC_APP_COMMAND);
    m_arguments[nIndex] = FieldText(IDC_APP_ARGUMENTS);
    m_folders[nIndex] = FieldText(IDC_APP_FOLDER);
    m_dup[nIndex] = IsDlgButtonChecked(IDC_APP_DUP) == BST_CHECKED;
    m_wait[nIndex] = IsDlgButtonChecked(IDC_APP_WAIT) == BST_CHECKED;
}

void VAppCall::RefreshListLine(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    m_list.DeleteString(nIndex);
    m_list.InsertString(nIndex, m_titles[nIndex]);
}

void VAppCall::OnSelChangeList()
{
    int selected = m_list.GetCurSel();
    StoreEntry(m_nCurrent);
    RefreshListLine(m_nCurrent);
    m_nCurrent = selected;
    ShowEntry(m_nCurrent);
    m_list.SetCurSel(m_nCurrent);
}

void VAppCall::OnAdd()
{
    if (GetCount() >= MaxEntries) {
        CString text;
        text.Format(L"外部アプリケーションの登録は最大 %d個までです", static_cast<int>(MaxEntries));
        ShowMessageBox(text);
        return;
    }
    AddEntry(L" ", L" ", L" ", L" ", FALSE, FALSE);
    int added = GetCount() - 1;
    StoreEntry(added);
    m_list.AddString(m_titles[added]);
    m_nCurrent = added;
    m_list.SetCurSel(added);
}

void VAppCall::OnDelete()
{
    int selected = m_list.GetCurSel();
    if (selected < 0 || selected >= GetCount())
        return;
    m_list.DeleteString(selected);
    RemoveEntry(selected);
    if (selected == m_nCurrent) {
        m_nCurrent = selected < GetCount() ? selected : GetCount() - 1;
        ShowEntry(m_nCurrent);
        m_list.SetCurSel(m_nCurrent);
    } else if (selected < m_nCurrent) {
        --m_nCurrent;
    }
}

void VAppCall::MoveSelected(int nTo)
{
    int selected = m_list.GetCurSel();
    if (selected < 0 || selected >= GetCount() || nTo < 0 || nTo >= GetCount() || nTo == selected)
        return;
    // The fields on show belong to the current entry: keep them before entries change places.
    StoreEntry(m_nCurrent);
    MoveEntry(selected, nTo);
    m_list.DeleteString(selected);
    m_list.InsertString(nTo, m_titles[nTo]);
    RefreshListLine(m_nCurrent < GetCount() ? m_nCurrent : -1);
    m_nCurrent = nTo;
    ShowEntry(m_nCurrent);
    m_list.SetCurSel(m_nCurrent);
}

void VAppCall::OnMoveTop()
{
    MoveSelected(0);
}

void VAppCall::OnMoveUp()
{
    int selected = m_list.GetCurSel();
    if (selected >= 1)
        MoveSelected(selected - 1);
}

void VAppCall::OnMoveDown()
{
    int selected = m_list.GetCurSel();
    if (selected >= 0 && selected < GetCount() - 1)
        MoveSelected(selected + 1);
}

void VAppCall::OnMoveBottom()
{
    int selected = m_list.GetCurSel();
    if (selected >= 0 && selected < GetCount() - 1)
        MoveSelected(GetCount() - 1);
}

BOOL VAppCall::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && ::GetKeyState(VK_CONTROL) < 0) {
        if (pMsg->wParam == VK_UP) {
            OnMoveUp();
            return TRUE;
        }
        if (pMsg->wParam == VK_DOWN) {
            OnMoveDown();
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void VAppCall::OnBrowseCommand()
{
    CString folder;
    GetModuleFolder(folder);
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                       L"実行ﾌｧｲﾙ (*.exe)|*.exe|all files(*.*)|*.*||", this);
    dialog.m_ofn.lpstrTitle = L"登録アプリケーションの選択";
    dialog.m_ofn.lpstrInitialDir = folder;
    if (dialog.DoModal() != IDOK)
        return;
    SetDlgItemText(IDC_APP_COMMAND, QuoteIfSpaced(dialog.GetPathName()));
}

void VAppCall::OnArgumentMacro(UINT nID)
{
    const wchar_t* macro = L"";
    switch (nID) {
    case ID_APP_MACRO_PATH:
        macro = L"$(Path)";
        break;
    case ID_APP_MACRO_DIR:
        macro = L"$(Dir)";
        break;
    case ID_APP_MACRO_FILENAME:
        macro = L"$(FileName)";
        break;
    case ID_APP_MACRO_SHORTPATH:
        macro = L"$(ShortPath)";
        break;
    case ID_APP_MACRO_SHORTFILENAME:
        macro = L"$(ShortFileName)";
        break;
    case ID_APP_MACRO_ARCPATH:
        macro = L"$(ArcPath)";
        break;
    default:
        return;
    }
    SendDlgItemMessage(IDC_APP_ARGUMENTS, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(macro));
}

void VAppCall::OnFolderOfPicture()
{
    SetDlgItemText(IDC_APP_FOLDER, L"$(Dir)");
}

void VAppCall::OnBrowseFolder()
{
    CString chosen;
    BrowseForFolder(chosen, GetSafeHwnd(), L"実行時のフォルダ選択", FieldText(IDC_APP_FOLDER));
    if (!chosen.IsEmpty())
        SetDlgItemText(IDC_APP_FOLDER, chosen);
}

void VAppCall::OnOK()
{
    if (FieldText(IDC_APP_TITLE).IsEmpty()) {
        ShowMessageBox(IDS_APP_NO_TITLE);
        return;
    }
    if (FieldText(IDC_APP_COMMAND).IsEmpty()) {
        ShowMessageBox(IDS_APP_NO_COMMAND);
        return;
    }
    StoreEntry(m_nCurrent);
    // Every entry is checked, not only the one on show: an entry whose title was cleared would
    // otherwise be saved empty and end the list there when it is read back.
    for (int i = 0; i < GetCount(); ++i) {
        bool noTitle = IsBlank(m_titles[i]);
        if (noTitle || IsBlank(m_commands[i])) {
            m_nCurrent = i;
            ShowEntry(i);
            m_list.SetCurSel(i);
            ShowMessageBox(noTitle ? IDS_APP_NO_TITLE : IDS_APP_NO_COMMAND);
            return;
        }
    }
    Save();
    CDialog::OnOK();
}
