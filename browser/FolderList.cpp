#include "browser/FolderList.h"

void FolderList::Load() {}

void FolderList::Save() {}

void FolderList::FillComboBox(CComboBox&) {}

void FolderList::ReadComboBox(CComboBox&) {}
