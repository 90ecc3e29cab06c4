#include "catalogue/VyxNoteFile.h"

#include "foundation/ReplacementFile.h"
#include "foundation/VyxCode.h"

#include <algorithm>
#include <cwctype>

namespace {

// Far above any note file the program writes; a larger file is left alone rather than cut.
const LONGLONG kLargestNoteFile = 64ll << 20;

// False when a character has no exact form in the ANSI code page.
bool ToAnsi(const CString& text, std::string& out)
{
    out.clear();
    if (text.IsEmpty())
        return true;
    if (!FitsCodePage(text, text.GetLength()))
        return false;
    int length = WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
    out.resize(static_cast<size_t>(length > 0 ? length : 0));
    return length > 0 && WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), &out[0], length, nullptr, nullptr) > 0;
}

bool IsQuote(wchar_t ch)
{
    return ch == L'"' || ch == L'\'';
}

// The key of a "key=value" line (trimmed), and where its value starts; -1 without "=".
CString KeyOf(const CString& line, int& valueAt)
{
    valueAt = line.Find(L'=');
    return VyxNoteFile::Trimmed(valueAt < 0 ? line : line.Left(valueAt));
}

} // namespace

void (*VyxNoteFile::s_beforePutInPlace)(const wchar_t* scratch) = nullptr;

bool VyxNoteFile::IsBlank(wchar_t ch)
{
    // Wider than any reader's idea of a blank: a note that starts or ends with one is quoted, so
    // that no reader trims it.
    return ch < 0x21 || ch == 0x7f || ch == 0x85 || ch == 0xa0 || ch == 0x1680 || (ch >= 0x2000 && ch <= 0x200b) ||
           ch == 0x2028 || ch == 0x2029 || ch == 0x202f || ch == 0x205f || ch == 0x3000 || ch == 0xfeff || iswspace(ch);
}

CString VyxNoteFile::Trimmed(const CString& text)
{
    int begin = 0, end = text.GetLength();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.Mid(begin, end - begin);
}

CString VyxNoteFile::Folded(const CString& text)
{
    CString folded(text);
    return folded.MakeLower();
}

VyxNoteFile::Line VyxNoteFile::MakeLine(const CString& text)
{
    Line line;
    line.text = text + L"\r";
    line.changed = true;
    return line;
}

VyxNoteFile::LoadResult VyxNoteFile::Load(const wchar_t* path)
{
    Parse(std::string());
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Missing : Unreadable;
    }
    LARGE_INTEGER size;
    std::string bytes;
    bool whole = GetFileSizeEx(file, &size) && size.QuadPart <= kLargestNoteFile;
    if (whole) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        whole = bytes.empty() ||
                (ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size());
    }
    CloseHandle(file);
    if (!whole)
        return Unreadable;
    Parse(bytes);
    return Loaded;
}

void VyxNoteFile::Parse(const std::string& bytes)
{
    m_sections.assign(1, Section());
    m_index.clear();
    m_unicode = false;
    m_lastLineBroken = true;
    std::vector<Line> lines;
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t size = bytes.size();
    bool utf16le = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
    bool utf16be = size >= 2 && data[0] == 0xFE && data[1] == 0xFF;
    bool utf8 = size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF;
    if (utf16le || utf16be || utf8) {
        m_unicode = true;
        std::wstring text;
        if (utf8) {
            const CString decoded = WideFromBytes(bytes.substr(3), CP_UTF8);
            text.assign(decoded.GetString(), static_cast<size_t>(decoded.GetLength()));
        } else {
            for (size_t at = 2; at + 1 < size; at += 2)
                text += static_cast<wchar_t>(utf16le ? data[at] | data[at + 1] << 8 : data[at] << 8 | data[at + 1]);
        }
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find(L'\n', start);
            Line line;
            line.changed = true;
            line.text =
                CString(text.data() + start, static_cast<int>((end == std::wstring::npos ? text.size() : end) - start));
            lines.push_back(line);
            if (end == std::wstring::npos) {
                m_lastLineBroken = false;
                break;
            }
            start = end + 1;
        }
    } else {
        // A line feed is never the second byte of a double-byte character in the ANSI code pages
        // this runs under, so lines split on the bytes.
        size_t start = 0;
        while (start < size) {
            size_t end = bytes.find('\n', start);
            Line line;
            line.raw = bytes.substr(start, (end == std::string::npos ? size : end) - start);
            line.text = WideFromBytes(line.raw, CP_ACP);
            // Plain ASCII is text of every code page; only other lines are tried for the way back.
            const bool ascii = std::all_of(line.raw.begin(), line.raw.end(), [](char c) { return (c & 0x80) == 0; });
            std::string back;
            line.foreign = !ascii && (!ToAnsi(line.text, back) || back != line.raw);
            lines.push_back(line);
            if (end == std::string::npos) {
                m_lastLineBroken = false;
                break;
            }
            start = end + 1;
        }
    }
    for (Line& line : lines) {
        CString trimmed = Trimmed(line.text);
        int close = trimmed.ReverseFind(L']');
        if (!trimmed.IsEmpty() && trimmed[0] == L'[' && close > 0) {
            Section section;
            section.name = trimmed.Mid(1, close - 1);
            m_index.emplace(std::wstring(Folded(section.name)), static_cast<int>(m_sections.size()));
            m_sections.push_back(section);
        }
        m_sections.back().lines.push_back(line);
    }
}

