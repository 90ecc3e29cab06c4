// Finding where a JPEG stream starts inside other data, and the process-wide settings that go
// with the JPEG codec (the start-search flag and a table of hint values).
#pragma once

#include <windows.h>

// The address of the start-of-image marker when the search flag or force is set and a plausible
// stream (a start of scan, or more than one segment) follows it; data itself otherwise.
const BYTE* FindJpegStart(const BYTE* data, SIZE_T length, BOOL force);
// Sets the process-wide search flag; returns the old value.
BOOL SetJpegStartSearch(BOOL search);

constexpr int kJpegHintTableSize = 400;
// Copies up to 400 values in / out; returns the number copied.
int SetJpegHintTable(const int* values, int count);
int GetJpegHintTable(int* out, int count);
