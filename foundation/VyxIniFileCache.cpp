#include "foundation/VyxIniFileCache.h"

#include <algorithm>

namespace {

// Larger files are left to the platform's reader.
const ULONGLONG kMaxHeldBytes = 16u << 20;

bool IsBlank(wchar_t ch)
{
    // ASCII blanks only (an ideographic space is text), and ^Z, an old end-of-file mark.
    return ch == L' ' || (ch >= L'\t' && ch <= L'\r') || ch == 0x1a;
}

// A name or value as the platform's reader uses it: up to a NUL the file may hold.
size_t TextLength(const wchar_t* text, size_t length)
{
    const wchar_t* nul = std::find(text, text + length, L'\0');
    return static_cast<size_t>(nul - text);
}

// A section or key name as compared: without its outer blanks, in lower case.
std::wstring Lower(const wchar_t* text, size_t length)
{
    length = TextLength(text, length);
    while (length > 0 && IsBlank(*text)) {
        ++text;
        --length;
    }
    while (length > 0 && IsBlank(text[length - 1]))
        --length;
    std::wstring lower(text, length);
    if (!lower.empty())
        ::CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
    return lower;
}

ULONGLONG FileTimeValue(const FILETIME& time)
{
    return static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

// The file's text as the platform's reader decodes it: a UTF-8 or UTF-16LE byte-order mark, else
// the ANSI code page. False for a text only the platform should read (UTF-16BE).
bool DecodeText(const std::string& bytes, std::wstring& text)
{
    text.clear();
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF)
        return false;
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        text.assign(reinterpret_cast<const wchar_t*>(data + 2), (size - 2) / 2);
        return true;
    }
    UINT codePage = CP_ACP;
    size_t skip = 0;
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        codePage = CP_UTF8;
        skip = 3;
    }
    const int length = static_cast<int>(size - skip);
    if (length == 0)
        return true;
    const char* from = bytes.data() + skip;
    const int chars = ::MultiByteToWideChar(codePage, 0, from, length, nullptr, 0);
    if (chars <= 0)
        return false;
    text.resize(static_cast<size_t>(chars));
    ::MultiByteToWideChar(codePage, 0, from, length, &text[0], chars);
    return true;
}

} // namespace

void VyxIniFileCache::SetPath(const CString& path)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_path = path;
    m_checked = m_trusted = m_usable = false;
    m_bytes.clear();
    m_sections.clear();
}

void VyxIniFileCache::Invalidate()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_checked = m_trusted = false;
}

bool VyxIniFileCache::Refresh(bool sizeAndTimeSuffice)
{
    FILETIME nowTime;
    ::GetSystemTimeAsFileTime(&nowTime);
    const ULONGLONG lookedAt = FileTimeValue(nowTime);
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    const bool exists = ::GetFileAttributesExW(m_path, GetFileExInfoStandard, &data) &&
                        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    const ULONGLONG size = static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    const ULONGLONG writeTime = FileTimeValue(data.ftLastWriteTime);
    if (m_checked && (m_trusted || sizeAndTimeSuffice) && exists == m_exists &&
        (!exists || (size == m_size && writeTime == m_writeTime)))
        return m_usable;

    m_checked = true;
    m_trusted = false;
    m_usable = false;
    m_exists = exists;
    if (!exists) {
        m_bytes.clear();
        m_sections.clear();
        m_usable = m_trusted = true;
        return true;
    }
    HANDLE file = ::CreateFileW(m_path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        m_checked = false;
        return false;
    }
    // Size and time from the open file, before its bytes: a write after this moment moves them.
    // (Asked one by one: the whole file information would ask the volume for its serial number,
    // several round trips to the system under Wine on every read of a file just written.)
    LARGE_INTEGER fileSize = {};
    FILETIME written = {};
    bool read = ::GetFileSizeEx(file, &fileSize) && ::GetFileTime(file, nullptr, nullptr, &written);
    m_size = static_cast<ULONGLONG>(fileSize.QuadPart);
    m_writeTime = FileTimeValue(written);
    std::string bytes;
    if (read && m_size <= kMaxHeldBytes) {
        bytes.resize(static_cast<size_t>(m_size));
        DWORD got = 0;
        read = bytes.empty() ||
               (::ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size());
    } else {
        read = false;
    }
    ::CloseHandle(file);
    ++m_loads;
    if (!read) {
        m_checked = false;
        return false;
    }
    if (bytes != m_bytes || m_sections.empty()) {
        if (!Parse(bytes)) {
            m_bytes.clear();
            m_sections.clear();
            m_checked = false;
            return false;
        }
        m_bytes.swap(bytes);
    }
    m_usable = true;
    m_trusted = lookedAt > m_writeTime && lookedAt - m_writeTime > TrustedAgeTicks;
    return true;
}

