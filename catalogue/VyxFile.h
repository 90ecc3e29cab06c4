// The complete file item that every list, view and dialog holds, created with new and deleted
// through its virtual destructor by its owner; and writing archive contents to disk.
#pragma once

#include "catalogue/VyxFilexDraw.h"

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
    int ExtractTo(const wchar_t* folder);
    int ExtractMemberTo(const wchar_t* folder);
};

// Every member of the archive written below the folder, keeping the members' folders; members
// whose path would leave the folder are refused. 0 when all went well.
int ExtractArchive(const wchar_t* archivePath, const wchar_t* folder);

// The thumbnail cache list writes its files under the wait cursor.
void FlushCacheListWithWaitCursor();
