// 10,000 files, every other one with a note, put on the clipboard by the document's copy, and
// pasted by a second document on an empty folder: the time of the copy (and of the same copy again,
// once the items' notes have been read), of the paste command (the file list read into a job, which
// is posted to the main window) and until the job has copied every file with its note, run by the
// main window as the program's runs it; beside it, a plain CopyFileW loop over the same files in
// the same turn. Goals: the copy under 1 s, the paste within 1.2x of the plain loop. Fails when the
// paste left a file or a note behind. (A small run: 200 files.)
#include "browser/CKWDocCommands.h"
#include "catalogue/FrameMessages.h"
#include "catalogue/VyxNoteSession.h"
#include "catalogue/VyxNoteStore.h"
#include "fileops/VyxFileTransfer.h"

#include "../BenchArgs.h"
#include "../FolderDocument.h"
#include "../PhotoJpeg.h"
#include "../PictureFolder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const int kFiles = BenchSize(10000, 200);

std::wstring g_root;

const double kCopyGoalSeconds = 1.0;
const double kPasteGoalRatio = 1.2;

struct Turn
{
    double copy, copyAgain, pasteCommand, pasted, plain;
};

std::wstring FileName(int i)
{
    wchar_t name[32];
    swprintf(name, 32, L"p%05d.jpg", i);
    return name;
}

// Every other file gets a note, all written in one go.
void AddNotes(const std::wstring& folder)
{
    VyxNoteSession session;
    VyxNoteStore notes;
    notes.SetLocation(folder.c_str(), nullptr);
    for (int i = 0; i < kFiles; i += 2)
        notes.WriteNote((folder + L"\\" + FileName(i)).c_str(), (L"メモ " + std::to_wstring(i)).c_str());
}

CString NoteOf(const std::wstring& folder, int i)
{
    VyxNoteStore notes;
    notes.SetLocation(folder.c_str(), nullptr);
    return notes.ReadNote((folder + L"\\" + FileName(i)).c_str());
}

// The bare side: the same files copied by a plain loop, in the same turn.
double PlainCopyLoop(const std::wstring& from, const std::wstring& to)
{
    CreateDirectoryW(to.c_str(), nullptr);
    const double start = BenchSeconds();
    for (int i = 0; i < kFiles; ++i)
        CopyFileW((from + L"\\" + FileName(i)).c_str(), (to + L"\\" + FileName(i)).c_str(), FALSE);
    const double seconds = BenchSeconds() - start;
    RemoveTree(to);
    return seconds;
}
std::vector<Turn> g_turns;

// The main window: runs each job it is handed on this thread, with its progress window, and notes
// when the last one ended.
class CJobFrame : public CFrameWnd
{
public:
    CJobFrame()
    {
        Create(nullptr, L"clipboard bench", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300));
        AfxGetThread()->m_pMainWnd = this;
    }
    ~CJobFrame() override
    {
        AfxGetThread()->m_pMainWnd = nullptr;
        DestroyWindow();
    }

    double endedAt = 0;
    int transferred = 0;

protected:
    void PostNcDestroy() override {}
    afx_msg LRESULT OnFileOperation(WPARAM wParam, LPARAM)
    {
        std::unique_ptr<VyxFileTransfer> job(reinterpret_cast<VyxFileTransfer*>(wParam));
        if (!job)
            return 0;
        job->CreateProgress(this);
        job->SetCopyBufferSize(1048576);
        transferred = job->Run();
        endedAt = BenchSeconds();
        return transferred;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CJobFrame, CFrameWnd)
ON_MESSAGE(WMU_FILEOPERATION, OnFileOperation)
END_MESSAGE_MAP()

