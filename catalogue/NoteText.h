// A note's text as the note file holds it and as the user typed it, for every writer and reader of
// notes. Stored, a line break is the two characters "\" and "n", and a backslash typed before "n",
// before another backslash or before a line break is doubled; read, "\\" gives one backslash and
// "\n" a line break, and a backslash before anything else stays as it is, so that a note written
// before the rule reads as it did unless it holds "\\".
#pragma once

#include "framework/Framework.h"

class NoteText
{
public:
    // The stored form of a typed text, whose line breaks may be CR LF, CR or LF.
    static CString Stored(const wchar_t* typed);
    // The typed text of a stored note, each line break written as lineBreak.
    static CString Typed(const wchar_t* stored, const wchar_t* lineBreak = L"\r\n");
};
