// The history lists kept in the settings file. Only what the display filter dialog calls stands
// here yet, and it keeps nothing: a list loads empty and saving writes nothing.
#pragma once

#include "framework/Framework.h"

class FolderList : public CStringArray
{
public:
    explicit FolderList(int kind = -1) : m_kind(kind) {}

    void Load();
    void Save();
    void FillComboBox(CComboBox& combo);
    void ReadComboBox(CComboBox& combo);

    int m_kind;
};
