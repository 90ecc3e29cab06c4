#include "fileops/VFileRenameDlg.h"

#include "catalogue/VyxFile.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "res/resource.h"

namespace {

const wchar_t kSection[] = L"Filer";

} // namespace

BEGIN_MESSAGE_MAP(VFileRenameDlg, CDialog)
ON_BN_CLICKED(IDC_RENAME_ABORT, OnAbort)
ON_BN_CLICKED(IDC_RENAME_PREVIEW, OnPreviewClicked)
ON_EN_CHANGE(IDC_RENAME_EDIT, OnNameChange)
ON_WM_PAINT()
ON_WM_DESTROY()
END_MESSAGE_MAP()

VFileRenameDlg::VFileRenameDlg(CWnd* parent) : CDialog(IDD, parent) {}

VFileRenameDlg::~VFileRenameDlg() = default;

void VFileRenameDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RENAME_EDIT, m_edit);
}

BOOL VFileRenameDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CheckDlgButton(IDC_RENAME_PREVIEW, GetAppIniInt(kSection, L"RenamePreview", 1) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_RENAME_KEEP_EXT, GetAppIniInt(kSection, L"RenameExt", 0) ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemText(IDC_RENAME_NAME, m_name);
    if (m_item) {
        SetDlgItemText(IDC_RENAME_DATE, m_item->ExpandMacros(L"$(Date) $(Time)"));
        SetDlgItemText(IDC_RENAME_SIZE, m_item->ExpandMacros(L"$(Size)"));
    }
    CString extension;
    GetPathPart(extension, m_name, PartExt);
    m_edit.SetExtension(extension);
    m_edit.SetWindowText(m_name);
    if (m_moreFiles) {
        GetDlgItem(IDC_RENAME_ABORT)->ShowWindow(SW_SHOW);
        SetDlgItemText(IDCANCEL, L"スキップ");
    }
    OnNameChange();
    // The title selected, ready to be typed over.
    m_edit.SetFocus();
    m_edit.SetSel(0, m_name.GetLength() - extension.GetLength());
    return FALSE;
}

void VFileRenameDlg::OnNameChange()
{
    CString text;
    m_edit.GetWindowText(text);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(!text.IsEmpty() && text != m_name);
}

void VFileRenameDlg::OnOK()
{
    CString text;
    m_edit.GetWindowText(text);
    if (text.IsEmpty() || text == m_name)
        return;
    m_name = text;
    CDialog::OnOK();
}

void VFileRenameDlg::OnAbort()
{
    m_abort = 1;
    EndDialog(IDCANCEL);
}

void VFileRenameDlg::OnPreviewClicked()
{
    if (CWnd* frame = GetDlgItem(IDC_RENAME_PICTURE)) {
        CRect rect;
        frame->GetWindowRect(&rect);
        ScreenToClient(&rect);
        InvalidateRect(&rect, TRUE);
    }
}

void VFileRenameDlg::OnPaint()
{
    CPaintDC dc(this);
    CWnd* frame = GetDlgItem(IDC_RENAME_PICTURE);
    if (!frame || m_path.IsEmpty())
        return;
    if (!m_previewItem || m_previewPath != m_path) {
        m_previewItem.reset(new VyxFile(m_path));
        m_previewPath = m_path;
    }
    CRect rect;
    frame->GetWindowRect(&rect);
    ScreenToClient(&rect);
    m_previewItem->DrawPreview(&dc, rect, IsDlgButtonChecked(IDC_RENAME_PREVIEW) == BST_CHECKED);
}

void VFileRenameDlg::OnDestroy()
{
    WriteAppIniInt(kSection, L"RenamePreview", IsDlgButtonChecked(IDC_RENAME_PREVIEW) == BST_CHECKED ? 1 : 0);
    WriteAppIniInt(kSection, L"RenameExt", IsDlgButtonChecked(IDC_RENAME_KEEP_EXT) == BST_CHECKED ? 1 : 0);
    m_previewItem.reset();
    CDialog::OnDestroy();
}
