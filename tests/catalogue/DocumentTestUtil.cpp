#include "DocumentTestUtil.h"

#include "catalogue/VyxFile.h"
#include "fileops/VyxFileTransfer.h"

#include <memory>

namespace doctest {

BEGIN_MESSAGE_MAP(CStandInFrame, CFrameWnd)
ON_MESSAGE(WMU_FOLDERCHANGED, OnFolderChanged)
ON_MESSAGE(WMU_FILEOPERATION, OnFileOperation)
END_MESSAGE_MAP()

LRESULT CStandInFrame::OnFileOperation(WPARAM wParam, LPARAM)
{
    std::unique_ptr<VyxFileTransfer> job(reinterpret_cast<VyxFileTransfer*>(wParam));
    if (!job)
        return 0;
    std::wstring text = job->GetMoveMode() ? L"move " : L"copy ";
    text += job->GetDestination().GetString();
    text += L":";
    for (int i = 0; i < job->GetItemCount(); ++i)
        text += L" " + std::wstring(job->GetItem(i)->GetFileName().GetString());
    jobs.push_back(text);
    return 0;
}

} // namespace doctest
