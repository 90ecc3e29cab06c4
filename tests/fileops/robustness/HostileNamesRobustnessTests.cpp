// Pictures under hostile names (macro words, percent signs, character references, characters
// outside the code page, surrogate pairs) with hostile notes, written out as a catalog and as a
// report: every link the writer puts in a page names a file that exists, and the report names
// every picture as it is named. (A note is the page's own text: markup in it stays markup.)
#include "fileops/CHtmlCatalogWriter.h"
#include "fileops/ReportFileWriter.h"

#include "../OutputTestUtil.h"
#include "common/HostileInputs.h"

#include <set>

namespace {

using namespace outputtest;

hostile::Input Utf16Bytes(const std::wstring& text)
{
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.data());
    return hostile::Input(bytes, bytes + text.size() * sizeof(wchar_t));
}

std::wstring Utf16Text(const hostile::Input& data)
{
    std::wstring text(data.size() / 2, L'\0');
    if (!text.empty())
        std::memcpy(&text[0], data.data(), text.size() * 2);
    return text;
}

// A name a file can have and keep: no separators, wildcards or control characters, no lone
// surrogate, no dot or blank at the end, and the extension the program reads it by.
std::wstring FileNameFrom(const std::wstring& text)
{
    std::wstring name;
    for (size_t i = 0; i < text.size() && name.size() < 60; ++i) {
        const wchar_t ch = text[i];
        if (ch < 0x20 || wcschr(L"\\/:*?\"<>|", ch))
            continue;
        if (IS_HIGH_SURROGATE(ch)) {
            if (i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1])) {
                name += ch;
                name += text[++i];
            }
            continue;
        }
        if (IS_LOW_SURROGATE(ch))
            continue;
        name += ch;
    }
    while (!name.empty() && (name.back() == L'.' || name.back() == L' '))
        name.pop_back();
    return (name.empty() ? L"x" : name) + L".bmp";
}

// A page as the program wrote it: code page 932, or UTF-8 after a byte-order mark.
std::wstring ReadPage(const std::wstring& path)
{
    const std::string bytes = ScratchFolder::ReadFile(path);
    const bool utf8 = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    const char* start = bytes.data() + (utf8 ? 3 : 0);
    const int length = static_cast<int>(bytes.size()) - (utf8 ? 3 : 0);
    const UINT codePage = utf8 ? CP_UTF8 : 932;
    std::wstring text(static_cast<size_t>(MultiByteToWideChar(codePage, 0, start, length, nullptr, 0)), L'\0');
    if (!text.empty())
        MultiByteToWideChar(codePage, 0, start, length, &text[0], static_cast<int>(text.size()));
    return text;
}

// A link's address as a path: character references and percent escapes (UTF-8) undone, a
// file address or a relative one taken from the page's folder.
std::wstring LinkedPath(std::wstring address, const std::wstring& pageFolder)
{
    std::wstring text;
    for (size_t i = 0; i < address.size(); ++i) {
        if (address[i] == L'&') {
            const size_t end = address.find(L';', i);
            const std::wstring entity = end == std::wstring::npos ? L"" : address.substr(i + 1, end - i - 1);
            const wchar_t* const named[][2] = {{L"amp", L"&"}, {L"lt", L"<"}, {L"gt", L">"}, {L"quot", L"\""}};
            bool known = false;
            for (const auto& [name, character] : named)
                if (entity == name) {
                    text += character;
                    known = true;
                }
            if (!known && entity.size() > 1 && entity[0] == L'#' && iswdigit(entity[1])) {
                const unsigned long code = std::wcstoul(entity.c_str() + 1, nullptr, 10);
                if (code >= 0x10000) {
                    text += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
                    text += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
                } else {
                    text += static_cast<wchar_t>(code);
                }
                known = true;
            }
            if (known) {
                i = end;
                continue;
            }
        }
        text += address[i];
    }
    std::string utf8;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 2 < text.size() && iswxdigit(text[i + 1]) && iswxdigit(text[i + 2])) {
            utf8 += static_cast<char>(std::wcstoul(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
            continue;
        }
        char bytes[8] = {};
        const int n = WideCharToMultiByte(CP_UTF8, 0, &text[i], 1, bytes, sizeof bytes, nullptr, nullptr);
        utf8.append(bytes, static_cast<size_t>(n));
    }
    std::wstring path(
        static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0)),
        L'\0');
    if (!path.empty())
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &path[0],
                            static_cast<int>(path.size()));
    for (wchar_t& ch : path)
        if (ch == L'/')
            ch = L'\\';
    if (_wcsnicmp(path.c_str(), L"file:", 5) == 0)
        path = path.substr(path.find_first_not_of(L'\\', 5));
    else
        path = pageFolder + L"\\" + path;
    wchar_t full[2048] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), 2048, full, nullptr);
    return length > 0 && length < 2048 ? std::wstring(full) : path;
}

// Every HREF and SRC of the page.
std::vector<std::wstring> Links(const std::wstring& page)
{
    std::vector<std::wstring> links;
    for (const wchar_t* attribute : {L"HREF=\"", L"SRC=\""}) {
        const size_t length = wcslen(attribute);
        for (size_t at = page.find(attribute); at != std::wstring::npos; at = page.find(attribute, at + 1)) {
            const size_t end = page.find(L'"', at + length);
            if (end == std::wstring::npos)
                break;
            links.push_back(page.substr(at + length, end - at - length));
        }
    }
    return links;
}

