#include "foundation/TokenReader.h"

#include "foundation/VyxFieldParser.h"

namespace {

class TokenWriter
{
public:
    TokenWriter(wchar_t* destination, int size) : m_destination(destination), m_room(size > 0 ? size - 1 : -1) {}
    ~TokenWriter()
    {
        if (m_room >= 0)
            m_destination[m_count] = L'\0';
    }
    bool HasRoom() const { return m_count < m_room; }
    void Put(wchar_t c)
    {
        if (HasRoom())
            m_destination[m_count++] = c;
    }

private:
    wchar_t* m_destination;
    int m_room;
    int m_count = 0;
};

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

} // namespace

const wchar_t* GetNextToken(wchar_t* destination, const wchar_t* source, int size)
{
    if (!source)
        source = L"";
    if (!destination)
        size = 0;
    const wchar_t* p = SkipBlanks(source);
    {
        TokenWriter out(destination, size);
        if (*p == L'"' || *p == L'\'') {
            wchar_t quote = *p++;
            while (*p && *p != quote) {
                wchar_t c = *p++;
                if (c == L'\r' || c == L'\n')
                    continue;
                if (c != L'\\') {
                    out.Put(c);
                    continue;
                }
                if (!*p)
                    break; // a backslash at the very end gives nothing
                wchar_t escaped = *p++;
                if (escaped == L'n') {
                    out.Put(L'\r');
                    out.Put(L'\n');
                } else {
                    out.Put(escaped == L't' ? L'\t' : escaped);
                }
            }
            if (*p == quote)
                ++p;
        } else {
            for (; *p && !IsBlank(*p); ++p)
                if (*p != L'\r' && *p != L'\n')
                    out.Put(*p);
        }
    }
    return SkipBlanks(p);
}

const wchar_t* CopyUntilDelimiter(const wchar_t* source, wchar_t* destination, int size, const wchar_t* delimiters)
{
    const wchar_t* next = GetNextToken(destination, source, size);
    if (!delimiters || !*delimiters || !destination || size < 1)
        return next;
    wchar_t* cut = wcspbrk(destination, delimiters);
    if (!cut)
        return next;
    *cut = L'\0';
    // An escape inside quotes can make a delimiter the source itself does not hold.
    const wchar_t* first = wcspbrk(source, delimiters);
    return first ? first : next;
}
