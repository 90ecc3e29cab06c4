#include "fileops/RegExpGroupFile.h"

#include <vector>

namespace {

// The profile functions drop the blanks round a value, and an expression may begin or end with
// one: such a value is written in double quotes, as the profile convention has it, and so is one
// that already begins and ends with a quote, so that reading takes exactly one pair off.
bool IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t';
}

bool IsQuotedForm(const CString& text)
{
    return text.GetLength() >= 2 && text[0] == L'"' && text[text.GetLength() - 1] == L'"';
}

CString Quoted(const CString& pattern)
{
    bool blankEdge = !pattern.IsEmpty() && (IsBlank(pattern[0]) || IsBlank(pattern[pattern.GetLength() - 1]));
    return blankEdge || IsQuotedForm(pattern) ? L"\"" + pattern + L"\"" : pattern;
}

CString Unquoted(const CString& value)
{
    return IsQuotedForm(value) ? value.Mid(1, value.GetLength() - 2) : value;
}

} // namespace

void RegExpGroupFile::GetGroupNames(CStringArray& names) const
{
    m_ini.GetSectionNameList(names);
}

void RegExpGroupFile::ReadGroup(const wchar_t* name, CStringArray& patterns) const
{
    m_ini.GetSectionLines(name, patterns);
    for (INT_PTR i = 0; i < patterns.GetSize(); ++i) {
        int equals = patterns[i].Find(L'=');
        patterns[i] = Unquoted(equals < 0 ? patterns[i] : patterns[i].Mid(equals + 1));
    }
}

bool RegExpGroupFile::WriteGroup(const wchar_t* name, const CStringArray& patterns) const
{
    if (patterns.IsEmpty())
        return DeleteGroup(name);
    std::vector<wchar_t> lines;
    for (INT_PTR i = 0; i < patterns.GetSize(); ++i) {
        CString line;
        line.Format(L"%03d=", static_cast<int>(i));
        line += Quoted(patterns[i]);
        lines.insert(lines.end(), line.GetString(), line.GetString() + line.GetLength() + 1);
    }
    lines.push_back(0);
    // The whole section is replaced, so no key of a longer old group stays behind.
    return m_ini.WriteSection(name, lines.data());
}

bool RegExpGroupFile::DeleteGroup(const wchar_t* name) const
{
    return m_ini.WriteString(name, nullptr, nullptr);
}
