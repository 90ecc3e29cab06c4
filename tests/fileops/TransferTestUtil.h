// The file-operation engine under test: a job whose message boxes and same-name questions are
// answered by the test, scratch source and destination folders, and notes read and written the
// way the program keeps them (in each folder, or under a central cache root).
#pragma once

#include "CopyTestUtil.h"
#include "catalogue/VyxCacheList.h"
#include "catalogue/VyxFile.h"
#include "catalogue/VyxNoteStore.h"
#include "fileops/VSameFileDlg.h"
#include "fileops/VyxFileTransfer.h"
#include "foundation/VyxPath.h"

#include <functional>
#include <memory>

class ScriptedTransfer : public VyxFileTransfer
{
public:
    // Every text shown, in order.
    std::vector<CString> messages;
    // The answer to a box; by default Ignore for Abort/Retry/Ignore boxes, OK otherwise.
    std::function<int(const CString& text, UINT type)> onMessage;
    // Fills the dialog's answers and returns IDOK or IDCANCEL; by default cancels.
    std::function<INT_PTR(VSameFileDlg& dialog)> onSameName;
    int sameNameQuestions = 0;

    void Add(const CString& path)
    {
        VyxFile item(path);
        AddItem(&item, 0);
    }

protected:
    int ShowMessage(LPCWSTR text, UINT type) override
    {
        messages.emplace_back(text);
        if (onMessage)
            return onMessage(text, type);
        return (type & MB_TYPEMASK) == MB_ABORTRETRYIGNORE ? IDIGNORE : IDOK;
    }
    INT_PTR ShowSameNameDialog(VSameFileDlg& dialog) override
    {
        ++sameNameQuestions;
        return onSameName ? onSameName(dialog) : IDCANCEL;
    }
};

// An answer of the same-name dialog.
inline std::function<INT_PTR(VSameFileDlg&)> Answer(int mode, int applyToAll = 0, const CString& typed = CString())
{
    return [=](VSameFileDlg& dialog) {
        dialog.m_mode = mode;
        dialog.m_applyToAll = applyToAll;
        dialog.m_targetPath = typed;
        return static_cast<INT_PTR>(IDOK);
    };
}

// Scratch folders "src" and "dst" and, when central is set, a cache root that the notes of the
// items and of the job use while it lives.
class TransferScene
{
public:
    explicit TransferScene(bool central = false)
        : m_previousRoot(theCacheList.GetCacheFolder()), src(m_folder / L"src"), dst(m_folder / L"dst")
    {
        CreateDirectoryW(src, nullptr);
        CreateDirectoryW(dst, nullptr);
        if (central) {
            root = m_folder / L"cache";
            CreateDirectoryW(root, nullptr);
        }
        VyxFilexDraw::SetCacheRoot(root);
    }
    ~TransferScene() { VyxFilexDraw::SetCacheRoot(m_previousRoot); }

    CString File(const CString& folder, LPCWSTR name, size_t size = 100, unsigned seed = 1) const
    {
        CString path = folder + L"\\" + name;
        MakeFile(path, size, seed);
        return path;
    }
    CString Folder(const CString& parent, LPCWSTR name) const
    {
        CString path = parent + L"\\" + name;
        CreateDirectoryW(path, nullptr);
        return path;
    }
    void SetNote(const CString& file, LPCWSTR text) const
    {
        VyxNoteStore store(root);
        CString folder;
        store.SetLocation(GetPathPart(folder, file, PartFolder), nullptr);
        store.WriteNote(file, text);
    }
    CString Note(const CString& file) const
    {
        VyxNoteStore store(root);
        CString folder;
        store.SetLocation(GetPathPart(folder, file, PartFolder), nullptr);
        return store.ReadNote(file);
    }
    // A job on this scene's cache root.
    std::unique_ptr<ScriptedTransfer> Job(int move = 0, int mode = VyxFileTransfer::SameAsk) const
    {
        auto job = std::make_unique<ScriptedTransfer>();
        job->SetCacheRoot(root);
        job->SetMoveMode(move);
        job->SetSameNameMode(mode);
        job->SetDestination(dst);
        return job;
    }

private:
    CString m_previousRoot;
    TestFolder m_folder;

public:
    CString src;
    CString dst;
    CString root;
};
