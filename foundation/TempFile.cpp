#include "foundation/TempFile.h"

namespace {

// Names taken by other files (or by other writers at the same moment) move on to the next.
const int kNameTries = 100;

} // namespace

HANDLE CreateUniqueTempFile(const wchar_t* stem, const wchar_t* suffix, CString& created, DWORD attributes,
                            DWORD access)
{
    static LONG serial = 0;
    created.Empty();
    const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < kNameTries; ++attempt) {
        CString path;
        path.Format(L"%s%08lX%s", stem ? stem : L"",
                    static_cast<unsigned long>(seed + static_cast<DWORD>(InterlockedIncrement(&serial))),
                    suffix ? suffix : L"");
        HANDLE file = CreateFileW(path, access, 0, nullptr, CREATE_NEW, attributes, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            created = path;
            return file;
        }
        const DWORD error = GetLastError();
        // A folder of that name may be refused with another error than a file's.
        if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
            SetLastError(error);
            return INVALID_HANDLE_VALUE;
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

HANDLE CreateTempFileBeside(const wchar_t* path, CString& created, DWORD access)
{
    return CreateUniqueTempFile(CString(path ? path : L"") + L".", L".tmp", created, FILE_ATTRIBUTE_NORMAL, access);
}
