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

} // namespace
