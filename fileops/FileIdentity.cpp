#include "fileops/FileIdentity.h"

bool FileIdentity::Read(const wchar_t* path)
{
    m_known = false;
    if (!path || !*path)
        return false;
    // Read access is not needed for the identity; folders open with backup semantics.
    HANDLE handle = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileInformationByHandle(handle, &information)) {
        m_volume = information.dwVolumeSerialNumber;
        m_index = static_cast<ULONGLONG>(information.nFileIndexHigh) << 32 | information.nFileIndexLow;
        m_known = true;
    }
    CloseHandle(handle);
    return m_known;
}

bool FileIdentity::Same(const wchar_t* a, const wchar_t* b)
{
    FileIdentity first, second;
    return first.Read(a) && second.Read(b) && first == second;
}
