// The complete file item that every list, view and dialog holds, created with new and deleted
// through its virtual destructor by its owner; and writing archive contents to disk.
#pragma once

#include "catalogue/VyxFilexDraw.h"

#include <functional>

// What an extraction asks before a file of the same name goes, and what it tells afterwards:
// the question answers IDYES (replace), IDNO (leave the file; the member is skipped) or IDCANCEL
// (stop, SPI_ABORTED); a file that could not be written is named in failedTarget.
struct ExtractionGuard
{
    std::function<int(const CString& target)> askToReplace;
    CString failedTarget;
};

class VyxFile : public VyxFilexDraw
{
    DECLARE_DYNAMIC(VyxFile)
public:
    VyxFile();
    explicit VyxFile(const wchar_t* path);
    VyxFile(const CFileFind& found, int loaderId, int archivePluginId, const SPIFileInfo* member);
    VyxFile(const VyxFile& other);
    VyxFile& operator=(const VyxFile& other);
    ~VyxFile() override;

    // A member: written into the folder. An archive file of unknown loader: every member written
    // below the folder. Anything else: nothing to do, 0. Non-zero on failure.
    int ExtractTo(const wchar_t* folder, ExtractionGuard* guard = nullptr);
    int ExtractMemberTo(const wchar_t* folder, ExtractionGuard* guard = nullptr);
};

// Every member of the archive written below the folder, keeping the members' folders; members
// whose path would leave the folder are refused. 0 when all went well.
int ExtractArchive(const wchar_t* archivePath, const wchar_t* folder, ExtractionGuard* guard = nullptr);

// The thumbnail cache list writes its files under the wait cursor.
void FlushCacheListWithWaitCursor();
