#include "foundation/CCommandLineInfoEx.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Feeds parameters as the framework's command-line parser does: a leading '/' or '-' marks a
// switch and is removed.
void Parse(CCommandLineInfoEx& info, const std::vector<const wchar_t*>& args)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const wchar_t* a = args[i];
        bool flag = a[0] == L'/' || a[0] == L'-';
        info.ParseParam(flag ? a + 1 : a, flag, i + 1 == args.size());
    }
}

} // namespace

TEST(CCommandLineInfoEx, SwitchesTakeTheirValueOrTrue)
{
    CCommandLineInfoEx info;
    Parse(info, {L"/a", L"/b", L"-x", L"v", L"C:\\pics\\\"", L"/last"});
    CString value;
    EXPECT_TRUE(info.GetOption(L"a", value));
    EXPECT_STREQ(L"TRUE", value.GetString());
    EXPECT_TRUE(info.GetOption(L"b", value));
    EXPECT_STREQ(L"TRUE", value.GetString());
    EXPECT_TRUE(info.GetOption(L"x", value));
    EXPECT_STREQ(L"v", value.GetString());
    EXPECT_TRUE(info.GetOption(L"last", value));
    EXPECT_STREQ(L"TRUE", value.GetString());
    EXPECT_FALSE(info.GetOption(L"X", value));
    EXPECT_FALSE(info.GetOption(L"v", value));
    // The first plain parameter is still the file to open.
    EXPECT_STREQ(L"v", info.m_strFileName.GetString());
}

TEST(CCommandLineInfoEx, TrailingQuoteOfAValueIsRemoved)
{
    CCommandLineInfoEx info;
    Parse(info, {L"/folder", L"C:\\pics\\\""});
    CString value;
    EXPECT_TRUE(info.GetOption(L"folder", value));
    EXPECT_STREQ(L"C:\\pics\\", value.GetString());
    int number = -1;
    EXPECT_TRUE(info.GetOptionInt(L"folder", &number));
    EXPECT_EQ(0, number);
    Parse(info, {L"-n", L"42"});
    EXPECT_TRUE(info.GetOptionInt(L"n", &number));
    EXPECT_EQ(42, number);
    EXPECT_FALSE(info.GetOptionInt(L"missing", &number));
    EXPECT_EQ(0, number);
}
