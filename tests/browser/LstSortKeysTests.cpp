// The file list's sort keys: direction cycling, the history, and the order of two rows.
#include <gtest/gtest.h>

#include "common/BrowserTestUtil.h"
#include "browser/LstSortKeys.h"
#include "catalogue/VyxFile.h"

#include <memory>

namespace {

using Keys = LstSortKeys;

struct RowFixture
{
    FrameworkScratchFolder folder;
    std::vector<std::unique_ptr<VyxFile>> items;

    VyxFile& File(LPCWSTR name)
    {
        items.push_back(std::make_unique<VyxFile>(folder.WriteFile(name, "x").GetString()));
        return *items.back();
    }
    VyxFile& Folder(LPCWSTR name)
    {
        CreateDirectoryW(folder / name, nullptr);
        items.push_back(std::make_unique<VyxFile>((folder / name).GetString()));
        return *items.back();
    }
    static Keys::Row Row(const VyxFile& item, int arrayIndex, int key)
    {
        Keys::Row row;
        row.item = &item;
        row.arrayIndex = arrayIndex;
        Keys::PrepareRow(row, key, L"$(Info)");
        return row;
    }
    static int Compare(const VyxFile& a, const VyxFile& b, int key, int direction, bool numberSort = false)
    {
        return Keys::Compare(Row(a, 0, key), Row(b, 1, key), key, direction, numberSort);
    }
};

} // namespace

TEST(LstSortKeys, HeaderClicksCycleTheDirectionsOfEachKey)
{
    int direction = 0;
    std::vector<int> seen;
    for (int i = 0; i < 3; ++i)
        seen.push_back(direction = Keys::NextDirection(Keys::KeySize, direction, -1));
    EXPECT_EQ((std::vector<int>{1, 2, 1}), seen);
    seen.clear();
    direction = 0;
    for (int i = 0; i < 9; ++i)
        seen.push_back(direction = Keys::NextDirection(Keys::KeyPixels, direction, -1));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 1}), seen);
    EXPECT_EQ(0, Keys::NextDirection(Keys::KeyName, 2, 0));
    EXPECT_EQ(2, Keys::NextDirection(Keys::KeyName, 0, 2));
    EXPECT_EQ(1, Keys::NextDirection(Keys::KeyName, 0, 3));
    EXPECT_EQ(7, Keys::NextDirection(Keys::KeyPixels, 0, 7));
    EXPECT_STREQ(L" 画素▼幅x高さ", Keys::GetHeader(Keys::KeyPixels, 8));
    EXPECT_STREQ(L"ｻｲｽﾞ▲ ", Keys::GetHeader(Keys::KeySize, 1));
    EXPECT_STREQ(L" 名前", Keys::GetHeader(Keys::KeyName, 5));
}

TEST(LstSortKeys, TheHistoryKeepsOneEntryPerKeyNewestFirstAndNoMoreThanTheColumns)
{
    std::vector<DWORD> history;
    Keys::AddToHistory(history, Keys::KeyDate, 1, 10);
    Keys::AddToHistory(history, Keys::KeyName, 2, 10);
    EXPECT_EQ((std::vector<DWORD>{0x20000, 0x10003}), history);
    Keys::AddToHistory(history, Keys::KeyDate, 2, 10);
    EXPECT_EQ((std::vector<DWORD>{0x20003, 0x20000}), history);
    // Two columns shown: a third key pushes the oldest out.
    Keys::AddToHistory(history, Keys::KeySize, 1, 2);
    EXPECT_EQ((std::vector<DWORD>{0x10002, 0x20003}), history);
}

TEST(LstSortKeys, NamesCompareByTheirLastRunOfDigitsWithNumberSort)
{
    EXPECT_LT(Keys::CompareNames(L"img2.jpg", L"img10.jpg", true), 0);
    EXPECT_GT(Keys::CompareNames(L"img2.jpg", L"img10.jpg", false), 0);
    EXPECT_LT(Keys::CompareNames(L"a10b2", L"a10b10", true), 0);
    EXPECT_EQ(0, Keys::CompareNames(L"IMG5.JPG", L"img5.jpg", true));
    Keys::NameParts parts = Keys::SplitName(L"shot12x.png");
    EXPECT_EQ(CString(L"shot"), parts.prefix);
    EXPECT_EQ(12u, parts.number);
    EXPECT_EQ(CString(L"x.png"), parts.suffix);
    parts = Keys::SplitName(L"plain");
    EXPECT_EQ(CString(L"plain"), parts.prefix);
    EXPECT_EQ(0u, parts.number);
    // A run past 64 bits counts as the largest number, not as a wrapped small one.
    EXPECT_GT(Keys::CompareNames(L"a99999999999999999999999", L"a5", true), 0);
}

