#include "fileops/VyxFileTransfer.h"

#include "catalogue/FrameMessages.h"
#include "catalogue/VyxDropFormats.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxFile.h"
#include "fileops/CopyTarget.h"
#include "fileops/FileCopy.h"
#include "fileops/FileIdentity.h"
#include "fileops/TransferNotes.h"
#include "fileops/VFileAccDlg.h"
#include "fileops/VSameFileDlg.h"
#include "foundation/CurrentDirectoryScope.h"
#include "foundation/FormatMessageText.h"
#include "foundation/MessageBoxes.h"
#include "foundation/TwinNameGuard.h"
#include "foundation/VyxFileFind.h"
#include "foundation/VyxFileStatus.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"
#include "res/resource.h"

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

const wchar_t* const VyxFileTransfer::kDefaultUniqueNameFormat = L"%s-%d%s";

namespace {

// Allow undo, no confirmation, silent, no error interface.
const WORD kRecycleFlags = 0x454;
const DWORD kDefaultCopyBuffer = 1048576;

bool EqualNoCase(const CString& a, const CString& b)
{
    return a.CompareNoCase(b) == 0;
}

// The full path without a trailing separator (a drive root keeps its own).
CString Normalized(LPCWSTR path)
{
    CString full, bare;
    GetFullPath(full, path);
    RemovePathSeparator(bare, full);
    return bare.GetLength() == 2 && bare[1] == L':' ? full : bare;
}

// The folder part of a path; a drive's root as "X:\" (a bare "X:" would mean that drive's
// current directory).
CString FolderOf(const CString& path)
{
    CString folder;
    GetPathPart(folder, path, PartFolder);
    if (folder.GetLength() == 2 && folder[1] == L':')
        folder += L'\\';
    return folder;
}

ULONGLONG SizeOf(LPCWSTR path, bool* exists = nullptr)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    bool found = GetFileAttributesExW(ExactPath(path), GetFileExInfoStandard, &data) != FALSE;
    if (exists)
        *exists = found;
    return found ? static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow : 0;
}

bool IsSideFileName(const CString& name)
{
    for (int kind = 0; kind < VyxCacheIndex::KindCount; ++kind)
        if (name.CompareNoCase(VyxCacheIndex::GetInFolderName(kind)) == 0)
            return true;
    return false;
}

CString ErrorTextFor(LPCWSTR path, DWORD error)
{
    SetLastError(error);
    return CString(path) + L"\r\n" + GetLastErrorText();
}

// A copy that could not start (-1) names the file it could not open or make and the system's
// reason; any other result has a text of its own.
CString CopyFailureText(const CString& source, const CString& target, int result, DWORD reason)
{
    if (result != kCopyFailed)
        return GetFileOpErrorText(result);
    HANDLE probe = CreateFileW(ExactPath(source), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool sourceOpens = probe != INVALID_HANDLE_VALUE;
    if (sourceOpens)
        CloseHandle(probe);
    SetLastError(reason);
    return (sourceOpens ? target : source) + L"\r\n" + GetFileOpErrorText(kCopyFailed) + L"\r\n" + GetLastErrorText();
}

// True when the folder holds nothing but the program's own side files.
bool HoldsOnlySideFiles(const CString& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(folder + L"\\*", &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool only = true;
    do {
        CString name = data.cFileName;
        if (name != L"." && name != L".." &&
            ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsSideFileName(name)))
            only = false;
    } while (only && FindNextFileW(find, &data));
    FindClose(find);
    return only;
}

} // namespace

VyxFileTransfer::VyxFileTransfer() : m_uniqueNameFormat(kDefaultUniqueNameFormat) {}

VyxFileTransfer::~VyxFileTransfer()
{
    m_progress.reset();
    for (VyxFile* item : m_items)
        delete item;
    m_items.clear();
}

void VyxFileTransfer::AddItem(VyxFile* item, int owned)
{
    if (!item)
        return;
    m_items.push_back(owned ? item : new VyxFile(*item));
}

VyxFile* VyxFileTransfer::GetItem(int index) const
{
    return index >= 0 && index < GetItemCount() ? m_items[static_cast<size_t>(index)] : nullptr;
}

int VyxFileTransfer::AddDataObject(COleDataObject* data, DROPEFFECT defaultEffect)
{
    if (!VyxDropFormats::HasFileList(data))
        return 0;
    std::vector<CString> names = VyxDropFormats::GetFileList(data);
    std::vector<CString> notes = VyxDropFormats::GetNoteList(data, names.size());
    DWORD effect = VyxDropFormats::GetPreferredEffect(data, defaultEffect);
    for (size_t i = 0; i < names.size(); ++i) {
        auto* item = new VyxFile(names[i]);
        if (!notes[i].IsEmpty())
            item->SetNoteText(notes[i]);
        m_items.push_back(item);
    }
    m_move = (effect & DROPEFFECT_MOVE) ? 1 : 0;
    return GetItemCount();
}

