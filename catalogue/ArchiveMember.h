// What the catalogue asks the plug-in host about archives and makes of its listings: wide names
// (code page guessed or the system's), the name a member is asked for by, the member time as a
// file time, and the test that keeps a member's path from leaving the folder it is extracted into.
#pragma once

#include "framework/Framework.h"
#include "image/plugins/SpiInterface.h"

#include <string>

// A fixed-size field of a listing record, read up to its first NUL or its end.
template <size_t N> std::string MemberField(const char (&field)[N])
{
    size_t length = 0;
    while (length < N && field[length])
        ++length;
    return std::string(field, length);
}

// The code page guessed from the bytes (the system's when no single one fits).
CString MemberTextGuessed(const std::string& bytes);
CString MemberTextAnsi(const std::string& bytes);

// Member path and name joined by one backslash (none after an empty path), at most 802 bytes.
std::string MemberQueryName(const SPIFileInfo& record);

// A listing's seconds since 1970 as a 64-bit file time.
ULONGLONG MemberTimeToFileTime(DWORD seconds);

class SPImapIndex;
class GlobalBlock;

// The first enabled archive plug-in that accepts the file, asked from the first; -1 when none.
int FindArchivePlugin(SPImapIndex& host, const wchar_t* path, bool checkExtension);
// The archive's member listing into listing; SPI_OK, or the host's failure.
int GetArchiveListing(SPImapIndex& host, int archiveId, const wchar_t* path, GlobalBlock& listing);
// The whole record of a member the listing gave without position and size, asked by its name.
bool GetFullMemberRecord(SPImapIndex& host, int archiveId, const wchar_t* path, SPIFileInfo& record);
// The member at position extracted into memory (the caller's block), or null.
HGLOBAL ExtractMemberBlock(SPImapIndex& host, int archiveId, const wchar_t* path, DWORD position);

// True for a relative path that stays below the folder it is joined to: not absolute, no drive
// or ":" anywhere, no leading separator and no ".." component. The empty path is safe.
bool IsSafeMemberPath(const wchar_t* path);
