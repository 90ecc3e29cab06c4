// Shared set-up of the file-operation tests: items with the names, times and sizes a test says,
// without files behind them, and a group file of the test's own.
#pragma once

#include "../catalogue/DocumentTestUtil.h"
#include "fileops/RegExpGroupFile.h"

namespace fileopstest {

using namespace doctest;

// An item standing for a file in C:\pictures, known only by its facts.
struct NamedItem : VyxFile
{
    explicit NamedItem(const wchar_t* name, long long writeTime = 1722744000, int width = 0)
    {
        m_fileName = name;
        m_folder = L"C:\\pictures";
        m_path = m_folder + L"\\" + name;
        m_writeTime = writeTime;
        m_width = width;
    }
};

// The named groups kept in a scratch file for one test.
struct ScratchGroups
{
    ScratchFolder folder{L"groups"};
    RegExpGroupFile file;
    ScratchGroups() { file.SetPath((folder / L"RegExpGroup.ini").c_str()); }
    void Write(const wchar_t* name, std::initializer_list<const wchar_t*> patterns) const
    {
        CStringArray list;
        for (const wchar_t* pattern : patterns)
            list.Add(pattern);
        file.WriteGroup(name, list);
    }
};

// A value of the application settings file, empty when missing.
inline CString ReadSettingText(const wchar_t* section, const wchar_t* key)
{
    CString value;
    GetAppIniString(value, section, key, L"");
    return value;
}

inline std::vector<CString> Texts(const CStringArray& array)
{
    std::vector<CString> texts;
    for (INT_PTR i = 0; i < array.GetSize(); ++i)
        texts.push_back(array[i]);
    return texts;
}

} // namespace fileopstest
