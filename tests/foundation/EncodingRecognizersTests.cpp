#include "foundation/kanji/EncodingRecognizers.h"
#include "foundation/kanji/JisTables.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace Kanji;

namespace {

// The bits one candidate's recogniser adds for a byte sequence, starting idle.
int ScoreAfter(int id, std::initializer_list<int> bytes, bool cp932 = true)
{
    EncodingRecognizers r(cp932);
    for (int b : bytes)
        r.Step(id, b, false);
    EXPECT_EQ(0, r[id].state);
    return r[id].score & ~ScoreMimeInitial;
}

struct ScoreCase
{
    int id;
    std::initializer_list<int> bytes;
    int bits;
};

} // namespace

TEST(EncodingRecognizers, ScoreEachCharacterAsTheTableSays)
{
    const ScoreCase cases[] = {
        {CandidateEucJp, {0xA4, 0xA2}, 0},                   // hiragana
        {CandidateEucJp, {0xB0, 0xA1}, 0},                   // row 16, level 1
        {CandidateEucJp, {0xD0, 0xA1}, ScoreLevel2},         // row 48
        {CandidateEucJp, {0xAD, 0xA1}, ScoreModelDependent}, // row 13
        {CandidateEucJp, {0x8E, 0xB1}, ScoreHalfwidthKana},
        {CandidateEucJp, {0x8F, 0xB0, 0xA1}, ScoreX0212},
        {CandidateEucJp, {0x8F, 0xA2, 0xA1}, ScoreX0212},    // first row table, row 2
        {CandidateEucJp, {0x8F, 0xA1, 0xA1}, ScoreX0213},    // first row table, row 1
        {CandidateEucJp, {0x8F, 0xEE, 0xA1}, ScoreX0213},    // second row table, row 78
        {CandidateEucJp, {0x8F, 0xF3, 0xA1}, ScoreX0212},    // third row table, row 83
        {CandidateEucJp, {0xA9, 0xA1}, ScoreModelDependent}, // row 9 cell 1
        {CandidateEucJp, {0xA9, 0xB5}, ScoreUndefined},      // row 9 cell 21 is empty
        {CandidateEucJp, {0xAF, 0xA1}, ScoreX0213},          // row 15
        {CandidateEucJp, {0xF6, 0xA1}, ScoreUndefined},      // row 86 is empty
        {CandidateEucJp, {0xF9, 0xA1}, ScoreModelDependent}, // row 89
        {CandidateEucJp, {0xFA, 0xA1}, ScoreCp932Extension}, // row 90
        {CandidateShiftJis, {0xED, 0x40}, ScoreCp932Extension},
        {CandidateShiftJis, {0xFA, 0x40}, ScoreCp932Extension},
        {CandidateShiftJis, {0xB1}, ScoreHalfwidthKana},
        {CandidateShiftJis, {0x82, 0xA0}, 0},                     // hiragana
        {CandidateShiftJis, {0x88, 0x9F}, 0},                     // row 16
        {CandidateShiftJis, {0x98, 0x9F}, ScoreLevel2},           // row 48
        {CandidateShiftJis, {0x87, 0x40}, ScoreModelDependent},   // NEC row 13
        {CandidateShiftJis, {0xF0, 0x40}, ScoreModelDependent},   // user-defined, counted as row 85
        {CandidateShiftJis, {0xF5, 0x40}, ScoreUndefined},        // JIS X 0212 row 85 is empty
        {CandidateUtf8, {0xE3, 0x81, 0x82}, 0},                   // U+3042
        {CandidateUtf8, {0xE5, 0xBC, 0x8C}, ScoreLevel2},         // U+5F0C, row 52
        {CandidateUtf8, {0xEF, 0xBD, 0xB1}, 0},                   // half-width katakana
        {CandidateUtf8, {0xEF, 0xBB, 0xBF}, 0},                   // byte-order mark
        {CandidateUtf8, {0xF0, 0x9F, 0x98, 0x80}, 0},             // beyond the basic plane
        {CandidateUtf8, {0xC3, 0xA9}, ScoreUndefined},            // U+00E9 under code page 932
        {CandidateUtf8, {0xE2, 0x91, 0xA0}, ScoreModelDependent}, // U+2460, NEC row 13
    };
    for (const ScoreCase& c : cases) {
        std::string bytes;
        for (int b : c.bytes)
            bytes += std::to_string(b) + " ";
        EXPECT_EQ(c.bits, ScoreAfter(c.id, c.bytes)) << "candidate " << c.id << " bytes " << bytes;
    }
}

