// The user's texts of renaming and reporting on hostile input: group files (unterminated quotes,
// endless lines, any bytes), templates and patterns (thousands of "#" and "%", tokens of absurd
// widths, expressions the engine refuses, 100,000-character lines) and report templates ending in
// an escape. Every reading and expansion must end, stay bounded and touch nothing outside its
// memory (run on the guard-page allocator and under Wine's heap checking).
#include "catalogue/VyxFile.h"
#include "fileops/RegExpGroupFile.h"
#include "fileops/RenameTemplate.h"
#include "fileops/ReportFileWriter.h"

#include "common/HostileInputs.h"
#include "common/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using hostile::Lcg;

// An item known by its name and time alone.
struct HostileItem : VyxFile
{
    HostileItem(const std::wstring& name, long long time)
    {
        m_fileName = name.c_str();
        m_folder = L"C:\\pictures";
        m_path = m_folder + L"\\" + m_fileName;
        m_writeTime = time;
    }
};

const wchar_t* const kPieces[] = {
    L"#",   L"%",       L"#1#",  L"#0#",    L"#64#",    L"#99999999999999999999#",
    L"%Y",  L"%#d",     L"%%",   L"%#",     L"%Q",      L"\\",
    L"\\n", L"\\t",     L"[",    L"(",      L"{99999}", L"(?<",
    L")",   L"$(Name)", L"$(N)", L"$(Ext)", L"$(",      L"x",
    L".",   L"日本",    L"\"",   L"=",      L";",       L" ",
    L"+*?",
};

std::wstring RandomText(Lcg& random, int pieces)
{
    std::wstring text;
    for (int i = 0; i < pieces; ++i)
        text += kPieces[random.Next() % (sizeof(kPieces) / sizeof(kPieces[0]))];
    return text;
}

// What one pattern may grow to: each three characters of a token become at most 64 digits.
size_t Bound(size_t templateLength, size_t nameLength)
{
    return (templateLength / 3 + 1) * RenameTemplate::MaxNumberWidth + templateLength + 64 * nameLength + 4096;
}

} // namespace

TEST(RenameRobustness, RandomTemplatesAndNamesExpandToABoundedEnd)
{
    RegExpGroupFile groups;
    groups.SetPath(L"");
    Lcg random{31};
    for (int round = 0, rounds = hostile::Inputs(10000, 40); round < rounds; ++round) {
        std::wstring name = RandomText(random, 1 + random.Next() % 6);
        std::wstring target = round % 3 == 0 ? L"" : RandomText(random, random.Next() % 4);
        std::wstring format = RandomText(random, random.Next() % 30);
        HostileItem item(name, static_cast<long long>(random.Next()) * (round % 2 ? 1 : -9999999));
        RenameTemplate names;
        names.Prepare(target.c_str(), format.c_str(), groups);
        CString result = names.MakeName(item, static_cast<int>(random.Next()) - 100000);
        ASSERT_LE(static_cast<size_t>(result.GetLength()), Bound(format.size() + target.size(), name.size())) << round;
    }
}

TEST(RenameRobustness, ThousandsOfMarksAndALongLineStayBounded)
{
    HostileItem item(L"a%Y#3#.jpg", 1722772800);
    std::wstring marks(5000, L'#'), percents(5000, L'%'), tokens, line(100000, L'x');
    for (int i = 0; i < 3000; ++i)
        tokens += L"#64#";
    // The engine's own allocations for a pattern grow with its length: a long expression, not the
    // whole line, is handed to it (the line is read and expanded whole).
    const std::wstring expression = line.substr(0, 2000);
    for (const std::wstring& pattern :
         {marks, percents, tokens, line, L"\\" + expression, L"\\(" + expression, marks + L"1#"}) {
        CString q = RenameTemplate::ExpandPattern(pattern.c_str(), item, 7);
        ASSERT_LE(static_cast<size_t>(q.GetLength()), Bound(pattern.size(), 0));
        RenameTemplate names;
        names.Prepare(L"", pattern.c_str(), RegExpGroupFile());
        EXPECT_LE(static_cast<size_t>(names.MakeName(item, 7).GetLength()), Bound(pattern.size(), 16));
    }
    // Every "%%" pair is one percent sign, and an odd one at the end stays.
    EXPECT_EQ(2501, RenameTemplate::FormatTimeFields((percents + L"%").c_str(), 1722772800).GetLength());
}

