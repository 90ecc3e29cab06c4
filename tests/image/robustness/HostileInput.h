// What the image robustness tests share: the hostile inputs, and the walk every decoded picture
// must survive.
#pragma once

#include "../DibTestUtil.h"
#include "common/HostileInputs.h"

#include "image/DibDepth.h"
#include "image/DibResample.h"
#include "image/DibRotate.h"

#include <gtest/gtest.h>

namespace {

using namespace dibtest;
using hostile::Input;

// A decoded picture must be a sound DIB that the usual operations can walk. Null (a refusal,
// or memory that ran out for a huge picture) is fine.
inline void Exercise(HGLOBAL dib)
{
    if (!dib)
        return;
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

// Exercises the decoded picture and frees it.
inline void ExerciseAndFree(HGLOBAL dib)
{
    Exercise(dib);
    if (dib)
        GlobalFree(dib);
}

inline Input Put32(Input data, size_t at, DWORD value)
{
    if (at + 4 <= data.size())
        std::memcpy(&data[at], &value, 4);
    return data;
}

inline Input PutBig32(Input data, size_t at, DWORD value)
{
    for (int i = 0; i < 4 && at + i < data.size(); ++i)
        data[at + i] = static_cast<BYTE>(value >> (24 - 8 * i));
    return data;
}

// A BMP file of any header size, depth and compression from its table and pixel bytes.
inline Input MakeBmp(DWORD headerSize, LONG width, LONG height, WORD bits, DWORD compression, const Input& table,
                     const Input& pixels)
{
    Input file = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Input header(headerSize, 0);
    header = Put32(header, 0, headerSize);
    if (headerSize == 12) {
        header[4] = static_cast<BYTE>(width);
        header[6] = static_cast<BYTE>(height);
        header[8] = 1;
        header[10] = static_cast<BYTE>(bits);
    } else {
        header = Put32(header, 4, static_cast<DWORD>(width));
        header = Put32(header, 8, static_cast<DWORD>(height));
        header[12] = 1;
        header[14] = static_cast<BYTE>(bits);
        header = Put32(header, 16, compression);
        header = Put32(header, 20, static_cast<DWORD>(pixels.size()));
        header = Put32(header, 32, static_cast<DWORD>(table.size() / 4));
    }
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), table.begin(), table.end());
    file = Put32(file, 10, static_cast<DWORD>(file.size()));
    file.insert(file.end(), pixels.begin(), pixels.end());
    return Put32(file, 2, static_cast<DWORD>(file.size()));
}

inline Input GreyTable(int entries, int entryBytes = 4)
{
    Input table;
    for (int i = 0; i < entries; ++i)
        for (int k = 0; k < entryBytes; ++k)
            table.push_back(k < 3 ? static_cast<BYTE>(i * 255 / (entries - 1)) : 0);
    return table;
}

} // namespace
