#include "framework/CStdioFile.h"

IMPLEMENT_DYNAMIC(CStdioFile, CFile)

CStdioFile::CStdioFile(LPCWSTR lpszFileName, UINT nOpenFlags)
{
    OpenOrThrow(lpszFileName, nOpenFlags);
}

CStdioFile::~CStdioFile()
{
    if (m_hFile != hFileNull && m_bCloseOnDelete)
        Abort();
}

BOOL CStdioFile::Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    m_nBufferPos = m_nBufferLen = 0;
    m_bText = (nOpenFlags & typeBinary) == 0;
    m_bAppend = ((nOpenFlags & modeCreate) && (nOpenFlags & modeNoTruncate)) ||
                (!(nOpenFlags & modeCreate) && (nOpenFlags & 3) == modeWrite);
    return CFile::Open(lpszFileName, nOpenFlags & ~(typeText | typeBinary | typeUnicode), pError);
}

bool CStdioFile::FillBuffer()
{
    m_nBufferPos = 0;
    m_nBufferLen = CFile::Read(m_buffer, kBufferSize);
    return m_nBufferLen > 0;
}

int CStdioFile::PeekByte()
{
    if (m_nBufferPos >= m_nBufferLen && !FillBuffer())
        return -1;
    return static_cast<unsigned char>(m_buffer[m_nBufferPos]);
}

int CStdioFile::GetByte()
{
    int c = PeekByte();
    if (c >= 0)
        ++m_nBufferPos;
    return c;
}

void CStdioFile::DiscardReadBuffer()
{
    UINT unread = m_nBufferLen - m_nBufferPos;
    m_nBufferPos = m_nBufferLen = 0;
    if (unread > 0)
        CFile::Seek(-static_cast<LONGLONG>(unread), current);
}

bool CStdioFile::ReadLineBytes(std::string& line, UINT maxChars)
{
    line.clear();
    UINT chars = 0;
    int c = PeekByte();
    if (c < 0)
        return false;
    while (chars < maxChars && (c = GetByte()) >= 0) {
        line += static_cast<char>(c);
        if (c == '\n')
            break;
        // A double-byte character is taken whole (Shift_JIS trail bytes are never CR or LF).
        if (IsDBCSLeadByte(static_cast<BYTE>(c)) && PeekByte() >= 0)
            line += static_cast<char>(GetByte());
        ++chars;
    }
    if (m_bText && line.size() >= 2 && line[line.size() - 1] == '\n' && line[line.size() - 2] == '\r')
        line.erase(line.size() - 2, 1);
    return true;
}

BOOL CStdioFile::ReadString(CString& rString)
{
    std::string line;
    if (!ReadLineBytes(line, UINT_MAX)) {
        rString.Empty();
        return FALSE;
    }
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    rString = CStringA(line.data(), static_cast<int>(line.size()));
    return TRUE;
}

LPWSTR CStdioFile::ReadString(LPWSTR lpsz, UINT nMax)
{
    if (!lpsz || nMax == 0)
        AfxThrowInvalidArgException();
    std::string line;
    if (nMax == 1 || !ReadLineBytes(line, nMax - 1)) {
        lpsz[0] = L'\0';
        return nullptr;
    }
    CString text = CStringA(line.data(), static_cast<int>(line.size()));
    lstrcpynW(lpsz, text, static_cast<int>(nMax));
    return lpsz;
}

void CStdioFile::WriteString(LPCWSTR lpsz)
{
    if (!lpsz)
        AfxThrowInvalidArgException();
    CStringA bytes = lpsz;
    if (m_bText) {
        CStringA translated;
        int length = bytes.GetLength();
        translated.Preallocate(length + length / 8);
        for (int i = 0; i < length; ++i) {
            char c = bytes[i];
            if (c == '\n' && (i == 0 || bytes[i - 1] != '\r'))
                translated += '\r';
            translated += c;
        }
        bytes = std::move(translated);
    }
    Write(bytes.GetString(), bytes.GetLength());
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    if (!lpBuf)
        AfxThrowInvalidArgException();
    UINT buffered = std::min(nCount, m_nBufferLen - m_nBufferPos);
    memcpy(lpBuf, m_buffer + m_nBufferPos, buffered);
    m_nBufferPos += buffered;
    if (buffered == nCount)
        return nCount;
    return buffered + CFile::Read(static_cast<char*>(lpBuf) + buffered, nCount - buffered);
}

void CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    DiscardReadBuffer();
    if (m_bAppend)
        CFile::Seek(0, end);
    CFile::Write(lpBuf, nCount);
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom)
{
    if (nFrom == current)
        lOff -= m_nBufferLen - m_nBufferPos;
    m_nBufferPos = m_nBufferLen = 0;
    return CFile::Seek(lOff, nFrom);
}

ULONGLONG CStdioFile::GetPosition() const
{
    return CFile::GetPosition() - (m_nBufferLen - m_nBufferPos);
}

void CStdioFile::SetLength(ULONGLONG dwNewLen)
{
    DiscardReadBuffer();
    CFile::SetLength(dwNewLen);
}

void CStdioFile::Flush()
{
    DiscardReadBuffer();
    CFile::Flush();
}

void CStdioFile::Close()
{
    m_nBufferPos = m_nBufferLen = 0;
    CFile::Close();
}

void CStdioFile::Abort()
{
    m_nBufferPos = m_nBufferLen = 0;
    CFile::Abort();
}
