// The host symbolic links the test run makes before the tests that delete folder trees and clean
// up (LinkFixture.cmake, a CTest fixture): a user's link to the shared folder "outside", which
// holds keep.txt, and links named like the program's temporaries.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

// Whether the path is a linked folder as Wine shows a host link: a folder with the reparse-point
// bit. INVALID_FILE_ATTRIBUTES has every bit set and is never one.
inline bool IsLinkedFolderThere(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

#ifdef VYX_LINK_FIXTURE
// The fixture's folder as a Windows path.
inline std::wstring LinkFixtureRoot()
{
    std::wstring root = L"Z:" VYX_LINK_FIXTURE;
    std::replace(root.begin(), root.end(), L'/', L'\\');
    return root;
}

// The user's folder of the fixture, which holds "link" (its tree is the test's to delete; a
// link cannot be moved out of it: Wine's MoveFileW moves the folder the link names). Empty when
// the link is not there (the program run without CTest's fixture).
inline std::wstring FixtureLinkTree(const wchar_t* user)
{
    std::wstring tree = LinkFixtureRoot() + L"\\" + user;
    return IsLinkedFolderThere(tree + L"\\link") ? tree : std::wstring();
}

inline std::wstring FixtureKeptFile()
{
    return LinkFixtureRoot() + L"\\outside\\keep.txt";
}

// The folder of the links named like the program's temporaries ("notes" beside a note file,
// "copies" in a copy's target folder), with what they lead to in "marked"; empty when the
// entry given is not there (the program run without CTest's fixture).
inline std::wstring FixtureTemporaryLinks(const wchar_t* folder, const wchar_t* entry)
{
    std::wstring links = LinkFixtureRoot() + L"\\" + folder;
    return GetFileAttributesW((links + L"\\" + entry).c_str()) != INVALID_FILE_ATTRIBUTES ? links : std::wstring();
}

inline std::wstring FixtureMarked(const wchar_t* name)
{
    return LinkFixtureRoot() + L"\\marked\\" + name;
}
#endif
