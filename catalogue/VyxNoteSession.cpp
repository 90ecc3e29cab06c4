#include "catalogue/VyxNoteSession.h"

#include "catalogue/VyxNoteFile.h"
#include "catalogue/VyxNoteStore.h"

namespace {

thread_local VyxNoteSession* t_current = nullptr;

} // namespace

VyxNoteSession::VyxNoteSession() : m_outer(t_current)
{
    t_current = this;
}

VyxNoteSession::~VyxNoteSession()
{
    FlushAll();
    t_current = m_outer;
}

VyxNoteSession* VyxNoteSession::Current()
{
    return t_current;
}

bool VyxNoteSession::Flush(const CString& path, std::vector<Change>* leftOut)
{
    auto found = m_changed.find(std::wstring(VyxNoteFile::Folded(path)));
    if (found == m_changed.end())
        return true;
    const Changed& changed = found->second;
    std::vector<int> outcomes;
    if (!VyxNoteStore::PutNoteFile(changed.path, changed.folder, changed.archive, changed.cacheRoot, changed.changes,
                                   &outcomes))
        return false;
    if (leftOut)
        for (size_t i = 0; i < outcomes.size(); ++i)
            if (outcomes[i] != VyxNoteStore::NoteWritten)
                leftOut->push_back(changed.changes[i]);
    m_changed.erase(found);
    return true;
}

bool VyxNoteSession::FlushAll(std::vector<CString>* failed, std::vector<Change>* leftOut)
{
    std::vector<CString> paths;
    for (const auto& entry : m_changed)
        paths.push_back(entry.second.path);
    bool all = true;
    for (const CString& path : paths)
        if (!Flush(path, leftOut)) {
            all = false;
            if (failed)
                failed->push_back(path);
        }
    return all;
}

void VyxNoteSession::Discard(const CString& path)
{
    m_changed.erase(std::wstring(VyxNoteFile::Folded(path)));
}
