// Copying one file through a buffer on the caller's thread, the course every copy follows around
// its block loop, the buffer-size rule both copiers share and the texts of their result codes:
// 0 done, -1 failure, -2 onto itself, -3 stopped by the progress callback, any other value the
// system's error code of a failed read or write.
#pragma once

#include "framework/Framework.h"

#include <functional>

class CopyTarget;

enum { kCopyDone = 0, kCopyFailed = -1, kCopyOntoItself = -2, kCopyStopped = -3 };

// (context, bytes, total size low, total size high) -> non-zero to stop. Called with bytes 0 and
// the file's size before the first block, with each block's byte count, and with 0xFFFFFFFF and
// a total of 0 once the loop has ended.
typedef DWORD (*CopyProgressCallback)(DWORD context, DWORD bytes, DWORD totalLow, DWORD totalHigh);

const DWORD kCopyEndCall = 0xFFFFFFFF;

// The smaller of the request, half of the free physical memory and 2 MB, but at least 8 KB.
DWORD GetCopyBufferSize(DWORD requested);
// Copies with the caller's buffer; with none (or a size of 0) with one of GetCopyBufferSize(size)
// bytes. The copy appears at the target only when complete; a file already there stays whole
// whenever the copy fails.
int CopyFileBuffered(const wchar_t* source, const wchar_t* target, void* buffer, DWORD size,
                     CopyProgressCallback callback, DWORD context);
int CopyFileSized(const wchar_t* source, const wchar_t* target, DWORD requested, CopyProgressCallback callback,
                  DWORD context);
CString GetFileOpErrorText(int code);

// Copies the blocks until the source is read to its end: 0, or the failing call's error code.
// report(bytes) passes a written block to the callback and answers whether to stop.
using CopyReport = std::function<bool(DWORD)>;
using CopyBlockLoop = std::function<DWORD(HANDLE source, ULONGLONG size, CopyTarget& target, const CopyReport& report)>;
// The loop on the caller's thread, through one buffer.
DWORD CopyBlocks(HANDLE source, void* buffer, DWORD bufferSize, CopyTarget& target, const CopyReport& report);
// Opens the source (-1 when it cannot be), makes the first callback call, creates the target (-1
// when it cannot be made, without an end call), runs the loop unless the first call said stop,
// makes the end call and puts the target in place or leaves no trace of it. Without replace, a file
// found at the target is left alone and the answer is ERROR_FILE_EXISTS. After -1 the thread's
// last error holds the system's reason (the failed open or create).
int RunCopy(const wchar_t* source, const wchar_t* target, CopyProgressCallback callback, DWORD context,
            const CopyBlockLoop& loop, bool replace = true);
