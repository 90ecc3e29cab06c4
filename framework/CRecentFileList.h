// The most-recently-used file list: kept in the profile, shown as menu items from a base id.
#pragma once

#include "framework/CString.h"

class CCmdUI;

class CRecentFileList
{
public:
    // lpszEntryFormat has one %d (1-based entry number); nMaxDispLen shortens long paths in menus.
    CRecentFileList(UINT nStart, LPCWSTR lpszSection, LPCWSTR lpszEntryFormat, int nSize, int nMaxDispLen = 30);
    virtual ~CRecentFileList();
    CRecentFileList(const CRecentFileList&) = delete;
    CRecentFileList& operator=(const CRecentFileList&) = delete;

    int GetSize() const { return m_nSize; }
    CString& operator[](int nIndex);
    // The full path goes to the front; a path already listed moves there.
    virtual void Add(LPCWSTR lpszPathName);
    virtual void Remove(int nIndex);
    // The menu text of an entry: "&n name", the name shortened to the display length and
    // relative to lpszCurDir when it lies there; FALSE for an empty entry.
    virtual BOOL GetDisplayName(CString& strName, int nIndex, LPCWSTR lpszCurDir, int nCurDir,
                                BOOL bAtLeastName = TRUE) const;
    // Replaces the items from the update's id on by the entries (or disables the first item
    // when the list is empty).
    virtual void UpdateMenu(CCmdUI* pCmdUI);
    virtual void ReadList();
    virtual void WriteList();

    int m_nSize;
    CString* m_arrNames;
    CString m_strSectionName;
    CString m_strEntryFormat;
    UINT m_nStart;
    int m_nMaxDisplayLength;
    CString m_strOriginal; // the menu text of the first item, shown when the list is empty
};
