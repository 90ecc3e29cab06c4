#include "fileops/VSameFileDlg.h"

#include "fileops/VyxFileTransfer.h"
#include "foundation/VyxIni.h"
#include "foundation/VyxPath.h"
#include "foundation/WindowPlacement.h"
#include "res/resource.h"

namespace {

const wchar_t kSection[] = L"Filer";
const wchar_t kPlacement[] = L"FileSame";

bool IsModeId(UINT id)
{
    return id >= IDC_SAME_NEWER && id <= IDC_SAME_LARGER;
}

} // namespace

BEGIN_MESSAGE_MAP(VSameFileDlg, CResizableDialog)
ON_WM_DESTROY()
ON_CONTROL_RANGE(BN_CLICKED, IDC_SAME_NEWER, IDC_SAME_LARGER, OnModeClicked)
ON_EN_CHANGE(IDC_SAME_DEST_NAME, OnNameChanged)
ON_EN_CHANGE(IDC_SAME_DEST_EXT, OnNameChanged)
ON_BN_CLICKED(IDC_SAME_ALL, OnAllSubsequent)
ON_BN_CLICKED(IDC_SAME_SOURCE_ZOOM, OnSourceZoom)
ON_BN_CLICKED(IDC_SAME_DEST_ZOOM, OnDestinationZoom)
END_MESSAGE_MAP()

VSameFileDlg::VSameFileDlg(const VyxFile& item, LPCWSTR destination, int move, int skipIdentical, int recycleOld,
                           LPCWSTR uniqueNameFormat, CWnd* parent)
    : CResizableDialog(IDD_SAME_FILE, parent), m_skipIdentical(skipIdentical), m_recycleOld(recycleOld),
      m_targetPath(destination ? destination : L""), m_sourcePath(item.GetPath()), m_proposedTarget(m_targetPath),
      m_uniqueNameFormat(uniqueNameFormat ? uniqueNameFormat : L""), m_move(move),
      m_sourceItem(std::make_unique<VyxFile>(item))
{
    GetPathPart(m_targetFolder, m_targetPath, PartFolder);
}

VSameFileDlg::~VSameFileDlg() {}

void VSameFileDlg::DoDataExchange(CDataExchange* pDX)
{
    CResizableDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SAME_DEST_VIEW, m_destinationView);
    DDX_Control(pDX, IDC_SAME_SOURCE_VIEW, m_sourceView);
    DDX_Control(pDX, IDC_SAME_SOURCE_ZOOM, m_sourceZoomButton);
    DDX_Control(pDX, IDC_SAME_DEST_ZOOM, m_destinationZoomButton);
    DDX_Control(pDX, IDC_SAME_RECYCLE_OLD, m_recycleOldButton);
    DDX_Control(pDX, IDC_SAME_SKIP_IDENTICAL, m_skipIdenticalButton);
    DDX_Control(pDX, IDC_SAME_ALL, m_allButton);
    DDX_Control(pDX, IDC_SAME_DEST_NAME, m_nameEdit);
    DDX_Control(pDX, IDC_SAME_DEST_EXT, m_extensionEdit);
}