void VyxFileTransfer::SetSettleInterval(int files, DWORD milliseconds)
{
    m_settleFiles = files > 0 ? files : 1;
    m_settleMilliseconds = milliseconds;
}

void VyxFileTransfer::SetCopyBufferSize(DWORD bytes)
{
    m_copyBufferSize = bytes;
    m_copier.SetUp(bytes);
}

void VyxFileTransfer::CreateProgress(CWnd* parent)
{
    auto progress = std::make_unique<VFileAccDlg>(parent);
    if (progress->Create(parent))
        m_progress = std::move(progress);
}

LRESULT VyxFileTransfer::Send(CWnd* window, VyxFileTransfer* job)
{
    if (!job)
        return 0;
    if (!window || !window->GetSafeHwnd()) {
        delete job;
        return 0;
    }
    job->m_posted = false;
    return window->SendMessage(WMU_FILEOPERATION, reinterpret_cast<WPARAM>(job), 0);
}

BOOL VyxFileTransfer::Post(CWnd* window, VyxFileTransfer* job)
{
    if (!job)
        return FALSE;
    job->m_posted = true;
    if (!window || !window->GetSafeHwnd() ||
        !window->PostMessage(WMU_FILEOPERATION, reinterpret_cast<WPARAM>(job), 0)) {
        delete job;
        return FALSE;
    }
    return TRUE;
}

CString VyxFileTransfer::CheckUniqueNameFormat(LPCWSTR format)
{
    // Exactly %s, %d (a flag and a width of at most two digits allowed), %s, and literal "%%":
    // anything else would read arguments that are not there.
    const wchar_t expected[] = {L's', L'd', L's'};
    int found = 0;
    for (const wchar_t* p = format; p && *p; ++p) {
        if (*p != L'%')
            continue;
        ++p;
        if (*p == L'%')
            continue;
        if (found == 1) {
            if (*p == L'-' || *p == L'0')
                ++p;
            for (int digits = 0; digits < 2 && iswdigit(*p); ++digits)
                ++p;
        }
        if (found == 3 || *p != expected[found])
            return kDefaultUniqueNameFormat;
        ++found;
    }
    return found == 3 ? CString(format) : CString(kDefaultUniqueNameFormat);
}

bool VyxFileTransfer::MakeSerialName(CString& out, LPCWSTR target, LPCWSTR format)
{
    CString checked = CheckUniqueNameFormat(format), base, extension;
    GetPathPart(base, target, PartDrive | PartDir | PartName);
    GetPathPart(extension, target, PartExt);
    for (int n = 2; n <= kSerialLimit; ++n) {
        CString candidate;
        candidate.Format(checked, base.GetString(), n, extension.GetString());
        if (!PathExists(candidate, kAnyAttribute)) {
            out = candidate;
            return true;
        }
    }
    return false;
}

bool VyxFileTransfer::OnSameDrive(LPCWSTR source, LPCWSTR target)
{
    CString a, b;
    GetPathPart(a, source, PartDrive);
    GetPathPart(b, target, PartDrive);
    a.MakeUpper();
    b.MakeUpper();
    return a == b;
}

bool VyxFileTransfer::IsRefusedFolderDestination(LPCWSTR destination, LPCWSTR folder)
{
    if (IsInsideFolder(destination, folder))
        return true;
    // The folder's parent, by any spelling: the folder would go onto itself. Names are compared as
    // spelled (a name differing only in case may be another folder); the identity finds the rest.
    CString target = Normalized(destination), parent = Normalized(FolderOf(Normalized(folder)));
    if (target == parent)
        return true;
    FileIdentity up, step;
    return up.Read(parent) && step.Read(target) && step == up;
}

bool VyxFileTransfer::IsInsideFolder(LPCWSTR destination, LPCWSTR folder)
{
    CString target = Normalized(destination), source = Normalized(folder);
    CString inside;
    AppendPathSeparator(inside, source);
    if (target == source || target.Left(inside.GetLength()) == inside)
        return true;
    // Another spelling of the same folders: the destination or one of its parents is the folder.
    FileIdentity self, step;
    if (!self.Read(source))
        return false;
    for (CString path = target; !path.IsEmpty();) {
        if (step.Read(path) && step == self)
            return true;
        CString next = Normalized(FolderOf(path));
        if (next == path || next.GetLength() >= path.GetLength())
            break;
        path = next;
    }
    return false;
}

