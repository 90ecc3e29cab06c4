// A file item's picture loaded over several steps through the program's own JPEG reader: the
// same thumbnail as one load makes, nothing kept when the load is given up, and the item free to
// go or the plug-ins to change while the load waits.
#include "CatalogueTestUtil.h"

#include "catalogue/SteppedPictureLoad.h"
#include "image/DibCore.h"
#include "image/codecs/JpegFile.h"

#include <psapi.h>

#include <memory>

using namespace cataloguetest;

namespace {

// The program's JPEG reader alone in the program's host, with a scratch settings file.
struct OwnJpegHost
{
    ScratchSettings settings;
    ScratchFolder folder{L"stepped"};

    OwnJpegHost() { theSPImapIndex.ScanPlugins((OwnPluginFolder() + L"\\vyx_jpeg.spi").c_str(), nullptr, nullptr); }
    ~OwnJpegHost()
    {
        SteppedPictureLoad::Abort();
        theSPImapIndex.DeleteAll();
    }

    // A JPEG picture with detail everywhere, written to the scratch folder.
    std::wstring Jpeg(const wchar_t* name, LONG width, LONG height)
    {
        HGLOBAL dib = CreateDib(width, height, 24);
        BYTE* block = static_cast<BYTE*>(GlobalLock(dib));
        for (LONG y = 0; y < height; ++y)
            for (LONG x = 0; x < width; ++x) {
                BYTE* p = DibBits(block) + y * DibRowSize(block) + x * 3;
                p[0] = static_cast<BYTE>(x * 7 + y);
                p[1] = static_cast<BYTE>((x ^ y) * 3);
                p[2] = static_cast<BYTE>(y * 5 - x);
            }
        GlobalUnlock(dib);
        JpegFile codec;
        codec.m_dib = dib;
        codec.SaveToMemory();
        GlobalFree(dib);
        return PutFile(
            folder, name,
            std::string(reinterpret_cast<const char*>(codec.m_buffer.GetData()), codec.m_buffer.GetCapacity()));
    }
};

std::unique_ptr<VyxFile> Item(const std::wstring& path)
{
    auto item = std::make_unique<VyxFile>(path.c_str());
    item->SetCacheLookup(FALSE);
    item->SetScaleMode(10);
    item->SetUnsharp(TRUE);
    item->SetLimitCheck(TRUE);
    return item;
}

std::string DibBytes(HGLOBAL dib)
{
    const BYTE* block = static_cast<const BYTE*>(GlobalLock(dib));
    std::string bytes(reinterpret_cast<const char*>(block), DibTotalSize(block));
    GlobalUnlock(dib);
    return bytes;
}

// One step: loads for the item may give way at their first report.
SteppedPictureLoad::Result Step(VyxFilexImage& item, const SIZE* size, HGLOBAL* picture)
{
    SteppedPictureLoad::Allowance spent(0);
    return SteppedPictureLoad::Load(item, size, picture);
}

SIZE_T CommittedBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

} // namespace

TEST(SteppedLoad, APictureDecodedOverSeveralStepsGivesTheThumbnailOfOneLoad)
{
    OwnJpegHost host;
    const std::wstring path = host.Jpeg(L"p.jpg", 1600, 1200);
    std::unique_ptr<VyxFile> once = Item(path), stepped = Item(path);
    HGLOBAL whole = once->GetThumbnailFor(0, 0, 160, 120, true);
    ASSERT_NE(nullptr, whole);

    int steps = 0;
    HGLOBAL made = nullptr;
    while (!made && steps < 1000) {
        SteppedPictureLoad::Allowance spent(0);
        made = stepped->GetThumbnailFor(0, 0, 160, 120, true);
        ++steps;
        if (!made) {
            // Waiting is no failure: the item is not marked as one that cannot be drawn.
            EXPECT_TRUE(SteppedPictureLoad::IsPendingFor(*stepped));
            EXPECT_FALSE(stepped->IsCannotDraw());
        }
    }
    ASSERT_NE(nullptr, made);
    EXPECT_GT(steps, 3);
    EXPECT_FALSE(SteppedPictureLoad::IsPending());
    EXPECT_EQ(DibBytes(whole), DibBytes(made));
    // The facts found by the load reached the item that asked.
    EXPECT_EQ(once->GetLoaderId(), stepped->GetLoaderId());
    EXPECT_EQ(1600, stepped->GetWidth());
    EXPECT_EQ(1200, stepped->GetHeight());
    EXPECT_TRUE(stepped->IsThumbnailNew());
}

