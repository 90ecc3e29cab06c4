// The walk of the encoding guesser: reads the bytes once as if converting them, shows every value
// to the recognisers, follows byte-order marks, ISO-2022 escape sequences and MIME encoded words,
// and names the encoding it settled on. GuessCodePage (GuessCodePage.h) is its public face.
#pragma once

#include "foundation/kanji/EncodingRecognizers.h"

#include <string>
#include <vector>

namespace Kanji {

class KanjiGuesser
{
public:
    // ansiCodePage decides the output side: 932 brings the Shift_JIS output encoder and the
    // code page 932 mapping of the UTF-8 recogniser.
    KanjiGuesser(const unsigned char* data, size_t length, unsigned ansiCodePage);

    int Guess();

private:
    enum InputMode { ModeAscii, ModeX0208, ModeX0212, ModeX0213Plane1, ModeX0213Plane2, ModeKatakana };
    enum MimeMode { MimeNone, MimeB, MimeQ, MimeReplay };
    enum NameState { NameNone, NameSet, NameConflict };

    // Reading.
    int Read();
    int ReadRaw();
    void PushBack(int value);
    void GiveBack(const std::vector<int>& values);

    // Candidates and decoders.
    void CandidateStep(int c);
    void Establish(int id);
    void SetDecoderWithoutEstablishing(int id);
    void SetName(const std::string& name);

    // The walk.
    bool ReadByteOrderMark();
    void Walk();
    bool HandleUnpaired(int c, int& pending);
    bool LookAhead(int lead, int second);
    bool DecodePair(int p, int c, std::vector<int>* held, size_t* heldPos);
    int FetchForDecoder(std::vector<int>* held, size_t* heldPos);
    void OutputJisPair(int first, int second);
    bool EscapeSequence();
    bool EncodedWordCheck();

    // MIME encoded words.
    int MimeRead();
    void CheckAheadBase64(const char* header);
    bool DecodeBase64Group();
    int QuotedRead();
    void FinishWord(bool closed);
    int ReadAfterClosedWord();

    std::string FinalName() const;

    const unsigned char* m_data;
    size_t m_length;
    size_t m_position = 0;
    std::vector<int> m_pushBack;  // last in, first out; grows as needed
    std::vector<int> m_givenBack; // white space after an encoded word, in order
    size_t m_givenBackPosition = 0;
    bool m_ended = false;

    EncodingRecognizers m_candidates;
    bool m_shiftJisOutput;
    int m_current = CandidateEucJp;
    int m_recorded = CandidateNone;
    bool m_established = false;
    NameState m_nameState = NameNone;
    std::string m_name;

    InputMode m_inputMode = ModeAscii;
    bool m_shift = false;
    bool m_latin1Selected = false;

    MimeMode m_mimeMode = MimeNone;
    bool m_wordEnded = false;
    int m_rememberedDecoder = CandidateEucJp;
    std::vector<int> m_word; // header and text of a 'B' word, or the values of a replay
    size_t m_wordPosition = 0;
    int m_decoded[3] = {};
    int m_decodedCount = 0;
    int m_decodedPosition = 0;
    int m_quotedNext = -2;   // a byte a 'Q' word read ahead, -2 when none
    std::vector<int> m_held; // the look-ahead's values
};

// GuessCodePage with a given ANSI code page instead of the system's; for tests.
int GuessCodePageForAnsiCodePage(const void* data, int length, unsigned ansiCodePage);

} // namespace Kanji
