// Hostile variants of valid seed files for the robustness tests: prefixes and deterministic byte
// mutations, and the walk every decoded picture must survive.
#pragma once

#include "../DibTestUtil.h"

#include "image/DibDepth.h"
#include "image/DibResample.h"
#include "image/DibRotate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

using namespace dibtest;

int MutationsPerSeed()
{
    // scripts/bench.sh robustness may ask for more.
    char value[16];
    DWORD n = GetEnvironmentVariableA("VYX_ROBUSTNESS_MUTATIONS", value, sizeof(value));
    return n > 0 && n < sizeof(value) ? std::atoi(value) : 100;
}

struct Lcg
{
    unsigned state;
    unsigned Next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

// Each mutation changes one to four bytes of the seed.
std::vector<std::vector<BYTE>> Mutations(const std::vector<BYTE>& seed, unsigned salt)
{
    std::vector<std::vector<BYTE>> out;
    Lcg random{salt};
    for (int i = 0, n = MutationsPerSeed(); i < n; ++i) {
        std::vector<BYTE> data = seed;
        int changes = 1 + random.Next() % 4;
        for (int k = 0; k < changes; ++k) {
            size_t at = random.Next() % data.size();
            switch (random.Next() % 3) {
            case 0:
                data[at] = static_cast<BYTE>(random.Next());
                break;
            case 1:
                data[at] ^= static_cast<BYTE>(1u << (random.Next() % 8));
                break;
            default:
                data[at] = (random.Next() & 1) ? 0xFF : 0x00;
                break;
            }
        }
        out.push_back(std::move(data));
    }
    return out;
}

// Prefixes of the seed: every length near the start, then a spread through the rest.
std::vector<std::vector<BYTE>> Truncations(const std::vector<BYTE>& seed)
{
    std::vector<std::vector<BYTE>> out;
    for (size_t n = 0; n < seed.size(); n += (n < 80 ? 1 : 1 + seed.size() / 40))
        out.emplace_back(seed.begin(), seed.begin() + n);
    return out;
}

// A decoded picture must be a sound DIB that the usual operations can walk.
void Exercise(HGLOBAL dib)
{
    ASSERT_TRUE(dib);
    BITMAPINFOHEADER h = Header(dib);
    ASSERT_EQ(40u, h.biSize);
    ASSERT_GT(h.biWidth, 0);
    ASSERT_GT(h.biHeight, 0);
    ASSERT_GE(GlobalSize(dib), GetDibTotalSize(dib));
    if (static_cast<LONGLONG>(h.biWidth) * h.biHeight > 4000000)
        return;
    HGLOBAL wide = MakeDib24(dib);
    if (wide) {
        HGLOBAL small = ResizeDib(wide, 7, 5, 0, 0);
        if (small != wide)
            GlobalFree(small);
        HGLOBAL turned = RotateDib(wide, 90);
        if (turned != wide)
            GlobalFree(turned);
        if (wide != dib)
            GlobalFree(wide);
    }
}

} // namespace
