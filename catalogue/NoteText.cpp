#include "catalogue/NoteText.h"

namespace {

bool IsLineBreak(wchar_t ch)
{
    return ch == L'\r' || ch == L'\n';
}

} // namespace

CString NoteText::Stored(const wchar_t* typed)
{
    CString stored;
    for (const wchar_t* p = typed ? typed : L""; *p; ++p) {
        if (IsLineBreak(*p)) {
            if (*p == L'\r' && p[1] == L'\n')
                ++p;
            stored += L"\\n";
        } else if (*p == L'\\' && (p[1] == L'n' || p[1] == L'\\' || IsLineBreak(p[1]))) {
            stored += L"\\\\";
        } else {
            stored += *p;
        }
    }
    return stored;
}

CString NoteText::Typed(const wchar_t* stored, const wchar_t* lineBreak)
{
    CString typed;
    for (const wchar_t* p = stored ? stored : L""; *p; ++p) {
        if (*p == L'\\' && p[1] == L'n') {
            typed += lineBreak ? lineBreak : L"";
            ++p;
        } else if (*p == L'\\' && p[1] == L'\\') {
            typed += L'\\';
            ++p;
        } else {
            typed += *p;
        }
    }
    return typed;
}
