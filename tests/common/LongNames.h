// The longest names a message can carry: a name of 255 characters and a path of 260, each of the
// widest letter and of full-width characters (a column count bounds neither in pixels).
#pragma once

#include "framework/Framework.h"

#include <vector>

namespace longnames {

struct Inserts
{
    const char* what;
    CString name;  // 255 characters
    CString other; // another name of 255 characters, as long as name
    CString path;  // 260 characters: a drive, a folder of 250 and a name
    CString named; // 260 characters: a short folder and name; other stands beside it
};

inline Inserts Of(const char* what, wchar_t letter)
{
    const CString name = CString(letter, 251) + L".jpg";
    const CString other = CString(letter, 250) + L"2.jpg";
    const CString path = L"C:\\" + CString(letter, 250) + L"\\" + CString(letter, 2) + L".jpg";
    return {what, name, other, path, L"C:\\x\\" + name};
}

inline std::vector<Inserts> All()
{
    return {Of("wide letters", L'W'), Of("full-width characters", L'漢')};
}

} // namespace longnames
