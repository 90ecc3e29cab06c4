#include "fileops/RenameTemplate.h"

#include "catalogue/VyxFilexInfo.h"
#include "fileops/RegExpGroupFile.h"
#include "foundation/MacroText.h"
#include "foundation/VyxPath.h"

#include <cwchar>

namespace {

const wchar_t kTitleMacro[] = L"$(Name)";
const wchar_t kExtensionMacro[] = L"$(Ext)";

// The conversions the run-time library's time formatter knows (a "#" may stand between).
const wchar_t kTimeConversions[] = L"aAbBcdHIjmMpSUwWxXyYzZ%";

bool IsDigit(wchar_t ch)
{
    return ch >= L'0' && ch <= L'9';
}

} // namespace

RenameTemplate::RenameTemplate() = default;

RenameTemplate::~RenameTemplate() = default;

void RenameTemplate::Prepare(const wchar_t* target, const wchar_t* format, const RegExpGroupFile& groups)
{
    m_target = target ? target : L"";
    m_kind = KindOf(m_target);

    m_patterns.clear();
    CString group;
    if (IsGroupReference(format ? format : L"", &group)) {
        CStringArray entries;
        groups.ReadGroup(group, entries);
        for (INT_PTR i = 0; i < entries.GetSize(); ++i)
            m_patterns.push_back(L"\\" + entries[i]);
    } else {
        m_patterns.push_back(format ? format : L"");
    }
    m_matchers.clear();
    for (size_t i = 0; i < m_patterns.size(); ++i)
        m_matchers.emplace_back(new VyxRegExp);
}

RenameTemplate::Kind RenameTemplate::KindOf(const CString& target)
{
    if (target.IsEmpty() || target == kTitleMacro || target == L"$(N)")
        return KindTitle;
    if (target == kExtensionMacro || target == L"$(E)")
        return KindExtension;
    return KindText;
}

CString RenameTemplate::ExpandTarget(const CString& target, const VyxFilexInfo& item)
{
    return item.ExpandMacros(target.IsEmpty() ? kTitleMacro : static_cast<const wchar_t*>(target));
}

CString RenameTemplate::MakeName(const VyxFilexInfo& item, long long number)
{
    const CString cur = ExpandTarget(m_target, item);
    CString result = cur;
    for (size_t i = 0; i < m_patterns.size(); ++i) {
        CString q = ExpandPattern(m_patterns[i], item, number);
        if (!q.IsEmpty() && q[0] == L'\\') {
            if (m_matchers[i]->Execute(q.GetString() + 1, result) > 0)
                result = m_matchers[i]->GetMatch(0);
        } else {
            result = q;
        }
    }

    CString name = item.GetFileName();
    if (cur.IsEmpty())
        return name;
    // The title and the extension are replaced where they stand, never inside each other
    // ("p.jpg" keeps its ".jpg" when its title "p" is replaced).
    if (m_kind == KindTitle && name.Left(cur.GetLength()) == cur)
        return result + name.Mid(cur.GetLength());
    if (m_kind == KindExtension && name.Right(cur.GetLength()) == cur)
        return name.Left(name.GetLength() - cur.GetLength()) + result;
    name.Replace(cur, result);
    return name;
}

CString RenameTemplate::ExpandPattern(const CString& pattern, const VyxFilexInfo& item, long long number)
{
    // An expression is matched against the name, not put into it: its values stay as they are.
    const bool expression = !pattern.IsEmpty() && pattern[0] == L'\\';
    const CString numbered = pattern.Find(L'#') >= 0 ? NumberToken(pattern, number) : pattern;
    MacroText text;
    if (numbered.Find(L'%') >= 0)
        FillTimeFields(text, numbered, item.GetFileTime());
    else
        text.AppendTemplate(numbered);
    if (text.TemplateContains(L"$("))
        item.ExpandMacros(text);
    CString q;
    q.Preallocate(static_cast<int>(text.GetLength()));
    for (const MacroText::Piece& piece : text.GetPieces())
        q += piece.kind == MacroText::KindTemplate || expression ? piece.text : NameSafeValue(piece.text);
    return q;
}

CString RenameTemplate::NumberToken(const CString& text, long long number)
{
    const int length = text.GetLength();
    for (int start = text.Find(L'#'); start >= 0; start = text.Find(L'#', start + 1)) {
        int end = start + 1;
        int width = 0;
        while (end < length && IsDigit(text[end])) {
            width = width >= MaxNumberWidth ? MaxNumberWidth : width * 10 + (text[end] - L'0');
            ++end;
        }
        if (end == start + 1 || end >= length || text[end] != L'#')
            continue;
        CString format, digits;
        format.Format(L"%%0%dI64d", width > MaxNumberWidth ? MaxNumberWidth : width);
        digits.Format(format, number);
        CString result = text;
        result.Replace(text.Mid(start, end + 1 - start), digits);
        return result;
    }
    return text;
}

CString RenameTemplate::FormatTimeFields(const CString& text, long long fileTime)
{
    MacroText filled;
    FillTimeFields(filled, text, fileTime);
    return filled.ToString();
}

void RenameTemplate::FillTimeFields(MacroText& out, const CString& text, long long fileTime)
{
    struct tm local;
    if (!CTime(fileTime).GetLocalTm(&local)) {
        out.AppendTemplate(text, text.GetLength());
        return;
    }
    const wchar_t* p = text;
    const wchar_t* plain = p;
    while (*p) {
        const wchar_t* conversion = p[0] == L'%' ? p + 1 : nullptr;
        if (conversion && *conversion == L'#')
            ++conversion;
        if (!conversion || !*conversion || !wcschr(kTimeConversions, *conversion)) {
            ++p;
            continue;
        }
        out.AppendTemplate(plain, static_cast<int>(p - plain));
        out.AppendValue(AfxFormatTm(CString(p, static_cast<int>(conversion - p) + 1), local));
        p = plain = conversion + 1;
    }
    out.AppendTemplate(plain, static_cast<int>(p - plain));
}

CString RenameTemplate::NameSafeValue(const CString& value)
{
    static const wchar_t kRefused[] = L"\\/:*?\"<>|";
    static const wchar_t kFullWidth[] = L"＼／：＊？＂＜＞｜";
    CString safe = value;
    for (int i = 0; i < safe.GetLength(); ++i)
        if (const wchar_t* at = safe[i] ? wcschr(kRefused, safe[i]) : nullptr)
            safe.SetAt(i, kFullWidth[at - kRefused]);
    return safe;
}

bool RenameTemplate::HasLostItsTitle(const CString& newName, const CString& currentName)
{
    CString newTitle, currentTitle;
    GetPathPart(newTitle, newName, PartName);
    GetPathPart(currentTitle, currentName, PartName);
    return newTitle.IsEmpty() && !currentTitle.IsEmpty();
}

bool RenameTemplate::IsGroupReference(const CString& format, CString* name)
{
    if (format.Left(2) != L"\\$")
        return false;
    if (name)
        *name = format.Mid(2);
    return true;
}
