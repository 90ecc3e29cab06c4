// Deterministic hostile inputs made from valid seeds, for the robustness programs: the seeds, their
// prefixes, then mutations of the seeds in turn (bytes changed, bits flipped, boundary numbers
// written over fields, pieces cut out or repeated) up to the number of inputs a reader gets.
// Every input keeps the bounds of Bounded: time, and memory for a small one.
#pragma once

#include "common/guard/GuardMeter.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace hostile {

typedef std::vector<BYTE> Input;

// No input may take longer; none under kSmallInput bytes may have the program's blocks come to
// more than kSmallInputMemory above what they held before it, nor ask for a larger block (measured
// on the guard-page allocator, whose meter counts every block of the program and of the plug-ins
// it loads).
// The time is the program's own computing (the process's user time): the guard-page allocator's
// mappings are system time, which beside other busy processes costs twenty times what it costs on
// a quiet host (250 short statements took 0.7 s alone and 9 s so), and a wait for a core is no
// time of the program's. An input that waits rather than computes is bounded by the wall time,
// kWallSeconds, and ended by the watchdog at three times that.
constexpr double kInputSeconds = 10.0;
constexpr double kWallSeconds = 30.0;
constexpr size_t kSmallInput = 64 * 1024;
constexpr size_t kSmallInputMemory = size_t(256) << 20;