int VyxNoteFile::FindSection(const CString& folded) const
{
    auto found = m_index.find(std::wstring(folded));
    return found == m_index.end() ? -1 : found->second;
}

bool VyxNoteFile::Find(const wchar_t* section, const wchar_t* key, CString& value) const
{
    value.Empty();
    int at = FindSection(Folded(Trimmed(section ? section : L"")));
    if (at < 0)
        return false;
    CString wanted = Folded(Trimmed(key ? key : L""));
    const std::vector<Line>& lines = m_sections[static_cast<size_t>(at)].lines;
    for (size_t i = 1; i < lines.size(); ++i) {
        int valueAt = -1;
        CString trimmed = Trimmed(lines[i].text);
        if (Folded(KeyOf(trimmed, valueAt)) != wanted)
            continue;
        if (valueAt >= 0)
            value = Trimmed(trimmed.Mid(valueAt + 1));
        int length = value.GetLength();
        if (length >= 2 && IsQuote(value[0]) && value[length - 1] == value[0])
            value = value.Mid(1, length - 2);
        return true;
    }
    return false;
}

void VyxNoteFile::Set(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    CString stored(value ? value : L"");
    int length = stored.GetLength();
    // Blanks at either end would be trimmed and a quoted text unquoted by the reader.
    if (length > 0 && (IsBlank(stored[0]) || IsBlank(stored[length - 1]) ||
                       (length >= 2 && IsQuote(stored[0]) && stored[length - 1] == stored[0])))
        stored = L"\"" + stored + L"\"";
    CString name = Trimmed(section ? section : L""), keyName = Trimmed(key ? key : L"");
    Line entry = MakeLine(keyName + L"=" + stored);
    int at = FindSection(Folded(name));
    if (at < 0) {
        if (!IsEmpty())
            m_sections.back().lines.push_back(MakeLine(L""));
        Section added;
        added.name = name;
        added.lines.push_back(MakeLine(L"[" + name + L"]"));
        added.lines.push_back(entry);
        m_index.emplace(std::wstring(Folded(name)), static_cast<int>(m_sections.size()));
        m_sections.push_back(added);
        m_lastLineBroken = true;
        return;
    }
    std::vector<Line>& lines = m_sections[static_cast<size_t>(at)].lines;
    CString wanted = Folded(keyName);
    size_t lastFilled = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        int valueAt = -1;
        CString trimmed = Trimmed(lines[i].text);
        if (Folded(KeyOf(trimmed, valueAt)) == wanted) {
            lines[i] = entry;
            return;
        }
        if (!trimmed.IsEmpty())
            lastFilled = i;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastFilled + 1), entry);
    if (static_cast<size_t>(at) + 1 == m_sections.size() && lastFilled + 2 == lines.size())
        m_lastLineBroken = true;
}

