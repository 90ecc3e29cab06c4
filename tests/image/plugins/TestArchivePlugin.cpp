// An archive plug-in for the test container "TARC": listing, member information, extraction to
// memory and to a folder, from a file or from memory. A member may list more bytes than the
// archive holds; it then gives what there is.
#include "image/plugins/SpiInterface.h"

#include "TestPluginProtocol.h"

#include <cstring>
#include <string>
#include <vector>

#define PLUGIN_EXPORT extern "C" __declspec(dllexport)

namespace {

TestPluginCalls s_calls;

const char* const kTexts[] = {"00AM", "Test archive plug-in", "*.tarc", "Test archives"};

void Record(const char* name, LONG_PTR length, unsigned flags)
{
    lstrcpynA(s_calls.lastName, name ? name : "", MAX_PATH);
    s_calls.lastLength = length;
    s_calls.lastFlags = flags;
}

// The archive's bytes; for a file the whole file (length is a member position or an offset that
// the archive format does not use).
bool LoadArchive(const char* source, LONG_PTR length, unsigned flags, std::string& bytes)
{
    if ((flags & SPI_INPUT_MASK) != SPI_INPUT_FILE) {
        if (!source || length < 0)
            return false;
        bytes.assign(source, static_cast<size_t>(length));
        return true;
    }
    HANDLE file = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return true;
}

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

void FillRecord(const TestArchiveMember& member, BYTE flags, SPIFileInfo* record)
{
    std::memset(record, 0, sizeof(*record));
    std::memcpy(record->method, "TARC", 4);
    record->position = member.offset;
    record->compressedSize = member.listedSize;
    record->fileSize = member.listedSize;
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
    if (index < 0 || index >= static_cast<int>(sizeof(kTexts) / sizeof(kTexts[0])) || !buffer || size < 1)
        return 0;
    lstrcpynA(buffer, kTexts[index], size);
    return lstrlenA(buffer);
}

PLUGIN_EXPORT int WINAPI IsSupported(LPCSTR name, void* head)
{
    ++s_calls.isSupported;
    Record(name, 0, 0);
    return (reinterpret_cast<DWORD_PTR>(head) & 0xFFFF0000) != 0 && std::memcmp(head, "TARC", 4) == 0;
}

PLUGIN_EXPORT int WINAPI GetArchiveInfo(LPCSTR source, LONG_PTR length, unsigned flags, HLOCAL* listing)
{
    ++s_calls.getArchiveInfo;
    Record((flags & SPI_INPUT_MASK) == SPI_INPUT_FILE ? source : "", length, flags);
    std::string bytes;
    Archive archive;
    if (!LoadArchive(source, length, flags, bytes))
        return SPI_FILE_READ_ERROR;
    if (!ParseArchive(bytes, archive))
        return SPI_UNKNOWN_FORMAT;
    size_t records = archive.members.size() + ((archive.flags & TestArchiveNoEndRecord) ? 0 : 1);
    *listing = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, records * sizeof(SPIFileInfo));
    if (!*listing)
        return SPI_NO_MEMORY;
    SPIFileInfo* out = static_cast<SPIFileInfo*>(LocalLock(*listing));
    for (size_t i = 0; i < archive.members.size(); ++i)
        FillRecord(archive.members[i], archive.flags, &out[i]);
    LocalUnlock(*listing);
    return SPI_OK;
}

PLUGIN_EXPORT int WINAPI GetFileInfo(LPCSTR source, LONG_PTR length, LPCSTR name, unsigned flags, SPIFileInfo* info)
{
    ++s_calls.getFileInfo;
    Record((flags & SPI_INPUT_MASK) == SPI_INPUT_FILE ? source : "", length, flags);
    lstrcpynA(s_calls.lastMember, name ? name : "", sizeof(s_calls.lastMember));
    std::string bytes;
    Archive archive;
    if (!LoadArchive(source, length, flags, bytes))
        return SPI_FILE_READ_ERROR;
    if (!ParseArchive(bytes, archive))
        return SPI_UNKNOWN_FORMAT;
    for (const TestArchiveMember& member : archive.members) {
        std::string full = FullName(member);
        bool same = (flags & SPI_IGNORE_CASE) ? lstrcmpiA(full.c_str(), name) == 0 : full == name;
        if (same) {
            FillRecord(member, archive.flags, info);
            return SPI_OK;
        }
    }
    return SPI_INTERNAL_ERROR;
}

PLUGIN_EXPORT int WINAPI GetFile(LPCSTR source, LONG_PTR position, LPSTR destination, unsigned flags,
                                 SPIProgressProc progress, LONG_PTR data)
{
    ++s_calls.getFile;
    Record((flags & SPI_INPUT_MASK) == SPI_INPUT_FILE ? source : "", position, flags);
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
    if (!LoadArchive(source, 0, flags, bytes) || !ParseArchive(bytes, archive))
        return SPI_UNKNOWN_FORMAT;
    for (const TestArchiveMember& member : archive.members) {
        if (member.offset != static_cast<DWORD>(position))
            continue;
        size_t start = member.offset < bytes.size() ? member.offset : bytes.size();
        size_t available = bytes.size() - start;
        size_t count = member.listedSize < available ? member.listedSize : available;
        if ((flags & SPI_OUTPUT_MASK) == SPI_OUTPUT_MEMORY) {
            HLOCAL block = LocalAlloc(LMEM_MOVEABLE, count);
            if (!block)
                return SPI_NO_MEMORY;
            if (count) {
                std::memcpy(LocalLock(block), bytes.data() + start, count);
                LocalUnlock(block);
            }
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
