// The image and archive plug-in convention as this program speaks it, shared by the host and the
// program's own plug-in DLLs: entry-point types, flags, result codes, the records that cross the
// DLL boundary (packed, 32-bit layout) and the host's request record.
#pragma once

#include <windows.h>

#include <vector>

// The layouts below are pinned for 32-bit code, the program's own; the 64-bit twin that the tests
// run on where no 32-bit code runs lays the same records out with its wider pointers.
constexpr bool kSpiLayout32 = sizeof(void*) == 4;

// Results of the entry points.
enum SpiResult {
    SPI_NO_FUNCTION = -1, // not implemented (also: no plug-in has the id)
    SPI_OK = 0,
    SPI_ABORTED = 1,        // the progress callback asked to stop
    SPI_UNKNOWN_FORMAT = 2, // not this plug-in's format
    SPI_BROKEN_DATA = 3,
    SPI_NO_MEMORY = 4,
    SPI_MEMORY_ERROR = 5,
    SPI_FILE_READ_ERROR = 6,
    SPI_WINDOW_ERROR = 7,
    SPI_INTERNAL_ERROR = 8,
};

// Flags: bits 0-2 the input kind, bits 8-10 the output kind; 0x80 asks GetFileInfo to compare
// member names without regard to case.
constexpr unsigned SPI_INPUT_MASK = 0x7;
constexpr unsigned SPI_INPUT_FILE = 0x0;
constexpr unsigned SPI_INPUT_MEMORY = 0x1;
constexpr unsigned SPI_OUTPUT_MASK = 0x700;
constexpr unsigned SPI_OUTPUT_FILE = 0x000;
constexpr unsigned SPI_OUTPUT_MEMORY = 0x100;
constexpr unsigned SPI_IGNORE_CASE = 0x80;

constexpr int SPI_INFO_TEXT_BYTES = 256;
constexpr int SPI_HEAD_BYTES = 2048;

#pragma pack(push, 1)

// The convention's picture information (26 bytes).
struct SPIPictureInfo
{
    LONG left;
    LONG top;
    LONG width;
    LONG height;
    WORD xDensity;
    WORD yDensity;
    SHORT colorDepth;
    HLOCAL hInfo; // optional 8-bit text, freed by the caller
};

// The host's longer record (114 bytes): the convention's part, then what the program's own
// plug-ins add. The host zeroes it and marks it (marker, marker2) before every call, so that a
// plug-in can tell it may fill the fields after the first 26 bytes.
struct SPIPictureInfoEx
{
    SPIPictureInfo info;
    DWORD marker;       // sizeof(SPIPictureInfoEx)
    HGLOBAL exif[16];   // blocks of Exif data (APP1 contents), freed by the caller
    double length;      // a movie's length in seconds
    DWORD fourcc;       // a movie's codec
    DWORD decodeOption; // the request's decode option word, read back by the caller
    DWORD marker2;      // SPI_INFO_MARKER
};

// One member of an archive listing (428 bytes); the listing ends at a record whose first method
// byte is NUL.
struct SPIFileInfo
{
    BYTE method[8];
    ULONG position;
    ULONG compressedSize;
    ULONG fileSize;
    DWORD timestamp; // seconds since 1970
    char path[200];
    char fileName[200];
    ULONG crc;
};

#pragma pack(pop)

static_assert(!kSpiLayout32 || sizeof(SPIPictureInfo) == 26, "picture information is 26 bytes");
static_assert(!kSpiLayout32 || sizeof(SPIPictureInfoEx) == 114, "the host's picture information is 114 bytes");
static_assert(!kSpiLayout32 || sizeof(SPIFileInfo) == 428, "a listing record is 428 bytes");

constexpr DWORD SPI_INFO_MARKER = 'v' | 'y' << 8 | 'x' << 16;

typedef int(WINAPI* SPIProgressProc)(int num, int denom, LONG_PTR data);

typedef int(WINAPI* SPIGetPluginInfoProc)(int index, LPSTR buffer, int size);
typedef int(WINAPI* SPIIsSupportedProc)(LPCSTR name, void* head);
typedef int(WINAPI* SPIGetPictureInfoProc)(LPCSTR source, LONG_PTR length, unsigned flags, SPIPictureInfo* info);
typedef int(WINAPI* SPIGetPictureProc)(LPCSTR source, LONG_PTR length, unsigned flags, HLOCAL* info, HLOCAL* bits,
                                       SPIProgressProc progress, LONG_PTR data);
typedef int(WINAPI* SPIGetArchiveInfoProc)(LPCSTR source, LONG_PTR length, unsigned flags, HLOCAL* listing);
typedef int(WINAPI* SPIGetFileInfoProc)(LPCSTR source, LONG_PTR length, LPCSTR name, unsigned flags, SPIFileInfo* info);
typedef int(WINAPI* SPIGetFileProc)(LPCSTR source, LONG_PTR length, LPSTR destination, unsigned flags,
                                    SPIProgressProc progress, LONG_PTR data);
typedef int(WINAPI* SPIConfigurationDlgProc)(HWND parent, int function);

// What the rest of the program fills to ask the host for a picture, a listing or a member; the
// whole record reaches the plug-in as its callback data (60 bytes).
struct SPIRequest
{
    SPIRequest();

    char tag[3]; // "vyx"
    BYTE zero[5];
    int id;                     // the plug-in's id
    const void* source;         // a wide file name, or the data in memory
    LONG_PTR length;            // memory: the size; file: the offset or member position
    HGLOBAL output;             // the result: picture, listing or member in memory
    const wchar_t* destination; // file output: a folder
    unsigned flags;             // SPI_INPUT_*, SPI_OUTPUT_*
    SPIProgressProc progress;   // null: the host's default
    LONG_PTR callbackData;      // set by the host to the record itself
    int reduction;              // the caller asks for about 1/reduction of the size
    int desiredWidth;           // the size the caller will show, when known
    int desiredHeight;
    int moviePosition;  // set by the host: a frame position, negative = percent of the length
    DWORD decodeOption; // carried to the picture information and back
};

static_assert(!kSpiLayout32 || sizeof(SPIRequest) == 60, "the request record is 60 bytes");

// A probe for the plug-in that reads a file (28 bytes).
struct SPISupportQuery
{
    int kind;           // 0 image, 1 archive
    int startAfter;     // probe after the plug-in with this id; -1 from the first
    int archiveId;      // image probes of archive members: the archive plug-in's id, else -1
    int checkExtension; // ask a plug-in only when the name matches its patterns
    const wchar_t* path;
    const void* head; // the first bytes, or null to read them from the file
    int headLength;
};

static_assert(!kSpiLayout32 || sizeof(SPISupportQuery) == 28, "the support query is 28 bytes");

// The request behind a plug-in's callback data when it comes from this program's host, else
// null. The memory is checked before it is read: other hosts pass values of their own.
const SPIRequest* FindVyxRequest(LONG_PTR callbackData);

// Marks a zeroed record as the host's longer one.
void MarkPictureInfoEx(SPIPictureInfoEx* info);
// The longer record behind a plug-in's information argument when the host marked it, else null.
SPIPictureInfoEx* FindPictureInfoEx(SPIPictureInfo* info);

// Forces the fixed-size texts of a record to end inside their fields.
void TerminateFileInfoTexts(SPIFileInfo* record);
// The records of a listing block, read only within the block (a listing without its end record
// stops at the block's end), each with terminated texts. The block is neither freed nor kept.
std::vector<SPIFileInfo> ReadArchiveListing(HGLOBAL listing);
