// A note's text as the note file holds it and as the user typed it: every character typed comes
// back, and a note written before reads as it did unless it holds "\\".
#include <gtest/gtest.h>

#include "catalogue/NoteText.h"
#include "catalogue/VyxFile.h"

namespace {

struct Row
{
    const wchar_t* typed;
    const wchar_t* stored;
};

} // namespace

TEST(NoteText, EveryCharacterTypedComesBackAndOnlyABackslashBeforeNOrABackslashIsDoubled)
{
    const Row rows[] = {
        {L"C:\\foo", L"C:\\foo"},
        {L"D:\\nikon\\new\\写真", L"D:\\\\nikon\\\\new\\写真"},
        {L"一行目\r\n二行目", L"一行目\\n二行目"},
        {L"\\\\server\\share", L"\\\\\\server\\share"},
        {L"a\\\\nb", L"a\\\\\\\\nb"},
        // Before a line break, whose stored form begins with a backslash.
        {L"末尾\\\r\n次", L"末尾\\\\\\n次"},
        {L"末尾\\", L"末尾\\"},
        {L"\\n\\", L"\\\\n\\"},
        {L"", L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(CStringA(row.typed).GetString());
        EXPECT_EQ(CString(row.stored), NoteText::Stored(row.typed));
        EXPECT_EQ(CString(row.typed), NoteText::Typed(row.stored));
    }
    // A pasted text may break its lines with a lone CR or LF.
    EXPECT_EQ(CString(L"a\\nb\\nc"), NoteText::Stored(L"a\rb\nc"));
}

TEST(NoteText, ANoteWrittenBeforeReadsAsItDidUnlessItHoldsTwoBackslashes)
{
    const Row rows[] = {
        {L"C:\\foo\\bar", L"C:\\foo\\bar"},
        {L"海の\r\n夕日", L"海の\\n夕日"},
        {L"a\\tb\\", L"a\\tb\\"},
        {L"\\server", L"\\\\server"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CString(row.typed), NoteText::Typed(row.stored)) << CStringA(row.stored).GetString();
}

// A note put into a text by its macro reads as typed there too: on one line (a report, a title) a
// line break is written "\n" as it always was, in a caption or a drawn text it breaks the line.
TEST(NoteText, ANotePutInByItsMacroReadsAsTyped)
{
    VyxFile item(L"C:\\pictures\\a.jpg");
    item.SetNoteText(NoteText::Stored(L"D:\\nikon\\new\r\n二行目"));
    EXPECT_EQ(CString(L"[D:\\nikon\\new\\n二行目]"), item.ExpandMacros(L"[$(Comment)]"));
    EXPECT_EQ(CString(L"[D:\\nikon\\new\r\n二行目]"), item.ExpandMacros(L"[$(Note)]", L"\r\n"));
}
