// Hostile plug-in output: info blocks with mutated headers of every kind and bits blocks of any
// size, joined and validated as the host does; listing blocks of odd sizes. On the guard-page
// allocator nothing may be read or written outside its block.
#include "../PluginTestUtil.h"
#include "HostileInput.h"

#include "image/DibValidate.h"
#include "image/cximage/CxImage.h"
#include "image/plugins/SpiInterface.h"
#include "image/plugins/VyxSPI.h"

#include <cstring>

namespace {

HGLOBAL Block(const Input& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!bytes.empty())
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

// An info block: a header of the given size describing a small 8-bit picture, and its table.
Input InfoSeed(DWORD headerSize)
{
    Input info(headerSize + 256 * 4, 0x40);
    BITMAPINFOHEADER header = {};
    header.biSize = headerSize;
    header.biWidth = 9;
    header.biHeight = 6;
    header.biPlanes = 1;
    header.biBitCount = 8;
    std::memcpy(info.data(), &header, headerSize < sizeof(header) ? headerSize : sizeof(header));
    return info;
}

// One of the program's own plug-in DLLs, loaded as another host would load it.
struct OwnPlugin
{
    explicit OwnPlugin(const wchar_t* name)
    {
        wchar_t exe[MAX_PATH];
        std::wstring path(exe, GetModuleFileNameW(nullptr, exe, MAX_PATH));
        path = path.substr(0, path.find_last_of(L'\\')) + L"\\..\\bin\\" + name + L".spi";
        module = LoadLibraryW(path.c_str());
        getPicture = reinterpret_cast<SPIGetPictureProc>(GetProcAddress(module, "GetPicture"));
        getPictureInfo = reinterpret_cast<SPIGetPictureInfoProc>(GetProcAddress(module, "GetPictureInfo"));
    }
    ~OwnPlugin() { FreeLibrary(module); }
    HMODULE module;
    SPIGetPictureProc getPicture;
    SPIGetPictureInfoProc getPictureInfo;
};

// The input of the hostile test plug-in: its record, then the bytes of its blocks.
Input HostileInput(BYTE flags, const Input& info, const Input& bits, LONG width, LONG height)
{
    Input record(32, 0);
    std::memcpy(record.data(), "HSTL", 4);
    record[4] = flags;
    record = Put32(record, 8, static_cast<DWORD>(info.size()));
    record = Put32(record, 12, static_cast<DWORD>(bits.size()));
    record = Put32(record, 16, static_cast<DWORD>(info.size()));
    record = Put32(record, 20, static_cast<DWORD>(width));
    record = Put32(record, 24, static_cast<DWORD>(height));
    record[28] = 8;
    record[30] = static_cast<BYTE>(info.size() % 40);
    record.insert(record.end(), info.begin(), info.end());
    record.insert(record.end(), bits.begin(), bits.end());
    return record;
}

std::vector<Input> HostileSeeds()
{
    enum : BYTE { NoBits = 2, SameBlock = 4, FixedBlocks = 8, GlobalBlocks = 16, BitsUntouched = 32 };
    const Input rows(12 * 6, 0x3C);
    Input packed = InfoSeed(40);
    packed.resize(packed.size() + rows.size(), rows[0]);
    Input core = InfoSeed(12);
    core.resize(12 + 2 * 3);
    Input rle = Put32(InfoSeed(40), 16, BI_RLE8);
    rle = Put32(rle, 20, 20);
    Input v5 = InfoSeed(124);
    v5 = Put32(v5, 14, 32);
    v5 = Put32(v5, 16, BI_BITFIELDS);
    v5.resize(124);
    return {HostileInput(0, InfoSeed(40), rows, 9, 6),
            HostileInput(FixedBlocks | GlobalBlocks, InfoSeed(52), rows, 9, 6),
            HostileInput(NoBits, packed, {}, 9, 6),
            HostileInput(SameBlock, packed, {}, 9, 6),
            HostileInput(BitsUntouched, packed, {}, 9, 6),
            HostileInput(0, core, Input(4 * 6, 0xA5), 9, 6),
            HostileInput(0, rle, {4, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 1, 1, 10, 5, 0, 0, 0, 1}, 9, 6),
            HostileInput(FixedBlocks, v5, Input(36 * 6, 0x77), 9, 6)};
}

} // namespace

// Another maker's plug-in, loaded by the host as any other, that hands back whatever its input
// says: the host gives sound pictures or none, and frees what it was given once.
TEST(PluginRobustness, AHostilePluginThroughTheHostGivesSoundPicturesOrNone)
{
    plugintest::PluginFolder folder;
    folder.Add(L"test_hostile", L"hostile");
    SPImapIndex host;
    host.ScanPlugins(folder.Pattern().c_str(), nullptr, nullptr);
    VyxSPI* plugin = host.FindPluginByName(L"hostile", SPImapIndex::KindImage);
    ASSERT_NE(nullptr, plugin);
    int pictures = 0;
    const int fed =
        hostile::FeedHostile(HostileSeeds(), 71, hostile::InputsPerReader(), [&](const Input& data, int index) {
            const std::string bytes(data.begin(), data.end());
            if (index % 4 == 0) {
                SPIRequest request = plugintest::PictureRequest(plugin->GetId(), L"", bytes, true);
                SPIPictureInfoEx info;
                if (host.GetPictureInfo(&request, &info) == SPI_OK && info.info.hInfo)
                    GlobalFree(info.info.hInfo);
            }
            SPIRequest request = plugintest::PictureRequest(plugin->GetId(), L"", bytes, true);
            if (host.GetPicture(&request) == SPI_OK) {
                ++pictures;
                ExerciseAndFree(request.output);
            } else {
                EXPECT_EQ(nullptr, request.output);
            }
        });
    hostile::Report("hostile plug-in through the host", fed);
    // The inputs reached the host's handling of pictures, not only its refusals.
    EXPECT_GT(pictures, fed / 10);
}

