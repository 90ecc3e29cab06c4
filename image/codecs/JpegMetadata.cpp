#include "image/codecs/JpegMetadata.h"

#include "image/codecs/JpegExif.h"
#include "image/codecs/JpegSegments.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

const BYTE kApp1 = 0xE1, kApp2 = 0xE2, kApp13 = 0xED, kComment = 0xFE;
const char kExifHeader[] = "Exif\0"; // with its terminator: "Exif\0\0"
const char kXmpHeader[] = "http://ns.adobe.com/xap/1.0/";
const char kIccHeader[] = "ICC_PROFILE";
const char kMpfHeader[] = "MPF";
const char kTiffNamespace[] = "http://ns.adobe.com/tiff/1.0/";

// The header a segment's payload starts with, its terminating zero included.
bool StartsWith(const JpegMarkerSegment& segment, const char* header, size_t bytes)
{
    return segment.payload.size() >= bytes && std::memcmp(segment.payload.data(), header, bytes) == 0;
}

bool IsXmp(const JpegMarkerSegment& segment)
{
    return segment.marker == kApp1 && StartsWith(segment, kXmpHeader, sizeof(kXmpHeader));
}

bool IsIccProfile(const JpegMarkerSegment& segment)
{
    return segment.marker == kApp2 && StartsWith(segment, kIccHeader, sizeof(kIccHeader));
}

// How far the markers of a file are read at first, and at most: profiles and XMP rarely pass a
// few hundred kilobytes, and the markers end where the picture's data starts.
const DWORD kFirstReach = 1 << 20;
const DWORD kLastReach = 64 << 20;

bool IsNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.' || static_cast<unsigned char>(c) >= 0x80;
}

size_t SkipSpace(const std::string& text, size_t at)
{
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n'))
        ++at;
    return at;
}

// The prefixes an XMP text binds to the namespace; false when the namespace is named anywhere
// but in a prefixed binding (a default namespace, or a text that merely quotes it).
bool PrefixesOf(const std::string& text, const std::string& uri, std::vector<std::string>& prefixes)
{
    size_t bound = 0, named = 0;
    for (size_t at = text.find(uri); at != std::string::npos; at = text.find(uri, at + 1))
        ++named;
    for (size_t at = text.find("xmlns:"); at != std::string::npos; at = text.find("xmlns:", at + 1)) {
        size_t end = at + 6;
        while (end < text.size() && IsNameChar(text[end]))
            ++end;
        const std::string prefix = text.substr(at + 6, end - at - 6);
        size_t value = SkipSpace(text, end);
        if (value >= text.size() || text[value] != '=')
            continue;
        value = SkipSpace(text, value + 1);
        if (value >= text.size() || (text[value] != '"' && text[value] != '\''))
            continue;
        const size_t close = text.find(text[value], value + 1);
        if (close == std::string::npos || text.compare(value + 1, close - value - 1, uri) != 0)
            continue;
        ++bound;
        if (!prefix.empty() && std::find(prefixes.begin(), prefixes.end(), prefix) == prefixes.end())
            prefixes.push_back(prefix);
    }
    return bound == named;
}

struct Span
{
    size_t begin, end;
};

// The values of prefix:Orientation, as an attribute or as an element holding only text; false
// when it stands in another form.
bool OrientationValues(const std::string& text, const std::string& prefix, std::vector<Span>& values)
{
    const std::string name = prefix + ":Orientation";
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        const size_t after = at + name.size();
        if (at == 0 || (after < text.size() && IsNameChar(text[after])) || IsNameChar(text[at - 1]) ||
            text[at - 1] == ':')
            continue;
        const char before = text[at - 1];
        if (before == '/')
            continue; // the closing tag of an element taken at its start
        if (before == '<') {
            const size_t open = SkipSpace(text, after);
            if (open >= text.size() || text[open] != '>')
                return false;
            const size_t close = text.find('<', open + 1);
            if (close == std::string::npos || text.compare(close, 2 + name.size(), "</" + name) != 0)
                return false;
            values.push_back({open + 1, close});
            continue;
        }
        if (before != ' ' && before != '\t' && before != '\r' && before != '\n')
            continue; // inside a text
        size_t value = SkipSpace(text, after);
        if (value >= text.size() || text[value] != '=')
            return false;
        value = SkipSpace(text, value + 1);
        if (value >= text.size() || (text[value] != '"' && text[value] != '\''))
            return false;
        const size_t close = text.find(text[value], value + 1);
        if (close == std::string::npos)
            return false;
        values.push_back({value + 1, close});
    }
    return true;
}

} // namespace

