// The record behind every item of the folder tree, and the shell's part of it for items built
// from the shell namespace.
#pragma once

#include <shlobj.h>

class VyxFile;

// Allocated with the shell's task allocator.
struct ShellItemData
{
    LPSHELLFOLDER parentFolder; // with a reference of its own; null without a parent folder
    LPITEMIDLIST identifier;    // one-item relative identifier
    LPITEMIDLIST fullList;      // fully qualified
    ULONG attributes;           // as answered to the query 0xE0000000
};

enum FolderTreeItemKind { FolderTreeFolder = 1, FolderTreeArchive = 2, FolderTreeArchiveMember = 3 };

// Owned by the tree and released when the control deletes its item.
struct FolderTreeItem
{
    ShellItemData* shell = nullptr;
    int kind = FolderTreeFolder;
    VyxFile* file = nullptr; // kind 3: a copy of the document's item for the member
    HTREEITEM item = nullptr;
};
