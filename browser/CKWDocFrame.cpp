// Where the document calls on the main frame: the status bar, and the picture asked for on start.
#include "catalogue/CKWDoc.h"

#include "browser/CMainFrame.h"
#include "catalogue/VyxFile.h"

CMainFrame* CKWDoc::GetMainFrame() const
{
    return DYNAMIC_DOWNCAST(CMainFrame, AfxGetMainWnd());
}

void CKWDoc::ScheduleStatusUpdate() const
{
    if (CMainFrame* frame = GetMainFrame())
        frame->ScheduleStatusUpdate();
}

void CKWDoc::UpdateCountPane() const
{
    if (CMainFrame* frame = GetMainFrame())
        frame->UpdateCountPane();
}

void CKWDoc::ShowBackColorInFrame() const
{
    if (CMainFrame* frame = GetMainFrame())
        frame->SetThumbViewBackColor(colBackGround);
}

void CKWDoc::RefillFramePluginSets() const
{
    if (CMainFrame* frame = GetMainFrame())
        frame->FillPluginSetCombo();
}

void CKWDoc::OpenPendingPicture()
{
    if (m_pendingOpenPath.IsEmpty())
        return;
    CString path = m_pendingOpenPath;
    m_pendingOpenPath.Empty();
    for (int i = 0; i < GetItemCount(); ++i) {
        VyxFile* item = GetItem(i);
        if (item && !item->IsArchiveMember() && item->GetPath().CompareNoCase(path) == 0) {
            if (CMainFrame* frame = GetMainFrame())
                frame->OpenPictureWindow(i, PictureReuseWindow | PictureOnTop);
            break;
        }
    }
}