BOOL VSameFileDlg::OnInitDialog()
{
    CResizableDialog::OnInitDialog();
    GetDlgItemText(IDC_SAME_DEST_TITLE, m_destinationTitle);
    m_destinationView.CreateView();
    m_sourceView.CreateView();
    SameFileViewChoices& choices = *this;
    SettingsTable::Read(choices);
    // Earlier runs wrote back the old default, whose size had no unit.
    if (m_upperFormat == L"$(DateTime) $(Size)")
        m_upperFormat = SameFileViewChoices().m_upperFormat;
    m_applyToAll = 0;
    // Margins of 2 dialog units on both sides.
    CRect margin(0, 0, 2, 0);
    MapDialogRect(&margin);
    for (CEditEx* edit : {&m_nameEdit, &m_extensionEdit})
        edit->SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(margin.right, margin.right));

    int stored = GetAppIniInt(kSection, L"SameOption", 0);
    // A typed name belongs to one file: a stored rename opens as newer date.
    if (stored < VyxFileTransfer::SameNewer || stored > VyxFileTransfer::SameLarger ||
        stored == VyxFileTransfer::SameAsk)
        stored = VyxFileTransfer::SameNewer;
    SelectMode(stored);
    CheckRadioButton(IDC_SAME_NEWER, IDC_SAME_LARGER, IDC_SAME_NEWER + m_mode);
    m_recycleOldButton.SetCheck(m_recycleOld ? BST_CHECKED : BST_UNCHECKED);
    m_skipIdenticalButton.SetCheck(m_skipIdentical ? BST_CHECKED : BST_UNCHECKED);
    SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_sourceZoomButton.SetCheck(m_sourceZoom ? BST_CHECKED : BST_UNCHECKED);
    m_destinationZoomButton.SetCheck(m_destinationZoom ? BST_CHECKED : BST_UNCHECKED);

    for (UINT id : {IDC_SAME_SOURCE_TITLE, IDC_SAME_SOURCE_ZOOM})
        AddAnchor(id, TOP_LEFT);
    AddAnchor(IDC_SAME_SOURCE_VIEW, TOP_LEFT, BOTTOM_CENTER);
    AddAnchor(IDC_SAME_ARROW, MIDDLE_CENTER);
    AddAnchor(IDC_SAME_DEST_TITLE, TOP_CENTER);
    AddAnchor(IDC_SAME_DEST_ZOOM, TOP_RIGHT);
    AddAnchor(IDC_SAME_DEST_VIEW, TOP_CENTER, BOTTOM_RIGHT);
    for (UINT id : {IDC_SAME_SOURCE_NAME, IDC_SAME_SOURCE_INFO, IDC_SAME_SOURCE_INFO2})
        AddAnchor(id, BOTTOM_LEFT, BOTTOM_CENTER);
    for (UINT id : {IDC_SAME_DEST_NAME, IDC_SAME_DEST_INFO, IDC_SAME_DEST_INFO2})
        AddAnchor(id, BOTTOM_CENTER, BOTTOM_RIGHT);
    AddAnchor(IDC_SAME_DEST_EXT, BOTTOM_RIGHT);
    for (CWnd* child = GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
        UINT id = static_cast<UINT>(child->GetDlgCtrlID());
        // The dot between the edits, the choices and the buttons keep to the bottom edge.
        if (id == static_cast<UINT>(IDC_STATIC) || IsModeId(id) || id == IDC_SAME_GROUP || id == IDC_SAME_RECYCLE_OLD ||
            id == IDC_SAME_SKIP_IDENTICAL)
            AddAnchor(child->m_hWnd, id == static_cast<UINT>(IDC_STATIC) ? BOTTOM_RIGHT : BOTTOM_LEFT);
    }
    for (UINT id : {static_cast<UINT>(IDOK), static_cast<UINT>(IDC_SAME_ALL), static_cast<UINT>(IDCANCEL)})
        AddAnchor(id, BOTTOM_RIGHT);
    RestoreWindowPlacement(m_hWnd, kPlacement);
    ShowSource();
    // The first tab stop is the zoom box, which has no label to draw a focus mark round: the
    // focus starts on the choice, where it shows and the arrow keys change it.
    GotoDlgCtrl(GetDlgItem(IDC_SAME_NEWER + m_mode));
    return FALSE;
}

void VSameFileDlg::OnDestroy()
{
    SaveWindowPlacement(m_hWnd, kPlacement);
    SettingsTable::Write(static_cast<const SameFileViewChoices&>(*this));
    CResizableDialog::OnDestroy();
}

void VSameFileDlg::ShowPreview(COneViewCtrl& view, VyxFile* item, int zoom)
{
    // Actual size is the zoom 1.0 as is: a fitting mode would work out its own zoom.
    view.SetFitMode(zoom ? COnePicture::FitAsIs : COnePicture::FitAspect);
    if (zoom)
        view.SetZoom(1.0);
    view.SetPicture(item);
}

void VSameFileDlg::FillInfo(int upperId, int lowerId, const VyxFile& item)
{
    // A typed name that names no file has nothing to tell.
    bool exists = PathExists(item.GetPath(), kAnyAttribute);
    SetDlgItemText(upperId, exists ? item.ExpandMacros(m_upperFormat) : CString());
    SetDlgItemText(lowerId, exists ? item.ExpandMacros(m_lowerFormat) : CString());
}

void VSameFileDlg::ShowSource()
{
    SetDlgItemText(IDC_SAME_SOURCE_NAME, L" " + m_sourceItem->GetFileName());
    ShowPreview(m_sourceView, m_sourceItem.get(), m_sourceZoom);
    FillInfo(IDC_SAME_SOURCE_INFO, IDC_SAME_SOURCE_INFO2, *m_sourceItem);
}

