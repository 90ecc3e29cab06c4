#include "framework/FormatCore.h"

#include <climits>
#include <cstdint>
#include <cstdio>

namespace {

enum class SizeMod { None, Char, Short, Long, LongLong, LongDouble, Narrow, Wide };

struct Spec
{
    std::string flags; // C99 flags, copied into the rewritten specifier
    bool leftAlign = false;
    bool zeroPad = false;
    int width = -1;
    int precision = -1;
    SizeMod size = SizeMod::None;
};

template <typename Ch> bool IsDigit(Ch c)
{
    return c >= Ch('0') && c <= Ch('9');
}

template <typename Ch> int ReadNumber(const Ch*& p)
{
    long long value = 0;
    while (IsDigit(*p)) {
        if (value < INT_MAX)
            value = value * 10 + (*p - Ch('0'));
        ++p;
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// Formats one numeric conversion with the C99 formatter of mingw (two-digit exponents).
template <typename Value>
std::string FormatNumber(const Spec& spec, const char* lengthMod, char conversion, Value value)
{
    std::string c99 = "%" + spec.flags;
    if (spec.width >= 0)
        c99 += std::to_string(spec.width);
    if (spec.precision >= 0)
        c99 += "." + std::to_string(spec.precision);
    c99 += lengthMod;
    c99 += conversion;
    char small[128];
    int n = __mingw_snprintf(small, sizeof(small), c99.c_str(), value);
    if (n < 0)
        return std::string();
    if (static_cast<size_t>(n) < sizeof(small))
        return std::string(small, n);
    std::string big(static_cast<size_t>(n) + 1, '\0');
    __mingw_snprintf(&big[0], big.size(), c99.c_str(), value);
    big.resize(n);
    return big;
}

// Text of the argument in the output's character width, converted through the ANSI code page.
std::wstring Convert(const char* text, int length)
{
    if (length <= 0)
        return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    std::wstring out(n, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text, length, &out[0], n);
    return out;
}

std::string Convert(const wchar_t* text, int length)
{
    if (length <= 0)
        return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Same(const wchar_t* text, int length)
{
    return std::wstring(text, length);
}

std::string Same(const char* text, int length)
{
    return std::string(text, length);
}

// A precision bounds the bytes read from narrow text; a lead byte cut off from its trail byte
// is dropped rather than converted to a stray character.
int BoundedLength(const char* text, int precision)
{
    if (precision < 0)
        return static_cast<int>(strlen(text));
    int length = static_cast<int>(strnlen(text, precision));
    int end = 0;
    while (end < length) {
        int step = IsDBCSLeadByte(static_cast<BYTE>(text[end])) ? 2 : 1;
        if (end + step > length)
            break;
        end += step;
    }
    return end;
}

int BoundedLength(const wchar_t* text, int precision)
{
    return static_cast<int>(precision >= 0 ? wcsnlen(text, precision) : wcslen(text));
}

// Precision counts output characters; a narrow result is never cut inside a double-byte character.
void ClipToPrecision(std::wstring& text, int precision)
{
    if (precision >= 0 && text.size() > static_cast<size_t>(precision))
        text.resize(precision);
}

void ClipToPrecision(std::string& text, int precision)
{
    if (precision < 0 || text.size() <= static_cast<size_t>(precision))
        return;
    size_t end = 0;
    while (end < text.size()) {
        size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[end])) && end + 1 < text.size() ? 2 : 1;
        if (end + step > static_cast<size_t>(precision))
            break;
        end += step;
    }
    text.resize(end);
}

template <typename Ch, typename Src> std::basic_string<Ch> StringArgument(const Src* text, int precision)
{
    static const Src kNull[] = {'(', 'n', 'u', 'l', 'l', ')', 0};
    if (!text)
        text = kNull;
    int length = BoundedLength(text, precision);
    std::basic_string<Ch> out;
    if constexpr (std::is_same<Ch, Src>::value)
        out = Same(text, length);
    else
        out = Convert(text, length);
    ClipToPrecision(out, precision);
    return out;
}

template <typename Ch>
void AppendPadded(std::basic_string<Ch>& out, const std::basic_string<Ch>& text, const Spec& spec)
{
    size_t pad = spec.width > 0 && static_cast<size_t>(spec.width) > text.size() ? spec.width - text.size() : 0;
    if (!spec.leftAlign)
        out.append(pad, spec.zeroPad ? Ch('0') : Ch(' '));
    out += text;
    if (spec.leftAlign)
        out.append(pad, Ch(' '));
}

template <typename Ch> void AppendAscii(std::basic_string<Ch>& out, const std::string& text)
{
    for (char c : text)
        out += static_cast<Ch>(static_cast<unsigned char>(c));
}

// The argument size of a conversion: h/hh, l/ll, L, q/j, w, z/t and the I64/I32/I prefixes.
template <typename Ch> SizeMod ReadSizeModifier(const Ch*& p)
{
    auto doubled = [&p](SizeMod once, SizeMod twice) {
        Ch letter = *p++;
        if (*p != letter)
            return once;
        ++p;
        return twice;
    };
    switch (*p) {
    case Ch('h'):
        return doubled(SizeMod::Short, SizeMod::Char);
    case Ch('l'):
        return doubled(SizeMod::Long, SizeMod::LongLong);
    case Ch('L'):
        ++p;
        return SizeMod::LongDouble;
    case Ch('q'):
    case Ch('j'):
        ++p;
        return SizeMod::LongLong;
    case Ch('w'):
        ++p;
        return SizeMod::Wide;
    case Ch('z'):
    case Ch('t'):
        ++p; // size_t and ptrdiff_t are int-sized on this platform
        return SizeMod::None;
    case Ch('I'):
        ++p;
        if (p[0] == Ch('6') && p[1] == Ch('4')) {
            p += 2;
            return SizeMod::LongLong;
        }
        if (p[0] == Ch('3') && p[1] == Ch('2'))
            p += 2;
        return SizeMod::None;
    default:
        return SizeMod::None;
    }
}

// Whether a %c/%s (ownWidth: lower case) or %C/%S argument is wide: the lower-case conversions
// take the format's own width, the upper-case ones the other, unless h (narrow) or l/w (wide) says.
bool TakesWideArgument(bool ownWidth, bool wideFormat, SizeMod size)
{
    if (size == SizeMod::Short)
        return false;
    if (size == SizeMod::Long || size == SizeMod::Wide)
        return true;
    return ownWidth == wideFormat;
}

template <typename Ch> void FormatInto(std::basic_string<Ch>& out, const Ch* format, va_list* args)
{
    constexpr bool kWide = std::is_same<Ch, wchar_t>::value;
    const Ch* p = format;
    while (*p) {
        if (*p != Ch('%')) {
            const Ch* run = p;
            while (*p && *p != Ch('%'))
                ++p;
            out.append(run, p - run);
            continue;
        }
        const Ch* start = p++;
        Spec spec;
        for (;; ++p) {
            if (*p == Ch('-'))
                spec.leftAlign = true;
            else if (*p == Ch('0'))
                spec.zeroPad = true;
            else if (*p != Ch('+') && *p != Ch(' ') && *p != Ch('#'))
                break;
            spec.flags += static_cast<char>(*p);
        }
        if (*p == Ch('*')) {
            ++p;
            spec.width = va_arg(*args, int);
            if (spec.width < 0) {
                spec.leftAlign = true;
                spec.flags += '-';
                spec.width = spec.width == INT_MIN ? INT_MAX : -spec.width;
            }
        } else if (IsDigit(*p)) {
            spec.width = ReadNumber(p);
        }
        if (*p == Ch('.')) {
            ++p;
            if (*p == Ch('*')) {
                ++p;
                spec.precision = va_arg(*args, int);
                if (spec.precision < 0)
                    spec.precision = -1;
            } else {
                spec.precision = ReadNumber(p);
            }
        }
        spec.size = ReadSizeModifier(p);

        const Ch conversion = *p;
        if (conversion)
            ++p;
        const bool longLong = spec.size == SizeMod::LongLong || spec.size == SizeMod::LongDouble;
        switch (conversion) {
        case Ch('%'):
            out += Ch('%');
            break;
        case Ch('d'):
        case Ch('i'): {
            long long value;
            if (longLong)
                value = va_arg(*args, long long);
            else if (spec.size == SizeMod::Short)
                value = static_cast<short>(va_arg(*args, int));
            else if (spec.size == SizeMod::Char)
                value = static_cast<signed char>(va_arg(*args, int));
            else
                value = va_arg(*args, int);
            AppendAscii(out, FormatNumber(spec, "ll", 'd', value));
            break;
        }
        case Ch('u'):
        case Ch('o'):
        case Ch('x'):
        case Ch('X'): {
            unsigned long long value;
            if (longLong)
                value = va_arg(*args, unsigned long long);
            else if (spec.size == SizeMod::Short)
                value = static_cast<unsigned short>(va_arg(*args, unsigned int));
            else if (spec.size == SizeMod::Char)
                value = static_cast<unsigned char>(va_arg(*args, unsigned int));
            else
                value = va_arg(*args, unsigned int);
            AppendAscii(out, FormatNumber(spec, "ll", static_cast<char>(conversion), value));
            break;
        }
        case Ch('e'):
        case Ch('E'):
        case Ch('f'):
        case Ch('F'):
        case Ch('g'):
        case Ch('G'):
        case Ch('a'):
        case Ch('A'):
            if (spec.size == SizeMod::LongDouble)
                AppendAscii(out, FormatNumber(spec, "L", static_cast<char>(conversion), va_arg(*args, long double)));
            else
                AppendAscii(out, FormatNumber(spec, "", static_cast<char>(conversion), va_arg(*args, double)));
            break;
        case Ch('p'): {
            Spec pointer = spec;
            pointer.precision = static_cast<int>(sizeof(void*) * 2);
            auto value = reinterpret_cast<uintptr_t>(va_arg(*args, void*));
            AppendAscii(out, FormatNumber(pointer, "ll", 'X', static_cast<unsigned long long>(value)));
            break;
        }
        case Ch('c'):
        case Ch('C'): {
            bool wideArg = TakesWideArgument(conversion == Ch('c'), kWide, spec.size);
            int value = va_arg(*args, int);
            std::basic_string<Ch> text;
            if (wideArg) {
                wchar_t ch = static_cast<wchar_t>(value);
                text = ch ? StringArgument<Ch>(&ch, 1) : std::basic_string<Ch>(1, Ch(0));
            } else {
                char ch = static_cast<char>(value);
                text = ch ? StringArgument<Ch>(&ch, 1) : std::basic_string<Ch>(1, Ch(0));
            }
            Spec noZero = spec;
            noZero.zeroPad = false;
            AppendPadded(out, text, noZero);
            break;
        }
        case Ch('s'):
        case Ch('S'): {
            if (TakesWideArgument(conversion == Ch('s'), kWide, spec.size))
                AppendPadded(out, StringArgument<Ch>(va_arg(*args, const wchar_t*), spec.precision), spec);
            else
                AppendPadded(out, StringArgument<Ch>(va_arg(*args, const char*), spec.precision), spec);
            break;
        }
        case Ch('n'):
            // Writing through a caller's pointer from a format text is never wanted.
            (void)va_arg(*args, void*);
            break;
        default:
            out.append(start, p - start);
            break;
        }
    }
}

// The caller's va_list stays untouched: the walk works on a copy.
template <typename Ch> void AppendFormatted(std::basic_string<Ch>& out, const Ch* format, va_list args)
{
    if (!format)
        return;
    va_list copy;
    va_copy(copy, args);
    FormatInto(out, format, &copy);
    va_end(copy);
}

} // namespace

void AFXAPI AfxAppendFormatV(std::wstring& out, const wchar_t* format, va_list args)
{
    AppendFormatted(out, format, args);
}

void AFXAPI AfxAppendFormatV(std::string& out, const char* format, va_list args)
{
    AppendFormatted(out, format, args);
}
