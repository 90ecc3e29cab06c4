// The question a copy, move or save asks when a file of the same name is at the destination. Only
// its fields stand here yet: it answers IDCANCEL until the dialog is built.
#pragma once

#include "framework/Framework.h"

class VyxFile;

class VSameFileDlg
{
public:
    VSameFileDlg(const VyxFile&, LPCWSTR destination, int, int skipIdentical, int recycleOld, LPCWSTR, CWnd* = nullptr)
        : m_skipIdentical(skipIdentical), m_recycleOld(recycleOld), m_targetPath(destination)
    {
    }
    virtual ~VSameFileDlg() = default;
    virtual INT_PTR DoModal() { return IDCANCEL; }

    // Read back after IDOK.
    int m_skipIdentical;
    int m_recycleOld;
    int m_mode = 0;
    int m_applyToAll = 0;
    CString m_targetPath;
};
