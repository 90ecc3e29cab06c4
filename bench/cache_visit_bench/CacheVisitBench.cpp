// The program (Vyx.exe, started as a user starts it) on a folder of 200,000 pictures with the
// thumbnail cache on, whose cache file holds a thumbnail for each (about 7 KB apiece, as photos'
// are): visited twice, then once more by a copy of the program whose large-address awareness is
// cleared (2 GB of address space), and once by the program with the cache off (the bare side).
// From its first show to the end of its process, its close included, each visit's committed memory
// and the largest free block of its address space are sampled from outside (VirtualQueryEx), and
// the longest wait for an answer (WM_NULL) once the folder is listed is kept; each visit shows the
// first screen, then the last, and ends with WM_CLOSE, timed to its answer and to the end of the
// process, after which the cache file is counted again. Each copy has run once before on a small
// folder, so that its settings file stands as a user's does (that first close, which writes every
// setting, is printed too). Photos the cache does not hold come first in the folder, so each visit
// makes thumbnails. The file holds one record twice, so the first visit's close writes the whole
// file again (on its thread, with the progress window); before the second visit another set of new
// photos comes first, so its close adds their records to the file. Every visit runs 5 times, each
// run of the two visits with new photos and a record twice again. Goals, in 5 of 5 runs: under 500
// MB committed with the cache on (its close too), no wait over 100 ms once listed, WM_CLOSE
// answered within 100 ms, the process ended within 1 s of it where the close writes no whole cache
// file and otherwise within 1 s more than the benchmark took to write the same file, the cache file
// whole after every close, the same with 2 GB of address space. The benchmark fails (exit code 1)
// and says which goal it missed, or that a visit measured nothing. The files are empty but for the
// photos (their names, sizes and times are what the cache checks) and are made through Wine's Unix
// path form, which does not search the folder for every name; the folder is removed at the end.
// --pictures=N sets another count. (A small run: 300 pictures, 10 photos a set, one run; its visits
// end within six minutes, got there or not.)
#include "catalogue/FrameMessages.h"

#include "../BenchArgs.h"
#include "../BenchClock.h"
#include "../ManyFiles.h"
#include "../PhotoJpeg.h"
#include "../ProgramCopy.h"
#include "common/OwnedProcess.h"
#include "common/ScratchTree.h"
#include "common/WindowTestUtil.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

int g_pictures = BenchSize(200000, 300);
constexpr double kCommittedGoalMb = 500, kWaitGoalMs = 100, kEndGoalSeconds = 1;
const int kFresh = BenchSize(60, 10); // photos a set that the cache does not hold, first in the folder
constexpr LONG kBoxWidth = 160, kBoxHeight = 120;
constexpr DWORD kFileTime = 1500000000; // seconds since 1970

// The seconds the benchmark took to write the whole cache file: a close that writes it again waits
// for no less.
double g_wholeWrite = 0;
std::wstring g_root, g_folder, g_program, g_programSmall, g_programBare, g_cacheFile, g_warmFolder;
// The small run's visits end by this time, so that even visits that never get there leave the
// run within the test run's limit of ten minutes (set at the start).
double g_smallRunDeadline = 0;

FILETIME ToFileTime(DWORD seconds)
{
    ULONGLONG ticks = (static_cast<ULONGLONG>(seconds) + 11644473600ull) * 10000000ull;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

bool PutFile(const std::wstring& path, const void* bytes, DWORD size)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = size == 0 || (WriteFile(file, bytes, size, &written, nullptr) && written == size);
    const FILETIME time = ToFileTime(kFileTime);
    ok = ok && SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    return ok;
}

std::wstring PictureName(int i)
{
    wchar_t name[32];
    swprintf(name, 32, L"IMG_%06d.JPG", i);
    return name;
}

