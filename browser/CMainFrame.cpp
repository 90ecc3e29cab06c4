#include "browser/CMainFrame.h"

IMPLEMENT_DYNAMIC(CMainFrame, CFrameWnd)

void CMainFrame::UpdateCountPane() {}

void CMainFrame::ScheduleStatusUpdate() {}

int CMainFrame::SetWatchMode(int)
{
    return 0;
}

void CMainFrame::FillPluginSetCombo() {}

int CMainFrame::OpenPictureWindow(int, int)
{
    return 0;
}

void CMainFrame::SetThumbViewBackColor(COLORREF) {}