// Lines as the platform's reader splits them: blanks around names and values dropped, a line
// opening with '[' and holding a ']' starts a section named up to the last ']', any other line
// is a key (up to its first '=') with its value, or a key without a value.
bool VyxIniFileCache::Parse(const std::string& bytes)
{
    std::wstring text;
    if (!DecodeText(bytes, text))
        return false;
    m_sections.clear();
    // Keys above the first header belong to the section without a name.
    m_sections.push_back(Section{std::wstring(), {}});
    const wchar_t* p = text.c_str();
    const wchar_t* const end = p + text.size();
    while (p < end) {
        // A lone carriage return ends a line too.
        const wchar_t* lineEnd = std::find_if(p, end, [](wchar_t ch) { return ch == L'\n' || ch == L'\r'; });
        const wchar_t* next = lineEnd < end ? lineEnd + 1 : end;
        while (p < lineEnd && IsBlank(*p))
            ++p;
        while (lineEnd > p && IsBlank(lineEnd[-1]))
            --lineEnd;
        if (p == lineEnd) {
            p = next;
            continue;
        }
        if (*p == L'[') {
            const wchar_t* close = lineEnd;
            while (close > p && *(close - 1) != L']')
                --close;
            if (close > p + 1) {
                m_sections.push_back(Section{Lower(p + 1, static_cast<size_t>(close - 1 - (p + 1))), {}});
                p = next;
                continue;
            }
        }
        const wchar_t* equals = std::find(p, lineEnd, L'=');
        Entry entry;
        entry.hasValue = equals < lineEnd;
        const wchar_t* nameEnd = equals;
        while (nameEnd > p && IsBlank(nameEnd[-1]))
            --nameEnd;
        entry.key = Lower(p, static_cast<size_t>(nameEnd - p));
        if (entry.hasValue) {
            const wchar_t* value = equals + 1;
            while (value < lineEnd && IsBlank(*value))
                ++value;
            entry.value.assign(value, TextLength(value, static_cast<size_t>(lineEnd - value)));
        }
        m_sections.back().entries.push_back(std::move(entry));
        p = next;
    }
    return true;
}

VyxIniFileCache::Result VyxIniFileCache::Lookup(const wchar_t* section, const wchar_t* key, CString& value,
                                                int maxChars)
{
    return Find(section, key, value, maxChars, false);
}

VyxIniFileCache::Result VyxIniFileCache::LookupBeforeWriting(const wchar_t* section, const wchar_t* key, CString& value,
                                                             int maxChars)
{
    return Find(section, key, value, maxChars, true);
}

VyxIniFileCache::Result VyxIniFileCache::Find(const wchar_t* section, const wchar_t* key, CString& value, int maxChars,
                                              bool sizeAndTimeSuffice)
{
    if (!section || !key || maxChars <= 0)
        return Unavailable;
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_path.IsEmpty() || !Refresh(sizeAndTimeSuffice))
        return Unavailable;
    const std::wstring sectionName = Lower(section, wcslen(section));
    const std::wstring keyName = Lower(key, wcslen(key));
    for (const Section& held : m_sections) {
        if (held.name != sectionName)
            continue;
        // Only the first section of a name is read, as the platform does.
        for (const Entry& entry : held.entries) {
            if (entry.key != keyName)
                continue;
            if (!entry.hasValue)
                return Missing;
            const std::wstring& text = entry.value;
            const size_t limit = static_cast<size_t>(maxChars);
            // A value in a pair of quotes loses them, unless cut before its closing quote.
            if (text.size() >= 2 && (text[0] == L'"' || text[0] == L'\'') && text.back() == text[0] &&
                text.size() - 1 <= limit + 1)
                value = CString(text.c_str() + 1, static_cast<int>(text.size() - 2));
            else if (text.size() >= 2 && (text[0] == L'"' || text[0] == L'\'') && text.back() == text[0])
                value = CString(text.c_str() + 1, static_cast<int>(limit));
            else
                value = CString(text.c_str(), static_cast<int>(std::min(text.size(), limit)));
            return Found;
        }
        return Missing;
    }
    return Missing;
}
