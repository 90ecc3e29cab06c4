#include "catalogue/CFileList.h"

#include "catalogue/ArchiveMember.h"
#include "catalogue/ListedSideFiles.h"
#include "catalogue/VyxFile.h"
#include "foundation/ShellShortcut.h"
#include "foundation/VyxFieldParser.h"
#include "foundation/VyxFileFind.h"
#include "foundation/VyxUtility.h"
#include "image/DibCore.h"
#include "image/plugins/Spi.h"

#include <memory>
#include <new>

namespace {

const UINT kDefaultAbortKeys[] = {VK_ESCAPE, VK_DOWN, VK_UP, VK_RIGHT, VK_LEFT, 0};
const DWORD kAbortCheckInterval = 30; // ms

// Local calendar time to seconds, summer time as the system decides. A year before 1900 counts as
// 0, and so does a bound before 1970, which the local-time conversion refuses.
long long BoundSeconds(const SYSTEMTIME& local)
{
    if (local.wYear < 1900)
        return 0;
    try {
        return CTime(local, -1).GetTime();
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
}

} // namespace

CFileList::CFileList()
    : m_patternListInUse(false), m_host(nullptr), m_expandArchives(false), m_includeSubFolders(false),
      m_archiveExtensionCheck(false), m_showFolders(false), m_showHidden(false), m_passFlag(0), m_dateFilter(false),
      m_dateFrom(), m_dateTo(), m_dateFromSeconds(0), m_dateToSeconds(0), m_sizeFilter(false), m_sizeMinimum(0),
      m_sizeMaximum(0), m_abortCheck(false), m_abortKeys(kDefaultAbortKeys)
{
}

CFileList::CFileList(const CFileList& other) : CFileList()
{
    CopyOptions(other);
}

CFileList& CFileList::operator=(const CFileList& other)
{
    if (this != &other)
        CopyOptions(other);
    return *this;
}

CFileList::~CFileList() {}

void CFileList::CopyOptions(const CFileList& other)
{
    m_patternListInUse = other.m_patternListInUse;
    m_host = other.m_host;
    m_folder = other.m_folder;
    m_archiveFileName = other.m_archiveFileName;
    m_namePatterns = other.m_namePatterns;
    m_expandArchives = other.m_expandArchives;
    m_includeSubFolders = other.m_includeSubFolders;
    m_archiveExtensionCheck = other.m_archiveExtensionCheck;
    m_showFolders = other.m_showFolders;
    m_showHidden = other.m_showHidden;
    m_passFlag = other.m_passFlag;
    m_dateFilter = other.m_dateFilter;
    m_dateFrom = other.m_dateFrom;
    m_dateTo = other.m_dateTo;
    m_dateFromSeconds = other.m_dateFromSeconds;
    m_dateToSeconds = other.m_dateToSeconds;
    m_sizeFilter = other.m_sizeFilter;
    m_sizeMinimum = other.m_sizeMinimum;
    m_sizeMaximum = other.m_sizeMaximum;
    m_abortCheck = other.m_abortCheck;
    m_abortKeys = other.m_abortKeys;
}

void CFileList::SetDateFilter(bool on, const SYSTEMTIME& from, const SYSTEMTIME& to)
{
    m_dateFilter = on;
    m_dateFrom = from;
    m_dateTo = to;
}

void CFileList::SetSizeFilter(bool on, DWORD minimum, DWORD maximum)
{
    m_sizeFilter = on;
    m_sizeMinimum = minimum;
    m_sizeMaximum = maximum;
}

VyxFile* CFileList::GetAt(int index) const
{
    return index >= 0 && index < GetCount() ? static_cast<VyxFile*>(m_found[index]) : nullptr;
}

DWORD CFileList::GetFlagAt(int index) const
{
    return index >= 0 && index < GetCount() ? m_foundFlags[index] : 0;
}

void CFileList::DeleteAt(int index)
{
    if (index < 0) {
        for (INT_PTR i = 0; i < m_found.GetSize(); ++i)
            delete static_cast<VyxFile*>(m_found[i]);
        m_found.RemoveAll();
        m_foundFlags.RemoveAll();
    } else if (index < GetCount()) {
        delete static_cast<VyxFile*>(m_found[index]);
        m_found[index] = nullptr;
    }
}

bool CFileList::AbortKeyPressed(const UINT* keys)
{
    // Bounded: a key repeating faster than it is taken cannot hold the scan here.
    for (int taken = 0; taken < 256; ++taken) {
        MSG message;
        if (!PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE | PM_NOYIELD))
            return false;
        for (const UINT* key = keys; key && *key; ++key)
            if (message.wParam == *key)
                return true;
        // Any other key is used up here, so that it does not reach a window once the scan is over.
        PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE | PM_NOYIELD);
    }
    return false;
}

