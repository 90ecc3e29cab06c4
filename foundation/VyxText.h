// A text as an array of lines with a read cursor, loaded from and saved to an ANSI text file.
#pragma once

#include "foundation/VyxStringArray.h"

class VyxText
{
public:
    VyxText();
    explicit VyxText(int unused);
    virtual ~VyxText();

    // 0, or -1 when the file cannot be opened (the text is then empty); a read error keeps the
    // lines read so far. The cursor goes back to the first line.
    int LoadFile(const wchar_t* path);
    // 0, or -1 when the file cannot be created or written.
    int SaveFile(const wchar_t* path) const;

    // The line at the cursor, which then moves on; false past the last line.
    bool GetLine(CString& out);
    bool GetLine(VyxString& out);
    // All lines joined by separator, in storage of the operation's own that the next call reuses.
    const wchar_t* GetText(const wchar_t* separator) const;
    // Replaces the lines by the fields of text split at separator; returns the line count.
    int SetText(const wchar_t* text, wchar_t separator);

    int GetLineCount() const { return m_lines.GetCount(); }
    const VyxStringArray& GetLines() const { return m_lines; }

private:
    VyxStringArray m_lines;
    int m_cursor = 0;
};
