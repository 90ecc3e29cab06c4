#include "fileops/TransferNotes.h"

#include "catalogue/VyxFile.h"
#include "catalogue/VyxNoteFile.h"
#include "foundation/MessageBoxes.h"
#include "foundation/VyxPath.h"

#include <algorithm>

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

// The text with the first lines under it, and how many more.
CString WithFirstLines(CString text, const std::vector<CString>& lines, size_t shown)
{
    for (size_t i = 0; i < shown && i < lines.size(); ++i)
        text += L"\r\n" + lines[i];
    if (lines.size() > shown)
        text.AppendFormat(L"\r\n…ほか %d 件", static_cast<int>(lines.size() - shown));
    return text;
}

// The lines below the text, the first ten of them (fewer where long paths would not fit the box
// whole) and how many more.
CString WithLines(const CString& text, const std::vector<CString>& lines)
{
    const size_t shown = ItemsShownWhole(std::min<size_t>(kNamesShown, lines.size()),
                                         [&](size_t first) { return WithFirstLines(text, lines, first); });
    return WithFirstLines(text, lines, shown);
}

} // namespace

TransferNotes::TransferNotes(const CString& cacheRoot) : m_cacheRoot(cacheRoot) {}

bool TransferNotes::Give(const CString& target, const CString& note, bool reportRefusal)
{
    VyxNoteStore store(m_cacheRoot);
    store.SetLocation(FolderOf(target), nullptr);
    if (store.WriteNote(target, note) != VyxNoteStore::NoteWritten) {
        if (reportRefusal)
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
    m_removals.push_back(Removal{item.GetResolvedFolder(), item.GetArchiveFileName(), item.GetPath(),
                                 store.GetNoteFilePath(), target, item.GetNote()});
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
        m_failedFiles.insert(Folded(path));
    }
    for (size_t i = 0; i < m_givenFiles.size(); ++i)
        if (failedFiles.count(Folded(m_givenFiles[i])))
            m_failedTargets.push_back(m_givenTargets[i]);
    std::vector<Removal> waiting;
    std::set<CString> sources;
    // The target note files as they stand on disk, each read once.
    std::map<CString, std::shared_ptr<VyxNoteFile>> written;
    for (const Removal& removal : m_removals) {
        bool settled = targetFolder.IsEmpty() || FolderOf(removal.target).CompareNoCase(targetFolder) == 0;
        if (!settled) {
            waiting.push_back(removal);
            continue;
        }
        // A moved file's source may go after its target's note file failed: its note stays.
        if (m_failedFiles.count(Folded(removal.noteFile))) {
            m_keptFolders.insert(Folded(removal.folder));
            m_movedKept = true;
            continue;
        }
        // Nor before its note is read back from the target: another writer may have taken its place.
        if (!IsWritten(written, removal)) {
            m_failedTargets.push_back(removal.target);
            m_keptFolders.insert(Folded(removal.folder));
            m_movedKept = true;
            continue;
        }
        // Only while it still holds the note carried: one written meanwhile stays, and is told.
        VyxNoteStore source(m_cacheRoot);
        source.SetLocation(removal.folder, removal.archive);
        CString sourceFile;
        const bool noted = source.FindNoteFile(sourceFile, removal.folder, removal.archive);
        if (source.ReplaceNote(removal.path, removal.note, nullptr) == VyxNoteStore::NoteChanged)
            KeepChanged(removal);
        else if (noted)
            sources.insert(sourceFile);
        m_removing[Folded(sourceFile) + L"|" + Folded(source.GetSectionOf(removal.path))] = removal;
    }
    m_removals.swap(waiting);
    std::vector<VyxNoteSession::Change> leftOut;
    for (const CString& path : sources) {
        leftOut.clear();
        m_session.Flush(path, &leftOut);
        for (const VyxNoteSession::Change& change : leftOut) {
            auto found = m_removing.find(Folded(path) + L"|" + Folded(change.section));
            if (found != m_removing.end())
                KeepChanged(found->second);
        }
    }
    m_removing.clear();
}

void TransferNotes::KeepChanged(const Removal& removal)
{
    m_changed.push_back(removal.path);
    m_keptFolders.insert(Folded(removal.folder));
}

bool TransferNotes::IsWritten(std::map<CString, std::shared_ptr<VyxNoteFile>>& written, const Removal& removal) const
{
    std::shared_ptr<VyxNoteFile>& file = written[Folded(removal.noteFile)];
    if (!file)
        file = VyxNoteStore::ReadNoteFile(removal.noteFile);
    if (!file)
        return false;
    VyxNoteStore target(m_cacheRoot);
    target.SetLocation(FolderOf(removal.target), nullptr);
    CString stored;
    return file->Find(target.GetSectionOf(removal.target), L"Note", stored) &&
           stored == VyxNoteStore::EncodeLineBreaks(removal.note);
}

bool TransferNotes::KeptIn(const CString& sourceFolder) const
{
    return m_keptFolders.count(Folded(sourceFolder)) != 0;
}

void TransferNotes::KeepIn(const CString& sourceFolder)
{
    m_keptFolders.insert(Folded(sourceFolder));
}

CString TransferNotes::FailureText() const
{
    if (m_failedTargets.empty())
        return CString();
    CString text = L"次のファイルのコメントを書き込めませんでした。";
    if (m_movedKept)
        text += L"移動したファイルのコメントは元の場所に残してあります。";
    return WithLines(text + L"\r\n", m_failedTargets);
}

CString TransferNotes::ChangedText() const
{
    if (m_changed.empty())
        return CString();
    return WithLines(
        L"次のファイルのコメントは、転送の間にほかで書き換えられました。書き換えられたコメントは元の場所に残し、"
        L"転送先には書き換えの前のコメントを付けてあります。\r\n",
        m_changed);
}

void TransferNotes::Shared(const CString& source, const std::vector<CString>& others, bool carried)
{
    CString line = source;
    for (size_t i = 0; i < others.size(); ++i)
        line += CString(i == 0 ? L" と " : L"、") + others[i];
    if (!carried)
        line += L"（転送先でも同じ欄になるため、写しは付けていません）";
    m_shared.push_back(line);
}

CString TransferNotes::SharedText() const
{
    if (m_shared.empty())
        return CString();
    CString text = L"次のファイルのコメントは、同じフォルダの別の名前のファイルと同じ欄に保存されています"
                   L"（大文字と小文字、[ ] と { }、名前の前後の空白は区別されません）。元のコメントはそのまま残し、"
                   L"転送先には"
                   L"写しを付けました。\r\n";
    return WithLines(text, m_shared);
}