TEST(RenameRobustness, ReportEscapesEndingAnywhereNeverReadPastTheText)
{
    Lcg random{32};
    for (int round = 0, rounds = hostile::Inputs(10000, 50); round < rounds; ++round) {
        std::wstring text = RandomText(random, random.Next() % 40);
        if (round % 2)
            text += L'\\';
        // Each input in a block of its own exact size.
        std::unique_ptr<wchar_t[]> exact(new wchar_t[text.size() + 1]);
        std::copy(text.begin(), text.end(), exact.get());
        exact[text.size()] = 0;
        CString result = ReportFileWriter::Unescape(exact.get());
        ASSERT_LE(static_cast<size_t>(result.GetLength()), text.size()) << round;
    }
}

// Group files read to an end, and every group they hold (up to eight) applied to a name as the
// batch rename applies it: each pattern compiled and matched, refused when the engine refuses
// it, however deep it nests or however it backtracks. (Files past 4 KB are only read: a guarded
// block for every piece of a long pattern makes its compiling slow, and the 100,000-character
// line's pattern is compiled once, at the end.)
TEST(RenameRobustness, HostileGroupFilesReadToAnEnd)
{
    ScratchFolder folder(L"groups");
    std::string longLine = "[long]\r\n000=" + std::string(100000, 'a') + "\r\n";
    const std::string deep = "[deep]\r\n000=" + std::string(900, '[') + "a" + std::string(900, ']') +
                             "\r\n001=" + std::string(300, '(') + "a|b" + std::string(300, ')') +
                             "*\r\n002=(x+x+)+y\r\n" +
                             "003=^(.)(.)(.)\\3\\2\\1$\r\n[names]\r\n000=(?<n>[^_]+)_(\\d+)\r\n001=#3#_%Y\r\n";
    std::vector<hostile::Input> seeds;
    for (const std::string& seed : {std::string("[g]\r\n000=a=b\r\n001=\"  lead\"\r\n002=x;y\r\n[h]\r\n000=[0-9]+\r\n"),
                                    std::string("[unterminated\r\n000=\"open quote\r\n=\r\n\"\"\r\n[]\r\n"), longLine,
                                    std::string("\xFF\xFE[\0g\0]\0\r\0\n\0"
                                                "0\0=\0x\0",
                                                22),
                                    std::string("[g]000=no line end"), deep}) {
        seeds.emplace_back(seed.begin(), seed.end());
    }
    const std::wstring itemName = L"xxyyxx_写真.01.jpg";
    const HostileItem item(itemName, 132000000000000000LL);
    int fed = hostile::FeedHostile(seeds, 33, hostile::Inputs(10000, 20), [&](const hostile::Input& data, int index) {
        // A file of its own each time: the profile functions keep recent files in memory.
        std::wstring path = folder / (L"g" + std::to_wstring(index) + L".ini");
        ScratchFolder::WriteFile(path, std::string(data.begin(), data.end()));
        RegExpGroupFile file;
        file.SetPath(path.c_str());
        CStringArray names, patterns;
        file.GetGroupNames(names);
        for (INT_PTR i = 0; i < names.GetSize() && i < 8; ++i) {
            file.ReadGroup(names[i], patterns);
            if (data.size() > 4096)
                continue;
            RenameTemplate rename;
            rename.Prepare(L"$(Name)", L"\\$" + names[i], file);
            // Every pattern takes its whole match of the title so far: never longer than the name.
            ASSERT_LE(static_cast<size_t>(rename.MakeName(item, index).GetLength()), itemName.size()) << index;
        }
        DeleteFileW(path.c_str());
    });
    hostile::Report("group file", fed);
    RegExpGroupFile file;
    file.SetPath((folder / L"long.ini").c_str());
    ScratchFolder::WriteFile(folder / L"long.ini", longLine);
    CStringArray patterns;
    file.ReadGroup(L"long", patterns);
    ASSERT_EQ(1, patterns.GetSize());
    EXPECT_EQ(100000, patterns[0].GetLength());
    RenameTemplate rename;
    rename.Prepare(L"$(Name)", L"\\$long", file);
    EXPECT_STREQ(L"xxyyxx_写真.01.jpg", rename.MakeName(item, 1));
}