TEST(SteppedLoad, AnAbortedLoadFreesEverythingItHeld)
{
    OwnJpegHost host;
    const std::wstring path = host.Jpeg(L"big.jpg", 2400, 1800);
    std::unique_ptr<VyxFile> item = Item(path);
    // Once through, so that what lasts from load to load (the job's fiber, the read buffer) is there.
    HGLOBAL picture = nullptr;
    while (Step(*item, nullptr, &picture) == SteppedPictureLoad::Pending) {
    }
    ASSERT_NE(nullptr, picture);
    GlobalFree(picture);

    const SIZE_T committed = CommittedBytes();
    DWORD handles = 0, handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    for (int i = 0; i < 6; ++i) {
        // Far enough into the full-size decode that its 13 MB picture exists.
        for (int step = 0; step < 4; ++step)
            ASSERT_EQ(SteppedPictureLoad::Pending, Step(*item, nullptr, &picture));
        ASSERT_TRUE(SteppedPictureLoad::IsPendingFor(*item));
        SteppedPictureLoad::Abort();
        EXPECT_FALSE(SteppedPictureLoad::IsPending());
    }
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_LT(CommittedBytes(), committed + (4u << 20));
    EXPECT_EQ(handles, handlesAfter);
    EXPECT_FALSE(item->IsCannotDraw());
    // The item loads afresh afterwards.
    while (Step(*item, nullptr, &picture) == SteppedPictureLoad::Pending) {
    }
    GlobalBlock again(picture);
    EXPECT_EQ(2400, GetDibWidth(again.get()));
}

TEST(SteppedLoad, TheItemMayGoAndThePluginsChangeWhileALoadWaits)
{
    OwnJpegHost host;
    const std::wstring path = host.Jpeg(L"p.jpg", 1600, 1200);
    const SIZE box = {160, 120};
    HGLOBAL picture = nullptr;
    {
        std::unique_ptr<VyxFile> gone = Item(path);
        ASSERT_EQ(SteppedPictureLoad::Pending, Step(*gone, &box, &picture));
    }
    EXPECT_FALSE(SteppedPictureLoad::IsPending()) << "the item's load went with it";

    // Another item of the same file takes over nothing of a load it did not start.
    std::unique_ptr<VyxFile> first = Item(path), second = Item(path);
    ASSERT_EQ(SteppedPictureLoad::Pending, Step(*first, &box, &picture));
    EXPECT_FALSE(SteppedPictureLoad::IsPendingFor(*second));
    // Outside a step the waiting load of the same item and size ends at once.
    EXPECT_EQ(SteppedPictureLoad::Loaded, SteppedPictureLoad::Load(*first, &box, &picture));
    GlobalBlock loaded(picture);
    EXPECT_EQ(200, GetDibWidth(loaded.get()));
    // Without a step and without a waiting load, loading is the caller's.
    EXPECT_EQ(SteppedPictureLoad::NotStepped, SteppedPictureLoad::Load(*second, &box, &picture));

    // The plug-ins are loaded anew while a load waits inside one of them: the load is given up.
    ASSERT_EQ(SteppedPictureLoad::Pending, Step(*second, &box, &picture));
    ASSERT_EQ(SteppedPictureLoad::Pending, Step(*second, &box, &picture));
    theSPImapIndex.ScanPlugins((OwnPluginFolder() + L"\\vyx_jpeg.spi").c_str(), nullptr, nullptr);
    EXPECT_FALSE(SteppedPictureLoad::IsPending());
    EXPECT_FALSE(second->IsCannotDraw());
    HGLOBAL thumbnail = nullptr;
    for (int steps = 0; !thumbnail && steps < 1000; ++steps) {
        SteppedPictureLoad::Allowance spent(0);
        thumbnail = second->GetThumbnailFor(0, 0, box.cx, box.cy, true);
    }
    EXPECT_NE(nullptr, thumbnail);
}
