// 1,000 files deleted to the recycle bin by the document's delete command (recycle bin on, no
// question), beside the same files given to the shell's delete in one list, in the same run and
// taking turns. The recycle bin (under Wine the host's trash, which the run's wrapper keeps in a
// scratch folder) is emptied between turns, so no turn pays for the names of an earlier one.
// Fails when a file was not deleted, or did not reach the recycle bin.
#include "browser/CKWDocCommands.h"

#include "../BenchArgs.h"
#include "../FolderDocument.h"
#include "../PhotoJpeg.h"
#include "../PictureFolder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kFiles = BenchSize(1000, 50);

std::wstring g_root;
std::vector<BYTE> g_picture;

struct Turn
{
    double shell, document;
    int recycled;
};
std::vector<Turn> g_turns;

// The recycle bin's folder of files, as Wine keeps it; empty when it cannot be told.
std::wstring TrashFiles()
{
    wchar_t xdg[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"XDG_DATA_HOME", xdg, MAX_PATH) == 0)
        return std::wstring();
    std::wstring path = std::wstring(L"Z:") + xdg + L"\\Trash\\files";
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    return path;
}

int CountEntries(const std::wstring& folder)
{
    int count = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do
            count += wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0;
        while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return count;
}

void EmptyTrash()
{
    const std::wstring files = TrashFiles();
    if (files.empty())
        return;
    // Wine made the folders once and counts on them: their contents go, they stay.
    const std::wstring info = files.substr(0, files.size() - 5) + L"info";
    for (const std::wstring& folder : {files, info}) {
        RemoveTree(folder);
        CreateDirectoryW(folder.c_str(), nullptr);
    }
}

double ShellDelete(const std::vector<std::wstring>& paths)
{
    std::wstring list;
    for (const std::wstring& path : paths)
        list += path + L'\0';
    list += L'\0';
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    const double start = BenchSeconds();
    SHFileOperationW(&operation);
    return BenchSeconds() - start;
}

void DeleteToRecycleBin(benchmark::State& state)
{
    for (auto _ : state) {
        Turn turn = {};
        EmptyTrash();
        const std::wstring shellFolder = g_root + L"\\shell";
        turn.shell = ShellDelete(MakePictureFolder(shellFolder, kFiles, g_picture));
        const bool shellDone = CountEntries(shellFolder) == 0;
        RemoveTree(shellFolder);
        EmptyTrash();

        const std::wstring folder = g_root + L"\\document";
        MakePictureFolder(folder, kFiles, g_picture);
        FolderDocument document(folder);
        document.doc.TrashCan = true;
        document.doc.DELQA = true;
        const bool listed = document.doc.GetItemCount() == kFiles;
        const double start = BenchSeconds();
        CKWDocCommands(document.doc).OnFileDelete();
        turn.document = BenchSeconds() - start;
        state.SetIterationTime(turn.document);
        turn.recycled = CountEntries(TrashFiles());
        const bool done = CountEntries(folder) == 0 && document.doc.GetItemCount() == 0;
        RemoveTree(folder);
        if (!listed || !done || !shellDone) {
            state.SkipWithError("not every file was deleted");
            break;
        }
        g_turns.push_back(turn);
    }
    EmptyTrash();
}

BENCHMARK(DeleteToRecycleBin)->Iterations(BenchIterations(3))->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int wmain(int argc, wchar_t** argv)
{
    g_root = StartDocumentProcess(L"recycle");
    g_picture = MakePhotoJpeg(64, 48);
    InitializeBenchmarks(argc, argv);
    BenchRun();
    std::printf("\n%d files deleted to the recycle bin%s:\n", kFiles,
                TrashFiles().empty() ? " (its folder is unknown: the files in it are not counted)" : "");
    std::printf("  %6s %16s %12s %7s %18s\n", "turn", "shell, one list s", "document s", "ratio", "in the bin after");
    for (size_t i = 0; i < g_turns.size(); ++i)
        std::printf("  %6zu %16.2f %12.2f %7.2f %18d\n", i + 1, g_turns[i].shell, g_turns[i].document,
                    g_turns[i].document / g_turns[i].shell, g_turns[i].recycled);
    BenchMeasured(!g_turns.empty(), "no turn deleted the files");
    for (size_t i = 0; i < g_turns.size(); ++i)
        BenchMeasured(TrashFiles().empty() || g_turns[i].recycled == kFiles,
                      "turn %zu left %d of %d files in the recycle bin", i + 1, g_turns[i].recycled, kFiles);
    RemoveTree(g_root);
    return BenchExitCode();
}