CString VyxFileTransfer::IntoItselfText(const CString& folder, const CString& destination) const
{
    return L"フォルダ「" + folder + L"」を、そのフォルダ自身またはその中のフォルダ「" + destination +
           (m_move ? L"」へ移動することはできません。" : L"」へコピーすることはできません。");
}

bool VyxFileTransfer::RefusesCaseTwinFolders(const CString& sourceFolder, const CString& targetFolder)
{
    if (sourceFolder == targetFolder || !EqualNoCase(sourceFolder, targetFolder) ||
        FileIdentity::Same(sourceFolder, targetFolder))
        return false;
    if (!m_notes.HasNoteFile(sourceFolder, nullptr) && !m_notes.HasNoteFile(targetFolder, nullptr))
        return false;
    const CString pair = sourceFolder + L"\n" + targetFolder;
    if (std::find(m_refusedTwinFolders.begin(), m_refusedTwinFolders.end(), pair) == m_refusedTwinFolders.end()) {
        m_refusedTwinFolders.push_back(pair);
        ShowMessage(
            L"次の二つは、名前の大文字と小文字だけが違う別のフォルダです。コメントはフォルダの名前の大文字と小文字を"
            L"区別せずに探されるため、二つのコメントを取り違えないよう、この間では" +
                CString(m_move ? L"移動" : L"コピー") + L"しませんでした。\r\n" + sourceFolder + L"\r\n" + targetFolder,
            MB_OK | MB_ICONSTOP);
    }
    return true;
}

int VyxFileTransfer::ShowMessage(LPCWSTR text, UINT type)
{
    return ShowMessageBox(text, type);
}

INT_PTR VyxFileTransfer::ShowSameNameDialog(VSameFileDlg& dialog)
{
    return dialog.DoModal();
}

bool VyxFileTransfer::TellRefusal(DWORD error)
{
    if (error != TwinNameGuard::kRefused)
        return false;
    ShowMessage(TwinNameGuard::LastRefusalText(), MB_OK | MB_ICONSTOP);
    return true;
}

int VyxFileTransfer::AskAfterFailure(const CString& text)
{
    int answer = ShowMessage(text, MB_ABORTRETRYIGNORE | MB_ICONSTOP);
    if (m_progress)
        m_progress->ClearCancel();
    return answer;
}

int VyxFileTransfer::Run(LPCWSTR destination)
{
    m_changed = false;
    if (m_items.empty())
        return 0;
    CString given = destination ? CString(destination) : m_destination, folder;
    // An empty path would name the current directory.
    if (!given.IsEmpty())
        GetFullPath(folder, given);
    if (folder.IsEmpty()) {
        ShowMessage(FormatMessageText(MsgInvalidFolder, given), MB_OK | MB_ICONSTOP);
        return 0;
    }
    // A folder cannot go into itself: it is refused with a message before anything is made at
    // the destination.
    size_t refused = 0;
    for (VyxFile* item : m_items) {
        if (item->IsFolder() && IsInsideFolder(folder, item->GetPath())) {
            ShowMessage(IntoItselfText(item->GetPath(), folder), MB_OK | MB_ICONSTOP);
            ++refused;
        }
    }
    if (refused == m_items.size() || !EnsureFolderExists(folder, false))
        return 0;
    CopyTarget::RemoveLeftovers(folder);
    CurrentDirectoryScope current(folder);
    if (!m_copier.IsReady())
        m_copier.SetUp(m_copyBufferSize ? m_copyBufferSize : kDefaultCopyBuffer);

    if (m_progress) {
        int count = 0;
        ULONGLONG bytes = 0;
        for (VyxFile* item : m_items) {
            if (item->IsFolder()) {
                VyxFileFind find;
                // A large tree takes a while to count: the window answers meanwhile.
                count += find.CountTree(item->GetPath(), L"*.*", -1, [this] { PumpWhenDue(); });
                bytes += find.GetTotalLength();
            } else {
                ++count;
                bytes += item->GetFileSize();
            }
        }
        if (count > 0)
            m_progress->SetFileRange(0, count);
        m_progress->SetTotalBytes(bytes);
    }
    if (m_sameNameMode != SameAsk)
        m_applyToAll = 1;

    CopyTarget::Batch temporaries;
    TransferNotes notes(theCacheList.GetCacheFolder());
    notes.SetBetweenEntries([this] { PumpWhenDue(); });
    m_noteJob = &notes;
    m_locationNotes.Forget();
    m_targetNames.Forget();
    m_unmoved = 0;
    m_stopped = false;
    m_refusedTwinFolders.clear();
    int total = 0;
    for (VyxFile* item : m_items) {
        if (m_progress && m_progress->CheckCancel())
            break;
        CString target;
        MakePath(target, nullptr, folder, item->GetFileName(), nullptr);
        if (item->IsFolder()) {
            // Into itself (told above) or onto itself (its parent: nothing to do).
            if (IsRefusedFolderDestination(folder, item->GetPath()))
                continue;
            if (RefusesCaseTwinFolders(item->GetPath(), target))
                continue;
            int result = TransferFolder(item->GetPath(), target);
            if (result < 0)
                break;
            total += 1 + result;
        } else {
            int result = TransferFile(*item, target);
            if (result < 0)
                break;
            total += result;
        }
        if (m_stopped)
            break;
    }
    SettleMoves();
    total = std::max(0, total - m_unmoved);
    notes.Settle(CString());
    m_noteJob = nullptr;
    m_locationNotes.Forget();
    CString sharedNotes = notes.SharedText();
    if (!sharedNotes.IsEmpty())
        ShowMessage(sharedNotes, MB_OK | MB_ICONINFORMATION);
    CString lostNotes = notes.FailureText();
    if (!lostNotes.IsEmpty())
        ShowMessage(lostNotes, MB_OK | MB_ICONEXCLAMATION);
    CString changedNotes = notes.ChangedText();
    if (!changedNotes.IsEmpty())
        ShowMessage(changedNotes, MB_OK | MB_ICONEXCLAMATION);
    if (total > 0 && m_progress) {
        m_progress->SetFilePos(total);
        // The finished panel is painted before the window goes; the job does not wait on it.
        m_progress->ShowFinished();
    }
    return total;
}