TEST(LstSortKeys, FoldersStayOnTopInEveryKeyAndDirection)
{
    RowFixture f;
    VyxFile& folder = f.Folder(L"zz");
    VyxFile& file = f.File(L"aa.jpg");
    for (int key = 0; key < Keys::KeyCount; ++key)
        for (int direction = 0; direction < Keys::GetVariantCount(key); ++direction) {
            EXPECT_LT(RowFixture::Compare(folder, file, key, direction), 0) << key << "/" << direction;
            EXPECT_GT(RowFixture::Compare(file, folder, key, direction), 0) << key << "/" << direction;
        }
}

TEST(LstSortKeys, SizesAndTimesCompareIn64BitsAndEqualTimesAreEqual)
{
    RowFixture f;
    VyxFile& big = f.File(L"big.jpg");
    VyxFile& small = f.File(L"small.jpg");
    big.SetFileSize(0, 1); // 4 GiB
    small.SetFileSize(0xFFFFFFFF, 0);
    EXPECT_GT(RowFixture::Compare(big, small, Keys::KeySize, 1), 0);
    EXPECT_LT(RowFixture::Compare(big, small, Keys::KeySize, 2), 0);
    big.SetFileTime(5000000000LL);
    small.SetFileTime(1000);
    EXPECT_GT(RowFixture::Compare(big, small, Keys::KeyDate, 1), 0);
    small.SetFileTime(5000000000LL);
    // A stable sort keeps the order of equal rows, which the history's replay needs.
    EXPECT_EQ(0, RowFixture::Compare(big, small, Keys::KeyDate, 1));
    EXPECT_EQ(0, RowFixture::Compare(big, small, Keys::KeyDate, 2));
    // Direction 0 is the scan order.
    EXPECT_LT(RowFixture::Compare(big, small, Keys::KeyDate, 0), 0);
}

TEST(LstSortKeys, PixelAreasCompareBeyondTheRangeOfAnInt)
{
    RowFixture f;
    VyxFile& huge = f.File(L"huge.tif");
    VyxFile& tiny = f.File(L"tiny.png");
    VyxFile& wide = f.File(L"wide.png");
    huge.SetWidth(60000);
    huge.SetHeight(60000); // 3.6e9 pixels, past 2^31
    tiny.SetWidth(2);
    tiny.SetHeight(2);
    wide.SetWidth(40000);
    wide.SetHeight(50000); // 2.0e9: its difference to the huge one passes 2^31 too
    EXPECT_LT(RowFixture::Compare(tiny, huge, Keys::KeyPixels, 7), 0);
    EXPECT_GT(RowFixture::Compare(huge, tiny, Keys::KeyPixels, 7), 0);
    EXPECT_LT(RowFixture::Compare(wide, huge, Keys::KeyPixels, 7), 0);
    EXPECT_GT(RowFixture::Compare(wide, huge, Keys::KeyPixels, 8), 0);
    // Width, height and depth in their own directions.
    tiny.SetBitCount(8);
    huge.SetBitCount(24);
    EXPECT_LT(RowFixture::Compare(tiny, huge, Keys::KeyPixels, 1), 0);
    EXPECT_GT(RowFixture::Compare(tiny, huge, Keys::KeyPixels, 4), 0);
    EXPECT_LT(RowFixture::Compare(tiny, huge, Keys::KeyPixels, 5), 0);
    EXPECT_GT(RowFixture::Compare(tiny, huge, Keys::KeyPixels, 6), 0);
}

TEST(LstSortKeys, RowsShowTheTextsOfTheirColumns)
{
    RowFixture f;
    VyxFile& file = f.File(L"写真.jpg");
    file.SetWidth(640);
    file.SetHeight(480);
    file.SetBitCount(24);
    VyxFile& folder = f.Folder(L"sub");
    EXPECT_EQ(CString(L"写真"), Keys::GetText(file, Keys::KeyName, nullptr));
    EXPECT_EQ(CString(L"jpg"), Keys::GetText(file, Keys::KeyExtension, nullptr));
    EXPECT_EQ(CString(L"640x480 24bpp"), Keys::GetText(file, Keys::KeyPixels, nullptr));
    EXPECT_EQ(CString(L"1"), Keys::GetText(file, Keys::KeySize, nullptr));
    EXPECT_EQ(CString(), Keys::GetText(folder, Keys::KeySize, nullptr));
    EXPECT_EQ(CString(), Keys::GetText(folder, Keys::KeyPixels, nullptr));
    EXPECT_EQ(CString(), Keys::GetText(file, Keys::KeyArchive, nullptr));
    EXPECT_EQ(f.folder.Path(), Keys::GetText(file, Keys::KeyFolder, nullptr));
    EXPECT_EQ(CString(L"[写真.jpg]"), Keys::GetText(file, Keys::KeyInfo, L"[$(FileName)]"));
    EXPECT_EQ(LVCFMT_RIGHT, Keys::GetFormat(Keys::KeySize));
}
