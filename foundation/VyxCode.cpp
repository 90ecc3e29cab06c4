#include "foundation/VyxCode.h"

#include "foundation/kanji/GuessCodePage.h"

#include <windows.h>

#include <string>

namespace {

const int kEucJp = 20932;

// ISO-2022-JP bytes as EUC-JP: the same JIS codes with the high bit set, katakana behind 0x8E.
std::string Iso2022JpToEucJp(const char* text, size_t length)
{
    enum { Ascii, Kanji, Katakana } mode = Ascii;
    bool shifted = false;
    std::string out;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == 0x1B && i + 2 < length) {
            char a = text[i + 1], b = text[i + 2];
            if (a == '$' && (b == '@' || b == 'B')) {
                mode = Kanji;
                i += 2;
                continue;
            }
            if (a == '(' && (b == 'B' || b == 'J' || b == 'H' || b == 'I')) {
                mode = b == 'I' ? Katakana : Ascii;
                i += 2;
                continue;
            }
        }
        if (c == 0x0E || c == 0x0F) {
            shifted = c == 0x0E;
            continue;
        }
        if (c >= 0x21 && c <= 0x7E && (mode == Katakana || shifted)) {
            out += '\x8E';
            out += static_cast<char>(c | 0x80);
        } else if (c >= 0x21 && c <= 0x7E && mode == Kanji && i + 1 < length) {
            out += static_cast<char>(c | 0x80);
            out += static_cast<char>(text[++i] | 0x80);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// The bytes, up to and with their terminator, in a code page the platform converts from. Wine has
// neither the ISO-2022-JP code pages nor 51932; both are read through EUC-JP instead.
std::string PlatformSource(const char* data, size_t length, int& codePage)
{
    std::string bytes(data, length);
    bytes += '\0';
    if (codePage <= 0 || IsValidCodePage(static_cast<UINT>(codePage)))
        return bytes;
    if (codePage == 51932) {
        codePage = kEucJp;
    } else if (codePage >= 50220 && codePage <= 50222) {
        bytes = Iso2022JpToEucJp(data, length);
        bytes += '\0';
        codePage = kEucJp;
    }
    return bytes;
}

size_t BoundedLength(const char* text, size_t limit)
{
    size_t n = 0;
    while (n < limit && text[n])
        ++n;
    return n;
}

} // namespace

VyxCode::VyxCode() {}

VyxCode::~VyxCode() {}

const char* VyxCode::Narrow() const
{
    return m_buffer.GetData() ? reinterpret_cast<const char*>(m_buffer.GetData()) : "";
}

const char* VyxCode::ConvertBuffer(const void* data, int length, int fromCodePage, int toCodePage)
{
    if (length < 0)
        length = 0;
    const char* bytes = static_cast<const char*>(data);
    if (fromCodePage < 0)
        fromCodePage = GuessCodePage(data, length);
    if (fromCodePage == toCodePage) {
        if (bytes) {
            // One byte more than the copy, so the result is always terminated.
            if (m_buffer.GetCapacity() < length + 1)
                m_buffer.Alloc(length + 1);
            m_buffer.Copy(reinterpret_cast<const unsigned char*>(bytes), length);
            m_buffer.GetData()[length] = 0;
        }
        m_length = length;
        return Narrow();
    }
    m_length = 0;
    if (!bytes) {
        m_buffer.Zero();
        return Narrow();
    }
    // The source is read up to its terminator but never past length.
    std::string source = PlatformSource(bytes, BoundedLength(bytes, static_cast<size_t>(length)), fromCodePage);
    int wideLength = MultiByteToWideChar(static_cast<UINT>(fromCodePage), 0, source.data(),
                                         static_cast<int>(source.size()), nullptr, 0);
    VyxMemoryT<wchar_t> wide(wideLength > 0 ? wideLength : 0);
    if (wideLength > 0)
        MultiByteToWideChar(static_cast<UINT>(fromCodePage), 0, source.data(), static_cast<int>(source.size()),
                            wide.GetData(), wideLength);
    int narrowLength = wideLength > 0 ? WideCharToMultiByte(static_cast<UINT>(toCodePage), 0, wide.GetData(),
                                                            wideLength, nullptr, 0, nullptr, nullptr)
                                      : 0;
    // One byte more: the platform may drop the terminator (Wine's UTF-8 decoder takes the NUL after
    // a lone lead byte into the bad sequence), and the result must end in one all the same.
    m_buffer.Alloc(narrowLength + 1);
    if (narrowLength > 0)
        m_length = WideCharToMultiByte(static_cast<UINT>(toCodePage), 0, wide.GetData(), wideLength,
                                       reinterpret_cast<char*>(m_buffer.GetData()), narrowLength, nullptr, nullptr);
    if (m_length > 0 && m_buffer.GetData()[m_length - 1] != 0)
        m_buffer.GetData()[m_length++] = 0;
    return Narrow();
}

const char* VyxCode::Convert(const char* text, int fromCodePage, int toCodePage)
{
    int length = text ? static_cast<int>(strlen(text)) + 1 : 0;
    return ConvertBuffer(text, length, fromCodePage, toCodePage);
}

const char* VyxCode::AnsiToUtf8(const char* text)
{
    return Convert(text, 0, CP_UTF8);
}

const char* VyxCode::Utf8ToAnsi(const char* text)
{
    return Convert(text, CP_UTF8, 0);
}

const wchar_t* VyxCode::ToUnicode(const char* text, int codePage)
{
    m_length = 0;
    int n = text ? MultiByteToWideChar(static_cast<UINT>(codePage), 0, text, -1, nullptr, 0) : 0;
    // The byte buffer holds two bytes per wide character.
    m_buffer.Alloc(n * static_cast<int>(sizeof(wchar_t)));
    if (n > 0)
        m_length = MultiByteToWideChar(static_cast<UINT>(codePage), 0, text, -1,
                                       reinterpret_cast<wchar_t*>(m_buffer.GetData()), n);
    return m_buffer.GetData() ? reinterpret_cast<const wchar_t*>(m_buffer.GetData()) : L"";
}

const char* VyxCode::FromUnicode(const wchar_t* text, int codePage)
{
    m_length = 0;
    int n = text ? WideCharToMultiByte(static_cast<UINT>(codePage), 0, text, -1, nullptr, 0, nullptr, nullptr) : 0;
    m_buffer.Alloc(n);
    if (n > 0)
        m_length = WideCharToMultiByte(static_cast<UINT>(codePage), 0, text, -1,
                                       reinterpret_cast<char*>(m_buffer.GetData()), n, nullptr, nullptr);
    return Narrow();
}

int MultiByteToUnicode(const char* text, wchar_t* out, int outCapacity, int codePage)
{
    if (!text || outCapacity < 1)
        return 0;
    bool inPlace = !out || reinterpret_cast<const void*>(out) == reinterpret_cast<const void*>(text);
    // In place, the source lies in the destination buffer and is read no further.
    size_t limit = inPlace ? static_cast<size_t>(outCapacity) * sizeof(wchar_t) : static_cast<size_t>(-1);
    size_t length = BoundedLength(text, limit);
    std::string source(text, length);
    source += '\0';
    int n =
        MultiByteToWideChar(static_cast<UINT>(codePage), 0, source.data(), static_cast<int>(source.size()), nullptr, 0);
    if (n <= 0 || n > outCapacity) {
        if (!inPlace)
            out[0] = L'\0';
        return 0;
    }
    VyxMemoryT<wchar_t> wide(n);
    n = MultiByteToWideChar(static_cast<UINT>(codePage), 0, source.data(), static_cast<int>(source.size()),
                            wide.GetData(), n);
    wchar_t* destination = inPlace ? reinterpret_cast<wchar_t*>(const_cast<char*>(text)) : out;
    if (n > 0)
        memcpy(destination, wide.GetData(), n * sizeof(wchar_t));
    else if (!inPlace)
        out[0] = L'\0';
    return n;
}

int UnicodeToMultiByte(const wchar_t* text, char* out, int outCapacity, int codePage)
{
    if (!text || outCapacity < 1)
        return 0;
    bool inPlace = !out || reinterpret_cast<const void*>(out) == reinterpret_cast<const void*>(text);
    size_t length = 0;
    size_t limit = inPlace ? static_cast<size_t>(outCapacity) / sizeof(wchar_t) : static_cast<size_t>(-1);
    while (length < limit && text[length])
        ++length;
    std::wstring source(text, length);
    int n = WideCharToMultiByte(static_cast<UINT>(codePage), 0, source.c_str(), static_cast<int>(length) + 1, nullptr,
                                0, nullptr, nullptr);
    if (n <= 0 || n > outCapacity) {
        if (!inPlace)
            out[0] = '\0';
        return 0;
    }
    VyxMemoryT<unsigned char> narrow(n);
    n = WideCharToMultiByte(static_cast<UINT>(codePage), 0, source.c_str(), static_cast<int>(length) + 1,
                            reinterpret_cast<char*>(narrow.GetData()), n, nullptr, nullptr);
    char* destination = inPlace ? reinterpret_cast<char*>(const_cast<wchar_t*>(text)) : out;
    if (n > 0)
        memcpy(destination, narrow.GetData(), n);
    else if (!inPlace)
        out[0] = '\0';
    return n;
}

bool FitsCodePage(const wchar_t* text, int length, int codePage)
{
    if (!text)
        return true;
    if (length < 0)
        length = static_cast<int>(wcslen(text));
    int i = 0;
    while (i < length && text[i] < 0x80)
        ++i;
    if (i == length)
        return true;
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(static_cast<UINT>(codePage), WC_NO_BEST_FIT_CHARS, text + i, length - i, nullptr, 0,
                                nullptr, &usedDefault);
    return n > 0 && !usedDefault;
}

CString WideFromBytes(const std::string& bytes, UINT codePage)
{
    if (bytes.empty())
        return CString();
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0)
        return CString();
    CString text;
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.GetBuffer(n), n);
    text.ReleaseBuffer(n);
    return text;
}
