#include "foundation/VyxCode.h"

#include "common/PageEdge.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kSjisName[] = "\x8E\xCA\x90\x5E.jpg";                 // 写真.jpg in Shift_JIS
const char kEucName[] = "\xBC\xCC\xBF\xBF.jpg";                  // the same in EUC-JP
const char kUtf8Name[] = "\xE5\x86\x99\xE7\x9C\x9F.jpg";         // and in UTF-8
const char kJisName[] = "\x1B$B<L??\x1B(B.jpg";                  // and in ISO-2022-JP
const char kEucX0212Name[] = "\xA4\xEB\x8F\xB0\xA1\xBC\xCC.jpg"; // EUC-JP with a JIS X 0212 kanji

} // namespace

TEST(VyxCode, SameCodePageCopiesTheBytesAsTheyAre)
{
    VyxCode code;
    const char bytes[] = "ab\0cd";
    const char* out = code.ConvertBuffer(bytes, 5, 932, 932);
    EXPECT_EQ(0, memcmp(out, bytes, 5));
    EXPECT_EQ(5, code.GetResultLength());
    EXPECT_STREQ("photo.jpg", code.Convert("photo.jpg", -1, 0));
    EXPECT_EQ(10, code.GetResultLength());
}

TEST(VyxCode, GuessedJapaneseNamesBecomeAnsiText)
{
    for (const char* name : {kSjisName, kEucName, kUtf8Name, kJisName}) {
        VyxCode code;
        EXPECT_STREQ(kSjisName, code.Convert(name, -1, 0)) << name;
        EXPECT_EQ(static_cast<int>(sizeof kSjisName), code.GetResultLength());
    }
}

TEST(VyxCode, CodePagesThePlatformLacksAreReadThroughEucJp)
{
    VyxCode code;
    // Guessed 51932; the JIS X 0212 kanji has no Shift_JIS form, the rest converts.
    std::string out = code.Convert(kEucX0212Name, -1, 0);
    EXPECT_EQ(0u, out.find("\x82\xE9"));
    EXPECT_NE(std::string::npos, out.find("\x8E\xCA.jpg"));
    EXPECT_STREQ(kSjisName, code.Convert(kJisName, 50221, 0));
}

TEST(VyxCode, UnplaceableTextGivesTheEmptyText)
{
    VyxCode code;
    code.Convert("abc", 0, CP_UTF8);
    EXPECT_STREQ("", code.Convert("\x1B$B0!\x1B(B\x82\xA0", -1, 0));
    EXPECT_EQ(0, code.GetResultLength());
    VyxCode fresh;
    EXPECT_STREQ("", fresh.ConvertBuffer(nullptr, 10, 932, 0));
    EXPECT_STREQ("", fresh.Convert(nullptr, 932, 0));
}

TEST(VyxCode, ConvertBufferNeverReadsPastLength)
{
    // A fixed name field filled to its last byte, with no terminator.
    std::string field(200, 'a');
    field.replace(0, 4, "\x8E\xCA\x90\x5E");
    PageEdge<char> guarded(field.data(), field.size());
    VyxCode code;
    const char* out = code.ConvertBuffer(guarded.get(), 200, -1, 0);
    EXPECT_EQ(field, std::string(out));
    EXPECT_EQ(201, code.GetResultLength());
    out = code.ConvertBuffer(guarded.get(), 200, 932, 932);
    EXPECT_EQ(field, std::string(out)); // terminated although the source was not
    out = code.ConvertBuffer(guarded.get(), 200, 932, CP_UTF8);
    EXPECT_EQ(0, strncmp(out, "\xE5\x86\x99\xE7\x9C\x9F", 6));
}

TEST(VyxCode, ResultEndsInATerminatorWhereThePlatformDropsIt)
{
    // A lone UTF-8 lead byte before the terminator: the platform's decoder takes both as one bad
    // sequence.
    for (const char* text : {"\xE3", "a\xC3", "\xF0\x9F\x98"}) {
        VyxCode code;
        const char* result = code.Convert(text, CP_UTF8, 932);
        ASSERT_GT(code.GetResultLength(), 0) << text;
        EXPECT_EQ('\0', result[code.GetResultLength() - 1]) << text;
    }
}

TEST(VyxCode, WideConversionsCountCharacters)
{
    VyxCode code;
    EXPECT_STREQ(L"写真.jpg", code.ToUnicode(kSjisName, 932));
    EXPECT_EQ(7, code.GetResultLength());
    EXPECT_STREQ(kUtf8Name, code.FromUnicode(L"写真.jpg", CP_UTF8));
    EXPECT_EQ(11, code.GetResultLength());
    EXPECT_STREQ(kUtf8Name, code.AnsiToUtf8(kSjisName));
    EXPECT_STREQ(kSjisName, code.Utf8ToAnsi(kUtf8Name));
}

TEST(VyxCode, MultiByteToUnicodeIntoItsOwnOrASeparateBuffer)
{
    wchar_t wide[16];
    EXPECT_EQ(4, MultiByteToUnicode("abc", wide, 16));
    EXPECT_STREQ(L"abc", wide);
    union {
        char narrow[16];
        wchar_t wide[8];
    } area = {"abc"};
    EXPECT_EQ(4, MultiByteToUnicode(area.narrow, nullptr, 8));
    EXPECT_STREQ(L"abc", area.wide);
    char back[16];
    EXPECT_EQ(4, UnicodeToMultiByte(L"abc", back, 16));
    EXPECT_STREQ("abc", back);
    wchar_t inPlace[8] = L"写真";
    EXPECT_EQ(5, UnicodeToMultiByte(inPlace, reinterpret_cast<char*>(inPlace), 16));
    EXPECT_STREQ(kSjisName, std::string(reinterpret_cast<char*>(inPlace)).append(".jpg").c_str());
}

TEST(VyxCode, LongNameFailsInsteadOfOverrunningTheDestination)
{
    // A dropped ANSI name longer than the 521-character buffer of its caller.
    std::string name(600, 'n');
    wchar_t buffer[521 + 4];
    for (wchar_t& c : buffer)
        c = L'#';
    EXPECT_EQ(0, MultiByteToUnicode(name.c_str(), buffer, 521));
    EXPECT_EQ(L'\0', buffer[0]);
    EXPECT_EQ(L'#', buffer[521]);
    char narrow[10];
    EXPECT_EQ(0, UnicodeToMultiByte(L"写真写真写真.jpg", narrow, 10));
    EXPECT_EQ('\0', narrow[0]);
    // In place, a buffer too small for the wide form is left as it was.
    char area[6] = "abcde";
    EXPECT_EQ(0, MultiByteToUnicode(area, nullptr, 3));
    EXPECT_STREQ("abcde", area);
}

TEST(VyxCode, OnlyCharactersOfTheCodePageItselfFit)
{
    EXPECT_TRUE(FitsCodePage(L"photo 写真 ｶﾀｶﾅ ～.jpg", -1, 932));
    EXPECT_TRUE(FitsCodePage(L"", -1, 932));
    // Characters the conversion would turn into look-alikes or "?" do not.
    for (const wchar_t* text : {L"café", L"☃", L"\xD83D\xDE00", L"a\x0301"})
        EXPECT_FALSE(FitsCodePage(text, -1, 932)) << text;
    // The length counts: the character after it is not looked at.
    EXPECT_TRUE(FitsCodePage(L"caf\x00E9", 3, 932));
}
