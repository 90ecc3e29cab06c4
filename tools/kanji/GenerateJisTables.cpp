// Writes foundation/kanji/JisTables.cpp: the JIS code tables of the encoding recognisers, taken
// from the platform's own conversions (code page 932 and the EUC-JP code page 20932) plus the
// rules below for the cells those code pages leave out. Run once through generate-jis-tables.sh
// under Wine; the output is committed, so builds never depend on the platform's tables.
//
// Rules (the cells the code pages cannot give):
// - JIS X 0208 rows 1-8, 13, 16-84 and 89-92: every cell that code page 932 decodes to a character
//   outside the private use area (the JIS X 0208 characters, the NEC special characters of row 13
//   and the NEC-selected IBM extensions of rows 89-92).
// - Rows 9-12, 14, 15 and 85 (JIS X 0213 additions, which code page 932 lacks) hold their stated
//   number of cells counted from cell 1: row 9 cells 1-20 and 22-59, row 10 cells 1-50, row 11
//   cells 1-30, row 12 cells 1-22, row 14 cells 1-33, row 15 cells 1-10, row 85 cells 1-19.
//   Row 13 gains cell 31, the one gap among the NEC special characters before cell 55.
//   Rows 86-88, 93 and 94 are empty.
// - JIS X 0212 rows 1-84: every cell that code page 20932 decodes (lead 0xA1-0xFE, trail
//   0x21-0x7E) to a character outside the private use area; 0x2243 always counts.
// - Unicode to JIS, code page 932 mapping: a character that code page 932 encodes and decodes
//   back to itself; its two-byte code gives row and cell (an IBM extension, lead 0xFA-0xFC,
//   takes the cell of its NEC-selected duplicate in rows 89-92), a one-byte code 0xA1-0xDF is a
//   half-width katakana. Characters from U+0800 that only JIS X 0212 has take their code from code
//   page 20932. U+3094 takes 0x2574.
// - Default mapping: the 932 mapping, except that characters below U+0800 take the code page 20932
//   code when it round-trips (Latin-1 letters then go to JIS X 0212), U+2014, U+2016, U+203E,
//   U+2212 and U+301C take 0x213D, 0x2142, 0x2131, 0x215D and 0x2141, U+FF5E takes the JIS X 0212
//   code 0x2237, and U+3094 has no code.
#include "foundation/kanji/ShiftJisToJis.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

const int kExpectedRowCells[95] = {
    0,  94, 53, 62, 83, 86, 48, 66, 32, 58, 50, 30, 22, 84, 33, 10, 94, 94, 94, 94, 94, 94, 94, 94,
    94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 51,
    94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94,
    94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 94, 6,  19, 0,  0,  0,  94, 94, 94, 92, 0,  0,
};

void Fail(const char* what)
{
    std::fprintf(stderr, "GenerateJisTables: %s\n", what);
    std::exit(1);
}

const unsigned kJis0212Mark = 0x8000; // as in foundation/kanji/JisTables.h

bool IsPrivateUse(unsigned u)
{
    return u >= 0xE000 && u <= 0xF8FF;
}

// Decodes bytes in a code page to exactly one character, or returns 0.
unsigned DecodeOne(UINT codePage, const unsigned char* bytes, int count)
{
    wchar_t w[4] = {};
    int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes), count, w, 4);
    if (n != 1 || w[0] == 0xFFFD)
        return 0;
    return w[0];
}

// Encodes one character without any default character; returns the byte count (0 when none).
int EncodeOne(UINT codePage, unsigned u, unsigned char* out)
{
    wchar_t w = static_cast<wchar_t>(u);
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(codePage, 0, &w, 1, reinterpret_cast<char*>(out), 4, nullptr, &usedDefault);
    return usedDefault ? 0 : n;
}

void JisToShiftJis(int row, int cell, unsigned char* out)
{
    int lead = (row + 1) / 2 + (row <= 62 ? 0x80 : 0xC0);
    int trail;
    if (row % 2)
        trail = cell + (cell <= 63 ? 0x3F : 0x40);
    else
        trail = cell + 0x9E;
    out[0] = static_cast<unsigned char>(lead);
    out[1] = static_cast<unsigned char>(trail);
}

// Shift_JIS pair to JIS code (row byte << 8 | cell byte), the arithmetic of the recognisers.
unsigned ShiftJisPairCode(unsigned lead, unsigned trail)
{
    int row, cell;
    Kanji::ShiftJisToJis(static_cast<int>(lead), static_cast<int>(trail), row, cell);
    return static_cast<unsigned>(row) << 8 | static_cast<unsigned>(cell);
}

struct Tables
{
    bool jis0208[95][95] = {};
    bool jis0212[95][95] = {};
    unsigned jis0208Unicode[95][95] = {};
    std::map<unsigned, unsigned> map932;
    std::map<unsigned, unsigned> mapDefault;
};

