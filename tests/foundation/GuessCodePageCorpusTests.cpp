// Accuracy of the encoding guesser on a corpus of Japanese texts (tests/foundation/data/kanji,
// made with iconv from corpus.txt), printed per encoding and length.
#include "foundation/kanji/GuessCodePage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string DataPath(const std::string& name)
{
    std::string path = std::string(VYX_FOUNDATION_TEST_DATA) + "/kanji/" + name;
    return path[0] == '/' ? "Z:" + path : path; // the checkout as Wine sees it
}

std::vector<std::string> ReadLines(const std::string& name)
{
    std::ifstream in(DataPath(name), std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i] == '\n') {
            lines.push_back(all.substr(start, i - start));
            start = i + 1;
        }
    }
    return lines;
}

struct Encoding
{
    const char* label;
    const char* file;
    int codePages[3]; // the guesses that read the text right
};

const Encoding kEncodings[] = {
    {"Shift_JIS", "corpus-sjis.txt", {932, 932, 932}},
    {"EUC-JP", "corpus-eucjp.txt", {20932, 51932, 51932}},
    {"ISO-2022-JP", "corpus-iso2022jp.txt", {50220, 50221, 50222}},
    {"UTF-8", "corpus-utf8.txt", {65001, 65001, 65001}},
};

enum LengthClass { Short, Middle, Long, ClassCount };
const char* const kClassLabels[ClassCount] = {"8-40 bytes", "41-199 bytes", "200+ bytes"};

LengthClass ClassOf(size_t bytes)
{
    if (bytes <= 40)
        return Short;
    return bytes < 200 ? Middle : Long;
}

} // namespace

TEST(GuessCodePageCorpus, LongTextsAlwaysAndShortNamesMostlyGuessedRight)
{
    std::printf("%-12s %-14s %8s %8s\n", "encoding", "length", "right", "rate");
    for (const Encoding& e : kEncodings) {
        std::vector<std::string> texts = ReadLines(e.file);
        ASSERT_GE(texts.size(), 100u) << e.file;
        int right[ClassCount] = {}, total[ClassCount] = {};
        for (size_t line = 0; line < texts.size(); ++line) {
            const std::string& text = texts[line];
            if (text.size() < 8)
                continue;
            // With its terminator, as the code-page conversion hands texts over.
            int guess = GuessCodePage(text.c_str(), static_cast<int>(text.size()) + 1);
            bool ok = guess == e.codePages[0] || guess == e.codePages[1] || guess == e.codePages[2];
            LengthClass c = ClassOf(text.size());
            ++total[c];
            right[c] += ok;
            if (!ok && c == Long)
                ADD_FAILURE() << e.label << ": a text of " << text.size() << " bytes guessed as " << guess;
            if (!ok)
                std::printf("  missed: %s text %u (%u bytes) guessed as %d\n", e.label, static_cast<unsigned>(line + 1),
                            static_cast<unsigned>(text.size()), guess);
        }
        for (int c = 0; c < ClassCount; ++c) {
            if (!total[c])
                continue;
            double rate = 100.0 * right[c] / total[c];
            std::printf("%-12s %-14s %4d/%-4d %6.1f%%\n", e.label, kClassLabels[c], right[c], total[c], rate);
        }
        EXPECT_GT(total[Long], 20) << e.label;
        EXPECT_GT(total[Short], 50) << e.label;
        EXPECT_GE(right[Short] * 10, total[Short] * 9) << e.label << ": short names below 90%";
    }
}
