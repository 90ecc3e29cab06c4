#include "foundation/ReplacementFile.h"

#include "foundation/TempFile.h"

#include <fcntl.h>
#include <io.h>

ReplacementFile::ReplacementFile(const wchar_t* target, Access access) : m_target(target ? target : L"")
{
    if (m_target.IsEmpty())
        return;
    const bool reads = access == ReadWrite;
    HANDLE handle = CreateTempFileBeside(m_target, m_created, reads ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    const int descriptor =
        _open_osfhandle(reinterpret_cast<intptr_t>(handle), (reads ? _O_RDWR : _O_WRONLY) | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        Discard();
        return;
    }
    m_stream = _fdopen(descriptor, reads ? "w+b" : "wb");
    if (!m_stream) {
        _close(descriptor);
        Discard();
    }
}

ReplacementFile::~ReplacementFile()
{
    Discard();
}

bool ReplacementFile::PutInPlace()
{
    if (!m_stream)
        return false;
    bool whole = std::fflush(m_stream) == 0 && !std::ferror(m_stream);
    whole = std::fclose(m_stream) == 0 && whole;
    m_stream = nullptr;
    if (!whole) {
        Discard();
        return false;
    }
    const DWORD attributes = GetFileAttributesW(m_target);
    // The platform's rename would write over these where opening the file to write would not.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        Discard();
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(m_created,
                           attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    if (!MoveFileExW(m_created, m_target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        Discard();
        SetLastError(error);
        return false;
    }
    m_created.Empty();
    return true;
}

void ReplacementFile::Discard()
{
    if (m_stream) {
        std::fclose(m_stream);
        m_stream = nullptr;
    }
    if (!m_created.IsEmpty()) {
        DeleteFileW(m_created);
        m_created.Empty();
    }
}
