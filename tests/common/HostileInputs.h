// Deterministic hostile inputs made from valid seeds, for the robustness programs: the seeds, their
// prefixes, then mutations of the seeds in turn (bytes changed, bits flipped, boundary numbers
// written over fields, pieces cut out or repeated) up to the number of inputs a reader gets.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace hostile {

typedef std::vector<BYTE> Input;

// Whether this run is the heap-checked share (VYX_ROBUSTNESS_SHARE=heapcheck): Wine's heap checking
// traces every heap call and takes some 50 ms an input, so it gets a small share.
inline bool HeapCheckedShare()
{
    char value[32] = {};
    return GetEnvironmentVariableA("VYX_ROBUSTNESS_SHARE", value, sizeof value) && std::strcmp(value, "heapcheck") == 0;
}

// The inputs a reader gets in this run: guarded on the guard-page allocator, heapChecked in the
// heap-checked share. VYX_ROBUSTNESS_INPUTS=n scales the guarded run to n inputs a reader, for a
// longer search by hand.
inline int Inputs(int guarded, int heapChecked)
{
    if (HeapCheckedShare())
        return heapChecked;
    char value[32] = {};
    if (GetEnvironmentVariableA("VYX_ROBUSTNESS_INPUTS", value, sizeof value))
        return std::max(1, std::atoi(value) * guarded / 10000);
    return guarded;
}

// At least 10,000 inputs for every reader on the guard-page allocator.
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

// Feeds count inputs made from the seeds to feed(data, index); returns how many were fed.
template <class Feed> int FeedHostile(const std::vector<Input>& seeds, unsigned salt, int count, Feed feed)
{
    int fed = 0;
    for (const Input& seed : seeds)
        if (fed < count)
            feed(seed, fed++);
    // Prefixes: every length up to 64 bytes, then a spread through the rest.
    for (const Input& seed : seeds)
        for (size_t n = 0; n < seed.size() && fed < count / 4; n += n < 64 ? 1 : 1 + seed.size() / 32)
            feed(Input(seed.begin(), seed.begin() + n), fed++);
    Lcg random{salt};
    for (size_t i = 0; fed < count && !seeds.empty(); ++i) {
        Input data = seeds[i % seeds.size()];
        Mutate(data, random);
        feed(data, fed++);
    }
    return fed;
}

// One line per reader for the run's log: how many inputs it was fed.
inline void Report(const char* reader, int inputs)
{
    std::printf("[ inputs   ] %s: %d\n", reader, inputs);
    std::fflush(stdout);
}

} // namespace hostile