int VyxFileTransfer::TransferFolder(const CString& source, const CString& target)
{
    if (source == target || FileIdentity::Same(source, target))
        return 0;
    // A folder walked by a name that now leads to one spelled otherwise would be that one's.
    if (TwinNameGuard::Refuses(source)) {
        TellRefusal(TwinNameGuard::kRefused);
        return 0;
    }
    if (!EnsureFolderExists(target, true)) {
        ShowMessage(ErrorTextFor(target, GetLastError() ? GetLastError() : ERROR_CANNOT_MAKE), MB_OK | MB_ICONSTOP);
        return -1;
    }
    m_changed = true;
    CopyTarget::RemoveLeftovers(target);
    int count = 0;
    // The folder's notes from one read of its note file, not one look-up for each file.
    VyxNoteStore sourceNotes(theCacheList.GetCacheFolder());
    sourceNotes.SetLocation(source, nullptr);
    const std::unordered_map<std::wstring, CString> notes = sourceNotes.ReadAllNotes();
    if (!m_notes.HasNoteFile(target, nullptr))
        m_notelessTarget = target;
    VyxFileFind find;
    for (BOOL more = find.FindFileIn(source, L"*.*"); more;) {
        more = find.FindNextFile();
        CString name = find.GetFileName(), childTarget;
        if (find.IsDots())
            continue;
        MakePath(childTarget, nullptr, target, name, nullptr);
        int result = 0;
        if (find.MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT)) {
            // A link to a folder elsewhere is not followed; it stays, and so does its folder.
        } else if (find.IsDirectory()) {
            if (!RefusesCaseTwinFolders(find.GetFilePath(), childTarget)) {
                result = TransferFolder(find.GetFilePath(), childTarget);
                if (result >= 0)
                    ++result;
            }
        } else if (!IsSideFileName(name)) {
            // Notes travel with their files; the folder's own cache and layout files go last.
            VyxFile item(find, -1, -1, nullptr);
            CString section = sourceNotes.GetSectionOf(item.GetPath());
            auto noted = notes.find(std::wstring(section.MakeLower()));
            // A name that shares its section with another has no note of its own; the other
            // names come to the target too, where they share the section again.
            const bool shared = noted != notes.end() && sourceNotes.SharesSection(item.GetPath());
            if (shared)
                ExpectNames(target, sourceNotes.GetNamesSharingSection(item.GetPath()));
            item.SetNoteText(noted != notes.end() && !shared ? noted->second.GetString() : L"");
            result = TransferFile(item, childTarget);
        }
        if (result < 0 || m_stopped)
            return -1;
        count += result;
    }
    SettleMoves();
    if (m_stopped)
        return -1;
    if (m_noteJob)
        m_noteJob->Settle(target);
    TransferSideFiles(source, target);
    if (m_move)
        RemoveMovedFolder(source);
    // The note files just written or removed are looked for again.
    m_locationNotes.Forget();
    return count;
}

void VyxFileTransfer::TransferSideFiles(const CString& source, const CString& target)
{
    for (int kind : {VyxCacheIndex::KindThumbs, VyxCacheIndex::KindConfig}) {
        CString from, existing;
        if (!m_notes.FindSideFile(kind, from, source, nullptr) || m_notes.FindSideFile(kind, existing, target, nullptr))
            continue;
        CopyFileSized(from, m_notes.GetSideFileName(kind, target, nullptr), 2, nullptr, 0);
    }
}