void BuildJisCells(Tables& t)
{
    for (int row = 1; row <= 94; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            unsigned char sjis[2];
            JisToShiftJis(row, cell, sjis);
            unsigned u = DecodeOne(932, sjis, 2);
            if (u && !IsPrivateUse(u)) {
                t.jis0208[row][cell] = true;
                t.jis0208Unicode[row][cell] = u;
            }
            unsigned char euc[2] = {static_cast<unsigned char>(0xA0 + row), static_cast<unsigned char>(0x20 + cell)};
            if (row <= 84) {
                unsigned v = DecodeOne(20932, euc, 2);
                if (v && !IsPrivateUse(v))
                    t.jis0212[row][cell] = true;
            }
        }
    }
    t.jis0212[2][0x43 - 0x20] = true;

    struct Range
    {
        int row, first, last;
    };
    const Range added[] = {{9, 1, 20},   {9, 22, 59}, {10, 1, 50}, {11, 1, 30}, {12, 1, 22},
                           {13, 31, 31}, {14, 1, 33}, {15, 1, 10}, {85, 1, 19}};
    for (int row : {9, 10, 11, 12, 14, 15, 85})
        for (int cell = 1; cell <= 94; ++cell)
            if (t.jis0208[row][cell])
                Fail("code page 932 has a character in a row the rules define");
    if (t.jis0208[13][31])
        Fail("code page 932 has row 13 cell 31");
    for (const Range& r : added)
        for (int cell = r.first; cell <= r.last; ++cell)
            t.jis0208[r.row][cell] = true;

    int total = 0;
    for (int row = 1; row <= 94; ++row) {
        int count = 0;
        for (int cell = 1; cell <= 94; ++cell)
            count += t.jis0208[row][cell];
        if (count != kExpectedRowCells[row]) {
            std::fprintf(stderr, "row %d has %d cells, expected %d\n", row, count, kExpectedRowCells[row]);
            Fail("row count");
        }
        total += count;
    }
    if (total != 7559)
        Fail("total cell count");
}

unsigned FindNecSelected(const Tables& t, unsigned u)
{
    for (int row = 89; row <= 92; ++row)
        for (int cell = 1; cell <= 94; ++cell)
            if (t.jis0208Unicode[row][cell] == u)
                return (row + 0x20) << 8 | (cell + 0x20);
    return 0;
}

void BuildUnicodeMaps(Tables& t)
{
    for (unsigned u = 0x80; u <= 0xFFFF; ++u) {
        if ((u >= 0xD800 && u <= 0xDFFF) || IsPrivateUse(u))
            continue;
        unsigned char b[4];
        int n = EncodeOne(932, u, b);
        if (n == 1 && b[0] >= 0xA1 && b[0] <= 0xDF && DecodeOne(932, b, 1) == u) {
            t.map932[u] = b[0];
        } else if (n == 2 && DecodeOne(932, b, 2) == u) {
            if (b[0] >= 0xFA) {
                unsigned code = FindNecSelected(t, u);
                if (!code)
                    Fail("IBM extension without NEC-selected duplicate");
                t.map932[u] = code;
            } else if (b[0] <= 0xEF) {
                unsigned code = ShiftJisPairCode(b[0], b[1]);
                if (!t.jis0208[(code >> 8) - 0x20][(code & 0xFF) - 0x20])
                    Fail("round-trip code outside the JIS table");
                t.map932[u] = code;
            }
        }
    }
    // Characters only JIS X 0212 has (three-byte UTF-8) belong to both mappings.
    for (int row = 1; row <= 84; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            if (!t.jis0212[row][cell])
                continue;
            unsigned char euc[2] = {static_cast<unsigned char>(0xA0 + row), static_cast<unsigned char>(0x20 + cell)};
            unsigned u = DecodeOne(20932, euc, 2);
            if (u >= 0x800 && !IsPrivateUse(u) && !t.map932.count(u))
                t.map932[u] = kJis0212Mark | (row + 0x20) << 8 | (cell + 0x20);
        }
    }
    t.mapDefault = t.map932;
    for (unsigned u = 0x80; u < 0x800; ++u) {
        unsigned char b[4];
        int n = EncodeOne(20932, u, b);
        if (n != 2 || DecodeOne(20932, b, 2) != u || b[0] < 0xA1 || b[0] > 0xF4)
            continue;
        if (b[1] >= 0xA1 && b[1] <= 0xFE)
            t.mapDefault[u] = (b[0] - 0x80) << 8 | (b[1] - 0x80);
        else if (b[1] >= 0x21 && b[1] <= 0x7E)
            t.mapDefault[u] = kJis0212Mark | (b[0] - 0x80) << 8 | b[1];
    }
    const unsigned defaultOnly[][2] = {
        {0x2014, 0x213D}, {0x2016, 0x2142}, {0x203E, 0x2131}, {0x2212, 0x215D}, {0x301C, 0x2141}};
    for (const auto& d : defaultOnly) {
        if (t.map932.count(d[0]))
            Fail("code page 932 maps a character of the default mapping only");
        t.mapDefault[d[0]] = d[1];
    }
    if (t.map932[0xFF5E] != 0x2141)
        Fail("U+FF5E");
    t.mapDefault[0xFF5E] = kJis0212Mark | 0x2237;
    t.map932[0x3094] = 0x2574;
    t.mapDefault.erase(0x3094);

    int differences = 0;
    for (unsigned u = 0x800; u <= 0xFFFF; ++u) {
        auto a = t.map932.find(u), b = t.mapDefault.find(u);
        bool inA = a != t.map932.end(), inB = b != t.mapDefault.end();
        if (inA != inB || (inA && a->second != b->second))
            ++differences;
    }
    if (differences != 7)
        Fail("the mappings differ in other than seven three-byte characters");
}

