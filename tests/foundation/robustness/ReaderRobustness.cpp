// The encoding guesser on random byte soups made of the pieces its state machine reacts to:
// byte-order marks, escape sequences, encoded-word headers and endings, line ends, long blank runs
// and 8-bit bytes. Run under Wine's heap checking; any overrun fails the run.
#include "foundation/kanji/GuessCodePage.h"
#include "foundation/kanji/KanjiGuesser.h"

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
};

std::string RandomSoup(std::mt19937& rng)
{
    std::string s;
    int parts = std::uniform_int_distribution<int>(0, 300)(rng);
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

} // namespace

TEST(GuessCodePageRobustness, RandomInputsGiveACodePageAndStayInBounds)
{
    std::mt19937 rng(20240611);
    for (int i = 0; i < 300; ++i) {
        std::string soup = RandomSoup(rng);
        // An exact-size heap copy, so reading one byte too far would touch foreign memory.
        std::unique_ptr<unsigned char[]> bytes(new unsigned char[soup.size() + 1]);
        std::copy(soup.begin(), soup.end(), bytes.get());
        bytes[soup.size()] = 0;
        for (unsigned acp : {932u, 1252u}) {
            int guess = Kanji::GuessCodePageForAnsiCodePage(bytes.get(), static_cast<int>(soup.size()) + 1, acp);
            EXPECT_TRUE(guess == -1 || guess == 0 || guess == 932 || guess == 20932 || guess == 51932 ||
                        guess == 50220 || guess == 50221 || guess == 65001 || guess == 1200 || guess == 12000)
                << "iteration " << i << " gave " << guess;
        }
        GuessCodePage(bytes.get(), static_cast<int>(soup.size()));
    }
}
