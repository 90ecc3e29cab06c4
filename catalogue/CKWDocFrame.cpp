// Where the document calls on its host, the main frame: the status bar, the thumbnail view's
// background, the plug-in set box, and the picture asked for on start.
#include "catalogue/CKWDoc.h"

#include "catalogue/DocumentHost.h"
#include "catalogue/VyxFile.h"

void CKWDoc::SetHost(DocumentHost* host)
{
    m_host = host;
}

void CKWDoc::ScheduleStatusUpdate() const
{
    if (DocumentHost* host = GetHost())
        host->ScheduleStatusUpdate();
}

void CKWDoc::UpdateCountPane() const
{
    if (DocumentHost* host = GetHost())
        host->UpdateCountPane();
}

void CKWDoc::ShowBackColorInFrame() const
{
    if (DocumentHost* host = GetHost())
        host->SetThumbViewBackColor(colBackGround);
}

void CKWDoc::RefillFramePluginSets() const
{
    if (DocumentHost* host = GetHost())
        host->FillPluginSetCombo();
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
            if (DocumentHost* host = GetHost())
                host->OpenPictureWindow(i, PictureReuseWindow | PictureOnTop);
            break;
        }
    }
}
