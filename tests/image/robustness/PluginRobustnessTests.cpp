// Hostile plug-in output: info blocks with mutated headers of every kind and bits blocks of any
// size, joined and validated as the host does; listing blocks of odd sizes. Run under Wine's heap
// checking: nothing may be read or written outside its block.
#include "../DibTestUtil.h"

#include "image/DibValidate.h"
#include "image/plugins/VyxSPI.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Lcg
{
    unsigned state;
    unsigned Next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

HGLOBAL Block(const std::vector<BYTE>& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!bytes.empty())
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

// An info block: a header of the given size describing a small 8-bit picture, and its table.
std::vector<BYTE> InfoSeed(DWORD headerSize)
{
    std::vector<BYTE> info(headerSize + 256 * 4, 0x40);
    BITMAPINFOHEADER header = {};
    header.biSize = headerSize;
    header.biWidth = 9;
    header.biHeight = 6;
    header.biPlanes = 1;
    header.biBitCount = 8;
    std::memcpy(info.data(), &header, headerSize < sizeof(header) ? headerSize : sizeof(header));
    return info;
}

} // namespace

TEST(PluginRobustness, JoinedHandlesOfMutatedHeadersStayInsideTheirBlocks)
{
    Lcg random{12345};
    for (DWORD headerSize : {12u, 40u, 52u, 56u, 108u, 124u}) {
        std::vector<BYTE> seed = InfoSeed(headerSize);
        for (int i = 0; i < 60; ++i) {
            std::vector<BYTE> info = seed;
            // Mutate the header fields (the first 40 bytes) most of the time.
            for (int k = 1 + random.Next() % 4; k > 0; --k)
                info[random.Next() % std::min<size_t>(info.size(), 44)] = static_cast<BYTE>(random.Next());
            info.resize(random.Next() % 4 == 0 ? random.Next() % info.size() : info.size());
            std::vector<BYTE> bits(random.Next() % 200, 0x5A);
            HGLOBAL infoBlock = Block(info);
            HGLOBAL bitsBlock = Block(bits);
            HGLOBAL joined = AdoptDib(JoinDibHandles(infoBlock, random.Next() % 8 ? bitsBlock : nullptr));
            if (joined) {
                EXPECT_GE(GlobalSize(joined), GetDibTotalSize(joined));
                GlobalFree(joined);
            }
            GlobalFree(infoBlock);
            GlobalFree(bitsBlock);
        }
    }
}

TEST(PluginRobustness, ListingsOfAnySizeAreReadWithinTheirBlock)
{
    Lcg random{777};
    for (int i = 0; i < 60; ++i) {
        std::vector<BYTE> bytes(random.Next() % (4 * sizeof(SPIFileInfo)));
        for (BYTE& b : bytes)
            b = static_cast<BYTE>(random.Next() % 4 ? 'a' + random.Next() % 26 : 0);
        HGLOBAL block = Block(bytes);
        std::vector<SPIFileInfo> records = ReadArchiveListing(block);
        EXPECT_LE(records.size() * sizeof(SPIFileInfo), bytes.size());
        for (const SPIFileInfo& record : records)
            EXPECT_LT(std::strlen(record.fileName), sizeof(record.fileName));
        GlobalFree(block);
    }
}