// VYX_ROBUSTNESS_KEEP=folder keeps every input that broke a bound there (and the input being fed
// when the program faults), named by reader and number, to be made a regression case.
inline std::wstring KeepFolder()
{
    wchar_t folder[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"VYX_ROBUSTNESS_KEEP", folder, MAX_PATH);
    return length && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

inline void Keep(const void* data, size_t size, const char* name, int index)
{
    std::wstring folder = KeepFolder();
    if (folder.empty())
        return;
    wchar_t file[64];
    swprintf(file, 64, L"\\%hs-%d.bin", name, index);
    HANDLE out = CreateFileW((folder + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (out != INVALID_HANDLE_VALUE) {
        WriteFile(out, data, static_cast<DWORD>(size), &written, nullptr);
        CloseHandle(out);
    }
}

// The input being fed, kept by the fault handler and the watchdog.
struct Current
{
    const void* data = nullptr;
    size_t size = 0;
    const char* name = "";
    int index = 0;
    DWORD started = 0; // GetTickCount when it began; 0 between inputs
};

inline Current& CurrentInput()
{
    static Current current;
    return current;
}

inline LONG WINAPI KeepOnFault(EXCEPTION_POINTERS*)
{
    const Current& current = CurrentInput();
    if (*current.name)
        Keep(current.data, current.size, current.name, current.index);
    std::fprintf(stderr, "fault while feeding %s input %d (%u bytes)\n", current.name, current.index,
                 static_cast<unsigned>(current.size));
    std::fflush(stderr);
    return EXCEPTION_CONTINUE_SEARCH;
}

// An input that runs three times past its wall time bound never ends: it is kept and the run ends
// there, naming it, instead of at the test runner's time-out.
inline DWORD WINAPI Watchdog(void*)
{
    for (;;) {
        Sleep(1000);
        const Current current = CurrentInput();
        if (current.started && GetTickCount() - current.started > kWallSeconds * 3 * 1000) {
            Keep(current.data, current.size, current.name, current.index);
            std::printf("%s input %d (%u bytes) has run for %.0f s: ended\n", current.name, current.index,
                        static_cast<unsigned>(current.size), kWallSeconds * 3);
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }
}

// The process's user time, in seconds.
inline double UserSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    return static_cast<double>((static_cast<ULONGLONG>(user.dwHighDateTime) << 32) | user.dwLowDateTime) / 1e7;
}

// Runs work on one input (data, size: for the report and the kept copy) and fails the test when it
// breaks a bound.
template <class Work> void Bounded(const char* name, int index, const void* data, size_t size, Work work)
{
    static const bool installed = (SetUnhandledExceptionFilter(KeepOnFault),
                                   CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr)), true);
    (void)installed;
    CurrentInput() = Current{data, size, name, index, GetTickCount()};
    const bool metered = GuardMeterOn() && size < kSmallInput;
    const size_t before = metered ? GuardMeterLive() : 0;
    if (metered)
        GuardMeterRestart();
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    const double userStart = UserSeconds();
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    const double seconds = UserSeconds() - userStart;
    const double wall = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    // What the blocks came to, or the largest block asked for when it was refused.
    const size_t taken =
        !metered ? 0 : std::max(GuardMeterLargestRequest(), GuardMeterPeak() > before ? GuardMeterPeak() - before : 0);
    CurrentInput() = Current{};
    if (seconds <= kInputSeconds && wall <= kWallSeconds && taken <= kSmallInputMemory)
        return;
    ADD_FAILURE() << name << " input " << index << " (" << size << " bytes) took " << seconds << " s ("
                  << wall << " s in all) and " << (taken >> 20) << " MB";
    Keep(data, size, name, index);
}

// Whether this run is the heap-checked share (VYX_ROBUSTNESS_SHARE=heapcheck): Wine's heap checking
// traces every heap call and takes some 50 ms an input, so it gets a small share.
inline bool HeapCheckedShare()
{
    char value[32] = {};
    return GetEnvironmentVariableA("VYX_ROBUSTNESS_SHARE", value, sizeof value) && std::strcmp(value, "heapcheck") == 0;
}

// The inputs a reader gets in this run: guarded on the guard-page allocator (a count given for a
// reader of 10,000 inputs, scaled to the run's share), heapChecked in the heap-checked share.
// Every guarded free costs the host a TLB flush, which a virtual machine under load makes slow:
// the test run's share is 2,000 inputs a reader, which keeps it within CI's time;
// VYX_ROBUSTNESS_INPUTS=n scales it to n inputs a reader, for a longer search by hand.
constexpr int kTestRunInputs = 2000;

inline int Inputs(int guarded, int heapChecked)
{
    if (HeapCheckedShare())
        return heapChecked;
    char value[32] = {};
    const int share = GetEnvironmentVariableA("VYX_ROBUSTNESS_INPUTS", value, sizeof value) ? std::atoi(value)
                                                                                           : kTestRunInputs;
    return std::max(1, static_cast<int>(static_cast<long long>(share) * guarded / 10000));
}

// The run's share of a reader's 10,000 inputs on the guard-page allocator.
inline int InputsPerReader()
{
    return Inputs(10000, 50);
}

struct Lcg
{
    unsigned state;
    unsigned Next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    size_t Below(size_t n) { return n ? Next() % n : 0; }
};

inline void Mutate(Input& data, Lcg& random)
{
    static const DWORD kBoundaries[] = {0,      1,       0x7F,  0x80,       0xFF,       0x100,      0x7FFF,    0x8000,
                                        0xFFFF, 0x10000, 46341, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE};
    for (int changes = 1 + random.Below(4); changes > 0 && !data.empty(); --changes) {
        size_t at = random.Below(data.size());
        switch (random.Below(8)) {
        case 0:
        case 1:
            data[at] = static_cast<BYTE>(random.Next());
            break;
        case 2:
            data[at] ^= static_cast<BYTE>(1u << random.Below(8));
            break;
        case 3:
            data[at] = (random.Next() & 1) ? 0xFF : 0x00;
            break;
        case 4: { // a boundary number over a 16 or 32-bit field, in either byte order
            DWORD value = kBoundaries[random.Below(sizeof kBoundaries / sizeof kBoundaries[0])];
            size_t width = (random.Next() & 1) ? 4 : 2;
            bool big = random.Next() & 1;
            for (size_t i = 0; i < width && at + i < data.size(); ++i)
                data[at + i] = static_cast<BYTE>(value >> (8 * (big ? width - 1 - i : i)));
            break;
        }
        case 5: // a piece cut out
            data.erase(data.begin() + at, data.begin() + std::min(data.size(), at + 1 + random.Below(64)));
            break;
        case 6: { // a piece repeated
            size_t length = std::min(data.size() - at, 1 + random.Below(64));
            Input piece(data.begin() + at, data.begin() + at + length);
            data.insert(data.begin() + random.Below(data.size() + 1), piece.begin(), piece.end());
            break;
        }
        default: // the end cut off
            data.resize(at);
            break;
        }
    }
}

// A number field of a format (a width, a count, an offset): where it is and how it is stored.
struct Field
{
    size_t at;
    int width; // 2 or 4 bytes
    bool bigEndian;
};

// Format-aware mutation: one field of the input set to a boundary number, a small or a random one.
inline void MutateField(Input& data, const std::vector<Field>& fields, Lcg& random)
{
    static const DWORD kValues[] = {0,          1,          2,      3,       0x7F,      0xFF,      0x100,
                                    0x7FFF,     0x8000,     0xFFFF, 0x10000, 46341,     30000,     0x7FFFFFFF,
                                    0x80000000, 0xFFFFFFFF, 16384,  65535,   536870913, 0x1000000, 0xFFFFFFFE};
    if (fields.empty())
        return;
    const Field& field = fields[random.Below(fields.size())];
    DWORD value = random.Next() % 3 ? kValues[random.Below(sizeof kValues / sizeof kValues[0])]
                                    : static_cast<DWORD>(random.Next() % (field.width == 2 ? 0x10000u : 0x1000000u));
    for (int i = 0; i < field.width && field.at + i < data.size(); ++i)
        data[field.at + i] = static_cast<BYTE>(value >> (8 * (field.bigEndian ? field.width - 1 - i : i)));
}

// As FeedHostile below; one mutated input in three has a field of its format (fields of the seed
// it comes from) set instead of its bytes changed.
template <class Feed, class Fields>
int FeedHostileFields(const std::vector<Input>& seeds, unsigned salt, int count, Feed feed, Fields fields);

// Feeds count inputs made from the seeds to feed(data, index), each within the bounds; returns how
// many were fed.
template <class Feed> int FeedHostile(const std::vector<Input>& seeds, unsigned salt, int count, Feed feed)
{
    return FeedHostileFields(seeds, salt, count, feed, [](const Input&) { return std::vector<Field>(); });
}

// Only the mutations of the seeds, count of them: for a reader's inputs cut into parts (one part
// feeds the seeds and their prefixes, the others more mutations under salts of their own).
template <class Feed> int FeedMutations(const std::vector<Input>& seeds, unsigned salt, int count, Feed feed)
{
    const std::string name = "mutation" + std::to_string(salt);
    Lcg random{salt};
    int fed = 0;
    for (size_t i = 0; fed < count && !seeds.empty(); ++i) {
        Input data = seeds[i % seeds.size()];
        Mutate(data, random);
        const int index = fed++;
        Bounded(name.c_str(), index, data.data(), data.size(), [&] { feed(data, index); });
    }
    return fed;
}

template <class Feed, class Fields>
int FeedHostileFields(const std::vector<Input>& seeds, unsigned salt, int count, Feed feed, Fields fields)
{
    const std::string name = "seed" + std::to_string(salt);
    int fed = 0;
    auto feedOne = [&](const Input& data) {
        const int index = fed++;
        Bounded(name.c_str(), index, data.data(), data.size(), [&] { feed(data, index); });
    };
    for (const Input& seed : seeds)
        if (fed < count)
            feedOne(seed);
    // Prefixes: every length up to 64 bytes, then a spread through the rest.
    for (const Input& seed : seeds)
        for (size_t n = 0; n < seed.size() && fed < count / 4; n += n < 64 ? 1 : 1 + seed.size() / 32)
            feedOne(Input(seed.begin(), seed.begin() + n));
    std::vector<std::vector<Field>> seedFields;
    for (const Input& seed : seeds)
        seedFields.push_back(fields(seed));
    Lcg random{salt};
    for (size_t i = 0; fed < count && !seeds.empty(); ++i) {
        Input data = seeds[i % seeds.size()];
        const std::vector<Field>& known = seedFields[i % seeds.size()];
        if (!known.empty() && i % 3 == 0) {
            MutateField(data, known, random);
            if (random.Next() & 1)
                MutateField(data, known, random);
        } else {
            Mutate(data, random);
        }
        feedOne(data);
    }
    return fed;
}

// Where each scan of a JPEG stream starts (its header) and where its coded data end.
struct JpegScan
{
    size_t start;
    size_t end;
};

inline std::vector<JpegScan> JpegScans(const Input& jpeg)
{
    std::vector<JpegScan> scans;
    for (size_t at = 2; at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] != 0xD9;) {
        size_t next = at + 2 + (static_cast<size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3]);
        if (jpeg[at + 1] == 0xDA) {
            // The coded data run to the next marker other than a restart or a stuffed byte.
            while (next + 1 < jpeg.size() &&
                   !(jpeg[next] == 0xFF && jpeg[next + 1] != 0 && (jpeg[next + 1] < 0xD0 || jpeg[next + 1] > 0xD7)))
                ++next;
            scans.push_back({at, next});
        }
        at = next;
    }
    return scans;
}

