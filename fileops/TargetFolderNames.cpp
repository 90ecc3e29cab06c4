#include "fileops/TargetFolderNames.h"

#include "foundation/VyxFileFind.h"
#include "foundation/VyxPath.h"

namespace {

// A name that folds otherwise than the file system folds it is only looked up once too often.
std::wstring Folded(const CString& text)
{
    CString folded(text);
    return std::wstring(folded.MakeUpper());
}

void Split(const CString& path, CString& folder, CString& name)
{
    GetPathPart(folder, path, PartFolder);
    // A bare "X:" would name the drive's current directory.
    if (folder.GetLength() == 2 && folder[1] == L':')
        folder += L'\\';
    GetPathPart(name, path, PartFileName);
}

} // namespace

std::unordered_set<std::wstring>& TargetFolderNames::Listed(const CString& folder)
{
    const std::wstring key = Folded(folder);
    auto found = m_folders.find(key);
    if (found != m_folders.end())
        return found->second;
    std::unordered_set<std::wstring>& names = m_folders[key];
    VyxFileFind find;
    for (BOOL more = find.FindFileIn(folder, L"*"); more;) {
        more = find.FindNextFile();
        if (!find.IsDots())
            names.insert(Folded(find.GetFileName()));
    }
    return names;
}

bool TargetFolderNames::MayHold(const CString& path)
{
    CString folder, name;
    Split(path, folder, name);
    return Listed(folder).count(Folded(name)) != 0;
}

void TargetFolderNames::Add(const CString& path)
{
    CString folder, name;
    Split(path, folder, name);
    Listed(folder).insert(Folded(name));
}