void VyxFileTransfer::RemoveMovedFolder(const CString& source)
{
    // A drive root is never removed; a folder that still holds a file stays.
    if (source.GetLength() <= 3 || !HoldsOnlySideFiles(source))
        return;
    // The side files left are the folder's own: its files went with their notes, and the target
    // kept its own cache and layout files.
    for (int kind = 0; kind < VyxCacheIndex::KindCount; ++kind)
        if (kind != VyxCacheIndex::KindNote || !m_noteJob || !m_noteJob->KeptIn(source))
            m_notes.DeleteSideFile(kind, source, nullptr);
    RemoveDirectoryW(source);
}

void VyxFileTransfer::ReportSkipped(const VyxFile& item)
{
    if (!m_progress)
        return;
    ULONGLONG size = item.GetFileSize();
    VFileAccDlg::CopyCallback(1, 0, static_cast<DWORD>(size), static_cast<DWORD>(size >> 32));
    VFileAccDlg::CopyCallback(1, kCopyEndCall, 0, 0);
}

void VyxFileTransfer::PumpWhenDue()
{
    if (m_progress && m_progress->IsPumpDue())
        m_progress->PumpMessages();
}

void VyxFileTransfer::FileDone()
{
    if (m_progress)
        m_progress->FileDone(1);
}

bool VyxFileTransfer::SettleSameName(VyxFile& item, CString& target, const VyxFileStatus& existing, bool& stop)
{
    if (m_skipIdentical && existing.GetSize() == item.GetFileSize() && existing.GetWriteTime() == item.GetFileTime())
        return false;
    VyxFileStatus settled = existing;
    if (!m_applyToAll) {
        CWnd* parent = m_progress ? static_cast<CWnd*>(m_progress.get()) : AfxGetMainWnd();
        for (;;) {
            VSameFileDlg dialog(item, target, m_move, m_skipIdentical, m_recycleOld, m_uniqueNameFormat, parent);
            if (ShowSameNameDialog(dialog) != IDOK) {
                stop = true;
                return false;
            }
            m_applyToAll = dialog.m_applyToAll;
            m_sameNameMode = dialog.m_mode;
            m_skipIdentical = dialog.m_skipIdentical;
            m_recycleOld = dialog.m_recycleOld;
            if (m_sameNameMode != SameAsk)
                break;
            // A typed name: its folder must be there and nothing may have the name yet;
            // otherwise the question comes again for it.
            target = dialog.m_targetPath;
            if (EnsureFolderExists(FolderOf(target), false) && !PathExists(target, kAnyAttribute))
                return true;
            settled.GetStatus(target);
        }
    }
    switch (m_sameNameMode) {
    case SameNewer:
        return item.GetFileTime() > settled.GetWriteTime();
    case SameIgnore:
        return false;
    case SameSerial:
        if (!MakeSerialName(target, target, m_uniqueNameFormat)) {
            ShowMessage(ErrorTextFor(target, ERROR_FILE_EXISTS), MB_OK | MB_ICONSTOP);
            return false;
        }
        return true;
    case SameLarger:
        return item.GetFileSize() > settled.GetSize();
    default:
        return true;
    }
}

