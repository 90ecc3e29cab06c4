#include "catalogue/CCommentDlg.h"

#include "catalogue/NoteText.h"
#include "catalogue/VyxFile.h"
#include "catalogue/VyxNoteStore.h"
#include "foundation/MessageBoxes.h"
#include "foundation/TwinNameGuard.h"
#include "foundation/VyxSystem.h"
#include "foundation/WindowPlacement.h"
#include "res/resource.h"

namespace {

const wchar_t kSection[] = L"Comment";
const wchar_t kNoteRefusedText[] =
    L"このファイルのコメントは、同じフォルダーにある名前の似た別のファイル"
    L"（大文字と小文字、[ ] と { }、前後の空白の違い）と区別できないため、保存できません。";
// The file's path follows.
const wchar_t kFileGoneText[] =
    L"このファイルはもうありません（ほかで名前が変えられたか、移動か削除されたようです）。"
    L"コメントは保存していません。\r\n";
// The note file's path and the system's reason follow.
const wchar_t kNoteFailedText[] = L"コメントを次のコメントファイルに保存できませんでした。\r\n";
// The note file's path follows.
const wchar_t kNoteUnconvertibleText[] = L"このコメント（またはファイル名）には Shift_JIS "
                                         L"で書けない文字があります。次のコメントファイルには別の文字コードで書かれた部"
                                         L"分があり、書き換えるとその部分が失われるため、保存できません。\r\n\r\n";

} // namespace

BEGIN_MESSAGE_MAP(CCommentDlg, CResizableDialog)
ON_WM_PAINT()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CCommentDlg::CCommentDlg(VyxFile* item, CWnd* parent) : CResizableDialog(IDD, parent), m_item(item) {}

void CCommentDlg::DoDataExchange(CDataExchange* pDX)
{
    CResizableDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_COMMENT_DATE, m_date);
    DDX_Control(pDX, IDC_COMMENT_SIZE, m_size);
    DDX_Control(pDX, IDC_COMMENT_NAME, m_name);
    DDX_Control(pDX, IDC_COMMENT_EDIT, m_edit);
}

BOOL CCommentDlg::OnInitDialog()
{
    CResizableDialog::OnInitDialog();
    m_edit.SetMargins(2, 2);
    // The template's Exif button has no action here.
    if (CWnd* exif = GetDlgItem(IDC_COMMENT_EXIF))
        exif->ShowWindow(SW_HIDE);
    if (m_item) {
        m_name.SetWindowText(m_item->ExpandMacros(L"Name: $(FileName)"));
        m_size.SetWindowText(m_item->ExpandMacros(L"Size: $(Size)"));
        m_date.SetWindowText(m_item->ExpandMacros(L"Date: $(DateTime)"));
        m_edit.SetWindowText(NoteText::Typed(m_item->GetNote()));
    }
    AddAnchor(IDC_COMMENT_NAME, TOP_LEFT, TOP_RIGHT);
    AddAnchor(IDC_COMMENT_SIZE, TOP_LEFT, TOP_RIGHT);
    AddAnchor(IDC_COMMENT_DATE, TOP_LEFT, TOP_RIGHT);
    AddAnchor(IDC_COMMENT_EDIT, TOP_LEFT, BOTTOM_RIGHT);
    AddAnchor(IDOK, BOTTOM_RIGHT);
    AddAnchor(IDCANCEL, BOTTOM_RIGHT);
    RestoreWindowPlacement(m_hWnd, kSection);
    return TRUE;
}

void CCommentDlg::OnOK()
{
    if (m_item) {
        // A note under a name now leading to another file would be that file's.
        if (!m_item->IsArchiveMember() && TwinNameGuard::Refuses(m_item->GetPath())) {
            ShowMessageBox(TwinNameGuard::LastRefusalText(), MB_OK | MB_ICONSTOP);
            return;
        }
        CString text;
        m_edit.GetWindowText(text);
        // A pasted text may break lines with a lone CR or LF: each is a line break of the note.
        const int result = m_item->SetNote(NoteText::Stored(text));
        const DWORD reason = GetLastError();
        if (result != VyxNoteStore::NoteWritten) {
            // The text stays in the dialog, to be kept elsewhere or given up with Cancel.
            CString message = kNoteRefusedText;
            if (result == VyxNoteStore::NoteUnconvertible) {
                message = kNoteUnconvertibleText + m_item->GetNoteFilePath();
            } else if (result == VyxNoteStore::NoteFileGone) {
                message = kFileGoneText + m_item->GetPath();
            } else if (result != VyxNoteStore::NoteRefused) {
                message = kNoteFailedText + m_item->GetNoteFilePath() + L"\r\n" +
                          VyxNoteStore::GetFailureText(reason ? reason : ERROR_WRITE_FAULT);
            }
            ShowMessageBox(message, MB_OK | MB_ICONSTOP);
            return;
        }
    }
    CResizableDialog::OnOK();
}

void CCommentDlg::OnDestroy()
{
    SaveWindowPlacement(m_hWnd, kSection);
    CResizableDialog::OnDestroy();
}

void CCommentDlg::OnPaint()
{
    CPaintDC dc(this);
    CWnd* frame = GetDlgItem(IDC_COMMENT_PICTURE);
    if (!m_item || !frame)
        return;
    CRect rect;
    frame->GetWindowRect(&rect);
    ScreenToClient(&rect);
    // A copy, so that drawing here neither stores nor looks up the thumbnail cache.
    VyxFile copy(*m_item);
    copy.SetAutoCache(FALSE);
    copy.SetCacheLookup(FALSE);
    copy.DrawPreview(&dc, rect, true);
}
