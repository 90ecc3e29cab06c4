// What makes two paths one file or folder whatever their spelling (an 8.3 name, another drive
// letter or a network path onto the same disk): the volume's serial number and the file index.
#pragma once

#include "framework/Framework.h"

class FileIdentity
{
public:
    // False when the path names nothing that can be opened.
    bool Read(const wchar_t* path);
    bool Read(HANDLE file);
    bool IsKnown() const { return m_known; }
    bool operator==(const FileIdentity& other) const
    {
        return m_known && other.m_known && m_volume == other.m_volume && m_index == other.m_index;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }

    // Both paths name the same existing file or folder.
    static bool Same(const wchar_t* a, const wchar_t* b);

private:
    bool m_known = false;
    DWORD m_volume = 0;
    ULONGLONG m_index = 0;
};