class QuietWriter : public CHtmlCatalogWriter
{
public:
    int failures = 0;
    void ReportFailure(const wchar_t*) override { ++failures; }
};

} // namespace

TEST(HostileNamesRobustness, CatalogLinksAndReportLinesNameEveryPictureAsItIsNamed)
{
    ScratchSettings settings;
    OwnPlugins plugins;
    const std::vector<hostile::Input> seeds = {
        Utf16Bytes(L"$(Ext)x $FILENAME$ 50%#1&amp;"),
        Utf16Bytes(L"caf\x00E9 \x96EA\x2603 a[1]{2}"),
        Utf16Bytes(L"\x7D75\xD83D\xDE00;,=+ $(Name)"),
        Utf16Bytes(L"<A HREF='x'>%41%%\x30A2"),
    };
    const std::vector<std::wstring> notes = {L"$(Name)\\n$NOTE$", L"</A><B>\"quoted\" 'x' &amp; &#8364;</B>",
                                             L"caf\x00E9 \xD83D\xDE00\r\n%s%d", L""};
    const std::wstring definition =
        L"*Header\r\n<A HREF=\"$NEXT_PAGE$\">next</A>\r\n"
        L"*One\r\n<A HREF=\"$ORGPATHNAME$\"><IMG SRC=\"$THUMBSNAME$\"></A> $FILENAME$ $NOTE$ $(Note)\r\n";
    int run = 0;
    const int fed =
        hostile::FeedHostile(seeds, 0x6e616d65, hostile::Inputs(300, 6), [&](const hostile::Input& data, int) {
            ++run;
            ScratchFolder folder(L"vyxnames"), out(L"vyxnamesout");
            Pictures pictures;
            std::set<std::wstring> names;
            for (const std::wstring& name : {FileNameFrom(Utf16Text(data)), std::wstring(L"plain.bmp")}) {
                if (!names.insert(CString(name.c_str()).MakeLower().GetString()).second)
                    continue;
                const std::wstring path = folder / name;
                dibtest::Dib dib(dibtest::Make24(12, 8, [](LONG x, LONG y) { return RGB(x * 20, y * 30, 90); }));
                // A name the file system refuses is no name a folder shows.
                if (SaveDibAsBmp(path.c_str(), dib) != 0 || !ScratchFolder::Exists(path))
                    continue;
                pictures.Add(path)->SetNoteText(notes[static_cast<size_t>(run) % notes.size()].c_str());
            }
            ASSERT_GT(pictures.array.GetCount(), 0);

            WriteText(folder / L"def.kwm", definition);
            QuietWriter writer;
            PrepareCatalogWriter(writer, pictures, folder.Path());
            writer.m_linkMode = run % 4 == 0 ? CHtmlCatalogWriter::LinkToJpeg : CHtmlCatalogWriter::LinkToPicture;
            writer.m_picturesPerPage = 1;
            writer.m_boxWidth = 16;
            writer.m_boxHeight = 12;
            writer.m_jpegQuality = 50;
            ASSERT_TRUE(writer.LoadDefinition((folder / L"def.kwm").c_str()));
            ASSERT_TRUE(writer.Generate((out / L"catalog.htm").c_str()));
            ASSERT_EQ(0, writer.failures);
            int pictureLinks = 0;
            std::vector<std::wstring> pages;
            WIN32_FIND_DATAW found;
            HANDLE find = FindFirstFileW((out / L"*.htm").c_str(), &found);
            ASSERT_NE(INVALID_HANDLE_VALUE, find);
            do
                pages.push_back(out / found.cFileName);
            while (FindNextFileW(find, &found));
            FindClose(find);
            for (const std::wstring& page : pages) {
                for (const std::wstring& link : Links(ReadPage(page))) {
                    if (link.empty())
                        continue;
                    const std::wstring path = LinkedPath(link, out.Path());
                    ASSERT_TRUE(ScratchFolder::Exists(path)) << link << L" in " << page;
                    pictureLinks += _wcsnicmp(path.c_str(), folder.Path().c_str(), folder.Path().size()) == 0;
                }
            }
            ASSERT_GE(pictureLinks, pictures.array.GetCount());

            std::vector<const VyxFile*> items;
            for (INT_PTR i = 0; i < pictures.array.GetCount(); ++i)
                items.push_back(pictures[static_cast<int>(i)]);
            ReportFileWriter report;
            const std::wstring reportPath = out / L"report.txt";
            ASSERT_EQ(static_cast<int>(items.size()), report.Write(reportPath.c_str(), L"$(Path)\t$(Note)",
                                                                   items.data(), static_cast<int>(items.size())));
            const std::wstring text = ReadPage(reportPath);
            for (const VyxFile* item : items)
                ASSERT_NE(std::wstring::npos, text.find(std::wstring(item->GetPath().GetString()) + L"\t")) << text;
        });
    hostile::Report("names and notes in catalogs and reports", fed);
}
