// The names in the folders a copy job writes into, each folder listed once a job: a name the
// listing lacks needs no look-up of its own before its copy (under Wine a look-up of a missing
// name reads the whole folder). The copy of such a name is made so that it never replaces a file
// that came meanwhile.
#pragma once

#include "framework/Framework.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

class TargetFolderNames
{
public:
    // False only when the folder's listing, and what the job wrote there since, lacks the name.
    bool MayHold(const CString& path);
    void Add(const CString& path);
    void Forget() { m_folders.clear(); }

private:
    std::unordered_set<std::wstring>& Listed(const CString& folder);

    std::unordered_map<std::wstring, std::unordered_set<std::wstring>> m_folders;
};
