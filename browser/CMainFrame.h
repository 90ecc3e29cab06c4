// The program's main frame. Only the members the document calls stand here yet, and they do
// nothing until the main window is built.
#pragma once

#include "framework/Framework.h"

// To the main frame: wParam 109, lParam a folder path the frame copies while it handles the
// message; the folder is refreshed after the folder-change delay.
const UINT WMU_FOLDERCHANGED = 0x806;

class CMainFrame : public CFrameWnd
{
    DECLARE_DYNAMIC(CMainFrame)
public:
    void UpdateCountPane();
    void ScheduleStatusUpdate();
    // The previous mode.
    int SetWatchMode(int mode);
    void FillPluginSetCombo();
    int OpenPictureWindow(int viewIndex, int mode);
    // The thumbnail view takes the colour as its background.
    void SetThumbViewBackColor(COLORREF colour);
};
