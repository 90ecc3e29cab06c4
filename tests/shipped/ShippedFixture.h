// What the shipped program's tests share: the folder of pictures it is started on, and where its
// panes and their items are on the screen.
#pragma once

#include <windows.h>

#include <string>

class ShippedProgram;

// A folder of four camera pictures (640 x 480, Exif and all) under names with "_", ".", "~" and
// "&", inside a folder whose name holds them too; its path.
std::wstring MakePictureFolder(const std::wstring& parent);

// The panes of the main window: the thumbnail grid (the pane beside the file list), the file
// list and the folder tree; null when not found.
HWND ThumbnailView(HWND main);
HWND FileList(HWND main);
HWND FolderTree(HWND main);

// A point inside the grid's first cell, in the grid's client coordinates.
POINT FirstCell();
// One picture selected (the first one, clicked in the grid, unless one is selected already), or
// all of them with Ctrl+A; false when the list never showed it so.
bool SelectFirstPicture(const ShippedProgram& program);
bool SelectAllPictures(const ShippedProgram& program, int count);
// The middle of the list's first row, and of the tree's selected item, in their client
// coordinates; false when the program did not say.
bool FirstRow(const ShippedProgram& program, HWND list, POINT& point);
bool SelectedTreeItem(const ShippedProgram& program, HWND tree, POINT& point);

// The pixel size a JPEG file declares in its frame header; false when it has none.
bool JpegSize(const std::wstring& path, int& width, int& height);
