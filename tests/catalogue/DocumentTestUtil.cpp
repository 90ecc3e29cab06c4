#include "DocumentTestUtil.h"

#include "browser/CMainFrame.h"

namespace doctest {

BEGIN_MESSAGE_MAP(CStandInFrame, CFrameWnd)
ON_MESSAGE(WMU_FOLDERCHANGED, OnFolderChanged)
END_MESSAGE_MAP()

} // namespace doctest
