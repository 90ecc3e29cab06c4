// The byte-level recognisers of EUC-JP, Shift_JIS and UTF-8 and the scores of the characters they
// see: what the encoding guesser (KanjiGuesser) feeds every input value to.
#pragma once

namespace Kanji {

// A lower score means a more plausible encoding.
enum ScoreBits {
    ScoreLevel2 = 1,
    ScoreHalfwidthKana = 2,
    ScoreModelDependent = 4,
    ScoreCp932Extension = 8,
    ScoreX0212 = 16,
    ScoreX0213 = 32,
    ScoreUndefined = 64,
    ScoreMimeInitial = 128,
    ScoreError = 256,
};

// Candidates in list order; the decoder of a candidate is identified by the same number.
enum CandidateId {
    CandidateEucJp,
    CandidateShiftJis,
    CandidateUtf8,
    CandidateUtf16,
    CandidateUtf32,
    CandidateCount,
    CandidateNone = -1,
};

const int kEndOfInput = -1; // counts as a value below 0x80 everywhere

struct Candidate
{
    const char* name;
    int state; // -1 gave up, 0 idle, 1-3 inside a character
    int score;
    int storedCount;
    int stored[3];
    bool storedInvalid;
};

class EncodingRecognizers
{
public:
    explicit EncodingRecognizers(bool cp932Mapping);

    Candidate& operator[](int id) { return m_candidates[id]; }
    const Candidate& operator[](int id) const { return m_candidates[id]; }

    void ResetAll();
    void Reset(int id);

    // Advances the recogniser of candidate id (EUC-JP, Shift_JIS or UTF-8) by one value; returns
    // true when it gave up on that value.
    bool Step(int id, int value, bool someEstablished);

    // The bits a complete character adds; exposed for tests. row and cell are the stored values,
    // mark0212 marks a JIS X 0212 code converted from Shift_JIS or UTF-8.
    static int ScoreOf(int row, int cell, bool mark0212);

private:
    bool StepEucJp(Candidate& c, int v);
    bool StepShiftJis(Candidate& c, int v);
    bool StepUtf8(Candidate& c, int v);
    void GiveUp(Candidate& c);
    void Store(Candidate& c, int v);
    void Score(Candidate& c, int row, int cell, bool mark0212);
    void ScoreShiftJisPair(Candidate& c);
    void ScoreUtf8(Candidate& c);

    Candidate m_candidates[CandidateCount];
    bool m_cp932Mapping;
};

} // namespace Kanji
