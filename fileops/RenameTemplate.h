// The batch rename's name computation: which part of a file's name is replaced (the target,
// by default the title) and what replaces it (a format of item macros, a sequence number, the
// file's date and time fields, regular expressions or a named group of them). A pure function of
// the item, the texts and the number: nothing is renamed here.
#pragma once

#include "script/VyxRegExp.h"

#include <memory>
#include <vector>

class MacroText;
class RegExpGroupFile;
class VyxFilexInfo;

class RenameTemplate
{
public:
    // The widest zero-padded sequence number a "#n#" token asks for.
    enum { MaxNumberWidth = 64 };

    RenameTemplate();
    ~RenameTemplate();

    // An empty target is the title. A format "\$name" stands for the expressions of that group,
    // each taken as a regular expression.
    void Prepare(const wchar_t* target, const wchar_t* format, const RegExpGroupFile& groups);
    const std::vector<CString>& GetPatterns() const { return m_patterns; }

    // The item's name with the target's text replaced by the format's result for that number.
    CString MakeName(const VyxFilexInfo& item, long long number);
    // The target's text as the item gives it: the text the format's chain starts from.
    static CString ExpandTarget(const CString& target, const VyxFilexInfo& item);

    // One pattern made ready for the item: the first "#n#" token numbered, the time fields filled
    // from the file's time, then the macros expanded. Only the pattern's own text is read for
    // tokens and fields, never a value a macro puts in. In a pattern that becomes a name (one
    // without a leading backslash) every value the fields and macros put in is made fit for a
    // name (NameSafeValue); the text the user typed stays as typed.
    static CString ExpandPattern(const CString& pattern, const VyxFilexInfo& item, long long number);
    // Every occurrence of the first "#n#" token replaced by the number zero-padded to n digits
    // (n at most MaxNumberWidth); a different later token stays.
    static CString NumberToken(const CString& text, long long number);
    // The strftime fields of the local file time filled in; an unknown "%x" stays as typed, and a
    // time the local calendar cannot hold leaves the text unchanged.
    static CString FormatTimeFields(const CString& text, long long fileTime);
    // Each character no file name may hold (\ / : * ? " < > |) in its full-width form, so that the
    // shot date "2025:08:15 20:09:25" gives "2025：08：15 20：09：25".
    static CString NameSafeValue(const CString& value);
    // A name with nothing before its extension where the current one had something: the result
    // of an empty replacement, which never becomes a file's name.
    static bool HasLostItsTitle(const CString& newName, const CString& currentName);
    // "\$name": the group's name.
    static bool IsGroupReference(const CString& format, CString* name);

private:
    // FormatTimeFields with each field's text kept apart from the text around it.
    static void FillTimeFields(MacroText& out, const CString& text, long long fileTime);

    enum Kind { KindTitle, KindExtension, KindText };
    static Kind KindOf(const CString& target);

    CString m_target;
    Kind m_kind = KindTitle;
    std::vector<CString> m_patterns;
    // One per pattern: an expression that stays the same from row to row is compiled once.
    std::vector<std::unique_ptr<VyxRegExp>> m_matchers;
};
