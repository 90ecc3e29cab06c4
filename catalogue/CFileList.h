// One scan request: a folder (optionally its whole sub-tree) or an archive file listed into file
// items through the name, date and size tests, with archive files expanded through the archive
// plug-ins, interruptible from the keyboard. Filled, scanned once, its items taken by the caller.
#pragma once

#include "framework/Framework.h"

class SPImapIndex;
class VyxFile;
class VyxFileFind;
struct SPIFileInfo;

class CFileList
{
public:
    enum { ScanDone = 0, ScanNotListed = 1, ScanAborted = 2 };

    CFileList();
    // Copies the host, the texts and the options, not the found items.
    CFileList(const CFileList& other);
    CFileList& operator=(const CFileList& other);
    // Leaves the found items to the caller, who has taken or deleted them.
    virtual ~CFileList();

    // 0 done, 2 aborted (the found items are then deleted).
    int Scan();
    // Deletes the found item and leaves its slot null; a negative index deletes all and empties
    // the lists.
    void DeleteAt(int index);
    // Whether a waiting key-down message carries one of the keys (0-terminated list). Key-downs of
    // other keys before it are taken from the queue.
    static bool AbortKeyPressed(const UINT* keys);
    // Called by every scan as it goes (at each entry, abort check or not), on the scanning
    // thread; null for none. The start-up shows its window through it when the first folder is
    // long to list.
    static void SetScanPulse(void (*pulse)());

    int GetCount() const { return static_cast<int>(m_found.GetSize()); }
    VyxFile* GetAt(int index) const;
    // 0 for an item of the first pattern pass, 1 for later passes.
    DWORD GetFlagAt(int index) const;

    void SetImageHost(SPImapIndex* host) { m_host = host; }
    SPImapIndex* GetImageHost() const { return m_host; }
    void SetFolder(const wchar_t* folder) { m_folder = folder; }
    const CString& GetFolder() const { return m_folder; }
    void SetArchiveFileName(const wchar_t* name) { m_archiveFileName = name; }
    const CString& GetArchiveFileName() const { return m_archiveFileName; }
    // ";"-separated wildcard patterns; empty for every name.
    void SetNamePatterns(const wchar_t* patterns) { m_namePatterns = patterns; }
    const CString& GetNamePatterns() const { return m_namePatterns; }
    bool IsPatternListInUse() const { return m_patternListInUse; }
    void SetExpandArchives(bool on) { m_expandArchives = on; }
    bool GetExpandArchives() const { return m_expandArchives; }
    void SetIncludeSubFolders(bool on) { m_includeSubFolders = on; }
    void SetArchiveExtensionCheck(bool on) { m_archiveExtensionCheck = on; }
    void SetShowFolders(bool on) { m_showFolders = on; }
    void SetShowHidden(bool on) { m_showHidden = on; }
    void SetPassFlag(int flag) { m_passFlag = flag; }
    // Local calendar times, both inclusive.
    void SetDateFilter(bool on, const SYSTEMTIME& from, const SYSTEMTIME& to);
    void SetSizeFilter(bool on, DWORD minimum, DWORD maximum);
    void SetAbortCheck(bool on) { m_abortCheck = on; }
    // A 0-terminated list of virtual-key codes that lives as long as the request.
    void SetAbortKeys(const UINT* keys) { m_abortKeys = keys; }

private:
    void CopyOptions(const CFileList& other);
    int WalkTree();
    int WalkFolder();
    int ListArchive(VyxFileFind& found);
    int Offer(const VyxFileFind& found, int archivePluginId, const SPIFileInfo* member);
    bool Accepts(const VyxFile& item) const;
    bool AbortRequested() const;
    static void (*s_scanPulse)();

    bool m_patternListInUse;
    SPImapIndex* m_host;
    CObArray m_found;
    CDWordArray m_foundFlags;
    CString m_folder;
    CString m_archiveFileName;
    CString m_namePatterns;
    bool m_expandArchives;
    bool m_includeSubFolders;
    bool m_archiveExtensionCheck;
    bool m_showFolders;
    bool m_showHidden;
    int m_passFlag;
    bool m_dateFilter;
    SYSTEMTIME m_dateFrom;
    SYSTEMTIME m_dateTo;
    long long m_dateFromSeconds; // converted once per scan
    long long m_dateToSeconds;
    bool m_sizeFilter;
    DWORD m_sizeMinimum;
    DWORD m_sizeMaximum;
    bool m_abortCheck;
    const UINT* m_abortKeys;
    // A look at the message queue costs a trip to the window server: the keys are looked at
    // when the scan starts and then a few dozen times a second, not at every entry.
    mutable DWORD m_nextAbortCheck = 0;
    mutable bool m_abortChecked = false;
};
