// An archive plug-in for the test container "TARC": listing, member information, extraction to
// memory and to a folder, from a file or from memory. A member may list more bytes than the
// archive holds; it then gives what there is.
#include "TestPluginCommon.h"

#include <vector>

using namespace testplugin;

namespace {

TestPluginCalls s_calls;

const char* const kTexts[] = {"00AM", "Test archive plug-in", "*.tarc", "Test archives"};

struct Archive
{
    BYTE flags = 0;
    std::vector<TestArchiveMember> members;
};

bool ParseArchive(const std::string& bytes, Archive& archive)
{
    if (bytes.size() < sizeof(TestArchiveHeader) || std::memcmp(bytes.data(), "TARC", 4) != 0)
        return false;
    TestArchiveHeader header;
    std::memcpy(&header, bytes.data(), sizeof(header));
    if (header.count > (bytes.size() - sizeof(header)) / sizeof(TestArchiveMember))
        return false;
    archive.flags = header.flags;
    archive.members.resize(header.count);
    if (header.count)
        std::memcpy(archive.members.data(), bytes.data() + sizeof(header), header.count * sizeof(TestArchiveMember));
    for (TestArchiveMember& member : archive.members) {
        member.path[sizeof(member.path) - 1] = 0;
        member.name[sizeof(member.name) - 1] = 0;
    }
    return true;
}

int LoadArchive(const char* source, LONG_PTR length, unsigned flags, Archive& archive)
{
    std::string bytes;
    if (!LoadInput(source, length, flags, 0, bytes))
        return SPI_FILE_READ_ERROR;
    return ParseArchive(bytes, archive) ? SPI_OK : SPI_UNKNOWN_FORMAT;
}

void FillRecord(const TestArchiveMember& member, BYTE flags, SPIFileInfo* record, bool listing)
{
    std::memset(record, 0, sizeof(*record));
    std::memcpy(record->method, "TARC", 4);
    bool bare = listing && (flags & TestArchiveBareListing);
    record->position = bare ? 0 : member.offset;
    record->compressedSize = bare ? 0 : member.listedSize;
    record->fileSize = bare ? 0 : member.listedSize;
    record->timestamp = member.time;
    if (flags & TestArchiveUnterminatedNames) {
        std::memset(record->path, 'p', sizeof(record->path));
        std::memset(record->fileName, 'n', sizeof(record->fileName));
    } else {
        lstrcpynA(record->path, member.path, sizeof(record->path));
        lstrcpynA(record->fileName, member.name, sizeof(record->fileName));
    }
}

std::string FullName(const TestArchiveMember& member)
{
    return member.path[0] ? std::string(member.path) + "\\" + member.name : std::string(member.name);
}

} // namespace

PLUGIN_EXPORT int WINAPI GetPluginInfo(int index, LPSTR buffer, int size)
{
    return CopyInfoText(kTexts, index, buffer, size);
}

PLUGIN_EXPORT int WINAPI IsSupported(LPCSTR name, void* head)
{
    ++s_calls.isSupported;
    RecordCall(s_calls, name, 0, 0);
    return (reinterpret_cast<DWORD_PTR>(head) & 0xFFFF0000) != 0 && std::memcmp(head, "TARC", 4) == 0;
}

PLUGIN_EXPORT int WINAPI GetArchiveInfo(LPCSTR source, LONG_PTR length, unsigned flags, HLOCAL* listing)
{
    ++s_calls.getArchiveInfo;
    RecordCall(s_calls, (flags & SPI_INPUT_MASK) == SPI_INPUT_FILE ? source : "", length, flags);
    Archive archive;
    if (int result = LoadArchive(source, length, flags, archive))
        return result;
    size_t records = archive.members.size() + ((archive.flags & TestArchiveNoEndRecord) ? 0 : 1);
    *listing = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, records * sizeof(SPIFileInfo));
    if (!*listing)
        return SPI_NO_MEMORY;
    SPIFileInfo* out = static_cast<SPIFileInfo*>(LocalLock(*listing));
    for (size_t i = 0; i < archive.members.size(); ++i)
        FillRecord(archive.members[i], archive.flags, &out[i], true);
    LocalUnlock(*listing);
    return SPI_OK;
}

PLUGIN_EXPORT int WINAPI GetFileInfo(LPCSTR source, LONG_PTR length, LPCSTR name, unsigned flags, SPIFileInfo* info)
{
    ++s_calls.getFileInfo;
    RecordCall(s_calls, (flags & SPI_INPUT_MASK) == SPI_INPUT_FILE ? source : "", length, flags);
    lstrcpynA(s_calls.lastMember, name ? name : "", sizeof(s_calls.lastMember));
    Archive archive;
    if (int result = LoadArchive(source, length, flags, archive))
        return result;
    for (const TestArchiveMember& member : archive.members) {
        std::string full = FullName(member);
        bool same = (flags & SPI_IGNORE_CASE) ? lstrcmpiA(full.c_str(), name) == 0 : full == name;
        if (same) {
            FillRecord(member, archive.flags, info, false);
            return SPI_OK;
        }
    }
    return SPI_INTERNAL_ERROR;
}

PLUGIN_EXPORT int WINAPI GetFile(LPCSTR source, LONG_PTR position, LPSTR destination, unsigned flags,
                                 SPIProgressProc progress, LONG_PTR data)
{
    ++s_calls.getFile;
    RecordCall(s_calls, (flags & SPI_INPUT_MASK) == SPI_INPUT_FILE ? source : "", position, flags);
    s_calls.lastCallbackData = data;
    s_calls.sawVyxTag = data && std::memcmp(reinterpret_cast<const char*>(data), "vyx", 3) == 0;
    s_calls.progressGiven = progress != nullptr;
    if (progress) {
        s_calls.progressAnswer = progress(0, 1, data);
        if (s_calls.progressAnswer)
            return SPI_ABORTED;
    }
    std::string bytes;
    Archive archive;
    // From memory the length would be the member's position, leaving the archive's size unknown.
    if ((flags & SPI_INPUT_MASK) != SPI_INPUT_FILE)
        return SPI_NO_FUNCTION;
    if (!LoadInput(source, 0, flags, 0, bytes) || !ParseArchive(bytes, archive))
        return SPI_UNKNOWN_FORMAT;
    for (const TestArchiveMember& member : archive.members) {
        if (member.offset != static_cast<DWORD>(position))
            continue;
        size_t start = member.offset < bytes.size() ? member.offset : bytes.size();
        size_t available = bytes.size() - start;
        size_t count = member.listedSize < available ? member.listedSize : available;
        if ((flags & SPI_OUTPUT_MASK) == SPI_OUTPUT_MEMORY) {
            HLOCAL block = LocalBlock(bytes.substr(start, count));
            if (!block)
                return SPI_NO_MEMORY;
            *reinterpret_cast<HLOCAL*>(destination) = block;
            return SPI_OK;
        }
        lstrcpynA(s_calls.lastDestination, destination, MAX_PATH);
        std::string path = std::string(destination) + "\\" + member.name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return SPI_FILE_READ_ERROR;
        DWORD written = 0;
        WriteFile(file, bytes.data() + start, static_cast<DWORD>(count), &written, nullptr);
        CloseHandle(file);
        return SPI_OK;
    }
    return SPI_INTERNAL_ERROR;
}

PLUGIN_EXPORT TestPluginCalls* WINAPI TestPluginGetCalls()
{
    return &s_calls;
}
