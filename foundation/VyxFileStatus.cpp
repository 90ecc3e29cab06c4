#include "foundation/VyxFileStatus.h"

#include "foundation/NumberFormat.h"
#include "foundation/VyxPath.h"
#include "foundation/VyxSystem.h"

namespace {

const long long kEpochDifference = 116444736000000000LL; // 1601 to 1970 in 100 ns units
const long long kTicksPerSecond = 10000000LL;
const int kKeptAttributes = 0x7F;

unsigned long long Ticks(const FILETIME& time)
{
    return static_cast<unsigned long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

class FileHandle
{
public:
    explicit FileHandle(HANDLE h) : m_handle(h) {}
    ~FileHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// Attribute bits SetFileAttributes takes; none of them is "normal".
DWORD SettableAttributes(int attributes)
{
    DWORD settable = static_cast<DWORD>(attributes) &
                     (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    return settable ? settable : FILE_ATTRIBUTE_NORMAL;
}

void SetAttributesOrThrow(const CString& path, int attributes)
{
    if (!SetFileAttributesW(path, SettableAttributes(attributes)))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), path);
}

} // namespace

const FileMacro kFileMacros[20] = {
    {L"$(Path)", 0},       {L"$(Folder)", 1},      {L"$(Dir)", 1},         {L"$(FileName)", 2},
    {L"$(Name)", 3},       {L"$(Ext)", 4},         {L"$(ShortPath)", 7},   {L"$(ShortFileName)", 8},
    {L"$(ExeDir)", 5},     {L"$(ParentDir)", 6},   {L"$(DateTime)", 9},    {L"$(Date)", 10},
    {L"$(Time)", 11},      {L"$(CreateDate)", 12}, {L"$(CreateTime)", 13}, {L"$(Length)", 14},
    {L"$(TodayDate)", 16}, {L"$(TodayTime)", 17},  {L"$(VolumeName)", 18}, {L"$(VolumeNo)", 19},
};

long long FileTimeToUnixTime(const FILETIME& time)
{
    long long ticks = static_cast<long long>(Ticks(time)) - kEpochDifference;
    // Rounded down, also before 1970.
    long long seconds = ticks / kTicksPerSecond;
    if (ticks % kTicksPerSecond < 0)
        --seconds;
    return seconds;
}

void UnixTimeToFileTime(long long seconds, FILETIME& out)
{
    // Straight arithmetic in UTC: every 64-bit time the file system can hold, and no shift by the
    // current daylight-saving offset.
    const long long lowest = -kEpochDifference / kTicksPerSecond;
    const long long highest = (LLONG_MAX - kEpochDifference) / kTicksPerSecond;
    if (seconds < lowest || seconds > highest)
        AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_PARAMETER);
    unsigned long long ticks = static_cast<unsigned long long>(seconds * kTicksPerSecond + kEpochDifference);
    out.dwLowDateTime = static_cast<DWORD>(ticks);
    out.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

VyxFileStatus::VyxFileStatus() {}

VyxFileStatus::VyxFileStatus(const wchar_t* path)
{
    GetStatus(path);
}

VyxFileStatus::~VyxFileStatus() {}

const CString& VyxFileStatus::SetPath(const wchar_t* path)
{
    m_path = path ? path : L"";
    return m_path;
}

bool VyxFileStatus::GetStatus(const wchar_t* path)
{
    SetPath(path);
    // The entry the platform reaches by the name, also one spelled otherwise: the status is of
    // what stands there.
    WIN32_FIND_DATAW data;
    if (LookUpExactName(m_path, nullptr, &data) == NameLookup::Missing) {
        m_attributes = 0;
        m_size = 0;
        m_creationTime = m_accessTime = m_writeTime = 0;
        return false;
    }
    m_attributes = static_cast<int>(data.dwFileAttributes) & kKeptAttributes;
    m_size = static_cast<unsigned long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    m_writeTime = FileTimeToUnixTime(data.ftLastWriteTime);
    // A file system that keeps no creation or access time reports it as 0.
    m_creationTime = Ticks(data.ftCreationTime) ? FileTimeToUnixTime(data.ftCreationTime) : m_writeTime;
    m_accessTime = Ticks(data.ftLastAccessTime) ? FileTimeToUnixTime(data.ftLastAccessTime) : m_writeTime;
    return true;
}

void VyxFileStatus::SetStatus(const wchar_t* path)
{
    CString target = path ? CString(path) : m_path;
    DWORD current = GetFileAttributesW(target);
    if (current == INVALID_FILE_ATTRIBUTES)
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), target);
    bool differ = (static_cast<int>(current) & kKeptAttributes) != m_attributes;
    bool readOnly = (current & FILE_ATTRIBUTE_READONLY) != 0;
    // A read-only file takes no times, so its attributes change first.
    if (differ && readOnly)
        SetAttributesOrThrow(target, m_attributes);
    if (m_writeTime != 0) {
        FILETIME creation, access, write;
        UnixTimeToFileTime(m_writeTime, write);
        if (m_creationTime != 0)
            UnixTimeToFileTime(m_creationTime, creation);
        if (m_accessTime != 0)
            UnixTimeToFileTime(m_accessTime, access);
        FileHandle file(CreateFileW(target, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (file.Get() == INVALID_HANDLE_VALUE)
            CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), target);
        if (!SetFileTime(file.Get(), m_creationTime ? &creation : nullptr, m_accessTime ? &access : nullptr, &write))
            CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), target);
    }
    if (differ && !readOnly)
        SetAttributesOrThrow(target, m_attributes);
}

