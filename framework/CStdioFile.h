// Buffered text files. In text mode (the default) lines end in CR LF on disk and "\n" in memory,
// and text converts through the ANSI code page both ways. typeBinary keeps bytes as they are.
#pragma once

#include "framework/CFile.h"

class CStdioFile : public CFile
{
    DECLARE_DYNAMIC(CStdioFile)
public:
    CStdioFile() = default;
    CStdioFile(LPCWSTR lpszFileName, UINT nOpenFlags);
    ~CStdioFile() override;

    // modeCreate|modeNoTruncate and modeWrite without modeCreate append: every write goes to the end.
    BOOL Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;

    // The next line without its line end; FALSE at the end of the file when nothing was read.
    virtual BOOL ReadString(CString& rString);
    // At most nMax - 1 characters of the next line, keeping its "\n"; null at the end of the file.
    virtual LPWSTR ReadString(LPWSTR lpsz, UINT nMax);
    // "\n" becomes CR LF in text mode (a CR LF already in the text stays as it is).
    virtual void WriteString(LPCWSTR lpsz);

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    void SetLength(ULONGLONG dwNewLen) override;
    void Flush() override;
    void Close() override;
    void Abort() override;

private:
    int PeekByte();
    int GetByte();
    bool FillBuffer();
    // Puts the handle's position back where the reader has got to.
    void DiscardReadBuffer();
    // Reads one line's bytes (line end included when present); false at the end of the file.
    bool ReadLineBytes(std::string& line, UINT maxChars);

    static const UINT kBufferSize = 4096;
    char m_buffer[kBufferSize];
    UINT m_nBufferPos = 0;
    UINT m_nBufferLen = 0;
    BOOL m_bText = TRUE;
    BOOL m_bAppend = FALSE;
};
