// What the test plug-ins read and what they report back to the tests: a trivial picture format,
// a simple archive format and a record of the calls each DLL received.
#pragma once

#include "image/plugins/SpiInterface.h"

#include <windows.h>

#pragma pack(push, 1)

// "TPIC", the mode, then width x height blue-green-red pixels, top row first, rows unpadded.
struct TestPictureHeader
{
    char magic[4];
    BYTE mode;
    BYTE reserved[3];
    WORD width;
    WORD height;
};

// "TARC", flags, the member count, the members, then the data they point into.
struct TestArchiveHeader
{
    char magic[4];
    BYTE flags;
    BYTE reserved[3];
    DWORD count;
};

struct TestArchiveMember
{
    char path[64];
    char name[64];
    DWORD offset;     // from the start of the archive; the member's position
    DWORD listedSize; // may exceed the bytes the archive holds
    DWORD time;
};

#pragma pack(pop)

// How the picture plug-in answers a picture request.
enum TestPictureMode : BYTE {
    TestPictureNormal = 0,            // a 40-byte info block and a bits block
    TestPicturePackedInInfo = 1,      // the whole packed DIB in the info block, bits set to null
    TestPicturePackedLeavingBits = 2, // the whole packed DIB in the info block, bits untouched
    TestPictureHeaderOnly = 3,        // a header without pixels, bits untouched
    TestPictureFailDecode = 4,        // accepted, but the picture request fails
    TestPictureV4Header = 5,          // a 108-byte header, 24-bit
    TestPictureV5Bitfields = 6,       // a 124-byte header with the masks inside, 32-bit
    TestPictureMakerOnly = 7,         // accepted by every plug-in, decoded only by those with the maker's mark
    TestPictureWithExif = 8,          // the bytes after the pixels come back as an Exif block of the information
};

enum TestArchiveFlags : BYTE {
    TestArchiveNoEndRecord = 1,       // the listing block ends without its end record
    TestArchiveUnterminatedNames = 2, // path and name fill their 200 bytes without a terminator
    TestArchiveBareListing = 4        // the listing gives position and size 0; member information has them
};

struct TestPluginCalls
{
    int isSupported;
    int getPictureInfo;
    int getPicture;
    int getArchiveInfo;
    int getFileInfo;
    int getFile;
    char lastName[MAX_PATH];        // the name or path the last call was given
    char lastDestination[MAX_PATH]; // GetFile's folder
    char lastMember[1024];          // GetFileInfo's member name
    LONG_PTR lastLength;
    unsigned lastFlags;
    LONG_PTR lastCallbackData;
    BOOL progressGiven;
    int progressAnswer;     // what the progress callback answered first
    BOOL sawVyxTag;         // the callback data held the "vyx" request
    BYTE request[sizeof(SPIRequest)]; // a copy of it
    DWORD infoDecodeOption; // the host's information record at its decode option (byte 106)
    BOOL infoRecordMarked;  // the record carried the host's marks
};

typedef TestPluginCalls*(WINAPI* TestPluginGetCallsProc)();
