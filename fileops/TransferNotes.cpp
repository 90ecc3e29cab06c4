#include "fileops/TransferNotes.h"

#include "catalogue/VyxFile.h"
#include "foundation/VyxPath.h"

namespace {

CString FolderOf(const CString& path)
{
    CString folder;
    GetPathPart(folder, path, PartFolder);
    RemovePathSeparator(folder, folder);
    return folder;
}

CString Folded(const CString& text)
{
    CString folded(text);
    return folded.MakeLower();
}

const int kNamesShown = 10;

} // namespace

TransferNotes::TransferNotes(const CString& cacheRoot) : m_cacheRoot(cacheRoot) {}

bool TransferNotes::Give(const CString& target, const CString& note)
{
    VyxNoteStore store(m_cacheRoot);
    store.SetLocation(FolderOf(target), nullptr);
    if (store.WriteNote(target, note) != VyxNoteStore::NoteWritten) {
        m_failedTargets.push_back(target);
        return false;
    }
    if (!note.IsEmpty()) {
        m_givenTargets.push_back(target);
        m_givenFiles.push_back(store.GetNoteFilePath());
    }
    return true;
}

void TransferNotes::TakeFromSource(const VyxFile& item, const CString& target)
{
    VyxNoteStore store(m_cacheRoot);
    store.SetLocation(FolderOf(target), nullptr);
    m_removals.push_back(
        Removal{item.GetResolvedFolder(), item.GetArchiveFileName(), item.GetPath(), store.GetNoteFilePath(), target});
}

void TransferNotes::Settle(const CString& targetFolder)
{
    std::vector<CString> failed;
    if (targetFolder.IsEmpty()) {
        m_session.FlushAll(&failed);
    } else {
        VyxNoteStore store(m_cacheRoot);
        store.SetLocation(targetFolder, nullptr);
        CString path = store.GetNoteFilePath();
        if (!m_session.Flush(path))
            failed.push_back(path);
    }
    std::set<CString> failedFiles;
    for (const CString& path : failed) {
        // Not tried again at the end of the job: its notes are reported lost there, kept here.
        m_session.Discard(path);
        failedFiles.insert(Folded(path));
    }
    for (size_t i = 0; i < m_givenFiles.size(); ++i)
        if (failedFiles.count(Folded(m_givenFiles[i])))
            m_failedTargets.push_back(m_givenTargets[i]);
    std::vector<Removal> waiting;
    std::set<CString> sources;
    for (const Removal& removal : m_removals) {
        bool settled = targetFolder.IsEmpty() || FolderOf(removal.target).CompareNoCase(targetFolder) == 0;
        if (!settled) {
            waiting.push_back(removal);
            continue;
        }
        if (failedFiles.count(Folded(removal.noteFile))) {
            m_keptFolders.insert(Folded(removal.folder));
            m_movedKept = true;
            continue;
        }
        VyxNoteStore source(m_cacheRoot);
        source.SetLocation(removal.folder, removal.archive);
        source.DeleteNote(removal.path);
        CString sourceFile;
        if (source.FindNoteFile(sourceFile, removal.folder, removal.archive))
            sources.insert(sourceFile);
    }
    m_removals.swap(waiting);
    for (const CString& path : sources)
        m_session.Flush(path);
}

bool TransferNotes::KeptIn(const CString& sourceFolder) const
{
    return m_keptFolders.count(Folded(sourceFolder)) != 0;
}

CString TransferNotes::FailureText() const
{
    if (m_failedTargets.empty())
        return CString();
    CString text = L"次のファイルのコメントを書き込めませんでした。";
    if (m_movedKept)
        text += L"移動したファイルのコメントは元の場所に残してあります。";
    text += L"\r\n";
    int shown = 0;
    for (const CString& target : m_failedTargets) {
        if (shown++ == kNamesShown) {
            CString more;
            more.Format(L"\r\n…ほか %d 件", static_cast<int>(m_failedTargets.size()) - kNamesShown);
            text += more;
            break;
        }
        text += L"\r\n" + target;
    }
    return text;
}
