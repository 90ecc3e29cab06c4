// One note file held in memory: read whole, changed section by section, written whole through a
// temporary file in the same folder. The text stays in the platform's ini syntax, in the ANSI code
// page while everything fits it and as UTF-16 with a byte-order mark otherwise, so the platform's
// settings functions read it as they always did. Lines nobody changed are written back as read; a
// file holding another encoding's bytes is never converted.
#pragma once

#include "framework/Framework.h"

#include <string>
#include <unordered_map>
#include <vector>

class VyxNoteFile
{
public:
    enum LoadResult { Missing, Loaded, Unreadable };

    LoadResult Load(const wchar_t* path);
    // Whole or not at all: the old file stays when anything fails.
    bool Save(const wchar_t* path);
    // The whole file's bytes as Save writes them.
    std::string Serialize() const;
    void Parse(const std::string& bytes);

    // The value as the platform reads it: blanks trimmed, one pair of enclosing quotes removed.
    bool Find(const wchar_t* section, const wchar_t* key, CString& value) const;
    // The value is written so that the platform reads back exactly it (quoted where needed).
    void Set(const wchar_t* section, const wchar_t* key, const wchar_t* value);
    bool RemoveSection(const wchar_t* section);
    bool HasSection(const wchar_t* section) const;
    // No section and nothing but blank lines.
    bool IsEmpty() const;
    bool IsUnicode() const { return m_unicode; }
    // False when writing the value would make the file UTF-16 while it holds bytes that are not
    // text of the code page (another encoding's): those would not survive the conversion.
    bool CanHold(const wchar_t* section, const wchar_t* value) const;
    std::vector<CString> GetSectionNames() const;

    // The platform trims these around section names, keys and values.
    static bool IsBlank(wchar_t ch);
    static CString Trimmed(const CString& text);
    // Always the lower-case form, so that look-ups ignore case as the platform's do.
    static CString Folded(const CString& text);

    // For tests: called with the temporary file written, before it takes the note file's place.
    static void (*s_beforePutInPlace)(const wchar_t* scratch);

private:
    struct Line
    {
        CString text;
        std::string raw; // the ANSI bytes as read, without the line feed; valid while !changed
        bool changed = false;
        bool foreign = false; // raw does not come back from text through the code page
    };
    struct Section
    {
        CString name;
        std::vector<Line> lines; // the header first
        bool removed = false;
    };

    int FindSection(const CString& folded) const;
    bool FitsAnsi() const;
    bool HoldsForeignBytes() const;
    static Line MakeLine(const CString& text);

    std::vector<Section> m_sections = std::vector<Section>(1); // the first holds what precedes any header
    std::unordered_map<std::wstring, int> m_index;
    bool m_unicode = false;
    bool m_lastLineBroken = true; // the file ended with a line feed
};