void (*CFileList::s_scanPulse)() = nullptr;

void CFileList::SetScanPulse(void (*pulse)())
{
    s_scanPulse = pulse;
}

bool CFileList::AbortRequested() const
{
    if (s_scanPulse)
        s_scanPulse();
    if (!m_abortCheck)
        return false;
    const DWORD now = GetTickCount();
    if (m_abortChecked && static_cast<LONG>(now - m_nextAbortCheck) < 0)
        return false;
    m_abortChecked = true;
    m_nextAbortCheck = now + kAbortCheckInterval;
    return AbortKeyPressed(m_abortKeys);
}

int CFileList::Scan()
{
    const CString patterns = m_namePatterns;
    m_dateFromSeconds = BoundSeconds(m_dateFrom);
    m_dateToSeconds = BoundSeconds(m_dateTo);
    m_abortChecked = false;
    int result = ScanDone;
    if (patterns.IsEmpty()) {
        m_patternListInUse = false;
        m_namePatterns = L"*.*";
        result = WalkTree();
    } else {
        m_patternListInUse = true;
        for (int field = 0;; ++field) {
            CString pattern;
            if (GetFieldString(&pattern, patterns, field, L';') < 0)
                break;
            if (pattern.IsEmpty())
                continue;
            m_namePatterns = pattern;
            result = WalkTree();
            m_passFlag = 1;
            if (result == ScanAborted) {
                // Items of the earlier passes go too.
                DeleteAt(-1);
                break;
            }
        }
    }
    m_namePatterns = patterns;
    return result;
}

int CFileList::WalkTree()
{
    int result = WalkFolder();
    if (result == ScanDone && m_includeSubFolders) {
        VyxFileFind finder;
        BOOL more = finder.FindFileIn(m_folder, L"*.*");
        while (more && result == ScanDone) {
            more = finder.FindNextFile();
            // A linked folder can lead back up the tree; what it links to is listed where it lies.
            if (!finder.IsDirectory() || finder.IsDots() || finder.MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT))
                continue;
            CFileList child(*this);
            child.m_folder = finder.GetFilePath();
            result = child.WalkTree();
            if (result == ScanDone) {
                m_found.Append(child.m_found);
                m_foundFlags.Append(child.m_foundFlags);
                child.m_found.RemoveAll();
                child.m_foundFlags.RemoveAll();
            }
        }
    }
    if (result == ScanAborted)
        DeleteAt(-1);
    return result;
}