void CopyAndPaste(benchmark::State& state)
{
    CJobFrame frame;
    FolderDocument source(g_root + L"\\source");
    const std::wstring destination = g_root + L"\\destination";
    CreateDirectoryW(destination.c_str(), nullptr);
    FolderDocument target(destination);
    if (source.doc.GetItemCount() != kFiles) {
        state.SkipWithError("the files were not listed");
        return;
    }
    for (auto _ : state) {
        frame.endedAt = 0;
        frame.transferred = 0;
        double start = BenchSeconds();
        if (!source.doc.PlaceSelectionOnClipboard(false)) {
            state.SkipWithError("the clipboard did not take the files");
            break;
        }
        double copied = BenchSeconds();
        // Again, with every item's note already read by the first copy: what the notes cost.
        const double firstCopy = copied - start;
        source.doc.PlaceSelectionOnClipboard(false);
        const double copyAgain = BenchSeconds() - copied;
        std::printf("copied to the clipboard in %.2f s, again in %.2f s\n", firstCopy, copyAgain);
        std::fflush(stdout);
        copied = BenchSeconds();
        CKWDocCommands(target.doc).OnEditPaste();
        const double commandEnded = BenchSeconds();
        std::printf("paste command returned in %.2f s\n", commandEnded - copied);
        std::fflush(stdout);
        const double bound = commandEnded + 600;
        MSG msg;
        while (frame.endedAt == 0 && BenchSeconds() < bound) {
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            } else {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            }
        }
        if (frame.transferred != kFiles) {
            state.SkipWithError("the paste did not copy every file");
            break;
        }
        if (NoteOf(destination, 4) != NoteOf(g_root + L"\\source", 4) || NoteOf(destination, 4).IsEmpty()) {
            state.SkipWithError("the paste did not carry the notes");
            break;
        }
        const double plain = PlainCopyLoop(g_root + L"\\source", g_root + L"\\plain");
        g_turns.push_back(Turn{firstCopy, copyAgain, commandEnded - copied, frame.endedAt - copied, plain});
        state.SetIterationTime(firstCopy + frame.endedAt - copied);
        RemoveTree(destination);
        CreateDirectoryW(destination.c_str(), nullptr);
    }
}

BENCHMARK(CopyAndPaste)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int wmain(int argc, wchar_t** argv)
{
    g_root = StartDocumentProcess(L"clipboard");
    MakePictureFolder(g_root + L"\\source", kFiles, MakePhotoJpeg(64, 48));
    AddNotes(g_root + L"\\source");
    InitializeBenchmarks(argc, argv);
    BenchRun();
    std::printf("\n%d files (every other one with a note) copied to the clipboard by the document and pasted into "
                "another folder; goals: copy under %.1f s, paste within %.1fx of a plain CopyFileW loop:\n",
                kFiles, kCopyGoalSeconds, kPasteGoalRatio);
    std::printf("  %6s %10s %14s %17s %20s %12s %12s\n", "turn", "copy s", "copy again s", "paste command s",
                "paste until done s", "plain loop s", "paste ratio");
    for (size_t i = 0; i < g_turns.size(); ++i)
        std::printf("  %6zu %10.2f %14.2f %17.2f %20.2f %12.2f %12.2f\n", i + 1, g_turns[i].copy, g_turns[i].copyAgain,
                    g_turns[i].pasteCommand, g_turns[i].pasted, g_turns[i].plain,
                    g_turns[i].plain > 0 ? g_turns[i].pasted / g_turns[i].plain : 0.0);
    BenchMeasured(!g_turns.empty(), "no copy and paste was timed");
    for (const Turn& turn : g_turns) {
        BenchGoal(turn.copy < kCopyGoalSeconds, "the copy to the clipboard took %.2f s (goal: under %.1f s)", turn.copy,
                  kCopyGoalSeconds);
        BenchGoal(turn.plain > 0 && turn.pasted / turn.plain <= kPasteGoalRatio,
                  "the paste took %.2fx the plain loop (goal: %.1fx)", turn.plain > 0 ? turn.pasted / turn.plain : 0.0,
                  kPasteGoalRatio);
    }
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    RemoveTree(g_root);
    return BenchExitCode();
}
