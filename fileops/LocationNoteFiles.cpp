#include "fileops/LocationNoteFiles.h"

#include "catalogue/VyxNoteFile.h"
#include "foundation/VyxPath.h"

#include <vector>

namespace {

CString InFolderNoteFile(const CString& folder)
{
    return folder + L"\\" + VyxCacheIndex::GetInFolderName(VyxCacheIndex::KindNote);
}

} // namespace

const LocationNoteFiles::Folder& LocationNoteFiles::Look(const CString& folder)
{
    const std::wstring name(VyxNoteFile::Folded(folder));
    auto found = m_folders.find(name);
    if (found != m_folders.end())
        return found->second;
    Folder seen;
    seen.ownNoteFile = PathExists(InFolderNoteFile(folder), kFileNotFolder) != FALSE;
    if (!seen.ownNoteFile && m_index.HasCacheFolder())
        seen.key = VyxCacheIndex::GetLocationKey(folder, nullptr);
    return m_folders.emplace(name, seen).first->second;
}

bool LocationNoteFiles::Find(CString& out, const CString& folder, const CString& fileName)
{
    const Folder& seen = Look(folder);
    if (seen.ownNoteFile) {
        out = InFolderNoteFile(folder);
        return true;
    }
    if (!m_index.HasCacheFolder())
        return false;
    if (!m_keysRead) {
        // Keys are matched as the settings functions match them: without regard to case or the
        // blanks around them.
        std::vector<wchar_t> entries;
        VyxIni(m_index.GetIndexFileName())
            .GetWholeSection(VyxCacheIndex::GetSectionName(VyxCacheIndex::KindNote), entries);
        for (const wchar_t* entry = entries.data(); entry && *entry; entry += wcslen(entry) + 1) {
            CString key(entry);
            int equals = key.Find(L'=');
            if (equals > 0)
                key = key.Left(equals);
            key.Trim();
            m_keys.insert(std::wstring(VyxNoteFile::Folded(key)));
        }
        m_keysRead = true;
    }
    const CString key = VyxNoteFile::Folded(VyxCacheIndex::GetArchiveKey(seen.key, fileName));
    if (!m_keys.count(std::wstring(key)))
        return false;
    return m_index.FindNoteFile(out, folder, fileName);
}

void LocationNoteFiles::Forget()
{
    m_folders.clear();
    m_keys.clear();
    m_keysRead = false;
}