TEST(EncodingRecognizers, Utf8MappingDependsOnTheAnsiCodePage)
{
    // U+301C: a JIS code only in the default mapping; U+3094 only in the code page 932 one.
    EXPECT_EQ(ScoreUndefined, ScoreAfter(CandidateUtf8, {0xE3, 0x80, 0x9C}, true));
    EXPECT_EQ(0, ScoreAfter(CandidateUtf8, {0xE3, 0x80, 0x9C}, false));
    EXPECT_EQ(0, ScoreAfter(CandidateUtf8, {0xE3, 0x82, 0x94}, true));
    EXPECT_EQ(ScoreUndefined, ScoreAfter(CandidateUtf8, {0xE3, 0x82, 0x94}, false));
    // Latin-1 letters are JIS X 0212 characters (row 10) only in the default mapping.
    EXPECT_EQ(ScoreModelDependent, ScoreAfter(CandidateUtf8, {0xC3, 0x80}, false));
    EXPECT_EQ(ScoreUndefined, ScoreAfter(CandidateUtf8, {0xC3, 0x80}, true));
}

TEST(EncodingRecognizers, GiveUpOnBytesTheEncodingCannotHave)
{
    struct
    {
        int id;
        std::initializer_list<int> bytes;
    } const cases[] = {
        {CandidateShiftJis, {0xEB}},
        {CandidateShiftJis, {0x80}},
        {CandidateShiftJis, {0xA0}},
        {CandidateShiftJis, {0xFD}},
        {CandidateShiftJis, {0x82, 0x20}},
        {CandidateShiftJis, {0x82, 0xFD}},
        {CandidateEucJp, {0x81}},
        {CandidateEucJp, {0xA4, 0x41}},
        {CandidateEucJp, {0x8F, 0x41}},
        {CandidateUtf8, {0x80}},
        {CandidateUtf8, {0xF5}},
        {CandidateUtf8, {0xE3, 0x41}},
        {CandidateUtf8, {0xE3, 0x81, kEndOfInput}},
    };
    for (const auto& c : cases) {
        EncodingRecognizers r(true);
        bool gaveUp = false;
        for (int b : c.bytes)
            gaveUp = r.Step(c.id, b, false);
        EXPECT_TRUE(gaveUp) << "candidate " << c.id;
        EXPECT_EQ(-1, r[c.id].state);
        EXPECT_TRUE(r[c.id].score & ScoreError);
    }
}

TEST(EncodingRecognizers, DisabledCandidateComesBackOnlyOnAsciiWhileOneIsEstablished)
{
    EncodingRecognizers r(true);
    r.Step(CandidateEucJp, 0x81, false);
    ASSERT_EQ(-1, r[CandidateEucJp].state);
    r.Step(CandidateEucJp, 0x41, false);
    EXPECT_EQ(-1, r[CandidateEucJp].state);
    r.Step(CandidateEucJp, 0xA4, true);
    EXPECT_EQ(-1, r[CandidateEucJp].state);
    r.Step(CandidateEucJp, 0x41, true);
    EXPECT_EQ(0, r[CandidateEucJp].state);
    EXPECT_EQ(ScoreMimeInitial, r[CandidateEucJp].score);
}

TEST(EncodingRecognizers, JisTableHoldsTheStatedCells)
{
    int total = 0;
    for (int row = 1; row <= 94; ++row)
        for (int cell = 1; cell <= 94; ++cell)
            total += KanjiTables::Jis0208HasCharacter(row, cell);
    EXPECT_EQ(7559, total);
    EXPECT_FALSE(KanjiTables::Jis0208HasCharacter(0, 1));
    EXPECT_FALSE(KanjiTables::Jis0208HasCharacter(95, 1));
    EXPECT_TRUE(KanjiTables::Jis0212HasCharacter(2, 0x43 - 0x20));
    for (int row = 85; row <= 94; ++row)
        for (int cell = 1; cell <= 94; ++cell)
            EXPECT_FALSE(KanjiTables::Jis0212HasCharacter(row, cell));
    // The seven three-byte characters the two mappings disagree on.
    EXPECT_EQ(0x213D, KanjiTables::UnicodeToJis(0x2014, false));
    EXPECT_EQ(0, KanjiTables::UnicodeToJis(0x2014, true));
    EXPECT_EQ(0x2141, KanjiTables::UnicodeToJis(0xFF5E, true));
    EXPECT_EQ(0x8000 | 0x2237, KanjiTables::UnicodeToJis(0xFF5E, false));
    EXPECT_EQ(0x2574, KanjiTables::UnicodeToJis(0x3094, true));
    EXPECT_EQ(0, KanjiTables::UnicodeToJis(0x3094, false));
    EXPECT_EQ(0xB1, KanjiTables::UnicodeToJis(0xFF71, true));
    EXPECT_EQ(0x2422, KanjiTables::UnicodeToJis(0x3042, false));
}
