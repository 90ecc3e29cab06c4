// The foundation's readers of outside text on hostile bytes: the encoding guesser and the code
// conversion on soups of the pieces its state machine reacts to (byte-order marks, escape
// sequences, encoded-word headers and endings, line ends, long runs, 8-bit bytes), and the token,
// field and text-file readers on mutated lines. Each input sits in a block of its exact size: on
// the guard-page allocator a read one byte too far faults at once.
#include "foundation/TokenReader.h"
#include "foundation/VyxCode.h"
#include "foundation/VyxFieldParser.h"
#include "foundation/VyxText.h"
#include "foundation/kanji/GuessCodePage.h"
#include "foundation/kanji/KanjiGuesser.h"

#include "common/HostileInputs.h"
#include "common/ScratchFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace {

const char* const kPieces[] = {
    "=?UTF-8?B?",
    "=?utf-8?q?",
    "=?ISO-2022-JP?B?",
    "=?SHIFT_JIS?B?",
    "=?EUC-JP?B?",
    "=?ISO-8859-1?Q?",
    "=?US-ASCII?Q?",
    "=?",
    "?=",
    "?",
    "=",
    "==",
    "44GC",
    "GyRCJCIbKEI=",
    "=E3=81=82",
    "=\r\n ",
    "\x1B$B",
    "\x1B$(D",
    "\x1B$(Q",
    "\x1B$(P",
    "\x1B(I",
    "\x1B(B",
    "\x1B&@",
    "\x1B.A",
    "\x1BN",
    "\x1B",
    "\x0E",
    "\x0F",
    "\r\n",
    "\r",
    "\n \t",
    "\xEF\xBB\xBF",
    "\xFE\xFF",
    "\xFF\xFE",
    "\x8F\xB0\xA1",
    "\x8E\xB1",
    "\xE3\x81\x82",
    "\x82\xA0",
    "\xED\x40",
    "\xFA\x40",
    "\xF0\x9F\x98\x80",
    "abc",
    "_",
    "\"",
    "\\",
    ",",
    " ",
    "\t",
};

std::string RandomSoup(std::mt19937& rng, int maxParts)
{
    std::string s;
    int parts = std::uniform_int_distribution<int>(0, maxParts)(rng);
    for (int i = 0; i < parts; ++i) {
        int kind = std::uniform_int_distribution<int>(0, 9)(rng);
        if (kind < 5) {
            s += kPieces[std::uniform_int_distribution<size_t>(0, std::size(kPieces) - 1)(rng)];
        } else if (kind < 8) {
            s += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
        } else if (kind == 8) {
            s.append(std::uniform_int_distribution<size_t>(0, 2000)(rng), ' ');
        } else {
            s.append(std::uniform_int_distribution<size_t>(0, 1500)(rng), 'A');
        }
    }
    return s;
}

// An exact-size copy, terminated or not.
std::unique_ptr<unsigned char[]> Exact(const std::string& text, bool terminated)
{
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[text.size() + (terminated ? 1 : 0)]);
    std::copy(text.begin(), text.end(), bytes.get());
    if (terminated)
        bytes[text.size()] = 0;
    return bytes;
}

// Wide text from a soup: each byte pair a character, an exact-size terminated block.
std::unique_ptr<wchar_t[]> WideExact(const std::string& soup)
{
    size_t n = soup.size() / 2;
    std::unique_ptr<wchar_t[]> text(new wchar_t[n + 1]);
    for (size_t i = 0; i < n; ++i)
        text[i] = static_cast<wchar_t>(static_cast<BYTE>(soup[2 * i]) | static_cast<BYTE>(soup[2 * i + 1]) << 8);
    text[n] = 0;
    return text;
}

} // namespace

TEST(FoundationRobustness, EncodingGuesser)
{
    std::mt19937 rng(20240611);
    const int inputs = hostile::InputsPerReader();
    for (int i = 0; i < inputs; ++i) {
        std::string soup = RandomSoup(rng, 120);
        auto bytes = Exact(soup, true);
        unsigned acp = i % 2 ? 932u : 1252u;
        int guess = Kanji::GuessCodePageForAnsiCodePage(bytes.get(), static_cast<int>(soup.size()) + 1, acp);
        EXPECT_TRUE(guess == -1 || guess == 0 || guess == 932 || guess == 20932 || guess == 51932 || guess == 50220 ||
                    guess == 50221 || guess == 65001 || guess == 1200 || guess == 12000)
            << "input " << i << " gave " << guess;
        auto unterminated = Exact(soup, false);
        GuessCodePage(unterminated.get(), static_cast<int>(soup.size()));
    }
    hostile::Report("encoding guesser", inputs);
}

TEST(FoundationRobustness, CodeConversion)
{
    std::mt19937 rng(77);
    const int inputs = hostile::InputsPerReader();
    const int pages[] = {-1, 0, 932, 20932, 50220, 65001, 1200, 12345};
    for (int i = 0; i < inputs; ++i) {
        std::string soup = RandomSoup(rng, 40);
        auto bytes = Exact(soup, false); // a fixed field: no terminator to stop at
        VyxCode code;
        const char* result = code.ConvertBuffer(bytes.get(), static_cast<int>(soup.size()), pages[i % 8],
                                                pages[(i / 8) % 8 == 0 ? 1 : (i / 8) % 8]);
        ASSERT_NE(nullptr, result);
        EXPECT_LE(std::strlen(result) + 1, static_cast<size_t>(code.GetResultLength() + 1) * 4 + 1);
    }
    hostile::Report("code conversion", inputs);
}

TEST(FoundationRobustness, TokenAndFieldReaders)
{
    std::mt19937 rng(99);
    const int inputs = hostile::InputsPerReader();
    for (int i = 0; i < inputs; ++i) {
        auto text = WideExact(RandomSoup(rng, 30));
        size_t length = wcslen(text.get());
        // Token readers into a destination of the declared size only.
        int size = 1 + i % 40;
        std::unique_ptr<wchar_t[]> token(new wchar_t[size]);
        for (const wchar_t* at = text.get(); *at;) {
            const wchar_t* next = GetNextToken(token.get(), at, size);
            EXPECT_LT(wcslen(token.get()), static_cast<size_t>(size));
            if (next <= at)
                break;
            at = next;
        }
        CopyUntilDelimiter(text.get(), token.get(), size, L",;");
        // Field parser: the output holds the text's length + 1.
        std::unique_ptr<wchar_t[]> field(new wchar_t[length + 1]);
        VyxFieldParser parser(static_cast<unsigned>(i % 8));
        for (int index = 0; index < 4; ++index)
            parser.GetField(field.get(), text.get(), index, i % 3 ? L"," : L"\r\n");
        parser.GetFieldByChar(field.get(), text.get(), i % 5, L' ');
    }
    hostile::Report("token and field readers", inputs);
}

TEST(FoundationRobustness, TextFiles)
{
    ScratchFolder folder;
    std::wstring path = folder / L"hostile.txt";
    std::mt19937 rng(5);
    const int inputs = hostile::InputsPerReader();
    for (int i = 0; i < inputs; ++i) {
        ASSERT_TRUE(ScratchFolder::WriteFile(path, RandomSoup(rng, 60)));
        VyxText text;
        EXPECT_EQ(0, text.LoadFile(path.c_str()));
        CString line;
        while (text.GetLine(line))
            EXPECT_EQ(-1, line.Find(L'\n'));
    }
    hostile::Report("text files", inputs);
}
