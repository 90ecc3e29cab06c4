// Files in memory: CMemFile over a heap block (or a caller's buffer), CSharedFile over a global
// memory block that can be handed to the clipboard or to OLE.
#pragma once

#include "framework/CFile.h"

class CMemFile : public CFile
{
    DECLARE_DYNAMIC(CMemFile)
public:
    // The block grows in steps of nGrowBytes.
    explicit CMemFile(UINT nGrowBytes = 1024);
    // Over a caller's buffer: with nGrowBytes 0 the buffer is the file's whole content and cannot
    // grow (writing past it throws CFileException diskFull); otherwise the file starts empty.
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    // Hands the block to the caller (free() it when this file allocated it) and empties the file.
    BYTE* Detach();

    UINT Read(void* lpBuf, UINT nCount) override;
    // Writing past the end grows the file; a gap left by a seek reads as zeros.
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override { return m_nPosition; }
    ULONGLONG GetLength() const override { return m_nFileSize; }
    void SetLength(ULONGLONG dwNewLen) override;
    void LockRange(ULONGLONG dwPos, ULONGLONG dwCount) override;
    void UnlockRange(ULONGLONG dwPos, ULONGLONG dwCount) override;
    void Flush() override {}
    void Close() override;
    void Abort() override;
    CFile* Duplicate() const override;

protected:
    virtual BYTE* Alloc(SIZE_T nBytes);
    virtual BYTE* Realloc(BYTE* lpMem, SIZE_T nBytes);
    virtual BYTE* Memcpy(BYTE* lpMemTarget, const BYTE* lpMemSource, SIZE_T nBytes);
    virtual void Free(BYTE* lpMem);
    virtual void GrowFile(SIZE_T dwNewLen);

    SIZE_T m_nGrowBytes;
    SIZE_T m_nPosition = 0;
    SIZE_T m_nBufferSize = 0;
    SIZE_T m_nFileSize = 0;
    BYTE* m_lpBuffer = nullptr;
    BOOL m_bAutoDelete = TRUE; // the block is this file's to free
};

class CSharedFile : public CMemFile
{
    DECLARE_DYNAMIC(CSharedFile)
public:
    explicit CSharedFile(UINT nAllocFlags = GMEM_DDESHARE | GMEM_MOVEABLE, UINT nGrowBytes = 4096);
    ~CSharedFile() override;

    // The global block (unlocked), now the caller's; the file is empty afterwards.
    HGLOBAL Detach();
    // Takes over a global block as the file's content.
    void SetHandle(HGLOBAL hGlobalMemory, BOOL bAllowGrow = TRUE);

protected:
    BYTE* Alloc(SIZE_T nBytes) override;
    BYTE* Realloc(BYTE* lpMem, SIZE_T nBytes) override;
    void Free(BYTE* lpMem) override;

    UINT m_nAllocFlags;
    HGLOBAL m_hGlobalMemory = nullptr;
    BOOL m_bAllowGrow = TRUE;
};
