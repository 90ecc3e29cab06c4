#include "fileops/CHtmlCatalogWriter.h"

#include "catalogue/NoteText.h"
#include "catalogue/VyxFile.h"
#include "catalogue/VyxFileArray.h"
#include "foundation/MacroText.h"
#include "foundation/MessageBoxes.h"
#include "foundation/VyxCode.h"
#include "foundation/VyxGlobalErrorException.h"
#include "foundation/VyxPath.h"
#include "image/DibCore.h"
#include "image/DibQuant.h"
#include "image/codecs/SaveDib.h"

#include <algorithm>
#include <cwctype>

namespace {

// Thumbnail boxes from a definition outside this range are ignored: a box is drawn in memory.
const int kMaxBox = 16384;
// Zero-padded numbers are at most this wide.
const int kMaxNumberWidth = 64;
const wchar_t kIdeographicSpace[] = L"\x3000";

bool StartsWithNoCase(const CString& text, const wchar_t* prefix)
{
    int length = static_cast<int>(wcslen(prefix));
    return text.GetLength() >= length && _wcsnicmp(text, prefix, length) == 0;
}

CString PaddedIntegerFormat(long long width)
{
    CString format;
    format.Format(L"%%0%dd", static_cast<int>(std::min<long long>(width, kMaxNumberWidth)));
    return format;
}

// The width n of the first "#n#" in the text, or -1.
long long HashWidth(const CString& text)
{
    for (int i = 0; i + 2 < text.GetLength(); ++i) {
        if (text[i] != L'#' || !iswdigit(text[i + 1]))
            continue;
        int j = i + 1;
        long long width = 0;
        while (j < text.GetLength() && iswdigit(text[j])) {
            width = std::min<long long>(width * 10 + (text[j] - L'0'), 1000000);
            ++j;
        }
        if (j < text.GetLength() && text[j] == L'#')
            return width;
    }
    return -1;
}

// Exactly one integer conversion ("%", flags, a width and precision of at most 64, then d, i, u,
// o, x or X), any "%%", and nothing else a printf format would read.
bool IsSingleIntegerFormat(const CString& format)
{
    int conversions = 0;
    for (int i = 0; i < format.GetLength(); ++i) {
        if (format[i] != L'%')
            continue;
        if (++i < format.GetLength() && format[i] == L'%')
            continue;
        while (i < format.GetLength() && wcschr(L"-+ 0#", format[i]))
            ++i;
        int digits = 0, width = 0;
        while (i < format.GetLength() && iswdigit(format[i]) && digits++ < 3)
            width = width * 10 + (format[i++] - L'0');
        if (width > kMaxNumberWidth)
            return false;
        if (i < format.GetLength() && format[i] == L'.') {
            ++i;
            digits = width = 0;
            while (i < format.GetLength() && iswdigit(format[i]) && digits++ < 3)
                width = width * 10 + (format[i++] - L'0');
            if (width > kMaxNumberWidth)
                return false;
        }
        if (i >= format.GetLength() || !wcschr(L"diuoxX", format[i]))
            return false;
        ++conversions;
    }
    return conversions == 1;
}

// One forward scan of a template: the text between tokens goes to plain (text, length); each token
// found goes to token (index, position after the token), which may move the position on. What
// the token puts in its place is never scanned, so the scan always ends.
template <class Plain, class Token>
void ScanTokens(const CString& text, const wchar_t* const* tokens, int count, Plain plain, Token token)
{
    const int length = text.GetLength();
    int i = 0, from = 0;
    while (i < length) {
        int found = -1;
        int tokenLength = 0;
        if (text[i] == L'$') {
            for (int t = 0; t < count; ++t) {
                tokenLength = static_cast<int>(wcslen(tokens[t]));
                if (wcsncmp(text.GetString() + i, tokens[t], tokenLength) == 0) {
                    found = t;
                    break;
                }
            }
        }
        if (found < 0) {
            ++i;
            continue;
        }
        plain(text.GetString() + from, i - from);
        i += tokenLength;
        token(found, i);
        from = i;
    }
    plain(text.GetString() + from, length - from);
}

// The code point at text[i] (a surrogate pair taken whole) and the characters it takes.
unsigned CodePointAt(const CString& text, int i, int& units)
{
    const unsigned high = text[i];
    units = 1;
    if (high >= 0xD800 && high < 0xDC00 && i + 1 < text.GetLength()) {
        const unsigned low = text[i + 1];
        if (low >= 0xDC00 && low < 0xE000) {
            units = 2;
            return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return high;
}

// Whether an address may hold the character as it is: letters, digits, the marks RFC 3986 leaves
// unreserved, the path's own separators and the few marks that mean nothing in a path, and any
// character of the page's code page beyond ASCII. The rest would end the address or the attribute
// holding it ('"', "'", blanks, "<", ">"), start a reference ("&"), a query or a fragment ("?",
// "#"), or an escape ("%").
bool KeptInAddress(unsigned code, bool fitsCodePage)
{
    if (code >= 0x80)
        return fitsCodePage;
    return iswalnum(code) || (code != 0 && wcschr(L"-._~/:!$()*+,;=@", static_cast<wchar_t>(code)));
}

// Pages are written in the process's code page. A text from an item or the user's data is written
// as HTML text: the four marks HTML gives a meaning to as entities, a character the code page lacks
// as a numeric character reference. An address is percent-encoded (UTF-8) wherever it holds a
// character it may not keep. Markup and the definition's own text go as they stand.
CString PageText(const CString& value, MacroText::PieceKind kind)
{
    const bool link = kind == MacroText::KindLink;
    if (kind == MacroText::KindTemplate || kind == MacroText::KindMarkup)
        return value;
    // Most texts fit whole: their characters need no look each.
    const bool allFit = FitsCodePage(value, value.GetLength());
    if (allFit && !link && value.FindOneOf(L"&<>\"") < 0)
        return value;
    CString out;
    for (int i = 0; i < value.GetLength();) {
        int units = 1;
        const unsigned code = CodePointAt(value, i, units);
        const wchar_t* character = value.GetString() + i;
        i += units;
        const bool fits = code < 0x80 || allFit || FitsCodePage(character, units);
        if (link) {
            if (KeptInAddress(code, fits)) {
                out.Append(character, units);
                continue;
            }
            char bytes[8] = {};
            const int n = WideCharToMultiByte(CP_UTF8, 0, character, units, bytes, sizeof(bytes), nullptr, nullptr);
            for (int b = 0; b < n; ++b)
                out.AppendFormat(L"%%%02X", static_cast<unsigned char>(bytes[b]));
            continue;
        }
        const wchar_t* entity = code == L'&'   ? L"&amp;"
                                : code == L'<' ? L"&lt;"
                                : code == L'>' ? L"&gt;"
                                : code == L'"' ? L"&quot;"
                                               : nullptr;
        if (entity)
            out += entity;
        else if (fits)
            out.Append(character, units);
        else
            out.AppendFormat(L"&#%u;", code);
    }
    return out;
}

CString PageText(const MacroText& text)
{
    CString out;
    for (const MacroText::Piece& piece : text.GetPieces())
        out += PageText(piece.text, piece.kind);
    return out;
}

CString Replaced(CString text, wchar_t from, wchar_t to)
{
    if (from != to)
        text.Replace(from, to);
    return text;
}

std::wstring FullKey(const wchar_t* path)
{
    CString full;
    GetFullPath(full, path);
    if (full.IsEmpty())
        full = path;
    full.MakeLower();
    return std::wstring(full.GetString());
}

bool IsVariableLine(const CString& line, CString* rest)
{
    int i = 0;
    while (i < line.GetLength() && (line[i] == L' ' || line[i] == L'\t'))
        ++i;
    if (_wcsnicmp(line.GetString() + i, L"#LET", 4) != 0)
        return false;
    if (rest)
        *rest = line.Mid(i + 4);
    return true;
}

} // namespace

CHtmlCatalogWriter::CHtmlCatalogWriter() : m_currentSection(&m_globalLines) {}

CHtmlCatalogWriter::~CHtmlCatalogWriter() = default;

// ---- the definition file

bool CHtmlCatalogWriter::LoadDefinition(const wchar_t* path)
{
    m_definitionPath = path ? path : L"";
    bool opened = false;
    CStdioFile file;
    if (!m_definitionPath.IsEmpty() &&
        file.Open(m_definitionPath, CFile::modeRead | CFile::shareDenyNone | CFile::typeText)) {
        opened = true;
        m_currentSection = &m_globalLines;
        try {
            CString line;
            while (file.ReadString(line)) {
                if (line.IsEmpty() || line[0] != L';')
                    ParseDefinitionLine(line);
            }
        } catch (CException* e) {
            // A read error ends the definition where it stands.
            e->Delete();
        }
        file.Close();
    }
    m_variables.SetAt(L"#THUMBS_WIDTH", m_boxWidth);
    m_variables.SetAt(L"#THUMBS_HEIGHT", m_boxHeight);
    m_variables.SetAt(L"#TABLE_OPTION", m_tableOption);
    m_variables.SetAt(L"#VERSION", m_version);
    return opened;
}

void CHtmlCatalogWriter::ParseDefinitionLine(const CString& line)
{
    auto value = [&line](const wchar_t* directive) { return line.Mid(static_cast<int>(wcslen(directive))); };
    auto box = [](const CString& text, int& field) {
        int size = _wtoi(text);
        if (size >= 1 && size <= kMaxBox)
            field = size;
    };
    if (StartsWithNoCase(line, L"*Header")) {
        m_currentSection = &m_headerLines;
        m_headerLines.RemoveAll();
    } else if (StartsWithNoCase(line, L"*One")) {
        m_currentSection = &m_oneLines;
        m_oneLines.RemoveAll();
    } else if (StartsWithNoCase(line, L"*Footer")) {
        m_currentSection = &m_footerLines;
        m_footerLines.RemoveAll();
    } else if (StartsWithNoCase(line, L"#THUMBS_WIDTH=")) {
        box(value(L"#THUMBS_WIDTH="), m_boxWidth);
    } else if (StartsWithNoCase(line, L"#THUMBS_HEIGHT=")) {
        box(value(L"#THUMBS_HEIGHT="), m_boxHeight);
    } else if (StartsWithNoCase(line, L"#TABLE_OPTION=")) {
        m_tableOption = value(L"#TABLE_OPTION=");
    } else if (StartsWithNoCase(line, L"#VERSION=")) {
        m_version = _wtof(value(L"#VERSION="));
    } else if (StartsWithNoCase(line, L"#NUM_FIRST=")) {
        m_runningNumber = _wtoi(value(L"#NUM_FIRST="));
    } else if (StartsWithNoCase(line, L"#NUM_FORMAT=")) {
        m_numberFormat = value(L"#NUM_FORMAT=");
        long long width = HashWidth(m_numberFormat);
        if (width >= 0)
            m_numberFormat = PaddedIntegerFormat(width);
    } else if (StartsWithNoCase(line, L"#PATH_SEP=")) {
        CString separator = value(L"#PATH_SEP=");
        if (!separator.IsEmpty())
            m_pathSeparator = separator[0];
    } else if (StartsWithNoCase(line, L"#HTMLNAME_FORMAT=")) {
        m_pageNameFormat = value(L"#HTMLNAME_FORMAT=");
    } else if (StartsWithNoCase(line, L"#THUMBNAIL_FORMAT=")) {
        m_thumbnailNameFormat = value(L"#THUMBNAIL_FORMAT=");
    } else {
        m_currentSection->Add(line);
    }
}

// ---- expansion

CString CHtmlCatalogWriter::FormatNumber(int number) const
{
    CString text;
    text.Format(IsSingleIntegerFormat(m_numberFormat) ? m_numberFormat.GetString() : L"%d", number);
    return text;
}

CString CHtmlCatalogWriter::LinkToCurrentPicture(const CString& pageFolder) const
{
    if (m_currentPicturePath.IsEmpty())
        return CString();
    CString folder, relative, name;
    GetPathPart(folder, m_currentPicturePath, PartFolder);
    GetPathPart(name, m_currentPicturePath, PartFileName);
    CString link;
    if (MakeRelativePath(relative, pageFolder, folder))
        link = relative + name;
    else
        link = L"file://" + m_currentPicturePath;
    link.Replace(L'\\', L'/');
    return link;
}

CString CHtmlCatalogWriter::PageFileName(int pageIndex) const
{
    CString name;
    GetPathPart(name, GetPagePath(pageIndex), PartFileName);
    return name;
}

MacroText CHtmlCatalogWriter::ExpandLine(const CString& line, VyxFile* item, const CString& pageFolder)
{
    static const wchar_t* const kMacros[] = {L"$ORGPATHNAME$", L"$FILENAME$",  L"$WIDTH$",      L"$HEIGHT$",
                                             L"$ORGFILENAME$", L"$PIXEL$",     L"$INFO$",       L"$DOC$",
                                             L"$PREV_PAGE$",   L"$PAGENO$",    L"$NEXT_PAGE$",  L"$FOLDER$",
                                             L"$MAXPAGENO$",   L"$PATHNAME$",  L"$THUMBSNAME$", L"$NOTE$",
                                             L"$FOLDER_L$",    L"$TODAYDATE$", L"$NUMBER$"};
    auto number = [](int value) {
        CString text;
        text.Format(L"%d", value);
        return text;
    };
    const int kNoteMacro = 15;
    // The page addresses: the picture, its thumbnail and the neighbouring pages. The number is
    // written in the definition's own format; every other value is the item's or the user's text.
    auto kindOf = [](int macro) {
        if (macro == 0 || macro == 8 || macro == 10 || macro == 14)
            return MacroText::KindLink;
        return macro == 18 ? MacroText::KindMarkup : MacroText::KindText;
    };
    auto value = [&](int macro) -> CString {
        switch (macro) {
        case 0:
            return LinkToCurrentPicture(pageFolder);
        case 1:
        case 4:
            return item ? item->GetFileName() : CString();
        case 2:
            return number(m_displayWidth);
        case 3:
            return number(m_displayHeight);
        case 5:
            return item ? item->ExpandMacros(L"$(W)x$(H) $(C)bit") : CString();
        case 6:
            return item ? item->ExpandMacros(L"$(D) $(T) $(L)") : CString();
        case 7:
            if (!item)
                return CString();
            return item->GetInfoText().IsEmpty() ? CString(kIdeographicSpace) : item->GetInfoText();
        case 8:
            return PageFileName(std::max(m_pageIndex - 1, 0));
        case 9:
            return number(m_pageIndex + 1);
        case 10:
            return PageFileName(m_pageIndex + 1 < m_pageCount ? m_pageIndex + 1 : m_pageIndex);
        case 11:
            return Replaced(m_currentFolder, L'\\', m_pathSeparator);
        case 12:
            return number(m_pageCount);
        case 13:
            return item ? Replaced(item->GetPath(), L'\\', m_pathSeparator) : CString();
        case 14: {
            // A folder has no picture: its link is empty.
            if (m_linkMode == LinkToPicture && !m_currentLink.IsEmpty())
                return LinkToCurrentPicture(pageFolder);
            return Replaced(m_currentLink, L'\\', L'/');
        }
        case 16: {
            CString folder, last;
            RemovePathSeparator(folder, m_currentFolder);
            GetPathPart(last, folder, PartFileName);
            return Replaced(last, L'\\', m_pathSeparator);
        }
        case 17: {
            wchar_t date[128] = {};
            ::GetDateFormatW(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, nullptr, nullptr, date, 128);
            return CString(date);
        }
        default:
            return FormatNumber(m_runningNumber);
        }
    };
    MacroText expanded;
    // The note's lines are its text; the "<BR>" between them is the page's markup.
    auto appendNote = [&]() {
        if (!item)
            return expanded.AppendValue(CString());
        CString note = item->GetNote();
        note.Remove(L'\n');
        note = NoteText::Typed(note, L"\r");
        if (note.IsEmpty())
            return expanded.AppendValue(kIdeographicSpace);
        int from = 0;
        for (int cr; (cr = note.Find(L'\r', from)) >= 0; from = cr + 1) {
            expanded.AppendValue(note.Mid(from, cr - from));
            expanded.AppendValue(L"<BR>", MacroText::KindMarkup);
        }
        expanded.AppendValue(note.Mid(from));
    };
    ScanTokens(
        line, kMacros, 19, [&](const wchar_t* text, int length) { expanded.AppendTemplate(text, length); },
        [&](int macro, int&) {
            if (macro == kNoteMacro)
                appendNote();
            else
                expanded.AppendValue(value(macro), kindOf(macro));
        });
    if (item)
        item->ExpandMacros(expanded);
    return expanded;
}

CString CHtmlCatalogWriter::ExpandNameFormat(const wchar_t* format, const wchar_t* path, int number)
{
    static const wchar_t* const kTokens[] = {L"$dir", L"$parentdir", L"$file", L"$ext", L"$page"};
    const CString text(format ? format : L"");
    CString out;
    auto value = [&](int token, int& position) -> CString {
        CString value;
        switch (token) {
        case 0:
            return GetPathPart(value, path, PartFolder);
        case 1: {
            CString folder;
            GetPathPart(folder, path, PartFolder);
            return GetPathPart(value, folder, PartFileName);
        }
        case 2:
            return GetPathPart(value, path, PartName);
        case 3:
            return GetPathPart(value, path, PartExt);
        default:
            if (position < text.GetLength() && text[position] == L'#') {
                wchar_t digit = position + 1 < text.GetLength() ? text[position + 1] : L'\0';
                position += digit ? 2 : 1;
                if (digit >= L'1' && digit <= L'9') {
                    value.Format(PaddedIntegerFormat(digit - L'0'), number);
                    return value;
                }
            }
            value.Format(L"%d", number);
            return value;
        }
    };
    ScanTokens(
        text, kTokens, 5, [&](const wchar_t* plain, int length) { out.Append(plain, length); },
        [&](int token, int& position) { out += value(token, position); });
    return out;
}

CString CHtmlCatalogWriter::GetPagePath(int pageIndex) const
{
    if (pageIndex == 0)
        return m_firstPagePath;
    CString folder, extension, path;
    GetPathPart(folder, m_firstPagePath, PartFolder);
    GetPathPart(extension, m_firstPagePath, PartExt);
    return MakePath(path, nullptr, folder, ExpandNameFormat(m_pageNameFormat, m_firstPagePath, pageIndex + 1),
                    extension);
}

// ---- writing

void CHtmlCatalogWriter::WriteTextLines(CStdioFile& file, const CString& text)
{
    CString rest = text;
    rest.Remove(L'\n');
    int cr;
    while ((cr = rest.Find(L'\r')) >= 0) {
        file.WriteString(rest.Left(cr) + L"\n");
        rest = rest.Mid(cr + 1);
    }
    file.WriteString(rest);
}

bool CHtmlCatalogWriter::IsSelectedSource(const CString& path) const
{
    return m_sourcePaths.count(FullKey(path)) != 0;
}

bool CHtmlCatalogWriter::BeginFile(const CString& path)
{
    if (IsSelectedSource(path))
        return false;
    if (!ExistedBefore(path))
        m_writtenFiles.Add(path);
    return true;
}

bool CHtmlCatalogWriter::ExistedBefore(const CString& path)
{
    // Under Wine a look-up of a name that is not there reads the whole folder: once per thumbnail
    // that made a catalog slower the more thumbnails its folder held.
    const std::wstring full = FullKey(path);
    const size_t cut = full.find_last_of(L'\\');
    if (cut == std::wstring::npos)
        return PathExists(path, kFileNotFolder);
    const std::wstring folder = full.substr(0, cut);
    auto listed = m_folderFiles.find(folder);
    if (listed == m_folderFiles.end()) {
        listed = m_folderFiles.emplace(folder, std::set<std::wstring>()).first;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                    CString name(data.cFileName);
                    name.MakeLower();
                    listed->second.insert(name.GetString());
                }
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
    }
    // What this run writes is there from now on.
    return !listed->second.insert(full.substr(cut + 1)).second;
}

CString CHtmlCatalogWriter::UniqueThumbnailName(const CString& name, const CString& extension,
                                                const CString& pageFolder)
{
    CString candidate = name;
    for (int serial = 2;; ++serial) {
        CString link, full;
        MakePath(link, nullptr, m_thumbnailFolder, candidate, extension);
        MakePath(full, nullptr, pageFolder, link, nullptr);
        if (m_thumbnailPaths.insert(FullKey(full)).second)
            return candidate;
        candidate.Format(L"%s_%d", name.GetString(), serial);
    }
}

int CHtmlCatalogWriter::WriteThumbnail(VyxFile* item, const CString& pageFolder)
{
    m_currentLink = m_currentPicturePath = item->GetPath();
    // A folder is linked to as itself, but it is no picture of its own.
    if (item->IsFolder()) {
        m_currentLink.Empty();
        return 0;
    }
    VyxFile copy(*item);
    copy.SetScaleMode(10);
    copy.SetUnsharp(TRUE);
    copy.SetAutoCache(FALSE);
    copy.SetCacheLookup(FALSE);
    const SIZE box = {m_boxWidth, m_boxHeight};
    if (m_linkMode == LinkToPicture) {
        // Only the picture's size is wanted (its thumbnail at its own size would be a copy of
        // it): loading reads it from the file's header and decodes at the box's scale.
        HGLOBAL picture = nullptr;
        if ((copy.GetWidth() < 1 || copy.GetHeight() < 1) && copy.LoadPicture(picture, &box)) {
            if (copy.GetWidth() < 1 || copy.GetHeight() < 1) {
                copy.SetWidth(GetDibWidth(picture));
                copy.SetHeight(GetDibHeight(picture));
            }
            if (copy.GetBitCount() < 1)
                copy.SetBitCount(GetDibBitCount(picture));
            GlobalFree(picture);
        }
    } else {
        copy.CreateThumbnail(box);
    }
    const int width = copy.GetWidth(), height = copy.GetHeight();
    if (width < 1 || height < 1)
        return 0;
    // What loading the picture told of it serves the item's own texts ("$PIXEL$").
    if (item->GetWidth() < 1 || item->GetHeight() < 1) {
        item->SetWidth(width);
        item->SetHeight(height);
        if (item->GetBitCount() < 1)
            item->SetBitCount(copy.GetBitCount());
    }
    double scale = std::min(static_cast<double>(m_boxWidth) / width, static_cast<double>(m_boxHeight) / height);
    m_displayWidth = static_cast<int>(scale * width);
    m_displayHeight = static_cast<int>(scale * height);
    if (m_linkMode == LinkToPicture)
        return 0;

    const bool jpeg = m_linkMode == LinkToJpeg;
    const int failure = jpeg ? -2 : -3;
    const CString extension = jpeg ? L".jpg" : L".png";
    CString name =
        UniqueThumbnailName(ExpandNameFormat(m_thumbnailNameFormat, item->GetPath(), 0), extension, pageFolder);
    MakePath(m_currentLink, nullptr, m_thumbnailFolder, name, extension);
    CString full;
    MakePath(full, nullptr, pageFolder, m_currentLink, nullptr);
    HGLOBAL thumbnail = copy.GetThumbnail();
    if (!thumbnail || !BeginFile(full))
        return failure;
    if (jpeg)
        return SaveDibAsJpeg(full, thumbnail, m_jpegQuality, m_progressive, 0) == 0 ? 0 : failure;
    HGLOBAL saved = m_reducePng ? ReduceDibTo256Colors(thumbnail, TRUE) : thumbnail;
    if (!saved)
        return failure;
    int result = SaveDibAsPng(full, saved, 8);
    if (saved != thumbnail)
        GlobalFree(saved);
    return result == 0 ? 0 : failure;
}

void CHtmlCatalogWriter::EvaluateVariableLine(const CString& line, VyxFile* item, const CString& pageFolder)
{
    CString assignment;
    if (!IsVariableLine(line, &assignment))
        return;
    try {
        m_variables.Let(ExpandLine(assignment, item, pageFolder).ToString());
    } catch (VyxGlobalErrorException* e) {
        // A value the calculator cannot take sets nothing; the pages never show variables.
        delete e;
    }
}

void CHtmlCatalogWriter::WriteSection(CStdioFile& file, const CStringArray& lines, VyxFile* item,
                                      const CString& pageFolder, bool splitLines)
{
    for (INT_PTR i = 0; i < lines.GetSize(); ++i) {
        const CString& line = lines[i];
        if (IsVariableLine(line, nullptr)) {
            EvaluateVariableLine(line, item, pageFolder);
            continue;
        }
        CString text = m_variables.CopyText(PageText(ExpandLine(line, item, pageFolder)));
        if (splitLines)
            WriteTextLines(file, text);
        else
            file.WriteString(text);
        file.WriteString(L"\n");
    }
}

bool CHtmlCatalogWriter::WritePage(const CString& pagePath, int perPage, int& start)
{
    CStdioFile file;
    if (!BeginFile(pagePath) || !file.Open(pagePath, CFile::modeCreate | CFile::modeWrite | CFile::typeText))
        return false;
    CString pageFolder;
    GetPathPart(pageFolder, pagePath, PartFolder);
    bool written = true;
    for (INT_PTR i = 0; i < m_globalLines.GetSize(); ++i)
        EvaluateVariableLine(m_globalLines[i], nullptr, pageFolder);
    if (m_version < 2.0) {
        for (const wchar_t* line : {L"<HTML>", L"<HEAD>", L"<META NAME=\"GENERATOR\" CONTENT=\"Vesko Viewer Vesko\">",
                                    L"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html;CHARSET=x-sjis\">",
                                    L"<TITLE>Vesko Catalog</TITLE>", L"</HEAD>"}) {
            file.WriteString(line);
            file.WriteString(L"\n");
        }
    }
    WriteSection(file, m_headerLines, nullptr, pageFolder, false);
    const bool table = m_table != 0 && m_columns >= 1;
    if (table) {
        CString tag;
        tag.Format(L"<TABLE %s>\n", m_tableOption.GetString());
        file.WriteString(tag);
    }
    int pictures = 0, column = 0;
    // The next page starts after the last picture this one took.
    for (SelectedEntry item : m_pFileArray->Selected(SelectedFilter::Any, start)) {
        if (pictures >= perPage)
            break;
        start = item.position + 1;
        if (WriteThumbnail(item, pageFolder) != 0) {
            written = false;
            break;
        }
        if (table) {
            if (column == 0)
                file.WriteString(L"<TR>\n");
            CString cell;
            cell.Format(L"<TD WIDTH=\"%d%%\">\n", 100 / m_columns);
            file.WriteString(cell);
        }
        WriteSection(file, m_oneLines, item, pageFolder, true);
        if (table) {
            file.WriteString(L"</TD>\n");
            if (++column == m_columns) {
                file.WriteString(L"</TR>\n");
                column = 0;
            }
        }
        ++pictures;
        ++m_runningNumber;
    }
    if (written) {
        if (table)
            file.WriteString(L"</TABLE>\n");
        WriteSection(file, m_footerLines, nullptr, pageFolder, false);
        if (m_version < 2.0)
            file.WriteString(L"</HTML>\n");
    }
    file.Close();
    return written;
}

void CHtmlCatalogWriter::DeleteWrittenFiles()
{
    for (INT_PTR i = 0; i < m_writtenFiles.GetSize(); ++i)
        ::DeleteFileW(m_writtenFiles[i]);
    m_writtenFiles.RemoveAll();
}

bool CHtmlCatalogWriter::Generate(const wchar_t* firstPagePath)
{
    if (!m_pFileArray)
        return false;
    // A fresh count: the selection may have changed since it was last counted.
    const int selected = m_pFileArray->GetSelectedCount(true);
    const int perPage = m_picturesPerPage >= 1 && m_picturesPerPage < selected ? m_picturesPerPage : selected;
    m_firstPagePath = firstPagePath ? firstPagePath : L"";
    m_writtenFiles.RemoveAll();
    m_thumbnailPaths.clear();
    m_folderFiles.clear();
    m_sourcePaths.clear();
    for (VyxFile* item : m_pFileArray->Selected(SelectedFilter::OnDisk))
        m_sourcePaths.insert(FullKey(item->GetPath()));
    m_pageIndex = 0;
    // With nothing selected one page without pictures is written.
    m_pageCount = m_picturesPerPage > 0 && perPage > 0 ? (selected + perPage - 1) / perPage : 1;
    bool written = true;
    int start = 0;
    try {
        while (written && m_pageIndex < m_pageCount && (m_pageIndex == 0 || start < m_pFileArray->GetCount())) {
            written = WritePage(GetPagePath(m_pageIndex), perPage, start);
            ++m_pageIndex;
        }
    } catch (CException* e) {
        e->Delete();
        written = false;
    }
    if (written) {
        m_writtenFiles.RemoveAll();
        return true;
    }
    DeleteWrittenFiles();
    ReportFailure(L"HTMLファイルの書き込みに失敗しました");
    return false;
}

void CHtmlCatalogWriter::ReportFailure(const wchar_t* message)
{
    ShowMessageBox(message, MB_ICONEXCLAMATION);
}
