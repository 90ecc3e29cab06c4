// Shared set-up of the catalogue tests: the test plug-ins in the program's own host, files with
// known times, found entries and archive member records, and the time zone of the date tests.
#pragma once

#include "../image/PluginTestUtil.h"
#include "catalogue/VyxFile.h"
#include "foundation/VyxFileFind.h"
#include "foundation/VyxFileStatus.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace cataloguetest {

using namespace plugintest;

// The items' settings with one change made, the rest as they stand.
inline void ChangeItemSettings(const std::function<void(ItemSettings&)>& change)
{
    ItemSettings settings = VyxFilexImage::GetItemSettings();
    change(settings);
    VyxFilexImage::SetItemSettings(settings);
}

// Copies of the test plug-ins (source, name) loaded into theSPImapIndex, which the items use;
// unloaded again afterwards. Ids follow the names' order.
class HostPlugins
{
public:
    HostPlugins(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> plugins)
    {
        for (const auto& plugin : plugins)
            m_folder.Add(plugin.first, plugin.second);
        theSPImapIndex.ScanPlugins(m_folder.Pattern().c_str(), nullptr, nullptr);
    }
    ~HostPlugins() { theSPImapIndex.DeleteAll(); }
    HostPlugins(const HostPlugins&) = delete;
    HostPlugins& operator=(const HostPlugins&) = delete;

    static VyxSPI* Image(const wchar_t* name) { return theSPImapIndex.FindPluginByName(name, SPImapIndex::KindImage); }
    static VyxSPI* Archive(const wchar_t* name)
    {
        return theSPImapIndex.FindPluginByName(name, SPImapIndex::KindArchive);
    }
    static int ImageId(const wchar_t* name) { return Image(name) ? Image(name)->GetId() : -100; }
    static int ArchiveId(const wchar_t* name) { return Archive(name) ? Archive(name)->GetId() : -100; }
    const ScratchFolder& Folder() const { return m_folder.Folder(); }

private:
    PluginFolder m_folder;
};

// The usual host: a plain image plug-in, a maker's one after it, and the archive plug-in.
struct StandardPlugins : HostPlugins
{
    StandardPlugins()
        : HostPlugins({{L"test_image", L"a_image"}, {L"test_maker", L"b_maker"}, {L"test_archive", L"arc"}})
    {
    }
};

inline void SetFileTimes(const std::wstring& path, long long seconds)
{
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    FILETIME time;
    UnixTimeToFileTime(seconds, time);
    EXPECT_TRUE(SetFileTime(file, &time, &time, &time));
    CloseHandle(file);
}

// A file with the bytes and, when seconds is not 0, that write time; returns its path.
inline std::wstring PutFile(const ScratchFolder& folder, const std::wstring& name, const std::string& bytes,
                            long long seconds = 0)
{
    std::wstring path = folder / name;
    EXPECT_TRUE(ScratchFolder::WriteFile(path, bytes));
    if (seconds)
        SetFileTimes(path, seconds);
    return path;
}

inline std::wstring PutFolder(const ScratchFolder& folder, const std::wstring& name)
{
    std::wstring path = folder / name;
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

// A finder standing on the one entry of folder named name.
inline bool FindEntry(VyxFileFind& finder, const std::wstring& folder, const std::wstring& name)
{
    if (!finder.FindFileIn(folder.c_str(), name.c_str()))
        return false;
    finder.FindNextFile();
    return true;
}

inline SPIFileInfo MemberRecord(const char* path, const char* name, DWORD size, DWORD time, DWORD position = 1)
{
    SPIFileInfo record = {};
    std::memcpy(record.method, "TARC", 4);
    lstrcpynA(record.path, path, sizeof(record.path));
    lstrcpynA(record.fileName, name, sizeof(record.fileName));
    record.fileSize = record.compressedSize = size;
    record.timestamp = time;
    record.position = position;
    return record;
}

// The listing the program's host gives for an archive (empty when none).
inline std::vector<SPIFileInfo> ListMembers(const std::wstring& archivePath, int archiveId = 0)
{
    SPIRequest request;
    request.id = archiveId;
    request.source = archivePath.c_str();
    std::vector<SPIFileInfo> members;
    if (theSPImapIndex.GetArchiveInfo(&request) == SPI_OK) {
        members = ReadArchiveListing(request.output);
        GlobalFree(request.output);
    }
    return members;
}

// The item the scan makes for a member of the archive file at archivePath.
inline VyxFile* NewMemberItem(const std::wstring& archivePath, const SPIFileInfo& record, int archiveId = 0)
{
    VyxFileFind finder;
    size_t cut = archivePath.find_last_of(L'\\');
    if (!FindEntry(finder, archivePath.substr(0, cut), archivePath.substr(cut + 1)))
        return nullptr;
    return new VyxFile(finder, -1, archiveId, &record);
}

// The Wine wrapper runs every test under TZ=Europe/Berlin: local time is one hour ahead of UTC in
// winter and two in summer, so a date taken in UTC or from the C runtime shows.
inline bool InBerlinTime()
{
    TIME_ZONE_INFORMATION zone;
    return GetTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID && zone.Bias == -60 && zone.DaylightBias == -60;
}

} // namespace cataloguetest