// The cache file as the program writes it, one record per picture the cache holds.
class CacheWriter
{
public:
    // Appending: the records go after those the file holds.
    explicit CacheWriter(const std::wstring& path, bool append = false)
        : m_file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, append ? OPEN_EXISTING : CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr))
    {
        if (append && m_file != INVALID_HANDLE_VALUE)
            SetFilePointer(m_file, 0, nullptr, FILE_END);
    }
    ~CacheWriter() { Close(); }
    bool Close()
    {
        Flush();
        const bool ok = m_ok && m_file != INVALID_HANDLE_VALUE;
        if (m_file != INVALID_HANDLE_VALUE)
            CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
        return ok;
    }
    void Head()
    {
        Field(-1, "VYX.KR. cache file", 18);
        const double version = 1.0;
        Field(-2, &version, 8);
    }
    void Record(const std::wstring& name, const std::vector<BYTE>& jpeg)
    {
        Pair(1006, 0, 0);
        Pair(1007, kFileTime, 0);
        Text(2001, name);
        // The name the plug-in host gives the program's JPEG reader (its file name without the
        // extension), which the program's own records carry too.
        Text(2002, L"vyx_jpeg");
        Text(2005, L"");
        Pair(1012, kBoxWidth + 20, kBoxHeight + 40);
        Pair(1013, kBoxWidth, kBoxHeight);
        Int(1008, 1600);
        Int(1009, 1200);
        Int(1010, 24);
        Text(2003, L"");
        Text(2004, L"");
        Int(1025, 0);
        Field(1022, jpeg.data(), static_cast<DWORD>(jpeg.size()));
        const DWORD end = 0xFFFFFFFF;
        Field(0, &end, 4);
        if (m_bytes.size() > (4u << 20))
            Flush();
    }

private:
    void Raw(const void* data, size_t size)
    {
        const BYTE* bytes = static_cast<const BYTE*>(data);
        m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    }
    void Field(int tag, const void* value, DWORD size)
    {
        Raw(&tag, 4);
        Raw(&size, 4);
        Raw(value, size);
    }
    void Int(int tag, int value) { Field(tag, &value, 4); }
    void Pair(int tag, DWORD first, DWORD second)
    {
        const DWORD both[2] = {first, second};
        Field(tag, both, 8);
    }
    void Text(int tag, const std::wstring& text) { Field(tag, text.c_str(), static_cast<DWORD>(text.size() + 1) * 2); }
    void Flush()
    {
        DWORD written = 0;
        if (!m_bytes.empty() && m_file != INVALID_HANDLE_VALUE)
            m_ok = m_ok && WriteFile(m_file, m_bytes.data(), static_cast<DWORD>(m_bytes.size()), &written, nullptr) &&
                   written == m_bytes.size();
        m_bytes.clear();
    }

    HANDLE m_file;
    std::vector<BYTE> m_bytes;
    bool m_ok = true;
};

// The records of a cache file and its size (heads only: the images are stepped over).
struct CacheCount
{
    int records = 0;
    int withImage = 0;
    double megabytes = 0;
};

CacheCount CountCache(const std::wstring& path)
{
    CacheCount count;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return count;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    count.megabytes = size.QuadPart / 1048576.0;
    std::vector<BYTE> window(1 << 16);
    ULONGLONG start = 0, filled = 0, offset = 0;
    bool image = false;
    while (offset + 8 <= static_cast<ULONGLONG>(size.QuadPart)) {
        if (offset < start || offset + 8 > start + filled) {
            OVERLAPPED at = {};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            DWORD read = 0;
            if (!ReadFile(file, window.data(), static_cast<DWORD>(window.size()), &read, &at) || read < 8)
                break;
            start = offset;
            filled = read;
        }
        int tag = 0;
        DWORD length = 0;
        std::memcpy(&tag, &window[offset - start], 4);
        std::memcpy(&length, &window[offset - start + 4], 4);
        if (tag == 1022 || tag == 1024)
            image = true;
        if (tag == 0) {
            ++count.records;
            count.withImage += image ? 1 : 0;
            image = false;
        }
        offset += 8ull + length;
    }
    CloseHandle(file);
    return count;
}

std::vector<std::wstring> g_freshPhotos; // those of the run on its way

// Photos the cache does not hold, named to come first in the folder (so on the first screen); each
// set named to come before the one added earlier.
bool AddFreshPhotos(const std::wstring& prefix)
{
    const std::vector<BYTE> photo = MakePhotoJpeg(1600, 1200);
    const std::wstring fast = UnixFormPath(g_folder);
    for (int i = 0; i < kFresh; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\%ls%03d.JPG", prefix.c_str(), i);
        g_freshPhotos.push_back(fast + name);
        if (!PutFile(fast + name, photo.data(), static_cast<DWORD>(photo.size())))
            return false;
    }
    return true;
}

