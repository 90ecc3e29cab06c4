// Folder searches. FindFile finds the first entry and FindNextFile steps to each found entry in
// turn, answering FALSE when the entry it moved to is the last:
//     BOOL more = finder.FindFile(L"C:\\dir\\*.*");
//     while (more) { more = finder.FindNextFile(); use(finder.GetFilePath()); }
#pragma once

#include "framework/CTime.h"

class CFileFind : public CObject
{
    DECLARE_DYNAMIC(CFileFind)
public:
    CFileFind();
    ~CFileFind() override;

    // pstrName null searches "*.*" in the current folder. FALSE (GetLastError kept) when nothing matches.
    virtual BOOL FindFile(LPCWSTR pstrName = nullptr, DWORD dwUnused = 0);
    virtual BOOL FindNextFile();
    void Close();

    ULONGLONG GetLength() const;
    virtual CString GetFileName() const;
    // The search root joined with the file name.
    virtual CString GetFilePath() const;
    virtual CString GetFileTitle() const;
    virtual CString GetFileURL() const;
    // The folder searched, with its trailing separator ("C:\dir\").
    virtual CString GetRoot() const;

    virtual BOOL GetLastWriteTime(FILETIME* pTimeStamp) const;
    virtual BOOL GetLastAccessTime(FILETIME* pTimeStamp) const;
    virtual BOOL GetCreationTime(FILETIME* pTimeStamp) const;
    virtual BOOL GetLastWriteTime(CTime& refTime) const;
    virtual BOOL GetLastAccessTime(CTime& refTime) const;
    virtual BOOL GetCreationTime(CTime& refTime) const;

    virtual BOOL MatchesMask(DWORD dwMask) const;
    // "." and "..".
    virtual BOOL IsDots() const;
    BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL IsCompressed() const { return MatchesMask(FILE_ATTRIBUTE_COMPRESSED); }
    BOOL IsSystem() const { return MatchesMask(FILE_ATTRIBUTE_SYSTEM); }
    BOOL IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
    BOOL IsTemporary() const { return MatchesMask(FILE_ATTRIBUTE_TEMPORARY); }
    BOOL IsNormal() const { return MatchesMask(FILE_ATTRIBUTE_NORMAL); }
    BOOL IsArchived() const { return MatchesMask(FILE_ATTRIBUTE_ARCHIVE); }

protected:
    virtual void CloseContext();
    BOOL GetFoundTime(FILETIME WIN32_FIND_DATAW::*field, FILETIME* pTimeStamp) const;
    BOOL GetFoundTime(FILETIME WIN32_FIND_DATAW::*field, CTime& refTime) const;

    WIN32_FIND_DATAW* m_pFoundInfo;
    WIN32_FIND_DATAW* m_pNextInfo;
    HANDLE m_hContext;
    CString m_strRoot;
    wchar_t m_chDirSeparator;
};
