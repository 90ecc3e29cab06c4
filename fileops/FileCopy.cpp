#include "fileops/FileCopy.h"

#include "fileops/CopyTarget.h"
#include "foundation/TwinNameGuard.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

const DWORD kMinimumBuffer = 8192;
const DWORD kMaximumBuffer = 2097152;

class SourceFile
{
public:
    explicit SourceFile(const wchar_t* path)
        : m_handle(CreateFileW(path ? path : L"", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr))
    {
    }
    ~SourceFile()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

} // namespace

DWORD GetCopyBufferSize(DWORD requested)
{
    MEMORYSTATUSEX memory = {};
    memory.dwLength = sizeof(memory);
    ULONGLONG half = GlobalMemoryStatusEx(&memory) ? memory.ullAvailPhys / 2 : kMaximumBuffer;
    ULONGLONG size = std::min<ULONGLONG>({requested, half, kMaximumBuffer});
    return static_cast<DWORD>(std::max<ULONGLONG>(size, kMinimumBuffer));
}

namespace {

// RunCopy without its last-error promise: the reason of a -1 goes to reason.
int RunCopyOnce(const wchar_t* sourceName, const wchar_t* targetName, CopyProgressCallback callback, DWORD context,
                const CopyBlockLoop& loop, bool replace, DWORD& reason)
{
    // Names ending in a dot or a blank are reached as they stand, never as another file; a name
    // that now leads to a file spelled otherwise is not read.
    if (TwinNameGuard::Refuses(sourceName)) {
        reason = TwinNameGuard::kRefused;
        return kCopyFailed;
    }
    const CString source = ExactPath(sourceName), target = ExactPath(targetName);
    SourceFile input(source);
    if (input.Get() == INVALID_HANDLE_VALUE) {
        reason = GetLastError();
        return kCopyFailed;
    }
    LARGE_INTEGER size = {};
    GetFileSizeEx(input.Get(), &size);
    const DWORD totalLow = static_cast<DWORD>(size.QuadPart);
    const DWORD totalHigh = static_cast<DWORD>(static_cast<ULONGLONG>(size.QuadPart) >> 32);
    bool stop = callback && callback(context, 0, totalLow, totalHigh) != 0;
    CopyTarget output;
    if (DWORD created = output.Create(target, replace)) {
        reason = created;
        return kCopyFailed;
    }
    DWORD error = 0;
    if (!stop) {
        error = loop(input.Get(), static_cast<ULONGLONG>(size.QuadPart), output, [&](DWORD bytes) {
            stop = callback && callback(context, bytes, totalLow, totalHigh) != 0;
            return stop;
        });
    }
    if (callback)
        callback(context, kCopyEndCall, 0, 0);
    if (stop) {
        output.Abandon();
        return kCopyStopped;
    }
    if (error) {
        output.Abandon();
        return static_cast<int>(error);
    }
    DWORD finished = output.Finish(input.Get());
    return finished == CopyTarget::kOntoSource ? kCopyOntoItself : static_cast<int>(finished);
}

} // namespace

int RunCopy(const wchar_t* source, const wchar_t* target, CopyProgressCallback callback, DWORD context,
            const CopyBlockLoop& loop, bool replace)
{
    DWORD reason = 0;
    int result = RunCopyOnce(source, target, callback, context, loop, replace, reason);
    // Set once the files are closed, which may change the last error.
    if (result == kCopyFailed)
        SetLastError(reason ? reason : ERROR_GEN_FAILURE);
    return result;
}

DWORD CopyBlocks(HANDLE source, void* buffer, DWORD bufferSize, CopyTarget& target, const CopyReport& report)
{
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(source, buffer, bufferSize, &read, nullptr)) {
            DWORD error = GetLastError();
            return error ? error : static_cast<DWORD>(ERROR_READ_FAULT);
        }
        if (read == 0)
            return 0;
        if (DWORD error = target.Write(buffer, read))
            return error;
        if (report(read))
            return 0;
    }
}

int CopyFileBuffered(const wchar_t* source, const wchar_t* target, void* buffer, DWORD size,
                     CopyProgressCallback callback, DWORD context)
{
    if (!buffer || size == 0) {
        DWORD own = GetCopyBufferSize(size);
        std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[own]);
        if (!block)
            return kCopyFailed;
        return CopyFileBuffered(source, target, block.get(), own, callback, context);
    }
    return RunCopy(source, target, callback, context,
                   [buffer, size](HANDLE input, ULONGLONG, CopyTarget& output, const CopyReport& report) {
                       return CopyBlocks(input, buffer, size, output, report);
                   });
}

int CopyFileSized(const wchar_t* source, const wchar_t* target, DWORD requested, CopyProgressCallback callback,
                  DWORD context)
{
    return CopyFileBuffered(source, target, nullptr, GetCopyBufferSize(requested), callback, context);
}

CString GetFileOpErrorText(int code)
{
    switch (code) {
    case kCopyFailed:
        return L"ファイル操作に失敗";
    case kCopyOntoItself:
        return L"自分自身に複写できません";
    case kCopyStopped:
        return L"ユーザにより中断されました";
    default:
        SetLastError(static_cast<DWORD>(code));
        return GetLastErrorText();
    }
}