int VyxFileTransfer::TransferFile(VyxFile& item, CString target)
{
    const bool member = item.IsArchiveMember();
    // Only the very same name is itself without a look: a folder spelled otherwise may be another.
    if (!member && target == item.GetPath())
        return Skipped;
    // A name whose file is gone while one spelled otherwise stands is neither read nor moved, and
    // its note (which that file's section holds) goes nowhere.
    const bool gone = !member && TwinNameGuard::Refuses(item.GetPath()) && TellRefusal(TwinNameGuard::kRefused);
    if (gone || (!member && RefusesCaseTwinFolders(FolderOf(item.GetPath()), FolderOf(target)))) {
        ReportSkipped(item);
        FileDone();
        return Skipped;
    }
    // A name a waiting move is to take is looked at once that move is done.
    if (IsPendingTarget(target))
        SettleMoves();
    VyxFileStatus existing;
    bool probe =
        !(m_sameNameMode == SameOverwrite && m_applyToAll && !m_skipIdentical && !m_existingOnly && !m_recycleOld);
    // A copy to a name its folder's listing lacks is not looked up first; it is made so that it
    // replaces nothing, and a file that came meanwhile is asked about after all.
    const bool unlisted = probe && !member && !m_move && !m_targetNames.MayHold(target);
    bool exists = probe && !unlisted && existing.GetStatus(target);
    // Onto itself by another spelling: nothing to do and nothing to say. Only a name that is
    // there can be another spelling; a copy that did not look finds out as it makes its target.
    if (!member && (exists || (!probe && m_move)) && FileIdentity::Same(item.GetPath(), target))
        return Skipped;
    bool transfer = !m_existingOnly;
    if (exists) {
        bool stop = false;
        transfer = SettleSameName(item, target, existing, stop);
        if (stop)
            return Stop;
    }
    if (m_progress)
        m_progress->SetFileName(item.GetFileName());
    int outcome = Skipped;
    // Nor is anything put under a name that leads to a file spelled otherwise, whatever the choice:
    // that file, and its note, stay as they are. Only a name that is there can lead elsewhere; a
    // move that did not look asks now, before its note goes ahead of it.
    if (transfer && (exists || (!probe && m_move)) && TwinNameGuard::Refuses(target, TwinNameGuard::Role::Target)) {
        TellRefusal(TwinNameGuard::kRefused);
        transfer = false;
    }
    if (!transfer) {
        ReportSkipped(item);
    } else {
        outcome = Transferred;
        if (m_recycleOld && exists)
            outcome = RecycleOld(existing.GetPath());
        m_notes.SetLocation(FolderOf(target), nullptr);
        if (outcome != Transferred)
            ReportSkipped(item);
        else if (member)
            outcome = ExtractMember(item, target);
        else if (!m_move)
            outcome = CopyWithRetry(item.GetPath(), target, !unlisted);
        else
            outcome = BeginMove(item, target);
        if (outcome == CameMeanwhile) {
            m_targetNames.Add(target);
            return TransferFile(item, target);
        }
        if (outcome == Transferred && !member && !m_move) {
            GiveNote(item, target);
            CopyLocationNotes(item, target);
        }
    }
    FileDone();
    return outcome;
}

int VyxFileTransfer::RecycleOld(const CString& path)
{
    // The old file goes only into the recycle bin: should that fail, it is not overwritten.
    while (PathExists(path, kAnyAttribute) && !ShellDeleteFile(path, nullptr, kRecycleFlags)) {
        if (TellRefusal(GetLastError()))
            return Skipped;
        int answer = AskAfterFailure(ErrorTextFor(path, GetLastError() ? GetLastError() : ERROR_ACCESS_DENIED));
        if (answer == IDABORT)
            return Stop;
        if (answer != IDRETRY)
            return Skipped;
    }
    return Transferred;
}

int VyxFileTransfer::CopyWithRetry(const CString& source, const CString& target, bool replace)
{
    for (;;) {
        int result =
            m_copier.CopyFileThreaded(source, target, m_progress ? VFileAccDlg::CopyCallback : nullptr, 1, replace);
        if (result == kCopyDone) {
            m_changed = true;
            m_targetNames.Add(target);
            return Transferred;
        }
        const DWORD reason = GetLastError();
        if (!replace && result == ERROR_FILE_EXISTS)
            return CameMeanwhile;
        if (result == kCopyOntoItself || TellRefusal(result == kCopyFailed ? reason : static_cast<DWORD>(result)))
            return Skipped;
        int answer = AskAfterFailure(CopyFailureText(source, target, result, reason));
        if (answer == IDABORT)
            return Stop;
        if (answer != IDRETRY)
            return Skipped;
    }
}

int VyxFileTransfer::MoveOnOneDrive(VyxFile& item, const CString& target)
{
    for (;;) {
        // Replacing in one step: a failed move leaves the old target where it was.
        DWORD error = ERROR_ACCESS_DENIED;
        if (!CopyTarget::IsReadOnlyFile(target)) {
            if (MoveEntryReplacing(item.GetPath(), target)) {
                m_changed = true;
                return Transferred;
            }
            error = GetLastError();
        }
        // One drive letter over two volumes (a mounted folder): moved as across drives.
        if (error == ERROR_NOT_SAME_DEVICE)
            return MoveAcrossDrives(item, target);
        if (TellRefusal(error))
            return Skipped;
        int answer = AskAfterFailure(ErrorTextFor(item.GetPath(), error));
        if (answer == IDABORT)
            return Stop;
        if (answer != IDRETRY)
            return Skipped;
    }
}

int VyxFileTransfer::MoveAcrossDrives(VyxFile& item, const CString& target)
{
    int copied = CopyWithRetry(item.GetPath(), target);
    return copied == Transferred ? DeleteMovedSource(item, target) : copied;
}

