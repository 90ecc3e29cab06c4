#include "foundation/VyxText.h"

#include "common/ScratchFolder.h"

#include <gtest/gtest.h>

TEST(VyxText, LoadsLinesAndKeepsALastLineWithoutLineEnd)
{
    ScratchFolder folder;
    std::wstring path = folder / L"script.txt";
    ScratchFolder::WriteFile(path, "first\r\n\x93\xFA\x96\x7B\r\n\r\nlast");
    VyxText text;
    EXPECT_EQ(0, text.LoadFile(path.c_str()));
    EXPECT_EQ(4, text.GetLineCount());
    CString line;
    ASSERT_TRUE(text.GetLine(line));
    EXPECT_STREQ(L"first", line.GetString());
    ASSERT_TRUE(text.GetLine(line));
    EXPECT_STREQ(L"日本", line.GetString());
    VyxString empty;
    ASSERT_TRUE(text.GetLine(empty));
    EXPECT_STREQ(L"", empty.GetText());
    ASSERT_TRUE(text.GetLine(line));
    EXPECT_STREQ(L"last", line.GetString());
    EXPECT_FALSE(text.GetLine(line));
    EXPECT_STREQ(L"last", line.GetString());
    EXPECT_FALSE(text.GetLine(line));
    EXPECT_STREQ(L"first|日本||last", text.GetText(L"|"));
    EXPECT_EQ(0, text.LoadFile(path.c_str()));
    ASSERT_TRUE(text.GetLine(line));
    EXPECT_STREQ(L"first", line.GetString());
}

TEST(VyxText, LoadFileReportsAFileThatCannotBeOpened)
{
    ScratchFolder folder;
    VyxText text;
    text.SetText(L"a,b", L',');
    EXPECT_EQ(-1, text.LoadFile((folder / L"missing.txt").c_str()));
    EXPECT_EQ(0, text.GetLineCount());
    ScratchFolder::WriteFile(folder / L"empty.txt", "");
    EXPECT_EQ(0, text.LoadFile((folder / L"empty.txt").c_str()));
    EXPECT_EQ(0, text.GetLineCount());
}

TEST(VyxText, SaveFileWritesAnsiLines)
{
    ScratchFolder folder;
    VyxText text;
    EXPECT_EQ(2, text.SetText(L"日本,\"x,y\"", L','));
    std::wstring path = folder / L"out.txt";
    EXPECT_EQ(0, text.SaveFile(path.c_str()));
    EXPECT_EQ("\x93\xFA\x96\x7B\r\nx,y\r\n", ScratchFolder::ReadFile(path));
}

TEST(VyxText, SaveFileReportsAFileThatCannotBeWritten)
{
    ScratchFolder folder;
    VyxText text;
    text.SetText(L"a", L',');
    EXPECT_EQ(-1, text.SaveFile((folder / L"no folder\\out.txt").c_str()));
    EXPECT_EQ(-1, text.SaveFile(folder.Path().c_str()));
    EXPECT_EQ(-1, text.SaveFile(nullptr));
}

TEST(VyxText, EmptyTextHasNoLines)
{
    VyxText text;
    EXPECT_EQ(0, text.SetText(nullptr, L','));
    EXPECT_EQ(0, text.SetText(L"", L','));
    EXPECT_STREQ(L"", text.GetText(L"\n"));
}