int CFileList::WalkFolder()
{
    const bool archiveLocation = !m_archiveFileName.IsEmpty();
    std::unique_ptr<wchar_t[]> archivePatterns;
    if (!archiveLocation && m_expandArchives && m_host)
        archivePatterns = SplitListToMultiString(m_host->GetPatternList(SPImapIndex::KindArchive));

    // A listing of every name tells which side files the folder holds: their look-ups that follow
    // need not ask for a name the folder lacks.
    std::unique_ptr<ListedSideFiles::Listing> sideFiles;
    if (!archiveLocation && m_namePatterns == L"*.*")
        sideFiles = std::make_unique<ListedSideFiles::Listing>(m_folder);
    VyxFileFind finder;
    BOOL more = finder.FindFileIn(m_folder, archiveLocation ? m_archiveFileName : m_namePatterns);
    if (!more)
        sideFiles.reset();
    while (more) {
        more = finder.FindNextFile();
        // A listing cut short by an error may not have shown every side file.
        if (!more && sideFiles && GetLastError() != ERROR_NO_MORE_FILES)
            sideFiles.reset();
        int result = ScanDone;
        const bool hiddenSkipped = finder.IsHidden() && !m_showHidden;
        const unsigned sideKind = ListedSideFiles::KindOf(finder.GetFileName());
        if (sideFiles)
            sideFiles->Saw(sideKind);
        if (sideKind || hiddenSkipped) {
            // skipped
        } else if (finder.IsDirectory()) {
            if (!finder.IsDots() && !m_includeSubFolders && m_showFolders)
                result = Offer(finder, -1, nullptr);
        } else if (archiveLocation ||
                   (archivePatterns && MatchFileSpecs(finder.GetFileName(), archivePatterns.get()))) {
            result = ListArchive(finder);
        } else {
            result = Offer(finder, -1, nullptr);
        }
        if (result == ScanDone && AbortRequested())
            result = ScanAborted;
        if (result == ScanAborted)
            return ScanAborted;
    }
    if (sideFiles)
        sideFiles->Finish();
    return ScanDone;
}

int CFileList::ListArchive(VyxFileFind& found)
{
    if (found.GetLength() == 0 || !m_host)
        return ScanNotListed;
    CString path;
    ResolveShortcut(path, found.GetFilePath());
    const int archiveId = FindArchivePlugin(*m_host, path, m_archiveExtensionCheck);
    if (archiveId < 0)
        return ScanNotListed;
    GlobalBlock listing;
    if (GetArchiveListing(*m_host, archiveId, path, listing) != SPI_OK)
        return ScanDone;
    for (SPIFileInfo record : ReadArchiveListing(listing.get())) {
        int result = ScanDone;
        bool offered = record.fileName[0] != 0;
        if (offered && record.position == 0 && record.fileSize == 0)
            offered = GetFullMemberRecord(*m_host, archiveId, path, record);
        if (offered)
            result = Offer(found, archiveId, &record);
        if (result == ScanAborted || AbortRequested())
            return ScanAborted;
    }
    return ScanDone;
}

int CFileList::Offer(const VyxFileFind& found, int archivePluginId, const SPIFileInfo* member)
{
    VyxFile* item = nullptr;
    try {
        item = new VyxFile(found, -1, archivePluginId, member);
        if (!Accepts(*item)) {
            delete item;
            return ScanDone;
        }
        m_foundFlags.Add(static_cast<DWORD>(m_passFlag));
        try {
            m_found.Add(item);
        } catch (CMemoryException*) {
            m_foundFlags.RemoveAt(m_foundFlags.GetSize() - 1);
            throw;
        }
        item = nullptr;
    } catch (CMemoryException* e) {
        e->Delete();
        delete item;
        return ScanAborted;
    } catch (const std::bad_alloc&) {
        delete item;
        return ScanAborted;
    }
    return ScanDone;
}

bool CFileList::Accepts(const VyxFile& item) const
{
    if (item.IsArchiveMember() && m_patternListInUse && !MatchFileSpecList(item.GetFileName(), m_namePatterns, L';'))
        return false;
    if (m_dateFilter) {
        long long time = item.GetFileTime();
        if (time < m_dateFromSeconds || time > m_dateToSeconds)
            return false;
    }
    if (m_sizeFilter) {
        ULONGLONG size = item.GetFileSize();
        if (size > 0xFFFFFFFFull || size < m_sizeMinimum || size > m_sizeMaximum)
            return false;
    }
    return true;
}