// The JPEG with one of its scans repeated right after it (under the same tables), copies more
// times or as many as keep the file within bytes; alone, its other scans are left out (a stream
// need not send them).
inline Input JpegWithRepeatedScan(const Input& jpeg, size_t which, size_t copies, size_t bytes, bool alone = false)
{
    const std::vector<JpegScan> scans = JpegScans(jpeg);
    if (which >= scans.size())
        return jpeg;
    const JpegScan scan = scans[which];
    const size_t length = scan.end - scan.start;
    size_t kept = jpeg.size();
    if (alone)
        for (size_t i = 0; i < scans.size(); ++i)
            kept -= i == which ? 0 : scans[i].end - scans[i].start;
    const size_t fit = std::min(copies, bytes > kept ? (bytes - kept) / length : 0);
    Input out;
    size_t from = 0;
    for (size_t i = 0; i < scans.size(); ++i) {
        if (i == which) {
            out.insert(out.end(), jpeg.begin() + from, jpeg.begin() + scan.end);
            for (size_t k = 0; k < fit; ++k)
                out.insert(out.end(), jpeg.begin() + scan.start, jpeg.begin() + scan.end);
            from = scan.end;
        } else if (alone) {
            out.insert(out.end(), jpeg.begin() + from, jpeg.begin() + scans[i].start);
            from = scans[i].end;
        }
    }
    out.insert(out.end(), jpeg.begin() + from, jpeg.end());
    return out;
}

// One line per reader for the run's log: how many inputs it was fed.
inline void Report(const char* reader, int inputs)
{
    std::printf("[ inputs   ] %s: %d\n", reader, inputs);
    std::fflush(stdout);
}

} // namespace hostile
