// Reading blank-separated tokens that may be quoted, with backslash escapes inside quotes: the
// reader of the shared-variable table's "name = value" lines.
#pragma once

#include "framework/Framework.h"

// The next token of source into destination (at most size - 1 characters and a terminator);
// returns the position after the token and the blanks that follow it.
const wchar_t* GetNextToken(wchar_t* destination, const wchar_t* source, int size);

// GetNextToken; with delimiters, a token holding one is cut before the first, and the result is
// then the first delimiter position in the whole source.
const wchar_t* CopyUntilDelimiter(const wchar_t* source, wchar_t* destination, int size, const wchar_t* delimiters);
