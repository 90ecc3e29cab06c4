#include "foundation/kanji/EncodingRecognizers.h"

#include "foundation/kanji/JisTables.h"
#include "foundation/kanji/ShiftJisToJis.h"

namespace KanjiTables {

namespace {

bool HasCell(const unsigned char (&cells)[94][12], int row, int cell)
{
    if (row < 1 || row > 94 || cell < 1 || cell > 94)
        return false;
    return (cells[row - 1][(cell - 1) / 8] >> ((cell - 1) % 8)) & 1;
}

const UnicodeJisPair* Find(const UnicodeJisPair* table, unsigned count, unsigned codePoint)
{
    unsigned lo = 0, hi = count;
    while (lo < hi) {
        unsigned mid = (lo + hi) / 2;
        if (table[mid].codePoint < codePoint)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < count && table[lo].codePoint == codePoint ? &table[lo] : nullptr;
}

} // namespace

bool Jis0208HasCharacter(int row, int cell)
{
    return HasCell(kJis0208Cells, row, cell);
}
bool Jis0212HasCharacter(int row, int cell)
{
    return HasCell(kJis0212Cells, row, cell);
}

unsigned short UnicodeToJis(unsigned codePoint, bool cp932Mapping)
{
    // A character the two mappings treat alike is only in the common list.
    const UnicodeJisPair* own = cp932Mapping ? Find(kUnicodeJisOnly932, kUnicodeJisOnly932Count, codePoint)
                                             : Find(kUnicodeJisOnlyDefault, kUnicodeJisOnlyDefaultCount, codePoint);
    if (own)
        return own->code;
    const UnicodeJisPair* common = Find(kUnicodeJisCommon, kUnicodeJisCommonCount, codePoint);
    return common ? common->code : 0;
}

} // namespace KanjiTables

namespace Kanji {

namespace {

const char* const kCandidateNames[CandidateCount] = {"EUC-JP", "Shift_JIS", "UTF-8", "UTF-16", "UTF-32"};

// Bits of an EUC-JP JIS X 0212 character by the low four bits of its row byte.
const int kX0212RowsLow[16] = {0, 32, 16, 32, 32, 32, 16, 16, 32, 16, 16, 16, 32, 32, 32, 32};
const int kX0212Rows64[16] = {16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 32, 32};
const int kX0212Rows80[16] = {32, 32, 32, 16, 16, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32};

// Marks a Utf8 half-width katakana: it has a character and scores nothing.
const int kUtf8KanaRow = -1;

bool IsShiftJisTrail(int v)
{
    return (v >= 0x40 && v <= 0x7E) || (v >= 0x80 && v <= 0xFC);
}

} // namespace

EncodingRecognizers::EncodingRecognizers(bool cp932Mapping) : m_cp932Mapping(cp932Mapping)
{
    for (int id = 0; id < CandidateCount; ++id)
        m_candidates[id].name = kCandidateNames[id];
    ResetAll();
}

void EncodingRecognizers::ResetAll()
{
    for (int id = 0; id < CandidateCount; ++id)
        Reset(id);
}

void EncodingRecognizers::Reset(int id)
{
    Candidate& c = m_candidates[id];
    c.state = 0;
    c.score = ScoreMimeInitial;
    c.storedCount = 0;
    c.storedInvalid = false;
}

bool EncodingRecognizers::Step(int id, int value, bool someEstablished)
{
    Candidate& c = m_candidates[id];
    if (c.state < 0) {
        if (value < 0x80 && someEstablished)
            Reset(id);
        return false;
    }
    if (c.state == 0 && value < 0x80)
        return false;
    switch (id) {
    case CandidateEucJp:
        return StepEucJp(c, value);
    case CandidateShiftJis:
        return StepShiftJis(c, value);
    case CandidateUtf8:
        return StepUtf8(c, value);
    default:
        return false;
    }
}

bool EncodingRecognizers::StepEucJp(Candidate& c, int v)
{
    bool trail = v >= 0xA1 && v <= 0xFE;
    switch (c.state) {
    case 0:
        if (v == 0x8E || trail) {
            Store(c, v);
            c.state = 1;
        } else if (v == 0x8F) {
            Store(c, v);
            c.state = 2;
        } else {
            GiveUp(c);
        }
        break;
    case 1:
        if (!trail) {
            GiveUp(c);
            break;
        }
        Store(c, v);
        if (c.stored[0] == 0x8F)
            Score(c, 0x8F, c.stored[1], false);
        else
            Score(c, c.stored[0], c.stored[1], false);
        break;
    case 2:
        if (!trail) {
            GiveUp(c);
            break;
        }
        Store(c, v);
        c.state = 1;
        break;
    default:
        GiveUp(c);
        break;
    }
    return c.state < 0;
}

bool EncodingRecognizers::StepShiftJis(Candidate& c, int v)
{
    if (c.state == 0) {
        if (v >= 0xA1 && v <= 0xDF) {
            Store(c, 0x8E);
            Store(c, v);
            Score(c, 0x8E, v, false);
        } else if ((v >= 0x81 && v <= 0x9F) || (v >= 0xE0 && v <= 0xEA) || (v >= 0xF0 && v <= 0xF9)) {
            Store(c, v);
            c.state = 1;
        } else if (v == 0xED || v == 0xEE) {
            Store(c, v);
            c.state = 3;
        } else if (v >= 0xFA && v <= 0xFC) {
            Store(c, v);
            c.state = 2;
        } else {
            GiveUp(c);
        }
        return c.state < 0;
    }
    if (!IsShiftJisTrail(v)) {
        GiveUp(c);
        return true;
    }
    Store(c, v);
    if (c.state == 1) {
        ScoreShiftJisPair(c);
    } else {
        c.score |= ScoreCp932Extension;
        c.state = 0;
        c.storedCount = 0;
    }
    return false;
}

void EncodingRecognizers::ScoreShiftJisPair(Candidate& c)
{
    int row, cell;
    ShiftJisToJis(c.stored[0], c.stored[1], row, cell);
    bool mark0212 = false;
    if (row >= 0x7F && row <= 0x88) {
        row -= 0x0A;
    } else if (row >= 0x89 && row <= 0x92) {
        row -= 0x14;
        mark0212 = true;
    }
    Score(c, row, cell, mark0212);
}

bool EncodingRecognizers::StepUtf8(Candidate& c, int v)
{
    bool continuation = v >= 0x80 && v <= 0xBF;
    switch (c.state) {
    case 0:
        if (v >= 0xC0 && v <= 0xDF) {
            Store(c, v);
            c.state = 1;
        } else if (v >= 0xE0 && v <= 0xEF) {
            Store(c, v);
            c.state = 2;
        } else if (v >= 0xF0 && v <= 0xF4) {
            Store(c, v);
            c.state = 3;
        } else {
            GiveUp(c);
        }
        break;
    case 1:
    case 2:
        if (!continuation) {
            GiveUp(c);
            break;
        }
        Store(c, v);
        if (c.storedCount == c.state + 1)
            ScoreUtf8(c);
        break;
    case 3:
        if (!continuation) {
            GiveUp(c);
            break;
        }
        if (c.storedCount < 3) {
            Store(c, v);
        } else {
            // Characters beyond the basic plane are not scored.
            c.state = 0;
            c.storedCount = 0;
        }
        break;
    default:
        GiveUp(c);
        break;
    }
    return c.state < 0;
}

void EncodingRecognizers::ScoreUtf8(Candidate& c)
{
    unsigned codePoint;
    if (c.storedCount == 2) {
        codePoint = (c.stored[0] & 0x1F) << 6 | (c.stored[1] & 0x3F);
    } else {
        if (c.stored[0] == 0xEF && c.stored[1] == 0xBB && c.stored[2] == 0xBF) {
            // A byte-order mark inside the text is no character.
            c.state = 0;
            c.storedCount = 0;
            return;
        }
        codePoint = (c.stored[0] & 0x0F) << 12 | (c.stored[1] & 0x3F) << 6 | (c.stored[2] & 0x3F);
    }
    unsigned code = KanjiTables::UnicodeToJis(codePoint, m_cp932Mapping);
    if (code >= 0xA1 && code <= 0xDF)
        Score(c, kUtf8KanaRow, 0, false);
    else
        Score(c, (code >> 8) & 0x7F, code & 0xFF, (code & KanjiTables::kJis0212Mark) != 0);
}

void EncodingRecognizers::Store(Candidate& c, int v)
{
    if (c.storedCount < 3)
        c.stored[c.storedCount++] = v;
}

void EncodingRecognizers::GiveUp(Candidate& c)
{
    c.storedInvalid = true;
    c.score |= ScoreError;
    c.state = -1;
}

void EncodingRecognizers::Score(Candidate& c, int row, int cell, bool mark0212)
{
    c.score |= c.storedInvalid ? ScoreError : ScoreOf(row, cell, mark0212);
    c.state = 0;
    c.storedCount = 0;
}

int EncodingRecognizers::ScoreOf(int r, int c, bool mark0212)
{
    if (r == kUtf8KanaRow)
        return 0;
    if (r == 0x8E)
        return ScoreHalfwidthKana;
    if (r == 0x8F) {
        switch (c & 0x70) {
        case 0x20:
            return kX0212RowsLow[c & 0x0F];
        case 0x60:
            return kX0212Rows64[c & 0x0F];
        case 0x70:
            return kX0212Rows80[c & 0x0F];
        default:
            return ScoreX0212;
        }
    }
    int row = (r & 0x7F) - 0x20, cell = (c & 0x7F) - 0x20;
    bool has = r != 0 &&
               (mark0212 ? KanjiTables::Jis0212HasCharacter(row, cell) : KanjiTables::Jis0208HasCharacter(row, cell));
    if (!has)
        return ScoreUndefined;
    switch (r & 0x70) {
    case 0x20:
        if (row >= 9 && row <= 14)
            return ScoreModelDependent;
        return row == 15 ? ScoreX0213 : 0;
    case 0x70:
        if (row <= 84)
            return ScoreLevel2;
        if (row == 85 || row == 88 || row == 89)
            return ScoreModelDependent;
        if (row == 86 || row == 87 || row == 93 || row == 94)
            return ScoreX0213;
        if (row >= 90 && row <= 92)
            return ScoreCp932Extension;
        return ScoreError;
    case 0x50:
    case 0x60:
        return ScoreLevel2;
    default:
        return 0;
    }
}

} // namespace Kanji
