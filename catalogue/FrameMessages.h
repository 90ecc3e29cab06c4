// The private messages of the main frame and of the views it steers, and the document's update
// hints with the helpers that make and read their objects (the one list of both).
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

// The document's update hints (CDocument::UpdateAllViews), with what their object is.
enum UpdateHint {
    HintRedraw = 0,           // none
    HintListRebuilding = 1,   // the location's path text; none after an aborted scan
    HintListRebuilt = 2,      // the location's path text
    HintFrameClosing = 3,     // none
    HintSelection = 4,        // two 32-bit values {selected 0/1, view index}
    HintIdleStep = 5,         // none
    HintScrolled = 7,         // the view index of the top row's first item
    HintItemChanged = 8,      // the view index itself
    HintItemAdded = 9,        // the view index itself
    HintGoToPath = 10,        // the path text
    HintCursorMoved = 11,     // two 32-bit values {0, old view index}, then {1, new view index}
    HintItemActivated = 12,   // the view index itself
    HintSettingsChanged = 13, // the address of the folder tree's "TreeRoot", or none
    HintColoursChanged = 14,  // none
    HintItemRemoved = 15,     // the view index itself
    HintRenamed = 17,         // the folder's path text
    HintNextFolder = 19,      // the value itself: 0 up, 1 down, 2 left, 3 right
    HintDriveChosen = 20,     // the drive's number itself (0 for A)
    HintFolderChanged = 21    // the folder's path text
};

// A hint's object: a number carried in the pointer, or the address of the data it names.
inline CObject* HintValue(int value)
{
    return reinterpret_cast<CObject*>(static_cast<INT_PTR>(value));
}

inline CObject* HintArgument(const void* data)
{
    return reinterpret_cast<CObject*>(const_cast<void*>(data));
}

// The number a hint carries in its pointer, and the two values {state, view index} of hints 4 and 11.
inline int HintIndex(CObject* pHint)
{
    return static_cast<int>(reinterpret_cast<INT_PTR>(pHint));
}

inline const int* HintPair(CObject* pHint)
{
    return reinterpret_cast<const int*>(pHint);
}

// Bits of the frame's work-flag word.
enum WorkFlag { WorkVisibleThumbs = 1, WorkAllThumbs = 2, WorkFolderWalk = 4, WorkRetiredItems = 8 };
