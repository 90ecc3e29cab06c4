// One file of the batch rename: where it stood when the list was made, its item and the name it
// is to get.
#pragma once

#include "framework/Framework.h"

class VyxFile;

struct RenameRow
{
    // The list's first order, which sorting returns to.
    int initialPosition = 0;
    // The document's item, not owned.
    VyxFile* item = nullptr;
    // Kept whole however long it grows: a name too long for a file is refused when renaming,
    // never cut.
    CString newName;
};
