// The clipboard blocks of a copy or cut of files: their notes ("CF_VyxNOTE", one entry per file so
// that the list stays parallel to the files), their paths as a drop list (CF_HDROP) and as lines of
// text, and the drop effect ("Preferred DropEffect"). The clipboard takes all of them or none.
#pragma once

#include "framework/Framework.h"

#include <vector>

class ClipboardFileList
{
public:
    void Add(const CString& path, const CString& note);
    int GetCount() const { return static_cast<int>(m_paths.size()); }

    // Opens and empties the clipboard, then sets, in this order, the notes, the drop list and the
    // effect (when withFiles), the text (when withText and a file was added) and the picture (when
    // given; the clipboard or this call takes it over). False, with the clipboard left empty and
    // every block freed, when the clipboard cannot be opened or will not take a block.
    bool Place(DWORD effect, bool withFiles, bool withText, HGLOBAL picture) const;

    // The blocks themselves (GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE), null when memory runs out.
    HGLOBAL MakeNotes() const;
    HGLOBAL MakeDropList() const;
    HGLOBAL MakeText() const;
    static HGLOBAL MakeEffect(DWORD effect);

private:
    std::vector<CString> m_paths;
    std::vector<CString> m_notes;
};