void WriteBits(FILE* f, const char* name, const bool (&cells)[95][95])
{
    std::fprintf(f, "const unsigned char %s[94][12] = {\n", name);
    for (int row = 1; row <= 94; ++row) {
        std::fprintf(f, "    {");
        for (int byte = 0; byte < 12; ++byte) {
            unsigned v = 0;
            for (int bit = 0; bit < 8; ++bit) {
                int cell = byte * 8 + bit + 1;
                if (cell <= 94 && cells[row][cell])
                    v |= 1u << bit;
            }
            std::fprintf(f, "0x%02X%s", v, byte < 11 ? ", " : "");
        }
        std::fprintf(f, "}, // row %d\n", row);
    }
    std::fprintf(f, "};\n\n");
}

void WritePairs(FILE* f, const char* name, const std::vector<std::pair<unsigned, unsigned>>& pairs)
{
    std::fprintf(f, "const UnicodeJisPair %s[%u] = {\n", name, static_cast<unsigned>(pairs.size()));
    for (size_t i = 0; i < pairs.size(); ++i) {
        if (i % 6 == 0)
            std::fprintf(f, "    ");
        std::fprintf(f, "{0x%04X, 0x%04X},", pairs[i].first, pairs[i].second);
        std::fprintf(f, (i % 6 == 5 || i + 1 == pairs.size()) ? "\n" : " ");
    }
    std::fprintf(f, "};\n\n");
}

void Write(const Tables& t, const wchar_t* path)
{
    std::vector<std::pair<unsigned, unsigned>> common, only932, onlyDefault;
    for (const auto& e : t.map932) {
        auto d = t.mapDefault.find(e.first);
        if (d != t.mapDefault.end() && d->second == e.second)
            common.push_back(e);
        else
            only932.push_back(e);
    }
    for (const auto& e : t.mapDefault) {
        auto a = t.map932.find(e.first);
        if (a == t.map932.end() || a->second != e.second)
            onlyDefault.push_back(e);
    }
    // Characters of one mapping that the other lacks must not fall through to the common list.
    FILE* f = _wfopen(path, L"w");
    if (!f)
        Fail("cannot write the output");
    std::fprintf(f, "// Generated by tools/kanji/GenerateJisTables.cpp from the platform's code pages 932 and 20932\n"
                    "// and the rules written there. Do not edit; regenerate with tools/kanji/generate-jis-tables.sh.\n"
                    "#include \"foundation/kanji/JisTables.h\"\n\n"
                    "// clang-format off\n"
                    "namespace KanjiTables {\n\n");
    WriteBits(f, "kJis0208Cells", t.jis0208);
    WriteBits(f, "kJis0212Cells", t.jis0212);
    WritePairs(f, "kUnicodeJisCommon", common);
    WritePairs(f, "kUnicodeJisOnly932", only932);
    WritePairs(f, "kUnicodeJisOnlyDefault", onlyDefault);
    std::fprintf(f,
                 "const unsigned kUnicodeJisCommonCount = %u;\n"
                 "const unsigned kUnicodeJisOnly932Count = %u;\n"
                 "const unsigned kUnicodeJisOnlyDefaultCount = %u;\n\n"
                 "} // namespace KanjiTables\n",
                 static_cast<unsigned>(common.size()), static_cast<unsigned>(only932.size()),
                 static_cast<unsigned>(onlyDefault.size()));
    std::fclose(f);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        Fail("usage: GenerateJisTables <output.cpp>");
    if (!IsValidCodePage(932) || !IsValidCodePage(20932))
        Fail("code pages 932 and 20932 are needed");
    static Tables t;
    BuildJisCells(t);
    BuildUnicodeMaps(t);
    Write(t, argv[1]);
    return 0;
}