void VSameFileDlg::ShowDestination(const CString& path)
{
    m_targetPath = path;
    // A name that leads to a file spelled otherwise shows that file, named above it: the edits
    // keep the name asked for, which is another file's.
    CString shown = path, other;
    const bool otherFile = LookUpExactName(path, &other) == NameLookup::OtherCase;
    if (otherFile)
        MakePath(shown, nullptr, PathPart(path, PartFolder), other, nullptr);
    SetDlgItemText(IDC_SAME_DEST_TITLE,
                   otherFile ? L" 転送先にあるのは別のファイル「" + other + L"」" : m_destinationTitle);
    CString name, extension, shownName, shownExtension;
    GetPathPart(name, path, PartName);
    GetPathPart(extension, path, PartExt);
    if (!extension.IsEmpty() && extension[0] == L'.')
        extension = extension.Mid(1);
    // Only what differs is set, so the caret stays where the user types.
    m_guard = 1;
    m_nameEdit.GetWindowText(shownName);
    m_extensionEdit.GetWindowText(shownExtension);
    if (shownName != name)
        m_nameEdit.SetWindowText(name);
    if (shownExtension != extension)
        m_extensionEdit.SetWindowText(extension);
    m_guard = 0;
    if (!m_destinationItem || m_destinationItem->GetPath() != shown) {
        m_destinationItem = std::make_unique<VyxFile>(shown);
        ShowPreview(m_destinationView, m_destinationItem.get(), m_destinationZoom);
    }
    FillInfo(IDC_SAME_DEST_INFO, IDC_SAME_DEST_INFO2, *m_destinationItem);
}

CString VSameFileDlg::GetCandidatePath() const
{
    CString name, extension, candidate;
    m_nameEdit.GetWindowText(name);
    m_extensionEdit.GetWindowText(extension);
    // An empty extension names the file without one, not a name ending in ".".
    return MakePath(candidate, nullptr, m_targetFolder, extension.IsEmpty() ? name : name + L"." + extension, nullptr);
}

void VSameFileDlg::SelectMode(int mode)
{
    m_mode = mode;
    BOOL skipEnabled = mode == VyxFileTransfer::SameOverwrite || mode == VyxFileTransfer::SameSerial;
    m_skipIdenticalButton.EnableWindow(skipEnabled);
    if (mode == VyxFileTransfer::SameAsk)
        return;
    m_modeBeforeRename = -1;
    CString shown = m_proposedTarget;
    if (mode == VyxFileTransfer::SameSerial &&
        !VyxFileTransfer::MakeSerialName(shown, m_proposedTarget, m_uniqueNameFormat))
        shown = m_proposedTarget;
    ShowDestination(shown);
}

void VSameFileDlg::OnModeClicked(UINT id)
{
    if (IsModeId(id))
        SelectMode(static_cast<int>(id - IDC_SAME_NEWER));
}

void VSameFileDlg::OnNameChanged()
{
    if (m_guard)
        return;
    CString candidate = GetCandidatePath();
    bool caseOnly = candidate.CompareNoCase(m_targetPath) == 0;
    if (caseOnly) {
        if (m_modeBeforeRename >= 0) {
            int restored = m_modeBeforeRename;
            m_modeBeforeRename = -1;
            CheckRadioButton(IDC_SAME_NEWER, IDC_SAME_LARGER, IDC_SAME_NEWER + restored);
            // What is shown is what will happen: the restored choice works on the proposed file.
            SelectMode(restored);
        }
    } else if (m_modeBeforeRename < 0) {
        int previous = m_mode;
        SelectMode(VyxFileTransfer::SameAsk);
        m_modeBeforeRename = previous;
        CheckRadioButton(IDC_SAME_NEWER, IDC_SAME_LARGER, IDC_SAME_RENAME);
    }
    m_allButton.EnableWindow(caseOnly);
    GetDlgItem(IDC_SAME_RENAME)->EnableWindow(!caseOnly);
    if (!caseOnly || m_mode == VyxFileTransfer::SameAsk)
        ShowDestination(candidate);
}

BOOL VSameFileDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_nameEdit.GetSafeHwnd()) {
        if (pMsg->wParam == VK_RETURN) {
            NextDlgCtrl();
            return TRUE;
        }
        if (pMsg->wParam == VK_ESCAPE) {
            CString shown = m_targetPath;
            ShowDestination(shown);
            return TRUE;
        }
    }
    return CResizableDialog::PreTranslateMessage(pMsg);
}

void VSameFileDlg::OnSourceZoom()
{
    m_sourceZoom = m_sourceZoomButton.GetCheck() == BST_CHECKED;
    ShowPreview(m_sourceView, m_sourceItem.get(), m_sourceZoom);
}

void VSameFileDlg::OnDestinationZoom()
{
    m_destinationZoom = m_destinationZoomButton.GetCheck() == BST_CHECKED;
    ShowPreview(m_destinationView, m_destinationItem.get(), m_destinationZoom);
}

void VSameFileDlg::OnAllSubsequent()
{
    m_applyToAll = 1;
    OnOK();
}

void VSameFileDlg::OnOK()
{
    m_targetPath = GetCandidatePath();
    m_skipIdentical = m_skipIdenticalButton.GetCheck() == BST_CHECKED;
    m_recycleOld = m_recycleOldButton.GetCheck() == BST_CHECKED;
    WriteAppIniInt(kSection, L"SameOption", m_mode);
    EndDialog(IDOK);
}