// Every run of the two visits starts alike: new photos the cache does not hold first in the folder
// (the last run's gone), and one record twice in the cache file, so that the first visit's close
// writes the whole file.
bool StartRun(int run)
{
    for (const std::wstring& path : g_freshPhotos)
        DeleteFileW(path.c_str());
    g_freshPhotos.clear();
    CacheWriter cache(g_cacheFile, true);
    cache.Record(PictureName(g_pictures - 1), MakePhotoJpeg(kBoxWidth, kBoxHeight));
    return cache.Close() && AddFreshPhotos(L"B" + std::to_wstring(run) + L"_");
}

bool Prepare()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    g_root = std::wstring(temp) + L"vyx_cache_visit_" + std::to_wstring(GetCurrentProcessId());
    g_folder = g_root + L"\\pictures";
    g_program = g_root + L"\\program";
    g_programSmall = g_root + L"\\program2gb";
    g_programBare = g_root + L"\\programbare";
    g_cacheFile = g_folder + L"\\_THUMBS_.KWI";
    for (const std::wstring& folder : {g_root, g_folder, g_program, g_programSmall, g_programBare})
        CreateDirectoryW(folder.c_str(), nullptr);

    const double begun = BenchSeconds();
    const std::wstring fast = UnixFormPath(g_folder);
    for (int i = 0; i < g_pictures; ++i) {
        const std::wstring path = fast + L"\\" + PictureName(i);
        if (!PutFile(path, nullptr, 0)) {
            std::printf("could not make %ls\n", path.c_str());
            return false;
        }
    }
    const std::vector<BYTE> thumbnail = MakePhotoJpeg(kBoxWidth, kBoxHeight);
    const double writing = BenchSeconds();
    CacheWriter cache(g_cacheFile);
    cache.Head();
    for (int i = 0; i < g_pictures; ++i)
        cache.Record(PictureName(i), thumbnail);
    if (!cache.Close())
        return false;
    g_wholeWrite = BenchSeconds() - writing;
    // Photos first in the folder that the cache does not hold, and one record twice.
    if (!StartRun(0))
        return false;
    const CacheCount count = CountCache(g_cacheFile);
    std::printf("%d pictures and %d photos the cache does not hold; a cache file of %d records, %.0f MB "
                "(thumbnails of %zu bytes), written in %.1f s (the platform's floor for a close that writes it "
                "whole), all made in %.1f s\n",
                g_pictures, kFresh, count.records, count.megabytes, thumbnail.size(), g_wholeWrite,
                BenchSeconds() - begun);

    // The program and its plug-ins, with settings of their own: the cache on, no idle walk of
    // the folder tree (the end of the idle work is then the end of the grid's passes).
    // Another build of the program may be named, to compare the two on the same folder.
    wchar_t other[MAX_PATH] = {};
    const std::wstring source =
        GetEnvironmentVariableW(L"VYX_CACHE_VISIT_PROGRAM", other, MAX_PATH) ? other : ProgramBinFolder() + L"Vyx.exe";
    for (const std::wstring& program : {g_program, g_programSmall, g_programBare}) {
        if (!CopyProgram(source, program))
            return false;
        const std::wstring ini = program + L"\\Vyx.ini";
        const wchar_t* cacheOn = program == g_programBare ? L"0" : L"1";
        WritePrivateProfileStringW(L"KWDoc", L"CacheFolder", cacheOn, ini.c_str());
        WritePrivateProfileStringW(L"KWDoc", L"AutoCacheFolder", cacheOn, ini.c_str());
        WritePrivateProfileStringW(L"FolderView", L"CheckSubFolder", L"0", ini.c_str());
    }
    // The copy without large-address awareness: 2 GB of address space, as the flag's absence
    // gives on Windows.
    HANDLE exe = CreateFileW((g_programSmall + L"\\Vyx.exe").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (exe == INVALID_HANDLE_VALUE)
        return false;
    IMAGE_DOS_HEADER dos = {};
    IMAGE_FILE_HEADER header = {};
    DWORD done = 0;
    bool cleared = ReadFile(exe, &dos, sizeof(dos), &done, nullptr) && dos.e_magic == IMAGE_DOS_SIGNATURE &&
                   SetFilePointer(exe, dos.e_lfanew + 4, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
                   ReadFile(exe, &header, sizeof(header), &done, nullptr) && done == sizeof(header);
    if (cleared) {
        header.Characteristics &= ~IMAGE_FILE_LARGE_ADDRESS_AWARE;
        cleared = SetFilePointer(exe, dos.e_lfanew + 4, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
                  WriteFile(exe, &header, sizeof(header), &done, nullptr) && done == sizeof(header);
    }
    CloseHandle(exe);
    return cleared;
}

// The committed memory of a process and the largest free block of its address space.
struct AddressSpace
{
    double committedMb = 0;
    double mappedMb = 0;
    double largestFreeMb = 0;
};

AddressSpace Measure(HANDLE process)
{
    AddressSpace space;
    MEMORY_BASIC_INFORMATION info;
    for (BYTE* at = nullptr; VirtualQueryEx(process, at, &info, sizeof(info)) == sizeof(info);) {
        if (info.State == MEM_COMMIT) {
            space.committedMb += info.RegionSize / 1048576.0;
            if (info.Type == MEM_MAPPED)
                space.mappedMb += info.RegionSize / 1048576.0;
        }
        if (info.State == MEM_FREE)
            space.largestFreeMb = std::max(space.largestFreeMb, info.RegionSize / 1048576.0);
        BYTE* next = static_cast<BYTE*>(info.BaseAddress) + info.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return space;
}

// The grid: the program's own scrolling view (the lists and the tree are common controls).
BOOL CALLBACK FindGrid(HWND hWnd, LPARAM lParam)
{
    wchar_t name[64] = {};
    GetClassNameW(hWnd, name, 64);
    if (wcsncmp(name, L"Afx:", 4) == 0 && (GetWindowLongW(hWnd, GWL_STYLE) & WS_VSCROLL)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

struct Visit
{
    double listed = -1, firstScreen = -1, bottomScreen = -1;
    double longestWaitListing = 0, longestWaitListed = 0, longestWaitClosing = 0;
    double closeAnswered = -1, windowGone = -1, ended = -1;
    // From the first show to the process's end, from WM_CLOSE on, and once its last screen is shown.
    AddressSpace peak, lowestFree, peakClosing, settled;
    int closingLooks = 0;
    bool lastLookLost = false; // a look at the process's end never came back
    CacheCount after;
    // Where a visit that ran out of time first stopped.
    const char* stuck = "";
    void Stuck(const char* where)
    {
        if (!*stuck)
            stuck = where;
    }
};

// Asks for an answer, counting the wait into the longest of the phase in force.
class Pinger
{
public:
    explicit Pinger(HWND window) : m_window(window)
    {
        m_thread = std::thread([this] {
            while (!m_stop) {
                // A wait counts in the phase it began in.
                const int phase = m_phase;
                const double start = BenchSeconds();
                DWORD_PTR answer = 0;
                if (!SendMessageTimeoutW(m_window, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &answer) && !IsWindow(m_window))
                    break;
                const double waited = BenchSeconds() - start;
                double* longest = phase == 0 ? &m_listing : phase == 1 ? &m_listed : &m_closing;
                *longest = std::max(*longest, waited);
                Sleep(5);
            }
        });
    }
    ~Pinger() { Stop(); }
    void Stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    void SetPhase(int phase) { m_phase = phase; }
    double m_listing = 0, m_listed = 0, m_closing = 0;

private:
    HWND m_window;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_phase{0};
    std::thread m_thread;
};

// Milliseconds left before the deadline, at least one.
UINT MsLeft(double deadline)
{
    return static_cast<UINT>(std::max(1.0, (deadline - BenchSeconds()) * 1000));
}

// Until the program's own idle loop has done its work (its work flags only read, no step run).
bool WaitForIdle(HWND frame, double deadline)
{
    while (BenchSeconds() < deadline) {
        DWORD_PTR busy = 0;
        if (!SendMessageTimeoutW(frame, WMU_WORKFLAGS, 0, 0, SMTO_NORMAL, MsLeft(deadline), &busy))
            return false;
        if (!busy)
            return true;
        Sleep(1);
    }
    return false;
}

Visit RunVisit(const std::wstring& program, const std::wstring& folder = g_folder)
{
    Visit visit;
    const std::wstring line = L"\"" + program + L"\\Vyx.exe\" \"" + folder + L"\"";
    if (!NoInstanceRuns(60000)) {
        visit.Stuck("another instance of the program runs in this session (a start would hand over to it)");
        return visit;
    }
    OwnedProcess process;
    const double start = BenchSeconds();
    // A program that never gets there fails the run with where it stopped, well before the test
    // run's own limit, and is ended: left running, it would make the next start a second instance.
    const double deadline = BenchSmall() ? std::min(start + 180, g_smallRunDeadline) : start + 3600;
    if (!process.Start(line, program.c_str()))
        return visit;
    // From the first show until the process ends, its close (and the cache file it writes) too:
    // Wine answers a look into another process's memory from that process's own threads, and one
    // that is starting or ending may never answer. Should a look never come back, its thread is
    // left behind with the figures it writes (and a handle of its own); one lost at the process's
    // end keeps the figures looked at before.
    struct Sampling
    {
        std::atomic<bool> on{true}, watching{false}, closing{false}, done{false};
        AddressSpace peak, lowestFree, peakClosing;
        int closingLooks = 0;
    };
    auto sampling = std::make_shared<Sampling>();
    sampling->lowestFree.largestFreeMb = 1e9;
    HANDLE looked = nullptr;
    DuplicateHandle(GetCurrentProcess(), process.Handle(), GetCurrentProcess(), &looked, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    std::thread sampler([sampling, looked] {
        while (sampling->on) {
            if (sampling->watching) {
                const bool closing = sampling->closing;
                const AddressSpace now = Measure(looked);
                if (now.committedMb > sampling->peak.committedMb)
                    sampling->peak = now;
                if (now.largestFreeMb > 0 && now.largestFreeMb < sampling->lowestFree.largestFreeMb)
                    sampling->lowestFree = now;
                if (closing && now.committedMb > 0) {
                    ++sampling->closingLooks;
                    if (now.committedMb > sampling->peakClosing.committedMb)
                        sampling->peakClosing = now;
                }
            }
            // More often while it closes: a close is short, and what it writes may be held briefly.
            if (WaitForSingleObject(looked, sampling->closing ? 20 : 200) == WAIT_OBJECT_0)
                break;
        }
        CloseHandle(looked);
        sampling->done = true;
    });
    const auto stopSampling = [&] {
        if (!sampler.joinable())
            return;
        sampling->on = false;
        const double stopping = BenchSeconds(), grace = process.Ended(0) ? 10 : 60;
        while (!sampling->done && BenchSeconds() - stopping < grace)
            Sleep(5);
        if (!sampling->done) {
            sampler.detach();
            if (!process.Ended(0))
                visit.Stuck("a look into its memory never came back");
            else
                visit.lastLookLost = true;
        } else {
            sampler.join();
        }
        visit.peak = sampling->peak;
        visit.lowestFree = sampling->lowestFree;
        visit.peakClosing = sampling->peakClosing;
        visit.closingLooks = sampling->closingLooks;
    };
    HWND window = nullptr;
    while (!window && BenchSeconds() < deadline) {
        window = ShownMainWindowOf(process.Id());
        if (!window && process.Ended(5))
            break;
    }
    if (window) {
        sampling->watching = true;
        Pinger pinger(window);
        // Listed once the title names the folder (it is set after the listing, never inside it).
        std::wstring wanted = folder;
        CharLowerBuffW(&wanted[0], static_cast<DWORD>(wanted.size()));
        while (BenchSeconds() < deadline) {
            wchar_t title[1024] = {};
            DWORD_PTR length = 0;
            if (SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(title), SMTO_NORMAL,
                                    MsLeft(deadline), &length)) {
                CharLowerBuffW(title, static_cast<DWORD>(wcslen(title)));
                if (wcsstr(title, wanted.c_str())) {
                    visit.listed = BenchSeconds() - start;
                    break;
                }
            }
            Sleep(2);
        }
        pinger.SetPhase(1);
        // The grid's passes start with its first paint: painted first, so that no idle step is
        // asked before they have begun.
        if (visit.listed > 0)
            RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (visit.listed < 0)
            visit.Stuck("its title never named the folder");
        else if (!WaitForIdle(window, deadline))
            visit.Stuck("its idle work on the first screen never ended");
        else {
            visit.firstScreen = BenchSeconds() - start;
            // On to the end of the grid: its last screen's thumbnails come from the end of the file.
            HWND grid = nullptr;
            EnumChildWindows(window, &FindGrid, reinterpret_cast<LPARAM>(&grid));
            DWORD_PTR answer = 0;
            if (grid && SendMessageTimeoutW(grid, WM_VSCROLL, SB_BOTTOM, 0, SMTO_NORMAL, MsLeft(deadline), &answer) &&
                WaitForIdle(window, deadline)) {
                visit.bottomScreen = BenchSeconds() - start;
                visit.settled = Measure(process.Handle());
            } else {
                visit.Stuck("it never settled on the last screen");
            }
        }
        pinger.SetPhase(2);
        // One that did not get there is ended at once: its close would tell nothing, and could
        // hang as well.
        const bool closes = !*visit.stuck;
        if (!closes) {
            process.Terminate();
            stopSampling();
        }
        sampling->closing = true;
        const double closingAt = BenchSeconds();
        // What the user sees: the window gone from the screen, before or after the answer.
        std::atomic<bool> closing{true};
        std::thread gone([&] {
            while (closing && IsWindow(window) && IsWindowVisible(window))
                Sleep(2);
            visit.windowGone = BenchSeconds() - closingAt;
        });
        DWORD_PTR answer = 0;
        if (closes) {
            if (!SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL, MsLeft(deadline + 60), &answer) &&
                IsWindow(window))
                visit.Stuck("WM_CLOSE was never answered");
            visit.closeAnswered = BenchSeconds() - closingAt;
            if (process.Ended(MsLeft(deadline + 120)))
                visit.ended = BenchSeconds() - closingAt;
            else
                visit.Stuck("the process never ended after WM_CLOSE");
        }
        closing = false;
        gone.join();
        pinger.Stop();
        visit.longestWaitListing = pinger.m_listing;
        visit.longestWaitListed = pinger.m_listed;
        visit.longestWaitClosing = pinger.m_closing;
    } else {
        visit.Stuck("its window was never shown");
    }
    process.Terminate();
    stopSampling();
    visit.after = CountCache(g_cacheFile);
    return visit;
}

// Each copy started once on a small folder and closed, as a user's program has run before: the
// settings file then holds what the program writes when it closes, and a later close writes only
// what changed. The first close, which writes every setting, is printed.
bool WarmUp()
{
    g_warmFolder = g_root + L"\\warm";
    CreateDirectoryW(g_warmFolder.c_str(), nullptr);
    const std::vector<BYTE> photo = MakePhotoJpeg(640, 480);
    for (int i = 0; i < 5; ++i)
        if (!PutFile(g_warmFolder + L"\\" + PictureName(i), photo.data(), static_cast<DWORD>(photo.size())))
            return false;
    for (const std::wstring& program : {g_programBare, g_program, g_programSmall}) {
        const Visit first = RunVisit(program, g_warmFolder);
        if (first.listed < 0 || *first.stuck) {
            std::printf("the first start of %ls on a folder of 5 failed: %s\n",
                        program.substr(program.rfind(L'\\') + 1).c_str(), *first.stuck ? first.stuck : "it ended");
            return false;
        }
        std::printf("first start of %ls on a folder of 5: WM_CLOSE answered after %.0f ms (every setting written), "
                    "process ended %.2f s after WM_CLOSE\n",
                    program.substr(program.rfind(L'\\') + 1).c_str(), first.closeAnswered * 1000, first.ended);
    }
    std::fflush(stdout);
    return true;
}

void PrintVisit(const char* name, const Visit& visit)
{
    std::printf("%s: listed %.1f s, first screen %.1f s, last screen %.1f s; longest wait for an answer %.0f ms "
                "while listing, %.0f ms once listed (goal 100 ms)\n",
                name, visit.listed, visit.firstScreen, visit.bottomScreen, visit.longestWaitListing * 1000,
                visit.longestWaitListed * 1000);
    std::printf("  committed at most %.0f MB (%.0f MB of it mapped files; goal under 500 MB with the cache on), %.0f "
                "MB once the last screen is shown, at most %.0f MB from WM_CLOSE to its end (%d looks%s); largest free "
                "block of the address space at least %.0f MB (%.0f MB committed then)\n",
                visit.peak.committedMb, visit.peak.mappedMb, visit.settled.committedMb, visit.peakClosing.committedMb,
                visit.closingLooks, visit.lastLookLost ? ", the last at its end never came back" : "",
                visit.lowestFree.largestFreeMb, visit.lowestFree.committedMb);
    std::printf("  WM_CLOSE answered after %.0f ms (goal 100 ms), window gone from the screen after %.0f ms, longest "
                "wait while closing %.0f ms, process ended %.2f s after WM_CLOSE; cache file then: %d records (%d with "
                "their image), %.0f MB\n",
                visit.closeAnswered * 1000, visit.windowGone * 1000, visit.longestWaitClosing * 1000, visit.ended,
                visit.after.records, visit.after.withImage, visit.after.megabytes);
    std::fflush(stdout);
}

// The visit's goals; false when it did not get to its screens.
void Report(benchmark::State& state, const Visit& visit)
{
    state.counters["committed_mb"] = visit.peak.committedMb;
    state.counters["largest_free_mb"] = visit.lowestFree.largestFreeMb;
    state.counters["wait_listed_ms"] = visit.longestWaitListed * 1000;
    state.counters["close_answer_ms"] = visit.closeAnswered * 1000;
    state.counters["records_after"] = visit.after.records;
}

// The visit against its goals (false when it measured nothing; met tells whether all were met).
// cacheOn: the memory goal holds, and the cache file keeps at least the records it was made with,
// each with its image; endsAtOnce: its close writes no whole cache file, so the process ends within
// a second; otherwise within a second more than the platform took to write the same file.
bool Check(const char* name, const Visit& visit, bool cacheOn, bool endsAtOnce, int records, bool& met)
{
    met = false;
    if (!BenchMeasured(visit.listed > 0 && visit.firstScreen > 0 && visit.bottomScreen > 0 &&
                           visit.closeAnswered >= 0 && !*visit.stuck,
                       "%s: the folder was not listed, its screens not shown or the window not found (%s)", name,
                       *visit.stuck ? visit.stuck : "the program ended"))
        return false;
    met = true;
    if (cacheOn)
        met &= BenchGoal(visit.peak.committedMb > 0 && visit.peak.committedMb < kCommittedGoalMb,
                         "%s: %.0f MB committed at most (goal: under %.0f MB)", name, visit.peak.committedMb,
                         kCommittedGoalMb);
    met &= BenchGoal(visit.longestWaitListed * 1000 <= kWaitGoalMs,
                     "%s: an answer waited %.0f ms once listed (goal: %.0f ms)", name, visit.longestWaitListed * 1000,
                     kWaitGoalMs);
    met &= BenchGoal(visit.closeAnswered * 1000 <= kWaitGoalMs, "%s: WM_CLOSE answered after %.0f ms (goal: %.0f ms)",
                     name, visit.closeAnswered * 1000, kWaitGoalMs);
    const double endGoal = endsAtOnce ? kEndGoalSeconds : kEndGoalSeconds + g_wholeWrite;
    met &= BenchGoal(visit.ended >= 0 && visit.ended <= endGoal,
                     "%s: the process ended %.2f s after WM_CLOSE (goal: %.2f s%s)", name, visit.ended, endGoal,
                     endsAtOnce ? "" : ", a second more than the platform took to write the whole file");
    if (cacheOn)
        met &= BenchGoal(visit.after.records >= records && visit.after.withImage >= visit.after.records,
                         "%s: the cache file held %d records (%d with their image) after the close, of %d", name,
                         visit.after.records, visit.after.withImage, records);
    std::printf("  goals: %s\n", met ? "met" : "not met");
    std::fflush(stdout);
    return true;
}

Visit g_bare; // the program with the cache off on the same folder, measured first

void Ratios(const char* name, const Visit& visit)
{
    if (g_bare.listed < 0 || g_bare.peak.committedMb <= 0)
        return;
    std::printf("  %s beside the cache off: committed once shown %.2fx (%.0f against %.0f MB; at most %.0f against "
                "%.0f MB), WM_CLOSE answered %.2fx (%.0f against %.0f ms), longest wait once listed %.0f against %.0f "
                "ms\n",
                name, g_bare.settled.committedMb > 0 ? visit.settled.committedMb / g_bare.settled.committedMb : 0.0,
                visit.settled.committedMb, g_bare.settled.committedMb, visit.peak.committedMb, g_bare.peak.committedMb,
                g_bare.closeAnswered > 0 ? visit.closeAnswered / g_bare.closeAnswered : 0.0, visit.closeAnswered * 1000,
                g_bare.closeAnswered * 1000, visit.longestWaitListed * 1000, g_bare.longestWaitListed * 1000);
    std::fflush(stdout);
}

// Every visit runs 5 times (once in a small run): its goals hold in 5 of 5 runs.
const int kRuns = BenchIterations(5);

// A visit's runs and those that met every goal.
struct Runs
{
    int done = 0, met = 0;
};

// Counts a checked run; at the last, the runs against the goal. False when the run measured nothing.
bool Count(benchmark::State& state, const char* name, Runs& runs, bool measured, bool met)
{
    if (!measured) {
        state.SkipWithError("the program did not list the folder");
        return false;
    }
    ++runs.done;
    runs.met += met;
    std::printf("  %s: goals met in %d of %d runs so far\n", name, runs.met, runs.done);
    std::fflush(stdout);
    return true;
}

void Tally(const char* name, const Runs& runs)
{
    if (BenchMeasured(runs.done == kRuns, "%s: %d runs of %d ended", name, runs.done, kRuns))
        BenchGoal(runs.met == runs.done, "%s: goals met in %d of %d runs (goal: every run)", name, runs.met,
                  runs.done);
}

void VisitWithoutTheCache(benchmark::State& state)
{
    Runs runs;
    for (auto _ : state) {
        g_bare = RunVisit(g_programBare);
        PrintVisit("the cache off (the bare side)", g_bare);
        bool met = false;
        const bool measured = Check("the cache off", g_bare, false, true, 0, met);
        if (!Count(state, "the cache off", runs, measured, met))
            break;
        state.SetIterationTime(g_bare.ended);
        Report(state, g_bare);
    }
    Tally("the cache off", runs);
}

void VisitTwice(benchmark::State& state)
{
    Runs firstRuns, secondRuns;
    for (auto _ : state) {
        const int run = firstRuns.done;
        if (run > 0 && !StartRun(run)) {
            state.SkipWithError("the photos or the cache file's record could not be added");
            break;
        }
        const Visit first = RunVisit(g_program);
        PrintVisit("first visit (its close writes the whole file)", first);
        Ratios("first visit", first);
        bool firstMet = false;
        const bool firstShown = Check("first visit", first, true, false, g_pictures, firstMet);
        if (!Count(state, "first visit", firstRuns, firstShown, firstMet))
            break;
        if (!AddFreshPhotos(L"A" + std::to_wstring(run) + L"_")) {
            state.SkipWithError("the photos could not be added");
            break;
        }
        const Visit second = RunVisit(g_program);
        PrintVisit("second visit (its close adds the new photos' records)", second);
        Ratios("second visit", second);
        bool secondMet = false;
        const bool secondShown = Check("second visit", second, true, true, g_pictures, secondMet);
        if (!Count(state, "second visit", secondRuns, secondShown, secondMet))
            break;
        state.SetIterationTime(first.ended + second.ended);
        Report(state, second);
    }
    Tally("first visit", firstRuns);
    Tally("second visit", secondRuns);
}

void VisitWith2GbOfAddressSpace(benchmark::State& state)
{
    Runs runs;
    for (auto _ : state) {
        const Visit visit = RunVisit(g_programSmall);
        PrintVisit("without large-address awareness", visit);
        Ratios("without large-address awareness", visit);
        bool met = false;
        const bool measured = Check("without large-address awareness", visit, true, true, g_pictures, met);
        if (!Count(state, "without large-address awareness", runs, measured, met))
            break;
        state.SetIterationTime(visit.ended);
        Report(state, visit);
    }
    Tally("without large-address awareness", runs);
}

} // namespace

BENCHMARK(VisitWithoutTheCache)->Iterations(kRuns)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(VisitTwice)->Iterations(kRuns)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(VisitWith2GbOfAddressSpace)->Iterations(kRuns)->UseManualTime()->Unit(benchmark::kMillisecond);

int wmain(int argc, wchar_t** argv)
{
    std::vector<wchar_t*> rest;
    for (int i = 0; i < argc; ++i) {
        if (wcsncmp(argv[i], L"--pictures=", 11) == 0)
            g_pictures = std::max(2, _wtoi(argv[i] + 11));
        else
            rest.push_back(argv[i]);
    }
    g_smallRunDeadline = BenchSeconds() + 360;
    const bool ready = Prepare() && WarmUp();
    if (ready) {
        InitializeBenchmarks(static_cast<int>(rest.size()), rest.data());
        BenchRun();
    } else {
        BenchNothing("the folder, its cache file or the program's copies could not be made");
    }
    RemoveTree(g_root);
    return BenchExitCode();
}
