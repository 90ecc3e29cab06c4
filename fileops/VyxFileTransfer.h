// A file-operation job and the engine that runs it in one object: the items to copy or move, the
// destination folder and how same-name files are settled. A builder (the document's commands, a
// picture window, a drop or a paste) fills it and hands it to the main frame with
// WMU_FILEOPERATION; the frame configures it, runs it on the user-interface thread and deletes it.
#pragma once

#include "catalogue/VyxNoteStore.h"
#include "fileops/CThreadedCopier.h"
#include "fileops/LocationNoteFiles.h"
#include "fileops/TargetFolderNames.h"
#include "foundation/VyxFileStatus.h"

#include <memory>
#include <vector>

class VFileAccDlg;
class VSameFileDlg;
class VyxFile;

class TransferNotes;

class VyxFileTransfer
{
public:
    // Same-name policies.
    enum { SameNewer = 0, SameOverwrite = 1, SameIgnore = 2, SameAsk = 3, SameSerial = 4, SameLarger = 5 };
    // The form of serial names when the settings hold no usable one: (name, number, extension).
    static const wchar_t* const kDefaultUniqueNameFormat;

    VyxFileTransfer();
    virtual ~VyxFileTransfer();
    VyxFileTransfer(const VyxFileTransfer&) = delete;
    VyxFileTransfer& operator=(const VyxFileTransfer&) = delete;

    // The job works on copies of its own, whatever the owned flag says, so nothing its caller
    // does while the job pumps messages can pull an item from under it. An owned item (made for
    // the job) is taken over and deleted by the job; any other stays the caller's.
    void AddItem(VyxFile* item, int owned);
    // The file-drop list of the data (with its notes and "Preferred DropEffect") as new items;
    // the item count afterwards, 0 when the data holds no file-drop list.
    int AddDataObject(COleDataObject* data, DROPEFFECT defaultEffect);
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    VyxFile* GetItem(int index) const;

    void SetDestination(LPCWSTR folder) { m_destination = folder ? folder : L""; }
    CString GetDestination() const { return m_destination; }
    void SetMoveMode(int move) { m_move = move ? 1 : 0; }
    int GetMoveMode() const { return m_move; }
    void SetSameNameMode(int mode) { m_sameNameMode = mode >= SameNewer && mode <= SameLarger ? mode : SameAsk; }
    int GetSameNameMode() const { return m_sameNameMode; }
    void SetExistingOnly(int existingOnly) { m_existingOnly = existingOnly ? 1 : 0; }
    void SetSkipIdentical(int skip) { m_skipIdentical = skip ? 1 : 0; }
    void SetRecycleOld(int recycle) { m_recycleOld = recycle ? 1 : 0; }
    // A format that is not exactly one "%s", one "%d" and one "%s" in that order falls back to
    // the default.
    void SetUniqueNameFormat(LPCWSTR format) { m_uniqueNameFormat = CheckUniqueNameFormat(format); }
    const CString& GetUniqueNameFormat() const { return m_uniqueNameFormat; }
    void SetCacheRoot(LPCWSTR folder) { m_notes.SetCacheFolder(folder); }
    // The first call sets the copier up with the size.
    void SetCopyBufferSize(DWORD bytes);
    void CreateProgress(CWnd* parent);
    VFileAccDlg* GetProgress() const { return m_progress.get(); }

    // Runs the job into the folder (null: the stored destination). The number of files and
    // folders transferred; a file moved only as a copy (its source could not be deleted) is not
    // counted, so no caller drops its item or its note.
    virtual int Run(LPCWSTR destination = nullptr);
    // Whether the run wrote anything at the destination (also a copy that Run does not count).
    bool HasChangedFiles() const { return m_changed; }
    // A move's sources go in batches, each once the note files at its targets are written: when
    // this many files wait, or the first of them has waited this long (milliseconds), at each
    // folder's end and at the job's. A crash leaves a note twice, never only behind.
    void SetSettleInterval(int files, DWORD milliseconds);
    static const int kSettleFiles = 64;
    static const DWORD kSettleMilliseconds = 2000;

    // Handing a job to the window that runs it (the main frame). A posted job waits its turn
    // while another runs; a sent one cannot wait, since its sender wants the result. On failure
    // the job is deleted.
    static LRESULT Send(CWnd* window, VyxFileTransfer* job);
    static BOOL Post(CWnd* window, VyxFileTransfer* job);
    bool IsPosted() const { return m_posted; }

    static CString CheckUniqueNameFormat(LPCWSTR format);
    // The first name, for n = 2, 3, ..., that names nothing: the target's folder and name, the
    // number and its extension through the format. False when none is free below kSerialLimit.
    static bool MakeSerialName(CString& out, LPCWSTR target, LPCWSTR format);
    static constexpr int kSerialLimit = 99999;
    // Whether a plain move can take a file from one path to the other: the same drive letter, or
    // the same server and share of two network paths.
    static bool OnSameDrive(LPCWSTR source, LPCWSTR target);
    // Whether a folder must not go into the destination: the destination is the folder, lies
    // inside it or is its parent (any spelling of either path).
    static bool IsRefusedFolderDestination(LPCWSTR destination, LPCWSTR folder);
    // Whether the destination is the folder or lies inside it (any spelling of either path).
    static bool IsInsideFolder(LPCWSTR destination, LPCWSTR folder);

protected:
    // What the user is shown and asked; tests answer instead.
    virtual int ShowMessage(LPCWSTR text, UINT type);
    virtual INT_PTR ShowSameNameDialog(VSameFileDlg& dialog);

private:
    // CameMeanwhile: a copy made not to replace found a file at its target.
    enum Outcome { Transferred = 1, Skipped = 0, Stop = -1, CameMeanwhile = 2 };

