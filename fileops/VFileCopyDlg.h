// The copy dialog and, through VFileMoveDlg, its twin for moves. Only their fields stand here yet:
// they answer IDCANCEL until the dialogs are built.
#pragma once

#include "framework/Framework.h"

class VFileCopyDlg
{
public:
    explicit VFileCopyDlg(CWnd* = nullptr) {}
    virtual ~VFileCopyDlg() = default;
    virtual INT_PTR DoModal() { return IDCANCEL; }

    // 1 when only files that exist at the destination go, else 0.
    int GetExistingOnly() const { return m_targetFiles == 1 ? 1 : 0; }
    // The engine's same-name code for the choice.
    int GetSameNameMode() const { return m_sameName; }

    // In: the document's folder. Out: the destination, full.
    CString m_initialFolder;
    CString m_destination;
    int m_targetFiles = 0;
    int m_sameName = 0;
};

class VFileMoveDlg : public VFileCopyDlg
{
public:
    explicit VFileMoveDlg(CWnd* parent = nullptr) : VFileCopyDlg(parent) {}
};