JpegMetadata JpegMetadata::Find(const BYTE* data, size_t size)
{
    JpegMetadata found;
    JpegSegmentWalker walker(data, size);
    JpegSegment segment;
    while (walker.Next(segment)) {
        const BYTE marker = segment.marker;
        if (!segment.whole || (marker != kApp1 && marker != kApp2 && marker != kApp13 && marker != kComment))
            continue;
        JpegMarkerSegment kept;
        kept.marker = marker;
        kept.payload.assign(segment.payload, segment.payload + segment.length);
        if (marker == kApp2 && StartsWith(kept, kMpfHeader, sizeof(kMpfHeader)))
            continue;
        found.m_segments.push_back(std::move(kept));
    }
    return found;
}

JpegMetadata JpegMetadata::OfFile(const wchar_t* path)
{
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    LARGE_INTEGER length = {};
    JpegMetadata found;
    if (::GetFileSizeEx(file, &length)) {
        const ULONGLONG whole = static_cast<ULONGLONG>(length.QuadPart);
        std::vector<BYTE> head;
        for (DWORD reach = kFirstReach;; reach *= 4) {
            const DWORD want = static_cast<DWORD>(std::min<ULONGLONG>(whole, reach));
            head.resize(want);
            DWORD read = 0;
            LARGE_INTEGER start = {};
            if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) ||
                !::ReadFile(file, head.data(), want, &read, nullptr))
                break;
            JpegSegmentWalker walker(head.data(), read);
            JpegSegment segment;
            while (walker.Next(segment)) {
            }
            // The markers are whole once the walk has come to the picture's data, or to the end of
            // what the file holds.
            if (walker.Reached() != JpegSegmentWalker::CutShort || read >= whole || reach >= kLastReach) {
                found = Find(head.data(), read);
                break;
            }
        }
    }
    ::CloseHandle(file);
    return found;
}

void JpegMetadata::FitToPixels(LONG width, LONG height, bool turned)
{
    std::vector<JpegMarkerSegment> fitted;
    for (JpegMarkerSegment& segment : m_segments) {
        bool kept = true;
        if (IsExif(segment))
            kept = FitExifToPixels(segment.payload, width, height, turned) || !turned;
        else if (IsXmp(segment) && turned)
            kept = OrientXmpUpright(segment.payload);
        if (kept)
            fitted.push_back(std::move(segment));
    }
    m_segments.swap(fitted);
}

bool JpegMetadata::IsExif(const JpegMarkerSegment& segment)
{
    return segment.marker == kApp1 && StartsWith(segment, kExifHeader, sizeof(kExifHeader));
}

bool JpegMetadata::Keeps(const JpegMarkerSegment& segment, bool grey) const
{
    if (!IsIccProfile(segment))
        return true;
    // The profile's colour space stands in its header, in the chunk numbered 1.
    const size_t chunkHeader = sizeof(kIccHeader) + 2, space = chunkHeader + 16;
    for (const JpegMarkerSegment& chunk : m_segments) {
        if (IsIccProfile(chunk) && chunk.payload.size() >= space + 4 && chunk.payload[sizeof(kIccHeader)] == 1)
            return std::memcmp(chunk.payload.data() + space, grey ? "GRAY" : "RGB ", 4) == 0;
    }
    return false;
}

bool OrientXmpUpright(std::vector<BYTE>& xmp)
{
    const size_t header = sizeof(kXmpHeader);
    if (xmp.size() < header)
        return false;
    std::string text(xmp.begin() + header, xmp.end());
    std::vector<std::string> prefixes;
    if (!PrefixesOf(text, kTiffNamespace, prefixes))
        return false;
    std::vector<Span> values;
    for (const std::string& prefix : prefixes)
        if (!OrientationValues(text, prefix, values))
            return false;
    std::sort(values.begin(), values.end(), [](const Span& a, const Span& b) { return a.begin > b.begin; });
    for (const Span& value : values)
        text.replace(value.begin, value.end - value.begin, "1");
    xmp.resize(header);
    xmp.insert(xmp.end(), text.begin(), text.end());
    return true;
}
