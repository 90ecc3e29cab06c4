#include "framework/CMemFile.h"

IMPLEMENT_DYNAMIC(CMemFile, CFile)
IMPLEMENT_DYNAMIC(CSharedFile, CMemFile)

CMemFile::CMemFile(UINT nGrowBytes) : m_nGrowBytes(nGrowBytes) {}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) : m_nGrowBytes(nGrowBytes)
{
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile()
{
    if (m_lpBuffer)
        Close();
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    if (m_lpBuffer)
        Close();
    m_lpBuffer = lpBuffer;
    m_nBufferSize = lpBuffer ? nBufferSize : 0;
    m_nGrowBytes = nGrowBytes;
    m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
    m_nPosition = 0;
    m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach()
{
    BYTE* buffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    return buffer;
}

void CMemFile::GrowFile(SIZE_T dwNewLen)
{
    if (dwNewLen <= m_nBufferSize)
        return;
    if (m_nGrowBytes == 0)
        AfxThrowFileException(CFileException::diskFull);
    SIZE_T steps = (dwNewLen - m_nBufferSize + m_nGrowBytes - 1) / m_nGrowBytes;
    if (steps > (SIZE_MAX - m_nBufferSize) / m_nGrowBytes)
        AfxThrowMemoryException();
    SIZE_T newSize = m_nBufferSize + steps * m_nGrowBytes;
    BYTE* grown;
    if (m_lpBuffer && !m_bAutoDelete) {
        // A caller's buffer is never reallocated: the content moves to a block of our own.
        grown = Alloc(newSize);
        if (grown)
            Memcpy(grown, m_lpBuffer, m_nFileSize);
    } else {
        grown = m_lpBuffer ? Realloc(m_lpBuffer, newSize) : Alloc(newSize);
    }
    if (!grown)
        AfxThrowMemoryException();
    m_lpBuffer = grown;
    m_nBufferSize = newSize;
    m_bAutoDelete = TRUE;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0 || m_nPosition >= m_nFileSize)
        return 0;
    if (!lpBuf)
        AfxThrowInvalidArgException();
    SIZE_T n = std::min<SIZE_T>(nCount, m_nFileSize - m_nPosition);
    Memcpy(static_cast<BYTE*>(lpBuf), m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return static_cast<UINT>(n);
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    if (!lpBuf)
        AfxThrowInvalidArgException();
    if (nCount > SIZE_MAX - m_nPosition)
        AfxThrowFileException(CFileException::diskFull);
    SIZE_T endPos = m_nPosition + nCount;
    if (endPos > m_nBufferSize)
        GrowFile(endPos);
    if (m_nPosition > m_nFileSize)
        memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    Memcpy(m_lpBuffer + m_nPosition, static_cast<const BYTE*>(lpBuf), nCount);
    m_nPosition = endPos;
    if (m_nPosition > m_nFileSize)
        m_nFileSize = m_nPosition;
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom)
{
    LONGLONG base = nFrom == begin     ? 0
                    : nFrom == current ? static_cast<LONGLONG>(m_nPosition)
                    : nFrom == end     ? static_cast<LONGLONG>(m_nFileSize)
                                       : -1;
    if (base < 0)
        AfxThrowInvalidArgException();
    LONGLONG position = base + lOff;
    if (position < 0 || static_cast<ULONGLONG>(position) > SIZE_MAX)
        AfxThrowFileException(CFileException::badSeek);
    m_nPosition = static_cast<SIZE_T>(position);
    return m_nPosition;
}

void CMemFile::SetLength(ULONGLONG dwNewLen)
{
    if (dwNewLen > SIZE_MAX)
        AfxThrowMemoryException();
    auto length = static_cast<SIZE_T>(dwNewLen);
    if (length > m_nBufferSize)
        GrowFile(length);
    if (length > m_nFileSize)
        memset(m_lpBuffer + m_nFileSize, 0, length - m_nFileSize);
    if (length < m_nPosition)
        m_nPosition = length;
    m_nFileSize = length;
}

void CMemFile::LockRange(ULONGLONG, ULONGLONG)
{
    AfxThrowNotSupportedException();
}

void CMemFile::UnlockRange(ULONGLONG, ULONGLONG)
{
    AfxThrowNotSupportedException();
}

CFile* CMemFile::Duplicate() const
{
    AfxThrowNotSupportedException();
}

void CMemFile::Close()
{
    if (m_lpBuffer && m_bAutoDelete)
        Free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
}

void CMemFile::Abort()
{
    Close();
}

BYTE* CMemFile::Alloc(SIZE_T nBytes)
{
    return static_cast<BYTE*>(malloc(nBytes));
}

BYTE* CMemFile::Realloc(BYTE* lpMem, SIZE_T nBytes)
{
    return static_cast<BYTE*>(realloc(lpMem, nBytes));
}

BYTE* CMemFile::Memcpy(BYTE* lpMemTarget, const BYTE* lpMemSource, SIZE_T nBytes)
{
    return static_cast<BYTE*>(memcpy(lpMemTarget, lpMemSource, nBytes));
}

void CMemFile::Free(BYTE* lpMem)
{
    free(lpMem);
}

CSharedFile::CSharedFile(UINT nAllocFlags, UINT nGrowBytes) : CMemFile(nGrowBytes), m_nAllocFlags(nAllocFlags) {}

CSharedFile::~CSharedFile()
{
    // Here, not in the base: only this class knows how to free a global block.
    if (m_lpBuffer)
        Close();
}

HGLOBAL CSharedFile::Detach()
{
    HGLOBAL block = m_hGlobalMemory;
    if (block)
        GlobalUnlock(block);
    m_hGlobalMemory = nullptr;
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    return block;
}

void CSharedFile::SetHandle(HGLOBAL hGlobalMemory, BOOL bAllowGrow)
{
    if (m_lpBuffer)
        Close();
    m_hGlobalMemory = hGlobalMemory;
    m_lpBuffer = static_cast<BYTE*>(GlobalLock(hGlobalMemory));
    m_nBufferSize = m_nFileSize = m_lpBuffer ? GlobalSize(hGlobalMemory) : 0;
    m_nPosition = 0;
    m_bAllowGrow = bAllowGrow;
    m_bAutoDelete = TRUE;
}

BYTE* CSharedFile::Alloc(SIZE_T nBytes)
{
    HGLOBAL block = GlobalAlloc(m_nAllocFlags, nBytes);
    if (!block)
        return nullptr;
    m_hGlobalMemory = block;
    return static_cast<BYTE*>(GlobalLock(block));
}

BYTE* CSharedFile::Realloc(BYTE* lpMem, SIZE_T nBytes)
{
    if (!lpMem)
        return Alloc(nBytes);
    if (!m_bAllowGrow)
        return nullptr;
    GlobalUnlock(m_hGlobalMemory);
    HGLOBAL grown = GlobalReAlloc(m_hGlobalMemory, nBytes, GMEM_MOVEABLE | (m_nAllocFlags & GMEM_ZEROINIT));
    if (!grown) {
        m_lpBuffer = static_cast<BYTE*>(GlobalLock(m_hGlobalMemory));
        return nullptr;
    }
    m_hGlobalMemory = grown;
    return static_cast<BYTE*>(GlobalLock(grown));
}

void CSharedFile::Free(BYTE* lpMem)
{
    if (lpMem && m_hGlobalMemory) {
        GlobalUnlock(m_hGlobalMemory);
        GlobalFree(m_hGlobalMemory);
    }
    m_hGlobalMemory = nullptr;
}
