// What the benchmarks work on must be what users have: large folders of empty files with their
// names and times, made in seconds; camera pictures whose Exif block the program reads, a
// different picture for every seed.
#include "../../bench/CameraJpeg.h"
#include "../../bench/ManyFiles.h"

#include "common/ScratchFolder.h"
#include "common/ScratchTree.h"
#include "image/codecs/JpegFile.h"
#include "image/cximage/CxImageJPG.h"
#include "image/cximage/CxMemFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

ULONGLONG WriteTicks(const WIN32_FIND_DATAW& data)
{
    return static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

} // namespace

TEST(ManyFiles, EveryFileComesWithItsNameAndWriteTime)
{
    ScratchFolder scratch(L"many");
    const std::wstring folder = scratch / L"folder";
    std::map<std::wstring, ULONGLONG> wanted;
    std::vector<EmptyFile> files;
    for (int i = 0; i < 3000; ++i) {
        wchar_t name[64];
        swprintf(name, 64, i % 3 ? L"IMG_%06d.JPG" : L"写真 %d_夏.休み.jpg", i);
        // Whole seconds, spread over years on both sides of 2000.
        const ULONGLONG ticks = 125000000000000000ull + static_cast<ULONGLONG>(i) * 7919ull * 10000000ull;
        files.push_back({name, ticks});
        wanted[name] = ticks;
    }
    MakeEmptyFiles(folder, files);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    int found = 0, wrong = 0;
    do {
        auto entry = wanted.find(data.cFileName);
        if (entry == wanted.end())
            continue;
        ++found;
        wrong += WriteTicks(data) != entry->second || data.nFileSizeLow != 0;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    EXPECT_EQ(3000, found);
    EXPECT_EQ(0, wrong);
    RemoveTree(folder);
}

TEST(CameraJpeg, CarriesAnExifBlockTheProgramReadsAndDiffersBySeed)
{
    ScratchFolder scratch(L"camera");
    const std::vector<std::wstring> paths = MakeCameraFolder(scratch / L"photos", 3, 2, 640, 480);
    ASSERT_EQ(3u, paths.size());
    const std::string first = ScratchFolder::ReadFile(paths[0]), second = ScratchFolder::ReadFile(paths[1]),
                      third = ScratchFolder::ReadFile(paths[2]);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
    // Names past the distinct pictures repeat them.
    EXPECT_EQ(first, third);
    // A camera's size: tens of kilobytes a third of a megapixel, and no JFIF header.
    EXPECT_GT(first.size(), 40000u);
    EXPECT_EQ(0, std::memcmp(first.data() + 6, "Exif", 4));

    JpegFile jpeg;
    jpeg.m_data = reinterpret_cast<const BYTE*>(first.data());
    jpeg.m_dataSize = static_cast<DWORD>(first.size());
    ASSERT_EQ(0, jpeg.ReadInfo());
    EXPECT_EQ(640, jpeg.m_width);
    EXPECT_EQ(480, jpeg.m_height);
    ASSERT_NE(nullptr, jpeg.m_markers[1].m_handle);

    // The Exif reader the program's items use finds the camera and its date.
    HGLOBAL block = jpeg.m_markers[1].m_handle;
    BYTE* data = static_cast<BYTE*>(GlobalLock(block));
    ASSERT_NE(nullptr, data);
    CxMemFile file(data, static_cast<DWORD>(GlobalSize(block)));
    tag_ExifInfo exif = {};
    CxImageJPG::CxExifInfo reader(&exif);
    const bool decoded = reader.DecodeExif(&file) != 0;
    GlobalUnlock(block);
    ASSERT_TRUE(decoded);
    EXPECT_STREQ("VX-200", exif.CameraModel);
    EXPECT_EQ(0, std::strncmp(exif.DateTime, "2024:05:", 8));
    EXPECT_EQ(640, exif.Width);
}