TEST(PluginRobustness, OwnPluginsOnHostileMemory)
{
    // The plug-ins decode inside their own modules, into blocks of their own: under Wine's heap
    // checking those blocks are watched too; on the guard-page allocator the input is.
    Dib rgb(Make24(13, 9, [](LONG x, LONG y) { return RGB(x * 19, y * 27, (x ^ y) * 9); }));
    Dib palette(MakeIndexed(13, 9, 8, {RGB(1, 2, 3), RGB(250, 9, 9)}, [](LONG x, LONG y) { return (x + y) & 1; }));
    const struct
    {
        const wchar_t* name;
        std::vector<Input> seeds;
        std::vector<hostile::Field> (*fields)(const Input&);
    } plugins[] = {
        {L"vyx_jpeg", {Encode(rgb, CXIMAGE_FORMAT_JPG)}, JpegFields},
        {L"vyx_gif", {Encode(palette, CXIMAGE_FORMAT_GIF)}, GifFields},
        {L"vyx_tiff", {Encode(rgb, CXIMAGE_FORMAT_TIF)}, TiffFields},
        {L"vyx_bmp", {Encode(palette, CXIMAGE_FORMAT_BMP)}, BmpFields},
        {L"vyx_png", {Encode(rgb, CXIMAGE_FORMAT_PNG)}, PngFields},
    };
    const int inputs = hostile::InputsPerReader();
    for (const auto& plugin : plugins) {
        int pictures = 0;
        OwnPlugin own(plugin.name);
        ASSERT_TRUE(own.getPicture && own.getPictureInfo) << plugin.name;
        ASSERT_FALSE(plugin.seeds[0].empty()) << plugin.name;
        hostile::FeedHostileFields(
            plugin.seeds, 61, inputs,
            [&](const Input& data, int index) {
                const char* source = reinterpret_cast<const char*>(data.empty() ? nullptr : data.data());
                LONG_PTR length = static_cast<LONG_PTR>(data.size());
                if (index % 4 == 0) {
                    SPIPictureInfo info = {};
                    own.getPictureInfo(source, length, SPI_INPUT_MEMORY, &info);
                    if (info.hInfo)
                        LocalFree(info.hInfo);
                }
                HLOCAL info = nullptr, bits = nullptr;
                if (own.getPicture(source, length, SPI_INPUT_MEMORY, &info, &bits, nullptr, 0) == SPI_OK) {
                    ++pictures;
                    EXPECT_TRUE(info && bits);
                    if (info && LocalSize(info) >= sizeof(BITMAPINFOHEADER)) {
                        const auto* header = static_cast<const BITMAPINFOHEADER*>(LocalLock(info));
                        DibLayout layout;
                        if (CheckDibHeader(*header, &layout)) {
                            EXPECT_GE(LocalSize(bits), layout.imageBytes);
                        }
                        LocalUnlock(info);
                    }
                }
                if (info)
                    LocalFree(info);
                if (bits)
                    LocalFree(bits);
            },
            plugin.fields);
        EXPECT_GT(pictures, 0) << plugin.name;
    }
    hostile::Report("own plug-ins (each)", inputs);
}

TEST(PluginRobustness, JoinedInfoAndBitsBlocks)
{
    std::vector<Input> seeds;
    for (DWORD headerSize : {12u, 40u, 52u, 56u, 108u, 124u})
        seeds.push_back(InfoSeed(headerSize));
    hostile::Lcg random{12345};
    int fed = hostile::FeedHostile(seeds, 51, hostile::InputsPerReader(), [&](const Input& info, int index) {
        Input bits(random.Below(200), 0x5A);
        HGLOBAL infoBlock = Block(info);
        HGLOBAL bitsBlock = Block(bits);
        HGLOBAL joined = AdoptDib(JoinDibHandles(infoBlock, index % 8 ? bitsBlock : nullptr));
        if (joined) {
            EXPECT_GE(GlobalSize(joined), GetDibTotalSize(joined));
            GlobalFree(joined);
        }
        GlobalFree(infoBlock);
        GlobalFree(bitsBlock);
    });
    hostile::Report("plug-in pictures", fed);
}

TEST(PluginRobustness, ArchiveListings)
{
    hostile::Lcg random{777};
    const int inputs = hostile::InputsPerReader();
    for (int i = 0; i < inputs; ++i) {
        Input bytes(random.Below(4 * sizeof(SPIFileInfo)));
        for (BYTE& b : bytes)
            b = static_cast<BYTE>(random.Next() % 4 ? 'a' + random.Next() % 26 : 0);
        HGLOBAL block = Block(bytes);
        std::vector<SPIFileInfo> records = ReadArchiveListing(block);
        EXPECT_LE(records.size() * sizeof(SPIFileInfo), bytes.size());
        for (const SPIFileInfo& record : records)
            EXPECT_LT(std::strlen(record.fileName), sizeof(record.fileName));
        GlobalFree(block);
    }
    hostile::Report("plug-in archive listings", inputs);
}
