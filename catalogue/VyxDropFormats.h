// The formats the program's drags and its clipboard carry: the file-drop list (CF_HDROP, the
// platform's DROPFILES block), "CF_VyxDROP" (the folder a drag of the program's own came from),
// "CF_VyxNOTE" (one note per listed file, in the list's order) and "Preferred DropEffect".
// Blocks are written here and read back here, every read bounded by the block's own size,
// since a drop from another program may hold anything.
#pragma once

#include "framework/Framework.h"

#include <vector>

class VyxDropFormats
{
public:
    // Registered by name at each use, as the platform keeps the ids.
    static CLIPFORMAT DropFolderFormat();
    static CLIPFORMAT NoteFormat();
    static CLIPFORMAT PreferredEffectFormat();
    // The longest name a drop list may give; a longer one is refused, never cut.
    static constexpr int kMaxNameLength = 520;

    // Movable, shareable, zero-filled blocks; null when no memory.
    // CF_VyxDROP: the folder, its NUL and one more NUL.
    static HGLOBAL MakeFolderBlock(LPCWSTR folder);
    // CF_HDROP: the 20-byte header (list offset 20, the point, non-client 0, wide 1), each name
    // with its NUL, and the list's closing NUL.
    static HGLOBAL MakeFileList(const std::vector<CString>& names, POINT point);
    // CF_VyxNOTE: each note with its NUL (an empty note a lone NUL), then one more NUL.
    static HGLOBAL MakeNoteList(const std::vector<CString>& notes);
    static HGLOBAL MakeEffectBlock(DWORD effect);

    // The names of a DROPFILES block of `size` bytes, wide or in the system code page, up to the
    // first empty name or the block's end. Names longer than kMaxNameLength and a name that runs
    // past the end are left out and counted in *refused.
    static std::vector<CString> ReadFileList(const void* data, SIZE_T size, int* refused = nullptr);
    // Up to `count` notes; a note list that ends early (or a note without its NUL) gives the
    // later names empty notes.
    static std::vector<CString> ReadNoteList(const void* data, SIZE_T size, size_t count);
    // The folder of a CF_VyxDROP block; empty when the block holds no terminated text.
    static CString ReadFolderBlock(const void* data, SIZE_T size);
    // The first 32-bit value; false when the block is shorter.
    static bool ReadEffect(const void* data, SIZE_T size, DWORD& effect);

    // The same, fetched from a data object as global memory.
    static bool HasFileList(COleDataObject* data);
    static bool HasDropFolder(COleDataObject* data);
    static std::vector<CString> GetFileList(COleDataObject* data, int* refused = nullptr);
    static std::vector<CString> GetNoteList(COleDataObject* data, size_t count);
    static CString GetDropFolder(COleDataObject* data);
    // The preferred effect when the data names one, else the default.
    static DWORD GetPreferredEffect(COleDataObject* data, DWORD defaultEffect);
};
