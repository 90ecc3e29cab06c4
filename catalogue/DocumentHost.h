// What the document asks of the main window without knowing it: the status bar's counts, the
// thumbnail view's background, the plug-in set box, a picture window, and the folder watchers.
#pragma once

#include "catalogue/FolderWatchHost.h"

#include <windows.h>

// Which window DocumentHost::OpenPictureWindow shows the picture in.
enum PictureWindowOpen : int {
    PictureReuseWindow = 1, // the first open window
    PictureNewWindow = 2,
    // A new window when "MultiPicView" is set or Ctrl is held, else the first open one.
    PictureWindowAsSet = 3,
    PictureWindowChoice = 7, // the bits that choose the window
    PictureOnTop = 8,        // the window comes to the top of the z-order too
};

class DocumentHost : public FolderWatchHost
{
public:
    // The count panes a moment later, so that a run of selection changes redraws them once.
    virtual void ScheduleStatusUpdate() = 0;
    // The count panes now.
    virtual void UpdateCountPane() = 0;
    virtual void SetThumbViewBackColor(COLORREF colour) = 0;
    virtual void FillPluginSetCombo() = 0;
    // The item at the view index in a picture window chosen by a PictureWindowOpen (PictureOnTop
    // may be added). 0 shown; -1 no item or no window could be made; 1 no decoder reads it.
    virtual int OpenPictureWindow(int nViewIndex, int nMode) = 0;

protected:
    ~DocumentHost() = default;
};
