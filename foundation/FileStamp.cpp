#include "foundation/FileStamp.h"

bool FileStamp::Read(const wchar_t* path, FileStamp& stamp, bool filesOnly)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!path || !GetFileAttributesExW(path, GetFileExInfoStandard, &data) ||
        (filesOnly && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    stamp.size = static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    stamp.written = data.ftLastWriteTime;
    return true;
}

bool FileStamp::ReadOpen(HANDLE file, FileStamp& stamp)
{
    // Size and time alone: the whole information of a handle also asks the volume for its serial
    // number, which costs more than opening the file under Wine.
    LARGE_INTEGER size = {};
    FILETIME written = {};
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size) || !GetFileTime(file, nullptr, nullptr, &written))
        return false;
    stamp.size = static_cast<ULONGLONG>(size.QuadPart);
    stamp.written = written;
    return true;
}

bool FileStamp::operator==(const FileStamp& other) const
{
    return size == other.size && CompareFileTime(&written, &other.written) == 0;
}
