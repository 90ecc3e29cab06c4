// Binary files over a Windows handle, and the status record of a file. Failures throw
// CFileException (Open reports through its CFileException argument instead).
#pragma once

#include "framework/CFileException.h"
#include "framework/CTime.h"

struct CFileStatus
{
    CTime m_ctime;    // creation
    CTime m_mtime;    // last write
    CTime m_atime;    // last access
    ULONGLONG m_size; // bytes
    BYTE m_attribute; // CFile::Attribute bits
    BYTE _m_padding;
    WCHAR m_szFullName[MAX_PATH];
};

class CFile : public CObject
{
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags {
        modeRead = 0x00000,
        modeWrite = 0x00001,
        modeReadWrite = 0x00002,
        shareCompat = 0x00000,
        shareExclusive = 0x00010,
        shareDenyWrite = 0x00020,
        shareDenyRead = 0x00030,
        shareDenyNone = 0x00040,
        modeNoInherit = 0x00080,
        typeUnicode = 0x00400,
        modeCreate = 0x01000,
        modeNoTruncate = 0x02000,
        typeText = 0x04000,
        typeBinary = 0x08000,
        osNoBuffer = 0x10000,
        osWriteThrough = 0x20000,
        osRandomAccess = 0x40000,
        osSequentialScan = 0x80000,
    };
    enum Attribute {
        normal = 0x00,
        readOnly = 0x01,
        hidden = 0x02,
        system = 0x04,
        volume = 0x08,
        directory = 0x10,
        archive = 0x20
    };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

    static const HANDLE hFileNull;

    CFile();
    explicit CFile(HANDLE hFile);
    // Opens or throws the CFileException that Open would have reported.
    CFile(LPCWSTR lpszFileName, UINT nOpenFlags);
    ~CFile() override;

    operator HANDLE() const { return m_hFile; }

    // modeCreate truncates unless modeNoTruncate; the share flags map to the Windows share
    // modes (shareCompat as shareExclusive). FALSE with pError filled on failure.
    virtual BOOL Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    // Leaves the position at the new end.
    virtual void SetLength(ULONGLONG dwNewLen);
    virtual void LockRange(ULONGLONG dwPos, ULONGLONG dwCount);
    virtual void UnlockRange(ULONGLONG dwPos, ULONGLONG dwCount);
    virtual void Flush();
    virtual void Close();
    // Closes without reporting errors.
    virtual void Abort();
    virtual CFile* Duplicate() const;

    virtual CString GetFileName() const;
    virtual CString GetFileTitle() const;
    virtual CString GetFilePath() const;
    virtual void SetFilePath(LPCWSTR lpszNewName);
    BOOL GetStatus(CFileStatus& rStatus) const;

    // FALSE when the file does not exist (m_szFullName still gets the full path when it can).
    static BOOL PASCAL GetStatus(LPCWSTR lpszFileName, CFileStatus& rStatus);
    // Writes times (zero times are left alone) and attributes back; read-only files get their times.
    static void PASCAL SetStatus(LPCWSTR lpszFileName, const CFileStatus& status);
    static void PASCAL Rename(LPCWSTR lpszOldName, LPCWSTR lpszNewName);
    static void PASCAL Remove(LPCWSTR lpszFileName);

    HANDLE m_hFile;

protected:
    // Open, throwing the CFileException it would have reported (the opening constructors).
    void OpenOrThrow(LPCWSTR lpszFileName, UINT nOpenFlags);

    BOOL m_bCloseOnDelete;
    CString m_strFileName;
};
