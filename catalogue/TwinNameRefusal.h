// Two names of a folder that differ only in letter case are two files under this platform (files
// brought from another system), and once one of them is gone the platform's look-up of its name
// reaches the other. Every file operation on a listed item asks here first: an item whose own name
// is gone while such a twin stands is refused, with a message naming both, never carried out on
// the twin.
#pragma once

#include "framework/Framework.h"

class VyxFilexInfo;

struct TwinNameRefusal
{
    // What the user is told for the item: empty when its own name is there (or no name like it
    // is), and for archive members, which the look-up never reaches.
    static CString For(const VyxFilexInfo& item);
    // The same for a path whose name now leads to otherName.
    static CString Text(const wchar_t* path, const wchar_t* otherName);
};
