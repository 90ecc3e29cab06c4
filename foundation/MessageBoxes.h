// Every message box of the program goes through ShowMessageBox: its text's lines are broken,
// measured in the font the box draws its text in, so that the box fits the work area.
#pragma once

#include "framework/Framework.h"

#include <functional>

// A box of the application (its caption and owner, as AfxMessageBox gives them).
int ShowMessageBox(const wchar_t* text, UINT type = MB_OK, UINT helpId = 0);
// The same with a text of the string table.
int ShowMessageBox(UINT textId, UINT type = MB_OK);
// A box of the owner and caption given (null: the platform's caption for an error).
int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// The text as the box is given it: every line within the width the box keeps its text in and
// within the work area; a text too tall for the work area loses lines from its middle, marked.
CString FitMessageText(const CString& text);
// How many of a list's first items a box shows whole: most at the most, one at the least, the
// text of the first `told` items made by compose.
size_t ItemsShownWhole(size_t most, const std::function<CString(size_t told)>& compose);
