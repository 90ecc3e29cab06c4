#include "catalogue/VyxFile.h"

#include "catalogue/ArchiveMember.h"
#include "catalogue/VyxCacheList.h"
#include "foundation/ShellShortcut.h"
#include "foundation/VyxFileUtil.h"
#include "foundation/VyxPath.h"
#include "image/DibCore.h"
#include "image/plugins/Spi.h"
#include "res/resource.h"

IMPLEMENT_DYNAMIC(VyxFile, VyxFilexDraw)

namespace {

// A member whose name would leave the destination is not written.
const int kRefusedMember = SPI_INTERNAL_ERROR;

// The folder a member's path names, below the destination; the path is a folder whether or not
// the listing ends it with a separator.
CString MemberFolder(const wchar_t* destination, const CString& memberPath)
{
    CString withSeparator, folder, joined;
    AppendPathSeparator(withSeparator, memberPath);
    GetPathPart(folder, withSeparator, PartFolder);
    return MakePath(joined, nullptr, destination, folder, nullptr);
}

// The member written to target, unless the guard's question leaves an existing file there.
int ExtractGuarded(int archiveId, const wchar_t* archivePath, DWORD position, const CString& target, DWORD size,
                   ULONGLONG time, ExtractionGuard* guard)
{
    if (guard && guard->askToReplace && PathExists(target, kAnyAttribute)) {
        int answer = guard->askToReplace(target);
        if (answer == IDNO)
            return SPI_OK;
        if (answer != IDYES)
            return SPI_ABORTED;
    }
    int result = theSPImapIndex.ExtractToFile(archiveId, archivePath, position, target, size, time);
    if (result != SPI_OK && guard)
        guard->failedTarget = target;
    return result;
}

} // namespace

VyxFile::VyxFile() {}

VyxFile::VyxFile(const wchar_t* path) : VyxFilexDraw(path) {}

VyxFile::VyxFile(const CFileFind& found, int loaderId, int archivePluginId, const SPIFileInfo* member)
    : VyxFilexDraw(found, loaderId, archivePluginId, member)
{
}

VyxFile::VyxFile(const VyxFile& other) : VyxFilexDraw(other) {}

VyxFile& VyxFile::operator=(const VyxFile& other)
{
    VyxFilexDraw::operator=(other);
    return *this;
}

VyxFile::~VyxFile() {}

int VyxFile::ExtractTo(const wchar_t* folder, ExtractionGuard* guard)
{
    if (IsArchiveMember())
        return ExtractMemberTo(folder, guard);
    // A picture not yet drawn has no decoder yet: it is found now and left alone, so that only a
    // file no image plug-in reads is taken for an archive.
    if (m_loaderId < 0 && m_size != 0 && DetectPlugin() < 0)
        return ExtractArchive(m_path, folder, guard);
    return 0;
}

int VyxFile::ExtractMemberTo(const wchar_t* folder, ExtractionGuard* guard)
{
    if (!IsSafeMemberPath(m_path) || m_fileName.IsEmpty())
        return kRefusedMember;
    // Written by the host from memory under the name checked here: a plug-in asked to write into
    // the folder picks the name itself, and that need not be the name its listing gave.
    CString target;
    MakePath(target, nullptr, folder, m_fileName, nullptr);
    return ExtractGuarded(m_archivePluginId, m_archivePath, m_archivePosition, target, static_cast<DWORD>(m_size),
                          MemberTimeToFileTime(static_cast<DWORD>(m_writeTime)), guard);
}

int ExtractArchive(const wchar_t* archivePath, const wchar_t* folder, ExtractionGuard* guard)
{
    CString path;
    ResolveShortcut(path, archivePath);
    int archiveId = FindArchivePlugin(theSPImapIndex, path, false);
    // Nothing read is no success: the user asked for contents and gets none.
    if (archiveId < 0)
        return SPI_UNKNOWN_FORMAT;
    GlobalBlock listing;
    // An archive that a plug-in accepted but cannot list is a failure, not an empty archive.
    if (int listed = GetArchiveListing(theSPImapIndex, archiveId, path, listing))
        return listed;

    int result = 0;
    int refused = 0;
    for (SPIFileInfo record : ReadArchiveListing(listing.get())) {
        CString memberPath = MemberTextAnsi(MemberField(record.path));
        if (!IsSafeMemberPath(memberPath)) {
            refused = kRefusedMember;
            continue;
        }
        CString memberFolder = MemberFolder(folder, memberPath);
        EnsureFolderExists(memberFolder, true);
        if (!record.fileName[0])
            continue;
        if (record.position == 0 && record.fileSize == 0 &&
            !GetFullMemberRecord(theSPImapIndex, archiveId, path, record))
            continue;
        CString name = MemberTextGuessed(MemberField(record.fileName));
        if (name.IsEmpty() || !IsSafeMemberPath(name)) {
            refused = kRefusedMember;
            continue;
        }
        CString target;
        MakePath(target, nullptr, memberFolder, name, nullptr);
        result = ExtractGuarded(archiveId, path, record.position, target, record.fileSize,
                                MemberTimeToFileTime(record.timestamp), guard);
        if (result != 0)
            break;
    }
    return result != 0 ? result : refused;
}

void FlushCacheListWithWaitCursor()
{
    HCURSOR previous = SetCursor(LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_DOCUMENT_WAIT_CURSOR)));
    theCacheList.Flush();
    if (previous)
        SetCursor(previous);
    else
        ShowCursor(TRUE);
}