    // A moved file whose source has yet to go: on one drive the move itself waits, across drives
    // the copy is at the target and the source waits to be deleted.
    struct PendingMove
    {
        std::unique_ptr<VyxFile> item;
        CString target;
        bool sameDrive = false;
        // The item's own note went to the target and leaves the source once the file has moved.
        bool takeNote = false;
        // On one drive, the target's note before, put back should the move fail.
        bool targetNoteChanged = false;
        CString targetNote;
    };

    // The refusal of a folder that would go into itself, naming both.
    CString IntoItselfText(const CString& folder, const CString& destination) const;
    // Whether a transfer from one folder to another whose path differs from it only in letter case
    // is refused: the note look-ups take such paths for one folder, so it is made only while
    // neither holds a note file. The user is told once for each pair of folders.
    bool RefusesCaseTwinFolders(const CString& sourceFolder, const CString& targetFolder);
    int TransferFolder(const CString& source, const CString& target);
    int TransferFile(VyxFile& item, CString target);
    // The same-name question and policy: whether to transfer (target may change); stop set when
    // the user cancelled the job.
    bool SettleSameName(VyxFile& item, CString& target, const VyxFileStatus& existing, bool& stop);
    int RecycleOld(const CString& path);
    // Without replace, CameMeanwhile when a file is at the target.
    int CopyWithRetry(const CString& source, const CString& target, bool replace = true);
    int MoveOnOneDrive(VyxFile& item, const CString& target);
    int MoveAcrossDrives(VyxFile& item, const CString& target);
    // The source of a complete copy at the target.
    int DeleteMovedSource(VyxFile& item, const CString& target);
    int ExtractMember(VyxFile& item, const CString& target);
    // Queues a move (across drives after its copy) with its note given to the target.
    int BeginMove(VyxFile& item, const CString& target);
    bool IsPendingTarget(const CString& target) const;
    // Writes the targets' note files, then moves or deletes the waiting sources, then writes the
    // sources' note files.
    void SettleMoves();
    // The note for the target: the item's own (an empty one clears the target's), or a copy of
    // the note of a section other names share (the source keeps it; the user is told). True when
    // the item's own note went, which then leaves the source with the file; changed tells whether
    // the target's note was touched.
    bool GiveNote(VyxFile& item, const CString& target, bool* changed = nullptr);
    CString SharedNoteOf(const VyxFile& item, std::vector<CString>& others) const;
    // Names that a folder transfer is yet to bring to the folder count as its names for the notes.
    void ExpectNames(const CString& folder, const std::vector<CString>& names) const;
    // After a move: the source's note and the cache entries kept for the file as a location follow.
    void FollowMovedItem(const VyxFile& item, const CString& target, bool takeNote);
    // A copy of a file kept as a location (an archive) takes the central note file of its members.
    void CopyLocationNotes(const VyxFile& item, const CString& target);
    // The thumbnail cache and layout files of a transferred folder, where the target has none.
    void TransferSideFiles(const CString& source, const CString& target);
    void RemoveMovedFolder(const CString& source);
    // Abort, Retry or Ignore for a failure; the progress window's cancel flag is cleared after.
    int AskAfterFailure(const CString& text);
    // A name refused for leading to a file spelled otherwise (TwinNameGuard::kRefused) is told as
    // it is, with nothing to retry; false for any other error.
    bool TellRefusal(DWORD error);
    void ReportSkipped(const VyxFile& item);
    void FileDone();
    // The progress window takes its messages when its pace says so (work that reports nothing).
    void PumpWhenDue();

    std::vector<VyxFile*> m_items;
    CString m_destination;
    VyxNoteStore m_notes;
    // The sources' own note files as locations, looked up through m_notes.
    LocationNoteFiles m_locationNotes{m_notes};
    TargetFolderNames m_targetNames;
    int m_existingOnly = 0;
    int m_move = 0;
    int m_applyToAll = 0;
    int m_sameNameMode = SameAsk;
    int m_skipIdentical = 0;
    int m_recycleOld = 0;
    std::unique_ptr<VFileAccDlg> m_progress;
    CString m_uniqueNameFormat;
    DWORD m_copyBufferSize = 0;
    CThreadedCopier m_copier;
    bool m_posted = false;
    bool m_changed = false;
    // A target folder known to hold no note file (none needs removing from it).
    CString m_notelessTarget;
    // The pairs of folders differing only in case that were refused (told once each).
    std::vector<CString> m_refusedTwinFolders;
    // The notes of the job that Run carries out.
    TransferNotes* m_noteJob = nullptr;
    std::vector<PendingMove> m_pending;
    DWORD m_pendingSince = 0;
    int m_settleFiles = kSettleFiles;
    DWORD m_settleMilliseconds = kSettleMilliseconds;
    // Files counted as moved whose source could not go after all.
    int m_unmoved = 0;
    // Abort was chosen while waiting sources were settled.
    bool m_stopped = false;
};