bool VyxFileStatus::IsSameFile(const VyxFileStatus& other) const
{
    return m_size == other.m_size && m_writeTime == other.m_writeTime;
}

CString VyxFileStatus::GetMacroText(int id) const
{
    CString out;
    switch (id) {
    case 0:
        return m_path;
    case 1: {
        CString folder;
        GetPathPart(folder, m_path, PartFolder);
        return RemovePathSeparator(out, folder);
    }
    case 2:
        return GetPathPart(out, m_path, PartFileName);
    case 3:
        return GetPathPart(out, m_path, PartName);
    case 4:
        return GetPathPart(out, m_path, PartExt);
    case 5:
        return GetModuleFolder(out);
    case 6: {
        CString folder, parent;
        GetPathPart(folder, m_path, PartDir);
        RemovePathSeparator(parent, folder);
        return GetPathPart(out, parent, PartFileName);
    }
    case 7:
    case 8: {
        wchar_t shortPath[520];
        DWORD n = GetShortPathNameW(m_path, shortPath, 520);
        CString text = n > 0 && n < 520 ? CString(shortPath) : CString();
        return id == 7 ? text : GetPathPart(out, text, PartFileName);
    }
    case 9:
        return CTime(m_writeTime).Format(L"%Y/%m/%d %H:%M:%S");
    case 10:
        return CTime(m_writeTime).Format(L"%Y/%m/%d");
    case 11:
        return CTime(m_writeTime).Format(L"%H:%M:%S");
    case 12:
        return CTime(m_creationTime).Format(L"%Y/%m/%d");
    case 13:
        return CTime(m_creationTime).Format(L"%H:%M:%S");
    case 14:
        return FormatUInt64Grouped(out, m_size);
    case 15:
        return GroupUnsignedNumberText(out, m_size);
    case 16:
        return COleDateTime::GetCurrentTime().Format(LOCALE_NOUSEROVERRIDE | VAR_DATEVALUEONLY, LANG_USER_DEFAULT);
    case 17:
        return COleDateTime::GetCurrentTime().Format(LOCALE_NOUSEROVERRIDE | VAR_TIMEVALUEONLY, LANG_USER_DEFAULT);
    case 18:
        return GetVolumeLabel(out, m_path);
    case 19:
        return GetVolumeSerialText(out, m_path);
    default:
        return out;
    }
}
