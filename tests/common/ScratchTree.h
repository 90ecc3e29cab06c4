// Removing a test's scratch tree, independent of the program's own deletion (which the tests
// exercise).
#pragma once

#include <string>

// Removes the folder and everything in it, read-only entries and names that end in a dot or a
// blank included. A linked folder (a reparse point: a host link or a junction) is neither entered
// nor removed, so nothing outside the tree is ever deleted; the folders holding one stay.
void RemoveTree(const std::wstring& folder);
