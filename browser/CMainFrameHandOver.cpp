// The main frame's side of a second start of the program: the location it hands over is opened
// as the start opens its first one, once no dialog or job of this window is under way.
#include "browser/CMainFrame.h"

#include "browser/InstanceHandOver.h"
#include "catalogue/CKWDoc.h"
#include "catalogue/FrameMessages.h"
#include "foundation/ShellShortcut.h"
#include "foundation/VyxPath.h"

BOOL CMainFrame::OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyDataStruct)
{
    CString path;
    if (!InstanceHandOver::ReadLocation(pCopyDataStruct, path))
        return VyxFrameWndEx::OnCopyData(pWnd, pCopyDataStruct);
    // The second start waits for this answer: the folder is read after it has it.
    m_strHandedLocation = path;
    PostMessage(WMU_OPENHANDEDLOCATION);
    return TRUE;
}

LRESULT CMainFrame::OnOpenHandedLocation(WPARAM, LPARAM)
{
    OpenHandedLocation();
    return 0;
}

void CMainFrame::OnEnable(BOOL bEnable)
{
    VyxFrameWndEx::OnEnable(bEnable);
    if (bEnable && !m_strHandedLocation.IsEmpty())
        PostMessage(WMU_OPENHANDEDLOCATION);
}

void CMainFrame::OpenHandedLocation()
{
    // A dialog or a job of this window works on the folder shown and finds it as it left it; the
    // location waits for the window to be enabled again, or for the next idle time.
    if (m_strHandedLocation.IsEmpty() || !IsWindowEnabled() || m_bFileOperation)
        return;
    const CString handed = m_strHandedLocation;
    m_strHandedLocation.Empty();
    CKWDoc* doc = GetKWDoc();
    CString path;
    ResolveShortcut(path, handed);
    if (path.IsEmpty())
        path = handed;
    if (!doc || !PathExists(InstanceHandOver::DiskPart(path), kAnyAttribute))
        return;
    if (IsIconic())
        ShowWindow(SW_RESTORE);
    SetForegroundWindow();
    // As at the start: the document takes the location (a picture named there opens once its
    // folder is listed), and the folder pane goes to it.
    doc->OnOpenDocument(path);
    CString location = doc->GetLocationPath();
    Announce(HintGoToPath, reinterpret_cast<CObject*>(location.GetBuffer()));
    location.ReleaseBuffer();
}