bool VyxNoteFile::RemoveSection(const wchar_t* section)
{
    CString folded = Folded(Trimmed(section ? section : L""));
    int at = FindSection(folded);
    if (at < 0)
        return false;
    m_sections[static_cast<size_t>(at)].removed = true;
    m_index.erase(std::wstring(folded));
    // The unbroken last line, if it was there, went with the section.
    bool last = true;
    for (size_t i = static_cast<size_t>(at) + 1; i < m_sections.size(); ++i)
        last = last && m_sections[i].removed;
    if (last)
        m_lastLineBroken = true;
    // A later section of the same name is what the platform finds next.
    for (size_t i = static_cast<size_t>(at) + 1; i < m_sections.size(); ++i)
        if (!m_sections[i].removed && Folded(m_sections[i].name) == folded) {
            m_index.emplace(std::wstring(folded), static_cast<int>(i));
            break;
        }
    return true;
}

bool VyxNoteFile::HasSection(const wchar_t* section) const
{
    return FindSection(Folded(Trimmed(section ? section : L""))) >= 0;
}

bool VyxNoteFile::IsEmpty() const
{
    for (size_t i = 1; i < m_sections.size(); ++i)
        if (!m_sections[i].removed)
            return false;
    for (const Line& line : m_sections.front().lines)
        if (!Trimmed(line.text).IsEmpty())
            return false;
    return true;
}

std::vector<CString> VyxNoteFile::GetSectionNames() const
{
    std::vector<CString> names;
    for (size_t i = 1; i < m_sections.size(); ++i)
        if (!m_sections[i].removed)
            names.push_back(m_sections[i].name);
    return names;
}

bool VyxNoteFile::FitsAnsi() const
{
    std::string bytes;
    for (const Section& section : m_sections)
        for (const Line& line : section.lines)
            if (!section.removed && line.changed && !ToAnsi(line.text, bytes))
                return false;
    return true;
}

bool VyxNoteFile::HoldsForeignBytes() const
{
    for (const Section& section : m_sections)
        for (const Line& line : section.lines)
            if (!section.removed && !line.changed && line.foreign)
                return true;
    return false;
}

bool VyxNoteFile::CanHold(const wchar_t* section, const wchar_t* value) const
{
    std::string bytes;
    return m_unicode || (ToAnsi(section ? section : L"", bytes) && ToAnsi(value ? value : L"", bytes)) ||
           !HoldsForeignBytes();
}

std::string VyxNoteFile::Serialize() const
{
    std::vector<const Line*> lines;
    for (const Section& section : m_sections)
        for (const Line& line : section.lines)
            if (!section.removed)
                lines.push_back(&line);
    std::string out;
    if (m_unicode || !FitsAnsi()) {
        std::wstring text;
        for (size_t i = 0; i < lines.size(); ++i) {
            text.append(lines[i]->text.GetString(), static_cast<size_t>(lines[i]->text.GetLength()));
            if (i + 1 < lines.size() || m_lastLineBroken)
                text += L'\n';
        }
        out.reserve(2 + text.size() * 2);
        out += '\xFF';
        out += '\xFE';
        for (wchar_t ch : text) {
            out += static_cast<char>(ch & 0xFF);
            out += static_cast<char>((ch >> 8) & 0xFF);
        }
        return out;
    }
    std::string bytes;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i]->changed) {
            ToAnsi(lines[i]->text, bytes);
            out += bytes;
        } else {
            out += lines[i]->raw;
        }
        if (i + 1 < lines.size() || m_lastLineBroken)
            out += '\n';
    }
    return out;
}

bool VyxNoteFile::Save(const wchar_t* path)
{
    // Converting would turn the bytes of another encoding into the code page's default character.
    if (!m_unicode && !FitsAnsi() && HoldsForeignBytes()) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    ReplacementFile scratch;
    if (!scratch.Create(path))
        return false;
    std::string bytes = Serialize();
    // Once Unicode, the file stays so.
    m_unicode = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
    // Finished apart only for the hook: the put in place finishes it and reads the target's
    // attributes once for both.
    bool written = scratch.Write(bytes.data(), bytes.size());
    if (written && s_beforePutInPlace) {
        written = scratch.Finish();
        if (written)
            s_beforePutInPlace(scratch.GetPath());
    }
    if (written && scratch.PutInPlace())
        return true;
    const DWORD error = GetLastError();
    scratch.Discard();
    SetLastError(error ? error : ERROR_WRITE_FAULT);
    return false;
}
