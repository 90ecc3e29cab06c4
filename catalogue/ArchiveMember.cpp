#include "catalogue/ArchiveMember.h"

#include "foundation/VyxCode.h"
#include "foundation/VyxFileStatus.h"
#include "image/DibCore.h"
#include "image/plugins/Spi.h"

namespace {

const size_t kMemberQueryBytes = 802;

bool IsSeparator(wchar_t ch)
{
    return ch == L'\\' || ch == L'/';
}

} // namespace

CString MemberTextGuessed(const std::string& bytes)
{
    if (bytes.empty())
        return CString();
    // Through UTF-8, so that the encodings the platform lacks (ISO-2022-JP) are read as well.
    VyxCode code;
    const char* utf8 = code.ConvertBuffer(bytes.data(), static_cast<int>(bytes.size()), -1, CP_UTF8);
    if (code.GetResultLength() == 0)
        return WideFromBytes(bytes, CP_ACP);
    return WideFromBytes(std::string(utf8, strnlen(utf8, static_cast<size_t>(code.GetResultLength()))), CP_UTF8);
}

CString MemberTextAnsi(const std::string& bytes)
{
    return WideFromBytes(bytes, CP_ACP);
}

std::string MemberQueryName(const SPIFileInfo& record)
{
    std::string path = MemberField(record.path);
    std::string name = MemberField(record.fileName);
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    std::string joined = path + name;
    if (joined.size() > kMemberQueryBytes)
        joined.resize(kMemberQueryBytes);
    return joined;
}

ULONGLONG MemberTimeToFileTime(DWORD seconds)
{
    FILETIME time;
    UnixTimeToFileTime(seconds, time);
    return static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

bool IsSafeMemberPath(const wchar_t* path)
{
    if (!path || !*path)
        return true;
    if (IsSeparator(path[0]) || wcschr(path, L':'))
        return false;
    const wchar_t* component = path;
    for (const wchar_t* p = path;; ++p) {
        if (*p != 0 && !IsSeparator(*p))
            continue;
        // The platform drops trailing dots and blanks from names, so ". ." and "..." climb as
        // ".." does.
        int dots = 0;
        bool dotsAndBlanks = true;
        for (const wchar_t* c = component; c < p; ++c) {
            dots += *c == L'.';
            dotsAndBlanks = dotsAndBlanks && (*c == L'.' || *c == L' ');
        }
        if (dotsAndBlanks && dots >= 2)
            return false;
        if (*p == 0)
            return true;
        component = p + 1;
    }
}

int FindArchivePlugin(SPImapIndex& host, const wchar_t* path, bool checkExtension)
{
    SPISupportQuery probe = {};
    probe.kind = SPImapIndex::KindArchive;
    probe.startAfter = -1;
    probe.archiveId = -1;
    probe.checkExtension = checkExtension ? 1 : 0;
    probe.path = path;
    return host.IsSupported(probe);
}

int GetArchiveListing(SPImapIndex& host, int archiveId, const wchar_t* path, GlobalBlock& listing)
{
    SPIRequest request;
    request.id = archiveId;
    request.source = path;
    request.flags = SPI_INPUT_FILE;
    int result = host.GetArchiveInfo(&request);
    listing.reset(request.output);
    return result == SPI_OK && !listing ? SPI_INTERNAL_ERROR : result;
}

bool GetFullMemberRecord(SPImapIndex& host, int archiveId, const wchar_t* path, SPIFileInfo& record)
{
    SPIRequest request;
    request.id = archiveId;
    request.source = path;
    request.flags = SPI_INPUT_FILE;
    SPIFileInfo full = {};
    if (host.GetArchiveFileInfo(&request, MemberQueryName(record).c_str(), &full) != SPI_OK)
        return false;
    TerminateFileInfoTexts(&full);
    record = full;
    return true;
}

HGLOBAL ExtractMemberBlock(SPImapIndex& host, int archiveId, const wchar_t* path, DWORD position)
{
    SPIRequest request;
    request.id = archiveId;
    request.source = path;
    request.length = static_cast<LONG_PTR>(position);
    request.flags = SPI_INPUT_FILE | SPI_OUTPUT_MEMORY;
    int result = host.GetFile(&request);
    GlobalBlock member(request.output);
    return result == SPI_OK ? member.release() : nullptr;
}
