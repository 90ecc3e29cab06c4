// The private messages of the main frame and of the views it steers, and the document's update
// hints as the frame and its panes announce them.
#pragma once

#include "framework/Framework.h"

#define WMU_THUMBS_PREVPAGE 0x7ED
#define WMU_THUMBS_NEXTPAGE 0x7EE
#define WMU_THUMBS_LARGER 0x7EF
#define WMU_THUMBS_SMALLER 0x7F0
#define WMU_THUMBS_COLUMNS 0x7F1
#define WMU_IDLESTEP 0x7F7
#define WMU_STATUSTEXT 0x7FB
#define WMU_PROGRESS 0x7FC
#define WMU_UPDATEALLVIEWS 0x7FD
#define WMU_RENDERDATA 0x7FF
#define WMU_LASTPICTUREWND 0x800
#define WMU_FOCUSPICTUREWND 0x802
#define WMU_TILEPICTUREWND 0x803
#define WMU_CLOSEPICTUREWND 0x804
#define WMU_FOLDERCHANGED 0x806
#define WMU_PICTUREWNDBROADCAST 0x807
#define WMU_SLIDESHOWENDED 0x809
#define WMU_FILEOPERATION 0x80A
#define WMU_OPENHANDEDLOCATION 0x80B
// Answers the frame's work-flag word (WorkFlag) as it stands, without running an idle step: what
// the idle loop still has to do, asked from outside without doing any of it.
#define WMU_WORKFLAGS 0x80C

// Who saw the change WMU_FOLDERCHANGED reports (its wParam). Each is also the id of the frame's
// timer that gathers a burst of such changes into one update.
enum FolderChangeSource : UINT {
    // The watcher of the shown drive's root (lParam its block): the free space is read again.
    FolderChangeOnDrive = 1,
    // The watcher of the shown folder (lParam its block): the document is refreshed.
    FolderChangeInFolder = 2,
    // The document, after changing files itself (lParam the folder): the document is refreshed.
    FolderChangeByDocument = 109,
};

enum UpdateHint {
    HintRedraw = 0,
    HintListRebuilding = 1,
    HintListRebuilt = 2,
    HintFrameClosing = 3,
    HintSelection = 4,
    HintIdleStep = 5,
    HintScrolled = 7,
    HintItemChanged = 8,
    HintItemAdded = 9,
    HintGoToPath = 10,
    HintCursorMoved = 11,
    HintItemActivated = 12,
    HintSettingsChanged = 13,
    HintColoursChanged = 14,
    HintItemRemoved = 15,
    HintRenamed = 17,
    HintNextFolder = 19,
    HintDriveChosen = 20,
    HintFolderChanged = 21
};

// Hint objects that carry a number (a view index) in the pointer, or point at two 32-bit values
// {state, view index} (hints 4 and 11).
inline CObject* IndexHint(int value)
{
    return reinterpret_cast<CObject*>(static_cast<INT_PTR>(value));
}

inline int HintIndex(CObject* pHint)
{
    return static_cast<int>(reinterpret_cast<INT_PTR>(pHint));
}

inline const int* HintPair(CObject* pHint)
{
    return reinterpret_cast<const int*>(pHint);
}

// Bits of the frame's work-flag word.
enum WorkFlag { WorkVisibleThumbs = 1, WorkAllThumbs = 2, WorkFolderWalk = 4 };
