// VyxRegExp: Perl-style regular expressions on Oniguruma (Java syntax, UTF-8). The pattern is
// compiled at the first match after it was set and kept (or kept refused) while pattern and
// options stay the same; the whole match and each group are kept as wide strings. A pattern nested
// deeper than the compiling thread's stack holds is refused like any invalid pattern.
#pragma once

#include "framework/Framework.h"

#include <oniguruma.h>

class VyxRegExp
{
public:
    enum {
        IgnoreCase = ONIG_OPTION_IGNORECASE,
        Extended = ONIG_OPTION_EXTEND,  // blanks and comments in the pattern
        DotAll = ONIG_OPTION_MULTILINE, // "." matches a line end too
    };

    VyxRegExp();
    VyxRegExp(const wchar_t* pattern, int options);
    virtual ~VyxRegExp();
    VyxRegExp(const VyxRegExp&) = delete;
    VyxRegExp& operator=(const VyxRegExp&) = delete;

    // Sets the pattern; nothing is compiled here.
    void SetPattern(const wchar_t* pattern, int options);
    // Groups + 1 on a match; 0 when nothing matched or the pattern did not compile.
    int Match(const wchar_t* target);
    // String i of the last match; "" for an index out of range.
    const wchar_t* GetMatch(int index) const;
    int GetMatchCount() const { return static_cast<int>(m_matches.GetSize()); }
    int Execute(const wchar_t* pattern, const wchar_t* target);
    // Above 0 when the text is a decimal number ("", ".", "+" and "-" included).
    int IsNumber(const wchar_t* text);
    // The engine writes its error texts (pattern fragments included) into a field of this type.
    typedef OnigUChar ErrorMessageField[ONIG_MAX_ERROR_MESSAGE_LEN];
    // The last compile error; kept until the next failing compile.
    const char* GetErrorMessage() const { return reinterpret_cast<const char*>(m_message); }
    // "{Match:["whole", "group 1", ...]}"
    virtual const wchar_t* ToString();

private:
    void Release();

    ErrorMessageField m_message = {};
    void* m_alternative = nullptr; // a second engine's compiled object; no engine is built in
    OnigRegex m_regex = nullptr;
    OnigRegion* m_region = nullptr;
    OnigErrorInfo m_errorInfo = {};
    OnigSyntaxType* m_syntax;
    CString m_command;
    CString m_pattern;
    // What m_regex was compiled from, or what failed to compile (m_regex null).
    bool m_compileTried = false;
    CString m_compiledPattern;
    int m_compiledOptions = 0;
    CString m_replacement;
    int m_options = 0;
    OnigEncoding m_encoding;
    CStringArray m_matches;
    CString m_dump;
};