int VyxFileTransfer::DeleteMovedSource(VyxFile& item, const CString& target)
{
    for (;;) {
        // Only a copy of the source's full size stands for it.
        bool sourceThere = false, targetThere = false;
        ULONGLONG sourceSize = SizeOf(item.GetPath(), &sourceThere);
        ULONGLONG targetSize = SizeOf(target, &targetThere);
        DWORD error = ERROR_WRITE_FAULT;
        if (targetThere && (!sourceThere || sourceSize == targetSize) && DeleteFileForced(item.GetPath(), &error))
            return Transferred;
        if (TellRefusal(error))
            return Skipped;
        int answer = AskAfterFailure(ErrorTextFor(item.GetPath(), error));
        if (answer == IDRETRY)
            continue;
        return answer == IDABORT ? Stop : Skipped;
    }
}

int VyxFileTransfer::ExtractMember(VyxFile& item, const CString& target)
{
    const CString folder = FolderOf(target);
    for (;;) {
        ULONGLONG size = item.GetFileSize();
        if (m_progress)
            VFileAccDlg::CopyCallback(1, 0, static_cast<DWORD>(size), static_cast<DWORD>(size >> 32));
        // Written beside the target first, so a failed extraction leaves no part of a file.
        const CString scratch = CopyTarget::MakeTemporaryFolder(folder);
        int result = scratch.IsEmpty() ? -1 : 1;
        bool refused = false;
        // The member's own name is told to the folder's mark: a crash now leaves it for the
        // clean-up.
        if (result > 0 && !CopyTarget::ClaimName(scratch, item.GetFileName())) {
            CopyTarget::ReleaseTemporaryFolder(scratch);
            result = -1;
        }
        if (result > 0) {
            HCURSOR previous = ::SetCursor(AfxGetApp()->LoadCursor(IDC_EXTRACT_CURSOR));
            result = item.ExtractMemberTo(scratch);
            ::SetCursor(previous ? previous : ::LoadCursorW(nullptr, IDC_ARROW));
            CString written;
            MakePath(written, nullptr, scratch, item.GetFileName(), nullptr);
            // A member that came out shorter or longer than listed is not the member.
            if (result == 0 && (SizeOf(written) != size || CopyTarget::IsReadOnlyFile(target) ||
                                !MoveEntryReplacing(written, target))) {
                refused = GetLastError() == TwinNameGuard::kRefused;
                result = -1;
            }
            DeleteFileForced(written);
            CopyTarget::ReleaseTemporaryFolder(scratch);
        }
        if (m_progress)
            VFileAccDlg::CopyCallback(1, kCopyEndCall, 0, 0);
        if (result == 0) {
            m_changed = true;
            if (m_noteJob)
                m_noteJob->Give(target, item.GetNote());
            return Transferred;
        }
        if (refused && TellRefusal(TwinNameGuard::kRefused))
            return Skipped;
        int answer = AskAfterFailure(target + L"\r\n" + GetFileOpErrorText(kCopyFailed));
        if (answer == IDABORT)
            return Stop;
        if (answer != IDRETRY)
            return Skipped;
    }
}

int VyxFileTransfer::BeginMove(VyxFile& item, const CString& target)
{
    PendingMove move;
    move.sameDrive = OnSameDrive(item.GetPath(), target);
    if (move.sameDrive) {
        move.targetNote = m_notes.ReadNote(target);
    } else {
        int copied = CopyWithRetry(item.GetPath(), target);
        if (copied != Transferred)
            return copied;
    }
    move.takeNote = GiveNote(item, target, &move.targetNoteChanged);
    move.item = std::make_unique<VyxFile>(item);
    move.target = target;
    if (m_pending.empty())
        m_pendingSince = GetTickCount();
    m_pending.push_back(std::move(move));
    if (static_cast<int>(m_pending.size()) >= m_settleFiles || GetTickCount() - m_pendingSince >= m_settleMilliseconds)
        SettleMoves();
    return Transferred;
}

bool VyxFileTransfer::IsPendingTarget(const CString& target) const
{
    for (const PendingMove& move : m_pending)
        if (EqualNoCase(move.target, target))
            return true;
    return false;
}

void VyxFileTransfer::SettleMoves()
{
    if (m_pending.empty())
        return;
    std::vector<PendingMove> pending;
    pending.swap(m_pending);
    std::vector<CString> folders;
    for (const PendingMove& move : pending) {
        const CString folder = PathPart(move.target, PartFolder);
        if (std::none_of(folders.begin(), folders.end(), [&](const CString& f) { return EqualNoCase(f, folder); }))
            folders.push_back(folder);
    }
    // The targets' note files first: from here on a crash leaves a note twice, never only behind.
    if (m_noteJob)
        for (const CString& folder : folders)
            m_noteJob->Settle(folder);
    for (PendingMove& move : pending) {
        int outcome =
            move.sameDrive ? MoveOnOneDrive(*move.item, move.target) : DeleteMovedSource(*move.item, move.target);
        if (outcome == Transferred) {
            m_changed = true;
            FollowMovedItem(*move.item, move.target, move.takeNote);
            continue;
        }
        // The file stays where it was and counts as not moved.
        ++m_unmoved;
        if (outcome == Stop)
            m_stopped = true;
        if (!move.sameDrive)
            CopyLocationNotes(*move.item, move.target); // the copy keeps its note
        else if (move.targetNoteChanged && m_noteJob)
            m_noteJob->Give(move.target, move.targetNote);
    }
    // Then the sources' note files, without the notes that left with their files.
    if (m_noteJob)
        for (const CString& folder : folders)
            m_noteJob->Settle(folder);
}

