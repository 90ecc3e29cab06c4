#include "foundation/kanji/KanjiGuesser.h"

#include "foundation/kanji/GuessCodePage.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <new>

namespace {

const int kEsc = 0x1B;
const int kShiftIn = 0x0F;
const int kShiftOut = 0x0E;
const int kNoValue = -2;
const size_t kHoldSize = 2048;
const size_t kCheckAheadRing = 1024;

struct EncodingEntry
{
    const char* name;
    int codePage;
};

const EncodingEntry kEncodings[36] = {
    {"US-ASCII", 0},          {"ISO-8859-1", 28591},    {"ISO-2022-JP", 50220},
    {"CP50220", 50220},       {"CP50221", 50221},       {"CP50222", 50222},
    {"ISO-2022-JP-1", 50220}, {"ISO-2022-JP-3", 50220}, {"ISO-2022-JP-2004", 50220},
    {"Shift_JIS", 932},       {"Windows-31J", 932},     {"CP10001", 10001},
    {"EUC-JP", 20932},        {"eucJP-nkf", 20932},     {"CP51932", 51932},
    {"eucJP-MS", 51932},      {"eucJP-ASCII", 51932},   {"Shift_JISX0213", 932},
    {"Shift_JIS-2004", 932},  {"EUC-JISX0213", 20932},  {"EUC-JIS-2004", 20932},
    {"UTF-8", 65001},         {"UTF-8N", 65001},        {"UTF-8-BOM", 65001},
    {"UTF8-MAC", 65001},      {"UTF-16", 1200},         {"UTF-16BE", 1201},
    {"UTF-16BE-BOM", 1201},   {"UTF-16LE", 1200},       {"UTF-16LE-BOM", 1200},
    {"UTF-32", 12000},        {"UTF-32BE", 12001},      {"UTF-32BE-BOM", 12001},
    {"UTF-32LE", 12000},      {"UTF-32LE-BOM", 12000},  {"BINARY", -1},
};

struct EncodingAlias
{
    const char* name;
    int index;
};

const EncodingAlias kAliases[51] = {
    {"US-ASCII", 0},
    {"ASCII", 0},
    {"646", 0},
    {"ROMAN8", 0},
    {"ISO-2022-JP", 2},
    {"ISO2022JP-CP932", 3},
    {"CP50220", 3},
    {"CP50221", 4},
    {"CSISO2022JP", 4},
    {"CP50222", 5},
    {"ISO-2022-JP-1", 6},
    {"ISO-2022-JP-3", 7},
    {"ISO-2022-JP-2004", 8},
    {"SHIFT_JIS", 9},
    {"SJIS", 9},
    {"MS_Kanji", 9},
    {"PCK", 9},
    {"WINDOWS-31J", 10},
    {"CSWINDOWS31J", 10},
    {"CP932", 10},
    {"MS932", 10},
    {"CP10001", 11},
    {"EUCJP", 12},
    {"EUC-JP", 12},
    {"EUCJP-NKF", 13},
    {"CP51932", 14},
    {"EUC-JP-MS", 15},
    {"EUCJP-MS", 15},
    {"EUCJPMS", 15},
    {"EUC-JP-ASCII", 16},
    {"EUCJP-ASCII", 16},
    {"SHIFT_JISX0213", 17},
    {"SHIFT_JIS-2004", 18},
    {"EUC-JISX0213", 19},
    {"EUC-JIS-2004", 20},
    {"UTF-8", 21},
    {"UTF-8N", 22},
    {"UTF-8-BOM", 23},
    {"UTF8-MAC", 24},
    {"UTF-8-MAC", 24},
    {"UTF-16", 25},
    {"UTF-16BE", 26},
    {"UTF-16BE-BOM", 27},
    {"UTF-16LE", 28},
    {"UTF-16LE-BOM", 29},
    {"UTF-32", 30},
    {"UTF-32BE", 31},
    {"UTF-32BE-BOM", 32},
    {"UTF-32LE", 33},
    {"UTF-32LE-BOM", 34},
    {"BINARY", 35},
};

struct MimeHeader
{
    const char* text;
    int decoder; // also the candidate that loses its MIME-initial bit
    char letter;
};

const MimeHeader kMimeHeaders[9] = {
    {"=?EUC-JP?B?", Kanji::CandidateEucJp, 'B'},     {"=?SHIFT_JIS?B?", Kanji::CandidateShiftJis, 'B'},
    {"=?ISO-8859-1?Q?", Kanji::CandidateNone, 'Q'},  {"=?ISO-8859-1?B?", Kanji::CandidateNone, 'B'},
    {"=?ISO-2022-JP?B?", Kanji::CandidateNone, 'B'}, {"=?ISO-2022-JP?Q?", Kanji::CandidateNone, 'Q'},
    {"=?UTF-8?B?", Kanji::CandidateUtf8, 'B'},       {"=?UTF-8?Q?", Kanji::CandidateUtf8, 'Q'},
    {"=?US-ASCII?Q?", Kanji::CandidateNone, 'Q'},
};

int UpperAscii(int c)
{
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

bool IsShiftJisTrail(int v)
{
    return (v >= 0x40 && v <= 0x7E) || (v >= 0x80 && v <= 0xFC);
}

int Base64Value(int ch)
{
    if (ch >= 'A' && ch <= 'Z')
        return ch - 'A';
    if (ch >= 'a' && ch <= 'z')
        return ch - 'a' + 26;
    if (ch == '+' || ch == '-')
        return 62;
    if (ch == '/' || ch == '_')
        return 63;
    // Digits, and the '?' (3) and '=' (1) that can stand in a group.
    return (ch - '0' + 52) & 0x3F;
}

int HexValue(int ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return 0;
}

bool IsBase64CheckCharacter(int b)
{
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '+' || b == '/' ||
           b == '?' || b == '=';
}

} // namespace

int FindEncodingIndex(const char* name)
{
    if (!name)
        return -1;
    if (name[0] == 'X' && name[1] == '-')
        name += 2;
    for (const EncodingAlias& alias : kAliases) {
        const char* a = alias.name;
        const char* b = name;
        while (*a && UpperAscii(static_cast<unsigned char>(*a)) == UpperAscii(static_cast<unsigned char>(*b))) {
            ++a;
            ++b;
        }
        if (!*a && !*b)
            return alias.index;
    }
    return -1;
}

int EncodingIndexToCodePage(int index)
{
    if (index < 0 || index > 35)
        return -1;
    return kEncodings[index].codePage;
}

int GuessCodePage(const void* data, int length)
{
    return Kanji::GuessCodePageForAnsiCodePage(data, length, GetACP());
}

namespace Kanji {

namespace {

bool IsShiftJisOutput(unsigned ansiCodePage)
{
    char name[16];
    std::snprintf(name, sizeof name, "CP%u", ansiCodePage);
    return FindEncodingIndex(name) == FindEncodingIndex("Windows-31J");
}

} // namespace

int GuessCodePageForAnsiCodePage(const void* data, int length, unsigned ansiCodePage)
{
    if (!data || length < 0)
        length = 0;
    try {
        KanjiGuesser guesser(static_cast<const unsigned char*>(data), static_cast<size_t>(length), ansiCodePage);
        return guesser.Guess();
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

KanjiGuesser::KanjiGuesser(const unsigned char* data, size_t length, unsigned ansiCodePage)
    : m_data(data), m_length(length), m_candidates(IsShiftJisOutput(ansiCodePage)),
      m_shiftJisOutput(IsShiftJisOutput(ansiCodePage))
{
}

int KanjiGuesser::Guess()
{
    SetDecoderWithoutEstablishing(CandidateEucJp);
    if (!ReadByteOrderMark())
        Walk();
    return EncodingIndexToCodePage(FindEncodingIndex(FinalName().c_str()));
}

// ---------------------------------------------------------------------------------------------
// Reading

int KanjiGuesser::Read()
{
    if (!m_pushBack.empty()) {
        int v = m_pushBack.back();
        m_pushBack.pop_back();
        return v;
    }
    if (m_mimeMode != MimeNone)
        return MimeRead();
    return ReadRaw();
}

int KanjiGuesser::ReadRaw()
{
    if (m_givenBackPosition < m_givenBack.size())
        return m_givenBack[m_givenBackPosition++];
    if (m_position < m_length)
        return m_data[m_position++];
    return kEndOfInput;
}

void KanjiGuesser::PushBack(int value)
{
    if (value != kEndOfInput)
        m_pushBack.push_back(value);
}

void KanjiGuesser::GiveBack(const std::vector<int>& values)
{
    m_givenBack.erase(m_givenBack.begin(), m_givenBack.begin() + m_givenBackPosition);
    m_givenBackPosition = 0;
    m_givenBack.insert(m_givenBack.begin(), values.begin(), values.end());
}

// ---------------------------------------------------------------------------------------------
// Candidates and decoders

void KanjiGuesser::CandidateStep(int c)
{
    for (int id = CandidateEucJp; id <= CandidateUtf8; ++id)
        if (m_candidates.Step(id, c, m_established) && id == m_current)
            m_established = false;
    int idle = 0, idleId = CandidateNone;
    for (int id = CandidateEucJp; id <= CandidateUtf8; ++id) {
        if (m_candidates[id].state > 0)
            return;
        if (m_candidates[id].state == 0) {
            ++idle;
            idleId = id;
        }
    }
    if (idle >= 2)
        return;
    if (idle == 1 && !m_established)
        Establish(idleId);
    else if (c < 0x80)
        m_candidates.ResetAll();
}

void KanjiGuesser::Establish(int id)
{
    m_established = true;
    m_current = id;
    if (m_current != m_recorded) {
        m_recorded = m_current;
        SetName(m_candidates[id].name);
    }
}

void KanjiGuesser::SetDecoderWithoutEstablishing(int id)
{
    m_established = false;
    if (id != CandidateNone)
        m_current = id;
}

void KanjiGuesser::SetName(const std::string& name)
{
    if (m_nameState == NameNone) {
        m_nameState = NameSet;
        m_name = name;
    } else if (m_nameState == NameSet && m_name != name) {
        m_nameState = NameConflict;
        m_name.clear();
    }
}

// ---------------------------------------------------------------------------------------------
// The walk

bool KanjiGuesser::ReadByteOrderMark()
{
    int got[4];
    int count = 0;
    auto next = [&] { return got[count++] = Read(); };
    // Puts back, in order, what was read from position keep on.
    auto restore = [&](int keep) {
        while (count > keep)
            PushBack(got[--count]);
    };
    int first = next();
    if (first == 0x00) {
        if (next() == 0x00) {
            int third = next();
            if ((third == 0xFE && next() == 0xFF) || (third == 0xFF && next() == 0xFE)) {
                Establish(CandidateUtf32);
                return true;
            }
        }
    } else if (first == 0xFE || first == 0xFF) {
        if (next() == (first == 0xFE ? 0xFF : 0xFE)) {
            if (next() == 0x00 && next() == 0x00) {
                Establish(CandidateUtf32);
                return true;
            }
            restore(2);
            Establish(CandidateUtf16);
            return true;
        }
    } else if (first == 0xEF) {
        if (next() == 0xBB && next() == 0xBF) {
            Establish(CandidateUtf8);
            return false;
        }
    }
    restore(0);
    return false;
}

void KanjiGuesser::Walk()
{
    int pending = kNoValue;
    for (;;) {
        int c = Read();
        CandidateStep(c);
        if (pending != kNoValue) {
            int p = pending;
            pending = kNoValue;
            if (c == kEndOfInput)
                return; // a last 8-bit byte pairs with nothing
            if (p >= 0x80 && !m_established && m_mimeMode == MimeNone) {
                if (!LookAhead(p, c))
                    return;
                continue;
            }
            if (p >= 0x80 && c < 0x40)
                continue;
            if (!DecodePair(p, c, nullptr, nullptr))
                return;
            continue;
        }
        if (c == kEndOfInput || !HandleUnpaired(c, pending))
            return;
    }
}

bool KanjiGuesser::HandleUnpaired(int c, int& pending)
{
    bool kanjiMode = m_inputMode == ModeX0208 || m_inputMode == ModeX0212 || m_inputMode == ModeX0213Plane1 ||
                     m_inputMode == ModeX0213Plane2;
    if (m_inputMode == ModeX0208 && c >= 0x7F && c <= 0x91) {
        pending = c;
    } else if (m_nameState == NameSet && m_name[0] == 'I' && c >= 0xA1 && c <= 0xDF) {
        // a one-byte katakana of 8-bit JIS
    } else if (c >= 0x80) {
        if (!(m_established && m_current == CandidateShiftJis && c >= 0xA0 && c <= 0xDF))
            pending = c;
    } else if (c >= 0x21 && c <= 0x7E) {
        if (m_shift)
            return true; // katakana up to 0x5F, the rest dropped
        if (kanjiMode)
            pending = c;
        else if (c == '=' && m_mimeMode == MimeNone)
            return EncodedWordCheck();
    } else if (c == kShiftIn) {
        m_shift = false;
    } else if (c == kShiftOut) {
        m_shift = true;
    } else if (c == kEsc) {
        return EscapeSequence();
    }
    return true;
}

bool KanjiGuesser::LookAhead(int lead, int second)
{
    std::vector<int>& held = m_held;
    held.clear();
    held.push_back(lead);
    held.push_back(second);
    bool metEnd = false;
    while (held.size() < kHoldSize && !m_established) {
        int v = Read();
        if (v == kEndOfInput) {
            metEnd = true;
            break;
        }
        if (v == kEsc) {
            PushBack(v);
            break;
        }
        CandidateStep(v);
        held.push_back(v);
    }
    if (!m_established) {
        if (metEnd)
            CandidateStep(kEndOfInput);
        if (!m_established) {
            int best = CandidateEucJp;
            for (int id = CandidateShiftJis; id <= CandidateUtf8; ++id)
                if (m_candidates[id].score < m_candidates[best].score)
                    best = id;
            Establish(best);
        }
    }
    size_t i = 0;
    while (i < held.size()) {
        int v = held[i++];
        if (v < 0x80 || (m_current == CandidateShiftJis && v >= 0xA1 && v <= 0xDF))
            continue;
        int next = FetchForDecoder(&held, &i);
        if (next == kEndOfInput || !DecodePair(v, next, &held, &i))
            return false;
    }
    return !metEnd;
}

int KanjiGuesser::FetchForDecoder(std::vector<int>* held, size_t* heldPosition)
{
    if (held && *heldPosition < held->size())
        return (*held)[(*heldPosition)++];
    int v = Read();
    CandidateStep(v);
    return v;
}

// The decoders' output is thrown away; what matters is how many bytes each takes and which two-byte
// values reach the Shift_JIS output encoder, which un-establishes on codes outside JIS.
bool KanjiGuesser::DecodePair(int p, int c, std::vector<int>* held, size_t* heldPosition)
{
    if (m_inputMode != ModeAscii) {
        bool userDefined = (m_inputMode == ModeX0208 || m_inputMode == ModeX0213Plane1) && p >= 0x7F && p <= 0x92 &&
                           c >= 0x21 && c <= 0x7E;
        if (!userDefined)
            OutputJisPair(p, c);
        return true;
    }
    switch (m_current) {
    case CandidateEucJp:
        if (p == 0x8E)
            return true;
        if (p == 0x8F) {
            int third = FetchForDecoder(held, heldPosition);
            if (third == kEndOfInput)
                return false;
            OutputJisPair(c & 0x7F, third & 0x7F);
            return true;
        }
        OutputJisPair(p & 0x7F, c & 0x7F);
        return true;
    case CandidateShiftJis: {
        bool kana = p >= 0xA1 && p <= 0xDF;
        bool lead = (p >= 0x81 && p <= 0x9F) || (p >= 0xE0 && p <= 0xFC);
        // JIS codes, user-defined characters and IBM extensions all reach the encoder intact.
        if (!kana && !(lead && IsShiftJisTrail(c)))
            OutputJisPair(p, c);
        return true;
    }
    case CandidateUtf8:
        if (p >= 0xE0 && p <= 0xEF)
            return FetchForDecoder(held, heldPosition) != kEndOfInput;
        if (p >= 0xF0 && p <= 0xF4)
            return FetchForDecoder(held, heldPosition) != kEndOfInput &&
                   FetchForDecoder(held, heldPosition) != kEndOfInput;
        return true;
    default:
        return true;
    }
}

void KanjiGuesser::OutputJisPair(int first, int second)
{
    if (m_shiftJisOutput && (first < 0x20 || first > 0x7E || second < 0x20 || second > 0x7E))
        m_established = false;
}

bool KanjiGuesser::EscapeSequence()
{
    auto select = [this](InputMode mode, bool shift) {
        m_inputMode = mode;
        m_shift = shift;
        SetName("ISO-2022-JP");
        return true;
    };
    int b1 = Read();
    if (b1 == kEndOfInput)
        return false;
    if (b1 == '$') {
        int b2 = Read();
        if (b2 == kEndOfInput)
            return false;
        if (b2 == '@' || b2 == 'B')
            return select(ModeX0208, false);
        if (b2 == '(') {
            int b3 = Read();
            switch (b3) {
            case kEndOfInput:
                return false;
            case '@':
            case 'B':
                return select(ModeX0208, false);
            case 'D':
                return select(ModeX0212, false);
            case 'O':
            case 'Q':
                return select(ModeX0213Plane1, false);
            case 'P':
                return select(ModeX0213Plane2, false);
            default:
                PushBack(b3);
                break;
            }
        }
        PushBack(b2);
    } else if (b1 == '(') {
        int b2 = Read();
        if (b2 == kEndOfInput)
            return false;
        if (b2 == 'I')
            return select(ModeKatakana, true);
        if (b2 == 'B' || b2 == 'J' || b2 == 'H')
            return select(ModeAscii, false);
        PushBack(b2);
    } else if (b1 == '&') {
        return Read() != kEndOfInput;
    } else if (b1 == '.') {
        int b2 = Read();
        if (b2 == kEndOfInput)
            return false;
        if (b2 == 'A') {
            m_latin1Selected = true;
            return true;
        }
        PushBack(b2);
    } else if (b1 == 'N' && m_latin1Selected) {
        return Read() != kEndOfInput; // one ISO-8859-1 byte
    }
    // An unknown sequence: the ESC stands alone and what followed is read again as plain bytes.
    PushBack(b1);
    return true;
}

bool KanjiGuesser::EncodedWordCheck()
{
    int b = Read();
    if (b == kEndOfInput)
        return false;
    if (b != '?') {
        PushBack(b);
        return true;
    }
    int header = 0;
    size_t matched = 2; // "=?"
    for (;;) {
        int v = Read();
        if (v == kEndOfInput)
            return false;
        int up = UpperAscii(v);
        int found = -1;
        for (int h = header; h < 9 && found < 0; ++h) {
            const char* text = kMimeHeaders[h].text;
            if (std::strncmp(text, kMimeHeaders[header].text, matched) == 0 && text[matched] != '\0' &&
                static_cast<unsigned char>(text[matched]) == up)
                found = h;
        }
        if (found < 0) {
            PushBack(v);
            return true;
        }
        header = found;
        if (kMimeHeaders[header].text[++matched] == '\0')
            break;
    }
    const MimeHeader& h = kMimeHeaders[header];
    m_rememberedDecoder = m_current;
    SetDecoderWithoutEstablishing(h.decoder);
    if (h.decoder != CandidateNone)
        m_candidates[h.decoder].score &= ~ScoreMimeInitial;
    m_wordEnded = false;
    if (h.letter == 'B') {
        CheckAheadBase64(h.text);
    } else {
        m_mimeMode = MimeQ;
        m_quotedNext = kNoValue;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// MIME encoded words

void KanjiGuesser::CheckAheadBase64(const char* header)
{
    m_word.assign(header, header + std::strlen(header));
    m_wordPosition = m_word.size();
    bool complete = false;
    for (;;) {
        int b = ReadRaw();
        if (b == kEndOfInput)
            break;
        // The byte that ends the check is kept too, so a replay gives back every value read, even
        // when the ring was already full.
        bool full = m_word.size() >= kCheckAheadRing;
        m_word.push_back(b);
        if (full || !IsBase64CheckCharacter(b))
            break;
        if (b == '=' && m_word[m_word.size() - 2] == '?') {
            complete = true;
            break;
        }
    }
    if (complete) {
        m_mimeMode = MimeB;
        m_decodedCount = m_decodedPosition = 0;
    } else {
        m_mimeMode = MimeReplay;
        m_wordPosition = 0;
    }
}

int KanjiGuesser::MimeRead()
{
    if (m_wordEnded) {
        FinishWord(false);
        return ReadRaw();
    }
    switch (m_mimeMode) {
    case MimeReplay: {
        int v = m_word[m_wordPosition++];
        if (m_wordPosition >= m_word.size())
            m_wordEnded = true;
        return v;
    }
    case MimeB:
        if (m_decodedPosition < m_decodedCount)
            return m_decoded[m_decodedPosition++];
        if (!DecodeBase64Group()) {
            FinishWord(true);
            return ReadAfterClosedWord();
        }
        m_decodedPosition = 1;
        return m_decoded[0];
    case MimeQ:
        return QuotedRead();
    default:
        return ReadRaw();
    }
}

bool KanjiGuesser::DecodeBase64Group()
{
    // The word ends with its closing "?=", which a group never reaches into: a short last group
    // counts its missing characters as '='.
    size_t end = m_word.size() - 2;
    if (m_wordPosition >= end)
        return false;
    int g[4];
    for (int i = 0; i < 4; ++i)
        g[i] = m_wordPosition < end ? m_word[m_wordPosition++] : '=';
    m_decodedCount = 0;
    if (g[1] == '=') {
        m_decoded[m_decodedCount++] = g[0];
        return true;
    }
    int v0 = Base64Value(g[0]), v1 = Base64Value(g[1]), v2 = Base64Value(g[2]), v3 = Base64Value(g[3]);
    m_decoded[m_decodedCount++] = (v0 << 2 | v1 >> 4) & 0xFF;
    if (g[2] != '=')
        m_decoded[m_decodedCount++] = ((v1 & 0x0F) << 4 | v2 >> 2) & 0xFF;
    if (g[3] != '=')
        m_decoded[m_decodedCount++] = ((v2 & 0x03) << 6 | v3) & 0xFF;
    return true;
}

int KanjiGuesser::QuotedRead()
{
    for (;;) {
        int b = m_quotedNext != kNoValue ? m_quotedNext : ReadRaw();
        m_quotedNext = kNoValue;
        if (b == kEndOfInput)
            return kEndOfInput;
        if (b == '_')
            return ' ';
        if (b <= 0x20 || b >= 0x7F) {
            m_wordEnded = true;
            return b;
        }
        if (b == '=') {
            int high = ReadRaw();
            if (high == kEndOfInput)
                return kEndOfInput;
            if (high < 0x20) {
                // A soft line break: skip the line end and the blanks after it.
                int after;
                do {
                    after = ReadRaw();
                    if (after == kEndOfInput)
                        return kEndOfInput;
                } while (after <= 0x20);
                m_quotedNext = after;
                continue;
            }
            if (high == 0x20) {
                m_wordEnded = true;
                return ' ';
            }
            int low = ReadRaw();
            if (low == kEndOfInput)
                return kEndOfInput;
            return HexValue(high) << 4 | HexValue(low);
        }
        if (b == '?') {
            int after = ReadRaw();
            if (after == kEndOfInput)
                return kEndOfInput;
            if (after == '=') {
                FinishWord(true);
                return ReadAfterClosedWord();
            }
            m_quotedNext = after;
            return '?';
        }
        return b;
    }
}

void KanjiGuesser::FinishWord(bool closed)
{
    m_mimeMode = MimeNone;
    m_wordEnded = false;
    m_quotedNext = kNoValue;
    SetDecoderWithoutEstablishing(m_rememberedDecoder);
    if (closed)
        m_inputMode = ModeAscii;
}

// White space after a closing "?=" is dropped before another encoded word and otherwise given
// back, however long, from a buffer of its own.
int KanjiGuesser::ReadAfterClosedWord()
{
    std::vector<int> white;
    int ending[3] = {kEndOfInput, kEndOfInput, kEndOfInput};
    for (;;) {
        int b = ReadRaw();
        if (b == ' ' || b == '\t') {
            white.push_back(b);
            continue;
        }
        if (b == '\n' || b == '\r') {
            int b2 = ReadRaw();
            if (b == '\r' && b2 == '\n') {
                int b3 = ReadRaw();
                if (b3 == ' ' || b3 == '\t') {
                    white.push_back(' ');
                    continue;
                }
                ending[0] = b;
                ending[1] = b2;
                ending[2] = b3;
                break;
            }
            if (b == '\n' && (b2 == ' ' || b2 == '\t')) {
                white.push_back(' ');
                continue;
            }
            ending[0] = b;
            ending[1] = b2;
            break;
        }
        ending[0] = b;
        break;
    }
    if (ending[0] == '=')
        white.clear();
    for (int e : ending)
        if (e != kEndOfInput)
            white.push_back(e);
    GiveBack(white);
    return ReadRaw();
}

std::string KanjiGuesser::FinalName() const
{
    if (m_nameState == NameConflict)
        return "BINARY";
    if (m_nameState == NameNone)
        return "ASCII";
    int score = m_candidates[m_current].score;
    bool vendor = (score & (ScoreModelDependent | ScoreCp932Extension)) != 0;
    if (m_name == "Shift_JIS")
        return vendor ? "CP932" : m_name;
    if (m_name == "EUC-JP") {
        if (score & ScoreX0213)
            return "EUC-JIS-2004";
        if (score & ScoreX0212)
            return "EUCJP-MS";
        return vendor ? "CP51932" : m_name;
    }
    if (m_name == "ISO-2022-JP") {
        if (score & ScoreHalfwidthKana)
            return "CP50221";
        return vendor ? "CP50220" : m_name;
    }
    return m_name;
}

} // namespace Kanji
