#include "fileops/FileIdentity.h"

#include "foundation/VyxPath.h"

bool FileIdentity::Read(const wchar_t* path)
{
    m_known = false;
    if (!path || !*path)
        return false;
    // Read access is not needed for the identity; folders open with backup semantics.
    HANDLE handle = CreateFileW(ExactPath(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    Read(handle);
    CloseHandle(handle);
    return m_known;
}

bool FileIdentity::Read(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION information;
    m_known = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &information);
    if (m_known) {
        m_volume = information.dwVolumeSerialNumber;
        m_index = static_cast<ULONGLONG>(information.nFileIndexHigh) << 32 | information.nFileIndexLow;
    }
    return m_known;
}

bool FileIdentity::Same(const wchar_t* a, const wchar_t* b)
{
    // The second (a target, as a rule) first: it is often missing, and then the costly read of
    // the first is saved.
    FileIdentity first, second;
    return second.Read(b) && first.Read(a) && first == second;
}