bool VyxFileTransfer::GiveNote(VyxFile& item, const CString& target, bool* changed)
{
    if (changed)
        *changed = false;
    if (!m_noteJob)
        return false;
    const bool notelessTarget = FolderOf(target) == m_notelessTarget;
    // As it stands now: another instance may have written it since the item was listed or put
    // on the clipboard.
    CString note = item.GetNoteAsItStands();
    if (note.IsEmpty()) {
        std::vector<CString> sharing;
        note = SharedNoteOf(item, sharing);
        if (!note.IsEmpty()) {
            // The names still at the source keep the section; the target takes a copy where its
            // name has the section to itself.
            const bool carried = m_noteJob->Give(target, note, false);
            m_noteJob->Shared(item.GetPath(), sharing, carried);
            // A folder moved whole stays for the note file that still holds the section.
            if (m_move)
                m_noteJob->KeepIn(item.GetResolvedFolder());
            if (changed)
                *changed = carried;
            if (carried && notelessTarget)
                m_notelessTarget.Empty();
            return false;
        }
    }
    // An empty note removes whatever note the destination held under the name.
    if (note.IsEmpty() && (notelessTarget || m_notes.ReadNote(target).IsEmpty()))
        return false;
    const bool given = m_noteJob->Give(target, note);
    if (changed)
        *changed = true;
    if (!note.IsEmpty() && notelessTarget)
        m_notelessTarget.Empty();
    // A refused note stays with the source, and the user is told.
    return given && !note.IsEmpty();
}

CString VyxFileTransfer::SharedNoteOf(const VyxFile& item, std::vector<CString>& others) const
{
    if (item.IsArchiveMember() || item.IsFolder())
        return CString();
    VyxNoteStore source(theCacheList.GetCacheFolder());
    source.SetLocation(item.GetResolvedFolder(), nullptr);
    if (!source.SharesSection(item.GetPath()))
        return CString();
    CString section = source.GetSectionOf(item.GetPath());
    const std::unordered_map<std::wstring, CString> notes = source.ReadAllNotes();
    auto found = notes.find(std::wstring(section.MakeLower()));
    if (found == notes.end())
        return CString();
    others = source.GetNamesSharingSection(item.GetPath());
    return found->second;
}

void VyxFileTransfer::ExpectNames(const CString& folder, const std::vector<CString>& names) const
{
    VyxNoteStore target(theCacheList.GetCacheFolder());
    target.SetLocation(folder, nullptr);
    for (const CString& name : names) {
        CString path;
        // Asking counts the name as the folder's for the rest of the job.
        target.SharesSection(MakePath(path, nullptr, folder, name, nullptr));
    }
}

void VyxFileTransfer::FollowMovedItem(const VyxFile& item, const CString& target, bool takeNote)
{
    if (m_noteJob && takeNote)
        m_noteJob->TakeFromSource(item, target);
    // Cache entries kept for the file as a location (an archive) follow it.
    CString noteFile;
    if (m_locationNotes.Find(noteFile, item.GetResolvedFolder(), item.GetFileName()))
        m_notes.RenameFolder(target, item.GetPath());
}

void VyxFileTransfer::CopyLocationNotes(const VyxFile& item, const CString& target)
{
    // A location's own note file (an archive's members) is copied when it is kept centrally; the
    // folder's own note file belongs to the folder.
    const CString folder = item.GetResolvedFolder();
    CString noteFile, inFolder, targetName;
    MakePath(inFolder, nullptr, folder, VyxCacheIndex::GetInFolderName(VyxCacheIndex::KindNote), nullptr);
    if (m_locationNotes.Find(noteFile, folder, item.GetFileName()) && !EqualNoCase(noteFile, inFolder)) {
        GetPathPart(targetName, target, PartFileName);
        CopyFileSized(noteFile, m_notes.GetNoteFileName(FolderOf(target), targetName), 2, nullptr, 0);
        // The index may have gained the target's entry.
        m_locationNotes.Forget();
    }
}
