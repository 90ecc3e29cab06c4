// The main frame's list of open picture windows and its open slideshow. Only what the frame
// calls stands here yet: the list stays empty until the picture windows are built.
#pragma once

#include "framework/Framework.h"

class VSlideShowDlg;

class COneWndList
{
public:
    int GetCount() const { return 0; }
    CWnd* GetAt(int) const { return nullptr; }
    // -1 when the window is not in the list.
    int Find(const CWnd*) const { return -1; }
    void CloseAll() {}
    // FALSE when the window is not in the list.
    BOOL CloseWindow(CWnd*) { return FALSE; }
    // Every window showing the document index shows it again.
    void RefreshIndex(int) {}

    VSlideShowDlg* m_pSlideShow = nullptr;
};
